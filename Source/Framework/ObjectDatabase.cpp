#include "Framework/ObjectDatabase.h"

#include "Base/Exceptions.h"
#include "Base/Log.h"
#include "Framework/Object.h"
#include "Framework/TypeName.h"

#include <algorithm>
#include <optional>
#include <typeinfo>

namespace Kestrin
{

namespace
{

constexpr uint32_t IndexOf(ObjectHandle handle)
{
    return handle & 0xFFFF;
}

// Main thread only: the loading thread never touches a database.
struct CurrentDatabases
{
    ObjectDatabase* top = nullptr;
    std::vector<ObjectDatabase*> overrides;
};
CurrentDatabases& Current()
{
    static CurrentDatabases current;
    return current;
}

std::function<void()>& CaptureReleaseHandler()
{
    static std::function<void()> handler;
    return handler;
}

} // namespace

NameId GetAddMessageName()
{
    return Names::Add;
}

NameId GetRemoveMessageName()
{
    return Names::Remove;
}

ObjectDatabase* GetCurrentObjectDatabase()
{
    const auto& overrides = Current().overrides;
    for (auto it = overrides.rbegin(); it != overrides.rend(); ++it)
        if (*it)
            return *it;
    return Current().top;
}

void SetTopObjectDatabase(ObjectDatabase* database)
{
    Current().top = database;
}

ObjectDatabase* GetTopObjectDatabase()
{
    return Current().top;
}

Object* GetObjectByHandle(ObjectHandle handle)
{
    ObjectDatabase* database = GetCurrentObjectDatabase();
    return database ? database->GetObject(handle) : nullptr;
}

ObjectDatabase* DatabaseOf(const Object* object)
{
    return object && object->GetDatabase() ? object->GetDatabase() : GetCurrentObjectDatabase();
}

ScopedCurrentObjectDatabase::ScopedCurrentObjectDatabase(ObjectDatabase* database)
{
    Current().overrides.push_back(database);
}

ScopedCurrentObjectDatabase::~ScopedCurrentObjectDatabase()
{
    if (!Current().overrides.empty())
        Current().overrides.pop_back();
}

void SetMouseCaptureReleaseHandler(std::function<void()> handler)
{
    CaptureReleaseHandler() = std::move(handler);
}

ObjectDatabase::ObjectDatabase()
{
    m_entries.reserve(256);
}

ObjectDatabase::~ObjectDatabase()
{
    if (m_typeName.empty())
        m_typeName = DemangledTypeName(typeid(*this));
    LogPrintf("Destroying ObjectDatabase (%s): Final Size = %d\n", m_typeName.c_str(), int(m_entries.size()));

    // Objects deleted here may add or remove others; go round until nothing is left.
    for (bool any = true; any;)
    {
        any = false;
        for (uint32_t i = 0; i < m_entries.size(); ++i)
        {
            if (m_entries[i].state == Live || m_entries[i].state == RemovalPending)
            {
                DestroyEntry(i);
                any = true;
            }
        }
    }

    // Never leave the provider pointing at a dead database.
    if (Current().top == this)
        Current().top = nullptr;
    for (ObjectDatabase*& db : Current().overrides)
        if (db == this)
            db = nullptr;
}

void ObjectDatabase::HandleMessage(const Message&) {}

void ObjectDatabase::RememberTypeName()
{
    if (m_typeName.empty())
        m_typeName = DemangledTypeName(typeid(*this));
}

ObjectDatabase::EntryState ObjectDatabase::GetEntryState(uint32_t index) const
{
    return index < m_entries.size() ? EntryState(m_entries[index].state) : Unused;
}

void ObjectDatabase::SetSlotHandleForTest(uint32_t index, ObjectHandle handle)
{
    if (index < m_entries.size() && m_entries[index].state != Live &&
        m_entries[index].state != RemovalPending)
        m_entries[index].handle = handle;
}

bool ObjectDatabase::IsValidHandle(ObjectHandle handle) const
{
    uint32_t index = IndexOf(handle);
    return handle != NoObjectHandle && index < m_entries.size() && m_entries[index].handle == handle &&
           m_entries[index].state == Live;
}

const ObjectDatabase::Entry* ObjectDatabase::LiveEntry(ObjectHandle handle) const
{
    return IsValidHandle(handle) ? &m_entries[IndexOf(handle)] : nullptr;
}

Object* ObjectDatabase::GetObject(ObjectHandle handle) const
{
    const Entry* e = LiveEntry(handle);
    return e ? e->object : nullptr;
}

ObjectHandle ObjectDatabase::AddObject(Object* object)
{
    if (!object)
        return NoObjectHandle;
    RememberTypeName();

    if (object->m_database == this)
    {
        ObjectHandle h = object->m_handle;
        uint32_t index = IndexOf(h);
        if (h != NoObjectHandle && index < m_entries.size() && m_entries[index].handle == h &&
            m_entries[index].object == object)
        {
            if (m_entries[index].state == Live)
                return h;
            // Added again before its removal took effect: keep the one entry, or it would be
            // deleted at the end of the update while a second entry still held it.
            if (m_entries[index].state == RemovalPending)
            {
                Revive(object);
                return h;
            }
        }
    }

    if (m_freeList.empty())
    {
        if (m_entries.size() >= MaxEntries)
            throw engine_error(KESTRIN_HERE, "ObjectDatabase is full.");
        m_entries.push_back(Entry());
        m_freeList.push_back(uint32_t(m_entries.size() - 1));
    }
    uint32_t index = m_freeList.front();
    m_freeList.pop_front();

    Entry& e = m_entries[index];
    e.state = Live;
    e.object = object;
    e.drawable = dynamic_cast<IDrawable*>(object);
    e.bounds = dynamic_cast<IBounds*>(object);
    e.input = dynamic_cast<IInputHandler*>(object);
    e.enable = dynamic_cast<IEnable*>(object);
    e.visible = dynamic_cast<IVisible*>(object);
    e.role = object->GetRole();

    uint32_t generation = (e.handle >> 16) + 1;
    if (generation > 0xFFFF)
        generation = 1;
    ObjectHandle h = (generation << 16) | index;
    e.handle = h;
    object->m_handle = h;
    object->m_database = this;

    // Its place among the others is fixed by the next update's sort.
    if (e.drawable)
        m_drawList.push_back({h, 0.0f});
    if (NameId name = object->GetName())
        m_names[name] = h;
    if (e.role)
        m_roles[e.role].push_back(h);

    object->DeliverMessage(Message(NoObjectHandle, GetAddMessageName()));
    return h;
}

void ObjectDatabase::Revive(Object* object)
{
    ObjectHandle h = object->m_handle;
    Entry& e = m_entries[IndexOf(h)];
    e.state = Live;
    // The draw list and the role list still hold the handle: removal leaves them until deletion.
    if (NameId name = object->GetName())
        m_names[name] = h;
    object->DeliverMessage(Message(NoObjectHandle, GetAddMessageName()));
}

void ObjectDatabase::RemoveObject(ObjectHandle handle)
{
    if (!IsValidHandle(handle))
        return;
    Object* object = m_entries[IndexOf(handle)].object;
    if (!object)
        return;
    m_entries[IndexOf(handle)].state = RemovalPending;

    if (m_focus == handle)
    {
        m_focus = NoObjectHandle;
        object->DeliverMessage(Message(NoObjectHandle, Names::LostFocus));
    }
    if (m_capture == handle)
    {
        m_capture = NoObjectHandle;
        if (CaptureReleaseHandler())
            CaptureReleaseHandler()();
    }
    if (m_hover == handle)
        m_hover = NoObjectHandle;

    // Only while the name is still this object's: another object may have taken it since.
    if (NameId name = object->GetName())
    {
        auto it = m_names.find(name);
        if (it != m_names.end() && it->second == handle)
            m_names.erase(it);
    }

    object->DeliverMessage(Message(NoObjectHandle, GetRemoveMessageName()));
}

void ObjectDatabase::DestroyEntry(uint32_t index)
{
    Entry& e = m_entries[index];
    ObjectHandle h = e.handle;
    if (e.drawable)
        m_drawList.remove_if([h](const DrawItem& item) { return item.handle == h; });
    if (e.role)
    {
        auto it = m_roles.find(e.role);
        if (it != m_roles.end())
        {
            it->second.remove(h);
            if (it->second.empty())
                m_roles.erase(it);
        }
    }
    Object* object = e.object;
    // The entry is cleared before the delete: the object's destructor may add or remove others.
    e = Entry{Freed, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, h, NameId()};
    m_freeList.push_back(index);
    delete object;
}

Object* ObjectDatabase::FindObject(NameId name) const
{
    auto it = m_names.find(name);
    if (it == m_names.end())
        return nullptr;
    return GetObject(it->second);
}

std::vector<ObjectHandle> ObjectDatabase::FindObjectsByRole(NameId role) const
{
    std::vector<ObjectHandle> handles;
    auto it = m_roles.find(role);
    if (it == m_roles.end())
        return handles;
    for (ObjectHandle h : it->second)
        if (IsValidHandle(h))
            handles.push_back(h);
    return handles;
}

void ObjectDatabase::Broadcast(const Message& message)
{
    // Receivers that look up objects through the current database must find ours.
    std::optional<ScopedCurrentObjectDatabase> scope;
    if (GetCurrentObjectDatabase() != this)
        scope.emplace(this);

    HandleMessage(message);
    // By index with the size read again: a receiver may add objects (a new slot at the end is
    // reached, a reused lower one is not) or remove them (they are skipped once pending).
    for (uint32_t i = 0; i < m_entries.size(); ++i)
        if (m_entries[i].state == Live)
            m_entries[i].object->DeliverMessage(message);
}

void ObjectDatabase::SetFocus(Object* object)
{
    Object* current = GetObject(m_focus);
    if (current == object)
        return;
    if (current)
        current->DeliverMessage(Message(NoObjectHandle, Names::LostFocus));
    if (object)
    {
        object->DeliverMessage(Message(NoObjectHandle, Names::ReceivedFocus));
        m_focus = object->GetHandle();
    }
    else
    {
        m_focus = NoObjectHandle;
    }
}

bool ObjectDatabase::CanReceiveInput(ObjectHandle handle) const
{
    const Entry* e = LiveEntry(handle);
    return e && e->input && (!e->enable || e->enable->IsEnabled()) &&
           (!e->visible || e->visible->IsVisible());
}

bool ObjectDatabase::CanTakeFocus(ObjectHandle handle) const
{
    return CanReceiveInput(handle) && m_entries[IndexOf(handle)].input->AcceptsFocus();
}

void ObjectDatabase::FocusNext(std::span<const ObjectHandle> order)
{
    size_t n = order.size();
    auto pos = std::find(order.begin(), order.end(), m_focus);
    if (pos == order.end())
    {
        for (ObjectHandle h : order)
            if (CanTakeFocus(h))
            {
                m_focus = h;
                return;
            }
        return;
    }
    size_t at = size_t(pos - order.begin());
    for (size_t k = 1; k < n; ++k)
    {
        ObjectHandle h = order[(at + k) % n];
        if (CanTakeFocus(h))
        {
            m_focus = h;
            return;
        }
    }
}

void ObjectDatabase::FocusPrevious(std::span<const ObjectHandle> order)
{
    size_t n = order.size();
    auto pos = std::find(order.begin(), order.end(), m_focus);
    if (pos == order.end())
    {
        for (size_t i = n; i-- > 0;)
            if (CanTakeFocus(order[i]))
            {
                m_focus = order[i];
                return;
            }
        return;
    }
    size_t at = size_t(pos - order.begin());
    for (size_t k = 1; k < n; ++k)
    {
        ObjectHandle h = order[(at + n - k) % n];
        if (CanTakeFocus(h))
        {
            m_focus = h;
            return;
        }
    }
}

void ObjectDatabase::FocusNext()
{
    std::vector<ObjectHandle> order;
    for (const Entry& e : m_entries)
        if (e.state == Live)
            order.push_back(e.handle);
    FocusNext(order);
}

void ObjectDatabase::FocusPrevious()
{
    std::vector<ObjectHandle> order;
    for (const Entry& e : m_entries)
        if (e.state == Live)
            order.push_back(e.handle);
    FocusPrevious(order);
}

void ObjectDatabase::Update(float dt)
{
    RememberTypeName();
    for (uint32_t i = 0; i < m_entries.size(); ++i)
        if (m_entries[i].state == Live)
            m_entries[i].object->Tick(dt);

    for (uint32_t i = 0; i < m_entries.size(); ++i)
        if (m_entries[i].state == RemovalPending)
            DestroyEntry(i);

    // A stable merge sort: equal depths keep their order.
    for (DrawItem& item : m_drawList)
        if (IDrawable* drawable = m_entries[IndexOf(item.handle)].drawable)
            item.depth = drawable->GetDepth();
    m_drawList.sort([](const DrawItem& a, const DrawItem& b) { return a.depth < b.depth; });
}

void ObjectDatabase::Draw()
{
    // Walked by iterator: a drawable may add objects, which append at the end.
    for (auto it = m_drawList.begin(); it != m_drawList.end(); ++it)
        if (const Entry* e = LiveEntry(it->handle))
            e->drawable->Draw();
}

template <typename Call> MessageResult ObjectDatabase::Offer(ObjectHandle handle, Call& call)
{
    if (!CanReceiveInput(handle))
        return MessageResult::NotHandled;
    return call(m_entries[IndexOf(handle)].input);
}

template <typename Call> bool ObjectDatabase::Dispatch(ObjectHandle target, bool captureKeepsEvent, Call call)
{
    if (target != NoObjectHandle)
    {
        if (Offer(target, call) == MessageResult::Handled)
            return true;
        // A capturing object keeps every mouse event, handled or not.
        if (captureKeepsEvent && CanReceiveInput(target))
            return true;
    }

    // Front to back. Stepped by hand rather than by reverse_iterator, which would slide onto an
    // element appended while the last one is being offered the event.
    for (auto it = m_drawList.end(); it != m_drawList.begin();)
    {
        --it;
        if (it->handle != target && Offer(it->handle, call) == MessageResult::Handled)
            return true;
    }

    for (uint32_t i = 0; i < m_entries.size(); ++i)
    {
        const Entry& e = m_entries[i];
        if (e.state != Live || e.drawable || e.handle == target)
            continue;
        if (Offer(e.handle, call) == MessageResult::Handled)
            return true;
    }
    return false;
}

bool ObjectDatabase::OnKeyDown(int key)
{
    return Dispatch(m_focus, false, [key](IInputHandler* h) { return h->OnKeyDown(key); });
}

bool ObjectDatabase::OnKeyUp(int key)
{
    return Dispatch(m_focus, false, [key](IInputHandler* h) { return h->OnKeyUp(key); });
}

bool ObjectDatabase::OnText(wchar_t character)
{
    auto call = [character](IInputHandler* h) { return h->OnText(character); };
    return Offer(m_focus, call) == MessageResult::Handled;
}

bool ObjectDatabase::OnMouseMove(int x, int y)
{
    for (auto it = m_drawList.end(); it != m_drawList.begin();)
    {
        --it;
        ObjectHandle h = it->handle;
        if (!CanReceiveInput(h))
            continue;
        IBounds* bounds = m_entries[IndexOf(h)].bounds;
        if (!bounds)
            continue;
        if (bounds->Contains(float(x), float(y)))
        {
            if (m_hover != h)
            {
                if (m_hover != NoObjectHandle)
                    Broadcast(Message(m_hover, Names::ControlLeave));
                m_hover = h;
                Broadcast(Message(h, Names::ControlEnter));
            }
            break;
        }
        if (m_hover == h)
        {
            m_hover = NoObjectHandle;
            Broadcast(Message(h, Names::ControlLeave));
        }
    }
    return Dispatch(m_capture, true, [x, y](IInputHandler* h) { return h->OnMouseMove(x, y); });
}

bool ObjectDatabase::OnMouseDown(MouseButton button, int x, int y)
{
    return Dispatch(m_capture, true, [=](IInputHandler* h) { return h->OnMouseDown(button, x, y); });
}

bool ObjectDatabase::OnMouseUp(MouseButton button, int x, int y)
{
    return Dispatch(m_capture, true, [=](IInputHandler* h) { return h->OnMouseUp(button, x, y); });
}

void ObjectDatabase::OnMouseLeave()
{
    if (m_hover == NoObjectHandle)
        return;
    ObjectHandle h = m_hover;
    m_hover = NoObjectHandle;
    Broadcast(Message(h, Names::ControlLeave));
}

} // namespace Kestrin
