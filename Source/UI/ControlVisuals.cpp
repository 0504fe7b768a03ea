#include "UI/ControlVisuals.h"

#include "Graphics/ImageList.h"

namespace Kestrin
{

int GetControlStateIndex(bool enabled, bool captured, bool hot, bool focused, bool hasFocusFrame)
{
    if (!enabled)
        return ControlState_Disabled;
    if (hot)
        return captured ? ControlState_Down : ControlState_Hot;
    if (focused)
        return hasFocusFrame ? ControlState_Focused : ControlState_Hot;
    return ControlState_Normal;
}

int GetRadioButtonStateIndex(int controlState, bool selected)
{
    return selected && controlState != ControlState_Disabled ? int(ControlState_Down) : controlState;
}

bool IsThreeSliceForm(const IImageList* list, const ControlImageForm& form)
{
    return list && list->Count() > form.plainLimit;
}

bool HasFocusFrame(const IImageList* list, const ControlImageForm& form)
{
    if (!list)
        return false;
    return list->Count() == (IsThreeSliceForm(list, form) ? form.sliceFocusCount : form.plainFocusCount);
}

int DrawControlImage(IImageList* list, const ControlImageForm& form, int state, int firstFrame, float x,
                     float y, float width, const Graphics::DrawState& drawState, Graphics::ICanvas* canvas)
{
    if (!list || list->Count() <= 0)
        return Graphics::Draw_Nothing;
    if (IsThreeSliceForm(list, form))
        return DrawThreeSliceHorizontal(list, firstFrame + 3 * state, x, y, width, drawState, canvas) == 0
                   ? Graphics::Draw_Done
                   : Graphics::Draw_Nothing;
    return list->DrawFrame(firstFrame + state, x, y, canvas, drawState) == 0 ? Graphics::Draw_Done
                                                                             : Graphics::Draw_Nothing;
}

bool IsControlImageOpaqueAt(const IImageList* list, const ControlImageForm& form, int alphaSensitivity,
                            int px, int py, float width)
{
    if (alphaSensitivity == 0 || !list || list->Count() <= 0)
        return true;
    const int alpha = IsThreeSliceForm(list, form)
                          ? HitTestThreeSliceHorizontal(list, 0, 0.0f, width, float(px), float(py))
                          : list->GetAlpha(0, px, py);
    return alpha > alphaSensitivity;
}

} // namespace Kestrin
