#include "Support/EngineFakes.h"
#include "harness/LogCapture.h"

#include "Graphics/Canvas.h"
#include "Graphics/Image.h"
#include "Graphics/ImageCanvas.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace Kestrin;
using namespace KestrinTest;

namespace
{

using Stack = std::vector<ApplicationMode*>;

class ScreenStack : public ::testing::Test
{
protected:
    ScreenStack() { new FakePlatform(journal); }
    ~ScreenStack() override { ResetEngineGlobals(); }

    RecordingMode* Make(const std::string& name) { return new RecordingMode(name, journal); }
    // Pushed through a pass, which is then forgotten.
    RecordingMode* Pushed(const std::string& name)
    {
        RecordingMode* mode = Make(name);
        PushMode(mode);
        looper.ProcessModeRequests();
        journal.Clear();
        return mode;
    }
    Lines Pass()
    {
        looper.ProcessModeRequests();
        Lines lines = journal.lines;
        journal.Clear();
        return lines;
    }

    // `first`, then `top` activated with the mouse parked off screen, then the application told.
    static Lines Then(Lines first, const std::string& top)
    {
        first.insert(first.end(),
                     {top + ".Activate", top + ".OnMouseMove -50,-50", "app.OnModeRequestsApplied"});
        return first;
    }

    Journal journal;
    TestApplication app{journal};
    Looper looper;
};

TEST_F(ScreenStack, EachKindOfRequestInItsOrder)
{
    RecordingMode* a = Make("a");
    ChangeMode(a); // on an empty stack: a push
    PushMode(Make("b"));
    EXPECT_TRUE(journal.lines.empty()); // nothing happens at call time
    EXPECT_EQ(Pass(), Then({"a.Enter", "b.Enter"}, "b"));
    ChangeMode(Make("c"));
    EXPECT_EQ(Pass(), Then({"b.Deactivate", "b.Exit", "b.delete", "c.Enter"}, "c"));
    PopToMode(looper.GetTopMode()); // the top itself: only the bracket
    EXPECT_EQ(Pass(), Then({"c.Deactivate"}, "c"));
    PopToMode(a);
    EXPECT_EQ(Pass(), Then({"c.Deactivate", "c.Exit", "c.delete"}, "a"));
    PopToMode(Make("d")); // not on the stack: everything goes, then it is pushed
    EXPECT_EQ(Pass(), Then({"a.Deactivate", "a.Exit", "a.delete", "d.Enter"}, "d"));
    PushMode(Make("e"));
    ClearStackAndPush(Make("f")); // the same, named for what it does
    EXPECT_EQ(Pass(),
              Then({"d.Deactivate", "e.Enter", "e.Exit", "e.delete", "d.Exit", "d.delete", "f.Enter"}, "f"));

    PopMode();
    PopMode();                                                        // on an empty stack: nothing
    EXPECT_EQ(Pass(), (Lines{"f.Deactivate", "f.Exit", "f.delete"})); // no Activate, no applied call
    EXPECT_FALSE(looper.ProcessModeRequests());
}

TEST_F(ScreenStack, ScreensOnTheStackOrAlreadyDeletedAreNeverUsedAgain)
{
    LogCapture log;
    RecordingMode* a = Pushed("a");
    RecordingMode* b = Pushed("b");
    ChangeMode(b); // replacing the top with itself
    PushMode(a);
    ChangeMode(a);
    looper.ProcessModeRequests();
    EXPECT_EQ(looper.GetStack(), (Stack{a, b}));
    EXPECT_EQ(journal.With("a.").size() + journal.Count("b.Exit") + journal.Count("b.delete"), 0u);
    EXPECT_NE(log.Text().find("already on the stack"), std::string::npos);

    RecordingMode* c = Make("c");
    PushMode(c);
    PushMode(c); // the same new screen twice: pushed once
    looper.ProcessModeRequests();
    EXPECT_EQ(journal.Count("c.Enter"), 1u);

    // Requests naming a screen that a pop of the same pass deleted are dropped.
    journal.Clear();
    c->onExit = [&] { PushMode(c); };
    PopMode();
    PopMode();
    PopMode();
    PopToMode(a); // a was on the stack when this was asked
    looper.ProcessModeRequests();
    EXPECT_TRUE(looper.GetStack().empty());
    EXPECT_EQ(journal.Count("a.Enter") + journal.Count("c.Enter"), 0u);
    EXPECT_NE(log.Text().find("Screen request 2 for a deleted screen dropped."), std::string::npos);
}

TEST_F(ScreenStack, UnknownRequestsAndRequestsLeftAtTheEndFreeTheirScreens)
{
    LogCapture log;
    looper.Queue(Make("odd"), 7);
    looper.ProcessModeRequests();
    EXPECT_EQ(journal.lines, Lines{"odd.delete"});
    EXPECT_NE(log.Text().find("Unknown screen request 7"), std::string::npos);

    journal.Clear();
    {
        Looper other; // stands in for the fixture's looper while it lives
        RecordingMode* d = Make("d");
        other.PushModeNow(d);
        PushMode(Make("e"));
        PushMode(d); // on the stack: the stack frees it, not the request
    }
    EXPECT_EQ(journal.Count("d.delete") + journal.Count("e.delete"), 2u);
    EXPECT_EQ(Looper::Current(), &looper);
}

TEST_F(ScreenStack, EnterRunsWithItsScreenCurrentAndMayQueueMore)
{
    RecordingMode* a = Make("a");
    RecordingMode* b = Make("b");
    ObjectDatabase* currentDuringEnter = nullptr;
    a->onEnter = [&]
    {
        currentDuringEnter = GetCurrentObjectDatabase();
        PushMode(b);
    };
    PushMode(a);
    EXPECT_EQ(Pass(), Then({"a.Enter", "b.Enter"}, "b"));
    EXPECT_EQ(currentDuringEnter, a);
    EXPECT_EQ(GetCurrentObjectDatabase(), b); // outside: the top

    RecordingMode* c = Make("c");
    c->onEnter = [] { throw std::runtime_error("enter failed"); };
    PushMode(c);
    EXPECT_THROW(looper.ProcessModeRequests(), std::runtime_error);
    EXPECT_EQ(looper.GetCurrentMode(), nullptr);
    EXPECT_EQ(looper.GetStack(), (Stack{a, b, c})); // owned by the stack
    c->onExit = [] { throw std::runtime_error("exit failed"); };
    EXPECT_THROW(looper.PopModeNow(), std::runtime_error);
    EXPECT_EQ(journal.Count("c.delete"), 1u); // off the stack and freed all the same
    EXPECT_EQ(looper.GetCurrentMode(), nullptr);
    EXPECT_EQ(GetCurrentObjectDatabase(), b);
}

TEST_F(ScreenStack, InputGoesToTheTopOnlyAndIsDroppedWhileARequestWaits)
{
    Pushed("a");
    Pushed("b");
    for (InputEvent e :
         {InputEvent{InputEvent_MouseMove, 10, 20, 0}, InputEvent{InputEvent_ButtonDown, 11, 21, 1},
          InputEvent{InputEvent_ButtonUp, 12, 22, 0}, InputEvent{InputEvent_KeyDown, 0, 0, 65},
          InputEvent{InputEvent_KeyUp, 0, 0, 65}, InputEvent{InputEvent_Text, 0, 0, 0xE9},
          InputEvent{9, 0, 0, 0}})
        looper.HandleInputEvent(e);
    EXPECT_EQ(journal.lines, (Lines{"b.OnMouseMove 10,20", "b.OnMouseDown 1 11,21", "b.OnMouseUp 0 12,22",
                                    "b.OnKeyDown 65", "b.OnKeyUp 65", "b.OnText 233"}));
    journal.Clear();
    PopMode();
    looper.HandleInputEvent({InputEvent_KeyDown, 0, 0, 13});
    looper.HandleInputEvent({InputEvent_MouseMove, 30, 40, 0});
    EXPECT_EQ(Pass(), (Lines{"b.Deactivate", "b.Exit", "b.delete", "a.Activate", "a.OnMouseMove 10,20",
                             "app.OnModeRequestsApplied"})); // dropped, not delayed

    looper.HandleInputEvent({InputEvent_MouseLeave, 0, 0, 0});
    EXPECT_EQ(journal.lines, Lines{"a.OnMouseLeave"});
    PushMode(Make("c"));
    looper.ProcessModeRequests();
    EXPECT_EQ(journal.Count("c.OnMouseMove -50,-50"), 1u);
}

TEST_F(ScreenStack, DrawingStartsAtTheFirstOpaqueScreenFromTheTop)
{
    auto* graphics = new FakeGraphicsPlatform(2, journal);
    graphics->canvas = Graphics::GetScreenCanvasProxy(); // any canvas will do: screens only log
    SetGraphicsPlatform(graphics);
    RecordingMode* bottom = Pushed("bottom");
    RecordingMode* middle = Pushed("middle");
    RecordingMode* top = Pushed("top");
    bottom->opaque = top->opaque = false;
    ApplicationMode* currentWhileDrawing = nullptr;
    middle->onDraw = [&] { currentWhileDrawing = looper.GetCurrentMode(); };

    looper.DrawFrame();
    EXPECT_EQ(journal.lines,
              (Lines{"graphics3D.BeginFrame", "top.IsOpaque", "middle.IsOpaque", "middle.Draw",
                     "top.DrawBackdrop", "top.Draw", "app.OnAfterDraw", "graphics3D.EndFrame"}));
    EXPECT_EQ(currentWhileDrawing, middle);

    journal.Clear();
    middle->opaque = false; // the bottom counts as opaque without being asked
    looper.DrawFrame();
    EXPECT_EQ(journal.With("bottom."), Lines{"bottom.Draw"});

    journal.Clear();
    top->opaque = true;
    looper.DrawFrame();
    EXPECT_EQ(journal.With("top."), (Lines{"top.IsOpaque", "top.Draw"}));
    EXPECT_TRUE(journal.With("middle.").empty());
}

TEST_F(ScreenStack, TheDefaultBackdropDimsOnlyWhereTranslucentFillsWork)
{
    Image target(4, 2);
    std::fill(target.Pixels(), target.Pixels() + 8, 0xFFC8C8C8u);
    Graphics::cImageCanvas canvas(target);
    auto* graphics = new FakeGraphicsPlatform(1, journal);
    graphics->canvas = &canvas;
    SetGraphicsPlatform(graphics);

    ApplicationMode plain; // drawn through the current canvas, the screen proxy
    plain.DrawBackdrop();
    EXPECT_EQ(target.Pixels()[0], 0xFFC8C8C8u); // software platform: nothing

    graphics->kind = 2;
    plain.DrawBackdrop();
    for (int i = 0; i < 8; ++i)
    {
        EXPECT_NEAR(int((target.Pixels()[i] >> 16) & 0xFF), 0xC8 / 2, 2) << i;
        EXPECT_NEAR(int(target.Pixels()[i] & 0xFF), 0xC8 / 2, 2) << i;
    }
    EXPECT_TRUE(plain.IsOpaque());
    EXPECT_EQ(plain.GetObjectDatabase(), &plain);
}

} // namespace
