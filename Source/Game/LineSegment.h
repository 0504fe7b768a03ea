#pragma once
// The collision box of one piece of a player-drawn line.
#include "Game/CollisionTreeComponent.h"

#include <boost/signals2/signal.hpp>

class Line;

class LineSegment : public CollisionTreeComponent
{
public:
    LineSegment(Vector2f start, Vector2f end, Line* line, LineSegment* previous);
    ~LineSegment() override;

    // Recomputes the length, the box and the strips.
    void SetEnd(Vector2f end);
    // Cuts the segment back to exactly one step (20 px) along its direction; a zero-length
    // segment keeps its end.
    void CutToStep();
    bool CrossesBoxEdges(const CollisionTreeComponent& box) const;

    void OnCollision(CollisionTreeComponent* other) override;
    int GetCollisionPriority() const override;
    void SyncNodePosition(Vector2f centre) override;

    Vector2f start;
    Vector2f end;
    float length = 0.0f;
    bool occupied = false;
    Line* line = nullptr;
    LineSegment* previous = nullptr;
    LineSegment* next = nullptr;
    boost::signals2::signal<void(LineSegment*)> destroyed;
};

// True when the segment p-q crosses an edge of the box.
bool CrossesBoxEdges(Vector2f p, Vector2f q, const CollisionTreeComponent& box);
