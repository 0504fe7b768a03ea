#include "Framework/ResourceManager.h"

#include "Base/Exceptions.h"
#include "Base/FileSpec.h"
#include "Base/Log.h"
#include "Base/Profile.h"
#include "Base/Stream.h"
#include "Base/Text.h"
#include "Base/XMLReader.h"
#include "Framework/FileSystem.h"
#include "Framework/Singletons.h"

#include <algorithm>
#include <atomic>
#include <vector>

namespace Kestrin
{

namespace
{
// Recursive: Instance() constructs under it and the constructor registers under it too.
std::recursive_mutex g_instanceMutex;
std::atomic<ResourceManager*> g_instance{nullptr};

const wchar_t* const AliasElement = L"alias";

FileSpec GroupFileSpec(const std::wstring& group)
{
    return FileSpec::FromNameAndExtension(group, L".xml");
}
} // namespace

// Destroys the manager first at shutdown, while images and sounds can still be released.
class ResourceManagerSingletonDestructor : public Internal::SingletonDestructor
{
public:
    ResourceManagerSingletonDestructor() : SingletonDestructor(SingletonOrder::ResourceManager) {}
    void DestroySingleton() override
    {
        ResourceManager* manager = nullptr;
        {
            std::lock_guard lock(g_instanceMutex);
            manager = g_instance.exchange(nullptr);
        }
        delete manager;
    }
};

namespace
{
ResourceManagerSingletonDestructor g_guard;
}

namespace
{
// Main thread only: the program fills it before start-up.
std::vector<ResourceFactoryRegistrar>& Registrars()
{
    static std::vector<ResourceFactoryRegistrar> registrars;
    return registrars;
}
} // namespace

void AddResourceFactoryRegistrar(ResourceFactoryRegistrar registrar)
{
    std::vector<ResourceFactoryRegistrar>& registrars = Registrars();
    if (registrar && std::find(registrars.begin(), registrars.end(), registrar) == registrars.end())
        registrars.push_back(registrar);
}

const std::vector<ResourceFactoryRegistrar>& GetResourceFactoryRegistrars()
{
    return Registrars();
}

void ClearResourceFactoryRegistrars()
{
    Registrars().clear();
}

ResourceManager* ResourceManager::Instance()
{
    if (ResourceManager* manager = g_instance.load(std::memory_order_acquire))
        return manager;
    std::lock_guard lock(g_instanceMutex);
    if (!g_instance.load())
        new ResourceManager; // records itself
    return g_instance.load();
}

ResourceManager::ResourceManager()
{
    std::lock_guard lock(g_instanceMutex);
    g_instance.store(this, std::memory_order_release);
    // Sounds named by tasks and scenes are sound resources.
    SetSoundFinder([](NameId name) { return GetSoundById(name).second; });
}

ResourceManager::~ResourceManager()
{
    m_factories.Clear();
    std::map<NameId, ResourcePtr> resources;
    {
        std::lock_guard lock(m_mutex);
        resources.swap(m_resources);
    }
    resources.clear();
    std::lock_guard lock(g_instanceMutex);
    ResourceManager* self = this;
    g_instance.compare_exchange_strong(self, nullptr);
    // After shutdown a sound lookup finds nothing rather than making a new manager.
    if (!g_instance.load())
        SetSoundFinder(nullptr);
}

void ResourceManager::RegisterFactory(const std::wstring& elementName, IResourceFactory* factory)
{
    m_factories.Register(elementName, factory);
}

void ResourceManager::UnregisterFactory(const std::wstring& elementName)
{
    m_factories.Unregister(elementName);
}

IResourceFactory* ResourceManager::GetFactory(const std::wstring& elementName) const
{
    return m_factories.Find(elementName);
}

IResourceDescriptor* ResourceManager::Find(NameId name) const
{
    std::lock_guard lock(m_mutex);
    auto it = m_resources.find(name);
    return it == m_resources.end() ? nullptr : it->second.get();
}

std::shared_ptr<IResourceDescriptor> ResourceManager::FindShared(NameId name) const
{
    std::lock_guard lock(m_mutex);
    auto it = m_resources.find(name);
    return it == m_resources.end() ? nullptr : it->second;
}

int ResourceManager::GetLoadCount(const std::wstring& group) const
{
    std::lock_guard lock(m_mutex);
    auto it = m_loadCounts.find(group);
    return it == m_loadCounts.end() ? 0 : it->second;
}

size_t ResourceManager::GetResourceCount() const
{
    std::lock_guard lock(m_mutex);
    return m_resources.size();
}

size_t ResourceManager::GetLoadedGroupCount() const
{
    std::lock_guard lock(m_mutex);
    return size_t(
        std::count_if(m_loadCounts.begin(), m_loadCounts.end(), [](const auto& c) { return c.second > 0; }));
}

bool ResourceManager::CountIfLoaded(const std::wstring& group)
{
    std::lock_guard lock(m_mutex);
    auto it = m_loadCounts.find(group);
    if (it == m_loadCounts.end() || it->second <= 0)
        return false;
    ++it->second;
    return true;
}

void ResourceManager::AddLoad(const std::wstring& group)
{
    std::lock_guard lock(m_mutex);
    ++m_loadCounts[group];
}

void ResourceManager::LoadFile(const std::wstring& group, IResourceLoadProgress* listener,
                               bool bracketIndexing)
{
    if (CountIfLoaded(group))
        return;
    IFileSystem* fileSystem = GetFileSystem();
    if (!fileSystem)
        return;

    struct IndexingBracket
    {
        IFileSystem* fileSystem;
        bool begun;
        ~IndexingBracket()
        {
            if (begun)
                fileSystem->EndIndexing();
        }
    } bracket{fileSystem, bracketIndexing};
    if (bracketIndexing)
        fileSystem->BeginIndexing();

    FileSpec fileSpec = GroupFileSpec(group);
    if (!fileSystem->Exists(fileSpec))
        return;
    // The stream closes (and the bracket ends) also when Load throws.
    FileStreamPtr stream(fileSystem->Open(fileSpec, IFileSystem::AccessRead, IFileSystem::OpenExisting),
                         FileSystemCloser{fileSystem});
    if (!stream)
    {
        // Reading nothing would count the group as loaded for good; leave it unloaded instead.
        LogPrintf("Unable to open resource file: %s.xml\n", ToUtf8(group).c_str());
        return;
    }
    Load(group, stream.get(), listener);
}

void ResourceManager::CheckConflict(NameId id, const std::wstring& group) const
{
    std::lock_guard lock(m_mutex);
    auto it = m_resources.find(id);
    if (it != m_resources.end() && it->second->GetSource() != group)
        throw engine_error(KESTRIN_HERE, "Resource name conflict.");
}

void ResourceManager::StoreResource(NameId id, const std::wstring& group, ResourcePtr descriptor)
{
    ResourcePtr old;
    {
        std::lock_guard lock(m_mutex);
        ResourcePtr& slot = m_resources[id];
        // Tested again: another thread may have taken the name while the factory ran.
        if (slot && slot->GetSource() != group)
            throw engine_error(KESTRIN_HERE, "Resource name conflict.");
        old = std::move(slot);
        slot = std::move(descriptor);
    }
    // The replaced resource goes outside the lock, in case its destructor looks anything up.
}

void ResourceManager::StoreAlias(NameId id, NameId target)
{
    ResourcePtr old;
    std::lock_guard lock(m_mutex);
    auto it = m_resources.find(target);
    if (it == m_resources.end())
        return; // the target must be loaded before its alias
    ResourcePtr shared = it->second;
    ResourcePtr& slot = m_resources[id];
    old = std::move(slot);
    slot = std::move(shared);
    // old is declared before the lock, so it is released after the lock is.
}

IResourceDescriptor* ResourceManager::CreateDescriptor(IXMLReader& reader, const std::wstring& group)
{
    XMLElement* element = reader.GetCurrent();
    if (!element || !element->IsStart())
        return nullptr;
    std::wstring name = element->GetString(L"name");
    NameId id = name.empty() ? NameId() : MakeNameFromWString(name);
    IResourceFactory* factory = GetFactory(element->GetName());
    if (!factory)
        return nullptr;
    XMLElementReader children(reader);
    return factory->Create(group, id, *element, children);
}

void ResourceManager::Load(const std::wstring& group, IStream* stream, IResourceLoadProgress* listener)
{
    if (CountIfLoaded(group))
        return;
    LogPrintf("Loading resource file: %s\n", ToUtf8(group).c_str());
    static ProfileSample sample("ResourceManager::Load");
    ProfileTimer timer(sample);

    XMLReader reader(stream);
    while (!reader.IsAtEnd())
    {
        XMLElement* node = reader.Next();
        if (!node)
            break;
        if (node->IsStart())
        {
            std::wstring name = node->GetString(L"name");
            if (name.empty())
                continue; // the root and grouping elements
            NameId id = MakeNameFromWString(name);
            if (node->GetName() == AliasElement)
            {
                StoreAlias(id, MakeNameFromWString(node->GetString(L"src")));
            }
            else
            {
                // A name of another group throws before anything is made; one of this group is
                // replaced only once its successor exists, so a failing factory keeps the old one.
                CheckConflict(id, group);
                std::unique_ptr<IResourceDescriptor> created(CreateDescriptor(reader, group));
                if (!created)
                    continue;
                StoreResource(id, group, ResourcePtr(created.release()));
            }
        }
        if (listener)
        {
            uint32_t size = stream->GetSize();
            uint32_t position = stream->Tell();
            listener->OnProgress(size ? float(position) / float(size) : 0.0f);
            if (listener->IsAborted())
                break;
        }
    }
    AddLoad(group);
}

void ResourceManager::UnloadFile(const std::wstring& group)
{
    {
        std::lock_guard lock(m_mutex);
        if (--m_loadCounts[group] > 0)
            return;
    }
    LogPrintf("Unloading resource file: %s\n", ToUtf8(group).c_str());
    if (IFileSystem* fileSystem = GetFileSystem())
    {
        FileSpec fileSpec = GroupFileSpec(group);
        if (!fileSystem->Exists(fileSpec))
            return;
    }
    std::vector<ResourcePtr> dropped;
    {
        std::lock_guard lock(m_mutex);
        for (auto it = m_resources.begin(); it != m_resources.end();)
        {
            if (it->second->GetSource() == group)
            {
                dropped.push_back(std::move(it->second));
                it = m_resources.erase(it);
            }
            else
            {
                ++it;
            }
        }
    }
    // Released here, outside the lock, in map order.
    for (ResourcePtr& descriptor : dropped)
        descriptor.reset();
}

} // namespace Kestrin
