#include "Platform/Shim/DirectDraw/SdlBackend.h"
#include "Platform/Shim/DirectDraw/SdlInternal.h"
#include "Platform/Shim/Win32/Window.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <tuple>

using namespace Kestrin::Shim::DirectDraw;

namespace
{

constexpr int kW = 64;
constexpr int kH = 48;
constexpr uint32_t kBackground = 0xFF0000FF; // the set-up's clear colour

int Channel(uint32_t argb, int shift)
{
    return int((argb >> shift) & 0xFF);
}

// Within tol on each colour channel.
::testing::AssertionResult Near(uint32_t actual, uint32_t expected, int tol)
{
    for (int shift : {16, 8, 0})
        if (std::abs(Channel(actual, shift) - Channel(expected, shift)) > tol)
            return ::testing::AssertionFailure() << std::hex << "0x" << actual << " is not within "
                                                 << std::dec << tol << " of 0x" << std::hex << expected;
    return ::testing::AssertionSuccess();
}

// A hidden window with driver, windowed primary, back buffer and device, as the windowed set-up makes them.
class SdlShim : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string error;
        ASSERT_TRUE(Kestrin::Shim::StartVideo(error)) << error;
        m_videoStarted = true;
        m_savedConfig = GetSdlConfig();
        m_window = SDL_CreateWindow("shim", 0, 0, kW, kH, SDL_WINDOW_HIDDEN);
        ASSERT_NE(m_window, nullptr) << SDL_GetError();
        ASSERT_EQ(GetSdlBackend().CreateDriver(nullptr, driver), DD_OK);
        ASSERT_EQ(driver->SetCooperativeLevel(m_window, DDSCL_NORMAL | DDSCL_FPUSETUP), DD_OK);
        ASSERT_EQ(driver->CreatePrimary(false, primary), DD_OK);
        ASSERT_EQ(driver->ClipPrimaryToWindow(primary.get(), m_window), DD_OK);
        ASSERT_EQ(driver->CreateOffscreen(kW, kH, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE, backBuffer),
                  DD_OK);
        std::vector<DeviceDesc> devices;
        ASSERT_EQ(driver->EnumDevices(devices), DD_OK);
        ASSERT_FALSE(devices.empty());
        ASSERT_EQ(driver->CreateDevice(devices.back().kind, backBuffer, device), DD_OK);
        ASSERT_EQ(device->SetViewport(0, 0, kW, kH, 0.0f, 1.0f), DD_OK);
        SetFilter(D3DTFN_POINT);
        ASSERT_EQ(device->Clear(kBackground), DD_OK);
    }
    void TearDown() override
    {
        device.reset();
        backBuffer.reset();
        primary.reset();
        driver.reset();
        if (m_window)
            SDL_DestroyWindow(m_window);
        GetSdlConfig() = m_savedConfig;
        // Left running, it would be running still for the tests that check the engine stops it.
        if (m_videoStarted)
            Kestrin::Shim::StopVideo();
    }

    void SetFilter(uint32_t filter)
    {
        device->SetTextureStageState(0, TextureStageState::MinFilter, filter);
        device->SetTextureStageState(0, TextureStageState::MagFilter, filter);
    }

    // Clip planes as the display set-up makes them for a clip rectangle.
    void SetClip(uint32_t mask, int x, int y, int w, int h)
    {
        const float planes[4][4] = {
            {1, 0, 0, -x - 0.5f}, {0, 1, 0, -y - 0.5f}, {-1, 0, 0, x + w - 0.5f}, {0, -1, 0, y + h - 0.5f}};
        device->SetRenderState(RenderState::ClipPlaneEnable, mask);
        for (int i = 0; i < 4; ++i)
            device->SetClipPlane(i, planes[i]);
    }

    SurfacePtr MakeTexture(int w, int h, const std::vector<uint32_t>& pixels, bool alpha = true)
    {
        SurfacePtr texture;
        EXPECT_EQ(driver->CreateTexture(w, h, alpha ? ArgbFormat() : XrgbFormat(), true, texture), DD_OK);
        if (!texture)
            return nullptr;
        void* bits = nullptr;
        int pitch = 0;
        EXPECT_EQ(texture->Lock(bits, pitch, true), DD_OK);
        for (int y = 0; y < h; ++y)
            std::memcpy(static_cast<uint8_t*>(bits) + y * pitch, &pixels[size_t(y * w)], size_t(w) * 4);
        EXPECT_EQ(texture->Unlock(), DD_OK);
        return texture;
    }

    // The canvas's textured quad: corners at -0.5 so texel centres fall on pixel centres.
    HRESULT DrawQuad(float x, float y, float w, float h, uint32_t argb, float u0 = 0, float u1 = 1)
    {
        const Vertex quad[4] = {{x - 0.5f, y - 0.5f, 1, argb, u0, 0},
                                {x - 0.5f, y + h - 0.5f, 1, argb, u0, 1},
                                {x + w - 0.5f, y - 0.5f, 1, argb, u1, 0},
                                {x + w - 0.5f, y + h - 0.5f, 1, argb, u1, 1}};
        return device->DrawPrimitive(Prim::TriangleStrip, quad, 4);
    }

    void Read()
    {
        int w = 0, h = 0;
        ASSERT_EQ(backBuffer->ReadPixels(m_pixels, w, h), DD_OK);
        ASSERT_EQ(std::make_pair(w, h), std::make_pair(kW, kH));
    }
    uint32_t At(int x, int y) const { return m_pixels[size_t(y * kW + x)]; }
    int CountOf(uint32_t argb) const { return int(std::count(m_pixels.begin(), m_pixels.end(), argb)); }

    DriverPtr driver;
    SurfacePtr primary;
    SurfacePtr backBuffer;
    DevicePtr device;
    SDL_Window* m_window = nullptr;
    bool m_videoStarted = false;

private:
    SdlConfig m_savedConfig;
    std::vector<uint32_t> m_pixels;
};

TEST_F(SdlShim, OneToOneImageLandsOnExactTexelsWithEitherFilter)
{
    std::vector<uint32_t> texels(16);
    for (int i = 0; i < 16; ++i)
        texels[size_t(i)] =
            0xFF000000u | uint32_t(i * 16) << 16 | uint32_t(255 - i * 16) << 8 | uint32_t(i * 7);
    SurfacePtr texture = MakeTexture(4, 4, texels);
    ASSERT_TRUE(texture);
    // The pixels go to the device once: SDL keeps no copy of its own for the texture's life.
    int access = -1;
    SDL_QueryTexture(static_cast<Sdl::SdlSurface*>(texture.get())->Texture(), nullptr, &access, nullptr,
                     nullptr);
    EXPECT_EQ(access, SDL_TEXTUREACCESS_STATIC);
    // So a lock reads the pixels back from the device, and a write of one row keeps the others.
    void* bits = nullptr;
    int pitch = 0;
    auto row = [&](int y) { return reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(bits) + y * pitch); };
    ASSERT_EQ(texture->Lock(bits, pitch, false), DD_OK);
    for (int y = 0; y < 4; ++y)
        EXPECT_TRUE(std::equal(row(y), row(y) + 4, &texels[size_t(y * 4)])) << "row " << y;
    ASSERT_EQ(texture->Unlock(), DD_OK);
    ASSERT_EQ(texture->Lock(bits, pitch, true), DD_OK);
    for (int x = 0; x < 4; ++x)
        texels[size_t(8 + x)] = row(2)[x] = 0xFF10E020u + uint32_t(x);
    ASSERT_EQ(texture->Unlock(), DD_OK);
    for (uint32_t filter : {D3DTFN_POINT, D3DTFN_LINEAR})
    {
        SCOPED_TRACE(filter);
        ASSERT_EQ(device->Clear(kBackground), DD_OK);
        SetFilter(filter);
        ASSERT_EQ(device->SetTexture(texture.get()), DD_OK);
        ASSERT_EQ(DrawQuad(10, 20, 4, 4, 0xFFFFFFFF), DD_OK);
        Read();
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                EXPECT_EQ(At(10 + x, 20 + y), texels[size_t(y * 4 + x)]) << x << "," << y;
        EXPECT_EQ(CountOf(kBackground), kW * kH - 16) << "no spill on any side";
    }
}

TEST_F(SdlShim, MirroredStretchedAndBatchedImagesStayExact)
{
    std::vector<uint32_t> texels(16);
    for (int i = 0; i < 16; ++i)
        texels[size_t(i)] = 0xFF000000u | uint32_t(i * 16) << 8 | uint32_t(i);
    SurfacePtr texture = MakeTexture(4, 4, texels);
    ASSERT_EQ(device->SetTexture(texture.get()), DD_OK);
    ASSERT_EQ(DrawQuad(0, 0, 4, 4, 0xFFFFFFFF, 1, 0), DD_OK); // mirrored left to right
    ASSERT_EQ(DrawQuad(10, 0, 8, 8, 0xFFFFFFFF), DD_OK);      // twice the size, point filter
    // Two glyph quads as a text batch makes them: six vertices each, no sharing.
    std::vector<Vertex> batch;
    for (float x : {30.0f, 40.0f})
    {
        const Vertex tl{x - 0.5f, -0.5f, 1, 0xFFFFFFFF, 0, 0}, tr{x + 3.5f, -0.5f, 1, 0xFFFFFFFF, 1, 0};
        const Vertex bl{x - 0.5f, 3.5f, 1, 0xFFFFFFFF, 0, 1}, br{x + 3.5f, 3.5f, 1, 0xFFFFFFFF, 1, 1};
        batch.insert(batch.end(), {tl, bl, tr, tr, bl, br});
    }
    ASSERT_EQ(device->DrawPrimitive(Prim::TriangleList, batch.data(), int(batch.size())), DD_OK);
    Read();
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
        {
            const uint32_t texel = texels[size_t(y * 4 + x)];
            EXPECT_EQ(At(3 - x, y), texel) << x << "," << y;
            for (int d = 0; d < 4; ++d)
                EXPECT_EQ(At(10 + 2 * x + d % 2, 2 * y + d / 2), texel) << x << "," << y;
            EXPECT_EQ(At(30 + x, y), texel) << x << "," << y;
            EXPECT_EQ(At(40 + x, y), texel) << x << "," << y;
        }
    EXPECT_EQ(At(34, 0), kBackground);
    EXPECT_EQ(At(44, 0), kBackground);
}

TEST_F(SdlShim, TurnedQuadCoversItsDiamond)
{
    // A square turned by 45 degrees around (40, 24), corners 8 pixels from the centre.
    const uint32_t red = 0xFFFF0000;
    const Vertex diamond[] = {
        {40, 16, 1, red, 0, 0}, {32, 24, 1, red, 0, 0}, {48, 24, 1, red, 0, 0}, {40, 32, 1, red, 0, 0}};
    ASSERT_EQ(device->DrawPrimitive(Prim::TriangleStrip, diamond, 4), DD_OK);
    Read();
    EXPECT_EQ(At(40, 24), red);
    EXPECT_EQ(At(33, 17), kBackground);
    EXPECT_EQ(At(47, 31), kBackground);
    EXPECT_NEAR(CountOf(red), 128, 12); // the area, give or take the edge pixels
}

TEST_F(SdlShim, TextureModulatesVertexColourAndBlendsSourceOver)
{
    const int tol = 2;
    // Untextured, half-transparent red over blue.
    ASSERT_EQ(device->SetTexture(nullptr), DD_OK);
    ASSERT_EQ(DrawQuad(0, 0, 8, 8, 0x80FF0000), DD_OK);
    // Texture times vertex colour, opaque.
    SurfacePtr texture = MakeTexture(1, 1, {0xFF8040C0});
    ASSERT_EQ(device->SetTexture(texture.get()), DD_OK);
    ASSERT_EQ(DrawQuad(10, 0, 8, 8, 0xFF808080), DD_OK);
    // Texel alpha times vertex alpha: 0.5 x 0.5 of white over blue.
    SurfacePtr translucent = MakeTexture(1, 1, {0x80FFFFFF});
    ASSERT_EQ(device->SetTexture(translucent.get()), DD_OK);
    ASSERT_EQ(DrawQuad(20, 0, 8, 8, 0x80FFFFFF), DD_OK);
    // The opaque format ignores the image's alpha bytes.
    SurfacePtr opaque = MakeTexture(1, 1, {0x0000FF00}, false);
    ASSERT_EQ(device->SetTexture(opaque.get()), DD_OK);
    ASSERT_EQ(DrawQuad(30, 0, 8, 8, 0xFFFFFFFF), DD_OK);
    Read();
    EXPECT_TRUE(Near(At(4, 4), 0xFF80007F, tol));
    EXPECT_TRUE(Near(At(14, 4), 0xFF402060, tol));
    EXPECT_TRUE(Near(At(24, 4), 0xFF4040FF, tol));
    EXPECT_TRUE(Near(At(34, 4), 0xFF00FF00, tol));
}

TEST_F(SdlShim, ClipPlanesCutAtTheClipRectangle)
{
    struct Case
    {
        uint32_t mask;
        int left, top, right, bottom; // expected visible area, right and bottom exclusive
    };
    const Case cases[] = {
        {0xF, 5, 6, 15, 14},
        {0x4, 0, 0, 15, kH}, // only the right plane: the other edges are the viewport's
        {0x3, 5, 6, kW, kH},
        {0x0, 0, 0, kW, kH},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.mask);
        ASSERT_EQ(device->Clear(kBackground), DD_OK);
        SetClip(c.mask, 5, 6, 10, 8);
        ASSERT_EQ(DrawQuad(0, 0, kW, kH, 0xFFFF0000), DD_OK);
        Read();
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x)
            {
                bool inside = x >= c.left && x < c.right && y >= c.top && y < c.bottom;
                ASSERT_EQ(At(x, y), inside ? 0xFFFF0000 : kBackground) << x << "," << y;
            }
    }
    // An empty clip draws nothing and is no failure.
    ASSERT_EQ(device->Clear(kBackground), DD_OK);
    SetClip(0x5, 20, 0, 0, 0);
    EXPECT_EQ(DrawQuad(0, 0, kW, kH, 0xFFFF0000), DD_OK);
    Read();
    EXPECT_EQ(CountOf(kBackground), kW * kH);
}

TEST_F(SdlShim, StripsFansListsAndIndexedTrianglesCoverTheirArea)
{
    const uint32_t red = 0xFFFF0000;
    auto v = [red](float x, float y) { return Vertex{x - 0.5f, y - 0.5f, 1, red, 0, 0}; };
    // A fan of a square: (0, i, i+1).
    const Vertex fan[] = {v(0, 0), v(8, 0), v(8, 8), v(0, 8)};
    ASSERT_EQ(device->DrawPrimitive(Prim::TriangleFan, fan, 4), DD_OK);
    // A strip of two squares side by side: (i, i+1, i+2).
    const Vertex strip[] = {v(10, 0), v(10, 8), v(18, 0), v(18, 8), v(26, 0), v(26, 8)};
    ASSERT_EQ(device->DrawPrimitive(Prim::TriangleStrip, strip, 6), DD_OK);
    // A list with a dangling vertex: only whole triangles.
    const Vertex list[] = {v(30, 0), v(38, 0), v(30, 8), v(38, 0), v(38, 8), v(30, 8), v(60, 40)};
    ASSERT_EQ(device->DrawPrimitive(Prim::TriangleList, list, 7), DD_OK);
    // Indexed as the sprite batch does it: 0, 1, 2, 3, 2, 1.
    const Vertex quad[] = {v(0, 20), v(0, 28), v(8, 20), v(8, 28)};
    const uint16_t indices[] = {0, 1, 2, 3, 2, 1};
    ASSERT_EQ(device->DrawIndexedPrimitive(Prim::TriangleList, quad, 4, indices, 6), DD_OK);
    Read();
    EXPECT_EQ(CountOf(red), 8 * 8 + 16 * 8 + 8 * 8 + 8 * 8);
    EXPECT_EQ(At(0, 0), red);
    EXPECT_EQ(At(7, 7), red);
    EXPECT_EQ(At(25, 7), red);
    EXPECT_EQ(At(37, 7), red);
    EXPECT_EQ(At(7, 27), red);
    EXPECT_EQ(At(8, 8), kBackground);

    const uint16_t outside[] = {0, 1, 4};
    EXPECT_EQ(device->DrawIndexedPrimitive(Prim::TriangleList, quad, 4, outside, 3), DDERR_INVALIDPARAMS);
}

TEST_F(SdlShim, LinesAndPointsLandOnPixelIndices)
{
    const uint32_t green = 0xFF00FF00, white = 0xFFFFFFFF;
    const Vertex line[] = {{2, 3, 1, green, 0, 0}, {9, 3, 1, green, 0, 0}};
    ASSERT_EQ(device->DrawPrimitive(Prim::LineList, line, 2), DD_OK);
    const Vertex strip[] = {{20, 10, 1, green, 0, 0}, {20, 15, 1, green, 0, 0}, {25, 15, 1, green, 0, 0}};
    ASSERT_EQ(device->DrawPrimitive(Prim::LineStrip, strip, 3), DD_OK);
    const Vertex points[] = {{5, 30, 1, white, 0, 0}, {6, 31, 1, white, 0, 0}, {40, 40, 1, green, 0, 0}};
    ASSERT_EQ(device->DrawPrimitive(Prim::PointList, points, 3), DD_OK);
    Read();
    // SDL draws the last pixel too (pixels 2 to 9).
    for (int x = 2; x <= 9; ++x)
        EXPECT_EQ(At(x, 3), green) << x;
    EXPECT_EQ(At(1, 3), kBackground);
    EXPECT_EQ(At(10, 3), kBackground);
    EXPECT_EQ(At(5, 2), kBackground);
    EXPECT_EQ(At(5, 4), kBackground);
    for (int y = 10; y <= 15; ++y)
        EXPECT_EQ(At(20, y), green) << y;
    for (int x = 20; x <= 25; ++x)
        EXPECT_EQ(At(x, 15), green) << x;
    EXPECT_EQ(At(5, 30), white);
    EXPECT_EQ(At(6, 31), white);
    EXPECT_EQ(At(40, 40), green);
    EXPECT_EQ(CountOf(white), 2);
    EXPECT_EQ(CountOf(green), 8 + 6 + 5 + 1);
}

TEST_F(SdlShim, SoftwareScreenExpandsEachFormatToArgbThroughBltFast)
{
    // Row 1 of a 7 x 3 screen (odd: rows are padded to 4 bytes) holds `values`, little-endian, bits / 8
    // bytes each, repeated; the other rows are zero.
    const auto check = [this](int bits, uint32_t r, uint32_t g, uint32_t b,
                              const std::vector<uint32_t>& values, const std::vector<uint32_t>& expected)
    {
        SCOPED_TRACE(::testing::Message() << bits << " bits, red mask 0x" << std::hex << r);
        SdlConfig& config = GetSdlConfig();
        config.screenBits = bits;
        config.screenRMask = r;
        config.screenGMask = g;
        config.screenBMask = b;
        const int w = 7, h = 3, bytes = bits / 8;
        SurfacePtr screen;
        ASSERT_EQ(driver->CreateOffscreen(w, h, DDSCAPS_OFFSCREENPLAIN, screen), DD_OK);
        SurfaceDesc desc;
        ASSERT_EQ(screen->GetDesc(desc), DD_OK);
        EXPECT_EQ(std::make_tuple(desc.width, desc.format.bits, desc.format.rMask, desc.format.gMask,
                                  desc.format.bMask),
                  std::make_tuple(w, uint32_t(bits), r, g, b));
        void* memory = nullptr;
        int pitch = 0;
        ASSERT_EQ(screen->Lock(memory, pitch, false), DD_OK);
        ASSERT_GE(pitch, w * bytes);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
            {
                uint32_t value = y == 1 ? values[size_t(x) % values.size()] : 0;
                std::memcpy(static_cast<uint8_t*>(memory) + y * pitch + x * bytes, &value, size_t(bytes));
            }
        ASSERT_EQ(screen->Unlock(), DD_OK);
        ASSERT_EQ(backBuffer->BltFast(0, 0, screen.get()), DD_OK);
        Read();
        for (int x = 0; x < w; ++x)
        {
            EXPECT_EQ(At(x, 1), expected[size_t(x) % expected.size()]) << x;
            EXPECT_EQ(At(x, 0), 0xFF000000u) << x;
        }
        EXPECT_EQ(At(w, 1), kBackground);
        EXPECT_EQ(At(0, h), kBackground);
    };
    const std::vector<uint32_t> rgbw = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF};
    const auto with = [&rgbw](uint32_t last)
    {
        std::vector<uint32_t> v = rgbw;
        v.push_back(last);
        return v;
    };
    check(16, 0x7C00, 0x03E0, 0x001F, {0x7C00, 0x03E0, 0x001F, 0x7FFF, 0x4210}, with(0xFF848484));
    check(16, 0xFC00, 0x03E0, 0x001F, {0xFC00, 0x03E0, 0x001F, 0xFFFF, 0x8000}, with(0xFF820000));
    check(16, 0xF800, 0x07E0, 0x001F, {0xF800, 0x07E0, 0x001F, 0xFFFF, 0x1106}, with(0xFF102031));
    check(16, 0xF800, 0x07C0, 0x003F, {0xF800, 0x07C0, 0x003F, 0xFFFF, 0x0020}, with(0xFF000082));
    check(24, 0xFF0000, 0x00FF00, 0x0000FF, {0x102030, 0xFFFFFF}, {0xFF102030, 0xFFFFFFFF});
    check(32, 0xFF0000, 0x00FF00, 0x0000FF, {0x00112233, 0x80FFFFFF}, {0xFF112233, 0xFFFFFFFF});
}

TEST_F(SdlShim, RendererResetsLoseSurfacesUntilRestored)
{
    for (Uint32 event : {SDL_RENDER_TARGETS_RESET, SDL_RENDER_DEVICE_RESET})
    {
        SCOPED_TRACE(event);
        SurfacePtr texture = MakeTexture(1, 1, {0xFFFFFF00});
        SurfacePtr screen;
        ASSERT_EQ(driver->CreateOffscreen(4, 4, DDSCAPS_OFFSCREENPLAIN, screen), DD_OK);
        ASSERT_EQ(primary->BltToWindow(backBuffer.get()), DD_OK);

        SDL_Event reset{};
        reset.type = event;
        SDL_PushEvent(&reset);

        EXPECT_TRUE(texture->IsLost());
        EXPECT_TRUE(backBuffer->IsLost());
        EXPECT_FALSE(screen->IsLost()); // memory
        void* bits = nullptr;
        int pitch = 0;
        EXPECT_EQ(texture->Lock(bits, pitch, true), DDERR_SURFACELOST);
        EXPECT_EQ(primary->BltToWindow(backBuffer.get()), DDERR_SURFACELOST);
        // As the display's present does: restore primary and back buffer, then go on.
        EXPECT_EQ(primary->Restore(), DD_OK);
        EXPECT_EQ(backBuffer->Restore(), DD_OK);
        EXPECT_EQ(primary->BltToWindow(backBuffer.get()), DD_OK);

        // The rebuilt back buffer is still the device's target; a lost texture's draws are skipped.
        ASSERT_EQ(device->Clear(kBackground), DD_OK);
        ASSERT_EQ(device->SetTexture(texture.get()), DD_OK);
        EXPECT_TRUE(texture->IsLost());
        EXPECT_EQ(DrawQuad(0, 0, 4, 4, 0xFFFFFFFF), DD_OK);
        Read();
        EXPECT_EQ(CountOf(kBackground), kW * kH);

        EXPECT_EQ(driver->RestoreAllSurfaces(), DD_OK);
        EXPECT_FALSE(texture->IsLost());
        ASSERT_EQ(texture->Lock(bits, pitch, true), DD_OK);
        *static_cast<uint32_t*>(bits) = 0xFF00FFFF;
        EXPECT_EQ(texture->Unlock(), DD_OK);
        EXPECT_EQ(DrawQuad(0, 0, 4, 4, 0xFFFFFFFF), DD_OK);
        Read();
        EXPECT_EQ(At(3, 3), 0xFF00FFFF);
        device->SetTexture(nullptr);
    }
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
}

TEST_F(SdlShim, SurfacesAndDevicesOutlivingTheDriverAreInert)
{
    SurfacePtr texture = MakeTexture(2, 2, {1, 2, 3, 4});
    driver.reset(); // destroys the renderer
    void* bits = nullptr;
    int pitch = 0;
    EXPECT_TRUE(texture->IsLost());
    EXPECT_EQ(texture->Lock(bits, pitch, true), DDERR_SURFACELOST);
    EXPECT_EQ(texture->Restore(), DDERR_SURFACELOST);
    EXPECT_EQ(primary->BltToWindow(backBuffer.get()), DDERR_SURFACELOST);
    EXPECT_EQ(device->SetTexture(texture.get()), DD_OK);
    EXPECT_EQ(DrawQuad(0, 0, 4, 4, 0xFFFFFFFF), DDERR_SURFACELOST);
    EXPECT_EQ(device->Clear(0), DDERR_SURFACELOST);
    std::vector<uint32_t> pixels;
    int w = 0, h = 0;
    EXPECT_EQ(backBuffer->ReadPixels(pixels, w, h), DDERR_SURFACELOST);
    // A new driver can take the window over.
    DriverPtr next;
    ASSERT_EQ(GetSdlBackend().CreateDriver(nullptr, next), DD_OK);
    EXPECT_EQ(next->SetCooperativeLevel(m_window, DDSCL_NORMAL), DD_OK);
}

TEST_F(SdlShim, PresentStretchesWindowedAndLetterboxesFullScreen)
{
    // Windowed: a half-size back buffer fills the whole client area.
    SurfacePtr small;
    ASSERT_EQ(driver->CreateOffscreen(kW / 2, kH / 2, DDSCAPS_3DDEVICE, small), DD_OK);
    DevicePtr smallDevice;
    std::vector<DeviceDesc> devices;
    driver->EnumDevices(devices);
    ASSERT_EQ(driver->CreateDevice(devices.back().kind, small, smallDevice), DD_OK);
    ASSERT_EQ(smallDevice->Clear(0xFFFF0000), DD_OK);
    ASSERT_EQ(primary->BltToWindow(small.get()), DD_OK);
    SDL_Surface* window = SDL_GetWindowSurface(m_window);
    ASSERT_NE(window, nullptr);
    auto windowPixel = [window](int x, int y)
    {
        uint32_t v;
        std::memcpy(&v, static_cast<uint8_t*>(window->pixels) + y * window->pitch + x * 4, 4);
        Uint8 r, g, b;
        SDL_GetRGB(v, window->format, &r, &g, &b);
        return uint32_t(0xFF000000u | r << 16 | g << 8 | b);
    };
    EXPECT_EQ(windowPixel(0, 0), 0xFFFF0000);
    EXPECT_EQ(windowPixel(kW - 1, kH - 1), 0xFFFF0000);

    // Full screen: a square frame gets black bars left and right on the 4:3 window.
    primary.reset();
    smallDevice.reset();
    ASSERT_EQ(driver->SetDisplayMode(24, 24, 32), DD_OK);
    SurfacePtr chain;
    ASSERT_EQ(driver->CreatePrimary(true, chain), DD_OK);
    SurfacePtr attached;
    ASSERT_EQ(chain->GetAttachedBackBuffer(attached), DD_OK);
    SurfaceDesc desc;
    ASSERT_EQ(attached->GetDesc(desc), DD_OK);
    EXPECT_EQ(std::make_pair(desc.width, desc.height), std::make_pair(24, 24));
    DevicePtr chainDevice;
    ASSERT_EQ(driver->CreateDevice(devices.back().kind, attached, chainDevice), DD_OK);
    ASSERT_EQ(chainDevice->Clear(0xFF00FF00), DD_OK);
    ASSERT_EQ(chain->Flip(), DD_OK);
    window = SDL_GetWindowSurface(m_window);
    EXPECT_EQ(windowPixel(kW / 2, kH / 2), 0xFF00FF00);
    EXPECT_EQ(windowPixel(7, kH / 2), 0xFF000000); // bar: (64 - 48) / 2 = 8 columns
    EXPECT_EQ(windowPixel(8, kH / 2), 0xFF00FF00);
    EXPECT_EQ(windowPixel(kW - 8, kH / 2), 0xFF000000);
    EXPECT_EQ(chain->BltToWindow(attached.get()), DDERR_GENERIC); // a flip chain flips
}

TEST_F(SdlShim, LostFocusInFullScreenMeansNoExclusiveMode)
{
    EXPECT_EQ(driver->TestCooperativeLevel(), DD_OK);
    SDL_Event focus{};
    focus.type = SDL_WINDOWEVENT;
    focus.window.windowID = SDL_GetWindowID(m_window);
    focus.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
    SDL_PushEvent(&focus);
    EXPECT_EQ(driver->TestCooperativeLevel(), DD_OK); // windowed: no exclusive mode to lose
    ASSERT_EQ(driver->SetCooperativeLevel(m_window, DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE), DD_OK);
    EXPECT_EQ(driver->TestCooperativeLevel(), DDERR_NOEXCLUSIVEMODE);
    focus.window.event = SDL_WINDOWEVENT_FOCUS_GAINED;
    SDL_PushEvent(&focus);
    EXPECT_EQ(driver->TestCooperativeLevel(), DD_OK);
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
}

TEST_F(SdlShim, ReportsTheDriverDevicesAndModes)
{
    std::vector<ModeDesc> modes;
    ASSERT_EQ(driver->EnumDisplayModes(modes), DD_OK);
    for (const ModeDesc& mode : {ModeDesc{800, 600, 32, false}, ModeDesc{640, 480, 32, false}})
        EXPECT_NE(std::find(modes.begin(), modes.end(), mode), modes.end()) << mode.width;
    for (const ModeDesc& mode : modes)
        EXPECT_TRUE(mode.bits == 16 || mode.bits == 24 || mode.bits == 32) << mode.bits;

    int w = 0, h = 0;
    GetSdlBackend().GetClientSize(m_window, w, h);
    EXPECT_EQ(std::make_pair(w, h), std::make_pair(kW, kH));
    EXPECT_FALSE(GetSdlBackend().IsIconic(m_window));

    DriverCaps caps;
    ASSERT_EQ(driver->GetCaps(caps), DD_OK);
    EXPECT_TRUE(caps.canRenderWindowed);
    EXPECT_GT(caps.vidMemTotal, 8u << 20);
    DeviceIdentifier id;
    ASSERT_EQ(driver->GetDeviceIdentifier(id), DD_OK);
    EXPECT_EQ(id.vendor | id.device | id.subSys | id.revision, 0u);
    EXPECT_EQ(id.description.rfind("SDL ", 0), 0u);
    EXPECT_LE(id.description.size(), 39u);
    EXPECT_EQ(driver->QueryDirect3D(), DD_OK);

    auto software = [this](DeviceDesc& out)
    {
        std::vector<DeviceDesc> devices;
        EXPECT_EQ(driver->EnumDevices(devices), DD_OK);
        for (const DeviceDesc& d : devices)
        {
            EXPECT_EQ(d.renderDepths, uint32_t(DDBD_16 | DDBD_24 | DDBD_32));
            EXPECT_GT(d.maxTextureWidth, 0);
            if (d.name == "software")
                out = d;
        }
        return !out.name.empty();
    };
    DeviceDesc d;
    ASSERT_TRUE(software(d));
    EXPECT_EQ(d.kind, DeviceKind::Software);
    EXPECT_FALSE(d.hwRasterization);

    SdlConfig& config = GetSdlConfig();
    config.softwareAsHal = true;
    config.maxTextureSize = 512;
    config.textureCaps = D3DPTEXTURECAPS_POW2;
    config.desktopBits = 8;
    d = {};
    ASSERT_TRUE(software(d));
    EXPECT_EQ(d.kind, DeviceKind::Hal);
    EXPECT_TRUE(d.hwRasterization);
    EXPECT_EQ(std::make_pair(d.maxTextureWidth, d.maxTextureHeight), std::make_pair(512, 512));
    EXPECT_EQ(d.textureCaps, uint32_t(D3DPTEXTURECAPS_POW2));
    int bits = 0;
    ASSERT_EQ(driver->GetDisplayModeBits(bits), DD_OK);
    EXPECT_EQ(bits, 8);

    std::vector<PixelFormat> formats;
    ASSERT_EQ(device->EnumTextureFormats(formats), DD_OK);
    EXPECT_EQ(formats, (std::vector<PixelFormat>{ArgbFormat(), XrgbFormat()}));
    EXPECT_EQ(driver->CreateDevice(DeviceKind::Ref, backBuffer, device), DDERR_GENERIC);
    EXPECT_EQ(driver->CreateDevice(DeviceKind::Hal, primary, device), DDERR_INVALIDPARAMS);
}

// Log lines name the codes: each code its own name, and the engine's exceptions find them once
// the names are installed.
TEST(SdlShimNames, EveryCodeHasItsOwnNameAndExceptionsFindThem)
{
    const HRESULT codes[] = {DD_OK,
                             DDERR_GENERIC,
                             DDERR_WASSTILLDRAWING,
                             DDERR_SURFACELOST,
                             DDERR_OUTOFVIDEOMEMORY,
                             DDERR_EXCLUSIVEMODEALREADYSET,
                             DDERR_NOEXCLUSIVEMODE,
                             DDERR_WRONGMODE,
                             DDERR_CANTCREATEDC,
                             DDERR_INVALIDPARAMS,
                             DDERR_NOTLOCKED,
                             KESTRIN_E_NODEVICESEEN,
                             KESTRIN_E_NODEVICEACCEPTED,
                             KESTRIN_E_NODEVICEFOUND,
                             KESTRIN_E_256COLORS};
    std::set<std::string> names;
    for (HRESULT code : codes)
    {
        const std::string name = ErrorName(code);
        EXPECT_NE(name, "Unknown") << std::hex << code;
        names.insert(name);
    }
    EXPECT_EQ(names.size(), std::size(codes));
    EXPECT_STREQ(ErrorName(DDERR_SURFACELOST), "DDERR_SURFACELOST");
    EXPECT_STREQ(ErrorName(0x12345678), "Unknown");
    InstallErrorNames();
    EXPECT_STREQ(Kestrin::GetHResultName(DDERR_WRONGMODE), "DDERR_WRONGMODE");
    EXPECT_EQ(Kestrin::GetHResultName(0x12345678), nullptr);
}

} // namespace

namespace
{

// Run in a fresh process (the configuration is read once per process).
TEST(SdlShimConfig, ReadsTheEnvironmentOnceIgnoringWhatIsNoNumber)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    auto child = []
    {
        setenv("KESTRIN_SOFTWARE_AS_HAL", "1", 1);
        setenv("KESTRIN_DESKTOP_BITS", "16", 1);
        setenv("KESTRIN_MAX_TEXTURE", "12x", 1);
        const SdlConfig& config = GetSdlConfig();
        setenv("KESTRIN_DESKTOP_BITS", "24", 1); // too late: already read
        bool ok = config.softwareAsHal && GetSdlConfig().desktopBits == 16 && config.maxTextureSize == 0;
        std::exit(ok ? 0 : 1);
    };
    EXPECT_EXIT(child(), ::testing::ExitedWithCode(0), "");
}

} // namespace
