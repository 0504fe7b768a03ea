// Both graphics platforms draw the same test card through the SDL back end; the pictures must agree.
#include "Support/EngineFakes.h"
#include "Support/FakeFileSystem.h"

#include "Graphics/Canvas.h"
#include "Graphics/Font.h"
#include "Graphics/Image.h"
#include "Graphics/TestCard.h"
#include "Platform/Shim/DirectDraw/SdlBackend.h"
#include "Platform/Win32/CDisplay.h"
#include "Platform/Win32/D3D7GraphicsPlatform.h"
#include "Platform/Win32/DDraw7GraphicsPlatform.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

using namespace Kestrin;
using namespace KestrinTest;
namespace DDS = Kestrin::Shim::DirectDraw;

namespace
{

// Per channel: the two renderers blend with slightly different rounding (255 vs 256 weights).
constexpr int kChannelTolerance = 6;

class WindowPlatform : public FakePlatform
{
public:
    WindowPlatform(Journal& journal, SDL_Window* window) : FakePlatform(journal), m_window(window) {}
    void* GetDisplayWindow() override { return m_window; }
    bool IsActive() override { return false; } // no cursor on the card

private:
    SDL_Window* m_window;
};

struct Picture
{
    std::vector<uint32_t> pixels;
    int width = 0;
    int height = 0;
    uint32_t At(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)] | 0xFF000000u; }
};

std::string ReadSourceFile(const std::string& relative)
{
    std::ifstream in(std::string(KESTRIN_SOURCE_DIR) + "/" + relative, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// KESTRIN_CROSSCHECK_DUMP=<folder> keeps both pictures as PPM files for a look.
void Dump(const Picture& picture, const char* name)
{
    const char* folder = std::getenv("KESTRIN_CROSSCHECK_DUMP");
    if (!folder)
        return;
    std::ofstream out(std::string(folder) + "/" + name + ".ppm", std::ios::binary);
    out << "P6\n" << picture.width << " " << picture.height << "\n255\n";
    for (uint32_t p : picture.pixels)
    {
        const char rgb[3] = {char((p >> 16) & 0xFF), char((p >> 8) & 0xFF), char(p & 0xFF)};
        out.write(rgb, 3);
    }
}

bool Close(uint32_t a, uint32_t b, int tolerance = kChannelTolerance)
{
    for (int shift = 0; shift < 24; shift += 8)
        if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > tolerance)
            return false;
    return true;
}

bool Inside(const Rect<int>& r, int x, int y)
{
    return x >= r.x && y >= r.y && x < r.x + r.w && y < r.y + r.h;
}

uint32_t Blend(uint32_t src, float alpha, uint32_t dst)
{
    uint32_t out = 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8)
    {
        const float s = float((src >> shift) & 0xFF), d = float((dst >> shift) & 0xFF);
        out |= uint32_t(s * alpha + d * (1.0f - alpha) + 0.5f) << shift;
    }
    return out;
}

std::vector<std::pair<std::string, Rect<int>>> Regions(const Graphics::TestCardLayout& at)
{
    return {{"opaqueFill", at.opaqueFill},
            {"image", at.image},
            {"stretched", at.stretched},
            {"mirrored", at.mirrored},
            {"rotated", at.rotated},
            {"clipped", at.clipped},
            {"text", at.text},
            {"lines", at.lines},
            {"circles", at.circles},
            {"ellipses", at.ellipses}};
}

class RendererCrossCheck : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
        m_window = SDL_CreateWindow("cross-check", 0, 0, 800, 600, SDL_WINDOW_HIDDEN);
        ASSERT_NE(m_window, nullptr) << SDL_GetError();
        new WindowPlatform(m_journal, m_window);
        DDS::GetSdlConfig().softwareAsHal = true;
        DDS::InstallErrorNames();
        ASSERT_NE(CDisplay::Instance(), nullptr);
        m_image = Graphics::MakeTestCardImage();
        m_files.AddFile(FileSpec::FromNameAndExtension(L"DejaVuSans16", L".txt"),
                        ReadSourceFile("data/fonts/DejaVuSans16.txt"));
        m_files.AddFile(FileSpec::FromNameAndExtension(L"DejaVuSans16", L".png"),
                        ReadSourceFile("data/fonts/DejaVuSans16.png"));
        m_font = LoadImageFont(L"DejaVuSans16", L"DejaVuSans16");
    }

    void TearDown() override
    {
        if (CDisplay* display = CDisplay::Get())
            display->Shutdown();
        delete CDisplay::Get();
        CDisplay::ClearDeviceTable();
        DDS::GetSdlConfig().softwareAsHal = false;
        ResetEngineGlobals();
        if (m_window)
            SDL_DestroyWindow(m_window);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }

    // Draws the card on a new platform of the kind and reads the back buffer.
    Picture Draw(IGraphicsPlatform* graphics)
    {
        Picture picture;
        graphics->Initialize(DisplaySettings{0, 1, 800, 600});
        if (graphics->BeginFrame() != 0)
            return picture;
        Graphics::DrawTestCard(graphics->GetCanvas(), m_image.get(), m_font.get());
        graphics->EndFrame();
        CDisplay::Get()->GetBackBuffer()->ReadPixels(picture.pixels, picture.width, picture.height);
        graphics->Shutdown();
        delete graphics;
        return picture;
    }

    Journal m_journal;
    FakeFileSystem m_files;
    ScopedFileSystem m_scope{&m_files};
    SDL_Window* m_window = nullptr;
    std::unique_ptr<Image> m_image;
    std::unique_ptr<ImageFont> m_font;
};

TEST_F(RendererCrossCheck, BothRenderersDrawTheTestCardAlike)
{
    ASSERT_NE(m_font, nullptr);
    const Picture hardware = Draw(new D3D7GraphicsPlatform());
    ASSERT_EQ(hardware.width, 800);
    ASSERT_EQ(hardware.height, 600);
    const Picture software = Draw(new DDraw7GraphicsPlatform());
    ASSERT_EQ(software.width, 800);
    ASSERT_EQ(software.height, 600);

    Dump(hardware, "hardware");
    Dump(software, "software");

    const Graphics::TestCardLayout& at = Graphics::GetTestCardLayout();
    const uint32_t paper = 0xFFF6EBD9, coral = 0xFFF0766B, teal = 0xFF2BA6A0;

    // The blended fill is where the renderers differ by design: the hardware one blends, the
    // software one overwrites any fill of alpha above one half.
    const int bx = at.blendedFill.x + 5, by = at.blendedFill.y + at.blendedFill.h - 5; // over paper
    const int ox = at.blendedFill.x + 5, oy = at.blendedFill.y + 5;                    // over coral
    EXPECT_TRUE(Close(hardware.At(bx, by), Blend(teal, 0.75f, paper))) << std::hex << hardware.At(bx, by);
    EXPECT_TRUE(Close(hardware.At(ox, oy), Blend(teal, 0.75f, coral))) << std::hex << hardware.At(ox, oy);
    EXPECT_TRUE(Close(software.At(bx, by), teal)) << std::hex << software.At(bx, by);
    EXPECT_TRUE(Close(software.At(ox, oy), teal)) << std::hex << software.At(ox, oy);

    // Lines, circles and ellipses may differ by one pixel at their edges (line end pixels, rim
    // rasterisation): there a pixel counts as equal when the other picture has its colour within one
    // pixel. Everything else must match pixel for pixel within the channel tolerance.
    auto nearMatch = [](const Picture& a, const Picture& b, int x, int y)
    {
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
            {
                const int nx = x + dx, ny = y + dy;
                if (nx >= 0 && ny >= 0 && nx < b.width && ny < b.height && Close(a.At(x, y), b.At(nx, ny)))
                    return true;
            }
        return false;
    };
    // Filtered images: the hardware renderer filters the stretched image linearly where the software
    // one takes the nearest texel, and SDL's software triangle rasteriser (CI's stand-in for a GPU)
    // samples a turned image up to one texel off. There a pixel must lie, channel by channel, within
    // the range of the other picture's 3 x 3 neighbourhood, give or take one texel step of the card
    // image's ramps (8 a texel) at the image's edges, where the neighbourhood holds only one side.
    constexpr int kTexelStep = 8;
    auto inNeighbourRange = [](const Picture& a, const Picture& b, int x, int y)
    {
        for (int shift = 0; shift < 24; shift += 8)
        {
            int low = 255, high = 0;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                {
                    const int nx = std::clamp(x + dx, 0, b.width - 1),
                              ny = std::clamp(y + dy, 0, b.height - 1);
                    const int v = int((b.At(nx, ny) >> shift) & 0xFF);
                    low = std::min(low, v);
                    high = std::max(high, v);
                }
            const int v = int((a.At(x, y) >> shift) & 0xFF);
            if (v < low - kTexelStep || v > high + kTexelStep)
                return false;
        }
        return true;
    };
    int exactMisses = 0, edgeMisses = 0;
    std::map<std::string, int> missesByRegion;
    std::string firstMiss;
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x)
        {
            if (Inside(at.blendedFill, x, y))
                continue;
            const uint32_t h = hardware.At(x, y), s = software.At(x, y);
            if (Close(h, s))
                continue;
            if ((Inside(at.stretched, x, y) || Inside(at.rotated, x, y)) &&
                inNeighbourRange(hardware, software, x, y) && inNeighbourRange(software, hardware, x, y))
                continue;
            const bool shapes =
                Inside(at.lines, x, y) || Inside(at.circles, x, y) || Inside(at.ellipses, x, y);
            if (shapes && nearMatch(hardware, software, x, y) && nearMatch(software, hardware, x, y))
                continue;
            (shapes ? edgeMisses : exactMisses)++;
            for (const auto& [name, region] : Regions(at))
                if (Inside(region, x, y))
                    ++missesByRegion[name];
            if (firstMiss.empty())
            {
                char text[96];
                std::snprintf(text, sizeof text, "(%d, %d): hardware %08X software %08X", x, y, h, s);
                firstMiss = text;
            }
        }
    std::string where;
    for (const auto& [name, count] : missesByRegion)
        where += " " + name + ":" + std::to_string(count);
    EXPECT_EQ(exactMisses, 0) << firstMiss << where;
    EXPECT_EQ(edgeMisses, 0) << firstMiss << where;

    // And the card is really there: spot checks against known colours.
    EXPECT_TRUE(Close(software.At(at.opaqueFill.x + 2, at.opaqueFill.y + 2), coral));
    EXPECT_TRUE(Close(software.At(at.image.x + 1, at.image.y + 1), 0xFF202020));        // the dark corner
    EXPECT_TRUE(Close(software.At(at.mirrored.x + 30, at.mirrored.y + 1), 0xFF202020)); // mirrored
    EXPECT_TRUE(Close(software.At(at.clipped.x + 1, at.clipped.y + 20), m_image->GetPixel(11, 20)));
    EXPECT_TRUE(Close(software.At(700, 500), paper));
    for (const Picture* picture : {&hardware, &software}) // a quarter turn clockwise: the corner goes right
    {
        EXPECT_TRUE(Close(picture->At(at.rotated.x + 30, at.rotated.y + 1), 0xFF202020));
        EXPECT_FALSE(Close(picture->At(at.rotated.x + 1, at.rotated.y + 1), 0xFF202020));
    }
}

} // namespace
