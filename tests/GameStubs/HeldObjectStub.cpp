// Stand-in for the per-screen registries until they are built: one list per database, in
// registration order. The lists hold the bases: the owner is not built yet while its base
// registers it, so it is cast only when asked for.
#include "Framework/ObjectDatabase.h"
#include "Game/GameObject.h"
#include "Game/Gremlin.h"
#include "Game/GremlinHome.h"
#include "Game/HeldObject.h"
#include "Game/Line.h"

#include <algorithm>
#include <map>

namespace
{
template <typename T> std::map<Kestrin::ObjectDatabase*, std::vector<HeldObject<T>*>>& Lists()
{
    static std::map<Kestrin::ObjectDatabase*, std::vector<HeldObject<T>*>> lists;
    return lists;
}
} // namespace

template <typename T> std::vector<T*> HeldObject<T>::GetAll()
{
    std::vector<T*> all;
    for (HeldObject<T>* held : Lists<T>()[Kestrin::GetCurrentObjectDatabase()])
        all.push_back(static_cast<T*>(held));
    return all;
}

template <typename T> size_t HeldObject<T>::Count()
{
    return GetAll().size();
}

template <typename T> HeldObject<T>::HeldObject(bool registerNow)
{
    if (registerNow)
        HeldObject<T>::Reregister();
}

template <typename T> HeldObject<T>::~HeldObject()
{
    if (!m_registered)
        return;
    auto& list = Lists<T>()[m_screenKey];
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

template <typename T> void HeldObject<T>::Reregister()
{
    if (m_registered)
        return;
    m_registered = true;
    m_screenKey = Kestrin::GetCurrentObjectDatabase();
    Lists<T>()[m_screenKey].push_back(this);
}

template class HeldObject<GameObject>;
template class HeldObject<Gremlin>;
template class HeldObject<GremlinKing>;
template class HeldObject<GremlinHome>;
template class HeldObject<Line>;
