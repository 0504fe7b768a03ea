#pragma once
// The rules the slider node and the slider object share. A slider's value runs from 0 with the
// thumb at the left end of its travel to 1 at the right end; the travel is the slider's width less
// the thumb's.

namespace Kestrin
{

class IImageList;

// Snaps only with two or more steps: fewer give no step spacing, and such a slider is continuous.
bool IsSliderStepped(bool stepped, int steps);
// 1 / (steps - 1) with two or more steps, else 0.
float GetSliderStepSize(int steps);
// The nearest of the steps i / (steps - 1); of two equally near the lower wins. The value itself
// when there are fewer than two steps.
float SnapSliderValue(float value, int steps);
// The value a slider takes when set to `value` while showing `current`: snapped to the nearest step
// when stepped, else as given (not clamped). `snapped` when it moved to another step, more than
// 0.001 away, which is when the slider plays "Snap".
struct SliderSetting
{
    float value = 0.0f;
    bool snapped = false;
};
SliderSetting SettleSliderValue(float value, float current, bool stepped, int steps);
// Never below 0: a thumb as wide as the slider has no travel.
float GetSliderTravel(float width, float thumbWidth);
// The thumb's offset over the travel; 0 without travel.
float GetSliderValue(float thumbOffset, float travel);
// The thumb's offset while dragged: where the pointer puts it, held within the travel.
float DragSliderThumb(float pointerOffset, float grabOffset, float travel);
// A stepped slider takes the focus only when it has more than one step.
bool SliderAcceptsFocus(bool stepped, int steps);

// What a key does to a focused slider. Key_KeyboardMode enters the keyboard mode; in it,
// Key_KeyboardMode or Key_KeyboardModeLeave leaves it, and Left and Right nudge the value by a
// step (0.05 when continuous). Everything else is not handled.
struct SliderKeyOutcome
{
    bool handled = false;
    float nudge = 0.0f;
};
SliderKeyOutcome ApplySliderKey(int key, bool& keyboardMode, bool stepped, int steps);

// The thumb's frame: disabled 3, dragged 2, hot 1; focused in keyboard mode (and able to take
// the focus) 4 with exactly five thumb images, else 1; otherwise 0.
struct SliderThumbFacts
{
    bool enabled = true;
    bool captured = false;
    bool hot = false;
    bool focused = false;
    bool keyboardMode = false;
    bool acceptsFocus = true;
    int thumbCount = 0;
};
int GetSliderThumbFrame(const SliderThumbFacts& facts);

// Only the thumb's pixels take the mouse: the alpha of thumb frame 0 at (px, py), measured from
// the thumb's whole-pixel top-left corner, must be above the sensitivity. Always with a
// sensitivity of 0 or no thumb images.
bool IsSliderThumbOpaqueAt(const IImageList* thumb, int alphaSensitivity, int px, int py, float thumbLeft,
                           float thumbTop);

} // namespace Kestrin
