// Paper cards with teal stitching, as every pop-up of the game; the texts come from the table.
#include "Framing.h"

#include "Icons.h"
#include "Noise.h"
#include "Scenery.h"
#include "Text.h"
#include "TextTable.h"
#include "UiKit.h"

#include <cmath>
#include <sstream>
#include <vector>

namespace DataGen
{
namespace
{
constexpr int kScreenW = 800, kScreenH = 600;

// A paper clip over the top edge of a card at x.
void PaperClip(Canvas& c, double x, double y)
{
    const Sdf outer =
        Subtract(CapsuleSdf({x, y - 10}, {x, y + 22}, 7.0), CapsuleSdf({x, y - 10}, {x, y + 22}, 4.6));
    const Sdf inner =
        Subtract(CapsuleSdf({x, y - 4}, {x, y + 14}, 4.2), CapsuleSdf({x, y - 4}, {x, y + 14}, 2.0));
    const Sdf clip = Union(Intersect(outer, [y](Vec2 p) { return p.y - (y + 16); }), inner);
    DropShadow(c, clip, {1.5, 2.5}, 1.5, WithAlpha(Palette::Ink, 0.35));
    FillShape(c, clip, DomeShade(clip, Solid(Hex("#B9BEC5")), DomeLight{1.0, 1.2, 0.55, 0.3, 0.7, 20}));
    Outline(c, clip, 1.0, Palette::Ink, 0.5);
}

Canvas IntroCard()
{
    const int w = 600, h = 460;
    Canvas c = PaintPanelCard(true, w, h);
    // A teal band under the date, the paper clip, a curl of yarn in the free corner.
    FillShape(c, BoundedStroke({{30, 68}, {568, 68}}, 1.0), Solid(WithAlpha(Palette::Teal, 0.8)));
    PaperClip(c, 540, 20);
    Yarn(c, Spiral({560, 420}, 13, 3, 0.6, 1.2, 40), 2.2, Palette::Coral, 1.2);
    return c;
}

Canvas GoalPanel()
{
    const int w = 460, h = 120;
    Canvas c(w, h);
    const Sdf panel = RoundedRectSdf(2, 2, 456, 116, 14);
    FillShape(c, panel, LinearGradient({0, 2}, {0, 116}, Hex("#E2F3F0"), Hex("#CFEAE5")));
    InnerShadow(c, panel, {0.0, 2.0}, 2.5, WithAlpha(Palette::Ink, 0.2));
    DashedOutline(
        c, panel, [](Vec2 p) { return p.x + p.y; }, 8.0, 0.5, 1.3, WithAlpha(Palette::Teal, 0.9), -4.0);
    Outline(c, panel, 1.3, WithAlpha(Palette::Ink, 0.7));
    // The seat of the guest's head: a paper disc with a stitched ring.
    const Vec2 at{46, 46};
    const Sdf seat = CircleSdf(at, 35);
    FillShape(c, seat, Solid(Mix(Palette::Paper, Palette::White, 0.5)));
    InnerShadow(c, seat, {0.0, 1.5}, 2.0, WithAlpha(Palette::Ink, 0.25));
    Outline(c, seat, 1.2, WithAlpha(Palette::Ink, 0.6));
    // A small clock in the corner below the head: the goal is a time.
    const Sdf face = CircleSdf({46, 98}, 9);
    FillShape(c, face, Solid(Palette::White));
    FillShape(c, StrokeSdf({{46, 98}, {46, 92}, {46, 98}, {50, 100}}, 0.9), Solid(Palette::Ink));
    Outline(c, face, 1.3, Palette::Ink, 0.65);
    return c;
}

// A plaque for the two result lines, with a ball of yarn at each end in the accent colour.
Canvas ResultPanel(Rgba accent)
{
    const int w = 420, h = 110;
    Canvas c(w, h);
    const Sdf plate = RoundedRectSdf(14, 4, 406, 104, 18);
    DropShadow(c, plate, {1.5, 3.5}, 4.0, WithAlpha(Palette::Ink, 0.35));
    FillShape(
        c, plate,
        DomeShade(plate,
                  LinearGradient({0, 4}, {0, 104}, Mix(Palette::Paper, Palette::White, 0.6), Palette::Paper),
                  DomeLight{0.6, 6, 0.7, 0.15, 0.15, 16}));
    const Vec2 centre{210, 54}, half{186, 44};
    DashedOutline(
        c, plate, [=](Vec2 p) { return RoundedBoxPerimeterAt(p, centre, half, 12); },
        FitPeriod(RoundedBoxPerimeter(half, 12), 8.0), 0.5, 1.5, WithAlpha(accent, 0.9), -6.0);
    Outline(c, plate, 1.8, Palette::Ink, 0.9);
    FillShape(c, BoundedStroke({{60, 55}, {360, 55}}, 0.6), Solid(WithAlpha(accent, 0.5)));
    DrawYarnBall(c, {16, 55}, 13, accent, 1.4);
    DrawYarnBall(c, {404, 55}, 13, accent, 1.4);
    return c;
}

Canvas CreditsBackground()
{
    Canvas c(kScreenW, kScreenH);
    const ValueNoise cloth(0xc2ed), fibre(0xc2ee);
    // A soft teal wall with a linen weave, lighter behind the page.
    PaintPixels(
        c,
        [&](Vec2 p)
        {
            Rgba col = Mix(Hex("#B8DCD6"), Hex("#8CC3BB"), Det::Clamp01(p.y / 600.0));
            const double weave =
                std::fabs(Det::Fract(p.x / 4.0) - 0.5) + std::fabs(Det::Fract(p.y / 4.0) - 0.5);
            col = ScaleValue(col, 1.0 + (weave - 0.5) * 0.05 +
                                      (cloth.Fbm(p.x / 40.0, p.y / 40.0, 3) - 0.5) * 0.08);
            const double glow = 1.0 - Det::Clamp01(Length(PerAxis(p - Vec2{400, 310}, Vec2{460, 330})));
            col = Mix(col, Hex("#E9F6F3"), glow * glow * 0.5);
            return Vignette(col, p, kScreenW, kScreenH, 0.25);
        });
    // A garland of yarn across the top with small paper flags, clear of the title in the middle.
    const std::vector<Vec2> garland = Shape::FlattenQuadratic({-20, 18}, {400, 120}, {820, 18}, 64);
    Yarn(c, garland, 1.8, Palette::Coral, 1.0);
    const Rgba flags[] = {Palette::Teal, Hex("#FFB800"), Palette::Coral, Hex("#801A99")};
    for (int i = 0; i < 10; ++i)
    {
        const size_t k = static_cast<size_t>(4 + i * 6 + (i >= 5 ? 6 : 0));
        if (k >= garland.size())
            break;
        const Vec2 at = garland[k];
        const Sdf flag = PolygonSdf({at + Vec2{-9, 0}, at + Vec2{9, 0}, at + Vec2{0, 20}});
        FillShape(c, Bounded(flag, at - Vec2{12, 2}, at + Vec2{12, 22}),
                  DomeShade(flag, Solid(flags[i % 4]), DomeLight{0.6, 4, 0.6, 0.2, 0.2, 16}));
        Outline(c, Bounded(flag, at - Vec2{12, 2}, at + Vec2{12, 22}), 1.1, Palette::Ink, 0.55);
    }
    // The title's paper banner.
    const Sdf banner = RoundedRectSdf(240, 38, 560, 92, 12);
    DropShadow(c, banner, {2, 4}, 4, WithAlpha(Palette::Ink, 0.3));
    FillShape(c, banner,
              [&](Vec2 p, double) {
                  return ScaleValue(Palette::Paper, 1.0 + (fibre.Fbm(p.x / 6.0, p.y / 2.5, 3) - 0.5) * 0.05);
              });
    Outline(c, banner, 1.6, Palette::Ink, 0.8);
    Wisp(c, Shape::FlattenQuadratic({30, 560}, {200, 500}, {330, 580}, 40), 3.5, Palette::White, 0.4);
    Wisp(c, Shape::FlattenQuadratic({470, 580}, {620, 500}, {780, 560}, 40), 3.5, Palette::White, 0.4);
    Sparkle(c, {62, 150}, 8);
    Sparkle(c, {752, 470}, 7);
    return FlattenOnto(c, Palette::Paper);
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        out.push_back(line);
    return out;
}

TextStyle CreditsBodyStyle()
{
    return TextStyle{Face::Sans, 18, Palette::Ink, Align::Center, 1.4};
}

std::string Body(const std::vector<std::string>& lines)
{
    std::string body;
    for (size_t i = 1; i < lines.size(); ++i)
        body += (i > 1 ? "\n" : "") + lines[i];
    return body;
}

// A page: the first line is the heading, the rest centred body lines at `pixels`.
Canvas CreditsPage(const std::string& text, int index, int pixels)
{
    const int w = 640, h = 400;
    Canvas c = PaintPanelCard(true, w, h);
    const std::vector<std::string> lines = Lines(text);
    if (lines.empty())
        return c;
    TextStyle head{Face::SansBold, 30, Palette::Coral, Align::Center};
    head.outline = 2;
    DrawTextFitted(c, lines[0], 30, 22, 580, 44, head, 18, true);
    for (int i = 0; i < 21; ++i)
        FillShape(c, CapsuleSdf({200.0 + i * 12.0, 74}, {206.0 + i * 12.0, 74}, 1.3), Solid(Palette::Teal));
    TextStyle style = CreditsBodyStyle();
    style.pixels = pixels;
    DrawTextFitted(c, Body(lines), 40, 92, 560, 280, style, pixels, true);
    // One small Tic-coloured yarn ball in a lower corner, a different colour per page.
    const Rgba balls[] = {Palette::Coral, Palette::Teal, Hex("#FFB800")};
    DrawYarnBall(c, {606, 360}, 11, balls[index % 3], 1.3);
    return c;
}

// The tutorial's speech bubble with its text, which keeps clear of the OK button's corner.
Canvas Bubble(const std::string& text, int pixels)
{
    const int w = 320, h = 140;
    Canvas c = PaintPanelCard(true, w, h);
    if (!text.empty())
    {
        TextStyle style{Face::Sans, pixels, Palette::Ink, Align::Center, 1.25};
        DrawTextFitted(c, text, 22, 12, 276, 84, style, pixels, true);
    }
    return c;
}

TextStyle BubbleStyle()
{
    return TextStyle{Face::Sans, 18, Palette::Ink, Align::Center, 1.25};
}

// A coral yarn arrow inside a 28 x 28 corner, pointing out of it along `dir` (+-1, +-1).
Canvas Arrow(Vec2 dir)
{
    Canvas c(28, 28);
    const Vec2 centre{14, 14};
    const Vec2 d = Normalize(dir);
    const Vec2 tip = centre + d * 10.5, tail = centre - d * 9.0;
    const Vec2 side{-d.y, d.x};
    const Sdf shaft = StrokeSdf({tail, tip - d * 4.0}, 2.4);
    const Sdf head = Offset(PolygonSdf({tip, tip - d * 8.5 + side * 6.0, tip - d * 8.5 - side * 6.0}), 0.8);
    const Sdf arrow = SmoothUnion(shaft, head, 1.0);
    DropShadow(c, arrow, {0.6, 1.4}, 1.2, WithAlpha(Palette::Ink, 0.35));
    FillShape(c, arrow, DomeShade(arrow, Solid(Palette::Coral), DomeLight{1.0, 2.4, 0.6, 0.25, 0.4, 16}));
    Outline(c, arrow, 1.4, Palette::Ink, 0.7);
    return c;
}
} // namespace

FamilyArt PaintLevelIntroCard()
{
    FamilyArt art;
    Canvas card = IntroCard();
    Canvas goal = GoalPanel();
    Canvas shown = card;
    shown.Composite(goal, 70, 260);
    art.resources.push_back(Single("IntroCard", std::move(card), Format::Png));
    art.resources.push_back(Single("GoalPanel", std::move(goal), Format::Png));
    art.previews.push_back(Frame("levelintro_preview", std::move(shown), "the goal panel on the card"));
    art.sheetScale = 0.5;
    art.compactSheet = true;
    return art;
}

FamilyArt PaintResultPanel()
{
    FamilyArt art;
    art.resources.push_back(Single("ResultPanel", ResultPanel(Palette::Coral), Format::Png, "success"));
    return art;
}

FamilyArt PaintResultPanelE()
{
    FamilyArt art;
    art.resources.push_back(Single("ResultPanelE", ResultPanel(Palette::Teal), Format::Png, "endless"));
    return art;
}

FamilyArt PaintCreditsBackground()
{
    FamilyArt art;
    art.resources.push_back(Single("CreditsBG", CreditsBackground(), Format::Jpeg, "CreditsBG.jpg"));
    art.sheetScale = 0.5;
    return art;
}

FamilyArt PaintCreditsPages(const TextTable& t)
{
    FamilyArt art;
    Resource r;
    r.kind = Resource::Kind::ImageList;
    r.name = "CreditsPages";
    std::vector<std::string> texts, bodies;
    for (int i = 0; i < 3; ++i)
    {
        texts.push_back(t.Get("Img.Credits." + std::to_string(i)));
        bodies.push_back(Body(Lines(texts.back())));
    }
    const int pixels = FittedSize(bodies, 560, 280, CreditsBodyStyle(), 11);
    for (int i = 0; i < 3; ++i)
        r.frames.push_back(Frame("CreditsPage_" + std::to_string(i),
                                 CreditsPage(texts[static_cast<size_t>(i)], i, pixels),
                                 "page " + std::to_string(i)));
    art.resources.push_back(std::move(r));
    art.sheetScale = 0.5;
    return art;
}

FamilyArt PaintTutorialImages(const TextTable& t)
{
    std::vector<std::string> texts;
    for (int i = 0; i < 17; ++i)
        texts.push_back(t.Get("Img.Tutorial." + std::to_string(i)));
    const int pixels = FittedSize(texts, 276, 84, BubbleStyle(), 12);
    FamilyArt art;
    Resource r;
    r.kind = Resource::Kind::ImageList;
    r.name = "TutorialImages";
    for (int i = 0; i < 17; ++i)
        r.frames.push_back(Frame("TutorialImage_" + std::to_string(i),
                                 Bubble(texts[static_cast<size_t>(i)], pixels),
                                 "tutorial " + std::to_string(i)));
    // As the game shows it: the OK button in its corner and an arrow.
    Canvas shown = r.frames[0].canvas;
    shown.Composite(PaintControl(kSmallButtonWidth, kSmallButtonHeight,
                                 RoundedButton(kSmallButtonWidth, kSmallButtonHeight, Palette::Teal),
                                 State::Normal),
                    202, 92);
    shown.Composite(Arrow({-1, -1}), 0, 0);
    art.previews.push_back(Frame("tutorial_preview", std::move(shown), "with the OK button and an arrow"));
    art.resources.push_back(std::move(r));
    return art;
}

FamilyArt PaintTutorialArrows()
{
    FamilyArt art;
    art.resources.push_back(Single("Tut_Arrow_LU", Arrow({-1, -1}), Format::Png));
    art.resources.push_back(Single("Tut_Arrow_LD", Arrow({-1, 1}), Format::Png));
    art.resources.push_back(Single("Tut_Arrow_RU", Arrow({1, -1}), Format::Png));
    art.resources.push_back(Single("Tut_Arrow_RD", Arrow({1, 1}), Format::Png));
    art.compactSheet = true;
    return art;
}
} // namespace DataGen
