// One collision pass of the game screen per iteration: every box moves a step (bouncing inside the
// 800 x 600 field), then the tree pairs the overlapping boxes and tells each pair. The field holds
// n boxes of a creature's size (80 x 80) or of a small 8 x 8, plus 50 line segments in five
// chains. "pairs" is the number of pairs told per pass: dense fields pair more because more boxes
// really overlap, which no broad phase can avoid. FreeSpotsAtTheStart times the free-spot search
// of a level's start instead.
#include "Base/Random.h"
#include "Framework/ObjectDatabase.h"
#include "Game/CollisionQuadTree.h"
#include "Game/CollisionTreeComponent.h"
#include "Game/LineSegment.h"
#include "Game/PlayfieldTypes.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <vector>

namespace
{

class Mover : public CollisionTreeComponent
{
public:
    Mover(Vector2f centre, float size, Vector2f velocity)
        : CollisionTreeComponent(centre, size, size), m_velocity(velocity)
    {
    }

    void Step()
    {
        Vector2f p = GetCentre() + m_velocity;
        if (p.x < 0 || p.x > 800)
            m_velocity.x = -m_velocity.x;
        if (p.y < 0 || p.y > 600)
            m_velocity.y = -m_velocity.y;
        SetPosition(p);
    }

    void OnCollision(CollisionTreeComponent*) override { ++told; }
    int GetCollisionPriority() const override { return 4; }
    void SyncNodePosition(Vector2f) override {}

    int told = 0;

private:
    Vector2f m_velocity;
};

// A screen of its own, current, with a seeded stream and the collision tree a game screen has.
struct CollisionWorld
{
    CollisionWorld() { SetCollisionTree(&screen, &tree); }
    ~CollisionWorld() { SetCollisionTree(&screen, nullptr); }

    Kestrin::ObjectDatabase screen;
    Kestrin::ScopedCurrentObjectDatabase current{&screen};
    BoostRandomNumberStream stream{7};
    Kestrin::ScopedRandomStream scopedStream{&stream};
    CollisionQuadTree tree{1000};
};

void CollisionPass(benchmark::State& state, float size)
{
    CollisionWorld world;
    CollisionQuadTree& tree = world.tree;
    {
        std::mt19937 random(11);
        std::uniform_real_distribution<float> x(25, 775), y(20, 550), v(-3, 3);
        std::vector<std::unique_ptr<Mover>> movers;
        for (int i = 0; i < state.range(0); ++i)
            movers.push_back(std::make_unique<Mover>(Vector2f(x(random), y(random)), size,
                                                     Vector2f(v(random), v(random))));
        std::vector<std::unique_ptr<LineSegment>> segments;
        for (int chain = 0; chain < 5; ++chain)
        {
            Vector2f at(x(random), y(random));
            LineSegment* previous = nullptr;
            for (int i = 0; i < 10; ++i)
            {
                Vector2f to = at + Vector2f(v(random) * 6, v(random) * 6);
                segments.push_back(std::make_unique<LineSegment>(at, to, nullptr, previous));
                segments.back()->SetEnd(to);
                if (previous)
                    previous->next = segments.back().get();
                previous = segments.back().get();
                at = to;
            }
        }
        tree.KeepPairs(true);
        size_t pairs = 0;
        for (auto _ : state)
        {
            for (auto& mover : movers)
                mover->Step();
            tree.Update(0.0f);
            pairs += tree.GetLastPairs().size();
        }
        state.counters["pairs"] = benchmark::Counter(double(pairs), benchmark::Counter::kAvgIterations);
    }
}

void CreatureBoxes(benchmark::State& state)
{
    CollisionPass(state, 80.0f);
}
void SmallBoxes(benchmark::State& state)
{
    CollisionPass(state, 8.0f);
}

// A level's start: n Tics of the smallest box, each drawn in a zone the size of the campaign's and
// moved to a free spot, as the creature factory places them. Past what the field holds, a search
// covers the playfield and the box stays.
void FreeSpotsAtTheStart(benchmark::State& state)
{
    CollisionWorld world;
    for (auto _ : state)
    {
        std::mt19937 random(11);
        std::uniform_real_distribution<float> x(60, 740), y(50, 470);
        std::vector<std::unique_ptr<Mover>> placed;
        for (int i = 0; i < state.range(0); ++i)
        {
            placed.push_back(
                std::make_unique<Mover>(Vector2f(x(random), y(random)), SmallestCreatureBox, Vector2f()));
            placed.back()->FindFreeSpot();
        }
    }
}

} // namespace

BENCHMARK(FreeSpotsAtTheStart)->Arg(100)->Arg(MaxCreaturesOnPlayfield)->Unit(benchmark::kMillisecond);
BENCHMARK(CreatureBoxes)->Arg(100)->Arg(300)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(SmallBoxes)->Arg(100)->Arg(300)->Arg(1000)->Unit(benchmark::kMicrosecond);
