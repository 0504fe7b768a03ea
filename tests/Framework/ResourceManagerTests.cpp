#include "Framework/ResourceManager.h"

#include "Base/Exceptions.h"
#include "Base/Stream.h"
#include "Base/XMLReader.h"
#include "Framework/Singletons.h"
#include "Framework/ValueResources.h"

#include "ResourceTestSupport.h"
#include "Support/ChunkedStream.h"
#include "Support/LogCapture.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

using namespace Kestrin;
using KestrinTest::LogCapture;
using KestrinTest::RecordingProgress;
using KestrinTest::ResourceTest;

namespace
{
class IShape
{
public:
    virtual ~IShape() = default;
    virtual int Corners() const = 0;
};

// A resource with a class hierarchy of its own, as images and sounds are.
class Thing : public IShape
{
public:
    explicit Thing(int v) : value(v) { ++g_alive; }
    ~Thing() override { --g_alive; }
    int Corners() const override { return value; }
    int value;
    static inline int g_alive = 0;
};

// "thing": a Thing from "v"; "fail" makes it throw, as a factory rejecting its element does.
class ThingFactory : public IResourceFactory
{
public:
    IResourceDescriptor* Create(const std::wstring& source, NameId name, XMLElement& element,
                                IXMLReader& children) override
    {
        sources.push_back(source);
        names.push_back(name);
        firstChild = children.Next();
        startNode = &element;
        if (element.HasAttribute(L"fail"))
            throw std::runtime_error("bad thing");
        return new ResourceWrapper<Thing>(source, name, element, element.GetInt(L"v", 0));
    }
    std::vector<std::wstring> sources;
    std::vector<NameId> names;
    XMLElement* firstChild = nullptr;
    XMLElement* startNode = nullptr;
};

// "box": reads its whole subtree itself, so named children inside it are no resources.
class BoxFactory : public IResourceFactory
{
public:
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

// Logs its destruction, to see which factories go and in what order.
class NoteFactory : public IResourceFactory
{
public:
    NoteFactory(std::string n, std::vector<std::string>& log) : m_name(std::move(n)), m_log(log) {}
    ~NoteFactory() override { m_log.push_back(m_name); }
    IResourceDescriptor* Create(const std::wstring&, NameId, XMLElement&, IXMLReader&) override { return nullptr; }

private:
    std::string m_name;
    std::vector<std::string>& m_log;
};

class ResourceManagerTest : public ResourceTest
{
protected:
    ResourceManagerTest()
    {
        things = new ThingFactory;
        manager->RegisterFactory(L"thing", things);
        manager->RegisterFactory(L"box", new BoxFactory);
    }
    ~ResourceManagerTest() override { EXPECT_EQ(fs.indexDepth, 0) << "indexing bracket left open"; }

    int ValueOf(const char* name)
    {
        auto [descriptor, thing] = GetResource<Thing>(name);
        return thing ? thing->value : -1;
    }

    ThingFactory* things = nullptr;
};

MemoryStream TextStream(const std::wstring& name, const std::string& text)
{
    return MemoryStream(name, text.data(), uint32_t(text.size()));
}

// Notes how deep in the indexing bracket each open happened.
class IndexNotingFileSystem : public KestrinTest::FakeFileSystem
{
public:
    IStream* Open(const FileSpec& spec, int access, int mode) override
    {
        depthAtOpen.push_back(indexDepth);
        return FakeFileSystem::Open(spec, access, mode);
    }
    std::vector<int> depthAtOpen;
};
} // namespace

TEST_F(ResourceManagerTest, RepeatedLoadsOnlyCountAndTheLastUnloadDropsTheGroup)
{
    AddGroup(L"Menu", R"(<?xml version="1.0"?><r><thing name="Play" v="1"/><thing name="Quit" v="2"/></r>)");
    LogCapture log;

    manager->LoadFile(L"Menu", nullptr, true);
    manager->LoadFile(L"Menu", nullptr, true);
    EXPECT_EQ(fs.opens, 1);
    EXPECT_EQ(fs.closes, 1);
    EXPECT_EQ(manager->GetLoadCount(L"Menu"), 2);
    EXPECT_EQ(log.Text(), "Loading resource file: Menu\n");

    manager->UnloadFile(L"Menu");
    EXPECT_EQ(ValueOf("Play"), 1);
    EXPECT_EQ(ValueOf("Quit"), 2);
    EXPECT_EQ(log.Text().find("Unloading"), std::string::npos);

    manager->UnloadFile(L"Menu");
    EXPECT_EQ(GetResource<Thing>("Play").first, nullptr);
    EXPECT_EQ(manager->GetResourceCount(), 0u);
    EXPECT_EQ(Thing::g_alive, 0);
    EXPECT_EQ(log.Text(), "Loading resource file: Menu\nUnloading resource file: Menu\n");

    // Loaded again after the drop: read afresh.
    manager->LoadFile(L"Menu", nullptr, false);
    EXPECT_EQ(fs.opens, 2);
    EXPECT_EQ(ValueOf("Quit"), 2);
}

TEST_F(ResourceManagerTest, LoadFileBracketsIndexingOnlyWhenAsked)
{
    IndexNotingFileSystem noting;
    KestrinTest::ScopedFileSystem scope(&noting);
    noting.AddFile(FileSpec::FromNameAndExtension(L"A", L".xml"), "<r/>");
    noting.AddFile(FileSpec::FromNameAndExtension(L"B", L".xml"), "<r/>");
    manager->LoadFile(L"A", nullptr, true);
    manager->LoadFile(L"B", nullptr, false);
    EXPECT_EQ(noting.depthAtOpen, (std::vector<int>{1, 0}));
    EXPECT_EQ(noting.indexDepth, 0);
}

TEST_F(ResourceManagerTest, MissingGroupFileIsQuietAndLeavesTheCount)
{
    LogCapture log;
    manager->LoadFile(L"Nowhere", nullptr, true);
    EXPECT_EQ(manager->GetLoadCount(L"Nowhere"), 0);
    EXPECT_EQ(fs.opens, 0);
    EXPECT_EQ(log.Text(), "");
}

TEST_F(ResourceManagerTest, FileThatExistsButWillNotOpenDoesNotCountAsLoaded)
{
    AddGroup(L"Locked", "<r><thing name=\"L\"/></r>");
    fs.makeStream = [](const FileSpec&, const std::string&) -> IStream* { return nullptr; };
    LogCapture log;
    manager->LoadFile(L"Locked", nullptr, true);
    EXPECT_EQ(manager->GetLoadCount(L"Locked"), 0);
    EXPECT_EQ(log.Text(), "Unable to open resource file: Locked.xml\n");

    // Once it opens, it loads.
    fs.makeStream = nullptr;
    manager->LoadFile(L"Locked", nullptr, true);
    EXPECT_EQ(manager->GetLoadCount(L"Locked"), 1);
    EXPECT_NE(GetResource<Thing>("L").second, nullptr);
}

TEST_F(ResourceManagerTest, ElementsWithoutNameOrFactoryAreSkippedButTheirNamedChildrenAreRead)
{
    AddGroup(L"G", R"(<r name="">
        <group><thing name="Button" v="1"/></group>
        <unknown name="Panel"><thing name="Inner" v="7"/></unknown>
        <thing v="99"/>
        <thing name="button" v="2"/>
    </r>)");
    manager->LoadFile(L"G", nullptr, true);

    // A name defined twice in one file, in any case: the later definition wins.
    EXPECT_EQ(ValueOf("Button"), 2);
    EXPECT_EQ(Thing::g_alive, 2);
    EXPECT_EQ(ValueOf("Inner"), 7);
    EXPECT_EQ(manager->Find(MakeName("Panel")), nullptr);
    // The nameless thing was never made.
    EXPECT_EQ(things->names.size(), 3u);
    EXPECT_EQ(manager->GetResourceCount(), 2u);
}

TEST_F(ResourceManagerTest, FactoriesGetTheGroupTheNameAndAReaderStartingAtTheElement)
{
    AddGroup(L"Screens", R"(<r><thing name="Logo" v="3" extra="shiny"/><box name="Crate"><thing name="Hidden"/><a><b/></a></box></r>)");
    manager->LoadFile(L"Screens", nullptr, true);

    ASSERT_EQ(things->sources.size(), 1u);
    EXPECT_EQ(things->sources[0], L"Screens");
    EXPECT_EQ(things->names[0], MakeName("logo"));
    EXPECT_EQ(things->firstChild, things->startNode);

    IResourceDescriptor* logo = manager->Find(MakeName("Logo"));
    ASSERT_NE(logo, nullptr);
    EXPECT_EQ(logo->GetSource(), L"Screens");
    EXPECT_EQ(logo->GetName(), MakeName("LOGO"));
    auto* attributes = dynamic_cast<ResourceDescriptor*>(logo);
    ASSERT_NE(attributes, nullptr);
    EXPECT_EQ(attributes->GetString(L"name"), L"Logo");
    EXPECT_EQ(attributes->GetString(L"extra"), L"shiny");

    // What a factory reads of its children the manager never sees.
    EXPECT_EQ(manager->Find(MakeName("Hidden")), nullptr);
    ASSERT_NE(GetValueResource<int>("Crate"), nullptr);
    EXPECT_EQ(GetValueResource<int>("Crate")->value, 3);
}

TEST_F(ResourceManagerTest, NameOfAnotherGroupThrowsAndTheGroupStaysUnloaded)
{
    AddGroup(L"First", R"(<r><thing name="Shared" v="1"/></r>)");
    AddGroup(L"Second", R"(<r><thing name="Before" v="5"/><thing name="SHARED" v="2"/><thing name="After"/></r>)");
    manager->LoadFile(L"First", nullptr, true);

    for (int attempt = 1; attempt <= 2; ++attempt)
    {
        try
        {
            manager->LoadFile(L"Second", nullptr, true);
            ADD_FAILURE() << "no conflict reported";
        }
        catch (const engine_error& e)
        {
            EXPECT_STREQ(e.what(), "Resource name conflict.");
        }
        // Read again each time, closed each time.
        EXPECT_EQ(fs.opens, 1 + attempt);
        EXPECT_EQ(fs.closes, fs.opens);
        EXPECT_EQ(manager->GetLoadCount(L"Second"), 0);
    }
    EXPECT_EQ(ValueOf("Shared"), 1);
    EXPECT_EQ(ValueOf("Before"), 5);
    EXPECT_EQ(manager->Find(MakeName("After")), nullptr);
    EXPECT_EQ(Thing::g_alive, 2);
}

TEST_F(ResourceManagerTest, ElementOfNoKnownKindIsStillConflictTested)
{
    AddGroup(L"First", R"(<r><thing name="Shared"/></r>)");
    AddGroup(L"Second", R"(<r><mystery name="shared"/></r>)");
    manager->LoadFile(L"First", nullptr, true);
    EXPECT_THROW(manager->LoadFile(L"Second", nullptr, true), engine_error);
}

TEST_F(ResourceManagerTest, ReplacementIsBuiltBeforeTheOldResourceGoes)
{
    // A failing factory or an element of no known kind under a name this group already holds
    // leaves the earlier resource in place.
    AddGroup(L"G", R"(<r><thing name="Kept" v="1"/><mystery name="Kept"/><thing name="Kept" fail="1"/></r>)");
    EXPECT_THROW(manager->LoadFile(L"G", nullptr, true), std::runtime_error);
    EXPECT_EQ(ValueOf("Kept"), 1);
    EXPECT_EQ(manager->GetLoadCount(L"G"), 0);

    // A later successful definition still replaces it, and the old one is released.
    MemoryStream more = TextStream(L"G", "<r><thing name='Kept' v='4'/></r>");
    manager->Load(L"G", &more, nullptr);
    EXPECT_EQ(ValueOf("Kept"), 4);
    EXPECT_EQ(Thing::g_alive, 1);
}

TEST_F(ResourceManagerTest, FailuresStillCloseTheFileAndEndTheBracket)
{
    AddGroup(L"Broken", "<r><thing name='a'/><unclosed></r>");
    AddGroup(L"Rejected", "<r><thing name='b' fail='yes'/></r>");
    EXPECT_THROW(manager->LoadFile(L"Broken", nullptr, true), xml_error);
    EXPECT_EQ(fs.indexDepth, 0);
    EXPECT_THROW(manager->LoadFile(L"Rejected", nullptr, true), std::runtime_error);
    EXPECT_EQ(fs.indexDepth, 0);
    EXPECT_EQ(fs.opens, 2);
    EXPECT_EQ(fs.closes, 2);
    EXPECT_EQ(manager->GetLoadCount(L"Broken"), 0);
    EXPECT_EQ(manager->GetLoadCount(L"Rejected"), 0);
}

TEST_F(ResourceManagerTest, AliasesShareLoadedTargetsAndGoWithTheTargetsGroup)
{
    AddGroup(L"Main", R"(<r>
        <alias name="Early" src="Speed"/>
        <thing name="Speed" v="9"/>
        <alias name="Fast" src="speed"/>
        <alias name="Ghost" src="Nothing"/>
    </r>)");
    AddGroup(L"Extra", R"(<r><thing name="Own" v="1"/><alias name="Quick" src="Speed"/><alias name="Pace" src="Own"/></r>)");
    AddGroup(L"Other", R"(<r><thing name="Slow" v="3"/></r>)");
    manager->LoadFile(L"Main", nullptr, true);
    manager->LoadFile(L"Other", nullptr, true);

    EXPECT_EQ(manager->Find(MakeName("Early")), nullptr); // before its target: dropped
    EXPECT_EQ(manager->Find(MakeName("Ghost")), nullptr);
    EXPECT_EQ(manager->Find(MakeName("Fast")), manager->Find(MakeName("Speed")));

    // An alias over a name of another group replaces that entry, without a conflict.
    MemoryStream over = TextStream(L"Late", R"(<r><alias name="Slow" src="Speed"/></r>)");
    manager->Load(L"Late", &over, nullptr);
    EXPECT_EQ(ValueOf("Slow"), 9);
    EXPECT_EQ(Thing::g_alive, 1); // the replaced Slow is gone

    manager->LoadFile(L"Extra", nullptr, true);
    EXPECT_EQ(ValueOf("Quick"), 9);

    // Unloading goes by the descriptor's group: the alias into Main stays, the one to Own goes.
    manager->UnloadFile(L"Extra");
    EXPECT_EQ(ValueOf("Quick"), 9);
    EXPECT_EQ(manager->Find(MakeName("Pace")), nullptr);

    // Unloading Main takes every alias of Speed along, wherever it was defined.
    manager->UnloadFile(L"Main");
    for (const char* name : {"Speed", "Fast", "Quick", "Slow"})
        EXPECT_EQ(manager->Find(MakeName(name)), nullptr) << name;
    EXPECT_EQ(Thing::g_alive, 0);
}

TEST_F(ResourceManagerTest, ProgressFollowsEveryHandledNodeAndAbortStopsTheRead)
{
    // Handled nodes: each resource, each end element and each text; not the nameless root
    // start, nor the element of no known kind.
    const std::string xml = "<r><thing name='A'/><thing name='B'/><mystery name='M'/><thing name='C'/></r>";

    {
        RecordingProgress progress;
        KestrinTest::ChunkedStream stream(L"All", xml, 8);
        manager->Load(L"All", &stream, &progress);
        // A, /A, B, /B, /mystery, C, /C, /r
        ASSERT_EQ(progress.fractions.size(), 8u);
        EXPECT_EQ(progress.abortQuestions, 8);
        for (size_t i = 1; i < progress.fractions.size(); ++i)
            EXPECT_LE(progress.fractions[i - 1], progress.fractions[i]);
        EXPECT_GT(progress.fractions.front(), 0.0f);
        EXPECT_LT(progress.fractions.front(), 1.0f);
        EXPECT_FLOAT_EQ(progress.fractions.back(), 1.0f);
    }
    delete manager;
    manager = ResourceManager::Instance();
    manager->RegisterFactory(L"thing", new ThingFactory);
    {
        RecordingProgress stopper(2);
        KestrinTest::ChunkedStream stream(L"Part", xml, 8);
        manager->Load(L"Part", &stream, &stopper);
        EXPECT_EQ(stopper.fractions.size(), 2u);
        EXPECT_NE(manager->Find(MakeName("A")), nullptr);
        EXPECT_EQ(manager->Find(MakeName("B")), nullptr);
        // Stopped early, yet counted as loaded.
        EXPECT_EQ(manager->GetLoadCount(L"Part"), 1);
    }
}

TEST_F(ResourceManagerTest, UnloadingANeverLoadedGroupCountsBelowZero)
{
    AddGroup(L"Account", "<r><thing name='Card'/></r>");
    manager->UnloadFile(L"Account");
    EXPECT_EQ(manager->GetLoadCount(L"Account"), -1);
    manager->LoadFile(L"Account", nullptr, true);
    EXPECT_EQ(manager->GetLoadCount(L"Account"), 0);
    EXPECT_NE(manager->Find(MakeName("Card")), nullptr);
}

TEST_F(ResourceManagerTest, UnloadKeepsResourcesWhenTheGroupFileIsGone)
{
    AddGroup(L"Temp", "<r><thing name='Stay'/></r>");
    manager->LoadFile(L"Temp", nullptr, true);
    fs.files.clear();
    manager->UnloadFile(L"Temp");
    EXPECT_EQ(manager->GetLoadCount(L"Temp"), 0);
    EXPECT_NE(manager->Find(MakeName("Stay")), nullptr);
}

TEST_F(ResourceManagerTest, TypedLookupsAnswerNothingForMissingNamesAndWrongTypes)
{
    AddGroup(L"G", R"(<r><thing name="Button" v="4"/><float name="Speed" value="2.5"/><string name="Title" value="Hi"/></r>)");
    RegisterValueResourceFactories();

    ResourcePair<Thing> before = GetResource<Thing>(MakeName("Button"));
    EXPECT_EQ(before.first, nullptr);
    EXPECT_EQ(before.second, nullptr);
    EXPECT_EQ(GetFloatValue(MakeName("Speed")), nullptr);

    manager->LoadFile(L"G", nullptr, true);

    // Every key form, in any letter case, and through an interface of the held type.
    IResourceDescriptor* button = manager->Find(MakeName("button"));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(GetResource<Thing>(MakeName("BUTTON")).second->value, 4);
    EXPECT_EQ(GetResource<Thing>("button").first, button);
    EXPECT_EQ(GetResource<Thing>(std::string("Button")).first, button);
    EXPECT_EQ(GetResource<Thing>(std::wstring(L"bUtToN")).first, button);
    EXPECT_EQ(GetResource<IShape>(L"Button").second->Corners(), 4);

    // Of another type: the descriptor, but no typed object.
    ResourcePair<Thing> wrong = GetResource<Thing>("Speed");
    EXPECT_NE(wrong.first, nullptr);
    EXPECT_EQ(wrong.second, nullptr);
    EXPECT_EQ(GetFloatValue(MakeName("Button")), nullptr);
    EXPECT_EQ(GetValueResource<int>("Speed"), nullptr);
    EXPECT_EQ(GetWideStringValueById(MakeName("Speed")), nullptr);

    ASSERT_NE(GetFloatValueByName("speed"), nullptr);
    EXPECT_EQ(GetFloatValueByName("speed")->value, 2.5f);
    ASSERT_NE(GetWideStringValueById(MakeName("TITLE")), nullptr);
    EXPECT_EQ(GetWideStringValueById(MakeName("TITLE"))->value, L"Hi");
    EXPECT_EQ(GetFloatValueByName(nullptr), nullptr);
}

TEST(ResourceManagerLifetime, FactoriesAreReplacedAndDestroyedInNameOrder)
{
    std::vector<std::string> gone;
    ResourceManager* manager = ResourceManager::Instance();
    EXPECT_EQ(ResourceManager::Instance(), manager);
    manager->RegisterFactory(L"zeta", new NoteFactory("zeta", gone));
    manager->RegisterFactory(L"alpha", new NoteFactory("alpha-1", gone));
    manager->RegisterFactory(L"alpha", new NoteFactory("alpha-2", gone));
    EXPECT_EQ(gone, std::vector<std::string>{"alpha-1"});
    // Element names are compared exactly.
    manager->RegisterFactory(L"Alpha", new NoteFactory("Alpha", gone));
    manager->RegisterFactory(L"mid", new NoteFactory("mid", gone));
    manager->UnregisterFactory(L"mid");
    manager->UnregisterFactory(L"never");
    EXPECT_EQ(manager->GetFactory(L"mid"), nullptr);

    gone.clear();
    delete manager;
    // Upper case sorts first.
    EXPECT_EQ(gone, (std::vector<std::string>{"Alpha", "alpha-2", "zeta"}));
    // The next manager starts without them.
    EXPECT_EQ(ResourceManager::Instance()->GetFactory(L"zeta"), nullptr);
    delete ResourceManager::Instance();
}

TEST(ResourceManagerLifetime, ShutdownDestroysTheManagerAndItsResources)
{
    ResourceManager* manager = ResourceManager::Instance();
    manager->RegisterFactory(L"thing", new ThingFactory);
    MemoryStream stream = TextStream(L"S", "<thing name='Held' v='1'/>");
    manager->Load(L"S", &stream, nullptr);
    std::shared_ptr<IResourceDescriptor> kept = manager->FindShared(MakeName("Held"));
    EXPECT_EQ(Thing::g_alive, 1);

    Internal::SingletonDestructor::DestroyAll();
    // The manager let go of its share; an outside holder keeps the resource alive.
    EXPECT_EQ(Thing::g_alive, 1);
    kept.reset();
    EXPECT_EQ(Thing::g_alive, 0);
    // A new manager is made on demand and starts empty.
    EXPECT_EQ(ResourceManager::Instance()->Find(MakeName("Held")), nullptr);
    delete ResourceManager::Instance();
}

namespace
{
class FakeSound : public ISound
{
public:
    int GetCategory() const override { return 2; }
    float GetVolume() const override { return 0.5f; }
    float GetRate() const override { return 1.0f; }
    float GetPan() const override { return 0.0f; }
    int GetPlayCount() const override { return 1; }
};

class FakeSoundFactory : public IResourceFactory
{
public:
    IResourceDescriptor* Create(const std::wstring& source, NameId name, XMLElement& element, IXMLReader&) override
    {
        return new ResourceWrapper<FakeSound>(source, name, element);
    }
};
} // namespace

TEST_F(ResourceManagerTest, SoundsNamedByTasksAreFoundAmongTheResources)
{
    manager->RegisterFactory(L"sound", new FakeSoundFactory);
    AddGroup(L"Audio", "<r><sound name='Click'/><thing name='Plain'/></r>");
    EXPECT_EQ(FindSoundByName(MakeName("Click")), nullptr);
    manager->LoadFile(L"Audio", nullptr, true);

    ISound* click = FindSoundByName(MakeName("click"));
    ASSERT_NE(click, nullptr);
    EXPECT_EQ(click->GetCategory(), 2);
    EXPECT_EQ(GetSound("CLICK").second, click);
    EXPECT_EQ(GetSoundById(MakeName("Click")).first, manager->Find(MakeName("Click")));
    EXPECT_EQ(FindSoundByName(MakeName("Plain")), nullptr);
    EXPECT_NE(GetSoundById(MakeName("Plain")).first, nullptr);

    // Once the manager is gone nothing is found; the next manager answers again.
    delete manager;
    EXPECT_EQ(FindSoundByName(MakeName("Click")), nullptr);
    manager = ResourceManager::Instance();
    manager->RegisterFactory(L"sound", new FakeSoundFactory);
    manager->LoadFile(L"Audio", nullptr, true);
    EXPECT_NE(FindSoundByName(MakeName("Click")), nullptr);
}
