// The character-art helpers: a distance field read back from coverage, bounded shapes, resizing.
#include "Blobs.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace DataGen;

TEST(Blobs, MaskSdfFollowsTheEdgeOfItsMask)
{
    // A disc drawn with coverage anti-aliasing, read back as distances.
    const Vec2 centre{40.3, 37.8};
    const double radius = 21.0;
    Canvas mask(80, 80);
    FillShape(mask, CircleSdf(centre, radius), Solid(Palette::White));
    const Sdf field = MaskSdf(mask, 12);
    struct Case
    {
        double along; // distance from the centre along a diagonal
        double tolerance;
    };
    for (const Case& k : {Case{radius, 0.35}, {radius - 4.0, 0.6}, {radius + 5.0, 0.6}, {radius - 10.0, 0.8}})
        for (double turn : {0.0, 0.125, 0.3, 0.6, 0.85})
        {
            const Vec2 p = centre + Vec2{Det::CosTurns(turn), Det::SinTurns(turn)} * k.along;
            EXPECT_NEAR(field(p), k.along - radius, k.tolerance) << "at " << k.along << ", turn " << turn;
        }
    // Clamped to the reach, and outside the canvas it counts as outside.
    EXPECT_DOUBLE_EQ(field(centre), -12.0);
    EXPECT_DOUBLE_EQ(field({-30.0, -30.0}), 12.0);
}

TEST(Blobs, BoundedShapesAgreeNearByAndStayClearFarAway)
{
    const std::vector<Vec2> path = {{10, 10}, {60, 30}, {90, 12}};
    const Sdf exact = StrokeSdf(path, 3.0);
    const Sdf bounded = BoundedStroke(path, 3.0, 10.0);
    for (Vec2 p : {Vec2{10, 10}, {35, 20}, {60, 40}, {95, 5}, {50, 42}, {0, 0}})
        EXPECT_DOUBLE_EQ(bounded(p), exact(p)) << p.x << "," << p.y;
    // Far away the answer is a lower bound that still keeps fills, shadows and glows off.
    for (Vec2 p : {Vec2{200, 200}, {-50, 20}, {50, 120}})
    {
        EXPECT_LE(bounded(p), exact(p));
        EXPECT_GT(bounded(p), 10.0);
    }
}

TEST(Blobs, ResizeKeepsTheAverageAndFlattenIsOpaque)
{
    Canvas c(30, 20);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x)
            c.Put(x, y, (x + y) % 3 == 0 ? Rgba{0.5f, 0.25f, 0.0f, 0.5f} : Rgba{});
    const Canvas small = Resize(c, 10, 10);
    auto meanAlpha = [](const Canvas& k)
    {
        double sum = 0.0;
        for (int y = 0; y < k.Height(); ++y)
            for (int x = 0; x < k.Width(); ++x)
                sum += k.At(x, y).a;
        return sum / (k.Width() * k.Height());
    };
    EXPECT_NEAR(meanAlpha(small), meanAlpha(c), 1e-6);
    const Canvas flat = Flatten(c, Palette::Ink);
    EXPECT_TRUE(flat.IsOpaque());
    const Rgba bare = flat.StraightAt(1, 0);
    EXPECT_NEAR(bare.r, Palette::Ink.r, 1e-6);
}
