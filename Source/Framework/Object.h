#pragma once
#include "Framework/Components.h"
#include "Framework/Message.h"
#include "Framework/Names.h"
#include "Framework/Task.h"

#include <map>
#include <memory>

namespace Kestrin
{

class ObjectDatabase;

// Base of every engine and game object that lives in an object database. Carries the object's
// handle, its default task list and its named task channels.
class Object
{
public:
    Object();
    virtual ~Object();
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;

    // Null when the object has no name.
    virtual NameId GetName() const;
    // A class-like tag by which the database groups objects; null for none.
    virtual NameId GetRole() const;
    // The object's own per-frame work.
    virtual void Update(float dt);
    // The object's own reaction to a message.
    virtual void HandleMessage(const Message& message);

    // Runs the default list, then each channel in id order, then Update, all with the whole dt.
    void Tick(float dt);
    // Every active task sees the message first (default list, then channels), then HandleMessage.
    void DeliverMessage(const Message& message);

    // Appends a task (owned from now on) to the default list.
    void AddTask(Task* task);
    // Ends every task of the default list; they are deleted after the list's next pass.
    void ClearTasks();
    // Ends every task of the default list and of every channel.
    void ClearAllTasks();

    // True when the channel exists and still has a task to run; never creates the channel.
    bool IsChannelBusy(NameId channel) const;
    // A channel runs one task at a time: the new task cancels whatever the channel held.
    void SetChannelTask(NameId channel, Task* task);
    void ClearChannel(NameId channel);

    TaskList& GetTasks() { return *m_tasks; }
    // The channel's list, or null when the channel was never used.
    TaskList* FindChannel(NameId channel) const;
    size_t ChannelCount() const { return m_channels.size(); }

    // NoObjectHandle until the object is added to a database.
    ObjectHandle GetHandle() const { return m_handle; }
    // The database the object was added to (null before); removal goes there.
    ObjectDatabase* GetDatabase() const { return m_database; }

private:
    friend class ObjectDatabase;

    TaskList& Channel(NameId channel);

    ObjectHandle m_handle = NoObjectHandle;
    std::unique_ptr<TaskList> m_tasks;
    // std::map: creating a channel from a running task leaves the walk over the others valid.
    std::map<NameId, std::unique_ptr<TaskList>> m_channels;
    ObjectDatabase* m_database = nullptr;
};

// An object with the drawable face (depth 0, draws nothing until overridden).
class DrawableObject : public Object, public DrawableComponent
{
};

} // namespace Kestrin
