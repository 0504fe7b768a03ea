#include "Support/EngineFakes.h"
#include "harness/TempFolder.h"

#include "Base/Random.h"
#include "Framework/Paths.h"
#include "Framework/ResourceManager.h"
#include "Graphics/Canvas.h"
#include "Platform/Engine.h"
#include "harness/FakeClock.h"
#include "harness/LogCapture.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <stdexcept>

using namespace Kestrin;
using namespace KestrinTest;

namespace
{

int g_boxes = 0;
std::wstring g_boxTitle, g_boxText;
void RecordBox(const std::wstring& title, const std::wstring& text)
{
    ++g_boxes;
    g_boxTitle = title;
    g_boxText = text;
}

int RunEntry()
{
    char name[] = "Tanglewisp";
    char* argv[] = {name, nullptr};
    return EngineMain(1, argv);
}

class Engine : public ::testing::Test
{
protected:
    Engine()
    {
        g_boxes = 0;
        SetErrorBoxFunction(&RecordBox);
        SetAppDataFolderOverride(folder.WidePath() + L"/user");
        SetExecutableFolderOverride(folder.WidePath());
    }
    ~Engine() override
    {
        ResetEngineGlobals();
        delete ResourceManager::Instance();
        ShutdownRandomStreams();
        SetErrorBoxFunction(nullptr);
        SetExitStatus(0);
        SetAppDataFolderOverride(L"");
        SetExecutableFolderOverride(L"");
    }

    // The loop the entry runs while the test lasts: the program's own keeps its quit flag.
    Looper entryLooper;
    TempFolder folder;
    FakeClock clock;
    Journal journal;
    FakeAudioFactory audio{journal};
    FakeGraphicsFactory factory{journal};
    std::unique_ptr<TestApplication> app = std::make_unique<TestApplication>(journal);
};

TEST_F(Engine, StartUpRunsInItsOrderAndStopsForASecondCopy)
{
    auto* platform = new FakePlatform(journal);
    app->windowMode = {1, 1, 800, 600};
    app->onInitialize = [&]
    {
        // Every area's kinds, the sounds too although the fake audio platform opened no device.
        ResourceManager* resources = ResourceManager::Instance();
        if (resources->GetFactory(L"colorf") && resources->GetFactory(L"image") &&
            resources->GetFactory(L"sound"))
            journal.Add("resource factories registered");
    };
    ASSERT_TRUE(InitializeEngine());
    EXPECT_EQ(journal.lines,
              (Lines{"platform.Initialize", "platform.ActivateExistingInstance", "audio.Initialize",
                     "platform.DestroyWindow", "factory.Create 2", "platform.CheckScreenResolution",
                     "graphics3D.PrepareForWindow", "platform.CreateMainWindow 1", "graphics3D.Initialize 1",
                     "app.Initialize", "resource factories registered"}));
    EXPECT_NE(GetRandomStream(0), nullptr);

    delete GetAudioPlatform();
    journal.Clear();
    platform->otherCopyRuns = true;
    EXPECT_FALSE(InitializeEngine());
    EXPECT_EQ(journal.lines, (Lines{"platform.Initialize", "platform.ActivateExistingInstance"}));
    EXPECT_EQ(GetAudioPlatform(), nullptr);

    journal.Clear();
    app->options.singleInstance = false; // nobody is asked
    EXPECT_TRUE(InitializeEngine());
    EXPECT_EQ(journal.Count("platform.ActivateExistingInstance"), 0u);
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
    EXPECT_EQ(
        journal.lines,
        (Lines{"b.Deactivate", "queued.delete", "b.Exit", "b.delete", "a.Exit", "a.delete", "app.Shutdown",
               "graphics3D.Shutdown", "audio.Shutdown", "platform.DestroyWindow", "platform.Shutdown",
               "graphics3D.delete"})); // the singletons last, the graphics platform last of all
    EXPECT_EQ(GetPlatform(), nullptr);
    EXPECT_EQ(GetAudioPlatform(), nullptr);
    EXPECT_EQ(GetRandomStream(0), nullptr);
}

struct ScriptedQuitHandler : IQuitHandler
{
    ScriptedQuitHandler(Journal& j, std::string n, bool a) : journal(j), name(std::move(n)), agrees(a) {}
    bool OnQuitRequest() override { return journal.Add(name + ".OnQuitRequest"), agrees; }
    Journal& journal;
    std::string name;
    bool agrees;
};

TEST_F(Engine, AQuitRequestAsksEveryHandlerUntilOneRefuses)
{
    new FakePlatform(journal);
    Looper looper;
    ScriptedQuitHandler yes(journal, "yes", true), no(journal, "no", false), later(journal, "later", true);
    looper.AddQuitHandler(&yes);
    looper.AddQuitHandler(&no);
    looper.AddQuitHandler(&later);
    looper.RequestQuit();
    EXPECT_FALSE(looper.IsQuitSet());
    EXPECT_EQ(journal.lines, (Lines{"yes.OnQuitRequest", "no.OnQuitRequest", "platform.RestoreWindow"}));

    journal.Clear();
    looper.RemoveQuitHandler(&no);
    looper.RequestQuit();
    EXPECT_TRUE(looper.IsQuitSet());
    EXPECT_EQ(journal.lines, (Lines{"yes.OnQuitRequest", "later.OnQuitRequest"}));
}

TEST_F(Engine, TheEntryReportsWhatReachesItAndSkipsShutdown)
{
    LogCapture log;
    new FakePlatform(journal);
    factory.failing = {{2, 0}, {1, 0}};
    EXPECT_EQ(RunEntry(), 1); // a failure, for the shell
    const std::string text = log.Text();
    const size_t report = text.find("Unhandled Exception!\n\tFile:\t");
    ASSERT_NE(report, std::string::npos);
    EXPECT_LT(text.rfind("Error initializing IGraphicsPlatform!\n\tFile:\t"), report);
    EXPECT_NE(text.find("\tMessage:\tCould not initialize graphicsSoftware\n", report), std::string::npos);
    EXPECT_EQ(g_boxTitle, L"Tanglewisp");
    EXPECT_EQ(g_boxText.rfind(L"Unhandled Exception\n\nFile:\t", 0), 0u);
    EXPECT_NE(g_boxText.find(L"\n\nCould not initialize graphicsSoftware"), std::wstring::npos);
    EXPECT_TRUE(journal.With("app.").empty());
    EXPECT_EQ(journal.Count("platform.Shutdown"), 0u);
    EXPECT_TRUE(folder.Has("user/LOG.TXT"));

    // Another exception: its text alone.
    app->onInitialize = [] { throw std::runtime_error("the game broke"); };
    factory.failing.clear();
    EXPECT_EQ(RunEntry(), 1); // a failure, for the shell
    EXPECT_NE(log.Text().find("Unhandled Exception!\n\tMessage:\tthe game broke\n"), std::string::npos);
    EXPECT_EQ(g_boxText, L"Unhandled Exception\n\nthe game broke");

    // No application: the engine's own name on the box.
    app.reset();
    EXPECT_EQ(RunEntry(), 1); // a failure, for the shell
    EXPECT_EQ(g_boxTitle, L"Kestrin 2DEngine");
    EXPECT_NE(g_boxText.find(L"No application object."), std::wstring::npos);
    EXPECT_EQ(g_boxes, 3);

    // A second copy ends quietly, and that is no failure.
    app = std::make_unique<TestApplication>(journal);
    delete GetPlatform();
    auto* platform = new FakePlatform(journal);
    platform->otherCopyRuns = true;
    EXPECT_EQ(RunEntry(), 0);
    EXPECT_EQ(g_boxes, 3);
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
    b->onUpdate = [&]
    {
        if (++steps == 10)
            Looper::Current()->RequestQuit();
    };
    app->onInitialize = [&]
    {
        ChangeMode(a);
        PushMode(b);
        // The dummy driver gives no window the focus; a window manager would.
        SDL_Event focus{};
        focus.type = SDL_WINDOWEVENT;
        focus.window.event = SDL_WINDOWEVENT_FOCUS_GAINED;
        SDL_PushEvent(&focus);
    };
    EXPECT_EQ(RunEntry(), 0);
    EXPECT_EQ(g_boxes, 0);
    EXPECT_EQ(steps, 10);
    EXPECT_EQ(journal.Count("a.Update 20"), 0u); // covered screens are not updated
    EXPECT_GT(journal.Count("a.Draw"), 0u);      // but drawn beneath a see-through top
    EXPECT_EQ(journal.Count("b.Draw"), journal.Count("b.DrawBackdrop"));
    EXPECT_LT(journal.At("b.Enter"), journal.At("b.Update 20"));
    const Lines tail(journal.lines.end() - 9, journal.lines.end());
    EXPECT_EQ(tail, (Lines{"b.Deactivate", "b.Exit", "b.delete", "a.Exit", "a.delete", "app.Shutdown",
                           "graphics3D.Shutdown", "audio.Shutdown", "graphics3D.delete"}));
    EXPECT_EQ(GetPlatform(), nullptr);
    EXPECT_FALSE(SDL_WasInit(SDL_INIT_VIDEO));
    EXPECT_TRUE(folder.Has("user/LOG.TXT"));
}

// An application that gives up (its data is missing) ends through the loop and says why in the
// status, after the normal shutdown.
TEST_F(Engine, TheExitStatusSetByTheApplicationIsAnsweredAfterTheNormalShutdown)
{
    app->onInitialize = []
    {
        SetExitStatus(3);
        Looper::Current()->RequestQuit();
    };
    EXPECT_EQ(RunEntry(), 3);
    EXPECT_EQ(journal.Count("app.Shutdown"), 1u);
    EXPECT_EQ(g_boxes, 0);
}

} // namespace
