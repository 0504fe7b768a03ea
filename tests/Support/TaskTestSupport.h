#pragma once
#include "Framework/Object.h"
#include "Framework/Task.h"

#include <functional>
#include <string>
#include <vector>

namespace KestrinTest
{

// A shared record of what happened, in order.
using EventLog = std::vector<std::string>;

// A task whose answers and side effects each test scripts.
class ScriptedTask : public Kestrin::Task
{
public:
    static inline int alive = 0;
    // Updates that got past their callback with the task still intact.
    static inline int survivedCallbacks = 0;

    ScriptedTask(std::string name, EventLog* log, Kestrin::TaskStatus status = Kestrin::TaskFinished)
        : name(std::move(name)), log(log), status(status)
    {
        ++alive;
    }
    ScriptedTask(const ScriptedTask& other)
        : name(other.name), log(other.log), status(other.status), clonable(other.clonable),
          messageAnswer(other.messageAnswer), onUpdate(other.onUpdate)
    {
        ++alive;
    }
    ~ScriptedTask() override { --alive; }

    Kestrin::Task* Clone() const override { return clonable ? new ScriptedTask(*this) : Task::Clone(); }

    Kestrin::TaskStatus Update(Kestrin::Object* target, float dt) override
    {
        ++updates;
        lastDt = dt;
        if (log)
            log->push_back(name);
        if (onUpdate)
            onUpdate(target);
        // Touch the task after the callback: a task deleted under its own update shows up in ASan.
        ++afterCallback;
        ++survivedCallbacks;
        return status;
    }

    bool HandleMessage(Kestrin::Object*, const Kestrin::Message& message) override
    {
        if (log)
            log->push_back(name + ":" + (message.name ? message.name.c_str() : "?"));
        return messageAnswer;
    }

    std::string name;
    EventLog* log;
    Kestrin::TaskStatus status;
    bool clonable = true;
    bool messageAnswer = true;
    std::function<void(Kestrin::Object*)> onUpdate;
    int updates = 0;
    int afterCallback = 0;
    float lastDt = -1.0f;
};

// An object that logs its own update and messages.
class LoggingObject : public Kestrin::Object
{
public:
    explicit LoggingObject(EventLog* log, std::string name = "object") : m_log(log), m_label(std::move(name))
    {
    }
    void Update(float) override { m_log->push_back(m_label + ".Update"); }
    void HandleMessage(const Kestrin::Message& message) override
    {
        m_log->push_back(m_label + ".Handle:" + message.name.c_str());
    }

private:
    EventLog* m_log;
    std::string m_label;
};

} // namespace KestrinTest
