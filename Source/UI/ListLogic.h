#pragma once
// The rules the list node and the list object share: where the rows lie inside the nine-slice
// frame, which rows are whole, which row a point hits, and what the keys do.
#include "Base/Geometry.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Kestrin
{

class Font;
class IImageList;

struct ListItem
{
    std::wstring text;
    // The owner's own word, kept with the row.
    uint32_t data = 0;
};

struct ListGeometry
{
    // Inside the frame: left of the left column, below the top row, above the bottom row.
    Rect<float> content;
    // The font's line height + 2 (2 without a font).
    float rowHeight = 2.0f;
};

// For a list whose rectangle is `bounds` (in the coordinates rows are wanted in). A null frame
// list counts as pieces of size 0.
ListGeometry GetListGeometry(const IImageList* frame, const Rect<float>& bounds, const Font* font);

// Row i with `first` in the top row. Its height shrinks for the row cut off at the bottom of the
// content and is 0 or negative below it.
Rect<float> GetListRowRect(const ListGeometry& geometry, int i, int first);
// The rows from `first` on (of `count` items) shown at their whole height; at least 1.
int GetListVisibleRowCount(const ListGeometry& geometry, int first, int count);
// The first row from `first` on whose rectangle holds the point (left and top edges inside); -1
// for none. Rows below the content have no height and are never hit.
int FindListRowAt(const ListGeometry& geometry, int first, int count, float x, float y);

// A row's text colour: the selected row cyan while the focused list is in keyboard mode, else in
// the selected colour; the others in the list's colour.
ColorF GetListRowColor(bool isSelected, bool focused, bool keyboardMode, const ColorF& color,
                       const ColorF& selectedColor);
// The wash over a focused list that is not in keyboard mode.
inline constexpr float ListFocusWashAlpha = 0.15f;

// What a key does to a focused list of `count` items (nothing without items). Key_KeyboardMode
// enters the keyboard mode; in it, Key_KeyboardMode or Key_KeyboardModeLeave leaves it, and Up and
// Down move the selection (the first of them selects row 0 when nothing is selected), scrolling so
// the selected row stays whole. At either end they are handled without a change.
struct ListKeyOutcome
{
    bool handled = false;
    // The row to select (the list broadcasts its selection change), or -1 for no selection change.
    int select = -1;
    // The top row afterwards.
    int first = 0;
};
ListKeyOutcome ApplyListKey(int key, bool& keyboardMode, int selected, int first, int count,
                            const ListGeometry& geometry);

// The rows of a list and the choice among them: what the list node and the list object hold alike.
// The list itself tells the selection changes it is handed.
class ListRows
{
public:
    void AddItem(const std::wstring& text, uint32_t data) { items.push_back({text, data}); }
    // No items, nothing selected, the first row on top.
    void Clear();
    int GetCount() const { return int(items.size()); }
    // Null outside the items.
    const ListItem* Find(int i) const;
    // One row further down, at most to the last item.
    void ScrollDownOne();
    // The row a press at the point selects, or -1.
    int RowAt(const ListGeometry& geometry, float x, float y) const;
    // A key for the focused list: switches the keyboard mode and moves the top row; `select` is the
    // row to select, or -1.
    ListKeyOutcome OnKey(int key, const ListGeometry& geometry);

    std::vector<ListItem> items;
    int selected = -1;
    int first = 0;
    bool keyboardMode = false;
};

} // namespace Kestrin
