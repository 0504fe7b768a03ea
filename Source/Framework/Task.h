#pragma once
#include "Framework/Message.h"

#include <cfloat>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace Kestrin
{

class Object;

// The answer of one task step. timeUsed is the part of the step the task consumed;
// FLT_MAX means the whole step.
struct TaskStatus
{
    bool running = false;
    float timeUsed = FLT_MAX;
};

inline constexpr TaskStatus TaskFinished{false, FLT_MAX};
inline constexpr TaskStatus TaskRunning{true, FLT_MAX};

// One step of a timeline, run against a target object over one or more updates.
class Task
{
public:
    virtual ~Task() = default;
    // A fresh deep copy, owned by the caller. Needed by tasks that repeat; the base throws engine_error.
    virtual Task* Clone() const;
    virtual TaskStatus Update(Object* target, float dt);
    // Sees every message delivered to the target while the task is active; false ends the task.
    virtual bool HandleMessage(Object* target, const Message& message);
};

// A queue of owned tasks run one after another; a task that finishes early hands the rest of the
// step to the next. Finished tasks are kept (not deleted) so the list can be cloned and replayed.
//
// Tasks may append to, clear or replace the list they run in: entries are only appended during a
// pass, and tasks flagged for deletion are deleted once the outermost pass over the list returns.
class TaskList
{
public:
    enum EntryState : uint32_t
    {
        Active = 0,
        Finished = 1,
        ToDelete = 2,
    };

    TaskList() = default;
    ~TaskList();
    TaskList(const TaskList&) = delete;
    TaskList& operator=(const TaskList&) = delete;

    // Takes ownership.
    void Append(Task* task);
    // One pass; answers the time the tasks used.
    float Run(Object* target, float dt);
    void HandleMessage(Object* target, const Message& message);
    // Clones of the finished tasks (in finishing order), then of the active ones, all active again.
    // Throws engine_error when a task cannot be cloned; this list is left as it was.
    std::unique_ptr<TaskList> Clone() const;
    // Flags every entry for deletion; the tasks go at the next clean-up.
    void Clear();

    // True when some entry is still to run (not finished, not flagged for deletion).
    bool HasActiveTasks() const;
    size_t ActiveCount() const { return m_active.size(); }
    size_t FinishedCount() const { return m_finished.size(); }

private:
    struct Entry
    {
        uint32_t state;
        Task* task;
    };
    class PassScope;

    void CleanUp();

    std::vector<Entry> m_active;
    std::vector<Entry> m_finished;
    int m_passDepth = 0;
};

} // namespace Kestrin
