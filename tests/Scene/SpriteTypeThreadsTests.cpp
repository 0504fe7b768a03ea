// Sprite types are read on the loading thread while the main thread plays the ones loaded before.
#include "Scene/SpriteType.h"

#include "Framework/ObjectDatabase.h"
#include "Graphics/AnimationController.h"
#include "Graphics/Canvas.h"
#include "Scene/AnimatedSpriteNode.h"
#include "Scene/SceneResourceFactories.h"

#include "SpriteTestSupport.h"
#include "Support/GraphicsFakes.h"
#include "Support/ResourceTestSupport.h"

#include <gtest/gtest.h>

#include <string>

using namespace Kestrin;

namespace
{
constexpr int TypeCount = 150;
using SpriteTypeThreads = KestrinTest::ResourceTest;
} // namespace

TEST_F(SpriteTypeThreads, TypesReadOnTheLoadingThreadWhileTheMainThreadPlaysThem)
{
    RegisterSceneResourceFactories(*manager);
    SpriteTest::RegisterTestImageFactories(*manager);
    LoadText(L"Base", R"(<r><testimages name="Frames" count="4"/>
                           <spriteanimationlist name="Walks">
                             <animation name="walk" frameList="0-3" fps="50" numPlays="0"/>
                             <animation name="turn" frameList="3-0" duration="0.04" linkedAnimation="walk"/>
                           </spriteanimationlist>
                           <spritetype name="Base" images="Frames" animationList="Walks"/></r>)");
    std::string big = "<resources>";
    for (int i = 0; i < TypeCount; ++i)
        big += "<spritetype name=\"T" + std::to_string(i) +
               "\" images=\"Frames\" animationList=\"Walks\"><animation name=\"hop\" frameList=\"" +
               std::to_string(i % 4) + ",0\" fps=\"25\" linkedAnimation=\"turn\"/></spritetype>\n";
    AddGroup(L"Big", big + "</resources>");

    KestrinTest::RecordingCanvas canvas;
    Graphics::SetCurrentCanvas(&canvas);
    ObjectDatabase database;
    ObjectDatabase popup;
    SetTopObjectDatabase(&database);
    auto* root = new SceneNode;
    database.AddObject(root);

    KestrinTest::ThreadedLoad load(manager, L"Big");
    for (int round = 0; !load.Done() || round < 100; ++round)
    {
        auto* base = new AnimatedSpriteNode(MakeName("Base"));
        base->SetUseSharedAnimationController(round % 2 == 0);
        base->SetParent(root);
        database.AddObject(base);
        base->PlayAnimation(MakeName("turn"));
        if (SpriteType* loaded = GetSpriteType(("T" + std::to_string(round % TypeCount)).c_str()).second)
        {
            auto* node = new AnimatedSpriteNode(loaded);
            node->SetParent(root);
            database.AddObject(node);
            node->PlayAnimation(MakeName("hop"));
        }
        // A pop-up comes and goes, and named objects with it, between the main thread's lookups: a
        // reader of the databases on the loading thread would race with them.
        SetTopObjectDatabase(&popup);
        popup.AddObject(new AnimationController(MakeName("Probe")));
        popup.RemoveObject(popup.FindObject(MakeName("Probe"))->GetHandle());
        popup.Update(0.02f);
        SetTopObjectDatabase(&database);
        database.Update(0.02f);
        root->RefreshTree();
        root->DrawTree({0, 0});
        canvas.calls.clear();
        for (SceneNode* child = root->GetFirstChild(); child;)
        {
            SceneNode* next = child->GetNextSibling();
            database.RemoveObject(child->GetHandle());
            child = next;
        }
    }
    const std::string error = load.Join();
    SetTopObjectDatabase(nullptr);
    Graphics::SetCurrentCanvas(nullptr);
    ASSERT_EQ(error, "");

    // Each type links within its own copies.
    for (int i = 0; i < TypeCount; ++i)
    {
        SpriteType* type = GetSpriteType(("T" + std::to_string(i)).c_str()).second;
        ASSERT_NE(type, nullptr) << i;
        EXPECT_EQ(type->FindAnimation(MakeName("hop"))->linkedAnimation,
                  type->FindAnimation(MakeName("turn")));
        EXPECT_EQ(type->FindAnimation(MakeName("turn"))->linkedAnimation,
                  type->FindAnimation(MakeName("walk")));
    }
}
