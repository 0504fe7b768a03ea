#include "Base/Random.h"
#include "Framework/Tasks.h"
#include "Game/EffectRadius.h"
#include "Game/GameObject.h"
#include "Game/GameObstacle.h"
#include "Game/Gremlin.h"
#include "Game/GremlinHome.h"
#include "Game/ImmovableObstacle.h"
#include "Game/LineSegment.h"
#include "Scene/StaticSpriteNode.h"

#include "Game/CollisionTestSupport.h"
#include "Scene/NodeKindTestSupport.h"
#include "harness/LogCapture.h"

#include <gtest/gtest.h>

#include <set>

using namespace GameTest;

namespace
{

// A playfield object with a 20 x 10 node.
class Thing : public GameObject
{
public:
    Thing(Vector2f corner, float size, bool movable_ = true)
        : GameObject(corner.x, corner.y, size, size, movable_, false)
    {
        layoutNode = new SceneNode;
        layoutNode->SetSize(20, 10);
    }
    SceneNode* Node() const { return layoutNode; }
};

// The alpha of the node at the middle of each 0.1 s of a blink, from its start.
std::vector<float> BlinkSamples(SceneNode& node, int count)
{
    std::vector<float> alphas;
    node.Tick(0.05f);
    for (int i = 0; i < count; ++i)
    {
        alphas.push_back(node.GetLocalState().color.a);
        node.Tick(0.1f);
    }
    return alphas;
}

struct Rectangle
{
    float x, y, w, h;
    bool operator==(const Rectangle&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Rectangle& r)
{
    return out << "(" << r.x << "," << r.y << " " << r.w << "x" << r.h << ")";
}

std::vector<Rectangle> Blocks(const ImmovableObstacle& obstacle)
{
    std::vector<Rectangle> out;
    for (const auto& block : obstacle.blocks)
    {
        Vector2f c = block->GetCentre();
        out.push_back({c.x - block->GetHalfWidth(), c.y - block->GetHalfHeight(), 2 * block->GetHalfWidth(),
                       2 * block->GetHalfHeight()});
    }
    return out;
}

} // namespace

TEST(GameObject, PushesApartOneUnitAtATimeUnlessStuckOrFixed)
{
    HostScreen screen;
    Told told;
    TestBox other(told, {100, 100}, 20, 20);
    Thing thing({90, 90}, 20); // same centre
    SceneNode layer;
    thing.Node()->SetParent(&layer);
    layer.RefreshTree();
    thing.SetChannelTask(GameNames::MovementAITask, new Kestrin::TimedTask(5));
    EXPECT_TRUE(thing.PushApart(&other));
    // 0.1 to the right, then along the line of centres until the boxes part (> 20 apart).
    EXPECT_NEAR(thing.GetCentre().x, 120.1f, 1e-3);
    EXPECT_EQ(thing.GetCentre().y, 100);
    EXPECT_FALSE(thing.IsChannelBusy(GameNames::MovementAITask));
    EXPECT_NEAR(thing.Node()->GetLocalState().x, thing.GetCentre().x - 10, 1e-4); // synced

    thing.SetPosition({110, 100});
    thing.colliding = true;
    thing.hitCount = 21;
    EXPECT_FALSE(thing.PushApart(&other));
    EXPECT_EQ(thing.GetCentre().x, 110);
    thing.colliding = false; // a free pass forgives
    EXPECT_TRUE(thing.PushApart(&other));
    EXPECT_EQ(thing.hitCount, 0);
    Thing fixed({95, 95}, 10, false);
    EXPECT_FALSE(fixed.PushApart(&other));
    EXPECT_EQ(fixed.GetCentre(), Vector2f(100, 100));
    EXPECT_EQ(thing.heading, Vector2f(FLT_MIN, FLT_MIN));
    layer.RemoveChild(thing.Node());
    delete thing.Node();
    delete fixed.Node();
}

TEST(GameObject, BlinksForASecondWhenLoopedAndEndsOpaque)
{
    Thing thing({0, 0}, 40);
    SceneNode& node = *thing.Node();
    thing.OnLooped();
    EXPECT_TRUE(node.IsChannelBusy(GameNames::GotLooped));
    EXPECT_EQ(BlinkSamples(node, 10), (std::vector<float>{1, 0, 1, 0, 1, 0, 1, 0, 1, 0}));
    node.Tick(0.1f);
    EXPECT_EQ(node.GetLocalState().color.a, 1);
    EXPECT_FALSE(node.IsChannelBusy(GameNames::GotLooped));

    // A second loop mid-blink starts it over.
    thing.OnLooped();
    BlinkSamples(node, 5);
    thing.OnLooped();
    EXPECT_EQ(BlinkSamples(node, 10), (std::vector<float>{1, 0, 1, 0, 1, 0, 1, 0, 1, 0}));
    delete thing.Node();

    // Without a node there is nothing to blink or place.
    struct Bare : GameObject
    {
        Bare() : GameObject(0, 0, 10, 10, true, false) {}
    } bare;
    bare.OnLooped();
    bare.SetPosition({50, 50});
    EXPECT_EQ(bare.GetCentre(), Vector2f(50, 50));
}

TEST(HeldObject, EachClassKeepsItsScreensObjectsInRegistrationOrder)
{
    Kestrin::ObjectDatabase a, b;
    Kestrin::SetTopObjectDatabase(&a);
    EXPECT_TRUE(HeldObject<Gremlin>::GetAll().empty());
    TypeSettings settings;
    auto one = std::make_unique<Gremlin>(settings, 0, 0);
    std::unique_ptr<GremlinKing> king;
    {
        // Entering b while a is on top: new objects are b's.
        Kestrin::ScopedCurrentObjectDatabase entering(&b);
        king = std::make_unique<GremlinKing>(0, 0, settings);
        EXPECT_EQ(HeldObject<Gremlin>::GetAll(), std::vector<Gremlin*>{king.get()});
        EXPECT_EQ(HeldObject<GameObject>::GetAll(), std::vector<GameObject*>{king.get()});
        EXPECT_EQ(HeldObject<GremlinKing>::Count(), 1u);
    }
    auto two = std::make_unique<Gremlin>(settings, 0, 0);
    auto three = std::make_unique<Gremlin>(settings, 0, 0);
    EXPECT_EQ(HeldObject<GremlinKing>::Count(), 0u);
    two.reset();
    EXPECT_EQ(HeldObject<Gremlin>::GetAll(), (std::vector<Gremlin*>{one.get(), three.get()}));
    auto four = std::make_unique<Gremlin>(settings, 0, 0);
    std::vector<GameObject*> walked;
    HeldObject<GameObject>::ForEach([&walked](GameObject* o) { walked.push_back(o); });
    EXPECT_EQ(walked, (std::vector<GameObject*>{one.get(), three.get(), four.get()}));
    // A walk whose callback deletes the object due next skips it.
    walked.clear();
    HeldObject<Gremlin>::ForEach(
        [&](Gremlin* o)
        {
            walked.push_back(o);
            if (o == one.get())
                three.reset();
        });
    EXPECT_EQ(walked, (std::vector<GameObject*>{one.get(), four.get()}));
    king.reset();
    Kestrin::SetTopObjectDatabase(&b);
    EXPECT_TRUE(HeldObject<GameObject>::GetAll().empty());
    Kestrin::SetTopObjectDatabase(nullptr);
}

TEST(EffectRadius, ListsTheCreaturesAndTrapsInsideOncePerPass)
{
    HostScreen screen;
    EffectRadius aura({200, 200}, 100); // 150..250
    EXPECT_EQ(aura.GetHalfWidth(), 50);
    TypeSettings settings;
    Gremlin creature(settings, 150, 150);
    GremlinHome trap(GremlinColorType::Blue, {220, 220}, GremlinKind::Basic, false);
    auto segment = std::make_unique<LineSegment>(Vector2f(160, 200), Vector2f(240, 200), nullptr, nullptr);
    auto block = std::make_unique<GameObstacle>(Vector2f(180, 180), 30, 30, nullptr);
    EffectRadius neighbour({230, 230}, 100);
    screen.tree->Update();
    EXPECT_EQ(std::set(aura.contacts.begin(), aura.contacts.end()),
              (std::set<CollisionTreeComponent*>{&creature, &trap}));
    EXPECT_EQ(aura.contacts.size(), 2u);
    // The aura touches fixed boxes (the block, the segment) yet is never marked colliding.
    EXPECT_FALSE(aura.colliding);
    EXPECT_FALSE(neighbour.colliding);
    EXPECT_TRUE(creature.colliding);
    // Everything left: the next pass starts empty.
    creature.SetPosition({600, 400});
    trap.SetPosition({600, 200});
    screen.tree->Update();
    EXPECT_TRUE(aura.contacts.empty());
    // Auras never block; the block and the segment do.
    creature.SetPosition({200, 200});
    EXPECT_TRUE(creature.IsBlocked());
    block.reset();
    EXPECT_TRUE(creature.IsBlocked());
    segment.reset();
    EXPECT_FALSE(creature.IsBlocked());

    // One that goes between passes leaves every aura's contacts at once.
    screen.tree->Update();
    const size_t inAura = aura.contacts.size(), inNeighbour = neighbour.contacts.size();
    {
        auto visitor = std::make_unique<Gremlin>(settings, 170, 170);
        screen.tree->Update();
        ASSERT_EQ(aura.contacts.size(), inAura + 1);
        ASSERT_EQ(neighbour.contacts.size(), inNeighbour + 1);
    }
    EXPECT_EQ(aura.contacts.size(), inAura);
    EXPECT_EQ(neighbour.contacts.size(), inNeighbour);
}

class ObstacleTest : public SceneTest::NodeKindTest
{
protected:
    ObstacleTest()
    {
        manager->RegisterFactory(L"float", new Kestrin::FloatResourceFactory);
        Resources(R"(<testimage name="obstacle_heather_1" width="60" height="60"/>
                     <testimage name="obstacle_heather_1_shadow" width="60" height="60"/>
                     <testimage name="obstacle_heather_2" width="60" height="60"/>
                     <testimage name="obstacle_heather_3" width="60" height="60"/>
                     <testimage name="obstacle_heather_4" width="60" height="60"/>
                     <testimage name="obstacle_miranda_1" width="100" height="105"/>
                     <testimage name="obstacle_jason_3" width="70" height="50"/>
                     <testimage name="rock" width="80" height="40"/>
                     <float name="rock_xscale" value="0.5"/><float name="rock_yscale" value="0.5"/>
                     <testimage name="boulder" width="80" height="40"/>
                     <float name="boulder_xscale" value="1"/><float name="boulder_yscale" value="1"/>
                     <testimage name="pebble" width="30" height="20"/>
                     <testimages name="blue_sml" count="5" width="4" height="4"/>)");
        SetCollisionTree(&database, &tree);
    }
    ~ObstacleTest() override { SetCollisionTree(&database, nullptr); }

    CollisionQuadTree tree{1000};
};

TEST_F(ObstacleTest, BlocksComeFromTheTableOrFromTheScaledImage)
{
    struct Row
    {
        const char* image;
        std::vector<Rectangle> blocks;
    };
    const Row rows[] = {
        {"obstacle_heather_1", {{100, 100, 30, 30}, {120, 110, 30, 30}, {130, 130, 30, 30}}},
        {"obstacle_heather_2", {{100, 130, 30, 30}, {120, 120, 30, 30}, {130, 100, 30, 30}}},
        {"obstacle_heather_3", {{100, 100, 30, 30}, {110, 120, 30, 30}, {130, 130, 30, 30}}},
        {"obstacle_heather_4", {{100, 130, 30, 30}, {110, 110, 30, 30}, {130, 100, 30, 30}}},
        {"obstacle_miranda_1", {{110, 140, 82, 65}, {125, 100, 50, 40}}},
        {"obstacle_jason_3", {{100, 100, 70, 50}}},
        {"rock", {{120, 110, 40, 20}}},    // the middle quarter
        {"boulder", {{100, 100, 80, 40}}}, // scales of 1: the whole image
    };
    size_t count = 0;
    for (const Row& row : rows)
    {
        auto* obstacle = new ImmovableObstacle({100, 100}, row.image);
        EXPECT_EQ(Blocks(*obstacle), row.blocks) << row.image;
        for (const auto& block : obstacle->blocks)
        {
            EXPECT_EQ(block->owner, obstacle);
            EXPECT_EQ(block->GetCollisionPriority(), 6);
            EXPECT_FALSE(block->movable);
            EXPECT_TRUE(block->BlocksLines());
            EXPECT_EQ(block->GetRole(), GameNames::GremlinObstacleRole.Get());
        }
        count += row.blocks.size();
        EXPECT_EQ(HeldObject<GameObstacle>::Count(), count);
        obstacle->AddToScene(database, root);
    }
    EXPECT_EQ(HeldObject<ImmovableObstacle>::Count(), std::size(rows));

    // Missing scales count as 1 and are reported once per value; a name differing only in case
    // is not in the table.
    KestrinTest::LogCapture log;
    ImmovableObstacle pebble({10, 20}, "pebble");
    ImmovableObstacle again({10, 20}, "pebble");
    ImmovableObstacle cased({10, 20}, "Obstacle_Heather_1");
    EXPECT_EQ(Blocks(again), (std::vector<Rectangle>{{10, 20, 30, 20}}));
    EXPECT_EQ(Blocks(cased), (std::vector<Rectangle>{{10, 20, 60, 60}}));
    const std::string text = log.Text();
    EXPECT_NE(text.find("\"pebble_xscale\""), std::string::npos) << text;
    EXPECT_EQ(text.find("pebble_xscale"), text.rfind("pebble_xscale")) << text;
    EXPECT_NE(text.find("\"Obstacle_Heather_1_yscale\""), std::string::npos) << text;
}

// A node that counts its deletion.
struct CountedNode : SceneNode
{
    explicit CountedNode(int& deleted) : count(deleted) {}
    ~CountedNode() override { ++count; }
    int& count;
};

template <typename T> struct WithTree : T
{
    using T::T;
    SceneNode* Tree() { return this->layoutNode; }
};

// A playfield object never added to a screen deletes its node tree with it, to its full depth.
TEST_F(ObstacleTest, AnObjectNeverInAScreenDeletesItsWholeTree)
{
    int deleted = 0;
    auto hangTwoLevels = [&deleted](SceneNode* root)
    {
        auto* child = new CountedNode(deleted);
        child->SetParent(root);
        (new CountedNode(deleted))->SetParent(child);
    };
    {
        ImmovableObstacle boulder({10, 20}, "boulder"); // scaled: nothing logged once per process
        hangTwoLevels(boulder.root);
        WithTree<Gremlin> tic(TypeSettings(), 0.0f, 0.0f);
        hangTwoLevels(tic.Tree());
        WithTree<GremlinHome> trap(GremlinColorType::Red, Vector2f(100, 50), GremlinKind::Basic, false);
        hangTwoLevels(trap.Tree());
    }
    EXPECT_EQ(deleted, 6);
}

TEST_F(ObstacleTest, ALoopFlashesTheImageOnceAndWinningScattersSparks)
{
    BoostRandomNumberStream random(3);
    Kestrin::ScopedRandomStream scoped(&random);
    auto* obstacle = new ImmovableObstacle({100, 100}, "obstacle_heather_1");
    obstacle->AddToScene(database, root);
    SceneNode* image = obstacle->root->FindChild("image");
    SceneNode* shadow = obstacle->root->FindChild("shadow");
    ASSERT_TRUE(image && shadow);
    EXPECT_EQ(shadow->GetLocalState().x, 102);
    EXPECT_EQ(image->GetNextSibling(), nullptr); // drawn over the shadow

    // All three blocks looped in one frame: one flash. A loop during it starts it over.
    auto reds = [image](int count)
    {
        std::vector<float> out;
        image->Tick(0.05f);
        for (int i = 0; i < count; ++i, image->Tick(0.1f))
            out.push_back(image->GetLocalState().color.r);
        return out;
    };
    for (const auto& block : obstacle->blocks)
        block->OnLooped();
    obstacle->Update(0);
    EXPECT_FALSE(obstacle->looped);
    EXPECT_EQ(reds(5), (std::vector<float>{1, 0, 1, 0, 1}));
    obstacle->blocks[1]->OnLooped();
    obstacle->Update(0);
    obstacle->Update(0); // nothing new
    EXPECT_EQ(reds(10), (std::vector<float>{1, 0, 1, 0, 1, 0, 1, 0, 1, 0}));
    image->Tick(0.1f);
    EXPECT_EQ(image->GetLocalState().color, Kestrin::ColorF(1, 1, 1, 1));
    EXPECT_FALSE(image->IsChannelBusy(GameNames::GotLooped));

    obstacle->Disappear();
    EXPECT_EQ(shadow->GetLocalState().color.a, 0);
    EXPECT_EQ(image->GetChildCount(), 20u);
    std::set<float> xs;
    for (SceneNode* spark = image->GetFirstChild(); spark; spark = spark->GetNextSibling())
    {
        EXPECT_EQ(spark->GetParentHAlign(), SceneNode::Align_Center);
        EXPECT_TRUE(dynamic_cast<StaticSpriteNode*>(spark)->HasImage());
    }
    database.Update(0.25f);
    for (SceneNode* spark = image->GetFirstChild(); spark; spark = spark->GetNextSibling())
    {
        xs.insert(spark->GetLocalState().x);
        EXPECT_LE(std::abs(spark->GetLocalState().x), 30 * 0.5f + 0.01f);
        EXPECT_LE(std::abs(spark->GetLocalState().y), 30 * 0.5f + 0.01f);
    }
    EXPECT_GT(xs.size(), 10u); // they fly apart
    database.Update(0.3f);
    database.Update(0.0f);
    EXPECT_EQ(image->GetChildCount(), 0u);
    EXPECT_FALSE(image->GetLocalState().visible);
    EXPECT_EQ(obstacle->blocks.size(), 3u); // the blocks stay
}

// The game screen goes while objects live on it: the tree first, then the database's objects,
// each leaving a tree that is gone (clean under the address checker).
TEST(CollisionWorld, AHostScreenGoesWithLiveObjectsOnIt)
{
    auto screen = std::make_unique<HostScreen>();
    BoostRandomNumberStream random(5);
    Kestrin::ScopedRandomStream scoped(&random);
    for (int i = 0; i < 30; ++i)
    {
        auto* thing = new Thing({float(30 + 20 * i), float(40 + 10 * i)}, 40);
        thing->AddToScene(screen->database, nullptr);
    }
    auto* obstacle = new ImmovableObstacle({300, 300}, "obstacle_heather_2");
    obstacle->AddToScene(screen->database, nullptr);
    auto aura = std::make_unique<EffectRadius>(Vector2f(300, 300), 100);
    screen->tree->Update();
    screen->database.Update(0.1f);
    EXPECT_EQ(HeldObject<GameObject>::Count(), 33u);
    screen->DropTree();
    EXPECT_EQ(aura->tree, nullptr);
    aura->SetPosition({100, 100});      // no tree work
    EffectRadius late({300, 300}, 100); // made while the screen has no tree: never in one
    EXPECT_EQ(late.tree, nullptr);
    aura.reset();
    screen.reset();
}
