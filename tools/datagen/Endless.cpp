// Endless sessions go on and on: a dusk room with an endless loop of yarn behind the guests, calm
// paper panels where the texts and the record sit.
#include "Endless.h"

#include "Guests.h"
#include "Icons.h"
#include "Noise.h"
#include "Rooms.h"
#include "Scenery.h"
#include "Text.h"
#include "TextTable.h"
#include "UiKit.h"

#include <cmath>
#include <vector>

namespace DataGen
{
namespace
{
constexpr int kScreenW = 800, kScreenH = 600;
// Where the layout puts the guests' buttons (110 x 130).
const int kButtonX[] = {165, 345, 525};
const int kButtonY[] = {146, 294};

// A figure-of-eight loop: the path of an endless session.
std::vector<Vec2> Lemniscate(Vec2 centre, double a, double b, int steps)
{
    std::vector<Vec2> pts;
    for (int i = 0; i <= steps; ++i)
    {
        const double t = double(i) / steps;
        const double s = Det::SinTurns(t), k = Det::CosTurns(t);
        pts.push_back(centre + Vec2{a * k / (1.0 + s * s), b * s * k / (1.0 + s * s)});
    }
    return pts;
}

Canvas Room()
{
    Canvas c(kScreenW, kScreenH);
    const ValueNoise clouds(0xe11d), fibre(0xe11e);
    PaintPixels(c,
                [&](Vec2 p)
                {
                    Rgba col = Mix(Hex("#B7A6D9"), Hex("#F3D9C6"), Det::Smoothstep(0.0, 1.0, p.y / kScreenH));
                    const double n = clouds.Fbm(p.x / 180.0, p.y / 80.0, 5);
                    col = Lighten(col, Det::Smoothstep(0.5, 0.8, n) * 0.3);
                    col = ScaleValue(col, 1.0 + (fibre.Fbm(p.x / 7.0, p.y / 3.0, 3) - 0.5) * 0.04);
                    return Vignette(col, p, kScreenW, kScreenH, 0.22);
                });
    // The endless loop behind the guests, soft and wide.
    Wisp(c, Lemniscate({400, 290}, 360, 260, 160), 10.0, Palette::White, 0.35);
    Yarn(c, Lemniscate({400, 292}, 340, 240, 200), 3.0, Palette::Coral, 1.4);
    Pcg32 rng(0xe11f);
    for (int i = 0; i < 14; ++i)
    {
        const Vec2 at{20 + rng.Uniform() * 760, 20 + rng.Uniform() * 560};
        if (at.x > 140 && at.x < 660 && at.y > 120 && at.y < 560)
            continue;
        Sparkle(c, at, 4 + rng.Uniform() * 6);
    }
    // Paper panels: the texts at the top, the guests, the record.
    auto panel = [&](double x0, double y0, double x1, double y1, double alpha)
    {
        const Sdf card = RoundedRectSdf(x0, y0, x1, y1, 16);
        DropShadow(c, card, {2, 4}, 6, WithAlpha(Palette::Ink, 0.25 * alpha));
        FillShape(c, card, Solid(WithAlpha(Palette::Paper, 0.9 * alpha)));
        DashedOutline(
            c, card, [](Vec2 p) { return p.x + p.y; }, 8.0, 0.5, 1.4, WithAlpha(Palette::Teal, 0.8 * alpha),
            -5.0);
        Outline(c, card, 1.6, WithAlpha(Palette::Ink, 0.75 * alpha));
    };
    panel(176, 6, 624, 138, 1.0);
    panel(140, 142, 660, 450, 0.55);
    panel(120, 428, 680, 478, 1.0);
    return FlattenOnto(c, Palette::Paper);
}

// A tall portrait card: the guest in their room, a stitched paper frame.
ControlLook PortraitCard(const std::string& guest)
{
    const double x0 = 4.5, y0 = 3.5, x1 = 105.5, y1 = 123.5, r = 12.0;
    const Vec2 centre{(x0 + x1) * 0.5, (y0 + y1) * 0.5}, half{(x1 - x0) * 0.5, (y1 - y0) * 0.5};
    ControlLook look;
    look.shape = [=](double dy) { return RoundedBoxSdf({centre.x, centre.y + dy}, half, r); };
    const Vec2 ringHalf = half + Vec2{2.5, 2.5};
    look.along = [=](Vec2 p) { return RoundedBoxPerimeterAt(p, centre, ringHalf, r + 2.5); };
    look.ringPeriod = FitPeriod(RoundedBoxPerimeter(ringHalf, r + 2.5), 8.0);
    look.ringOutset = 3.0;
    look.top = Mix(Palette::Paper, Palette::White, 0.6);
    look.bottom = Palette::Paper;
    look.gradientTop = y0;
    look.gradientBottom = y1;
    look.light = DomeLight{0.6, 5.0, 0.7, 0.15, 0.2, 16};
    look.shadowDrop = 2.5;
    const Canvas photo = GuestPhoto(guest, 90, 110);
    look.glyph = [photo, guest](Canvas& c, double dy)
    {
        // The photo inside the frame with rounded corners, a ball of the room's colour below.
        const Sdf window = RoundedRectSdf(10, 9 + dy, 100, 119 + dy, 8);
        Canvas clipped(c.Width(), c.Height());
        clipped.Composite(photo, 10, static_cast<int>(9 + dy));
        for (int y = 0; y < clipped.Height(); ++y)
            for (int x = 0; x < clipped.Width(); ++x)
            {
                const double keep = Det::Clamp01(0.5 - window({x + 0.5, y + 0.5}));
                const Rgba p = clipped.At(x, y);
                clipped.Put(x, y,
                            {float(p.r * keep), float(p.g * keep), float(p.b * keep), float(p.a * keep)});
            }
        c.Composite(clipped, 0, 0);
        Outline(c, window, 1.2, WithAlpha(Palette::Ink, 0.7), 0.6);
        DrawYarnBall(c, {92, 112 + dy}, 8, RoomColor(guest), 1.2);
    };
    return look;
}

// A soft glow in `color` around a w x h box inset by `inset`, fading over `reach` pixels.
Canvas Halo(int w, int h, double inset, double radius, double reach, Rgba color)
{
    Canvas c(w, h);
    const Sdf box = RoundedRectSdf(inset, inset, w - inset, h - inset, radius);
    PaintPixels(c,
                [&](Vec2 p)
                {
                    const double d = box(p);
                    const double a = d > 0.0 ? Det::PowInt(1.0 - Det::Clamp01(d / reach), 2) : 1.0;
                    return WithAlpha(color, a * 0.9);
                });
    return c;
}
} // namespace

FamilyArt PaintEndlessBackground()
{
    FamilyArt art;
    Canvas bg = Room();
    Canvas shown = bg;
    for (int i = 0; i < 6; ++i)
        shown.Composite(PaintControl(110, 130, PortraitCard(GuestNames()[static_cast<size_t>(i)]),
                                     i == 4 ? State::Disabled : State::Normal),
                        kButtonX[i % 3], kButtonY[i / 3]);
    art.resources.push_back(Single("EndlessBG", std::move(bg), Format::Jpeg, "EndlessBG.jpg"));
    art.previews.push_back(
        Frame("endless_preview", std::move(shown), "with the guests' buttons, one locked"));
    art.sheetScale = 0.5;
    return art;
}

FamilyArt PaintEndlessButtons()
{
    FamilyArt art;
    for (const std::string& g : GuestNames())
    {
        const ControlLook look = PortraitCard(g);
        art.resources.push_back(
            StateList(g + "_EndlessBtn", [&](State s) { return PaintControl(110, 130, look, s); }));
    }
    return art;
}

FamilyArt PaintEndlessOverlays()
{
    FamilyArt art;
    // Behind the chosen button: a glow 10 px round it, with a stitched ring and sparkles.
    Canvas ring = Halo(130, 150, 10, 12, 10, Mix(Palette::Teal, Palette::White, 0.35));
    const Sdf stitch = RoundedRectSdf(4, 4, 126, 146, 16);
    DashedOutline(
        ring, stitch, [](Vec2 p) { return p.x + p.y; }, 9.0, 0.5, 2.0, Palette::Teal, -1.0);
    Sparkle(ring, {12, 12}, 7);
    Sparkle(ring, {118, 138}, 6);
    Canvas begin = Halo(240, 70, 9, 20, 9, Mix(Hex("#FFB800"), Palette::White, 0.45));
    art.resources.push_back(Single("OverlayRing", std::move(ring), Format::Png));
    art.resources.push_back(Single("OverlayBegin", std::move(begin), Format::Png));
    art.compactSheet = true;
    return art;
}

FamilyArt PaintEndlessTexts(const TextTable& t)
{
    const char* const keys[] = {"Img.Endless.intro", "Img.Endless.locked", "Img.Endless.instruction"};
    const char* const names[] = {"EndlessIntroText", "EndlessLockedText", "EndlessInstruction"};
    std::vector<std::string> texts;
    for (const char* k : keys)
        texts.push_back(t.Get(k));
    TextStyle style{Face::SansBold, 22, Palette::Ink, Align::Center, 1.2};
    style.pixels = FittedSize(texts, 404, 56, style, 12);
    style.outline = 2;
    style.outlineColor = Mix(Palette::Paper, Palette::White, 0.6);
    FamilyArt art;
    for (size_t i = 0; i < 3; ++i)
    {
        Canvas c(420, 60);
        DrawTextFitted(c, texts[i], 8, 2, 404, 56, style, style.pixels, true);
        art.resources.push_back(Single(names[i], std::move(c), Format::Png));
    }
    art.compactSheet = true;
    return art;
}

FamilyArt PaintRecordPlates(const TextTable& t)
{
    std::vector<std::string> names;
    for (const std::string& g : GuestNames())
        names.push_back(t.Get("GuestFullName." + g));
    const TextStyle style{Face::SansBold, FittedSize(names, 150, 26, TextStyle{Face::SansBold, 16}, 10),
                          Palette::Ink, Align::Left};
    FamilyArt art;
    for (size_t i = 0; i < names.size(); ++i)
    {
        const std::string& g = GuestNames()[i];
        Canvas c(200, 34);
        const Sdf plate = RoundedRectSdf(1.5, 1.5, 198.5, 32.5, 16);
        FillShape(c, plate,
                  LinearGradient({0, 1}, {0, 33}, Lighten(RoomColor(g), 0.75), Lighten(RoomColor(g), 0.55)));
        Outline(c, plate, 1.3, WithAlpha(Palette::Ink, 0.8));
        c.Composite(GuestFace(g, 28), 4, 3);
        Outline(c, CircleSdf({18, 17}, 14), 1.1, Palette::Ink, 0.55);
        DrawTextFitted(c, names[i], 40, 4, 150, 26, style, style.pixels, true);
        art.resources.push_back(Single(g + "_RecordPlate", std::move(c), Format::Png));
    }
    art.compactSheet = true;
    return art;
}
} // namespace DataGen
