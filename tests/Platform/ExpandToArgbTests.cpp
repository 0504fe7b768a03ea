#include "Platform/Shim/DirectDraw/SdlInternal.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

using namespace Kestrin::Shim::DirectDraw;

// Seeded: rows of random bytes with padding after each row, in the screen's usual 32-bit layout (the
// one with its own pass), the same bits with red and blue swapped, and 24 bits; each pixel is
// compared with what its bytes say.
TEST(ExpandToArgb, EveryLayoutGivesTheChannelsItsBytesHold)
{
    struct Layout
    {
        PixelFormat format;
        uint32_t (*expected)(const uint8_t* p);
    };
    const Layout layouts[] = {
        {{DDPF_RGB, 0, 32, 0xFF0000, 0xFF00, 0xFF, 0},
         [](const uint8_t* p) { return 0xFF000000u | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0]; }},
        {{DDPF_RGB, 0, 32, 0xFF, 0xFF00, 0xFF0000, 0},
         [](const uint8_t* p) { return 0xFF000000u | uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2]; }},
        {{DDPF_RGB, 0, 24, 0xFF0000, 0xFF00, 0xFF, 0},
         [](const uint8_t* p) { return 0xFF000000u | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0]; }},
    };
    std::mt19937 random(5150);
    for (int round = 0; round < 60; ++round)
    {
        const Layout& layout = layouts[round % 3];
        const int bytes = int(layout.format.bits / 8);
        const int width = 1 + int(random() % 40), height = 1 + int(random() % 4);
        const int pitch = width * bytes + int(random() % 9);
        std::vector<uint8_t> source(size_t(pitch) * size_t(height));
        for (uint8_t& b : source)
            b = uint8_t(random());
        std::vector<uint32_t> out(size_t(width) * size_t(height) + 1, 0xDEADBEEF);
        Sdl::ExpandToArgb(source.data(), pitch, width, height, layout.format, out.data());
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                ASSERT_EQ(out[size_t(y) * size_t(width) + size_t(x)],
                          layout.expected(&source[size_t(y) * size_t(pitch) + size_t(x) * size_t(bytes)]))
                    << "round " << round << " at " << x << "," << y;
        EXPECT_EQ(out.back(), 0xDEADBEEFu) << "round " << round;
    }
}
