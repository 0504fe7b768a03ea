// A naturalist's notebook for the Tics: dotted paper on a felt desk, a card per kind with its
// portrait, name, profile and catching tip. The portraits are the Tics as they play (Tics.h).
#include "Encyclopedia.h"

#include "Creatures.h"

#include "Noise.h"
#include "Scenery.h"
#include "Text.h"
#include "TextTable.h"
#include "Tics.h"
#include "UiKit.h"

#include <cmath>
#include <vector>

namespace DataGen
{
namespace
{
constexpr int kScreenW = 800, kScreenH = 600;

// The page of the notebook: dotted grid, a coral margin, lit from the top-left.
Rgba NotebookPaper(Vec2 p, const ValueNoise& fibre)
{
    Rgba col = Mix(Hex("#FBF6EC"), Hex("#F1E6D2"), Det::Clamp01((p.x + p.y) / 1300.0));
    col = ScaleValue(col, 1.0 + (fibre.Fbm(p.x / 6.0, p.y / 2.5, 3) - 0.5) * 0.05);
    const Vec2 f{Det::Fract(p.x / 20.0) - 0.5, Det::Fract(p.y / 20.0) - 0.5};
    col = Mix(col, Hex("#B9CCD8"), Det::Clamp01(1.5 - Length(f) * 20.0) * 0.8);
    return col;
}

Canvas Notebook()
{
    Canvas c(kScreenW, kScreenH);
    const ValueNoise felt(0x7e17), fibre(0x7e18);
    // A teal felt desk, darker at the edges.
    PaintPixels(c,
                [&](Vec2 p)
                {
                    Rgba col = Mix(Hex("#3F8C87"), Hex("#2E6E6B"), Det::Clamp01(p.y / 600.0));
                    col = ScaleValue(col, 1.0 + (felt.Fbm(p.x / 2.0, p.y / 2.0, 3) - 0.5) * 0.12);
                    return Vignette(col, p, kScreenW, kScreenH, 0.35);
                });
    // Two sheets under the page, a little askew, then the page itself; its top edge meets the tabs.
    for (int i = 2; i >= 1; --i)
    {
        const Sdf under = RotateSdf(RoundedRectSdf(36, 96, 764, 566, 10), {400, 330}, i * 0.0035);
        DropShadow(c, under, {3, 5}, 6, WithAlpha(Palette::Ink, 0.3));
        FillShape(c, under, Solid(ScaleValue(Palette::Paper, 1.0 - 0.05 * i)));
        Outline(c, under, 1.2, WithAlpha(Palette::Ink, 0.5));
    }
    const Sdf page = RoundedRectSdf(36, 96, 764, 560, 10);
    DropShadow(c, page, {2, 4}, 5, WithAlpha(Palette::Ink, 0.35));
    FillShape(c, page, [&](Vec2 p, double) { return NotebookPaper(p, fibre); });
    FillShape(c, BoundedStroke({{84, 98}, {84, 558}}, 0.8), Solid(WithAlpha(Palette::Coral, 0.7)));
    Outline(c, page, 1.6, WithAlpha(Palette::Ink, 0.8));
    // Yarn binding down the left edge: holes with a coral thread through each.
    for (int i = 0; i < 12; ++i)
    {
        const double y = 128 + i * 37.0;
        const Sdf hole = CircleSdf({58, y}, 5.5);
        FillShape(c, hole, Solid(Hex("#2E6E6B")));
        Outline(c, hole, 1.2, WithAlpha(Palette::Ink, 0.7));
        Yarn(c, Shape::FlattenQuadratic({58, y}, {34, y + 4}, {30, y + 18}, 12), 2.4, Palette::Coral, 1.2);
    }
    // Little doodles in the margins, away from the text: a wisp and a sparkle.
    Wisp(c, Shape::FlattenQuadratic({640, 540}, {700, 500}, {752, 530}, 24), 2.5, Palette::Teal, 0.35);
    Sparkle(c, {772, 120}, 8);
    Sparkle(c, {20, 580}, 6);
    return FlattenOnto(c, Palette::Paper);
}

const std::string& Name(const TextTable& t, const std::string& kind)
{
    return t.Get("Img.TicName." + kind);
}

// A card-shaped button of the notebook, 104 x 104.
ControlLook TicCard()
{
    const double x0 = 4.5, y0 = 4.5, x1 = 99.5, y1 = 97.5, r = 12.0;
    const Vec2 centre{(x0 + x1) * 0.5, (y0 + y1) * 0.5}, half{(x1 - x0) * 0.5, (y1 - y0) * 0.5};
    ControlLook look;
    look.shape = [=](double dy) { return RoundedBoxSdf({centre.x, centre.y + dy}, half, r); };
    const Vec2 ringHalf = half + Vec2{2.5, 2.5};
    look.along = [=](Vec2 p) { return RoundedBoxPerimeterAt(p, centre, ringHalf, r + 2.5); };
    look.ringPeriod = FitPeriod(RoundedBoxPerimeter(ringHalf, r + 2.5), 9.0);
    const Vec2 stitchHalf = half - Vec2{3.5, 3.5};
    look.stitchAlong = [=](Vec2 p) { return RoundedBoxPerimeterAt(p, centre, stitchHalf, r - 3.5); };
    look.stitchPeriod = FitPeriod(RoundedBoxPerimeter(stitchHalf, r - 3.5), 6.0);
    look.stitchInset = 3.5;
    look.top = Mix(Palette::Paper, Palette::White, 0.7);
    look.bottom = ScaleValue(Palette::Paper, 0.95);
    look.gradientTop = y0;
    look.gradientBottom = y1;
    look.light = DomeLight{0.6, 5.0, 0.7, 0.15, 0.2, 16};
    look.ringOutset = 3.0;
    return look;
}

// The name across the foot of a card, at the size every name fits.
TextStyle CardNameStyle()
{
    return TextStyle{Face::SansBold, 13, Palette::Ink, Align::Center};
}

void CardName(Canvas& c, const std::string& name, int pixels, double dy)
{
    TextStyle style = CardNameStyle();
    style.pixels = pixels;
    DrawTextFitted(c, name, 8, static_cast<int>(76 + dy), 88, 18, style, pixels, true);
}

// The tip's little badge: a ball of teal yarn.
void TipBadge(Canvas& c, Vec2 at, double r)
{
    const Sdf ball = CircleSdf(at, r);
    FillShape(c, ball, DomeShade(ball, Solid(Palette::Teal), DomeLight{1.0, r * 0.7, 0.55, 0.3, 0.45, 16}));
    for (int k = -1; k <= 1; ++k)
        FillShape(c,
                  Intersect(StrokeSdf(Shape::FlattenQuadratic(at + Vec2{-r, k * r * 0.4},
                                                              at + Vec2{0, k * r * 0.4 - r * 0.5},
                                                              at + Vec2{r, k * r * 0.4 + r * 0.2}, 12),
                                      0.7),
                            ball),
                  Solid(WithAlpha(Darken(Palette::Teal, 0.6), 0.7)));
    Outline(c, ball, 1.4, Palette::Ink, 0.7);
}

// The size at which the texts "<prefix><kind>" of every kind fit the box, so each set of cards
// shows its names, profiles and tips at one size.
TextStyle Shared(const TextTable& t, const std::string& prefix, int w, int h, TextStyle style, int minPixels)
{
    std::vector<std::string> texts;
    for (const std::string& kind : TicKinds())
        texts.push_back(t.Get(prefix + kind));
    style.pixels = FittedSize(texts, w, h, style, minPixels);
    return style;
}

struct ProfileStyles
{
    TextStyle title, body, tip;
};

ProfileStyles ProfileStylesFor(const TextTable& t)
{
    TextStyle title{Face::SansBold, 32, Palette::Coral, Align::Left};
    title.outline = 2;
    return {
        Shared(t, "Img.TicName.", 270, 44, title, 20),
        Shared(t, "Img.TicProfile.", 264, 170, TextStyle{Face::Sans, 18, Palette::Ink, Align::Left, 1.3}, 13),
        Shared(t, "Img.TicTip.", 440, 62, TextStyle{Face::SansBold, 18, Palette::Ink, Align::Left, 1.25},
               12)};
}

Canvas Profile(const TextTable& t, int index, const ProfileStyles& styles)
{
    const std::string& kind = TicKinds()[static_cast<size_t>(index)];
    const int w = 560, h = 380;
    Canvas c = PaintPanelCard(false, w, h);
    // The specimen circle: a pale disc with a teal stitched ring, the portrait in it.
    const Vec2 at{140, 168};
    const Sdf disc = CircleSdf(at, 100);
    FillShape(c, disc, RadialGradient(at - Vec2{30, 40}, 150, Hex("#FFFFFF"), Hex("#E4F1EC")));
    DashedOutline(c, disc, CircleAlong(at, 94), FitPeriod(2.0 * Det::Pi * 94, 8.0), 0.5, 1.8,
                  WithAlpha(Palette::Teal, 0.85), -6.0);
    Outline(c, disc, 1.6, WithAlpha(Palette::Ink, 0.7));
    DrawTicPortrait(c, index, at + Vec2{0, 6}, 66);
    // Name, profile and tip.
    DrawTextFitted(c, Name(t, kind), 264, 30, 270, 44, styles.title, styles.title.pixels);
    FillShape(c, BoundedStroke({{266, 82}, {530, 82}}, 1.0), Solid(WithAlpha(Palette::Teal, 0.8)));
    DrawTextFitted(c, t.Get("Img.TicProfile." + kind), 266, 96, 264, 170, styles.body, styles.body.pixels);
    const Sdf box = RoundedRectSdf(22, 286, 536, 360, 12);
    FillShape(c, box, Solid(WithAlpha(Mix(Palette::Teal, Palette::White, 0.8), 0.9)));
    DashedOutline(
        c, box, [](Vec2 p) { return p.x + p.y; }, 8.0, 0.5, 1.2, WithAlpha(Palette::Teal, 0.9), -4.0);
    Outline(c, box, 1.2, WithAlpha(Palette::Ink, 0.6));
    TipBadge(c, {52, 323}, 16);
    DrawTextFitted(c, t.Get("Img.TicTip." + kind), 80, 292, 440, 62, styles.tip, styles.tip.pixels, true);
    return c;
}

// The introduction: drawn over IntroPanel, so its own background stays clear.
struct IntroStyles
{
    TextStyle name, tip;
};

IntroStyles IntroStylesFor(const TextTable& t)
{
    return {
        Shared(t, "Img.TicName.", 226, 44, TextStyle{Face::SansBold, 32, Palette::Ink, Align::Left}, 18),
        Shared(t, "Img.TicTip.", 222, 150, TextStyle{Face::Sans, 22, Palette::Ink, Align::Left, 1.3}, 14)};
}

Canvas Intro(const TextTable& t, int index, const IntroStyles& styles)
{
    const std::string& kind = TicKinds()[static_cast<size_t>(index)];
    const int w = 480, h = 320;
    Canvas c(w, h);
    // A coral ribbon with the heading.
    const Sdf ribbon = Union(RoundedRectSdf(110, 6, 370, 52, 10),
                             Union(PolygonSdf({{118, 18}, {76, 18}, {92, 36}, {76, 56}, {118, 56}}),
                                   PolygonSdf({{362, 18}, {404, 18}, {388, 36}, {404, 56}, {362, 56}})));
    DropShadow(c, ribbon, {1, 3}, 3, WithAlpha(Palette::Ink, 0.35));
    FillShape(c, ribbon, DomeShade(ribbon, Solid(Palette::Coral), DomeLight{0.8, 8, 0.6, 0.25, 0.3, 16}));
    Outline(c, ribbon, 1.8, Palette::Ink, 0.9);
    TextStyle head{Face::SansBold, 28, Mix(Palette::Paper, Palette::White, 0.5), Align::Center};
    head.outline = 2;
    DrawTextFitted(c, t.Get("Img.TicIntro.title"), 118, 8, 244, 42, head, 16, true);
    // The portrait on a soft glow, with sparkles.
    const Vec2 at{126, 190};
    const Sdf glow = CircleSdf(at, 100);
    FillShape(c, glow,
              RadialGradient(at, 118, WithAlpha(Palette::White, 0.95), WithAlpha(Hex("#CDEBE6"), 0.6)));
    DashedOutline(c, glow, CircleAlong(at, 95), FitPeriod(2.0 * Det::Pi * 95, 8.0), 0.5, 1.6,
                  WithAlpha(Palette::Teal, 0.85), -5.0);
    DrawTicPortrait(c, index, at + Vec2{0, 6}, 70);
    Sparkle(c, {34, 104}, 10);
    Sparkle(c, {222, 276}, 8);
    Sparkle(c, {214, 92}, 6);
    // The name and the tip.
    DrawTextFitted(c, Name(t, kind), 248, 92, 226, 44, styles.name, styles.name.pixels);
    FillShape(c, BoundedStroke({{250, 142}, {466, 142}}, 1.0), Solid(WithAlpha(Palette::Coral, 0.8)));
    DrawTextFitted(c, t.Get("Img.TicTip." + kind), 250, 156, 222, 150, styles.tip, styles.tip.pixels);
    return c;
}
} // namespace

FamilyArt PaintTictionaryBackground()
{
    FamilyArt art;
    art.resources.push_back(Single("TictionaryBG", Notebook(), Format::Jpeg, "TictionaryBG.jpg"));
    art.sheetScale = 0.5;
    return art;
}

FamilyArt PaintTicButtons(const TextTable& t)
{
    FamilyArt art;
    const ControlLook card = TicCard();
    const std::string& mark = t.Get("Img.TicButton.locked");
    const auto& kinds = TicKinds();
    std::vector<std::string> names;
    for (const std::string& k : kinds)
        names.push_back(Name(t, k));
    const int pixels = FittedSize(names, 88, 18, CardNameStyle(), 9);
    for (size_t i = 0; i < kinds.size(); ++i)
    {
        ControlLook open = card, locked = card;
        const std::string name = Name(t, kinds[i]);
        open.glyph = [i, name, pixels](Canvas& c, double dy)
        {
            DrawTicPortrait(c, static_cast<int>(i), {52, 44 + dy}, 26);
            CardName(c, name, pixels, dy);
        };
        locked.glyph = [mark](Canvas& c, double dy) { DrawLockedSilhouette(c, {52, 50 + dy}, 30, mark); };
        art.resources.push_back(
            StateList("TicButton_" + kinds[i], [&](State s)
                      { return PaintControl(104, 104, s == State::Disabled ? locked : open, s); }));
    }
    // The sheet shows every kind at rest in two rows, then one kind in its five states.
    std::vector<ImageFile> rows[2];
    for (size_t i = 0; i < art.resources.size(); ++i)
        rows[i * 2 / art.resources.size()].push_back(art.resources[i].frames[0]);
    art.previews.push_back(Strip("TicButtons_normal_a", rows[0], 1.0, 0));
    art.previews.push_back(Strip("TicButtons_normal_b", rows[1], 1.0, 0));
    art.previews.push_back(Strip(art.resources[0].name, art.resources[0].frames, 1.0, 0));
    art.sheetPreviewsOnly = true;
    return art;
}

FamilyArt PaintTicProfiles(const TextTable& t)
{
    FamilyArt art;
    const ProfileStyles styles = ProfileStylesFor(t);
    const auto& kinds = TicKinds();
    for (size_t i = 0; i < kinds.size(); ++i)
        art.resources.push_back(
            Single("TicProfile_" + kinds[i], Profile(t, static_cast<int>(i), styles), Format::Png));
    art.sheetScale = 0.3;
    art.compactSheet = true;
    return art;
}

FamilyArt PaintIntroPanel()
{
    const int w = 560, h = 420;
    Canvas c = PaintPanelCard(true, w, h);
    // Yarn curls in two corners, clear of the picture and the button.
    Yarn(c, Spiral({34, 34}, 14, 3, 0.1, 1.2, 40), 2.2, Palette::Coral, 1.2);
    Yarn(c, Spiral({520, 380}, 14, 3, 0.6, 1.2, 40), 2.2, Palette::Teal, 1.2);
    FamilyArt art;
    art.resources.push_back(Single("IntroPanel", c, Format::Png));
    return art;
}

FamilyArt PaintTicIntros(const TextTable& t)
{
    FamilyArt art;
    const Canvas panel = PaintIntroPanel().resources[0].frames[0].canvas;
    const IntroStyles styles = IntroStylesFor(t);
    const auto& kinds = TicKinds();
    for (size_t i = 0; i < kinds.size(); ++i)
        art.resources.push_back(
            Single("TicIntro_" + kinds[i], Intro(t, static_cast<int>(i), styles), Format::Png));
    // As the screen shows it: the panel centred, the picture at (160, 120) of the screen.
    Canvas shown = panel;
    shown.Composite(art.resources[0].frames[0].canvas, 40, 30);
    art.previews.push_back(Frame("ticintro_preview", std::move(shown), "on IntroPanel"));
    art.sheetScale = 0.3;
    art.compactSheet = true;
    return art;
}
} // namespace DataGen
