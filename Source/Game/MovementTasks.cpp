#include "Game/MovementTasks.h"

#include "Game/Gremlin.h"
#include "Game/LevelServices.h"
#include "Game/Line.h"
#include "Game/LineSegment.h"

#include <cmath>
#include <limits>

namespace
{
// A segment is this long while the line is drawn; a longer one (where a loop closed) is jumped.
constexpr float kStepLength = 20.0f;

// Infinite (the walker stays at its start) when the speed is 0, also for a zero length.
float Duration(float length, float speed)
{
    const float duration = length / speed;
    return std::isnan(duration) ? std::numeric_limits<float>::infinity() : duration;
}

Vector2f Interpolate(Kestrin::Interpolator& interpolator, Vector2f from, Vector2f to, float elapsed,
                     float duration)
{
    return {interpolator.Interpolate(from.x, to.x, elapsed, duration),
            interpolator.Interpolate(from.y, to.y, elapsed, duration)};
}
} // namespace

PauseAITask::PauseAITask(float duration_) : duration(duration_) {}

Kestrin::TaskStatus PauseAITask::Update(Kestrin::Object*, float dt)
{
    elapsed += dt;
    return elapsed < duration ? Kestrin::TaskRunning : Kestrin::TaskFinished;
}

RandomWalkAITask::RandomWalkAITask(float fromX, float fromY, float speed_, float distance_, Vector2f to_)
    : speed(speed_), from(fromX, fromY), to(to_), distance(distance_)
{
}

Vector2f RandomWalkAITask::ComputePosition(Vector2f start, Vector2f end)
{
    return Interpolate(interpolator, start, end, elapsed, Duration(distance, speed));
}

Kestrin::TaskStatus RandomWalkAITask::Update(Kestrin::Object* target, float dt)
{
    auto* walker = dynamic_cast<GameObject*>(target);
    if (!walker)
        return Kestrin::TaskFinished;
    elapsed += dt;
    if (walker->GetCentre() == to)
        return Kestrin::TaskFinished;
    walker->SetPosition(ComputePosition(from, to));
    return Kestrin::TaskRunning;
}

PathAITask::PathAITask(LineSegment* segment_, float speed_, bool towardsTip)
    : speed(speed_), segment(segment_), m_towardsTip(towardsTip)
{
}

Vector2f PathAITask::ComputePosition(Vector2f start, Vector2f end)
{
    return Interpolate(interpolator, start, end, elapsed, Duration(segment->length, speed));
}

Kestrin::TaskStatus PathAITask::Update(Kestrin::Object* target, float dt)
{
    auto* creature = dynamic_cast<Gremlin*>(target);
    if (!creature || !segment)
        return Kestrin::TaskFinished;
    elapsed += dt;
    speed = creature->GetSpeed();
    const Vector2f origin = m_towardsTip ? segment->start : segment->end;
    const Vector2f dest = m_towardsTip ? segment->end : segment->start;
    if (creature->GetCentre() != dest)
    {
        Vector2f position = ComputePosition(origin, dest);
        if (elapsed > Duration(kStepLength, speed))
            position = dest;
        creature->SetPosition(position);
    }
    if (creature->GetCentre() != dest)
        return Kestrin::TaskRunning;
    LineSegment* neighbour = m_towardsTip ? segment->next : segment->previous;
    if (!neighbour)
    {
        if (m_towardsTip)
            ReachedEnd();
        return Kestrin::TaskFinished;
    }
    if (!neighbour->occupied)
    {
        creature->SetSegment(neighbour);
        segment = neighbour;
        elapsed = 0.0f;
    }
    return Kestrin::TaskRunning;
}

void PathAITask::ReachedEnd()
{
    if (!segment->line || !segment->line->drawing)
        return;
    LevelServices* level = FindLevel();
    if (!level || !level->currentLine)
        return;
    level->currentLine->retracting = true;
    level->RetractLine();
}
