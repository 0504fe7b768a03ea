// The frame in a window of whatever size the window system really gives (full screen refused or
// granted at another size, resized later, windowed): the display back end shows the back buffer
// somewhere in the window, and a click there must land on the logical point shown under it.
#include "Support/EngineFakes.h"
#include "harness/TempFolder.h"

#include "Framework/FileSystem.h"
#include "Framework/Paths.h"
#include "Framework/ResourceManager.h"
#include "Platform/Display.h"
#include "Platform/Shim/DirectDraw/FakeBackend.h"
#include "Platform/Win32/CDisplay.h"
#include "Platform/Win32/GraphicsPlatforms.h"
#include "Platform/Win32/Win32Platform.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

using namespace Kestrin;
using namespace KestrinTest;
namespace DD = Kestrin::Shim::DirectDraw;

namespace
{

struct Size
{
    int w = 0, h = 0;
};

struct Case
{
    std::string name;
    int windowMode;
    Size atSetup; // the client size the window has when the display is set up
    Size later;   // a size it takes afterwards; 0 x 0: none
};

// Buttons where the menu has them, and small ones in the frame's corners.
const Rect<int> kButtons[] = {
    {300, 260, 200, 40}, {300, 320, 200, 40}, {520, 490, 84, 28}, {0, 0, 60, 30}, {740, 570, 60, 30}};

class WindowFit : public ::testing::Test, public IInputEventSink
{
protected:
    WindowFit()
    {
        SetAppDataFolderOverride(folder.WidePath() + L"/user");
        SetExecutableFolderOverride(folder.WidePath());
        platform = new Win32ApplicationPlatform;
        SetGraphicsPlatformFactory(&GetDisplayGraphicsFactory());
        platform->Initialize();
    }
    ~WindowFit() override
    {
        if (IGraphicsPlatform* graphics = GetGraphicsPlatform())
            graphics->Shutdown();
        ResetEngineGlobals();
        delete CDisplay::Get();
        CDisplay::ClearDeviceTable();
        SetGraphicsPlatformFactory(nullptr);
        delete ResourceManager::Instance();
        delete GetFileSystem();
        SetAppDataFolderOverride(L"");
        SetExecutableFolderOverride(L"");
    }
    void HandleInputEvent(const InputEvent& event) override { events.push_back(event); }

    void Pump()
    {
        while (platform->HasPendingMessages())
            platform->PumpMessages(this);
    }
    void Push(SDL_Event e) { ASSERT_EQ(SDL_PushEvent(&e), 1) << SDL_GetError(); }
    uint32_t Id() const { return SDL_GetWindowID(platform->GetWindowHandle()); }

    // One frame through the graphics platform, which the display shows in the window.
    void Present()
    {
        IGraphicsPlatform* graphics = GetGraphicsPlatform();
        ASSERT_NE(graphics, nullptr);
        ASSERT_EQ(graphics->BeginFrame(), 0);
        graphics->EndFrame();
        ASSERT_GT(fake.presented.w, 0);
    }

    // The client pixel whose centre shows logical point (x, y) of the back buffer.
    std::pair<int, int> ShownAt(int x, int y) const
    {
        const Rect<int>& p = fake.presented;
        return {p.x + int(std::floor((x + 0.5) * p.w / backBuffer.w)),
                p.y + int(std::floor((y + 0.5) * p.h / backBuffer.h))};
    }

    // Where a left click at a client pixel lands, through the window's event road.
    std::pair<int, int> Click(std::pair<int, int> at)
    {
        events.clear();
        SDL_Event e{};
        e.button = {SDL_MOUSEBUTTONDOWN, 0, Id(), 0, SDL_BUTTON_LEFT, SDL_PRESSED, 1, 0, at.first, at.second};
        Push(e);
        Pump();
        EXPECT_EQ(events.size(), 1u);
        if (events.empty())
            return {-1000, -1000};
        EXPECT_EQ(events.back().type, InputEvent_ButtonDown);
        return {events.back().x, events.back().y};
    }

    void Run(const Case& c)
    {
        SCOPED_TRACE(
            c.name + " at " + std::to_string(c.atSetup.w) + "x" + std::to_string(c.atSetup.h) +
            (c.later.w ? " then " + std::to_string(c.later.w) + "x" + std::to_string(c.later.h) : ""));
        fake.clientWidth = c.atSetup.w;
        fake.clientHeight = c.atSetup.h;
        DisplaySettings wanted{c.windowMode, 1, 800, 600};
        ApplyDisplaySettings(wanted, true);
        ASSERT_EQ(wanted.windowMode, c.windowMode);
        ASSERT_NE(CDisplay::Get(), nullptr);
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
        Pump();
        if (c.later.w > 0)
        {
            fake.clientWidth = c.later.w;
            fake.clientHeight = c.later.h;
            platform->ClearRepaintRequest();
            SDL_Event e{};
            e.window = {SDL_WINDOWEVENT, 0,        Id(), SDL_WINDOWEVENT_SIZE_CHANGED, 0, 0, 0,
                        c.later.w,       c.later.h};
            Push(e);
            Pump();
            EXPECT_TRUE(platform->IsRepaintRequested()); // a paused game shows the frame at its new place
        }
        Present();
        DD::FakeSurfacePtr buffer = fake.LastSurface("backbuffer");
        ASSERT_NE(buffer, nullptr);
        backBuffer = {buffer->Width(), buffer->Height()};
        ASSERT_GE(backBuffer.w, 800);
        ASSERT_GE(backBuffer.h, 600);

        // A client pixel covers up to this many logical ones.
        const int slack = int(std::ceil(double(backBuffer.w) / fake.presented.w)) + 1;
        for (const Rect<int>& b : kButtons)
        {
            SCOPED_TRACE("button at " + std::to_string(b.x) + "," + std::to_string(b.y));
            const std::pair<int, int> inside[] = {{b.x + b.w / 2, b.y + b.h / 2},
                                                  {b.x + slack, b.y + slack},
                                                  {b.Right() - 1 - slack, b.Bottom() - 1 - slack}};
            for (auto [x, y] : inside)
            {
                auto [lx, ly] = Click(ShownAt(x, y));
                EXPECT_TRUE(lx >= b.x && lx < b.Right() && ly >= b.y && ly < b.Bottom())
                    << "shown " << x << "," << y << " landed " << lx << "," << ly;
            }
            if (b.x > slack)
            {
                // Just left of the button: the click misses it.
                auto [lx, ly] = Click(ShownAt(b.x - slack, b.y + b.h / 2));
                EXPECT_LT(lx, b.x);
                EXPECT_TRUE(ly >= b.y && ly < b.Bottom());
            }
        }
    }

    TempFolder folder;
    Journal journal;
    TestApplication app{journal};
    DD::FakeBackend fake;
    Win32ApplicationPlatform* platform = nullptr;
    std::vector<InputEvent> events;
    Size backBuffer;
};

TEST_F(WindowFit, ClicksLandOnTheButtonsShownWhateverSizeTheWindowReallyHas)
{
    std::vector<Case> cases = {
        {"full screen over the desktop", 1, {1280, 1024}, {}},
        {"full screen refused: the window kept its size", 1, {800, 600}, {}},
        {"full screen granted at another size", 1, {1024, 768}, {}},
        {"full screen on a wide desktop", 1, {1920, 1080}, {}},
        {"full screen, smaller than the frame", 1, {640, 480}, {}},
        {"full screen, resized afterwards", 1, {1280, 1024}, {1000, 700}},
        {"windowed", 0, {800, 600}, {}},
        {"windowed, resized", 0, {800, 600}, {1000, 750}},
        {"windowed, resized off the ratio", 0, {800, 600}, {640, 600}},
        {"windowed, granted larger", 0, {1024, 700}, {}},
    };
    std::mt19937 random(20261210);
    std::uniform_int_distribution<int> width(400, 2560), height(300, 1600), coin(0, 1);
    for (int i = 0; i < 8; ++i)
    {
        // Windowed, the back buffer takes the window's size at set-up, which holds the frame.
        const int mode = coin(random);
        Size atSetup{width(random), height(random)};
        if (mode == 0)
            atSetup = {std::max(800, atSetup.w), std::max(600, atSetup.h)};
        const Size later = coin(random) ? Size{width(random), height(random)} : Size{};
        cases.push_back({"seeded " + std::to_string(i), mode, atSetup, later});
    }
    for (const Case& c : cases)
    {
        Run(c);
        if (HasFatalFailure())
            return;
    }
}

} // namespace
