// Brush pieces put together as the engine draws them, and the effects drawn around shapes.
#include "Brush.h"
#include "Paint.h"
#include "Writers.h"

#include "Base/Stream.h"
#include "Graphics/Image.h"
#include "Graphics/ImageLoader.h"

#include <gtest/gtest.h>

#include <memory>

using namespace DataGen;

namespace
{
Canvas Flat(int w, int h, Rgba c)
{
    Canvas out(w, h);
    out.Fill(c);
    return out;
}

const Rgba Red{1, 0, 0, 1}, Green{0, 1, 0, 1}, Blue{0, 0, 1, 1};
} // namespace

TEST(Brushes, ThreeSliceRepeatsTheMiddleAndCropsTheLastCopy)
{
    // Middle piece: green with a blue last column, so a cropped copy shows.
    Canvas middle = Flat(4, 2, Green);
    for (int y = 0; y < 2; ++y)
        middle.Put(3, y, Blue);
    const Canvas out = AssembleThree(Flat(3, 2, Red), middle, Flat(2, 2, Red), 14);
    ASSERT_EQ(out.Width(), 14);
    // 0-2 cap, 3-6 and 7-10 whole copies, 11 a cropped copy's first column, 12-13 cap.
    const char* expected = "RRRGGGBGGGBGRR";
    for (int x = 0; x < 14; ++x)
    {
        const Rgba p = out.At(x, 1);
        const char got = p.r > 0.5f ? 'R' : (p.g > 0.5f ? 'G' : 'B');
        EXPECT_EQ(got, expected[x]) << "column " << x;
    }
}

TEST(Brushes, NineSliceKeepsTheCornersAndTilesTheRest)
{
    std::vector<Canvas> pieces;
    for (int i = 0; i < 9; ++i)
        pieces.push_back(Flat(2, 3, i == 4 ? Green : (i % 2 == 0 ? Red : Blue)));
    const Canvas out = AssembleNine(pieces, 7, 10);
    // Corners red, edges blue, the centre green; the bottom row sits on the bottom edge.
    EXPECT_GT(out.At(0, 0).r, 0.5f);
    EXPECT_GT(out.At(6, 9).r, 0.5f);
    EXPECT_GT(out.At(3, 0).b, 0.5f);
    EXPECT_GT(out.At(0, 5).b, 0.5f);
    EXPECT_GT(out.At(3, 5).g, 0.5f);
    EXPECT_GT(out.At(3, 6).g, 0.5f) << "second middle row, cropped above the bottom row";
    EXPECT_GT(out.At(3, 8).b, 0.5f) << "bottom edge";
    EXPECT_THROW(SliceNine(Flat(10, 9, Red), 3), std::invalid_argument);
    const auto nine = SliceNine(Flat(9, 9, Red), 3);
    ASSERT_EQ(nine.size(), 9u);
    EXPECT_EQ(nine[8].Width(), 3);
}

TEST(Brushes, EffectsStayOnTheirSideOfTheOutline)
{
    const Sdf disc = CircleSdf({20, 20}, 10);
    Canvas glow(40, 40), inner(40, 40), shadow(40, 40), dashed(40, 40), solid(40, 40);
    Glow(glow, disc, 6.0, Red);
    InnerShadow(inner, disc, {0, 3}, 1.5, Red);
    DropShadow(shadow, disc, {0, 4}, 2.0, Red);
    Outline(solid, disc, 2.0, Red, 4.0);
    DashedOutline(
        dashed, disc, [](Vec2 p) { return p.x + p.y; }, 6.0, 0.5, 2.0, Red, 4.0);
    // The glow lies outside the disc and fades out; the inner shadow inside, on the top.
    EXPECT_EQ(glow.At(20, 20).a, 0.0f);
    EXPECT_GT(glow.At(20, 7).a, 0.2f);
    EXPECT_EQ(glow.At(20, 2).a, 0.0f);
    EXPECT_GT(inner.At(20, 11).a, 0.5f);
    EXPECT_LT(inner.At(20, 28).a, 0.05f);
    EXPECT_EQ(inner.At(20, 5).a, 0.0f);
    // The shadow is moved down: more of it below the disc than above.
    EXPECT_GT(shadow.At(20, 33).a, shadow.At(20, 7).a + 0.3f);
    // A ring 2 px wide whose outer edge is 4 px out: radius 12..14.
    EXPECT_GT(solid.At(20, 7).a, 0.9f);
    EXPECT_EQ(solid.At(20, 9).a, 0.0f);
    EXPECT_EQ(solid.At(20, 4).a, 0.0f);
    // Dashes at half duty cover about half of the ring.
    double ring = 0.0, dashes = 0.0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
        {
            ring += solid.At(x, y).a;
            dashes += dashed.At(x, y).a;
        }
    EXPECT_NEAR(dashes / ring, 0.5, 0.08);
}

TEST(Brushes, AJpegAndItsMaskLoadAsOnePictureWithAlpha)
{
    Canvas picture(40, 30);
    FillShape(picture, CircleSdf({20, 15.5}, 11.5), Solid(Hex("#F0766B")));
    const Resource r = JpegWithMask("hero_test", picture, Palette::Paper);
    ASSERT_EQ(r.frames.size(), 1u);
    ASSERT_EQ(r.companions.size(), 1u);
    EXPECT_EQ(r.frames[0].format, Format::Jpeg);
    EXPECT_EQ(r.companions[0].stem, "hero_test_mask");
    const Bytes jpg = EncodeJpeg(r.frames[0].canvas), mask = EncodePng(r.companions[0].canvas);
    // Through the engine's loader, which finds the mask by name.
    const Kestrin::ImageFileOpener opener = [&](const std::wstring& name, const std::wstring& ext)
    {
        std::shared_ptr<Kestrin::IStream> s;
        if (name == L"hero_test" && ext == L".jpg")
            s = std::make_shared<Kestrin::MemoryStream>(L"hero_test.jpg", jpg.data(), uint32_t(jpg.size()));
        if (name == L"hero_test_mask" && ext == L".png")
            s = std::make_shared<Kestrin::MemoryStream>(L"hero_test_mask.png", mask.data(),
                                                        uint32_t(mask.size()));
        return s;
    };
    Kestrin::Image image;
    ASSERT_NE(Kestrin::LoadImage(L"hero_test", image, opener), nullptr);
    ASSERT_EQ(image.GetWidth(), 40);
    const uint32_t centre = image.GetPixel(20, 15), corner = image.GetPixel(1, 1);
    EXPECT_EQ(centre >> 24, 0xFFu);
    EXPECT_EQ(corner >> 24, 0u);
    EXPECT_NEAR(int((centre >> 16) & 0xFF), 0xF0, 12) << "JPEG";
    EXPECT_NEAR(int(image.GetPixel(31, 15) >> 24), 128, 2) << "the edge pixel, half covered";
}
