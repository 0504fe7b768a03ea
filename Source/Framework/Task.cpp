#include "Framework/Task.h"

#include "Base/Exceptions.h"
#include "Framework/TypeName.h"

#include <typeinfo>

namespace Kestrin
{

Task* Task::Clone() const
{
    throw engine_error(KESTRIN_HERE, DemangledTypeName(typeid(*this)) + " does not implement Task::Clone.");
}

TaskStatus Task::Update(Object*, float)
{
    return TaskFinished;
}

bool Task::HandleMessage(Object*, const Message&)
{
    return true;
}

// Marks a pass over the list; the outermost one cleans up when it ends, even by an exception.
class TaskList::PassScope
{
public:
    explicit PassScope(TaskList& list) : m_list(list) { ++m_list.m_passDepth; }
    ~PassScope()
    {
        if (--m_list.m_passDepth == 0)
            m_list.CleanUp();
    }
    PassScope(const PassScope&) = delete;
    PassScope& operator=(const PassScope&) = delete;

private:
    TaskList& m_list;
};

TaskList::~TaskList()
{
    Clear();
    CleanUp();
}

void TaskList::Append(Task* task)
{
    if (task)
        m_active.push_back({Active, task});
}

float TaskList::Run(Object* target, float dt)
{
    float total = 0.0f;
    PassScope pass(*this);
    // By index with the size read again: a task may append to this list while it runs.
    for (size_t i = 0; i < m_active.size(); ++i)
    {
        if (!(dt > 0.0f))
            break;
        if (m_active[i].state != Active)
            continue;
        TaskStatus status = m_active[i].task->Update(target, dt);
        total += status.timeUsed;
        dt -= status.timeUsed;
        if (status.running)
            break;
        // A task that cancelled itself while running stays flagged for deletion.
        if (m_active[i].state == Active)
            m_active[i].state = Finished;
    }
    return total;
}

void TaskList::HandleMessage(Object* target, const Message& message)
{
    PassScope pass(*this);
    for (size_t i = 0; i < m_active.size(); ++i)
    {
        if (m_active[i].state != Active)
            continue;
        if (!m_active[i].task->HandleMessage(target, message) && m_active[i].state == Active)
            m_active[i].state = Finished;
    }
}

std::unique_ptr<TaskList> TaskList::Clone() const
{
    // Held in unique_ptrs so that a task that cannot be cloned frees the clones made before it.
    std::vector<std::unique_ptr<Task>> clones;
    clones.reserve(m_finished.size() + m_active.size());
    for (const std::vector<Entry>* entries : {&m_finished, &m_active})
        for (const Entry& e : *entries)
            if (e.state != ToDelete)
                clones.push_back(std::unique_ptr<Task>(e.task->Clone()));

    auto copy = std::make_unique<TaskList>();
    copy->m_active.reserve(clones.size());
    for (auto& clone : clones)
        copy->Append(clone.release());
    return copy;
}

void TaskList::Clear()
{
    for (Entry& e : m_active)
        e.state = ToDelete;
    for (Entry& e : m_finished)
        e.state = ToDelete;
}

bool TaskList::HasActiveTasks() const
{
    for (const Entry& e : m_active)
        if (e.state == Active)
            return true;
    return false;
}

void TaskList::CleanUp()
{
    std::vector<Task*> doomed;
    std::vector<Entry> stillActive;
    stillActive.reserve(m_active.size());
    for (const Entry& e : m_active)
    {
        if (e.state == Finished)
            m_finished.push_back(e);
        else if (e.state == ToDelete)
            doomed.push_back(e.task);
        else
            stillActive.push_back(e);
    }
    m_active.swap(stillActive);
    std::erase_if(m_finished,
                  [&](const Entry& e)
                  {
                      if (e.state != ToDelete)
                          return false;
                      doomed.push_back(e.task);
                      return true;
                  });
    // Deleted last, with the lists already consistent, in case a destructor looks at them.
    for (Task* task : doomed)
        delete task;
}

} // namespace Kestrin
