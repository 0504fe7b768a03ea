// The writers' files read back through the engine's own decoders.
#include "Base/Stream.h"
#include "Graphics/ImageDecoders.h"
#include "Noise.h"
#include "Writers.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace DataGen;

namespace
{
Canvas RandomCanvas(int w, int h, uint64_t seed, bool opaque)
{
    Pcg32 rng(seed);
    Canvas c(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
        {
            const float a = opaque ? 1.0f : static_cast<float>(rng.Below(256) / 255.0);
            c.Put(x, y,
                  {static_cast<float>(rng.Uniform()) * a, static_cast<float>(rng.Uniform()) * a,
                   static_cast<float>(rng.Uniform()) * a, a});
        }
    return c;
}

uint32_t Argb(const std::vector<uint8_t>& rgba, size_t i)
{
    return (uint32_t(rgba[4 * i + 3]) << 24) | (uint32_t(rgba[4 * i]) << 16) |
           (uint32_t(rgba[4 * i + 1]) << 8) | rgba[4 * i + 2];
}

Kestrin::MemoryStream StreamOf(const Bytes& b)
{
    return Kestrin::MemoryStream(L"test", b.data(), uint32_t(b.size()));
}
} // namespace

TEST(Writers, PngKeepsStraightAlphaExactly)
{
    const Canvas c = RandomCanvas(37, 11, 7, false);
    const Bytes png = EncodePng(c);
    Kestrin::MemoryStream stream = StreamOf(png);
    int w = 0, h = 0;
    auto pixels = Kestrin::DecodePng(&stream, w, h);
    ASSERT_TRUE(pixels);
    ASSERT_EQ(w, 37);
    ASSERT_EQ(h, 11);
    const auto rgba = c.ToRgba8();
    for (size_t i = 0; i < size_t(w) * h; ++i)
    {
        // Fully transparent pixels carry no colour.
        const uint32_t expected = rgba[4 * i + 3] == 0 ? 0u : Argb(rgba, i);
        ASSERT_EQ(pixels[i], expected) << "pixel " << i;
    }
    EXPECT_EQ(EncodePng(c), png) << "same canvas, same bytes";
}

TEST(Writers, GifCodeStreamsDecodeBackToTheirIndices)
{
    struct Case
    {
        const char* what;
        int width, height, codeSize, colours;
    };
    // Noise with many colours fills the 4096-entry table and forces a clear code mid-stream;
    // long runs exercise the widening of codes.
    const Case cases[] = {{"one pixel", 1, 1, 2, 2},
                          {"two colours", 64, 64, 2, 2},
                          {"sixteen", 33, 17, 4, 16},
                          {"full table", 200, 100, 8, 256},
                          {"long run", 300, 200, 8, 1}};
    for (const Case& k : cases)
    {
        SCOPED_TRACE(k.what);
        Pcg32 rng(11);
        std::vector<uint8_t> indices(size_t(k.width) * k.height);
        for (auto& i : indices)
            i = static_cast<uint8_t>(rng.Below(k.colours));
        const Bytes code = GifLzw(indices, k.codeSize);
        std::vector<uint8_t> back(indices.size(), 0xEE);
        EXPECT_NE(Kestrin::DecodeGifCodeStream(k.codeSize, code.data(), code.size(), back.data(), k.width,
                                               k.width, k.height, false),
                  0);
        EXPECT_EQ(back, indices);
    }
}

TEST(Writers, GifHasATransparentIndexAndExactColours)
{
    Canvas c(5, 3);
    c.Put(1, 1, {1.0f, 0.0f, 0.0f, 1.0f});
    c.Put(2, 1, {0.2f, 0.4f, 0.6f, 1.0f});
    c.Put(3, 1, {0.2f, 0.2f, 0.2f, 0.4f}); // below half alpha: transparent
    const Bytes gif = EncodeGif(c);
    Kestrin::MemoryStream stream = StreamOf(gif);
    int w = 0, h = 0, frames = 0;
    bool transparency = false;
    Kestrin::GifFrameList list;
    auto pixels = Kestrin::DecodeGif(stream, w, h, transparency, frames, list);
    Kestrin::FreeGifFrames(list);
    ASSERT_TRUE(pixels);
    EXPECT_EQ(w, 5);
    EXPECT_EQ(h, 3);
    EXPECT_TRUE(transparency);
    EXPECT_EQ(pixels[0] >> 24, 0u);
    EXPECT_EQ(pixels[6], 0xFFFF0000u);
    EXPECT_EQ(pixels[7], 0xFF336699u);
    EXPECT_EQ(pixels[8] >> 24, 0u);

    EXPECT_THROW(EncodeGif(RandomCanvas(40, 40, 3, true)), std::runtime_error) << "more than 255 colours";
}

TEST(Writers, JpegIsOpaqueAndCloseToTheCanvas)
{
    Canvas c(64, 48);
    c.Fill({0.9f, 0.5f, 0.2f, 1.0f});
    const Bytes jpg = EncodeJpeg(c);
    Kestrin::MemoryStream stream = StreamOf(jpg);
    int w = 0, h = 0;
    auto pixels = Kestrin::DecodeJpeg(stream, w, h);
    ASSERT_TRUE(pixels);
    ASSERT_EQ(w, 64);
    ASSERT_EQ(h, 48);
    const uint32_t p = pixels[100];
    EXPECT_EQ(p >> 24, 0xFFu);
    EXPECT_NEAR(int((p >> 16) & 0xFF), 230, 3);
    EXPECT_NEAR(int((p >> 8) & 0xFF), 128, 3);
    EXPECT_NEAR(int(p & 0xFF), 51, 3);
    EXPECT_EQ(EncodeJpeg(c), jpg);

    Canvas clear(8, 8);
    EXPECT_THROW(EncodeJpeg(clear), std::runtime_error);
}

TEST(Writers, Fnv1a64MatchesTheReferenceValues)
{
    EXPECT_EQ(Hex64(Fnv1a64({})), "cbf29ce484222325");
    EXPECT_EQ(Hex64(Fnv1a64({'a'})), "af63dc4c8601ec8c");
    EXPECT_EQ(Hex64(Fnv1a64({'f', 'o', 'o', 'b', 'a', 'r'})), "85944171f73967e8");
}
