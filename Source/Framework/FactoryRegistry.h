#pragma once
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace Kestrin
{

// Factories owned by the element name they make (compared exactly). Registering under a name
// destroys the factory held there before. The main thread registers while the loading thread
// finds, so every operation is locked; factories are destroyed outside the lock, so a factory's
// destructor may use the registry. A found factory stays valid until its name is registered again,
// removed or cleared.
template <typename Factory, typename Key = std::wstring> class FactoryRegistry
{
public:
    FactoryRegistry() = default;
    ~FactoryRegistry() { Clear(); }
    FactoryRegistry(const FactoryRegistry&) = delete;
    FactoryRegistry& operator=(const FactoryRegistry&) = delete;

    // Takes ownership. Null removes the name; the factory held already stays as it is.
    void Register(const Key& name, Factory* factory)
    {
        std::unique_ptr<Factory> old;
        {
            std::lock_guard lock(m_mutex);
            auto it = m_factories.find(name);
            if (it != m_factories.end() && it->second.get() == factory)
                return;
            if (it != m_factories.end())
                old = std::move(it->second);
            if (factory)
                m_factories[name].reset(factory);
            else if (it != m_factories.end())
                m_factories.erase(it);
        }
    }

    void Unregister(const Key& name) { Register(name, nullptr); }

    Factory* Find(const Key& name) const
    {
        std::lock_guard lock(m_mutex);
        auto it = m_factories.find(name);
        return it == m_factories.end() ? nullptr : it->second.get();
    }

    size_t Size() const
    {
        std::lock_guard lock(m_mutex);
        return m_factories.size();
    }

    // Destroys every factory, in name order.
    void Clear()
    {
        std::map<Key, std::unique_ptr<Factory>> factories;
        {
            std::lock_guard lock(m_mutex);
            factories.swap(m_factories);
        }
        for (auto& [name, factory] : factories)
            factory.reset();
    }

private:
    mutable std::mutex m_mutex;
    std::map<Key, std::unique_ptr<Factory>> m_factories;
};

} // namespace Kestrin
