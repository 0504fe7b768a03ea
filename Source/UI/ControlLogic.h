#pragma once
// The rules the clickable controls share, whether they are scene nodes or widget objects, beside
// their looks (UI/ControlVisuals.h): sizing, caption and label placement, the keys that click, and
// the press-and-release mouse protocol.
#include "Base/Geometry.h"
#include "Framework/ObjectDatabase.h"
#include "UI/ControlVisuals.h"
#include "UI/UINames.h"

#include <string_view>

namespace Kestrin
{

class Font;
class IImageList;
class Object;
class SoundList;

// Images in a list that may be null.
int GetImageCount(const IImageList* images);

// A control's size from its images: three-slice, the given width by the height of frame 0; plain,
// the size of frame 0. Without images, a control given a caption font (a button) takes its
// caption's size, and the point it was placed at becomes its centre (centred); else it is 0 by 0.
struct ControlSize
{
    float width = 0.0f;
    float height = 0.0f;
    bool centred = false;
};
ControlSize MeasureControl(const IImageList* images, const ControlImageForm& form, float width,
                           const Font* captionFont, std::wstring_view caption);

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

// Clears `selected` on every other radio button of the group in the current database (found by
// their role, so only those of one class), directly: no sound, no message. Told apart by identity:
// buttons without a name would otherwise never clear each other.
template <typename RadioButton> void ClearRadioGroup(const RadioButton* chosen, NameId group)
{
    ObjectDatabase* database = GetCurrentObjectDatabase();
    if (!database)
        return;
    for (ObjectHandle handle : database->FindObjectsByRole(Names::RadioButton))
    {
        auto* other = dynamic_cast<RadioButton*>(database->GetObject(handle));
        if (other && other != chosen && other->GetGroup() == group)
            other->selected = false;
    }
}

} // namespace Kestrin
