#include "UI/ButtonObjects.h"

#include "Framework/ObjectDatabase.h"
#include "Graphics/ImageList.h"
#include "UI/UINames.h"

namespace Kestrin
{

namespace
{
void PlaceControl(ControlObject& control, const ControlImageForm& form, IImageList* images, float width,
                  const Font* captionFont, const std::wstring& caption, const Vector2<float>& location)
{
    const ControlSize size = MeasureControl(images, form, width, captionFont, caption);
    Vector2<float> at = location;
    if (size.centred)
        at -= Vector2<float>(size.width / 2.0f, size.height / 2.0f);
    control.SetBounds({at.x, at.y, size.width, size.height});
}
} // namespace

// ---- ClickableObject ----

ClickableObject::ClickableObject(NameId name, float depth, const ControlImageForm& form, IImageList* images,
                                 std::wstring text)
    : ControlObject(name, depth), m_form(form), m_images(images), m_text(std::move(text))
{
}

int ClickableObject::GetStateIndex()
{
    return GetControlStateIndex(IsEnabled(), HasCapture(), m_hot, HasKeyboardFocus(),
                                HasFocusFrame(m_images, m_form));
}

bool ClickableObject::IsOpaqueAt(int x, int y)
{
    const Rect<float> bounds = GetBounds();
    return IsControlImageOpaqueAt(m_images, m_form, m_alphaSensitivity, x - Graphics::TruncToInt(bounds.x),
                                  y - Graphics::TruncToInt(bounds.y), bounds.w);
}

MessageResult ClickableObject::OnKeyDown(int key)
{
    if (!IsClickKey(key) || !HasKeyboardFocus())
        return MessageResult::NotHandled;
    Act();
    return MessageResult::Handled;
}

MessageResult ClickableObject::OnMouseMove(int x, int y)
{
    if (TrackHot(m_hot, Contains(float(x), float(y))))
        PlayControlSound(m_sounds, L"Hot");
    return MessageResult::NotHandled;
}

MessageResult ClickableObject::OnMouseDown(MouseButton, int x, int y)
{
    return PressControl(this, m_hot, Contains(float(x), float(y)), m_sounds) ? MessageResult::Handled
                                                                             : MessageResult::NotHandled;
}

MessageResult ClickableObject::OnMouseUp(MouseButton, int x, int y)
{
    if (ReleaseControl(this, m_hot, Contains(float(x), float(y))))
        Act();
    return m_hot ? MessageResult::Handled : MessageResult::NotHandled;
}

void ClickableObject::DrawImages(int firstFrame)
{
    const Rect<float> bounds = GetBounds();
    DrawControlImage(m_images, m_form, GetStateIndex(), firstFrame, bounds.x, bounds.y, bounds.w,
                     Graphics::GetDefaultDrawState(), Graphics::GetCurrentCanvas());
}

void ClickableObject::DrawLabelAt(float x, float y, int vAlign)
{
    if (m_text.empty() || !GetFont())
        return;
    Graphics::DrawState state = Graphics::GetDefaultDrawState();
    state.font = GetFont();
    state.color = GetColor();
    state.textMode = GetTextMode();
    state.vAlign = vAlign;
    Graphics::DrawText(m_text.c_str(), x, y, state, Graphics::GetCurrentCanvas());
}

void ClickableObject::DrawCaption()
{
    if (m_text.empty() || !GetFont())
        return;
    const Rect<float> bounds = GetBounds();
    const Vector2<float> centre = GetCaptionCentre(bounds.x, bounds.y, bounds.w, bounds.h);
    Graphics::DrawState state = Graphics::GetDefaultDrawState();
    state.font = GetFont();
    state.color = GetColor();
    state.textMode = GetTextMode();
    state.hAlign = 1;
    state.vAlign = 1;
    Graphics::DrawText(m_text.c_str(), centre.x, centre.y, state, Graphics::GetCurrentCanvas());
}

// ---- ButtonObject ----

ButtonObject::ButtonObject(NameId name, float depth, IImageList* images, const std::wstring& text, Font* font,
                           const Vector2<float>& location, const ColorF& textColor, float width)
    : ClickableObject(name, depth, ButtonImageForm, images, text)
{
    SetFont(font);
    SetColor(textColor);
    PlaceControl(*this, m_form, images, width, font, text, location);
}

void ButtonObject::Draw()
{
    if (!IsVisible())
        return;
    DrawImages(0);
    DrawCaption();
}

MessageResult ButtonObject::OnKeyDown(int key)
{
    if (m_keyCode != -1 && key == m_keyCode)
    {
        FireClick();
        return MessageResult::Handled;
    }
    return ClickableObject::OnKeyDown(key);
}

void ButtonObject::FireClick()
{
    Fire(Names::ButtonClick);
}

// ---- CheckBoxObject ----

CheckBoxObject::CheckBoxObject(NameId name, float depth, const Vector2<float>& location, IImageList* images,
                               float width, const std::wstring& label, Font* font, const ColorF& color)
    : ClickableObject(name, depth, CheckBoxImageForm, images, label)
{
    SetFont(font);
    SetColor(color);
    PlaceControl(*this, m_form, images, width, nullptr, label, location);
    SetText(label);
}

bool CheckBoxObject::Contains(float x, float y)
{
    return ClickableObject::Contains(x, y) || (GetFont() && m_label.Contains(x, y));
}

void CheckBoxObject::SetBounds(const Rect<float>& bounds)
{
    const Rect<float> old = GetBounds();
    ClickableObject::SetBounds(bounds);
    m_label.x += bounds.x - old.x;
    m_label.y += bounds.y - old.y;
}

void CheckBoxObject::SetText(const std::wstring& text)
{
    ClickableObject::SetText(text);
    const Rect<float> bounds = GetBounds();
    LayoutCheckBoxLabel(bounds.x, bounds.y, bounds.w, bounds.h, GetFont(), text, m_label);
}

void CheckBoxObject::Draw()
{
    if (!IsVisible())
        return;
    DrawImages(checked ? GetImageCount(GetImages()) / 2 : 0);
    DrawLabelAt(m_label.x, m_label.y, 0);
}

void CheckBoxObject::Toggle()
{
    checked = !checked;
    PlayControlSound(GetSounds(), checked ? L"Checked" : L"Unchecked");
    Fire(Names::CheckBoxClick);
}

// ---- RadioButtonObject ----

RadioButtonObject::RadioButtonObject(NameId name, float depth, const Vector2<float>& location,
                                     IImageList* images, float width, NameId group, const std::wstring& label,
                                     Font* font, const ColorF& color)
    : ClickableObject(name, depth, RadioButtonImageForm, images, label), m_group(group)
{
    SetFont(font);
    SetColor(color);
    PlaceControl(*this, m_form, images, width, nullptr, label, location);
}

NameId RadioButtonObject::GetRole() const
{
    return Names::RadioButton;
}

int RadioButtonObject::GetStateIndex()
{
    return GetRadioButtonStateIndex(ClickableObject::GetStateIndex(), selected);
}

void RadioButtonObject::Draw()
{
    if (!IsVisible())
        return;
    DrawImages(0);
    if (IsThreeSliceForm(GetImages(), m_form))
    {
        DrawCaption();
        return;
    }
    const Rect<float> bounds = GetBounds();
    const Vector2<float> at = GetSideLabelAnchor(bounds.x, bounds.y, bounds.w, bounds.h);
    DrawLabelAt(at.x, at.y, 1);
}

void RadioButtonObject::Select()
{
    selected = true;
    ClearRadioGroup(this, m_group);
    Fire(Names::RadioButtonClick);
}

} // namespace Kestrin
