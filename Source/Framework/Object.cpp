#include "Framework/Object.h"

namespace Kestrin
{

Object::Object() : m_tasks(std::make_unique<TaskList>()) {}

Object::~Object() = default;

NameId Object::GetName() const
{
    return {};
}

NameId Object::GetRole() const
{
    return {};
}

void Object::Update(float) {}

void Object::HandleMessage(const Message&) {}

void Object::Tick(float dt)
{
    // The time the lists report is ignored: each gets the whole step.
    m_tasks->Run(this, dt);
    for (auto& [name, list] : m_channels)
        list->Run(this, dt);
    Update(dt);
}

void Object::DeliverMessage(const Message& message)
{
    m_tasks->HandleMessage(this, message);
    for (auto& [name, list] : m_channels)
        list->HandleMessage(this, message);
    HandleMessage(message);
}

void Object::AddTask(Task* task)
{
    m_tasks->Append(task);
}

void Object::ClearTasks()
{
    m_tasks->Clear();
}

void Object::ClearAllTasks()
{
    m_tasks->Clear();
    for (auto& [name, list] : m_channels)
        list->Clear();
}

bool Object::IsChannelBusy(NameId channel) const
{
    TaskList* list = FindChannel(channel);
    return list && list->HasActiveTasks();
}

void Object::SetChannelTask(NameId channel, Task* task)
{
    TaskList& list = Channel(channel);
    list.Clear();
    list.Append(task);
}

void Object::ClearChannel(NameId channel)
{
    Channel(channel).Clear();
}

TaskList* Object::FindChannel(NameId channel) const
{
    auto it = m_channels.find(channel);
    return it == m_channels.end() ? nullptr : it->second.get();
}

TaskList& Object::Channel(NameId channel)
{
    auto& slot = m_channels[channel];
    if (!slot)
        slot = std::make_unique<TaskList>();
    return *slot;
}

} // namespace Kestrin
