#include "UI/SliderLogic.h"

#include "Framework/Keys.h"
#include "Graphics/Canvas.h"
#include "Graphics/ImageList.h"

#include <algorithm>
#include <cmath>

namespace Kestrin
{

bool IsSliderStepped(bool stepped, int steps)
{
    return stepped && steps >= 2;
}

float GetSliderStepSize(int steps)
{
    return steps >= 2 ? 1.0f / float(steps - 1) : 0.0f;
}

float SnapSliderValue(float value, int steps)
{
    if (steps < 2)
        return value;
    const float step = GetSliderStepSize(steps);
    float best = 0.0f;
    float bestDistance = INFINITY;
    for (int i = 0; i < steps; ++i)
    {
        const float candidate = std::clamp(float(i) * step, 0.0f, 1.0f);
        const float distance = std::fabs(candidate - value);
        if (distance < bestDistance)
        {
            best = candidate;
            bestDistance = distance;
        }
    }
    return best;
}

SliderSetting SettleSliderValue(float value, float current, bool stepped, int steps)
{
    if (!IsSliderStepped(stepped, steps))
        return {value, false};
    const float snapped = SnapSliderValue(value, steps);
    return {snapped, std::fabs(snapped - current) > 0.001f};
}

float GetSliderTravel(float width, float thumbWidth)
{
    return width > thumbWidth ? width - thumbWidth : 0.0f;
}

float GetSliderValue(float thumbOffset, float travel)
{
    return travel > 0.0f ? thumbOffset / travel : 0.0f;
}

float DragSliderThumb(float pointerOffset, float grabOffset, float travel)
{
    return std::min(std::max(pointerOffset - grabOffset, 0.0f), travel);
}

bool SliderAcceptsFocus(bool stepped, int steps)
{
    return !stepped || steps > 1;
}

SliderKeyOutcome ApplySliderKey(int key, bool& keyboardMode, bool stepped, int steps)
{
    SliderKeyOutcome outcome;
    if (!keyboardMode)
    {
        if (key == Key_KeyboardMode)
            keyboardMode = outcome.handled = true;
        return outcome;
    }
    const float step = IsSliderStepped(stepped, steps) ? GetSliderStepSize(steps) : 0.05f;
    switch (key)
    {
    case Key_KeyboardMode:
    case Key_KeyboardModeLeave:
        keyboardMode = false;
        outcome.handled = true;
        break;
    case VK_LEFT:
        outcome = {true, -step};
        break;
    case VK_RIGHT:
        outcome = {true, step};
        break;
    default:
        break;
    }
    return outcome;
}

int GetSliderThumbFrame(const SliderThumbFacts& facts)
{
    if (!facts.enabled)
        return 3;
    if (facts.captured)
        return 2;
    if (facts.hot)
        return 1;
    if (facts.focused && facts.keyboardMode && facts.acceptsFocus)
        return facts.thumbCount == 5 ? 4 : 1;
    return 0;
}

bool IsSliderThumbOpaqueAt(const IImageList* thumb, int alphaSensitivity, int px, int py, float thumbLeft,
                           float thumbTop)
{
    if (alphaSensitivity == 0 || !thumb || thumb->Count() <= 0)
        return true;
    return thumb->GetAlpha(0, px - Graphics::TruncToInt(thumbLeft), py - Graphics::TruncToInt(thumbTop)) >
           alphaSensitivity;
}

} // namespace Kestrin
