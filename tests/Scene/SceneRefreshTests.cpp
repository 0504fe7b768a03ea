// The refresh skips what did not change; these tests hold it to the plain rule (every node from
// its parent, numbered in pre-order) over random trees and random changes.
#include "Scene/SceneNode.h"

#include "Scene/SceneTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <vector>

using namespace Kestrin;
using namespace SceneTest;

namespace
{

struct Expected
{
    SceneNode::NodeState world;
    float depth = 0.0f;
};

float Offset(int align, float size)
{
    return align == 1 ? 0.5f * size : align == 2 ? size : 0.0f;
}

// The world state as the rule gives it, written out without any skipping.
void Expect(SceneNode* node, const SceneNode::NodeState& parentWorld, const SceneNode::NodeState& parentLocal,
            float& counter, std::map<SceneNode*, Expected>& out)
{
    const SceneNode::NodeState& l = node->GetLocalState();
    SceneNode::NodeState w;
    w.x = parentWorld.x + l.x + Offset(node->GetParentHAlign(), parentLocal.width) -
          Offset(node->GetSelfHAlign(), l.width);
    w.y = parentWorld.y + l.y + Offset(node->GetParentVAlign(), parentLocal.height) -
          Offset(node->GetSelfVAlign(), l.height);
    w.width = l.width;
    w.height = l.height;
    w.visible = parentWorld.visible && l.visible;
    w.color = ColorF(l.color.r, l.color.g, l.color.b, parentWorld.color.a * l.color.a);
    w.scaleX = parentWorld.scaleX * l.scaleX;
    w.scaleY = parentWorld.scaleY * l.scaleY;
    w.orientation = parentWorld.orientation + l.orientation;
    out[node] = {w, counter};
    counter += 1.0f;
    for (SceneNode* child = node->GetFirstChild(); child; child = child->GetNextSibling())
        Expect(child, w, l, counter, out);
}

void ExpectTree(SceneNode* root)
{
    std::map<SceneNode*, Expected> expected;
    expected[root] = {root->GetLocalState(), 0.0f};
    float counter = 1.0f;
    for (SceneNode* child = root->GetFirstChild(); child; child = child->GetNextSibling())
        Expect(child, root->GetLocalState(), root->GetLocalState(), counter, expected);
    for (auto& [node, e] : expected)
    {
        const Rect<float> rect = node->GetWorldRect();
        ASSERT_EQ(rect, (Rect<float>{e.world.x, e.world.y, e.world.width, e.world.height}));
        ASSERT_EQ(node->IsWorldVisible(), e.world.visible);
        ASSERT_EQ(node->GetWorldColor(), e.world.color);
        ASSERT_EQ(node->GetWorldScale(), (Vector2<float>{e.world.scaleX, e.world.scaleY}));
        ASSERT_EQ(node->GetWorldOrientation(), e.world.orientation);
        ASSERT_EQ(node->GetDepth(), e.depth);
    }
}

bool IsUnder(SceneNode* node, SceneNode* ancestor)
{
    for (SceneNode* n = node; n; n = n->GetParent())
        if (n == ancestor)
            return true;
    return false;
}

void CollectSubtree(SceneNode* node, std::vector<SceneNode*>& out)
{
    out.push_back(node);
    for (SceneNode* child = node->GetFirstChild(); child; child = child->GetNextSibling())
        CollectSubtree(child, out);
}

using SceneRefresh = SceneFixture;

} // namespace

TEST_F(SceneRefresh, RandomChangesEndInTheStateThePlainRuleGives)
{
    std::mt19937 random(1234);
    auto pick = [&random](int n) { return int(random() % uint32_t(n)); };
    auto value = [&random](float lo, float hi)
    { return std::uniform_real_distribution<float>(lo, hi)(random); };

    SceneNode* root = Node(nullptr, 3, 4, 800, 600);
    std::vector<SceneNode*> nodes{root};
    for (int i = 0; i < 60; ++i)
        nodes.push_back(Node(nodes[size_t(pick(int(nodes.size())))], value(-50, 50), value(-50, 50),
                             value(0, 200), value(0, 200)));
    root->RegisterTree(database);
    root->RefreshTree();
    ASSERT_NO_FATAL_FAILURE(ExpectTree(root));

    for (int step = 0; step < 3000; ++step)
    {
        SceneNode* node = nodes[size_t(pick(int(nodes.size())))];
        switch (pick(12))
        {
        case 0:
            node->SetPosition(value(-50, 50), value(-50, 50));
            break;
        case 1:
            node->SetSize(value(0, 200), value(0, 200));
            break;
        case 2:
            node->SetVisible(pick(3) != 0);
            break;
        case 3:
            node->SetColor(ColorF(value(0, 1), value(0, 1), value(0, 1), value(0, 1)));
            break;
        case 4:
            node->SetScale(value(0.5f, 2), value(0.5f, 2));
            break;
        case 5:
            node->SetOrientation(value(-1, 1));
            break;
        case 6:
            node->SetParentAlignment(pick(3), pick(3));
            node->SetSelfAlignment(pick(3), pick(3));
            break;
        case 7: // a move under another node that is not below it
        {
            SceneNode* target = nodes[size_t(pick(int(nodes.size())))];
            if (node != root && !IsUnder(target, node))
                node->SetParent(target);
            break;
        }
        case 8: // a new node
        {
            SceneNode* added = Node(node, value(-50, 50), value(-50, 50), value(0, 200), value(0, 200));
            database.AddObject(added);
            nodes.push_back(added);
            break;
        }
        case 9: // a subtree goes
            if (node != root && nodes.size() > 20)
            {
                std::vector<SceneNode*> gone;
                CollectSubtree(node, gone);
                database.RemoveObject(node->GetHandle());
                database.Update(0.0f);
                std::erase_if(nodes, [&gone](SceneNode* n)
                              { return std::find(gone.begin(), gone.end(), n) != gone.end(); });
            }
            break;
        case 10: // a read between frames catches up part of the tree
            node->GetWorldRect();
            node->GetWorldColor();
            break;
        default:
            root->RefreshTree();
            ASSERT_NO_FATAL_FAILURE(ExpectTree(root)) << "step " << step;
            break;
        }
    }
    root->RefreshTree();
    ExpectTree(root);
}
