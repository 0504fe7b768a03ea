#include "Framework/Object.h"
#include "Framework/ObjectDatabase.h"
#include "Framework/Tasks.h"
#include "Support/LogCapture.h"
#include "TaskTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace Kestrin;
using KestrinTest::EventLog;

namespace
{

// Counts its instances so tests can see exactly when the database deletes objects.
class Thing : public Object
{
public:
    static inline int alive = 0;

    explicit Thing(EventLog* log = nullptr, const char* name = nullptr, const char* role = nullptr)
        : m_log(log), m_name(name ? MakeName(name) : NameId()), m_role(role ? MakeName(role) : NameId()),
          m_label(name ? name : "?")
    {
        ++alive;
    }
    ~Thing() override
    {
        --alive;
        if (onDestroy)
            onDestroy();
    }

    NameId GetName() const override { return m_name; }
    NameId GetRole() const override { return m_role; }
    void Update(float) override
    {
        ++ticks;
        if (onTick)
            onTick();
    }
    void HandleMessage(const Message& message) override
    {
        if (m_log)
            m_log->push_back(m_label + ":" + message.name.c_str() + ":" + Hex(message.handle));
        if (onMessage)
            onMessage(message);
    }

    static std::string Hex(ObjectHandle h)
    {
        char text[16];
        std::snprintf(text, sizeof text, "%x", h);
        return text;
    }

    int ticks = 0;
    std::function<void()> onTick;
    std::function<void()> onDestroy;
    std::function<void(const Message&)> onMessage;

private:
    EventLog* m_log;
    NameId m_name;
    NameId m_role;
    std::string m_label;
};

// A control: drawable, with bounds and input, enable and visible faces.
class Control : public Thing, public IDrawable, public IBounds, public IInputHandler, public EnableComponent,
                public VisibleComponent
{
public:
    Control(EventLog* log, const char* name, float depth, Rect<float> rect, bool consumes = true)
        : Thing(log, name), depth(depth), rect(rect), consumes(consumes), m_name(name)
    {
    }

    float GetDepth() override { return depth; }
    void Draw() override { m_log()->push_back(std::string("draw:") + m_name); }
    Vector2<float> GetLocation() override { return {rect.x, rect.y}; }
    void SetLocation(const Vector2<float>& p) override
    {
        rect.x = p.x;
        rect.y = p.y;
    }
    Rect<float> GetBounds() override { return rect; }
    void SetBounds(const Rect<float>& r) override { rect = r; }
    bool Contains(float x, float y) override { return rect.Contains(x, y); }

    MessageResult OnKeyDown(int key) override { return Input("keydown", key, 0); }
    MessageResult OnKeyUp(int key) override { return Input("keyup", key, 0); }
    MessageResult OnMouseMove(int x, int y) override { return Input("move", x, y); }
    MessageResult OnMouseDown(MouseButton, int x, int y) override { return Input("down", x, y); }
    MessageResult OnMouseUp(MouseButton, int x, int y) override { return Input("up", x, y); }
    bool AcceptsFocus() override { return acceptsFocus; }

    float depth;
    Rect<float> rect;
    bool consumes;
    bool acceptsFocus = true;
    static inline EventLog* inputLog = nullptr;

private:
    EventLog* m_log() { return inputLog; }
    MessageResult Input(const char* what, int a, int b)
    {
        if (inputLog)
            inputLog->push_back(std::string(what) + ":" + m_name + ":" + std::to_string(a) + "," + std::to_string(b));
        return consumes ? MessageResult::Handled : MessageResult::NotHandled;
    }
    std::string m_name;
};

// An input handler without a drawable.
class Listener : public Thing, public IInputHandler
{
public:
    explicit Listener(EventLog* log, const char* name) : Thing(log, name), m_label(name) {}
    MessageResult OnKeyDown(int) override { return Note("keydown"); }
    MessageResult OnKeyUp(int) override { return Note("keyup"); }
    MessageResult OnMouseMove(int, int) override { return Note("move"); }
    MessageResult OnMouseDown(MouseButton, int, int) override { return Note("down"); }
    MessageResult OnMouseUp(MouseButton, int, int) override { return Note("up"); }
    bool AcceptsFocus() override { return true; }

private:
    MessageResult Note(const char* what)
    {
        if (Control::inputLog)
            Control::inputLog->push_back(std::string(what) + ":" + m_label);
        return MessageResult::Handled;
    }
    std::string m_label;
};

// Records the database's own view of broadcasts.
class Screen : public ObjectDatabase
{
public:
    void HandleMessage(const Message& message) override
    {
        seen.push_back(std::string(message.name.c_str()) + ":" + Thing::Hex(message.handle));
    }
    EventLog seen;
};

class ObjectDatabaseTest : public ::testing::Test
{
protected:
    void SetUp() override { Control::inputLog = &input; }
    void TearDown() override
    {
        Control::inputLog = nullptr;
        SetTopObjectDatabase(nullptr);
    }
    EventLog log;
    EventLog input;
};

} // namespace

TEST_F(ObjectDatabaseTest, AddingTwiceGivesOneEntryAndOneAdd)
{
    ObjectDatabase db;
    auto* a = new Thing(&log, "A");
    ObjectHandle h = db.AddObject(a);
    EXPECT_EQ(h, 0x00010000u); // slot 0, generation 1
    EXPECT_EQ(db.AddObject(a), h);
    EXPECT_EQ(log, (EventLog{"A:Add:ffffffff"}));
    EXPECT_EQ(db.GetTableSize(), 1u);
    EXPECT_EQ(a->GetHandle(), h);
    EXPECT_EQ(a->GetDatabase(), &db);
    EXPECT_EQ(db.FindObject(MakeName("a")), a);
    EXPECT_EQ(db.GetObject(h), a);
}

TEST_F(ObjectDatabaseTest, ReusedSlotGetsTheNextGenerationAndOldHandlesDie)
{
    ObjectDatabase db;
    auto* a = new Thing(&log, "Old");
    ObjectHandle old = db.AddObject(a);
    db.RemoveObject(old);
    EXPECT_EQ(log.back(), "Old:Remove:ffffffff");
    EXPECT_FALSE(db.IsValidHandle(old));
    EXPECT_EQ(db.FindObject(MakeName("Old")), nullptr);
    db.Update(0.02f);
    EXPECT_EQ(Thing::alive, 0);

    ObjectHandle fresh = db.AddObject(new Thing(&log, "New"));
    EXPECT_EQ(fresh & 0xFFFF, old & 0xFFFF);
    EXPECT_EQ(fresh >> 16, (old >> 16) + 1);
    EXPECT_FALSE(db.IsValidHandle(old));
    EXPECT_EQ(db.GetObject(old), nullptr);
    EXPECT_EQ(db.FindObject(MakeName("Old")), nullptr);
    db.RemoveObject(old); // stale: ignored
    EXPECT_TRUE(db.IsValidHandle(fresh));
}

TEST_F(ObjectDatabaseTest, GenerationWrapsToOneNeverZero)
{
    ObjectDatabase db;
    db.RemoveObject(db.AddObject(new Thing));
    db.Update(0.02f);
    db.SetSlotHandleForTest(0, 0xFFFF0000);
    ObjectHandle h = db.AddObject(new Thing);
    EXPECT_EQ(h, 0x00010000u);

    db.RemoveObject(h);
    db.Update(0.02f);
    db.SetSlotHandleForTest(0, 0xFFFE0000);
    EXPECT_EQ(db.AddObject(new Thing), 0xFFFF0000u);
}

TEST_F(ObjectDatabaseTest, ObjectRemovedDuringATickIsNotTickedDrawnOrKeptPastThatUpdate)
{
    ObjectDatabase db;
    auto* remover = new Thing(&log, "Remover");
    auto* victim = new Control(&log, "Victim", 0.0f, {0, 0, 10, 10});
    db.AddObject(remover);
    ObjectHandle hv = db.AddObject(victim);
    bool destroyed = false;
    victim->onDestroy = [&destroyed] { destroyed = true; };
    remover->onTick = [&db, hv] { db.RemoveObject(hv); };

    db.Update(0.02f);
    EXPECT_TRUE(destroyed); // the victim comes after the remover: never ticked, deleted at the end

    input.clear();
    db.Draw();
    EXPECT_TRUE(input.empty());
}

TEST_F(ObjectDatabaseTest, ObjectRemovedByInputGoesAtTheEndOfTheNextUpdateAndIsNotDrawnMeanwhile)
{
    ObjectDatabase db;
    auto* button = new Control(&log, "Button", 1.0f, {0, 0, 10, 10});
    ObjectHandle h = db.AddObject(button);
    db.Update(0.02f);
    bool destroyed = false;
    int ticksAtDeath = -1;
    button->onDestroy = [&destroyed, &ticksAtDeath, button] {
        destroyed = true;
        ticksAtDeath = button->ticks;
    };

    db.RemoveObject(h); // as a click handler would
    EXPECT_EQ(db.GetEntryState(h & 0xFFFF), ObjectDatabase::RemovalPending);
    input.clear();
    db.Draw();
    EXPECT_TRUE(input.empty());
    EXPECT_FALSE(destroyed);
    db.Update(0.02f);
    EXPECT_TRUE(destroyed);
    EXPECT_EQ(ticksAtDeath, 1); // ticked by the first update only
}

TEST_F(ObjectDatabaseTest, ReAddingAnObjectPendingRemovalRevivesItsEntry)
{
    ObjectDatabase db;
    auto* a = new Control(&log, "Phoenix", 0.0f, {0, 0, 5, 5});
    ObjectHandle h = db.AddObject(a);
    db.RemoveObject(h);
    EXPECT_EQ(db.AddObject(a), h);
    EXPECT_EQ(log, (EventLog{"Phoenix:Add:ffffffff", "Phoenix:Remove:ffffffff", "Phoenix:Add:ffffffff"}));
    EXPECT_EQ(db.GetTableSize(), 1u);

    db.Update(0.02f);
    EXPECT_EQ(Thing::alive, 1);
    EXPECT_TRUE(db.IsValidHandle(h));
    EXPECT_EQ(a->ticks, 1);
    EXPECT_EQ(db.FindObject(MakeName("Phoenix")), a);
    input.clear();
    db.Draw();
    EXPECT_EQ(input, (EventLog{"draw:Phoenix"})); // drawn once: the draw list did not gain a twin
}

TEST_F(ObjectDatabaseTest, RemovingTheOlderOfTwoNamesakesKeepsTheNewerFindable)
{
    ObjectDatabase db;
    auto* older = new Thing(nullptr, "scene1");
    auto* newer = new Thing(nullptr, "scene1");
    ObjectHandle ho = db.AddObject(older);
    ObjectHandle hn = db.AddObject(newer);
    EXPECT_EQ(db.FindObject(MakeName("scene1")), newer); // the last added wins
    db.RemoveObject(ho);
    EXPECT_EQ(db.FindObject(MakeName("scene1")), newer);
    db.RemoveObject(hn);
    EXPECT_EQ(db.FindObject(MakeName("scene1")), nullptr);
}

TEST_F(ObjectDatabaseTest, RolesListLiveObjectsInRegistrationOrder)
{
    ObjectDatabase db;
    ObjectHandle g1 = db.AddObject(new Thing(nullptr, "g1", "GremlinRole"));
    db.AddObject(new Thing(nullptr, "h1", "GremlinHomeRole"));
    ObjectHandle g2 = db.AddObject(new Thing(nullptr, "g2", "GremlinRole"));
    ObjectHandle g3 = db.AddObject(new Thing(nullptr, "g3", "GremlinRole"));
    NameId role = MakeName("GremlinRole");
    EXPECT_EQ(db.FindObjectsByRole(role), (std::vector<ObjectHandle>{g1, g2, g3}));
    db.RemoveObject(g2);
    EXPECT_EQ(db.FindObjectsByRole(role), (std::vector<ObjectHandle>{g1, g3}));
    db.Update(0.02f);
    ObjectHandle g4 = db.AddObject(new Thing(nullptr, "g4", "GremlinRole")); // reuses g2's slot
    EXPECT_EQ(db.FindObjectsByRole(role), (std::vector<ObjectHandle>{g1, g3, g4}));
    EXPECT_TRUE(db.FindObjectsByRole(MakeName("Nobody")).empty());
}

TEST_F(ObjectDatabaseTest, DrawsByDepthKeepingInsertionOrderForEqualDepths)
{
    ObjectDatabase db;
    auto* top = new Control(&log, "top", 5.0f, {});
    db.AddObject(top);
    db.AddObject(new Control(&log, "b1", 1.0f, {}));
    db.AddObject(new Control(&log, "a", 0.0f, {}));
    db.AddObject(new Control(&log, "b2", 1.0f, {}));
    db.AddObject(new Thing); // not drawable
    db.Draw();
    EXPECT_EQ(input, (EventLog{"draw:top", "draw:b1", "draw:a", "draw:b2"})); // unsorted until an update
    input.clear();
    db.Update(0.02f);
    db.Draw();
    EXPECT_EQ(input, (EventLog{"draw:a", "draw:b1", "draw:b2", "draw:top"}));

    input.clear();
    top->depth = -1.0f;
    db.Update(0.02f);
    db.Draw();
    EXPECT_EQ(input.front(), "draw:top");
}

TEST_F(ObjectDatabaseTest, MouseGoesFrontToBackThenToNonDrawables)
{
    ObjectDatabase db;
    auto* back = new Control(&log, "back", 1.0f, {0, 0, 100, 100});
    auto* front = new Control(&log, "front", 2.0f, {0, 0, 100, 100}, false);
    db.AddObject(front);
    db.AddObject(back);
    db.AddObject(new Listener(&log, "listener"));
    db.Update(0.02f);

    EXPECT_TRUE(db.OnMouseDown(MouseButton::Left, 5, 6));
    EXPECT_EQ(input, (EventLog{"down:front:5,6", "down:back:5,6"}));

    input.clear();
    back->SetEnabled(false);
    EXPECT_TRUE(db.OnMouseUp(MouseButton::Left, 5, 6));
    EXPECT_EQ(input, (EventLog{"up:front:5,6", "up:listener"}));

    input.clear();
    back->SetEnabled(true);
    back->SetVisible(false);
    EXPECT_TRUE(db.OnKeyDown(65));
    EXPECT_EQ(input, (EventLog{"keydown:front:65,0", "keydown:listener"}));
}

TEST_F(ObjectDatabaseTest, UnhandledEventsAnswerFalse)
{
    ObjectDatabase db;
    db.AddObject(new Control(&log, "idle", 1.0f, {0, 0, 10, 10}, false));
    EXPECT_FALSE(db.OnMouseDown(MouseButton::Right, 1, 1));
    EXPECT_FALSE(db.OnKeyUp(13));
    EXPECT_EQ(input, (EventLog{"down:idle:1,1", "keyup:idle:13,0"}));
}

TEST_F(ObjectDatabaseTest, LiveCaptureKeepsEveryMouseEventButNotWhenDisabledOrHidden)
{
    ObjectDatabase db;
    auto* captor = new Control(&log, "captor", 0.0f, {0, 0, 10, 10}, false);
    auto* other = new Control(&log, "other", 1.0f, {50, 50, 10, 10});
    ObjectHandle hc = db.AddObject(captor);
    db.AddObject(other);
    db.SetCaptureHandle(hc);

    EXPECT_TRUE(db.OnMouseDown(MouseButton::Left, 55, 55));
    EXPECT_EQ(input, (EventLog{"down:captor:55,55"}));

    input.clear();
    captor->SetEnabled(false);
    db.OnMouseUp(MouseButton::Left, 55, 55);
    EXPECT_EQ(input, (EventLog{"up:other:55,55"}));

    input.clear();
    captor->SetEnabled(true);
    captor->SetVisible(false);
    db.OnMouseUp(MouseButton::Left, 55, 55);
    EXPECT_EQ(input, (EventLog{"up:other:55,55"}));

    // Keys ignore the capture: they go to the focus, then front to back.
    input.clear();
    captor->SetVisible(true);
    db.OnKeyDown(9);
    EXPECT_EQ(input, (EventLog{"keydown:other:9,0"}));
}

TEST_F(ObjectDatabaseTest, FocusHasTheFirstSayOnKeys)
{
    ObjectDatabase db;
    auto* field = new Control(&log, "field", 0.0f, {}, false);
    db.AddObject(new Control(&log, "front", 3.0f, {}));
    db.AddObject(field);
    db.Update(0.02f);
    db.SetFocus(field);
    db.OnKeyDown(32);
    // The focus answered 0 and does not keep keys: the event goes on, skipping it.
    EXPECT_EQ(input, (EventLog{"keydown:field:32,0", "keydown:front:32,0"}));
}

TEST_F(ObjectDatabaseTest, HoverSendsLeaveThenEnterAndLeavingTheWindowClearsIt)
{
    Screen db;
    auto* a = new Control(&log, "A", 1.0f, {0, 0, 10, 10}, false);
    auto* b = new Control(&log, "B", 1.0f, {20, 0, 10, 10}, false);
    ObjectHandle ha = db.AddObject(a);
    ObjectHandle hb = db.AddObject(b);
    std::string sa = Thing::Hex(ha), sb = Thing::Hex(hb);

    db.OnMouseMove(5, 5);
    EXPECT_EQ(db.GetHoverHandle(), ha);
    db.OnMouseMove(6, 5); // still A: nothing new
    db.OnMouseMove(25, 5);
    EXPECT_EQ(db.GetHoverHandle(), hb);
    db.OnMouseLeave();
    EXPECT_EQ(db.GetHoverHandle(), NoObjectHandle);
    db.OnMouseLeave(); // nothing hovered: nothing sent
    EXPECT_EQ(db.seen, (EventLog{"ControlEnter:" + sa, "ControlLeave:" + sa, "ControlEnter:" + sb,
                                 "ControlLeave:" + sb}));

    // Moving off every control sends a leave for the one that was hovered.
    db.seen.clear();
    db.OnMouseMove(25, 5);
    db.OnMouseMove(50, 50);
    EXPECT_EQ(db.seen, (EventLog{"ControlEnter:" + sb, "ControlLeave:" + sb}));

    // A disabled control is not hovered.
    db.seen.clear();
    a->SetEnabled(false);
    db.OnMouseMove(5, 5);
    EXPECT_TRUE(db.seen.empty());
}

TEST_F(ObjectDatabaseTest, RemovingTheFocusCaptureAndHoverObjectClearsThem)
{
    ObjectDatabase db;
    int releases = 0;
    SetMouseCaptureReleaseHandler([&releases] { ++releases; });
    auto* c = new Control(&log, "C", 0.0f, {0, 0, 10, 10});
    ObjectHandle h = db.AddObject(c);
    db.SetFocus(c);
    db.SetCaptureHandle(h);
    db.OnMouseMove(1, 1);
    ASSERT_EQ(db.GetHoverHandle(), h);
    log.clear();

    db.RemoveObject(h);
    EXPECT_EQ(log, (EventLog{"C:LostFocus:ffffffff", "C:Remove:ffffffff"})); // no ControlLeave
    EXPECT_EQ(db.GetFocusHandle(), NoObjectHandle);
    EXPECT_EQ(db.GetCaptureHandle(), NoObjectHandle);
    EXPECT_EQ(db.GetHoverHandle(), NoObjectHandle);
    EXPECT_EQ(releases, 1);
    SetMouseCaptureReleaseHandler(nullptr);
}

TEST_F(ObjectDatabaseTest, SetFocusTellsTheOldAndTheNewObject)
{
    ObjectDatabase db;
    auto* a = new Thing(&log, "A");
    auto* b = new Thing(&log, "B");
    db.AddObject(a);
    ObjectHandle hb = db.AddObject(b);
    log.clear();
    db.SetFocus(a);
    db.SetFocus(a); // same object: nothing
    db.SetFocus(b);
    EXPECT_EQ(db.GetFocusHandle(), hb);
    db.SetFocus(nullptr);
    EXPECT_EQ(db.GetFocusHandle(), NoObjectHandle);
    EXPECT_EQ(log, (EventLog{"A:ReceivedFocus:ffffffff", "A:LostFocus:ffffffff", "B:ReceivedFocus:ffffffff",
                             "B:LostFocus:ffffffff"}));
}

TEST_F(ObjectDatabaseTest, FocusTraversalSkipsWhatCannotTakeFocusAndWraps)
{
    ObjectDatabase db;
    auto* a = new Control(&log, "a", 0.0f, {});
    auto* off = new Control(&log, "off", 0.0f, {});
    auto* b = new Control(&log, "b", 0.0f, {});
    auto* shy = new Control(&log, "shy", 0.0f, {});
    auto* hidden = new Control(&log, "hidden", 0.0f, {});
    ObjectHandle ha = db.AddObject(a);
    ObjectHandle hoff = db.AddObject(off);
    ObjectHandle hplain = db.AddObject(new Thing);
    ObjectHandle hb = db.AddObject(b);
    ObjectHandle hshy = db.AddObject(shy);
    ObjectHandle hhid = db.AddObject(hidden);
    off->SetEnabled(false);
    shy->acceptsFocus = false;
    hidden->SetVisible(false);
    log.clear();

    std::vector<ObjectHandle> order{hshy, hb, hoff, hplain, ha, hhid};
    db.FocusNext(order); // focus not in the list: the first that can take it
    EXPECT_EQ(db.GetFocusHandle(), hb);
    db.FocusNext(order);
    EXPECT_EQ(db.GetFocusHandle(), ha);
    db.FocusNext(order); // wraps
    EXPECT_EQ(db.GetFocusHandle(), hb);
    db.FocusPrevious(order); // wraps backwards
    EXPECT_EQ(db.GetFocusHandle(), ha);
    EXPECT_TRUE(log.empty()); // no focus messages

    db.SetFocusHandle(NoObjectHandle);
    db.FocusPrevious(order); // from the end
    EXPECT_EQ(db.GetFocusHandle(), ha);

    // Without a list: the live objects in table order.
    db.FocusNext();
    EXPECT_EQ(db.GetFocusHandle(), hb);
    db.FocusNext();
    EXPECT_EQ(db.GetFocusHandle(), ha);
    db.FocusPrevious();
    EXPECT_EQ(db.GetFocusHandle(), hb);
}

TEST_F(ObjectDatabaseTest, BroadcastReachesNewSlotsAtTheEndButNotReusedLowerOnes)
{
    Screen db;
    ObjectHandle hole = db.AddObject(new Thing);
    auto* first = new Thing(&log, "first");
    db.AddObject(first);
    db.RemoveObject(hole);
    db.Update(0.02f); // slot 0 is free again
    log.clear();

    first->onMessage = [&](const Message& m) {
        if (m.name != MakeName("Ping"))
            return;
        db.AddObject(new Thing(&log, "reused")); // takes slot 0, behind the walk
        db.AddObject(new Thing(&log, "appended"));
    };
    db.Broadcast(Message(42, MakeName("Ping")));
    EXPECT_EQ(db.seen, (EventLog{"Ping:2a"}));
    EXPECT_EQ(log, (EventLog{"first:Ping:2a", "reused:Add:ffffffff", "appended:Add:ffffffff", "appended:Ping:2a"}));
}

TEST_F(ObjectDatabaseTest, BroadcastMakesItsDatabaseCurrentForTheReceivers)
{
    ObjectDatabase top, other;
    SetTopObjectDatabase(&top);
    ObjectDatabase* seen = nullptr;
    auto* receiver = new Thing;
    receiver->onMessage = [&seen](const Message&) { seen = GetCurrentObjectDatabase(); };
    other.AddObject(receiver);
    seen = nullptr;
    other.Broadcast(Message(1, MakeName("Hi")));
    EXPECT_EQ(seen, &other);
    EXPECT_EQ(GetCurrentObjectDatabase(), &top);

    // A removed object no longer hears broadcasts.
    other.RemoveObject(receiver->GetHandle());
    seen = nullptr;
    other.Broadcast(Message(1, MakeName("Hi")));
    EXPECT_EQ(seen, nullptr);
}

TEST_F(ObjectDatabaseTest, CurrentDatabaseIsTheOneBeingEnteredElseTheTop)
{
    EXPECT_EQ(GetCurrentObjectDatabase(), nullptr);
    auto* top = new ObjectDatabase;
    ObjectDatabase entering;
    SetTopObjectDatabase(top);
    EXPECT_EQ(GetCurrentObjectDatabase(), top);
    {
        ScopedCurrentObjectDatabase scope(&entering);
        EXPECT_EQ(GetCurrentObjectDatabase(), &entering);
        {
            ScopedCurrentObjectDatabase inner(top);
            EXPECT_EQ(GetCurrentObjectDatabase(), top);
        }
        EXPECT_EQ(GetCurrentObjectDatabase(), &entering);
    }
    EXPECT_EQ(GetCurrentObjectDatabase(), top);
    delete top; // a destroyed database is never current
    EXPECT_EQ(GetCurrentObjectDatabase(), nullptr);
    EXPECT_EQ(GetTopObjectDatabase(), nullptr);
}

TEST_F(ObjectDatabaseTest, DestructionLogsItsClassAndDeletesEveryObjectSilently)
{
    KestrinTest::LogCapture capture;
    {
        Screen db;
        db.AddObject(new Thing(&log, "x"));
        db.AddObject(new Thing(&log, "y"));
        ObjectHandle gone = db.AddObject(new Thing(&log, "z"));
        db.RemoveObject(gone);
        log.clear();
    }
    EXPECT_EQ(Thing::alive, 0);
    EXPECT_TRUE(log.empty()); // no "Remove" on the way out
    EXPECT_NE(capture.Text().find("Destroying ObjectDatabase ((anonymous namespace)::Screen): Final Size = 3\n"), std::string::npos)
        << capture.Text();
}

TEST_F(ObjectDatabaseTest, ObjectsDeletingOthersOnTheirWayOutAreSafe)
{
    auto* db = new ObjectDatabase;
    auto* a = new Thing;
    auto* b = new Thing;
    db->AddObject(a);
    ObjectHandle hb = db->AddObject(b);
    a->onDestroy = [db, hb] { db->RemoveObject(hb); };
    b->onDestroy = [db] { db->AddObject(new Thing); }; // takes a's freed slot, behind the walk
    delete db;
    EXPECT_EQ(Thing::alive, 0);

    // The same during an update: b lies after a, so it goes in the same walk.
    ObjectDatabase live;
    auto* c = new Thing;
    auto* d = new Thing;
    live.AddObject(c);
    ObjectHandle hd = live.AddObject(d);
    c->onDestroy = [&live, hd] { live.RemoveObject(hd); };
    live.RemoveObject(c->GetHandle());
    live.Update(0.02f);
    EXPECT_EQ(Thing::alive, 0);
    EXPECT_EQ(live.GetEntryState(1), ObjectDatabase::Freed);
}

TEST_F(ObjectDatabaseTest, SelfRemovingTaskInsideABroadcastUsesTheBroadcastingDatabase)
{
    ObjectDatabase top, other;
    SetTopObjectDatabase(&top);
    auto* target = new Thing;
    other.AddObject(target);
    target->onMessage = [target](const Message&) {
        SelfDestructTask task;
        task.Update(target, 0.02f);
    };
    other.Broadcast(Message(1, MakeName("Die")));
    EXPECT_FALSE(other.IsValidHandle(target->GetHandle()));
}
