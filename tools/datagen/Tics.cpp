// One recipe for every creature, in any pose: a dome-shaded body whose silhouette tells the kind
// (round Basics with a curly wisp, the teardrop Shy, the tall Loner, the shelled Protected, the
// two-lobed Indecisive, the flat Agreeable, the heart-shaped Pairing, the dark Mega Tics with rings,
// spikes or drips, faceted gems for the Posi-Tics), big eyes that look where it goes, and a face.
#include "Tics.h"

#include "Blobs.h"
#include "Paint.h"
#include "Sdf.h"
#include "Text.h"

#include <algorithm>
#include <cmath>

namespace DataGen
{
namespace
{
struct KindLook
{
    TicBody body;
    TicDye dye;
    Rgba second; // a second Tic (Basic) or the second lobe (Indecisive); alpha 0 for none
    TicGlyph glyph = TicGlyph::None;
};

const Rgba kKing = Hex("#2B2B33");
const Rgba kNone{0, 0, 0, 0};

KindLook LookOf(int index)
{
    const KindLook looks[] = {
        {TicBody::Basic, TicColors::Blue, TicColors::Red},          // neurotic
        {TicBody::Basic, TicColors::Green, kNone},                  // chaotic
        {TicBody::Basic, TicColors::Yellow, kNone},                 // caustic
        {TicBody::Gem, Hex("#E86FA8"), kNone, TicGlyph::Arrows},    // dietetic: Shrink
        {TicBody::Pairing, TicDye::AnySpool(), kNone},              // antic
        {TicBody::Protected, TicDye::AnySpool(), kNone},            // static
        {TicBody::Basic, TicColors::Purple, kNone},                 // spastic
        {TicBody::Gem, Hex("#5CC8A8"), kNone, TicGlyph::Bubbles},   // therapeutic: DeepClean
        {TicBody::SmallCircle, kKing, kNone},                       // nihilistic
        {TicBody::Gem, Hex("#8FD3F4"), kNone, TicGlyph::Snowflake}, // masochistic: Freeze
        {TicBody::Indecisive, TicColors::Green, TicColors::Purple}, // eclectic
        {TicBody::Agreeable, TicDye::AnySpool(), kNone},            // sympathetic
        {TicBody::Loner, TicDye::AnySpool(), kNone},                // antagonistic
        {TicBody::Gem, Hex("#C69BE8"), kNone, TicGlyph::Swirl},     // frantic: UnifyColors
        {TicBody::Trail, kKing, kNone},                             // erratic
        {TicBody::Gem, Hex("#F2A65A"), kNone, TicGlyph::Bomb},      // ballistic: Damage
        {TicBody::LargeCircle, kKing, kNone},                       // apocalyptic
        {TicBody::Shy, TicDye::AnySpool(), kNone},                  // pessimistic
    };
    return looks[std::clamp(index, 0, 17)];
}

// The body's outline, centred on o, about 2 r across.
Sdf BodySdf(TicBody body, Vec2 o, double r)
{
    switch (body)
    {
    case TicBody::Basic:
    {
        const Vec2 top = o - Vec2{0.0, r * 0.86};
        const auto curve =
            Shape::FlattenQuadratic(top, top + Vec2{r * 0.42, -r * 0.4}, top + Vec2{r * 0.1, -r * 0.6});
        Sdf s = SmoothUnion(CircleSdf(o + Vec2{0, r * 0.1}, r * 0.88), StrokeSdf(curve, r * 0.075), r * 0.12);
        return Union(s, CircleSdf(top + Vec2{r * 0.04, -r * 0.64}, r * 0.13));
    }
    case TicBody::Shy:
    {
        // A teardrop, point up, with two droopy ear-flaps.
        const Sdf drop = SmoothUnion(
            CircleSdf(o + Vec2{0, r * 0.25}, r * 0.72),
            PolygonSdf({o + Vec2{0, -r * 0.95}, o + Vec2{-r * 0.55, 0}, o + Vec2{r * 0.55, 0}}), r * 0.25);
        const Sdf ears = Union(RotateSdf(EllipseSdf(o + Vec2{-r * 0.62, -r * 0.05}, {r * 0.18, r * 0.42}),
                                         o + Vec2{-r * 0.62, -r * 0.05}, 0.08),
                               RotateSdf(EllipseSdf(o + Vec2{r * 0.62, -r * 0.05}, {r * 0.18, r * 0.42}),
                                         o + Vec2{r * 0.62, -r * 0.05}, -0.08));
        return SmoothUnion(drop, ears, r * 0.08);
    }
    case TicBody::Loner:
        return CapsuleSdf(o - Vec2{0, r * 0.42}, o + Vec2{0, r * 0.45}, r * 0.52);
    case TicBody::Protected:
    {
        const Sdf dome = SmoothUnion(
            EllipseSdf(o + Vec2{0, r * 0.25}, {r * 0.9, r * 0.62}),
            RoundedRectSdf(o.x - r * 0.9, o.y + r * 0.2, o.x + r * 0.9, o.y + r * 0.8, r * 0.25), r * 0.1);
        const Sdf shell = Intersect(EllipseSdf(o + Vec2{0, -r * 0.05}, {r * 0.98, r * 0.78}),
                                    [o, r](Vec2 p) { return p.y - (o.y + r * 0.05); });
        return Union(dome, shell);
    }
    case TicBody::Indecisive:
        return SmoothUnion(CircleSdf(o + Vec2{-r * 0.42, r * 0.08}, r * 0.55),
                           CircleSdf(o + Vec2{r * 0.42, -r * 0.05}, r * 0.55), r * 0.28);
    case TicBody::Agreeable:
        return RoundedBoxSdf(o + Vec2{0, r * 0.15}, {r * 0.98, r * 0.55}, r * 0.5);
    case TicBody::Pairing:
    {
        const Sdf heart = SmoothUnion(
            SmoothUnion(CircleSdf(o + Vec2{-r * 0.4, -r * 0.22}, r * 0.5),
                        CircleSdf(o + Vec2{r * 0.4, -r * 0.22}, r * 0.5), r * 0.1),
            PolygonSdf({o + Vec2{-r * 0.85, -r * 0.05}, o + Vec2{r * 0.85, -r * 0.05}, o + Vec2{0, r * 0.9}}),
            r * 0.2);
        const Sdf arms =
            Union(CapsuleSdf(o + Vec2{-r * 0.7, r * 0.15}, o + Vec2{-r * 1.0, r * 0.38}, r * 0.12),
                  CapsuleSdf(o + Vec2{r * 0.7, r * 0.15}, o + Vec2{r * 1.0, r * 0.38}, r * 0.12));
        return SmoothUnion(heart, arms, r * 0.06);
    }
    case TicBody::SmallCircle:
        return CircleSdf(o, r * 0.8);
    case TicBody::LargeCircle:
    {
        Sdf s = CircleSdf(o, r * 0.74);
        for (int i = 0; i < 8; ++i)
        {
            const double t = i / 8.0;
            const Vec2 d{Det::CosTurns(t), Det::SinTurns(t)};
            const Vec2 side{-d.y, d.x};
            s = SmoothUnion(s,
                            PolygonSdf({o + d * (r * 0.98), o + d * (r * 0.6) + side * (r * 0.16),
                                        o + d * (r * 0.6) - side * (r * 0.16)}),
                            r * 0.05);
        }
        return s;
    }
    case TicBody::Trail:
    {
        const Sdf slug = SmoothUnion(EllipseSdf(o + Vec2{r * 0.05, r * 0.05}, {r * 0.95, r * 0.55}),
                                     CircleSdf(o + Vec2{r * 0.45, -r * 0.2}, r * 0.42), r * 0.2);
        Sdf drips = CircleSdf(o + Vec2{-r * 0.55, r * 0.75}, r * 0.11);
        drips = Union(drips, CapsuleSdf(o + Vec2{-r * 0.2, r * 0.4}, o + Vec2{-r * 0.2, r * 0.78}, r * 0.09));
        drips =
            Union(drips, CapsuleSdf(o + Vec2{r * 0.25, r * 0.45}, o + Vec2{r * 0.25, r * 0.66}, r * 0.08));
        return SmoothUnion(slug, drips, r * 0.08);
    }
    case TicBody::Gem:
    {
        // A faceted gem: a flat-topped hexagon, wider than tall.
        std::vector<Vec2> pts;
        for (int i = 0; i < 6; ++i)
        {
            const double t = i / 6.0;
            pts.push_back(o + Vec2{Det::CosTurns(t) * r * 0.92, Det::SinTurns(t) * r * 0.8});
        }
        return Offset(PolygonSdf(pts), -r * 0.04);
    }
    }
    return CircleSdf(o, r);
}

// The body of a Tic any spool catches: the stripes wound round it on a slant and bowed like yarn
// round a ball, each lit like a one-colour body (light from `lit`, shade towards `unlit`), with a
// pale seam between strands. Strands are `width` r wide and wound on the body at rest: `toRest`
// takes a point of the posed body back there, so a squash or a lean carries them along.
Shader StripedShader(std::vector<Rgba> stripes, Vec2 o, double r, Vec2 lit, Vec2 unlit, double width,
                     std::function<Vec2(Vec2)> toRest)
{
    const double band = r * width;
    const Vec2 across = Normalize(Vec2{1.0, 0.55});
    const Vec2 along{-across.y, across.x};
    return [stripes, o, r, band, across, along, lit, unlit, toRest](Vec2 posed, double)
    {
        const Vec2 axis = unlit - lit;
        const double t = Det::Clamp01(Dot(posed - lit, axis) / Dot(axis, axis));
        const Vec2 p = toRest(posed);
        const double bow = Dot(p - o, along) / r;
        // Offset so the count stays positive over the body.
        const double s = (Dot(p - o, across) + r * 0.28 * bow * bow) / band + 20.5;
        const double cell = std::floor(s), f = s - cell;
        const size_t n = stripes.size();
        const size_t i = size_t(cell) % n;
        // Neighbouring strands blend over a pixel, so the edges do not stair-step.
        const double px = f * band;
        Rgba col = stripes[i];
        if (px < 0.6)
            col = Mix(stripes[(i + n - 1) % n], col, 0.5 + px / 1.2);
        else if (band - px < 0.6)
            col = Mix(stripes[(i + 1) % n], col, 0.5 + (band - px) / 1.2);
        const double seam = 1.0 - Det::Smoothstep(0.0, 1.1, std::min(px, band - px));
        col = Mix(col, Palette::White, 0.3 * seam);
        return Mix(Mix(col, TicColors::LightOf(col), 0.45), Mix(col, TicColors::DarkOf(col), 0.35), t);
    };
}

// Marks on the darker body of the Mega Tics and the icon of a gem, in paper colour.
void DrawMarks(Canvas& c, TicBody kind, TicGlyph glyph, const Sdf& body, Vec2 o, double r)
{
    const Rgba mark = WithAlpha(Palette::Paper, 0.55);
    const double w = std::max(0.8, r * 0.045);
    auto ring = [&](Vec2 at, double radius)
    {
        FillShape(c,
                  Intersect(body, [at, radius, w](Vec2 p) { return std::fabs(Length(p - at) - radius) - w; }),
                  Solid(mark));
    };
    switch (kind)
    {
    case TicBody::SmallCircle:
        ring(o, r * 0.55);
        ring(o, r * 0.32);
        break;
    case TicBody::LargeCircle:
        ring(o, r * 0.56);
        ring(o, r * 0.44);
        ring(o, r * 0.22);
        break;
    case TicBody::Trail:
        ring(o + Vec2{r * 0.45, -r * 0.2}, r * 0.24);
        break;
    case TicBody::Protected:
    {
        // The shell cap darker, with a few plates, and its rim.
        const Sdf cap = Intersect(body, [o, r](Vec2 p) { return p.y - (o.y + r * 0.05); });
        FillShape(c, cap, Solid(WithAlpha(Palette::Ink, 0.3)));
        for (const Vec2 plate : {Vec2{-0.45, -0.25}, Vec2{0.0, -0.45}, Vec2{0.45, -0.25}})
            FillShape(c, Intersect(cap, CircleSdf(o + plate * r, r * 0.17)),
                      Solid(WithAlpha(Palette::Paper, 0.35)));
        FillShape(c,
                  Intersect(body, [o, r, w](Vec2 p) { return std::fabs(p.y - (o.y + r * 0.05)) - w * 1.2; }),
                  Solid(WithAlpha(Palette::Ink, 0.6)));
        break;
    }
    case TicBody::Gem:
    {
        // Facet lines from the table to the rim, then the icon.
        const Rgba facet = WithAlpha(Palette::White, 0.35);
        for (int i = 0; i < 6; ++i)
        {
            const double t = i / 6.0;
            const Vec2 rim = o + Vec2{Det::CosTurns(t) * r * 0.88, Det::SinTurns(t) * r * 0.76};
            const Vec2 table = o + Vec2{Det::CosTurns(t) * r * 0.5, Det::SinTurns(t) * r * 0.44};
            FillShape(c, Intersect(body, StrokeSdf({table, rim}, w * 0.7)), Solid(facet));
        }
        const Rgba icon = WithAlpha(Palette::White, 0.9);
        const double k = r * 0.3;
        Sdf g;
        switch (glyph)
        {
        case TicGlyph::Snowflake:
            g = StrokeSdf({o - Vec2{k, 0}, o + Vec2{k, 0}}, w);
            for (double t : {1.0 / 6.0, 2.0 / 6.0})
            {
                const Vec2 d{Det::CosTurns(t) * k, Det::SinTurns(t) * k};
                g = Union(g, StrokeSdf({o - d, o + d}, w));
            }
            break;
        case TicGlyph::Arrows:
            g = Union(StrokeSdf({o + Vec2{-k * 1.2, 0}, o + Vec2{-k * 0.25, 0}}, w),
                      StrokeSdf({o + Vec2{k * 1.2, 0}, o + Vec2{k * 0.25, 0}}, w));
            g = Union(g, StrokeSdf({o + Vec2{-k * 0.6, -k * 0.35}, o + Vec2{-k * 0.25, 0},
                                    o + Vec2{-k * 0.6, k * 0.35}},
                                   w));
            g = Union(g, StrokeSdf({o + Vec2{k * 0.6, -k * 0.35}, o + Vec2{k * 0.25, 0},
                                    o + Vec2{k * 0.6, k * 0.35}},
                                   w));
            break;
        case TicGlyph::Swirl:
        {
            std::vector<Vec2> pts;
            for (int i = 0; i <= 40; ++i)
            {
                const double t = i / 40.0;
                const double rr = k * (0.15 + 0.95 * t);
                pts.push_back(o + Vec2{Det::CosTurns(t * 1.6) * rr, Det::SinTurns(t * 1.6) * rr});
            }
            g = StrokeSdf(pts, w);
            break;
        }
        case TicGlyph::Bubbles:
            g = Union(Union(
                          [o, k, w](Vec2 p) {
                              return std::fabs(Length(p - (o + Vec2{-k * 0.4, k * 0.2})) - k * 0.5) - w;
                          },
                          [o, k, w](Vec2 p) {
                              return std::fabs(Length(p - (o + Vec2{k * 0.55, -k * 0.3})) - k * 0.35) - w;
                          }),
                      [o, k, w](Vec2 p) {
                          return std::fabs(Length(p - (o + Vec2{k * 0.45, k * 0.55})) - k * 0.2) - w;
                      });
            break;
        case TicGlyph::Bomb:
            g = Union(
                CircleSdf(o + Vec2{-k * 0.15, k * 0.2}, k * 0.62),
                StrokeSdf(Shape::FlattenQuadratic(o + Vec2{k * 0.25, -k * 0.3}, o + Vec2{k * 0.6, -k * 0.9},
                                                  o + Vec2{k * 1.0, -k * 0.7}, 10),
                          w));
            break;
        case TicGlyph::None:
            return;
        }
        FillShape(c, Translate(Offset(g, w * 0.5), Vec2{w * 0.4, w * 0.6}),
                  Solid(WithAlpha(Palette::Ink, 0.45)));
        FillShape(c, g, Solid(icon));
        break;
    }
    default:
        break;
    }
}

struct EyeSpot
{
    Vec2 at;    // in r from the centre
    Vec2 radii; // in r
};

// Where a kind's eyes sit, in units of r from the body's centre.
std::vector<EyeSpot> EyesOf(TicBody body)
{
    switch (body)
    {
    case TicBody::Basic:
        return {{{-0.34, 0.0}, {0.26, 0.32}}, {{0.34, 0.0}, {0.26, 0.32}}};
    case TicBody::Shy:
        return {{{-0.27, 0.22}, {0.22, 0.26}}, {{0.27, 0.22}, {0.22, 0.26}}};
    case TicBody::Loner:
        return {{{0.0, -0.2}, {0.38, 0.42}}};
    case TicBody::Protected:
        return {{{-0.32, 0.4}, {0.2, 0.24}}, {{0.32, 0.4}, {0.2, 0.24}}};
    case TicBody::Indecisive:
        return {{{-0.42, 0.02}, {0.22, 0.27}}, {{0.42, -0.1}, {0.22, 0.27}}};
    case TicBody::Agreeable:
        return {{{-0.4, 0.02}, {0.2, 0.24}}, {{0.4, 0.02}, {0.2, 0.24}}};
    case TicBody::Pairing:
        return {{{-0.36, -0.18}, {0.22, 0.27}}, {{0.36, -0.18}, {0.22, 0.27}}};
    case TicBody::SmallCircle:
    case TicBody::LargeCircle:
        return {{{-0.3, -0.08}, {0.2, 0.2}}, {{0.3, -0.08}, {0.2, 0.2}}};
    case TicBody::Trail:
        return {{{0.3, -0.28}, {0.14, 0.17}}, {{0.62, -0.28}, {0.14, 0.17}}};
    case TicBody::Gem:
        return {};
    }
    return {};
}

// Where the mouth sits, in r from the centre.
Vec2 MouthOf(TicBody body)
{
    switch (body)
    {
    case TicBody::Shy:
        return {0.0, 0.52};
    case TicBody::Loner:
        return {0.0, 0.42};
    case TicBody::Protected:
        return {0.0, 0.66};
    case TicBody::Indecisive:
        return {0.0, 0.34};
    case TicBody::Agreeable:
        return {0.0, 0.36};
    case TicBody::Pairing:
        return {0.0, 0.22};
    case TicBody::Trail:
        return {0.46, 0.02};
    default:
        return {0.0, 0.36};
    }
}

bool IsKing(TicBody body)
{
    return body == TicBody::SmallCircle || body == TicBody::LargeCircle || body == TicBody::Trail;
}
} // namespace

TicDye TicDye::AnySpool()
{
    TicDye dye(Palette::Paper);
    dye.stripes = true;
    return dye;
}

const std::vector<Rgba>& AnySpoolStripes()
{
    static const std::vector<Rgba> stripes = {TicColors::Red, TicColors::Yellow, TicColors::Green,
                                              TicColors::Blue, TicColors::Purple};
    return stripes;
}

void DrawCreature(Canvas& c, TicBody body, TicDye dye, TicGlyph glyph, Vec2 centre, double r,
                  const CreaturePose& pose)
{
    const bool gem = body == TicBody::Gem, king = IsKing(body);
    const Vec2 o = centre + pose.shift;
    const double rr = r * pose.swell;
    const Vec2 foot = o + Vec2{0.0, rr * 0.8};
    const double sy = std::sqrt(std::max(0.2, pose.squash)), sx = 1.0 / sy;
    // A point of the resting body, in r from its centre, where the pose puts it.
    auto place = [&](Vec2 off)
    {
        const Vec2 p = o + off * rr;
        return Rotate(foot + Vec2{(p.x - foot.x) * sx, (p.y - foot.y) * sy}, foot, pose.lean);
    };
    Sdf shape = BodySdf(body, o, rr);
    if (pose.squash != 1.0)
        shape = Scale(shape, foot, {sx, sy});
    if (pose.lean != 0.0)
        shape = RotateSdf(shape, foot, pose.lean);
    shape = Bounded(shape, o - Vec2{rr * 1.6, rr * 2.0}, o + Vec2{rr * 1.6, rr * 1.5}, 6.0);

    // Upset deepens the colour and frost pales it; neither turns the hue, which names the spool.
    auto tone = [&pose](Rgba col)
    {
        if (pose.flush > 0.0)
            col = Darken(col, 1.0 - 0.22 * pose.flush);
        if (pose.frozen)
            col = Lighten(col, 0.25);
        return col;
    };
    const Rgba mid = tone(dye.color);
    std::vector<Rgba> stripes;
    if (dye.stripes)
        for (const Rgba& stripe : AnySpoolStripes())
            stripes.push_back(tone(Lighten(stripe, 0.12)));
    const Rgba light = king ? Hex("#5A5A66") : TicColors::LightOf(mid);
    const Rgba dark = king ? Darken(mid, 0.7) : TicColors::DarkOf(mid);
    const double ink = std::max(1.2, r * 0.07);

    Canvas layer(c.Width(), c.Height());
    if (pose.flush > 0.0 && pose.burst == 0.0 && !gem)
        // A hot rim of its own colour: upset, and still plainly the colour it was.
        Glow(layer, shape, rr * 0.25,
             WithAlpha(king              ? light
                       : stripes.empty() ? TicColors::LightOf(mid)
                                         : Palette::White,
                       0.55 * pose.flush));
    const Vec2 lit = o - Vec2{rr * 0.7, rr * 0.9}, unlit = o + Vec2{rr * 0.6, rr * 0.9};
    Shader base = gem ? RadialGradient(o - Vec2{rr * 0.3, rr * 0.35}, rr * 1.4, Lighten(mid, 0.25),
                                       Mix(mid, Palette::Ink, 0.4))
                      : LinearGradient(lit, unlit, Mix(mid, light, 0.45), Mix(mid, dark, 0.35));
    if (!stripes.empty())
        // The tall one-eyed Loner shows little body round its eye: finer strands, so every colour shows.
        base = StripedShader(stripes, o, rr, lit, unlit, body == TicBody::Loner ? 0.26 : 0.34,
                             [foot, sx, sy, lean = pose.lean](Vec2 p)
                             {
                                 const Vec2 q = Rotate(p, foot, -lean) - foot;
                                 return foot + Vec2{q.x / sx, q.y / sy};
                             });
    FillShape(layer, shape, DomeShade(shape, base, DomeLight{1.0, rr * 0.5, 0.55, 0.3, gem ? 0.7 : 0.5, 18}));
    if (gem)
    {
        // The core glows through the facets; the colour shifts towards the rim.
        const double g = 0.15 + 0.4 * pose.glow;
        FillShape(layer, Intersect(shape, CircleSdf(o, rr * 0.55)),
                  RadialGradient(o, rr * 0.55, WithAlpha(Hex("#FFF6D8"), g), WithAlpha(Hex("#FFF6D8"), 0.0)));
        FillShape(layer, Intersect(shape, [o, rr](Vec2 p) { return (p.x - o.x) + (p.y - o.y) - rr * 0.2; }),
                  Solid(WithAlpha(Hex("#C8A0F0"), 0.18)));
    }
    DrawMarks(layer, body, glyph, shape, o, rr);
    if (gem)
    {
        // A rim of every spool's colour: like the striped Tics, any spool catches a Posi-Tic.
        const double half = std::clamp(ink * 0.4, 0.66, 1.12), outset = ink * 0.2;
        const std::vector<Rgba>& rim = AnySpoolStripes();
        FillShape(
            layer, [&shape, half, outset](Vec2 p) { return std::fabs(shape(p) - outset + half) - half; },
            [o, &rim](Vec2 p, double)
            {
                const double at =
                    Det::Fract(Det::AngleTurns(p.y - o.y, p.x - o.x) + 0.6) * double(rim.size());
                return Lighten(rim[size_t(at) % rim.size()], 0.25);
            });
        Outline(layer, shape, ink * 0.6, Palette::Ink, ink * 0.3 + ink * 0.8);
    }
    else
        Outline(layer, shape, ink, Palette::Ink, ink * 0.5);

    if (pose.frozen)
    {
        // An ice glaze: pale streaks across the body and a frosty rim.
        FillShape(layer,
                  Intersect(shape, [o, rr](Vec2 p)
                            { return std::fabs((p.x - o.x) + (p.y - o.y) + rr * 0.3) - rr * 0.12; }),
                  Solid(WithAlpha(Palette::White, 0.45)));
        FillShape(layer,
                  Intersect(shape, [o, rr](Vec2 p)
                            { return std::fabs((p.x - o.x) + (p.y - o.y) - rr * 0.35) - rr * 0.06; }),
                  Solid(WithAlpha(Palette::White, 0.35)));
        Outline(layer, shape, ink * 0.8, WithAlpha(Hex("#F6FBFF"), 0.9), -ink * 0.4);
    }

    for (const EyeSpot& spot : EyesOf(body))
    {
        EyeLook eye;
        eye.centre = place(spot.at);
        eye.radii = Vec2{spot.radii.x * sx, spot.radii.y * sy} * rr * (pose.wide ? 1.15 : 1.0);
        eye.look = pose.look;
        eye.pupil = pose.wide ? 0.32 : 0.56;
        eye.outline = std::max(0.9, ink * 0.7);
        eye.lidColor =
            Mix(stripes.empty() ? mid : Palette::Paper, Palette::Ink, stripes.empty() ? 0.35 : 0.5);
        double lid = body == TicBody::Shy && !pose.wide ? 0.42 : 0.0;
        if (king && !pose.wide)
            lid = 0.25;
        eye.lid = std::max(lid, pose.blink);
        DrawEye(layer, eye);
    }
    if (!king && !gem && pose.flush > 0.0 && !pose.wide)
    {
        // A frown: brows down towards the middle (one V over a single eye).
        const std::vector<EyeSpot> eyes = EyesOf(body);
        const double bw = std::max(0.8, rr * 0.06);
        if (eyes.size() == 1)
        {
            const EyeSpot& spot = eyes[0];
            FillShape(layer,
                      StrokeSdf({place(spot.at + Vec2{-spot.radii.x * 0.9, -spot.radii.y * 1.45}),
                                 place(spot.at + Vec2{0.0, -spot.radii.y * 1.02}),
                                 place(spot.at + Vec2{spot.radii.x * 0.9, -spot.radii.y * 1.45})},
                                bw),
                      Solid(Palette::Ink));
        }
        else
            for (size_t i = 0; i < eyes.size(); ++i)
            {
                const EyeSpot& spot = eyes[i];
                const double out = i == 0 ? -1.0 : 1.0;
                FillShape(layer,
                          StrokeSdf({place(spot.at + Vec2{out * spot.radii.x * 1.1, -spot.radii.y * 1.55}),
                                     place(spot.at + Vec2{-out * spot.radii.x * 1.0, -spot.radii.y * 1.05})},
                                    bw),
                          Solid(Palette::Ink));
            }
    }
    if (king && !pose.wide)
    {
        // Stern brows.
        for (double side : {-1.0, 1.0})
        {
            const EyeSpot spot = EyesOf(body)[side < 0 ? 0 : 1];
            const Vec2 a = place(spot.at + Vec2{-spot.radii.x * 1.1, -spot.radii.y * (1.2 + 0.35 * side)});
            const Vec2 b = place(spot.at + Vec2{spot.radii.x * 1.1, -spot.radii.y * (1.2 - 0.35 * side)});
            FillShape(layer, StrokeSdf({a, b}, std::max(0.8, rr * 0.05)), Solid(Hex("#1C1820")));
        }
    }
    if (!gem)
    {
        const double mw = std::max(0.7, rr * 0.045);
        if (pose.wide)
            FillShape(layer, EllipseSdf(place(MouthOf(body)), Vec2{rr * 0.1, rr * 0.13}),
                      Solid(Palette::Ink));
        else
        {
            const Vec2 m = MouthOf(body);
            const double w = body == TicBody::Agreeable ? 0.34 : king ? 0.2 : 0.15;
            const double bend = king ? -0.09 : body == TicBody::Agreeable ? 0.2 : 0.12;
            FillShape(
                layer,
                StrokeSdf(Shape::FlattenQuadratic(place(m + Vec2{-w, 0}), place(m + Vec2{0, bend * 1.6}),
                                                  place(m + Vec2{w, 0}), 10),
                          mw),
                Solid(Palette::Ink));
        }
    }
    if (pose.steam)
        for (int i = 0; i < 3; ++i)
        {
            const Vec2 at = place({-0.5 + 0.5 * i, -1.05 - 0.12 * (i % 2)});
            FillShape(layer, CircleSdf(at, rr * (0.13 + 0.04 * (i % 2))),
                      Solid(WithAlpha(Palette::White, 0.7)));
        }
    if (pose.shield)
    {
        const Sdf bubble = CircleSdf(o + Vec2{0, rr * 0.12}, rr * 1.12);
        // Clear as glass, so the colour inside shows true.
        FillShape(
            layer, bubble,
            RadialGradient(o, rr * 1.2, WithAlpha(Hex("#F4F8FC"), 0.06), WithAlpha(Hex("#E4EEF6"), 0.32)));
        Outline(layer, bubble, std::max(1.0, ink * 0.6), WithAlpha(Palette::White, 0.85));
        SpecularDot(layer, o + Vec2{-rr * 0.55, -rr * 0.5}, Vec2{rr * 0.16, rr * 0.1}, 0.8);
    }
    const double keep = 1.0 - pose.burst;
    if (pose.burst > 0.0)
        for (int i = 0; i < 10; ++i)
        {
            const double t = i / 10.0 + 0.03 * (i % 3);
            const Vec2 d{Det::CosTurns(t), Det::SinTurns(t)};
            const Vec2 at = o + d * (rr * (0.7 + 0.45 * pose.burst));
            const Sdf drop = CircleSdf(at, rr * (0.16 - 0.04 * (i % 2)) * (1.1 - 0.5 * pose.burst));
            const Rgba splash = stripes.empty() ? mid : stripes[size_t(i) % stripes.size()];
            FillShape(c, drop, DomeShade(drop, Solid(splash), DomeLight{1.0, rr * 0.1, 0.6, 0.2, 0.4, 12}));
            Outline(c, drop, std::max(0.8, ink * 0.5), Palette::Ink, ink * 0.25);
        }
    if (keep > 0.0)
        c.Composite(layer, 0, 0, keep);
}

const std::vector<std::string>& TicKinds()
{
    static const std::vector<std::string> kinds = {
        "neurotic",     "chaotic",     "caustic",    "dietetic",    "antic",       "static",
        "spastic",      "therapeutic", "nihilistic", "masochistic", "eclectic",    "sympathetic",
        "antagonistic", "frantic",     "erratic",    "ballistic",   "apocalyptic", "pessimistic"};
    return kinds;
}

void DrawTicPortrait(Canvas& c, int index, Vec2 o, double r)
{
    const KindLook look = LookOf(index);
    if (look.body == TicBody::Basic && look.second.a > 0.0f)
    {
        // Two Basics, one peeking from behind the other.
        DrawCreature(c, TicBody::Basic, look.second, TicGlyph::None, o + Vec2{-r * 0.42, -r * 0.12}, r * 0.7,
                     CreaturePose{.look = {0.6, 0.2}});
        DrawCreature(c, TicBody::Basic, look.dye, TicGlyph::None, o + Vec2{r * 0.25, r * 0.12}, r * 0.78,
                     CreaturePose{.look = {-0.3, 0.3}});
        return;
    }
    if (look.body == TicBody::Indecisive)
    {
        // Split down the middle: each lobe in its own colour, as it flashes in play.
        Canvas left(c.Width(), c.Height()), right(c.Width(), c.Height());
        DrawCreature(left, look.body, look.dye, TicGlyph::None, o, r);
        DrawCreature(right, look.body, look.second, TicGlyph::None, o, r);
        for (int y = 0; y < c.Height(); ++y)
            for (int x = 0; x < c.Width(); ++x)
            {
                const double t = Det::Clamp01((x + 0.5 - o.x) / 2.0 + 0.5);
                const Rgba a = left.At(x, y), b = right.At(x, y);
                const Rgba m{float(a.r + (b.r - a.r) * t), float(a.g + (b.g - a.g) * t),
                             float(a.b + (b.b - a.b) * t), float(a.a + (b.a - a.a) * t)};
                if (m.a > 0.0f)
                {
                    const Rgba d = c.At(x, y);
                    const float keep = 1.0f - m.a;
                    c.Put(x, y, {m.r + d.r * keep, m.g + d.g * keep, m.b + d.b * keep, m.a + d.a * keep});
                }
            }
        return;
    }
    DrawCreature(c, look.body, look.dye, look.glyph, o, r, CreaturePose{.look = {0.15, 0.2}, .glow = 0.6});
}

void DrawLockedSilhouette(Canvas& c, Vec2 o, double r, const std::string& mark)
{
    const Sdf body =
        Bounded(BodySdf(TicBody::Basic, o, r), o - Vec2{r * 1.3, r * 1.5}, o + Vec2{r * 1.3, r * 1.3}, 8.0);
    FillShape(c, body, DomeShade(body, Solid(Hex("#8E8985")), DomeLight{1.0, r * 0.35, 0.55, 0.3, 0.2, 16}));
    Outline(c, body, std::max(1.2, r * 0.05), WithAlpha(Palette::Ink, 0.8), std::max(1.2, r * 0.05) * 0.5);
    const int px = std::max(10, static_cast<int>(r * 0.95));
    TextStyle style{Face::SansBold, px, Mix(Palette::Paper, Palette::White, 0.4), Align::Center};
    style.outline = std::max(1, px / 12);
    style.outlineColor = Hex("#6B6662");
    const int width = static_cast<int>(r * 2.0);
    DrawText(c, mark, static_cast<int>(o.x - r), static_cast<int>(o.y + r * 0.1 - px * 0.62), width, style);
}
} // namespace DataGen
