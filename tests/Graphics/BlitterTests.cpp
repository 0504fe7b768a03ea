#include "Graphics/Blitter.h"
#include "GraphicsTestSupport.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

using namespace Kestrin;
using namespace Kestrin::Graphics;
using GraphicsTest::FilledImage;
using GraphicsTest::MakeImage;

namespace
{
struct Target
{
    Target(int w, int h, uint32_t fill) : pixels(size_t(w) * size_t(h), fill), width(w), height(h) {}
    BlitTarget Get() { return {pixels.data(), width, height}; }
    uint32_t At(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
    std::vector<uint32_t> pixels;
    int width, height;
};

// An image colour whose channels truncate to exactly these bytes.
ColorF ImageColor(int r, int g, int b, int a)
{
    auto f = [](int v) { return v >= 255 ? 1.0f : (float(v) + 0.5f) / 255.0f; };
    return {f(r), f(g), f(b), f(a)};
}

// One source pixel over one target pixel.
uint32_t BlitOne(uint32_t source, uint32_t destination, const DrawState& state, bool alpha = true,
                 bool oneBit = false)
{
    auto image = MakeImage(1, 1, {source}, alpha, oneBit);
    Target t(3, 1, destination);
    EXPECT_EQ(BlitImage(image.get(), 1, 0, t.Get(), state), 0);
    EXPECT_EQ(t.At(0, 0), destination);
    EXPECT_EQ(t.At(2, 0), destination);
    return t.At(1, 0);
}

DrawState Faded(int g, int r = 255, int gr = 255, int b = 255)
{
    DrawState s;
    s.imageColor = ImageColor(r, gr, b, g);
    return s;
}
} // namespace

TEST(BlitImage, NothingForNoImageNoAlphaOrNoOverlap)
{
    auto image = FilledImage(2, 2, 0xFF123456);
    Target t(4, 4, 0xFF000000);
    DrawState s;
    EXPECT_EQ(BlitImage(nullptr, 0, 0, t.Get(), s), 1);
    s.imageColor.a = 0.0f;
    EXPECT_EQ(BlitImage(image.get(), 0, 0, t.Get(), s), 1);
    s = DrawState();
    EXPECT_EQ(BlitImage(image.get(), 4, 0, t.Get(), s), 1);
    EXPECT_EQ(BlitImage(image.get(), -2, 1, t.Get(), s), 1);
    s.clipRect = {0, 0, 2, 4};
    EXPECT_EQ(BlitImage(image.get(), 2, 0, t.Get(), s), 1);
    Image empty;
    EXPECT_EQ(BlitImage(&empty, 0, 0, t.Get(), DrawState()), 1);
    for (uint32_t p : t.pixels)
        EXPECT_EQ(p, 0xFF000000u);
}

TEST(BlitImage, ChoosesTheModeOnce)
{
    auto opaque = FilledImage(1, 1, 0, false);
    auto alpha = FilledImage(1, 1, 0, true);
    auto oneBit = MakeImage(1, 1, {0}, true, true);
    DrawState s;
    EXPECT_EQ(ChooseBlitMode(*opaque, s, true), Blit_Block);
    EXPECT_EQ(ChooseBlitMode(*opaque, s, false), Blit_Copy);
    EXPECT_EQ(ChooseBlitMode(*alpha, s, true), Blit_Alpha);
    EXPECT_EQ(ChooseBlitMode(*oneBit, s, false), Blit_AlphaTest);
    s.flags = 0; // without blending alpha images copy
    EXPECT_EQ(ChooseBlitMode(*alpha, s, false), Blit_Copy);
    // A tint of (1, 1, 1) never tints; (0.5, 1, 1) does.
    s = DrawState();
    s.imageColor = {1, 1, 1, 0.3f};
    EXPECT_EQ(ChooseBlitMode(*alpha, s, false), Blit_Alpha);
    s.imageColor = {0.5f, 1, 1, 1};
    EXPECT_EQ(ChooseBlitMode(*opaque, s, true), Blit_Tinted);
    EXPECT_EQ(ChooseBlitMode(*alpha, s, true), Blit_TintedAlpha);
    EXPECT_EQ(ChooseBlitMode(*oneBit, s, true), Blit_TintedTest);
    s.flags = 0;
    EXPECT_EQ(ChooseBlitMode(*alpha, s, true), Blit_Tinted);
}

TEST(BlitImage, EveryModeOnOnePixel)
{
    const DrawState plain;
    const DrawState grey = Faded(255, 127, 127, 127), redGreen = Faded(255, 127, 255, 0),
                    red = Faded(255, 127);
    const DrawState g100 = Faded(100), g51 = Faded(51), g51RedGreen = Faded(51, 127, 255, 0),
                    g51Red = Faded(51, 127);
    const struct
    {
        uint32_t source, destination;
        const DrawState& state;
        bool alpha, oneBit;
        uint32_t expected;
    } cases[] = {
        // Mode 6 without tint: thresholds at 15 and 240, a signed mix truncated toward zero.
        {0x0FFFFFFF, 0xFF000000, plain, true, false, 0xFF000000},
        {0xF0123456, 0xFF000000, plain, true, false, 0xF0123456},
        {0x80FF0000, 0xFF000000, plain, true, false, 0xFF800000},
        {0x80000000, 0xFF00FF64, plain, true, false, 0xFF007F32}, // 255 - 128 and 100 - trunc(50.2)
        {0x10FFFFFF, 0xFF000000, plain, true, false, 0xFF101010},
        // Mode 2: alpha test, the source word unchanged.
        {0x01ABCDEF, 0xFF000000, plain, true, true, 0x01ABCDEF},
        {0x00ABCDEF, 0xFF000000, plain, true, true, 0xFF000000},
        // Mode 4: every pixel tinted, alpha 255: 16*127/255, 32*127/255, 48*127/255.
        {0x00102030, 0xFF000000, grey, false, false, 0xFF070F17},
        // Mode 5: tinted colour with alpha 255 where alpha is not 0.
        {0x80FFFFFF, 0xFF000000, redGreen, true, true, 0xFF7FFF00},
        {0x00FFFFFF, 0xFF000000, redGreen, true, true, 0xFF000000},
        // Mode 6 tinted: no thresholds, alpha 1 already blends; 255 writes the tinted colour.
        {0x0100FF00, 0xFF000000, red, true, false, 0xFF000100},
        {0xFFFF8040, 0xFF000000, red, true, false, 0xFF7F8040},
        {0x00FF8040, 0xFF000000, red, true, false, 0xFF000000},
        {0x80FF0000, 0xFFC80000, red, true, false, 0xFFA40000}, // 200 + (127 - 200) * 128 / 255
        // Constant alpha. Mode 1 at g = 100: 255 - 100 and 0 + 100.
        {0xFF0000FF, 0xFFFF0000, g100, false, false, 0xFF9B0064},
        // Mode 3 at a = 200, g = 100: d + (s - d) * 20000 / 65025, signed; no thresholds.
        {0xC8FF8000, 0xFF0040FF, g100, true, false, 0xFF4E53B1},
        {0x00FF8000, 0xFF0040FF, g100, true, false, 0xFF0040FF},
        {0x0AFFFFFF, 0xFF000000, g100, true, false, 0xFF030303}, // 255 * 1000 / 65025
        // Mode 2: where alpha is not 0, the constant alpha alone weighs.
        {0x01FFFFFF, 0xFF000000, g51, true, true, 0xFF333333},
        {0x00FFFFFF, 0xFF000000, g51, true, true, 0xFF000000},
        // Modes 4 and 5: the tinted colour faded: c = 127; 127 * 51 / 255 = 25.
        {0xFFFFFFFF, 0xFF000000, g51RedGreen, false, false, 0xFF193300},
        {0x40FFFFFF, 0xFF000000, g51RedGreen, true, true, 0xFF193300},
        // Mode 6: (c - d) * a * g / 65025 = 255 * 128 * 51 / 65025 = 25.6 -> 25 for c = 255.
        {0x80FFFFFF, 0xFF000000, g51Red, true, false, 0xFF0C1919},
    };
    for (const auto& c : cases)
        EXPECT_EQ(BlitOne(c.source, c.destination, c.state, c.alpha, c.oneBit), c.expected)
            << std::hex << c.source << " over " << c.destination;
}

TEST(BlitImage, BlockCopyOnlyForTheWholeTargetWithTheSamePixels)
{
    std::vector<uint32_t> pixels;
    for (uint32_t i = 0; i < 12; ++i)
        pixels.push_back(0xFF000000u | (i * 0x010203u));
    auto image = MakeImage(4, 3, pixels, false);
    Target whole(4, 3, 0);
    EXPECT_EQ(BlitImage(image.get(), 0, 0, whole.Get(), DrawState()), 0);
    EXPECT_EQ(whole.pixels, pixels);

    // Clipped or placed elsewhere: row copies, the same pixels where they land.
    Target wider(6, 3, 0);
    DrawState s;
    s.clipRect = {0, 0, 5, 2};
    EXPECT_EQ(BlitImage(image.get(), 2, 1, wider.Get(), s), 0);
    EXPECT_EQ(wider.At(1, 1), 0u);
    EXPECT_EQ(wider.At(2, 1), pixels[0]);
    EXPECT_EQ(wider.At(4, 1), pixels[2]);
    EXPECT_EQ(wider.At(5, 1), 0u);
    EXPECT_EQ(wider.At(2, 2), 0u);
}

TEST(BlitImage, SourceRectangleIsCutToTheImageFirst)
{
    auto image = MakeImage(3, 2, {1, 2, 3, 4, 5, 6}, false);
    DrawState s;
    s.flags |= DrawFlag_SourceRect;
    // Five columns past the right edge: only the inside part, and no read beyond the pixels.
    s.sourceRect = {1, 0, 7, 2};
    Target t(10, 2, 0);
    EXPECT_EQ(BlitImage(image.get(), 0, 0, t.Get(), s), 0);
    EXPECT_EQ(t.pixels, (std::vector<uint32_t>{2, 3, 0, 0, 0, 0, 0, 0, 0, 0, 5, 6, 0, 0, 0, 0, 0, 0, 0, 0}));

    // A corner before the image moves the drawing by the same amount.
    s.sourceRect = {-2, -1, 4, 3};
    Target u(5, 3, 0);
    EXPECT_EQ(BlitImage(image.get(), 0, 0, u.Get(), s), 0);
    EXPECT_EQ(u.pixels, (std::vector<uint32_t>{0, 0, 0, 0, 0, 0, 0, 1, 2, 0, 0, 0, 4, 5, 0}));

    s.sourceRect = {3, 0, 2, 2};
    EXPECT_EQ(BlitImage(image.get(), 0, 0, u.Get(), s), 1);
    s.sourceRect = {0, -9, 3, 5};
    EXPECT_EQ(BlitImage(image.get(), 0, 0, u.Get(), s), 1);

    // A clip moves the source origin; mirror flags are ignored.
    auto nine = MakeImage(3, 3, {1, 2, 3, 4, 5, 6, 7, 8, 9}, false);
    s.clipRect = {1, 1, 10, 10};
    s.flags = DrawFlag_MirrorX | DrawFlag_MirrorY;
    Target t3(3, 3, 0);
    EXPECT_EQ(BlitImage(nine.get(), -1, 0, t3.Get(), s), 0);
    EXPECT_EQ(t3.pixels, (std::vector<uint32_t>{0, 0, 0, 0, 6, 0, 0, 9, 0}));
}

TEST(BlitStretched, NearestSamplesMirrorsAndTint)
{
    auto image = MakeImage(2, 2, {0xFF000001, 0xFF000002, 0xFF000003, 0xFF000004}, false);
    DrawState s;
    Target t(4, 4, 0);
    EXPECT_EQ(BlitStretchedImage(image.get(), t.Get(), {0, 0, 4, 4}, s), 0);
    const std::vector<uint32_t> blocks{1, 1, 2, 2, 1, 1, 2, 2, 3, 3, 4, 4, 3, 3, 4, 4};
    for (size_t i = 0; i < 16; ++i)
        EXPECT_EQ(t.pixels[i], 0xFF000000u | blocks[i]) << i;

    // Left-right mirror reverses the columns, even at 1:1.
    s.flags |= DrawFlag_MirrorX;
    Target m(2, 2, 0);
    EXPECT_EQ(BlitStretchedImage(image.get(), m.Get(), {0, 0, 2, 2}, s), 0);
    EXPECT_EQ(m.pixels, (std::vector<uint32_t>{0xFF000002, 0xFF000001, 0xFF000004, 0xFF000003}));
    s.flags = DrawFlag_MirrorY;
    EXPECT_EQ(BlitStretchedImage(image.get(), m.Get(), {0, 0, 2, 2}, s), 0);
    EXPECT_EQ(m.pixels, (std::vector<uint32_t>{0xFF000003, 0xFF000004, 0xFF000001, 0xFF000002}));

    // Tint 0xFF808080: ((0x80 + 1) * 0xFF) >> 8 = 0x80 per colour channel, alpha kept.
    auto white = FilledImage(1, 1, 0xFFFFFFFF, false);
    s = DrawState();
    s.imageColor = ImageColor(128, 128, 128, 255);
    Target w(3, 1, 0);
    EXPECT_EQ(BlitStretchedImage(white.get(), w.Get(), {0, 0, 3, 1}, s), 0);
    EXPECT_EQ(w.pixels, (std::vector<uint32_t>{0xFF808080, 0xFF808080, 0xFF808080}));
}

// Seeded: which source pixel lands where, for any destination (partly off the target, clipped),
// source rectangle (partly outside the image: those samples are clear), and mirroring; each
// target pixel is the sample the division (x - left) * width / destination width picks.
TEST(BlitStretched, EveryPixelTakesItsNearestSample)
{
    std::mt19937 random(31337);
    for (int round = 0; round < 300; ++round)
    {
        const int iw = 1 + int(random() % 19), ih = 1 + int(random() % 7);
        std::vector<uint32_t> pixels;
        for (int i = 0; i < iw * ih; ++i)
            pixels.push_back(0xFF000000u | uint32_t(i + 1));
        auto image = MakeImage(iw, ih, pixels, false, false);
        DrawState s;
        s.flags = 0;
        int sx0 = 0, sy0 = 0, sw = iw, sh = ih;
        if (random() % 2)
        {
            s.flags |= DrawFlag_SourceRect;
            sx0 = int(random() % 6) - 2;
            sy0 = int(random() % 4) - 1;
            sw = 1 + int(random() % 24);
            sh = 1 + int(random() % 8);
            s.sourceRect = {sx0, sy0, sw, sh};
        }
        if (random() % 2)
            s.flags |= DrawFlag_MirrorX;
        if (random() % 3 == 0)
            s.flags |= DrawFlag_MirrorY;
        if (random() % 4 == 0)
            s.clipRect = {int(random() % 10), 0, 1 + int(random() % 30), 1 + int(random() % 12)};
        const Rect<int> destination{int(random() % 20) - 8, int(random() % 8) - 3, 1 + int(random() % 57),
                                    1 + int(random() % 13)};
        Target t(40, 12, 0x12345678);
        ASSERT_EQ(BlitStretchedImage(image.get(), t.Get(), destination, s), 0) << "round " << round;
        const Rect<int> clip = IntersectRects(IntersectRects(destination, {0, 0, 40, 12}), s.clipRect);
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 40; ++x)
            {
                uint32_t expected = 0x12345678;
                if (x >= clip.x && x < clip.x + clip.w && y >= clip.y && y < clip.y + clip.h)
                {
                    int px = (x - destination.x) * sw / destination.w + sx0;
                    int py = (y - destination.y) * sh / destination.h + sy0;
                    if (s.flags & DrawFlag_MirrorX)
                        px = sx0 + sw - 1 - (px - sx0);
                    if (s.flags & DrawFlag_MirrorY)
                        py = sy0 + sh - 1 - (py - sy0);
                    expected = px < 0 || py < 0 || px >= iw || py >= ih ? 0 : pixels[size_t(py * iw + px)];
                }
                ASSERT_EQ(t.At(x, y), expected) << "round " << round << " at " << x << "," << y;
            }
    }
}

TEST(BlitStretched, BlendsWithAPlusOneWeights)
{
    auto image = MakeImage(1, 1, {0x80FF0000});
    Target t(2, 1, 0xFF0000FF);
    EXPECT_EQ(BlitStretchedImage(image.get(), t.Get(), {0, 0, 2, 1}, DrawState()), 0);
    // (d * 127 + s * 129) >> 8; the plain blit of the same pixel gives blue 127, not 126.
    EXPECT_EQ(t.pixels, (std::vector<uint32_t>{0xBF80007E, 0xBF80007E}));
    Target plain(1, 1, 0xFF0000FF);
    EXPECT_EQ(BlitImage(image.get(), 0, 0, plain.Get(), DrawState()), 0);
    EXPECT_EQ(plain.pixels[0], 0xFF80007Fu);

    // Without the blend flag the sample is written as it is, alpha included.
    DrawState s;
    s.flags = 0;
    EXPECT_EQ(BlitStretchedImage(image.get(), t.Get(), {0, 0, 2, 1}, s), 0);
    EXPECT_EQ(t.pixels[1], 0x80FF0000u);
}

TEST(BlitStretched, ClipsAndSkipsEmptyOrClearDraws)
{
    auto image = MakeImage(2, 1, {0xFF0000AA, 0xFF0000BB}, false);
    DrawState s;
    s.clipRect = {2, 0, 1, 1};
    Target t(4, 1, 0);
    EXPECT_EQ(BlitStretchedImage(image.get(), t.Get(), {0, 0, 4, 1}, s), 0);
    EXPECT_EQ(t.pixels, (std::vector<uint32_t>{0, 0, 0xFF0000BB, 0}));

    s = DrawState();
    EXPECT_EQ(BlitStretchedImage(nullptr, t.Get(), {0, 0, 4, 1}, s), 1);
    EXPECT_EQ(BlitStretchedImage(image.get(), t.Get(), {0, 0, 0, 1}, s), 0);
    EXPECT_EQ(BlitStretchedImage(image.get(), t.Get(), {0, 0, -3, 1}, s), 0);
    s.imageColor = {0, 0, 0, 0};
    EXPECT_EQ(BlitStretchedImage(image.get(), t.Get(), {0, 0, 4, 1}, s), 1);
    EXPECT_EQ(t.pixels, (std::vector<uint32_t>{0, 0, 0xFF0000BB, 0}));

    // A 1:1 unmirrored draw is the plain blit (which answers 1 for alpha 0).
    s.imageColor = {1, 1, 1, 0};
    EXPECT_EQ(BlitStretchedImage(image.get(), t.Get(), {0, 0, 2, 1}, s), 1);

    // A source rectangle reaching outside the image samples nothing there.
    s = DrawState();
    s.flags = DrawFlag_SourceRect;
    s.sourceRect = {1, 0, 4, 1};
    Target wide(8, 1, 0x12345678);
    EXPECT_EQ(BlitStretchedImage(image.get(), wide.Get(), {0, 0, 8, 1}, s), 0);
    EXPECT_EQ(wide.pixels, (std::vector<uint32_t>{0xFF0000BB, 0xFF0000BB, 0, 0, 0, 0, 0, 0}));
}

TEST(BlitImage, EveryVectorPathMatchesThePlainRowsBitForBit)
{
    using Graphics::Internal::BlitPath;
    const BlitPath started = Graphics::Internal::CurrentBlitPath();
    EXPECT_EQ(started, Graphics::Internal::BestBlitPath());
    EXPECT_TRUE(Graphics::Internal::BlitPathAvailable(BlitPath::Plain));
    std::mt19937 random(99);
    const uint8_t alphas[] = {0, 1, 14, 15, 16, 17, 127, 128, 239, 240, 241, 254, 255};
    // Runs of one alpha, as sprites have, so whole vector groups take the clear and solid shortcuts.
    uint32_t runAlpha = 0;
    int runLeft = 0;
    auto pixel = [&]
    {
        if (runLeft > 0)
            return --runLeft, (runAlpha << 24) | (random() & 0xFFFFFF);
        if (random() % 4 == 0)
        {
            runLeft = int(random() % 24);
            runAlpha = random() % 3 ? (random() % 2 ? 255 : 0) : alphas[random() % sizeof(alphas)];
        }
        const uint32_t a = random() % 3 ? alphas[random() % sizeof(alphas)] : uint32_t(random() % 256);
        return (a << 24) | (random() & 0xFFFFFF);
    };
    int compared = 0;
    for (BlitPath path : {BlitPath::Sse2, BlitPath::Avx2})
    {
        if (!Graphics::Internal::BlitPathAvailable(path))
        {
            EXPECT_FALSE(Graphics::Internal::SetBlitPath(path));
            EXPECT_EQ(Graphics::Internal::CurrentBlitPath(), started);
            continue;
        }
        for (int round = 0; round < 90; ++round)
        {
            const int w = 1 + int(random() % 71), h = 1 + int(random() % 5);
            std::vector<uint32_t> pixels;
            for (int i = 0; i < w * h; ++i)
                pixels.push_back(pixel());
            auto image = MakeImage(w, h, pixels, true, false);
            std::vector<uint32_t> start;
            for (int i = 0; i < 80 * 8; ++i)
                start.push_back(pixel());
            DrawState s;
            if (round % 2)
                s.imageColor = {float(random() % 256) / 255.0f, float(random() % 256) / 255.0f, 0.5f, 1.0f};
            // Faded draws (a constant alpha on top of the pixels' own) every third round.
            if (round % 3 == 0)
                s.imageColor.a = float(1 + random() % 254) / 255.0f;
            const int x = int(random() % 90) - 10, y = int(random() % 10) - 2;

            Target fast(80, 8, 0), plain(80, 8, 0);
            fast.pixels = plain.pixels = start;
            ASSERT_TRUE(Graphics::Internal::SetBlitPath(path));
            const int a = BlitImage(image.get(), x, y, fast.Get(), s);
            Graphics::Internal::SetFastBlitRows(false);
            EXPECT_EQ(Graphics::Internal::CurrentBlitPath(), BlitPath::Plain);
            const int b = BlitImage(image.get(), x, y, plain.Get(), s);
            EXPECT_EQ(a, b);
            ASSERT_EQ(fast.pixels, plain.pixels)
                << Graphics::Internal::BlitPathName(path) << " round " << round;
            compared += a == 0;

            // The same image stretched (and mirrored every other round) into a rectangle that
            // grows or shrinks it; wider than a vector group and than one piece of picked pixels.
            const Rect<int> into(x, y, 1 + int(random() % 300), 1 + int(random() % 9));
            if (round % 4 >= 2)
                s.flags |= DrawFlag_MirrorX | (round % 8 >= 4 ? int(DrawFlag_MirrorY) : 0);
            Target wideFast(320, 8, 0), widePlain(320, 8, 0);
            for (int i = 0; i < 320 * 8; ++i)
                wideFast.pixels[size_t(i)] = pixel();
            widePlain.pixels = wideFast.pixels;
            ASSERT_TRUE(Graphics::Internal::SetBlitPath(path));
            const int c = BlitStretchedImage(image.get(), wideFast.Get(), into, s);
            Graphics::Internal::SetFastBlitRows(false);
            EXPECT_EQ(c, BlitStretchedImage(image.get(), widePlain.Get(), into, s));
            ASSERT_EQ(wideFast.pixels, widePlain.pixels)
                << Graphics::Internal::BlitPathName(path) << " stretched, round " << round;
        }
    }
    Graphics::Internal::SetFastBlitRows(true);
    EXPECT_EQ(Graphics::Internal::CurrentBlitPath(), started);
    // Most draws land on the target; a path that is built in compared real pixels.
    if (started != BlitPath::Plain)
    {
        EXPECT_GT(compared, 45);
    }
}

// Every source alpha against every channel difference of either sign, under every fade, plain and
// tinted: each vector path must give the plain rows' bytes.
TEST(BlitImage, EveryFadedBlendMatchesThePlainRows)
{
    using Graphics::Internal::BlitPath;
    std::vector<uint32_t> pixels;
    for (uint32_t a = 0; a < 256; ++a)
        for (uint32_t c = 0; c < 256; ++c)
            pixels.push_back(a << 24 | c << 16 | c << 8 | (255 - c));
    auto image = MakeImage(256, 256, pixels, true, false);
    const std::vector<uint32_t> start(pixels.size(), 0xFF00FF80u);
    for (BlitPath path : {BlitPath::Sse2, BlitPath::Avx2})
    {
        if (!Graphics::Internal::BlitPathAvailable(path))
            continue;
        for (int tinted = 0; tinted < 2; ++tinted)
            for (int g = 1; g < 255; ++g)
            {
                DrawState s = Faded(g, tinted ? 200 : 255, tinted ? 77 : 255, tinted ? 254 : 255);
                Target fast(256, 256, 0), plain(256, 256, 0);
                fast.pixels = plain.pixels = start;
                ASSERT_TRUE(Graphics::Internal::SetBlitPath(path));
                EXPECT_EQ(BlitImage(image.get(), 0, 0, fast.Get(), s), 0);
                Graphics::Internal::SetFastBlitRows(false);
                EXPECT_EQ(BlitImage(image.get(), 0, 0, plain.Get(), s), 0);
                ASSERT_EQ(fast.pixels, plain.pixels)
                    << Graphics::Internal::BlitPathName(path) << " fade " << g << " tinted " << tinted;
            }
    }
    Graphics::Internal::SetFastBlitRows(true);
}

TEST(BlitImage, ImageDrawnOntoItselfGivesThePlainRowsResult)
{
    std::vector<uint32_t> pixels;
    for (uint32_t i = 0; i < 16; ++i)
        pixels.push_back(((64 + i * 8) << 24) | (i * 0x0F0F0F));
    DrawState s;
    auto run = [&](bool fast)
    {
        auto image = MakeImage(16, 1, pixels);
        Graphics::Internal::SetFastBlitRows(fast);
        EXPECT_EQ(BlitImage(image.get(), 1, 0, {image->Pixels(), 16, 1}, s), 0);
        Graphics::Internal::SetFastBlitRows(true);
        return std::vector<uint32_t>(image->Pixels(), image->Pixels() + 16);
    };
    EXPECT_EQ(run(true), run(false));
}
