// The posters of the movies played in the middle of the game. A lesson is drawn as the moment it
// teaches, on a play mat, with the pointer and coral arrows for what the hand does; a story film
// is a photograph of the week's guests in one of their rooms, their Tics about them.
#include "Posters.h"

#include "Guests.h"
#include "Playfield.h"
#include "Rooms.h"
#include "Scenery.h"
#include "Tics.h"
#include "UiKit.h"

#include <cmath>
#include <string>
#include <vector>

namespace DataGen
{
namespace
{
constexpr int kPosterW = 560, kPosterH = 400;
const Rgba kBlackGunk = Hex("#2B2B33");

// The mat a lesson happens on: a pale card with a teal stitch, like the guide's specimen discs.
Canvas PlayMat()
{
    Canvas c(kPosterW, kPosterH);
    const Sdf mat = RoundedRectSdf(12, 10, kPosterW - 12, kPosterH - 16, 24);
    DropShadow(c, mat, {0, 5}, 6, WithAlpha(Palette::Ink, 0.3));
    FillShape(c, mat, RadialGradient({180, 120}, 460, Hex("#FFFFFF"), Hex("#DCEEE7")));
    DashedOutline(
        c, mat, [](Vec2 p) { return p.x + p.y; }, 10.0, 0.5, 1.8, WithAlpha(Palette::Teal, 0.85), -8.0);
    Outline(c, mat, 2.2, Palette::Ink, 1.1);
    return c;
}

// A spool at `base` (the middle of its basket's foot), `scale` times its playfield size. Answers
// where its yarn comes out.
Vec2 Spool(Canvas& c, Rgba color, Vec2 base, double scale)
{
    const Canvas spool = SpoolPicture(color, 2, scale);
    const int x = static_cast<int>(base.x - spool.Width() / 2.0),
              y = static_cast<int>(base.y - spool.Height());
    c.Composite(spool, x, y);
    return {x + spool.Width() / 2.0, y + 12.0 * scale};
}

// The mouse pointer with its tip at `tip`: the game's own arrow, larger.
void Pointer(Canvas& c, Vec2 tip, double scale, double alpha = 1.0)
{
    const std::vector<Vec2> arrow = {{0.0, 0.0},   {0.0, 24.0},  {5.9, 18.6}, {9.9, 27.6},
                                     {14.3, 25.8}, {10.5, 17.0}, {17.9, 17.0}};
    std::vector<Vec2> at;
    for (const Vec2& p : arrow)
        at.push_back(tip + p * scale);
    const Sdf shape = PolygonSdf(at);
    Canvas layer(c.Width(), c.Height());
    DropShadow(layer, shape, {2, 3}, 3, WithAlpha(Palette::Ink, 0.35));
    FillShape(layer, shape,
              DomeShade(shape,
                        LinearGradient(tip, tip + Vec2{12, 26} * scale, Palette::White, Palette::Paper),
                        DomeLight{0.8, 4.0 * scale, 0.6, 0.1, 0.2, 24}));
    Outline(layer, shape, 1.7 * scale, Palette::Ink);
    c.Composite(layer, 0, 0, alpha);
}

// Rings spreading from where the button goes down, round the spool it goes down on.
void Press(Canvas& c, Vec2 at)
{
    for (int i = 0; i < 3; ++i)
    {
        const double r = 44.0 + 13.0 * i;
        const Sdf ring = [at, r](Vec2 p) { return std::fabs(Length(p - at) - r) - 2.0; };
        Outline(c, ring, 1.5, WithAlpha(Palette::White, 0.7 - 0.2 * i), 1.5);
        FillShape(c, ring, Solid(WithAlpha(Palette::Teal, 0.8 - 0.25 * i)));
    }
}

// A smooth curve through the points (Catmull-Rom), `steps` pieces between each two.
std::vector<Vec2> Through(const std::vector<Vec2>& points, int steps)
{
    std::vector<Vec2> out{points.front()};
    for (size_t i = 0; i + 1 < points.size(); ++i)
    {
        const Vec2 p0 = points[i > 0 ? i - 1 : 0], p1 = points[i], p2 = points[i + 1];
        const Vec2 p3 = points[std::min(i + 2, points.size() - 1)];
        for (int k = 1; k <= steps; ++k)
        {
            const double t = double(k) / steps, t2 = t * t, t3 = t2 * t;
            out.push_back((p1 * 2.0 + (p2 - p0) * t + (p0 * 2.0 - p1 * 5.0 + p2 * 4.0 - p3) * t2 +
                           (p1 * 3.0 - p0 - p2 * 3.0 + p3) * t3) *
                          0.5);
        }
    }
    return out;
}

// Where the path is `along` pixels from its start, and which way it runs there.
std::pair<Vec2, Vec2> PointAlong(const std::vector<Vec2>& path, double along)
{
    for (size_t i = 1; i < path.size(); ++i)
    {
        const Vec2 d = path[i] - path[i - 1];
        const double l = Length(d);
        if (along <= l && l > 0.0)
            return {path[i - 1] + d * (along / l), d / l};
        along -= l;
    }
    const Vec2 d = path.back() - path[path.size() - 2];
    return {path.back(), Normalize(d)};
}

double PathLength(const std::vector<Vec2>& path)
{
    double l = 0.0;
    for (size_t i = 1; i < path.size(); ++i)
        l += Length(path[i] - path[i - 1]);
    return l;
}

// What the hand does: a dashed coral arrow along the path, its head at the end.
void MotionArrow(Canvas& c, const std::vector<Vec2>& path)
{
    const Rgba coral = Palette::Coral;
    const double total = PathLength(path), dash = 12.0, gap = 8.0;
    Sdf dashes = [](Vec2) { return 1e9; };
    for (double s = 0.0; s < total - 14.0; s += dash + gap)
    {
        std::vector<Vec2> piece;
        for (double t = s; t <= std::min(s + dash, total - 14.0); t += 2.0)
            piece.push_back(PointAlong(path, t).first);
        if (piece.size() >= 2)
            dashes = Union(dashes, StrokeSdf(piece, 2.6));
    }
    const auto [tip, dir] = PointAlong(path, total);
    const Vec2 side{-dir.y, dir.x};
    const Sdf head =
        PolygonSdf({tip + dir * 4.0, tip - dir * 14.0 + side * 9.0, tip - dir * 14.0 - side * 9.0});
    const Sdf arrow = Union(dashes, head);
    Outline(c, arrow, 2.0, WithAlpha(Palette::White, 0.9), 2.0);
    FillShape(c, arrow, Solid(coral));
}

// The same path moved sideways by `by` pixels (to its left for a positive value).
std::vector<Vec2> Beside(const std::vector<Vec2>& path, double by)
{
    std::vector<Vec2> out;
    for (size_t i = 0; i < path.size(); ++i)
    {
        const Vec2 d = Normalize(path[std::min(i + 1, path.size() - 1)] - path[i > 0 ? i - 1 : 0]);
        out.push_back(path[i] + Vec2{d.y, -d.x} * by);
    }
    return out;
}

// The part of a path from `from` to `to` pixels along it, backwards when `to` comes first.
std::vector<Vec2> Part(const std::vector<Vec2>& path, double from, double to)
{
    std::vector<Vec2> out;
    const double step = to > from ? 3.0 : -3.0;
    for (double t = from; (to - t) * step > 0.0; t += step)
        out.push_back(PointAlong(path, t).first);
    out.push_back(PointAlong(path, to).first);
    return out;
}

void Line(Canvas& c, const std::vector<Vec2>& path, Rgba color)
{
    Yarn(c, path, 4.2, Lighten(color, 0.1), 1.5);
    // The pen: a small ball of the same yarn at the tip.
    const Sdf ball = CircleSdf(path.back(), 7.0);
    FillShape(c, ball, DomeShade(ball, Solid(color), DomeLight{1.0, 4, 0.6, 0.25, 0.5, 16}));
    Outline(c, ball, 1.5, Palette::Ink, 0.75);
}

void Tic(Canvas& c, Rgba color, Vec2 at, double r, const CreaturePose& pose = {})
{
    DrawCreature(c, TicBody::Basic, color, TicGlyph::None, at, r, pose);
}

// Press on a spool and drag: the pointer went down on the spool and now draws the yarn out.
Canvas FirstLesson()
{
    Canvas c = PlayMat();
    Press(c, {128, 290});
    const Vec2 from = Spool(c, TicColors::Red, {128, 336}, 2.2);
    Pointer(c, from + Vec2{0, 6}, 1.6, 0.5);
    const auto path = Shape::FlattenQuadratic(from, {190, 90}, {420, 150}, 40);
    Tic(c, TicColors::Red, {350, 290}, 26, CreaturePose{.look = {0.3, -0.8}});
    Tic(c, TicColors::Blue, {470, 280}, 24, CreaturePose{.look = {-0.8, -0.5}});
    Line(c, path, TicColors::Red);
    MotionArrow(c, Beside(Part(path, 40.0, PathLength(path) - 10.0), 30.0));
    Pointer(c, path.back(), 1.6);
    return c;
}

// Touch a Tic with the yarn: it is speared and rides the line.
Canvas SecondLesson()
{
    Canvas c = PlayMat();
    const Vec2 from = Spool(c, TicColors::Blue, {118, 336}, 2.2);
    const auto path = Shape::FlattenQuadratic(from, {210, 130}, {450, 140}, 40);
    Tic(c, TicColors::Red, {250, 300}, 24, CreaturePose{.look = {0.4, -0.6}});
    Tic(c, TicColors::Blue, {468, 262}, 24, CreaturePose{.look = {-0.6, -0.7}});
    Line(c, path, TicColors::Blue);
    const Vec2 speared = PointAlong(path, PathLength(path) * 0.55).first;
    Tic(c, TicColors::Blue, speared + Vec2{0, -4}, 28, CreaturePose{.lean = -0.025, .wide = true});
    // A pop round it: caught.
    for (int i = 0; i < 8; ++i)
    {
        const Vec2 d{Det::CosTurns(i / 8.0 + 0.06), Det::SinTurns(i / 8.0 + 0.06)};
        FillShape(c, CapsuleSdf(speared + d * 38.0, speared + d * 50.0, 2.4), Solid(Palette::Coral));
    }
    MotionArrow(c, Beside(Part(path, PathLength(path) * 0.2, PathLength(path) - 10.0), 34.0));
    Pointer(c, path.back(), 1.6);
    return c;
}

// Cross the line to close a loop round the gunk: the gunk inside is scrubbed and the speared Tic
// is reeled into its spool.
Canvas ThirdLesson()
{
    Canvas c = PlayMat();
    const Vec2 gunk{380, 200};
    // A patch of black gunk, the first week's, in 32-pixel cells.
    const char* rows[] = {".##.", "####", "###.", ".##."};
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            if (rows[y][x] == '#')
                c.Composite(GunkCell(kBlackGunk, 2 + (x + y) % 2, 7 + uint64_t(x * 4 + y), 1.6),
                            static_cast<int>(gunk.x - 64 + x * 32), static_cast<int>(gunk.y - 64 + y * 32));
    const Vec2 from = Spool(c, TicColors::Green, {104, 350}, 2.2);
    // Up past the Tic, once round the gunk and back across the line: the loop closes there.
    const std::vector<Vec2> path = Through(
        {from, {176, 214}, {262, 118}, {384, 66}, {508, 150}, {470, 290}, {330, 316}, {236, 226}, {188, 128}},
        16);
    Line(c, path, TicColors::Green);
    const Vec2 speared = PointAlong(path, 92.0).first;
    Tic(c, TicColors::Green, speared + Vec2{-2, -4}, 26, CreaturePose{.look = {-0.5, 0.6}, .wide = true});
    for (const Vec2& at :
         {gunk + Vec2{-30, -40}, gunk + Vec2{36, -10}, gunk + Vec2{-6, 34}, gunk + Vec2{44, 44}})
        Sparkle(c, at, 9.0);
    // The catch goes home along its line.
    MotionArrow(c, Beside(Part(path, 110.0, 12.0), -30.0));
    Pointer(c, path.back(), 1.6);
    return c;
}

// A photograph: a paper mount round the picture, a strip of paper under it, a soft shadow.
Canvas Photo(const Canvas& picture)
{
    Canvas c(kPosterW, kPosterH);
    const Sdf mount = RoundedRectSdf(14, 8, kPosterW - 14, kPosterH - 14, 8);
    DropShadow(c, mount, {0, 6}, 7, WithAlpha(Hex("#1C1820"), 0.45));
    FillShape(c, mount, DomeShade(mount, Solid(Palette::Paper), DomeLight{0.6, 6, 0.7, 0.2, 0.2, 16}));
    Outline(c, mount, 1.6, WithAlpha(Palette::Ink, 0.8), 0.8);
    c.Composite(picture, 32, 26);
    Outline(c, RoundedRectSdf(32, 26, 32 + picture.Width(), 26 + picture.Height(), 2), 1.4,
            WithAlpha(Palette::Ink, 0.6));
    // A curl of yarn on the mount's strip, where a caption would go.
    Yarn(c, Shape::FlattenQuadratic({200, 356}, {280, 330}, {360, 358}, 24), 2.4, Palette::Coral, 1.2);
    Yarn(c, Spiral({380, 352}, 3, 12, 0.2, 1.1, 40), 2.4, Palette::Coral, 1.2);
    return c;
}

struct Standing
{
    const char* guest;
    int x, w, h; // in the picture; each stands on its bottom edge
};

struct Loose
{
    TicBody body;
    TicDye dye;
    Vec2 at;
    double r;
    CreaturePose pose;
};

// The guests in one room, their Tics about them (in front), as the photograph's picture.
Canvas Scene(const char* room, const std::vector<Standing>& guests, const std::vector<Loose>& tics,
             bool garland = false)
{
    Canvas picture(kPosterW - 64, 304);
    PaintRoom(picture, room, 44.0);
    if (garland)
    {
        // Bunting of yarn across the room, its flags in the spools' colours.
        const auto string =
            Shape::FlattenQuadratic({-10, 22}, {picture.Width() / 2.0, 96}, {picture.Width() + 10.0, 22}, 48);
        const std::vector<Rgba>& colours = AnySpoolStripes();
        for (int i = 0; i < 11; ++i)
        {
            const auto [at, dir] = PointAlong(string, 30.0 + i * 46.0);
            const Vec2 down{-dir.y, dir.x};
            const Sdf flag = PolygonSdf({at - dir * 13.0, at + dir * 13.0, at + down * 30.0});
            FillShape(picture, flag,
                      DomeShade(flag, Solid(colours[size_t(i) % colours.size()]),
                                DomeLight{0.6, 4, 0.65, 0.2, 0.2, 16}));
            Outline(picture, flag, 1.4, Palette::Ink, 0.7);
        }
        Yarn(picture, string, 2.0, Palette::Paper, 1.2);
    }
    for (const Standing& g : guests)
        picture.Composite(GuestFigure(g.guest, g.w, g.h), g.x, picture.Height() - g.h);
    for (const Loose& t : tics)
        DrawCreature(picture, t.body, t.dye, t.body == TicBody::Gem ? TicGlyph::Snowflake : TicGlyph::None,
                     t.at, t.r, t.pose);
    return Photo(picture);
}

CreaturePose Looking(double x, double y)
{
    return CreaturePose{.look = {x, y}};
}

// The first week: the first guests in Harley's workshop, the first Tics hopping about.
Canvas FirstFilm()
{
    return Scene(
        "Harley", {{"Jillian", 20, 170, 206}, {"Harley", 166, 170, 214}, {"Miranda", 312, 170, 206}},
        {{TicBody::Basic, TicColors::Red, {70, 62}, 28, Looking(0.6, 0.4)},
         {TicBody::Basic, TicColors::Blue, {250, 62}, 25, CreaturePose{.look = {0, 0.8}, .squash = 1.08}},
         {TicBody::Basic, TicColors::Green, {420, 70}, 28, Looking(-0.6, 0.3)},
         {TicBody::Basic, TicColors::Yellow, {160, 84}, 25, CreaturePose{.look = {-0.8, 0}, .wide = true}}});
}

// The second week: night at Zoe's observatory, with Jason and Heather and the striped Tics.
Canvas SecondFilm()
{
    return Scene("Zoe", {{"Jason", 24, 166, 200}, {"Zoe", 166, 170, 216}, {"Heather", 312, 166, 204}},
                 {{TicBody::Basic, TicColors::Purple, {62, 58}, 28, Looking(0.5, 0.5)},
                  {TicBody::Shy, TicDye::AnySpool(), {246, 56}, 25, Looking(0, 0.6)},
                  {TicBody::Loner, TicDye::AnySpool(), {440, 62}, 25, Looking(-0.7, 0.3)},
                  {TicBody::Gem, Hex("#8FD3F4"), {160, 80}, 20, CreaturePose{.glow = 0.8}}});
}

// The third week: Jillian back in her greenhouse with a new look, Miranda and Harley visiting, a
// Mega Tic sulking by the plants.
Canvas ThirdFilm()
{
    return Scene("Jillian",
                 {{"Miranda", 20, 166, 200}, {"Jillian2", 166, 170, 216}, {"Harley", 312, 166, 204}},
                 {{TicBody::SmallCircle, Hex("#2B2B33"), {70, 70}, 32, Looking(0.6, 0.4)},
                  {TicBody::Indecisive, TicColors::Green, {250, 52}, 25, Looking(0, 0.7)},
                  {TicBody::Protected, TicDye::AnySpool(), {430, 64}, 28, Looking(-0.6, 0.4)},
                  {TicBody::Pairing, TicDye::AnySpool(), {160, 84}, 22, Looking(-0.8, 0)}});
}

// The last week: everyone together in Heather's studio, their Tics asleep at last.
Canvas FourthFilm()
{
    CreaturePose asleep{.squash = 0.94, .blink = 1.0};
    std::vector<Loose> front;
    const std::vector<std::pair<TicDye, TicBody>> sleepers = {
        {TicColors::Red, TicBody::Basic},   {TicDye::AnySpool(), TicBody::Agreeable},
        {TicColors::Blue, TicBody::Basic},  {TicColors::Yellow, TicBody::Basic},
        {TicDye::AnySpool(), TicBody::Shy}, {TicColors::Green, TicBody::Basic},
        {TicColors::Purple, TicBody::Basic}};
    for (size_t i = 0; i < sleepers.size(); ++i)
        front.push_back(
            {sleepers[i].second, sleepers[i].first, {44.0 + 68.0 * i, 282.0 - 6.0 * (i % 2)}, 19, asleep});
    return Scene("Heather",
                 {{"Zoe", 0, 134, 236},
                  {"Jillian2", 178, 134, 248},
                  {"Jason", 356, 134, 236},
                  {"Miranda", 86, 138, 196},
                  {"Heather", 262, 138, 204},
                  {"Harley", 400, 132, 192}},
                 front, true);
}
} // namespace

FamilyArt PaintLessonPosters()
{
    FamilyArt art;
    art.resources.push_back(Single("basics_part01_poster", FirstLesson(), Format::Png));
    art.resources.push_back(Single("basics_part02_poster", SecondLesson(), Format::Png));
    art.resources.push_back(Single("basics_part03_poster", ThirdLesson(), Format::Png));
    art.sheetScale = 0.5;
    art.compactSheet = true;
    return art;
}

FamilyArt PaintStoryPosters()
{
    FamilyArt art;
    Canvas (*films[])() = {FirstFilm, SecondFilm, ThirdFilm, FourthFilm};
    for (int i = 0; i < 4; ++i)
        art.resources.push_back(Single("AllAnimations_interstitial" + std::to_string(i + 1) + "_poster",
                                       films[i](), Format::Png));
    art.sheetScale = 0.5;
    art.compactSheet = true;
    return art;
}
} // namespace DataGen
