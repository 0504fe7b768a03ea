#include "Graphics/GraphicsFactories.h"

#include "Base/Strings.h"
#include "Base/XMLReader.h"
#include "Graphics/Font.h"
#include "Graphics/Image.h"
#include "Graphics/ImageList.h"
#include "Graphics/ImageLoader.h"

#include <algorithm>
#include <memory>

namespace Kestrin
{

namespace
{
// More steps than this only cost memory: a step below a third of a degree shows no difference.
constexpr int kMostRotations = 1024;
} // namespace

IResourceDescriptor* ImageResourceFactory::Create(const std::wstring& source, NameId name,
                                                  XMLElement& element, IXMLReader&)
{
    auto image = std::make_unique<ResourceWrapper<Image>>(source, name, element);
    if (!LoadImage(element.GetString(L"src"), *image))
    {
        image->hasAlpha = false;
        image->hasOneBitAlpha = false;
    }
    const int rotations = element.GetInt(L"rotations", 0);
    if (rotations > 1)
        BuildRotationCache(*image, std::min(rotations, kMostRotations));
    return image.release();
}

IResourceDescriptor* ImageListResourceFactory::Create(const std::wstring& source, NameId name,
                                                      XMLElement& element, IXMLReader& children)
{
    auto list = std::make_unique<ResourceWrapper<ImageList>>(source, name, element);
    ResourceManager* manager = ResourceManager::Instance();
    children.Next(); // the list's own start node
    while (!children.IsAtEnd())
    {
        XMLElement* node = children.Next();
        if (!node || !node->IsStart())
            continue;
        std::unique_ptr<IResourceDescriptor> child(manager->CreateDescriptor(children, source));
        // The list owns the whole child resource; anything but an image goes at once.
        if (IImage* image = dynamic_cast<IImage*>(child.get()))
        {
            list->AddOwnedImage(image);
            child.release();
        }
    }
    return list.release();
}

IResourceDescriptor* FilmStripResourceFactory::Create(const std::wstring& source, NameId name,
                                                      XMLElement& element, IXMLReader&)
{
    auto image = std::make_unique<Image>();
    if (!LoadImage(element.GetString(L"src"), *image))
        image.reset();
    return new ResourceWrapper<FilmStrip>(source, name, element, std::move(image), element.GetInt(L"cols", 0),
                                          element.GetInt(L"rows", 0));
}

IResourceDescriptor* FontResourceFactory::Create(const std::wstring& source, NameId name, XMLElement& element,
                                                 IXMLReader&)
{
    const std::wstring src = element.GetString(L"src");
    std::unique_ptr<ImageFont> font = LoadImageFont(src, name ? WidenString(name.c_str()) : src);
    if (!font)
        return nullptr;
    return new ResourceWrapper<ImageFont>(source, name, element, std::move(*font));
}

void RegisterGraphicsResourceFactories(ResourceManager& manager)
{
    manager.RegisterFactory(L"image", new ImageResourceFactory);
    manager.RegisterFactory(L"imagelist", new ImageListResourceFactory);
    manager.RegisterFactory(L"filmstrip", new FilmStripResourceFactory);
    manager.RegisterFactory(L"font", new FontResourceFactory);
}

ResourcePair<ImageList> GetImageList(const std::string& name)
{
    return GetResource<ImageList>(name);
}

ResourcePair<ImageList> GetImageListById(NameId id)
{
    return GetResource<ImageList>(id);
}

IImageList* GetImageListOrEmpty(NameId id)
{
    static ImageList empty;
    IImageList* list = GetResource<IImageList>(id).second;
    return list ? list : &empty;
}

Font* GetFontOrEmpty(NameId id)
{
    static ImageFont empty;
    Font* font = GetResource<Font>(id).second;
    return font ? font : &empty;
}

} // namespace Kestrin
