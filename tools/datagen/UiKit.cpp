// The shared UI kit, "yarn and wisps": paper cards, teal and coral controls with ink outlines,
// soft dome shading lit from the top-left, and stitched yarn details.
#include "UiKit.h"

#include "Brush.h"
#include "Noise.h"
#include "Paint.h"

#include <cmath>
#include <functional>

namespace DataGen
{
namespace
{
using Along = std::function<double(Vec2)>;

const Rgba kGlow = Mix(Palette::Teal, Palette::White, 0.35);

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

Rgba DisabledColor(Rgba c)
{
    return Mix(Desaturate(c, 1.0), WithAlpha(Palette::Disabled, c.a), 0.35);
}

// normal; hot +8 % value and a teal glow; down -10 % value, 1 px lower, pressed in; disabled
// desaturated at 55 % alpha; focus the normal look inside a 2 px dashed teal ring.
Canvas PaintControl(int w, int h, const ControlLook& look, State s)
{
    Canvas c(w, h);
    const double dy = s == State::Down ? 1.0 : 0.0;
    const double k = s == State::Hot ? 1.08 : (s == State::Down ? 0.90 : 1.0);
    const Sdf body = look.shape(dy);
    const bool down = s == State::Down;
    DropShadow(c, body, {0.0, down ? look.shadowDrop * 0.4 : look.shadowDrop},
               down ? look.shadowBlur * 0.6 : look.shadowBlur,
               WithAlpha(Palette::Ink, look.shadowAlpha * (down ? 0.7 : 1.0)));
    if (s == State::Hot)
        Glow(c, body, 6.0, WithAlpha(kGlow, 0.7));
    const Shader base = LinearGradient({0.0, look.gradientTop + dy}, {0.0, look.gradientBottom + dy},
                                       ScaleValue(look.top, k), ScaleValue(look.bottom, k));
    FillShape(c, body, DomeShade(body, base, look.light));
    if (down)
        InnerShadow(c, body, {0.0, look.innerShadowDepth}, 2.0, WithAlpha(Palette::Ink, 0.38));
    if (look.stitchAlong)
        DashedOutline(c, body, look.stitchAlong, look.stitchPeriod, 0.5, 1.2, WithAlpha(Palette::Paper, 0.55),
                      -look.stitchInset);
    Outline(c, body, look.outline, WithAlpha(Palette::Ink, 0.92));
    if (look.glyph)
        look.glyph(c, dy);
    if (s == State::Disabled)
    {
        c.MapColors(DisabledColor);
        c.MultiplyAlpha(0.55);
    }
    if (s == State::Focus)
        DashedOutline(c, body, look.along, look.ringPeriod, 0.55, 2.0, Palette::Teal, look.ringOutset);
    return c;
}

// A period near `wanted` that fits a whole number of times into `perimeter`.
double FitPeriod(double perimeter, double wanted)
{
    const double n = std::floor(perimeter / wanted + 0.5);
    return perimeter / (n < 1.0 ? 1.0 : n);
}

Resource StateList(const std::string& name, const std::function<Canvas(State)>& paint)
{
    Resource r;
    r.kind = Resource::Kind::ImageList;
    r.name = name;
    for (State s : kAllStates)
        r.frames.push_back(Frame(name + "_" + StateName(s), paint(s), StateName(s)));
    return r;
}

// A rounded button filling w x h, with room for its shadow, glow and focus ring.
ControlLook RoundedButton(int w, int h, Rgba color)
{
    const double x0 = 4.5, x1 = w - 4.5, y0 = 4.0, y1 = h - 7.0;
    const double radius = std::fmin(14.0, (y1 - y0) * 0.5 - 2.0);
    const Vec2 centre{(x0 + x1) * 0.5, (y0 + y1) * 0.5}, half{(x1 - x0) * 0.5, (y1 - y0) * 0.5};
    ControlLook look;
    look.shape = [=](double dy) { return RoundedBoxSdf({centre.x, centre.y + dy}, half, radius); };
    const Vec2 ringHalf = half + Vec2{3.0, 3.0};
    look.along = [=](Vec2 p) { return RoundedBoxPerimeterAt(p, centre, ringHalf, radius + 3.0); };
    look.ringPeriod = FitPeriod(RoundedBoxPerimeter(ringHalf, radius + 3.0), 9.0);
    const Vec2 stitchHalf = half - Vec2{3.0, 3.0};
    look.stitchAlong = [=](Vec2 p) { return RoundedBoxPerimeterAt(p, centre, stitchHalf, radius - 3.0); };
    look.stitchPeriod = FitPeriod(RoundedBoxPerimeter(stitchHalf, radius - 3.0), 6.0);
    look.top = Lighten(color, 0.2);
    look.bottom = ScaleValue(color, 0.84);
    look.gradientTop = y0;
    look.gradientBottom = y1;
    look.light.depth = std::fmin(10.0, (y1 - y0) * 0.35);
    look.light.bulge = 0.9;
    look.light.specular = 0.35;
    return look;
}

FamilyArt PlainButtonFamily(const std::string& name, int w, int h)
{
    const ControlLook look = RoundedButton(w, h, Palette::Teal);
    FamilyArt art;
    art.resources.push_back(StateList(name, [&](State s) { return PaintControl(w, h, look, s); }));
    return art;
}
} // namespace

// The arrow: paper inside an ink outline, its tip on pixel (0, 0), the hot spot. GIF has one
// bit of alpha, so the shading is a few flat palette steps and the edge is hard.
FamilyArt PaintCursorArrow()
{
    const std::vector<Vec2> arrow = {{-0.3, -0.3}, {-0.3, 24.0}, {5.6, 18.6}, {9.6, 27.6},
                                     {14.0, 25.8}, {10.2, 17.0}, {17.6, 17.0}};
    const Sdf shape = PolygonSdf(arrow);
    Canvas c(32, 32);
    FillShape(c, shape,
              DomeShade(shape, LinearGradient({0, 0}, {12, 26}, Palette::White, Palette::Paper),
                        DomeLight{0.8, 4.0, 0.6, 0.1, 0.0, 24}));
    // A teal yarn wisp along the shaft.
    FillShape(c, Intersect(shape, CapsuleSdf({3.2, 8.0}, {3.2, 17.5}, 1.1)), Solid(Palette::Teal));
    Outline(c, shape, 1.7, Palette::Ink);
    // Flatten to a small palette with a hard edge.
    const Rgba steps[] = {
        Palette::Ink,   Mix(Palette::Ink, Palette::Paper, 0.35),  Mix(Palette::Ink, Palette::Paper, 0.7),
        Palette::Paper, Mix(Palette::Paper, Palette::White, 0.6), Palette::Teal};
    Canvas flat(32, 32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
        {
            const Rgba p = c.StraightAt(x, y);
            if (p.a < 0.5f && !(x == 0 && y == 0))
                continue;
            const Rgba* best = &steps[0];
            double bestD = 1e9;
            for (const Rgba& s : steps)
            {
                const double d =
                    (p.r - s.r) * (p.r - s.r) + (p.g - s.g) * (p.g - s.g) + (p.b - s.b) * (p.b - s.b);
                if (d < bestD)
                {
                    bestD = d;
                    best = &s;
                }
            }
            flat.Put(x, y, *best);
        }
    flat.Put(0, 0, Palette::Ink);
    FamilyArt art;
    Resource r;
    r.name = "CursorArrow";
    r.frames.push_back(Frame("CursorArrow", flat, "CursorArrow.gif"));
    r.frames.back().format = Format::Gif;
    art.resources.push_back(std::move(r));
    return art;
}

FamilyArt PaintBtnLarge()
{
    return PlainButtonFamily("Btn_Large", 240, 52);
}
FamilyArt PaintBtnMedium()
{
    return PlainButtonFamily("Btn_Medium", 170, 44);
}
FamilyArt PaintBtnSmall()
{
    return PlainButtonFamily("Btn_Small", 110, 34);
}
} // namespace DataGen
