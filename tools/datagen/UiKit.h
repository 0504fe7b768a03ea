#pragma once
// The UI kit: cursor, buttons, panels, fields, check box, slider, row highlight, sparkles.
#include "Brush.h"
#include "Family.h"
#include "Paint.h"

#include <functional>

namespace DataGen
{
FamilyArt PaintCursorArrow();
FamilyArt PaintBtnLarge();
FamilyArt PaintBtnMedium();
FamilyArt PaintBtnSmall();
FamilyArt PaintIconButtons();
FamilyArt PaintBtnTab();
FamilyArt PaintBtnWide3();
FamilyArt PaintPanel9();
FamilyArt PaintPopup9();
FamilyArt PaintField9();
FamilyArt PaintChkStd();
FamilyArt PaintSlider();
FamilyArt PaintSelectedRow();
FamilyArt PaintBlueSml();

// The small button, which previews of other families put in place.
inline constexpr int kSmallButtonWidth = 110, kSmallButtonHeight = 44;

// Controls in the five states, for every recipe that draws one.
using Along = std::function<double(Vec2)>;

// What a control looks like in its normal state; the states are derived from it.
struct ControlLook
{
    std::function<Sdf(double dy)> shape; // the body, moved down by dy pixels
    Along along;                         // position along the focus ring
    double ringPeriod = 8.0;
    Along stitchAlong; // position along the stitch line; none when empty
    double stitchPeriod = 6.0;
    double stitchInset = 3.0;
    Rgba top, bottom; // vertical gradient of the body
    double gradientTop = 0.0, gradientBottom = 1.0;
    DomeLight light;
    double shadowDrop = 2.5, shadowBlur = 3.0, shadowAlpha = 0.3;
    double outline = 1.6;
    double ringOutset = 4.0;
    double innerShadowDepth = 2.0;
    std::function<void(Canvas&, double dy)> glyph;
};

// The disabled look of a colour: desaturated towards the disabled grey.
Rgba DisabledColor(Rgba c);
// normal; hot +8 % value and a teal glow; down -10 % value, 1 px lower, pressed in; disabled
// desaturated at 55 % alpha; focus the normal look inside a 2 px dashed teal ring.
Canvas PaintControl(int w, int h, const ControlLook& look, State s);
// A period near `wanted` that fits a whole number of times into `perimeter`.
double FitPeriod(double perimeter, double wanted);
// An image list of the five states, "<name>_<state>".
Resource StateList(const std::string& name, const std::function<Canvas(State)>& paint);
// A rounded button of `color` filling w x h, with room for its shadow, glow and focus ring.
ControlLook RoundedButton(int w, int h, Rgba color);
// The corner radius of a rounded button h pixels tall.
double RoundedButtonRadius(int h);
// Where a caption keeps clear of a stitched outline that runs stitchInset inside a body of the
// given insets and corner radius.
CaptionArea InsideStitches(const std::string& images, double left, double top, double right, double bottom,
                           double radius, double stitchInset);
// Position along a circle's outline, for dashes.
Along CircleAlong(Vec2 centre, double radius);
// A paper-coloured glyph with an ink outline and a soft drop.
void PaperGlyph(Canvas& c, const Sdf& glyph);

// Paintings the families are cut from, at any size: the tests check that pieces put together
// equal a painting at the assembled size.

Canvas PaintWideButton(State s, int width);
Canvas PaintPanelCard(bool popup, int w, int h);
} // namespace DataGen
