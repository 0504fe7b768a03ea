// Routing a line on the playfield graph: one query per iteration, made as the line makes it (goal
// set, a fresh solver with blocks of 250 nodes, solve within a limit of 120, states cleared), and
// the same query on a solver and graph kept warm. The field holds a tall wall, a few blocks and a
// boxed-in corner. "allocs" counts heap allocations per query, "states" the states touched.
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
[[gnu::noinline]] void operator delete(void* p) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace
{

constexpr float Limit = 120.0f; // the game's wrapMax of 80, times 1.5

struct Query
{
    Vector2f from, to;
};
constexpr Query ShortHop{{100, 300}, {160, 330}};
constexpr Query LongRoute{{100, 300}, {700, 300}};
constexpr Query WalledIn{{520, 100}, {620, 100}}; // the goal sits inside a block

struct Field
{
    Field() : current(&screen), tree(1000)
    {
        SetCollisionTree(&screen, &tree);
        blocks.push_back(std::make_unique<GameObstacle>(Vector2f(400, 150), 30, 300, nullptr));
        blocks.push_back(std::make_unique<GameObstacle>(Vector2f(200, 400), 60, 60, nullptr));
        blocks.push_back(std::make_unique<GameObstacle>(Vector2f(600, 80), 50, 50, nullptr));
        blocks.push_back(std::make_unique<GameObstacle>(Vector2f(650, 420), 80, 40, nullptr));
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

void AsTheLineDoes(benchmark::State& state, Query query)
{
    Field field;
    int result = 0;
    size_t states = 0;
    const long before = allocations;
    for (auto _ : state)
    {
        field.graph.SetPathGoal(query.to);
        float cost = 0;
        {
            micropather::PathSolver solver(&field.graph, 250);
            result = solver.Solve(field.graph.GetPathState(query.from), field.graph.GetPathState(query.to),
                                  &field.path, &cost, Limit);
        }
        states = field.graph.StateCount();
        field.graph.ClearPathStates();
        benchmark::DoNotOptimize(cost);
    }
    Report(state, allocations - before, states, result);
}

void Warm(benchmark::State& state, Query query)
{
    Field field;
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

BENCHMARK_CAPTURE(AsTheLineDoes, ShortHop, ShortHop)->Unit(benchmark::kMicrosecond)->Repetitions(5);
BENCHMARK_CAPTURE(AsTheLineDoes, LongRoute, LongRoute)->Unit(benchmark::kMicrosecond)->Repetitions(5);
BENCHMARK_CAPTURE(AsTheLineDoes, WalledIn, WalledIn)->Unit(benchmark::kMicrosecond)->Repetitions(5);
BENCHMARK_CAPTURE(Warm, ShortHop, ShortHop)->Unit(benchmark::kMicrosecond)->Repetitions(5);
BENCHMARK_CAPTURE(Warm, LongRoute, LongRoute)->Unit(benchmark::kMicrosecond)->Repetitions(5);
BENCHMARK_CAPTURE(Warm, WalledIn, WalledIn)->Unit(benchmark::kMicrosecond)->Repetitions(5);
