#include "EngineFakes.h"
#include "TempFolder.h"

#include "Framework/FileSystem.h"
#include "Framework/Paths.h"
#include "Platform/Shim/Win32/SingleInstance.h"
#include "Platform/Win32/Win32FileSystem.h"
#include "Platform/Win32/Win32Platform.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace Kestrin;
using namespace KestrinTest;

namespace
{

using Events = std::vector<InputEvent>;

struct RecordingSink : IInputEventSink
{
    void HandleInputEvent(const InputEvent& event) override { events.push_back(event); }
    Events events;
};

// The screen size, and whether the mouse is over the window, are the test's to choose (the dummy
// video driver gives the mouse to no window).
class TestWindowPlatform : public Win32ApplicationPlatform
{
public:
    int screenWidth = 0, screenHeight = 0;
    bool mouseOver = false;

protected:
    bool IsMouseOverWindow() const override { return mouseOver; }
    bool GetScreenSize(int& width, int& height) override
    {
        if (screenWidth == 0)
            return Win32ApplicationPlatform::GetScreenSize(width, height);
        width = screenWidth;
        height = screenHeight;
        return true;
    }
};

class WindowPlatform : public ::testing::Test
{
protected:
    WindowPlatform() : app(journal)
    {
        SetAppDataFolderOverride(folder.WidePath() + L"/user");
        SetExecutableFolderOverride(folder.WidePath());
        platform = new TestWindowPlatform;
    }
    ~WindowPlatform() override
    {
        ResetEngineGlobals();
        delete GetFileSystem();
        SetAppDataFolderOverride(L"");
        SetExecutableFolderOverride(L"");
    }

    // Initialised, with a window for the settings made current.
    void Open(const DisplaySettings& settings = {0, 1, 800, 600})
    {
        platform->Initialize();
        GetCurrentDisplaySettings() = settings;
        platform->CreateMainWindow(settings);
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    }
    uint32_t WindowId() const { return SDL_GetWindowID(platform->GetWindowHandle()); }

    void Push(SDL_Event event) { ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError(); }
    void PushWindowEvent(uint8_t what, int data1 = 0, int data2 = 0)
    {
        SDL_Event e{};
        e.type = SDL_WINDOWEVENT;
        e.window.windowID = WindowId();
        e.window.event = what;
        e.window.data1 = data1;
        e.window.data2 = data2;
        Push(e);
    }
    void PushKey(bool down, SDL_Keycode key, uint16_t mod = KMOD_NONE, bool repeat = false)
    {
        SDL_Event e{};
        e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        e.key.windowID = WindowId();
        e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
        e.key.repeat = repeat;
        e.key.keysym.sym = key;
        e.key.keysym.mod = mod;
        Push(e);
    }
    void PushButton(bool down, uint8_t button, int x, int y)
    {
        SDL_Event e{};
        e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
        e.button.windowID = WindowId();
        e.button.button = button;
        e.button.x = x;
        e.button.y = y;
        Push(e);
    }
    void PushMotion(int x, int y)
    {
        SDL_Event e{};
        e.type = SDL_MOUSEMOTION;
        e.motion.windowID = WindowId();
        e.motion.x = x;
        e.motion.y = y;
        Push(e);
    }
    // Every queued event through the pump, as the main loop does it.
    void Pump()
    {
        while (platform->HasPendingMessages())
            platform->PumpMessages(&sink);
    }

    TempFolder folder;
    Journal journal;
    TestApplication app;
    TestWindowPlatform* platform = nullptr;
    RecordingSink sink;
};

TEST_F(WindowPlatform, ConstructionAndInitializeSetUpTheProgramFolderAndTheFileSystem)
{
    EXPECT_EQ(GetPlatform(), platform);
    EXPECT_EQ(std::filesystem::current_path(), std::filesystem::path(folder.Path()));
    folder.Write("data/levels/one.xml", "<level/>");
    platform->Initialize();
    ASSERT_NE(dynamic_cast<Win32FileSystem*>(GetFileSystem()), nullptr);
    FileSpec level(1, L"one", L".xml", L"levels");
    EXPECT_TRUE(GetFileSystem()->Exists(level));
    platform->Shutdown();
    EXPECT_FALSE(GetFileSystem()->Exists(level)); // the partitions are gone
    EXPECT_FALSE(SDL_WasInit(SDL_INIT_VIDEO));
}

TEST_F(WindowPlatform, MouseButtonsBecomeButtonEventsInTheLogicalFrame)
{
    Open();
    PushButton(true, SDL_BUTTON_LEFT, 100, 50);
    PushButton(false, SDL_BUTTON_RIGHT, 799, 599);
    PushButton(true, SDL_BUTTON_MIDDLE, 5, 5);
    PushButton(true, SDL_BUTTON_X1, 5, 5);
    PushMotion(-1, 3); // captured outside the window
    Pump();
    EXPECT_EQ(sink.events, (Events{{InputEvent_ButtonDown, 100, 50, 0},
                                   {InputEvent_ButtonUp, 799, 599, 1},
                                   {InputEvent_MouseMove, -1, 3, 0}}));
}

TEST_F(WindowPlatform, KeysBecomeVirtualKeyEventsAndAltEnterTogglesLater)
{
    Open();
    FakeGraphicsFactory factory(journal);
    PushKey(true, SDLK_a);
    PushKey(true, SDLK_a, KMOD_NONE, true); // auto-repeat
    PushKey(false, SDLK_a);
    PushKey(true, SDLK_KP_ENTER);
    PushKey(true, SDLK_UNKNOWN); // no code: no event
    PushKey(true, SDLK_SPACE, KMOD_LALT);
    PushKey(true, SDLK_f, KMOD_RALT);
    PushKey(false, SDLK_f, KMOD_RALT);
    PushKey(true, SDLK_RETURN, KMOD_LALT);
    Pump();
    EXPECT_EQ(sink.events, (Events{{InputEvent_KeyDown, 0, 0, 0x41},
                                   {InputEvent_KeyDown, 0, 0, 0x41},
                                   {InputEvent_KeyUp, 0, 0, 0x41},
                                   {InputEvent_KeyDown, 0, 0, 13},
                                   {InputEvent_KeyDown, 0, 0, 0x46},
                                   {InputEvent_KeyUp, 0, 0, 0x46}}));
    // The window survives its own events; the loop applies the toggle afterwards.
    SDL_Window* before = platform->GetWindowHandle();
    EXPECT_NE(before, nullptr);
    EXPECT_EQ(GetCurrentDisplaySettings().windowMode, 0);
    ASSERT_TRUE(HasQueuedDisplayChanges());
    ApplyQueuedDisplayChanges();
    EXPECT_EQ(GetCurrentDisplaySettings().windowMode, 1);
    EXPECT_TRUE(SDL_GetWindowFlags(platform->GetWindowHandle()) & SDL_WINDOW_FULLSCREEN_DESKTOP);
}

TEST_F(WindowPlatform, TheKeyStateFollowsKeysAndCapsLock)
{
    Open();
    PushKey(true, SDLK_LSHIFT, KMOD_LSHIFT);
    PushKey(true, SDLK_b, KMOD_LSHIFT | KMOD_CAPS);
    Pump();
    const auto& state = platform->GetKeyboardState();
    EXPECT_TRUE(state[Shim::VK_SHIFT] & 0x80);
    EXPECT_TRUE(state[0x42] & 0x80);
    EXPECT_EQ(state[Shim::VK_CAPITAL] & 1, 1);
    EXPECT_EQ(Shim::ToAscii(0x42, state), 'b'); // Shift and Caps Lock cancel out
    PushKey(false, SDLK_LSHIFT, KMOD_CAPS);
    Pump();
    EXPECT_EQ(Shim::ToAscii(0x42, platform->GetKeyboardState()), 'B');
    // Keys held while the focus goes never report their release.
    PushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    Pump();
    EXPECT_FALSE(platform->GetKeyboardState()[0x42] & 0x80);
}

TEST_F(WindowPlatform, OneLeaveEventPerExit)
{
    Open();
    PushWindowEvent(SDL_WINDOWEVENT_LEAVE); // not armed yet: nothing
    PushMotion(10, 10);
    PushWindowEvent(SDL_WINDOWEVENT_LEAVE);
    PushWindowEvent(SDL_WINDOWEVENT_LEAVE);
    PushWindowEvent(SDL_WINDOWEVENT_ENTER);
    PushMotion(20, 20);
    PushWindowEvent(SDL_WINDOWEVENT_LEAVE);
    Pump();
    size_t leaves = 0;
    for (const InputEvent& e : sink.events)
        leaves += e.type == InputEvent_MouseLeave;
    EXPECT_EQ(leaves, 2u);
    EXPECT_EQ(sink.events.back().type, InputEvent_MouseLeave);
}

TEST_F(WindowPlatform, WindowEventsDriveTheFlagsAndTheAudio)
{
    Open();
    SetAudioPlatform(new FakeAudioPlatform(journal));
    EXPECT_FALSE(platform->IsActive());
    PushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
    Pump();
    EXPECT_TRUE(platform->IsActive());
    PushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    Pump();
    EXPECT_FALSE(platform->IsActive());
    EXPECT_TRUE(platform->IsRepaintRequested());
    platform->ClearRepaintRequest();
    PushWindowEvent(SDL_WINDOWEVENT_EXPOSED);
    PushWindowEvent(SDL_WINDOWEVENT_MINIMIZED);
    PushWindowEvent(SDL_WINDOWEVENT_RESTORED);
    Pump();
    EXPECT_TRUE(platform->IsRepaintRequested());
    EXPECT_EQ(journal.With("audio."), (std::vector<std::string>{"audio.SetActive 1", "audio.SetActive 0",
                                                                 "audio.SetActive 0", "audio.SetActive 1"}));
    // Another window's events are none of ours.
    SDL_Event stranger{};
    stranger.type = SDL_WINDOWEVENT;
    stranger.window.windowID = WindowId() + 100;
    stranger.window.event = SDL_WINDOWEVENT_FOCUS_GAINED;
    Push(stranger);
    Pump();
    EXPECT_FALSE(platform->IsActive());

    EXPECT_FALSE(platform->IsQuitRequested());
    SDL_Event terminating{};
    terminating.type = SDL_APP_TERMINATING;
    Push(terminating);
    Pump();
    EXPECT_TRUE(platform->IsQuitRequested());
}

TEST_F(WindowPlatform, EventsHandledOutsideThePumpProduceNoInput)
{
    Open();
    SDL_Event e{};
    e.type = SDL_MOUSEBUTTONDOWN;
    e.button.windowID = WindowId();
    e.button.button = SDL_BUTTON_LEFT;
    platform->WindowProc(e);
    e = {};
    e.type = SDL_WINDOWEVENT;
    e.window.windowID = WindowId();
    e.window.event = SDL_WINDOWEVENT_FOCUS_GAINED;
    platform->WindowProc(e);
    EXPECT_TRUE(sink.events.empty());
    EXPECT_TRUE(platform->IsActive()); // the flags still follow
}

TEST_F(WindowPlatform, ClosingAsksTheLoopToQuit)
{
    Open();
    Looper looper;
    int asked = 0;
    struct Refuser : IQuitHandler
    {
        int& asked;
        explicit Refuser(int& a) : asked(a) {}
        bool OnQuitRequest() override { return ++asked > 1; }
    } refuser(asked);
    looper.AddQuitHandler(&refuser);
    PushWindowEvent(SDL_WINDOWEVENT_CLOSE);
    Pump();
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(looper.IsQuitSet());
    EXPECT_NE(platform->GetWindowHandle(), nullptr); // the window is not destroyed

    SDL_Event quit{};
    quit.type = SDL_QUIT;
    Push(quit);
    Pump();
    EXPECT_TRUE(looper.IsQuitSet());
}

TEST_F(WindowPlatform, MaximisingAWindowMeansFullScreen)
{
    Open();
    FakeGraphicsFactory factory(journal);
    PushWindowEvent(SDL_WINDOWEVENT_MAXIMIZED);
    Pump();
    EXPECT_EQ(GetCurrentDisplaySettings().windowMode, 0);
    ApplyQueuedDisplayChanges();
    EXPECT_EQ(GetCurrentDisplaySettings().windowMode, 1);

    // Already full screen: nothing more is asked.
    PushWindowEvent(SDL_WINDOWEVENT_MAXIMIZED);
    Pump();
    EXPECT_FALSE(HasQueuedDisplayChanges());
}

TEST_F(WindowPlatform, ClientPositionsMapIntoTheLogicalFrame)
{
    Open({0, 1, 1600, 1200});
    GetCurrentDisplaySettings() = {0, 1, 800, 600};
    int x, y;
    platform->ClientToLogical(1599, 1199, x, y);
    EXPECT_EQ(std::make_pair(x, y), std::make_pair(799, 599));
    platform->ClientToLogical(1, 1, x, y);
    EXPECT_EQ(std::make_pair(x, y), std::make_pair(0, 0));
    platform->ClientToLogical(-1, 5, x, y);
    EXPECT_EQ(std::make_pair(x, y), std::make_pair(0, 2));

    // Full screen: the frame is letterboxed into the desktop and mapped through it.
    platform->CreateMainWindow({1, 1, 800, 500});
    GetCurrentDisplaySettings() = {1, 1, 800, 500};
    int cw = 0, ch = 0;
    SDL_GetWindowSize(platform->GetWindowHandle(), &cw, &ch);
    Rect<int> frame = Shim::PresentationRect(cw, ch, 800, 500, true);
    platform->ClientToLogical(frame.x, frame.y, x, y);
    EXPECT_EQ(std::make_pair(x, y), std::make_pair(0, 0));
    platform->ClientToLogical(frame.x + frame.w - 1, frame.y + frame.h - 1, x, y);
    EXPECT_EQ(std::make_pair(x, y), std::make_pair(799, 499));
}

TEST_F(WindowPlatform, TheWindowFollowsTheSizingMode)
{
    Open({0, 1, 800, 600});
    SDL_Window* w = platform->GetWindowHandle();
    EXPECT_TRUE(SDL_GetWindowFlags(w) & SDL_WINDOW_RESIZABLE);
    int minW = 0, minH = 0;
    SDL_GetWindowMinimumSize(w, &minW, &minH);
    EXPECT_EQ(std::make_pair(minW, minH), std::make_pair(133, 100));

    // A drag of the right edge: the height follows; of the bottom edge: the width follows.
    PushWindowEvent(SDL_WINDOWEVENT_RESIZED, 1000, 600);
    Pump();
    int cw, ch;
    SDL_GetWindowSize(w, &cw, &ch);
    EXPECT_EQ(std::make_pair(cw, ch), std::make_pair(1000, 750));
    PushWindowEvent(SDL_WINDOWEVENT_RESIZED, 1000, 900);
    Pump();
    SDL_GetWindowSize(w, &cw, &ch);
    EXPECT_EQ(std::make_pair(cw, ch), std::make_pair(1200, 900));

    platform->CreateMainWindow({0, 2, 800, 600});
    GetCurrentDisplaySettings() = {0, 2, 800, 600};
    EXPECT_FALSE(SDL_GetWindowFlags(platform->GetWindowHandle()) & SDL_WINDOW_RESIZABLE);
}

TEST_F(WindowPlatform, ASmallScreenIsReportedWithTheProgramsName)
{
    platform->screenWidth = 800;
    platform->screenHeight = 600;
    EXPECT_NO_THROW(platform->CheckScreenResolution({1, 1, 800, 600}));
    try
    {
        platform->CheckScreenResolution({1, 1, 1024, 768});
        FAIL() << "expected the resolution error";
    }
    catch (const engine_error& e)
    {
        EXPECT_STREQ(e.what(), "Tanglewisp requires a screen resolution of 1024x768.");
        EXPECT_EQ(e.wideMessage, L"Tanglewisp requires a screen resolution of 1024x768.");
    }
    EXPECT_THROW(platform->CheckScreenResolution({1, 1, 640, 601}), engine_error);
}

TEST_F(WindowPlatform, ASecondCopyWakesTheFirstAndEndsQuietly)
{
    std::filesystem::create_directories(folder.Path() + "/user");
    {
        Shim::SingleInstance first(folder.Path() + "/user", "Tanglewisp");
        ASSERT_TRUE(first.IsFirstInstance());
        platform->Initialize();
        EXPECT_TRUE(platform->ActivateExistingInstance());
        EXPECT_TRUE(first.TakeActivationRequest());
        platform->Shutdown();
    }
    // Now this platform is the first copy.
    platform->Initialize();
    EXPECT_FALSE(platform->ActivateExistingInstance());
    Shim::SingleInstance second(folder.Path() + "/user", "Tanglewisp");
    EXPECT_FALSE(second.IsFirstInstance());
    platform->Shutdown();
}

TEST_F(WindowPlatform, ALockThatCannotBeMadeCountsAsTheFirstCopy)
{
    folder.Write("blocker", "a file where the folder should be");
    SetAppDataFolderOverride(folder.WidePath() + L"/blocker/user");
    platform->Initialize();
    EXPECT_FALSE(platform->ActivateExistingInstance());
}

TEST_F(WindowPlatform, TheCustomCursorHidesTheSystemOneOnlyWhileActive)
{
    Open();
    FakeGraphicsFactory factory(journal);
    auto* graphics = new FakeGraphicsPlatform(2, journal);
    SetGraphicsPlatform(graphics);
    PushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
    Pump();
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);

    // Nothing changes while the mouse is elsewhere.
    graphics->customCursor = false;
    RefreshWindowCursor();
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    graphics->customCursor = true;

    platform->mouseOver = true;
    platform->SetCursor(platform->GetStoredCursor());
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE); // still the game's own

    graphics->customCursor = false;
    RefreshWindowCursor();
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE); // at once

    graphics->customCursor = true;
    RefreshWindowCursor();
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    PushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    Pump();
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
}

TEST_F(WindowPlatform, WaitingLeavesTheEventForThePump)
{
    Open();
    PushKey(true, SDLK_ESCAPE);
    platform->WaitForMessages();
    ASSERT_TRUE(platform->HasPendingMessages());
    platform->PumpMessages(&sink);
    EXPECT_EQ(sink.events, (Events{{InputEvent_KeyDown, 0, 0, 27}}));
    EXPECT_FALSE(platform->HasPendingMessages());
}

} // namespace
