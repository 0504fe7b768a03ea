#pragma once
// The per-screen registries: every object of class T of one screen, in registration order, kept
// without scanning the object database. T derives from HeldObject<T>. The owner is not built yet
// while this base registers it, so the registry casts to T only when it hands objects out.
#include "Framework/ObjectDatabase.h"

#include <cstddef>
#include <iterator>
#include <list>
#include <map>
#include <vector>

template <typename T> class HeldObject
{
public:
    HeldObject(const HeldObject&) = delete;
    HeldObject& operator=(const HeldObject&) = delete;

    // The registered objects of the current screen, first registered first.
    static std::vector<T*> GetAll()
    {
        std::vector<T*> all;
        all.reserve(Count());
        ForEach([&all](T* object) { all.push_back(object); });
        return all;
    }
    static size_t Count()
    {
        const List* list = Find(Kestrin::GetCurrentObjectDatabase());
        return list ? list->size() : 0;
    }
    // Calls f on each registered object of the current screen in order, without copying the list.
    // f may unregister any object, the one it was given or another: one that leaves before its
    // turn is skipped.
    template <typename F> static void ForEach(F f)
    {
        List* list = Find(Kestrin::GetCurrentObjectDatabase());
        if (!list)
            return;
        Cursor cursor{list, list->begin()};
        while (cursor.at != list->end())
        {
            HeldObject* held = *cursor.at;
            ++cursor.at;
            f(static_cast<T*>(held));
        }
    }

protected:
    // With registerNow, joins the registry of the current screen's database.
    explicit HeldObject(bool registerNow = true)
    {
        if (registerNow)
            HeldObject::Reregister();
    }
    // Leaves the registry it joined, if any.
    virtual ~HeldObject() { Leave(); }
    // Joins the registry of the current screen (again): leaves the one it was in first.
    virtual void Reregister()
    {
        Leave();
        m_registered = true;
        m_screenKey = Kestrin::GetCurrentObjectDatabase();
        List& list = Lists()[m_screenKey];
        m_place = list.insert(list.end(), this);
    }

private:
    // A list node per object: leaving is constant time and keeps the others' order.
    using List = std::list<HeldObject*>;

    // The place of a walk under way; walks nest, so they are kept as a stack.
    struct Cursor
    {
        Cursor(List* list_, typename List::iterator at_) : list(list_), at(at_) { Cursors().push_back(this); }
        ~Cursor() { Cursors().pop_back(); }
        Cursor(const Cursor&) = delete;
        Cursor& operator=(const Cursor&) = delete;
        List* list;
        typename List::iterator at;
    };
    static std::vector<Cursor*>& Cursors()
    {
        static std::vector<Cursor*> cursors;
        return cursors;
    }

    // Out of the registry; a walk about to visit this object moves on past it.
    void Leave()
    {
        if (!m_registered)
            return;
        List& list = Lists()[m_screenKey];
        for (Cursor* cursor : Cursors())
            if (cursor->list == &list && cursor->at == m_place)
                ++cursor->at;
        list.erase(m_place);
        m_registered = false;
    }

    static std::map<Kestrin::ObjectDatabase*, List>& Lists()
    {
        static std::map<Kestrin::ObjectDatabase*, List> lists;
        return lists;
    }
    static List* Find(Kestrin::ObjectDatabase* key)
    {
        auto& lists = Lists();
        auto it = lists.find(key);
        return it == lists.end() ? nullptr : &it->second;
    }

    bool m_registered = false;
    Kestrin::ObjectDatabase* m_screenKey = nullptr;
    typename List::iterator m_place;
};
