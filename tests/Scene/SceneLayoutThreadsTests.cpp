// Layouts are read on the loading thread while the main thread builds and runs scenes.
#include "Scene/SceneLayout.h"

#include "Framework/ObjectDatabase.h"
#include "Scene/SceneNode.h"
#include "Scene/SceneResourceFactories.h"

#include "Support/ResourceTestSupport.h"

#include <gtest/gtest.h>

#include <string>

using namespace Kestrin;

namespace
{
constexpr int LayoutCount = 150;
using SceneLayoutThreads = KestrinTest::ResourceTest;
} // namespace

TEST_F(SceneLayoutThreads, LayoutsReadOnTheLoadingThreadWhileTheMainThreadBuildsScenes)
{
    RegisterSceneResourceFactories(*manager);
    LoadText(L"Base", R"(<r><scenelayout name="Base"><scenenode width="10" height="10">
                           <scenenode nodeName="a" x="1"/><scenenode nodeName="b" x="2"/>
                         </scenenode></scenelayout></r>)");
    std::string big = "<resources>";
    for (int i = 0; i < LayoutCount; ++i)
        big +=
            "<scenelayout name=\"L" + std::to_string(i) +
            "\"><scenenode centerOnParent=\"true\" width=\"20\" height=\"20\"><sceneref scenename=\"Base\" "
            "nodeName=\"ref\"/><scenenode nodeName=\"n\" x=\"" +
            std::to_string(i) + "\"/></scenenode></scenelayout>\n";
    AddGroup(L"Big", big + "</resources>");

    KestrinTest::ThreadedLoad load(manager, L"Big");
    ObjectDatabase database;
    auto* root = new SceneNode;
    root->SetSize(800, 600);
    database.AddObject(root);
    for (int round = 0; !load.Done() || round < 100; ++round)
    {
        const SceneLayout* layout = GetSceneLayout("Base").second;
        ASSERT_NE(layout, nullptr);
        SceneNode* built = layout->Instantiate(database, root);
        if (const SceneLayout* loaded =
                GetSceneLayoutByString("L" + std::to_string(round % LayoutCount)).second)
            loaded->Instantiate(database, root);
        root->RefreshTree();
        ASSERT_EQ(built->FindNode({"b"})->GetWorldRect().x, 2.0f);
        for (SceneNode* child = root->GetFirstChild(); child;)
        {
            SceneNode* next = child->GetNextSibling();
            database.RemoveObject(child->GetHandle());
            child = next;
        }
        database.Update(0.02f);
    }
    ASSERT_EQ(load.Join(), "");

    for (int i = 0; i < LayoutCount; ++i)
    {
        const SceneLayout* layout = GetSceneLayoutByString("L" + std::to_string(i)).second;
        ASSERT_NE(layout, nullptr) << i;
        SceneNode* built = layout->Instantiate(database, root);
        root->RefreshTree();
        EXPECT_EQ(built->FindNode({"ref", "b"})->GetWorldRect().x, 392.0f);
        EXPECT_EQ(built->FindNode({"n"})->GetLocalState().x, float(i));
    }
}
