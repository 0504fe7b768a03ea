// Drives an object database and its objects' task lists with random operation sequences, including
// objects that add, remove, re-add and message each other from inside ticks, messages, input and
// drawing. Any use after free or double delete shows up under AddressSanitizer.
#include "Framework/Object.h"
#include "Framework/ObjectDatabase.h"
#include "Framework/Tasks.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <set>
#include <stdexcept>
#include <vector>

using namespace Kestrin;

namespace
{

struct World;
void Act(World& w, bool nested);

struct World
{
    FuzzedDataProvider& in;
    std::set<Object*> alive; // before the database, which empties it as it deletes its objects
    ObjectDatabase db;
    std::vector<ObjectHandle> handles;
    int depth = 0;
    NameId cue; // the shared rendezvous while some task is bound to it
    explicit World(FuzzedDataProvider& provider) : in(provider) {}

    // A nested action, bounded so that re-entrancy cannot recurse without end.
    void MaybeAct()
    {
        if (depth < 3 && in.remaining_bytes() > 0 && in.ConsumeBool())
        {
            ++depth;
            Act(*this, true);
            --depth;
        }
    }
    ObjectHandle AnyHandle()
    {
        if (handles.empty() || in.ConsumeBool())
            return in.ConsumeIntegral<ObjectHandle>();
        return handles[in.ConsumeIntegralInRange<size_t>(0, handles.size() - 1)];
    }
    Object* AnyObject()
    {
        if (alive.empty())
            return nullptr;
        auto it = alive.begin();
        std::advance(it, in.ConsumeIntegralInRange<size_t>(0, alive.size() - 1));
        return *it;
    }
};

const char* const kNames[] = {nullptr, "a", "b", "A"};

class Thing : public Object
{
public:
    Thing(World& w, NameId name, NameId role) : m_world(w), m_name(name), m_role(role)
    {
        w.alive.insert(this);
    }
    ~Thing() override { m_world.alive.erase(this); }
    NameId GetName() const override { return m_name; }
    NameId GetRole() const override { return m_role; }
    void Update(float) override { m_world.MaybeAct(); }
    void HandleMessage(const Message&) override { m_world.MaybeAct(); }

protected:
    World& m_world;

private:
    NameId m_name, m_role;
};

class Widget : public Thing,
               public IDrawable,
               public IBounds,
               public IInputHandler,
               public EnableComponent,
               public VisibleComponent
{
public:
    Widget(World& w, NameId name, NameId role, float depth, Rect<float> rect)
        : Thing(w, name, role), m_depth(depth), m_rect(rect)
    {
    }
    float GetDepth() override { return m_depth; }
    void Draw() override { m_world.MaybeAct(); }
    Vector2<float> GetLocation() override { return {m_rect.x, m_rect.y}; }
    void SetLocation(const Vector2<float>& p) override { m_rect.x = p.x, m_rect.y = p.y; }
    Rect<float> GetBounds() override { return m_rect; }
    void SetBounds(const Rect<float>& r) override { m_rect = r; }
    bool Contains(float x, float y) override { return m_rect.Contains(x, y); }
    MessageResult OnKeyDown(int) override { return Answer(); }
    MessageResult OnKeyUp(int) override { return Answer(); }
    MessageResult OnMouseMove(int, int) override { return Answer(); }
    MessageResult OnMouseDown(MouseButton, int, int) override { return Answer(); }
    MessageResult OnMouseUp(MouseButton, int, int) override { return Answer(); }
    bool AcceptsFocus() override { return true; }
    MessageResult OnText(wchar_t) override { return Answer(); }

private:
    MessageResult Answer()
    {
        m_world.MaybeAct();
        return m_world.in.ConsumeBool() ? MessageResult::Handled : MessageResult::NotHandled;
    }
    float m_depth;
    Rect<float> m_rect;
};

Task* MakeTask(World& w, int level)
{
    switch (w.in.ConsumeIntegralInRange(0, level > 1 ? 4 : 8))
    {
    case 4:
    {
        // Bound at once, so the cue point never outlives its tasks.
        CuePoint* cue = CuePoint::Find(w.cue);
        if (!cue)
        {
            cue = CuePoint::Create();
            w.cue = cue->GetId();
        }
        return new CuePointTask(cue);
    }
    case 0:
        return new TimedTask(w.in.ConsumeIntegralInRange(0, 8) * 0.125f);
    case 1:
        return new SelfDestructTask;
    case 2:
        return new EnableTask(w.in.ConsumeBool());
    case 3:
        return new FunctionTask<Object>(
            [&w](Object*)
            {
                w.MaybeAct();
                return TaskStatus{w.in.ConsumeBool(), w.in.ConsumeIntegralInRange(0, 4) * 0.125f};
            });
    case 5:
        return new SerialTask(MakeTask(w, level + 1), MakeTask(w, level + 1));
    case 6:
        return new ParallelTask(w.in.ConsumeIntegralInRange(0, 1), MakeTask(w, level + 1),
                                MakeTask(w, level + 1));
    case 7:
        return new RepeatingTask(new TimedTask(w.in.ConsumeIntegralInRange(0, 4) * 0.125f));
    default:
        return new ParallelTask(w.in.ConsumeIntegralInRange(0, 1));
    }
}

void Act(World& w, bool nested)
{
    FuzzedDataProvider& in = w.in;
    switch (in.ConsumeIntegralInRange(0, 13))
    {
    case 0:
    {
        NameId name = MakeName(kNames[in.ConsumeIntegralInRange(0, 3)]);
        NameId role = MakeName(kNames[in.ConsumeIntegralInRange(0, 3)]);
        Object* o;
        if (in.ConsumeBool())
            o = new Widget(
                w, name, role, float(in.ConsumeIntegralInRange(-2, 2)),
                Rect<float>(float(in.ConsumeIntegralInRange(0, 8)), float(in.ConsumeIntegralInRange(0, 8)),
                            float(in.ConsumeIntegralInRange(0, 8)), float(in.ConsumeIntegralInRange(0, 8))));
        else
            o = new Thing(w, name, role);
        w.handles.push_back(w.db.AddObject(o));
        break;
    }
    case 1:
        w.db.RemoveObject(w.AnyHandle());
        break;
    case 2:
        if (Object* o = w.AnyObject())
            w.db.AddObject(o);
        break;
    case 3:
        if (!nested) // updates never nest: the screen stack runs them from the main loop only
            w.db.Update(0.125f);
        break;
    case 4:
        w.db.Draw();
        break;
    case 5:
    {
        int x = in.ConsumeIntegralInRange(-1, 9), y = in.ConsumeIntegralInRange(-1, 9);
        switch (in.ConsumeIntegralInRange(0, 3))
        {
        case 0:
            w.db.OnMouseMove(x, y);
            break;
        case 1:
            w.db.OnMouseDown(MouseButton::Left, x, y);
            break;
        case 2:
            w.db.OnMouseUp(MouseButton::Left, x, y);
            break;
        default:
            w.db.OnMouseLeave();
        }
        break;
    }
    case 6:
        if (in.ConsumeBool())
            w.db.OnText(wchar_t(in.ConsumeIntegral<int>()));
        else
            w.db.OnKeyDown(in.ConsumeIntegral<int>());
        break;
    case 7:
        w.db.Broadcast(Message(w.AnyHandle(), MakeName("Ping")));
        break;
    case 8:
        w.db.SetFocus(in.ConsumeBool() ? w.AnyObject() : nullptr);
        break;
    case 9:
        if (in.ConsumeBool())
            w.db.FocusNext();
        else
            w.db.FocusPrevious(w.handles);
        break;
    case 10:
        if (in.ConsumeBool())
            w.db.SetCaptureHandle(w.AnyHandle());
        else
            w.db.SetHoverHandle(w.AnyHandle());
        break;
    case 11:
        if (Object* o = w.AnyObject())
            o->AddTask(MakeTask(w, 0));
        break;
    case 12:
        if (Object* o = w.AnyObject())
            o->SetChannelTask(MakeName(kNames[in.ConsumeIntegralInRange(1, 2)]), MakeTask(w, 0));
        break;
    default:
        if (Object* o = w.AnyObject())
        {
            if (in.ConsumeBool())
                o->ClearAllTasks();
            else
                o->ClearTasks();
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    World world(in);
    ScopedCurrentObjectDatabase current(&world.db);
    while (in.remaining_bytes() > 0)
    {
        // An enable task on an object without the face throws out of the update; the database
        // and the task lists must stay sound afterwards.
        try
        {
            Act(world, false);
        }
        catch (const std::runtime_error&)
        {
        }
    }
    return 0;
}
