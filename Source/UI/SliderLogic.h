#pragma once
// The rules the slider node and the slider object share. A slider's value runs from 0 with the
// thumb at the left end of its travel to 1 at the right end; the travel is the slider's width less
// the thumb's.

namespace Kestrin
{

// Snaps only with two or more steps: fewer give no step spacing, and such a slider is continuous.
bool IsSliderStepped(bool stepped, int steps);
// 1 / (steps - 1) with two or more steps, else 0.
float GetSliderStepSize(int steps);
// The nearest of the steps i / (steps - 1); of two equally near the lower wins. The value itself
// when there are fewer than two steps.
float SnapSliderValue(float value, int steps);
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

} // namespace Kestrin
