#include "Scene/SceneLayout.h"

#include "Framework/ObjectDatabase.h"
#include "Scene/SceneNode.h"
#include "Scene/SceneNodeFactory.h"
#include "Scene/SceneResourceFactories.h"

#include "Support/ResourceTestSupport.h"
#include "Support/Thrown.h"
#include "harness/LogCapture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <functional>
#include <string>
#include <vector>

using namespace Kestrin;

namespace
{

using Descriptor = SceneLayout::LayoutDescriptor;

// A kind whose factory fails where a test says, and counts its instances.
class TestKindFactory : public SceneNodeFactory
{
public:
    static inline int alive = 0;
    TestKindFactory() { ++alive; }
    ~TestKindFactory() override { --alive; }
    SceneNodeDescriptor* Read(const IAttributeContainer& attributes) override
    {
        if (attributes.HasAttribute(L"failRead"))
            throw std::runtime_error("bad test attribute");
        auto* d = new SceneNodeDescriptor;
        return d;
    }
    SceneNode* Create(const SceneNodeDescriptor&) override
    {
        if (failCreate)
            throw std::runtime_error("animation missing");
        return new SceneNode;
    }
    bool failCreate = false;
};

class SceneLayouts : public KestrinTest::ResourceTest
{
protected:
    SceneLayouts()
    {
        RegisterSceneResourceFactories(*manager);
        SetTopObjectDatabase(&database);
    }
    ~SceneLayouts() override
    {
        SetTopObjectDatabase(nullptr);
        GetSceneNodeFactories().Unregister(L"testnode");
    }

    // Loads one layout named "L" with the given content and answers it.
    const SceneLayout* Layout(const std::string& content, const char* name = "L")
    {
        // In the file system too, so that the group can be unloaded.
        const std::wstring group = L"G" + std::to_wstring(++m_groups);
        const std::string xml = std::string("<resources><scenelayout name=\"") + name + "\">" + content +
                                "</scenelayout></resources>";
        AddGroup(group, xml);
        LoadText(group, xml);
        return GetSceneLayout(name).second;
    }
    // The root descriptor of a one-node layout with these attributes.
    const Descriptor& Root(const std::string& attributes)
    {
        const SceneLayout* layout =
            Layout("<scenenode " + attributes + "/>", ("R" + std::to_string(m_groups)).c_str());
        EXPECT_NE(layout, nullptr) << attributes;
        return *layout->GetRoot();
    }
    std::string LoadError(const std::string& content)
    {
        return KestrinTest::ThrownWhat<SceneLayoutException>([&] { Layout(content, "Broken"); });
    }

    ObjectDatabase database;

private:
    int m_groups = 0;
};

} // namespace

TEST_F(SceneLayouts, ReadingErrorsHaveTheirExactTextsAndTheLogNamesTheFile)
{
    KestrinTest::LogCapture log;
    EXPECT_EQ(LoadError("  text <!-- a comment --> "), "scene has no root node");
    EXPECT_EQ(LoadError("<scenenode/><scenenode/>"), "scene has more than one root node");
    EXPECT_EQ(LoadError("<scenenode/><bogus/>"), "scene has more than one root node");
    EXPECT_EQ(LoadError("<SceneNode/>"), "unrecognized node type: \"SceneNode\"");
    EXPECT_EQ(LoadError("<scenenode><scenenode><sprite/></scenenode></scenenode>"),
              "unrecognized node type: \"sprite\"");
    EXPECT_EQ(LoadError("<sceneref scenename=\"Later\"/>"), "sceneref: layout \"Later\" not found");
    EXPECT_NE(log.Text().find("Scene layout \"Broken\" in G6.xml: sceneref: layout \"Later\" not found\n"),
              std::string::npos)
        << log.Text();

    // A kind's own reading error passes through unchanged.
    RegisterSceneNodeFactory(L"testnode", new TestKindFactory);
    EXPECT_EQ(KestrinTest::ThrownWhat<std::runtime_error>([&] { Layout("<testnode failRead=\"1\"/>", "F"); }),
              "bad test attribute");

    // Nesting beyond what the tree's walks may recurse through.
    std::string deep;
    for (int i = 0; i < SceneLayout::MaxDepth + 1; ++i)
        deep += "<scenenode>";
    for (int i = 0; i < SceneLayout::MaxDepth + 1; ++i)
        deep += "</scenenode>";
    EXPECT_EQ(LoadError(deep), "scene nodes are nested more than 1000 levels deep");
}

TEST_F(SceneLayouts, CommonAttributesFollowTheirWordsAndDefaults)
{
    struct Case
    {
        std::string attributes;
        std::function<void(const Descriptor&)> check;
    };
    const Case cases[] = {
        {"",
         [](const Descriptor& d)
         {
             EXPECT_EQ(d.parentHAlign + d.parentVAlign + d.selfHAlign + d.selfVAlign, 0);
             EXPECT_EQ(d.name, NameId());
             EXPECT_EQ(d.nodeName, NameId());
             EXPECT_EQ(d.x, 0.0f);
             EXPECT_EQ(d.scaleX, 1.0f);
             EXPECT_EQ(d.scaleY, 1.0f);
             EXPECT_TRUE(d.visible);
             EXPECT_EQ(d.color, ColorF(1, 1, 1, 1));
             EXPECT_FALSE(d.hitTest);
             EXPECT_EQ(d.buttons, 1u);
             EXPECT_FALSE(d.captureOnMouseDown);
             // Unlike a node made in code, a layout node turns and scales about its top-left.
             EXPECT_EQ(d.rotateHAlign + d.rotateVAlign + d.scaleHAlign + d.scaleVAlign, 0);
         }},
        {"centerOnParent=\"true\" parentHAlign=\"right\" selfVAlign=\"bottom\"",
         [](const Descriptor& d)
         {
             EXPECT_EQ(d.parentHAlign, 1);
             EXPECT_EQ(d.selfHAlign, 1);
             EXPECT_EQ(d.parentVAlign, 1);
             EXPECT_EQ(d.selfVAlign, 1);
         }},
        {"centerHOnParent=\"true\" parentHAlign=\"right\" parentVAlign=\"bottom\" selfVAlign=\"middle\"",
         [](const Descriptor& d)
         {
             EXPECT_EQ(d.parentHAlign, 1);
             EXPECT_EQ(d.selfHAlign, 1);
             EXPECT_EQ(d.parentVAlign, 2);
             EXPECT_EQ(d.selfVAlign, 1);
         }},
        {"centerVOnParent=\"true\" parentHAlign=\"Center\" selfHAlign=\"right\" parentVAlign=\"top\"",
         [](const Descriptor& d)
         {
             EXPECT_EQ(d.parentHAlign, 0); // words match exactly
             EXPECT_EQ(d.selfHAlign, 2);
             EXPECT_EQ(d.parentVAlign, 1);
             EXPECT_EQ(d.selfVAlign, 1);
         }},
        {"buttons=\" left ,\n right \"", [](const Descriptor& d) { EXPECT_EQ(d.buttons, 3u); }},
        {"buttons=\"right\"", [](const Descriptor& d) { EXPECT_EQ(d.buttons, 3u); }},
        {"buttons=\"middle,middle\"", [](const Descriptor& d) { EXPECT_EQ(d.buttons, 5u); }},
        {"buttons=\"none\"", [](const Descriptor& d) { EXPECT_EQ(d.buttons, 0u); }},
        {"buttons=\" all\"", [](const Descriptor& d) { EXPECT_EQ(d.buttons, 0xFFFFFFFFu); }},
        {"buttons=\"\"", [](const Descriptor& d) { EXPECT_EQ(d.buttons, 1u); }},
        {"color=\"#FF000080\" alpha=\"0.2\"",
         [](const Descriptor& d) { EXPECT_EQ(d.color, ColorF(1, 0, 0, 128.0f / 255.0f)); }},
        {"alpha=\"0.5\"", [](const Descriptor& d) { EXPECT_EQ(d.color, ColorF(1, 1, 1, 0.5f)); }},
        {"color=\"red\"", [](const Descriptor& d) { EXPECT_EQ(d.color, ColorF(0, 0, 0, 1)); }},
        {"color=\"xFF0000FF\"", [](const Descriptor& d) { EXPECT_EQ(d.color, ColorF(1, 0, 0, 1)); }},
        {"orientation=\"90\"", [](const Descriptor& d) { EXPECT_EQ(d.orientation, 1.5707964f); }},
        {"nodeName=\"Box\" name=\"ExitOk\" x=\"-3.5\" y=\"7\" scaleX=\"2\" scaleY=\"0.5\" visible=\"false\" "
         "hitTest=\"true\" captureOnMouseDown=\"true\"",
         [](const Descriptor& d)
         {
             EXPECT_EQ(d.nodeName, MakeName("box"));
             EXPECT_EQ(d.name, MakeName("exitok"));
             EXPECT_EQ(d.x, -3.5f);
             EXPECT_EQ(d.y, 7.0f);
             EXPECT_EQ(d.scaleX, 2.0f);
             EXPECT_EQ(d.scaleY, 0.5f);
             EXPECT_FALSE(d.visible);
             EXPECT_TRUE(d.hitTest);
             EXPECT_TRUE(d.captureOnMouseDown);
         }},
        {"rotateHAlign=\"center\" rotateVAlign=\"bottom\" scaleHAlign=\"right\" scaleVAlign=\"middle\"",
         [](const Descriptor& d)
         {
             EXPECT_EQ(d.rotateHAlign, 1);
             EXPECT_EQ(d.rotateVAlign, 2);
             EXPECT_EQ(d.scaleHAlign, 2);
             EXPECT_EQ(d.scaleVAlign, 1);
         }},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.attributes);
        c.check(Root(c.attributes));
    }
}

TEST_F(SceneLayouts, InstantiationBuildsIndependentTreesRegisteredChildrenFirst)
{
    const SceneLayout* layout = Layout(R"(
        <scenenode nodeName="box" width="300" height="200" centerOnParent="true" x="1">
          <scenenode nodeName="label" x="20" y="20" width="10" height="10" hitTest="true"/>
          <scenenode name="ExitOk" nodeName="ok" width="50" height="20" parentHAlign="center" selfHAlign="center"
                     parentVAlign="bottom" selfVAlign="bottom" y="-10">
            <scenenode nodeName="inner"/>
          </scenenode>
        </scenenode>)");
    ASSERT_NE(layout, nullptr);

    auto* screenRoot = new SceneNode;
    screenRoot->SetSize(800, 600);
    database.AddObject(screenRoot);
    SceneNode* first = layout->Instantiate(database, screenRoot);
    SceneNode* second = layout->Instantiate(database, nullptr);
    ASSERT_NE(first, second);
    screenRoot->RefreshTree();

    // Under a parent the root's alignment applies; without one it does not.
    EXPECT_EQ(first->GetWorldRect(), (Rect<float>{251, 200, 300, 200}));
    SceneNode* ok = first->FindNode({"OK"});
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->GetWorldRect(), (Rect<float>{376, 370, 50, 20}));
    EXPECT_EQ(database.FindObject(MakeName("exitok")), second->FindNode({"ok"})); // the last added wins
    EXPECT_EQ(second->GetLocalState().x, 1.0f);
    EXPECT_EQ(second->GetParentHAlign(), 0);

    // Children before parents, the root last.
    auto index = [](SceneNode* n) { return n->GetHandle() & 0xFFFF; };
    SceneNode* inner = first->FindNode({"ok", "inner"});
    SceneNode* label = first->FindNode({"label"});
    EXPECT_LT(index(label), index(inner));
    EXPECT_LT(index(inner), index(ok));
    EXPECT_LT(index(ok), index(first));

    EXPECT_EQ(first->FindNodeAt({272, 221}), label);

    // Changing one tree leaves the other tree and the template as they were.
    label->SetX(99);
    EXPECT_EQ(second->FindNode({"label"})->GetLocalState().x, 20.0f);
    EXPECT_EQ(layout->GetRoot()->children[0]->x, 20.0f);
}

TEST_F(SceneLayouts, ASizelessSceneNodeCentresItsChildrenOnItsPositionAndIsNeverHit)
{
    const SceneLayout* layout = Layout(R"(
        <scenenode x="100" y="50" hitTest="true">
          <scenenode width="20" height="10" centerOnParent="true"/>
          <scenenode width="20" height="10" parentHAlign="right" parentVAlign="bottom"/>
        </scenenode>)");
    auto* screenRoot = new SceneNode;
    database.AddObject(screenRoot);
    SceneNode* group = layout->Instantiate(database, screenRoot);
    screenRoot->RefreshTree();
    EXPECT_EQ(group->GetFirstChild()->GetWorldRect(), (Rect<float>{90, 45, 20, 10}));
    EXPECT_EQ(group->GetLastChild()->GetWorldRect(), (Rect<float>{100, 50, 20, 10}));
    EXPECT_EQ(group->FindNodeAt({100, 50}), nullptr);
}

TEST_F(SceneLayouts, AReferenceCopiesTheTreeUnderItsOwnCommonAttributes)
{
    Layout(R"(<scenenode name="Panel" nodeName="panel" x="40" y="30" width="120" height="60" alpha="0.5">
                <scenenode nodeName="a"/><scenenode nodeName="b"/>
              </scenenode>)",
           "Base");
    const SceneLayout* user = Layout(R"(
        <scenenode>
          <sceneref scenename="base"/>
          <sceneref scenename="Base" nodeName="copy" name="Copied" x="5" hitTest="true">
            <scenenode nodeName="extra"/>
          </sceneref>
        </scenenode>)",
                                     "User");
    ASSERT_NE(user, nullptr);
    SceneNode* root = user->Instantiate(database, nullptr);
    SceneNode* plain = root->GetFirstChild();
    SceneNode* copy = root->FindNode({"copy"});
    ASSERT_NE(copy, nullptr);

    // Every common attribute of the referenced root is replaced, given or not: the kind's own stay.
    EXPECT_EQ(plain->GetName(), NameId());
    EXPECT_EQ(plain->GetNodeName(), NameId());
    EXPECT_EQ(plain->GetLocalState().x, 0.0f);
    EXPECT_EQ(plain->GetLocalState().color.a, 1.0f);
    EXPECT_EQ(plain->GetLocalState().width, 120.0f);
    EXPECT_EQ(copy->GetName(), MakeName("copied"));
    EXPECT_EQ(copy->GetLocalState().x, 5.0f);
    EXPECT_TRUE(copy->GetHitTest());
    EXPECT_EQ(database.FindObject(MakeName("panel")), nullptr);
    // The reference's own children come after the copied ones.
    ASSERT_EQ(copy->GetChildCount(), 3u);
    EXPECT_EQ(copy->FindNode({2}), copy->FindNode({"extra"}));
    EXPECT_EQ(copy->FindNode({0}), copy->FindNode({"a"}));

    // The referenced layout gone by the time it is built: an empty node, a log line, and the rest.
    KestrinTest::LogCapture log;
    manager->UnloadFile(L"G1");
    SceneNode* again = user->Instantiate(database, nullptr);
    EXPECT_EQ(again->GetChildCount(), 2u);
    EXPECT_EQ(again->FindNode({"copy"})->GetChildCount(), 1u);
    std::string text = log.Text();
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    EXPECT_NE(text.find("sceneref: layout \"base\" not found\n"), std::string::npos) << text;
}

TEST_F(SceneLayouts, AFailingKindLeavesNothingBehindAndItsErrorPassesThrough)
{
    auto* factory = new TestKindFactory;
    RegisterSceneNodeFactory(L"testnode", factory);
    const SceneLayout* layout =
        Layout("<scenenode><scenenode><scenenode/></scenenode><testnode/></scenenode>");
    ASSERT_NE(layout, nullptr);
    auto* parent = new SceneNode;
    database.AddObject(parent);
    factory->failCreate = true;
    EXPECT_EQ(KestrinTest::ThrownWhat<std::runtime_error>([&] { layout->Instantiate(database, parent); }),
              "animation missing");
    EXPECT_EQ(parent->GetChildCount(), 0u);
    EXPECT_EQ(database.GetTableSize(), 1u); // nothing was registered
}

TEST_F(SceneLayouts, NodeKindsRegisterInTheirFixedOrderAndAReplacedFactoryIsDestroyed)
{
    const std::vector<std::wstring> order{
        L"sceneref",           L"scenenode",        L"backgroundnode",       L"buttonnode",
        L"checkboxnode",       L"listnode",         L"radiobuttonnode",      L"scrollbarnode",
        L"slidernode",         L"staticspritenode", L"texteditnode",         L"textspritenode",
        L"animatedspritenode", L"meterbarnode",     L"discretemeterbarnode", L"nodegridnode",
        L"rectnode",           L"ellipsenode",      L"styledtextspritenode", L"fractiontextmeternode"};
    EXPECT_EQ(GetSceneNodeKindOrder(), order);
    EXPECT_NE(dynamic_cast<SceneRefFactory*>(GetSceneNodeFactories().Find(L"sceneref")), nullptr);
    EXPECT_NE(dynamic_cast<BasicSceneNodeFactory*>(GetSceneNodeFactories().Find(L"scenenode")), nullptr);
    EXPECT_EQ(GetSceneNodeFactories().Find(L"SceneNode"), nullptr);
    EXPECT_NE(manager->GetFactory(L"scenelayout"), nullptr);

    // Start-up running again keeps the factories that layouts already point at.
    SceneNodeFactory* scenenode = GetSceneNodeFactories().Find(L"scenenode");
    RegisterSceneNodeFactories();
    EXPECT_EQ(GetSceneNodeFactories().Find(L"scenenode"), scenenode);

    const int before = TestKindFactory::alive;
    RegisterSceneNodeFactory(L"testnode", new TestKindFactory);
    RegisterSceneNodeFactory(L"testnode", new TestKindFactory);
    EXPECT_EQ(TestKindFactory::alive, before + 1);
    GetSceneNodeFactories().Unregister(L"testnode");
    EXPECT_EQ(TestKindFactory::alive, before);
}

TEST_F(SceneLayouts, ReferencesStopWhereTheSceneWouldGrowWithoutEnd)
{
    KestrinTest::LogCapture log;
    // A circle: "A" is replaced, after "B" was read, by a reference to "B".
    Layout("<scenenode/>", "A");
    const SceneLayout* b = Layout("<sceneref scenename=\"A\"/>", "B");
    manager->UnloadFile(L"G1");
    Layout("<scenenode><sceneref scenename=\"B\"/></scenenode>", "A");
    SceneNode* root = b->Instantiate(database, nullptr);
    int depth = 0;
    for (SceneNode* n = root; n; n = n->GetFirstChild())
        ++depth;
    EXPECT_GT(depth, 100); // a reference takes two levels of the build
    EXPECT_LE(depth, SceneLayout::MaxDepth + 2);
    EXPECT_NE(log.Text().find("left out: the scene would grow too deep or too large"), std::string::npos);

    // Ten references to ten references to ... : the build stops taking them past the node bound.
    std::string ten = "<scenenode>";
    for (int i = 0; i < 10; ++i)
        ten += "<scenenode/>";
    Layout(ten + "</scenenode>", "F0");
    for (int level = 1; level <= 5; ++level)
    {
        std::string refs = "<scenenode>";
        for (int i = 0; i < 10; ++i)
            refs += "<sceneref scenename=\"F" + std::to_string(level - 1) + "\"/>";
        Layout(refs + "</scenenode>", ("F" + std::to_string(level)).c_str());
    }
    ObjectDatabase big;
    const size_t before = big.GetTableSize();
    GetSceneLayout("F5").second->Instantiate(big, nullptr);
    EXPECT_GT(big.GetTableSize() - before, SceneLayout::MaxBuiltNodes / 2);
    EXPECT_LT(big.GetTableSize() - before, SceneLayout::MaxBuiltNodes + 200);
}
