// Stand-ins for the collision boxes until they are built: boxes that hold their place and size and
// touch nothing.
#include "Game/CollisionTreeComponent.h"
#include "Game/EffectRadius.h"
#include "Game/LineSegment.h"

#include <cmath>

CollisionTreeComponent::CollisionTreeComponent(Vector2f centre, float width, float height)
    : m_x(centre.x), m_y(centre.y), m_halfWidth(width / 2), m_halfHeight(height / 2)
{
}

CollisionTreeComponent::CollisionTreeComponent(Vector2f p, Vector2f q)
    : m_x((p.x + q.x) / 2), m_y((p.y + q.y) / 2), m_halfWidth(std::fabs(q.x - p.x)),
      m_halfHeight(std::fabs(q.y - p.y))
{
}

CollisionTreeComponent::~CollisionTreeComponent() = default;
void CollisionTreeComponent::FindFreeSpot() {}
bool CollisionTreeComponent::Overlaps(const CollisionTreeComponent&) const
{
    return false;
}
bool CollisionTreeComponent::Contains(Vector2f) const
{
    return false;
}
bool CollisionTreeComponent::IsOutsidePlayfield() const
{
    return false;
}
int CollisionTreeComponent::GetCollisionPriority() const
{
    return 0;
}
bool CollisionTreeComponent::IsSensor() const
{
    return false;
}
bool CollisionTreeComponent::IsBlocked() const
{
    return false;
}
void CollisionTreeComponent::OnCollisionPassStart() {}

void CollisionTreeComponent::SetPosition(Vector2f centre)
{
    m_x = centre.x;
    m_y = centre.y;
    SyncNodePosition(centre);
}

void CollisionTreeComponent::SetSize(float width, float height)
{
    m_halfWidth = width / 2;
    m_halfHeight = height / 2;
}

EffectRadius::EffectRadius(Vector2f centre, float size) : CollisionTreeComponent(centre, size, size) {}
EffectRadius::~EffectRadius() = default;
void EffectRadius::OnCollision(CollisionTreeComponent*) {}
int EffectRadius::GetCollisionPriority() const
{
    return 1;
}
bool EffectRadius::IsSensor() const
{
    return true;
}
void EffectRadius::OnCollisionPassStart()
{
    contacts.clear();
}
void EffectRadius::SyncNodePosition(Vector2f) {}

LineSegment::LineSegment(Vector2f start_, Vector2f end_, Line* line_, LineSegment* previous_)
    : CollisionTreeComponent(start_, end_), start(start_), end(end_), line(line_), previous(previous_)
{
}
LineSegment::~LineSegment()
{
    destroyed(this);
}
void LineSegment::SetEnd(Vector2f end_)
{
    end = end_;
}
void LineSegment::CutToStep() {}
bool LineSegment::CrossesBoxEdges(const CollisionTreeComponent& box) const
{
    return ::CrossesBoxEdges(start, end, box);
}
void LineSegment::OnCollision(CollisionTreeComponent*) {}
int LineSegment::GetCollisionPriority() const
{
    return 2;
}
void LineSegment::SyncNodePosition(Vector2f) {}

bool CrossesBoxEdges(Vector2f, Vector2f, const CollisionTreeComponent&)
{
    return false;
}
