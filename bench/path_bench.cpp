// Routing a line on the playfield graph: one query per iteration, made as the line makes it (goal
// set, the level's kept solver emptied, solve within a limit of 120, states cleared), and the same
// query on a solver and graph kept warm. Three obstacle sets: a tall wall with a few blocks, an
// open field, and staggered baffles to weave through; each holds a small box around the
// unreachable goal. "allocs" counts heap allocations per query, "states" the states touched.
#include "Framework/ObjectDatabase.h"
#include "Game/CollisionQuadTree.h"
#include "Game/GameObstacle.h"
#include "Game/PathSolver.h"
#include "Game/PlayfieldGraph.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <new>
#include <vector>

namespace
{
std::atomic<long> allocations{0};
}

// Not inlined: the compiler would otherwise pair new expressions with the free() below.
[[gnu::noinline]] void* operator new(std::size_t size)
{
    ++allocations;
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
[[gnu::noinline]] void operator delete(void* p) noexcept
{
    std::free(p);
}
[[gnu::noinline]] void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}

namespace
{

constexpr float Limit = 120.0f; // the game's wrapMax of 80, times 1.5

struct Query
{
    Vector2f from, to;
};
constexpr Query ShortHop{{100, 300}, {160, 330}};
constexpr Query LongRoute{{100, 300}, {700, 300}};
constexpr Query WalledIn{{520, 100}, {620, 100}}; // the goal sits inside the box

struct Box
{
    float x, y, w, h;
};
using ObstacleSet = std::vector<Box>;
constexpr Box GoalBox{600, 80, 50, 50};
const ObstacleSet Scattered{{400, 150, 30, 300}, {200, 400, 60, 60}, GoalBox, {650, 420, 80, 40}};
const ObstacleSet Open{GoalBox};
const ObstacleSet Baffles{{250, 20, 15, 360}, {400, 220, 15, 360}, {540, 150, 15, 430}, GoalBox};

struct Field
{
    explicit Field(const ObstacleSet& set) : current(&screen), tree(1000)
    {
        SetCollisionTree(&screen, &tree);
        for (const Box& box : set)
            blocks.push_back(std::make_unique<GameObstacle>(Vector2f(box.x, box.y), box.w, box.h, nullptr));
    }
    ~Field()
    {
        blocks.clear();
        SetCollisionTree(&screen, nullptr);
    }

    Kestrin::ObjectDatabase screen;
    Kestrin::ScopedCurrentObjectDatabase current;
    CollisionQuadTree tree;
    std::vector<std::unique_ptr<GameObstacle>> blocks;
    PlayfieldGraph graph;
    std::vector<void*> path;
};

void Report(benchmark::State& state, long allocs, size_t states, int result)
{
    const double queries = static_cast<double>(state.iterations());
    state.counters["allocs"] = static_cast<double>(allocs) / queries;
    state.counters["states"] = static_cast<double>(states);
    state.counters["result"] = result;
}

// The level keeps one solver for its routes and empties it before each (LevelServices::RouteSolver).
void AsTheLineDoes(benchmark::State& state, const ObstacleSet* set, Query query)
{
    Field field(*set);
    micropather::PathSolver solver(&field.graph, 250);
    int result = 0;
    size_t states = 0;
    long before = allocations;
    bool warmedUp = false;
    for (auto _ : state)
    {
        field.graph.SetPathGoal(query.to);
        solver.Reset();
        float cost = 0;
        result = solver.Solve(field.graph.GetPathState(query.from), field.graph.GetPathState(query.to),
                              &field.path, &cost, Limit);
        states = field.graph.StateCount();
        field.graph.ClearPathStates();
        benchmark::DoNotOptimize(cost);
        // The first query fills the storage that the others reuse.
        if (!warmedUp)
        {
            warmedUp = true;
            before = allocations;
        }
    }
    Report(state, allocations - before, states, result);
}

void Warm(benchmark::State& state, const ObstacleSet* set, Query query)
{
    Field field(*set);
    field.graph.SetPathGoal(query.to);
    micropather::PathSolver solver(&field.graph, 250);
    void* from = field.graph.GetPathState(query.from);
    void* to = field.graph.GetPathState(query.to);
    float cost = 0;
    int result = solver.Solve(from, to, &field.path, &cost, Limit);
    const long before = allocations;
    for (auto _ : state)
    {
        result = solver.Solve(from, to, &field.path, &cost, Limit);
        benchmark::DoNotOptimize(cost);
    }
    Report(state, allocations - before, field.graph.StateCount(), result);
}

} // namespace

#define PATH_BENCH(kind, set, query)                                                                         \
    BENCHMARK_CAPTURE(kind, set##_##query, &set, query)->Unit(benchmark::kMicrosecond)->Repetitions(5)
#define PATH_BENCH_SET(set)                                                                                  \
    PATH_BENCH(AsTheLineDoes, set, ShortHop);                                                                \
    PATH_BENCH(AsTheLineDoes, set, LongRoute);                                                               \
    PATH_BENCH(AsTheLineDoes, set, WalledIn);                                                                \
    PATH_BENCH(Warm, set, ShortHop);                                                                         \
    PATH_BENCH(Warm, set, LongRoute);                                                                        \
    PATH_BENCH(Warm, set, WalledIn)

PATH_BENCH_SET(Scattered);
PATH_BENCH_SET(Open);
PATH_BENCH_SET(Baffles);
