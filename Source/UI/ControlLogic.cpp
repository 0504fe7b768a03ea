#include "UI/ControlLogic.h"

#include "Framework/Keys.h"
#include "Graphics/Font.h"
#include "Graphics/ImageList.h"
#include "Platform/SoundResources.h"
#include "UI/UIServices.h"

#include <cmath>
#include <string>

namespace Kestrin
{

int GetControlStateIndex(const ControlStateFacts& facts)
{
    if (!facts.enabled)
        return ControlState_Disabled;
    if ((facts.captured && facts.hot) || facts.selected)
        return ControlState_Down;
    if (facts.hot)
        return ControlState_Hot;
    if (facts.focused)
        return facts.hasFocusImage ? ControlState_Focused : ControlState_Hot;
    return ControlState_Normal;
}

ControlImageForm GetControlImageForm(ControlKind kind, int count)
{
    ControlImageForm form;
    switch (kind)
    {
    case ControlKind::Button:
        form.threeSlice = count >= 6;
        form.hasFocusImage = count == 5 || count == 15;
        break;
    case ControlKind::CheckBox:
        form.threeSlice = count >= 11;
        form.hasFocusImage = count == 10 || count == 30;
        break;
    case ControlKind::RadioButton:
        form.threeSlice = count >= 11;
        form.hasFocusImage = count == 5 || count == 15;
        break;
    }
    return form;
}

int GetImageCount(const IImageList* images)
{
    return images ? images->Count() : 0;
}

int GetControlFrame(ControlKind kind, int count, int state, bool checked)
{
    const bool threeSlice = GetControlImageForm(kind, count).threeSlice;
    const int first = threeSlice ? 3 * state : state;
    return kind == ControlKind::CheckBox && checked ? first + count / 2 : first;
}

void DrawControlImages(IImageList* images, ControlKind kind, int state, bool checked, float x, float y,
                       float width, const Graphics::DrawState& drawState, Graphics::ICanvas* canvas)
{
    const int count = GetImageCount(images);
    if (count == 0)
        return;
    const int frame = GetControlFrame(kind, count, state, checked);
    if (GetControlImageForm(kind, count).threeSlice)
        DrawThreeSliceHorizontal(images, frame, x, y, width, drawState, canvas);
    else
        images->DrawFrame(frame, x, y, canvas, drawState);
}

bool IsControlOpaqueAt(const IImageList* images, ControlKind kind, int alphaSensitivity, float width, int px,
                       int py)
{
    const int count = GetImageCount(images);
    if (alphaSensitivity == 0 || count == 0)
        return true;
    const int alpha = GetControlImageForm(kind, count).threeSlice
                          ? HitTestThreeSliceHorizontal(images, 0, 0.0f, width, float(px), float(py))
                          : images->GetAlpha(0, px, py);
    return alpha > alphaSensitivity;
}

ControlSize MeasureControl(ControlKind kind, const IImageList* images, float width, const Font* font,
                           std::wstring_view caption)
{
    ControlSize size;
    const int count = GetImageCount(images);
    if (count > 0 || kind != ControlKind::Button)
    {
        const bool threeSlice = GetControlImageForm(kind, count).threeSlice;
        size.width = threeSlice ? width : float(images ? images->GetWidth(0) : 0);
        size.height = float(images ? images->GetHeight(0) : 0);
    }
    else if (font)
    {
        size.width = float(GetTextWidth(caption, font));
        size.height = float(font->GetLineHeight());
        size.centred = true;
    }
    return size;
}

Vector2<float> GetCaptionCentre(float x, float y, float w, float h)
{
    return {std::floor(x + (w + 1.0f) * 0.5f), std::floor(y + (h + 1.0f) * 0.5f)};
}

Vector2<float> GetSideLabelAnchor(float x, float y, float w, float h)
{
    return {x + w + 5.0f, std::floor(y + (h + 1.0f) * 0.5f)};
}

bool LayoutCheckBoxLabel(float x, float y, float w, float h, const Font* font, std::wstring_view text,
                         Rect<float>& label)
{
    if (!font)
        return false;
    const int lineHeight = font->GetLineHeight();
    label.x = x + w + 5.0f;
    label.y = std::floor(y + h * 0.5f - float(lineHeight / 2) + 0.5f);
    label.w = float(GetTextWidth(text, font));
    label.h = float(lineHeight);
    return true;
}

bool IsClickKey(int key)
{
    return key == VK_RETURN || key == VK_SPACE || key == Key_GamePadA;
}

void PlayControlSound(const SoundList* sounds, const wchar_t* event)
{
    if (sounds && event)
        sounds->Play(event);
}

bool TrackHot(bool& hot, bool over)
{
    const bool entered = over && !hot;
    hot = over;
    return entered;
}

bool PressControl(Object* control, bool& hot, bool over, const SoundList* sounds)
{
    hot = over;
    if (hot)
    {
        SetMouseCapture(control);
        PlayControlSound(sounds, L"Down");
    }
    return hot;
}

bool ReleaseControl(Object* control, bool& hot, bool over)
{
    hot = over;
    if (!HoldsMouseCapture(control))
        return false;
    ReleaseMouseCapture(control);
    return hot;
}

} // namespace Kestrin
