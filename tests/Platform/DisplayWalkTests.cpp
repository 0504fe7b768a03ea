#include "Support/EngineFakes.h"
#include "Support/Thrown.h"
#include "harness/FakeClock.h"
#include "harness/LogCapture.h"

#include "Framework/CommandLine.h"
#include "Graphics/Image.h"

#include <gtest/gtest.h>

using namespace Kestrin;
using namespace KestrinTest;

namespace
{

class DisplayWalk : public ::testing::Test
{
protected:
    DisplayWalk() : platform(new FakePlatform(journal)) { CommandLine(nullptr); }
    ~DisplayWalk() override { ResetEngineGlobals(); }

    void CommandLine(const char* extra)
    {
        const char* args[] = {"Tanglewisp", extra};
        SetCommandLine(extra ? 2 : 1, args);
    }
    // Applies the settings; answers the window mode written back.
    int Apply(int windowMode, bool force = false)
    {
        DisplaySettings wanted{windowMode, 1, 800, 600};
        ApplyDisplaySettings(wanted, force);
        return wanted.windowMode;
    }

    FakeClock clock;
    Journal journal;
    FakePlatform* platform;
    FakeGraphicsFactory factory{journal};
    TestApplication app{journal};
};

TEST_F(DisplayWalk, AFullScreenRequestFallsThroughEveryRowInOrder)
{
    LogCapture log;
    factory.failing = {{2, 1}, {1, 1}, {2, 0}};
    EXPECT_EQ(Apply(1), 0); // what worked is written back
    EXPECT_EQ(journal.With("factory."),
              (Lines{"factory.Create 2", "factory.Create 1", "factory.Create 2", "factory.Create 1"}));
    EXPECT_EQ(GetCurrentDisplaySettings(), (DisplaySettings{0, 1, 800, 600}));
    EXPECT_EQ(CurrentFakeGraphics()->kind, 1);
    EXPECT_EQ(journal.Count("graphics3D.delete"), 2u); // each failed one went with the next attempt
    EXPECT_NE(log.Text().find("Error initializing IGraphicsPlatform!\n\tFile:\t"), std::string::npos);
    EXPECT_NE(log.Text().find("\tMessage:\tCould not initialize graphics3D\n"), std::string::npos);

    // One attempt tears down before it builds; the cursor state goes to the new platform.
    journal.Clear();
    factory.failing.clear();
    Apply(1);
    EXPECT_EQ(journal.lines,
              (Lines{"graphicsSoftware.Shutdown", "graphicsSoftware.delete", "platform.DestroyWindow",
                     "factory.Create 2", "platform.CheckScreenResolution", "graphics3D.PrepareForWindow",
                     "platform.CreateMainWindow 1", "graphics3D.Initialize 1",
                     "graphics3D.SetCustomCursorEnabled 1", "graphics3D.SetCursorImage"}));
}

TEST_F(DisplayWalk, SoftwareOnlySkipsThe3DRows)
{
    CommandLine("-software");
    Apply(0);
    EXPECT_EQ(journal.With("factory."), Lines{"factory.Create 1"});

    journal.Clear();
    factory.failing = {{1, 1}};
    EXPECT_EQ(Apply(1), 0);
    EXPECT_EQ(journal.With("factory."), (Lines{"factory.Create 1", "factory.Create 1"}));

    // The exact text only, and as an argument of its own: a folder named so is no switch.
    for (const char* other : {"-Software", "/tmp/shots-software"})
    {
        const char* args[] = {"Tanglewisp", "-tour", other};
        SetCommandLine(3, args);
        journal.Clear();
        Apply(1, true);
        EXPECT_EQ(journal.With("factory.").front(), "factory.Create 2") << other;
    }
}

TEST_F(DisplayWalk, OnlyTheLastRowsFailureIsThrownOn)
{
    factory.failing = {{2, 0}};
    EXPECT_NO_THROW(Apply(0)); // row 3 fails, row 4 works

    factory.failing = {{2, 0}, {1, 0}};
    EXPECT_EQ(ThrownWhat<engine_error>([&] { Apply(0, true); }), "Could not initialize graphicsSoftware");
    factory.displayExists = false;
    EXPECT_EQ(ThrownWhat<engine_error>([&] { Apply(0, true); }), "Could not create display");

    // A screen too small fails every row at the check, before any window is made.
    factory.displayExists = true;
    platform->screenWidth = 640;
    journal.Clear();
    EXPECT_THROW(Apply(1, true), engine_error);
    EXPECT_EQ(journal.Count("platform.CheckScreenResolution"), 4u);
    EXPECT_TRUE(journal.With("platform.CreateMainWindow").empty());
}

TEST_F(DisplayWalk, AnUnknownWindowModeTriesNothingAndTheLoopStillRuns)
{
    LogCapture log;
    EXPECT_EQ(Apply(2), 2);
    EXPECT_TRUE(journal.With("factory.").empty());
    EXPECT_EQ(GetGraphicsPlatform(), nullptr);
    EXPECT_NE(log.Text().find("No display attempt for window mode 2."), std::string::npos);

    Looper looper;
    auto* screen = new RecordingMode("screen", journal);
    int updates = 0;
    screen->onUpdate = [&]
    {
        if (++updates == 5)
            looper.RequestQuit();
    };
    ChangeMode(screen);
    looper.Run();
    EXPECT_EQ(updates, 5);
}

TEST_F(DisplayWalk, UnchangedSettingsRebuildOnlyWhenForced)
{
    Apply(0);
    journal.Clear();
    DisplaySettings same{0, 2, 800, 600}; // the sizing mode is not compared
    ApplyDisplaySettings(same, false);
    SetWindowMode(0);
    EXPECT_TRUE(journal.With("factory.").empty());
    ResetDisplay();
    EXPECT_EQ(journal.With("factory."), Lines{"factory.Create 2"});
    ToggleWindowMode();
    EXPECT_EQ(GetCurrentDisplaySettings().windowMode, 1);
    ToggleWindowMode();
    EXPECT_EQ(GetCurrentDisplaySettings().windowMode, 0);
}

struct NamedHandler : IWindowModeChangeHandler
{
    NamedHandler(Journal& j, std::string n) : journal(j), name(std::move(n)) {}
    void OnWindowModeChanged() override { journal.Add(name + ".OnWindowModeChanged"); }
    Journal& journal;
    std::string name;
};

TEST_F(DisplayWalk, TheCursorStateSurvivesAChangeAndHandlersHearOfIt)
{
    Apply(0);
    EXPECT_EQ(journal.Count("graphics3D.SetCursorImage"), 0u); // the first platform keeps its defaults
    Image arrow(2, 2);
    CurrentFakeGraphics()->customCursor = false;
    CurrentFakeGraphics()->cursorImage = &arrow;
    CurrentFakeGraphics()->hotSpot = {3, 4};
    NamedHandler one(journal, "one"), two(journal, "two");
    GetWindowModeChangeHandlers() = {&one, &two};

    SetWindowMode(1);
    FakeGraphicsPlatform* now = CurrentFakeGraphics();
    EXPECT_FALSE(now->customCursor);
    EXPECT_EQ(now->cursorImage, &arrow);
    EXPECT_EQ(now->hotSpot, (Vector2<int>{3, 4}));
    EXPECT_LT(journal.At("graphics3D.Initialize 1"), journal.At("one.OnWindowModeChanged"));
    EXPECT_LT(journal.At("one.OnWindowModeChanged"), journal.At("two.OnWindowModeChanged"));
    EXPECT_EQ(journal.Count("two.OnWindowModeChanged"), 1u);
}

TEST_F(DisplayWalk, ChangesAskedWhileEventsAreHandledWaitForTheLoop)
{
    Apply(0);
    journal.Clear();
    {
        ScopedEventHandling handling;
        ToggleWindowMode();
        DisplaySettings bigger{0, 1, 1024, 768};
        ApplyDisplaySettings(bigger, false);
        EXPECT_EQ(bigger.windowMode, 0);
        EXPECT_TRUE(journal.lines.empty());
    }
    EXPECT_TRUE(journal.lines.empty());
    EXPECT_TRUE(ApplyQueuedDisplayChanges());
    EXPECT_EQ(journal.With("platform.CreateMainWindow"),
              (Lines{"platform.CreateMainWindow 1", "platform.CreateMainWindow 0"}));
    EXPECT_EQ(GetCurrentDisplaySettings(), (DisplaySettings{0, 1, 1024, 768}));

    // The loop applies them at the top of its next pass.
    Looper looper;
    ChangeMode(new RecordingMode("screen", journal));
    platform->messages.push_back([](IInputEventSink*) { ToggleWindowMode(); });
    platform->messages.push_back(
        [&](IInputEventSink*)
        {
            EXPECT_EQ(GetCurrentDisplaySettings().windowMode, 1);
            looper.RequestQuit();
        });
    looper.Run();
    EXPECT_EQ(GetCurrentDisplaySettings().windowMode, 1);
}

} // namespace
