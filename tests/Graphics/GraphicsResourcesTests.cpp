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

// "image" makes a blank image of the element's width, anything else a font.
class ArtFactory : public IResourceFactory
{
public:
    IResourceDescriptor* Create(const std::wstring& source, NameId name, XMLElement& element,
                                IXMLReader&) override
    {
        if (element.GetName() == L"image")
            return new ResourceWrapper<Image>(source, name, element, element.GetInt(L"w", 1), 1);
        return new ResourceWrapper<OneLineFont>(source, name, element);
    }
};
} // namespace

TEST(GraphicsResources, ImagesAndFontsByNameAndIdWithNullsForOtherTypes)
{
    ResourceManager* manager = ResourceManager::Instance();
    manager->RegisterFactory(L"image", new ArtFactory);
    manager->RegisterFactory(L"font", new ArtFactory);
    std::string xml = "<r><image name='Logo' w='4'/><font name='Body'/></r>";
    MemoryStream stream(L"Art", xml.data(), uint32_t(xml.size()));
    manager->Load(L"Art", &stream, nullptr);

    // The wrapped image answers as its interface and as itself, in any letter case.
    ResourcePair<IImage> logo = GetImage(MakeName("LOGO"));
    ASSERT_NE(logo.second, nullptr);
    EXPECT_EQ(logo.second->GetWidth(), 4);
    EXPECT_EQ(GetImageByName("logo"), logo);
    EXPECT_EQ(static_cast<IImage*>(GetImageObject(MakeName("Logo")).second), logo.second);
    EXPECT_EQ(GetFont("body").second->GetLineHeight(), 17);

    // A font is no image and an image no font: the descriptor without a typed object.
    EXPECT_EQ(GetImageByName("Body"), ResourcePair<IImage>(manager->Find(MakeName("Body")), nullptr));
    EXPECT_EQ(GetFontById(MakeName("Logo")).second, nullptr);
    EXPECT_EQ(GetFont("Missing").first, nullptr);
    delete manager;
}
