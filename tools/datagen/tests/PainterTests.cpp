// The painter core: deterministic math, distances, coverage, compositing, noise and text.
#include "Canvas.h"
#include "Det.h"
#include "Noise.h"
#include "Paint.h"
#include "Sdf.h"
#include "Text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

using namespace DataGen;

TEST(Painter, OwnSineAndAngleAgreeWithLibm)
{
    for (double t = -2.0; t <= 2.0; t += 0.0137)
    {
        EXPECT_NEAR(Det::SinTurns(t), std::sin(2.0 * Det::Pi * t), 1e-10) << t;
        EXPECT_NEAR(Det::CosTurns(t), std::cos(2.0 * Det::Pi * t), 1e-10) << t;
    }
    for (double a = 0.0; a < 1.0; a += 0.01)
    {
        const double x = std::cos(2.0 * Det::Pi * a) * 3.0, y = std::sin(2.0 * Det::Pi * a) * 3.0;
        const double got = Det::AngleTurns(y, x);
        // Near a whole turn either end of the range is right.
        EXPECT_NEAR(std::fmin(std::fabs(got - a), 1.0 - std::fabs(got - a)), 0.0, 3e-6) << a;
    }
    EXPECT_EQ(Det::AngleTurns(0.0, 0.0), 0.0);
    EXPECT_EQ(Det::PowInt(1.5, 5), 1.5 * 1.5 * 1.5 * 1.5 * 1.5);
}

TEST(Painter, DistancesOfThePrimitives)
{
    struct Case
    {
        const char* what;
        Sdf shape;
        Vec2 p;
        double expected;
    };
    const std::vector<Vec2> square = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    const std::vector<Vec2> reversed = {{0, 10}, {10, 10}, {10, 0}, {0, 0}};
    const Case cases[] = {
        {"circle outside", CircleSdf({0, 0}, 2), {3, 4}, 3.0},
        {"circle centre", CircleSdf({0, 0}, 2), {0, 0}, -2.0},
        {"box edge", RoundedBoxSdf({0, 0}, {5, 3}, 0), {0, 5}, 2.0},
        {"box inside", RoundedBoxSdf({0, 0}, {5, 3}, 0), {4, 0}, -1.0},
        {"rounded corner", RoundedBoxSdf({0, 0}, {5, 5}, 2), {5, 5}, std::sqrt(8.0) - 2.0},
        {"capsule side", CapsuleSdf({0, 0}, {10, 0}, 1), {5, 3}, 2.0},
        {"capsule end", CapsuleSdf({0, 0}, {10, 0}, 1), {13, 4}, 4.0},
        {"polygon inside", PolygonSdf(square), {5, 3}, -3.0},
        {"polygon outside", PolygonSdf(square), {13, 14}, 5.0},
        {"other winding", PolygonSdf(reversed), {5, 3}, -3.0},
        {"ellipse on axis", EllipseSdf({0, 0}, {4, 2}), {6, 0}, 2.0},
        {"ellipse outline", EllipseSdf({0, 0}, {4, 2}), {0, 2}, 0.0},
        {"stroke", StrokeSdf({{0, 0}, {10, 0}, {10, 10}}, 1.0), {12, 5}, 1.0},
        {"grown", Offset(CircleSdf({0, 0}, 2), 1), {4, 0}, 1.0},
        {"translated", Translate(CircleSdf({0, 0}, 1), {5, 0}), {5, 0}, -1.0},
        {"subtracted", Subtract(CircleSdf({0, 0}, 5), CircleSdf({0, 0}, 2)), {0, 0}, 2.0},
        {"rotated", RotateSdf(RoundedBoxSdf({0, 0}, {4, 1}, 0), {0, 0}, 0.25), {0, 3}, -1.0},
        {"squashed", Scale(CircleSdf({0, 0}, 2), {0, 0}, {2, 1}), {4, 0}, 0.0},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(c.shape(c.p), c.expected, 1e-9) << c.what;

    // Smooth union dips below the plain minimum where two shapes meet, and equals it far away.
    const Sdf a = CircleSdf({-3, 0}, 3), b = CircleSdf({3, 0}, 3);
    EXPECT_LT(SmoothUnion(a, b, 2)({0, 2}), Union(a, b)({0, 2}));
    EXPECT_NEAR(SmoothUnion(a, b, 2)({-8, 0}), a({-8, 0}), 1e-12);
    // A Bezier flattened keeps its end points and passes through its midpoint.
    const auto curve = Shape::FlattenQuadratic({0, 0}, {5, 10}, {10, 0}, 8);
    ASSERT_EQ(curve.size(), 9u);
    EXPECT_NEAR(curve[4].y, 5.0, 1e-12);
    EXPECT_NEAR(curve.back().x, 10.0, 1e-12);
}

TEST(Painter, PerimeterPositionRunsOnceRoundTheBox)
{
    const Vec2 c{50, 30}, h{40, 20};
    const double r = 8.0, total = RoundedBoxPerimeter(h, r);
    // Walking the outline clockwise from the middle of the top edge, the position grows with the
    // distance walked and wraps to 0 once, back on the top edge.
    const double start = RoundedBoxPerimeterAt({50, 10}, c, h, r);
    EXPECT_NEAR(start, 32.0, 1e-9);
    double walked = 0.0;
    Vec2 prev{50, 10};
    const int steps = 3000;
    for (int i = 1; i < steps; ++i)
    {
        // The outline point in each direction from the centre, by bisection.
        const double turn = 0.75 + i / static_cast<double>(steps);
        const Vec2 dir{Det::CosTurns(turn), Det::SinTurns(turn)};
        double lo = 0.0, hi = 60.0;
        for (int k = 0; k < 60; ++k)
        {
            const double mid = (lo + hi) * 0.5;
            (Shape::RoundedBox(c + dir * mid, c, h, r) < 0 ? lo : hi) = mid;
        }
        const Vec2 p = c + dir * lo;
        walked += Length(p - prev);
        prev = p;
        double s = RoundedBoxPerimeterAt(p, c, h, r);
        if (walked > total * 0.5 && s < total * 0.5)
            s += total;
        ASSERT_NEAR(s, start + walked, 0.3) << "step " << i;
    }
    EXPECT_NEAR(walked + Length(Vec2{50, 10} - prev), total, 0.2);
}

TEST(Painter, CoverageIsHalfOnTheOutline)
{
    Canvas c(4, 1);
    // The edge x = 2.5 passes through the centre of pixel 2.
    FillShape(
        c, [](Vec2 p) { return p.x - 2.5; }, Solid({1, 0, 0, 1}));
    EXPECT_FLOAT_EQ(c.At(0, 0).a, 1.0f);
    EXPECT_FLOAT_EQ(c.At(1, 0).a, 1.0f);
    EXPECT_FLOAT_EQ(c.At(2, 0).a, 0.5f);
    EXPECT_FLOAT_EQ(c.At(3, 0).a, 0.0f);
}

TEST(Painter, CompositingIsPremultipliedAndWrittenStraight)
{
    Canvas c(1, 1);
    c.Blend(0, 0, {1, 0, 0, 1}, 0.5);
    c.Blend(0, 0, {0, 0, 1, 1}, 0.5);
    // Half blue over half red: alpha 0.75, colour one third red, two thirds blue.
    const auto bytes = c.ToRgba8();
    EXPECT_EQ(bytes[0], 85);
    EXPECT_EQ(bytes[1], 0);
    EXPECT_EQ(bytes[2], 170);
    EXPECT_EQ(bytes[3], 191);

    Canvas top(1, 1);
    top.Put(0, 0, {0, 0.5f, 0, 0.5f});
    Canvas under(1, 1);
    under.Fill({1, 1, 1, 1});
    under.Composite(top, 0, 0);
    EXPECT_FLOAT_EQ(under.At(0, 0).r, 0.5f);
    EXPECT_FLOAT_EQ(under.At(0, 0).g, 1.0f);
    EXPECT_TRUE(under.IsOpaque());

    EXPECT_THROW(Hex("#12345"), std::invalid_argument);
    EXPECT_THROW(Hex("#GG0000"), std::invalid_argument);
    EXPECT_FLOAT_EQ(Hex("#F6EBD9").g, 235 / 255.0f);
    EXPECT_FLOAT_EQ(Hex("#00000080").a, 128 / 255.0f);
}

TEST(Painter, DomeShadingKeepsTheFlatTopAndLightsTheTopLeft)
{
    const Sdf disc = CircleSdf({20, 20}, 16);
    const Rgba base{0.5f, 0.5f, 0.5f, 1.0f};
    DomeLight light;
    light.depth = 8.0;
    light.specular = 0.0;
    light.rim = 0.0;
    const Shader shade = DomeShade(disc, Solid(base), light);
    const Rgba top = shade({20, 20}, disc({20, 20}));
    EXPECT_FLOAT_EQ(top.r, base.r);
    const Vec2 upLeft{10, 10}, downRight{30, 30};
    EXPECT_GT(shade(upLeft, disc(upLeft)).r, shade(downRight, disc(downRight)).r);
}

TEST(Painter, NoiseIsSeededAndPeriodicWhereAsked)
{
    const ValueNoise a(5), b(5), c(6);
    EXPECT_EQ(a.At(3.3, 7.1), b.At(3.3, 7.1));
    EXPECT_NE(a.At(3.3, 7.1), c.At(3.3, 7.1));
    for (double x = 0.0; x < 10.0; x += 0.37)
    {
        EXPECT_NEAR(a.AtPeriodic(x, 2.2, 6), a.AtPeriodic(x + 6.0, 2.2 - 12.0, 6), 1e-12);
        const double v = a.Fbm(x, x * 0.5, 4);
        EXPECT_GE(v, 0.0);
        EXPECT_LE(v, 1.0);
    }
    // The same stream twice; another seed diverges.
    Pcg32 r1(42), r2(42), r3(43);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(r1.Next(), r2.Next());
    EXPECT_NE(Pcg32(42).Next(), r3.Next());
}

TEST(Painter, TextIsLatin1WrappedAndDrawnInsideItsBox)
{
    EXPECT_EQ(DecodeLatin1Text("Caf\xC3\xA9"), std::u32string(U"Caf\u00E9"));
    EXPECT_THROW(DecodeLatin1Text("it\xE2\x80\x99s"), std::invalid_argument) << "curly quote";
    EXPECT_THROW(DecodeLatin1Text("\xC3"), std::invalid_argument) << "cut UTF-8";
    EXPECT_THROW(DecodeLatin1Text("tab\there"), std::invalid_argument);

    const TextStyle style{Face::Sans, 14, Palette::Ink};
    const auto lines = WrapText("one two three four five six", style, 60);
    ASSERT_GT(lines.size(), 1u);
    for (const auto& line : lines)
        EXPECT_LE(TextWidth(line, style), 60);
    EXPECT_EQ(WrapText("a\nb", style, 0).size(), 2u);

    Canvas c(100, 60);
    TextStyle outlined = style;
    outlined.align = Align::Center;
    outlined.outline = 2;
    outlined.outlineColor = Palette::White;
    const int used = DrawText(c, "Tangle wisp yarn", 10, 2, 60, outlined);
    EXPECT_GT(used, 14);
    int inked = 0;
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x)
            if (c.At(x, y).a > 0.0f)
            {
                ++inked;
                // The outline may reach its width past the box, no further.
                EXPECT_GE(x, 10 - 3);
                EXPECT_LT(x, 70 + 3);
            }
    EXPECT_GT(inked, 100);
}
