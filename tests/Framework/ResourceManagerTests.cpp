#include "Framework/ResourceManager.h"

#include "Base/Exceptions.h"
#include "Base/XMLReader.h"
#include "Framework/Singletons.h"
#include "Framework/ValueResources.h"

#include "Support/ChunkedStream.h"
#include "Support/ResourceTestSupport.h"
#include "harness/LogCapture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

using namespace Kestrin;
using KestrinTest::LogCapture;

namespace
{
// A resource with a class of its own, as images and sounds are; counts its live copies.
struct Thing
{
    explicit Thing(int v) : value(v) { ++alive; }
    ~Thing() { --alive; }
    int value;
    static inline int alive = 0;
};

// "thing": a Thing from "v"; "fail" makes it throw, as a factory rejecting its element does.
class ThingFactory : public IResourceFactory
{
public:
    IResourceDescriptor* Create(const std::wstring& source, NameId name, XMLElement& element,
                                IXMLReader& children) override
    {
        sources.push_back(source);
        firstIsElement = children.Next() == &element;
        if (element.HasAttribute(L"fail"))
            throw std::runtime_error("bad thing");
        return new ResourceWrapper<Thing>(source, name, element, element.GetInt(L"v", 0));
    }
    std::vector<std::wstring> sources;
    bool firstIsElement = false;
};

// "box": reads its whole subtree itself and counts the elements inside.
struct BoxFactory : IResourceFactory
{
    IResourceDescriptor* Create(const std::wstring& source, NameId name, XMLElement& element,
                                IXMLReader& children) override
    {
        children.Next(); // the box itself
        int items = 0;
        while (!children.IsAtEnd())
            if (XMLElement* node = children.Next(); node && node->IsStart())
                ++items;
        return new Internal::ValueWrapper<int>(source, name, element, items);
    }
};

// Notes its destruction.
struct NoteFactory : IResourceFactory
{
    NoteFactory(std::string n, std::vector<std::string>& log_) : name(std::move(n)), log(log_) {}
    ~NoteFactory() override { log.push_back(name); }
    IResourceDescriptor* Create(const std::wstring&, NameId, XMLElement&, IXMLReader&) override
    {
        return nullptr;
    }
    std::string name;
    std::vector<std::string>& log;
};

// Records what a load reports; answers "stop" once it has seen stopAfter reports (0: never).
struct RecordingProgress : IResourceLoadProgress
{
    explicit RecordingProgress(size_t stopAfter_ = 0) : stopAfter(stopAfter_) {}
    void OnProgress(float fraction) override { fractions.push_back(fraction); }
    bool IsAborted() override { return stopAfter != 0 && fractions.size() >= stopAfter; }
    size_t stopAfter;
    std::vector<float> fractions;
};

class ResourceManagerTest : public KestrinTest::ResourceTest
{
protected:
    ResourceManagerTest()
    {
        manager->RegisterFactory(L"thing", things);
        manager->RegisterFactory(L"box", new BoxFactory);
    }

    int ValueOf(const char* name)
    {
        Thing* thing = GetResource<Thing>(name).second;
        return thing ? thing->value : -1;
    }
    bool Has(const char* name) { return manager->Find(MakeName(name)) != nullptr; }

    ThingFactory* things = new ThingFactory;
};
} // namespace

TEST_F(ResourceManagerTest, RepeatedLoadsOnlyCountAndTheLastUnloadDropsTheGroupIfItsFileIsThere)
{
    AddGroup(L"Menu", R"(<?xml version="1.0"?><r><thing name="Play" v="1"/><thing name="Quit" v="2"/></r>)");
    LogCapture log;
    manager->LoadFile(L"Menu", nullptr, true);
    manager->LoadFile(L"Menu", nullptr, false);
    EXPECT_EQ(fs.depthAtOpen, std::vector<int>{1});
    EXPECT_EQ(fs.closes, 1);
    EXPECT_EQ(manager->GetLoadCount(L"Menu"), 2);

    manager->UnloadFile(L"Menu");
    EXPECT_EQ(ValueOf("Quit"), 2);
    EXPECT_EQ(log.Text(), "Loading resource file: Menu\n");

    manager->UnloadFile(L"Menu");
    EXPECT_FALSE(Has("Play"));
    EXPECT_EQ(Thing::alive, 0);
    EXPECT_EQ(log.Text(), "Loading resource file: Menu\nUnloading resource file: Menu\n");

    // Read afresh after the drop; without the bracket this time.
    manager->LoadFile(L"Menu", nullptr, false);
    EXPECT_EQ(fs.depthAtOpen, (std::vector<int>{1, 0}));
    EXPECT_EQ(ValueOf("Quit"), 2);

    // An unload before any load counts below zero; one whose file has gone keeps the group.
    AddGroup(L"Account", "<r><thing name='Card'/></r>");
    manager->UnloadFile(L"Account");
    manager->LoadFile(L"Account", nullptr, true);
    EXPECT_EQ(manager->GetLoadCount(L"Account"), 0);
    EXPECT_TRUE(Has("Card"));
    fs.files.clear();
    manager->UnloadFile(L"Menu");
    EXPECT_EQ(ValueOf("Quit"), 2);
}

TEST_F(ResourceManagerTest, WhatIsReadAsAResourceAndWhatTheFactoryIsGiven)
{
    AddGroup(L"Screens", R"(<r name="">
        <group><thing name="Button" v="1" extra="shiny"/></group>
        <unknown name="Panel"><thing name="Inner" v="7"/></unknown>
        <thing v="99"/>
        <box name="Crate"><thing name="Hidden"/><a><b/></a></box>
        <thing name="button" v="2" extra="dull"/>
    </r>)");
    manager->LoadFile(L"Screens", nullptr, true);

    // Later definition wins, in any letter case; children of an unknown kind are read.
    EXPECT_EQ(ValueOf("BUTTON"), 2);
    EXPECT_EQ(ValueOf("Inner"), 7);
    EXPECT_FALSE(Has("Panel"));
    // What a factory reads of its children the manager never sees.
    EXPECT_FALSE(Has("Hidden"));
    EXPECT_EQ(GetValueResource<int>("Crate")->value, 3);
    EXPECT_EQ(manager->GetResourceCount(), 3u);
    EXPECT_EQ(Thing::alive, 2);

    EXPECT_EQ(things->sources, std::vector<std::wstring>(3, L"Screens")); // the nameless one never made
    EXPECT_TRUE(things->firstIsElement);
    IResourceDescriptor* button = manager->Find(MakeName("Button"));
    EXPECT_EQ(button->GetSource(), L"Screens");
    EXPECT_EQ(button->GetName(), MakeName("button"));
    auto* attributes = dynamic_cast<ResourceDescriptor*>(button);
    ASSERT_NE(attributes, nullptr);
    EXPECT_EQ(attributes->GetString(L"name"), L"button");
    EXPECT_EQ(attributes->GetString(L"extra"), L"dull");
}

TEST_F(ResourceManagerTest, NameOfAnotherGroupThrowsAndTheGroupStaysUnloaded)
{
    AddGroup(L"First", R"(<r><thing name="Shared" v="1"/></r>)");
    AddGroup(L"Second",
             R"(<r><thing name="Before" v="5"/><thing name="SHARED" v="2"/><thing name="After"/></r>)");
    AddGroup(L"Third", R"(<r><mystery name="shared"/></r>)"); // no factory, still tested
    manager->LoadFile(L"First", nullptr, true);

    for (int attempt = 0; attempt < 2; ++attempt)
    {
        EXPECT_THAT([&] { manager->LoadFile(L"Second", nullptr, true); },
                    testing::ThrowsMessage<engine_error>(testing::StrEq("Resource name conflict.")));
        EXPECT_EQ(manager->GetLoadCount(L"Second"), 0);
    }
    EXPECT_EQ(fs.depthAtOpen.size(), 3u); // read again each time
    EXPECT_EQ(fs.closes, 3);
    EXPECT_EQ(ValueOf("Shared"), 1);
    EXPECT_EQ(ValueOf("Before"), 5);
    EXPECT_FALSE(Has("After"));
    EXPECT_THROW(manager->LoadFile(L"Third", nullptr, true), engine_error);
}

TEST_F(ResourceManagerTest, FailuresKeepTheOldResourceCloseTheFileEndTheBracketAndLeaveTheGroupUnloaded)
{
    // A failing factory or an element of no known kind under a name this group already holds
    // leaves the earlier resource in place.
    AddGroup(L"G", R"(<r><thing name="Kept" v="1"/><mystery name="Kept"/><thing name="Kept" fail="1"/></r>)");
    AddGroup(L"Broken", "<r><thing name='a'/><unclosed></r>");
    EXPECT_THROW(manager->LoadFile(L"G", nullptr, true), std::runtime_error);
    EXPECT_EQ(ValueOf("Kept"), 1);
    EXPECT_THROW(manager->LoadFile(L"Broken", nullptr, true), xml_error);
    EXPECT_EQ(fs.indexDepth, 0);
    EXPECT_EQ(fs.closes, 2);
    EXPECT_EQ(manager->GetLoadCount(L"G") + manager->GetLoadCount(L"Broken"), 0);

    LoadText(L"G", "<r><thing name='Kept' v='4'/></r>");
    EXPECT_EQ(ValueOf("Kept"), 4);
    EXPECT_EQ(Thing::alive, 1);

    // A missing file is no error; one refusing to open is logged and must not count as loaded for good.
    LogCapture log;
    manager->LoadFile(L"Nowhere", nullptr, true);
    EXPECT_EQ(manager->GetLoadCount(L"Nowhere"), 0);
    EXPECT_EQ(log.Text(), "");
    AddGroup(L"Locked", "<r><thing name='L'/></r>");
    fs.makeStream = [](const FileSpec&, const std::string&) -> IStream* { return nullptr; };
    manager->LoadFile(L"Locked", nullptr, true);
    EXPECT_EQ(manager->GetLoadCount(L"Locked"), 0);
    EXPECT_EQ(log.Text(), "Unable to open resource file: Locked.xml\n");
    fs.makeStream = nullptr;
    manager->LoadFile(L"Locked", nullptr, true);
    EXPECT_TRUE(Has("L"));
}

TEST_F(ResourceManagerTest, AliasesShareLoadedTargetsAndGoWithTheTargetsGroup)
{
    AddGroup(L"Main", R"(<r><alias name="Early" src="Speed"/><thing name="Speed" v="9"/>
        <alias name="Fast" src="speed"/><alias name="Ghost" src="Nothing"/></r>)");
    AddGroup(
        L"Extra",
        R"(<r><thing name="Own" v="1"/><alias name="Quick" src="Speed"/><alias name="Pace" src="Own"/></r>)");
    manager->LoadFile(L"Main", nullptr, true);
    LoadText(L"Other", R"(<r><thing name="Slow" v="3"/></r>)");

    EXPECT_FALSE(Has("Early")); // before its target: dropped
    EXPECT_FALSE(Has("Ghost"));
    EXPECT_EQ(manager->Find(MakeName("Fast")), manager->Find(MakeName("Speed")));

    // An alias over a name of another group replaces that entry, without a conflict.
    LoadText(L"Late", R"(<r><alias name="Slow" src="Speed"/></r>)");
    EXPECT_EQ(ValueOf("Slow"), 9);
    EXPECT_EQ(Thing::alive, 1);

    // Unloading goes by the descriptor's group: the alias into Main stays, the one to Own goes.
    manager->LoadFile(L"Extra", nullptr, true);
    manager->UnloadFile(L"Extra");
    EXPECT_EQ(ValueOf("Quick"), 9);
    EXPECT_FALSE(Has("Pace"));
    // Unloading Main takes every alias of Speed along, wherever it was defined.
    manager->UnloadFile(L"Main");
    EXPECT_EQ(manager->GetResourceCount(), 0u);
    EXPECT_EQ(Thing::alive, 0);
}

TEST_F(ResourceManagerTest, ProgressFollowsEveryHandledNodeAndAbortStopsTheRead)
{
    // Handled: each made resource, each end element, each text; not the nameless root start,
    // nor the element of no known kind.
    const std::string xml = "<r><thing name='A'/><thing name='B'/><mystery name='M'/><thing name='C'/></r>";
    RecordingProgress all;
    KestrinTest::ChunkedStream stream(L"All", xml, 8);
    manager->Load(L"All", &stream, &all);
    // A, /A, B, /B, /mystery, C, /C, /r
    ASSERT_EQ(all.fractions.size(), 8u);
    EXPECT_TRUE(std::is_sorted(all.fractions.begin(), all.fractions.end()));
    EXPECT_GT(all.fractions.front(), 0.0f);
    EXPECT_LT(all.fractions.front(), 1.0f);
    EXPECT_FLOAT_EQ(all.fractions.back(), 1.0f);

    RecordingProgress stopper(2);
    LoadText(L"Part", "<r><thing name='D'/><thing name='E'/></r>", &stopper);
    EXPECT_EQ(stopper.fractions.size(), 2u);
    EXPECT_TRUE(Has("D"));
    EXPECT_FALSE(Has("E"));
    EXPECT_EQ(manager->GetLoadCount(L"Part"), 1); // stopped early, yet counted
}

TEST_F(ResourceManagerTest, TypedLookupsAnswerNothingForMissingNamesAndWrongTypes)
{
    RegisterValueResourceFactories(*manager);
    ResourcePair<Thing> before = GetResource<Thing>(MakeName("Button"));
    EXPECT_EQ(before, ResourcePair<Thing>(nullptr, nullptr));
    EXPECT_EQ(GetFloatValue(MakeName("Speed")), nullptr);

    LoadText(
        L"G",
        R"(<r><thing name="Button" v="4"/><float name="Speed" value="2.5"/><string name="Title" value="Hi"/></r>)");
    // Every key form, in any letter case, and through an interface of the held type.
    IResourceDescriptor* button = manager->Find(MakeName("button"));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(GetResource<Thing>(MakeName("BUTTON")).second->value, 4);
    EXPECT_EQ(GetResource<Thing>("button").first, button);
    EXPECT_EQ(GetResource<Thing>(std::string("Button")).first, button);
    EXPECT_EQ(GetResource<Thing>(std::wstring(L"bUtToN")).first, button);

    // Of another type: the descriptor, but no typed object.
    EXPECT_EQ(GetResource<Thing>("Speed"), ResourcePair<Thing>(manager->Find(MakeName("Speed")), nullptr));
    EXPECT_EQ(GetFloatValue(MakeName("Button")), nullptr);
    EXPECT_EQ(GetValueResource<int>("Speed"), nullptr);
    EXPECT_EQ(GetWideStringValueById(MakeName("Speed")), nullptr);

    EXPECT_EQ(GetFloatValueByName("speed")->value, 2.5f);
    EXPECT_EQ(GetWideStringValueById(MakeName("TITLE"))->value, L"Hi");
    EXPECT_EQ(GetFloatValueByName(nullptr), nullptr);
}

TEST(ResourceManagerLifetime, FactoriesGoInNameOrderAndShutdownReleasesItsShare)
{
    std::vector<std::string> gone;
    ResourceManager* manager = ResourceManager::Instance();
    EXPECT_EQ(ResourceManager::Instance(), manager);
    manager->RegisterFactory(L"zeta", new NoteFactory("zeta", gone));
    manager->RegisterFactory(L"alpha", new NoteFactory("alpha-1", gone));
    manager->RegisterFactory(L"alpha", new NoteFactory("alpha-2", gone));
    EXPECT_EQ(gone, std::vector<std::string>{"alpha-1"});
    manager->RegisterFactory(L"Alpha", new NoteFactory("Alpha", gone)); // names compared exactly
    manager->RegisterFactory(L"mid", new NoteFactory("mid", gone));
    manager->UnregisterFactory(L"mid");
    EXPECT_EQ(manager->GetFactory(L"mid"), nullptr);

    manager->RegisterFactory(L"thing", new ThingFactory);
    std::string xml = "<thing name='Held' v='1'/>";
    MemoryStream stream(L"S", xml.data(), uint32_t(xml.size()));
    manager->Load(L"S", &stream, nullptr);
    std::shared_ptr<IResourceDescriptor> kept = manager->FindShared(MakeName("Held"));

    gone.clear();
    Internal::SingletonDestructor::DestroyAll();
    EXPECT_EQ(gone, (std::vector<std::string>{"Alpha", "alpha-2", "zeta"})); // upper case sorts first
    // The manager let go of its share; an outside holder keeps the resource alive.
    EXPECT_EQ(Thing::alive, 1);
    kept.reset();
    EXPECT_EQ(Thing::alive, 0);
    // A new manager is made on demand and starts empty.
    EXPECT_EQ(ResourceManager::Instance()->GetFactory(L"zeta"), nullptr);
    delete ResourceManager::Instance();
}

namespace
{
struct Beep : ISound
{
    int GetCategory() const override { return 2; }
    float GetVolume() const override { return 0.5f; }
    float GetRate() const override { return 1.0f; }
    float GetPan() const override { return 0.0f; }
    int GetPlayCount() const override { return 1; }
};

struct BeepFactory : IResourceFactory
{
    IResourceDescriptor* Create(const std::wstring& source, NameId name, XMLElement& element,
                                IXMLReader&) override
    {
        return new ResourceWrapper<Beep>(source, name, element);
    }
};
} // namespace

TEST_F(ResourceManagerTest, SoundsNamedByTasksAreFoundAmongTheResources)
{
    manager->RegisterFactory(L"sound", new BeepFactory);
    LoadText(L"Audio", "<r><sound name='Click'/><thing name='Plain'/></r>");
    ISound* click = FindSoundByName(MakeName("click"));
    ASSERT_NE(click, nullptr);
    EXPECT_EQ(GetSound("CLICK"), ResourcePair<ISound>(manager->Find(MakeName("Click")), click));
    EXPECT_EQ(GetSoundById(MakeName("Plain")).second, nullptr);
    EXPECT_EQ(FindSoundByName(MakeName("Plain")), nullptr);

    // Once the manager is gone nothing is found; the next manager answers again.
    delete manager;
    EXPECT_EQ(FindSoundByName(MakeName("Click")), nullptr);
    manager = ResourceManager::Instance();
    manager->RegisterFactory(L"sound", new BeepFactory);
    LoadText(L"Audio", "<r><sound name='Click'/></r>");
    EXPECT_NE(FindSoundByName(MakeName("Click")), nullptr);
}
