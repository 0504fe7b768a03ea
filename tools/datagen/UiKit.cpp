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
const Rgba kGlow = Mix(Palette::Teal, Palette::White, 0.45);
} // namespace

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
        Glow(c, body, look.ringOutset + 0.5, WithAlpha(kGlow, 0.95)); // fades out by the image edge
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

double RoundedButtonRadius(int h)
{
    return std::fmin(14.0, (h - 11.0) * 0.5 - 2.0);
}

// A rounded button filling w x h, with room for its shadow, glow and focus ring.
ControlLook RoundedButton(int w, int h, Rgba color)
{
    // Centred a pixel above the middle, where the engine centres the caption, less the shadow.
    const double x0 = 4.5, x1 = w - 4.5, y0 = 4.5, y1 = h - 6.5;
    const double radius = RoundedButtonRadius(h);
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

CaptionArea InsideStitches(const std::string& images, double left, double top, double right, double bottom,
                           double radius, double stitchInset)
{
    // A pixel of air inside the stitch line's inner edge (half its width inside the line), so
    // letters never touch the stitches.
    const double in = stitchInset + 0.6 + 1.0;
    return {images, left + in, top + in, right + in, bottom + in, std::fmax(0.0, radius - in)};
}

namespace
{
FamilyArt PlainButtonFamily(const std::string& name, int w, int h)
{
    const ControlLook look = RoundedButton(w, h, Palette::Teal);
    FamilyArt art;
    art.resources.push_back(StateList(name, [&](State s) { return PaintControl(w, h, look, s); }));
    art.captions.push_back(
        InsideStitches(name, 4.5, 4.5, 4.5, 6.5, RoundedButtonRadius(h), look.stitchInset));
    return art;
}

} // namespace

// Position along a stadium's ring: x on the straight parts, arc length around the caps, so
// dashes on a three-slice middle piece repeat with the piece.
Along CapsuleAlong(double leftX, double rightX, double cy, double ringRadius)
{
    return [=](Vec2 p)
    {
        if (p.x >= leftX && p.x <= rightX)
            return p.x;
        const double cx = p.x < leftX ? leftX : rightX;
        const double a = Det::AngleTurns(p.y - cy, p.x - cx);
        const double arc = 2.0 * Det::Pi * ringRadius;
        if (p.x < leftX)
            return leftX - (0.75 - a) * arc;
        return rightX + Det::Fract(a - 0.75) * arc;
    };
}

// Arc length around a circle.
Along CircleAlong(Vec2 centre, double radius)
{
    return [=](Vec2 p) { return Det::AngleTurns(p.y - centre.y, p.x - centre.x) * 2.0 * Det::Pi * radius; };
}

namespace
{
// The three-slice button: a stadium whose caps are 20 px wide around an 8 px middle piece.
constexpr int kWideCap = 20, kWideTile = 8, kWideHeight = 44;
constexpr double kWideRadius = 15.5, kWideCentreY = 20.0;

ControlLook WideButton(int width)
{
    const double r = kWideRadius, cy = kWideCentreY;
    const double left = kWideCap, right = width - kWideCap;
    ControlLook look;
    look.shape = [=](double dy) { return CapsuleSdf({left, cy + dy}, {right, cy + dy}, r); };
    look.along = CapsuleAlong(left, right, cy, r + 3.0);
    look.ringPeriod = kWideTile;
    look.stitchAlong = CapsuleAlong(left, right, cy, r - 3.0);
    look.stitchPeriod = kWideTile / 2.0;
    look.top = Lighten(Palette::Teal, 0.2);
    look.bottom = ScaleValue(Palette::Teal, 0.84);
    look.gradientTop = cy - r;
    look.gradientBottom = cy + r;
    look.light.depth = 10.0;
    look.light.bulge = 0.9;
    look.light.specular = 0.35;
    return look;
}

} // namespace

// A paper-coloured glyph with an ink outline and a soft drop, moved down with the button.
void PaperGlyph(Canvas& c, const Sdf& glyph)
{
    DropShadow(c, glyph, {0.0, 1.2}, 1.2, WithAlpha(Palette::Ink, 0.35));
    FillShape(c, glyph,
              DomeShade(glyph, Solid(Mix(Palette::Paper, Palette::White, 0.4)),
                        DomeLight{0.6, 3.0, 0.7, 0.1, 0.3, 16}));
    Outline(c, glyph, 1.3, WithAlpha(Palette::Ink, 0.85));
}

ControlLook RoundIcon(Rgba color, std::function<Sdf(double dy)> glyph)
{
    const Vec2 centre{24.0, 22.5};
    const double r = 17.5;
    ControlLook look;
    look.shape = [=](double dy) { return CircleSdf({centre.x, centre.y + dy}, r); };
    look.along = CircleAlong(centre, r + 3.0);
    look.ringPeriod = FitPeriod(2.0 * Det::Pi * (r + 3.0), 9.0);
    look.stitchAlong = CircleAlong(centre, r - 3.0);
    look.stitchPeriod = FitPeriod(2.0 * Det::Pi * (r - 3.0), 5.0);
    look.top = Lighten(color, 0.22);
    look.bottom = ScaleValue(color, 0.82);
    look.gradientTop = centre.y - r;
    look.gradientBottom = centre.y + r;
    look.light.depth = 12.0;
    look.light.bulge = 1.0;
    look.light.specular = 0.5;
    look.glyph = [glyph](Canvas& c, double dy) { PaperGlyph(c, glyph(dy)); };
    return look;
}

namespace
{
// Paper with a faint fibre grain that repeats every 24 px, so nine-slice pieces tile.
Shader PaperGrain(Rgba paper, uint64_t seed)
{
    const ValueNoise noise(seed);
    return [=](Vec2 p, double)
    {
        const double coarse = noise.AtPeriodic(p.x / 3.0, p.y / 3.0, 8);
        const double fine = noise.AtPeriodic(p.x / 1.5 + 40.0, p.y / 1.5 + 40.0, 16);
        const double k = 1.0 + 0.035 * (coarse - 0.5) + 0.02 * (fine - 0.5);
        return ScaleValue(paper, k);
    };
}

struct CardLook
{
    Rgba paper = Palette::Paper;
    uint64_t seed = 1;
    Vec2 shadowOffset{1.0, 3.0};
    double shadowBlur = 4.5, shadowAlpha = 0.28;
    double outline = 1.3, outlineAlpha = 0.55;
    bool stitched = false;
};

// A paper card filling w x h (3 px margin left, 2 top, 5 right, 7 bottom for the shadow).
// Everything more than 24 px from the edges is only grain, so the middle pieces tile.
Canvas PaintCard(const CardLook& look, int w, int h)
{
    const double x0 = 3.0, y0 = 2.0, x1 = w - 5.0, y1 = h - 7.0, r = 14.0;
    const Sdf body = RoundedRectSdf(x0, y0, x1, y1, r);
    Canvas c(w, h);
    DropShadow(c, body, look.shadowOffset, look.shadowBlur, WithAlpha(Palette::Ink, look.shadowAlpha));
    FillShape(c, body,
              DomeShade(body, PaperGrain(look.paper, look.seed), DomeLight{0.5, 5.0, 0.72, 0.12, 0.12, 12}));
    // A lighter lip just inside the edge: the cut edge of the card catching the light.
    Outline(c, Offset(body, -1.2), 1.0, WithAlpha(Palette::White, 0.45));
    if (look.stitched)
    {
        // Stitches follow x along the top and bottom and y along the sides, so they line up
        // across tiled pieces (period 8 divides the 24 px piece).
        const double inset = 6.0, sr = r - inset;
        const Vec2 centre{(x0 + x1) * 0.5, (y0 + y1) * 0.5};
        const double sx = (x1 - x0) * 0.5 - r, sy = (y1 - y0) * 0.5 - r;
        const Along along = [=](Vec2 p)
        {
            const Vec2 q = p - centre;
            if (std::fabs(q.x) <= sx)
                return p.x;
            if (std::fabs(q.y) <= sy)
                return p.y;
            const Vec2 cc{centre.x + (q.x > 0 ? sx : -sx), centre.y + (q.y > 0 ? sy : -sy)};
            const double a = Det::Fract(Det::AngleTurns(p.y - cc.y, p.x - cc.x) * 4.0);
            return (q.y < 0 ? cc.x : cc.y) + a * 0.5 * Det::Pi * sr;
        };
        DashedOutline(c, body, along, 8.0, 0.5, 1.6, WithAlpha(Palette::Teal, 0.9), -inset);
    }
    Outline(c, body, look.outline, WithAlpha(Palette::Ink, look.outlineAlpha));
    return c;
}

FamilyArt NineSliceFamily(const std::string& name, const Canvas& painting, int piece, int previewW,
                          int previewH)
{
    static const char* kPieces[] = {"tl", "t", "tr", "l", "c", "r", "bl", "b", "br"};
    const std::vector<Canvas> pieces = SliceNine(painting, piece);
    FamilyArt art;
    Resource r;
    r.kind = Resource::Kind::ImageList;
    r.name = name;
    for (size_t i = 0; i < pieces.size(); ++i)
        r.frames.push_back(Frame(name + "_" + kPieces[i], pieces[i], kPieces[i]));
    art.resources.push_back(std::move(r));
    art.previews.push_back(Frame(name + " preview", AssembleNine(pieces, previewW, previewH),
                                 std::to_string(previewW) + " x " + std::to_string(previewH)));
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
    // Tall enough for a caption with descenders inside the stitches.
    return PlainButtonFamily("Btn_Small", kSmallButtonWidth, kSmallButtonHeight);
}
} // namespace DataGen

namespace DataGen
{
Canvas PaintWideButton(State s, int width)
{
    return PaintControl(width, kWideHeight, WideButton(width), s);
}

Canvas PaintPanelCard(bool popup, int w, int h)
{
    CardLook look;
    if (popup)
    {
        look.seed = 2;
        look.shadowOffset = {1.5, 4.0};
        look.shadowBlur = 5.5;
        look.shadowAlpha = 0.34;
        look.outline = 2.0;
        look.outlineAlpha = 0.9;
        look.stitched = true;
    }
    return PaintCard(look, w, h);
}

FamilyArt PaintIconButtons()
{
    const auto back = [](double dy)
    {
        // A hooked arrow: a curved shaft ending in a head pointing left.
        const Sdf shaft =
            StrokeSdf(Shape::FlattenQuadratic({31.0, 30.0 + dy}, {33.5, 16.0 + dy}, {21.0, 17.0 + dy}), 2.6);
        const Sdf head = Offset(PolygonSdf({{13.5, 17.0 + dy}, {21.5, 11.0 + dy}, {21.5, 23.0 + dy}}), 1.2);
        return SmoothUnion(shaft, head, 1.5);
    };
    const auto prev = [](double dy) {
        return Offset(PolygonSdf({{16.0, 22.5 + dy}, {28.0, 14.5 + dy}, {28.0, 30.5 + dy}}), 1.6);
    };
    const auto next = [](double dy) {
        return Offset(PolygonSdf({{32.0, 22.5 + dy}, {20.0, 14.5 + dy}, {20.0, 30.5 + dy}}), 1.6);
    };
    const auto pause = [](double dy)
    {
        return Union(CapsuleSdf({19.5, 16.0 + dy}, {19.5, 29.0 + dy}, 3.3),
                     CapsuleSdf({28.5, 16.0 + dy}, {28.5, 29.0 + dy}, 3.3));
    };
    struct Icon
    {
        const char* name;
        Rgba color;
        std::function<Sdf(double)> glyph;
    };
    const Icon icons[] = {{"Btn_Icon_Back", Palette::Teal, back},
                          {"Btn_Icon_Prev", Palette::Teal, prev},
                          {"Btn_Icon_Next", Palette::Teal, next},
                          {"Btn_Pause", Palette::Coral, pause}};
    FamilyArt art;
    for (const Icon& icon : icons)
    {
        const ControlLook look = RoundIcon(icon.color, icon.glyph);
        art.resources.push_back(StateList(icon.name, [&](State s) { return PaintControl(48, 48, look, s); }));
    }
    return art;
}

FamilyArt PaintBtnTab()
{
    // Rounded top corners; the body runs on below the image, so the tab sits flush on its panel.
    const int w = 150, h = 40;
    const double x0 = 3.5, x1 = w - 3.5, y0 = 4.5, y1 = h + 14.0, r = 11.0;
    const Vec2 centre{(x0 + x1) * 0.5, (y0 + y1) * 0.5}, half{(x1 - x0) * 0.5, (y1 - y0) * 0.5};
    ControlLook look;
    look.shape = [=](double dy) { return RoundedBoxSdf({centre.x, centre.y + dy}, half, r); };
    const Vec2 ringHalf = half + Vec2{3.0, 3.0};
    look.along = [=](Vec2 p) { return RoundedBoxPerimeterAt(p, centre, ringHalf, r + 3.0); };
    look.ringPeriod = FitPeriod(RoundedBoxPerimeter(ringHalf, r + 3.0), 9.0);
    const Vec2 stitchHalf = half - Vec2{3.0, 3.0};
    look.stitchAlong = [=](Vec2 p) { return RoundedBoxPerimeterAt(p, centre, stitchHalf, r - 3.0); };
    look.stitchPeriod = FitPeriod(RoundedBoxPerimeter(stitchHalf, r - 3.0), 6.0);
    look.top = Lighten(Palette::Coral, 0.18);
    look.bottom = ScaleValue(Palette::Coral, 0.86);
    look.gradientTop = y0;
    look.gradientBottom = h;
    look.light.depth = 9.0;
    look.light.bulge = 0.9;
    look.light.specular = 0.3;
    look.shadowDrop = 1.5;
    look.shadowBlur = 2.5;
    FamilyArt art;
    art.resources.push_back(StateList("Btn_Tab", [&](State s) { return PaintControl(w, h, look, s); }));
    art.captions.push_back(InsideStitches("Btn_Tab", x0, y0, w - x1, h - y1, r, look.stitchInset));
    return art;
}

FamilyArt PaintBtnWide3()
{
    static const char* kParts[] = {"l", "m", "r"};
    const int w = 2 * kWideCap + kWideTile;
    FamilyArt art;
    Resource r;
    r.kind = Resource::Kind::ImageList;
    r.name = "Btn_Wide3";
    for (State s : kAllStates)
    {
        const std::vector<Canvas> parts =
            SliceColumns(PaintWideButton(s, w), {0, kWideCap, kWideCap + kWideTile, w});
        for (int i = 0; i < 3; ++i)
            r.frames.push_back(Frame(std::string("Btn_Wide3_") + StateName(s) + "_" + kParts[i],
                                     parts[static_cast<size_t>(i)],
                                     std::string(StateName(s)) + " " + kParts[i]));
        art.previews.push_back(Frame("Btn_Wide3 " + std::string(StateName(s)),
                                     AssembleThree(parts[0], parts[1], parts[2], 180),
                                     std::string(StateName(s)) + " at 180"));
    }
    art.resources.push_back(std::move(r));
    // The stadium as a rounded box whose corners are its caps.
    art.captions.push_back(InsideStitches("Btn_Wide3", kWideCap - kWideRadius, kWideCentreY - kWideRadius,
                                          kWideCap - kWideRadius, kWideHeight - kWideCentreY - kWideRadius,
                                          kWideRadius, 3.0));
    return art;
}

FamilyArt PaintPanel9()
{
    return NineSliceFamily("Panel9", PaintPanelCard(false, 72, 72), 24, 260, 160);
}

FamilyArt PaintPopup9()
{
    return NineSliceFamily("Popup9", PaintPanelCard(true, 72, 72), 24, 300, 200);
}

FamilyArt PaintField9()
{
    // An inset well of lighter paper; everything but the outline and the top shadow lies
    // within 8 px of the edge, so the pieces tile.
    const Sdf body = RoundedRectSdf(0.5, 0.5, 23.5, 23.5, 5.0);
    Canvas c(24, 24);
    FillShape(c, body, Solid(Mix(Palette::Paper, Palette::White, 0.7)));
    InnerShadow(c, body, {0.0, 1.6}, 1.6, WithAlpha(Palette::Ink, 0.25));
    Outline(c, body, 1.4, WithAlpha(Palette::Ink, 0.8));
    FamilyArt art = NineSliceFamily("Field9", c, 8, 300, 30);
    // The caret: an ink bar whose ends are softened.
    Canvas caret(2, 18);
    for (int y = 0; y < 18; ++y)
        for (int x = 0; x < 2; ++x)
            caret.Put(x, y, WithAlpha(Palette::Ink, 1.0));
    for (int x = 0; x < 2; ++x)
    {
        caret.Put(x, 0, {Palette::Ink.r * 0.6f, Palette::Ink.g * 0.6f, Palette::Ink.b * 0.6f, 0.6f});
        caret.Put(x, 17, {Palette::Ink.r * 0.6f, Palette::Ink.g * 0.6f, Palette::Ink.b * 0.6f, 0.6f});
    }
    Resource r;
    r.name = "Caret";
    r.frames.push_back(Frame("Caret", caret));
    art.resources.push_back(std::move(r));
    return art;
}

FamilyArt PaintChkStd()
{
    // A paper tile pressed into the card; checked, a teal yarn tick overshoots its corner.
    const double x0 = 3.5, y0 = 3.0, x1 = 24.5, y1 = 24.0, r = 6.0;
    const Vec2 centre{(x0 + x1) * 0.5, (y0 + y1) * 0.5}, half{(x1 - x0) * 0.5, (y1 - y0) * 0.5};
    ControlLook look;
    look.shape = [=](double dy) { return RoundedBoxSdf({centre.x, centre.y + dy}, half, r); };
    look.top = Mix(Palette::Paper, Palette::White, 0.75);
    look.bottom = Palette::Paper;
    look.gradientTop = y0;
    look.gradientBottom = y1;
    look.light = DomeLight{0.6, 4.0, 0.7, 0.15, 0.2, 16};
    look.shadowDrop = 1.5;
    look.shadowBlur = 1.8;
    look.shadowAlpha = 0.25;
    look.outline = 1.5;
    look.innerShadowDepth = 2.5;
    const ControlLook checked = [&]
    {
        ControlLook l = look;
        l.glyph = [](Canvas& c, double dy)
        {
            const Sdf tick = StrokeSdf({{9.0, 14.0 + dy}, {13.0, 18.5 + dy}, {22.0, 6.5 + dy}}, 2.5);
            DropShadow(c, tick, {0.5, 1.0}, 1.2, WithAlpha(Palette::Ink, 0.3));
            FillShape(c, tick, DomeShade(tick, Solid(Palette::Teal), DomeLight{0.8, 2.5, 0.6, 0.2, 0.5, 16}));
            Outline(c, tick, 1.2, WithAlpha(Palette::Ink, 0.9));
        };
        return l;
    }();
    const State states[] = {State::Normal, State::Hot, State::Down, State::Disabled};
    FamilyArt art;
    Resource res;
    res.kind = Resource::Kind::ImageList;
    res.name = "Chk_Std";
    for (const ControlLook* l : {static_cast<const ControlLook*>(&look), &checked})
        for (State s : states)
        {
            const std::string tag = std::string(l == &look ? "" : "checked_") + StateName(s);
            res.frames.push_back(Frame("Chk_Std_" + tag, PaintControl(28, 28, *l, s), tag));
        }
    art.resources.push_back(std::move(res));
    return art;
}

FamilyArt PaintSlider()
{
    // The channel: a groove pressed into the paper, centred 8 px down.
    const Sdf groove = CapsuleSdf({6.5, 8.0}, {25.5, 8.0}, 4.5);
    Canvas channel(32, 16);
    Outline(channel, groove, 1.0, WithAlpha(Palette::White, 0.6), 1.0); // a lit lower lip
    FillShape(channel, groove,
              LinearGradient({0, 3.5}, {0, 12.5}, ScaleValue(Palette::Paper, 0.78),
                             ScaleValue(Palette::Paper, 0.9)));
    InnerShadow(channel, groove, {0.0, 1.6}, 1.5, WithAlpha(Palette::Ink, 0.4));
    Outline(channel, groove, 1.3, WithAlpha(Palette::Ink, 0.8));
    const std::vector<Canvas> parts = SliceColumns(channel, {0, 12, 20, 32});

    // The thumb: a coral sewing button on a short point, its head over the groove.
    const Vec2 head{12.0, 10.0};
    ControlLook look;
    look.shape = [=](double dy)
    {
        const Sdf round = CircleSdf({head.x, head.y + dy}, 7.5);
        const Sdf point = Offset(PolygonSdf({{7.5, 13.0 + dy}, {16.5, 13.0 + dy}, {12.0, 24.0 + dy}}), 1.2);
        return SmoothUnion(round, point, 2.5);
    };
    look.along = CircleAlong(head, 10.5);
    look.ringPeriod = FitPeriod(2.0 * Det::Pi * 10.5, 8.0);
    look.top = Lighten(Palette::Coral, 0.2);
    look.bottom = ScaleValue(Palette::Coral, 0.84);
    look.gradientTop = 2.5;
    look.gradientBottom = 25.0;
    look.light = DomeLight{1.0, 6.0, 0.6, 0.22, 0.5, 20};
    look.shadowDrop = 2.0;
    look.shadowBlur = 2.0;
    look.ringOutset = 3.0;
    look.glyph = [=](Canvas& c, double dy)
    {
        // Four thread holes.
        for (const Vec2 o : {Vec2{-2.3, -2.3}, Vec2{2.3, -2.3}, Vec2{-2.3, 2.3}, Vec2{2.3, 2.3}})
        {
            const Sdf hole = CircleSdf({head.x + o.x, head.y + dy + o.y}, 1.15);
            FillShape(c, hole, Solid(ScaleValue(Palette::Coral, 0.42)));
        }
    };
    FamilyArt art;
    Resource ch;
    ch.kind = Resource::Kind::ImageList;
    ch.name = "Slider_Channel3";
    static const char* kParts[] = {"l", "m", "r"};
    for (int i = 0; i < 3; ++i)
        ch.frames.push_back(
            Frame(std::string("Slider_Channel3_") + kParts[i], parts[static_cast<size_t>(i)], kParts[i]));
    art.resources.push_back(std::move(ch));
    art.resources.push_back(
        StateList("Slider_Thumb", [&](State s) { return PaintControl(24, 28, look, s); }));

    // As the options screen draws it: 220 wide, the thumb top-aligned at 30 %.
    Canvas preview(220, 28);
    preview.Composite(AssembleThree(parts[0], parts[1], parts[2], 220), 0, 0);
    preview.Composite(PaintControl(24, 28, look, State::Normal), static_cast<int>(0.3 * (220 - 24)), 0);
    art.previews.push_back(Frame("Slider preview", preview, "220 wide, value 0.3"));
    return art;
}

FamilyArt PaintSelectedRow()
{
    // A deep teal bar: the picked name is drawn in paper over it and must stay easy to read.
    const Sdf bar = RoundedRectSdf(1.0, 1.0, 379.0, 25.0, 8.0);
    Canvas c(380, 26);
    FillShape(
        c, bar,
        LinearGradient({0, 1}, {0, 25}, ScaleValue(Palette::Teal, 0.66), ScaleValue(Palette::Teal, 0.52)));
    Outline(c, Offset(bar, -1.5), 1.0, WithAlpha(Palette::White, 0.22));
    Outline(c, bar, 1.3, WithAlpha(Palette::Ink, 0.8));
    FamilyArt art;
    Resource r;
    r.name = "SelectedRow";
    r.frames.push_back(Frame("SelectedRow", c));
    art.resources.push_back(std::move(r));
    return art;
}

FamilyArt PaintBlueSml()
{
    // A twinkle: the star grows, turns a little and fades over the ten frames.
    FamilyArt art;
    Resource r;
    r.kind = Resource::Kind::ImageList;
    r.name = "blue_sml";
    const Vec2 c{8.0, 8.0};
    for (int f = 0; f < 10; ++f)
    {
        const double t = f / 9.0;
        const double scale = 0.45 + 0.55 * Det::SinTurns(0.05 + 0.45 * t);
        const double turn = 0.02 * f;
        // Two long thin spikes crossed, two short ones between them.
        const Sdf longSpikes =
            Union(EllipseSdf(c, {7.4 * scale, 1.5 * scale}), EllipseSdf(c, {1.5 * scale, 7.4 * scale}));
        const Sdf shortSpikes =
            Union(EllipseSdf(c, {3.6 * scale, 0.8 * scale}), EllipseSdf(c, {0.8 * scale, 3.6 * scale}));
        const Sdf shape =
            SmoothUnion(RotateSdf(longSpikes, c, turn), RotateSdf(shortSpikes, c, turn + 0.125), 1.0);
        Canvas frame(16, 16);
        Glow(frame, CircleSdf(c, 1.5 * scale), 4.5 * scale, WithAlpha(Hex("#6FB6FF"), 0.5));
        FillShape(frame, shape, RadialGradient(c, 6.5 * scale, Palette::White, Hex("#3D8FF5")), 1.0);
        FillShape(frame, CircleSdf(c, 1.7 * scale), Solid(Palette::White));
        r.frames.push_back(Frame("blue_sml_" + std::to_string(f), frame, std::to_string(f)));
    }
    art.resources.push_back(std::move(r));
    return art;
}
} // namespace DataGen
