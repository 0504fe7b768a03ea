#pragma once
#include "Framework/Audio.h"
#include "Framework/FactoryRegistry.h"
#include "Framework/Names.h"
#include "Framework/Resource.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace Kestrin
{

class IStream;
class IXMLReader;

// Told how far a group load has come; can stop it. Called on the loading thread.
class IResourceLoadProgress
{
public:
    virtual ~IResourceLoadProgress() = default;
    // fraction: position / size of the group's stream, 0..1.
    virtual void OnProgress(float fraction) = 0;
    // True stops reading the group after the current node.
    virtual bool IsAborted() = 0;
};

// The registry of loaded resources. Groups ("<group>.xml" at location 1) are read element by
// element: an element with a non-empty "name" goes to the factory registered under the element's
// name, and the resulting descriptor is kept under the interned name. "alias" elements give an
// already loaded resource a second name. Loads of a group are counted; the unload that brings the
// count to 0 drops the group's resources.
//
// The loading thread and the main thread use the manager at once: its maps and counts are locked.
// Factories run outside the lock, so they may look resources up themselves.
class ResourceManager
{
public:
    // Created on the first call; engine shutdown destroys it (first of the singletons).
    static ResourceManager* Instance();

    // Records itself as the singleton and answers FindSoundByName while it lives; use Instance()
    // rather than constructing one.
    ResourceManager();
    // Destroys the factories in name order, then drops every resource.
    ~ResourceManager();
    ResourceManager(const ResourceManager&) = delete;
    ResourceManager& operator=(const ResourceManager&) = delete;

    // Takes ownership; an earlier factory under the same element name (compared exactly) is destroyed.
    void RegisterFactory(const std::wstring& elementName, IResourceFactory* factory);
    // Destroys the factory registered under the name, if any.
    void UnregisterFactory(const std::wstring& elementName);
    IResourceFactory* GetFactory(const std::wstring& elementName) const;

    // Loads "<group>.xml" through the file system unless the group is loaded already (then only
    // counts). A missing file changes nothing. bracketIndexing wraps the load in the file system's
    // indexing, so the file is found in any folder. Errors of the file, its factories and name
    // conflicts ("Resource name conflict.") pass out; the group then does not count as loaded.
    void LoadFile(const std::wstring& group, IResourceLoadProgress* listener, bool bracketIndexing);
    // Reads resource definitions from an open stream (not closed here) as the group's.
    void Load(const std::wstring& group, IStream* stream, IResourceLoadProgress* listener);
    // Undoes one load. Unloading a group that was never loaded leaves its count at -1, so its next
    // load reads the file but leaves the count at 0; only the account screen unloads, after loading.
    void UnloadFile(const std::wstring& group);

    // The descriptor under the name, or null. The pointer is valid while the resource stays
    // loaded; FindShared keeps it alive beyond that.
    IResourceDescriptor* Find(NameId name) const;
    std::shared_ptr<IResourceDescriptor> FindShared(NameId name) const;

    // Outstanding loads of a group; 0 for a group never loaded.
    int GetLoadCount(const std::wstring& group) const;
    size_t GetResourceCount() const;
    // Groups with a load outstanding.
    size_t GetLoadedGroupCount() const;

    // The reader's current node made into a descriptor; null when it is no start element or no
    // factory is registered for it. Factories of lists use it for their children.
    IResourceDescriptor* CreateDescriptor(IXMLReader& reader, const std::wstring& group);

private:
    using ResourcePtr = std::shared_ptr<IResourceDescriptor>;

    // Counts one more load and answers true when the group is loaded already.
    bool CountIfLoaded(const std::wstring& group);
    void AddLoad(const std::wstring& group);
    // Throws the conflict error when the name is held by a resource of another group.
    void CheckConflict(NameId id, const std::wstring& group) const;
    void StoreResource(NameId id, const std::wstring& group, ResourcePtr descriptor);
    void StoreAlias(NameId id, NameId target);

    FactoryRegistry<IResourceFactory> m_factories;
    mutable std::mutex m_mutex;
    std::map<NameId, ResourcePtr> m_resources;
    std::map<std::wstring, int> m_loadCounts;
};

// One area's resource factories registered with the manager ("RegisterValueResourceFactories",
// "RegisterGraphicsResourceFactories"...).
using ResourceFactoryRegistrar = void (*)(ResourceManager& manager);

// The registrars of the areas above the platform (UI, Scene, Game). The program adds them before
// start-up, which runs them in the order added, after the engine's own (RegisterResourceFactories
// of the platform). A registrar added twice keeps its first place.
void AddResourceFactoryRegistrar(ResourceFactoryRegistrar registrar);
const std::vector<ResourceFactoryRegistrar>& GetResourceFactoryRegistrars();
void ClearResourceFactoryRegistrars();

// A lookup's answer: the descriptor found (null when the name is not loaded) and the descriptor
// as the wanted type (null also when the resource is of another type).
template <typename T> using ResourcePair = std::pair<IResourceDescriptor*, T*>;

namespace Internal
{
inline NameId ResourceKey(NameId name)
{
    return name;
}
inline NameId ResourceKey(const char* name)
{
    return MakeName(name);
}
inline NameId ResourceKey(const std::string& name)
{
    return MakeName(name);
}
inline NameId ResourceKey(const wchar_t* name)
{
    return MakeNameFromWide(name);
}
inline NameId ResourceKey(const std::wstring& name)
{
    return MakeNameFromWString(name);
}
} // namespace Internal

// Typed lookups: never load, never throw. The key is an interned name, a narrow or a wide name.
// A typed lookup of one kind is one line over these, for example
//     inline ResourcePair<Font> GetFontById(NameId id) { return GetResource<Font>(id); }
template <typename T, typename Key> ResourcePair<T> GetResource(const Key& key)
{
    IResourceDescriptor* descriptor = ResourceManager::Instance()->Find(Internal::ResourceKey(key));
    return {descriptor, dynamic_cast<T*>(descriptor)};
}

// The value form: the value wrapper alone, null when missing or of another type.
template <typename T, typename Key> Internal::ValueWrapper<T>* GetValueResource(const Key& key)
{
    return dynamic_cast<Internal::ValueWrapper<T>*>(
        ResourceManager::Instance()->Find(Internal::ResourceKey(key)));
}

inline Internal::ValueWrapper<float>* GetFloatValue(NameId id)
{
    return GetValueResource<float>(id);
}
inline Internal::ValueWrapper<float>* GetFloatValueByName(const char* name)
{
    return GetValueResource<float>(name);
}
inline Internal::ValueWrapper<std::wstring>* GetWideStringValueById(NameId id)
{
    return GetValueResource<std::wstring>(id);
}

inline ResourcePair<ISound> GetSound(const char* name)
{
    return GetResource<ISound>(name);
}
inline ResourcePair<ISound> GetSoundById(NameId id)
{
    return GetResource<ISound>(id);
}

} // namespace Kestrin
