#pragma once
// Pieces shared by the character art: the big Tic eyes, a whole Tic, and two canvas helpers
// (an SDF read back from a coverage mask, and a smooth resize for previews).
#include "Canvas.h"
#include "Paint.h"
#include "Sdf.h"

#include <vector>

namespace DataGen
{
// The five line tints and the shades the art direction derives from them.
namespace TicColors
{
inline const Rgba Red{1.0f, 0.0f, 0.0f, 1.0f};                           // #FF0000
inline const Rgba Green{8 / 255.0f, 184 / 255.0f, 66 / 255.0f, 1.0f};    // #08B842
inline const Rgba Blue{0.0f, 120 / 255.0f, 209 / 255.0f, 1.0f};          // #0078D1
inline const Rgba Yellow{1.0f, 184 / 255.0f, 0.0f, 1.0f};                // #FFB800
inline const Rgba Purple{128 / 255.0f, 26 / 255.0f, 153 / 255.0f, 1.0f}; // #801A99
inline Rgba LightOf(Rgba mid)
{
    return Lighten(mid, 0.45);
}
inline Rgba DarkOf(Rgba mid)
{
    return Darken(mid, 0.55);
}
} // namespace TicColors

struct EyeLook
{
    Vec2 centre;
    Vec2 radii;          // of the white
    Vec2 look{0.0, 0.0}; // where the pupil points, -1..1 on each axis
    double pupil = 0.55; // pupil radius as a share of the smaller radius
    double lid = 0.0;    // 0 open .. 1 closed: a lid of `lidColor` comes down from the top
    Rgba lidColor = Palette::Ink;
    double outline = 1.4;
};

// A white with an ink rim, a dark pupil with one catch-light up and to the left.
void DrawEye(Canvas& canvas, const EyeLook& eye);

struct TicLook
{
    Vec2 centre;
    double radius = 30.0;
    Rgba color = TicColors::Blue;
    Vec2 look{0.0, 0.0};
    double squash = 1.0; // height over width
    double tilt = 0.0;   // turns
    bool wisp = true;    // the curly antenna of the basic Tic
    double outline = 2.0;
};

// A round Tic: dome-shaded body with rim and highlight, ink outline, two big eyes, a small smile.
void DrawTic(Canvas& canvas, const TicLook& tic);

// A signed distance field, in pixels, of where `mask`'s alpha is above one half; exact up to
// `reach` pixels from the edge, clamped beyond. Sampled bilinearly between pixel centres.
Sdf MaskSdf(const Canvas& mask, int reach);

// `shape`, answered without evaluating it at points more than `margin` pixels outside the box
// [lo, hi] that holds it: there the distance to the box is a lower bound, and far enough out
// for fills, shadows and glows of up to `margin` pixels to skip the point. Long strokes on big
// canvases cost a pass over every segment per pixel otherwise.
Sdf Bounded(Sdf shape, Vec2 lo, Vec2 hi, double margin = 24.0);
// A stroke along the points, bounded as above.
Sdf BoundedStroke(std::vector<Vec2> points, double halfWidth, double margin = 24.0);

// A box-filtered resize, for the contact sheet's composed previews.
Canvas Resize(const Canvas& source, int width, int height);

// The canvas flattened onto `background`, fully opaque (for JPEG).
Canvas FlattenOnto(const Canvas& c, Rgba background);
} // namespace DataGen
