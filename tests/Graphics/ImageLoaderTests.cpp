#include "Graphics/ImageLoader.h"
#include "GraphicsTestSupport.h"
#include "harness/LogCapture.h"

#include <gtest/gtest.h>

#include <png.h>

using namespace Kestrin;
using namespace GraphicsTest;

namespace
{
// An RGBA PNG of w x h whose pixel i is (i, 2i, 3i) with alpha 200.
std::vector<uint8_t> ColourPng(int w, int h)
{
    PngLayout layout;
    layout.width = w;
    layout.height = h;
    layout.colorType = PNG_COLOR_TYPE_RGB_ALPHA;
    for (int i = 0; i < w * h; ++i)
        layout.samples.insert(layout.samples.end(), {uint16_t(i), uint16_t(2 * i), uint16_t(3 * i), 200});
    return WritePng(layout);
}

// An opaque RGB PNG whose blue channel is `blue` (the mask value of a PNG mask).
std::vector<uint8_t> MaskPng(int w, int h, uint8_t blue)
{
    PngLayout layout;
    layout.width = w;
    layout.height = h;
    layout.colorType = PNG_COLOR_TYPE_RGB;
    for (int i = 0; i < w * h; ++i)
        layout.samples.insert(layout.samples.end(), {77, 66, blue});
    return WritePng(layout);
}

// A GIF of w x h in one palette colour.
std::vector<uint8_t> FlatGif(int w, int h, std::vector<uint8_t> colour, int transparentIndex = -1)
{
    GifLayout layout;
    layout.screenW = layout.width = w;
    layout.screenH = layout.height = h;
    colour.insert(colour.end(), {0, 0, 0});
    layout.globalTable = colour;
    layout.indices.assign(size_t(w) * size_t(h), 0);
    layout.indices.back() = 1;
    layout.transparentIndex = transparentIndex;
    return BuildGif(layout);
}
} // namespace

TEST(LoadImage, GifComesFirstThenJpegThenPng)
{
    Files files;
    files.bytes[L"pic.png"] = ColourPng(2, 2);
    files.bytes[L"pic.jpg"] = WriteJpeg(2, 2, 1, {10, 10, 10, 10}, false);
    files.bytes[L"pic.gif"] = FlatGif(3, 1, {1, 2, 3}, 1);
    Image image;
    ASSERT_EQ(LoadImage(L"pic", image, files.Opener()), &image);
    EXPECT_EQ(image.GetWidth(), 3);
    EXPECT_EQ(image.GetPixel(0, 0), 0xFF010203u);
    EXPECT_EQ(image.GetPixel(2, 0), 0x00000000u);
    EXPECT_TRUE(image.hasAlpha);
    EXPECT_TRUE(image.hasOneBitAlpha);

    files.bytes.erase(L"pic.gif");
    ASSERT_TRUE(LoadImage(L"pic", image, files.Opener()));
    EXPECT_EQ(image.GetWidth(), 2);
    EXPECT_EQ(image.GetPixel(1, 1) >> 24, 0xFFu);
    EXPECT_NEAR(int(image.GetPixel(1, 1) & 0xFF), 10, 2);
    EXPECT_FALSE(image.hasAlpha);
    EXPECT_FALSE(image.hasOneBitAlpha);

    files.bytes.erase(L"pic.jpg");
    ASSERT_TRUE(LoadImage(L"pic", image, files.Opener()));
    EXPECT_EQ(image.GetPixel(1, 1), 0xC8030609u);
    EXPECT_TRUE(image.hasAlpha);
    EXPECT_FALSE(image.hasOneBitAlpha);

    // A GIF without transparency has no alpha at all.
    files.bytes[L"pic.gif"] = FlatGif(3, 1, {1, 2, 3});
    ASSERT_TRUE(LoadImage(L"pic", image, files.Opener()));
    EXPECT_FALSE(image.hasAlpha);
}

TEST(LoadImage, MaskAlphaFromTheFirstMaskThatFits)
{
    Files files;
    files.bytes[L"x.png"] = ColourPng(2, 1);
    files.bytes[L"x_mask.gif"] = FlatGif(2, 1, {10, 20, 33});
    files.bytes[L"x_mask.png"] = MaskPng(2, 1, 99);
    Image image;
    ASSERT_TRUE(LoadImage(L"x", image, files.Opener()));
    // The GIF mask wins and gives the colour mean; the colours stay the PNG's.
    EXPECT_EQ(image.GetPixel(0, 0), 0x15000000u);
    EXPECT_EQ(image.GetPixel(1, 0), 0x00010203u);
    EXPECT_TRUE(image.hasAlpha);
    EXPECT_FALSE(image.hasOneBitAlpha);

    files.bytes.erase(L"x_mask.gif");
    ASSERT_TRUE(LoadImage(L"x", image, files.Opener()));
    EXPECT_EQ(image.GetPixel(1, 0), 0x63010203u);

    // A JPEG mask gives its blue byte; a masked GIF loses its one-bit alpha.
    files.bytes.erase(L"x_mask.png");
    files.bytes[L"x_mask.jpg"] = WriteJpeg(3, 1, 1, {128, 128, 128}, false, 100);
    files.bytes[L"x.gif"] = FlatGif(3, 1, {1, 2, 3}, 1);
    ASSERT_TRUE(LoadImage(L"x", image, files.Opener()));
    EXPECT_NEAR(int(image.GetPixel(2, 0) >> 24), 128, 2);
    EXPECT_EQ(image.GetPixel(0, 0) & 0xFFFFFF, 0x010203u);
    EXPECT_TRUE(image.hasAlpha);
    EXPECT_FALSE(image.hasOneBitAlpha);
    EXPECT_EQ(files.opened.back(), L"x_mask.jpg");
}

TEST(LoadImage, BadMasksAreReportedAndIgnored)
{
    KestrinTest::LogCapture log;
    Files files;
    files.bytes[L"big.png"] = ColourPng(10, 10);
    files.bytes[L"big_mask.png"] = MaskPng(10, 9, 5);
    Image image;
    ASSERT_TRUE(LoadImage(L"big", image, files.Opener()));
    EXPECT_EQ(log.Text(), "Image big had an alpha mask that was the wrong size.\n");
    EXPECT_EQ(image.GetPixel(3, 0) >> 24, 200u);
    EXPECT_TRUE(image.hasAlpha);

    // An undecodable mask logs both lines, then the next mask is tried.
    KestrinTest::LogCapture second;
    files.bytes[L"m.png"] = ColourPng(2, 1);
    files.bytes[L"m_mask.gif"] = {'G', 'I', 'F', '8', '9', 'a', 1};
    files.bytes[L"m_mask.png"] = MaskPng(2, 1, 7);
    ASSERT_TRUE(LoadImage(L"m", image, files.Opener()));
    EXPECT_EQ(second.Text(), "Image Mask m could not be loaded.\n"
                             "Image m had an alpha mask that was the wrong size.\n");
    EXPECT_EQ(image.GetPixel(0, 0) >> 24, 7u);
}

TEST(LoadImage, MissingOrBrokenImagesAreReportedAndLeaveTheImage)
{
    KestrinTest::LogCapture log;
    Files files;
    Image image;
    EXPECT_EQ(LoadImage(L"Nowhere", image, files.Opener()), nullptr);
    EXPECT_EQ(files.opened, (std::vector<std::wstring>{L"Nowhere.gif", L"Nowhere.jpg", L"Nowhere.png"}));
    files.bytes[L"broken.jpg"] = {0xFF, 0xD8, 0xFF, 0x00, 1, 2, 3};
    EXPECT_EQ(LoadImage(L"broken", image, files.Opener()), nullptr);
    files.bytes[L"b\u00e9.png"] = {1, 2, 3};
    EXPECT_EQ(LoadImage(L"b\u00e9", image, files.Opener()), nullptr);
    const std::string text = log.Text();
    EXPECT_EQ(text.rfind("Image Nowhere was not found.\n", 0), 0u) << text;
    EXPECT_NE(text.find("Image broken could not be loaded.\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Image b\xc3\xa9 could not be loaded.\n"), std::string::npos) << text;
    EXPECT_EQ(image.GetWidth(), 0);
    EXPECT_EQ(image.GetHeight(), 0);
    EXPECT_FALSE(image.hasAlpha);
}

TEST(LoadImage, ReplacesPixelsAndDropsTheRotationCache)
{
    Files files;
    files.bytes[L"r.png"] = ColourPng(2, 3);
    auto image = MakeImage(4, 4, {});
    BuildRotationCache(*image, 4);
    image->dirty = false;
    const uint64_t version = image->PixelVersion();
    ASSERT_TRUE(LoadImage(L"r", *image, files.Opener()));
    EXPECT_EQ(image->GetRotationCache(), nullptr);
    EXPECT_TRUE(image->dirty);
    EXPECT_GT(image->PixelVersion(), version);
    EXPECT_EQ(image->GetHeight(), 3);
}

TEST(LoadImage, UsesTheInstalledOpener)
{
    KestrinTest::LogCapture log;
    Image image;
    SetImageFileOpener(nullptr);
    EXPECT_EQ(LoadImage(L"none", image), nullptr);
    EXPECT_EQ(log.Text(), "Image none was not found.\n");

    static Files files;
    files.bytes[L"installed.png"] = ColourPng(1, 1);
    SetImageFileOpener(files.Opener());
    EXPECT_EQ(LoadImage(L"installed", image), &image);
    EXPECT_EQ(image.GetWidth(), 1);
    SetImageFileOpener(nullptr);
}
