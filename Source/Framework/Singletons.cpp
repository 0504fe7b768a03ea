#include "Framework/Singletons.h"

#include <set>
#include <vector>

namespace Kestrin::Internal
{

namespace
{
struct ByOrder
{
    bool operator()(const SingletonDestructor* a, const SingletonDestructor* b) const
    {
        if (a->Order() != b->Order())
            return a->Order() < b->Order();
        return a < b;
    }
};

using Registry = std::set<SingletonDestructor*, ByOrder>;
Registry* g_registry = nullptr;
} // namespace

SingletonDestructor::SingletonDestructor(SingletonOrder order) : m_order(order)
{
    if (!g_registry)
        g_registry = new Registry;
    g_registry->insert(this);
}

SingletonDestructor::~SingletonDestructor()
{
    if (g_registry)
    {
        g_registry->erase(this);
        if (g_registry->empty())
        {
            delete g_registry;
            g_registry = nullptr;
        }
    }
}

void SingletonDestructor::DestroyAll()
{
    if (!g_registry)
        return;
    // The guards stay registered, so an engine started again in the same process is shut down as
    // fully as the first one. A copy of the list, since a singleton's destructor may touch others.
    const std::vector<SingletonDestructor*> guards(g_registry->begin(), g_registry->end());
    for (SingletonDestructor* guard : guards)
        if (g_registry && g_registry->count(guard))
            guard->DestroySingleton();
}

int SingletonDestructor::RegisteredCount()
{
    return g_registry ? int(g_registry->size()) : 0;
}

} // namespace Kestrin::Internal
