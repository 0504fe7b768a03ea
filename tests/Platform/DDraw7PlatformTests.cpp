#include "Support/EngineFakes.h"
#include "harness/FakeClock.h"
#include "harness/LogCapture.h"

#include "Graphics/Canvas.h"
#include "Graphics/Image.h"
#include "Platform/Shim/DirectDraw/FakeBackend.h"
#include "Platform/Win32/CDisplay.h"
#include "Platform/Win32/DDraw7GraphicsPlatform.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

namespace
{

using namespace Kestrin;
using namespace KestrinTest;
namespace DD = Kestrin::Shim::DirectDraw;
using Graphics::DrawState;

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr uint32_t kRed = 0xFFFF0000;
constexpr uint32_t kBlue = 0xFF0000FF;

// The buffer's pattern before anything is drawn.
uint32_t Initial(int x, int y)
{
    return 0xFF195800u | (uint32_t(2 * (x + 1) + y) & 0xFFu);
}

// A platform whose window the display layer can be handed (the fake back end never looks inside).
class WindowedPlatform : public FakePlatform
{
public:
    using FakePlatform::FakePlatform;
    void* GetDisplayWindow() override { return reinterpret_cast<void*>(uintptr_t(0x1000)); }
};

std::unique_ptr<Image> SolidImage(int w, int h, uint32_t color)
{
    auto image = std::make_unique<Image>(w, h);
    std::fill(image->Pixels(), image->Pixels() + size_t(w) * size_t(h), color);
    image->hasAlpha = false;
    return image;
}

DrawState Opaque(uint32_t argb)
{
    DrawState state;
    state.color = ColorF::FromARGB(argb);
    state.flags = 0;
    return state;
}

// The call throws an engine_error of this platform with exactly `message`.
void ExpectPlatformError(const std::function<void()>& call, const char* message)
{
    try
    {
        call();
        ADD_FAILURE() << message << ": no exception";
    }
    catch (const engine_error& e)
    {
        EXPECT_STREQ(e.what(), message);
        EXPECT_EQ(e.SourceFile(), "DDraw7GraphicsPlatform");
    }
}

class DDraw7PlatformTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        platform = new WindowedPlatform(journal);
        CDisplay::Instance();
        looper.PushModeNow(new RecordingMode("mode", journal));
    }

    void TearDown() override
    {
        delete graphics;
        // The display goes with the test, as at engine shutdown.
        CDisplaySingletonDestructor guard;
        guard.DestroySingleton();
        ClearQueuedDisplayChanges();
        delete platform;
    }

    // A windowed 800x600 platform on a screen surface in the fake's format.
    void Start(int windowMode = 0)
    {
        graphics = new DDraw7GraphicsPlatform();
        graphics->Initialize(DisplaySettings{windowMode, 1, kWidth, kHeight});
        screen = fake.LastSurface("screen");
        ASSERT_NE(screen, nullptr);
    }

    void MoveMouse(int x, int y) { looper.HandleInputEvent(InputEvent{InputEvent_MouseMove, x, y, 0}); }

    uint32_t At(int x, int y) const { return graphics->Pixels()[size_t(y) * kWidth + size_t(x)]; }

    std::vector<uint32_t> Snapshot() const
    {
        return std::vector<uint32_t>(graphics->Pixels(), graphics->Pixels() + size_t(kWidth) * kHeight);
    }

    // Pixels that no longer hold the initial pattern.
    int ChangedPixels() const
    {
        int changed = 0;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                changed += At(x, y) != Initial(x, y);
        return changed;
    }

    DD::FakeBackend fake;
    FakeClock clock;
    Journal journal;
    Looper looper;
    WindowedPlatform* platform = nullptr;
    DDraw7GraphicsPlatform* graphics = nullptr;
    DD::FakeSurfacePtr screen;
};

// ---- set-up ----

TEST_F(DDraw7PlatformTest, InitializeMakesAScreenSurfaceFillsTheBufferPatternAndAnswersItsName)
{
    LogCapture log;
    Start();
    EXPECT_NE(log.Text().find("Canvas2d: 800x600x32 - OK\n"), std::string::npos) << log.Text();
    EXPECT_FALSE(CDisplay::Get()->UsesD3D());
    EXPECT_EQ(screen->Width(), kWidth);
    EXPECT_EQ(screen->Height(), kHeight);
    EXPECT_EQ(graphics->GetBounds(), Rect<int>(0, 0, kWidth, kHeight));
    EXPECT_EQ(At(10, 5), 0xFF19581Bu);
    EXPECT_EQ(At(0, 0), 0xFF195802u);
    EXPECT_EQ(At(200, 100), 0xFF1958F6u); // 2 * 201 + 100 = 502, low byte 0xF6
    EXPECT_EQ(graphics->GetFlags(), uint32_t(DDraw7GraphicsPlatform::Flag_CustomCursor));
    EXPECT_EQ(graphics->GetCapabilities(), 1);
    EXPECT_EQ(GetGraphicsPlatform(), graphics);

    // Its name, and only its own canvas interfaces.
    NameId name;
    graphics->GetName(name);
    EXPECT_EQ(name, MakeName("DDraw7"));
    Graphics::ICanvas* canvas = graphics->GetCanvas();
    NameId canvasName;
    canvas->GetName(canvasName);
    EXPECT_EQ(canvasName, name);

    EXPECT_NE(Graphics::QueryCanvas<Graphics::IQuadDrawingCanvas>(canvas), nullptr);
    EXPECT_NE(Graphics::QueryCanvas<Graphics::IPixelSettingCanvas>(canvas), nullptr);
    EXPECT_NE(Graphics::QueryCanvas<Graphics::IEllipseDrawingCanvas>(canvas), nullptr);
    void* untouched = &name;
    EXPECT_FALSE(canvas->QueryInterface(Kestrin::Names::ILineDrawingCanvas, &untouched));
    EXPECT_FALSE(canvas->QueryInterface(Kestrin::Names::ITextDrawingCanvas, &untouched));
    EXPECT_FALSE(canvas->QueryInterface(Kestrin::Names::ISpriteDrawingCanvas, &untouched));
    EXPECT_EQ(untouched, &name);
    EXPECT_EQ(graphics->CreateTexture(nullptr), nullptr);
}

TEST_F(DDraw7PlatformTest, SetUpFailuresAreEngineErrorsOfThisPlatform)
{
    graphics = new DDraw7GraphicsPlatform();
    const auto initialize = [this] { graphics->Initialize(DisplaySettings{0, 1, kWidth, kHeight}); };
    // The windowed back buffer first, then the screen surface.
    fake.Script("CreateOffscreen", {DD::DD_OK, DD::DDERR_OUTOFVIDEOMEMORY});
    ExpectPlatformError(initialize, "Could not create screen surface.");
    {
        CDisplaySingletonDestructor guard;
        guard.DestroySingleton();
    }
    ASSERT_EQ(CDisplay::Get(), nullptr);
    ExpectPlatformError(initialize, "No display for DDraw7 graphics platform.");
    // The platform is asked for first.
    delete platform;
    platform = nullptr;
    ExpectPlatformError(initialize, "Using DDraw7 Graphics platform on non-win32 platform.");
}

TEST_F(DDraw7PlatformTest, FullScreenSetsUpTheDisplayAt32Bits)
{
    Start(1);
    EXPECT_TRUE(CDisplay::Get()->IsFullscreen());
    EXPECT_FALSE(CDisplay::Get()->UsesD3D());
    EXPECT_EQ(graphics->GetBitsPerPixel(), 32);
    graphics->SetPixel(1, 1, kRed);
    EXPECT_EQ(graphics->EndFrame(), 0);
    EXPECT_EQ(screen->PixelAt(1, 1), kRed);
}

// ---- frames ----

TEST_F(DDraw7PlatformTest, FrameWithNothingDrawnAndNoCursorIsNotPresented)
{
    Start();
    graphics->SetCustomCursorEnabled(false);
    ASSERT_EQ(graphics->BeginFrame(), 0);
    fake.ClearCalls();
    EXPECT_EQ(graphics->EndFrame(), 0);
    EXPECT_EQ(fake.Count("Lock"), 0);
    EXPECT_EQ(fake.Count("BltFast"), 0);
    EXPECT_EQ(fake.Count("BltToWindow"), 0);

    // One drawn pixel is enough for a whole frame.
    ASSERT_EQ(graphics->BeginFrame(), 0);
    EXPECT_EQ(graphics->SetPixel(3, 4, kRed), 0);
    fake.ClearCalls();
    EXPECT_EQ(graphics->EndFrame(), 0);
    EXPECT_EQ(fake.Count("Lock " + screen->Name()), 1);
    EXPECT_EQ(fake.Count("BltFast"), 1);
    EXPECT_EQ(fake.Count("BltToWindow"), 1);
    EXPECT_FALSE(screen->IsLocked());
    EXPECT_EQ(screen->PixelAt(3, 4), kRed);
    EXPECT_EQ(screen->PixelAt(10, 5) & 0xFFFFFF, 0x19581Bu);
    DD::FakeSurfacePtr backBuffer = fake.LastSurface("backbuffer");
    ASSERT_NE(backBuffer, nullptr);
    EXPECT_EQ(backBuffer->lastBltSource, screen->Name());
    EXPECT_EQ(backBuffer->PixelAt(3, 4), kRed);

    // BeginFrame forgets what was drawn.
    ASSERT_EQ(graphics->BeginFrame(), 0);
    EXPECT_EQ(graphics->GetFlags() & DDraw7GraphicsPlatform::Flag_Drawn, 0u);
    fake.ClearCalls();
    EXPECT_EQ(graphics->EndFrame(), 0);
    EXPECT_EQ(fake.Count("Lock"), 0);
}

TEST_F(DDraw7PlatformTest, BeginFrameSkipsMinimisedAndLostExclusiveModeAndThrowsOnOtherFailures)
{
    Start();
    fake.iconic = true;
    fake.ClearCalls();
    EXPECT_EQ(graphics->BeginFrame(), 1);
    EXPECT_EQ(fake.Count("TestCooperativeLevel"), 0);
    fake.iconic = false;

    for (DD::HRESULT code : {DD::DDERR_NOEXCLUSIVEMODE, DD::DDERR_EXCLUSIVEMODEALREADYSET})
    {
        fake.Script("TestCooperativeLevel", {code});
        clock.slept = 0;
        EXPECT_EQ(graphics->BeginFrame(), 1);
        EXPECT_EQ(clock.slept, 50u);
    }

    // A lost back buffer is brought back before the frame is drawn.
    DD::FakeSurfacePtr backBuffer = fake.LastSurface("backbuffer");
    ASSERT_NE(backBuffer, nullptr);
    backBuffer->lost = true;
    fake.ClearCalls();
    EXPECT_EQ(graphics->BeginFrame(), 0);
    EXPECT_FALSE(backBuffer->lost);
    EXPECT_EQ(fake.Count("Restore " + backBuffer->Name()), 1);

    fake.Script("TestCooperativeLevel", {DD::DDERR_GENERIC});
    try
    {
        graphics->BeginFrame();
        FAIL() << "no exception";
    }
    catch (const com_error& e)
    {
        EXPECT_EQ(e.Code(), DD::DDERR_GENERIC);
        EXPECT_EQ(std::string(e.what()).rfind("TestCooperativeLevel failed", 0), 0u) << e.what();
    }
    EXPECT_EQ(graphics->BeginFrame(), 0);
}

TEST_F(DDraw7PlatformTest, PresentFailuresAreLoggedAndOnlyALostSurfaceRestores)
{
    const struct
    {
        const char* call;
        DD::HRESULT code;
        int result;
        const char* start; // the log opens with this
        const char* message;
        int restores;
    } cases[] = {{"BltToWindow", DD::DDERR_SURFACELOST, 1,
                  "Exception\n\tFile:\tDDraw7GraphicsPlatform\n\tLine:\t", "EndScene failed", 1},
                 {"Lock screen", DD::DDERR_CANTCREATEDC, -1,
                  "Lock() can't create dc\nException\n\tFile:\tDDraw7GraphicsPlatform\n\tLine:\t",
                  "Lock failed", 0},
                 {"BltFast", DD::DDERR_GENERIC, -1, "Exception\n", "Blit failed", 0}};
    Start();
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.call);
        graphics->SetPixel(1, 1, kRed);
        fake.Script(c.call, {c.code});
        LogCapture log;
        fake.ClearCalls();
        EXPECT_EQ(graphics->EndFrame(), c.result);
        const std::string text = log.Text();
        EXPECT_EQ(text.rfind(c.start, 0), 0u) << text;
        EXPECT_NE(text.find(std::string("\tMessage:\t") + c.message), std::string::npos) << text;
        EXPECT_EQ(fake.Count("RestoreAllSurfaces"), c.restores);
        EXPECT_FALSE(screen->IsLocked());
        if (c.code == DD::DDERR_CANTCREATEDC)
        {
            EXPECT_EQ(fake.Count("BltFast"), 0);
        }
    }
}

TEST_F(DDraw7PlatformTest, WrongModeQueuesADisplayResetThatRunsAfterTheFrame)
{
    Start();
    graphics->SetPixel(1, 1, kRed);
    fake.Script("BltToWindow", {DD::DDERR_WRONGMODE});
    EXPECT_EQ(graphics->EndFrame(), 1);
    // Still alive and in charge: nothing was torn down inside its own call.
    EXPECT_EQ(GetGraphicsPlatform(), graphics);
    EXPECT_TRUE(HasQueuedDisplayChanges());
    EXPECT_EQ(graphics->BeginFrame(), 0);

    // The main loop's next pass carries the reset out: this platform is replaced.
    FakeGraphicsFactory factory(journal);
    GetCurrentDisplaySettings() = DisplaySettings{0, 1, kWidth, kHeight};
    journal.Clear();
    EXPECT_TRUE(ApplyQueuedDisplayChanges());
    graphics = nullptr; // deleted by the reset
    EXPECT_EQ(journal.Count("factory.Create 2"), 1u);
    EXPECT_NE(CurrentFakeGraphics(), nullptr);
    delete GetGraphicsPlatform();
    GetCurrentDisplaySettings() = DisplaySettings{-1, 1, 800, 600};
}

// ---- format conversion ----

struct ConversionCase
{
    uint32_t rMask, gMask, bMask;
    int layout;
    uint16_t white;
    uint16_t sample; // 0xFF102030
};

TEST_F(DDraw7PlatformTest, SixteenBitLayoutsConvertByTruncation)
{
    const ConversionCase cases[] = {
        {0x7C00, 0x03E0, 0x001F, 0, 0x7FFF, 0x0886},
        {0xFC00, 0x03E0, 0x001F, 1, 0xFFFF, 0x1086},
        {0xF800, 0x07E0, 0x001F, 2, 0xFFFF, 0x1106},
        {0xF800, 0x07C0, 0x003F, 3, 0xFFFF, 0x110C},
    };
    for (const ConversionCase& c : cases)
    {
        SCOPED_TRACE(c.layout);
        fake.screenFormat = {DD::DDPF_RGB, 0, 16, c.rMask, c.gMask, c.bMask, 0};
        fake.pitchPadding = 6;
        LogCapture log;
        Start();
        char expected[96];
        std::snprintf(expected, sizeof expected,
                      "Canvas2d: 800x600x16 - Red:0x%.4x Green:0x%.4x Blue:0x%.4x - OK\n", c.rMask, c.gMask,
                      c.bMask);
        EXPECT_NE(log.Text().find(expected), std::string::npos) << log.Text();
        EXPECT_EQ(graphics->Get16BitLayout(), c.layout);

        graphics->SetPixel(0, 0, 0xFFFFFFFF);
        graphics->SetPixel(2, 1, 0xFF102030);
        ASSERT_EQ(graphics->EndFrame(), 0);
        uint16_t white, second;
        std::memcpy(&white, screen->Memory(), 2);
        std::memcpy(&second, screen->Memory() + screen->Pitch() + 4, 2);
        EXPECT_EQ(white, c.white);
        EXPECT_EQ(second, c.sample);
        delete graphics;
        graphics = nullptr;
    }
}

TEST_F(DDraw7PlatformTest, TwentyFourBitsWriteBlueGreenRed)
{
    fake.screenFormat = {DD::DDPF_RGB, 0, 24, 0xFF0000, 0xFF00, 0xFF, 0};
    fake.pitchPadding = 3;
    Start();
    graphics->SetPixel(0, 0, 0x80102030);
    graphics->SetPixel(1, 2, 0xFFA0B0C0);
    ASSERT_EQ(graphics->EndFrame(), 0);
    const uint8_t* first = screen->Memory();
    EXPECT_EQ(first[0], 0x30);
    EXPECT_EQ(first[1], 0x20);
    EXPECT_EQ(first[2], 0x10);
    const uint8_t* later = screen->Memory() + 2 * screen->Pitch() + 3;
    EXPECT_EQ(later[0], 0xC0);
    EXPECT_EQ(later[1], 0xB0);
    EXPECT_EQ(later[2], 0xA0);
}

TEST_F(DDraw7PlatformTest, UnknownFormatsAreLoggedAndNeverConverted)
{
    const std::pair<DD::PixelFormat, const char*> cases[] = {
        {{DD::DDPF_RGB, 0, 16, 0x0F00, 0x00F0, 0x000F, 0},
         "Canvas2d: 800x600x16 - Red:0x0f00 Green:0x00f0 Blue:0x000f - Invalid Mode\n"},
        {{DD::DDPF_RGB, 0, 8, 0, 0, 0, 0}, "Canvas2d: 800x600x8 - Invalid Mode\n"},
    };
    for (const auto& [format, line] : cases)
    {
        SCOPED_TRACE(line);
        fake.screenFormat = format;
        LogCapture log;
        Start();
        EXPECT_NE(log.Text().find(line), std::string::npos) << log.Text();
        const size_t bytes = size_t(screen->Pitch()) * size_t(screen->Height());
        std::memset(screen->Memory(), 0x5A, bytes);
        graphics->SetPixel(0, 0, 0xFFFFFFFF);
        EXPECT_EQ(graphics->EndFrame(), 0);
        std::vector<uint8_t> expected(bytes, 0x5A);
        EXPECT_EQ(std::memcmp(screen->Memory(), expected.data(), bytes), 0);
        delete graphics;
        graphics = nullptr;
    }
}

// ---- cursor ----

TEST_F(DDraw7PlatformTest, CursorIsDrawnOnlyWhenActiveEnabledAndTheMouseIsInside)
{
    Start();
    // Large enough to reach into the window even from the mouse-leave position (-50, -50).
    auto cursor = SolidImage(64, 64, kRed);
    graphics->SetCursorImage(cursor.get(), Vector2<int>(1, 1));

    struct Case
    {
        bool active, enabled, leave;
        bool drawn;
    };
    const Case cases[] = {
        {true, true, false, true},
        {false, true, false, false},
        {true, false, false, false},
        {true, true, true, false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.active << c.enabled << c.leave);
        platform->active = c.active;
        graphics->SetCustomCursorEnabled(c.enabled);
        MoveMouse(100, 50);
        if (c.leave)
            looper.HandleInputEvent(InputEvent{InputEvent_MouseLeave, 0, 0, 0});
        graphics->DrawFilledRect(Rect<int>(0, 0, 200, 200), Opaque(kBlue));
        ASSERT_EQ(graphics->EndFrame(), 0);
        // At the mouse less the hot spot.
        EXPECT_EQ(At(99, 49), c.drawn ? kRed : kBlue);
        EXPECT_EQ(At(162, 112), c.drawn ? kRed : kBlue);
        EXPECT_EQ(At(98, 48), kBlue);
        EXPECT_EQ(At(5, 5), kBlue);
        EXPECT_EQ(screen->PixelAt(99, 49), c.drawn ? kRed : kBlue);
    }
}

// ---- fills, pixels and images ----

TEST_F(DDraw7PlatformTest, FillsAreSolidOrNothingAndClipped)
{
    Start();
    DrawState half = Opaque(0x00FF0000);
    half.flags = Graphics::DrawFlag_Blend;
    half.color.a = 0.5f; // byte 127
    EXPECT_EQ(graphics->DrawFilledRect(Rect<int>(10, 10, 5, 5), half), 1);
    EXPECT_EQ(ChangedPixels(), 0);
    EXPECT_EQ(graphics->GetFlags() & DDraw7GraphicsPlatform::Flag_Drawn, 0u);

    DrawState more = half;
    more.color.a = 0.51f; // byte 130, written as it is despite the blend flag
    EXPECT_EQ(graphics->DrawFilledRect(Rect<float>(10.9f, 10.2f, 5.7f, 5.9f), more), 0);
    EXPECT_EQ(At(10, 10), 0x82FF0000u);
    EXPECT_EQ(At(14, 14), 0x82FF0000u);
    EXPECT_EQ(ChangedPixels(), 25);
    EXPECT_NE(graphics->GetFlags() & DDraw7GraphicsPlatform::Flag_Drawn, 0u);

    // Cut to the bounds and the clip rectangle.
    DrawState clipped = Opaque(kBlue);
    clipped.clipRect = {0, 0, 3, 1000};
    EXPECT_EQ(graphics->DrawFilledRect(Rect<int>(-5, kHeight - 2, 20, 20), clipped), 0);
    EXPECT_EQ(ChangedPixels(), 25 + 3 * 2);
    EXPECT_EQ(At(2, kHeight - 1), kBlue);
    EXPECT_EQ(graphics->DrawFilledRect(Rect<int>(kWidth, 0, 5, 5), Opaque(kBlue)), 1);
}

TEST_F(DDraw7PlatformTest, PixelsOutsideTheBoundsAreNeitherWrittenNorRead)
{
    Start();
    const std::pair<float, float> outside[] = {
        {-1.0f, 0.0f}, {0.0f, -1.0f}, {800.0f, 0.0f},  {0.0f, 600.0f},
        {1e10f, 5.0f}, {NAN, 5.0f},   {-0.0f, 600.5f},
    };
    const std::vector<uint32_t> before = Snapshot();
    for (auto [x, y] : outside)
    {
        EXPECT_EQ(graphics->SetPixel(x, y, kRed), 1) << x << "," << y;
        EXPECT_EQ(graphics->GetPixel(x, y), 0u) << x << "," << y;
    }
    EXPECT_EQ(Snapshot(), before);

    EXPECT_EQ(graphics->SetPixel(799.9f, 599.9f, kRed), 0);
    EXPECT_EQ(graphics->GetPixel(799.0f, 599.0f), kRed);
    EXPECT_EQ(graphics->GetPixel(10.0f, 5.0f), 0xFF19581Bu);
}

uint32_t StripColumn(int x, int y)
{
    return 0xFF000000u | uint32_t(x + 1) << 16 | uint32_t(y + 1);
}

// A strip of four frames, two pixels wide each; every column its own colour.
std::unique_ptr<Image> FilmStrip()
{
    auto image = std::make_unique<Image>(8, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 8; ++x)
            image->Pixels()[y * 8 + x] = StripColumn(x, y);
    image->hasAlpha = false;
    return image;
}

// Frame `source` of the strip, mirrored left to right.
DrawState MirroredFrame(const Rect<int>& source)
{
    DrawState state = Opaque(0xFFFFFFFF);
    state.flags = Graphics::DrawFlag_SourceRect | Graphics::DrawFlag_MirrorX;
    state.sourceRect = source;
    return state;
}

TEST_F(DDraw7PlatformTest, MirroredFilmStripFrameShowsThatFrameMirrored)
{
    Start();
    auto strip = FilmStrip();
    for (int frame = 0; frame < 4; ++frame)
    {
        SCOPED_TRACE(frame);
        EXPECT_EQ(graphics->DrawImage(strip.get(), 20.0f, 30.0f, MirroredFrame({2 * frame, 0, 2, 2})), 0);
        for (int y = 0; y < 2; ++y)
        {
            EXPECT_EQ(At(20, 30 + y), StripColumn(2 * frame + 1, y));
            EXPECT_EQ(At(21, 30 + y), StripColumn(2 * frame, y));
        }
        EXPECT_EQ(At(22, 30), Initial(22, 30));
    }
    // Cut at the left edge: the frame's right half was mirrored out of sight, its left half stays.
    EXPECT_EQ(graphics->DrawImage(strip.get(), -1.0f, 40.0f, MirroredFrame({2, 0, 2, 2})), 0);
    EXPECT_EQ(At(0, 40), StripColumn(2, 0));
    EXPECT_EQ(At(1, 40), Initial(1, 40));
    // A rectangle far off the image mirrors to one far off on the other side: nothing, no overflow.
    EXPECT_EQ(graphics->DrawImage(strip.get(), 20.0f, 30.0f, MirroredFrame({INT_MIN, 0, 2, 2})), 1);
}

TEST_F(DDraw7PlatformTest, VerticallyFlippedImageIsDrawnOnceFlipped)
{
    Start();
    auto strip = FilmStrip();
    struct Case
    {
        uint32_t flags;
        bool mirrorX;
    };
    for (Case c : {Case{Graphics::DrawFlag_MirrorY, false},
                   Case{Graphics::DrawFlag_MirrorY | Graphics::DrawFlag_MirrorX, true}})
    {
        SCOPED_TRACE(c.flags);
        DrawState state = Opaque(0xFFFFFFFF);
        state.flags = c.flags | Graphics::DrawFlag_SourceRect;
        state.sourceRect = {4, 0, 2, 2}; // frame 2
        EXPECT_EQ(graphics->DrawImage(strip.get(), 40.5f, 50.0f, state), 0);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 2; ++x)
                EXPECT_EQ(At(40 + x, 50 + y), StripColumn(4 + (c.mirrorX ? 1 - x : x), 1 - y))
                    << x << "," << y;
        // Drawn at the frame's size, nothing beside it.
        EXPECT_EQ(At(42, 50), Initial(42, 50));
        EXPECT_EQ(At(40, 52), Initial(40, 52));

        // Cut at the top: the row left in sight is the frame's top row, now at the bottom.
        EXPECT_EQ(graphics->DrawImage(strip.get(), 60.0f, -1.0f, state), 0);
        EXPECT_EQ(At(60, 0), StripColumn(4 + (c.mirrorX ? 1 : 0), 0));
        EXPECT_EQ(At(60, 1), Initial(60, 1));
    }
}

TEST_F(DDraw7PlatformTest, OnlyEngineImagesAreDrawn)
{
    Start();
    // Not an engine image: nothing.
    class OtherImage : public IImage
    {
    public:
        int GetWidth() const override { return 1; }
        int GetHeight() const override { return 1; }
        uint32_t GetPixel(int, int) const override { return 0; }
        void SetSurface(ITexture*) override {}
        ITexture* GetSurface() override { return nullptr; }
    } other;
    EXPECT_EQ(graphics->DrawImage(&other, 0, 0, Opaque(0xFFFFFFFF)), 1);
    EXPECT_EQ(graphics->DrawRotatedImage(&other, 0, 0, 1.0f, Opaque(0xFFFFFFFF)), 1);
    EXPECT_EQ(graphics->DrawStretchedImage(&other, Rect<int>(0, 0, 4, 4), Opaque(0xFFFFFFFF)), 1);
    EXPECT_EQ(ChangedPixels(), 0);
}

TEST_F(DDraw7PlatformTest, RotationWithoutACacheWarnsOnceAndDrawsACentredCopy)
{
    Start();
    auto square = SolidImage(4, 4, kRed);
    LogCapture log;
    const float quarter = 1.5707964f;
    EXPECT_EQ(graphics->DrawRotatedImage(square.get(), 100.0f, 100.0f, quarter, Opaque(0xFFFFFFFF)), 0);
    EXPECT_EQ(graphics->DrawRotatedImage(square.get(), 200.0f, 100.0f, quarter, Opaque(0xFFFFFFFF)), 0);
    const std::string warning =
        "Performance warning: DDraw7GraphicsPlatform::DrawRotatedImage() is manually "
        "creating rotated Images every frame! Specify a default number of rotations in "
        "the Image resource.\r\n";
    EXPECT_EQ(log.Text(), warning);
    EXPECT_EQ(At(98, 98), kRed);
    EXPECT_EQ(At(101, 101), kRed);
    EXPECT_EQ(At(102, 102), Initial(102, 102));
    EXPECT_EQ(At(198, 98), kRed);
}

TEST_F(DDraw7PlatformTest, RotationFromTheImageCacheIsDrawnCentredWithoutAWarning)
{
    Start();
    // 4 wide and 2 high: a quarter turn stands it up, 2 wide and 4 high.
    auto bar = SolidImage(4, 2, kRed);
    BuildRotationCache(*bar, 4);
    LogCapture log;
    EXPECT_EQ(graphics->DrawRotatedImage(bar.get(), 100.0f, 100.0f, 1.5707964f, Opaque(0xFFFFFFFF)), 0);
    EXPECT_EQ(log.Text(), "");
    EXPECT_EQ(ChangedPixels(), 8);
    EXPECT_EQ(At(99, 98), kRed);
    EXPECT_EQ(At(100, 101), kRed);
    EXPECT_EQ(At(101, 100), Initial(101, 100));
    // The cached copy stays the image's own.
    ASSERT_NE(bar->GetRotationCache(), nullptr);
    EXPECT_NE(bar->GetRotationCache()->images[1], nullptr);
}

// ---- circles and ellipses ----

TEST_F(DDraw7PlatformTest, SmallTransparentAndOutOfClipCirclesAndSizelessEllipses)
{
    Start();
    EXPECT_EQ(graphics->DrawFilledCircle(50.7f, 60.2f, 0.5f, Opaque(kRed)), 0);
    EXPECT_EQ(At(50, 60), kRed);
    EXPECT_EQ(ChangedPixels(), 1);
    EXPECT_EQ(graphics->DrawLineCircle(70.0f, 60.0f, 0.5f, Opaque(kRed)), 0);
    EXPECT_EQ(ChangedPixels(), 2);

    DrawState faint = Opaque(kRed);
    faint.color.a = 0.49f;
    DrawState clipped = Opaque(kRed);
    clipped.clipRect = {0, 0, 100, 100};
    const struct
    {
        float x, y, radius;
        DrawState state;
    } nothing[] = {
        {100.0f, 100.0f, 0.2f, Opaque(kRed)},
        {100.0f, 100.0f, 10.0f, faint},
        {-20.0f, 100.0f, 10.0f, Opaque(kRed)},
        {100.0f, 620.0f, 5.0f, Opaque(kRed)},
        {150.0f, 150.0f, 10.0f, clipped},
        {100.0f, 100.0f, -3.0f, Opaque(kRed)},
        {100.0f, 100.0f, NAN, Opaque(kRed)},
        // Just past the clip's right edge: no pixel of these could land inside.
        {100.0f, 50.0f, 0.5f, clipped},
        {102.0f, 50.0f, 2.5f, clipped},
    };
    ASSERT_EQ(graphics->BeginFrame(), 0); // forget the two drawn above
    for (const auto& c : nothing)
    {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y << " r " << c.radius);
        EXPECT_EQ(graphics->DrawFilledCircle(c.x, c.y, c.radius, c.state), 1);
        EXPECT_EQ(graphics->DrawLineCircle(c.x, c.y, c.radius, c.state), 1);
    }
    // Nor do ellipses without size.
    const Rect<float> sizeless[] = {{0.0f, 0.0f, 0.9f, 0.2f},
                                    {10.0f, 10.0f, 0.0f, 5.0f},
                                    {10.0f, 10.0f, 8.0f, -5.0f},
                                    {10.0f, 10.0f, -9.0f, -3.0f}};
    for (const Rect<float>& r : sizeless)
    {
        EXPECT_EQ(graphics->DrawFilledEllipse(r, Opaque(kRed)), 1) << r.w << "x" << r.h;
        EXPECT_EQ(graphics->DrawLineEllipse(r, Opaque(kRed)), 1) << r.w << "x" << r.h;
    }
    EXPECT_EQ(ChangedPixels(), 2);
    EXPECT_EQ(graphics->GetFlags() & DDraw7GraphicsPlatform::Flag_Drawn, 0u);

    // One pixel further in, the rim reaches the clip's last column.
    EXPECT_EQ(graphics->DrawLineCircle(101.0f, 50.0f, 2.5f, clipped), 0);
    for (int y = 49; y <= 51; ++y)
        EXPECT_EQ(At(99, y), kRed) << y;
    EXPECT_EQ(ChangedPixels(), 2 + 3);
}

TEST_F(DDraw7PlatformTest, FilledCircleIsSymmetricWithoutGapsAndTheOutlineIsItsRim)
{
    Start();
    const int cx = 300, cy = 200;
    EXPECT_EQ(graphics->DrawFilledCircle(float(cx), float(cy), 5.0f, Opaque(kRed)), 0);
    int top = cy, bottom = cy;
    for (int y = cy - 8; y <= cy + 8; ++y)
    {
        int first = -1, last = -1, count = 0;
        for (int x = cx - 8; x <= cx + 8; ++x)
            if (At(x, y) == kRed)
            {
                first = first < 0 ? x : first;
                last = x;
                ++count;
                // Four quadrants alike.
                EXPECT_EQ(At(2 * cx - x, y), kRed);
                EXPECT_EQ(At(x, 2 * cy - y), kRed);
            }
        if (count)
        {
            top = std::min(top, y);
            bottom = std::max(bottom, y);
            EXPECT_EQ(count, last - first + 1) << "a hole in row " << y;
        }
    }
    EXPECT_EQ(cy - top, 5);
    EXPECT_EQ(bottom - cy, 5);
    for (int y = top; y <= bottom; ++y)
        EXPECT_EQ(At(cx, y), kRed) << "gap at row " << y;
    EXPECT_EQ(At(cx - 5, cy), kRed);
    EXPECT_EQ(At(cx - 6, cy), Initial(cx - 6, cy));

    // The outline lies on the disc's rim: every outline pixel is in the disc, the centre is not drawn.
    EXPECT_EQ(graphics->DrawLineCircle(float(cx + 100), float(cy), 5.0f, Opaque(kBlue)), 0);
    int outline = 0;
    for (int y = cy - 6; y <= cy + 6; ++y)
        for (int x = cx + 94; x <= cx + 106; ++x)
            if (At(x, y) == kBlue)
            {
                ++outline;
                EXPECT_EQ(At(x - 100, y), kRed) << x << "," << y;
            }
    EXPECT_GT(outline, 20);
    EXPECT_EQ(At(cx + 100, cy), Initial(cx + 100, cy));
}

TEST_F(DDraw7PlatformTest, HugeCirclesStillDrawButAreNotCached)
{
    Start();
    EXPECT_EQ(graphics->DrawFilledCircle(400.0f, 300.0f, 5.0f, Opaque(kBlue)), 0);
    EXPECT_EQ(graphics->CachedCircleCount(), 1u);
    // Doubled radius 10000, above the cap: the whole screen lies inside.
    EXPECT_EQ(graphics->DrawFilledCircle(400.0f, 300.0f, 5000.0f, Opaque(kRed)), 0);
    EXPECT_EQ(graphics->CachedCircleCount(), 1u);
    EXPECT_EQ(At(0, 0), kRed);
    EXPECT_EQ(At(799, 599), kRed);
    // Far beyond any list: nothing, without a cache entry either.
    EXPECT_EQ(graphics->DrawLineCircle(400.0f, 300.0f, 3e9f, Opaque(kBlue)), 1);
    EXPECT_EQ(graphics->CachedCircleCount(), 1u);
    // The same radius again comes from the cache.
    EXPECT_EQ(graphics->DrawLineCircle(100.0f, 100.0f, 5.0f, Opaque(kBlue)), 0);
    EXPECT_EQ(graphics->CachedCircleCount(), 1u);
}

TEST_F(DDraw7PlatformTest, NearlySquareEllipseIsTheCircleOfItsWidth)
{
    struct Case
    {
        Rect<float> box;
        float centre, radius;
    };
    // The second one would be a smaller shape on the ellipse rule (sides truncated to 10).
    const Case cases[] = {{{0.0f, 0.0f, 10.2f, 10.0f}, 5.1f, 5.1f}, {{0.0f, 0.0f, 10.6f, 10.2f}, 5.3f, 5.3f}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.box.w);
        Start();
        EXPECT_EQ(graphics->DrawFilledEllipse(c.box, Opaque(kRed)), 0);
        const std::vector<uint32_t> ellipse = Snapshot();
        EXPECT_EQ(graphics->DrawFilledCircle(c.centre, c.centre, c.radius, Opaque(kBlue)), 0);
        const std::vector<uint32_t> circle = Snapshot();
        int drawn = 0, differences = 0;
        for (size_t i = 0; i < circle.size(); ++i)
        {
            differences += circle[i] == kRed || (ellipse[i] == kRed) != (circle[i] == kBlue);
            drawn += ellipse[i] == kRed;
        }
        EXPECT_EQ(differences, 0);
        EXPECT_GT(drawn, 50);
        delete graphics;
        graphics = nullptr;
    }
}

} // namespace
