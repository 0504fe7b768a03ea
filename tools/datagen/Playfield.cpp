// Everything on the playfield but the creatures: effects, the yarn spools with their wind and
// capture swirls, the flame ring, the yarn itself, gunk, obstacles, the rooms, the HUD and meters.
#include "Playfield.h"

#include "Creatures.h"
#include "Rooms.h"
#include "Scenery.h"
#include "Tics.h"

#include <cstdio>
#include <functional>

namespace DataGen
{
namespace
{
using FramePainter = std::function<void(Canvas&, int frame, int count)>;

std::string TwoDigits(int n)
{
    return (n < 10 ? "0" : "") + std::to_string(n);
}

// An image list of `count` square frames of `size`, named "<name>_Frames", files "<name>_NN".
Resource FrameList(const std::string& name, int count, int size, const FramePainter& paint, int height = 0)
{
    Resource list;
    list.kind = Resource::Kind::ImageList;
    list.name = name + "_Frames";
    for (int f = 0; f < count; ++f)
    {
        ImageFile file;
        file.stem = name + "_" + TwoDigits(f);
        file.canvas = Canvas(size, height > 0 ? height : size);
        paint(file.canvas, f, count);
        list.frames.push_back(std::move(file));
    }
    return list;
}

struct Anim
{
    const char* name;
    std::string frames;
    int fps;
    int plays; // 0: endless
};

std::string SpriteType(const std::string& name, const std::string& images, const std::vector<Anim>& anims)
{
    std::string s = "<spritetype name=\"" + name + "\" images=\"" + images + "\">\n";
    for (const Anim& a : anims)
        s += "  <animation name=\"" + std::string(a.name) + "\" frameList=\"" + a.frames + "\" fps=\"" +
             std::to_string(a.fps) + "\" numPlays=\"" + std::to_string(a.plays) + "\"/>\n";
    return s + "</spritetype>\n";
}

// An effect whose "play" runs once through all its frames: effects remove themselves when done.
void AddEffect(FamilyArt& art, const std::string& name, int count, int size, const FramePainter& paint)
{
    art.resources.push_back(FrameList(name, count, size, paint));
    art.previews.push_back(Strip(name, art.resources.back().frames, size > 64 ? 0.5 : 1.0, 0));
    art.records += SpriteType(name, name + "_Frames", {{"play", "0-" + std::to_string(count - 1), 12, 1}});
}

Vec2 Centre(const Canvas& c)
{
    return {c.Width() / 2.0, c.Height() / 2.0};
}

Vec2 Dir(double turns)
{
    return {Det::CosTurns(turns), Det::SinTurns(turns)};
}

// A splash of gunk flying apart: a shrinking core and blobs flung outwards, fading at the end.
void Splash(Canvas& c, int f, int n, Rgba color, double reach, uint64_t seed)
{
    const Vec2 o = Centre(c);
    const double t = n > 1 ? f / double(n - 1) : 0.0;
    Pcg32 rng(seed);
    Canvas layer(c.Width(), c.Height());
    Sdf s = CircleSdf(o, reach * (0.35 - 0.25 * t));
    for (int i = 0; i < 9; ++i)
    {
        const double a = i / 9.0 + 0.05 * rng.Signed();
        const double dist = reach * (0.25 + 0.6 * t) * (0.75 + 0.3 * rng.Uniform());
        s = SmoothUnion(s,
                        CircleSdf(o + Dir(a) * dist, reach * (0.16 - 0.07 * t) * (0.8 + 0.4 * rng.Uniform())),
                        reach * 0.08 * (1.0 - t));
    }
    s = Bounded(s, o - Vec2{reach, reach}, o + Vec2{reach, reach}, 6.0);
    FillShape(layer, s, DomeShade(s, Solid(color), DomeLight{1.0, reach * 0.12, 0.6, 0.25, 0.45, 14}));
    Outline(layer, s, 1.4, WithAlpha(Palette::Ink, 0.8), 0.7);
    c.Composite(layer, 0, 0, 1.0 - Det::Smoothstep(0.55, 1.0, t) * 0.85);
}

void Ring(Canvas& c, Vec2 o, double radius, double halfWidth, Rgba color)
{
    FillShape(c,
              Bounded([o, radius, halfWidth](Vec2 p)
                      { return std::fabs(Length(p - o) - radius) - halfWidth; },
                      o - Vec2{radius + halfWidth, radius + halfWidth},
                      o + Vec2{radius + halfWidth, radius + halfWidth}, 8.0),
              Solid(color));
}

// A small glint: a four-point star in `color`, its size by frame.
void Glint(Canvas& c, int f, Rgba color)
{
    const double sizes[] = {0.35, 0.8, 1.0, 0.55};
    const Vec2 o = Centre(c);
    const double r = c.Width() * 0.48 * sizes[f % 4];
    std::vector<Vec2> star;
    for (int i = 0; i < 8; ++i)
        star.push_back(o + Dir(i / 8.0 - 0.25) * (i % 2 == 0 ? r : r * 0.3));
    const Sdf s = PolygonSdf(star);
    Glow(c, s, r * 0.6, WithAlpha(Lighten(color, 0.5), 0.6));
    FillShape(c, s, RadialGradient(o, r, Palette::White, Lighten(color, 0.3)));
}

const std::vector<std::pair<const char*, Rgba>>& GunkColors()
{
    static const std::vector<std::pair<const char*, Rgba>> colors = {
        {"Red", TicColors::Red},       {"Green", TicColors::Green},   {"Blue", TicColors::Blue},
        {"Yellow", TicColors::Yellow}, {"Purple", TicColors::Purple}, {"Black", Hex("#2B2B33")}};
    return colors;
}

// A spool of yarn in a wicker basket, as the trap of one colour; open shows the glowing yarn. The
// playfield's spool is 56 x 44; a wider canvas paints it larger (k times) for other pictures.
void PaintTrap(Canvas& c, Rgba color, int frame)
{
    const double w = c.Width(), k = w / 56.0;
    const Sdf basket = RoundedRectSdf(5 * k, 20 * k, w - 5 * k, 42 * k, 7 * k);
    DropShadow(c, basket, Vec2{1, 2} * k, 2 * k, WithAlpha(Palette::Ink, 0.35));
    if (frame > 0)
    {
        const double pulse = frame == 1 ? 0.55 : 0.9;
        Glow(c, EllipseSdf({w / 2, 20 * k}, Vec2{17, 9} * k), 9 * k, WithAlpha(Lighten(color, 0.5), pulse));
    }
    // The spool: yarn wound round, a band of its colour.
    const Sdf spool = RoundedRectSdf(w / 2 - 15 * k, 6 * k, w / 2 + 15 * k, 30 * k, 8 * k);
    FillShape(c, spool, DomeShade(spool, Solid(color), DomeLight{1.0, 6 * k, 0.6, 0.25, 0.45, 14}));
    for (int i = 0; i < 5; ++i)
        FillShape(c,
                  Intersect(spool, StrokeSdf({{w / 2 + (-16.0 + i * 7) * k, 6 * k},
                                              {w / 2 + (-10.0 + i * 7) * k, 30 * k}},
                                             0.6 * k)),
                  Solid(WithAlpha(TicColors::DarkOf(color), 0.6)));
    Outline(c, spool, 1.4 * k, Palette::Ink, 0.7 * k);
    // The basket with its weave, and a band of the trap's colour.
    FillShape(c, basket, DomeShade(basket, Solid(Hex("#C89B62")), DomeLight{1.0, 5 * k, 0.6, 0.25, 0.3, 14}));
    for (int i = 0; i < 8; ++i)
        FillShape(
            c, Intersect(basket, StrokeSdf({Vec2{8.0 + i * 6, 20} * k, Vec2{12.0 + i * 6, 42} * k}, 0.7 * k)),
            Solid(WithAlpha(Hex("#8A6238"), 0.7)));
    FillShape(c, Intersect(basket, [k](Vec2 p) { return std::fabs(p.y - 31 * k) - 3.0 * k; }), Solid(color));
    Outline(c, basket, 1.6 * k, Palette::Ink, 0.8 * k);
    if (frame > 0)
    {
        // Open: the yarn glows, brighter on the second frame.
        const Sdf top = EllipseSdf({w / 2, 12 * k}, Vec2{14, 6} * k);
        FillShape(c, top,
                  RadialGradient({w / 2, 12 * k}, 14 * k, WithAlpha(Palette::White, frame == 1 ? 0.45 : 0.8),
                                 WithAlpha(Lighten(color, 0.6), 0.0)));
        Sparkle(c, {w / 2 + (frame == 1 ? -9.0 : 8.0) * k, 8 * k}, (frame == 1 ? 3.5 : 5.0) * k);
    }
    if (frame == 0)
    {
        // Closed: the lid sits on the basket over the spool.
        const Sdf lid = RoundedRectSdf(3 * k, 12 * k, w - 3 * k, 22 * k, 5 * k);
        FillShape(c, lid, DomeShade(lid, Solid(Hex("#B8875A")), DomeLight{1.0, 4 * k, 0.6, 0.25, 0.3, 14}));
        FillShape(c, Intersect(lid, [k](Vec2 p) { return std::fabs(p.y - 17 * k) - 1.2 * k; }), Solid(color));
        Outline(c, lid, 1.4 * k, Palette::Ink, 0.7 * k);
    }
}

// Yarn unwinding from (or winding back onto) the spool: a loose spiral of light yarn.
void PaintWind(Canvas& c, int f)
{
    if (f == 0)
        return;
    const int step = f <= 3 ? f : 7 - f; // 4-6 rewind: the spiral shrinks again
    const Vec2 o = Centre(c);
    const auto path = Spiral(o, 4.0, 8.0 + 9.0 * step, f * 0.13, 1.2 + 0.35 * step, 60);
    Yarn(c, path, 1.6, Hex("#E9E4EC"), 0.9);
}

void PaintFlame(Canvas& c, int f)
{
    if (f == 0)
        return;
    const Vec2 o = Centre(c);
    Canvas layer(c.Width(), c.Height());
    for (int i = 0; i < 12; ++i)
    {
        const double a = i / 12.0 + f * 0.021;
        const double h = 11.0 + 5.0 * Hash01(i, f, 41);
        const Vec2 base = o + Dir(a) * 30.0;
        const Vec2 tip = o + Dir(a + 0.012 * ((f + i) % 3 - 1)) * (30.0 + h);
        const Sdf tongue = SmoothUnion(CircleSdf(base, 5.5), CapsuleSdf(base, tip, 1.2), 4.0);
        FillShape(layer, tongue, RadialGradient(base, h + 6, Hex("#FFE27A"), Hex("#F0642A")));
    }
    Ring(layer, o, 30.0, 3.0, WithAlpha(Hex("#FFB347"), 0.8));
    c.Composite(layer, 0, 0, 0.9);
}

// The health pips of a king's crown: a yarn band with `pips` lit beads of five.
Canvas HealthBar(int pips)
{
    Canvas c(64, 12);
    const Sdf band = RoundedRectSdf(1, 2, 63, 10, 4);
    FillShape(c, band, DomeShade(band, Solid(Hex("#E9E4EC")), DomeLight{1.0, 3, 0.6, 0.25, 0.3, 14}));
    Outline(c, band, 1.2, Palette::Ink, 0.6);
    for (int i = 0; i < 5; ++i)
    {
        const Sdf bead = CircleSdf({9.5 + i * 11.25, 6}, 3.6);
        const Rgba col = i < pips ? Hex("#F0766B") : Hex("#8E8985");
        FillShape(c, bead, DomeShade(bead, Solid(col), DomeLight{1.0, 2, 0.6, 0.25, 0.5, 14}));
        Outline(c, bead, 0.9, Palette::Ink, 0.45);
    }
    return c;
}

// One cell of gunk at depth 1..5: a soft blob that grows to cover the cell, darker and bubbling.
// The playfield's cell is 20 pixels; `scale` paints it larger for other pictures.
Canvas GunkTile(Rgba color, int depth, uint64_t seed, double scale = 1.0)
{
    const int size = static_cast<int>(20 * scale + 0.5);
    Canvas c(size, size);
    const Vec2 o{10, 10};
    const ValueNoise noise(seed);
    const double grow = (depth - 1) / 4.0;
    const Sdf blob = [o, grow, &noise, scale](Vec2 at)
    {
        const Vec2 p = at / scale;
        const double wobble = (noise.At(p.x * 0.35, p.y * 0.35) - 0.5) * 2.2;
        const Vec2 q = Abs(p - o) - Vec2{grow * 9.5, grow * 9.5};
        const double box = Length(Max(q, 0.0)) + std::min(std::max(q.x, q.y), 0.0);
        return (box - (9.0 - grow * 2.0) + wobble) * scale;
    };
    const Rgba deep = Mix(color, Palette::Ink, 0.12 + 0.08 * depth);
    FillShape(
        c, blob,
        [&](Vec2, double d)
        {
            const double k = Det::Clamp01(-d / (6.0 * scale));
            return Mix(Mix(color, Palette::White, 0.12), deep, 0.3 + 0.5 * k);
        },
        1.6 * scale);
    if (depth >= 4)
        for (int i = 0; i < depth - 2; ++i)
        {
            const Vec2 at{4.0 + 12.0 * Hash01(i, depth, uint32_t(seed)),
                          4.0 + 12.0 * Hash01(depth, i, uint32_t(seed) + 1)};
            const Sdf bubble = CircleSdf(at * scale, (1.4 + 0.5 * (i % 2)) * scale);
            FillShape(c, bubble, Solid(WithAlpha(Lighten(color, 0.5), 0.7)));
            Outline(c, bubble, 0.6 * scale, WithAlpha(Palette::Ink, 0.5));
        }
    return c;
}

// The shadow of an obstacle: its silhouette, dark, at 45 % alpha.
Canvas ShadowOf(const Canvas& c)
{
    Canvas s(c.Width(), c.Height());
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x)
        {
            const float a = c.At(x, y).a * 0.45f;
            const Rgba ink = Hex("#1C1820");
            s.Put(x, y, {ink.r * a, ink.g * a, ink.b * a, a});
        }
    return s;
}

void Solidify(Canvas& c, const Sdf& s, Rgba color, double depth = 6.0)
{
    DropShadow(c, s, {1, 2}, 2, WithAlpha(Palette::Ink, 0.25));
    FillShape(c, s, DomeShade(s, Solid(color), DomeLight{1.0, depth, 0.6, 0.25, 0.4, 16}));
    Outline(c, s, 1.6, Palette::Ink, 0.8);
}

struct Obstacle
{
    std::string name;
    int w, h;
    std::function<void(Canvas&)> paint;
    double xscale = 0.0, yscale = 0.0; // generic obstacles only
};

void Pebbles(Canvas& c, uint32_t seed)
{
    // Three clusters along the diagonal, where the code's blocks sit.
    for (int k = 0; k < 3; ++k)
        for (int i = 0; i < 3; ++i)
        {
            const Vec2 at{11.0 + k * 18 + 6 * Hash01(k, i, seed), 11.0 + k * 18 + 6 * Hash01(i, k, seed + 3)};
            const Sdf s =
                EllipseSdf(at, {5.0 + 2 * Hash01(k, i, seed + 5), 4.0 + 2 * Hash01(i, k, seed + 7)});
            Solidify(c, s, Mix(Hex("#B9A89A"), Hex("#8C7B70"), Hash01(k, i, seed + 9)), 3.0);
        }
}

std::vector<Obstacle> Obstacles()
{
    std::vector<Obstacle> list;
    for (int n = 1; n <= 4; ++n)
        list.push_back(
            {"obstacle_heather_" + std::to_string(n), 62, 62, [n](Canvas& c) { Pebbles(c, 100 + n * 13); }});
    list.push_back({"obstacle_miranda_1", 104, 106,
                    [](Canvas& c)
                    {
                        // A reading lamp: a 50x40 shade over an 82x65 base.
                        Solidify(c, RoundedRectSdf(11, 38, 93, 103, 10), Hex("#2BA6A0"));
                        Solidify(c, CapsuleSdf({52, 30}, {52, 60}, 3), Hex("#C8A165"), 2);
                        Solidify(c, PolygonSdf({{36, 4}, {68, 4}, {77, 40}, {27, 40}}), Hex("#F6D98A"));
                    }});
    list.push_back({"obstacle_jason_3", 72, 60,
                    [](Canvas& c)
                    {
                        const Sdf crate = RoundedRectSdf(3, 3, 69, 57, 4);
                        Solidify(c, crate, Hex("#C8935A"));
                        for (double y : {20.0, 40.0})
                            FillShape(c, Intersect(crate, [y](Vec2 p) { return std::fabs(p.y - y) - 1.0; }),
                                      Solid(WithAlpha(Palette::Ink, 0.5)));
                        FillShape(c, Intersect(crate, StrokeSdf({{6, 6}, {66, 54}}, 1.6)),
                                  Solid(WithAlpha(Palette::Ink, 0.4)));
                    }});
    // The generic obstacles, one look per room, drawn at their scale in play.
    struct Generic
    {
        const char* guest;
        int n;
        Rgba color;
        double xs, ys;
    };
    const Generic generic[] = {
        {"Jillian", 1, Hex("#5E9E4F"), 0.8, 0.8}, {"Jillian", 2, Hex("#C4643A"), 0.7, 0.75},
        {"Harley", 1, Hex("#B5542E"), 0.75, 0.7}, {"Harley", 2, Hex("#7A8A99"), 0.9, 0.85},
        {"Miranda", 2, Hex("#6A4C9C"), 0.7, 0.8}, {"Zoe", 1, Hex("#3D4C7A"), 0.85, 0.85},
        {"Zoe", 2, Hex("#8FD3F4"), 0.6, 0.6},     {"Jason", 1, Hex("#D3574A"), 0.8, 0.7},
        {"Heather", 5, Hex("#C4643A"), 0.75, 0.9}};
    for (const Generic& g : generic)
    {
        const Rgba color = g.color;
        const int kind = g.n + g.guest[0];
        list.push_back({std::string("obst_") + g.guest + "_" + std::to_string(g.n), 64, 64,
                        [color, kind](Canvas& c)
                        {
                            switch (kind % 3)
                            {
                            case 0: // a pot with a round plant
                                Solidify(c, CircleSdf({32, 24}, 18), Mix(color, Hex("#5E9E4F"), 0.6));
                                Solidify(c, PolygonSdf({{16, 38}, {48, 38}, {43, 61}, {21, 61}}), color);
                                break;
                            case 1: // a stack of two boxes
                                Solidify(c, RoundedRectSdf(6, 30, 58, 61, 5), color);
                                Solidify(c, RoundedRectSdf(14, 6, 50, 32, 5), Lighten(color, 0.25));
                                break;
                            default: // a round stool
                                Solidify(c, EllipseSdf({32, 44}, {26, 16}), Darken(color, 0.8));
                                Solidify(c, EllipseSdf({32, 30}, {28, 16}), color);
                                break;
                            }
                        },
                        g.xs, g.ys});
    }
    return list;
}

std::string FloatValue(const std::string& name, double v)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", v);
    return "<float name=\"" + name + "\" value=\"" + text + "\"/>\n";
}

// The yarn strip of the lines: a light grey yarn the code tints, seamless left to right.
Canvas LineStrip(int kind)
{
    Canvas c(20, 12);
    if (kind == 5)
    {
        PaintPixels(
            c, [](Vec2 p)
            { return WithAlpha(Hex("#1C1820"), 0.4 * Det::Smoothstep(0.0, 3.0, std::min(p.y, 12 - p.y))); });
        return c;
    }
    if (kind == 6)
    {
        PaintPixels(c,
                    [](Vec2 p)
                    {
                        const bool dash = std::fmod(p.x, 10.0) < 6.0;
                        const double edge = Det::Smoothstep(2.0, 4.0, std::min(p.y, 12 - p.y));
                        return WithAlpha(Hex("#F4F1F6"), dash ? 0.85 * edge : 0.0);
                    });
        return c;
    }
    // 0-4: twisted plies; each kind shifts the twist, so lines shimmer as they grow.
    PaintPixels(c,
                [kind](Vec2 p)
                {
                    const double across = (p.y - 6.0) / 4.5;
                    if (std::fabs(across) > 1.0)
                        return Rgba{};
                    const double dome = std::sqrt(1.0 - across * across);
                    const double twist = 0.5 + 0.5 * Det::SinTurns((p.x + p.y * 1.3) / 10.0 + kind * 0.2);
                    const double v = 0.62 + 0.3 * dome - 0.14 * twist + 0.08 * (across < -0.3 ? 1 : 0);
                    const double edge = Det::Clamp01((1.0 - std::fabs(across)) * 4.5);
                    return Rgba{float(v), float(v), float(v * 1.02 > 1 ? 1 : v * 1.02), float(edge)};
                });
    return c;
}
} // namespace

Canvas SpoolPicture(Rgba color, int frame, double scale)
{
    Canvas c(static_cast<int>(56 * scale + 0.5), static_cast<int>(44 * scale + 0.5));
    PaintTrap(c, color, frame);
    return c;
}

Canvas GunkCell(Rgba color, int depth, uint64_t seed, double scale)
{
    return GunkTile(color, depth, seed, scale);
}

FamilyArt PaintEffects()
{
    FamilyArt art;
    art.sheetPreviewsOnly = true;
    AddEffect(art, "Explosion", 6, 96,
              [](Canvas& c, int f, int n) { Splash(c, f, n, Hex("#8A7F8E"), 44, 11); });
    AddEffect(art, "ExplosionBlack", 8, 160,
              [](Canvas& c, int f, int n) { Splash(c, f, n, Hex("#2B2B33"), 74, 12); });
    AddEffect(art, "SpearedFX", 5, 72,
              [](Canvas& c, int f, int n)
              {
                  Canvas layer(c.Width(), c.Height());
                  const Vec2 o = Centre(c);
                  const double r = 12.0 + 5.0 * f;
                  std::vector<Vec2> ring;
                  for (int i = 0; i <= 48; ++i)
                      ring.push_back(o + Dir(i / 48.0) * (r + 1.5 * Det::SinTurns(i / 8.0)));
                  Yarn(layer, ring, 2.0, Hex("#E9E4EC"), 1.0);
                  c.Composite(layer, 0, 0, 1.0 - 0.8 * f / double(n - 1));
              });
    AddEffect(art, "ShrinkingFX", 6, 72,
              [](Canvas& c, int f, int n)
              {
                  const double t = f / double(n - 1);
                  for (int i = 0; i < 6; ++i)
                      Sparkle(c, Centre(c) + Dir(i / 6.0 + t * 0.15) * (30.0 * (1.0 - t) + 3.0),
                              6.0 - 3.0 * t);
              });
    AddEffect(art, "BombHitFX", 6, 128,
              [](Canvas& c, int f, int n)
              {
                  const double t = f / double(n - 1);
                  const Vec2 o = Centre(c);
                  Canvas layer(c.Width(), c.Height());
                  FillShape(layer, CircleSdf(o, 14 + 40 * t),
                            RadialGradient(o, 14 + 40 * t, Hex("#FFF3B0"), WithAlpha(Hex("#F0642A"), 0.2)));
                  for (int i = 0; i < 10; ++i)
                  {
                      const Vec2 d = Dir(i / 10.0 + 0.05);
                      FillShape(layer, CapsuleSdf(o + d * (20 + 30 * t), o + d * (30 + 32 * t), 2.0),
                                Solid(Hex("#FFB347")));
                  }
                  c.Composite(layer, 0, 0, 1.0 - 0.7 * t);
              });
    AddEffect(art, "MegaTicDamageFX", 5, 128,
              [](Canvas& c, int f, int n)
              {
                  const double t = f / double(n - 1);
                  Ring(c, Centre(c), 24 + 30 * t, 6 - 4 * t, WithAlpha(Hex("#FFFFFF"), 0.9 - 0.6 * t));
                  Ring(c, Centre(c), 18 + 36 * t, 2, WithAlpha(Hex("#F0766B"), 0.9 - 0.7 * t));
              });
    AddEffect(art, "MegaTicDeath", 8, 192,
              [](Canvas& c, int f, int n)
              {
                  Splash(c, f, n, Hex("#2B2B33"), 84, 13);
                  const double t = f / double(n - 1);
                  for (int i = 0; i < 5; ++i)
                      Sparkle(c, Centre(c) + Dir(i / 5.0 + 0.1) * (30 + 50 * t), 9 - 5 * t);
              });
    AddEffect(art, "LineSparkle", 4, 16, [](Canvas& c, int f, int) { Glint(c, f, Hex("#8FD0FF")); });
    AddEffect(art, "DeepCleanSparkle", 5, 24,
              [](Canvas& c, int f, int)
              {
                  for (int i = 0; i < 3; ++i)
                  {
                      const Vec2 at{6.0 + 6 * i, 20.0 - 3.0 * f - 2.0 * i};
                      const Sdf b = CircleSdf(at, 2.0 + 0.6 * i);
                      FillShape(c, b, Solid(WithAlpha(Hex("#DFF6F0"), 0.5)));
                      Outline(c, b, 0.8, WithAlpha(Hex("#5CC8A8"), 0.9));
                  }
              });
    for (const auto& [name, color] : GunkColors())
    {
        const Rgba tint = color;
        AddEffect(art, std::string("SludgeSparkle-") + name, 4, 16,
                  [tint](Canvas& c, int f, int) { Glint(c, f, tint); });
    }
    AddEffect(art, "SludgeSparkle-Any", 4, 16, [](Canvas& c, int f, int) { Glint(c, f, Hex("#C69BE8")); });
    return art;
}

FamilyArt PaintTraps()
{
    FamilyArt art;
    art.sheetPreviewsOnly = true;
    for (const auto& [name, color] : GunkColors())
    {
        if (std::string(name) == "Black")
            continue; // traps are only ever of the five line colours
        const Rgba tint = color;
        art.resources.push_back(FrameList(
            std::string("Trap_") + name, 3, 56, [tint](Canvas& c, int f, int) { PaintTrap(c, tint, f); },
            44));
        art.records += SpriteType(std::string("Any") + name + "_TrapStateSpriteType",
                                  std::string("Trap_") + name + "_Frames",
                                  {{"open-100", "1-2", 4, 0}, {"closed-100", "0", 1, 0}});
    }
    art.resources.push_back(FrameList("TrapCapture", 6, 64,
                                      [](Canvas& c, int f, int n)
                                      {
                                          const double t = f / double(n - 1);
                                          const auto path = Spiral(Centre(c), 2.0, 28.0 * (1.0 - 0.6 * t),
                                                                   t * 0.6, 1.8, 60);
                                          Wisp(c, path, 3.0, Hex("#BFE6FF"), 0.9 - 0.5 * t);
                                          Sparkle(c, Centre(c), 5.0 + 3.0 * (1.0 - t));
                                      }));
    art.records += SpriteType("TrapCaptureSpriteType", "TrapCapture_Frames", {{"capture", "0-5", 12, 1}});
    art.resources.push_back(FrameList("WindFX", 7, 72, [](Canvas& c, int f, int) { PaintWind(c, f); }));
    art.records += SpriteType("WindFXSpriteType", "WindFX_Frames",
                              {{"off", "0", 1, 0}, {"extract", "1-3", 12, 1}, {"retract", "4-6", 12, 1}});
    art.resources.push_back(FrameList("Flame", 5, 96, [](Canvas& c, int f, int) { PaintFlame(c, f); }));
    art.records += SpriteType("FlameSpriteType", "Flame_Frames", {{"on", "1-4", 10, 0}, {"off", "0", 1, 0}});
    for (const Resource& list : art.resources)
        art.previews.push_back(Strip(list.name.substr(0, list.name.size() - 7), list.frames,
                                     list.frames[0].canvas.Width() > 64 ? 0.5 : 1.0, 0));
    return art;
}

FamilyArt PaintPlayfieldPieces()
{
    FamilyArt art;
    art.compactSheet = true;
    Resource lines;
    lines.kind = Resource::Kind::ImageList;
    lines.name = "LineImages";
    for (int i = 0; i < 7; ++i)
        lines.frames.push_back({"LineImage_" + std::to_string(i), Format::Png, LineStrip(i), ""});
    art.resources.push_back(std::move(lines));
    art.resources.push_back(
        FrameList("LineSparkleImage", 5, 16, [](Canvas& c, int f, int) { Glint(c, f, Hex("#8FD0FF")); }));
    art.resources.back().name = "LineSparkleImages";
    {
        Canvas ball(32, 32);
        const Sdf s = CircleSdf({16, 16}, 14.5);
        FillShape(ball, s, DomeShade(s, Solid(Hex("#E9E4EC")), DomeLight{1.0, 8, 0.6, 0.25, 0.5, 16}));
        for (int i = 0; i < 4; ++i)
            FillShape(
                ball,
                Intersect(s, StrokeSdf(Shape::FlattenQuadratic({3.0 + i * 2, 8.0 + i * 5}, {16, 2.0 + i * 7},
                                                               {29.0 - i, 10.0 + i * 5}),
                                       0.7)),
                Solid(WithAlpha(Hex("#8E8985"), 0.7)));
        Outline(ball, s, 1.4, Palette::Ink, 0.0);
        art.resources.push_back(Single("YarnBallImage", std::move(ball), Format::Png));
    }
    {
        Canvas shadow(56, 20);
        PaintPixels(shadow,
                    [](Vec2 p)
                    {
                        const double d = Length(PerAxis(p - Vec2{28, 10}, Vec2{27, 9.5}));
                        return WithAlpha(Hex("#1C1820"), 0.35 * (1.0 - Det::Smoothstep(0.5, 1.0, d)));
                    });
        art.resources.push_back(Single("CreatureShadow", std::move(shadow), Format::Png));
    }
    {
        Canvas hud(800, 50);
        PaintPixels(hud,
                    [](Vec2 p)
                    {
                        const Rgba top = Hex("#F6EBD9"), bottom = Hex("#E3D3BA");
                        Rgba c = Mix(top, bottom, p.y / 50.0);
                        if (p.y < 3.0)
                            c = Mix(Hex("#3A2E39"), c, p.y / 3.0);
                        const bool stitch = std::fabs(p.y - 7.0) < 0.9 && std::fmod(p.x, 12.0) < 7.0;
                        return stitch ? Mix(c, Hex("#2BA6A0"), 0.85) : c;
                    });
        art.resources.push_back(Single("HudBar", std::move(hud), Format::Png));
    }
    {
        Canvas flash(800, 600);
        PaintPixels(flash,
                    [](Vec2 p)
                    {
                        const double d = Length(PerAxis(p - Vec2{400, 300}, Vec2{430, 330}));
                        return WithAlpha(Hex("#E8241A"), 0.7 * Det::Smoothstep(0.65, 1.0, d));
                    });
        art.resources.push_back(Single("RedFlash", std::move(flash), Format::Png));
    }
    Resource health;
    health.kind = Resource::Kind::ImageList;
    health.name = "MegaNegaTicHealthImages";
    for (int pips = 0; pips <= 5; ++pips)
        health.frames.push_back(
            {"MegaNegaTicHealth_" + std::to_string(pips), Format::Png, HealthBar(pips), ""});
    art.resources.push_back(std::move(health));
    art.sheetScale = 0.25;
    return art;
}

FamilyArt PaintGunk()
{
    FamilyArt art;
    art.resources.push_back(Single("sludgeBGImage-Black", GunkTile(Hex("#2B2B33"), 5, 77), Format::Png));
    uint64_t seed = 80;
    for (const auto& [name, color] : GunkColors())
    {
        Resource list;
        list.kind = Resource::Kind::ImageList;
        list.name = std::string("sludgeBGImageList-") + name;
        list.rotations = 4; // the board turns each cell's tile at random
        for (int depth = 1; depth <= 5; ++depth)
            list.frames.push_back({std::string("sludge_") + name + "_" + std::to_string(depth), Format::Png,
                                   GunkTile(color, depth, ++seed), ""});
        art.resources.push_back(std::move(list));
    }
    return art;
}

FamilyArt PaintObstacles()
{
    FamilyArt art;
    art.compactSheet = true;
    for (const Obstacle& o : Obstacles())
    {
        Canvas c(o.w, o.h);
        o.paint(c);
        art.resources.push_back(Single(o.name + "_shadow", ShadowOf(c), Format::Png));
        art.resources.push_back(Single(o.name, std::move(c), Format::Png));
        if (o.xscale > 0.0)
            art.records +=
                FloatValue(o.name + "_xscale", o.xscale) + FloatValue(o.name + "_yscale", o.yscale);
    }
    return art;
}

FamilyArt PaintRooms()
{
    FamilyArt art;
    art.sheetScale = 0.2;
    art.compactSheet = true;
    for (const char* guest : {"Jillian", "Harley", "Miranda", "Zoe", "Jason", "Heather"})
    {
        Canvas c(800, 600);
        PaintRoom(c, guest, 40.0);
        // The playfield: a lighter panel framed by a stitched border, the HUD below it.
        const Sdf panel = RoundedRectSdf(25, 20, 775, 550, 14);
        FillShape(c, panel, Solid(WithAlpha(Mix(RoomColor(guest), Palette::Paper, 0.82), 0.72)));
        DashedOutline(
            c, panel, [](Vec2 p) { return p.x + p.y; }, 12.0, 0.55, 2.0,
            WithAlpha(Mix(RoomColor(guest), Palette::Ink, 0.3), 0.8), -5.0);
        Outline(c, panel, 1.5, WithAlpha(Palette::Ink, 0.45));
        art.resources.push_back(Single(std::string(guest) + "_BGImage", std::move(c), Format::Jpeg));
    }
    return art;
}

FamilyArt PaintMeter()
{
    FamilyArt art;
    Resource bar;
    bar.kind = Resource::Kind::ImageList;
    bar.name = "endlessMeterBar";
    Canvas fill(300, 18), empty(300, 18);
    const Sdf shape = RoundedRectSdf(1, 1, 299, 17, 8);
    FillShape(fill, shape,
              DomeShade(shape, LinearGradient({0, 0}, {300, 0}, Hex("#3DBB5A"), Hex("#E8402A")),
                        DomeLight{1.0, 5, 0.6, 0.25, 0.4, 16}));
    Outline(fill, shape, 1.4, Palette::Ink, 0.7);
    FillShape(empty, shape, DomeShade(shape, Solid(Hex("#D9CDB9")), DomeLight{1.0, 5, 0.6, 0.25, 0.2, 16}));
    Outline(empty, shape, 1.4, Palette::Ink, 0.7);
    bar.frames.push_back({"endlessMeterBar_fill", Format::Png, std::move(fill), ""});
    bar.frames.push_back({"endlessMeterBar_empty", Format::Png, std::move(empty), ""});
    art.resources.push_back(std::move(bar));
    Canvas flash(300, 18);
    FillShape(flash, shape, Solid(WithAlpha(Palette::White, 0.7)));
    art.resources.push_back(Single("MeterFlash", std::move(flash), Format::Png));
    return art;
}
} // namespace DataGen
