#include "Scenery.h"

#include "Det.h"

#include <algorithm>
#include <cmath>

namespace DataGen
{
Resource Single(const std::string& name, Canvas c, Format format, std::string label)
{
    Resource r;
    r.name = name;
    r.frames.push_back(Frame(name, std::move(c), std::move(label)));
    r.frames.back().format = format;
    return r;
}

// Darker towards the corners, so the eye rests in the middle.
Rgba Vignette(Rgba c, Vec2 p, int w, int h, double strength)
{
    const double dx = (p.x / w - 0.5) * 2.0, dy = (p.y / h - 0.5) * 2.0;
    const double r2 = dx * dx * 0.8 + dy * dy;
    return ScaleValue(c, 1.0 - strength * Det::Smoothstep(0.35, 1.8, r2));
}

std::vector<Vec2> Spiral(Vec2 centre, double r0, double r1, double turn0, double turns, int steps)
{
    std::vector<Vec2> pts;
    for (int i = 0; i <= steps; ++i)
    {
        const double t = double(i) / steps;
        const double r = Det::Mix(r0, r1, t), a = turn0 + turns * t;
        pts.push_back(centre + Vec2{Det::CosTurns(a) * r, Det::SinTurns(a) * r});
    }
    return pts;
}

// A piece of yarn: a dome-shaded stroke with an ink edge.
void Yarn(Canvas& c, const std::vector<Vec2>& path, double halfWidth, Rgba color, double ink)
{
    const Sdf s = BoundedStroke(path, halfWidth);
    FillShape(c, s, DomeShade(s, Solid(color), DomeLight{1.0, halfWidth, 0.6, 0.25, 0.35, 16}));
    if (ink > 0.0)
        Outline(c, s, ink, Palette::Ink, ink * 0.5);
}

// A soft translucent wisp: no outline, fading at both ends.
void Wisp(Canvas& c, const std::vector<Vec2>& path, double halfWidth, Rgba color, double alpha)
{
    const Sdf s = BoundedStroke(path, halfWidth);
    const Vec2 a = path.front(), b = path.back();
    FillShape(
        c, s,
        [=](Vec2 p, double)
        {
            const double t = Det::Clamp01(Dot(p - a, b - a) / std::max(1.0, Dot(b - a, b - a)));
            return WithAlpha(color, alpha * Det::Smoothstep(0.0, 0.25, t) * Det::Smoothstep(1.0, 0.7, t));
        },
        3.0);
}

// A blue-white four-point star.
void Sparkle(Canvas& c, Vec2 at, double r)
{
    std::vector<Vec2> star;
    for (int i = 0; i < 8; ++i)
    {
        const double rr = i % 2 == 0 ? r : r * 0.28;
        star.push_back(at + Vec2{Det::CosTurns(i / 8.0 - 0.25) * rr, Det::SinTurns(i / 8.0 - 0.25) * rr});
    }
    const Sdf s = Bounded(PolygonSdf(star), at - Vec2{r, r}, at + Vec2{r, r});
    Glow(c, s, r * 0.8, WithAlpha(Hex("#BFE6FF"), 0.5));
    FillShape(c, s, RadialGradient(at, r, Palette::White, Hex("#8FD0FF")));
}

// The alpha as an opaque grey picture: the engine reads a mask's low channel as alpha.
Canvas MaskOf(const Canvas& c)
{
    Canvas m(c.Width(), c.Height());
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x)
        {
            const float a = static_cast<float>(ToByte(c.At(x, y).a) / 255.0);
            m.Put(x, y, {a, a, a, 1.0f});
        }
    return m;
}

Canvas Scaled(const Canvas& c, double k)
{
    return Resize(c, static_cast<int>(c.Width() * k + 0.5), static_cast<int>(c.Height() * k + 0.5));
}

Rgba DeskWood(Vec2 p, const ValueNoise& grain)
{
    const double n = grain.Fbm(p.x / 140.0, p.y / 3.0, 4);
    Rgba col = Mix(Hex("#B98258"), Hex("#9A6640"), Det::Clamp01(n * 1.5 - 0.25));
    const double seam = std::fabs(Det::Fract(p.y / 150.0) - 0.5) * 150.0;
    return Mix(col, Hex("#6E4529"), Det::Clamp01(1.2 - (75.0 - seam)) * 0.7);
}
} // namespace DataGen
