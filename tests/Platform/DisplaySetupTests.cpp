#include "Platform/Shim/DirectDraw/FakeBackend.h"
#include "Platform/Win32/CDisplay.h"
#include "Platform/Win32/GraphicsPlatforms.h"
#include "harness/LogCapture.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>

using namespace Kestrin;
using namespace Kestrin::Shim::DirectDraw;
using KestrinTest::LogCapture;

namespace
{

WindowHandle TestWindow()
{
    static int dummy;
    return reinterpret_cast<WindowHandle>(&dummy);
}

struct Thrown
{
    bool thrown = false;
    bool isCom = false;
    HRESULT code = 0;
    std::string message;
};

Thrown Catch(const std::function<void()>& f)
{
    Thrown t;
    try
    {
        f();
    }
    catch (const com_error& e)
    {
        t = {true, true, e.Code(), e.what()};
    }
    catch (const engine_error& e)
    {
        t = {true, false, 0, e.what()};
    }
    return t;
}

bool StartsWith(const std::string& text, const std::string& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

// Texture limits for the TnL device, the one the set-up prefers.
std::function<void(FakeBackend&)> TnLTextures(uint32_t caps, int maxW, int maxH)
{
    return [=](FakeBackend& fake)
    {
        for (DeviceDesc& d : fake.drivers[0].devices)
            if (d.kind == DeviceKind::TnLHal)
            {
                d.textureCaps = caps;
                d.maxTextureWidth = maxW;
                d.maxTextureHeight = maxH;
            }
    };
}

// A windowed set-up on a back end of its own, arranged first; the table is filled afresh.
struct Fresh
{
    explicit Fresh(const std::function<void(FakeBackend&)>& arrange)
    {
        arrange(fake);
        CDisplay::ClearDeviceTable();
        thrown = Catch([&] { display.SetupWindowed(TestWindow(), 800, 600); });
    }
    ~Fresh() { display.Shutdown(); }
    FakeBackend fake;
    CDisplay display;
    Thrown thrown;
};

class DisplaySetup : public ::testing::Test
{
protected:
    void SetUp() override { CDisplay::ClearDeviceTable(); }
    void TearDown() override
    {
        display.Shutdown();
        CDisplay::ClearDeviceTable();
    }

    void Windowed() { display.SetupWindowed(TestWindow(), 800, 600); }
    void Fullscreen(int bits = 32) { display.SetupFullscreen(TestWindow(), 800, 600, bits); }
    void Setup(bool fullscreen) { fullscreen ? Fullscreen() : Windowed(); }
    FakeDriverSpec& Driver() { return fake.drivers[0]; }
    // The calls from index `from` on, "; "-separated.
    std::string CallsFrom(int from)
    {
        std::string text;
        for (size_t i = size_t(from); i < fake.calls.size(); ++i)
            text += (text.empty() ? "" : "; ") + fake.calls[i];
        return text;
    }
    // The display holds nothing and gave the screen back.
    void ExpectShutDown()
    {
        EXPECT_EQ(display.GetDirectDraw(), nullptr);
        EXPECT_EQ(display.GetDevice(), nullptr);
        EXPECT_EQ(display.GetPrimary(), nullptr);
        EXPECT_EQ(display.GetBackBuffer(), nullptr);
        EXPECT_TRUE(fake.LastSurface("primary") == nullptr);
        EXPECT_TRUE(fake.LastDevice() == nullptr);
    }

    FakeBackend fake; // outlives the display
    CDisplay display;
};

} // namespace

TEST_F(DisplaySetup, A256ColourDesktopStopsBothSetupsAndShutsDown)
{
    for (bool fullscreen : {false, true})
    {
        fake.desktopBits = 8;
        fake.ClearCalls();
        Thrown t = Catch([&] { Setup(fullscreen); });
        ASSERT_TRUE(t.isCom) << fullscreen;
        EXPECT_EQ(t.code, 0x8876023Cu);
        EXPECT_TRUE(StartsWith(t.message, "Screen is in 256 color or less mode.")) << t.message;
        ExpectShutDown();
        EXPECT_EQ(fake.calls.back(), "SetCooperativeLevel 0x8") << "the screen is handed back";
        EXPECT_EQ(fake.Find("SetDisplayMode"), -1);

        fake.desktopBits = 16;
        EXPECT_NO_THROW(Setup(fullscreen));
        display.Shutdown();
    }
}

TEST_F(DisplaySetup, VideoMemoryMustExceedEightMiB)
{
    Driver().caps.vidMemTotal = 8388608;
    Driver().caps.vidMemFree = 100;
    {
        LogCapture log;
        Thrown t = Catch([&] { Windowed(); });
        ASSERT_TRUE(t.thrown);
        EXPECT_FALSE(t.isCom);
        EXPECT_EQ(t.message, "Not enough free texture memory to run in 3D.");
        EXPECT_NE(log.Text().find("Driver Video Memory: 8388608 Total, 100 Free\n"), std::string::npos);
        ExpectShutDown();
    }
    CDisplay::ClearDeviceTable();
    Driver().caps.vidMemTotal = 8388609;
    EXPECT_NO_THROW(Windowed());
    EXPECT_NE(display.GetDevice(), nullptr);
}

TEST_F(DisplaySetup, FullScreenTakesTheFirstSortedModeAtLeastTheWantedSizeWithExactBits)
{
    {
        LogCapture log;
        Fullscreen();
        EXPECT_EQ(log.Text().substr(0, log.Text().find("Driver Video Memory")),
                  "Exploring mode 640x480x16\n"
                  "Exploring mode 640x480x32\n"
                  "Exploring mode 800x600x16\n"
                  "Exploring mode 800x600x32\n"
                  "Accepting mode 800x600x32\n");
        EXPECT_GE(fake.Find("SetDisplayMode 800x600x32"), 0);
        EXPECT_EQ(display.GetWidth(), 800);
        EXPECT_TRUE(display.IsFullscreen());
    }

    CDisplay::ClearDeviceTable();
    Driver().modes = {{1024, 768, 32, false}, {1024, 768, 16, false}};
    {
        LogCapture log;
        Fullscreen();
        EXPECT_NE(log.Text().find("Accepting mode 1024x768x32\n"), std::string::npos);
        EXPECT_GE(fake.Find("SetDisplayMode 1024x768x32"), 0);
        EXPECT_EQ(std::make_pair(display.GetWidth(), display.GetHeight()), std::make_pair(1024, 768));
    }

    CDisplay::ClearDeviceTable();
    Driver().modes = {{800, 600, 16, false}, {1024, 768, 16, false}};
    Thrown t = Catch([&] { Fullscreen(); });
    EXPECT_EQ(t.message, "Could not find a compatible full screen display mode.");
    EXPECT_FALSE(t.isCom);

    // The devices render 16, 24 and 32 bits only.
    for (int bits : {8, 15})
        EXPECT_EQ(Catch([&] { Fullscreen(bits); }).message, "Unexpected bit depth in full screen.") << bits;
}

TEST_F(DisplaySetup, TextureFormatsAreLoggedAndOnlyThe32BitOnesAccepted)
{
    const PixelFormat dxt1{DDPF_FOURCC, 0x31545844, 0, 0, 0, 0, 0};
    const PixelFormat rgb565{DDPF_RGB, 0, 16, 0xF800, 0x07E0, 0x001F, 0};
    const PixelFormat argb4444{DDPF_RGB | DDPF_ALPHAPIXELS, 0, 16, 0x0F00, 0x00F0, 0x000F, 0xF000};
    const PixelFormat pal8{DDPF_PALETTEINDEXED8, 0, 8, 0, 0, 0, 0};
    const PixelFormat pal2{DDPF_RGB | DDPF_PALETTEINDEXED2, 0, 2, 0, 0, 0, 0};
    const PixelFormat bump{DDPF_BUMPDUDV | DDPF_LUMINANCE, 0, 16, 0, 0, 0, 0};
    fake.textureFormats = {dxt1, rgb565, pal8, pal2, bump, ArgbFormat(), XrgbFormat(), argb4444};

    LogCapture log;
    Windowed();
    const std::string text = log.Text();
    const size_t from = text.find("Texture Formats:\n");
    ASSERT_NE(from, std::string::npos);
    EXPECT_EQ(text.substr(from), "Texture Formats:\n"
                                 "\tDXT1 - DDPF_FOURCC, - Skipped\n"
                                 "\t16 bit 565 - DDPF_RGB, - Skipped\n"
                                 "\t8 bit - DDPF_PALETTEINDEXED8, - indexed 8"
                                 "\t2 bit - DDPF_RGB, DDPF_PALETTEINDEXED2, - indexed 2"
                                 "\t16 bit - DDPF_LUMINANCE, DDPF_BUMPDUDV, - Skipped\n"
                                 "\t32 bit 8888 - DDPF_ALPHAPIXELS, DDPF_RGB, - Good Format\n"
                                 "\t32 bit 888 - DDPF_RGB, - Good Format\n"
                                 "\t16 bit 4444 - DDPF_ALPHAPIXELS, DDPF_RGB, - Skipped\n");
    EXPECT_EQ(display.GetAlphaTextureFormat(), ArgbFormat());
    EXPECT_EQ(display.GetOpaqueTextureFormat(), XrgbFormat());
    EXPECT_TRUE(display.HasOpaqueTextureFormat());

    // 16-bit formats only, or an opaque 32-bit one alone, are refused.
    display.Shutdown();
    for (const std::vector<PixelFormat>& formats :
         {std::vector<PixelFormat>{rgb565, argb4444}, {XrgbFormat()}})
    {
        fake.textureFormats = formats;
        Thrown t = Catch([&] { Windowed(); });
        EXPECT_EQ(t.message, "Could not find acceptable texture format.");
        ExpectShutDown();
        EXPECT_EQ(display.GetAlphaTextureFormat(), PixelFormat{});
    }
}

TEST_F(DisplaySetup, DeviceChoicePrefersTnLThenHalThenSoftwareThenReference)
{
    using K = DeviceKind;
    const struct
    {
        std::vector<DeviceKind> offered;
        DeviceKind chosen;
        bool d3d;
    } cases[] = {{{K::Software, K::Ref, K::Hal, K::TnLHal}, K::TnLHal, true},
                 {{K::Hal, K::Software, K::Ref}, K::Hal, true},
                 {{K::Ref, K::Software}, K::Software, false},
                 {{K::Ref}, K::Ref, false}};
    for (const auto& c : cases)
    {
        Fresh f(
            [&](FakeBackend& local)
            {
                local.drivers[0].devices.clear();
                for (DeviceKind kind : c.offered)
                    local.drivers[0].devices.push_back(FakeDeviceDesc(kind, DeviceKindName(kind)));
            });
        EXPECT_EQ(f.display.GetDeviceKind(), c.chosen) << DeviceKindName(c.chosen);
        EXPECT_EQ(f.display.UsesD3D(), c.d3d);
        EXPECT_EQ(f.fake.Find("CreateDevice") >= 0, c.d3d) << "no device without hardware";
        EXPECT_EQ(f.display.GetOffscreenPlacement(), c.d3d ? DDSCAPS_VIDEOMEMORY : DDSCAPS_SYSTEMMEMORY);
    }
}

TEST_F(DisplaySetup, BrokenHardwareIsPassedOverWithALogLine)
{
    Driver().identifier = {0x1002, 0x4C57, 0x01491028, 0, "ATI MOBILITY RADEON 7500C (x86)"};
    LogCapture log;
    Windowed();
    const std::string line = "Broken 3D Hardware: ATI Mobility Radeon 7500C fails to manage texture memory "
                             "correctly causing display corruption.\n";
    const std::string text = log.Text();
    const size_t first = text.find(line);
    ASSERT_NE(first, std::string::npos);
    EXPECT_NE(text.find(line, first + 1), std::string::npos)
        << "both hardware devices of the driver are refused";
    // Both hardware devices share the driver's identifier, so the software device is what is left.
    EXPECT_EQ(display.GetDeviceKind(), DeviceKind::Software);
    EXPECT_FALSE(display.UsesD3D());

    // One field off and the device is fine.
    const DeviceIdentifier near[] = {{0x1003, 0x4C57, 0x01491028, 0, "MOBILITY RADEON 7500C"},
                                     {0x1002, 0x4C58, 0x01491028, 0, "MOBILITY RADEON 7500C"},
                                     {0x1002, 0x4C57, 0x01491029, 0, "MOBILITY RADEON 7500C"},
                                     {0x1002, 0x4C57, 0x01491028, 1, "MOBILITY RADEON 7500C"},
                                     {0x1002, 0x4C57, 0x01491028, 0, "MOBILITY RADEON 7500"}};
    for (const DeviceIdentifier& id : near)
    {
        LogCapture quiet;
        Fresh f([&](FakeBackend& local) { local.drivers[0].identifier = id; });
        EXPECT_EQ(f.display.GetDeviceKind(), DeviceKind::TnLHal) << id.description;
        EXPECT_EQ(quiet.Text().find("Broken 3D Hardware"), std::string::npos);
    }
}

TEST_F(DisplaySetup, EnumerationFailuresCarryTheirCodes)
{
    using Arrange = std::function<void(FakeBackend&)>;
    // 0x81000002: nothing seen; 0x81000003: nothing accepted; 0x81000004: nothing found.
    const std::pair<HRESULT, Arrange> cases[] = {
        {0x81000002, [](FakeBackend& f) { f.drivers[0].devices.clear(); }},
        {0x81000002, [](FakeBackend& f) { f.drivers.clear(); }},
        {0x81000002, [](FakeBackend& f) { f.drivers[0].hasDirect3D = false; }},
        {0x81000002, [](FakeBackend& f) { f.drivers[0].createResult = DDERR_GENERIC; }},
        {0x81000003,
         [](FakeBackend& f) {
             f.drivers[0].modes = {{640, 480, 8, false}};
         }},
        {0x81000003, // depths the devices cannot render
         [](FakeBackend& f)
         {
             for (DeviceDesc& d : f.drivers[0].devices)
                 d.renderDepths = DDBD_8 | DDBD_24;
             f.drivers[0].modes = {{800, 600, 32, false}, {800, 600, 16, false}};
         }},
        {0x81000004, [](FakeBackend& f) { f.drivers[0].caps.canRenderWindowed = false; }},
        {0x81000004, [](FakeBackend& f) { f.drivers[0].info.primary = false; }},
    };
    int i = 0;
    for (const auto& [code, arrange] : cases)
    {
        Fresh f(arrange);
        const Thrown& t = f.thrown;
        ASSERT_TRUE(t.isCom) << i;
        EXPECT_EQ(t.code, code) << i;
        EXPECT_TRUE(StartsWith(t.message, code == 0x81000004 ? "Direct3D device could not be found."
                                                             : "Direct3D device enumeration failed."))
            << i << ": " << t.message;
        EXPECT_EQ(f.display.GetDirectDraw(), nullptr);
        ++i;
    }
}

TEST_F(DisplaySetup, EnumerationFillsTheTableOnceAndKeepsTwentyRecords)
{
    Driver().devices.clear();
    for (int i = 0; i < 25; ++i)
        Driver().devices.push_back(
            FakeDeviceDesc(i == 24 ? DeviceKind::TnLHal : DeviceKind::Hal,
                           "Device " + std::to_string(i) + " with a name longer than the record"));
    Windowed();
    EXPECT_EQ(CDisplay::DevicesSeen(), 25);
    ASSERT_EQ(CDisplay::Devices().size(), 20u);
    EXPECT_EQ(CDisplay::Devices()[0].description, "Device 0 with a name longer than the re");
    for (const DisplayDeviceRecord& r : CDisplay::Devices())
        EXPECT_EQ(r.description.size(), 39u);
    // The TnL device came 25th and was left out.
    EXPECT_EQ(display.GetDeviceKind(), DeviceKind::Hal);

    const DisplayDeviceRecord& record = CDisplay::Devices()[0];
    EXPECT_TRUE(record.windowed);
    EXPECT_TRUE(record.desktopCompatible);
    ASSERT_EQ(record.modes.size(), 6u);
    EXPECT_EQ(record.modes.front(), (ModeDesc{640, 480, 16, false}));
    EXPECT_EQ(record.modes.back(), (ModeDesc{1024, 768, 32, false}));
    EXPECT_EQ(record.defaultModeIndex, 1);
    EXPECT_EQ(record.defaultMode, (ModeDesc{640, 480, 32, false}));

    fake.ClearCalls();
    display.Shutdown();
    Windowed();
    EXPECT_EQ(fake.Count("EnumDevices"), 0) << "enumerated once";
}

TEST_F(DisplaySetup, SecondaryDriversKeepOnlyHardwareUnderTheirOwnName)
{
    FakeDriverSpec secondary = FakeGoodDriver();
    secondary.info = {7, false, "A secondary adapter"};
    secondary.modes.push_back({800, 600, 32, true});
    fake.drivers.push_back(secondary);
    Windowed();
    ASSERT_EQ(CDisplay::Devices().size(), 6u);
    for (size_t i = 4; i < 6; ++i)
    {
        const DisplayDeviceRecord& r = CDisplay::Devices()[i];
        EXPECT_TRUE(r.hardware);
        EXPECT_FALSE(r.desktopCompatible);
        EXPECT_FALSE(r.windowed);
        EXPECT_TRUE(r.stereo);
        EXPECT_EQ(r.description, "A secondary adapter");
        EXPECT_EQ(r.driver.id, 7);
    }
    EXPECT_EQ(display.GetDeviceKind(), DeviceKind::TnLHal);
    EXPECT_GE(fake.Find("CreateDriver primary"), 0);
}

TEST_F(DisplaySetup, TextureSizesFollowTheDeviceCapsAndSmallLimitsRefuse3D)
{
    const uint32_t pow2 = D3DPTEXTURECAPS_POW2, square = D3DPTEXTURECAPS_SQUAREONLY;
    const struct
    {
        uint32_t caps;
        int maxW, maxH, w, h;
        int expectW, expectH; // 0 x 0: the set-up refuses 3D
    } cases[] = {{0, 2048, 2048, 100, 60, 100, 60},
                 {pow2, 2048, 2048, 100, 60, 128, 64},
                 {pow2, 2048, 2048, 1, 0, 1, 1},
                 {pow2, 2048, 2048, 1024, 1025, 1024, 2048},
                 {pow2, 1024, 4096, 3000, 3000, 1024, 4096},
                 {pow2 | square, 2048, 2048, 100, 60, 128, 128},
                 {square, 2048, 2048, 30, 200, 200, 200},
                 {square, 1024, 2048, 2000, 10, 1024, 1024},
                 {0, 2048, 2048, INT_MAX, 5, 2048, 5},
                 {pow2, 2048, 2048, INT_MAX, 5, 2048, 8},
                 // A maximum of 0 stands for 256; a square-only device is as small as its smaller side.
                 {0, 0, 0, 1, 1, 0, 0},
                 {0, 0, 2048, 1, 1, 0, 0},
                 {0, 1023, 2048, 1, 1, 0, 0},
                 {pow2, 2048, 512, 1, 1, 0, 0}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(::testing::Message()
                     << c.w << "x" << c.h << " caps " << c.caps << " max " << c.maxW << "x" << c.maxH);
        Fresh f(TnLTextures(c.caps, c.maxW, c.maxH));
        if (c.expectW == 0)
        {
            EXPECT_EQ(f.thrown.message, "3D Mode requires a minimum texture size of 1024x1024");
            EXPECT_EQ(f.display.GetDevice(), nullptr);
            continue;
        }
        int w = -1, h = -1;
        f.display.GetTextureSize(c.w, c.h, w, h);
        EXPECT_EQ(std::make_pair(w, h), std::make_pair(c.expectW, c.expectH));
    }
    CDisplay idle;
    int w, h;
    Thrown t = Catch([&] { idle.GetTextureSize(10, 10, w, h); });
    EXPECT_TRUE(t.isCom);
    EXPECT_TRUE(StartsWith(t.message, "Unable to determine required texture size for an image."));
}

TEST_F(DisplaySetup, SetupSetsTheDeviceStateInOrder)
{
    Windowed();
    std::shared_ptr<FakeDevice> device = fake.LastDevice();
    ASSERT_TRUE(device);
    const int from = fake.Find("SetMaterial");
    ASSERT_GE(from, 0);
    EXPECT_EQ(CallsFrom(from),
              "SetMaterial; SetTextureStageState 0 ColorArg1 2; SetTextureStageState 0 ColorArg2 0; "
              "SetTextureStageState 0 ColorOp 4; SetTextureStageState 0 MinFilter 2; "
              "SetTextureStageState 0 MagFilter 2; GetClientSize; SetRenderState ClipPlaneEnable 0; "
              "SetRenderState AlphaBlendEnable 1; SetRenderState SrcBlend 5; "
              "SetRenderState DestBlend 6; SetRenderState DitherEnable 1; "
              "SetRenderState SpecularEnable 0; SetRenderState NormalizeNormals 1; SetProjection; "
              "SetRenderState Ambient 0xFFFFFFFF");
    EXPECT_FLOAT_EQ(device->material.diffuse[3], 1.0f);
    EXPECT_FLOAT_EQ(device->material.emissive[0], 0.0f);
    EXPECT_FLOAT_EQ(device->material.power, 50.0f);
    EXPECT_EQ(device->viewport, (std::array<float, 6>{0, 0, 800, 600, 0, 1}));
    // Pixel (800, 600) lands on the bottom right corner of clip space.
    const auto& m = device->projection;
    EXPECT_FLOAT_EQ(800 * m[0] + 600 * m[4] + m[12], 1.0f);
    EXPECT_FLOAT_EQ(800 * m[1] + 600 * m[5] + m[13], -1.0f);
    EXPECT_FLOAT_EQ(m[12], -1.0f);
    EXPECT_FLOAT_EQ(m[13], 1.0f);
}

TEST_F(DisplaySetup, PendingClipBuildsPlanesOnlyInsideTheClientArea)
{
    Windowed();
    std::shared_ptr<FakeDevice> device = fake.LastDevice();

    struct Step
    {
        Rect<int> clip;
        uint32_t mask;
        std::vector<std::string> planes; // SetClipPlane lines expected
    };
    const Step steps[] = {
        {{0, 0, 800, 600}, 0, {}},
        {{10, 20, 100, 50},
         15,
         {"SetClipPlane 0 1 0 0 -10.5", "SetClipPlane 1 0 1 0 -20.5", "SetClipPlane 2 -1 0 0 109.5",
          "SetClipPlane 3 0 -1 0 69.5"}},
        // Only the left edge moved: the right plane stays as it was.
        {{12, 20, 98, 50}, 15, {"SetClipPlane 0 1 0 0 -12.5"}},
        {{-5, 599, 900, 10}, 2, {"SetClipPlane 1 0 1 0 -599.5"}},
        {{5, 5, INT_MAX, INT_MAX}, 3, {"SetClipPlane 0 1 0 0 -5.5", "SetClipPlane 1 0 1 0 -5.5"}},
        {CDisplay::UnclippedRect(), 0, {}},
    };
    for (const Step& s : steps)
    {
        fake.ClearCalls();
        display.SetWantedClipRect(s.clip);
        display.ApplyPendingState();
        EXPECT_EQ(device->RenderStateValue(RenderState::ClipPlaneEnable), s.mask)
            << s.clip.x << "," << s.clip.y;
        std::vector<std::string> planes;
        for (const std::string& line : fake.calls)
            if (StartsWith(line, "SetClipPlane"))
                planes.push_back(line);
        EXPECT_EQ(planes, s.planes) << s.clip.x << "," << s.clip.y;
    }

    fake.ClearCalls();
    display.ApplyPendingState();
    EXPECT_TRUE(fake.calls.empty()) << "nothing changed, nothing sent";
}

TEST_F(DisplaySetup, FullScreenPlanesAreMeasuredInTheModeNotTheDesktopWindow)
{
    // The full-screen window covers the desktop; the frame is the 800x600 mode scaled into it.
    fake.clientWidth = 1920;
    fake.clientHeight = 1080;
    Fullscreen();
    std::shared_ptr<FakeDevice> device = fake.LastDevice();
    const std::pair<Rect<int>, uint32_t> steps[] = {
        {{0, 0, 800, 600}, 0}, {{10, 20, 100, 50}, 15}, {{0, 0, 1000, 700}, 0}};
    for (const auto& [clip, mask] : steps)
    {
        display.SetWantedClipRect(clip);
        display.ApplyPendingState();
        EXPECT_EQ(device->RenderStateValue(RenderState::ClipPlaneEnable), mask) << clip.w;
    }
}

TEST_F(DisplaySetup, FilterAndClipAreSentAgainToTheDeviceOfANewSetup)
{
    Windowed();
    display.SetWantedFilter(1);
    display.SetWantedClipRect({10, 20, 100, 50});
    display.ApplyPendingState();
    display.SetWantedFilter(0);
    display.ApplyPendingState();
    EXPECT_EQ(fake.LastDevice()->TextureStageValue(0, TextureStageState::MinFilter), D3DTFN_LINEAR);

    // The second set-up (Alt+Enter) makes a new device that has neither filter nor planes yet.
    Fullscreen();
    std::shared_ptr<FakeDevice> device = fake.LastDevice();
    EXPECT_EQ(device->TextureStageValue(0, TextureStageState::MinFilter), D3DTFN_LINEAR);
    EXPECT_EQ(device->TextureStageValue(0, TextureStageState::MagFilter), D3DTFG_LINEAR);
    EXPECT_EQ(device->RenderStateValue(RenderState::ClipPlaneEnable), 15u);
    EXPECT_FLOAT_EQ(device->clipPlanes[2][3], 109.5f);

    display.SetWantedFilter(1);
    display.ApplyPendingState();
    EXPECT_EQ(device->TextureStageValue(0, TextureStageState::MinFilter), D3DTFN_POINT);
    EXPECT_EQ(device->TextureStageValue(0, TextureStageState::MagFilter), D3DTFG_POINT);
}

TEST_F(DisplaySetup, PresentRepeatsWhileStillDrawingAndRestoresLostSurfaces)
{
    EXPECT_EQ(display.Present(), DDERR_GENERIC) << "nothing set up, nothing shown";
    for (bool fullscreen : {false, true})
    {
        Setup(fullscreen);
        const char* call = fullscreen ? "Flip" : "BltToWindow";
        fake.ClearCalls();
        fake.Script(call, {DDERR_WASSTILLDRAWING, DDERR_WASSTILLDRAWING});
        EXPECT_EQ(display.Present(), DD_OK);
        EXPECT_EQ(fake.Find("EndScene"), 0);
        EXPECT_EQ(fake.Count(call), 3);
        EXPECT_EQ(fake.Count("Restore"), 0);

        fake.Script(call, {DDERR_GENERIC});
        EXPECT_EQ(display.Present(), DDERR_GENERIC);

        fake.ClearCalls();
        fake.Script("EndScene", {DDERR_GENERIC});
        EXPECT_EQ(display.Present(), DDERR_GENERIC);
        EXPECT_EQ(fake.Count(call), 0) << "a failed scene is not shown";

        // A lost surface: both are restored and the caller told.
        auto* primary = static_cast<FakeSurface*>(display.GetPrimary());
        auto* back = static_cast<FakeSurface*>(display.GetBackBuffer());
        fake.LoseAllSurfaces();
        EXPECT_EQ(display.Present(), DDERR_SURFACELOST);
        EXPECT_FALSE(primary->IsLost() || back->IsLost());
        EXPECT_EQ(primary->restoreCount, 1);
        EXPECT_EQ(back->restoreCount, 1);
        EXPECT_EQ(display.Present(), DD_OK);
    }
}

TEST_F(DisplaySetup, SoftwareScreenIsShownThroughTheDisplay)
{
    // The software platform's path: no 3D, a plain screen surface blitted into the back buffer.
    display.DisableD3D();
    Windowed();
    EXPECT_EQ(display.GetDevice(), nullptr);
    EXPECT_EQ(fake.Find("QueryDirect3D", fake.Find("CreatePrimary")), -1);
    EXPECT_EQ(fake.Find("GetCaps", fake.Find("CreatePrimary")), -1) << "no machine checks without 3D";

    SurfacePtr screen;
    ASSERT_EQ(display.GetDirectDraw()->CreateOffscreen(800, 600, DDSCAPS_OFFSCREENPLAIN, screen), DD_OK);
    static_cast<FakeSurface*>(screen.get())->SetPixelAt(10, 5, 0xFF19581B);
    ASSERT_EQ(display.GetBackBuffer()->BltFast(0, 0, screen.get()), DD_OK);
    display.ClearBackBuffer(); // 3D only: leaves the picture alone
    fake.ClearCalls();
    ASSERT_EQ(display.Present(), DD_OK);
    EXPECT_EQ(fake.Count("EndScene"), 0);
    EXPECT_EQ(static_cast<FakeSurface*>(display.GetPrimary())->PixelAt(10, 5), 0xFF19581Bu);
}

TEST_F(DisplaySetup, LostSurfacesAreRestoredOnlyWhenLostAndClearFillsOpaqueBlue)
{
    Windowed();
    fake.ClearCalls();
    display.RestoreLostSurfaces();
    EXPECT_EQ(fake.Count("Restore"), 0);
    static_cast<FakeSurface*>(display.GetBackBuffer())->lost = true;
    display.RestoreLostSurfaces();
    EXPECT_EQ(fake.Count("Restore primary"), 1);
    EXPECT_EQ(fake.Count("Restore backbuffer"), 1);
    EXPECT_FALSE(display.GetBackBuffer()->IsLost());

    display.ClearBackBuffer();
    EXPECT_EQ(static_cast<FakeSurface*>(display.GetBackBuffer())->PixelAt(799, 599), 0xFF0000FFu);
    EXPECT_EQ(fake.calls.back(), "Clear 0xFF0000FF");
}

TEST_F(DisplaySetup, EachFailingSetupCallHasItsMessage)
{
    const struct
    {
        const char* call;
        HRESULT result;
        bool fullscreen;
        const char* message;
    } cases[] = {
        {"CreateDriver", DDERR_GENERIC, false, "Could not create DirectDraw"},
        {"SetCooperativeLevel", DDERR_GENERIC, true, "Could not set cooperative level"},
        {"SetCooperativeLevel", DDERR_GENERIC, false, "Could not set cooperative level"},
        {"SetDisplayMode", DDERR_INVALIDPARAMS, true, "Could not set display mode."},
        {"CreatePrimary", DDERR_OUTOFVIDEOMEMORY, true,
         "Out of video memory creating primary fullscreen surface"},
        {"CreatePrimary", DDERR_GENERIC, true, "Could not create primary fullscreen surface"},
        {"GetAttachedBackBuffer", DDERR_GENERIC, true, "Could not get the fullscreen backbuffer"},
        {"CreatePrimary", DDERR_OUTOFVIDEOMEMORY, false,
         "Out of video memory creating primary windowed surface"},
        {"CreatePrimary", DDERR_GENERIC, false, "Could not create primary windowed surface"},
        {"ClipPrimaryToWindow", DDERR_GENERIC, false, "Could not create clipper"},
        {"CreateOffscreen", DDERR_OUTOFVIDEOMEMORY, false,
         "Out of video memory creating windowed backbuffer surface"},
        {"CreateOffscreen", DDERR_GENERIC, false, "Could not create windowed backbuffer surface"},
        {"QueryDirect3D", DDERR_GENERIC, false, "Could not get the Direct3D interface"},
        {"CreateDevice", DDERR_OUTOFVIDEOMEMORY, true, "Could not create the Direct3D device"},
        {"SetViewport", DDERR_INVALIDPARAMS, false, "Could not set current viewport to the device"},
        {"GetCaps", DDERR_GENERIC, false,
         "Unable to determine amount of video memory available for textures."},
        {"GetDeviceCaps", DDERR_GENERIC, true, "Unable to determine required texture size for an image."},
        {"GetDisplayModeBits", DDERR_GENERIC, false, "Could not get display mode"},
    };
    Windowed(); // fills the device table, so the scripts meet the set-up's own calls
    for (const auto& c : cases)
    {
        display.Shutdown();
        fake.ClearCalls();
        fake.Script(c.call, {c.result});
        Thrown t = Catch([&] { Setup(c.fullscreen); });
        ASSERT_TRUE(t.isCom) << c.call;
        EXPECT_EQ(t.code, c.result) << c.call;
        EXPECT_TRUE(StartsWith(t.message, c.message)) << c.call << ": " << t.message;
        EXPECT_EQ(fake.PendingResults(), 0) << c.call;
        ExpectShutDown();
        const auto level = [](const std::string& line) { return StartsWith(line, "SetCooperativeLevel"); };
        const auto last = std::find_if(fake.calls.rbegin(), fake.calls.rend(), level);
        if (std::string(c.call) != "CreateDriver")
        {
            EXPECT_TRUE(last != fake.calls.rend() && *last == "SetCooperativeLevel 0x8") << c.call;
        }
    }
}

TEST_F(DisplaySetup, InitializeWantsAWindowAndAFullScreenMode)
{
    const DriverInfo primary;
    const ModeDesc mode{800, 600, 32, false};
    Thrown t = Catch([&] { display.Initialize(&mode, nullptr, primary, DeviceKind::Hal, 0); });
    EXPECT_EQ(t.message, "Invalid arguments passed to CDisplay::Initialize");
    t = Catch(
        [&]
        { display.Initialize(nullptr, TestWindow(), primary, DeviceKind::Hal, CDisplay::Init_Fullscreen); });
    EXPECT_EQ(t.message, "Invalid arguments passed to CDisplay::Initialize");
    EXPECT_EQ(fake.Find("CreateDriver"), -1);
}

TEST_F(DisplaySetup, SetupCallsComeInTheirOrder)
{
    Windowed();
    display.Shutdown();
    fake.ClearCalls();
    Fullscreen();
    // Surface numbers continue from the first set-up; compare without them.
    std::vector<std::string> seen;
    for (const std::string& line : fake.calls)
        if (StartsWith(line, "SetCooperativeLevel") || StartsWith(line, "SetDisplayMode") ||
            StartsWith(line, "SetViewport") ||
            !(StartsWith(line, "Set") || StartsWith(line, "GetClientSize") || line == "EnumTextureFormats"))
            seen.push_back(line.substr(0, line.find('#')));
    EXPECT_EQ(seen, (std::vector<std::string>{"CreateDriver primary", "SetCooperativeLevel 0x213",
                                              "GetDisplayModeBits", "SetDisplayMode 800x600x32",
                                              "CreatePrimary fullscreen", "GetAttachedBackBuffer primary",
                                              "QueryDirect3D", "CreateDevice TnLHal backbuffer",
                                              "SetViewport 0 0 800 600 0 1", "GetCaps", "GetDeviceCaps"}))
        << fake.CallText();
}

TEST_F(DisplaySetup, ShutdownReleasesResourcesAndIsSafeTwice)
{
    struct Resource : DisplayResource
    {
        explicit Resource(std::vector<Resource*>& log) : log(log) {}
        void ReleaseDeviceSurface() override { log.push_back(this); }
        void RestoreDeviceSurface() override { ++restored; }
        std::vector<Resource*>& log;
        int restored = 0;
    };
    // Deletes itself (and its neighbour) while the display walks the set.
    struct Dropper : DisplayResource
    {
        std::unique_ptr<Resource> other;
        Dropper** self = nullptr;
        void ReleaseDeviceSurface() override
        {
            other.reset();
            *self = nullptr;
            delete this;
        }
        void RestoreDeviceSurface() override {}
    };

    std::vector<Resource*> released;
    Resource a(released);
    Resource b(released);
    Windowed();
    display.RestoreAllResources();
    EXPECT_EQ(a.restored, 1);
    EXPECT_EQ(b.restored, 1);

    Dropper* dropper = new Dropper;
    dropper->self = &dropper;
    dropper->other = std::make_unique<Resource>(released);

    fake.ClearCalls();
    released.clear();
    display.Shutdown();
    EXPECT_EQ(dropper, nullptr);
    EXPECT_EQ(std::count(released.begin(), released.end(), &a), 1);
    EXPECT_EQ(std::count(released.begin(), released.end(), &b), 1);
    EXPECT_EQ(fake.calls.front(), "SetCooperativeLevel 0x8");
    const int device = fake.Find("Release device");
    const int back = fake.Find("Release backbuffer");
    const int primary = fake.Find("Release primary");
    EXPECT_TRUE(device > 0 && device < back && back < primary) << fake.CallText();
    ExpectShutDown();

    fake.ClearCalls();
    display.Shutdown();
    EXPECT_EQ(fake.Count("SetCooperativeLevel"), 0);
}

TEST_F(DisplaySetup, TheSingletonGuardShutsTheDisplayDownAndForgetsTheTable)
{
    CDisplay* single = CDisplay::Instance();
    EXPECT_EQ(CDisplay::Instance(), single);
    EXPECT_EQ(CDisplay::Get(), single);
    EXPECT_TRUE(single->UsesD3D());
    single->SetupWindowed(TestWindow(), 800, 600);
    ASSERT_FALSE(CDisplay::Devices().empty());
    fake.ClearCalls();
    // A guard of its own: running every registered guard would end the other tests' singletons too.
    CDisplaySingletonDestructor guard;
    guard.DestroySingleton();
    EXPECT_EQ(CDisplay::Get(), nullptr);
    EXPECT_EQ(fake.calls.front(), "SetCooperativeLevel 0x8");
    EXPECT_GE(fake.Find("Release device"), 0);
    EXPECT_TRUE(CDisplay::Devices().empty());
    guard.DestroySingleton(); // nothing left to do
}

TEST(DisplayGraphicsFactory, MakesTheDisplayThenThePlatformOfEachKind)
{
    FakeBackend fake;
    IGraphicsPlatformFactory& factory = GetDisplayGraphicsFactory();
    ASSERT_TRUE(factory.CreateDisplay());
    ASSERT_NE(CDisplay::Get(), nullptr);
    EXPECT_STREQ(GetHResultName(DDERR_SURFACELOST), "DDERR_SURFACELOST");

    // The hardware bit wins over the software bit.
    const struct
    {
        int kind;
        int capabilities;
    } cases[] = {{2, GraphicsCaps_Hardware3D}, {3, GraphicsCaps_Hardware3D}, {1, GraphicsCaps_Software}};
    for (const auto& c : cases)
    {
        std::unique_ptr<IGraphicsPlatform> platform(factory.CreateGraphicsPlatform(c.kind));
        ASSERT_TRUE(platform) << c.kind;
        EXPECT_EQ(platform->GetCapabilities(), c.capabilities) << c.kind;
        EXPECT_EQ(GetGraphicsPlatform(), platform.get()) << "registered when made";
    }
    EXPECT_EQ(factory.CreateGraphicsPlatform(0), nullptr);
    EXPECT_EQ(factory.CreateGraphicsPlatform(4), nullptr);

    CDisplaySingletonDestructor guard;
    guard.DestroySingleton();
}
