#include "UI/ListLogic.h"

#include "Framework/Keys.h"
#include "Graphics/Font.h"
#include "Graphics/ImageList.h"

#include <algorithm>

namespace Kestrin
{

namespace
{
float Width(const IImageList* list, int i)
{
    return list ? float(list->GetWidth(i)) : 0.0f;
}
float Height(const IImageList* list, int i)
{
    return list ? float(list->GetHeight(i)) : 0.0f;
}
} // namespace

ListGeometry GetListGeometry(const IImageList* frame, const Rect<float>& bounds, const Font* font)
{
    ListGeometry g;
    g.content.x = bounds.x + Width(frame, 3);
    g.content.y = bounds.y + Height(frame, 0);
    g.content.w = bounds.w - (Width(frame, 5) + Width(frame, 3));
    g.content.h = bounds.h - (Height(frame, 7) + Height(frame, 1));
    g.rowHeight = float((font ? font->GetLineHeight() : 0) + 2);
    return g;
}

Rect<float> GetListRowRect(const ListGeometry& g, int i, int first)
{
    const float offset = float(i - first) * g.rowHeight;
    return {g.content.x, g.content.y + offset, g.content.w, std::min(g.rowHeight, g.content.h - offset)};
}

int GetListVisibleRowCount(const ListGeometry& g, int first, int count)
{
    int last = first;
    for (int i = first; i < count; ++i)
    {
        if (GetListRowRect(g, i, first).h < g.rowHeight)
            break;
        last = i;
    }
    return last - first + 1;
}

int FindListRowAt(const ListGeometry& g, int first, int count, float x, float y)
{
    for (int i = std::max(first, 0); i < count; ++i)
    {
        const Rect<float> row = GetListRowRect(g, i, first);
        if (row.h <= 0.0f)
            break;
        if (row.Contains(x, y))
            return i;
    }
    return -1;
}

ColorF GetListRowColor(bool isSelected, bool focused, bool keyboardMode, const ColorF& color,
                       const ColorF& selectedColor)
{
    if (!isSelected)
        return color;
    return focused && keyboardMode ? ColorF(0.0f, 1.0f, 1.0f, 1.0f) : selectedColor;
}

ListKeyOutcome ApplyListKey(int key, bool& keyboardMode, int selected, int first, int count,
                            const ListGeometry& geometry)
{
    ListKeyOutcome outcome;
    outcome.first = first;
    if (count <= 0)
        return outcome;
    if (!keyboardMode)
    {
        if (key == Key_KeyboardMode)
            keyboardMode = outcome.handled = true;
        return outcome;
    }
    if (key == Key_KeyboardMode || key == Key_KeyboardModeLeave)
    {
        keyboardMode = false;
        outcome.handled = true;
        return outcome;
    }
    if (key != VK_UP && key != VK_DOWN)
        return outcome;
    outcome.handled = true;
    if (selected < 0)
    {
        outcome.first = 0;
        outcome.select = 0;
        return outcome;
    }
    if (key == VK_UP)
    {
        if (selected > 0)
            outcome.select = --selected;
        if (selected < outcome.first)
            outcome.first = selected;
        return outcome;
    }
    if (selected < count - 1)
        outcome.select = ++selected;
    // Bounded by the last row: a selection left beyond the items (they were cleared) ends it too.
    while (outcome.first < count - 1 &&
           GetListVisibleRowCount(geometry, outcome.first, count) <= selected - outcome.first)
        ++outcome.first;
    return outcome;
}

void ListRows::Clear()
{
    items.clear();
    selected = -1;
    first = 0;
}

const ListItem* ListRows::Find(int i) const
{
    return i >= 0 && i < GetCount() ? &items[size_t(i)] : nullptr;
}

void ListRows::ScrollDownOne()
{
    first = std::max(0, std::min(first + 1, GetCount() - 1));
}

int ListRows::RowAt(const ListGeometry& geometry, float x, float y) const
{
    return FindListRowAt(geometry, first, GetCount(), x, y);
}

ListKeyOutcome ListRows::OnKey(int key, const ListGeometry& geometry)
{
    const ListKeyOutcome outcome = ApplyListKey(key, keyboardMode, selected, first, GetCount(), geometry);
    first = outcome.first;
    return outcome;
}

} // namespace Kestrin
