#include "Graphics/Canvas.h"
#include "Graphics/ImageCanvas.h"
#include "Graphics/Shapes.h"
#include "GraphicsTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <set>

using namespace Kestrin;
using namespace Kestrin::Graphics;
using GraphicsTest::FilledImage;
using GraphicsTest::MakeImage;
using GraphicsTest::Plot;
using GraphicsTest::Solid;

namespace
{
class NotAnEngineImage : public IImage
{
public:
    int GetWidth() const override { return 1; }
    int GetHeight() const override { return 1; }
    uint32_t GetPixel(int, int) const override { return 0xFFFFFFFF; }
    void SetSurface(ITexture*) override {}
    ITexture* GetSurface() override { return nullptr; }
};

// Draws on a fresh w x h image and plots it.
template <typename Draw> std::string PlotOf(int w, int h, Draw draw, int answer = 0)
{
    Image image(w, h);
    cImageCanvas canvas(image);
    EXPECT_EQ(draw(canvas), answer);
    return Plot(image);
}
} // namespace

TEST(CircleOffsets, QuadrantsAreEightConnectedAndSymmetric)
{
    for (int doubled = 2; doubled <= 400; ++doubled)
    {
        const auto offsets = ComputeCircleOffsets(doubled);
        ASSERT_FALSE(offsets.empty()) << doubled;
        const float r = float(doubled) * 0.5f;
        EXPECT_EQ(offsets.front().dy, 0) << doubled;
        EXPECT_EQ(offsets.back().dx, 0) << doubled;
        EXPECT_EQ(offsets.front().dx, offsets.back().dy) << doubled;
        std::set<std::pair<int, int>> seen;
        for (size_t i = 0; i < offsets.size(); ++i)
        {
            const auto& o = offsets[i];
            EXPECT_TRUE(seen.insert({o.dx, o.dy}).second) << doubled << " repeats " << o.dx << "," << o.dy;
            EXPECT_LE(std::fabs(std::hypot(float(o.dx), float(o.dy)) - r), 0.75f) << doubled;
            if (i > 0)
            {
                const auto& p = offsets[i - 1];
                EXPECT_LE(std::max(std::abs(o.dx - p.dx), std::abs(o.dy - p.dy)), 1)
                    << doubled << " gap at " << i;
            }
        }
        for (const auto& o : offsets)
            EXPECT_TRUE(seen.count({o.dy, o.dx})) << doubled;
    }
}

TEST(CircleOffsets, SmallRadiiAndLimits)
{
    EXPECT_EQ(ComputeCircleOffsets(6), (std::vector<CircleOffset>{{3, 0}, {3, 1}, {2, 2}, {1, 3}, {0, 3}}));
    EXPECT_EQ(ComputeCircleOffsets(2), (std::vector<CircleOffset>{{1, 0}, {0, 1}}));
    EXPECT_EQ(ComputeCircleOffsets(1), (std::vector<CircleOffset>{{0, 0}}));
    for (int bad : {0, -4, kMaxDoubledRadius + 1})
        EXPECT_TRUE(ComputeCircleOffsets(bad).empty()) << bad;
    EXPECT_EQ(DoubledRadius(2.4f), 5);
    EXPECT_EQ(DoubledRadius(2.2f), 4);
    EXPECT_EQ(DoubledRadius(std::nanf("")), 0);
}

TEST(ImageCanvas, NameBoundsAndInterfaces)
{
    Image image(7, 3);
    cImageCanvas canvas(image);
    NameId name;
    canvas.GetName(name);
    EXPECT_EQ(name, MakeName("ImageCanvas"));
    EXPECT_EQ(canvas.GetBounds(), Rect<int>(0, 0, 7, 3));
    EXPECT_NE(QueryCanvas<IPixelSettingCanvas>(&canvas), nullptr);
    EXPECT_NE(QueryCanvas<IEllipseDrawingCanvas>(&canvas), nullptr);
    EXPECT_EQ(QueryCanvas<ITextDrawingCanvas>(&canvas), nullptr);
    EXPECT_EQ(QueryCanvas<ISpriteDrawingCanvas>(&canvas), nullptr);
    EXPECT_EQ(canvas.DrawTexturedPolygon(&image, 0, 0, nullptr, DrawState()), -2);
}

TEST(ImageCanvas, SetPixelOnlyInsideAndMarksChanges)
{
    Image image(3, 2);
    image.dirty = false;
    const uint64_t version = image.PixelVersion();
    cImageCanvas canvas(image);
    EXPECT_EQ(canvas.SetPixel(3, 0, 0xFFFFFFFF), 0);
    EXPECT_EQ(canvas.SetPixel(-1, 0, 0xFFFFFFFF), 0);
    EXPECT_EQ(Plot(image), "...\n...\n");
    EXPECT_FALSE(image.dirty);
    EXPECT_EQ(image.PixelVersion(), version);
    EXPECT_EQ(canvas.SetPixel(2.9f, 1.2f, 0x11223344), 0);
    EXPECT_EQ(image.GetPixel(2, 1), 0x11223344u);
    EXPECT_EQ(canvas.GetPixel(2.5f, 1.5f), 0x11223344u);
    EXPECT_EQ(canvas.GetPixel(5, 1), 0u);
    EXPECT_TRUE(image.dirty);
    EXPECT_GT(image.PixelVersion(), version);
}

TEST(ImageCanvas, FillsBlendWithoutThresholdOrOverwrite)
{
    auto image = FilledImage(4, 1, 0xFF0000FF);
    cImageCanvas canvas(*image);
    DrawState s = Solid(0xFFFFFFFF, DrawFlag_Blend);
    s.color.a = 0.5f; // byte 127
    EXPECT_EQ(canvas.DrawFilledRect(Rect<int>(0, 0, 1, 1), s), 0);
    // (d * 128 + s * 128) >> 8 per channel, alpha (255 * 128 + 127 * 128) >> 8.
    EXPECT_EQ(image->GetPixel(0, 0), 0xBF7F7FFFu);
    s.color.a = 0.1f; // byte 25: still drawn
    EXPECT_EQ(canvas.DrawFilledRect(Rect<int>(1, 0, 1, 1), s), 0);
    EXPECT_EQ(image->GetPixel(1, 0), BlendPixel(0x19FFFFFF, 0xFF0000FF));
    EXPECT_NE(image->GetPixel(1, 0), 0xFF0000FFu);
    s.flags = 0;
    EXPECT_EQ(canvas.DrawFilledRect(Rect<float>(2.9f, 0.5f, 1.9f, 1.0f), s), 0);
    EXPECT_EQ(image->GetPixel(2, 0), 0x19FFFFFFu);
    EXPECT_EQ(image->GetPixel(3, 0), 0xFF0000FFu);
    // Clip rectangle and bounds both limit; nothing left answers 1.
    s.clipRect = {3, 0, 1, 1};
    EXPECT_EQ(canvas.DrawFilledRect(Rect<int>(0, 0, 3, 1), s), 1);
    EXPECT_EQ(canvas.DrawFilledRect(Rect<int>(-5, -5, 100, 100), s), 0);
    EXPECT_EQ(image->GetPixel(3, 0), 0x19FFFFFFu);
}

TEST(ImageCanvas, DrawsOnlyEngineImagesAndHonoursMirrorsOnlyWhenStretched)
{
    Image image(4, 2);
    cImageCanvas canvas(image);
    NotAnEngineImage other;
    EXPECT_EQ(canvas.DrawImage(&other, 0, 0, DrawState()), 1);
    EXPECT_EQ(canvas.DrawStretchedImage(&other, {0, 0, 2, 2}, DrawState()), 1);
    EXPECT_EQ(canvas.DrawRotatedImage(&other, 0, 0, 1, DrawState()), 1);
    EXPECT_EQ(canvas.DrawImage(nullptr, 0, 0, DrawState()), 1);
    EXPECT_EQ(Plot(image), "....\n....\n");

    auto source = MakeImage(2, 1, {0xFF000001, 0xFF000002}, false);
    DrawState s;
    s.flags = DrawFlag_MirrorX;
    EXPECT_EQ(canvas.DrawImage(source.get(), 0.7f, 0, s), 0);
    EXPECT_EQ(canvas.DrawStretchedImage(source.get(), {0, 1, 4, 1}, s), 0);
    const uint32_t expected[2][3] = {{1, 2, 0}, {2, 2, 1}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(image.GetPixel(x, y), expected[y][x] ? 0xFF000000u | expected[y][x] : 0u)
                << x << "," << y;
}

TEST(ImageCanvas, RotatedImagesComeOnlyFromTheCache)
{
    auto source = MakeImage(3, 1, {0xFF000001, 0xFF000002, 0xFF000003}, false);
    Image image(5, 5);
    cImageCanvas canvas(image);
    EXPECT_EQ(canvas.DrawRotatedImage(source.get(), 2, 2, 1.5707964f, DrawState()), -2);
    EXPECT_EQ(Plot(image), ".....\n.....\n.....\n.....\n.....\n");

    BuildRotationCache(*source, 4);
    EXPECT_EQ(canvas.DrawRotatedImage(source.get(), 2, 2, std::nanf(""), DrawState()), 1);
    EXPECT_EQ(canvas.DrawRotatedImage(source.get(), 2.5f, 2.5f, 1.5707964f, DrawState()), 0);
    // The 90-degree copy (1 wide, 3 tall) centred at (2.5, 2.5): column 2, rows 1 to 3.
    EXPECT_EQ(Plot(image), ".....\n..x..\n..x..\n..x..\n.....\n");
    EXPECT_EQ(image.GetPixel(2, 1), 0xFF000001u);
    EXPECT_EQ(image.GetPixel(2, 3), 0xFF000003u);
}

TEST(ImageCanvas, CircleOutlinesAndDiscs)
{
    const DrawState white = Solid(0xFFFFFFFF);
    // Radius 1 is one pixel, outline or disc.
    EXPECT_EQ(PlotOf(3, 3, [&](cImageCanvas& c) { return c.DrawLineCircle(1, 1, 1, white); }),
              "...\n.x.\n...\n");
    EXPECT_EQ(PlotOf(5, 6, [&](cImageCanvas& c) { return c.DrawFilledCircle(3.7f, 4.2f, 1.2f, white); }),
              ".....\n.....\n.....\n.....\n...x.\n.....\n");
    EXPECT_EQ(PlotOf(3, 3, [&](cImageCanvas& c) { return c.DrawFilledCircle(1, 1, 0.5f, white); }),
              "...\n.x.\n...\n");
    EXPECT_EQ(PlotOf(9, 9, [&](cImageCanvas& c) { return c.DrawLineCircle(4.9f, 4.1f, 3, white); }),
              ".........\n...xxx...\n..x...x..\n.x.....x.\n.x.....x.\n.x.....x.\n..x...x..\n...xxx...\n......"
              "...\n");
    EXPECT_EQ(PlotOf(7, 7, [&](cImageCanvas& c) { return c.DrawFilledCircle(3, 3, 2, white); }),
              ".......\n..xxx..\n.xxxxx.\n.xxxxx.\n.xxxxx.\n..xxx..\n.......\n");
    Image image(3, 1);
    cImageCanvas canvas(image);
    EXPECT_EQ(canvas.DrawLineCircle(1, 0, 1, Solid(0xFFFF0000)), 0);
    EXPECT_EQ(image.GetPixel(1, 0), 0xFFFF0000u);
}

TEST(ImageCanvas, CirclesAndEllipsesThatDrawNothing)
{
    Image image(9, 9);
    image.dirty = false;
    cImageCanvas canvas(image);
    const DrawState white = Solid(0xFFFFFFFF);
    EXPECT_EQ(canvas.DrawLineCircle(4, 4, 3, Solid(0x7FFFFFFF)), 1); // alpha below one half
    EXPECT_EQ(canvas.DrawLineCircle(4, 4, -2, white), 1);
    EXPECT_EQ(canvas.DrawLineCircle(4, 4, 0.2f, white), 1);
    EXPECT_EQ(canvas.DrawLineCircle(-4, 4, 3, white), 1); // wholly left of the canvas
    EXPECT_EQ(canvas.DrawFilledCircle(4, 4, 1e9f, white), 1);
    DrawState clipped = white;
    clipped.clipRect = {0, 0, 2, 2};
    EXPECT_EQ(canvas.DrawLineCircle(6, 6, 3, clipped), 1);
    EXPECT_EQ(canvas.DrawLineEllipse({2, 2, 0, 4}, white), 1);
    EXPECT_EQ(canvas.DrawFilledEllipse({2, 2, 4, -3}, white), 1);
    EXPECT_EQ(canvas.DrawFilledEllipse({2, 2, 0.8f, 0.1f}, white), 1);
    EXPECT_EQ(canvas.DrawLineEllipse({2, 2, 4, 8}, Solid(0x40FFFFFF)), 1);
    EXPECT_EQ(Plot(image), Plot(Image(9, 9)));
    EXPECT_FALSE(image.dirty);
}

TEST(ImageCanvas, EllipsesSqueezeTheLongerSidesCircle)
{
    const DrawState white = Solid(0xFFFFFFFF);
    EXPECT_EQ(PlotOf(11, 5,
                     [&](cImageCanvas& c) {
                         return c.DrawLineEllipse({0, 0, 10, 4}, white);
                     }),
              "...xxxxx...\n.xx.....xx.\nx.........x\n.xx.....xx.\n...xxxxx...\n");
    EXPECT_EQ(PlotOf(11, 5,
                     [&](cImageCanvas& c) {
                         return c.DrawFilledEllipse({0, 0, 10, 4}, white);
                     }),
              "...xxxxx...\n.xxxxxxxxx.\nxxxxxxxxxxx\n.xxxxxxxxx.\n...xxxxx...\n");
    // Sides within half a pixel: the circle of radius w / 2 at (x + w / 2, y + w / 2).
    EXPECT_EQ(PlotOf(9, 9,
                     [&](cImageCanvas& c) {
                         return c.DrawLineEllipse({1, 1, 6, 6.3f}, white);
                     }),
              PlotOf(9, 9, [&](cImageCanvas& c) { return c.DrawLineCircle(4, 4, 3, white); }));
}
