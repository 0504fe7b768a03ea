// Splash, title and main menu art. The backgrounds are calm, low-saturation rooms so the
// saturated Tics and the paper UI stay in front; light comes from the top-left as everywhere.
#include "Title.h"

#include "Blobs.h"
#include "Brush.h"
#include "Noise.h"
#include "Scenery.h"
#include "Text.h"
#include "UiKit.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace DataGen
{
namespace
{
constexpr int kScreenW = 800, kScreenH = 600;

Canvas Splash()
{
    Canvas c(kScreenW, kScreenH);
    const ValueNoise fibre(0x5a1a5a);
    const Rgba centre = Hex("#FBF5EA"), edge = Hex("#EBDCC4");
    PaintPixels(c,
                [&](Vec2 p)
                {
                    const double r = Length((p - Vec2{360, 230}) / 520.0);
                    Rgba col = Mix(centre, edge, Det::Clamp01(r));
                    const double n = fibre.Fbm(p.x / 9.0, p.y / 3.5, 4) - 0.5;
                    col = ScaleValue(col, 1.0 + n * 0.05);
                    return Vignette(col, p, kScreenW, kScreenH, 0.12);
                });
    // Two long wisps of yarn drifting across the paper.
    Wisp(c, Shape::FlattenQuadratic({-20, 470}, {300, 360}, {820, 520}, 48), 5.0, Palette::Teal, 0.22);
    Wisp(c, Shape::FlattenQuadratic({-20, 110}, {420, 30}, {820, 150}, 48), 4.0, Palette::Coral, 0.2);

    // The emblem: a teal dome with a paper wisp curling out of it.
    const Vec2 at{400, 235};
    const Sdf dome = CircleSdf(at, 72);
    DropShadow(c, dome, {4, 7}, 8, WithAlpha(Palette::Ink, 0.3));
    FillShape(c, dome,
              DomeShade(dome,
                        LinearGradient(at - Vec2{60, 60}, at + Vec2{60, 60}, Lighten(Palette::Teal, 0.25),
                                       ScaleValue(Palette::Teal, 0.85)),
                        DomeLight{1.0, 30, 0.6, 0.3, 0.5, 18}));
    Outline(c, dome, 3.0, Palette::Ink, 1.5);
    Yarn(c, Spiral(at + Vec2{6, 4}, 6, 44, 0.0, 1.6, 80), 6.0, Palette::Paper, 2.0);
    const Sdf dot = CircleSdf(at + Vec2{44, -42}, 11);
    FillShape(c, dot, DomeShade(dot, Solid(Palette::Coral), DomeLight{1.0, 6, 0.6, 0.3, 0.6, 18}));
    Outline(c, dot, 2.0, Palette::Ink, 1.0);

    const TextStyle word{Face::SansBold, 76, Palette::Ink, Align::Center};
    DrawText(c, "Quorvane", 0, 328, kScreenW, word);
    // A stitched coral underline.
    for (int i = 0; i < 22; ++i)
    {
        const double x = 272 + i * 12.0;
        const Sdf stitch = CapsuleSdf({x, 433}, {x + 6, 433}, 2.0);
        FillShape(c, stitch, Solid(Palette::Coral));
    }
    return FlattenOnto(c, Palette::Paper);
}

Canvas TitleBackground()
{
    Canvas c(kScreenW, kScreenH);
    const ValueNoise clouds(0x717e), fibre(0x717f);
    const Rgba top = Hex("#A9D9D4"), bottom = Hex("#F6EBD9");
    PaintPixels(
        c,
        [&](Vec2 p)
        {
            Rgba col = Mix(top, bottom, Det::Smoothstep(0.0, 1.0, p.y / kScreenH));
            // Soft cloud banks, lighter, drifting from the top-left.
            const double n = clouds.Fbm(p.x / 170.0, p.y / 90.0, 5);
            col = Lighten(col, Det::Smoothstep(0.5, 0.8, n) * 0.35);
            // A warm pool of light behind the logo.
            const double glow = 1.0 - Det::Clamp01(Length(PerAxis(p - Vec2{400, 250}, Vec2{420, 260})));
            col = Mix(col, Hex("#FFF7E6"), glow * glow * 0.55);
            col = ScaleValue(col, 1.0 + (fibre.Fbm(p.x / 7.0, p.y / 3.0, 3) - 0.5) * 0.04);
            return Vignette(col, p, kScreenW, kScreenH, 0.16);
        });
    Pcg32 rng(0x717e5);
    // Long S-shaped wisps drifting across, each two bends.
    for (int i = 0; i < 5; ++i)
    {
        const double y = 70 + i * 105 + rng.Signed() * 30, x0 = -60 + rng.Uniform() * 120;
        const double bend = (i % 2 == 0 ? 1.0 : -1.0) * (60 + rng.Uniform() * 60);
        const Rgba col = i % 3 == 0 ? Palette::Coral : (i % 3 == 1 ? Palette::White : Palette::Teal);
        std::vector<Vec2> path = Shape::FlattenQuadratic({x0, y}, {x0 + 220, y + bend}, {x0 + 440, y}, 32);
        const auto second =
            Shape::FlattenQuadratic({x0 + 440, y}, {x0 + 660, y - bend}, {x0 + 900, y + bend * 0.3}, 32);
        path.insert(path.end(), second.begin() + 1, second.end());
        Wisp(c, path, 3.0 + rng.Uniform() * 3.0, col, 0.2 + rng.Uniform() * 0.12);
    }
    // Little curls floating up like thoughts, and a few sparkles.
    for (int i = 0; i < 9; ++i)
    {
        const Vec2 at{40 + rng.Uniform() * 720, 40 + rng.Uniform() * 520};
        if (Length(PerAxis(at - Vec2{400, 245}, Vec2{300, 120})) < 1.0)
            continue;
        FillShape(c, BoundedStroke(Spiral(at, 16 + rng.Uniform() * 8, 3, rng.Uniform(), 1.4, 48), 1.8),
                  Solid(WithAlpha(Palette::White, 0.5)), 2.0);
    }
    for (int i = 0; i < 10; ++i)
    {
        const Vec2 at{30 + rng.Uniform() * 740, 30 + rng.Uniform() * 540};
        if (Length(PerAxis(at - Vec2{400, 245}, Vec2{300, 120})) < 1.0)
            continue;
        Sparkle(c, at, 5 + rng.Uniform() * 6);
    }
    // A strand of yarn along the foot of the screen, behind the Tics.
    Yarn(c, Shape::FlattenQuadratic({-20, 540}, {400, 500}, {820, 552}, 64), 5.0, Palette::Coral, 1.8);
    // Tics peeking up over the foot of the screen at the name.
    const struct
    {
        double x, r;
        Rgba color;
        Vec2 look;
    } peekers[] = {{130, 36, TicColors::Green, {0.45, -0.7}},
                   {265, 32, TicColors::Yellow, {0.3, -0.8}},
                   {545, 34, TicColors::Red, {-0.3, -0.8}},
                   {672, 38, TicColors::Purple, {-0.45, -0.7}},
                   {402, 28, TicColors::Blue, {0.0, -0.9}}};
    for (const auto& t : peekers)
    {
        TicLook tic;
        tic.centre = {t.x, 598 - t.r * 0.5};
        tic.radius = t.r;
        tic.color = t.color;
        tic.look = t.look;
        tic.wisp = t.r > 33;
        DropShadow(c, CircleSdf(tic.centre + Vec2{4, 6}, t.r), {0, 0}, 6, WithAlpha(Palette::Ink, 0.22));
        DrawTic(c, tic);
    }
    return FlattenOnto(c, Palette::Paper);
}

Canvas TitleTics();

// The room without the Tics: the entrance slides the hero picture in, and the menu's layout
// shows it at rest once the slide is over, so one set of Tics is ever on screen.
Canvas MainMenuBackground()
{
    Canvas c(kScreenW, kScreenH);
    const ValueNoise fibre(0x3e4a), light(0x3e4b);
    const Rgba wall = Hex("#F1E2C9"), wainscot = Hex("#7FB8B0");
    const double rail = 392.0;
    PaintPixels(c,
                [&](Vec2 p)
                {
                    Rgba col;
                    if (p.y < rail)
                    {
                        col = wall;
                        // Wallpaper lattice: thin diagonal lines with a teal dot at each crossing.
                        const double u = Det::Fract((p.x + p.y) / 56.0), v = Det::Fract((p.x - p.y) / 56.0);
                        const double line = std::min(std::min(u, 1.0 - u), std::min(v, 1.0 - v)) * 56.0;
                        col = Mix(col, Hex("#E2CFB2"), Det::Clamp01(1.2 - line) * 0.8);
                        const double du = (u < 0.5 ? u : 1.0 - u) * 56.0, dv = (v < 0.5 ? v : 1.0 - v) * 56.0;
                        const double dot = std::sqrt(du * du + dv * dv);
                        col = Mix(col, Mix(wall, Palette::Teal, 0.45), Det::Clamp01(3.5 - dot));
                    }
                    else
                    {
                        // Boards with a stitched seam every 50 px.
                        col = wainscot;
                        const double seam = std::fabs(Det::Fract(p.x / 50.0) - 0.5) * 50.0;
                        col = Mix(col, ScaleValue(wainscot, 0.82), Det::Clamp01(1.5 - (25.0 - seam)));
                    }
                    // Daylight falling in from a window up and to the left.
                    const double l = 1.0 - Det::Clamp01(Length(PerAxis(p - Vec2{-60, -80}, Vec2{900, 760})));
                    col = ScaleValue(col, 0.86 + 0.2 * l);
                    col = Lighten(
                        col, 0.1 * Det::Smoothstep(0.4, 0.9, light.Fbm(p.x / 200.0, p.y / 200.0, 3)) * l);
                    col = ScaleValue(col, 1.0 + (fibre.Fbm(p.x / 7.0, p.y / 3.0, 3) - 0.5) * 0.05);
                    return Vignette(col, p, kScreenW, kScreenH, 0.2);
                });
    // The rail: a wooden shelf with its shadow on the wall below.
    const Sdf shelf = RoundedRectSdf(-10, rail - 14, 810, rail + 6, 4);
    DropShadow(c, shelf, {0, 6}, 6, WithAlpha(Palette::Ink, 0.35));
    FillShape(c, shelf,
              DomeShade(shelf, LinearGradient({0, rail - 14}, {0, rail + 6}, Hex("#C99460"), Hex("#9A6840")),
                        DomeLight{1.0, 5, 0.6, 0.2, 0.3, 16}));
    Outline(c, shelf, 2.0, Palette::Ink, 1.0);
    // Balls of yarn on the shelf, away from the nest and the menu.
    const struct
    {
        Vec2 at;
        double r;
        Rgba color;
    } balls[] = {{{46, rail - 34}, 20, Palette::Coral},
                 {{84, rail - 28}, 14, Hex("#FFB800")},
                 {{452, rail - 30}, 16, Palette::Teal}};
    for (const auto& b : balls)
    {
        const Sdf ball = CircleSdf(b.at, b.r);
        DropShadow(c, ball, {3, 4}, 3, WithAlpha(Palette::Ink, 0.3));
        FillShape(c, ball, DomeShade(ball, Solid(b.color), DomeLight{1.0, b.r * 0.7, 0.55, 0.3, 0.4, 16}));
        for (int k = -2; k <= 2; ++k)
        {
            const auto wind = Shape::FlattenQuadratic(b.at + Vec2{-b.r, k * b.r * 0.3},
                                                      b.at + Vec2{0, k * b.r * 0.3 - b.r * 0.5},
                                                      b.at + Vec2{b.r, k * b.r * 0.3 + b.r * 0.2}, 16);
            FillShape(c, Intersect(BoundedStroke(wind, 0.8), ball),
                      Solid(WithAlpha(Darken(b.color, 0.6), 0.6)));
        }
        Outline(c, ball, 2.0, Palette::Ink, 1.0);
    }
    Yarn(c, Shape::FlattenQuadratic({92, rail - 18}, {106, rail + 4}, {110, rail + 48}, 24), 1.6,
         Hex("#FFB800"), 1.0);
    return FlattenOnto(c, Palette::Paper);
}

// The letters as one shape: the face's coverage turned into a distance field, grown a little so
// the strokes are round like yarn.
struct Lettering
{
    Sdf shape;
    double splitX; // where "Tangle" ends and "wisp" begins
    double top, bottom, left, right;
};

Lettering LogoLettering(int w, int h)
{
    const std::string word = "Tanglewisp";
    TextStyle style{Face::SansBold, 100, Palette::Ink, Align::Left};
    while (style.pixels > 20 && TextWidth(DecodeLatin1Text(word), style) > 420)
        --style.pixels;
    const int width = TextWidth(DecodeLatin1Text(word), style);
    const int x0 = (w - width) / 2, y0 = 38;
    Canvas mask(w, h);
    style.color = Palette::White;
    DrawText(mask, word, x0, y0, 0, style);
    Lettering l;
    l.shape = Offset(MaskSdf(mask, 24), 3.0);
    l.splitX = x0 + TextWidth(DecodeLatin1Text("Tangle"), style) + 1.0;
    l.left = x0;
    l.right = x0 + width;
    l.top = y0;
    l.bottom = y0 + style.pixels;
    return l;
}

Canvas TitleLogo()
{
    const int w = 520, h = 190;
    Canvas c(w, h);
    const Lettering l = LogoLettering(w, h);
    const Sdf sticker = Offset(l.shape, 8.0);
    DropShadow(c, sticker, {3, 6}, 6, WithAlpha(Palette::Ink, 0.35));
    FillShape(c, sticker, Solid(Palette::Paper));
    Outline(c, sticker, 2.4, Palette::Ink, 1.2);

    // The wisps: a coral thread looping out of the T, a teal curl off the p.
    const Vec2 tStart{l.left + 6, l.top + 14};
    std::vector<Vec2> loop = Spiral(tStart + Vec2{-18, 20}, 16, 6, 0.75, -0.9, 30);
    loop.insert(loop.begin(), tStart);
    Yarn(c, loop, 3.4, Palette::Coral, 2.0);
    const Vec2 pEnd{l.right - 6, l.top + 44};
    std::vector<Vec2> curl = Shape::FlattenQuadratic(pEnd, pEnd + Vec2{24, -26}, pEnd + Vec2{18, -50}, 20);
    const std::vector<Vec2> tail = Spiral(pEnd + Vec2{9, -54}, 9, 3, 0.0, 0.85, 24);
    curl.insert(curl.end(), tail.begin(), tail.end());
    Yarn(c, curl, 3.4, Palette::Teal, 2.0);

    const double split = l.splitX;
    const Rgba coral = Palette::Coral, teal = Palette::Teal;
    const Shader base = [=](Vec2 p, double)
    {
        const bool first = p.x < split;
        const Rgba mid = first ? coral : teal;
        const double t = Det::Clamp01((p.y - l.top) / (l.bottom - l.top));
        Rgba col = Mix(Lighten(mid, 0.22), ScaleValue(mid, 0.82), t);
        // Plied yarn: a slanted twist across every stroke.
        const double ply = Det::Fract((p.x * 0.8 + p.y) / 9.0);
        col = Mix(col, ScaleValue(col, 0.78),
                  Det::Smoothstep(0.55, 0.7, ply) * (1.0 - Det::Smoothstep(0.85, 1.0, ply)));
        return col;
    };
    FillShape(c, l.shape, DomeShade(l.shape, base, DomeLight{1.0, 7.0, 0.55, 0.3, 0.5, 18}));
    Outline(c, l.shape, 2.6, Palette::Ink, 1.3);

    Sparkle(c, {l.right + 30, l.top + 8}, 9);
    Sparkle(c, {l.left - 26, l.bottom + 18}, 7);
    Sparkle(c, {l.right - 60, l.bottom + 40}, 6);
    return c;
}

Canvas GlowHalo()
{
    const int w = 600, h = 260;
    Canvas c(w, h);
    const Vec2 centre{w * 0.5, h * 0.5}, radii{w * 0.5, h * 0.5};
    PaintPixels(c,
                [&](Vec2 p)
                {
                    const double t = Length(PerAxis(p - centre, radii));
                    const double a = Det::PowInt(1.0 - Det::Smoothstep(0.0, 1.0, t), 2) * 0.8;
                    return WithAlpha(Mix(Hex("#FFF8E6"), Lighten(Palette::Teal, 0.55), Det::Clamp01(t * 1.2)),
                                     a);
                });
    return c;
}

Canvas MenuTable()
{
    const int w = 800, h = 137;
    Canvas c(w, h);
    const ValueNoise grain(0xde5c);
    const Sdf top = RoundedRectSdf(-20, 14, 820, 180, 12);
    const Sdf front = RoundedRectSdf(-20, 50, 820, 180, 8);
    DropShadow(c, top, {0, -2}, 6, WithAlpha(Palette::Ink, 0.25));
    const auto wood = [&](Rgba a, Rgba b)
    {
        return [=, &grain](Vec2 p, double)
        {
            const double n = grain.Fbm(p.x / 90.0, p.y / 2.5, 4);
            return Mix(a, b, Det::Clamp01(n * 1.4 - 0.2));
        };
    };
    FillShape(c, top,
              DomeShade(top, wood(Hex("#D8A771"), Hex("#C08550")), DomeLight{1.0, 8, 0.6, 0.2, 0.35, 16}));
    Outline(c, top, 2.4, Palette::Ink, 1.2);
    FillShape(c, front, wood(Hex("#9C6640"), Hex("#83522F")));
    // A highlight along the lip where the light catches it, the edge itself in ink.
    FillShape(c, Intersect(top, [](Vec2 p) { return std::fabs(p.y - 46.0) - 1.2; }),
              Solid(WithAlpha(Hex("#F4D3A5"), 0.8)));
    FillShape(
        c, [](Vec2 p) { return std::fabs(p.y - 50.0) - 1.0; }, Solid(Palette::Ink));
    // A teal felt runner along the front, stitched at both edges.
    const Sdf runner = [](Vec2 p) { return std::fabs(p.y - 88.0) - 20.0; };
    FillShape(
        c, runner,
        LinearGradient({0, 68}, {0, 108}, Lighten(Palette::Teal, 0.12), ScaleValue(Palette::Teal, 0.8)));
    FillShape(
        c, [](Vec2 p) { return std::fabs(std::fabs(p.y - 88.0) - 20.0) - 0.8; }, Solid(Palette::Ink));
    for (double y : {73.0, 103.0})
        for (int i = 0; i < 67; ++i)
        {
            const double x = 4 + i * 12.0;
            FillShape(c, CapsuleSdf({x, y}, {x + 6, y}, 1.1), Solid(WithAlpha(Palette::Paper, 0.85)));
        }
    return c;
}

Canvas Nameplate()
{
    const int w = 270, h = 44;
    Canvas c(w, h);
    const Vec2 centre{135, 20.5}, half{131, 17.5};
    const double radius = 9.0;
    const Sdf card = RoundedBoxSdf(centre, half, radius);
    DropShadow(c, card, {0, 2.5}, 2.5, WithAlpha(Palette::Ink, 0.35));
    FillShape(c, card,
              DomeShade(card,
                        LinearGradient({0, 3}, {0, 38}, Lighten(Palette::Paper, 0.4),
                                       ScaleValue(Palette::Paper, 0.94)),
                        DomeLight{0.8, 5, 0.65, 0.2, 0.25, 20}));
    const Vec2 stitchHalf = half - Vec2{4.5, 4.5};
    const double per = RoundedBoxPerimeter(stitchHalf, radius - 4.5);
    const double n = std::floor(per / 7.0 + 0.5);
    DashedOutline(
        c, card, [=](Vec2 p) { return RoundedBoxPerimeterAt(p, centre, stitchHalf, radius - 4.5); }, per / n,
        0.5, 1.3, WithAlpha(Palette::Coral, 0.9), -4.0);
    Outline(c, card, 1.8, Palette::Ink, 0.9);
    for (double x : {14.0, 256.0})
    {
        const Sdf pin = CircleSdf({x, 20.5}, 3.6);
        FillShape(c, pin, DomeShade(pin, Solid(Hex("#D9A441")), DomeLight{1.0, 3, 0.5, 0.3, 0.8, 12}));
        Outline(c, pin, 1.2, Palette::Ink, 0.6);
    }
    return c;
}

// The hero picture: a bundle of Tics in a yarn nest. Painted with alpha; the JPEG keeps the
// colour and the mask keeps the alpha.
Canvas TitleTics()
{
    const int w = 320, h = 300;
    Canvas c(w, h);
    DropShadow(c, EllipseSdf({160, 280}, {128, 12}), {0, 0}, 10, WithAlpha(Palette::Ink, 0.45));
    // The inside of the nest, behind the Tics.
    const Sdf hollow = EllipseSdf({160, 214}, {132, 44});
    FillShape(c, hollow, LinearGradient({0, 170}, {0, 250}, Hex("#6E4F3A"), Hex("#A27A58")));
    Outline(c, hollow, 2.0, Palette::Ink, 1.0);

    const TicLook tics[] = {
        {{160, 100}, 44, TicColors::Blue, {0.0, 0.25}, 0.95, 0.0, true, 2.2},
        {{86, 134}, 38, TicColors::Purple, {0.35, 0.1}, 1.0, -0.02, true, 2.2},
        {{236, 130}, 40, TicColors::Yellow, {-0.35, 0.15}, 0.95, 0.025, true, 2.2},
        {{114, 180}, 40, TicColors::Red, {0.2, 0.3}, 0.92, -0.015, false, 2.2},
        {{208, 182}, 41, TicColors::Green, {-0.2, 0.3}, 0.92, 0.015, false, 2.2},
    };
    for (const TicLook& t : tics)
    {
        DropShadow(c, CircleSdf(t.centre + Vec2{4, 8}, t.radius * 0.95), {0, 0}, 6,
                   WithAlpha(Palette::Ink, 0.25));
        DrawTic(c, t);
    }

    // The front of the nest: a bowl of wound yarn.
    const Sdf bowl =
        SmoothUnion(Intersect(EllipseSdf({160, 224}, {150, 58}), [](Vec2 p) { return 224.0 - p.y; }),
                    EllipseSdf({160, 228}, {150, 22}), 8.0);
    const Sdf rimmed = SmoothUnion(
        bowl, Subtract(EllipseSdf({160, 222}, {152, 30}), EllipseSdf({160, 216}, {136, 20})), 6.0);
    FillShape(c, rimmed,
              DomeShade(rimmed, LinearGradient({0, 210}, {0, 282}, Hex("#D9B98C"), Hex("#A8825C")),
                        DomeLight{1.0, 14, 0.6, 0.25, 0.25, 16}));
    const Rgba strands[] = {Hex("#EBD3A8"), Palette::Coral, Hex("#C9A074"),
                            Palette::Teal,  Hex("#F3E3C3"), Hex("#B98B60")};
    Pcg32 rng(0x4e57);
    for (int i = 0; i < 26; ++i)
    {
        const double y = 216 + rng.Uniform() * 56, x0 = 8 + rng.Uniform() * 60, x1 = 252 + rng.Uniform() * 60;
        const double sag = 8 + rng.Uniform() * 22;
        // Strands cross at different slants, so the nest reads as wound, not striped.
        const double tilt = rng.Signed() * 16.0;
        const auto path = Shape::FlattenQuadratic({x0, y - 6 - tilt}, {160 + rng.Signed() * 50, y + sag},
                                                  {x1, y - 6 + tilt}, 28);
        const Sdf s = Intersect(BoundedStroke(path, 2.6), Offset(rimmed, -1.0));
        const Rgba col = strands[i % 6];
        FillShape(c, s, DomeShade(s, Solid(col), DomeLight{1.0, 2.6, 0.6, 0.2, 0.3, 16}));
        Outline(c, s, 0.9, WithAlpha(Palette::Ink, 0.55), 0.45);
    }
    Outline(c, rimmed, 2.4, Palette::Ink, 1.2);
    // Loose ends poking out.
    Yarn(c, Shape::FlattenQuadratic({18, 232}, {2, 214}, {14, 198}, 16), 2.4, Palette::Coral, 1.4);
    Yarn(c, Shape::FlattenQuadratic({302, 238}, {318, 224}, {308, 206}, 16), 2.4, Palette::Teal, 1.4);
    Sparkle(c, {40, 96}, 9);
    Sparkle(c, {282, 84}, 8);
    Sparkle(c, {160, 40}, 7);
    return c;
}

// The studio card the movie host shows for "Logos": the emblem and the studio's name in paper,
// on clear ground, so the movie's ink background shows round it.
Canvas StudioPoster()
{
    const int w = 360, h = 250;
    Canvas c(w, h);
    const Vec2 at{180, 82};
    const Sdf dome = CircleSdf(at, 56);
    Glow(c, dome, 18, WithAlpha(Palette::Teal, 0.35));
    FillShape(c, dome,
              DomeShade(dome,
                        LinearGradient(at - Vec2{46, 46}, at + Vec2{46, 46}, Lighten(Palette::Teal, 0.25),
                                       ScaleValue(Palette::Teal, 0.85)),
                        DomeLight{1.0, 24, 0.6, 0.3, 0.5, 18}));
    Outline(c, dome, 2.6, Palette::Paper, 1.3);
    Yarn(c, Spiral(at + Vec2{5, 3}, 5, 34, 0.0, 1.6, 72), 5.0, Palette::Paper, 1.8);
    const Sdf dot = CircleSdf(at + Vec2{34, -32}, 9);
    FillShape(c, dot, DomeShade(dot, Solid(Palette::Coral), DomeLight{1.0, 5, 0.6, 0.3, 0.6, 18}));
    Outline(c, dot, 1.8, Palette::Paper, 0.9);
    DrawText(c, "Quorvane", 0, 150, w, TextStyle{Face::SansBold, 54, Palette::Paper, Align::Center});
    for (int i = 0; i < 16; ++i)
    {
        const double x = 86 + i * 12.0;
        FillShape(c, CapsuleSdf({x, 226}, {x + 6, 226}, 2.0), Solid(Palette::Coral));
    }
    return c;
}

// The title card for the intro: the logo over the Tics in their nest, on clear ground.
Canvas TitlePoster()
{
    const int w = 290, h = 250;
    Canvas c(w, h);
    c.Composite(Scaled(TitleTics(), 0.5), (w - 160) / 2, 98);
    c.Composite(Scaled(TitleLogo(), 0.55), (w - 286) / 2, 0);
    return c;
}

} // namespace

FamilyArt PaintSplash()
{
    FamilyArt art;
    art.resources.push_back(Single("Splash_BG", Splash(), Format::Jpeg, "Splash_BG.jpg"));
    return art;
}

FamilyArt PaintTitleBackground()
{
    FamilyArt art;
    Canvas bg = TitleBackground();
    Canvas shown = bg;
    shown.Composite(TitleLogo(), (kScreenW - 520) / 2, 150);
    art.resources.push_back(Single("TitleBG", std::move(bg), Format::Jpeg, "TitleBG.jpg"));
    art.previews.push_back(
        Frame("title_preview", std::move(shown), "title screen: TitleBG, TitleLogo at y=150"));
    return art;
}

FamilyArt PaintMainMenuBackground()
{
    FamilyArt art;
    Canvas bg = MainMenuBackground();
    // The main menu as its layout puts it together, the glow at rest, the column of large buttons.
    Canvas shown = bg;
    shown.Composite(GlowHalo(), -24, -40, 0.8);
    shown.Composite(TitleLogo(), 16, 14);
    shown.Composite(Scaled(TitleTics(), 0.88), 102, 103);
    const Canvas button = PaintControl(240, 52, RoundedButton(240, 52, Palette::Teal), State::Normal);
    for (int i = 0; i < 7; ++i)
        shown.Composite(button, 546, 40 + 58 * i);
    shown.Composite(MenuTable(), 0, 463);
    shown.Composite(Nameplate(), 30, 503);
    shown.Composite(PaintControl(kSmallButtonWidth, kSmallButtonHeight,
                                 RoundedButton(kSmallButtonWidth, kSmallButtonHeight, Palette::Teal),
                                 State::Normal),
                    310, 503);
    art.resources.push_back(Single("MainMenu_BG", std::move(bg), Format::Jpeg, "MainMenu_BG.jpg"));
    art.previews.push_back(Frame("menu_preview", std::move(shown),
                                 "main menu: background, glow, logo, the Tics at rest, buttons, table"));
    return art;
}

FamilyArt PaintTitleLogo()
{
    FamilyArt art;
    art.resources.push_back(Single("TitleLogo", TitleLogo(), Format::Png));
    art.resources.push_back(Single("GlowHalo", GlowHalo(), Format::Png));
    return art;
}

FamilyArt PaintMenuTable()
{
    FamilyArt art;
    art.resources.push_back(Single("MenuTable", MenuTable(), Format::Png));
    art.resources.push_back(Single("Nameplate", Nameplate(), Format::Png));
    return art;
}

FamilyArt PaintTitleTics()
{
    const Canvas painted = TitleTics();
    Resource r = Single("titlescreen_image_odalee", FlattenOnto(painted, Palette::Ink), Format::Jpeg,
                        "titlescreen_image_odalee.jpg");
    r.companions.push_back(Frame("titlescreen_image_odalee_mask", MaskOf(painted), "_mask.png"));
    FamilyArt art;
    art.resources.push_back(std::move(r));
    art.previews.push_back(Frame("tics_preview", painted, "as drawn, masked"));
    return art;
}

FamilyArt PaintMoviePosters()
{
    FamilyArt art;
    art.resources.push_back(Single("Logos_poster", StudioPoster(), Format::Png));
    art.resources.push_back(Single("Intro-Commerical_poster", TitlePoster(), Format::Png));
    art.compactSheet = true;
    return art;
}
} // namespace DataGen
