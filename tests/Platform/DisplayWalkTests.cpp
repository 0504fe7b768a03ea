#include "EngineFakes.h"
#include "Support/FakeClock.h"
#include "Support/LogCapture.h"

#include "Framework/CommandLine.h"
#include "Graphics/Image.h"

#include <gtest/gtest.h>

using namespace Kestrin;
using namespace KestrinTest;

namespace
{

using Lines = std::vector<std::string>;

class DisplayWalk : public ::testing::Test
{
protected:
    DisplayWalk() : platform(new FakePlatform(journal)), factory(journal)
    {
        const char* args[] = {"Tanglewisp"};
        SetCommandLine(1, args);
    }
    ~DisplayWalk() override { ResetEngineGlobals(); }

    void CommandLine(const char* extra)
    {
        const char* args[] = {"Tanglewisp", extra};
        SetCommandLine(2, args);
    }

    FakeClock clock;
    Journal journal;
    FakePlatform* platform;
    FakeGraphicsFactory factory;
    TestApplication app{journal};
};

class CountingHandler : public IWindowModeChangeHandler
{
public:
    CountingHandler(Journal& journal, std::string name) : m_journal(journal), m_name(std::move(name)) {}
    void OnWindowModeChanged() override { m_journal.Add(m_name + ".OnWindowModeChanged"); }

private:
    Journal& m_journal;
    std::string m_name;
};

TEST_F(DisplayWalk, AFullScreenRequestFallsThroughEveryRowInOrder)
{
    LogCapture log;
    factory.failing = {{2, 1}, {1, 1}, {2, 0}};
    DisplaySettings wanted{1, 1, 800, 600};
    ApplyDisplaySettings(wanted, false);

    EXPECT_EQ(journal.With("factory."),
              (Lines{"factory.Create 2", "factory.Create 1", "factory.Create 2", "factory.Create 1"}));
    EXPECT_EQ(journal.With("graphicsSoftware.Initialize").back(), "graphicsSoftware.Initialize 0");
    // What worked is written back and is now current.
    EXPECT_EQ(wanted.windowMode, 0);
    EXPECT_EQ(GetCurrentDisplaySettings(), (DisplaySettings{0, 1, 800, 600}));
    ASSERT_NE(CurrentFakeGraphics(), nullptr);
    EXPECT_EQ(CurrentFakeGraphics()->kind, 1);

    // Each failed attempt is logged and its platform shut down and deleted by the next one.
    size_t reported = 0;
    for (size_t at = log.Text().find("Error initializing IGraphicsPlatform!\n\tFile:\t"); at != std::string::npos;
         at = log.Text().find("Error initializing IGraphicsPlatform!\n\tFile:\t", at + 1))
        ++reported;
    EXPECT_EQ(reported, 3u);
    EXPECT_NE(log.Text().find("\tMessage:\tCould not initialize graphics3D\n"), std::string::npos);
    EXPECT_EQ(journal.Count("graphics3D.delete"), 2u);
    EXPECT_EQ(journal.Count("graphicsSoftware.delete"), 1u);
}

TEST_F(DisplayWalk, OneAttemptTearsDownBeforeItBuilds)
{
    DisplaySettings wanted{0, 1, 800, 600};
    ApplyDisplaySettings(wanted, false);
    journal.Clear();
    DisplaySettings full{1, 1, 800, 600};
    ApplyDisplaySettings(full, false);
    EXPECT_EQ(journal.lines,
              (Lines{"graphics3D.Shutdown", "graphics3D.delete", "platform.DestroyWindow", "factory.Create 2",
                     "platform.CheckScreenResolution", "graphics3D.PrepareForWindow",
                     "platform.CreateMainWindow 1", "graphics3D.Initialize 1",
                     // the saved cursor state goes to the new platform
                     "graphics3D.SetCustomCursorEnabled 1", "graphics3D.SetCursorImage"}));
}

TEST_F(DisplayWalk, SoftwareOnlySkipsThe3DRows)
{
    CommandLine("-software");
    DisplaySettings windowed{0, 1, 800, 600};
    ApplyDisplaySettings(windowed, false);
    EXPECT_EQ(journal.With("factory."), Lines{"factory.Create 1"});

    journal.Clear();
    factory.failing = {{1, 1}};
    DisplaySettings full{1, 1, 800, 600};
    ApplyDisplaySettings(full, false);
    EXPECT_EQ(journal.With("factory."), (Lines{"factory.Create 1", "factory.Create 1"}));
    EXPECT_EQ(full.windowMode, 0);

    // The test is for the exact text: other spellings do not count.
    CommandLine("-Software");
    journal.Clear();
    DisplaySettings again{1, 1, 800, 600};
    ApplyDisplaySettings(again, true);
    EXPECT_EQ(journal.With("factory.").front(), "factory.Create 2");
}

TEST_F(DisplayWalk, OnlyTheLastRowsFailureIsThrownOn)
{
    LogCapture log;
    factory.failing = {{2, 0}};
    DisplaySettings windowed{0, 1, 800, 600};
    EXPECT_NO_THROW(ApplyDisplaySettings(windowed, false)); // row 3 fails, row 4 works

    factory.failing = {{2, 0}, {1, 0}};
    DisplaySettings again{0, 1, 800, 600};
    try
    {
        ApplyDisplaySettings(again, true);
        FAIL() << "the last resort must throw";
    }
    catch (const engine_error& e)
    {
        EXPECT_STREQ(e.what(), "Could not initialize graphicsSoftware");
    }

    // No display at all: the same path, with the engine's own text.
    factory.displayExists = false;
    factory.failing.clear();
    DisplaySettings third{0, 1, 800, 600};
    try
    {
        ApplyDisplaySettings(third, true);
        FAIL() << "expected an error";
    }
    catch (const engine_error& e)
    {
        EXPECT_STREQ(e.what(), "Could not create display");
        EXPECT_NE(e.SourceFile().find("GraphicsPlatform.cpp"), std::string::npos);
    }
}

TEST_F(DisplayWalk, AScreenTooSmallFailsEveryRow)
{
    platform->screenWidth = 640;
    DisplaySettings wanted{1, 1, 800, 600};
    EXPECT_THROW(ApplyDisplaySettings(wanted, false), engine_error);
    EXPECT_EQ(journal.Count("platform.CheckScreenResolution"), 4u);
    EXPECT_EQ(journal.Count("platform.CreateMainWindow 1") + journal.Count("platform.CreateMainWindow 0"), 0u);
}

TEST_F(DisplayWalk, AnUnknownWindowModeTriesNothingAndTheLoopStillRuns)
{
    LogCapture log;
    DisplaySettings odd{2, 1, 800, 600};
    ApplyDisplaySettings(odd, false);
    EXPECT_TRUE(journal.With("factory.").empty());
    EXPECT_EQ(GetGraphicsPlatform(), nullptr);
    EXPECT_NE(log.Text().find("No display attempt for window mode 2."), std::string::npos);

    Looper looper;
    auto* screen = new RecordingMode("screen", journal);
    int updates = 0;
    screen->onUpdate = [&] {
        if (++updates == 5)
            looper.RequestQuit();
    };
    ChangeMode(screen);
    looper.Run();
    EXPECT_EQ(updates, 5);
    EXPECT_EQ(journal.Count("screen.Draw"), 0u);
}

TEST_F(DisplayWalk, UnchangedSettingsRebuildOnlyWhenForced)
{
    DisplaySettings wanted{0, 1, 800, 600};
    ApplyDisplaySettings(wanted, false);
    journal.Clear();
    DisplaySettings same{0, 2, 800, 600}; // the sizing mode is not compared
    ApplyDisplaySettings(same, false);
    EXPECT_TRUE(journal.With("factory.").empty());

    ResetDisplay();
    EXPECT_EQ(journal.With("factory."), Lines{"factory.Create 2"});

    journal.Clear();
    SetWindowMode(0);
    EXPECT_TRUE(journal.With("factory.").empty());
    ToggleWindowMode();
    EXPECT_EQ(GetCurrentDisplaySettings().windowMode, 1);
    ToggleWindowMode();
    EXPECT_EQ(GetCurrentDisplaySettings().windowMode, 0);
}

TEST_F(DisplayWalk, TheCursorStateSurvivesAChangeAndHandlersHearOfIt)
{
    DisplaySettings first{0, 1, 800, 600};
    ApplyDisplaySettings(first, false);
    // The first platform keeps its own defaults.
    EXPECT_TRUE(CurrentFakeGraphics()->customCursor);
    EXPECT_EQ(journal.Count("graphics3D.SetCursorImage"), 0u);

    Image arrow(2, 2);
    CurrentFakeGraphics()->customCursor = false;
    CurrentFakeGraphics()->cursorImage = &arrow;
    CurrentFakeGraphics()->hotSpot = {3, 4};

    CountingHandler one(journal, "one"), two(journal, "two");
    GetWindowModeChangeHandlers().push_back(&one);
    GetWindowModeChangeHandlers().push_back(&two);
    journal.Clear();
    SetWindowMode(1);
    EXPECT_EQ(journal.With("one.").size() + journal.With("two.").size(), 2u);
    EXPECT_EQ(journal.lines.back(), "graphics3D.SetCursorImage");
    FakeGraphicsPlatform* now = CurrentFakeGraphics();
    EXPECT_FALSE(now->customCursor);
    EXPECT_EQ(now->cursorImage, &arrow);
    EXPECT_EQ(now->hotSpot, (Vector2<int>{3, 4}));
    auto at = [&](const std::string& line) {
        return std::find(journal.lines.begin(), journal.lines.end(), line) - journal.lines.begin();
    };
    EXPECT_LT(at("graphics3D.Initialize 1"), at("one.OnWindowModeChanged"));
    EXPECT_LT(at("one.OnWindowModeChanged"), at("two.OnWindowModeChanged"));
}

TEST_F(DisplayWalk, ChangesAskedWhileEventsAreHandledWaitForTheLoop)
{
    DisplaySettings first{0, 1, 800, 600};
    ApplyDisplaySettings(first, false);
    journal.Clear();
    {
        ScopedEventHandling handling;
        ToggleWindowMode();
        DisplaySettings wanted{0, 1, 1024, 768};
        ApplyDisplaySettings(wanted, false);
        ResetDisplay();
        EXPECT_TRUE(journal.lines.empty());
        EXPECT_TRUE(HasQueuedDisplayChanges());
    }
    EXPECT_TRUE(journal.lines.empty());
    EXPECT_TRUE(ApplyQueuedDisplayChanges());
    EXPECT_EQ(journal.With("platform.CreateMainWindow"),
              (Lines{"platform.CreateMainWindow 1", "platform.CreateMainWindow 0", "platform.CreateMainWindow 0"}));
    EXPECT_EQ(GetCurrentDisplaySettings(), (DisplaySettings{0, 1, 1024, 768}));
    EXPECT_FALSE(ApplyQueuedDisplayChanges());

    // The loop applies them at the top of its next pass, outside the pump.
    Looper looper;
    ChangeMode(new RecordingMode("screen", journal));
    platform->messages.push_back([](IInputEventSink*) { ToggleWindowMode(); });
    platform->messages.push_back([&](IInputEventSink*) {
        EXPECT_EQ(GetCurrentDisplaySettings().windowMode, 1);
        looper.RequestQuit();
    });
    looper.Run();
    EXPECT_EQ(GetCurrentDisplaySettings().windowMode, 1);
}

} // namespace
