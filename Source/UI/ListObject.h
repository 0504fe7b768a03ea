#pragma once
// A framed box of one-line text rows with one selected row.
#include "UI/ControlObject.h"
#include "UI/ListLogic.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Kestrin
{

class IImageList;

class ListObject : public ControlObject
{
public:
    using Item = ListItem;

    // The rows in the font, in textColor (the control's colour) and the selected one in
    // selectedTextColor.
    ListObject(NameId name, float depth, const Vector2<float>& location, IImageList* images, float width,
               float height, Font* font, const ColorF& textColor, const ColorF& selectedTextColor);

    void AddItem(const std::wstring& text, uint32_t data = 0) { m_rows.AddItem(text, data); }
    // No items, nothing selected, the first row on top.
    void ClearItems() { m_rows.Clear(); }
    int GetItemCount() const { return m_rows.GetCount(); }
    const Item& GetItem(int i) const { return m_rows.items.at(size_t(i)); }

    // Fires "ListSelectionChange", also when the index stayed.
    void Select(int index);
    int GetSelection() const { return m_rows.selected; }
    int GetFirstVisible() const { return m_rows.first; }
    // One row further down, at most to the last item.
    void ScrollDown() { m_rows.ScrollDownOne(); }
    bool IsKeyboardMode() const { return m_rows.keyboardMode; }

    Rect<float> GetContentRect();
    Rect<float> GetItemRect(int i);
    int GetVisibleRowCount();

    void HandleMessage(const Message& message) override;
    void Draw() override;
    MessageResult OnKeyDown(int key) override;
    MessageResult OnMouseDown(MouseButton button, int x, int y) override;
    // Only with items.
    bool AcceptsFocus() override { return m_rows.GetCount() > 0; }

private:
    ListGeometry Geometry();

    IImageList* m_images;
    ColorF m_selectedTextColor;
    ListRows m_rows;
};

} // namespace Kestrin
