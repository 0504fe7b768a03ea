#include "EngineFakes.h"
#include "Support/LogCapture.h"

#include "Graphics/Canvas.h"
#include "Graphics/Image.h"
#include "Graphics/ImageCanvas.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace Kestrin;
using namespace KestrinTest;

namespace
{

using Lines = std::vector<std::string>;

class ScreenStack : public ::testing::Test
{
protected:
    ScreenStack() : platform(new FakePlatform(journal)), app(journal) {}
    ~ScreenStack() override { ResetEngineGlobals(); }

    RecordingMode* Make(const std::string& name) { return new RecordingMode(name, journal); }
    // Pushes through the queue and forgets what that wrote.
    RecordingMode* Pushed(const std::string& name)
    {
        RecordingMode* mode = Make(name);
        PushMode(mode);
        looper.ProcessModeRequests();
        journal.Clear();
        return mode;
    }

    Journal journal;
    FakePlatform* platform;
    TestApplication app;
    Looper looper;
};

TEST_F(ScreenStack, RequestsWaitForThePassAndRunInOrder)
{
    RecordingMode* a = Make("a");
    ChangeMode(a);
    PushMode(Make("b"));
    EXPECT_TRUE(journal.lines.empty()); // nothing happens at call time
    EXPECT_EQ(looper.GetPendingRequestCount(), 2u);

    EXPECT_TRUE(looper.ProcessModeRequests());
    EXPECT_EQ(journal.lines, (Lines{"a.Enter", "b.Enter", "b.Activate", "b.OnMouseMove -50,-50",
                                    "app.OnModeRequestsApplied"}));
    EXPECT_EQ(looper.GetStack().front(), a);
    EXPECT_FALSE(looper.ProcessModeRequests()); // empty queue
}

TEST_F(ScreenStack, PopToAScreenNotOnTheStackEmptiesItAndPushesTheScreen)
{
    Pushed("a");
    Pushed("b");
    RecordingMode* c = Make("c");
    PopToMode(c);
    looper.ProcessModeRequests();
    EXPECT_EQ(journal.lines, (Lines{"b.Deactivate", "b.Exit", "b.delete", "a.Exit", "a.delete", "c.Enter",
                                    "c.Activate", "c.OnMouseMove -50,-50", "app.OnModeRequestsApplied"}));
    EXPECT_EQ(looper.GetStack(), std::vector<ApplicationMode*>{c});
}

TEST_F(ScreenStack, PopToTheTopStillBracketsThePass)
{
    Pushed("a");
    RecordingMode* b = Pushed("b");
    PopToMode(b);
    looper.ProcessModeRequests();
    EXPECT_EQ(journal.lines,
              (Lines{"b.Deactivate", "b.Activate", "b.OnMouseMove -50,-50", "app.OnModeRequestsApplied"}));

    // Pop back to a screen lower on the stack.
    journal.Clear();
    PopToMode(looper.GetStack().front());
    looper.ProcessModeRequests();
    EXPECT_EQ(journal.With("b."), (Lines{"b.Deactivate", "b.Exit", "b.delete"}));
    EXPECT_EQ(looper.GetStack().size(), 1u);
}

TEST_F(ScreenStack, ReplaceAndPopOnAnEmptyStack)
{
    RecordingMode* a = Make("a");
    ChangeMode(a);
    looper.ProcessModeRequests();
    EXPECT_EQ(journal.lines.front(), "a.Enter");

    journal.Clear();
    ChangeMode(Make("b"));
    looper.ProcessModeRequests();
    EXPECT_EQ(journal.lines, (Lines{"a.Deactivate", "a.Exit", "a.delete", "b.Enter", "b.Activate",
                                    "b.OnMouseMove -50,-50", "app.OnModeRequestsApplied"}));

    journal.Clear();
    PopMode();
    PopMode(); // on an empty stack: nothing
    EXPECT_TRUE(looper.ProcessModeRequests());
    EXPECT_EQ(journal.lines, (Lines{"b.Deactivate", "b.Exit", "b.delete"})); // no applied call
    EXPECT_TRUE(looper.GetStack().empty());
}

TEST_F(ScreenStack, AScreenAlreadyOnTheStackIsNeitherFreedNorPushedTwice)
{
    LogCapture log;
    RecordingMode* a = Pushed("a");
    RecordingMode* b = Pushed("b");

    ChangeMode(b); // replacing the top with itself
    looper.ProcessModeRequests();
    EXPECT_EQ(looper.GetStack(), (std::vector<ApplicationMode*>{a, b}));
    EXPECT_EQ(journal.Count("b.delete"), 0u);
    EXPECT_EQ(journal.Count("b.Enter"), 0u);

    PushMode(a);
    ChangeMode(a);
    looper.ProcessModeRequests();
    EXPECT_EQ(looper.GetStack(), (std::vector<ApplicationMode*>{a, b}));
    EXPECT_EQ(journal.Count("a.Enter") + journal.Count("a.delete") + journal.Count("b.Exit"), 0u);
    EXPECT_NE(log.Text().find("already on the stack"), std::string::npos);

    // The same new screen queued twice is pushed once.
    RecordingMode* c = Make("c");
    PushMode(c);
    PushMode(c);
    looper.ProcessModeRequests();
    EXPECT_EQ(journal.Count("c.Enter"), 1u);
    EXPECT_EQ(looper.GetStack().size(), 3u);
}

TEST_F(ScreenStack, RequestsNamingAScreenThatIsGoneAreDropped)
{
    LogCapture log;
    RecordingMode* a = Pushed("a");
    RecordingMode* b = Pushed("b");
    b->onExit = [&] { PushMode(b); }; // a screen queueing itself on its way out
    PopMode();
    PopMode();
    PopToMode(a); // a was on the stack when this was asked
    looper.ProcessModeRequests();
    EXPECT_TRUE(looper.GetStack().empty());
    EXPECT_EQ(journal.Count("a.delete"), 1u);
    EXPECT_EQ(journal.Count("a.Enter") + journal.Count("b.Enter"), 0u);
    EXPECT_NE(log.Text().find("Screen request 2 for a deleted screen dropped."), std::string::npos);
    EXPECT_NE(log.Text().find("Screen request 1 for a deleted screen dropped."), std::string::npos);
}

TEST_F(ScreenStack, UnknownRequestsAndRequestsLeftAtShutdownFreeTheirScreens)
{
    LogCapture log;
    looper.Queue(Make("odd"), 7);
    looper.ProcessModeRequests();
    EXPECT_EQ(journal.lines, Lines{"odd.delete"});
    EXPECT_NE(log.Text().find("Unknown screen request 7"), std::string::npos);

    journal.Clear();
    {
        Looper other; // stands in for this fixture's looper while it lives
        RecordingMode* d = Make("d");
        other.PushModeNow(d);
        PushMode(Make("e"));
        PushMode(Make("e"));
        PushMode(d); // on the stack: the stack frees it, not the request
        EXPECT_EQ(other.GetPendingRequestCount(), 3u);
    }
    EXPECT_EQ(journal.Count("d.delete"), 1u);
    EXPECT_EQ(journal.Count("e.delete"), 2u);
    EXPECT_EQ(journal.Count("e.Enter"), 0u);
    EXPECT_EQ(Looper::Current(), &looper);
}

TEST_F(ScreenStack, ARequestQueuedDuringEnterRunsInTheSamePass)
{
    RecordingMode* a = Make("a");
    RecordingMode* b = Make("b");
    ObjectDatabase* currentDuringEnter = nullptr;
    a->onEnter = [&] {
        currentDuringEnter = GetCurrentObjectDatabase();
        PushMode(b);
    };
    PushMode(a);
    looper.ProcessModeRequests();
    EXPECT_EQ(currentDuringEnter, a);
    EXPECT_EQ(journal.lines, (Lines{"a.Enter", "b.Enter", "b.Activate", "b.OnMouseMove -50,-50",
                                    "app.OnModeRequestsApplied"}));
    EXPECT_EQ(GetCurrentObjectDatabase(), b); // outside: the top
    EXPECT_EQ(looper.GetCurrentMode(), nullptr);
}

TEST_F(ScreenStack, TheCurrentScreenIsRestoredWhenEnterOrExitThrows)
{
    RecordingMode* a = Pushed("a");
    RecordingMode* b = Make("b");
    b->onEnter = [] { throw std::runtime_error("enter failed"); };
    PushMode(b);
    EXPECT_THROW(looper.ProcessModeRequests(), std::runtime_error);
    EXPECT_EQ(looper.GetCurrentMode(), nullptr);
    EXPECT_EQ(GetCurrentObjectDatabase(), b); // it stays on the stack, owned by it
    EXPECT_EQ(looper.GetStack(), (std::vector<ApplicationMode*>{a, b}));

    b->onExit = [] { throw std::runtime_error("exit failed"); };
    EXPECT_THROW(looper.PopModeNow(), std::runtime_error);
    EXPECT_EQ(journal.Count("b.delete"), 1u); // off the stack and freed all the same
    EXPECT_EQ(looper.GetCurrentMode(), nullptr);
    EXPECT_EQ(GetCurrentObjectDatabase(), a);
}

TEST_F(ScreenStack, InputGoesToTheTopOnlyAndIsDroppedWhileARequestWaits)
{
    Pushed("a");
    Pushed("b");
    looper.HandleInputEvent({InputEvent_MouseMove, 10, 20, 0});
    looper.HandleInputEvent({InputEvent_ButtonDown, 11, 21, 1});
    looper.HandleInputEvent({InputEvent_ButtonUp, 12, 22, 0});
    looper.HandleInputEvent({InputEvent_KeyDown, 0, 0, 0x41});
    looper.HandleInputEvent({InputEvent_KeyUp, 0, 0, 0x41});
    looper.HandleInputEvent({9, 0, 0, 0}); // no such type
    EXPECT_EQ(journal.lines, (Lines{"b.OnMouseMove 10,20", "b.OnMouseDown 1 11,21", "b.OnMouseUp 0 12,22",
                                    "b.OnKeyDown 65", "b.OnKeyUp 65"}));
    EXPECT_EQ(looper.GetLastMouseX(), 10);

    journal.Clear();
    PopMode();
    looper.HandleInputEvent({InputEvent_KeyDown, 0, 0, 13});
    looper.HandleInputEvent({InputEvent_MouseMove, 30, 40, 0});
    EXPECT_TRUE(journal.lines.empty()); // dropped, not delayed
    looper.ProcessModeRequests();
    EXPECT_EQ(journal.With("a."), (Lines{"a.Activate", "a.OnMouseMove 10,20"}));

    journal.Clear();
    looper.HandleInputEvent({InputEvent_MouseLeave, 0, 0, 0});
    EXPECT_EQ(journal.lines, Lines{"a.OnMouseLeave"});
    PushMode(Make("c"));
    looper.ProcessModeRequests();
    EXPECT_EQ(journal.Count("c.OnMouseMove -50,-50"), 1u);
}

TEST_F(ScreenStack, DrawingStartsAtTheFirstOpaqueScreenFromTheTop)
{
    FakeGraphicsFactory factory(journal);
    Graphics::ICanvas* anyCanvas = Graphics::GetScreenCanvasProxy();
    auto* graphics = new FakeGraphicsPlatform(2, journal);
    graphics->canvas = anyCanvas;
    SetGraphicsPlatform(graphics);

    RecordingMode* bottom = Pushed("bottom");
    RecordingMode* middle = Pushed("middle");
    RecordingMode* top = Pushed("top");
    bottom->opaque = false;
    middle->opaque = true;
    top->opaque = false;
    ApplicationMode* currentWhileDrawing = nullptr;
    middle->onDraw = [&] { currentWhileDrawing = looper.GetCurrentMode(); };

    looper.DrawFrame();
    EXPECT_EQ(journal.lines, (Lines{"graphics3D.BeginFrame", "top.IsOpaque", "middle.IsOpaque", "middle.Draw",
                                    "top.DrawBackdrop", "top.Draw", "app.OnAfterDraw", "graphics3D.EndFrame"}));
    EXPECT_EQ(currentWhileDrawing, middle);
    EXPECT_EQ(looper.GetCurrentMode(), nullptr);

    // An opaque top hides everything else; the bottom is never asked.
    journal.Clear();
    top->opaque = true;
    looper.DrawFrame();
    EXPECT_EQ(journal.With("top."), (Lines{"top.IsOpaque", "top.Draw"}));
    EXPECT_TRUE(journal.With("middle.").empty());

    journal.Clear();
    top->opaque = false;
    middle->opaque = false;
    looper.DrawFrame();
    EXPECT_EQ(journal.With("bottom."), Lines{"bottom.Draw"});
}

// The default backdrop dims what lies beneath by half where translucent fills are supported.
TEST_F(ScreenStack, TheDefaultBackdropDimsOnlyOnA3DPlatform)
{
    Image target(4, 2);
    for (int i = 0; i < 8; ++i)
        target.Pixels()[i] = 0xFFC8C8C8;
    Graphics::cImageCanvas canvas(target);
    auto* graphics = new FakeGraphicsPlatform(1, journal);
    graphics->canvas = &canvas;
    SetGraphicsPlatform(graphics);
    ASSERT_EQ(Graphics::GetCurrentCanvas(), Graphics::GetScreenCanvasProxy());

    ApplicationMode plain;
    plain.DrawBackdrop();
    EXPECT_EQ(target.Pixels()[0], 0xFFC8C8C8u); // software platform: nothing

    graphics->kind = 2;
    plain.DrawBackdrop();
    for (int i = 0; i < 8; ++i)
    {
        uint32_t p = target.Pixels()[i];
        int red = int((p >> 16) & 0xFF);
        EXPECT_NEAR(red, 0xC8 / 2, 2) << i;
        EXPECT_EQ(p & 0xFF, (p >> 8) & 0xFF);
    }

    // The base screen's other defaults.
    EXPECT_TRUE(plain.IsOpaque());
    EXPECT_EQ(plain.GetObjectDatabase(), &plain);
}

} // namespace
