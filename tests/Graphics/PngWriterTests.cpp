#include "Graphics/PngWriter.h"

#include "Base/Stream.h"
#include "Graphics/Image.h"
#include "Graphics/ImageCanvas.h"
#include "Graphics/ImageDecoders.h"

#include "harness/LogCapture.h"
#include "harness/TempFolder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

using namespace Kestrin;
using namespace Kestrin::Graphics;

namespace
{

std::vector<uint32_t> ReadBack(const std::string& path, int& width, int& height)
{
    std::ifstream in(path, std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    MemoryStream stream(L"shot.png", bytes.data(), uint32_t(bytes.size()));
    std::unique_ptr<uint32_t[]> pixels = DecodePng(&stream, width, height);
    if (!pixels)
        return {};
    return std::vector<uint32_t>(pixels.get(), pixels.get() + size_t(width) * size_t(height));
}

TEST(PngWriter, ACanvasIsSavedPixelForPixel)
{
    KestrinTest::TempFolder folder;
    // Every channel distinct, alpha included, so a swapped channel or row shows.
    Image image(5, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            image.Pixels()[y * 5 + x] = uint32_t(0x80 + 20 * y) << 24 | uint32_t(10 * x) << 16 |
                                        uint32_t(7 + y) << 8 | uint32_t(200 - x);
    const std::vector<uint32_t> expected(image.Pixels(), image.Pixels() + 15);
    cImageCanvas canvas(image);
    const std::string path = folder.Path() + "/shot.png";
    ASSERT_TRUE(SaveCanvasPng(&canvas, path));

    int width = 0, height = 0;
    EXPECT_EQ(ReadBack(path, width, height), expected);
    EXPECT_EQ(width, 5);
    EXPECT_EQ(height, 3);
}

TEST(PngWriter, FailuresAreReportedNotWritten)
{
    KestrinTest::TempFolder folder;
    KestrinTest::LogCapture log;
    const uint32_t pixel = 0xFF000000;
    EXPECT_FALSE(WritePng(folder.Path() + "/no/such/folder/shot.png", &pixel, 1, 1));
    EXPECT_NE(log.Text().find("no/such/folder/shot.png: cannot write"), std::string::npos) << log.Text();
    EXPECT_FALSE(WritePng(folder.Path() + "/empty.png", &pixel, 0, 1));
    EXPECT_FALSE(SaveCanvasPng(nullptr, folder.Path() + "/none.png"));
    EXPECT_FALSE(std::ifstream(folder.Path() + "/empty.png").good());
}

} // namespace
