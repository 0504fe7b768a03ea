#include "UI/TextEditObject.h"

#include "Framework/Keys.h"
#include "Graphics/ImageList.h"
#include "UI/UINames.h"

namespace Kestrin
{

TextEditObject::TextEditObject(NameId name, float depth, const Vector2<float>& location,
                               IImageList* fieldImages, IImage* cursorImage, float width, Font* font,
                               const ColorF& color)
    : ControlObject(name, depth), m_fieldImages(fieldImages), m_core(fieldImages, cursorImage, width, font)
{
    SetFont(font);
    SetColor(color);
    SetBounds({location.x, location.y, width, m_core.GetHeight()});
}

void TextEditObject::SetFont(Font* font)
{
    ControlObject::SetFont(font);
    m_core.SetFont(font);
    Rect<float> bounds = GetBounds();
    bounds.h = m_core.GetHeight();
    SetBounds(bounds);
}

void TextEditObject::Update(float dt)
{
    m_core.Advance(dt);
}

MessageResult TextEditObject::OnKeyDown(int key)
{
    if (!HasKeyboardFocus())
        return MessageResult::NotHandled;
    const TextEditCore::KeyResult result = m_core.OnKey(key, GetKeyModifiers());
    if (result == TextEditCore::KeyResult::Edited)
        Fire(Names::TextEditChange);
    return TextEditCore::Answer(result);
}

MessageResult TextEditObject::OnText(wchar_t character)
{
    if (!HasKeyboardFocus())
        return MessageResult::NotHandled;
    const TextEditCore::KeyResult result = m_core.OnText(character);
    if (result == TextEditCore::KeyResult::Edited)
        Fire(Names::TextEditChange);
    return TextEditCore::Answer(result);
}

MessageResult TextEditObject::OnMouseDown(MouseButton, int x, int y)
{
    if (!Contains(float(x), float(y)))
        return MessageResult::NotHandled;
    TakeFocus();
    return MessageResult::Handled;
}

void TextEditObject::Draw()
{
    if (!IsVisible())
        return;
    using namespace Graphics;
    ICanvas* canvas = GetCurrentCanvas();
    const Rect<float> bounds = GetBounds();
    DrawNineSlice(m_fieldImages, 0, bounds.x, bounds.y, bounds.w, bounds.h, GetDefaultDrawState(), canvas);

    const Rect<float> area = m_core.GetTextArea();
    DrawState text = GetDefaultDrawState();
    text.font = GetFont();
    text.color = GetColor();
    text.textMode = GetTextMode();
    const Rect<int> clip(TruncToInt(bounds.x + area.x), TruncToInt(bounds.y + area.y), TruncToInt(area.w),
                         TruncToInt(area.h));
    DrawText(GetText().c_str(), bounds.x + area.x + m_core.GetScroll(), bounds.y + area.y, text, canvas,
             &clip);

    if (HasKeyboardFocus())
        m_core.DrawCaret(bounds.x + m_core.GetCaretX() + m_core.GetScroll(), bounds.y + m_core.GetCaretY(),
                         GetDefaultDrawState(), canvas);
}

} // namespace Kestrin
