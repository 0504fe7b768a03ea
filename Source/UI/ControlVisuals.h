#pragma once
// What the clickable controls (buttons, check boxes, radio buttons; the node and the widget of
// each) share about their looks: the visual state, and the two forms of their image lists.
#include "Graphics/Canvas.h"

namespace Kestrin
{

class IImageList;

// The visual states; the index picks the frame (plain form) or the three frames (three-slice form).
enum ControlState : int
{
    ControlState_Normal = 0,
    ControlState_Hot = 1,
    ControlState_Down = 2, // also a selected radio button
    ControlState_Disabled = 3,
    ControlState_Focused = 4,
};

// First match wins: disabled; pressed (holding the capture with the pointer over it); hot; focused,
// shown as hot when the images have no focus frame; normal. A control pressed and dragged off
// shows its normal (or focus) look while the capture lasts.
int GetControlStateIndex(bool enabled, bool captured, bool hot, bool focused, bool hasFocusFrame);
// A selected radio button shows its down look whatever the pointer does, unless disabled.
int GetRadioButtonStateIndex(int controlState, bool selected);

// How an image count is read: up to plainLimit images are one per state (plain form), more are
// three per state drawn as a horizontal three-slice brush. Only exactly plainFocusCount (plain) or
// sliceFocusCount (three-slice) images include the focus frame.
struct ControlImageForm
{
    int plainLimit;
    int plainFocusCount;
    int sliceFocusCount;
};
inline constexpr ControlImageForm ButtonImageForm{5, 5, 15};
// States 0-4 unchecked, then the same states checked.
inline constexpr ControlImageForm CheckBoxImageForm{10, 10, 30};
inline constexpr ControlImageForm RadioButtonImageForm{10, 5, 15};

// A null list counts as no images: plain, without a focus frame.
bool IsThreeSliceForm(const IImageList* list, const ControlImageForm& form);
bool HasFocusFrame(const IImageList* list, const ControlImageForm& form);

// Draws the look of a state at (x, y): frame firstFrame + state (plain) or the brush of frames
// firstFrame + 3 * state onwards over the width (three-slice). A frame the list lacks draws
// nothing. firstFrame lets a check box reach its checked images. 1 when nothing was drawn.
int DrawControlImage(IImageList* list, const ControlImageForm& form, int state, int firstFrame, float x,
                     float y, float width, const Graphics::DrawState& drawState,
                     Graphics::ICanvas* canvas = Graphics::GetCurrentCanvas());

// Whether the control shows something at (px, py), measured from its top-left corner: always with
// alphaSensitivity 0 or no images; else the alpha of frame 0 (or of the brush of frames 0-2 over
// the width) must be greater than alphaSensitivity.
bool IsControlImageOpaqueAt(const IImageList* list, const ControlImageForm& form, int alphaSensitivity,
                            int px, int py, float width);

} // namespace Kestrin
