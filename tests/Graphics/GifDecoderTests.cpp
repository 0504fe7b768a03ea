#include "Graphics/ImageDecoders.h"
#include "GraphicsTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using namespace Kestrin;
using namespace GraphicsTest;

namespace
{
// Four colours: black, red, green, blue.
const std::vector<uint8_t> kFourColours{0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255};

struct Decoded
{
    std::unique_ptr<uint32_t[]> pixels;
    int width = -7, height = -7;
    bool transparency = false;
    int frameCount = -1;
    GifFrameList list;
};

Decoded Decode(const std::vector<uint8_t>& bytes)
{
    Decoded d;
    MemoryStream stream(L"gif", bytes.data(), uint32_t(bytes.size()));
    d.pixels = DecodeGif(stream, d.width, d.height, d.transparency, d.frameCount, d.list);
    return d;
}

std::vector<uint32_t> Pixels(const Decoded& d)
{
    EXPECT_TRUE(d.pixels);
    return d.pixels ? std::vector<uint32_t>(d.pixels.get(), d.pixels.get() + d.width * d.height)
                    : std::vector<uint32_t>{};
}

GifLayout FourByTwo()
{
    GifLayout layout;
    layout.screenW = layout.width = 4;
    layout.screenH = layout.height = 2;
    layout.globalTable = kFourColours;
    layout.indices = {0, 1, 2, 3, 3, 2, 1, 0};
    return layout;
}

// A stream whose reads fail after `limit` bytes while it never reports its end.
class FailingStream : public MemoryStream
{
public:
    FailingStream(const std::vector<uint8_t>& bytes, uint32_t limit)
        : MemoryStream(L"failing", bytes.data(), uint32_t(bytes.size())), m_limit(limit)
    {
    }
    uint32_t GetCapabilities() const override { return CanRead; }
    bool IsEOF() override { return false; }
    uint32_t Read(void* buffer, uint32_t count) override
    {
        if (Tell() + count > m_limit)
            return 0;
        return MemoryStream::Read(buffer, count);
    }

private:
    uint32_t m_limit;
};
} // namespace

TEST(GifDecoder, TransparentIndexFromTheGraphicControlAndOnlyTheFirstImage)
{
    GifLayout layout = FourByTwo();
    layout.transparentIndex = 3;
    layout.delay = 7;
    layout.secondImage = true;
    Decoded d = Decode(BuildGif(layout));
    EXPECT_EQ(d.width, 4);
    EXPECT_EQ(d.height, 2);
    EXPECT_TRUE(d.transparency);
    EXPECT_EQ(Pixels(d), (std::vector<uint32_t>{0xFF000000, 0xFFFF0000, 0xFF00FF00, 0x000000FF, 0x000000FF,
                                                0xFF00FF00, 0xFFFF0000, 0xFF000000}));
    ASSERT_EQ(d.frameCount, 1);
    const GifFrame& frame = *d.list.frames[0];
    EXPECT_EQ(frame.transparentIndex, 3);
    EXPECT_EQ(frame.delayMs, 70);
    EXPECT_EQ(frame.disposeFlag, 1);
    EXPECT_EQ(frame.bits, 2);
    EXPECT_EQ(frame.stride, 4);
    EXPECT_EQ(d.list.screenWidth, 4);
    EXPECT_EQ(d.list.reserved, 0);
    FreeGifFrames(d.list);
    EXPECT_TRUE(d.list.frames.empty());

    layout.gif89 = false;
    layout.transparentIndex = -1;
    Decoded plain = Decode(BuildGif(layout));
    EXPECT_FALSE(plain.transparency);
    EXPECT_EQ(Pixels(plain)[3], 0xFF0000FFu);
    EXPECT_EQ(plain.list.frames[0]->transparentIndex, -1);

    layout.controlWithoutTransparency = true;
    Decoded control = Decode(BuildGif(layout));
    EXPECT_FALSE(control.transparency);
    EXPECT_EQ(control.list.frames[0]->disposeFlag, 0);
}

TEST(GifDecoder, RefusesWrongSignaturesAndHugeScreens)
{
    std::vector<uint8_t> bytes = BuildGif(FourByTwo());
    bytes[1] = 'X';
    Decoded d = Decode(bytes);
    EXPECT_FALSE(d.pixels);
    EXPECT_EQ(d.width, -7); // the size is left alone
    EXPECT_EQ(d.height, -7);
    EXPECT_EQ(d.frameCount, 0);
    // Only "GI" is looked at.
    bytes[1] = 'I';
    bytes[2] = 'X';
    bytes[4] = '0';
    EXPECT_TRUE(Decode(bytes).pixels);

    GifLayout layout = FourByTwo();
    layout.screenW = layout.screenH = 65535;
    Decoded huge = Decode(BuildGif(layout));
    EXPECT_FALSE(huge.pixels);
    EXPECT_EQ(huge.frameCount, 0);
    layout.screenW = 0;
    EXPECT_FALSE(Decode(BuildGif(layout)).pixels);
}

TEST(GifDecoder, GreyWithoutAColourTableAndLocalTablesWin)
{
    GifLayout layout = FourByTwo();
    layout.globalTable.clear();
    layout.tableBitsWithoutTable = 2;
    const auto grey = Pixels(Decode(BuildGif(layout)));
    EXPECT_EQ(grey[2], 0xFF020202u);
    EXPECT_EQ(grey[3], 0xFF030303u);

    layout.globalTable = kFourColours;
    layout.localTable = {9, 9, 9, 10, 20, 30, 40, 50, 60, 70, 80, 90, 1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4};
    Decoded local = Decode(BuildGif(layout));
    EXPECT_EQ(Pixels(local)[1], 0xFF0A141Eu);
    EXPECT_EQ(local.list.frames[0]->bits, 3);
}

TEST(GifDecoder, SmallImageSitsOnATransparentScreen)
{
    GifLayout layout;
    layout.screenW = layout.screenH = 4;
    layout.left = layout.top = 1;
    layout.width = layout.height = 2;
    layout.globalTable = kFourColours;
    layout.indices = {1, 2, 3, 1};
    Decoded d = Decode(BuildGif(layout));
    EXPECT_TRUE(d.transparency);
    const uint32_t r = 0xFFFF0000, g = 0xFF00FF00, b = 0xFF0000FF;
    EXPECT_EQ(Pixels(d), (std::vector<uint32_t>{0, 0, 0, 0, 0, r, g, 0, 0, b, r, 0, 0, 0, 0, 0}));
    // An image reaching past the screen is cut to it.
    layout.left = 3;
    EXPECT_EQ(Pixels(Decode(BuildGif(layout))),
              (std::vector<uint32_t>{0, 0, 0, 0, 0, 0, 0, r, 0, 0, 0, b, 0, 0, 0, 0}));
}

TEST(GifCodeStream, DecodesTheKnownVectorAndUndefinedCodes)
{
    const auto data = PackGifCodes({4, 0, 1, 6, 8, 5}, 2);
    std::vector<uint8_t> indices(8, 0xEE);
    // Full after code 8 (widths 3, 3, 3, 3, 4): the end code is not read.
    EXPECT_EQ(DecodeGifCodeStream(2, data.data(), data.size(), indices.data(), 8, 7, 1, false), 3 * 4 + 4);
    EXPECT_EQ(indices, (std::vector<uint8_t>{0, 1, 0, 1, 0, 1, 0, 0xEE}));
    // One pixel more: the end code comes first and ends the decode with success.
    EXPECT_EQ(DecodeGifCodeStream(2, data.data(), data.size(), indices.data(), 8, 8, 1, false),
              3 * 4 + 4 * 2);
    EXPECT_EQ(indices[7], 0xEE);
}

TEST(GifCodeStream, EarlyEndSucceedsTruncatedDataFails)
{
    const auto data = PackGifCodes({4, 1, 1, 5}, 2);
    std::vector<uint8_t> indices(6, 0);
    EXPECT_GT(DecodeGifCodeStream(2, data.data(), data.size(), indices.data(), 6, 6, 1, false), 0);
    EXPECT_EQ(indices, (std::vector<uint8_t>{1, 1, 0, 0, 0, 0}));

    // No end code and too few codes: the data runs out; nothing past it is read.
    const auto cut = PackGifCodes({4, 1, 2, 3, 1}, 2);
    std::vector<uint8_t> exact(cut.begin(), cut.end());
    std::vector<uint8_t> out(100, 0);
    EXPECT_EQ(DecodeGifCodeStream(2, exact.data(), exact.size(), out.data(), 10, 10, 10, false), 0);
    EXPECT_EQ(out[0], 1);
    EXPECT_EQ(out[3], 1);
    EXPECT_EQ(DecodeGifCodeStream(2, exact.data(), 0, out.data(), 10, 10, 10, false), 0);
}

TEST(GifCodeStream, RefusesBadSizes)
{
    const auto data = PackGifCodes({4, 1, 5}, 2);
    std::vector<uint8_t> indices(4, 0);
    EXPECT_EQ(DecodeGifCodeStream(0, data.data(), data.size(), indices.data(), 4, 4, 1, false), 0);
    EXPECT_EQ(DecodeGifCodeStream(12, data.data(), data.size(), indices.data(), 4, 4, 1, false), 0);
    EXPECT_EQ(DecodeGifCodeStream(2, data.data(), data.size(), indices.data(), 4, 0, 1, false), 0);
    EXPECT_EQ(DecodeGifCodeStream(2, data.data(), data.size(), indices.data(), 2, 4, 1, false), 0);

    // In a file, a bad minimum code size still gives the (empty) image, without a frame.
    GifLayout layout = FourByTwo();
    auto bytes = BuildGif(layout);
    // The minimum code size follows the 10 bytes of the image descriptor.
    const uint8_t descriptor[] = {0x2C, 0, 0, 0, 0, 4, 0, 2, 0, 0};
    const auto at = std::search(bytes.begin(), bytes.end(), std::begin(descriptor), std::end(descriptor));
    ASSERT_NE(at, bytes.end());
    const size_t codeSizeAt = size_t(at - bytes.begin()) + 10;
    ASSERT_EQ(bytes[codeSizeAt], 2);
    bytes[codeSizeAt] = 12;
    Decoded d = Decode(bytes);
    ASSERT_TRUE(d.pixels);
    EXPECT_EQ(d.frameCount, 0);
    EXPECT_EQ(d.pixels[1], 0xFF000000u);
}

TEST(GifDecoder, InterlacedFileShowsRowsInPlace)
{
    for (int height : {3, 10}) // 3 rows leave the later passes empty
    {
        GifLayout layout;
        layout.screenW = layout.width = 3;
        layout.screenH = layout.height = height;
        layout.minimumCodeSize = 4;
        for (int i = 0; i < 16; ++i)
            layout.globalTable.insert(layout.globalTable.end(), {uint8_t(i), uint8_t(i), uint8_t(i)});
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < 3; ++x)
                layout.indices.push_back(uint8_t(y + x));
        layout.interlaced = true;
        Decoded d = Decode(BuildGif(layout));
        const auto pixels = Pixels(d);
        EXPECT_EQ(d.frameCount, 1);
        for (int i = 0; i < int(pixels.size()); ++i)
            EXPECT_EQ(pixels[size_t(i)] & 0xFF, uint32_t(i / 3 + i % 3)) << height << ": " << i;
    }
}

TEST(GifDecoder, DeferredClearCodeDecodesCompletely)
{
    const int w = 300, h = 300;
    std::mt19937 random(1234);
    GifLayout layout;
    layout.screenW = layout.width = w;
    layout.screenH = layout.height = h;
    layout.minimumCodeSize = 8;
    for (int i = 0; i < 256; ++i)
        layout.globalTable.insert(layout.globalTable.end(), {uint8_t(i), uint8_t(255 - i), uint8_t(i / 2)});
    for (int i = 0; i < w * h; ++i)
        layout.indices.push_back(uint8_t(random() % 256));
    int codesAfterFull = 0;
    layout.rawCodes = LzwCodes(layout.indices, 8, &codesAfterFull);
    ASSERT_GT(codesAfterFull, 30000);
    Decoded d = Decode(BuildGif(layout));
    ASSERT_TRUE(d.pixels);
    ASSERT_EQ(d.frameCount, 1);
    for (int i = 0; i < w * h; ++i)
        ASSERT_EQ(d.pixels[size_t(i)] & 0xFF, uint32_t(layout.indices[size_t(i)] / 2)) << i;
    EXPECT_EQ(d.pixels[size_t(w * h - 1)] >> 8 & 0xFF, uint32_t(255 - layout.indices.back()));
}

TEST(GifDecoder, EveryTruncationEndsSafely)
{
    GifLayout layout = FourByTwo();
    layout.transparentIndex = 1;
    const auto bytes = BuildGif(layout);
    for (size_t n = 0; n < bytes.size(); ++n)
    {
        std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + long(n));
        Decoded d = Decode(cut);
        if (d.pixels)
        {
            EXPECT_EQ(d.width, 4);
            EXPECT_EQ(d.height, 2);
        }
        // A read that fails without end of file ends the decode the same way.
        FailingStream failing(bytes, uint32_t(n));
        int w = 0, h = 0, frames = 0;
        bool transparency = false;
        GifFrameList list;
        auto pixels = DecodeGif(failing, w, h, transparency, frames, list);
        EXPECT_EQ(bool(pixels), bool(d.pixels)) << n;
    }
}
