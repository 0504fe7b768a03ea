#pragma once
#include "Framework/ResourceManager.h"
#include "Graphics/Font.h"
#include "Graphics/Image.h"

namespace Kestrin
{

// Typed lookups of the graphics resources; each answers {descriptor, typed object}, with nulls
// for a name that is not loaded or a resource of another type.
inline ResourcePair<IImage> GetImage(NameId id)
{
    return GetResource<IImage>(id);
}
inline ResourcePair<IImage> GetImageByName(const char* name)
{
    return GetResource<IImage>(name);
}
inline ResourcePair<Image> GetImageObject(NameId id)
{
    return GetResource<Image>(id);
}
inline ResourcePair<Font> GetFont(const char* name)
{
    return GetResource<Font>(name);
}
inline ResourcePair<Font> GetFontById(NameId id)
{
    return GetResource<Font>(id);
}

} // namespace Kestrin
