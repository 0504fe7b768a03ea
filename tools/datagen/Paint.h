#pragma once
// Drawing shapes onto a canvas: coverage anti-aliasing, the dome shading of the art
// direction (light from the top-left), outlines, shadows, glows and gradients.
#include "Canvas.h"
#include "Sdf.h"

#include <functional>

namespace DataGen
{
// A straight colour for a point and its distance to the outline.
using Shader = std::function<Rgba(Vec2 p, double d)>;

Shader Solid(Rgba c);
// From a at `from` to b at `to`, clamped beyond.
Shader LinearGradient(Vec2 from, Vec2 to, Rgba a, Rgba b);
Shader RadialGradient(Vec2 centre, double radius, Rgba inner, Rgba outer);

// Coverage anti-aliasing: clamp(0.5 - d / px) per pixel centre. Pixels of an empty or
// far-outside coverage are left alone.
void FillShape(Canvas& canvas, const Sdf& shape, const Shader& shader, double px = 1.0);

struct DomeLight
{
    double bulge = 1.0;     // how steep the rim is: 0 flat, 1 round
    double depth = 10.0;    // pixels from the outline to the flat top
    double ambient = 0.62;  // share of the light that does not depend on the normal
    double rim = 0.22;      // light rim on the side away from the light
    double specular = 0.45; // strength of the highlight
    int shininess = 24;
};

// Shades `base` as a soft dome over the shape: the height rises from the outline to a flat top
// `depth` pixels in; Lambert light from the top-left, a rim on the far side, one highlight.
// The flat top keeps the base colour, so pieces cut from a long shape tile seamlessly.
Shader DomeShade(const Sdf& shape, Shader base, DomeLight light = {});

// A ring of `width` pixels whose outer edge lies `outset` pixels outside the outline (0: the
// ring lies just inside the shape).
void Outline(Canvas& canvas, const Sdf& shape, double width, Rgba color, double outset = 0.0);
// As Outline, drawn only where fract(along(p) / period) < duty: dashes that follow the outline.
void DashedOutline(Canvas& canvas, const Sdf& shape, const std::function<double(Vec2)>& along, double period,
                   double duty, double width, Rgba color, double outset = 0.0);
// A soft shadow of the shape moved by `offset`, blurred over `blur` pixels either side.
void DropShadow(Canvas& canvas, const Sdf& shape, Vec2 offset, double blur, Rgba color);
// A halo outside the shape fading to nothing `radius` pixels out.
void Glow(Canvas& canvas, const Sdf& shape, double radius, Rgba color);
// Darkens the inside along the top-left edge, as if pressed in.
void InnerShadow(Canvas& canvas, const Sdf& shape, Vec2 offset, double blur, Rgba color);
// A soft round highlight.
void SpecularDot(Canvas& canvas, Vec2 centre, Vec2 radii, double strength);
} // namespace DataGen
