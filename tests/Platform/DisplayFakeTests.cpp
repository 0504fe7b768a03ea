// Every display test stands on the fake back end: its conversions and scripts must be right.
#include "Platform/Shim/DirectDraw/FakeBackend.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace Kestrin::Shim::DirectDraw;

namespace
{

struct Made
{
    DriverPtr driver;
    SurfacePtr primary;
    SurfacePtr backBuffer;
};

Made MakeFullscreen(FakeBackend& fake)
{
    Made made;
    EXPECT_EQ(fake.CreateDriver(nullptr, made.driver), DD_OK);
    EXPECT_EQ(made.driver->SetDisplayMode(320, 200, 32), DD_OK);
    EXPECT_EQ(made.driver->CreatePrimary(true, made.primary), DD_OK);
    EXPECT_EQ(made.primary->GetAttachedBackBuffer(made.backBuffer), DD_OK);
    return made;
}

} // namespace

TEST(DisplayFake, InstallsItselfAndPutsThePreviousBackBack)
{
    Backend* before = GetInstalledBackend();
    {
        FakeBackend outer;
        EXPECT_EQ(&GetBackend(), &outer);
        {
            FakeBackend inner;
            EXPECT_EQ(&GetBackend(), &inner);
        }
        EXPECT_EQ(&GetBackend(), &outer);
    }
    EXPECT_EQ(GetInstalledBackend(), before);
}

TEST(DisplayFake, ScreenFormatsExpandToArgbWhenBlitted)
{
    const struct
    {
        PixelFormat format;
        uint32_t written, read; // argb written into the screen surface, argb the back buffer shows
    } cases[] = {{{DDPF_RGB, 0, 32, 0xFF0000, 0xFF00, 0xFF, 0}, 0x12345678, 0xFF345678},
                 {{DDPF_RGB, 0, 24, 0xFF0000, 0xFF00, 0xFF, 0}, 0x00102030, 0xFF102030},
                 {{DDPF_RGB, 0, 16, 0xF800, 0x07E0, 0x001F, 0}, 0xFFFFFFFF, 0xFFFFFFFF},
                 {{DDPF_RGB, 0, 16, 0xF800, 0x07E0, 0x001F, 0}, 0xFF840000, 0xFF840000},
                 {{DDPF_RGB, 0, 16, 0x7C00, 0x03E0, 0x001F, 0}, 0xFF0000FF, 0xFF0000FF}};
    for (const auto& c : cases)
    {
        FakeBackend fake;
        fake.screenFormat = c.format;
        fake.pitchPadding = 3;
        Made made = MakeFullscreen(fake);
        SurfacePtr screen;
        ASSERT_EQ(made.driver->CreateOffscreen(5, 3, DDSCAPS_OFFSCREENPLAIN, screen), DD_OK);
        auto* fakeScreen = static_cast<FakeSurface*>(screen.get());
        EXPECT_EQ(fakeScreen->Kind(), "screen");
        EXPECT_GT(fakeScreen->Pitch(), 5 * static_cast<int>(c.format.bits) / 8);
        fakeScreen->SetPixelAt(4, 2, c.written);

        ASSERT_EQ(made.backBuffer->BltFast(10, 20, screen.get()), DD_OK);
        auto* bb = static_cast<FakeSurface*>(made.backBuffer.get());
        EXPECT_EQ(bb->PixelAt(14, 22), c.read) << c.format.bits << " bits";
        EXPECT_EQ(bb->lastBltSource, fakeScreen->Name());
    }
}

TEST(DisplayFake, TwentyFourBitsAreBlueGreenRedInMemory)
{
    FakeBackend fake;
    fake.screenFormat = {DDPF_RGB, 0, 24, 0xFF0000, 0xFF00, 0xFF, 0};
    DriverPtr driver;
    ASSERT_EQ(fake.CreateDriver(nullptr, driver), DD_OK);
    SurfacePtr screen;
    ASSERT_EQ(driver->CreateOffscreen(2, 1, DDSCAPS_OFFSCREENPLAIN, screen), DD_OK);
    void* bits = nullptr;
    int pitch = 0;
    ASSERT_EQ(screen->Lock(bits, pitch, true), DD_OK);
    const uint8_t bgr[3] = {0x30, 0x20, 0x10};
    std::memcpy(static_cast<uint8_t*>(bits) + 3, bgr, 3);
    ASSERT_EQ(screen->Unlock(), DD_OK);
    EXPECT_EQ(static_cast<FakeSurface*>(screen.get())->PixelAt(1, 0), 0xFF102030u);
}

TEST(DisplayFake, ScriptsAreConsumedOneACallKindFirst)
{
    FakeBackend fake;
    Made made = MakeFullscreen(fake);
    fake.Script("Flip", {DDERR_WASSTILLDRAWING, DDERR_WASSTILLDRAWING});
    EXPECT_EQ(made.primary->Flip(), DDERR_WASSTILLDRAWING);
    EXPECT_EQ(made.primary->Flip(), DDERR_WASSTILLDRAWING);
    EXPECT_EQ(made.primary->Flip(), DD_OK);

    SurfacePtr texture;
    ASSERT_EQ(made.driver->CreateTexture(4, 4, ArgbFormat(), true, texture), DD_OK);
    fake.Script("Lock texture", {DDERR_CANTCREATEDC});
    void* bits;
    int pitch;
    EXPECT_EQ(made.backBuffer->Lock(bits, pitch, false), DD_OK)
        << "a texture script leaves other kinds alone";
    EXPECT_EQ(texture->Lock(bits, pitch, true), DDERR_CANTCREATEDC);
    EXPECT_EQ(texture->Lock(bits, pitch, true), DD_OK);
    EXPECT_EQ(texture->Lock(bits, pitch, true), DDERR_GENERIC) << "locked twice";
    EXPECT_EQ(fake.PendingResults(), 0);
}

TEST(DisplayFake, LostSurfacesFailUntilRestored)
{
    FakeBackend fake;
    Made made = MakeFullscreen(fake);
    fake.LoseAllSurfaces();
    EXPECT_TRUE(made.backBuffer->IsLost());
    EXPECT_EQ(made.primary->Flip(), DDERR_SURFACELOST);
    void* bits;
    int pitch;
    EXPECT_EQ(made.backBuffer->Lock(bits, pitch, false), DDERR_SURFACELOST);
    EXPECT_EQ(made.primary->Restore(), DD_OK);
    EXPECT_EQ(made.primary->Flip(), DDERR_SURFACELOST) << "the back buffer is still lost";
    EXPECT_EQ(made.driver->RestoreAllSurfaces(), DD_OK);
    EXPECT_EQ(made.primary->Flip(), DD_OK);
}

TEST(DisplayFake, DeviceKeepsDrawsAndStatesAndRecordsReadableLines)
{
    FakeBackend fake;
    Made made = MakeFullscreen(fake);
    DevicePtr device;
    ASSERT_EQ(made.driver->CreateDevice(DeviceKind::TnLHal, made.backBuffer, device), DD_OK);
    std::shared_ptr<FakeDevice> fakeDevice = fake.LastDevice();
    ASSERT_EQ(fakeDevice.get(), device.get());

    SurfacePtr texture;
    ASSERT_EQ(made.driver->CreateTexture(128, 64, ArgbFormat(), true, texture), DD_OK);
    device->SetRenderState(RenderState::ClipPlaneEnable, 5);
    const float plane[4] = {0, 1, 0, -10.5f};
    device->SetClipPlane(1, plane);
    device->SetTextureStageState(0, TextureStageState::MinFilter, D3DTFN_POINT);
    device->SetTexture(texture.get());
    const Vertex v[3] = {
        {0, 0, 1, 0xFFFFFFFF, 0, 0}, {1, 0, 1, 0xFFFFFFFF, 1, 0}, {0, 1, 1, 0xFFFFFFFF, 0, 1}};
    ASSERT_EQ(device->DrawPrimitive(Prim::TriangleList, v, 3), DD_OK);
    device->SetTexture(nullptr);
    const uint16_t indices[3] = {2, 1, 0};
    ASSERT_EQ(device->DrawIndexedPrimitive(Prim::TriangleList, v, 3, indices, 3), DD_OK);
    ASSERT_EQ(device->Clear(0xFF0000FF), DD_OK);

    ASSERT_EQ(fakeDevice->draws.size(), 2u);
    const FakeDraw& first = fakeDevice->draws[0];
    EXPECT_EQ(first.texture, texture.get());
    EXPECT_EQ(first.clipPlaneEnable, 5u);
    EXPECT_EQ(first.minFilter, D3DTFN_POINT);
    EXPECT_FLOAT_EQ(first.clipPlanes[1][3], -10.5f);
    EXPECT_FLOAT_EQ(first.vertices[2].v, 1.0f);
    EXPECT_EQ(fakeDevice->draws[1].textureName, "null");
    EXPECT_EQ(fakeDevice->draws[1].indices, (std::vector<uint16_t>{2, 1, 0}));
    EXPECT_EQ(static_cast<FakeSurface*>(made.backBuffer.get())->PixelAt(319, 199), 0xFF0000FFu);

    const int create = fake.Find("CreateTexture 128x64 managed");
    ASSERT_GE(create, 0);
    EXPECT_GT(fake.Find("SetRenderState ClipPlaneEnable 5"), create);
    EXPECT_GE(fake.Find("SetClipPlane 1 0 1 0 -10.5"), 0);
    EXPECT_GE(fake.Find("SetTextureStageState 0 MinFilter 1"), 0);
    EXPECT_GE(fake.Find("DrawIndexedPrimitive TriangleList 3 3"), 0);
    EXPECT_EQ(fake.Count("SetTexture "), 2);

    fake.Script("DrawPrimitive", {DDERR_GENERIC});
    EXPECT_EQ(device->DrawPrimitive(Prim::LineList, v, 2), DDERR_GENERIC);
    EXPECT_EQ(fakeDevice->draws.size(), 2u) << "a failed draw is not kept";
}

TEST(DisplayFake, ObjectsOutliveTheFakeQuietly)
{
    DriverPtr driver;
    SurfacePtr surface;
    {
        FakeBackend fake;
        ASSERT_EQ(fake.CreateDriver(nullptr, driver), DD_OK);
        ASSERT_EQ(driver->CreateOffscreen(4, 4, DDSCAPS_OFFSCREENPLAIN, surface), DD_OK);
    }
    EXPECT_EQ(driver->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DD_OK);
    void* bits;
    int pitch;
    EXPECT_EQ(surface->Lock(bits, pitch, false), DD_OK);
    surface.reset();
}
