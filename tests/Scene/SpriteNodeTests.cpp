#include "Scene/AnimatedSpriteNode.h"
#include "Scene/StaticSpriteNode.h"

#include "Framework/ObjectDatabase.h"
#include "Graphics/AnimationController.h"
#include "Graphics/Image.h"
#include "Graphics/ImageCanvas.h"
#include "Graphics/ImageList.h"
#include "Scene/SceneLayout.h"
#include "Scene/SceneResourceFactories.h"
#include "Scene/SpriteType.h"

#include "Scene/SceneTestSupport.h"
#include "SpriteTestSupport.h"
#include "Support/GraphicsFakes.h"
#include "Support/ResourceTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace Kestrin;
using namespace Kestrin::Graphics;
using namespace SceneTest;
using KestrinTest::FilledImage;
using KestrinTest::MakeImage;
using KestrinTest::RecordingCanvas;

namespace
{

SpriteAnimation Animation(const char* name, std::vector<int> indices, int plays = 1, float frameTime = 0.1f,
                          const char* link = nullptr)
{
    SpriteAnimation record(plays, false, MakeName(name), link ? MakeName(link) : NameId());
    record.frames.clear();
    for (int index : indices)
        record.frames.push_back({index, frameTime});
    return record;
}

// A sprite type "Bug" over three frames: 4 x 4, 6 x 5, and a 3 x 2 one whose left column is clear.
class SpriteNodes : public SceneFixture
{
protected:
    SpriteNodes()
    {
        SetCurrentCanvas(&canvas);
        images.AddOwnedImage(FilledImage(4, 4, 0xFFFFFFFF).release());
        images.AddOwnedImage(FilledImage(6, 5, 0xFFFFFFFF).release());
        images.AddOwnedImage(
            MakeImage(3, 2, {0x00FFFFFF, 0x1AFFFFFF, 0xFFFFFFFF, 0x19FFFFFF, 0x1AFFFFFF, 0xFF000000})
                .release());
        type.SetName(MakeName("Bug"));
        type.SetImageList(&images);
        type.AddAnimation(Animation("walk", {0, 1}, 0));
        type.AddAnimation(Animation("hop", {2}, 1, 0.1f));
        type.AddAnimation(Animation("big", {1}, 1));
        type.ResolveLinks();
        root = Node(nullptr, 0, 0, 800, 600);
        database.AddObject(root);
        root->RefreshTree();
    }
    ~SpriteNodes() override { SetCurrentCanvas(nullptr); }

    // Under the root, whose world state the nodes' lazy world states start from.
    template <typename N> N* Add(N* node)
    {
        node->SetParent(root);
        database.AddObject(node);
        return node;
    }
    AnimatedSpriteNode* Sprite(bool shared = false)
    {
        auto* node = new AnimatedSpriteNode(&type);
        node->SetUseSharedAnimationController(shared);
        return Add(node);
    }
    size_t ControllerCount()
    {
        size_t count = 0;
        for (uint32_t i = 0; i < database.GetTableSize(); ++i)
            if (database.GetEntryState(i) == ObjectDatabase::Live)
                ++count;
        return count - 1 - root->GetChildCount(); // less the nodes
    }
    static NameId N(const char* name) { return MakeName(name); }

    RecordingCanvas canvas;
    ImageList images;
    SpriteType type;
    SceneNode* root = nullptr;
};

TEST_F(SpriteNodes, ANewNodeShowsImageZeroAndRegistersItsControllerWithItself)
{
    auto* node = new AnimatedSpriteNode(&type);
    node->SetPosition(10, 20);
    EXPECT_EQ(node->GetLocalState().width, 4.0f); // frame 0 before anything played
    EXPECT_EQ(node->GetLocalState().height, 4.0f);
    AnimationController* own = node->GetAnimationController();
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(own->GetDatabase(), nullptr); // held by the node until it joins a database

    Add(node);
    EXPECT_EQ(node->GetAnimationController(), own);
    EXPECT_TRUE(database.IsValidHandle(own->GetHandle()));

    root->RefreshTree();
    node->DrawTree({1, 2});
    ASSERT_EQ(canvas.calls.size(), 1u);
    EXPECT_EQ(canvas.calls[0].what, "Image");
    EXPECT_EQ(canvas.calls[0].image, images.GetImageAt(0));
    EXPECT_EQ(canvas.calls[0].x, 11.0f);
    EXPECT_EQ(canvas.calls[0].y, 22.0f);

    // An animation the type lacks plays nothing.
    node->PlayAnimation(N("nowhere"));
    EXPECT_EQ(own->GetCurrentAnimation(), nullptr);
    EXPECT_FALSE(node->IsPlayingAnimation(N("nowhere")));
}

TEST_F(SpriteNodes, TheNodeFollowsItsControllersFrameInSizeAndPicture)
{
    AnimatedSpriteNode* node = Sprite();
    node->PlayAnimation(N("walk"));
    EXPECT_TRUE(node->IsPlayingAnimation(N("walk")));
    database.Update(0.15f); // the controller moves to frame 1 after the node's own update
    root->RefreshTree();
    node->DrawTree({0, 0});
    EXPECT_EQ(node->GetWorldRect(), (Rect<float>(0, 0, 6, 5)));
    ASSERT_EQ(canvas.calls.size(), 1u);
    EXPECT_EQ(canvas.calls[0].image, images.GetImageAt(1));
}

TEST_F(SpriteNodes, InterruptedAnimationsResumeAndQueuedOnesStartWhenAlone)
{
    AnimatedSpriteNode* node = Sprite();
    node->QueueAnimation(N("walk")); // nothing queued: starts at once
    EXPECT_TRUE(node->IsPlayingAnimation(N("walk")));
    node->QueueAnimation(N("hop")); // behind an endless one: waits
    EXPECT_TRUE(node->IsPlayingAnimation(N("walk")));

    node->InterruptWithAnimation(N("big"));
    EXPECT_TRUE(node->IsPlayingAnimation(N("big")));
    EXPECT_EQ(node->GetLocalState().width, 6.0f);
    database.Update(0.15f); // "big" (one frame of 0.1 s) ends
    EXPECT_TRUE(node->IsPlayingAnimation(N("walk")));
    EXPECT_FALSE(node->IsPlayingAnimation(N("big")));

    node->PlayAnimation(N("hop"));
    EXPECT_EQ(node->GetAnimationController()->GetQueueLength(), 1u);
    EXPECT_EQ(node->GetLocalState().width, 3.0f);
}

TEST_F(SpriteNodes, NodesSharingTheTypesControllerMoveInStep)
{
    AnimatedSpriteNode* a = Sprite(true);
    AnimatedSpriteNode* b = Sprite(true);
    a->PlayAnimation(N("walk"));
    EXPECT_TRUE(b->IsPlayingAnimation(N("walk")));
    ASSERT_EQ(a->GetAnimationController(), b->GetAnimationController());
    EXPECT_EQ(a->GetAnimationController()->GetName(), N("BugSharedAnimationController"));
    database.Update(0.15f);
    EXPECT_EQ(a->GetFrameIndex(), 1);
    EXPECT_EQ(b->GetFrameIndex(), 1);
    // Both still own a registered controller of their own: two nodes, two own, one shared.
    EXPECT_EQ(ControllerCount(), 3u);
}

TEST_F(SpriteNodes, TheSharedControllerLivesInTheNodesOwnDatabaseAndIsFetchedAgainWhenGone)
{
    AnimatedSpriteNode* node = Sprite(true);
    ObjectDatabase popup;
    {
        // First used while a pop-up's database is current: made in the node's database all the same.
        ScopedCurrentObjectDatabase current(&popup);
        root->RefreshTree();
        node->DrawTree({0, 0});
    }
    AnimationController* shared = node->GetAnimationController();
    EXPECT_EQ(shared->GetDatabase(), &database);
    EXPECT_EQ(popup.FindObject(N("BugSharedAnimationController")), nullptr);

    // Renaming the type removes the controller; the node takes the one of the new name.
    const ObjectHandle old = shared->GetHandle();
    type.SetName(N("Beetle"));
    database.Update(0.02f); // deletes the old one
    EXPECT_FALSE(database.IsValidHandle(old));
    node->PlayAnimation(N("walk"));
    ASSERT_NE(node->GetAnimationController(), nullptr);
    EXPECT_EQ(node->GetAnimationController()->GetName(), N("BeetleSharedAnimationController"));
    EXPECT_TRUE(node->IsPlayingAnimation(N("walk")));
}

TEST_F(SpriteNodes, ChangingTheTypeOrLeavingTheSceneTakesTheOwnControllerAlong)
{
    SpriteType other;
    other.SetName(N("Other"));
    other.SetImageList(&images);
    AnimatedSpriteNode* node = Sprite();
    const ObjectHandle first = node->GetAnimationController()->GetHandle();
    node->SetSpriteType(&type); // the same type: nothing changes
    EXPECT_EQ(node->GetAnimationController()->GetHandle(), first);

    node->SetSpriteType(&other);
    EXPECT_FALSE(database.IsValidHandle(first));
    const ObjectHandle second = node->GetAnimationController()->GetHandle();
    EXPECT_TRUE(database.IsValidHandle(second));

    database.RemoveObject(node->GetHandle());
    EXPECT_FALSE(database.IsValidHandle(second));
    database.Update(0.02f);
    EXPECT_EQ(ControllerCount(), 0u);

    // Without a type the node is inert.
    AnimatedSpriteNode* inert = Sprite();
    inert->SetSpriteType(nullptr);
    inert->SetHitTest(true);
    inert->PlayAnimation(N("walk"));
    root->RefreshTree();
    inert->DrawTree({0, 0});
    EXPECT_EQ(inert->GetAnimationController(), nullptr);
    EXPECT_EQ(inert->GetWorldRect(), (Rect<float>(0, 0, 0, 0)));
    EXPECT_EQ(inert->FindNodeAt({0, 0}), nullptr);
    EXPECT_TRUE(canvas.calls.empty());
}

TEST_F(SpriteNodes, AFrameBeyondTheImageListShowsNothing)
{
    ImageList one;
    one.AddImage(images.GetImageAt(0));
    AnimatedSpriteNode* node = Sprite();
    node->PlayAnimation(N("big")); // frame 1
    type.SetImageList(&one);
    node->SetHitTest(true);
    root->RefreshTree();
    node->DrawTree({0, 0});
    EXPECT_EQ(node->GetFrameIndex(), -1);
    EXPECT_EQ(node->GetWorldRect(), (Rect<float>(0, 0, 0, 0)));
    EXPECT_EQ(node->FindNodeAt({0, 0}), nullptr);
    EXPECT_TRUE(canvas.calls.empty());
}

TEST_F(SpriteNodes, AlphaSensitiveHitsGoByTheShownPixel)
{
    // Frame 2 at (10, 20): alphas 0x00 0x1A 0xFF / 0x19 0x1A 0xFF; the rectangle's far edges are out.
    struct Case
    {
        int sensitivity;
        float x, y;
        bool hit;
    };
    const Case cases[] = {
        {0, 10.0f, 20.0f, true},    {0, 12.9f, 21.9f, true},   {0, 13.0f, 20.0f, false},
        {0, 9.9f, 20.0f, false},    {25, 10.0f, 20.0f, false}, {25, 11.5f, 20.5f, true},
        {25, 10.9f, 21.2f, false},  {25, 11.0f, 21.0f, true},  {254, 12.0f, 21.0f, true},
        {255, 12.0f, 21.0f, false},
    };
    AnimatedSpriteNode* node = Sprite();
    node->SetPosition(10, 20);
    node->SetHitTest(true);
    node->PlayAnimation(N("hop"));
    for (const Case& c : cases)
    {
        node->SetAlphaSensitivity(c.sensitivity);
        EXPECT_EQ(node->HitTest({c.x, c.y}), c.hit) << c.sensitivity << " at " << c.x << "," << c.y;
    }

    // The same rule on a static sprite of that image.
    auto* still = new StaticSpriteNode(images.GetImageAt(2));
    still->SetPosition(10, 20);
    Add(still);
    for (const Case& c : cases)
    {
        still->SetAlphaSensitivity(c.sensitivity);
        EXPECT_EQ(still->HitTest({c.x, c.y}), c.hit) << c.sensitivity << " at " << c.x << "," << c.y;
    }
}

TEST_F(SpriteNodes, AStaticSpriteIsTheSizeOfItsImage)
{
    auto* node = new StaticSpriteNode(images.GetImageAt(0));
    Add(node);
    root->RefreshTree();
    EXPECT_EQ(node->GetDirtyMask(), 0u);

    node->SetImage(images.GetImageAt(1));
    EXPECT_EQ(node->GetDirtyMask() & SceneNode::Dirty_Position, uint32_t(SceneNode::Dirty_Position));
    EXPECT_EQ(node->GetWorldRect(), (Rect<float>(0, 0, 6, 5)));

    node->SetImage(&images, 2);
    EXPECT_EQ(node->GetImage(), images.GetImageAt(2));
    node->SetImage(&images, images.Count()); // one past the end
    EXPECT_EQ(node->GetImage(), nullptr);
    EXPECT_EQ(node->GetWorldRect(), (Rect<float>(0, 0, 0, 0)));
    node->SetImage(nullptr, 0);
    EXPECT_FALSE(node->HasImage());

    // Hidden, it draws nothing.
    node->SetImage(images.GetImageAt(0));
    node->SetVisible(false);
    node->DrawTree({0, 0});
    EXPECT_TRUE(canvas.calls.empty());
}

TEST_F(SpriteNodes, FilmStripFramesShowThroughTheStripsImage)
{
    // Two 2 x 2 frames side by side: the left one red, the right one green.
    FilmStrip strip(MakeImage(4, 2,
                              {0xFFFF0000, 0xFFFF0000, 0xFF00FF00, 0xFF00FF00, 0xFFFF0000, 0xFFFF0000,
                               0xFF00FF00, 0xFF00FF00}),
                    2, 1);
    auto* still = new StaticSpriteNode(&strip, 1);
    still->SetPosition(1, 1);
    Add(still);
    EXPECT_EQ(still->GetWorldRect(), (Rect<float>(1, 1, 2, 2)));

    SpriteType stripType;
    stripType.SetName(N("Strip"));
    stripType.SetImageList(&strip);
    stripType.AddAnimation(Animation("right", {1}));
    auto* sprite = new AnimatedSpriteNode(&stripType);
    sprite->PlayAnimation(N("right"));
    sprite->SetPosition(5, 1);
    sprite->SetScale(2, 2);
    sprite->SetScaleAlignment(0, 0);
    Add(sprite);

    Image target(10, 6);
    cImageCanvas pixels(target);
    SetCurrentCanvas(&pixels);
    root->RefreshTree();
    still->DrawTree({0, 0});
    sprite->DrawTree({0, 0});
    SetCurrentCanvas(&canvas);
    EXPECT_EQ(KestrinTest::Plot(target), "..........\n"
                                         ".xx..xxxx.\n"
                                         ".xx..xxxx.\n"
                                         ".....xxxx.\n"
                                         ".....xxxx.\n"
                                         "..........\n");
    EXPECT_EQ(target.GetPixel(1, 1), 0xFF00FF00u);
    EXPECT_EQ(target.GetPixel(8, 4), 0xFF00FF00u);
    EXPECT_EQ(CurrentDrawState(), GetDefaultDrawState()); // the source rectangle did not stay behind
}

// ---- built from layouts ----

class SpriteLayouts : public KestrinTest::ResourceTest
{
protected:
    SpriteLayouts()
    {
        RegisterSceneResourceFactories(*manager);
        SpriteTest::RegisterTestImageFactories(*manager);
        SetTopObjectDatabase(&database);
        SetCurrentCanvas(&canvas);
    }
    ~SpriteLayouts() override
    {
        SetCurrentCanvas(nullptr);
        SetTopObjectDatabase(nullptr);
    }
    SceneNode* Build(const char* layout)
    {
        return GetSceneLayout(layout).second->Instantiate(database, nullptr);
    }

    ObjectDatabase database;
    RecordingCanvas canvas;
};

TEST_F(SpriteLayouts, SpriteKindsReadTheirAttributes)
{
    LoadText(L"G", R"(<r>
      <testimages name="Frames" count="3"/>
      <spritetype name="Blob" images="Frames"><animation name="grow" frameList="1,2" fps="10"/></spritetype>
      <scenelayout name="L"><scenenode width="100" height="100">
        <animatedspritenode nodeName="a" spriteType="Blob" initialAnimation="grow" useSharedAnimationController="true"
                            alphaSensitivity="7" centerOnParent="true"/>
        <animatedspritenode nodeName="b" spriteType="Blob" useSharedAnimationController="true"/>
        <animatedspritenode nodeName="c" spriteType="Missing" initialAnimation="grow"/>
        <animatedspritenode nodeName="d" spriteType="Blob" initialAnimation="nothing"/>
        <staticspritenode nodeName="e" src="Frames" alphaSensitivity="3"/>
      </scenenode></scenelayout></r>)");
    SceneNode* root = Build("L");
    root->RefreshTree();
    auto* a = dynamic_cast<AnimatedSpriteNode*>(root->FindNode({"a"}));
    auto* b = dynamic_cast<AnimatedSpriteNode*>(root->FindNode({"b"}));
    auto* c = dynamic_cast<AnimatedSpriteNode*>(root->FindNode({"c"}));
    auto* d = dynamic_cast<AnimatedSpriteNode*>(root->FindNode({"d"}));
    auto* e = dynamic_cast<StaticSpriteNode*>(root->FindNode({"e"}));
    ASSERT_TRUE(a && b && c && d && e);

    EXPECT_EQ(a->GetAlphaSensitivity(), 7);
    EXPECT_TRUE(b->IsPlayingAnimation(MakeName("grow"))); // one shared controller
    // The size at build time is frame 1's (5 x 5), and it aligns the node in its parent.
    EXPECT_EQ(a->GetWorldRect(), (Rect<float>(47.5f, 47.5f, 5, 5)));
    EXPECT_EQ(c->GetSpriteType(), nullptr);
    EXPECT_EQ(d->GetFrameIndex(), 0);
    EXPECT_EQ(d->GetWorldRect().w, 4.0f);
    // "src" names an image, not a list.
    EXPECT_FALSE(e->HasImage());
    EXPECT_EQ(e->GetAlphaSensitivity(), 3);

    // Every typed node owns a registered controller, and the shared one is there too.
    int controllers = 0;
    for (uint32_t i = 0; i < database.GetTableSize(); ++i)
        if (database.GetEntryState(i) == ObjectDatabase::Live)
            ++controllers;
    EXPECT_EQ(controllers, 6 + 3 + 1); // the nodes, three own controllers, the shared one
}

} // namespace
