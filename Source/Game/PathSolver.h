#pragma once
// A* over any graph whose states are opaque handles. Nodes come from blocks and are found again
// through a small hash; each search raises a frame number instead of clearing old nodes, so a
// solver that searches the same ground again allocates nothing. Reset forgets the nodes but keeps
// their blocks, for a graph that hands its handles out anew.
#include <cfloat>
#include <memory>
#include <vector>

namespace micropather
{

struct StateCostPair
{
    void* state;
    float cost; // FLT_MAX: no edge
};

class Graph
{
public:
    virtual ~Graph() = default;
    virtual float LeastCostEstimate(void* a, void* b) = 0;
    // Appends every neighbour of the state with the cost of the step.
    virtual void AdjacentCost(void* state, std::vector<StateCostPair>* out) = 0;
    virtual void PrintStateInfo(void* state) = 0;
};

struct SearchNode;

struct NodeCost
{
    SearchNode* node;
    float cost;
};

struct SearchNode
{
    enum : unsigned
    {
        InOpen = 1,
        InClosed = 2
    };

    void* state;
    float costFromStart;
    float estimate;
    float total;
    SearchNode* parent;
    unsigned frame;
    NodeCost cache[4];
    int neighbourCount; // -1 until the graph was asked
    SearchNode* hashNext;
    SearchNode* openNext;
    SearchNode* openPrev;
    unsigned flags;
};

class PathSolver
{
public:
    enum Result
    {
        Solved = 0,
        NoSolution = 1,
        StartEndSame = 2
    };

    PathSolver(Graph* graph, unsigned allocate);
    ~PathSolver();
    PathSolver(const PathSolver&) = delete;
    PathSolver& operator=(const PathSolver&) = delete;

    // On Solved, path runs from start to end and totalCost is its cost. The search gives up once
    // the cheapest open node lies further than maxCost from the start.
    int Solve(void* start, void* end, std::vector<void*>* path, float* totalCost, float maxCost = FLT_MAX);

    // Forgets every node; the blocks stay for the next searches.
    void Reset();

    Graph* GetGraph() const { return graph; }
    unsigned NodeCount() const { return nodeCount; }

private:
    static unsigned Bucket(void* state);
    SearchNode* TakeNode();
    SearchNode* FindNode(void* state) const;
    SearchNode* FindOrCreateNode(void* state, float cost, float estimate, SearchNode* parent);
    // The node's neighbours with their step costs; valid until the next call.
    const NodeCost* GetNeighbours(SearchNode* node, int* count);
    void ResetForFrame(SearchNode* node);

    unsigned blockSize;
    Graph* graph;
    SearchNode* hash[256] = {};
    std::vector<std::unique_ptr<SearchNode[]>> blocks;
    // The next block to hand nodes out of, and the nodes left in the one before it.
    size_t nextBlock = 0;
    unsigned available = 0;
    unsigned nodeCount = 0;
    unsigned frame = 0;
    std::vector<StateCostPair> neighbourList;
    std::vector<NodeCost> nodeCostList;
};

} // namespace micropather
