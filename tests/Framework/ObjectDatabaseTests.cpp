#include "Framework/Object.h"
#include "Framework/ObjectDatabase.h"
#include "Support/TaskTestSupport.h"
#include "harness/LogCapture.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace Kestrin;
using KestrinTest::EventLog;

namespace
{

std::string Hex(ObjectHandle h)
{
    char text[16];
    std::snprintf(text, sizeof text, "%x", h);
    return text;
}

// Everything the database does to objects goes to one log: "<label>:<what>".
EventLog* g_log = nullptr;
void Note(const std::string& line)
{
    if (g_log)
        g_log->push_back(line);
}

class Thing : public Object
{
public:
    static inline int alive = 0;

    explicit Thing(std::string label = "?", const char* name = nullptr, const char* role = nullptr)
        : label(std::move(label)), m_name(name ? MakeName(name) : NameId()),
          m_role(role ? MakeName(role) : NameId())
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
    void HandleMessage(const Message& m) override
    {
        Note(label + ":" + m.name.c_str() + ":" + Hex(m.handle));
        if (onMessage)
            onMessage(m);
    }

    std::string label;
    int ticks = 0;
    std::function<void()> onTick, onDestroy;
    std::function<void(const Message&)> onMessage;

private:
    NameId m_name, m_role;
};

// An input handler without a drawable.
class Handler : public Thing, public IInputHandler, public EnableComponent, public VisibleComponent
{
public:
    explicit Handler(std::string label, bool consumes = true) : Thing(std::move(label)), consumes(consumes) {}
    MessageResult OnKeyDown(int key) override { return Input("keydown", key, 0); }
    MessageResult OnKeyUp(int key) override { return Input("keyup", key, 0); }
    MessageResult OnText(wchar_t c) override { return Input("text", int(c), 0); }
    MessageResult OnMouseMove(int x, int y) override { return Input("move", x, y); }
    MessageResult OnMouseDown(MouseButton, int x, int y) override { return Input("down", x, y); }
    MessageResult OnMouseUp(MouseButton, int x, int y) override { return Input("up", x, y); }
    bool AcceptsFocus() override { return acceptsFocus; }

    bool consumes;
    bool acceptsFocus = true;

private:
    MessageResult Input(const char* what, int a, int b)
    {
        Note(std::string(what) + ":" + label + ":" + std::to_string(a) + "," + std::to_string(b));
        return consumes ? MessageResult::Handled : MessageResult::NotHandled;
    }
};

// A control: drawn at a depth, hit-tested by its rectangle.
class Widget : public Handler, public IDrawable, public IBounds
{
public:
    Widget(std::string label, float depth, Rect<float> rect = {}, bool consumes = true)
        : Handler(std::move(label), consumes), depth(depth), rect(rect)
    {
    }
    float GetDepth() override { return depth; }
    void Draw() override { Note("draw:" + label); }
    Vector2<float> GetLocation() override { return {rect.x, rect.y}; }
    void SetLocation(const Vector2<float>& p) override { rect.x = p.x, rect.y = p.y; }
    Rect<float> GetBounds() override { return rect; }
    void SetBounds(const Rect<float>& r) override { rect = r; }
    bool Contains(float x, float y) override { return rect.Contains(x, y); }

    float depth;
    Rect<float> rect;
};

// Notes the broadcasts its own handler sees.
class Screen : public ObjectDatabase
{
public:
    void HandleMessage(const Message& m) override
    {
        Note(std::string("screen:") + m.name.c_str() + ":" + Hex(m.handle));
    }
};

class ObjectDatabaseTest : public ::testing::Test
{
protected:
    void SetUp() override { g_log = &log; }
    void TearDown() override
    {
        g_log = nullptr;
        SetTopObjectDatabase(nullptr);
    }
    // Answers the log so far and starts a new one.
    EventLog Take() { return std::exchange(log, {}); }
    EventLog log;
};

} // namespace

TEST_F(ObjectDatabaseTest, HandlesCarrySlotAndGenerationAndStaleOnesDie)
{
    ObjectDatabase db;
    auto* a = new Thing("A", "A");
    ObjectHandle old = db.AddObject(a);
    EXPECT_EQ(old, 0x00010000u); // slot 0, generation 1
    EXPECT_EQ(db.AddObject(a), old);
    EXPECT_EQ(Take(), (EventLog{"A:Add:ffffffff"})); // one entry, one "Add"
    EXPECT_EQ(db.FindObject(MakeName("a")), a);

    db.RemoveObject(old);
    EXPECT_EQ(Take(), (EventLog{"A:Remove:ffffffff"}));
    EXPECT_FALSE(db.IsValidHandle(old));
    EXPECT_EQ(db.FindObject(MakeName("A")), nullptr);
    db.Update(0.02f);
    ObjectHandle fresh = db.AddObject(new Thing);
    EXPECT_EQ(fresh, old + 0x10000); // same slot, next generation
    EXPECT_EQ(db.GetObject(old), nullptr);
    db.RemoveObject(old); // stale: ignored
    EXPECT_TRUE(db.IsValidHandle(fresh));

    // Generations wrap to 1, never 0.
    db.RemoveObject(fresh);
    db.Update(0.02f);
    db.SetSlotHandleForTest(0, 0xFFFF0000);
    EXPECT_EQ(db.AddObject(new Thing), 0x00010000u);
}

TEST_F(ObjectDatabaseTest, RemovedObjectsAreNotTickedOrDrawnAndGoAtTheEndOfAnUpdateUnlessReAdded)
{
    ObjectDatabase db;
    auto* remover = new Thing;
    auto* victim = new Widget("victim", 0.0f);
    auto* button = new Widget("button", 1.0f);
    auto* phoenix = new Widget("Phoenix", 2.0f);
    db.AddObject(remover);
    ObjectHandle hv = db.AddObject(victim), hb = db.AddObject(button), hp = db.AddObject(phoenix);
    int victimTicks = -1, buttonTicks = -1;
    victim->onDestroy = [&] { victimTicks = victim->ticks; };
    button->onDestroy = [&] { buttonTicks = button->ticks; };

    // Removed during another object's tick: never ticked, deleted at the end of that update.
    remover->onTick = [&] { db.RemoveObject(hv); };
    db.Update(0.02f);
    EXPECT_EQ(victimTicks, 0);

    // Removed by input after an update: not drawn, deleted at the end of the next update.
    remover->onTick = nullptr;
    db.RemoveObject(hb);
    // Re-added while pending removal: the same entry lives on.
    db.RemoveObject(hp);
    EXPECT_EQ(db.AddObject(phoenix), hp);
    EXPECT_EQ(db.GetTableSize(), 4u);
    Take();
    db.Draw();
    EXPECT_EQ(Take(), (EventLog{"draw:Phoenix"})); // drawn once: the draw list gained no twin
    EXPECT_EQ(buttonTicks, -1);
    db.Update(0.02f);
    EXPECT_EQ(buttonTicks, 1);
    EXPECT_TRUE(db.IsValidHandle(hp));
    EXPECT_EQ(phoenix->ticks, 2);
    EXPECT_EQ(Thing::alive, 2);
}

TEST_F(ObjectDatabaseTest, NamesAndRolesFollowTheLiveObjects)
{
    ObjectDatabase db;
    auto* older = new Thing("old", "scene1", "GremlinRole");
    auto* newer = new Thing("new", "scene1", "GremlinRole");
    ObjectHandle ho = db.AddObject(older);
    ObjectHandle hh = db.AddObject(new Thing("home", "h", "GremlinHomeRole"));
    ObjectHandle hn = db.AddObject(newer);
    NameId scene = MakeName("scene1"), role = MakeName("GremlinRole");
    EXPECT_EQ(db.FindObject(scene), newer); // the last added wins
    EXPECT_EQ(db.FindObjectsByRole(role), (std::vector<ObjectHandle>{ho, hn}));

    // Removing the older namesake leaves the newer one findable.
    db.RemoveObject(ho);
    EXPECT_EQ(db.FindObject(scene), newer);
    EXPECT_EQ(db.FindObjectsByRole(role), (std::vector<ObjectHandle>{hn}));
    db.Update(0.02f);
    ObjectHandle hr = db.AddObject(new Thing("g", nullptr, "GremlinRole")); // reuses slot 0
    EXPECT_EQ(db.FindObjectsByRole(role), (std::vector<ObjectHandle>{hn, hr}));
    EXPECT_EQ(db.FindObjectsByRole(MakeName("GremlinHomeRole")), (std::vector<ObjectHandle>{hh}));
    db.RemoveObject(hn);
    EXPECT_EQ(db.FindObject(scene), nullptr);
}

TEST_F(ObjectDatabaseTest, DrawsByDepthKeepingInsertionOrderForEqualDepths)
{
    ObjectDatabase db;
    auto* top = new Widget("top", 5.0f);
    db.AddObject(top);
    db.AddObject(new Widget("b1", 1.0f));
    db.AddObject(new Widget("a", 0.0f));
    db.AddObject(new Widget("b2", 1.0f));
    db.AddObject(new Thing); // not drawable
    Take();
    db.Draw();
    EXPECT_EQ(Take(), (EventLog{"draw:top", "draw:b1", "draw:a", "draw:b2"})); // unsorted until an update
    db.Update(0.02f);
    db.Draw();
    EXPECT_EQ(Take(), (EventLog{"draw:a", "draw:b1", "draw:b2", "draw:top"}));
    top->depth = -1.0f;
    db.Update(0.02f);
    db.Draw();
    EXPECT_EQ(log.front(), "draw:top");
}

TEST_F(ObjectDatabaseTest, InputGoesToFocusOrLiveCaptureThenFrontToBackThenNonDrawables)
{
    ObjectDatabase db;
    auto* back = new Widget("back", 1.0f, {0, 0, 100, 100});
    auto* front = new Widget("front", 2.0f, {0, 0, 100, 100}, false);
    auto* field = new Handler("field", false);
    db.AddObject(front);
    db.AddObject(back);
    db.AddObject(field);
    db.Update(0.02f);
    Take();

    EXPECT_TRUE(db.OnMouseDown(MouseButton::Left, 5, 6));
    EXPECT_EQ(Take(), (EventLog{"down:front:5,6", "down:back:5,6"}));
    back->SetEnabled(false);
    EXPECT_FALSE(db.OnMouseUp(MouseButton::Left, 5, 6));
    EXPECT_EQ(Take(), (EventLog{"up:front:5,6", "up:field:5,6"}));

    // The focus has the first say on keys but does not keep what it leaves.
    back->SetEnabled(true);
    back->SetVisible(false);
    db.SetFocus(field);
    Take();
    EXPECT_FALSE(db.OnKeyDown(65));
    EXPECT_EQ(Take(), (EventLog{"keydown:field:65,0", "keydown:front:65,0"}));
    // Typed text is the focus's alone, handled or not; without a focus nobody gets it.
    EXPECT_FALSE(db.OnText(L'\u00e9'));
    EXPECT_EQ(Take(), (EventLog{"text:field:233,0"}));
    db.SetFocus(nullptr);
    Take();
    EXPECT_FALSE(db.OnText(L'a'));
    EXPECT_TRUE(Take().empty());

    // A live capture gets every mouse event, even outside it, but not when disabled or hidden.
    back->SetVisible(true);
    db.SetCaptureHandle(back->GetHandle());
    EXPECT_TRUE(db.OnMouseDown(MouseButton::Left, 500, 500));
    EXPECT_EQ(Take(), (EventLog{"down:back:500,500"}));
    db.SetCaptureHandle(front->GetHandle());
    front->SetEnabled(false);
    db.OnMouseUp(MouseButton::Left, 5, 6);
    EXPECT_EQ(Take(), (EventLog{"up:back:5,6"}));
    front->SetEnabled(true);
    front->SetVisible(false);
    db.OnMouseUp(MouseButton::Left, 5, 6);
    EXPECT_EQ(Take(), (EventLog{"up:back:5,6"}));
}

TEST_F(ObjectDatabaseTest, HoverSendsLeaveThenEnterAndLeavingTheWindowClearsIt)
{
    Screen db;
    auto* a = new Widget("A", 1.0f, {0, 0, 10, 10}, false);
    std::string ha = Hex(db.AddObject(a));
    std::string hb = Hex(db.AddObject(new Widget("B", 1.0f, {20, 0, 10, 10}, false)));
    auto hovering = [&]
    {
        EventLog seen;
        for (const std::string& line : Take())
            if (line.rfind("screen:", 0) == 0)
                seen.push_back(line.substr(7));
        return seen;
    };
    Take();

    db.OnMouseMove(5, 5);
    db.OnMouseMove(6, 5); // still on A: nothing new
    db.OnMouseMove(25, 5);
    db.OnMouseLeave();
    db.OnMouseLeave(); // nothing hovered: nothing sent
    EXPECT_EQ(hovering(), (EventLog{"ControlEnter:" + ha, "ControlLeave:" + ha, "ControlEnter:" + hb,
                                    "ControlLeave:" + hb}));
    EXPECT_EQ(db.GetHoverHandle(), NoObjectHandle);

    db.OnMouseMove(25, 5);
    db.OnMouseMove(50, 50); // off every control
    EXPECT_EQ(hovering(), (EventLog{"ControlEnter:" + hb, "ControlLeave:" + hb}));
    a->SetEnabled(false);
    db.OnMouseMove(5, 5); // a disabled control is not hovered
    EXPECT_TRUE(hovering().empty());
}

TEST_F(ObjectDatabaseTest, RemovingTheFocusCaptureAndHoverObjectClearsThem)
{
    ObjectDatabase db;
    int releases = 0;
    SetMouseCaptureReleaseHandler([&releases] { ++releases; });
    auto* c = new Widget("C", 0.0f, {0, 0, 10, 10});
    ObjectHandle h = db.AddObject(c);
    db.SetFocus(c);
    db.SetCaptureHandle(h);
    db.OnMouseMove(1, 1);
    ASSERT_EQ(db.GetHoverHandle(), h);
    Take();

    db.RemoveObject(h);
    EXPECT_EQ(Take(), (EventLog{"C:LostFocus:ffffffff", "C:Remove:ffffffff"})); // no ControlLeave
    EXPECT_EQ(db.GetFocusHandle(), NoObjectHandle);
    EXPECT_EQ(db.GetCaptureHandle(), NoObjectHandle);
    EXPECT_EQ(db.GetHoverHandle(), NoObjectHandle);
    EXPECT_EQ(releases, 1);
    SetMouseCaptureReleaseHandler(nullptr);
}

TEST_F(ObjectDatabaseTest, FocusMessagesAndTraversal)
{
    ObjectDatabase db;
    auto* a = new Widget("a", 0.0f);
    auto* off = new Widget("off", 0.0f);
    auto* b = new Widget("b", 0.0f);
    auto* shy = new Widget("shy", 0.0f);
    auto* hidden = new Widget("hidden", 0.0f);
    ObjectHandle ha = db.AddObject(a), hoff = db.AddObject(off), hplain = db.AddObject(new Thing("plain"));
    ObjectHandle hb = db.AddObject(b), hshy = db.AddObject(shy), hhid = db.AddObject(hidden);
    off->SetEnabled(false);
    shy->acceptsFocus = false;
    hidden->SetVisible(false);
    Take();

    db.SetFocus(a);
    db.SetFocus(a); // same object: nothing
    db.SetFocus(b);
    EXPECT_EQ(db.GetFocusHandle(), hb);
    db.SetFocus(nullptr);
    EXPECT_EQ(Take(), (EventLog{"a:ReceivedFocus:ffffffff", "a:LostFocus:ffffffff",
                                "b:ReceivedFocus:ffffffff", "b:LostFocus:ffffffff"}));

    std::vector<ObjectHandle> order{hshy, hb, hoff, hplain, ha, hhid};
    db.FocusNext(order); // focus not in the list: the first that can take it
    EXPECT_EQ(db.GetFocusHandle(), hb);
    db.FocusNext(order);
    EXPECT_EQ(db.GetFocusHandle(), ha);
    db.FocusNext(order); // wraps
    EXPECT_EQ(db.GetFocusHandle(), hb);
    db.FocusPrevious(order); // wraps backwards
    EXPECT_EQ(db.GetFocusHandle(), ha);
    db.SetFocusHandle(NoObjectHandle);
    db.FocusPrevious(order); // from the end
    EXPECT_EQ(db.GetFocusHandle(), ha);
    EXPECT_TRUE(log.empty()); // traversal sends no focus messages

    db.FocusNext(); // without a list: the live objects in table order
    EXPECT_EQ(db.GetFocusHandle(), hb);
    db.FocusPrevious();
    EXPECT_EQ(db.GetFocusHandle(), ha);
}

TEST_F(ObjectDatabaseTest, BroadcastReachesNewSlotsAtTheEndButNotReusedLowerOnes)
{
    Screen db;
    ObjectHandle hole = db.AddObject(new Thing);
    auto* first = new Thing("first");
    db.AddObject(first);
    db.RemoveObject(hole);
    db.Update(0.02f); // slot 0 is free again
    first->onMessage = [&](const Message& m)
    {
        if (m.name != MakeName("Ping"))
            return;
        db.AddObject(new Thing("reused")); // takes slot 0, behind the walk
        db.AddObject(new Thing("appended"));
    };
    Take();
    db.Broadcast(Message(42, MakeName("Ping")));
    EXPECT_EQ(Take(), (EventLog{"screen:Ping:2a", "first:Ping:2a", "reused:Add:ffffffff",
                                "appended:Add:ffffffff", "appended:Ping:2a"}));
}

TEST_F(ObjectDatabaseTest, CurrentDatabaseIsTheOneBroadcastingOrBeingEnteredElseTheTop)
{
    EXPECT_EQ(GetCurrentObjectDatabase(), nullptr);
    auto* top = new ObjectDatabase;
    ObjectDatabase other;
    SetTopObjectDatabase(top);
    ObjectDatabase* seen = nullptr;
    auto* receiver = new Thing;
    receiver->onMessage = [&seen](const Message&) { seen = GetCurrentObjectDatabase(); };
    other.AddObject(receiver);
    other.Broadcast(Message(1, MakeName("Hi")));
    EXPECT_EQ(seen, &other);
    EXPECT_EQ(GetCurrentObjectDatabase(), top);
    other.RemoveObject(receiver->GetHandle()); // a removed object no longer hears broadcasts
    seen = nullptr;
    other.Broadcast(Message(1, MakeName("Hi")));
    EXPECT_EQ(seen, nullptr);
    {
        ScopedCurrentObjectDatabase scope(&other);
        EXPECT_EQ(GetCurrentObjectDatabase(), &other);
        {
            ScopedCurrentObjectDatabase inner(top);
            EXPECT_EQ(GetCurrentObjectDatabase(), top);
        }
        EXPECT_EQ(GetCurrentObjectDatabase(), &other);
    }
    EXPECT_EQ(GetCurrentObjectDatabase(), top);
    delete top; // a destroyed database is never current
    EXPECT_EQ(GetCurrentObjectDatabase(), nullptr);
}

TEST_F(ObjectDatabaseTest, DestructionLogsItsClassAndDeletesEveryObjectSilently)
{
    KestrinTest::LogCapture capture;
    auto* db = new Screen;
    auto* a = new Thing("a");
    auto* b = new Thing("b");
    db->AddObject(a);
    ObjectHandle hb = db->AddObject(b);
    db->RemoveObject(db->AddObject(new Thing("c")));
    // Objects that remove or add others on their way out are deleted all the same.
    a->onDestroy = [db, hb] { db->RemoveObject(hb); };
    b->onDestroy = [db] { db->AddObject(new Thing("late")); }; // takes a's freed slot, behind the walk
    Take();
    delete db;
    EXPECT_EQ(Thing::alive, 0);
    EXPECT_EQ(log, (EventLog{"b:Remove:ffffffff", "late:Add:ffffffff"})); // only what a asked for
    EXPECT_NE(
        capture.Text().find("Destroying ObjectDatabase ((anonymous namespace)::Screen): Final Size = 3\n"),
        std::string::npos)
        << capture.Text();
}
