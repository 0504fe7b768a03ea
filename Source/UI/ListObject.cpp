#include "UI/ListObject.h"

#include "Framework/ObjectDatabase.h"
#include "Graphics/ImageList.h"
#include "UI/ListLogic.h"
#include "UI/UINames.h"

#include <algorithm>

namespace Kestrin
{

ListObject::ListObject(NameId name, float depth, const Vector2<float>& location, IImageList* images,
                       float width, float height, Font* font, const ColorF& textColor,
                       const ColorF& selectedTextColor)
    : ControlObject(name, depth), m_images(images), m_selectedTextColor(selectedTextColor)
{
    SetBounds({location.x, location.y, width, height});
    SetFont(font);
    SetColor(textColor);
}

void ListObject::AddItem(const std::wstring& text, uint32_t data)
{
    m_items.push_back({text, data});
}

void ListObject::ClearItems()
{
    m_items.clear();
    m_selected = -1;
    m_first = 0;
}

void ListObject::Select(int index)
{
    m_selected = index;
    Fire(Names::ListSelectionChange);
}

void ListObject::ScrollDown()
{
    m_first = std::max(0, std::min(m_first + 1, GetItemCount() - 1));
}

ListGeometry ListObject::Geometry()
{
    return GetListGeometry(m_images, GetBounds(), GetFont());
}

Rect<float> ListObject::GetContentRect()
{
    return Geometry().content;
}

Rect<float> ListObject::GetItemRect(int i)
{
    return GetListRowRect(Geometry(), i, m_first);
}

int ListObject::GetVisibleRowCount()
{
    return GetListVisibleRowCount(Geometry(), m_first, GetItemCount());
}

void ListObject::HandleMessage(const Message& message)
{
    if (message.name == Names::LostFocus)
        m_active = false;
}

bool ListObject::AcceptsFocus()
{
    return !m_items.empty();
}

MessageResult ListObject::OnKeyDown(int key)
{
    if (!HasKeyboardFocus())
        return MessageResult::NotHandled;
    const ListKeyOutcome outcome =
        ApplyListKey(key, m_active, m_selected, m_first, GetItemCount(), Geometry());
    if (outcome.select >= 0)
        Select(outcome.select);
    m_first = outcome.first;
    return outcome.handled ? MessageResult::Handled : MessageResult::NotHandled;
}

MessageResult ListObject::OnMouseDown(MouseButton, int x, int y)
{
    const int row = FindListRowAt(Geometry(), m_first, GetItemCount(), float(x), float(y));
    if (row < 0)
        return MessageResult::NotHandled;
    Select(row);
    return MessageResult::Handled;
}

void ListObject::Draw()
{
    if (!IsVisible())
        return;
    using namespace Graphics;
    ICanvas* canvas = GetCurrentCanvas();
    const Rect<float> bounds = GetBounds();
    DrawNineSlice(m_images, 0, bounds.x, bounds.y, bounds.w, bounds.h, GetDefaultDrawState(), canvas);
    const bool focused = HasKeyboardFocus();
    if (focused && !m_active)
    {
        DrawState fill = GetDefaultDrawState();
        fill.color = ColorF(1.0f, 1.0f, 1.0f, ListFocusWashAlpha);
        FillRect(bounds, fill, canvas);
    }
    if (!GetFont())
        return;
    const ListGeometry geometry = Geometry();
    DrawState text = GetDefaultDrawState();
    text.font = GetFont();
    text.textMode = GetTextMode();
    for (int i = std::max(m_first, 0); i < GetItemCount(); ++i)
    {
        const Rect<float> row = GetListRowRect(geometry, i, m_first);
        if (row.h <= 0.0f)
            break; // rows are clipped to themselves: nothing shows below the content
        text.color = GetListRowColor(i == m_selected, focused, m_active, GetColor(), m_selectedTextColor);
        const Rect<int> clip(TruncToInt(row.x), TruncToInt(row.y), TruncToInt(row.w), TruncToInt(row.h));
        DrawText(m_items[size_t(i)].text.c_str(), row.x, row.y, text, canvas, &clip);
    }
}

} // namespace Kestrin
