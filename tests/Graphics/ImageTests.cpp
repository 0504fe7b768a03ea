#include "GraphicsTestSupport.h"
#include "Graphics/Image.h"
#include "Graphics/ImageCanvas.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace Kestrin;
using GraphicsTest::MakeImage;

namespace
{
const float kPi = std::acos(-1.0f);

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
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(image.Pixels()[i], 0u);
    image.Pixels()[5] = 7;
    EXPECT_EQ(image.GetPixel(2, 1), 7u);
    EXPECT_EQ(image.GetPixel(3, 1), 0u);
    EXPECT_EQ(image.GetPixel(-1, 0), 0u);
    EXPECT_EQ(image.GetPixel(0, 2), 0u);

    Image empty;
    EXPECT_EQ(empty.GetWidth(), 0);
    EXPECT_FALSE(empty.hasAlpha);
    EXPECT_EQ(empty.GetPixel(0, 0), 0u);
    Image negative(-4, 5);
    EXPECT_EQ(negative.GetWidth(), 0);
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
        EXPECT_EQ(image.GetSurface(), &texture);
        EXPECT_EQ(texture.releasedSurfaces, 1);
        EXPECT_FALSE(image.dirty);
        EXPECT_EQ(image.GetSurface(), &texture);
        EXPECT_EQ(texture.releasedSurfaces, 1);
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
        EXPECT_TRUE(copy->hasAlpha);
        EXPECT_TRUE(copy->hasOneBitAlpha);
        EXPECT_TRUE(copy->dirty);
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

TEST(ImageRotation, QuarterTurnsAreExact)
{
    auto image = Numbered(3, 5);
    auto quarter = CreateRotatedImage(*image, kPi / 2);
    ASSERT_EQ(quarter->GetWidth(), 5);
    ASSERT_EQ(quarter->GetHeight(), 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(quarter->GetPixel(x, y), image->GetPixel(y, 5 - 1 - x));

    auto half = CreateRotatedImage(*image, kPi);
    ASSERT_EQ(half->GetWidth(), 3);
    for (int i = 0; i < 15; ++i)
        EXPECT_EQ(half->Pixels()[i], image->Pixels()[14 - i]);

    auto three = CreateRotatedImage(*image, -kPi / 2);
    ASSERT_EQ(three->GetWidth(), 5);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(three->GetPixel(x, y), image->GetPixel(3 - 1 - y, x));

    auto whole = CreateRotatedImage(*image, 2 * kPi);
    EXPECT_EQ(whole->GetWidth(), 3);
    EXPECT_EQ(whole->GetPixel(2, 4), image->GetPixel(2, 4));
    EXPECT_TRUE(quarter->hasOneBitAlpha);
    EXPECT_TRUE(quarter->dirty);
}

TEST(ImageRotation, OtherAnglesResampleWithTransparentCorners)
{
    auto image = MakeImage(2, 2, {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF});
    auto turned = CreateRotatedImage(*image, Degrees(45));
    ASSERT_EQ(turned->GetWidth(), 3);
    ASSERT_EQ(turned->GetHeight(), 3);
    EXPECT_EQ(turned->GetPixel(0, 0), 0u);
    EXPECT_EQ(turned->GetPixel(2, 0), 0u);
    EXPECT_EQ(turned->GetPixel(0, 2), 0u);
    EXPECT_EQ(turned->GetPixel(2, 2), 0u);
    EXPECT_EQ(turned->GetPixel(1, 1), 0xFFFFFFFFu);
    // A non-finite angle counts as no turn at all.
    auto same = CreateRotatedImage(*image, std::numeric_limits<float>::infinity());
    EXPECT_EQ(same->GetWidth(), 2);
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
    {
        EXPECT_NE(cache->images[size_t(i)], nullptr);
        EXPECT_TRUE(cache->owned[size_t(i)]);
    }
    EXPECT_EQ(GetRotatedImage(*image, Degrees(44)), image.get());
    EXPECT_EQ(GetRotatedImage(*image, Degrees(-1)), image.get());
    Image* quarter = GetRotatedImage(*image, Degrees(46));
    EXPECT_EQ(quarter, cache->images[1]);
    EXPECT_EQ(quarter->GetWidth(), 5);
    EXPECT_EQ(quarter->GetPixel(0, 0), image->GetPixel(0, 4));
    EXPECT_EQ(GetRotatedImage(*image, Degrees(181))->GetPixel(0, 0), image->GetPixel(2, 4));
    EXPECT_EQ(GetRotatedImage(*image, Degrees(-89)), cache->images[3]);
    EXPECT_EQ(cache->images[3]->GetWidth(), 5);
}

TEST(ImageRotation, NoCacheForOneStepOrNone)
{
    auto image = Numbered(2, 2);
    BuildRotationCache(*image, 1);
    EXPECT_EQ(image->GetRotationCache(), nullptr);
    BuildRotationCache(*image, 0);
    EXPECT_EQ(GetRotatedImage(*image, 1.0f), nullptr);
}

TEST(ImageRotation, StrangeAnglesEndAndGiveAValidEntry)
{
    auto image = Numbered(3, 5);
    BuildRotationCache(*image, 8);
    for (float angle : {std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(),
                        std::numeric_limits<float>::quiet_NaN(), 1e7f, -1e30f})
    {
        Image* entry = GetRotatedImage(*image, angle);
        ASSERT_NE(entry, nullptr);
        bool known = false;
        for (Image* cached : image->GetRotationCache()->images)
            known |= cached == entry;
        EXPECT_TRUE(known) << angle;
    }
    EXPECT_EQ(GetRotatedImage(*image, std::numeric_limits<float>::quiet_NaN()), image.get());
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
