#pragma once
// Pieces the screens' pictures share: whole-canvas painting, vignettes, yarn, wisps, sparkles
// and the small resource helpers of single pictures.
#include "Blobs.h"
#include "Brush.h"
#include "Family.h"
#include "Noise.h"
#include "Paint.h"

#include <string>
#include <vector>

namespace DataGen
{
// Per-axis division: distances measured in an ellipse's own radii.
inline Vec2 PerAxis(Vec2 a, Vec2 b)
{
    return {a.x / b.x, a.y / b.y};
}

// An image resource of one picture named like its file.
Resource Single(const std::string& name, Canvas c, Format format, std::string label = "");

// Per-pixel painting of a whole canvas from a straight colour function.
template <typename F> void PaintPixels(Canvas& c, F&& f)
{
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x)
            c.Put(x, y,
                  [&]
                  {
                      const Rgba s = f(Vec2{x + 0.5, y + 0.5});
                      return Rgba{s.r * s.a, s.g * s.a, s.b * s.a, s.a};
                  }());
}

// Darker towards the corners, so the eye rests in the middle.
Rgba Vignette(Rgba c, Vec2 p, int w, int h, double strength);

std::vector<Vec2> Spiral(Vec2 centre, double r0, double r1, double turn0, double turns, int steps);

// A piece of yarn: a dome-shaded stroke with an ink edge.
void Yarn(Canvas& c, const std::vector<Vec2>& path, double halfWidth, Rgba color, double ink = 1.6);

// A soft translucent wisp: no outline, fading at both ends.
void Wisp(Canvas& c, const std::vector<Vec2>& path, double halfWidth, Rgba color, double alpha);

// A blue-white four-point star.
void Sparkle(Canvas& c, Vec2 at, double r);

// Wood of a desk: long grain along x, darker boards every 150 px.
Rgba DeskWood(Vec2 p, const ValueNoise& grain);

// The alpha as an opaque grey picture: the engine reads a mask's low channel as alpha.
Canvas MaskOf(const Canvas& c);

Canvas Scaled(const Canvas& c, double k);
} // namespace DataGen
