#include "Game/PathSolver.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>

namespace micropather
{

namespace
{
// Cost of a node not reached yet in this search; half of FLT_MAX so that adding a step cannot
// overflow.
constexpr float Big = FLT_MAX / 2.0f;

// Circular list through openNext/openPrev, kept in ascending total; the sentinel costs FLT_MAX.
class OpenList
{
public:
    OpenList()
    {
        sentinel.costFromStart = sentinel.estimate = sentinel.total = FLT_MAX;
        sentinel.openNext = sentinel.openPrev = &sentinel;
    }

    bool Empty() const { return sentinel.openNext == &sentinel; }

    // After every node of equal total, so equals leave in push order.
    void Push(SearchNode* node)
    {
        SearchNode* at = sentinel.openNext;
        while (at != &sentinel && at->total <= node->total)
            at = at->openNext;
        LinkBefore(node, at);
        node->flags |= SearchNode::InOpen;
    }

    SearchNode* Pop()
    {
        SearchNode* node = sentinel.openNext;
        Unlink(node);
        node->flags &= ~SearchNode::InOpen;
        return node;
    }

    // The node's total dropped: move it forward to its place.
    void Update(SearchNode* node)
    {
        if (node->openPrev != &sentinel && node->openPrev->total > node->total)
        {
            Unlink(node);
            LinkBefore(node, sentinel.openNext);
        }
        while (node->openNext != &sentinel && node->openNext->total < node->total)
        {
            SearchNode* next = node->openNext;
            Unlink(node);
            LinkBefore(node, next->openNext);
        }
    }

private:
    static void Unlink(SearchNode* node)
    {
        node->openPrev->openNext = node->openNext;
        node->openNext->openPrev = node->openPrev;
    }

    static void LinkBefore(SearchNode* node, SearchNode* at)
    {
        node->openNext = at;
        node->openPrev = at->openPrev;
        at->openPrev->openNext = node;
        at->openPrev = node;
    }

    SearchNode sentinel{};
};
} // namespace

PathSolver::PathSolver(Graph* graph_, unsigned allocate)
    : blockSize(allocate < 1 ? 1 : allocate), graph(graph_)
{
}

PathSolver::~PathSolver() = default;

void PathSolver::Reset()
{
    std::fill(std::begin(hash), std::end(hash), nullptr);
    nextBlock = 0;
    available = 0;
    nodeCount = 0;
}

unsigned PathSolver::Bucket(void* state)
{
    const auto h = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(state));
    return (h + (h >> 8) + (h >> 16) + (h >> 24)) & 0xFF;
}

SearchNode* PathSolver::TakeNode()
{
    if (available == 0)
    {
        if (nextBlock == blocks.size())
            blocks.push_back(std::make_unique<SearchNode[]>(blockSize));
        ++nextBlock;
        available = blockSize;
    }
    SearchNode* node = &blocks[nextBlock - 1][blockSize - available];
    --available;
    ++nodeCount;
    return node;
}

SearchNode* PathSolver::FindNode(void* state) const
{
    for (SearchNode* node = hash[Bucket(state)]; node; node = node->hashNext)
        if (node->state == state)
            return node;
    return nullptr;
}

SearchNode* PathSolver::FindOrCreateNode(void* state, float cost, float estimate, SearchNode* parent)
{
    SearchNode* node = FindNode(state);
    if (!node)
    {
        node = TakeNode();
        node->state = state;
        node->neighbourCount = -1;
        node->hashNext = nullptr;
        node->openNext = node->openPrev = nullptr;
        SearchNode** tail = &hash[Bucket(state)];
        while (*tail)
            tail = &(*tail)->hashNext;
        *tail = node;
    }
    node->costFromStart = cost;
    node->estimate = estimate;
    node->total = cost + estimate;
    node->parent = parent;
    node->frame = frame;
    node->flags = 0;
    return node;
}

void PathSolver::ResetForFrame(SearchNode* node)
{
    node->costFromStart = node->estimate = node->total = Big;
    node->parent = nullptr;
    node->flags = 0;
    node->frame = frame;
}

const NodeCost* PathSolver::GetNeighbours(SearchNode* node, int* count)
{
    if (node->neighbourCount >= 0 && node->neighbourCount <= 4)
    {
        for (int i = 0; i < node->neighbourCount; ++i)
            if (node->cache[i].node->frame != frame)
                ResetForFrame(node->cache[i].node);
        *count = node->neighbourCount;
        return node->cache;
    }

    neighbourList.clear();
    graph->AdjacentCost(node->state, &neighbourList);
    const int n = static_cast<int>(neighbourList.size());
    node->neighbourCount = n;
    NodeCost* out = node->cache;
    if (n > 4)
    {
        nodeCostList.resize(neighbourList.size());
        out = nodeCostList.data();
    }
    for (int i = 0; i < n; ++i)
    {
        SearchNode* child = FindNode(neighbourList[i].state);
        if (!child || child->frame != frame)
            child = FindOrCreateNode(neighbourList[i].state, Big, Big, nullptr);
        out[i] = {child, neighbourList[i].cost};
    }
    *count = n;
    return out;
}

int PathSolver::Solve(void* start, void* end, std::vector<void*>* path, float* totalCost, float maxCost)
{
    *totalCost = 0.0f;
    if (start == end)
        return StartEndSame;

    ++frame;
    OpenList open;
    open.Push(FindOrCreateNode(start, 0.0f, graph->LeastCostEstimate(start, end), nullptr));
    neighbourList.clear();
    nodeCostList.clear();

    while (!open.Empty())
    {
        SearchNode* node = open.Pop();
        if (node->costFromStart > maxCost)
            return NoSolution;

        if (node->state == end)
        {
            int n = 0;
            for (SearchNode* at = node; at; at = at->parent)
                ++n;
            path->assign(static_cast<size_t>(n), nullptr);
            int i = n;
            for (SearchNode* at = node; at; at = at->parent)
                (*path)[static_cast<size_t>(--i)] = at->state;
            *totalCost = node->costFromStart;
            return Solved;
        }

        int count = 0;
        const NodeCost* neighbours = GetNeighbours(node, &count);
        for (int i = 0; i < count; ++i)
        {
            if (neighbours[i].cost == FLT_MAX)
                continue;
            SearchNode* child = neighbours[i].node;
            const float newCost = node->costFromStart + neighbours[i].cost;
            if (child->flags & (SearchNode::InOpen | SearchNode::InClosed))
            {
                if (child->costFromStart <= newCost)
                    continue;
                child->costFromStart = newCost;
                child->parent = node;
                child->estimate = graph->LeastCostEstimate(child->state, end);
                child->total = child->estimate + newCost;
                if (child->flags & SearchNode::InClosed)
                {
                    child->flags &= ~SearchNode::InClosed;
                    open.Push(child);
                }
                else
                {
                    open.Update(child);
                }
            }
            else
            {
                child->parent = node;
                child->costFromStart = newCost;
                child->estimate = graph->LeastCostEstimate(child->state, end);
                child->total = child->estimate + newCost;
                open.Push(child);
            }
        }
        node->flags |= SearchNode::InClosed;
    }
    return NoSolution;
}

} // namespace micropather
