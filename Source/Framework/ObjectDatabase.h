#pragma once
#include "Framework/Components.h"
#include "Framework/Message.h"
#include "Framework/Names.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <list>
#include <map>
#include <span>
#include <string>
#include <vector>

namespace Kestrin
{

class Object;

// The registry of one screen's objects. It owns them, hands out handles, runs their ticks, deletes
// removed objects at the end of an update, draws the drawables by depth and routes input.
class ObjectDatabase
{
public:
    enum EntryState : uint32_t
    {
        Unused = 0,
        Live = 1,
        RemovalPending = 2,
        Freed = 3,
    };

    ObjectDatabase();
    // Deletes every object without sending "Remove".
    virtual ~ObjectDatabase();
    ObjectDatabase(const ObjectDatabase&) = delete;
    ObjectDatabase& operator=(const ObjectDatabase&) = delete;

    // The database's own reaction to broadcasts; screens override it.
    virtual void HandleMessage(const Message& message);
    // Input, offered to the focus or capture first, then front to back. True when handled.
    virtual bool OnKeyDown(int key);
    virtual bool OnKeyUp(int key);
    virtual bool OnMouseMove(int x, int y);
    virtual bool OnMouseDown(MouseButton button, int x, int y);
    virtual bool OnMouseUp(MouseButton button, int x, int y);
    virtual void OnMouseLeave();
    // A typed character goes to the focus alone: no other object has a caret to put it at.
    virtual bool OnText(wchar_t character);

    // Takes ownership and sends the object "Add". Adding a live object again answers its handle.
    ObjectHandle AddObject(Object* object);
    // Sends "Remove" to the object; it is deleted at the end of the next update.
    void RemoveObject(ObjectHandle handle);
    // The live object of that name (the last added wins), or null.
    Object* FindObject(NameId name) const;
    // The live object of that handle, or null.
    Object* GetObject(ObjectHandle handle) const;
    // Handles of the live objects with that role, in registration order.
    std::vector<ObjectHandle> FindObjectsByRole(NameId role) const;
    // Index in the table, same generation, live.
    bool IsValidHandle(ObjectHandle handle) const;

    // To this database's own handler, then to every live object in table order.
    void Broadcast(const Message& message);

    // Sends "LostFocus" to the old object and "ReceivedFocus" to the new one.
    void SetFocus(Object* object);
    // Moves the focus, without focus messages, to the next (previous) object of the list that is
    // live, enabled, visible and accepts focus, wrapping around.
    void FocusNext(std::span<const ObjectHandle> order);
    void FocusPrevious(std::span<const ObjectHandle> order);
    // The same over the live objects in table order.
    void FocusNext();
    void FocusPrevious();

    ObjectHandle GetFocusHandle() const { return m_focus; }
    void SetFocusHandle(ObjectHandle handle) { m_focus = handle; }
    ObjectHandle GetCaptureHandle() const { return m_capture; }
    void SetCaptureHandle(ObjectHandle handle) { m_capture = handle; }
    ObjectHandle GetHoverHandle() const { return m_hover; }
    void SetHoverHandle(ObjectHandle handle) { m_hover = handle; }

    // Ticks every live object, deletes the removed ones, sorts the drawables by depth.
    void Update(float dt);
    // Draws the live drawables, smallest depth first.
    void Draw();

    size_t GetTableSize() const { return m_entries.size(); }
    EntryState GetEntryState(uint32_t index) const;
    // Sets the handle last given out for a free slot, so tests can reach generation wrap-around.
    void SetSlotHandleForTest(uint32_t index, ObjectHandle handle);

    // Slot indices are 16 bits; index 0xFFFF is left out so that no handle equals NoObjectHandle.
    static constexpr size_t MaxEntries = 0xFFFF;

private:
    struct Entry
    {
        uint32_t state = Unused;
        Object* object = nullptr;
        IDrawable* drawable = nullptr;
        IBounds* bounds = nullptr;
        IInputHandler* input = nullptr;
        IEnable* enable = nullptr;
        IVisible* visible = nullptr;
        ObjectHandle handle = 0;
        NameId role;
    };
    struct DrawItem
    {
        ObjectHandle handle;
        float depth;
    };

    const Entry* LiveEntry(ObjectHandle handle) const;
    bool CanReceiveInput(ObjectHandle handle) const;
    bool CanTakeFocus(ObjectHandle handle) const;
    void Revive(Object* object);
    void DestroyEntry(uint32_t index);
    void RememberTypeName();
    template <typename Call> MessageResult Offer(ObjectHandle handle, Call& call);
    template <typename Call> bool Dispatch(ObjectHandle target, bool captureKeepsEvent, Call call);

    std::vector<Entry> m_entries;
    // std::list: objects added while it is walked (drawing, input) append safely.
    std::list<DrawItem> m_drawList;
    std::map<NameId, ObjectHandle> m_names;
    std::map<NameId, std::list<ObjectHandle>> m_roles;
    std::deque<uint32_t> m_freeList;
    ObjectHandle m_focus = NoObjectHandle;
    ObjectHandle m_capture = NoObjectHandle;
    ObjectHandle m_hover = NoObjectHandle;
    // The screen's class name for the closing log line (the destructor only sees the base).
    std::string m_typeName;
};

// The messages the database sends: "Add" and "Remove" to the object itself, "ReceivedFocus" and
// "LostFocus" to the objects whose focus changes, "ControlEnter" and "ControlLeave" broadcast
// with the handle of the object the mouse entered or left.
namespace Names
{
inline constinit ConstantName Add{"Add"};
inline constinit ConstantName Remove{"Remove"};
inline constinit ConstantName ReceivedFocus{"ReceivedFocus"};
inline constinit ConstantName LostFocus{"LostFocus"};
inline constinit ConstantName ControlEnter{"ControlEnter"};
inline constinit ConstantName ControlLeave{"ControlLeave"};
} // namespace Names

// The interned "Add" and "Remove".
NameId GetAddMessageName();
NameId GetRemoveMessageName();

// The database of the screen being entered when one is, else of the top screen.
ObjectDatabase* GetCurrentObjectDatabase();
void SetTopObjectDatabase(ObjectDatabase* database);
ObjectDatabase* GetTopObjectDatabase();
// The live object of the handle in the current database; null when there is no current database
// or the handle names nothing live there (a stale handle of a removed object).
Object* GetObjectByHandle(ObjectHandle handle);
// The database an object acts in: the one it was added to, whichever screen is current; the current
// one while it is in none yet, or for no object.
ObjectDatabase* DatabaseOf(const Object* object);
// The object of that name as a T; null without a database, without the object or of another kind.
template <typename T> T* FindObjectAs(ObjectDatabase* database, NameId name)
{
    return database ? dynamic_cast<T*>(database->FindObject(name)) : nullptr;
}

// Makes a database current for a scope (a screen being entered, a broadcast).
class ScopedCurrentObjectDatabase
{
public:
    explicit ScopedCurrentObjectDatabase(ObjectDatabase* database);
    ~ScopedCurrentObjectDatabase();
    ScopedCurrentObjectDatabase(const ScopedCurrentObjectDatabase&) = delete;
    ScopedCurrentObjectDatabase& operator=(const ScopedCurrentObjectDatabase&) = delete;
};

// Called when an object holding the mouse capture is removed; the platform installs it.
void SetMouseCaptureReleaseHandler(std::function<void()> handler);

} // namespace Kestrin
