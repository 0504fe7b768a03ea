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

int GetImageCount(const IImageList* images)
{
    return images ? images->Count() : 0;
}

ControlSize MeasureControl(const IImageList* images, const ControlImageForm& form, float width,
                           const Font* captionFont, std::wstring_view caption)
{
    ControlSize size;
    if (GetImageCount(images) > 0)
    {
        size.width = IsThreeSliceForm(images, form) ? width : float(images->GetWidth(0));
        size.height = float(images->GetHeight(0));
    }
    else if (captionFont)
    {
        size.width = float(GetTextWidth(caption, captionFont));
        size.height = float(captionFont->GetLineHeight());
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
