#pragma once
// How a creature moves: each task runs on its "MovementAITask" channel and sets the centre of its
// box. None clones: a walk belongs to the moment it was chosen in.
#include "Framework/Task.h"
#include "Framework/Tasks.h"
#include "Game/PlayfieldTypes.h"

class LineSegment;

// Stands still for the duration.
class PauseAITask : public Kestrin::Task
{
public:
    explicit PauseAITask(float duration);
    Kestrin::TaskStatus Update(Kestrin::Object* target, float dt) override;

    float duration;
    float elapsed = 0.0f;
};

// A straight walk from `from` to `to`, timed as distance / speed; done once the centre is on `to`.
class RandomWalkAITask : public Kestrin::Task
{
public:
    RandomWalkAITask(float fromX, float fromY, float speed, float distance, Vector2f to);
    Kestrin::TaskStatus Update(Kestrin::Object* target, float dt) override;
    virtual Vector2f ComputePosition(Vector2f from, Vector2f to);

    float elapsed = 0.0f;
    float speed;
    Vector2f from;
    Vector2f to;
    float distance;
    Kestrin::LinearInterpolator interpolator;
};

// Walks a line segment by segment, one creature per segment: towards the trap (FollowPathAITask)
// or towards the tip (ReversePathAITask). The speed is the creature's own, read every step. The
// creature clears its channel before a segment it walks goes away.
class PathAITask : public Kestrin::Task
{
public:
    PathAITask(LineSegment* segment, float speed, bool towardsTip);
    Kestrin::TaskStatus Update(Kestrin::Object* target, float dt) override;
    virtual Vector2f ComputePosition(Vector2f from, Vector2f to);

    float elapsed = 0.0f;
    float speed;
    LineSegment* segment;
    Kestrin::LinearInterpolator interpolator;

private:
    // At the end of the line: done, after letting go of a line still being drawn at its tip.
    void ReachedEnd();

    bool m_towardsTip;
};

class FollowPathAITask : public PathAITask
{
public:
    FollowPathAITask(LineSegment* segment, float speed) : PathAITask(segment, speed, false) {}
};

class ReversePathAITask : public PathAITask
{
public:
    ReversePathAITask(LineSegment* segment, float speed) : PathAITask(segment, speed, true) {}
};
