#include "EngineFakes.h"
#include "Support/FakeClock.h"

#include <gtest/gtest.h>

using namespace Kestrin;
using namespace KestrinTest;

namespace
{

class LooperStep : public ::testing::Test
{
protected:
    LooperStep() : platform(new FakePlatform(journal)), app(journal)
    {
        SetAudioPlatform(new FakeAudioPlatform(journal));
    }
    ~LooperStep() override { ResetEngineGlobals(); }

    // A screen on the stack, pushed without touching the clock fields.
    RecordingMode* Top(const std::string& name = "top")
    {
        auto* mode = new RecordingMode(name, journal);
        looper.PushModeNow(mode);
        return mode;
    }
    void Bank(uint32_t sinceUpdate, uint32_t sinceDraw)
    {
        looper.SetLastUpdateTime(clock.now - sinceUpdate);
        looper.SetLastDrawTime(clock.now - sinceDraw);
    }
    size_t Steps(const std::string& line = "top.Update 20") const { return journal.Count(line); }

    Journal journal;
    FakeClock clock;
    FakePlatform* platform;
    TestApplication app;
    Looper looper;
};

TEST_F(LooperStep, AScreenChangeRunsOneStepOfTheBankedTime)
{
    Top();
    FakeGraphicsFactory factory(journal);
    SetGraphicsPlatform(new FakeGraphicsPlatform(2, journal));

    PushMode(new RecordingMode("next", journal));
    Bank(7, 3);
    looper.StepFrame();
    EXPECT_EQ(journal.With("audio.Update"), std::vector<std::string>{"audio.Update 7"});
    EXPECT_EQ(journal.With("app.Update"), std::vector<std::string>{"app.Update 7"});
    EXPECT_EQ(journal.Count("next.Update 7"), 1u);
    EXPECT_EQ(journal.Count("top.Update 7"), 0u); // only the top is updated
    EXPECT_EQ(looper.GetLastUpdateTime(), clock.now);
    EXPECT_EQ(journal.Count("graphics3D.BeginFrame"), 0u);

    journal.Clear();
    PopMode();
    Bank(25, 3);
    looper.StepFrame();
    EXPECT_EQ(Steps(), 1u);
    EXPECT_EQ(journal.With("app.Update"), std::vector<std::string>{"app.Update 20"});
    EXPECT_EQ(looper.GetLastUpdateTime(), clock.now - 5); // the remainder is carried
    EXPECT_EQ(journal.Count("graphics3D.BeginFrame"), 0u);
    EXPECT_EQ(clock.slept, 0u);
}

TEST_F(LooperStep, CatchUpIsCappedAndTheNextPassDrawsAndSleeps)
{
    Top();
    FakeGraphicsFactory factory(journal);
    SetGraphicsPlatform(new FakeGraphicsPlatform(2, journal));
    Bank(130, 50);
    looper.StepFrame();
    EXPECT_EQ(Steps(), 2u);
    EXPECT_EQ(looper.GetLastUpdateTime(), clock.now); // 90 ms dropped
    EXPECT_EQ(journal.Count("graphics3D.BeginFrame"), 0u);

    const uint32_t drawnAt = clock.now;
    looper.StepFrame();
    EXPECT_EQ(Steps(), 2u);
    EXPECT_EQ(journal.Count("graphics3D.EndFrame"), 1u);
    EXPECT_EQ(looper.GetLastDrawTime(), drawnAt);
    EXPECT_EQ(clock.slept, 20u); // until the next step is due
    EXPECT_FLOAT_EQ(looper.GetAverageFrameTime(), 0.975f * 16.0f + 0.025f * 50.0f);

    // Drawn since the last step, nothing due: the pass does nothing.
    journal.Clear();
    clock.slept = 0;
    Bank(10, 5);
    looper.StepFrame();
    EXPECT_TRUE(journal.lines.empty());
    EXPECT_EQ(clock.slept, 0u);
}

TEST_F(LooperStep, ALateFrameOnlyDrawsAndTheFrameTimeIsSmoothed)
{
    Top();
    FakeGraphicsFactory factory(journal);
    SetGraphicsPlatform(new FakeGraphicsPlatform(2, journal));
    Bank(60, 250);
    looper.StepFrame();
    EXPECT_EQ(Steps(), 0u);
    EXPECT_EQ(journal.Count("graphics3D.EndFrame"), 1u);
    EXPECT_EQ(looper.GetLastUpdateTime(), clock.now - 60); // the steps follow in the next pass
    EXPECT_EQ(clock.slept, 0u);                            // already late: no sleep

    looper.SetAverageFrameTime(16.0f);
    Bank(10, 36); // drawn before the last step
    looper.StepFrame();
    EXPECT_FLOAT_EQ(looper.GetAverageFrameTime(), 16.5f);
    EXPECT_EQ(clock.slept, 10u);
}

TEST_F(LooperStep, ARequestQueuedByAStepStopsTheCatchUp)
{
    RecordingMode* top = Top();
    top->onUpdate = [this] { PushMode(new RecordingMode("pushed", journal)); };
    Bank(40, 5);
    looper.StepFrame();
    EXPECT_EQ(Steps(), 1u);
    EXPECT_EQ(looper.GetLastUpdateTime(), clock.now - 20);
    EXPECT_EQ(looper.GetPendingRequestCount(), 1u);
}

TEST_F(LooperStep, DrawnSinceUpdateHoldsAcrossTheClockWrap)
{
    Top();
    FakeGraphicsFactory factory(journal);
    SetGraphicsPlatform(new FakeGraphicsPlatform(2, journal));
    clock.now = 10;
    looper.SetLastUpdateTime(0xFFFFFFFEu); // 12 ms ago, before the wrap
    looper.SetLastDrawTime(2);             // 8 ms ago, after it
    looper.StepFrame();
    EXPECT_EQ(journal.Count("graphics3D.BeginFrame"), 0u);
    EXPECT_EQ(Steps(), 0u);
}

TEST_F(LooperStep, UpdateAllReachesAudioApplicationAndTopInThatOrder)
{
    Top("bottom");
    Top("top");
    looper.UpdateAll(0.02f);
    EXPECT_EQ(journal.lines.back(), "top.Update 20");
    std::vector<std::string> updates;
    for (const auto& line : journal.lines)
        if (line.find(".Update") != std::string::npos)
            updates.push_back(line);
    EXPECT_EQ(updates, (std::vector<std::string>{"audio.Update 20", "app.Update 20", "top.Update 20"}));
}

TEST_F(LooperStep, DrawFrameSkipsWhatCannotBeDrawn)
{
    Top();
    // No graphics platform at all: nothing is drawn and nothing breaks.
    platform->repaint = true;
    looper.DrawFrame();
    EXPECT_FALSE(platform->repaint);
    EXPECT_EQ(journal.Count("app.OnAfterDraw"), 0u);

    FakeGraphicsFactory factory(journal);
    auto* graphics = new FakeGraphicsPlatform(2, journal);
    SetGraphicsPlatform(graphics);

    SuspendDrawing();
    platform->repaint = true;
    looper.DrawFrame();
    EXPECT_TRUE(platform->repaint); // suspended: not even the request is cleared
    ResumeDrawing();

    graphics->beginResult = 1;
    looper.DrawFrame();
    EXPECT_EQ(journal.Count("graphics3D.EndFrame"), 0u);
    EXPECT_EQ(journal.Count("app.OnAfterDraw"), 0u);

    // Without a canvas the screens are not drawn, but the frame still ends.
    graphics->beginResult = 0;
    looper.DrawFrame();
    EXPECT_EQ(journal.Count("top.Draw"), 0u);
    EXPECT_EQ(journal.With("app.OnAfterDraw").size(), 1u);
    EXPECT_EQ(journal.lines.back(), "graphics3D.EndFrame");
}

TEST_F(LooperStep, AnInactiveWindowWaitsAndTheClockIsRebased)
{
    RecordingMode* top = Top();
    platform->active = false;
    platform->onWait = [this] {
        clock.Advance(5000);
        platform->active = true;
    };
    int stepsAfterWait = 0;
    top->onUpdate = [&] {
        if (journal.Count("platform.WaitForMessages") == 0)
            return;
        ++stepsAfterWait;
        platform->quitRequested = true; // ends the loop at the end of this pass
    };
    looper.Run();
    EXPECT_EQ(journal.Count("platform.WaitForMessages"), 1u);
    EXPECT_EQ(stepsAfterWait, 1); // one step, not a burst of catch-up
}

TEST_F(LooperStep, RunPumpsOneMessagePerPassAndStopsOnTheQuitFlag)
{
    Top();
    int pumped = 0;
    for (int i = 0; i < 3; ++i)
        platform->messages.push_back([&](IInputEventSink* sink) {
            ++pumped;
            EXPECT_EQ(sink, &looper);
        });
    platform->messages.push_back([&](IInputEventSink*) { looper.RequestQuit(); });
    looper.Run();
    EXPECT_EQ(pumped, 3);
    EXPECT_TRUE(looper.IsQuitSet());
    EXPECT_TRUE(platform->messages.empty());
}

TEST_F(LooperStep, AQuitAgreedWhileInactiveDoesNotWaitForAnotherEvent)
{
    Top();
    platform->active = false;
    platform->messages.push_back([&](IInputEventSink*) { looper.RequestQuit(); });
    looper.Run();
    EXPECT_TRUE(looper.IsQuitSet());
    EXPECT_EQ(journal.Count("platform.WaitForMessages"), 0u);
}

TEST_F(LooperStep, AnInactiveWindowWithARepaintRequestOnlyDraws)
{
    Top();
    FakeGraphicsFactory factory(journal);
    SetGraphicsPlatform(new FakeGraphicsPlatform(2, journal));
    platform->active = false;
    int waits = 0;
    platform->onWait = [&] {
        if (++waits == 1)
            platform->repaint = true; // as when the window is uncovered
        else
            platform->quitRequested = true;
    };
    looper.Run();
    // The initial frame, then one for the repaint request; no steps beside the initial one.
    EXPECT_EQ(waits, 2);
    EXPECT_EQ(journal.Count("graphics3D.EndFrame"), 2u);
    EXPECT_EQ(Steps(), 1u);
}

} // namespace
