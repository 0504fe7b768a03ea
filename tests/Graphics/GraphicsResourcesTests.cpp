#include "Graphics/GraphicsResources.h"

#include "Base/Stream.h"
#include "Base/XMLReader.h"

#include <gtest/gtest.h>

#include <string>

using namespace Kestrin;

namespace
{
class OneLineFont : public Font
{
public:
    void GetGlyph(wchar_t, Glyph& glyph) const override { glyph = Glyph(); }
    int GetLineHeight() const override { return 17; }
    int GetAdvance(wchar_t, wchar_t) const override { return 1; }
};

// "image": a blank image of the element's size; "font": a font of fixed metrics.
class ImageFactory : public IResourceFactory
{
public:
    IResourceDescriptor* Create(const std::wstring& source, NameId name, XMLElement& element, IXMLReader&) override
    {
        return new ResourceWrapper<Image>(source, name, element, element.GetInt(L"w", 1), element.GetInt(L"h", 1));
    }
};
class FontFactory : public IResourceFactory
{
public:
    IResourceDescriptor* Create(const std::wstring& source, NameId name, XMLElement& element, IXMLReader&) override
    {
        return new ResourceWrapper<OneLineFont>(source, name, element);
    }
};
} // namespace

TEST(GraphicsResources, ImagesAndFontsByNameAndIdWithNullsForOtherTypes)
{
    ResourceManager* manager = ResourceManager::Instance();
    manager->RegisterFactory(L"image", new ImageFactory);
    manager->RegisterFactory(L"font", new FontFactory);
    EXPECT_EQ(GetImage(MakeName("Logo")).first, nullptr);

    std::string xml = "<r><image name='Logo' w='4' h='3'/><font name='Body'/></r>";
    MemoryStream stream(L"Art", xml.data(), uint32_t(xml.size()));
    manager->Load(L"Art", &stream, nullptr);

    // The wrapped image answers as its interface and as itself, in any letter case.
    ResourcePair<IImage> logo = GetImage(MakeName("LOGO"));
    ASSERT_NE(logo.second, nullptr);
    EXPECT_EQ(logo.second->GetWidth(), 4);
    EXPECT_EQ(GetImageByName("logo").second, logo.second);
    ResourcePair<Image> object = GetImageObject(MakeName("Logo"));
    ASSERT_NE(object.second, nullptr);
    EXPECT_EQ(static_cast<IImage*>(object.second), logo.second);
    EXPECT_EQ(object.first, logo.first);

    ASSERT_NE(GetFont("body").second, nullptr);
    EXPECT_EQ(GetFontById(MakeName("Body")).second->GetLineHeight(), 17);

    // A font is no image and an image no font: the descriptor without a typed object.
    ResourcePair<IImage> notImage = GetImageByName("Body");
    EXPECT_NE(notImage.first, nullptr);
    EXPECT_EQ(notImage.second, nullptr);
    EXPECT_EQ(GetFontById(MakeName("Logo")).second, nullptr);
    EXPECT_EQ(GetFont("Missing").first, nullptr);
    delete manager;
}
