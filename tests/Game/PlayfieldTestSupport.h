#pragma once
// The game screen as far as a test needs it: the nodes at some paths of the game's NodePath table,
// each of the kind the game's layouts give it, and the collision tree the game screen keeps; and a
// fixture on such a screen.
#include "Game/CollisionQuadTree.h"
#include "Game/GameConstants.h"
#include "Game/LayerNodes.h"
#include "Platform/Looper.h"
#include "Scene/SceneApplicationMode.h"
#include "Scene/StaticSpriteNode.h"
#include "Scene/TextSpriteNode.h"

#include "TutorialTests.h"

#include <string>
#include <utility>
#include <vector>

namespace GameTest
{

class PlayfieldScreen : public SceneApplicationMode
{
public:
    struct Options
    {
        // Built in this order; a path shares the nodes it has in common with the ones before.
        std::vector<NodePath> paths;
        bool collisionTree = false;
    };

    explicit PlayfieldScreen(Options options) : m_paths(std::move(options.paths))
    {
        if (options.collisionTree)
        {
            tree = new CollisionQuadTree(1000);
            SetCollisionTree(this, tree);
        }
    }
    // The tree goes before the screen's objects, as on the game screen.
    ~PlayfieldScreen() override
    {
        if (!tree)
            return;
        SetCollisionTree(this, nullptr);
        delete tree;
    }

    void Enter() override
    {
        SceneApplicationMode::Enter();
        for (NodePath path : m_paths)
        {
            SceneNode* parent = GetRootNode();
            const std::vector<std::string> names = GetNodePathNames(path);
            for (size_t i = 0; i < names.size(); ++i)
            {
                SceneNode* node = parent->FindChild(names[i]);
                if (!node)
                {
                    node = i + 1 == names.size() ? Make(path) : new SceneNode;
                    node->SetNodeName(Kestrin::MakeName(names[i]));
                    AddObject(node);
                    node->SetParent(parent);
                }
                parent = node;
            }
        }
    }

    SceneNode* At(NodePath path) { return FindNodeAtPath(GetRootNode(), path); }
    // Fixed steps of the loop, then the collision pass when the screen keeps a tree, as the game
    // screen runs them.
    void Steps(Kestrin::Looper& looper, int count, float dt = 0.02f)
    {
        for (int i = 0; i < count; ++i)
        {
            looper.UpdateAll(dt);
            if (tree)
                tree->Update(dt);
        }
    }

    CollisionQuadTree* tree = nullptr;

private:
    static SceneNode* Make(NodePath path)
    {
        switch (path)
        {
        case NodePath::LineAttachLayerNode:
            return new LineLayerNode;
        case NodePath::CreatureLayerNode:
            return new YSortedLayerNode;
        case NodePath::LevelBackground:
        case NodePath::BannerTextImage:
        case NodePath::GuiMeterFlash:
            return new StaticSpriteNode;
        case NodePath::GuiTimer:
        case NodePath::GuiExpertTime:
            return new TextSpriteNode({0.0f, 0.0f}, std::wstring(), nullptr, 0.0f);
        default:
            return new SceneNode;
        }
    }

    std::vector<NodePath> m_paths;
};

// The screen is made with the fixture and pushed by the fixture built on it, once its resources are
// loaded; the fixture's end takes it away.
class PlayfieldTest : public TutorialTest
{
protected:
    explicit PlayfieldTest(PlayfieldScreen::Options options) : screen(new PlayfieldScreen(std::move(options)))
    {
    }

    void Steps(int count, float dt = 0.02f) { screen->Steps(*looper, count, dt); }

    PlayfieldScreen* screen;
};

} // namespace GameTest
