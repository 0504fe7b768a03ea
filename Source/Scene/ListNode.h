#pragma once
#include "Framework/Names.h"
#include "Scene/ControlNode.h"
#include "Scene/SceneNodeFactory.h"
#include "UI/ListLogic.h"

#include <cstdint>
#include <string>

namespace Kestrin
{
class IImageList;
} // namespace Kestrin

// The single-selection text list of scene layouts: a nine-slice frame with one row of text per
// item inside it, from a first visible row on. A press on a row, or Up and Down in keyboard mode
// (entered and left by the keyboard-mode keys), selects it and broadcasts "ListSelectionChange".
// The owner fills the items. Rows are not cut off at the frame: only the node's source rectangle
// bounds them.
class ListNode : public ControlNode
{
public:
    // Unselected rows in textColor (the node's colour), the selected one in selectedTextColor.
    ListNode(const Kestrin::ColorF& textColor, const Kestrin::ColorF& selectedTextColor, Kestrin::NameId name,
             const Vector2f& position, Kestrin::IImageList* frame, float width, float height,
             Kestrin::Font* font);

    void AddItem(const std::wstring& text, uint32_t data = 0) { m_rows.AddItem(text, data); }
    // No items, nothing selected, the first row on top.
    void ClearItems() { m_rows.Clear(); }
    int GetItemCount() const { return m_rows.GetCount(); }
    // Empty and 0 outside the items.
    std::wstring GetItemText(int i) const;
    uint32_t GetItemData(int i) const;

    // Broadcasts "ListSelectionChange", also when the index stayed.
    void SetSelection(int index);
    int GetSelection() const { return m_rows.selected; }
    int GetFirstVisible() const { return m_rows.first; }
    void SetFirstVisible(int first) { m_rows.first = first; }
    // One row further down, at most to the last item.
    void ScrollDownOne() { m_rows.ScrollDownOne(); }
    bool IsKeyboardMode() const { return m_rows.keyboardMode; }
    void SetSelectedTextColor(const Kestrin::ColorF& color) { m_selectedTextColor = color; }
    const Kestrin::ColorF& GetSelectedTextColor() const { return m_selectedTextColor; }

    // In world coordinates: inside the frame.
    Rectf GetClientRect();
    // Row i counted from the item in the top row; shorter at the foot of the client rectangle.
    Rectf GetRowRect(int i);
    // The rows from the first visible one shown whole; at least 1.
    int GetVisibleRowCount();

    // "LostFocus" leaves the keyboard mode; every message then goes on to the node ("Remove").
    void HandleMessage(const Kestrin::Message& message) override;
    void Draw(const Vector2f& offset) override;
    // Any mouse button selects the row hit; no capture, no sound.
    Kestrin::MessageResult OnMouseDown(Kestrin::MouseButton button, int x, int y) override;
    Kestrin::MessageResult OnKeyDown(int key) override;
    // Only with items.
    bool AcceptsFocus() override { return m_rows.GetCount() > 0; }

private:
    Kestrin::ListGeometry Geometry();

    Kestrin::IImageList* m_frame;
    Kestrin::ColorF m_selectedTextColor;
    Kestrin::ListRows m_rows;
};

class ListNodeDescriptor : public SceneNodeDescriptor
{
public:
    Kestrin::NameId images;
    float width = 0.0f;
    float height = 0.0f;
    Kestrin::NameId font;
    Kestrin::ColorF textColor{0.0f, 0.0f, 0.0f, 1.0f};
    Kestrin::ColorF selectedTextColor{0.0f, 0.0f, 0.0f, 1.0f};
};

// "listnode": "images" (nine frame pieces), "width", "height", "font", "textColor" and
// "selectedTextColor" ("#rrggbbaa"; opaque black otherwise). A layout's "color" replaces textColor.
class ListNodeFactory : public SceneNodeFactory
{
public:
    SceneNodeDescriptor* Read(const Kestrin::IAttributeContainer& attributes) override;
    SceneNode* Create(const SceneNodeDescriptor& descriptor) override;
};
