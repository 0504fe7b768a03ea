#include "Support/EngineFakes.h"
#include "Support/WaitFor.h"
#include "harness/LogCapture.h"
#include "harness/TempFolder.h"

#include "Base/Text.h"
#include "Framework/ErrorBox.h"
#include "Framework/FileSystem.h"
#include "Framework/Paths.h"
#include "Framework/ResourceManager.h"
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
        width = screenWidth;
        height = screenHeight;
        return screenWidth > 0;
    }
};

class WindowPlatform : public ::testing::Test, public IInputEventSink
{
protected:
    WindowPlatform()
    {
        SetAppDataFolderOverride(folder.WidePath() + L"/user");
        SetExecutableFolderOverride(folder.WidePath());
        platform = new TestWindowPlatform;
    }
    ~WindowPlatform() override
    {
        ResetEngineGlobals();
        delete ResourceManager::Instance();
        delete GetFileSystem();
        SetAppDataFolderOverride(L"");
        SetExecutableFolderOverride(L"");
    }
    void HandleInputEvent(const InputEvent& event) override { events.push_back(event); }

    // Initialised, with a window for the settings made current.
    void Open(const DisplaySettings& settings = {0, 1, 800, 600})
    {
        platform->Initialize();
        GetCurrentDisplaySettings() = settings;
        platform->CreateMainWindow(settings);
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    }
    void Push(SDL_Event e) { ASSERT_EQ(SDL_PushEvent(&e), 1) << SDL_GetError(); }
    void Window(uint8_t what, int data1 = 0, int data2 = 0)
    {
        SDL_Event e{};
        e.type = SDL_WINDOWEVENT;
        e.window = {SDL_WINDOWEVENT, 0, Id(), what, 0, 0, 0, data1, data2};
        Push(e);
    }
    void Key(bool down, SDL_Keycode key, uint16_t mod = KMOD_NONE, bool repeat = false)
    {
        SDL_Event e{};
        e.key = {Uint32(down ? SDL_KEYDOWN : SDL_KEYUP), 0, Id(), 0, Uint8(repeat), 0, 0,
                 {SDL_SCANCODE_UNKNOWN, key, mod, 0}};
        Push(e);
    }
    // What the system's layout or input method made of the keys, UTF-8.
    void Typed(const char* text, uint32_t windowId = 0)
    {
        SDL_Event e{};
        e.text.type = SDL_TEXTINPUT;
        e.text.windowID = windowId ? windowId : Id();
        SDL_strlcpy(e.text.text, text, sizeof e.text.text);
        Push(e);
    }
    void Button(bool down, uint8_t button, int x, int y)
    {
        SDL_Event e{};
        e.button = {
            Uint32(down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP), 0, Id(), 0, button, 0, 0, 0, x, y};
        Push(e);
    }
    void Motion(int x, int y)
    {
        SDL_Event e{};
        e.motion = {SDL_MOUSEMOTION, 0, Id(), 0, 0, x, y, 0, 0};
        Push(e);
    }
    void Pumped(uint8_t what, int data1 = 0, int data2 = 0)
    {
        Window(what, data1, data2);
        Pump();
    }
    // Every queued event through the pump, as the main loop takes them.
    void Pump()
    {
        while (platform->HasPendingMessages())
            platform->PumpMessages(this);
    }
    uint32_t Id() const { return SDL_GetWindowID(platform->GetWindowHandle()); }
    std::pair<int, int> Logical(int x, int y) const
    {
        std::pair<int, int> out;
        platform->ClientToLogical(x, y, out.first, out.second);
        return out;
    }
    std::pair<int, int> ClientSize() const
    {
        std::pair<int, int> out;
        SDL_GetWindowSize(platform->GetWindowHandle(), &out.first, &out.second);
        return out;
    }

    TempFolder folder;
    Journal journal;
    TestApplication app{journal};
    TestWindowPlatform* platform = nullptr;
    Events events;
};

TEST_F(WindowPlatform, SetsUpTheProgramFolderAndTheFileSystem)
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

TEST_F(WindowPlatform, MouseAndKeysBecomeInputEvents)
{
    Open();
    FakeGraphicsFactory factory(journal);
    Button(true, SDL_BUTTON_LEFT, 100, 50);
    Button(false, SDL_BUTTON_RIGHT, 799, 599);
    Button(true, SDL_BUTTON_MIDDLE, 5, 5); // not reported
    Motion(-1, 3);                         // captured outside the window
    Key(true, SDLK_a);
    Key(true, SDLK_a, KMOD_NONE, true); // auto-repeat
    Key(false, SDLK_a);
    Key(true, SDLK_KP_ENTER);
    Key(true, SDLK_UNKNOWN);
    Key(true, SDLK_SPACE, KMOD_LALT); // no system menu
    Key(true, SDLK_f, KMOD_RALT);
    Key(false, SDLK_f, KMOD_RALT);
    Key(true, SDLK_RETURN, KMOD_LALT); // full screen, later
    Pump();
    EXPECT_EQ(events, (Events{{InputEvent_ButtonDown, 100, 50, 0},
                              {InputEvent_ButtonUp, 799, 599, 1},
                              {InputEvent_MouseMove, -1, 3, 0},
                              {InputEvent_KeyDown, 0, 0, 0x41},
                              {InputEvent_KeyDown, 0, 0, 0x41},
                              {InputEvent_KeyUp, 0, 0, 0x41},
                              {InputEvent_KeyDown, 0, 0, 13},
                              {InputEvent_KeyDown, 0, 0, 0x46},
                              {InputEvent_KeyUp, 0, 0, 0x46}}));
    EXPECT_EQ(GetCurrentDisplaySettings().windowMode, 0); // the window outlives its own events
    ApplyQueuedDisplayChanges();
    // Full screen is a borderless window over the desktop, which no window manager has to grant.
    const Uint32 flags = SDL_GetWindowFlags(platform->GetWindowHandle());
    EXPECT_TRUE(flags & SDL_WINDOW_BORDERLESS);
    EXPECT_FALSE(flags & SDL_WINDOW_FULLSCREEN);
    SDL_Rect desktop{};
    ASSERT_EQ(SDL_GetDisplayBounds(0, &desktop), 0);
    EXPECT_EQ(ClientSize(), std::make_pair(desktop.w, desktop.h));

    // Text fields translate with the modifiers the window saw, the locks from SDL's key modifiers.
    Key(true, SDLK_LSHIFT, KMOD_LSHIFT | KMOD_CAPS | KMOD_NUM);
    Pump();
    EXPECT_TRUE(platform->GetKeyboardState()[VK_SHIFT] & 0x80);
    EXPECT_EQ(GetKeyModifiers(), KeyModifier_Shift | KeyModifier_CapsLock | KeyModifier_NumLock);
    EXPECT_EQ(TranslateKey('B'), (KeyTranslation{1, 'b'}));
    Pumped(SDL_WINDOWEVENT_FOCUS_LOST); // keys released elsewhere never report it
    EXPECT_FALSE(platform->GetKeyboardState()[VK_SHIFT] & 0x80);
    EXPECT_EQ(GetKeyModifiers(), KeyModifier_CapsLock | KeyModifier_NumLock);
}

// A mouse faster than the loop: the moves waiting one behind another come as the latest of them,
// and a button still comes after the move before it, at its place, in a handful of passes.
TEST_F(WindowPlatform, QueuedMovesComeAsTheLatestAndButtonsKeepTheirPlace)
{
    Open();
    for (int i = 0; i < 1000; ++i)
        Motion(i % 800, i / 800);
    Button(true, SDL_BUTTON_LEFT, 199, 1);
    for (int i = 0; i < 300; ++i)
        Motion(i, 500);
    Button(false, SDL_BUTTON_LEFT, 299, 500);
    Motion(300, 501);
    int passes = 0;
    for (; platform->HasPendingMessages(); ++passes)
        platform->PumpMessages(this);
    EXPECT_EQ(events, (Events{{InputEvent_MouseMove, 199, 1, 0},
                              {InputEvent_ButtonDown, 199, 1, 0},
                              {InputEvent_MouseMove, 299, 500, 0},
                              {InputEvent_ButtonUp, 299, 500, 0},
                              {InputEvent_MouseMove, 300, 501, 0}}));
    EXPECT_EQ(passes, 5);
}

TEST_F(WindowPlatform, OneLeaveEventPerExitAndNoInputOutsideThePump)
{
    Open();
    Window(SDL_WINDOWEVENT_LEAVE); // not armed yet
    Motion(10, 10);
    Window(SDL_WINDOWEVENT_LEAVE);
    Window(SDL_WINDOWEVENT_LEAVE);
    Window(SDL_WINDOWEVENT_ENTER);
    Motion(20, 20);
    Pumped(SDL_WINDOWEVENT_LEAVE);
    EXPECT_EQ(events, (Events{{InputEvent_MouseMove, 10, 10, 0},
                              {InputEvent_MouseLeave, 0, 0, 0},
                              {InputEvent_MouseMove, 20, 20, 0},
                              {InputEvent_MouseLeave, 0, 0, 0}}));

    events.clear();
    SDL_Event e{};
    e.type = SDL_MOUSEBUTTONDOWN;
    e.button.button = SDL_BUTTON_LEFT;
    platform->WindowProc(e);
    e = {};
    e.type = SDL_WINDOWEVENT;
    e.window.event = SDL_WINDOWEVENT_FOCUS_GAINED;
    platform->WindowProc(e);
    EXPECT_TRUE(events.empty());
    EXPECT_TRUE(platform->IsActive()); // the flags still follow
}

TEST_F(WindowPlatform, WindowEventsDriveTheFlagsTheAudioAndTheQuit)
{
    Open();
    FakeGraphicsFactory factory(journal);
    SetAudioPlatform(new FakeAudioPlatform(journal));
    Looper looper;
    Pumped(SDL_WINDOWEVENT_FOCUS_GAINED);
    EXPECT_TRUE(platform->IsActive());
    Pumped(SDL_WINDOWEVENT_FOCUS_LOST);
    EXPECT_FALSE(platform->IsActive());
    EXPECT_TRUE(platform->IsRepaintRequested());
    platform->ClearRepaintRequest();
    for (uint8_t what : {SDL_WINDOWEVENT_EXPOSED, SDL_WINDOWEVENT_MINIMIZED, SDL_WINDOWEVENT_RESTORED})
        Window(what);
    Pump();
    EXPECT_TRUE(platform->IsRepaintRequested());
    EXPECT_EQ(journal.With("audio."),
              (Lines{"audio.SetActive 1", "audio.SetActive 0", "audio.SetActive 0", "audio.SetActive 1"}));

    SDL_Event stranger{};
    stranger.window = {SDL_WINDOWEVENT, 0, Id() + 100, SDL_WINDOWEVENT_FOCUS_GAINED, 0, 0, 0, 0, 0};
    Push(stranger); // another window's events are none of ours
    Pumped(SDL_WINDOWEVENT_CLOSE);
    EXPECT_FALSE(platform->IsActive());
    EXPECT_TRUE(looper.IsQuitSet());
    EXPECT_NE(platform->GetWindowHandle(), nullptr); // closing does not destroy the window

    Pumped(SDL_WINDOWEVENT_MAXIMIZED); // means full screen, once the loop gets to it
    EXPECT_EQ(GetCurrentDisplaySettings().windowMode, 0);
    ApplyQueuedDisplayChanges();
    EXPECT_EQ(GetCurrentDisplaySettings().windowMode, 1);

    SDL_Event terminating{};
    terminating.type = SDL_APP_TERMINATING;
    Push(terminating);
    Pump();
    EXPECT_TRUE(platform->IsQuitRequested());
}

TEST_F(WindowPlatform, TextEventsBringTheLayoutsCharactersOneEventEach)
{
    Open();
    // Every window made asks for text, even when text input was off before.
    SDL_StopTextInput();
    platform->CreateMainWindow({0, 1, 800, 600});
    EXPECT_TRUE(SDL_IsTextInputActive());

    // A layout unlike the US one: Shift with the key left of the e acute key gives "1"; the e acute
    // key gives its letter; a dead circumflex, then e, gives one composed character. Keys the
    // engine has no code for send no key event, but their characters come all the same.
    Key(true, SDLK_LSHIFT, KMOD_LSHIFT);
    Key(true, SDLK_AMPERSAND, KMOD_LSHIFT);
    Typed("1");
    Key(false, SDLK_LSHIFT);
    Key(true, 0xE9); // the layout's keycode for the e acute key
    Typed("\xC3\xA9");
    Key(true, SDLK_CARET); // dead: no text yet
    Key(true, SDLK_e);
    Typed("\xC3\xAA");
    Typed("Zo\xC3\xA9\xE2\x82\xAC"); // an input method commits several at once
    Typed("x", Id() + 1);            // another window's
    Pump();
    EXPECT_EQ(events, (Events{{InputEvent_KeyDown, 0, 0, VK_SHIFT},
                              {InputEvent_Text, 0, 0, '1'},
                              {InputEvent_KeyUp, 0, 0, VK_SHIFT},
                              {InputEvent_Text, 0, 0, 0xE9},
                              {InputEvent_KeyDown, 0, 0, 'E'},
                              {InputEvent_Text, 0, 0, 0xEA},
                              {InputEvent_Text, 0, 0, 'Z'},
                              {InputEvent_Text, 0, 0, 'o'},
                              {InputEvent_Text, 0, 0, 0xE9},
                              {InputEvent_Text, 0, 0, 0x20AC}}));
}

TEST_F(WindowPlatform, ClientPositionsMapIntoTheLogicalFrame)
{
    Open({0, 1, 1600, 1200});
    GetCurrentDisplaySettings() = {0, 1, 800, 600};
    EXPECT_EQ(Logical(1599, 1199), std::make_pair(799, 599));
    platform->CreateMainWindow({1, 1, 800, 500});
    GetCurrentDisplaySettings() = {1, 1, 800, 500};
    Rect<int> frame = Shim::PresentationRect(ClientSize().first, ClientSize().second, 800, 500, true);
    ASSERT_GT(frame.y, 0);
    EXPECT_EQ(Logical(frame.x, frame.y), std::make_pair(0, 0));
    EXPECT_EQ(Logical(frame.Right() - 1, frame.Bottom() - 1), std::make_pair(799, 499));
}

TEST_F(WindowPlatform, TheWindowFollowsTheSizingMode)
{
    Open({0, 1, 800, 600});
    EXPECT_TRUE(SDL_GetWindowFlags(platform->GetWindowHandle()) & SDL_WINDOW_RESIZABLE);
    std::pair<int, int> minimum;
    SDL_GetWindowMinimumSize(platform->GetWindowHandle(), &minimum.first, &minimum.second);
    EXPECT_EQ(minimum, std::make_pair(133, 100));
    Pumped(SDL_WINDOWEVENT_RESIZED, 1000, 600); // a side edge: the height follows
    EXPECT_EQ(ClientSize(), std::make_pair(1000, 750));
    Pumped(SDL_WINDOWEVENT_RESIZED, 1000, 900); // the bottom edge: the width follows
    EXPECT_EQ(ClientSize(), std::make_pair(1200, 900));

    platform->CreateMainWindow({0, 2, 800, 600});
    EXPECT_FALSE(SDL_GetWindowFlags(platform->GetWindowHandle()) & SDL_WINDOW_RESIZABLE);
}

TEST_F(WindowPlatform, ASmallScreenIsReportedWithTheProgramsName)
{
    platform->screenWidth = 800;
    platform->screenHeight = 600;
    EXPECT_NO_THROW(platform->CheckScreenResolution({1, 1, 800, 600}));
    EXPECT_THROW(platform->CheckScreenResolution({1, 1, 640, 601}), engine_error);
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
}

TEST_F(WindowPlatform, ASecondCopyWakesTheFirstAndEndsQuietly)
{
    std::filesystem::create_directories(folder.Path() + "/user");
    {
        Shim::SingleInstance first(folder.Path() + "/user", "Tanglewisp");
        ASSERT_TRUE(first.IsFirstInstance());
        platform->Initialize();
        EXPECT_TRUE(platform->ActivateExistingInstance());
        EXPECT_TRUE(WaitFor([&] { return first.TakeActivationRequest(); }));
        platform->Shutdown();
    }
    platform->Initialize(); // now the first copy
    EXPECT_FALSE(platform->ActivateExistingInstance());
    EXPECT_FALSE(Shim::SingleInstance(folder.Path() + "/user", "Tanglewisp").IsFirstInstance());
    platform->Shutdown();

    folder.Write("blocker", "a file where the folder should be");
    SetAppDataFolderOverride(folder.WidePath() + L"/blocker/user");
    platform->Initialize(); // no lock file can be made: the first copy all the same
    EXPECT_FALSE(platform->ActivateExistingInstance());
}

TEST_F(WindowPlatform, TheCustomCursorHidesTheSystemOneOnlyWhileActive)
{
    Open();
    auto* graphics = new FakeGraphicsPlatform(2, journal);
    SetGraphicsPlatform(graphics);
    Pumped(SDL_WINDOWEVENT_FOCUS_GAINED);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    graphics->customCursor = false;
    RefreshWindowCursor(); // the mouse is elsewhere: nothing changes
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);

    platform->mouseOver = true;
    graphics->customCursor = true;
    platform->SetCursor(platform->GetStoredCursor());
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE); // still the game's own
    graphics->customCursor = false;
    RefreshWindowCursor();
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE); // at once
    graphics->customCursor = true;
    RefreshWindowCursor();
    Pumped(SDL_WINDOWEVENT_FOCUS_LOST);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE); // inactive: the system cursor
}

} // namespace

TEST_F(WindowPlatform, ErrorBoxesOnTheDummyDriverOnlyLog)
{
    // The video driver draws into nothing, running or only asked for: a box would wait for nobody.
    EXPECT_FALSE(Shim::CanShowBoxes());
    Open();
    EXPECT_FALSE(Shim::CanShowBoxes());
    LogCapture log;
    ShowErrorBox(L"There was an error loading Menu.xml", L"scene has no root node");
    EXPECT_NE(log.Text().find("scene has no root node"), std::string::npos);
}
