#include "Graphics/Image.h"
#include "Graphics/ImageCanvas.h"
#include "GraphicsTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

using namespace Kestrin;
using GraphicsTest::MakeImage;

namespace
{
const float kPi = std::acos(-1.0f);
constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

float Degrees(float d)
{
    return d * kPi / 180.0f;
}

std::unique_ptr<Image> Numbered(int w, int h)
{
    std::vector<uint32_t> pixels;
    for (int i = 0; i < w * h; ++i)
        pixels.push_back(0xFF000000u | uint32_t(i + 1));
    return MakeImage(w, h, pixels, true, true);
}

class CountingTexture : public ITexture
{
public:
    int refs = 1;
    int releasedSurfaces = 0;
    void AddRef() override { ++refs; }
    void Release() override { --refs; }
    const Rect<int>* GetSourceRect() override { return nullptr; }
    IImage* GetImage() override { return nullptr; }
    void ReleaseSurface() override { ++releasedSurfaces; }
};
} // namespace

TEST(Image, NewImagesAndPixelReads)
{
    Image image(3, 2);
    EXPECT_EQ(image.GetWidth(), 3);
    EXPECT_EQ(image.GetHeight(), 2);
    EXPECT_TRUE(image.hasAlpha);
    EXPECT_FALSE(image.hasOneBitAlpha);
    EXPECT_TRUE(image.dirty);
    EXPECT_EQ(image.GetRotationCache(), nullptr);
    EXPECT_TRUE(std::all_of(image.Pixels(), image.Pixels() + 6, [](uint32_t p) { return p == 0; }));
    image.Pixels()[5] = 7;
    EXPECT_EQ(image.GetPixel(2, 1), 7u);
    for (auto [x, y] : {std::pair{3, 1}, {-1, 0}, {0, 2}})
        EXPECT_EQ(image.GetPixel(x, y), 0u) << x << "," << y;

    Image empty;
    EXPECT_EQ(empty.GetWidth(), 0);
    EXPECT_FALSE(empty.hasAlpha);
    EXPECT_EQ(empty.GetPixel(0, 0), 0u);
    EXPECT_EQ(Image(-4, 5).GetWidth(), 0);
}

TEST(Image, SurfaceIsCountedAndRefreshedWhenDirty)
{
    CountingTexture texture;
    {
        Image image(1, 1);
        EXPECT_EQ(image.GetSurface(), nullptr);
        EXPECT_TRUE(image.dirty); // no surface: left as it was
        image.SetSurface(&texture);
        EXPECT_EQ(texture.refs, 2);
        for (int get = 0; get < 2; ++get) // refreshed once, while dirty
        {
            EXPECT_EQ(image.GetSurface(), &texture);
            EXPECT_EQ(texture.releasedSurfaces, 1);
            EXPECT_FALSE(image.dirty);
        }
        Graphics::cImageCanvas canvas(image);
        canvas.SetPixel(0, 0, 1);
        EXPECT_EQ(image.GetSurface(), &texture);
        EXPECT_EQ(texture.releasedSurfaces, 2);
    }
    EXPECT_EQ(texture.refs, 1);
}

TEST(Image, ClonesAndMirrorsCopyFlagsButNotSurfaceOrCache)
{
    auto image = Numbered(3, 2);
    CountingTexture texture;
    image->SetSurface(&texture);
    image->GetSurface();
    BuildRotationCache(*image, 4);
    for (const auto& copy : {image->Clone(), CreateMirroredImage(*image)})
    {
        EXPECT_TRUE(copy->hasAlpha && copy->hasOneBitAlpha && copy->dirty);
        EXPECT_EQ(copy->GetSurface(), nullptr);
        EXPECT_EQ(copy->GetRotationCache(), nullptr);
        EXPECT_EQ(copy->GetWidth(), 3);
    }
    auto mirror = CreateMirroredImage(*image);
    EXPECT_EQ(mirror->GetPixel(0, 0), 0xFF000003u);
    EXPECT_EQ(mirror->GetPixel(2, 1), 0xFF000004u);
    EXPECT_EQ(image->Clone()->GetPixel(1, 1), 0xFF000005u);
    image.reset();
    EXPECT_EQ(texture.refs, 1);
}

TEST(ImageRotation, QuarterTurnsAreExactOtherAnglesResample)
{
    auto image = Numbered(3, 5);
    // Where each turn takes the pixel at (x, y) of the result from.
    const struct
    {
        float angle;
        int w;
        std::pair<int, int> (*from)(int x, int y);
    } turns[] = {
        {kPi / 2, 5,
         [](int x, int y) {
             return std::pair{y, 4 - x};
         }},
        {kPi, 3,
         [](int x, int y) {
             return std::pair{2 - x, 4 - y};
         }},
        {-kPi / 2, 5,
         [](int x, int y) {
             return std::pair{2 - y, x};
         }},
        {2 * kPi, 3,
         [](int x, int y) {
             return std::pair{x, y};
         }},
        {kInf, 3,
         [](int x, int y) {
             return std::pair{x, y};
         }}, // a non-finite angle is no turn
    };
    for (const auto& turn : turns)
    {
        auto turned = CreateRotatedImage(*image, turn.angle);
        ASSERT_EQ(turned->GetWidth(), turn.w) << turn.angle;
        ASSERT_EQ(turned->GetHeight(), 15 / turn.w) << turn.angle;
        for (int y = 0; y < turned->GetHeight(); ++y)
            for (int x = 0; x < turn.w; ++x)
            {
                const auto [fx, fy] = turn.from(x, y);
                EXPECT_EQ(turned->GetPixel(x, y), image->GetPixel(fx, fy))
                    << turn.angle << " at " << x << "," << y;
            }
        EXPECT_TRUE(turned->hasOneBitAlpha && turned->dirty);
    }

    auto white = MakeImage(2, 2, {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF});
    auto diamond = CreateRotatedImage(*white, Degrees(45));
    ASSERT_EQ(diamond->GetWidth(), 3);
    ASSERT_EQ(diamond->GetHeight(), 3);
    for (auto [x, y] : {std::pair{0, 0}, {2, 0}, {0, 2}, {2, 2}})
        EXPECT_EQ(diamond->GetPixel(x, y), 0u) << x << "," << y;
    EXPECT_EQ(diamond->GetPixel(1, 1), 0xFFFFFFFFu);
}

TEST(ImageRotation, CacheServesTheNearestStep)
{
    auto image = Numbered(3, 5);
    BuildRotationCache(*image, 4);
    ImageRotationCache* cache = image->GetRotationCache();
    ASSERT_NE(cache, nullptr);
    EXPECT_EQ(cache->count, 4);
    EXPECT_EQ(cache->images[0], image.get());
    EXPECT_FALSE(cache->owned[0]);
    for (int i = 1; i < 4; ++i)
        EXPECT_TRUE(cache->images[size_t(i)] && cache->owned[size_t(i)]) << i;
    EXPECT_EQ(GetRotatedImage(*image, Degrees(44)), image.get());
    EXPECT_EQ(GetRotatedImage(*image, Degrees(-1)), image.get());
    Image* quarter = GetRotatedImage(*image, Degrees(46));
    EXPECT_EQ(quarter, cache->images[1]);
    EXPECT_EQ(quarter->GetWidth(), 5);
    EXPECT_EQ(quarter->GetPixel(0, 0), image->GetPixel(0, 4));
    EXPECT_EQ(GetRotatedImage(*image, Degrees(181))->GetPixel(0, 0), image->GetPixel(2, 4));
    EXPECT_EQ(GetRotatedImage(*image, Degrees(-89)), cache->images[3]);
    EXPECT_EQ(cache->images[3]->GetWidth(), 5);

    // One step or none makes no cache.
    auto small = Numbered(2, 2);
    BuildRotationCache(*small, 1);
    EXPECT_EQ(small->GetRotationCache(), nullptr);
    BuildRotationCache(*small, 0);
    EXPECT_EQ(GetRotatedImage(*small, 1.0f), nullptr);
}

TEST(ImageRotation, StrangeAnglesEndAndGiveAValidEntry)
{
    auto image = Numbered(3, 5);
    BuildRotationCache(*image, 8);
    const auto& cached = image->GetRotationCache()->images;
    for (float angle : {kInf, -kInf, kNaN, 1e7f, -1e30f})
    {
        Image* entry = GetRotatedImage(*image, angle);
        ASSERT_NE(entry, nullptr);
        EXPECT_NE(std::find(cached.begin(), cached.end(), entry), cached.end()) << angle;
    }
    EXPECT_EQ(GetRotatedImage(*image, kNaN), image.get());
}

TEST(ImageRotation, ChangedPixelsRebuildTheCopiesOnce)
{
    auto image = Numbered(3, 5);
    BuildRotationCache(*image, 4);
    Image* before = GetRotatedImage(*image, kPi / 2);
    EXPECT_EQ(GetRotatedImage(*image, kPi / 2), before); // unchanged: nothing rebuilt
    EXPECT_EQ(before->GetPixel(0, 0), 0xFF00000Du);

    Graphics::cImageCanvas canvas(*image);
    canvas.SetPixel(0, 4, 0xFFABCDEF);
    Image* after = GetRotatedImage(*image, kPi / 2);
    ASSERT_NE(after, nullptr);
    EXPECT_EQ(after->GetPixel(0, 0), 0xFFABCDEFu);
    EXPECT_EQ(GetRotatedImage(*image, kPi / 2), after);
    // Entries of other steps were dropped too and come back on demand.
    EXPECT_EQ(image->GetRotationCache()->images[2], nullptr);
    EXPECT_EQ(GetRotatedImage(*image, kPi)->GetPixel(2, 0), 0xFFABCDEFu);
}
