#include "Base/Random.h"
#include "Game/CollisionQuadTree.h"

#include "Game/CollisionTestSupport.h"
#include "Support/FakeRandom.h"
#include "Support/GraphicsFakes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <random>
#include <set>

using namespace GameTest;

namespace
{

struct BoxCase
{
    Vector2f centre;
    float w, h;
    bool overlapsUnit; // with the 80 x 80 box at (100, 100)
    bool outside;      // of the playfield
};

bool SameBox(const CollisionTreeComponent& a, const CollisionTreeComponent& b)
{
    Vector2f pa = a.GetCentre(), pb = b.GetCentre();
    return pa.x - a.GetHalfWidth() <= pb.x + b.GetHalfWidth() &&
           pb.x - b.GetHalfWidth() <= pa.x + a.GetHalfWidth() &&
           pa.y - a.GetHalfHeight() <= pb.y + b.GetHalfHeight() &&
           pb.y - b.GetHalfHeight() <= pa.y + a.GetHalfHeight();
}

// Every component sits in exactly one cell, the deepest whose loose square holds it, and no cell
// but the root stays empty and childless.
void ExpectTreeSound(const CollisionQuadTree& tree)
{
    std::map<const CollisionTreeComponent*, int> seen;
    std::function<void(const CollisionQuadTreeNode&)> walk = [&](const CollisionQuadTreeNode& node)
    {
        bool hasChild = false;
        for (const auto& child : node.children)
            if (child)
            {
                hasChild = true;
                EXPECT_EQ(child->parent, &node);
                walk(*child);
            }
        if (&node != tree.GetRoot())
        {
            EXPECT_TRUE(hasChild || !node.items.empty()) << "an empty cell was left behind";
        }
        for (const auto& item : node.items)
        {
            ++seen[item.component];
            if (&node != tree.GetRoot())
            {
                EXPECT_TRUE(CollisionQuadTree::FitsInSquare(*item.component, node.centerX, node.centerY,
                                                            2 * node.halfExtent));
            }
        }
    };
    walk(*tree.GetRoot());
    for (CollisionTreeComponent* c : tree.GetComponents())
        EXPECT_EQ(seen[c], 1);
    EXPECT_EQ(seen.size(), tree.GetComponents().size());
}

} // namespace

TEST(CollisionBox, EdgesCountAsInsideForOverlapPointAndPlayfield)
{
    Told told;
    TestBox unit(told, {100, 100}, 80, 80); // 60..140
    const BoxCase cases[] = {
        {{180, 100}, 80, 80, true, false},      // shares the right edge
        {{180.01f, 100}, 80, 80, false, false}, // just apart
        {{100, 20}, 80, 80, true, true},        // shares the top edge, top above 20
        {{65, 60}, 80, 80, true, false},        // left edge exactly 25, top exactly 20
        {{64.999f, 60}, 80, 80, true, true},    // left edge 24.999
        {{735, 510}, 80, 80, false, false},     // right 775, bottom 550
        {{735, 510.01f}, 80, 80, false, true},
    };
    for (const BoxCase& c : cases)
    {
        TestBox box(told, c.centre, c.w, c.h);
        EXPECT_EQ(unit.Overlaps(box), c.overlapsUnit) << c.centre.x << "," << c.centre.y;
        EXPECT_EQ(box.Overlaps(unit), c.overlapsUnit) << c.centre.x << "," << c.centre.y;
        EXPECT_EQ(box.IsOutsidePlayfield(), c.outside) << c.centre.x << "," << c.centre.y;
    }
    EXPECT_TRUE(unit.Contains({60, 140}));
    EXPECT_FALSE(unit.Contains({140.01f, 100}));

    // The two-point box spans twice the points' extent; SetSize keeps the top-left corner.
    struct PointBox : CollisionTreeComponent
    {
        using CollisionTreeComponent::CollisionTreeComponent;
        void OnCollision(CollisionTreeComponent*) override {}
        void SyncNodePosition(Vector2f) override { ++syncs; }
        int syncs = 0;
    };
    PointBox two({10, 50}, {40, 30});
    EXPECT_EQ(two.GetCentre(), Vector2f(25, 40));
    EXPECT_EQ(two.GetHalfWidth(), 30);
    EXPECT_EQ(two.GetHalfHeight(), 20);
    HostScreen screen;
    PointBox sized({100, 100}, 80, 80);
    sized.age = 7;
    sized.SetSize(40, 40);
    EXPECT_EQ(sized.GetCentre(), Vector2f(80, 80));
    EXPECT_EQ(sized.age, 0);
    EXPECT_EQ(sized.syncs, 0);
    ExpectTreeSound(*screen.tree);
}

TEST(CollisionQuadTree, FilesBoxesInTheDeepestLooseCellAndPrunesEmptyCells)
{
    HostScreen screen;
    Told told;
    const CollisionQuadTreeNode* root = screen.tree->GetRoot();
    EXPECT_EQ(root->centerX, 400);
    EXPECT_EQ(root->halfExtent, 500);
    {
        // A tiny box on the root's centre goes upper left, then down one chain to the last level
        // (a half extent below 1 gets no children).
        TestBox centre(told, {400, 300}, 0.5f, 0.5f);
        ASSERT_NE(root->children[0], nullptr);
        const CollisionQuadTreeNode* node = root;
        int depth = 0;
        while (node->items.empty())
        {
            EXPECT_EQ(std::count(node->children.begin(), node->children.end(), nullptr), 3);
            node = std::find_if(node->children.begin(), node->children.end(),
                                [](const auto& c) { return c != nullptr; })
                       ->get();
            ++depth;
        }
        EXPECT_LE(depth, 10);
        EXPECT_GE(depth, 9);
        // A box wider than a quadrant's loose square stays in the root.
        TestBox wide(told, {400, 300}, 1001, 10);
        EXPECT_EQ(root->items.size(), 1u);
        EXPECT_EQ(root->items[0].component, &wide);
        TestBox sibling(told, {410, 310}, 4, 4);
        ExpectTreeSound(*screen.tree);
    }
    // The last box gone, only the root is left.
    EXPECT_EQ(std::count(root->children.begin(), root->children.end(), nullptr), 4);
    EXPECT_TRUE(root->items.empty());
}

// Pairs found by the tree against a brute-force pass, over seeded fields of mixed boxes: which
// pairs, in which order, who is told, who is marked colliding.
TEST(CollisionQuadTree, PairsMatchBruteForceOverSeededFields)
{
    for (uint32_t seed = 1; seed <= 25; ++seed)
    {
        SCOPED_TRACE(seed);
        HostScreen screen;
        BoostRandomNumberStream coin(seed);
        Kestrin::ScopedRandomStream scopedCoin(&coin);
        std::mt19937 random(seed);
        auto uniform = [&random](float lo, float hi)
        { return std::uniform_real_distribution<float>(lo, hi)(random); };
        Told told;
        std::vector<std::unique_ptr<TestBox>> boxes;
        for (int i = 0; i < 70; ++i)
        {
            const int priorities[] = {0, 2, 4, 4, 6};
            boxes.push_back(std::make_unique<TestBox>(told, Vector2f(uniform(-50, 850), uniform(-50, 650)),
                                                      uniform(1, 160), uniform(1, 160),
                                                      priorities[random() % 5], random() % 7 == 0));
            boxes.back()->movable = random() % 3 != 0;
        }
        for (int pass = 0; pass < 3; ++pass)
        {
            // Some boxes move, some leave; the rest rest and search nothing.
            if (pass > 0)
            {
                for (auto& box : boxes)
                    if (random() % 3 == 0)
                        box->SetPosition(box->GetCentre() + Vector2f(uniform(-30, 30), uniform(-30, 30)));
                boxes.erase(boxes.begin() + long(random() % boxes.size()));
            }
            std::map<CollisionTreeComponent*, int> ageBefore;
            std::set<std::pair<CollisionTreeComponent*, CollisionTreeComponent*>> expected;
            for (auto& c : boxes)
            {
                ageBefore[c.get()] = c->age;
                if (c->age != 0 && !c->sensor)
                    continue;
                for (auto& o : boxes)
                    if (o != c && SameBox(*c, *o))
                        expected.insert(std::minmax<CollisionTreeComponent*>(c.get(), o.get()));
            }
            told.clear();
            screen.tree->KeepPairs(true);
            screen.tree->Update();

            const auto& pairs = screen.tree->GetLastPairs();
            std::set<std::pair<CollisionTreeComponent*, CollisionTreeComponent*>> found, unordered;
            std::map<CollisionTreeComponent*, bool> colliding;
            for (auto [first, second] : pairs)
            {
                EXPECT_TRUE(found.insert({first, second}).second) << "a pair told twice";
                unordered.insert(std::minmax(first, second));
                auto* a = static_cast<TestBox*>(first);
                auto* b = static_cast<TestBox*>(second);
                if (a->priority != b->priority)
                {
                    EXPECT_GT(a->priority, b->priority);
                }
                else if (ageBefore[a] != ageBefore[b])
                {
                    EXPECT_LT(ageBefore[a], ageBefore[b]);
                }
                if (!a->sensor && !b->sensor)
                {
                    colliding[a] = colliding[a] || !b->movable;
                    colliding[b] = colliding[b] || !a->movable;
                }
            }
            EXPECT_EQ(unordered, expected);
            // Second hears of first, once per pair, sensor pairs included.
            Told expectedTold;
            for (auto [first, second] : pairs)
                expectedTold.emplace_back(second, first);
            std::sort(told.begin(), told.end());
            std::sort(expectedTold.begin(), expectedTold.end());
            EXPECT_EQ(told, expectedTold);
            for (auto& box : boxes)
                EXPECT_EQ(box->colliding, colliding[box.get()] || box->IsOutsidePlayfield());
            ExpectTreeSound(*screen.tree);
        }
    }
}

TEST(CollisionQuadTree, OrdersByPriorityThenAgeThenASeededCoin)
{
    HostScreen screen;
    Told told;
    TestBox trap(told, {100, 100}, 40, 30, 6);
    TestBox creature(told, {110, 100}, 80, 80, 4);
    screen.tree->Update();
    EXPECT_EQ(told, (Told{{&creature, &trap}}));

    // Equal rank: the box that moved is first, the one at rest reacts.
    told.clear();
    TestBox resting(told, {300, 300}, 20, 20, 4);
    screen.tree->Update();
    TestBox mover(told, {310, 300}, 20, 20, 4);
    screen.tree->Update();
    EXPECT_EQ(told, (Told{{&resting, &mover}}));
    // Resting boxes that still overlap are not paired again.
    told.clear();
    screen.tree->Update();
    EXPECT_TRUE(told.empty());

    // Equal rank and age: the seeded coin picks, and both orders can be told in one pass.
    KestrinTest::FakeRandomStream heads({0.2f});
    Kestrin::ScopedRandomStream scoped(&heads);
    TestBox a(told, {600, 400}, 20, 20);
    TestBox b(told, {605, 400}, 20, 20);
    told.clear();
    screen.tree->Update();
    EXPECT_EQ(std::set(told.begin(), told.end()),
              (std::set<std::pair<CollisionTreeComponent*, CollisionTreeComponent*>>{{&a, &b}, {&b, &a}}));
}

TEST(CollisionQuadTree, EdgeBoxesCollideEveryPassAndAgeStopsAtTwenty)
{
    HostScreen screen;
    Told told;
    TestBox edge(told, {770, 300}, 20, 20); // right edge 780
    TestBox inside(told, {400, 300}, 20, 20);
    for (int pass = 1; pass <= 25; ++pass)
    {
        screen.tree->Update();
        EXPECT_TRUE(edge.colliding);
        EXPECT_EQ(edge.hitCount, pass);
        EXPECT_FALSE(inside.colliding);
    }
    EXPECT_EQ(edge.age, 20);
}

TEST(CollisionQuadTree, ABoxDeletedByAHandlerIsNotToldOfLater)
{
    HostScreen screen;
    Told told;
    TestBox victim(told, {100, 100}, 20, 20, 0);
    auto* first = new TestBox(told, {105, 100}, 20, 20, 4);
    auto* second = new TestBox(told, {95, 100}, 20, 20, 4);
    // Told of the first, the victim deletes the second, whose pair comes later.
    victim.onCollision = [&](CollisionTreeComponent* other)
    {
        if (other == first)
        {
            delete second;
            second = nullptr;
        }
    };
    screen.tree->Update();
    EXPECT_EQ(told.size(), 1u);
    ASSERT_FALSE(told.empty());
    EXPECT_EQ(told[0].first, &victim);
    EXPECT_EQ(told[0].second, first);
    delete first;
}

TEST(CollisionFreeSpot, SpiralsOutInGrowingLegsAndGivesUpOnAFullField)
{
    HostScreen screen;
    Told told;
    KestrinTest::FakeRandomStream r({0.6f});
    Kestrin::ScopedRandomStream scoped(&r);
    // Free already: stays, yet re-enters the tree and syncs.
    TestBox free(told, {400, 300}, 10, 10);
    free.age = 5;
    free.FindFreeSpot();
    EXPECT_EQ(free.GetCentre(), Vector2f(400, 300));
    EXPECT_EQ(free.age, 0);
    EXPECT_EQ(free.synced, std::vector<Vector2f>{Vector2f(400, 300)});

    // Blocked by a wall the spiral leaves after a few steps: (3, 3.2), then turned (3.2, -3) twice,
    // then (-3, -3.2) three times, ...
    TestBox wall(told, {100, 100}, 12, 12);
    TestBox aura(told, {100, 100}, 300, 300, 1, true); // sensors never block
    TestBox stuck(told, {100, 100}, 4, 4);
    stuck.FindFreeSpot();
    std::vector<Vector2f> walk{{100, 100}};
    Vector2f step(5 * 0.6f, 5 * (1 - 0.36f));
    for (int leg = 1; walk.size() < 40; ++leg)
    {
        for (int i = 0; i < leg; ++i)
            walk.push_back(walk.back() + step);
        step = Vector2f(step.y, -step.x);
    }
    auto stop = std::find_if(walk.begin(), walk.end(),
                             [&](Vector2f p) { return std::abs(p.x - 100) > 8 || std::abs(p.y - 100) > 8; });
    ASSERT_NE(stop, walk.end());
    EXPECT_NEAR(stuck.GetCentre().x, stop->x, 1e-3);
    EXPECT_NEAR(stuck.GetCentre().y, stop->y, 1e-3);
    EXPECT_FALSE(stuck.IsBlocked());

    // A field with no room: the search ends and the box stays where it was.
    TestBox field(told, {400, 300}, 900, 700);
    TestBox lost(told, {300, 200}, 10, 10);
    lost.FindFreeSpot();
    EXPECT_EQ(lost.GetCentre(), Vector2f(300, 200));
    EXPECT_EQ(lost.age, 0);
    ExpectTreeSound(*screen.tree);

    // The playfield tiled with boxes holds no other. The search tries every spot of the spiral
    // that lies on the playfield, asking the tree about those only, and ends within two turns of
    // the spiral past the last of them; the box stays where it was.
    struct CountingBox : TestBox
    {
        using TestBox::TestBox;
        bool IsBlocked() const override
        {
            ++tried;
            onPlayfield += !IsOutsidePlayfield();
            return TestBox::IsBlocked();
        }
        bool Overlaps(const CollisionTreeComponent& other) const override
        {
            offPlayfieldAsked += IsOutsidePlayfield();
            return TestBox::Overlaps(other);
        }
        mutable int tried = 0, onPlayfield = 0, offPlayfieldAsked = 0;
    };
    HostScreen tiledScreen;
    std::vector<std::unique_ptr<TestBox>> tiles;
    for (float x = PlayfieldLeft; x < PlayfieldRight; x += 50)
        for (float y = PlayfieldTop; y < PlayfieldBottom; y += 53)
            tiles.push_back(std::make_unique<TestBox>(told, Vector2f(x + 25, y + 26.5f), 50, 53));
    ASSERT_EQ(tiles.size(), 150u);
    CountingBox squeezed(told, {300, 200}, 10, 10);
    squeezed.FindFreeSpot();
    EXPECT_EQ(squeezed.GetCentre(), Vector2f(300, 200));
    // The same spiral, walked far past the playfield: the spots on it, the last of them, and the
    // spots up to two turns (eight legs) past that one's leg.
    int onPlayfield = 0, last = 0, lastLeg = 0, bound = 0;
    Vector2f at(300, 200), stepOf(5 * 0.6f, 5 * (1 - 0.36f));
    for (int leg = 1, spot = 0; leg <= 500; ++leg)
    {
        for (int i = 0; i < leg; ++i, ++spot)
        {
            if (at.x >= 30 && at.x <= 770 && at.y >= 25 && at.y <= 545)
                ++onPlayfield, last = spot, lastLeg = leg;
            at += stepOf;
        }
        stepOf = Vector2f(stepOf.y, -stepOf.x);
    }
    for (int leg = 1; leg <= lastLeg + 8; ++leg)
        bound += leg;
    EXPECT_GT(squeezed.tried, last);
    EXPECT_LE(squeezed.tried, bound);
    EXPECT_EQ(squeezed.onPlayfield, onPlayfield);
    EXPECT_EQ(squeezed.offPlayfieldAsked, 0);
}

TEST(CollisionQuadTree, OutlinesEachCellBelowTheRootByWhetherItHoldsBoxes)
{
    HostScreen screen;
    Told told;
    KestrinTest::RecordingCanvas canvas;
    canvas.offersLine = true;
    Kestrin::Graphics::SetCurrentCanvas(&canvas);
    const Kestrin::ColorF magenta(1, 0, 1, 1), black(0, 0, 0, 1);

    // Too wide for the next level: the upper-left cell (-100..400, -200..300) holds it.
    TestBox big(told, {150, 100}, 600, 400);
    screen.tree->Draw();
    ASSERT_EQ(canvas.calls.size(), 4u);
    EXPECT_EQ(canvas.calls[0].rectF, (Kestrin::Rect<float>{-100, -200, 399, -200}));
    EXPECT_EQ(canvas.calls[2].rectF, (Kestrin::Rect<float>{399, 299, -100, 299}));
    for (const auto& call : canvas.calls)
        EXPECT_EQ(call.state.color, magenta);

    // A small box down the lower-right chain: the empty cells on the way are black.
    TestBox small(told, {700, 500}, 4, 4);
    canvas.calls.clear();
    screen.tree->Draw();
    Kestrin::Graphics::SetCurrentCanvas(nullptr);
    ASSERT_GE(canvas.calls.size(), 4u * 7);
    EXPECT_EQ(canvas.calls[4].state.color, black);
    EXPECT_EQ(canvas.calls.back().state.color, magenta);
    EXPECT_EQ(screen.tree->GetDepth(), 10000.0f);
}
