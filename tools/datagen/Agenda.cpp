// An appointment book on the desk: a page of day cells under the weekday heads, a kraft strip for
// the films, and the day schedule sheet laid over it with one row per appointment.
#include "Agenda.h"

#include "Guests.h"
#include "Icons.h"
#include "Noise.h"
#include "Rooms.h"
#include "Scenery.h"
#include "Text.h"
#include "TextTable.h"
#include "UiKit.h"

#include <cmath>

namespace DataGen
{
namespace
{
constexpr int kScreenW = 800, kScreenH = 600;
// The day grid of the calendar screen: cell (c, r) at (89 + 116 c, 126 + 94 r), 104 x 74, the
// day's number in the 16 px above it.
constexpr int kCellX = 89, kCellY = 126, kPitchX = 116, kPitchY = 94, kCellW = 104, kCellH = 74;

Canvas Agenda(const TextTable& t)
{
    Canvas c(kScreenW, kScreenH);
    const ValueNoise grain(0xa9e1), fibre(0xa9e2);
    PaintPixels(c,
                [&](Vec2 p)
                {
                    const Rgba wood = DeskWood(p + Vec2{0, 40}, grain);
                    return Vignette(Mix(wood, Hex("#C9A27A"), 0.25), p, kScreenW, kScreenH, 0.3);
                });
    // The book's page, with a coral ribbon bookmark hanging from its top.
    const Sdf page = RoundedRectSdf(50, 12, 668, 508, 12);
    for (int i = 2; i >= 1; --i)
    {
        const Sdf under = Translate(page, {i * 2.5, i * 3.0});
        FillShape(c, under, Solid(ScaleValue(Palette::Paper, 1.0 - 0.06 * i)));
        Outline(c, under, 1.0, WithAlpha(Palette::Ink, 0.45));
    }
    DropShadow(c, page, {4, 7}, 8, WithAlpha(Palette::Ink, 0.4));
    FillShape(c, page,
              [&](Vec2 p, double)
              {
                  Rgba col = Mix(Hex("#FCF7EE"), Hex("#F2E6D1"), Det::Clamp01((p.x + p.y) / 1200.0));
                  return ScaleValue(col, 1.0 + (fibre.Fbm(p.x / 6.0, p.y / 2.5, 3) - 0.5) * 0.05);
              });
    Outline(c, page, 1.8, WithAlpha(Palette::Ink, 0.85));
    const Sdf ribbon = PolygonSdf({{616, 8}, {640, 8}, {640, 70}, {628, 60}, {616, 70}});
    FillShape(c, ribbon, DomeShade(ribbon, Solid(Palette::Coral), DomeLight{0.8, 5, 0.6, 0.2, 0.3, 16}));
    Outline(c, ribbon, 1.2, Palette::Ink, 0.6);

    // The title, underlined with a stitched teal line.
    TextStyle title{Face::SansBold, 30, Palette::Ink, Align::Center};
    DrawTextFitted(c, t.Get("Img.Agenda.title"), 90, 24, 520, 40, title, 18, true);
    for (int i = 0; i < 30; ++i)
        FillShape(c, CapsuleSdf({182.0 + i * 12.0, 70}, {188.0 + i * 12.0, 70}, 1.4), Solid(Palette::Teal));

    // Weekday heads over the columns, then the cells with their numbers.
    for (int col = 0; col < 5; ++col)
    {
        const int x = kCellX + kPitchX * col;
        TextStyle head{Face::SansBold, 15, Palette::Teal, Align::Center};
        DrawTextFitted(c, t.Get("Img.Agenda.day." + std::to_string(col + 1)), x - 4, 80, kCellW + 8, 22, head,
                       10, true);
        for (int row = 0; row < 4; ++row)
        {
            const int y = kCellY + kPitchY * row;
            const Sdf cell = RoundedRectSdf(x - 3, y - 17, x + kCellW + 3, y + kCellH + 3, 8);
            FillShape(c, cell, Solid(WithAlpha(Hex("#E9DCC4"), 0.55)));
            DashedOutline(
                c, cell, [](Vec2 p) { return p.x + p.y; }, 7.0, 0.5, 1.1, WithAlpha(Palette::Ink, 0.35));
            TextStyle number{Face::SansBold, 13, Palette::Ink, Align::Left};
            DrawText(c, std::to_string(row * 5 + col + 1), x + 2, y - 16, 0, number);
        }
    }
    // The films strip: kraft paper with sprocket holes down both edges.
    const Sdf strip = RoundedRectSdf(670, 104, 790, 478, 8);
    DropShadow(c, strip, {3, 5}, 5, WithAlpha(Palette::Ink, 0.35));
    FillShape(c, strip, LinearGradient({0, 104}, {0, 478}, Hex("#D9B98C"), Hex("#C49E6E")));
    for (int i = 0; i < 17; ++i)
        for (const double x : {677.0, 783.0})
        {
            const Sdf hole = RoundedRectSdf(x - 3, 112 + i * 21.8, x + 3, 120 + i * 21.8, 1.5);
            FillShape(c, hole, Solid(Hex("#6E4529")));
        }
    Outline(c, strip, 1.6, Palette::Ink, 0.8);
    // A ball of yarn on the desk between the buttons, its end trailing off.
    Yarn(c, Shape::FlattenQuadratic({392, 566}, {440, 592}, {500, 572}, 24), 2.0, Palette::Teal, 1.2);
    DrawYarnBall(c, {376, 558}, 20, Palette::Teal, 1.8);
    return FlattenOnto(c, Palette::Paper);
}

// A day tile: a paper page of the book, 104 x 74, a coral band on top for the current day.
ControlLook DayTile(bool current)
{
    const double x0 = 3.5, y0 = 3.0, x1 = 100.5, y1 = 69.0, r = 9.0;
    const Vec2 centre{(x0 + x1) * 0.5, (y0 + y1) * 0.5}, half{(x1 - x0) * 0.5, (y1 - y0) * 0.5};
    ControlLook look;
    look.shape = [=](double dy) { return RoundedBoxSdf({centre.x, centre.y + dy}, half, r); };
    const Vec2 ringHalf = half + Vec2{2.0, 2.0};
    look.along = [=](Vec2 p) { return RoundedBoxPerimeterAt(p, centre, ringHalf, r + 2.0); };
    look.ringPeriod = FitPeriod(RoundedBoxPerimeter(ringHalf, r + 2.0), 8.0);
    look.ringOutset = 2.5;
    const Vec2 stitchHalf = half - Vec2{3.0, 3.0};
    look.stitchAlong = [=](Vec2 p) { return RoundedBoxPerimeterAt(p, centre, stitchHalf, r - 3.0); };
    look.stitchPeriod = FitPeriod(RoundedBoxPerimeter(stitchHalf, r - 3.0), 6.0);
    look.top = current ? Mix(Palette::Paper, Palette::White, 0.75) : Hex("#E6EEE8");
    look.bottom = current ? Palette::Paper : Hex("#D5E2DA");
    look.gradientTop = y0;
    look.gradientBottom = y1;
    look.light = DomeLight{0.6, 4.0, 0.7, 0.15, 0.2, 16};
    look.shadowDrop = 2.0;
    look.shadowBlur = 2.0;
    look.glyph = [current, centre, half, r](Canvas& c, double dy)
    {
        const Sdf body = RoundedBoxSdf({centre.x, centre.y + dy}, half, r);
        if (current)
        {
            // The band and a small ball of yarn: today is open.
            const Sdf band = Intersect(body, [dy](Vec2 p) { return p.y - (16.0 + dy); });
            FillShape(
                c, band,
                LinearGradient({0, 3 + dy}, {0, 16 + dy}, Lighten(Palette::Coral, 0.15), Palette::Coral));
            FillShape(c, Intersect(body, [dy](Vec2 p) { return std::fabs(p.y - (16.0 + dy)) - 0.6; }),
                      Solid(WithAlpha(Palette::Ink, 0.6)));
            DrawYarnBall(c, {52, 30 + dy}, 8.5, Palette::Teal, 1.2);
        }
        else
            DrawTick(c, {52, 26 + dy}, 26, 1.3);
        // The strip where the guests' icons go.
        const Sdf strip = RoundedRectSdf(8, 46 + dy, 96, 66 + dy, 6);
        FillShape(c, strip, Solid(WithAlpha(Palette::White, 0.55)));
    };
    return look;
}

// A soft teal glow filling the cell, strongest at the edges: pulsed over an open day.
Canvas DayGlow()
{
    Canvas c(kCellW, kCellH);
    const Sdf tile = RoundedRectSdf(3.5, 3.0, 100.5, 69.0, 9.0);
    PaintPixels(c,
                [&](Vec2 p)
                {
                    const double d = tile(p);
                    const double inside = Det::Clamp01(-d / 14.0);
                    const double a = d > 0.0 ? Det::PowInt(1.0 - Det::Clamp01(d / 3.5), 2) * 0.9
                                             : 0.85 - 0.65 * Det::Smoothstep(0.0, 1.0, inside);
                    return WithAlpha(Mix(Hex("#E8FFFB"), Lighten(Palette::Teal, 0.35), 1.0 - inside), a);
                });
    return c;
}

// The guest's face in a ring of the guest's colour, 24 x 24; `state` 0 open, 1 done, 2 locked.
Canvas GuestDot(const std::string& guest, int state)
{
    Canvas c(24, 24);
    const Sdf ring = CircleSdf({12, 12}, 10.5);
    const Rgba color = state == 2 ? Palette::Disabled : RoomColor(guest);
    FillShape(c, ring, Solid(color));
    Canvas face = GuestFace(guest, 18);
    if (state == 2)
        face.MapColors([](Rgba p)
                       { return Mix(Desaturate(p, 1.0), WithAlpha(Palette::Disabled, p.a), 0.4); });
    c.Composite(face, 3, 3);
    Outline(c, ring, 1.1, Palette::Ink, 0.55);
    if (state == 1)
    {
        const Sdf badge = CircleSdf({17.8, 17.8}, 4.9);
        FillShape(c, badge, Solid(Palette::White));
        FillShape(c, StrokeSdf({{15.3, 17.9}, {17.3, 20.0}, {20.6, 15.8}}, 1.05), Solid(Palette::Teal));
        Outline(c, badge, 0.9, Palette::Ink, 0.45);
    }
    if (state == 2)
        c.MultiplyAlpha(0.8);
    return c;
}

Canvas DaySheet()
{
    const int w = 600, h = 560;
    Canvas c = PaintPanelCard(true, w, h);
    // A ruled header under the date, and a coral binder clip.
    FillShape(c, BoundedStroke({{24, 60}, {520, 60}}, 1.0), Solid(WithAlpha(Palette::Teal, 0.8)));
    const Sdf clip = RoundedRectSdf(250, -2, 350, 8, 4);
    FillShape(c, clip, DomeShade(clip, Solid(Hex("#8A8F96")), DomeLight{1.0, 4, 0.55, 0.3, 0.6, 18}));
    Outline(c, clip, 1.4, Palette::Ink, 0.7);
    return c;
}

// One appointment row: a paper strip with a tab for the time on its left.
Canvas ApptRow()
{
    const int w = 560, h = 96;
    Canvas c(w, h);
    const Sdf row = RoundedRectSdf(2, 3, 556, 91, 12);
    DropShadow(c, row, {0.5, 2}, 2.5, WithAlpha(Palette::Ink, 0.25));
    FillShape(c, row,
              LinearGradient({0, 3}, {0, 91}, Mix(Palette::Paper, Palette::White, 0.6), Palette::Paper));
    const Sdf tab = Intersect(row, [](Vec2 p) { return p.x - 124.0; });
    FillShape(c, tab, LinearGradient({0, 3}, {0, 91}, Hex("#D8EFEC"), Hex("#BFE2DD")));
    FillShape(c, Intersect(row, [](Vec2 p) { return std::fabs(p.x - 124.0) - 0.7; }),
              Solid(WithAlpha(Palette::Ink, 0.5)));
    Outline(c, row, 1.3, WithAlpha(Palette::Ink, 0.75));
    // A dotted leader between the guest and the case file button.
    for (int i = 0; i < 3; ++i)
        FillShape(c, CircleSdf({352.0 + i * 9.0, 48}, 1.6), Solid(WithAlpha(Palette::Ink, 0.35)));
    return c;
}

// A card with the guest's room behind the portrait and the full name on a paper label.
ControlLook ApptCard(const std::string& guest, const std::string& name, int pixels)
{
    const double x0 = 3.5, y0 = 3.0, x1 = 136.5, y1 = 84.5, r = 10.0;
    const Vec2 centre{(x0 + x1) * 0.5, (y0 + y1) * 0.5}, half{(x1 - x0) * 0.5, (y1 - y0) * 0.5};
    ControlLook look;
    look.shape = [=](double dy) { return RoundedBoxSdf({centre.x, centre.y + dy}, half, r); };
    const Vec2 ringHalf = half + Vec2{2.0, 2.0};
    look.along = [=](Vec2 p) { return RoundedBoxPerimeterAt(p, centre, ringHalf, r + 2.0); };
    look.ringPeriod = FitPeriod(RoundedBoxPerimeter(ringHalf, r + 2.0), 8.0);
    look.ringOutset = 2.5;
    look.top = Lighten(RoomColor(guest), 0.55);
    look.bottom = Lighten(RoomColor(guest), 0.3);
    look.gradientTop = y0;
    look.gradientBottom = y1;
    look.light = DomeLight{0.8, 6.0, 0.65, 0.2, 0.25, 16};
    look.shadowDrop = 2.0;
    look.shadowBlur = 2.0;
    const Canvas face = GuestBadge(guest, 70);
    look.glyph = [face, name, pixels](Canvas& c, double dy)
    {
        c.Composite(face, 6, static_cast<int>(9 + dy));
        const Sdf label = RoundedRectSdf(78, 18 + dy, 132, 70 + dy, 6);
        FillShape(c, label, Solid(WithAlpha(Mix(Palette::Paper, Palette::White, 0.5), 0.92)));
        Outline(c, label, 1.0, WithAlpha(Palette::Ink, 0.5));
        const TextStyle style{Face::SansBold, pixels, Palette::Ink, Align::Center, 1.15};
        DrawTextFitted(c, name, 79, static_cast<int>(20 + dy), 52, 48, style, pixels, true);
    };
    return look;
}
} // namespace

FamilyArt PaintAgendaBackground(const TextTable& t)
{
    FamilyArt art;
    Canvas bg = Agenda(t);
    // As the calendar shows it: a few days done, today open and glowing, the films buttons.
    Canvas shown = bg;
    const Canvas done = PaintControl(kCellW, kCellH, DayTile(false), State::Normal);
    const Canvas today = PaintControl(kCellW, kCellH, DayTile(true), State::Normal);
    for (int i = 0; i < 7; ++i)
        shown.Composite(i < 6 ? done : today, kCellX + kPitchX * (i % 5), kCellY + kPitchY * (i / 5));
    shown.Composite(DayGlow(), kCellX + kPitchX, kCellY + kPitchY);
    for (int i = 0; i < 7; ++i)
        shown.Composite(GuestDot(GuestNames()[static_cast<size_t>(i % 6)], i < 6 ? 1 : 0),
                        kCellX + kPitchX * (i % 5) + 28, kCellY + kPitchY * (i / 5) + 47);
    art.resources.push_back(Single("AgendaBG", std::move(bg), Format::Jpeg, "AgendaBG.jpg"));
    art.previews.push_back(Frame("agenda_preview", std::move(shown), "with six days done and today open"));
    art.sheetScale = 0.5;
    return art;
}

FamilyArt PaintDayButtons()
{
    FamilyArt art;
    const ControlLook current = DayTile(true), done = DayTile(false);
    art.resources.push_back(
        StateList("DayBtn_Current", [&](State s) { return PaintControl(kCellW, kCellH, current, s); }));
    art.resources.push_back(
        StateList("DayBtn_Done", [&](State s) { return PaintControl(kCellW, kCellH, done, s); }));
    Resource glow;
    glow.kind = Resource::Kind::ImageList;
    glow.name = "Agenda_button_unlocked_day";
    glow.frames.push_back(Frame("Agenda_button_unlocked_day", DayGlow(), "glow"));
    art.resources.push_back(std::move(glow));
    return art;
}

FamilyArt PaintGuestIconImages()
{
    FamilyArt art;
    static const char* const kStates[] = {"inprogress", "completed", "locked"};
    for (const std::string& g : GuestNames())
    {
        Resource r;
        r.kind = Resource::Kind::ImageList;
        r.name = g + "_iconImages";
        for (int s = 0; s < 3; ++s)
            r.frames.push_back(Frame(r.name + "_" + kStates[s], GuestDot(g, s), kStates[s]));
        art.resources.push_back(std::move(r));
    }
    Canvas star(16, 16);
    DrawStar(star, {8, 8.3}, 6.4, 1.0);
    art.resources.push_back(Single("StarSmall", std::move(star), Format::Png));
    return art;
}

FamilyArt PaintDaySheet()
{
    FamilyArt art;
    Canvas sheet = DaySheet();
    Canvas row = ApptRow();
    Canvas shown = sheet;
    for (int i = 0; i < 3; ++i)
        shown.Composite(row, 20, 64 + 100 * i);
    art.resources.push_back(Single("DayBG", std::move(sheet), Format::Png));
    art.resources.push_back(Single("ApptRow", std::move(row), Format::Png));
    art.previews.push_back(Frame("day_preview", std::move(shown), "three rows on the sheet"));
    art.sheetScale = 0.5;
    art.compactSheet = true;
    return art;
}

FamilyArt PaintApptTimes(const TextTable& t)
{
    FamilyArt art;
    Resource r;
    r.kind = Resource::Kind::ImageList;
    r.name = "ApptTimeImages";
    std::vector<std::string> times;
    for (int k = 1; k <= 5; ++k)
        times.push_back(t.Get("Img.Appt." + std::to_string(k)));
    const TextStyle style{Face::SansBold, FittedSize(times, 82, 26, TextStyle{Face::SansBold, 17}, 11),
                          Palette::Ink, Align::Left};
    for (int k = 1; k <= 5; ++k)
    {
        Canvas c(110, 28);
        // A small clock, then the time.
        const Sdf face = CircleSdf({13, 14}, 9.5);
        FillShape(c, face, DomeShade(face, Solid(Palette::White), DomeLight{0.8, 4, 0.7, 0.2, 0.3, 16}));
        Outline(c, face, 1.4, Palette::Ink, 0.7);
        const double hand = (k - 1) / 5.0;
        FillShape(
            c, StrokeSdf({{13, 14}, {13 + Det::SinTurns(hand) * 4.5, 14 - Det::CosTurns(hand) * 4.5}}, 0.9),
            Solid(Palette::Ink));
        FillShape(c, StrokeSdf({{13, 14}, {13, 7}}, 0.7), Solid(Palette::Coral));
        DrawTextFitted(c, times[static_cast<size_t>(k - 1)], 27, 1, 82, 26, style, style.pixels, true);
        r.frames.push_back(Frame("ApptTime_" + std::to_string(k), std::move(c), "slot " + std::to_string(k)));
    }
    art.resources.push_back(std::move(r));
    return art;
}

FamilyArt PaintApptMarks(const TextTable& t)
{
    FamilyArt art;
    Canvas check(40, 40), star(40, 40), lock(140, 90);
    DrawTick(check, {20, 21}, 30, 1.5);
    DrawStar(star, {20, 20.5}, 17, 1.6);
    // The lock covers the guest's card: a veil of paper, the padlock and the word.
    const Sdf card = RoundedRectSdf(3.5, 3.0, 136.5, 84.5, 10.0);
    FillShape(lock, card, Solid(WithAlpha(Hex("#E9E4DE"), 0.72)));
    DashedOutline(
        lock, card, [](Vec2 p) { return p.x + p.y; }, 8.0, 0.5, 1.4, WithAlpha(Palette::Ink, 0.5), -3.0);
    DrawPadlock(lock, {70, 36}, 34, Palette::Disabled, 1.6);
    TextStyle word{Face::SansBold, 15, Palette::Ink, Align::Center};
    word.outline = 2;
    word.outlineColor = Mix(Palette::Paper, Palette::White, 0.5);
    DrawTextFitted(lock, t.Get("Img.Day.locked"), 10, 58, 120, 22, word, 10, true);
    art.resources.push_back(Single("CheckBig", std::move(check), Format::Png));
    art.resources.push_back(Single("StarBig", std::move(star), Format::Png));
    art.resources.push_back(Single("LockOverlay", std::move(lock), Format::Png));
    art.compactSheet = true;
    return art;
}

FamilyArt PaintApptButtons(const TextTable& t)
{
    FamilyArt art;
    std::vector<std::string> names;
    for (const std::string& g : GuestNames())
        names.push_back(t.Get("GuestFullName." + g));
    const int pixels =
        FittedSize(names, 52, 48, TextStyle{Face::SansBold, 13, Palette::Ink, Align::Center, 1.15}, 8);
    for (const std::string& g : GuestNames())
    {
        const ControlLook look = ApptCard(g, t.Get("GuestFullName." + g), pixels);
        art.resources.push_back(
            StateList(g + "_ApptBtn", [&](State s) { return PaintControl(140, 90, look, s); }));
    }
    return art;
}
} // namespace DataGen
