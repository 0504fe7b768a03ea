#pragma once
// The collision box of one piece of a player-drawn line, with the strips the line draws it with.
#include "Game/CollisionTreeComponent.h"
#include "Graphics/Canvas.h"

#include <array>
#include <boost/signals2/signal.hpp>

class Line;

class LineSegment : public CollisionTreeComponent
{
public:
    // Joins the current screen's tree; the line links previous->next itself.
    LineSegment(Vector2f start, Vector2f end, Line* line, LineSegment* previous);
    // Fires destroyed first, then unlinks both neighbours, then leaves the tree.
    ~LineSegment() override;

    // Recomputes the length, the box and the strips.
    void SetEnd(Vector2f end);
    // Cuts the segment back to exactly one step (20 px) along its direction; a zero-length
    // segment keeps its end.
    void CutToStep();
    bool CrossesBoxEdges(const CollisionTreeComponent& box) const;

    // Segments touch closer than 4 px, except neighbours and the line's own recent stretch;
    // other boxes by their edges or by holding an end point.
    bool Overlaps(const CollisionTreeComponent& other) const override;
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
    // Strips of the ribbon (0-5) and of its shadow 4 px lower (6-11); 0 and 1 join the previous
    // segment. u runs 0 to 1 along the segment, v 0 to 1 across it.
    std::array<Kestrin::Graphics::PolygonVertex, 12> vertices;
    boost::signals2::signal<void(LineSegment*)> destroyed;

private:
    void UpdateVertices();
};

// True when the segment p-q comes within 4 px of an edge of the box.
bool CrossesBoxEdges(Vector2f p, Vector2f q, const CollisionTreeComponent& box);
// The squared distance between the closest points of segments p1-q1 and p2-q2.
float SegmentDistanceSquared(Vector2f p1, Vector2f q1, Vector2f p2, Vector2f q2);
float Clamp(float value, float low, float high);
