#include "Icons.h"

#include "Blobs.h"
#include "Paint.h"

#include <vector>

namespace DataGen
{
void DrawTick(Canvas& c, Vec2 o, double size, double ink)
{
    const double k = size / 24.0;
    const Sdf tick = Bounded(
        StrokeSdf({o + Vec2{-9.5, 0.5} * k, o + Vec2{-3.0, 7.0} * k, o + Vec2{10.0, -8.5} * k}, 2.6 * k),
        o - Vec2{size, size}, o + Vec2{size, size}, 8.0);
    DropShadow(c, tick, Vec2{0.5, 1.2} * k, 1.4 * k, WithAlpha(Palette::Ink, 0.3));
    FillShape(c, tick, DomeShade(tick, Solid(Palette::Teal), DomeLight{0.8, 2.6 * k, 0.6, 0.2, 0.5, 16}));
    Outline(c, tick, ink, WithAlpha(Palette::Ink, 0.9));
}

void DrawStar(Canvas& c, Vec2 o, double r, double ink)
{
    std::vector<Vec2> pts;
    for (int i = 0; i < 10; ++i)
    {
        const double rr = i % 2 == 0 ? r : r * 0.46;
        const double t = i / 10.0 - 0.25;
        pts.push_back(o + Vec2{Det::CosTurns(t) * rr, Det::SinTurns(t) * rr});
    }
    const Sdf star = Bounded(Offset(PolygonSdf(pts), -r * 0.04), o - Vec2{r, r}, o + Vec2{r, r}, 8.0);
    const Sdf rounded = Offset(star, r * 0.04);
    DropShadow(c, rounded, Vec2{0.6, 1.4} * (r / 10.0), r * 0.12, WithAlpha(Palette::Ink, 0.3));
    FillShape(c, rounded,
              DomeShade(rounded,
                        LinearGradient(o - Vec2{r, r}, o + Vec2{r, r}, Hex("#FFE07A"), Hex("#F0A81C")),
                        DomeLight{1.0, r * 0.35, 0.6, 0.25, 0.6, 18}));
    Outline(c, rounded, ink, Palette::Ink, ink * 0.5);
}

void DrawPadlock(Canvas& c, Vec2 o, double size, Rgba color, double ink)
{
    const double k = size / 24.0;
    const Sdf shackle =
        Subtract(Bounded(Subtract(CapsuleSdf(o + Vec2{0, -5} * k, o + Vec2{0, -2} * k, 6.8 * k),
                                  CapsuleSdf(o + Vec2{0, -5} * k, o + Vec2{0, -2} * k, 4.0 * k)),
                         o - Vec2{size, size}, o + Vec2{size, size}, 8.0),
                 RoundedRectSdf(o.x - 9 * k, o.y - 1 * k, o.x + 9 * k, o.y + 11 * k, 2.5 * k));
    const Sdf body = RoundedRectSdf(o.x - 8.5 * k, o.y - 1.5 * k, o.x + 8.5 * k, o.y + 11 * k, 2.8 * k);
    const Rgba metal = Mix(color, Palette::White, 0.25);
    FillShape(c, shackle, DomeShade(shackle, Solid(metal), DomeLight{1.0, 1.4 * k, 0.55, 0.3, 0.6, 18}));
    Outline(c, shackle, ink, Palette::Ink, ink * 0.5);
    DropShadow(c, body, Vec2{0.5, 1.2} * k, 1.2 * k, WithAlpha(Palette::Ink, 0.3));
    FillShape(c, body, DomeShade(body, Solid(color), DomeLight{1.0, 3.0 * k, 0.6, 0.25, 0.4, 18}));
    Outline(c, body, ink, Palette::Ink, ink * 0.5);
    const Sdf hole = Union(CircleSdf(o + Vec2{0, 3.5} * k, 1.8 * k),
                           CapsuleSdf(o + Vec2{0, 3.5} * k, o + Vec2{0, 7} * k, 0.8 * k));
    FillShape(c, hole, Solid(Palette::Ink));
}

void DrawYarnBall(Canvas& c, Vec2 o, double r, Rgba color, double ink)
{
    const Sdf ball = Bounded(CircleSdf(o, r), o - Vec2{r, r}, o + Vec2{r, r}, 8.0);
    DropShadow(c, ball, Vec2{0.6, 1.5} * (r / 10.0), r * 0.15, WithAlpha(Palette::Ink, 0.3));
    FillShape(c, ball, DomeShade(ball, Solid(color), DomeLight{1.0, r * 0.7, 0.55, 0.3, 0.4, 16}));
    // Windings across the ball in two directions.
    for (int k = -2; k <= 2; ++k)
    {
        const double off = k * r * 0.32;
        const Sdf a = StrokeSdf(Shape::FlattenQuadratic(o + Vec2{-r, off}, o + Vec2{0, off - r * 0.55},
                                                        o + Vec2{r, off + r * 0.2}, 16),
                                std::max(0.5, r * 0.06));
        FillShape(c, Intersect(a, ball), Solid(WithAlpha(Darken(color, 0.6), 0.6)));
    }
    const Sdf cross = StrokeSdf(
        Shape::FlattenQuadratic(o + Vec2{-r * 0.3, -r}, o + Vec2{r * 0.35, 0}, o + Vec2{-r * 0.1, r}, 16),
        std::max(0.5, r * 0.06));
    FillShape(c, Intersect(cross, ball), Solid(WithAlpha(Lighten(color, 0.4), 0.7)));
    Outline(c, ball, ink, Palette::Ink, ink * 0.5);
}
} // namespace DataGen
