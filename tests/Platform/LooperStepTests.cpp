#include "Support/EngineFakes.h"
#include "harness/FakeClock.h"

#include "Graphics/Image.h"
#include "Graphics/ImageCanvas.h"

#include <algorithm>

#include <gtest/gtest.h>

using namespace Kestrin;
using namespace KestrinTest;

namespace
{

class LooperStep : public ::testing::Test
{
protected:
    LooperStep() : platform(new FakePlatform(journal)), top(new RecordingMode("top", journal))
    {
        SetAudioPlatform(new FakeAudioPlatform(journal));
        SetGraphicsPlatform(new FakeGraphicsPlatform(2, journal));
        looper.PushModeNow(top);
        journal.Clear();
    }
    ~LooperStep() override { ResetEngineGlobals(); }

    // Sets the clock fields relative to now and runs one pass.
    void Step(uint32_t sinceUpdate, uint32_t sinceDraw)
    {
        looper.SetLastUpdateTime(clock.now - sinceUpdate);
        looper.SetLastDrawTime(clock.now - sinceDraw);
        looper.StepFrame();
    }
    size_t Steps() const { return journal.Count("top.Update 20"); }
    size_t Draws() const { return journal.Count("graphics3D.EndFrame"); }

    FakeClock clock;
    Journal journal;
    FakePlatform* platform;
    TestApplication app{journal};
    Looper looper;
    RecordingMode* top;
};

TEST_F(LooperStep, AScreenChangeRunsOneStepOfTheBankedTime)
{
    PushMode(new RecordingMode("next", journal));
    Step(7, 3);
    EXPECT_EQ(journal.With("audio.Update"), Lines{"audio.Update 7"});
    EXPECT_EQ(journal.With("app.Update"), Lines{"app.Update 7"});
    EXPECT_EQ(journal.Count("next.Update 7"), 1u);
    EXPECT_EQ(journal.Count("top.Update 7"), 0u); // covered: not updated
    EXPECT_EQ(looper.GetLastUpdateTime(), clock.now);

    PopMode();
    Step(25, 3);
    EXPECT_EQ(Steps(), 1u);
    EXPECT_EQ(looper.GetLastUpdateTime(), clock.now - 5); // the remainder is carried
    EXPECT_EQ(Draws(), 0u);
    EXPECT_EQ(clock.slept, 0u);
}

TEST_F(LooperStep, CatchUpIsCappedAndTheNextPassDrawsAndSleeps)
{
    Step(130, 50);
    EXPECT_EQ(Steps(), 2u);
    EXPECT_EQ(looper.GetLastUpdateTime(), clock.now); // 90 ms dropped
    EXPECT_EQ(Draws(), 0u);

    looper.StepFrame();
    EXPECT_EQ(Steps(), 2u);
    EXPECT_EQ(Draws(), 1u);
    EXPECT_EQ(looper.GetLastDrawTime(), clock.now - 20);
    EXPECT_EQ(clock.slept, 20u); // until the next step is due

    journal.Clear();
    Step(10, 5); // drawn since the last step, nothing due
    EXPECT_TRUE(journal.lines.empty());
    EXPECT_EQ(clock.slept, 20u);
}

TEST_F(LooperStep, ALateFrameOnlyDrawsAndTheFrameTimeIsSmoothed)
{
    Step(60, 250);
    EXPECT_EQ(Steps(), 0u);
    EXPECT_EQ(Draws(), 1u);
    EXPECT_EQ(looper.GetLastUpdateTime(), clock.now - 60); // the steps follow next pass
    EXPECT_EQ(clock.slept, 0u);                            // already late

    looper.SetAverageFrameTime(16.0f);
    Step(10, 36); // drawn before the last step
    EXPECT_FLOAT_EQ(looper.GetAverageFrameTime(), 16.5f);
    EXPECT_EQ(clock.slept, 10u);
}

TEST_F(LooperStep, ARequestQueuedByAStepStopsTheCatchUp)
{
    top->onUpdate = [this] { PushMode(new RecordingMode("pushed", journal)); };
    Step(40, 5);
    EXPECT_EQ(Steps(), 1u);
    EXPECT_EQ(looper.GetLastUpdateTime(), clock.now - 20);
}

TEST_F(LooperStep, DrawnSinceUpdateHoldsAcrossTheClockWrap)
{
    clock.now = 10;
    looper.SetLastUpdateTime(0xFFFFFFFEu); // 12 ms ago, before the wrap
    looper.SetLastDrawTime(2);             // 8 ms ago, after it
    looper.StepFrame();
    EXPECT_TRUE(journal.lines.empty());
}

TEST_F(LooperStep, DrawFrameSkipsWhatCannotBeDrawn)
{
    auto* graphics = CurrentFakeGraphics();
    SuspendDrawing();
    platform->repaint = true;
    looper.DrawFrame();
    EXPECT_TRUE(platform->repaint && journal.lines.empty());
    ResumeDrawing();

    graphics->beginResult = 1;
    looper.DrawFrame();
    EXPECT_EQ(journal.lines, Lines{"graphics3D.BeginFrame"});
    EXPECT_FALSE(platform->repaint);

    graphics->beginResult = 0; // no canvas: no screen drawn, the frame still ends
    looper.DrawFrame();
    EXPECT_EQ(journal.Count("top.Draw"), 0u);
    EXPECT_EQ(journal.lines.back(), "graphics3D.EndFrame");

    delete graphics; // none at all: nothing drawn, nothing breaks
    journal.Clear();
    looper.DrawFrame();
    EXPECT_TRUE(journal.lines.empty());
}

// The screen draws a square at a position the test moves; each pass either shows a frame (the
// platform's frame calls, the real pixels) or leaves the last one standing.
TEST_F(LooperStep, AFrameLikeTheLastOneShownIsLeftOnTheScreen)
{
    Image image(20, 10);
    Graphics::cImageCanvas canvas(image);
    CurrentFakeGraphics()->canvas = &canvas;
    int x = 2;
    top->onDraw = [&]
    {
        Graphics::DrawState state = Graphics::CurrentDrawState();
        state.color = ColorF::FromARGB(0xFFFF0000);
        Graphics::FillRect({float(x), 1.0f, 3.0f, 3.0f}, state);
        // A draw that leaves the shared state changed must not carry it into the real pass.
        Graphics::CurrentDrawState().imageColor.a = 0.5f;
    };
    const Graphics::DrawState stateBefore = Graphics::CurrentDrawState();
    looper.SetSkipUnchangedFrames(true);

    struct Pass
    {
        const char* what;
        std::function<void()> before;
        bool shown;
    };
    const std::vector<Pass> passes = {
        {"first frame", [] {}, true},
        {"same frame", [] {}, false},
        {"again", [] {}, false},
        {"square moved", [&] { x = 9; }, true},
        {"same again", [] {}, false},
        {"mouse moved",
         [&] {
             looper.HandleInputEvent({InputEvent_MouseMove, 4, 4, 0});
         },
         true},
        {"repaint asked", [&] { platform->repaint = true; }, true},
        {"just short of the longest wait", [&] { clock.now += Looper::kUnchangedFrameMs - 1; }, false},
        {"the longest wait", [&] { clock.now += 1; }, true},
        {"a new frame that fails to begin",
         [&]
         {
             x = 5;
             CurrentFakeGraphics()->beginResult = 1;
         },
         false},
        // It never reached the screen, so the same frame is shown now.
        {"the same frame after it", [&] { CurrentFakeGraphics()->beginResult = 0; }, true},
        {"every frame", [&] { looper.SetSkipUnchangedFrames(false); }, true},
        {"every frame again", [] {}, true},
    };
    Graphics::ICanvas* const current = Graphics::GetCurrentCanvas();
    long shown = 0, left = 0;
    for (const Pass& pass : passes)
    {
        journal.Clear();
        Graphics::CurrentDrawState() = stateBefore;
        // Cleared, so a shown frame is seen in the pixels.
        std::fill(image.Pixels(), image.Pixels() + 200, 0u);
        pass.before();
        looper.DrawFrame();
        const bool ended = journal.Count("graphics3D.EndFrame") == 1;
        EXPECT_EQ(ended, pass.shown) << pass.what;
        EXPECT_EQ(image.GetPixel(x + 1, 2), ended ? 0xFFFF0000u : 0u) << pass.what;
        EXPECT_EQ(Graphics::GetCurrentCanvas(), current) << pass.what;
        // The signature pass draws nothing real and leaves the state as it found it.
        if (!ended)
        {
            EXPECT_EQ(Graphics::CurrentDrawState(), stateBefore) << pass.what;
        }
        shown += ended;
        left += !ended && journal.Count("graphics3D.BeginFrame") == 0;
    }
    EXPECT_EQ(looper.GetDrawnFrameCount(), shown);
    EXPECT_EQ(looper.GetUnchangedFrameCount(), left);
    EXPECT_EQ(left, 4);
}

TEST_F(LooperStep, AnInactiveWindowWaitsAndTheClockIsRebased)
{
    platform->active = false;
    platform->onWait = [this]
    {
        clock.Advance(5000);
        platform->active = true;
    };
    top->onUpdate = [this]
    {
        if (journal.Count("platform.WaitForMessages"))
            platform->quitRequested = true; // ends the loop after this pass
    };
    looper.Run();
    const size_t waited = journal.At("platform.WaitForMessages");
    ASSERT_LT(waited, journal.lines.size());
    Lines after(journal.lines.begin() + long(waited), journal.lines.end());
    EXPECT_EQ(std::count(after.begin(), after.end(), "top.Update 20"), 1); // not a burst
}

TEST_F(LooperStep, RunPumpsAndEndsOnTheQuitFlagOrRepaintsWhileInactive)
{
    int pumped = 0;
    for (int i = 0; i < 3; ++i)
        platform->messages.push_back([&](IInputEventSink* sink) { pumped += sink == &looper; });
    platform->messages.push_back([&](IInputEventSink*) { looper.RequestQuit(); });
    looper.Run();
    EXPECT_EQ(pumped, 3);
    EXPECT_TRUE(looper.IsQuitSet());

    // Inactive: a repaint request draws; a quit agreed meanwhile never waits for another event.
    Looper second;
    second.PushModeNow(new RecordingMode("second", journal));
    journal.Clear();
    platform->active = false;
    platform->onWait = [this] { platform->repaint = true; };
    platform->messages.push_back([](IInputEventSink*) {}); // then waits: the window is uncovered
    platform->messages.push_back([](IInputEventSink*) {}); // then repaints
    platform->messages.push_back([&](IInputEventSink*) { second.RequestQuit(); });
    second.Run();
    EXPECT_EQ(journal.Count("platform.WaitForMessages"), 1u);
    EXPECT_EQ(Draws(), 2u); // the first frame and the repaint
}

} // namespace
