// Each kind's silhouette follows its sprite: round Basics with a curly wisp, the teardrop Shy, the
// tall Loner, the shelled Protected, the two-lobed Indecisive, the flat Agreeable, the heart-shaped
// Pairing, the dark Mega Tics with rings, spikes or drips, and faceted gems for the Posi-Tics.
#include "Tics.h"

#include "Blobs.h"
#include "Paint.h"
#include "Text.h"

#include <algorithm>
#include <cmath>

namespace DataGen
{
namespace
{
enum class Body
{
    Basic,
    Shy,
    Loner,
    Protected,
    Indecisive,
    Agreeable,
    Pairing,
    SmallCircle,
    LargeCircle,
    Trail,
    Gem
};

enum class Glyph
{
    None,
    Snowflake,
    Arrows,
    Swirl,
    Bubbles,
    Bomb
};

struct KindLook
{
    Body body;
    Rgba color;
    Rgba second; // a second Tic (Basic) or the second lobe (Indecisive); alpha 0 for none
    Glyph glyph = Glyph::None;
};

const Rgba kKing = Hex("#2B2B33");
const Rgba kNone{0, 0, 0, 0};

KindLook LookOf(int index)
{
    const KindLook looks[] = {
        {Body::Basic, TicColors::Blue, TicColors::Red},          // neurotic
        {Body::Basic, TicColors::Green, kNone},                  // chaotic
        {Body::Basic, TicColors::Yellow, kNone},                 // caustic
        {Body::Gem, Hex("#4FB7E8"), kNone, Glyph::Arrows},       // dietetic: Shrink
        {Body::Pairing, TicColors::Red, kNone},                  // antic
        {Body::Protected, TicColors::Yellow, kNone},             // static
        {Body::Basic, TicColors::Purple, kNone},                 // spastic
        {Body::Gem, Hex("#5CC8A8"), kNone, Glyph::Bubbles},      // therapeutic: DeepClean
        {Body::SmallCircle, kKing, kNone},                       // nihilistic
        {Body::Gem, Hex("#8FD3F4"), kNone, Glyph::Snowflake},    // masochistic: Freeze
        {Body::Indecisive, TicColors::Green, TicColors::Purple}, // eclectic
        {Body::Agreeable, TicColors::Green, kNone},              // sympathetic
        {Body::Loner, TicColors::Blue, kNone},                   // antagonistic
        {Body::Gem, Hex("#C69BE8"), kNone, Glyph::Swirl},        // frantic: UnifyColors
        {Body::Trail, kKing, kNone},                             // erratic
        {Body::Gem, Hex("#F2A65A"), kNone, Glyph::Bomb},         // ballistic: Damage
        {Body::LargeCircle, kKing, kNone},                       // apocalyptic
        {Body::Shy, TicColors::Purple, kNone},                   // pessimistic
    };
    return looks[std::clamp(index, 0, 17)];
}

// The body's outline, centred on o, about 2 r across.
Sdf BodySdf(Body body, Vec2 o, double r)
{
    switch (body)
    {
    case Body::Basic:
    {
        const Vec2 top = o - Vec2{0.0, r * 0.86};
        const auto curve =
            Shape::FlattenQuadratic(top, top + Vec2{r * 0.42, -r * 0.4}, top + Vec2{r * 0.1, -r * 0.6});
        Sdf s = SmoothUnion(CircleSdf(o + Vec2{0, r * 0.1}, r * 0.88), StrokeSdf(curve, r * 0.075), r * 0.12);
        return Union(s, CircleSdf(top + Vec2{r * 0.04, -r * 0.64}, r * 0.13));
    }
    case Body::Shy:
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
    case Body::Loner:
        return CapsuleSdf(o - Vec2{0, r * 0.42}, o + Vec2{0, r * 0.45}, r * 0.52);
    case Body::Protected:
    {
        const Sdf dome = SmoothUnion(
            EllipseSdf(o + Vec2{0, r * 0.25}, {r * 0.9, r * 0.62}),
            RoundedRectSdf(o.x - r * 0.9, o.y + r * 0.2, o.x + r * 0.9, o.y + r * 0.8, r * 0.25), r * 0.1);
        const Sdf shell = Intersect(EllipseSdf(o + Vec2{0, -r * 0.05}, {r * 0.98, r * 0.78}),
                                    [o, r](Vec2 p) { return p.y - (o.y + r * 0.05); });
        return Union(dome, shell);
    }
    case Body::Indecisive:
        return SmoothUnion(CircleSdf(o + Vec2{-r * 0.42, r * 0.08}, r * 0.55),
                           CircleSdf(o + Vec2{r * 0.42, -r * 0.05}, r * 0.55), r * 0.28);
    case Body::Agreeable:
        return RoundedBoxSdf(o + Vec2{0, r * 0.15}, {r * 0.98, r * 0.55}, r * 0.5);
    case Body::Pairing:
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
    case Body::SmallCircle:
        return CircleSdf(o, r * 0.8);
    case Body::LargeCircle:
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
    case Body::Trail:
    {
        const Sdf slug = SmoothUnion(EllipseSdf(o + Vec2{r * 0.05, r * 0.05}, {r * 0.95, r * 0.55}),
                                     CircleSdf(o + Vec2{r * 0.45, -r * 0.2}, r * 0.42), r * 0.2);
        Sdf drips = CircleSdf(o + Vec2{-r * 0.55, r * 0.75}, r * 0.11);
        drips = Union(drips, CapsuleSdf(o + Vec2{-r * 0.2, r * 0.4}, o + Vec2{-r * 0.2, r * 0.78}, r * 0.09));
        drips =
            Union(drips, CapsuleSdf(o + Vec2{r * 0.25, r * 0.45}, o + Vec2{r * 0.25, r * 0.66}, r * 0.08));
        return SmoothUnion(slug, drips, r * 0.08);
    }
    case Body::Gem:
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

// Marks on the darker body of the Mega Tics and the icon of a gem, in paper colour.
void DrawMarks(Canvas& c, const KindLook& look, const Sdf& body, Vec2 o, double r)
{
    const Rgba mark = WithAlpha(Palette::Paper, 0.55);
    const double w = std::max(0.8, r * 0.045);
    auto ring = [&](Vec2 at, double radius)
    {
        FillShape(c,
                  Intersect(body, [at, radius, w](Vec2 p) { return std::fabs(Length(p - at) - radius) - w; }),
                  Solid(mark));
    };
    switch (look.body)
    {
    case Body::SmallCircle:
        ring(o, r * 0.55);
        ring(o, r * 0.32);
        break;
    case Body::LargeCircle:
        ring(o, r * 0.56);
        ring(o, r * 0.44);
        ring(o, r * 0.22);
        break;
    case Body::Trail:
        ring(o + Vec2{r * 0.45, -r * 0.2}, r * 0.24);
        break;
    case Body::Protected:
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
    case Body::Gem:
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
        switch (look.glyph)
        {
        case Glyph::Snowflake:
            g = StrokeSdf({o - Vec2{k, 0}, o + Vec2{k, 0}}, w);
            for (double t : {1.0 / 6.0, 2.0 / 6.0})
            {
                const Vec2 d{Det::CosTurns(t) * k, Det::SinTurns(t) * k};
                g = Union(g, StrokeSdf({o - d, o + d}, w));
            }
            break;
        case Glyph::Arrows:
            g = Union(StrokeSdf({o + Vec2{-k * 1.2, 0}, o + Vec2{-k * 0.25, 0}}, w),
                      StrokeSdf({o + Vec2{k * 1.2, 0}, o + Vec2{k * 0.25, 0}}, w));
            g = Union(g, StrokeSdf({o + Vec2{-k * 0.6, -k * 0.35}, o + Vec2{-k * 0.25, 0},
                                    o + Vec2{-k * 0.6, k * 0.35}},
                                   w));
            g = Union(g, StrokeSdf({o + Vec2{k * 0.6, -k * 0.35}, o + Vec2{k * 0.25, 0},
                                    o + Vec2{k * 0.6, k * 0.35}},
                                   w));
            break;
        case Glyph::Swirl:
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
        case Glyph::Bubbles:
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
        case Glyph::Bomb:
            g = Union(
                CircleSdf(o + Vec2{-k * 0.15, k * 0.2}, k * 0.62),
                StrokeSdf(Shape::FlattenQuadratic(o + Vec2{k * 0.25, -k * 0.3}, o + Vec2{k * 0.6, -k * 0.9},
                                                  o + Vec2{k * 1.0, -k * 0.7}, 10),
                          w));
            break;
        case Glyph::None:
            return;
        }
        FillShape(c, g, Solid(icon));
        break;
    }
    default:
        break;
    }
}

// A silhouette body: the colour darkened into shadow, lit along the top-left rim, ink outlined.
void Silhouette(Canvas& c, const Sdf& body, Rgba color, double r, bool gem)
{
    const Rgba deep = gem ? Mix(color, Palette::Ink, 0.25) : Mix(color, Palette::Ink, 0.42);
    const Rgba lit = gem ? Lighten(color, 0.35) : Mix(color, Palette::White, 0.12);
    DropShadow(c, body, Vec2{0.06, 0.12} * r, r * 0.1, WithAlpha(Palette::Ink, 0.3));
    FillShape(c, body,
              DomeShade(body, Solid(deep), DomeLight{1.0, r * 0.35, 0.5, 0.35, gem ? 0.5 : 0.2, 16}));
    // A soft rim of the kind's own colour along the lit edge.
    const Sdf rim = [body, r](Vec2 p) { return std::fabs(body(p) + r * 0.06) - r * 0.05; };
    FillShape(c,
              Intersect(rim,
                        [body, r](Vec2 p) {
                            return -body(p - Vec2{r * 0.1, r * 0.12});
                        }),
              Solid(lit), std::max(1.0, r * 0.04));
    if (gem)
    {
        Outline(c, body, std::max(1.2, r * 0.05), Hex("#F3D27A"), std::max(1.2, r * 0.05) * 0.2);
        Outline(c, body, std::max(1.0, r * 0.035), Palette::Ink, std::max(1.0, r * 0.035) * 0.5 + r * 0.05);
    }
    else
        Outline(c, body, std::max(1.2, r * 0.05), Palette::Ink, std::max(1.2, r * 0.05) * 0.5);
}
} // namespace

const std::vector<std::string>& TicKinds()
{
    static const std::vector<std::string> kinds = {
        "neurotic",     "chaotic",     "caustic",    "dietetic",    "antic",       "static",
        "spastic",      "therapeutic", "nihilistic", "masochistic", "eclectic",    "sympathetic",
        "antagonistic", "frantic",     "erratic",    "ballistic",   "apocalyptic", "pessimistic"};
    return kinds;
}

void DrawTicSilhouette(Canvas& c, int index, Vec2 o, double r)
{
    const KindLook look = LookOf(index);
    const Vec2 lo = o - Vec2{r * 1.3, r * 1.5}, hi = o + Vec2{r * 1.3, r * 1.3};
    if (look.body == Body::Basic && look.second.a > 0.0f)
    {
        // Two Basics, one peeking from behind the other.
        const Vec2 back = o + Vec2{-r * 0.42, -r * 0.12}, front = o + Vec2{r * 0.25, r * 0.12};
        Silhouette(c, Bounded(BodySdf(Body::Basic, back, r * 0.7), lo, hi, 8.0), look.second, r * 0.7, false);
        Silhouette(c, Bounded(BodySdf(Body::Basic, front, r * 0.78), lo, hi, 8.0), look.color, r * 0.78,
                   false);
        return;
    }
    const Sdf body = Bounded(BodySdf(look.body, o, r), lo, hi, 8.0);
    if (look.body == Body::Indecisive)
    {
        // Split down the middle: each lobe in its own colour.
        const double mid = o.x;
        Canvas left(c.Width(), c.Height()), right(c.Width(), c.Height());
        Silhouette(left, body, look.color, r, false);
        Silhouette(right, body, look.second, r, false);
        for (int y = 0; y < c.Height(); ++y)
            for (int x = 0; x < c.Width(); ++x)
            {
                const double t = Det::Clamp01((x + 0.5 - mid) / 2.0 + 0.5);
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
    Silhouette(c, body, look.color, r, look.body == Body::Gem);
    DrawMarks(c, look, body, o, r);
}

void DrawLockedSilhouette(Canvas& c, Vec2 o, double r, const std::string& mark)
{
    const Sdf body =
        Bounded(BodySdf(Body::Basic, o, r), o - Vec2{r * 1.3, r * 1.5}, o + Vec2{r * 1.3, r * 1.3}, 8.0);
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
