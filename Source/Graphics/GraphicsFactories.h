#pragma once
#include "Framework/ResourceManager.h"
#include "Graphics/GraphicsResources.h"

#include <string>

namespace Kestrin
{

class Font;
class IImage;
class IImageList;
class Image;
class ImageList;

// "image": "src" loaded as LoadImage does (a failed load leaves an empty 0 x 0 image), and
// "rotations" steps of rotated copies built at once when above 1.
class ImageResourceFactory : public IResourceFactory
{
public:
    IResourceDescriptor* Create(const std::wstring& source, NameId name, XMLElement& element,
                                IXMLReader& children) override;
};

// "imagelist": every child element made by the resource manager's factories; the images among
// them are kept, in document order, and owned by the list.
class ImageListResourceFactory : public IResourceFactory
{
public:
    IResourceDescriptor* Create(const std::wstring& source, NameId name, XMLElement& element,
                                IXMLReader& children) override;
};

// "filmstrip": the image "src" cut into "cols" x "rows" frames (below 1 counts as 1).
class FilmStripResourceFactory : public IResourceFactory
{
public:
    IResourceDescriptor* Create(const std::wstring& source, NameId name, XMLElement& element,
                                IXMLReader& children) override;
};

// "font": "<src>.txt" and its glyph image. Null, which the manager passes over silently, when the
// description is missing.
class FontResourceFactory : public IResourceFactory
{
public:
    IResourceDescriptor* Create(const std::wstring& source, NameId name, XMLElement& element,
                                IXMLReader& children) override;
};

// Registers the four under "image", "imagelist", "filmstrip" and "font".
void RegisterGraphicsResourceFactories(ResourceManager& manager);

// Typed lookups of image lists: null when the name is not loaded or names another kind (a film
// strip is no ImageList; GetImageListOrEmpty finds both).
ResourcePair<ImageList> GetImageList(const std::string& name);
ResourcePair<ImageList> GetImageListById(NameId id);

// For the art a screen cannot do without: a missing list or font is an empty stand-in (no frames,
// sizes 0; no glyphs, line height 0), so drawing code never meets null. Never null.
IImageList* GetImageListOrEmpty(NameId id);
Font* GetFontOrEmpty(NameId id);

} // namespace Kestrin
