#pragma once
#include "Framework/Names.h"
#include "Framework/Resource.h"
#include "Framework/ResourceManager.h"
#include "Graphics/SpriteAnimation.h"

#include <memory>
#include <string>

namespace Kestrin
{
class IImageList;
class ObjectDatabase;
} // namespace Kestrin

class AnimationController;

// Named animations written once and copied into the sprite types that name them
// ("spriteanimationlist").
class SpriteAnimationList
{
public:
    SpriteAnimationMap animations;
};

// An image list and the animations played over it by name ("spritetype"). Read on the loading
// thread, so building one never touches an object database; immutable once loaded, apart from
// renaming.
class SpriteType
{
public:
    SpriteType() = default;
    virtual ~SpriteType() = default;
    SpriteType(const SpriteType&) = delete;
    SpriteType& operator=(const SpriteType&) = delete;

    Kestrin::NameId GetName() const { return m_name; }
    // The object name of the controller that nodes of this type may share: the name followed by
    // "SharedAnimationController".
    Kestrin::NameId GetSharedControllerName() const { return m_sharedControllerName; }
    // A renamed type leaves the controller of its old name behind: a live one is removed from the
    // current database.
    void SetName(Kestrin::NameId name);

    // Null when the type has none. Frames index this list.
    Kestrin::IImageList* GetImageList() const { return m_imageList; }
    // Keeps the list's resource alive as long as the type.
    void SetImageList(std::shared_ptr<Kestrin::IResourceDescriptor> resource);
    void SetImageList(Kestrin::IImageList* list);

    // Stores a copy under its name, replacing an earlier one of that name. Throws
    // std::runtime_error when a frame lies outside the image list (or there is no list).
    void AddAnimation(const SpriteAnimation& animation);
    // Points every animation's link at this type's animation of the linked name, or at none.
    void ResolveLinks();

    const SpriteAnimation* FindAnimation(Kestrin::NameId name) const;
    const SpriteAnimationMap& GetAnimations() const { return m_animations; }

    // The live controller of the shared name in the database (the current one when null), made
    // and added when there is none; null without any database.
    AnimationController* GetSharedAnimationController(Kestrin::ObjectDatabase* database = nullptr);

private:
    Kestrin::NameId m_name;
    Kestrin::NameId m_sharedControllerName;
    Kestrin::IImageList* m_imageList = nullptr;
    std::shared_ptr<Kestrin::IResourceDescriptor> m_imageListResource;
    SpriteAnimationMap m_animations;
};

// "spriteanimationlist": its "animation" children by name.
class SpriteAnimationListResourceFactory : public Kestrin::IResourceFactory
{
public:
    Kestrin::IResourceDescriptor* Create(const std::wstring& source, Kestrin::NameId name,
                                         Kestrin::XMLElement& element,
                                         Kestrin::IXMLReader& children) override;
};

// "spritetype": "images" (a loaded image list), "name", "animationList" (a loaded animation list,
// copied in first), then its own "animation" children. Errors name the type (and the animation)
// and are logged with the group file.
class SpriteTypeResourceFactory : public Kestrin::IResourceFactory
{
public:
    Kestrin::IResourceDescriptor* Create(const std::wstring& source, Kestrin::NameId name,
                                         Kestrin::XMLElement& element,
                                         Kestrin::IXMLReader& children) override;
};

// Typed lookups: {descriptor, object}, both null when the name is not loaded, the object null when
// the resource is of another kind.
inline Kestrin::ResourcePair<SpriteType> GetSpriteTypeById(Kestrin::NameId id)
{
    return Kestrin::GetResource<SpriteType>(id);
}
inline Kestrin::ResourcePair<SpriteType> GetSpriteType(const std::wstring& name)
{
    return Kestrin::GetResource<SpriteType>(name);
}
inline Kestrin::ResourcePair<SpriteType> GetSpriteType(const char* name)
{
    return Kestrin::GetResource<SpriteType>(name);
}
inline Kestrin::ResourcePair<SpriteAnimationList> GetSpriteAnimationListById(Kestrin::NameId id)
{
    return Kestrin::GetResource<SpriteAnimationList>(id);
}
