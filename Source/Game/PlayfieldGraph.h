#pragma once
// The playfield as a path-finding graph: its states are points on a 15 px lattice around the
// start, stored once each so that a point's address is its handle. Traps and obstacles block.
#include "Game/PathSolver.h"
#include "Game/PlayfieldTypes.h"

#include <cstdint>
#include <memory>
#include <vector>

class PlayfieldGraph : public micropather::Graph
{
public:
    static constexpr float Step = 15.0f;
    static constexpr float StraightCost = 1.5f;
    static constexpr float DiagonalCost = 2.1f;

    PlayfieldGraph();

    // The handle of a point, storing the point the first time it is asked for.
    void* GetPathState(Vector2f point);
    static Vector2f PointOf(void* state) { return *static_cast<const Vector2f*>(state); }
    // Where the current route ends: states within one step of it lead straight to it.
    void SetPathGoal(Vector2f point) { goal = point; }
    Vector2f GetPathGoal() const { return goal; }
    // Forgets every state. The storage is kept, so the next routing allocates nothing; handles
    // handed out before are reused for other points, so no solver may outlive the call.
    void ClearPathStates();
    size_t StateCount() const { return used; }

    // The point lies in, or within 4 px of the edges of, a trap's or obstacle's box.
    virtual bool IsBlocked(float x, float y) const;

    // The squared distance: far larger than the step costs, so the search heads for the goal.
    float LeastCostEstimate(void* a, void* b) override;
    void AdjacentCost(void* state, std::vector<micropather::StateCostPair>* out) override;
    void PrintStateInfo(void* state) override;

private:
    static constexpr size_t ChunkSize = 1024;

    struct Slot
    {
        uint32_t generation;
        uint32_t index;
    };

    Vector2f* Stored(size_t index) { return &pathStates[index / ChunkSize][index % ChunkSize]; }
    void Grow();

    // Chunks never move, so a stored point keeps its address until the states are cleared.
    std::vector<std::unique_ptr<Vector2f[]>> pathStates;
    size_t used = 0;
    // Open addressing over the stored points; a slot counts only in the current generation.
    std::vector<Slot> table;
    uint32_t generation = 1;
    Vector2f goal;
};
