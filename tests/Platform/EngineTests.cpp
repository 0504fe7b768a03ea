#include "EngineFakes.h"
#include "TempFolder.h"

#include "Base/Random.h"
#include "Framework/Paths.h"
#include "Graphics/Canvas.h"
#include "Platform/Engine.h"
#include "Support/FakeClock.h"
#include "Support/LogCapture.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>

using namespace Kestrin;
using namespace KestrinTest;

namespace
{

using Lines = std::vector<std::string>;

Journal* g_audioJournal = nullptr;
IAudioPlatform* MakeFakeAudio()
{
    return new FakeAudioPlatform(*g_audioJournal);
}

struct BoxRecord
{
    int shown = 0;
    std::wstring title, text;
};
BoxRecord g_box;
void RecordBox(const std::wstring& title, const std::wstring& text)
{
    ++g_box.shown;
    g_box.title = title;
    g_box.text = text;
}

class Engine : public ::testing::Test
{
protected:
    Engine() : factory(journal)
    {
        g_audioJournal = &journal;
        SetAudioPlatformFactory(&MakeFakeAudio);
        SetErrorBoxFunction(&RecordBox);
        g_box = {};
        SetAppDataFolderOverride(folder.WidePath() + L"/user");
        SetExecutableFolderOverride(folder.WidePath());
    }
    ~Engine() override
    {
        ResetEngineGlobals();
        SetAudioPlatformFactory(nullptr);
        SetErrorBoxFunction(nullptr);
        SetAppDataFolderOverride(L"");
        SetExecutableFolderOverride(L"");
        ShutdownRandomStreams();
    }

    size_t At(const std::string& line) const
    {
        return size_t(std::find(journal.lines.begin(), journal.lines.end(), line) - journal.lines.begin());
    }

    TempFolder folder;
    FakeClock clock;
    Journal journal;
    FakeGraphicsFactory factory;
    TestApplication app{journal};
};

TEST_F(Engine, StartUpRunsInItsOrder)
{
    new FakePlatform(journal);
    app.windowMode = {1, 1, 800, 600};
    ASSERT_TRUE(InitializeEngine());
    EXPECT_EQ(journal.lines,
              (Lines{"platform.Initialize", "platform.ActivateExistingInstance", "audio.Initialize",
                     "platform.DestroyWindow", "factory.Create 2", "platform.CheckScreenResolution",
                     "graphics3D.PrepareForWindow", "platform.CreateMainWindow 1", "graphics3D.Initialize 1",
                     "app.Initialize"}));
    EXPECT_NE(GetRandomStream(0), nullptr);
    EXPECT_NE(GetAudioPlatform(), nullptr);
    EXPECT_EQ(GetCurrentDisplaySettings(), (DisplaySettings{1, 1, 800, 600}));
}

TEST_F(Engine, ASecondCopyStopsStartUpQuietly)
{
    auto* platform = new FakePlatform(journal);
    platform->otherCopyRuns = true;
    EXPECT_FALSE(InitializeEngine());
    EXPECT_EQ(journal.lines, (Lines{"platform.Initialize", "platform.ActivateExistingInstance"}));
    EXPECT_EQ(GetAudioPlatform(), nullptr);

    // Without the single-copy option nobody is asked.
    journal.Clear();
    app.options.singleInstance = false;
    EXPECT_TRUE(InitializeEngine());
    EXPECT_EQ(journal.Count("platform.ActivateExistingInstance"), 0u);
    EXPECT_EQ(journal.lines.back(), "app.Initialize");
}

TEST_F(Engine, ShutdownRunsInItsOrder)
{
    new FakePlatform(journal);
    ASSERT_TRUE(InitializeEngine());
    Looper looper;
    looper.PushModeNow(new RecordingMode("a", journal));
    looper.PushModeNow(new RecordingMode("b", journal));
    PushMode(new RecordingMode("queued", journal));
    journal.Clear();

    looper.Shutdown();
    EXPECT_EQ(journal.lines,
              (Lines{"b.Deactivate", "queued.delete", "b.Exit", "b.delete", "a.Exit", "a.delete", "app.Shutdown",
                     "graphics3D.Shutdown", "audio.Shutdown", "platform.DestroyWindow", "platform.Shutdown",
                     // the singletons go last, the graphics platform last of all
                     "graphics3D.delete"}));
    EXPECT_EQ(GetPlatform(), nullptr);
    EXPECT_EQ(GetAudioPlatform(), nullptr);
    EXPECT_EQ(GetGraphicsPlatform(), nullptr);
    EXPECT_EQ(GetRandomStream(0), nullptr);
}

struct ScriptedQuitHandler : IQuitHandler
{
    ScriptedQuitHandler(Journal& j, std::string n, bool a) : journal(j), name(std::move(n)), agrees(a) {}
    bool OnQuitRequest() override
    {
        journal.Add(name + ".OnQuitRequest");
        return agrees;
    }
    Journal& journal;
    std::string name;
    bool agrees;
};

TEST_F(Engine, AQuitRequestAsksEveryHandlerUntilOneRefuses)
{
    new FakePlatform(journal);
    Looper looper;
    looper.RequestQuit();
    EXPECT_TRUE(looper.IsQuitSet()); // nobody to ask

    Looper second;
    ScriptedQuitHandler yes(journal, "yes", true), no(journal, "no", false), later(journal, "later", true);
    second.AddQuitHandler(&yes);
    second.AddQuitHandler(&no);
    second.AddQuitHandler(&later);
    second.RequestQuit();
    EXPECT_FALSE(second.IsQuitSet());
    EXPECT_EQ(journal.lines, (Lines{"yes.OnQuitRequest", "no.OnQuitRequest", "platform.RestoreWindow"}));

    journal.Clear();
    second.RemoveQuitHandler(&no);
    second.RequestQuit();
    EXPECT_TRUE(second.IsQuitSet());
    EXPECT_EQ(journal.lines, (Lines{"yes.OnQuitRequest", "later.OnQuitRequest"}));
}

TEST_F(Engine, TheEntryReportsAFailedDisplayAndSkipsShutdown)
{
    LogCapture log;
    new FakePlatform(journal);
    factory.failing = {{2, 0}, {1, 0}};
    char name[] = "Tanglewisp";
    char* argv[] = {name, nullptr};
    EXPECT_EQ(EngineMain(1, argv), 0);

    const std::string text = log.Text();
    const size_t lastAttempt = text.rfind("Error initializing IGraphicsPlatform!\n\tFile:\t");
    const size_t report = text.find("Unhandled Exception!\n\tFile:\t");
    ASSERT_NE(lastAttempt, std::string::npos);
    ASSERT_NE(report, std::string::npos);
    EXPECT_LT(lastAttempt, report);
    EXPECT_NE(text.find("\tMessage:\tCould not initialize graphicsSoftware\n", report), std::string::npos);

    EXPECT_EQ(g_box.shown, 1);
    EXPECT_EQ(g_box.title, L"Tanglewisp");
    EXPECT_EQ(g_box.text.rfind(L"Unhandled Exception\n\nFile:\t", 0), 0u);
    EXPECT_NE(g_box.text.find(L"\n\nCould not initialize graphicsSoftware"), std::wstring::npos);
    EXPECT_EQ(journal.Count("app.Initialize") + journal.Count("app.Shutdown") + journal.Count("platform.Shutdown"),
              0u);
    // The log went to the per-user folder.
    EXPECT_TRUE(folder.Has("user/LOG.TXT"));
}

TEST_F(Engine, TheEntryReportsOtherExceptionsWithTheirTextAlone)
{
    LogCapture log;
    new FakePlatform(journal);
    app.onInitialize = [] { throw std::runtime_error("the game broke"); };
    char name[] = "Tanglewisp";
    char* argv[] = {name, nullptr};
    EXPECT_EQ(EngineMain(1, argv), 0);
    EXPECT_NE(log.Text().find("Unhandled Exception!\n\tMessage:\tthe game broke\n"), std::string::npos);
    EXPECT_EQ(g_box.text, L"Unhandled Exception\n\nthe game broke");
}

TEST(EngineEntry, WithoutAnApplicationTheBoxHasTheEnginesName)
{
    TempFolder folder;
    SetAppDataFolderOverride(folder.WidePath());
    SetErrorBoxFunction(&RecordBox);
    Journal journal;
    new FakePlatform(journal);
    char name[] = "Tanglewisp";
    char* argv[] = {name, nullptr};
    EXPECT_EQ(EngineMain(1, argv), 0);
    EXPECT_EQ(g_box.title, L"Kestrin 2DEngine");
    EXPECT_NE(g_box.text.find(L"No application object."), std::wstring::npos);
    ResetEngineGlobals();
    ShutdownRandomStreams();
    SetErrorBoxFunction(nullptr);
    SetAppDataFolderOverride(L"");
}

// The whole program on the dummy video driver: the real window platform, two screens, some
// steps, a quit through the quit request, and shutdown in order.
TEST_F(Engine, SmokeRunFromTheEntry)
{
    factory.canvas = Graphics::GetScreenCanvasProxy();
    auto* a = new RecordingMode("a", journal);
    auto* b = new RecordingMode("b", journal);
    b->opaque = false;
    int steps = 0;
    b->onUpdate = [&] {
        if (++steps == 10)
            Looper::Current()->RequestQuit();
    };
    app.onInitialize = [&] {
        ChangeMode(a);
        PushMode(b);
        // The dummy driver gives no window the focus; the window manager would.
        SDL_Event focus{};
        focus.type = SDL_WINDOWEVENT;
        focus.window.event = SDL_WINDOWEVENT_FOCUS_GAINED;
        SDL_PushEvent(&focus);
    };
    char name[] = "Tanglewisp";
    char* argv[] = {name, nullptr};
    EXPECT_EQ(EngineMain(1, argv), 0);

    EXPECT_EQ(g_box.shown, 0);
    EXPECT_EQ(steps, 10);
    EXPECT_EQ(journal.Count("a.Update 20"), 0u); // covered screens are not updated
    EXPECT_GT(journal.Count("a.Draw"), 0u);     // but drawn beneath a see-through top
    EXPECT_EQ(journal.Count("b.Draw"), journal.Count("b.DrawBackdrop"));
    EXPECT_LT(At("a.Enter"), At("b.Enter"));
    EXPECT_LT(At("b.Enter"), At("b.Update 20"));

    const Lines tail(journal.lines.end() - 9, journal.lines.end());
    EXPECT_EQ(tail, (Lines{"b.Deactivate", "b.Exit", "b.delete", "a.Exit", "a.delete", "app.Shutdown",
                           "graphics3D.Shutdown", "audio.Shutdown", "graphics3D.delete"}));
    EXPECT_EQ(GetPlatform(), nullptr);
    EXPECT_FALSE(SDL_WasInit(SDL_INIT_VIDEO));
    EXPECT_TRUE(folder.Has("user/LOG.TXT"));
    EXPECT_TRUE(folder.Has("user/Tanglewisp.lock"));
}

} // namespace
