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

void ListObject::Select(int index)
{
    m_rows.selected = index;
    Fire(Names::ListSelectionChange);
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
    return GetListRowRect(Geometry(), i, m_rows.first);
}

int ListObject::GetVisibleRowCount()
{
    return GetListVisibleRowCount(Geometry(), m_rows.first, GetItemCount());
}

void ListObject::HandleMessage(const Message& message)
{
    if (message.name == Names::LostFocus)
        m_rows.keyboardMode = false;
}

MessageResult ListObject::OnKeyDown(int key)
{
    if (!HasKeyboardFocus())
        return MessageResult::NotHandled;
    const ListKeyOutcome outcome = m_rows.OnKey(key, Geometry());
    if (outcome.select >= 0)
        Select(outcome.select);
    return outcome.handled ? MessageResult::Handled : MessageResult::NotHandled;
}

MessageResult ListObject::OnMouseDown(MouseButton, int x, int y)
{
    const int row = m_rows.RowAt(Geometry(), float(x), float(y));
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
    if (focused && !m_rows.keyboardMode)
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
    for (int i = std::max(m_rows.first, 0); i < GetItemCount(); ++i)
    {
        const Rect<float> row = GetListRowRect(geometry, i, m_rows.first);
        if (row.h <= 0.0f)
            break; // rows are clipped to themselves: nothing shows below the content
        text.color = GetListRowColor(i == m_rows.selected, focused, m_rows.keyboardMode, GetColor(),
                                     m_selectedTextColor);
        const Rect<int> clip(TruncToInt(row.x), TruncToInt(row.y), TruncToInt(row.w), TruncToInt(row.h));
        DrawText(m_rows.items[size_t(i)].text.c_str(), row.x, row.y, text, canvas, &clip);
    }
}

} // namespace Kestrin
