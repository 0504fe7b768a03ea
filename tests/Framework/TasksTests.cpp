#include "Base/Exceptions.h"
#include "Base/Random.h"
#include "Framework/Components.h"
#include "Framework/Object.h"
#include "Framework/ObjectDatabase.h"
#include "Framework/Tasks.h"
#include "Support/TaskTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <map>

using namespace Kestrin;
using KestrinTest::EventLog;
using KestrinTest::ScriptedTask;
using testing::StrEq;
using testing::ThrowsMessage;

namespace
{

// A wait that counts its updates, completions and the clones made of it (shared with the clones).
class CountingWait : public TimedTask
{
public:
    struct Counts
    {
        int updates = 0, completions = 0, clones = 0;
    };
    CountingWait(float duration, Counts* counts) : TimedTask(duration), m_counts(counts) {}
    Task* Clone() const override
    {
        ++m_counts->clones;
        return new CountingWait(GetDuration(), m_counts);
    }
    TaskStatus Update(Object* target, float dt) override
    {
        ++m_counts->updates;
        TaskStatus s = TimedTask::Update(target, dt);
        m_counts->completions += !s.running;
        return s;
    }

private:
    Counts* m_counts;
};

// Steps until the object's default list has no active task; answers the steps taken.
int StepsUntilIdle(Object& object, float dt)
{
    for (int step = 1; step <= 100; ++step)
    {
        object.Tick(dt);
        if (!object.GetTasks().HasActiveTasks())
            return step;
    }
    return -1;
}

class Switch : public Object, public EnableComponent
{
};

} // namespace

TEST(ParallelTask, AllWaitsForTheLongestAnyForTheShortestAndTheRestOfTheStepGoesOn)
{
    CountingWait::Counts shortAll, longAll, shortAny, longAny;
    Object all, any;
    all.AddTask(new ParallelTask(ParallelTask::All, new CountingWait(1.0f, &shortAll),
                                 new CountingWait(2.0f, &longAll)));
    any.AddTask(new ParallelTask(ParallelTask::Any, new CountingWait(1.0f, &shortAny),
                                 new CountingWait(2.0f, &longAny)));
    EXPECT_EQ(StepsUntilIdle(all, 0.5f), 4);
    EXPECT_EQ(StepsUntilIdle(any, 0.5f), 2);
    EXPECT_EQ(longAny.completions, 0);
    int longUpdates = longAny.updates;
    any.Tick(0.5f);
    EXPECT_EQ(longAny.updates, longUpdates); // the dropped branch never runs again

    // Finished with the largest time used, so the next task gets the rest of the step.
    Object target;
    auto* next = new TimedTask(10.0f);
    target.AddTask(new ParallelTask(ParallelTask::All, new TimedTask(1.0f), new TimedTask(0.75f)));
    target.AddTask(next);
    target.Tick(1.25f);
    EXPECT_EQ(next->GetElapsed(), 0.25f);
    // In any-mode a branch still running makes the group use the whole step.
    ParallelTask anyOpen(ParallelTask::Any, new TimedTask(0.5f), new TimedTask(2.0f));
    EXPECT_EQ(anyOpen.Update(&target, 1.0f).timeUsed, FLT_MAX);

    // Without branches it finishes at once in every mode.
    for (int mode : {0, 1, 5})
    {
        EventLog log;
        Object empty;
        empty.AddTask(new ParallelTask(mode));
        empty.AddTask(new ScriptedTask("after", &log));
        empty.Tick(0.02f);
        EXPECT_EQ(log, (EventLog{"after"})) << "mode " << mode;
    }
}

TEST(ParallelTask, MessagesReachEveryBranchAndEndTheGroupAsItsModeSays)
{
    EventLog log;
    Object target;
    auto make = [&log](const char* name, bool answer)
    {
        auto* t = new ScriptedTask(name, &log, TaskRunning);
        t->messageAnswer = answer;
        return t;
    };
    ParallelTask all(ParallelTask::All, make("a1", false), make("a2", true));
    EXPECT_TRUE(all.HandleMessage(&target, Message(1, MakeName("M"))));
    ParallelTask any(ParallelTask::Any, make("b1", false), make("b2", true));
    EXPECT_FALSE(any.HandleMessage(&target, Message(1, MakeName("M"))));
    EXPECT_EQ(log, (EventLog{"a1:M", "a2:M", "b1:M", "b2:M"}));
}

TEST(RepeatingTask, ReplaysItsBodyAsOftenAsTheStepAllowsAndABodyUsingNoTimeEndsTheStep)
{
    CountingWait::Counts counts;
    Switch target;
    RepeatingTask loop(new CountingWait(0.25f, &counts));
    EXPECT_TRUE(loop.Update(&target, 1.0f).running);
    EXPECT_EQ(counts.completions, 4);
    EXPECT_EQ(counts.clones, 4);
    // Time left over carries into the next body: 0.375 s completes one and half of the next.
    loop.Update(&target, 0.375f);
    EXPECT_EQ(counts.completions, 5);
    EXPECT_TRUE(loop.Update(&target, 0.125f).running);
    EXPECT_EQ(counts.completions, 6);
    EXPECT_THROW(loop.Clone(), engine_error);

    int calls = 0;
    RepeatingTask instant(new FunctionTask<Object>(
        [&calls](Object*) {
            return ++calls, TaskStatus{false, 0.0f};
        }));
    EXPECT_TRUE(instant.Update(&target, 0.02f).running);
    EXPECT_EQ(calls, 1);
    instant.Update(&target, 0.02f);
    EXPECT_EQ(calls, 2);
    RepeatingTask idle(new ScriptedTask("idle", nullptr, {true, 0.0f})); // running without using time
    EXPECT_TRUE(idle.Update(&target, 0.02f).running);
}

TEST(CuePoint, NamesCountUpAndTheLastTaskToLeaveDeletesIt)
{
    size_t before = CuePoint::LiveCount();
    CuePoint* a = CuePoint::Create();
    CuePoint* b = CuePoint::Create();
    unsigned na = 0, nb = 0;
    ASSERT_EQ(std::sscanf(a->GetId().c_str(), "Kestrin::CuePoint:%u", &na), 1);
    ASSERT_EQ(std::sscanf(b->GetId().c_str(), "Kestrin::CuePoint:%u", &nb), 1);
    EXPECT_EQ(nb, na + 1);
    EXPECT_EQ(CuePoint::Find(a->GetId()), a);

    // A task destroyed while bound leaves, so the others are not kept waiting for it.
    NameId idA = a->GetId();
    {
        Object waiter;
        waiter.AddTask(new CuePointTask(a));
        {
            CuePointTask absent(a);
            CuePointTask other(b);
            waiter.Tick(0.1f);
            EXPECT_TRUE(waiter.GetTasks().HasActiveTasks());
        }
        waiter.Tick(0.1f);
        EXPECT_FALSE(waiter.GetTasks().HasActiveTasks());
    }
    EXPECT_EQ(CuePoint::Find(idA), nullptr);
    EXPECT_EQ(CuePoint::LiveCount(), before);
    EXPECT_THROW(CuePointTask(CuePoint::Create()).Clone(), engine_error);
}

TEST(CuePoint, TwoSequencesMeetAndBothGoOnWithinAStepOfTheLaterOne)
{
    size_t before = CuePoint::LiveCount();
    CuePoint* cue = CuePoint::Create();
    Object early, late;
    early.AddTask(MakeTaskThenCue(new TimedTask(0.2f), cue));
    late.AddTask(MakeTaskThenCue(new TimedTask(0.9f), cue));
    // The early one arrives in step 1 and waits; the late one arrives in step 4 and goes on at once.
    for (int step = 1; step <= 4; ++step)
    {
        early.Tick(0.25f);
        late.Tick(0.25f);
        EXPECT_TRUE(early.GetTasks().HasActiveTasks()) << "step " << step;
        EXPECT_EQ(late.GetTasks().HasActiveTasks(), step < 4) << "step " << step;
        if (step < 4)
        {
            EXPECT_EQ(cue->ArrivedCount(), 1u) << "step " << step;
        }
    }
    early.Tick(0.25f);
    EXPECT_FALSE(early.GetTasks().HasActiveTasks());
    EXPECT_EQ(CuePoint::LiveCount(), before);
}

TEST(EnableTask, SetsTheFlagAndHandsOnTheWholeStepOrThrowsWithoutTheFace)
{
    EventLog log;
    Switch target;
    target.AddTask(new EnableTask(false));
    target.AddTask(new ScriptedTask("next", &log));
    target.Tick(0.02f);
    EXPECT_FALSE(target.IsEnabled());
    EXPECT_EQ(log, (EventLog{"next"}));
    std::unique_ptr<Task> on(EnableTask(true).Clone());
    on->Update(&target, 0.02f);
    EXPECT_TRUE(target.IsEnabled());

    Object plain;
    EXPECT_THAT([&] { on->Update(&plain, 0.02f); },
                ThrowsMessage<std::runtime_error>(
                    StrEq("EnableTask applied to an object that does not implement IEnable")));
}

TEST(SelfDestructTask, RemovesItsTargetFromItsOwnDatabaseNeverANamesakeInTheCurrentOne)
{
    ObjectDatabase db;
    SetTopObjectDatabase(&db);
    auto* victim = new Object;
    ObjectHandle h = db.AddObject(victim);
    victim->AddTask(new SelfDestructTask);
    db.Update(0.02f);
    EXPECT_FALSE(db.IsValidHandle(h));
    EXPECT_EQ(db.GetEntryState(h & 0xFFFF), ObjectDatabase::Freed); // deleted in that same update
    SetTopObjectDatabase(nullptr);

    ObjectDatabase current, own;
    ObjectHandle hb = current.AddObject(new Object);
    auto* other = new Object;
    ObjectHandle hv = own.AddObject(other);
    ASSERT_EQ(hb, hv); // both first slots of their tables
    {
        ScopedCurrentObjectDatabase scope(&current);
        EXPECT_FALSE(SelfDestructTask().Update(other, 0.02f).running);
    }
    EXPECT_TRUE(current.IsValidHandle(hb));
    EXPECT_FALSE(own.IsValidHandle(hv));
}

namespace
{

struct FakeSound : ISound
{
    int GetCategory() const override { return 0; }
    float GetVolume() const override { return 1.0f; }
    float GetRate() const override { return 1.0f; }
    float GetPan() const override { return 0.0f; }
    int GetPlayCount() const override { return 1; }
};

struct FakeChannel : ISoundChannel
{
    static inline int alive = 0;
    FakeChannel() { ++alive; }
    ~FakeChannel() override { --alive; }
    void AddRef() override { ++refs; }
    void Release() override { --refs == 0 ? delete this : void(); }
    void Play(ISound*, int) override {}
    void Stop() override { playing = false; }
    bool IsPlaying() override { return playing; }
    ISound* GetSound() override { return nullptr; }
    IAudioControls* GetControls() override { return nullptr; }
    void SetControls(IAudioControls*) override {}
    void Refresh() override {}
    int refs = 1;
    bool playing = true;
};

// Installs a player that records its calls and hands out fake channels.
struct FakeAudio
{
    FakeAudio()
    {
        SetSoundPlayer(
            [this](ISound* sound, const SoundPlayParams& params, ISoundChannel** out)
            {
                plays.push_back({sound, params.volume, out != nullptr});
                lastChannel = new FakeChannel;
                if (out)
                    *out = lastChannel;
                else
                    lastChannel->Release();
            });
        SetSoundFinder([this](NameId name) -> ISound*
                       { return sounds.count(name) ? sounds[name] : nullptr; });
    }
    ~FakeAudio()
    {
        SetSoundPlayer(nullptr);
        SetSoundFinder(nullptr);
    }
    struct Play
    {
        ISound* sound;
        float volume;
        bool keptChannel;
    };
    std::vector<Play> plays;
    std::map<NameId, ISound*> sounds;
    FakeChannel* lastChannel = nullptr;
};

} // namespace

TEST(AudioPlayTask, PlaysOnceKeepingNoChannelOrWaitsForTheEndHoldingIt)
{
    FakeAudio audio;
    FakeSound sound;
    audio.sounds[MakeName("SFX_Pop")] = &sound;
    SoundPlayParams params;
    params.volume = 0.5f;
    EventLog log;
    Object target;
    target.AddTask(new AudioPlayTask(MakeName("SFX_NoSuchSound"))); // finishes at once
    target.AddTask(new AudioPlayTask(MakeName("sfx_pop"), params));
    target.AddTask(new ScriptedTask("next", &log));
    target.Tick(0.02f); // none uses time: all three run in one step
    EXPECT_EQ(log, (EventLog{"next"}));
    ASSERT_EQ(audio.plays.size(), 1u);
    EXPECT_EQ(audio.plays[0].sound, &sound);
    EXPECT_EQ(audio.plays[0].volume, 0.5f);
    EXPECT_FALSE(audio.plays[0].keptChannel);
    EXPECT_EQ(FakeChannel::alive, 0);

    audio.plays.clear();
    {
        AudioPlayTask task(&sound);
        task.SetWaitForEnd(true);
        EXPECT_TRUE(task.Update(nullptr, 0.02f).running);
        EXPECT_TRUE(audio.plays[0].keptChannel);
        EXPECT_TRUE(task.Update(nullptr, 0.02f).running);
        EXPECT_EQ(audio.plays.size(), 1u); // not started again while it plays
        audio.lastChannel->playing = false;
        EXPECT_FALSE(task.Update(nullptr, 0.02f).running);
        EXPECT_EQ(FakeChannel::alive, 0); // released when it stopped

        std::unique_ptr<Task> copy(task.Clone());
        auto* clone = dynamic_cast<AudioPlayTask*>(copy.get());
        ASSERT_NE(clone, nullptr);
        EXPECT_TRUE(clone->GetWaitForEnd());
        EXPECT_EQ(clone->GetSound(), &sound);
        // A task deleted while its channel plays lets go of it.
        EXPECT_TRUE(clone->Update(nullptr, 0.02f).running);
        EXPECT_EQ(FakeChannel::alive, 1);
    }
    EXPECT_EQ(FakeChannel::alive, 0);
}

TEST(Interpolators, LinearIsExactAtAndPastTheEnd)
{
    LinearInterpolator linear;
    EXPECT_EQ(linear.Interpolate(10.0f, 20.0f, 0.0f, 2.0f), 10.0f);
    EXPECT_FLOAT_EQ(linear.Interpolate(10.0f, 20.0f, 0.5f, 2.0f), 12.5f);
    EXPECT_EQ(linear.Interpolate(0.1f, 0.7f, 0.3f, 0.3f), 0.7f);
    EXPECT_EQ(linear.Interpolate(10.0f, 20.0f, 3.0f, 2.0f), 20.0f);
    EXPECT_EQ(linear.Interpolate(10.0f, 20.0f, 1.0f, 0.0f), 20.0f);
    EXPECT_EQ(ImmediateInterpolator().Interpolate(1.0f, 5.0f, 0.0f, 10.0f), 5.0f);
}

TEST(RatioRandom, PicksInProportionAndSkipsEmptyWeights)
{
    BoostRandomNumberStream stream(12345);
    ScopedRandomStream current(&stream);
    RatioRandom pick({0.0f, 2.0f, 0.0f, 1.0f});
    EXPECT_FLOAT_EQ(pick.GetTotal(), 3.0f);
    std::map<int, int> counts;
    const int n = 30000;
    for (int i = 0; i < n; ++i)
        ++counts[pick.Pick()];
    EXPECT_EQ(counts.size(), 2u);
    EXPECT_NEAR(counts[1] / double(n), 2.0 / 3.0, 0.015);
    EXPECT_NEAR(counts[3] / double(n), 1.0 / 3.0, 0.015);

    pick.SetRatios({0.0f, -1.0f});
    EXPECT_THAT([&] { pick.Pick(); }, ThrowsMessage<RatioRandom::IllegalRatioRandom>(
                                          StrEq("empty random distribution being used")));
}

namespace
{
struct Level : Object
{
    int started = 0;
    TaskStatus Start() { return ++started, TaskFinished; }
};
} // namespace

TEST(FunctionTask, CallsWithTheTargetAndAnswersTheFunctionsStatus)
{
    Level level;
    Object other;
    std::vector<Level*> seen;
    FunctionTask<Level> task([&seen](Level* l) { return seen.push_back(l), TaskStatus{true, 0.5f}; });
    EXPECT_EQ(task.Update(&level, 1.0f).timeUsed, 0.5f);
    task.Update(&other, 1.0f);
    EXPECT_EQ(seen, (std::vector<Level*>{&level, nullptr}));
    EXPECT_FALSE(FunctionTask<Level>(nullptr).Update(&level, 1.0f).running);

    // A bound member after a wait; clones keep working inside a loop.
    level.AddTask(new TimedTask(0.5f));
    level.AddTask(new FunctionTask<Level>(std::bind(&Level::Start, &level)));
    level.Tick(0.25f);
    level.Tick(0.3f); // the wait ends with time left, so the call follows in the same step
    EXPECT_EQ(level.started, 1);

    int calls = 0;
    RepeatingTask loop(new TimedTask(0.1f),
                       new FunctionTask<Level>([&calls] { return ++calls, TaskFinished; }));
    loop.Update(&level, 0.25f);
    loop.Update(&level, 0.25f);
    EXPECT_EQ(calls, 2); // the call uses the whole step, so each step completes the body once
}
