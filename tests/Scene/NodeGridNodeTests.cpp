#include "Scene/NodeGridNode.h"

#include "Scene/NodeKindTestSupport.h"
#include "Scene/SceneTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace Kestrin;
using namespace SceneTest;

namespace
{

using Points = std::vector<Vector2<float>>;

Points Positions(SceneNode* grid)
{
    Points out;
    for (SceneNode* child = grid->GetFirstChild(); child; child = child->GetNextSibling())
        out.push_back({child->GetLocalState().x, child->GetLocalState().y});
    return out;
}

Vector2<float> SizeOf(SceneNode* node)
{
    return {node->GetLocalState().width, node->GetLocalState().height};
}

class NodeGrids : public SceneFixture
{
};

} // namespace

TEST_F(NodeGrids, ChildrenArePlacedInRowsOrColumnsThatWrapAtTheLimit)
{
    struct Case
    {
        const char* what;
        float hSpacing, vSpacing, maxWidth, maxHeight;
        int grow;
        std::vector<Vector2<float>> sizes;
        Points positions;
        Vector2<float> size;
    };
    const Case cases[] = {
        {"one row without a limit",
         3,
         9,
         -1,
         -1,
         0,
         {{10, 10}, {20, 5}, {5, 15}},
         {{0, 0}, {13, 0}, {36, 0}},
         {41, 15}},
        {"a child that ends on the limit stays",
         2,
         4,
         22,
         -1,
         0,
         {{10, 10}, {10, 10}, {10, 10}},
         {{0, 0}, {12, 0}, {0, 14}},
         {22, 24}},
        {"every row advances by the tallest so far",
         2,
         0,
         22,
         -1,
         0,
         {{10, 30}, {10, 10}, {10, 10}, {10, 10}, {10, 10}},
         {{0, 0}, {12, 0}, {0, 30}, {12, 30}, {0, 60}},
         {22, 90}},
        {"a first child wider than the limit starts the second row",
         2,
         4,
         22,
         -1,
         0,
         {{30, 10}},
         {{0, 4}},
         {30, 14}},
        {"the widest row gives the width",
         0,
         0,
         25,
         -1,
         0,
         {{20, 5}, {10, 5}, {5, 5}},
         {{0, 0}, {0, 5}, {10, 5}},
         {20, 10}},
        {"columns", 4, 2, -1, 22, 1, {{10, 10}, {10, 10}, {10, 10}}, {{0, 0}, {0, 12}, {14, 0}}, {24, 22}},
        {"a first child taller than the limit starts the second column",
         4,
         2,
         -1,
         22,
         1,
         {{10, 30}},
         {{4, 0}},
         {14, 30}},
        {"an unknown growth places nothing", 2, 2, -1, -1, 7, {{10, 10}}, {{5, 5}}, {0, 0}},
    };
    for (const Case& c : cases)
    {
        auto* grid = new NodeGridNode(c.hSpacing, c.vSpacing, c.maxWidth, c.maxHeight, c.grow);
        database.AddObject(grid);
        for (const auto& s : c.sizes)
        {
            SceneNode* child = Node(nullptr, 5, 5, s.x, s.y);
            database.AddObject(child);
            child->SetParent(grid);
        }
        EXPECT_EQ(Positions(grid), c.positions) << c.what;
        EXPECT_EQ(SizeOf(grid), c.size) << c.what;
    }
}

TEST_F(NodeGrids, RemovingAChildRepacksButResizingOneMovesNothingUntilTheNextChange)
{
    auto* grid = new NodeGridNode(2, 0, -1, -1, NodeGridNode::HorizontalFirst);
    database.AddObject(grid);
    SceneNode* a = Node(grid, 0, 0, 10, 10);
    SceneNode* b = Node(grid, 0, 0, 20, 10);
    SceneNode* c = Node(grid, 0, 0, 10, 10);
    for (SceneNode* n : {a, b, c})
        database.AddObject(n);
    EXPECT_EQ(Positions(grid), (Points{{0, 0}, {12, 0}, {34, 0}}));

    a->SetSize(40, 10);
    EXPECT_EQ(Positions(grid), (Points{{0, 0}, {12, 0}, {34, 0}}));
    EXPECT_EQ(SizeOf(grid), Vector2<float>(44, 10));

    b->RemoveFromScene();
    EXPECT_EQ(Positions(grid), (Points{{0, 0}, {42, 0}}));
    EXPECT_EQ(SizeOf(grid), Vector2<float>(52, 10));

    // A child's extent takes in its own children.
    SceneNode* group = Node(nullptr, 0, 0, 5, 5);
    Node(group, 10, 0, 10, 20);
    group->RegisterTree(database);
    group->SetParent(grid);
    EXPECT_EQ(Positions(grid), (Points{{0, 0}, {42, 0}, {54, 0}}));
    EXPECT_EQ(SizeOf(grid), Vector2<float>(74, 20));
}

namespace
{
class NodeGridLayouts : public NodeKindTest
{
};
} // namespace

TEST_F(NodeGridLayouts, AGridReadsItsAttributesAndPlacesTheChildrenOfItsElement)
{
    const std::string children =
        "<scenenode width=\"10\" height=\"10\" x=\"50\"/>"
        "<scenenode width=\"10\" height=\"10\"/><scenenode width=\"10\" height=\"10\"/>";
    SceneNode* columns =
        Build("<nodegridnode gridGrowBehavior=\"verticalFirst\" maxHeight=\"22\" vSpacing=\"2\" "
              "hSpacing=\"4\" x=\"100\">" +
              children + "</nodegridnode>");
    ASSERT_NE(columns, nullptr);
    EXPECT_EQ(Positions(columns), (Points{{0, 0}, {0, 12}, {14, 0}}));
    EXPECT_EQ(columns->GetWorldRect(), Rect<float>(100, 0, 24, 22));

    // The word is matched exactly; the limits default to none.
    SceneNode* row = Build("<nodegridnode gridGrowBehavior=\"VerticalFirst\" maxHeight=\"22\">" + children +
                           "</nodegridnode>");
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(Positions(row), (Points{{0, 0}, {10, 0}, {20, 0}}));
    EXPECT_EQ(SizeOf(row), Vector2<float>(30, 10));
}
