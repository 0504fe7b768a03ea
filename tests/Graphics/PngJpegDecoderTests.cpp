#include "Graphics/ImageDecoders.h"
#include "GraphicsTestSupport.h"
#include "harness/LogCapture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <png.h>
#include <sys/resource.h>

using namespace Kestrin;
using namespace GraphicsTest;

namespace
{
std::unique_ptr<uint32_t[]> Png(const std::vector<uint8_t>& bytes, int& w, int& h)
{
    MemoryStream stream(L"png", bytes.data(), uint32_t(bytes.size()));
    return DecodePng(&stream, w, h);
}

std::vector<uint32_t> PngPixels(const PngLayout& layout)
{
    int w = 0, h = 0;
    auto pixels = Png(WritePng(layout), w, h);
    EXPECT_TRUE(pixels);
    EXPECT_EQ(w, layout.width);
    EXPECT_EQ(h, layout.height);
    if (!pixels)
        return {};
    return std::vector<uint32_t>(pixels.get(), pixels.get() + size_t(w) * size_t(h));
}

int Channel(uint32_t p, int shift)
{
    return int((p >> shift) & 0xFF);
}

// Colour blocks of 8 x 8, so that compression keeps them close to their values.
std::vector<uint8_t> Blocks(int w, int h, int components, const std::vector<std::vector<uint8_t>>& colours)
{
    std::vector<uint8_t> samples;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
        {
            const auto& c = colours[size_t((y / 8) * (w / 8) + x / 8) % colours.size()];
            for (int k = 0; k < components; ++k)
                samples.push_back(c[size_t(k)]);
        }
    return samples;
}
} // namespace

TEST(PngDecoder, EveryKindBecomesColourWords)
{
    auto layout = [](int colorType, int bitDepth, std::vector<uint16_t> samples)
    {
        PngLayout l;
        l.width = int(samples.size()) / (colorType == PNG_COLOR_TYPE_RGB          ? 3
                                         : colorType == PNG_COLOR_TYPE_GRAY_ALPHA ? 2
                                                                                  : 1);
        l.colorType = colorType;
        l.bitDepth = bitDepth;
        l.samples = std::move(samples);
        return l;
    };
    PngLayout palette = layout(PNG_COLOR_TYPE_PALETTE, 2, {0, 1, 2, 3, 2});
    palette.palette = {255, 0, 0, 0, 255, 0, 0, 0, 255, 10, 20, 30};
    PngLayout paletteAlpha = palette;
    paletteAlpha.trnsAlphas = {0, 128};
    PngLayout greyKey = layout(PNG_COLOR_TYPE_GRAY, 8, {7, 8, 7});
    greyKey.trnsKey = {7};
    PngLayout colourKey = layout(PNG_COLOR_TYPE_RGB, 8, {1, 2, 3, 4, 5, 6, 1, 2, 3});
    colourKey.trnsKey = {1, 2, 3};
    const std::pair<PngLayout, std::vector<uint32_t>> cases[] = {
        {palette, {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFF0A141E, 0xFF0000FF}},
        {paletteAlpha, {0x00FF0000, 0x8000FF00, 0xFF0000FF, 0xFF0A141E, 0xFF0000FF}},
        // Sixteen bits keep their high bytes.
        {layout(PNG_COLOR_TYPE_RGB, 16, {0x1234, 0xABCD, 0xFFFF, 0x0000, 0x8081, 0x00FF}),
         {0xFF12ABFF, 0xFF008000}},
        {layout(PNG_COLOR_TYPE_GRAY_ALPHA, 8, {0x40, 0x80, 0xFF, 0x00}), {0x80404040, 0x00FFFFFF}},
        {layout(PNG_COLOR_TYPE_GRAY, 1, {0, 1, 1, 0}), {0xFF000000, 0xFFFFFFFF, 0xFFFFFFFF, 0xFF000000}},
        {greyKey, {0x00070707, 0xFF080808, 0x00070707}},
        {colourKey, {0x00010203, 0xFF040506, 0x00010203}},
    };
    for (const auto& [png, expected] : cases)
        EXPECT_EQ(PngPixels(png), expected) << png.colorType << " " << png.bitDepth;
}

TEST(PngDecoder, InterlacedImagesDecodeInPlace)
{
    PngLayout layout;
    layout.width = 7;
    layout.height = 5;
    layout.colorType = PNG_COLOR_TYPE_RGB_ALPHA;
    layout.interlaced = true;
    std::vector<uint32_t> expected;
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
        {
            layout.samples.insert(layout.samples.end(),
                                  {uint16_t(x * 30), uint16_t(y * 50), uint16_t(x + y), 200});
            expected.push_back(0xC8000000u | uint32_t(x * 30) << 16 | uint32_t(y * 50) << 8 |
                               uint32_t(x + y));
        }
    EXPECT_EQ(PngPixels(layout), expected);
}

TEST(PngDecoder, DamagedOrForeignFilesAnswerNull)
{
    PngLayout layout;
    layout.width = 16;
    layout.height = 16;
    layout.colorType = PNG_COLOR_TYPE_RGB;
    for (int i = 0; i < 16 * 16 * 3; ++i)
        layout.samples.push_back(uint16_t((i * 37) & 0xFF));
    const auto bytes = WritePng(layout);
    int w = 0, h = 0;
    ASSERT_TRUE(Png(bytes, w, h));
    for (size_t n : {size_t(0), size_t(3), size_t(8), size_t(30), bytes.size() / 2, bytes.size() - 13})
    {
        w = h = -1;
        EXPECT_FALSE(Png(std::vector<uint8_t>(bytes.begin(), bytes.begin() + long(n)), w, h)) << n;
        EXPECT_EQ(w, -1);
    }
    auto damaged = bytes;
    damaged[40] ^= 0x55; // inside the image data: the checksum fails
    EXPECT_FALSE(Png(damaged, w, h));
    EXPECT_FALSE(Png({'G', 'I', 'F', '8', '9', 'a'}, w, h));
    EXPECT_FALSE(DecodePng(nullptr, w, h));

    // A header asking for more pixels than allowed is refused before anything is allocated.
    const size_t limit = Internal::DecodedPixelLimit();
    Internal::SetDecodedPixelLimit(100);
    EXPECT_FALSE(Png(bytes, w, h));
    Internal::SetDecodedPixelLimit(limit);
}

TEST(PngDecoder, HugeAncillaryChunksAreRefusedAtOnce)
{
    // Signature and header of a valid 1 x 1 file, then a chunk claiming almost 2 GB of which 16
    // bytes follow: 57 bytes in all.
    PngLayout layout;
    layout.samples = {7};
    const std::vector<uint8_t> valid = WritePng(layout);
    KestrinTest::LogCapture log;
    for (const char* type : {"tEXt", "zTXt", "iTXt", "sPLT", "pCAL", "sCAL"})
    {
        std::vector<uint8_t> bytes(valid.begin(), valid.begin() + 33);
        bytes.insert(bytes.end(), {0x7F, 0xFF, 0xFF, 0xF0});
        bytes.insert(bytes.end(), type, type + 4);
        bytes.resize(57, 0);
        rusage before{};
        getrusage(RUSAGE_SELF, &before);
        int w = 0, h = 0;
        EXPECT_FALSE(Png(bytes, w, h)) << type;
        rusage after{};
        getrusage(RUSAGE_SELF, &after);
        // The peak resident size is in kilobytes; reading the chunk would take gigabytes.
        EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 64 * 1024) << type;
    }
    EXPECT_NE(log.Text().find("PNG png: libpng error: "), std::string::npos) << log.Text();

    // The ancillary chunks of a valid file are skipped, not refused.
    layout.ancillaryChunks = true;
    EXPECT_EQ(PngPixels(layout), std::vector<uint32_t>{0xFF070707});
}

TEST(PngDecoder, LibraryMessagesGoToTheLogWithTheFileNameNotToStderr)
{
    PngLayout layout;
    layout.samples = {7};
    std::vector<uint8_t> bytes = WritePng(layout);
    bytes[29] ^= 0x01; // the header's checksum
    MemoryStream stream(L"caf\u00e9", bytes.data(), uint32_t(bytes.size()));
    KestrinTest::LogCapture log;
    SetLogToStderr(false);
    testing::internal::CaptureStderr();
    int w = 0, h = 0;
    EXPECT_FALSE(DecodePng(&stream, w, h));
    const std::string stderrText = testing::internal::GetCapturedStderr();
    SetLogToStderr(true);
    EXPECT_EQ(stderrText, "");
    EXPECT_EQ(log.Text(), "PNG caf\xc3\xa9: libpng error: IHDR: CRC error\n");
}

TEST(JpegDecoder, GreyAndColourWithinTolerance)
{
    const std::vector<std::vector<uint8_t>> greys{{30}, {100}, {180}, {250}};
    const std::vector<std::vector<uint8_t>> colours{
        {200, 30, 40}, {20, 180, 60}, {10, 20, 220}, {250, 250, 0}};
    for (const auto* blocks : {&greys, &colours})
    {
        const int components = int((*blocks)[0].size());
        const auto bytes = WriteJpeg(16, 16, components, Blocks(16, 16, components, *blocks), false, 100);
        MemoryStream stream(L"jpeg", bytes.data(), uint32_t(bytes.size()));
        int w = 0, h = 0;
        auto pixels = DecodeJpeg(stream, w, h);
        ASSERT_TRUE(pixels);
        EXPECT_EQ(w, 16);
        EXPECT_EQ(h, 16);
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
            {
                const uint32_t p = pixels[size_t(y * 16 + x)];
                const auto& c = (*blocks)[size_t((y / 8) * 2 + x / 8)];
                EXPECT_EQ(p >> 24, 0xFFu);
                for (int k = 0; k < 3; ++k)
                    EXPECT_NEAR(Channel(p, 16 - 8 * k), c[size_t(k) % c.size()], components == 1 ? 2 : 6)
                        << x << "," << y;
                if (components == 1) // grey is the same in every channel
                {
                    EXPECT_TRUE(Channel(p, 16) == Channel(p, 0) && Channel(p, 8) == Channel(p, 0))
                        << x << "," << y;
                }
            }
    }
}

TEST(JpegDecoder, ProgressiveAndStreamSourcesMatchBaseline)
{
    const auto samples = Blocks(24, 16, 3, {{200, 30, 40}, {20, 180, 60}, {10, 20, 220}});
    const auto baseline = WriteJpeg(24, 16, 3, samples, false);
    const auto progressive = WriteJpeg(24, 16, 3, samples, true);
    ASSERT_NE(baseline, progressive);

    MemoryStream direct(L"baseline", baseline.data(), uint32_t(baseline.size()));
    int w = 0, h = 0;
    auto expected = DecodeJpeg(direct, w, h);
    ASSERT_TRUE(expected);

    PlainStream plain(baseline);
    int pw = 0, ph = 0;
    auto fromStream = DecodeJpeg(plain, pw, ph);
    ASSERT_TRUE(fromStream);
    ASSERT_EQ(std::make_pair(pw, ph), std::make_pair(24, 16));
    EXPECT_TRUE(std::equal(fromStream.get(), fromStream.get() + 24 * 16, expected.get()));

    PlainStream progressiveStream(progressive);
    auto fromProgressive = DecodeJpeg(progressiveStream, pw, ph);
    ASSERT_TRUE(fromProgressive);
    ASSERT_EQ(pw, 24);
    for (int i = 0; i < 24 * 16; ++i)
        for (int shift : {0, 8, 16})
            EXPECT_NEAR(Channel(fromProgressive[size_t(i)], shift), Channel(expected[size_t(i)], shift), 3);
}

TEST(JpegDecoder, GarbageLogsOneLineAndAnswersNull)
{
    const std::vector<uint8_t> garbage{'n', 'o', 't', ' ', 'a', ' ', 'j', 'p', 'e', 'g'};
    MemoryStream stream(L"garbage", garbage.data(), uint32_t(garbage.size()));
    PlainStream empty({}); // an empty file stream fails on its first fill
    for (IStream* source : {static_cast<IStream*>(&stream), static_cast<IStream*>(&empty)})
    {
        KestrinTest::LogCapture log;
        int w = 5, h = 5;
        EXPECT_FALSE(DecodeJpeg(*source, w, h));
        EXPECT_EQ(w, 0);
        EXPECT_EQ(h, 0);
        const std::string text = log.Text();
        EXPECT_EQ(text.rfind("JpegFile Error: ", 0), 0u) << text;
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << text;
    }
}

TEST(JpegDecoder, TruncatedFilesEndWithTheirStartAndNoLogLine)
{
    // Busy content, so the scan data is most of the file and a cut lands inside it.
    std::vector<uint8_t> samples;
    for (int i = 0; i < 64 * 64; ++i)
        samples.insert(samples.end(), {uint8_t(i < 64 * 8 ? 200 : i * 7), uint8_t(i < 64 * 8 ? 30 : i * 13),
                                       uint8_t(i < 64 * 8 ? 40 : i * 29)});
    const auto bytes = WriteJpeg(64, 64, 3, samples, false);
    const std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + long(bytes.size() * 3 / 4));
    MemoryStream direct(L"cut", cut.data(), uint32_t(cut.size()));
    PlainStream plain(cut);
    KestrinTest::LogCapture log;
    for (IStream* stream : {static_cast<IStream*>(&direct), static_cast<IStream*>(&plain)})
    {
        int w = 0, h = 0;
        auto pixels = DecodeJpeg(*stream, w, h);
        ASSERT_TRUE(pixels);
        EXPECT_EQ(w, 64);
        EXPECT_NEAR(Channel(pixels[0], 16), 200, 6);
    }
    EXPECT_EQ(log.Text(), "");
}

TEST(JpegDecoder, RefusesImagesAboveTheLimit)
{
    const auto bytes = WriteJpeg(16, 16, 1, std::vector<uint8_t>(256, 9), false);
    const size_t limit = Internal::DecodedPixelLimit();
    Internal::SetDecodedPixelLimit(255);
    KestrinTest::LogCapture log;
    MemoryStream stream(L"big", bytes.data(), uint32_t(bytes.size()));
    int w = 0, h = 0;
    EXPECT_FALSE(DecodeJpeg(stream, w, h));
    Internal::SetDecodedPixelLimit(limit);
    EXPECT_EQ(log.Text(), "JpegFile Error: image too large\n");
}
