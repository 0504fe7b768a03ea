#include "Framework/Singletons.h"

#include <set>

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
    // Each record leaves the registry before it runs, so a singleton's destructor may touch others.
    while (!g_registry->empty())
    {
        SingletonDestructor* first = *g_registry->begin();
        g_registry->erase(g_registry->begin());
        first->DestroySingleton();
    }
    delete g_registry;
    g_registry = nullptr;
}

int SingletonDestructor::RegisteredCount()
{
    return g_registry ? int(g_registry->size()) : 0;
}

} // namespace Kestrin::Internal
