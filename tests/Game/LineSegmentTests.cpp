#include "Game/GameObject.h"
#include "Game/GlobalSettings.h"
#include "Game/GremlinHome.h"
#include "Game/Line.h"
#include "Game/LineSegment.h"
#include "Game/TutorialManager.h"

#include "Game/CollisionTestSupport.h"
#include "GameStubs/GameFakes.h"
#include "harness/GameGlobals.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <set>

using namespace GameTest;

namespace
{

// A playfield object that notes how a segment reached it.
class Probe : public GameObject
{
public:
    Probe(Vector2f centre, bool blocksLines)
        : GameObject(centre.x - 20, centre.y - 20, 40, 40, true, blocksLines)
    {
    }
    void OnLineContact(LineSegment* segment) override { notes.push_back({"contact", segment}); }
    void OnCollision(CollisionTreeComponent* other) override { notes.push_back({"collision", other}); }
    std::vector<std::pair<std::string, CollisionTreeComponent*>> notes;
};

// A chain of segments through the points, linked both ways, ends set as the line sets them.
std::vector<std::unique_ptr<LineSegment>> Chain(const std::vector<Vector2f>& points, Line* line)
{
    std::vector<std::unique_ptr<LineSegment>> chain;
    for (size_t i = 1; i < points.size(); ++i)
    {
        LineSegment* previous = chain.empty() ? nullptr : chain.back().get();
        chain.push_back(std::make_unique<LineSegment>(points[i - 1], points[i - 1], line, previous));
        chain.back()->SetEnd(points[i]);
        if (previous)
            previous->next = chain.back().get();
    }
    return chain;
}

} // namespace

TEST(LineSegment, SegmentsTouchByEndsAndDistanceButNeverTheirNeighbours)
{
    struct Case
    {
        Vector2f a0, a1, b0, b1;
        bool overlaps;
    };
    const Case cases[] = {
        {{0, 0}, {20, 0}, {20, 0}, {40, 0}, false},     // one follows the other
        {{20, 0}, {40, 0}, {0, 0}, {20, 0}, false},     // the other way round
        {{0, 0}, {20, 0}, {0, 0}, {0, 20}, true},       // same start
        {{0, 0}, {20, 0}, {20, 20}, {20, 0}, true},     // same end
        {{0, 0}, {20, 0}, {5, 0}, {25, 0}, true},       // parallel, lying on each other
        {{0, 0}, {20, 0}, {1, 3.9f}, {21, 3.9f}, true}, // parallel, 3.9 px apart
        {{0, 0}, {20, 0}, {1, 4}, {21, 4}, false},      // 4 px apart
        {{0, 0}, {20, 20}, {20, 0}, {0, 20}, true},     // crossing
    };
    for (const Case& c : cases)
    {
        LineSegment a(c.a0, c.a1, nullptr, nullptr), b(c.b0, c.b1, nullptr, nullptr);
        EXPECT_EQ(a.Overlaps(b), c.overlaps) << c.b0.x << "," << c.b0.y;
    }
    // The distance routine's special cases: parallel (s = 0), and segments that are points.
    EXPECT_EQ(SegmentDistanceSquared({0, 0}, {20, 0}, {5, 3}, {25, 3}), 9.0f);
    EXPECT_EQ(SegmentDistanceSquared({5, 5}, {5, 5}, {0, 0}, {10, 0}), 25.0f);
    EXPECT_EQ(SegmentDistanceSquared({0, 0}, {10, 0}, {13, 4}, {13, 4}), 25.0f);
    EXPECT_EQ(SegmentDistanceSquared({1, 1}, {1, 1}, {4, 5}, {4, 5}), 25.0f);
    EXPECT_EQ(Clamp(-1, 0, 1), 0.0f);
    EXPECT_EQ(Clamp(2, 0, 1), 1.0f);
}

// A folded chain in which every segment lies within 2.5 px of every other: only the walk back
// over selfIgnore x 20 + 4 px of line tells the recent ones apart.
TEST(LineSegment, ALineIgnoresItsOwnRecentStretch)
{
    KestrinTest::SavedGameGlobals saved;
    Line line(0, 0, nullptr, GremlinColorType::Red, GremlinKind::Basic);
    auto chain = Chain({{0, 0}, {20, 0.5f}, {0, 1}, {20, 1.5f}, {0, 2}, {20, 2.5f}}, &line);
    LineSegment& head = *chain[4];
    struct Row
    {
        float selfIgnore;
        bool seesS0, seesS1, seesS2;
    };
    const Row rows[] = {
        {0, true, true, true}, {1, true, true, false}, {2, true, false, false}, {3, false, false, false}};
    for (const Row& row : rows)
    {
        GlobalSettings::Instance().selfIgnore = row.selfIgnore;
        EXPECT_EQ(head.Overlaps(*chain[0]), row.seesS0) << row.selfIgnore;
        EXPECT_EQ(head.Overlaps(*chain[1]), row.seesS1) << row.selfIgnore;
        EXPECT_EQ(head.Overlaps(*chain[2]), row.seesS2) << row.selfIgnore;
        EXPECT_FALSE(head.Overlaps(*chain[3])); // the neighbour
        EXPECT_TRUE(chain[0]->Overlaps(head));  // the walk goes backwards only
    }
}

TEST(LineSegment, MeetsBoxesByHeldEndsOrByPassingWithinFourPixelsOfAnEdge)
{
    Told told;
    TestBox trap(told, {100, 100}, 40, 30); // 80..120 x 85..115
    auto inside = Chain({{90, 100}, {110, 100}}, nullptr);
    EXPECT_TRUE(inside[0]->Overlaps(trap));
    // A diagonal passing the top-right corner (120, 85) at 3.9 px, then at 4.1 px.
    for (auto [gap, overlaps] : {std::pair{3.9f, true}, std::pair{4.1f, false}})
    {
        float k = 35 + gap * std::sqrt(2.0f);
        auto beside = Chain({{110, 110 - k}, {140, 140 - k}}, nullptr);
        EXPECT_EQ(beside[0]->Overlaps(trap), overlaps) << gap;
    }
    // The free test, exact at 4 px.
    EXPECT_TRUE(CrossesBoxEdges({123.9f, 60}, {123.9f, 140}, trap));
    EXPECT_FALSE(CrossesBoxEdges({124, 60}, {124, 140}, trap));
    EXPECT_FALSE(CrossesBoxEdges({90, 100}, {110, 100}, trap)); // inside, far from every edge
    EXPECT_TRUE(inside[0]->CrossesBoxEdges(TestBox(told, {100, 102}, 10, 10)));
}

TEST(LineSegment, TellsItsLineOrTheObjectItMet)
{
    // Closing on the trap shows a tutorial pop-up; this host has no screen stack for it.
    KestrinTest::SavedGameGlobals saved;
    TutorialManager::Instance().showFlags[TutorialId::LoopToTrap] = 0;
    HostScreen screen;
    auto* level = new FakeLevel;
    screen.database.AddObject(level);
    GremlinHome trap(GremlinColorType::Red, {100, 100}, GremlinKind::Basic, false); // 100..140 x 100..130
    // 110 -> 130 -> 150 -> 170 along y = 110, the head last.
    auto drawn = [&trap]
    {
        auto line = std::make_unique<Line>(110, 110, &trap, GremlinColorType::Red, GremlinKind::Basic);
        line->AddPathPoint({130, 110});
        line->AddPathPoint({150, 110});
        line->ExtendTo({170, 110});
        return line;
    };
    auto line = drawn();
    ASSERT_EQ(line->segments.size(), 3u);
    LineSegment* s0 = line->segments[2].get();
    LineSegment* s1 = line->segments[1].get();
    LineSegment* head = line->segments[0].get();
    head->OnCollision(s1); // a neighbour
    EXPECT_FALSE(line->closed);
    head->OnCollision(s0); // crosses itself: the loop closes from s0 to the head
    EXPECT_TRUE(line->closed);
    EXPECT_EQ(line->loopStart, s0);
    EXPECT_EQ(line->loopEnd, head);
    EXPECT_EQ(head->end, s0->start);

    // The head back at its own trap closes there, unless the head is the first segment.
    auto atTrap = drawn();
    atTrap->segments[0]->OnCollision(&trap);
    EXPECT_TRUE(atTrap->closed);
    EXPECT_EQ(atTrap->loopStart, atTrap->firstSegment);
    Line fresh(110, 110, &trap, GremlinColorType::Red, GremlinKind::Basic);
    fresh.headSegment->OnCollision(&trap);
    EXPECT_FALSE(fresh.closed);

    // Another line being drawn crosses: the current line is dropped.
    auto crossed = drawn();
    Line other(0, 0, nullptr, GremlinColorType::Blue, GremlinKind::Basic);
    level->currentLine = crossed.get();
    crossed->segments[0]->OnCollision(other.headSegment);
    EXPECT_TRUE(crossed->retracting);
    EXPECT_EQ(level->calls, std::vector<std::string>{"RetractLine"});

    auto probing = drawn();
    head = probing->segments[0].get(); // starts at (150, 110)
    Probe wall({300, 300}, true), near({240, 110}, false), far({250, 110}, false);
    head->OnCollision(&wall);
    EXPECT_TRUE(probing->routePending);
    head->OnCollision(&near); // 90 px from the head's start
    head->OnCollision(&far);  // 100 px
    EXPECT_EQ(near.notes, (decltype(near.notes){{"contact", head}}));
    EXPECT_TRUE(far.notes.empty());
    // Not the head, or the line no longer drawn: the object's own collision answer.
    probing->segments[1]->OnCollision(&far);
    probing->drawing = false;
    head->OnCollision(&far);
    EXPECT_EQ(far.notes,
              (decltype(far.notes){{"collision", probing->segments[1].get()}, {"collision", head}}));
}

TEST(LineSegment, BuildsItsStripsAndBoxAndLeavesItsChainWhole)
{
    HostScreen screen;
    LineSegment first({100, 100}, {130, 140}, nullptr, nullptr);
    // The first box spans twice the extent; the strips start at the start point.
    EXPECT_EQ(first.GetCentre(), Vector2f(115, 120));
    EXPECT_EQ(first.GetHalfWidth(), 30);
    EXPECT_EQ(first.GetHalfHeight(), 40);
    EXPECT_EQ(first.length, 50);
    EXPECT_FALSE(first.movable);
    EXPECT_EQ(first.GetCollisionPriority(), 2);
    for (int i : {0, 1})
    {
        EXPECT_EQ(Vector2f(first.vertices[i].x, first.vertices[i].y), Vector2f(100, 100));
        EXPECT_EQ(Vector2f(first.vertices[i + 6].x, first.vertices[i + 6].y), Vector2f(100, 104));
    }
    // u = (0.6, 0.8) x 2; the ribbon's sides are (u.y, -u.x) off the line.
    EXPECT_FLOAT_EQ(first.vertices[2].x, 101.6f);
    EXPECT_FLOAT_EQ(first.vertices[2].y, 98.8f);
    EXPECT_FLOAT_EQ(first.vertices[5].x, 128.4f);
    EXPECT_FLOAT_EQ(first.vertices[5].y, 141.2f);
    EXPECT_FLOAT_EQ(first.vertices[11].y, 145.2f);
    EXPECT_EQ(first.vertices[4].color, Kestrin::ColorF(1, 1, 1, 1));

    first.SetEnd({160, 180});
    EXPECT_EQ(first.GetCentre(), Vector2f(130, 140));
    EXPECT_EQ(first.GetHalfWidth(), 32);
    EXPECT_EQ(first.GetHalfHeight(), 42);
    EXPECT_EQ(first.age, 0);
    first.CutToStep();
    EXPECT_FLOAT_EQ(first.end.x, 112);
    EXPECT_FLOAT_EQ(first.end.y, 116);
    EXPECT_FLOAT_EQ(first.length, 20);
    LineSegment dot({50, 50}, {50, 50}, nullptr, nullptr);
    dot.CutToStep();
    EXPECT_EQ(dot.end, Vector2f(50, 50));

    // The next segment joins the strips; destruction tells listeners while the chain is whole.
    auto* second = new LineSegment(first.end, {130, 116}, nullptr, &first);
    first.next = second;
    EXPECT_EQ(second->vertices[0].x, first.vertices[4].x);
    EXPECT_EQ(second->vertices[1].y, first.vertices[5].y);
    auto* third = new LineSegment(second->end, {150, 116}, nullptr, second);
    second->next = third;
    int heard = 0;
    second->destroyed.connect(
        [&](LineSegment* s)
        {
            ++heard;
            EXPECT_EQ(s, second);
            EXPECT_EQ(first.next, second);
            EXPECT_EQ(screen.tree->GetComponents().count(second), 1u);
        });
    delete second;
    EXPECT_EQ(heard, 1);
    EXPECT_EQ(first.next, nullptr);
    // Shortened from its old end, the chain leaves no pointer to the deleted segment.
    EXPECT_EQ(third->previous, nullptr);
    delete third;
}
