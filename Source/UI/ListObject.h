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

    void AddItem(const std::wstring& text, uint32_t data = 0);
    // No items, nothing selected, the first row on top.
    void ClearItems();
    int GetItemCount() const { return int(m_items.size()); }
    const Item& GetItem(int i) const { return m_items.at(size_t(i)); }

    // Fires "ListSelectionChange", also when the index stayed.
    void Select(int index);
    int GetSelection() const { return m_selected; }
    int GetFirstVisible() const { return m_first; }
    // One row further down, at most to the last item.
    void ScrollDown();
    bool IsKeyboardMode() const { return m_active; }

    Rect<float> GetContentRect();
    Rect<float> GetItemRect(int i);
    int GetVisibleRowCount();

    void HandleMessage(const Message& message) override;
    void Draw() override;
    MessageResult OnKeyDown(int key) override;
    MessageResult OnMouseDown(MouseButton button, int x, int y) override;
    // Only with items.
    bool AcceptsFocus() override;

private:
    ListGeometry Geometry();

    IImageList* m_images;
    ColorF m_selectedTextColor;
    std::vector<Item> m_items;
    int m_selected = -1;
    int m_first = 0;
    bool m_active = false;
};

} // namespace Kestrin
