#include "Scene/SpriteType.h"

#include "Base/Log.h"
#include "Base/Strings.h"
#include "Base/Text.h"
#include "Base/XMLReader.h"
#include "Framework/ObjectDatabase.h"
#include "Graphics/AnimationController.h"
#include "Graphics/ImageList.h"

#include <boost/lexical_cast.hpp>

#include <stdexcept>

using namespace Kestrin;

void SpriteType::SetName(NameId name)
{
    m_name = name;
    // Never on the first naming: that happens on the loading thread, which must leave the
    // databases alone.
    if (m_sharedControllerName)
        if (ObjectDatabase* database = GetCurrentObjectDatabase())
            if (auto* old = dynamic_cast<AnimationController*>(database->FindObject(m_sharedControllerName)))
                database->RemoveObject(old->GetHandle());
    m_sharedControllerName = MakeSharedAnimationControllerName(name ? name.c_str() : "");
}

void SpriteType::SetImageList(std::shared_ptr<IResourceDescriptor> resource)
{
    m_imageList = dynamic_cast<IImageList*>(resource.get());
    m_imageListResource = m_imageList ? std::move(resource) : nullptr;
}

void SpriteType::SetImageList(IImageList* list)
{
    m_imageList = list;
    m_imageListResource = nullptr;
}

void SpriteType::AddAnimation(const SpriteAnimation& animation)
{
    const int count = m_imageList ? m_imageList->Count() : 0;
    for (const SpriteAnimationFrame& frame : animation.frames)
        if (frame.index < 0 || frame.index >= count)
            throw std::runtime_error(std::string("Animation \"") + (m_name ? m_name.c_str() : "") + ":" +
                                     (animation.name ? animation.name.c_str() : "") +
                                     "\" has a frame out of range (maybe you forgot to set the ImageList "
                                     "for this SpriteType?)");
    SpriteAnimation& stored = m_animations[animation.name] = animation;
    // Links point into this type's own map, once every animation is in.
    stored.linkedAnimation = nullptr;
}

void SpriteType::ResolveLinks()
{
    ResolveSpriteAnimationLinks(m_animations);
}

const SpriteAnimation* SpriteType::FindAnimation(NameId name) const
{
    auto it = m_animations.find(name);
    return it == m_animations.end() ? nullptr : &it->second;
}

AnimationController* SpriteType::GetSharedAnimationController(ObjectDatabase* database)
{
    if (!database)
        database = GetCurrentObjectDatabase();
    if (!database)
        return nullptr;
    // A type never named still shares one controller, not one per request.
    const NameId name =
        m_sharedControllerName ? m_sharedControllerName : MakeSharedAnimationControllerName("");
    if (auto* found = dynamic_cast<AnimationController*>(database->FindObject(name)))
        return found;
    auto* controller = new AnimationController(name);
    database->AddObject(controller);
    return controller;
}

namespace
{

// Calls add with each "animation" element under the reader (not those nested in an animation).
// The reader's first Next answers the resource's own element.
template <typename Add> void ReadAnimations(IXMLReader& reader, Add add)
{
    do
    {
        XMLElement* node = reader.Next();
        if (!node)
            break;
        if (!node->IsStart() || node->GetName() != L"animation")
            continue;
        XMLElementReader element(reader);
        SpriteAnimation record;
        try
        {
            ReadSpriteAnimation(element, *node, record);
        }
        catch (const boost::bad_lexical_cast&)
        {
            // A frame index beyond int: reported like the parser's own errors.
            throw AnimationParseError("a frame index is too large", NarrowString(node->GetString(L"name")));
        }
        while (!element.IsAtEnd())
            element.Next();
        add(record);
    } while (!reader.IsAtEnd());
}

void LogReadError(const char* kind, NameId name, const std::wstring& source, const char* what)
{
    LogPrintf("%s \"%s\" in %s.xml: %s\n", kind, name ? name.c_str() : "", ToUtf8(source).c_str(), what);
}

} // namespace

IResourceDescriptor* SpriteAnimationListResourceFactory::Create(const std::wstring& source, NameId name,
                                                                XMLElement& element, IXMLReader& children)
{
    auto wrapper = std::make_unique<ResourceWrapper<SpriteAnimationList>>(source, name, element);
    try
    {
        ReadAnimations(children,
                       [&](const SpriteAnimation& record) { wrapper->animations[record.name] = record; });
    }
    catch (AnimationParseError& error)
    {
        error.SetAnimationListName(name ? name.c_str() : "");
        error.FormatMessage();
        LogReadError("Sprite animation list", name, source, error.what());
        throw;
    }
    return wrapper.release();
}

IResourceDescriptor* SpriteTypeResourceFactory::Create(const std::wstring& source, NameId name,
                                                       XMLElement& element, IXMLReader& children)
{
    auto wrapper = std::make_unique<ResourceWrapper<SpriteType>>(source, name, element);
    SpriteType& type = *wrapper;
    try
    {
        if (element.HasAttribute(L"images"))
            type.SetImageList(
                ResourceManager::Instance()->FindShared(MakeNameFromWString(element.GetString(L"images"))));
        type.SetName(MakeNameFromWString(element.GetString(L"name")));
        if (element.HasAttribute(L"animationList"))
        {
            // Held while copying: the main thread may unload its group meanwhile.
            std::shared_ptr<IResourceDescriptor> resource = ResourceManager::Instance()->FindShared(
                MakeNameFromWString(element.GetString(L"animationList")));
            if (const auto* list = dynamic_cast<const SpriteAnimationList*>(resource.get()))
                for (const auto& [id, record] : list->animations)
                    type.AddAnimation(record);
        }
        ReadAnimations(children, [&](const SpriteAnimation& record) { type.AddAnimation(record); });
        type.ResolveLinks();
    }
    catch (AnimationParseError& error)
    {
        error.SetSpriteTypeName(type.GetName() ? type.GetName().c_str() : "");
        error.FormatMessage();
        LogReadError("Sprite type", name, source, error.what());
        throw;
    }
    catch (const std::exception& error)
    {
        LogReadError("Sprite type", name, source, error.what());
        throw;
    }
    return wrapper.release();
}
