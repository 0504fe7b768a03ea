#include "Base/Stream.h"
#include "Base/XMLReader.h"
#include "Framework/ResourceManager.h"
#include "Platform/AudioPlatform.h"
#include "Platform/BassAudio.h"
#include "Platform/BassSoundResources.h"
#include "Platform/ResourceFactories.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <string>
#include <vector>

using namespace Kestrin;

namespace
{

std::vector<std::string> g_ran;

// What a registrar above the engine finds already registered when it runs.
std::string Seen(ResourceManager& manager)
{
    std::string seen;
    for (const wchar_t* kind : {L"colorf", L"image", L"sound", L"widget"})
        seen += manager.GetFactory(kind) ? "+" : "-";
    return seen;
}

class WidgetFactory : public IResourceFactory
{
public:
    IResourceDescriptor* Create(const std::wstring& source, NameId name, XMLElement& element,
                                IXMLReader&) override
    {
        return new ResourceDescriptor(source, name, element);
    }
};

void RegisterWidgets(ResourceManager& manager)
{
    g_ran.push_back("widgets " + Seen(manager));
    manager.RegisterFactory(L"widget", new WidgetFactory);
}

void RegisterScenes(ResourceManager& manager)
{
    g_ran.push_back("scenes " + Seen(manager));
}

class ResourceFactories : public ::testing::Test
{
protected:
    ~ResourceFactories() override
    {
        ClearResourceFactoryRegistrars();
        delete ResourceManager::Instance();
        g_ran.clear();
    }
};

} // namespace

TEST_F(ResourceFactories, TheEngineKindsComeFirstThenTheAddedRegistrarsInTheirOrder)
{
    AddResourceFactoryRegistrar(&RegisterWidgets);
    AddResourceFactoryRegistrar(&RegisterScenes);
    AddResourceFactoryRegistrar(&RegisterWidgets); // keeps its first place
    ResourceManager* manager = ResourceManager::Instance();
    RegisterResourceFactories(*manager);
    EXPECT_EQ(g_ran, (std::vector<std::string>{"widgets +++-", "scenes ++++"}));

    for (const wchar_t* kind :
         {L"bool",          L"int",        L"float",       L"string",      L"vector2f",   L"rectf",
          L"colorf",        L"colori",     L"boolarray",   L"intarray",    L"floatarray", L"stringarray",
          L"vector2farray", L"rectfarray", L"colorfarray", L"coloriarray", L"image",      L"imagelist",
          L"filmstrip",     L"font",       L"sound",       L"randomsound", L"soundlist",  L"widget"})
        EXPECT_NE(manager->GetFactory(kind), nullptr) << std::string(kind, kind + std::wcslen(kind));
    EXPECT_EQ(manager->GetFactory(L"randomrange"), nullptr); // the scene graph's, added by the program
}

TEST_F(ResourceFactories, SoundsLoadWithoutAnAudioDevice)
{
    ASSERT_EQ(GetAudioPlatform(), nullptr);
    ResourceManager* manager = ResourceManager::Instance();
    RegisterResourceFactories(*manager);
    const std::string group = "<resources><sound name=\"Beep\" src=\"beep\" volume=\"0.5\"/>"
                              "<soundlist name=\"Buttons\"><sound event=\"Hot\" src=\"Beep\"/></soundlist>"
                              "</resources>";
    MemoryStream stream(L"sounds", group.data(), uint32_t(group.size()));
    manager->Load(L"sounds", &stream, nullptr);
    auto* beep = dynamic_cast<BASSSound*>(manager->Find(MakeName("Beep")));
    ASSERT_NE(beep, nullptr); // it exists and plays nothing
    EXPECT_TRUE(beep->files.empty());
    EXPECT_FLOAT_EQ(beep->GetVolume(), 0.5f);
    auto* buttons = dynamic_cast<SoundList*>(manager->Find(MakeName("Buttons")));
    ASSERT_NE(buttons, nullptr);
    EXPECT_EQ(buttons->Get(L"Hot"), beep);
}
