#include "Game/PlayfieldGraph.h"

#include "Base/Log.h"
#include "Game/GameObject.h"
#include "Game/LineSegment.h"

#include <algorithm>
#include <bit>
#include <cfloat>
#include <cmath>

namespace
{
struct Move
{
    float dx, dy, cost;
};

constexpr float S = PlayfieldGraph::Step;
constexpr Move Moves[8] = {
    {S, 0, PlayfieldGraph::StraightCost},  {0, S, PlayfieldGraph::StraightCost},
    {-S, 0, PlayfieldGraph::StraightCost}, {0, -S, PlayfieldGraph::StraightCost},
    {S, S, PlayfieldGraph::DiagonalCost},  {S, -S, PlayfieldGraph::DiagonalCost},
    {-S, S, PlayfieldGraph::DiagonalCost}, {-S, -S, PlayfieldGraph::DiagonalCost},
};

// How near an edge a point counts as touching it.
const float EdgeReach = std::sqrt(BoxEdgeTouchDistanceSquared);

size_t HashOf(Vector2f p)
{
    uint64_t h = (uint64_t(std::bit_cast<uint32_t>(p.x)) << 32) | std::bit_cast<uint32_t>(p.y);
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdULL;
    h ^= h >> 33;
    return static_cast<size_t>(h);
}
} // namespace

PlayfieldGraph::PlayfieldGraph() : table(4096, Slot{0, 0}) {}

void PlayfieldGraph::Grow()
{
    std::vector<Slot> old(table.size() * 2, Slot{0, 0});
    old.swap(table);
    const size_t mask = table.size() - 1;
    for (size_t i = 0; i < used; ++i)
    {
        size_t at = HashOf(*Stored(i)) & mask;
        while (table[at].generation == generation)
            at = (at + 1) & mask;
        table[at] = {generation, static_cast<uint32_t>(i)};
    }
}

void* PlayfieldGraph::GetPathState(Vector2f point)
{
    // Keep the table at most half full so probes stay short.
    if ((used + 1) * 2 > table.size())
        Grow();
    const size_t mask = table.size() - 1;
    size_t at = HashOf(point) & mask;
    for (; table[at].generation == generation; at = (at + 1) & mask)
    {
        Vector2f* stored = Stored(table[at].index);
        if (stored->x == point.x && stored->y == point.y)
            return stored;
    }
    if (used == pathStates.size() * ChunkSize)
        pathStates.push_back(std::make_unique<Vector2f[]>(ChunkSize));
    Vector2f* stored = Stored(used);
    *stored = point;
    table[at] = {generation, static_cast<uint32_t>(used)};
    ++used;
    return stored;
}

void PlayfieldGraph::ClearPathStates()
{
    used = 0;
    if (++generation == 0)
    {
        std::fill(table.begin(), table.end(), Slot{0, 0});
        generation = 1;
    }
}

bool PlayfieldGraph::IsBlocked(float x, float y) const
{
    const Vector2f p{x, y};
    bool blocked = false;
    GameObject::ForEach(
        [&](GameObject* object)
        {
            if (blocked || !object->BlocksLines())
                return;
            // Far from the box on either axis the edge test cannot answer true: skip its four distances.
            const Vector2f d = p - object->GetCentre();
            if (std::abs(d.x) >= object->GetHalfWidth() + EdgeReach ||
                std::abs(d.y) >= object->GetHalfHeight() + EdgeReach)
                return;
            blocked = object->Contains(p) || CrossesBoxEdges(p, p, *object);
        });
    return blocked;
}

float PlayfieldGraph::LeastCostEstimate(void* a, void* b)
{
    const Vector2f d = PointOf(b) - PointOf(a);
    return d.x * d.x + d.y * d.y;
}

void PlayfieldGraph::AdjacentCost(void* state, std::vector<micropather::StateCostPair>* out)
{
    const Vector2f p = PointOf(state);
    const Vector2f toGoal = p - goal;
    const bool near = toGoal.x * toGoal.x + toGoal.y * toGoal.y < Step * Step;
    for (const Move& move : Moves)
    {
        const Vector2f n = near ? goal : Vector2f{p.x + move.dx, p.y + move.dy};
        if (n.x < PlayfieldLeft || n.y < PlayfieldTop || n.x > PlayfieldRight || n.y > PlayfieldBottom)
            continue;
        void* s = GetPathState(n);
        if (s == state)
        {
            Kestrin::LogPrintf("This shouldn't happen\n");
            continue;
        }
        out->push_back({s, IsBlocked(n.x, n.y) ? FLT_MAX : move.cost});
    }
}

void PlayfieldGraph::PrintStateInfo(void* state)
{
    const Vector2f p = PointOf(state);
    Kestrin::LogPrintf("(%f , %f)", p.x, p.y);
}
