#pragma once
// The rules the clickable controls share, whether they are scene nodes or widget objects: the
// visual state, how an image list is read (one image per state, or three per state drawn as a
// three-slice brush), sizing, caption and label placement, the alpha-sensitive hit test, the keys
// that click, and the press-and-release mouse protocol.
#include "Base/Geometry.h"
#include "Graphics/Canvas.h"

#include <string_view>

namespace Kestrin
{

class Font;
class IImageList;
class Object;
class SoundList;

// Visual state indices.
enum ControlState : int
{
    ControlState_Normal = 0,
    ControlState_Hot = 1,
    ControlState_Down = 2,
    ControlState_Disabled = 3,
    ControlState_Focused = 4,
};

struct ControlStateFacts
{
    bool enabled = true;
    // Holds the mouse capture of its database.
    bool captured = false;
    bool hot = false;
    bool focused = false;
    // The image list has a focused image (GetControlImageForm).
    bool hasFocusImage = false;
    // A selected radio button shows its down image.
    bool selected = false;
};

// Disabled 3; pressed (captured and hot) or selected 2; hot 1; focused 4 with a focus image, else
// 1; otherwise 0. A control pressed and dragged off shows its normal (or focus) look.
int GetControlStateIndex(const ControlStateFacts& facts);

enum class ControlKind
{
    Button,
    CheckBox, // the first half of the list unchecked, the second half checked
    RadioButton,
};

// The image count decides the form:
//   button:       1-5 plain, 6 or more three-slice; a focus image with 5 or 15
//   check box:    up to 10 plain, 11 or more three-slice; a focus image with 10 or 30
//   radio button: up to 10 plain, 11 or more three-slice; a focus image with 5 or 15
struct ControlImageForm
{
    bool threeSlice = false;
    bool hasFocusImage = false;
};
ControlImageForm GetControlImageForm(ControlKind kind, int count);

// Images in a list that may be null.
int GetImageCount(const IImageList* images);

// The frame of a state in plain form, or the first of its three in three-slice form. A checked
// check box reads the second half of the list: count / 2 + s plain, count / 2 + 3s three-slice.
int GetControlFrame(ControlKind kind, int count, int state, bool checked = false);

// The images of a state at (x, y): the plain frame, or the three-slice brush over the width.
// A frame the list lacks draws nothing; so does a null or empty list.
void DrawControlImages(IImageList* images, ControlKind kind, int state, bool checked, float x, float y,
                       float width, const Graphics::DrawState& drawState, Graphics::ICanvas* canvas);

// The alpha test of a point (px, py) relative to the control's top-left, in whole pixels: true
// when the sensitivity is 0 or there are no images; else the alpha of the unpressed look (frame 0,
// or the three-slice of frames 0-2 over the width) must exceed the sensitivity.
bool IsControlOpaqueAt(const IImageList* images, ControlKind kind, int alphaSensitivity, float width, int px,
                       int py);

// A control's size from its images: three-slice, the given width by the height of frame 0; plain,
// the size of frame 0. A button without images takes its caption's size, and the point it was
// placed at becomes its centre (centred); without a font it stays 0 by 0.
struct ControlSize
{
    float width = 0.0f;
    float height = 0.0f;
    bool centred = false;
};
ControlSize MeasureControl(ControlKind kind, const IImageList* images, float width, const Font* font,
                           std::wstring_view caption);

// Where a caption is drawn centred both ways over a control at (x, y) of size (w, h):
// (floor(x + (w + 1) / 2), floor(y + (h + 1) / 2)).
Vector2<float> GetCaptionCentre(float x, float y, float w, float h);
// Where a label beside the control starts (left-aligned, vertically centred on y):
// (x + w + 5, floor(y + (h + 1) / 2)).
Vector2<float> GetSideLabelAnchor(float x, float y, float w, float h);
// The check box label's rectangle for a control at (x, y) of size (w, h): x + w + 5,
// floor(y + h / 2 - lineHeight div 2 + 0.5), the text's width, the line height. Without a font
// there is no label rectangle (false).
bool LayoutCheckBoxLabel(float x, float y, float w, float h, const Font* font, std::wstring_view text,
                         Rect<float>& label);

// Enter, Space and the game pad's A button click a focused control.
bool IsClickKey(int key);

// Plays the event's sound ("Hot", "Down", "Checked"...) from the list; nothing without a list or
// without that event.
void PlayControlSound(const SoundList* sounds, const wchar_t* event);

// The mouse protocol of clickable controls. `over` is the control's hit test at the event.
// Move: hot = over; true when the pointer just entered (the control plays "Hot").
bool TrackHot(bool& hot, bool over);
// Press: hot = over; inside, the control takes the mouse capture and plays "Down". Answers hot.
bool PressControl(Object* control, bool& hot, bool over, const SoundList* sounds);
// Release: hot = over; when the control holds the capture it lets it go, and answers true when it
// should act (the release is over it). A release without the press's capture never acts.
bool ReleaseControl(Object* control, bool& hot, bool over);

} // namespace Kestrin
