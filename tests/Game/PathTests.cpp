#include "Game/GameObstacle.h"
#include "Game/Gremlin.h"
#include "Game/PathSolver.h"
#include "Game/PlayfieldGraph.h"
#include "GameStubs/GameFakes.h"

#include "CollisionTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <queue>
#include <random>

using micropather::PathSolver;
using micropather::StateCostPair;

namespace
{

// A grid of cells, some walls; a wall is reported as an FLT_MAX edge, as the playfield does. With
// straightOnly every cell has at most four neighbours, so the solver works from its node caches.
class GridGraph : public micropather::Graph
{
public:
    GridGraph(int w_, int h_, bool straightOnly_)
        : w(w_), h(h_), straightOnly(straightOnly_), walls(w * h, false)
    {
    }

    void* State(int x, int y) { return &cells[y * w + x]; }
    int Index(void* s) const { return static_cast<int>(static_cast<const char*>(s) - cells); }

    float LeastCostEstimate(void* a, void* b) override
    {
        // Octile distance: never more than the true cost, so A* answers the cheapest path.
        const float dx = std::abs(Index(a) % w - Index(b) % w), dy = std::abs(Index(a) / w - Index(b) / w);
        return 1.5f * std::max(dx, dy) + 0.6f * std::min(dx, dy);
    }
    void AdjacentCost(void* s, std::vector<StateCostPair>* out) override
    {
        for (auto [nx, ny, cost] : Neighbours(Index(s)))
            out->push_back({State(nx, ny), walls[ny * w + nx] ? FLT_MAX : cost});
    }
    void PrintStateInfo(void*) override {}

    std::vector<std::tuple<int, int, float>> Neighbours(int i) const
    {
        std::vector<std::tuple<int, int, float>> result;
        const int x = i % w, y = i / w;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
            {
                const bool diagonal = dx && dy;
                if ((!dx && !dy) || (diagonal && straightOnly) || x + dx < 0 || y + dy < 0 || x + dx >= w ||
                    y + dy >= h)
                    continue;
                result.emplace_back(x + dx, y + dy, diagonal ? 2.1f : 1.5f);
            }
        return result;
    }

    // Plain Dijkstra: the cheapest cost from a to every cell, infinity where unreachable.
    std::vector<double> Distances(int from) const
    {
        std::vector<double> dist(w * h, INFINITY);
        using Item = std::pair<double, int>;
        std::priority_queue<Item, std::vector<Item>, std::greater<>> queue;
        queue.push({dist[from] = 0, from});
        while (!queue.empty())
        {
            auto [d, i] = queue.top();
            queue.pop();
            if (d > dist[i])
                continue;
            for (auto [nx, ny, cost] : Neighbours(i))
                if (!walls[ny * w + nx] && d + cost < dist[ny * w + nx])
                    queue.push({dist[ny * w + nx] = d + cost, ny * w + nx});
        }
        return dist;
    }

    int w, h;
    bool straightOnly;
    std::vector<bool> walls;
    char cells[64 * 64] = {};
};

// Seeded random grids: every answer matches the brute-force shortest path, and every path is a
// chain of real edges from start to end whose costs add up to the reported total. One solver per
// grid answers many queries, with tiny blocks so that nodes span several of them, and is now and
// then reset so that the blocks are handed out again.
TEST(PathSolver, MatchesBruteForceOnRandomGrids)
{
    std::mt19937 random(20261210);
    int solved = 0, unsolved = 0;
    for (int round = 0; round < 60; ++round)
    {
        GridGraph grid(2 + random() % 12, 2 + random() % 12, round % 3 == 0);
        const int wallChance = random() % 45;
        for (size_t i = 0; i < grid.walls.size(); ++i)
            grid.walls[i] = int(random() % 100) < wallChance;
        PathSolver solver(&grid, 2 + random() % 6);
        for (int query = 0; query < 12; ++query)
        {
            const int cellCount = grid.w * grid.h;
            const int a = random() % cellCount, b = random() % cellCount;
            if (query % 4 == 3)
                solver.Reset();
            if (a == b)
                continue;
            SCOPED_TRACE(testing::Message() << "round " << round << " from " << a << " to " << b);
            const double best = grid.Distances(a)[b];
            std::vector<void*> path;
            float cost = -1;
            void* start = &grid.cells[a];
            void* end = &grid.cells[b];
            const int result = solver.Solve(start, end, &path, &cost);
            if (std::isinf(best))
            {
                EXPECT_EQ(result, PathSolver::NoSolution);
                ++unsolved;
                continue;
            }
            ASSERT_EQ(result, PathSolver::Solved);
            ++solved;
            EXPECT_NEAR(cost, best, 1e-3);
            ASSERT_GE(path.size(), 2u);
            EXPECT_EQ(path.front(), start);
            EXPECT_EQ(path.back(), end);
            double sum = 0;
            for (size_t i = 1; i < path.size(); ++i)
            {
                const int from = grid.Index(path[i - 1]), to = grid.Index(path[i]);
                EXPECT_FALSE(grid.walls[to]);
                bool adjacent = false;
                for (auto [nx, ny, step] : grid.Neighbours(from))
                    if (ny * grid.w + nx == to)
                        adjacent = true, sum += step;
                EXPECT_TRUE(adjacent) << from << " -> " << to;
            }
            EXPECT_NEAR(sum, cost, 1e-3);
        }
    }
    // Both kinds of answer were exercised.
    EXPECT_GT(solved, 100);
    EXPECT_GT(unsolved, 20);
}

// A graph given by a table; the handles are addresses of the named states.
class TableGraph : public micropather::Graph
{
public:
    void* S(char name) { return &names[name - 'A']; }
    float LeastCostEstimate(void* a, void*) override { return estimate[Name(a)]; }
    void AdjacentCost(void* s, std::vector<StateCostPair>* out) override
    {
        ++asked[Name(s)];
        for (auto [to, cost] : edges[Name(s)])
            out->push_back({S(to), cost});
    }
    void PrintStateInfo(void*) override {}
    char Name(void* s) const { return static_cast<char>('A' + (static_cast<char*>(s) - names)); }

    std::map<char, std::vector<std::pair<char, float>>> edges;
    std::map<char, float> estimate;
    std::map<char, int> asked;
    char names[26] = {};
};

std::string Names(TableGraph& graph, const std::vector<void*>& path)
{
    std::string text;
    for (void* s : path)
        text += graph.Name(s);
    return text;
}

TEST(PathSolver, EdgeCases)
{
    TableGraph g;
    g.edges = {{'S', {{'M', 1}, {'W', 1}}}, {'M', {{'E', 2}}}, {'W', {{'X', FLT_MAX}}}, {'X', {}}};
    PathSolver solver(&g, 250);
    std::vector<void*> path{g.S('Q')};
    float cost = 7;
    // The same state: 2, nothing touched but the cost.
    EXPECT_EQ(solver.Solve(g.S('S'), g.S('S'), &path, &cost), PathSolver::StartEndSame);
    EXPECT_EQ(Names(g, path), "Q");
    EXPECT_EQ(cost, 0);
    // One step and two steps.
    EXPECT_EQ(solver.Solve(g.S('S'), g.S('M'), &path, &cost), PathSolver::Solved);
    EXPECT_EQ(Names(g, path), "SM");
    EXPECT_EQ(cost, 1);
    EXPECT_EQ(solver.Solve(g.S('S'), g.S('E'), &path, &cost), PathSolver::Solved);
    EXPECT_EQ(Names(g, path), "SME");
    EXPECT_EQ(cost, 3);
    // Every way out of W is blocked.
    EXPECT_EQ(solver.Solve(g.S('W'), g.S('X'), &path, &cost), PathSolver::NoSolution);
    EXPECT_EQ(cost, 0);
    // The limit: E costs 3 from S.
    EXPECT_EQ(solver.Solve(g.S('S'), g.S('E'), &path, &cost, 2.5f), PathSolver::NoSolution);
    EXPECT_EQ(solver.Solve(g.S('S'), g.S('E'), &path, &cost, 3.0f), PathSolver::Solved);
    // Searching the same ground again reuses the nodes; states with few neighbours are answered
    // from the node's cache, the graph is not asked again.
    const unsigned nodes = solver.NodeCount();
    const auto asked = g.asked;
    EXPECT_EQ(solver.Solve(g.S('S'), g.S('E'), &path, &cost), PathSolver::Solved);
    EXPECT_EQ(Names(g, path), "SME");
    EXPECT_EQ(solver.NodeCount(), nodes);
    EXPECT_EQ(g.asked, asked);
    // Reset forgets every node: the same search starts afresh and asks the graph again.
    solver.Reset();
    EXPECT_EQ(solver.NodeCount(), 0u);
    EXPECT_EQ(solver.Solve(g.S('S'), g.S('E'), &path, &cost), PathSolver::Solved);
    EXPECT_EQ(Names(g, path), "SME");
    EXPECT_EQ(solver.NodeCount(), nodes);
    EXPECT_EQ(g.asked['S'], asked.at('S') + 1);
}

// An estimate that overrates A closes C through the dear route via B first; the cheap route via A
// must reopen C and carry the saving on to E.
TEST(PathSolver, ReopensAClosedNodeReachedMoreCheaply)
{
    TableGraph g;
    g.edges = {{'S', {{'A', 1}, {'B', 1}}}, {'A', {{'C', 1}}}, {'B', {{'C', 10}}}, {'C', {{'E', 100}}}};
    g.estimate = {{'A', 100}};
    PathSolver solver(&g, 250);
    std::vector<void*> path;
    float cost = 0;
    ASSERT_EQ(solver.Solve(g.S('S'), g.S('E'), &path, &cost), PathSolver::Solved);
    EXPECT_EQ(Names(g, path), "SACE");
    EXPECT_EQ(cost, 102);
}

// A graph over the playfield with an obstacle in a host screen.
class PlayfieldGraphTest : public testing::Test
{
protected:
    std::vector<StateCostPair> Adjacent(Vector2f p)
    {
        std::vector<StateCostPair> out;
        graph.AdjacentCost(graph.GetPathState(p), &out);
        return out;
    }

    GameTest::HostScreen screen;
    PlayfieldGraph graph;
};

TEST_F(PlayfieldGraphTest, LatticeMovesCostsAndBounds)
{
    graph.SetPathGoal({500, 500});
    // The top-left corner keeps only the moves right, down and down-right.
    std::vector<std::pair<Vector2f, float>> seen;
    for (auto [s, cost] : Adjacent({25, 20}))
        seen.emplace_back(PlayfieldGraph::PointOf(s), cost);
    EXPECT_EQ(seen, (std::vector<std::pair<Vector2f, float>>{
                        {{40, 20}, 1.5f}, {{25, 35}, 1.5f}, {{40, 35}, 2.1f}}));
    // The right edge itself is part of the playfield; one step beyond is not.
    EXPECT_EQ(Adjacent({760, 300}).size(), 8u);
    EXPECT_EQ(Adjacent({775, 300}).size(), 5u);
    // The same point reached from two sides is one state; the estimate is the squared distance.
    void* a = Adjacent({100, 100})[0].state;
    void* b = Adjacent({130, 100})[2].state;
    EXPECT_EQ(a, b);
    EXPECT_EQ(PlayfieldGraph::PointOf(a), Vector2f(115, 100));
    EXPECT_EQ(graph.LeastCostEstimate(graph.GetPathState({100, 100}), graph.GetPathState({103, 104})), 25.0f);

    // Within a step of the goal every move leads to the goal, at that move's cost.
    graph.SetPathGoal({114, 100});
    void* goal = graph.GetPathState({114, 100});
    const auto near = Adjacent({100, 100});
    ASSERT_EQ(near.size(), 8u);
    for (size_t i = 0; i < near.size(); ++i)
    {
        EXPECT_EQ(near[i].state, goal);
        EXPECT_EQ(near[i].cost, i < 4 ? 1.5f : 2.1f);
    }
    // From the goal itself nothing is listed.
    EXPECT_TRUE(Adjacent({114, 100}).empty());
    // A blocked goal is listed as no edge.
    GameObstacle block({110, 90}, 20, 20, nullptr);
    const auto blocked = Adjacent({100, 100});
    ASSERT_EQ(blocked.size(), 8u);
    for (auto [s, cost] : blocked)
        EXPECT_EQ(cost, FLT_MAX);
}

TEST_F(PlayfieldGraphTest, ObstaclesBlockCreaturesDoNot)
{
    GameObstacle block({200, 200}, 40, 20, nullptr); // 200..240 x 200..220
    TypeSettings settings;
    Gremlin creature(settings, 400, 400);
    const struct
    {
        Vector2f p;
        bool blocked;
    } rows[] = {
        {{220, 210}, true},  {{200, 200}, true},  {{197, 210}, true},  // inside, corner, 3 px off an edge
        {{243, 210}, true},  {{220, 224}, false}, {{195, 210}, false}, // 4 px and 5 px off are free
        {{420, 420}, false}, {{400, 400}, false},                      // on the creature
    };
    for (const auto& row : rows)
        EXPECT_EQ(graph.IsBlocked(row.p.x, row.p.y), row.blocked) << row.p.x << "," << row.p.y;
}

// Handles stay put however many states are stored, and clearing hands the same storage out again
// instead of allocating more.
TEST_F(PlayfieldGraphTest, StatesAreStableAndPooled)
{
    std::mt19937 random(7);
    std::vector<std::pair<void*, Vector2f>> handed;
    for (int i = 0; i < 5000; ++i)
    {
        Vector2f p(25 + random() % 751, 20 + random() % 531);
        handed.emplace_back(graph.GetPathState(p), p);
    }
    for (auto [s, p] : handed)
    {
        EXPECT_EQ(PlayfieldGraph::PointOf(s), p);
        EXPECT_EQ(graph.GetPathState(p), s);
    }
    const size_t count = graph.StateCount();
    EXPECT_LT(count, 5000u);
    EXPECT_GT(count, 4900u);

    void* first = handed[0].first;
    graph.ClearPathStates();
    EXPECT_EQ(graph.StateCount(), 0u);
    EXPECT_EQ(graph.GetPathState({1, 2}), first);
    EXPECT_EQ(graph.GetPathState(handed[0].second), handed[1].first);
    EXPECT_EQ(graph.StateCount(), 2u);
}

// The level's path calls, forwarded to the graph: a line routed from left to right of a wall goes
// round it without touching it, and a walled-in goal fails within the limit.
TEST_F(PlayfieldGraphTest, RoutesAroundAWallThroughTheLevel)
{
    GameTest::FakeLevel level;
    level.graph = &graph;
    GameObstacle wall({300, 150}, 30, 300, nullptr); // 300..330 x 150..450
    const Vector2f from(200, 300), to(430, 300);
    level.SetPathGoal(to);
    std::vector<void*> path;
    float cost = 0;
    {
        PathSolver solver(&level.PathGraph(), 250);
        ASSERT_EQ(solver.Solve(level.GetPathState(from), level.GetPathState(to), &path, &cost, 120),
                  PathSolver::Solved);
    }
    EXPECT_EQ(PlayfieldGraph::PointOf(path.front()), from);
    EXPECT_EQ(PlayfieldGraph::PointOf(path.back()), to);
    for (void* s : path)
    {
        const Vector2f p = PlayfieldGraph::PointOf(s);
        EXPECT_FALSE(graph.IsBlocked(p.x, p.y)) << p.x << "," << p.y;
    }
    // Round the end of the wall: well over the straight 230 px.
    EXPECT_GT(cost, 1.5f * 230 / 15 + 10);
    EXPECT_EQ(std::count(level.calls.begin(), level.calls.end(), "SetPathGoal 430,300"), 1);
    level.ClearPathStates();
    EXPECT_EQ(graph.StateCount(), 0u);

    // The goal boxed in: no route, and the limit stops the search long before the whole field.
    GameObstacle box({600, 100}, 60, 60, nullptr);
    level.SetPathGoal({630, 130});
    PathSolver solver(&level.PathGraph(), 250);
    EXPECT_EQ(solver.Solve(level.GetPathState({560, 130}), level.GetPathState({630, 130}), &path, &cost, 30),
              PathSolver::NoSolution);
    EXPECT_LT(graph.StateCount(), 51u * 36u / 2);
}

} // namespace
