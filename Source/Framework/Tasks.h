#pragma once
#include "Framework/Audio.h"
#include "Framework/Names.h"
#include "Framework/Task.h"

#include <concepts>
#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

namespace Kestrin
{

// Waits for a duration; the part of the step it did not need goes to the next task.
class TimedTask : public Task
{
public:
    explicit TimedTask(float duration) : m_duration(duration) {}

    Task* Clone() const override;
    TaskStatus Update(Object* target, float dt) override;

    float GetDuration() const { return m_duration; }
    float GetElapsed() const { return m_elapsed; }

private:
    float m_duration;
    float m_elapsed = 0.0f;
};

// Runs its tasks one after another.
class SerialTask : public Task
{
public:
    SerialTask();
    explicit SerialTask(Task* a);
    SerialTask(Task* a, Task* b);

    Task* Clone() const override;
    TaskStatus Update(Object* target, float dt) override;
    bool HandleMessage(Object* target, const Message& message) override;

private:
    explicit SerialTask(std::unique_ptr<TaskList> list) : m_list(std::move(list)) {}

    std::unique_ptr<TaskList> m_list;
};

// Runs branches side by side with the same step: until all are done, or until any one is.
class ParallelTask : public Task
{
public:
    enum Mode
    {
        All = 0,
        Any = 1, // any value but 0
    };

    explicit ParallelTask(int mode);
    ParallelTask(int mode, Task* a, Task* b);

    // A new branch holding one task.
    void AddBranch(Task* task);
    size_t BranchCount() const { return m_branches.size(); }

    Task* Clone() const override;
    TaskStatus Update(Object* target, float dt) override;
    bool HandleMessage(Object* target, const Message& message) override;

private:
    bool StillRunning() const;

    int m_mode;
    std::vector<std::unique_ptr<TaskList>> m_branches;
};

// Replays its body for ever (until its list is cleared or its owner goes). The body's tasks
// must implement Clone.
class RepeatingTask : public Task
{
public:
    explicit RepeatingTask(Task* a);
    RepeatingTask(Task* a, Task* b);

    TaskStatus Update(Object* target, float dt) override;
    bool HandleMessage(Object* target, const Message& message) override;

private:
    std::unique_ptr<TaskList> m_list;
};

// Removes its target from the object database.
class SelfDestructTask : public Task
{
public:
    TaskStatus Update(Object* target, float dt) override;
};

// Enables or disables its target (which must implement IEnable) and hands on the whole step.
class EnableTask : public Task
{
public:
    explicit EnableTask(bool enabled) : m_enabled(enabled) {}

    Task* Clone() const override;
    TaskStatus Update(Object* target, float dt) override;

private:
    bool m_enabled;
};

class CuePointTask;

// A rendezvous of several tasks: each waits until every task bound to the cue has arrived.
// Owned by its tasks; the last one to leave deletes it.
class CuePoint
{
public:
    // Named "Kestrin::CuePoint:<n>" with a process-wide counter.
    static CuePoint* Create();
    // A living cue point by name, or null.
    static CuePoint* Find(NameId id);
    static size_t LiveCount();

    NameId GetId() const { return m_id; }
    size_t BoundCount() const { return m_bound.size(); }
    size_t ArrivedCount() const { return m_arrived.size(); }

    CuePoint(const CuePoint&) = delete;
    CuePoint& operator=(const CuePoint&) = delete;

private:
    friend class CuePointTask;

    explicit CuePoint(NameId id);
    ~CuePoint();

    void Bind(CuePointTask* task);
    void Arrive(CuePointTask* task);
    bool AllArrived() const { return m_arrived.size() == m_bound.size(); }
    // Deletes the cue point when the last task has left.
    void Leave(CuePointTask* task);

    NameId m_id;
    std::vector<CuePointTask*> m_bound;
    std::vector<CuePointTask*> m_arrived;
};

class CuePointTask : public Task
{
public:
    explicit CuePointTask(CuePoint* cue);
    // A task destroyed while still bound leaves, so the others are not kept waiting for it.
    ~CuePointTask() override;
    CuePointTask(const CuePointTask&) = delete;
    CuePointTask& operator=(const CuePointTask&) = delete;

    TaskStatus Update(Object* target, float dt) override;

    // Null once the task has left its cue point.
    CuePoint* GetCuePoint() const { return m_cue; }

private:
    CuePoint* m_cue;
};

// Plays a sound; with wait-for-end on, runs until the channel stops playing.
class AudioPlayTask : public Task
{
public:
    // The sound is looked up now; a missing one gives a task that plays nothing.
    explicit AudioPlayTask(NameId soundName, const SoundPlayParams& params = SoundPlayParams());
    explicit AudioPlayTask(ISound* sound, const SoundPlayParams& params = SoundPlayParams());
    ~AudioPlayTask() override;
    AudioPlayTask(const AudioPlayTask&) = delete;
    AudioPlayTask& operator=(const AudioPlayTask&) = delete;

    void SetWaitForEnd(bool wait) { m_waitForEnd = wait; }
    bool GetWaitForEnd() const { return m_waitForEnd; }
    ISound* GetSound() const { return m_sound; }

    Task* Clone() const override;
    TaskStatus Update(Object* target, float dt) override;

private:
    // Starts the sound and keeps the new channel, releasing any held before.
    void StartSound();

    ISound* m_sound;
    bool m_waitForEnd = false;
    SoundPlayParams m_params;
    ISoundChannel* m_channel = nullptr;
};

// How moving and fading tasks get from one value to another. Shared by the tasks that use it.
class Interpolator
{
public:
    virtual ~Interpolator() = default;
    virtual float Interpolate(float from, float to, float elapsed, float duration) = 0;
};

// Exactly `to` once elapsed reaches duration: callers compare positions for equality.
class LinearInterpolator : public Interpolator
{
public:
    float Interpolate(float from, float to, float elapsed, float duration) override;
};

class ImmediateInterpolator : public Interpolator
{
public:
    float Interpolate(float, float to, float, float) override { return to; }
};

// Calls a function with the target cast to T (null when it is not a T) and answers its status.
// An empty function finishes at once. Bound calls that ignore the target fit too.
template <typename T> class FunctionTask : public Task
{
public:
    using Function = std::function<TaskStatus(T*)>;

    explicit FunctionTask(Function function) : m_function(std::move(function)) {}
    template <typename F>
    requires(std::invocable<F&> && !std::invocable<F&, T*>) explicit FunctionTask(F function)
        : m_function([f = std::move(function)](T*) mutable { return f(); })
    {
    }

    Task* Clone() const override { return new FunctionTask(m_function); }
    TaskStatus Update(Object* target, float) override
    {
        if (!m_function)
            return TaskFinished;
        return m_function(dynamic_cast<T*>(target));
    }

private:
    Function m_function;
};

} // namespace Kestrin

// Picks indices at random, each in proportion to its weight.
class RatioRandom
{
public:
    class IllegalRatioRandom : public std::runtime_error
    {
    public:
        IllegalRatioRandom() : std::runtime_error("empty random distribution being used") {}
    };

    RatioRandom() = default;
    explicit RatioRandom(const std::vector<float>& ratios);

    // Weights of 0 or less get no entry but keep the positions of the others.
    void SetRatios(const std::vector<float>& ratios);
    // Draws from the current random-number stream; -1 when no entry is picked.
    int Pick() const;

    float GetTotal() const { return m_total; }

private:
    struct Item
    {
        float cumulative;
        int index;
    };
    std::vector<Item> m_table;
    float m_total = 0.0f;
};

// Waits at the cue, then runs the task.
Kestrin::Task* MakeCueThenTask(Kestrin::CuePoint* cue, Kestrin::Task* task);
// Runs the task, then waits at the cue for the others.
Kestrin::Task* MakeTaskThenCue(Kestrin::Task* task, Kestrin::CuePoint* cue);
