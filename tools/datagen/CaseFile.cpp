// A manila case file open on a wooden desk: the photo clipped on the left flap, the intake form
// and the session sheet on the right, a stylus lying below the photo.
#include "CaseFile.h"

#include "Guests.h"
#include "Icons.h"
#include "Noise.h"
#include "Scenery.h"
#include "Text.h"
#include "TextTable.h"
#include "UiKit.h"

#include <cmath>
#include <stdexcept>
#include <vector>

namespace DataGen
{
namespace
{
constexpr int kScreenW = 800, kScreenH = 600;
const Rgba kManila = Hex("#EBCD96");

// The stylus from `a` (tip) to `b` (cap end), coral with a metal tip.
void Stylus(Canvas& c, Vec2 a, Vec2 b)
{
    const Vec2 d = Normalize(b - a);
    const Vec2 grip = a + d * 26.0;
    const Sdf body = BoundedStroke({grip, b}, 6.0);
    const Sdf tip = Bounded(PolygonSdf({a, grip + Vec2{-d.y, d.x} * 5.5, grip - Vec2{-d.y, d.x} * 5.5}),
                            a - Vec2{30, 30}, a + Vec2{30, 30}, 8.0);
    DropShadow(c, Union(body, tip), {3, 6}, 4, WithAlpha(Palette::Ink, 0.35));
    FillShape(c, tip, DomeShade(tip, Solid(Hex("#C9CDD3")), DomeLight{1.0, 3, 0.55, 0.3, 0.7, 20}));
    Outline(c, tip, 1.6, Palette::Ink, 0.8);
    FillShape(c, body, DomeShade(body, Solid(Palette::Coral), DomeLight{1.0, 6, 0.55, 0.3, 0.6, 20}));
    // A teal grip band and the clip.
    const Sdf band = Intersect(body, BoundedStroke({grip, grip + d * 14.0}, 7.0));
    FillShape(c, band, DomeShade(band, Solid(Palette::Teal), DomeLight{1.0, 6, 0.55, 0.3, 0.5, 20}));
    Outline(c, body, 1.8, Palette::Ink, 0.9);
    const Vec2 clipA = b - d * 40.0 + Vec2{-d.y, d.x} * 7.0, clipB = b - d * 6.0 + Vec2{-d.y, d.x} * 7.0;
    const Sdf clip = BoundedStroke({clipA, clipB}, 2.2);
    FillShape(c, clip, DomeShade(clip, Solid(Hex("#D5D9DE")), DomeLight{1.0, 2, 0.55, 0.3, 0.7, 20}));
    Outline(c, clip, 1.2, Palette::Ink, 0.6);
}

Canvas CaseFile(const std::string& title)
{
    Canvas c(kScreenW, kScreenH);
    const ValueNoise grain(0xca5e), fibre(0xca5f);
    PaintPixels(c, [&](Vec2 p) { return Vignette(DeskWood(p, grain), p, kScreenW, kScreenH, 0.3); });

    // The open folder: back cover, a tab with the title over the form's side, the crease.
    const Sdf folder = RoundedRectSdf(18, 40, 782, 594, 14);
    const Sdf tab = RoundedRectSdf(548, 10, 770, 60, 10);
    const Sdf cover = Union(folder, tab);
    DropShadow(c, cover, {4, 8}, 10, WithAlpha(Palette::Ink, 0.45));
    FillShape(c, cover,
              [&](Vec2 p, double)
              {
                  Rgba col = Mix(Lighten(kManila, 0.12), ScaleValue(kManila, 0.9), Det::Clamp01(p.y / 600.0));
                  col = ScaleValue(col, 1.0 + (fibre.Fbm(p.x / 6.0, p.y / 2.5, 3) - 0.5) * 0.06);
                  // The crease: a soft valley down the middle.
                  const double crease = std::fabs(p.x - 340.0);
                  col = ScaleValue(col, 1.0 - 0.16 * Det::Clamp01(1.0 - crease / 22.0));
                  return col;
              });
    FillShape(c, BoundedStroke({{340, 44}, {340, 590}}, 0.7), Solid(WithAlpha(Palette::Ink, 0.35)));
    Outline(c, cover, 2.2, Palette::Ink, 1.1);
    const Sdf label = RoundedRectSdf(562, 18, 756, 50, 6);
    FillShape(c, label, Solid(Mix(Palette::Paper, Palette::White, 0.5)));
    Outline(c, label, 1.3, WithAlpha(Palette::Ink, 0.7));
    TextStyle head{Face::SansBold, 20, Palette::Ink, Align::Center};
    DrawTextFitted(c, title, 568, 19, 182, 30, head, 12, true);

    // The session sheet on the right flap, under the entries (from (370, 408)).
    const Sdf sheet = RoundedRectSdf(358, 400, 730, 592, 8);
    DropShadow(c, sheet, {2, 4}, 4, WithAlpha(Palette::Ink, 0.3));
    FillShape(c, sheet,
              [&](Vec2 p, double)
              {
                  Rgba col = Mix(Palette::Paper, Palette::White, 0.35);
                  // Faint ruled lines.
                  const double rule = std::fabs(Det::Fract((p.y - 404.0) / 20.0) - 0.5) * 20.0;
                  return Mix(col, Hex("#BFD8E6"), Det::Clamp01(0.8 - (10.0 - rule)) * 0.7);
              });
    FillShape(c, BoundedStroke({{366, 402}, {366, 590}}, 0.6), Solid(WithAlpha(Palette::Coral, 0.7)));
    Outline(c, sheet, 1.4, WithAlpha(Palette::Ink, 0.7));

    // Photo corners on the left flap, where the photo goes (60, 96, 180 x 220).
    for (const Vec2 at : {Vec2{56, 92}, Vec2{244, 92}, Vec2{56, 320}, Vec2{244, 320}})
    {
        const double sx = at.x < 150 ? 1.0 : -1.0, sy = at.y < 200 ? 1.0 : -1.0;
        const Sdf corner = PolygonSdf({at, at + Vec2{sx * 26, 0}, at + Vec2{0, sy * 26}});
        FillShape(c, Bounded(corner, at - Vec2{30, 30}, at + Vec2{30, 30}), Solid(Hex("#5C3B2A")));
    }
    // A ball of yarn on the flap, its thread running to the edge, and the stylus where the glare
    // slides (the glare is drawn at (40, 330)).
    Yarn(c, Shape::FlattenQuadratic({280, 520}, {300, 580}, {338, 560}, 24), 2.0, Palette::Coral, 1.2);
    DrawYarnBall(c, {270, 506}, 18, Palette::Coral, 1.8);
    Stylus(c, {48, 398}, {242, 342});
    return FlattenOnto(c, kManila);
}

// A print with a white border and a strip of tape at the top, the guest inside.
Canvas Photo(const std::string& guest)
{
    const int w = 180, h = 220;
    Canvas c(w, h);
    const Sdf print = RoundedRectSdf(4, 8, 174, 214, 3);
    DropShadow(c, print, {2, 4}, 3.5, WithAlpha(Palette::Ink, 0.4));
    FillShape(c, print, LinearGradient({0, 8}, {0, 214}, Hex("#FFFDF8"), Hex("#F1EADF")));
    Outline(c, print, 1.2, WithAlpha(Palette::Ink, 0.6));
    const int px = 14, py = 18, pw = 150, ph = 160;
    Canvas picture = GuestPhoto(guest, pw, ph);
    // A touch of warmth and a soft inner edge, as on a print.
    for (int y = 0; y < ph; ++y)
        for (int x = 0; x < pw; ++x)
        {
            const double edge = std::min(std::min(x + 0.5, pw - x - 0.5), std::min(y + 0.5, ph - y - 0.5));
            const Rgba s = picture.StraightAt(x, y);
            Rgba t = Mix(s, Hex("#FFE9C8"), 0.06);
            t = ScaleValue(t, 1.0 - 0.18 * (1.0 - Det::Clamp01(edge / 10.0)));
            picture.Put(x, y, {t.r * s.a, t.g * s.a, t.b * s.a, s.a});
        }
    c.Composite(picture, px, py);
    Outline(c, RoundedRectSdf(px, py, px + pw, py + ph, 0.5), 1.0, WithAlpha(Palette::Ink, 0.5));
    // A small coral heart doodled in the caption strip.
    const Vec2 hc{150, 196};
    const Sdf heart =
        SmoothUnion(SmoothUnion(CircleSdf(hc + Vec2{-3.2, -2}, 3.6), CircleSdf(hc + Vec2{3.2, -2}, 3.6), 1.0),
                    PolygonSdf({hc + Vec2{-6.4, -0.6}, hc + Vec2{6.4, -0.6}, hc + Vec2{0, 7}}), 1.5);
    FillShape(c, heart, Solid(WithAlpha(Palette::Coral, 0.85)));
    // Translucent tape holding the print, a little askew.
    const Sdf tape = RotateSdf(RoundedRectSdf(58, 5, 122, 25, 1.5), {90, 15}, -0.012);
    FillShape(c, tape, Solid(WithAlpha(Hex("#F3EBD0"), 0.72)));
    Outline(c, tape, 0.8, WithAlpha(Palette::Ink, 0.25));
    return c;
}

Resource SinglePng(const std::string& name, Canvas c, std::string label = "")
{
    return Single(name, std::move(c), Format::Png, std::move(label));
}
} // namespace

FamilyArt PaintCaseFileBackground(const TextTable& t)
{
    FamilyArt art;
    Canvas bg = CaseFile(t.Get("Img.CaseFile.title"));
    Canvas shown = bg;
    shown.Composite(Photo("Jillian"), 60, 96);
    shown.Composite(PaintStylusGlare().resources[0].frames[0].canvas, 40, 330);
    art.resources.push_back(Single("CaseFileBG", std::move(bg), Format::Jpeg, "CaseFileBG.jpg"));
    art.previews.push_back(
        Frame("casefile_preview", std::move(shown), "with a photo at (60, 96) and the glare at (40, 330)"));
    art.sheetScale = 0.5;
    return art;
}

FamilyArt PaintGuestPhotos()
{
    FamilyArt art;
    for (const std::string& g : GuestNames())
        art.resources.push_back(SinglePng(g + "_intro_photo", Photo(g)));
    art.resources.push_back(SinglePng("Jillian2_intro_photo", Photo("Jillian2"), "second visit"));
    art.compactSheet = true;
    return art;
}

FamilyArt PaintSessionIcons()
{
    FamilyArt art;
    {
        // The empty slot: a paper square pressed into the sheet, stitched round.
        Canvas c(56, 56);
        const Sdf slot = RoundedRectSdf(3, 3, 52, 52, 9);
        FillShape(c, slot, Solid(Mix(Palette::Paper, Palette::White, 0.55)));
        InnerShadow(c, slot, {0.0, 2.0}, 2.0, WithAlpha(Palette::Ink, 0.28));
        const Vec2 centre{27.5, 27.5}, half{21.0, 21.0};
        const double per = RoundedBoxPerimeter(half, 6.0);
        DashedOutline(
            c, slot, [=](Vec2 p) { return RoundedBoxPerimeterAt(p, centre, half, 6.0); }, FitPeriod(per, 6.0),
            0.5, 1.3, WithAlpha(Palette::Teal, 0.8), -3.5);
        Outline(c, slot, 1.4, WithAlpha(Palette::Ink, 0.75));
        art.resources.push_back(SinglePng("SessionSlot", std::move(c)));
    }
    {
        Canvas c(48, 48);
        DrawPadlock(c, {24, 24}, 30, Palette::Disabled, 1.6);
        art.resources.push_back(SinglePng("SessionLocked", std::move(c), "locked"));
    }
    {
        // Open: a pale teal seat with a stitched ring, calm enough for the tick or the star that
        // a finished session shows over it.
        Canvas c(48, 48);
        const Sdf seat = CircleSdf({24, 24}, 19);
        FillShape(c, seat, RadialGradient({18, 18}, 26, Hex("#EAF7F5"), Hex("#CBE9E4")));
        DashedOutline(c, seat, CircleAlong({24, 24}, 16), FitPeriod(2.0 * Det::Pi * 16, 6.0), 0.5, 1.4,
                      WithAlpha(Palette::Teal, 0.9), -3.0);
        Outline(c, seat, 1.3, WithAlpha(Palette::Ink, 0.7));
        art.resources.push_back(SinglePng("SessionOpen", std::move(c), "open"));
    }
    {
        Canvas c(48, 48);
        DrawTick(c, {24, 25}, 34, 1.5);
        art.resources.push_back(SinglePng("SessionCheck", std::move(c), "completed"));
    }
    {
        Canvas c(48, 48);
        DrawStar(c, {24, 24}, 19, 1.6);
        art.resources.push_back(SinglePng("SessionStar", std::move(c), "expert"));
    }
    // An entry as the sheet shows it for each state: locked; open; open and ticked; open and
    // starred.
    auto get = [&](const char* name) -> const Canvas&
    {
        for (const Resource& r : art.resources)
            if (r.name == name)
                return r.frames[0].canvas;
        throw std::logic_error(name);
    };
    const std::vector<std::vector<const char*>> states = {
        {"SessionLocked"}, {"SessionOpen"}, {"SessionOpen", "SessionCheck"}, {"SessionOpen", "SessionStar"}};
    Canvas row(4 * 64, 56);
    for (size_t i = 0; i < states.size(); ++i)
    {
        row.Composite(get("SessionSlot"), static_cast<int>(i) * 64, 0);
        for (const char* mark : states[i])
            row.Composite(get(mark), static_cast<int>(i) * 64 + 4, 4);
    }
    art.previews.push_back(
        Frame("sessions_preview", std::move(row), "slot with locked, open, completed, expert"));
    art.compactSheet = true;
    return art;
}

FamilyArt PaintStylusGlare()
{
    // A streak of light that slides along the stylus when the file is opened from a level intro.
    Canvas c(200, 80);
    const Vec2 a{16, 64}, b{184, 16};
    const Vec2 d = Normalize(b - a);
    PaintPixels(c,
                [&](Vec2 p)
                {
                    const double along = Dot(p - a, d) / Length(b - a);
                    const double across = std::fabs(Cross(d, p - a));
                    const double core = Det::PowInt(1.0 - Det::Smoothstep(0.0, 9.0, across), 2);
                    const double fade = Det::Smoothstep(0.0, 0.35, along) * Det::Smoothstep(1.0, 0.65, along);
                    return WithAlpha(Mix(Palette::White, Hex("#FFF2D6"), Det::Clamp01(across / 10.0)),
                                     0.85 * core * fade);
                });
    Sparkle(c, {120, 34}, 10);
    FamilyArt art;
    art.resources.push_back(SinglePng("StylusGlare", std::move(c)));
    return art;
}

namespace
{
// An intake form clipped to a board: the first line is the heading, then ruled lines.
Canvas Form(const std::string& text, int pixels)
{
    const int w = 380, h = 300;
    Canvas c(w, h);
    const Sdf board = RoundedRectSdf(4, 10, 374, 294, 10);
    DropShadow(c, board, {2, 4}, 4, WithAlpha(Palette::Ink, 0.35));
    FillShape(c, board, DomeShade(board, Solid(Hex("#B98A5E")), DomeLight{0.6, 5, 0.65, 0.2, 0.2, 16}));
    Outline(c, board, 1.6, Palette::Ink, 0.8);
    const Sdf paper = RoundedRectSdf(16, 26, 362, 286, 4);
    FillShape(c, paper, LinearGradient({0, 26}, {0, 286}, Hex("#FFFDF7"), Hex("#F5EEE2")));
    Outline(c, paper, 1.0, WithAlpha(Palette::Ink, 0.5));
    // The clip at the top.
    const Sdf clip = RoundedRectSdf(150, 2, 230, 30, 6);
    FillShape(c, clip, DomeShade(clip, Solid(Hex("#A9AEB5")), DomeLight{1.0, 5, 0.55, 0.3, 0.6, 18}));
    Outline(c, clip, 1.4, Palette::Ink, 0.7);
    const std::vector<std::string> lines = [&]
    {
        std::vector<std::string> out;
        size_t at = 0;
        while (at <= text.size())
        {
            const size_t nl = text.find('\n', at);
            out.push_back(text.substr(at, nl == std::string::npos ? std::string::npos : nl - at));
            if (nl == std::string::npos)
                break;
            at = nl + 1;
        }
        return out;
    }();
    TextStyle head{Face::SansBold, 22, Palette::Coral, Align::Left};
    DrawTextFitted(c, lines[0], 30, 34, 320, 30, head, 14, true);
    std::string body;
    for (size_t i = 1; i < lines.size(); ++i)
        body += (i > 1 ? "\n" : "") + lines[i];
    const TextStyle style{Face::Sans, pixels, Palette::Ink, Align::Left, 1.35};
    // Ruled lines under the text's baselines.
    const int step = static_cast<int>(std::floor(pixels * 1.35 + 0.5));
    for (int y = 72 + step; y < 282; y += step)
        FillShape(c, BoundedStroke({{28, y + 2.5}, {350, y + 2.5}}, 0.5),
                  Solid(WithAlpha(Hex("#8DB7D0"), 0.7)));
    DrawText(c, body, 30, 72 + step - static_cast<int>(pixels * 1.0), 320, style);
    return c;
}

// A paper tag with its word, tied with a loop of yarn on the left.
Canvas Tag(const std::string& word, Rgba yarn, int pixels)
{
    const int w = 200, h = 40;
    Canvas c(w, h);
    const Sdf tag = Union(RoundedRectSdf(22, 4, 196, 36, 8), PolygonSdf({{24, 4}, {8, 20}, {24, 36}}));
    DropShadow(c, tag, {1, 2}, 2, WithAlpha(Palette::Ink, 0.35));
    FillShape(c, tag,
              LinearGradient({0, 4}, {0, 36}, Mix(Palette::Paper, Palette::White, 0.6), Palette::Paper));
    Outline(c, tag, 1.4, Palette::Ink, 0.7);
    const Sdf hole = CircleSdf({20, 20}, 3.2);
    FillShape(c, hole, Solid(Hex("#8A6A4A")));
    Outline(c, hole, 1.0, Palette::Ink, 0.5);
    Yarn(c, Shape::FlattenQuadratic({20, 20}, {9, 6}, {5, 14}, 12), 1.6, yarn, 1.0);
    const TextStyle style{Face::SansBold, pixels, Palette::Ink, Align::Center};
    DrawTextFitted(c, word, 34, 6, 156, 28, style, pixels, true);
    return c;
}

// A coral ribbon with the welcome.
Canvas Welcome(const std::string& word)
{
    const int w = 300, h = 60;
    Canvas c(w, h);
    const Sdf ribbon = Union(RoundedRectSdf(34, 6, 266, 50, 10),
                             Union(PolygonSdf({{42, 16}, {4, 16}, {18, 33}, {4, 54}, {42, 54}}),
                                   PolygonSdf({{258, 16}, {296, 16}, {282, 33}, {296, 54}, {258, 54}})));
    DropShadow(c, ribbon, {1, 3}, 3, WithAlpha(Palette::Ink, 0.35));
    FillShape(c, ribbon, DomeShade(ribbon, Solid(Palette::Coral), DomeLight{0.8, 8, 0.6, 0.25, 0.3, 16}));
    Outline(c, ribbon, 1.8, Palette::Ink, 0.9);
    TextStyle style{Face::SansBold, 28, Mix(Palette::Paper, Palette::White, 0.5), Align::Center};
    style.outline = 2;
    DrawTextFitted(c, word, 44, 7, 212, 42, style, 14, true);
    Sparkle(c, {272, 10}, 7);
    return c;
}
} // namespace

FamilyArt PaintGuestForms(const TextTable& t)
{
    std::vector<std::string> bodies, texts;
    for (const std::string& g : GuestNames())
    {
        texts.push_back(t.Get("Img.Form." + g));
        const size_t nl = texts.back().find('\n');
        bodies.push_back(nl == std::string::npos ? std::string() : texts.back().substr(nl + 1));
    }
    const int pixels =
        FittedSize(bodies, 320, 200, TextStyle{Face::Sans, 16, Palette::Ink, Align::Left, 1.35}, 11);
    FamilyArt art;
    for (size_t i = 0; i < texts.size(); ++i)
        art.resources.push_back(SinglePng(GuestNames()[i] + "_intro_form", Form(texts[i], pixels)));
    art.compactSheet = true;
    return art;
}

FamilyArt PaintCaseFileLabels(const TextTable& t)
{
    const std::string sessions = t.Get("Img.Intro.sessions"), newGuest = t.Get("Img.Intro.newGuest");
    const int pixels = FittedSize({sessions, newGuest}, 156, 28, TextStyle{Face::SansBold, 18}, 10);
    FamilyArt art;
    art.resources.push_back(SinglePng("WelcomeBanner", Welcome(t.Get("Img.Intro.welcome"))));
    art.resources.push_back(SinglePng("LabelSessions", Tag(sessions, Palette::Teal, pixels)));
    art.resources.push_back(SinglePng("LabelNewGuest", Tag(newGuest, Palette::Coral, pixels)));
    art.compactSheet = true;
    return art;
}
} // namespace DataGen
