#include "Game/CollisionTreeComponent.h"

#include "Base/Random.h"
#include "Game/CollisionQuadTree.h"

#include <algorithm>
#include <cmath>

namespace
{
uint64_t g_nextSerial = 0;

constexpr float SpiralStep = 5.0f;
// The legs that cover the playfield from any start on it: the step is 4.33 px at its shortest,
// so the playfield's diagonal (918 px) is 213 steps, and 2 x 213 + 2 legs reach past it (see
// LegsCoveringPlayfield). A start farther off gives up there.
constexpr int MaxLegLength = 428;

// The spiral walks its legs along the step and the step turned, and leg k keeps one of those two
// coordinates at least (k - 1) / 2 steps from the start. The spots the box may take (its edges on
// the playfield) form a rectangle that reaches no farther out in either coordinate than at one of
// its corners: once a leg is past them all, no later step lands on the playfield, and every spot
// off it is blocked.
int LegsCoveringPlayfield(Vector2f start, Vector2f step, float halfWidth, float halfHeight)
{
    const float left = PlayfieldLeft + halfWidth, right = PlayfieldRight - halfWidth;
    const float top = PlayfieldTop + halfHeight, bottom = PlayfieldBottom - halfHeight;
    if (!(left <= right && top <= bottom))
        return 0; // too large for the playfield
    const float lengthSquared = step.x * step.x + step.y * step.y;
    float reach = 0.0f;
    for (float x : {left, right})
        for (float y : {top, bottom})
        {
            const float dx = x - start.x, dy = y - start.y;
            reach = std::max({reach, std::fabs(dx * step.x + dy * step.y) / lengthSquared,
                              std::fabs(dx * step.y - dy * step.x) / lengthSquared});
        }
    // A leg to spare against the rounding of the walk.
    const float legs = 2.0f * std::ceil(reach) + 2.0f;
    return legs < float(MaxLegLength) ? int(legs) : MaxLegLength;
}
} // namespace

CollisionTreeComponent::CollisionTreeComponent(Vector2f centre, float width, float height)
    : m_serial(g_nextSerial++), m_x(centre.x), m_y(centre.y), m_halfWidth(width / 2), m_halfHeight(height / 2)
{
    tree = FindCollisionTree();
    if (tree)
        tree->Add(this);
    Enter();
}

CollisionTreeComponent::CollisionTreeComponent(Vector2f p, Vector2f q)
    : CollisionTreeComponent(Vector2f((p.x + q.x) / 2, (p.y + q.y) / 2), 2 * std::fabs(q.x - p.x),
                             2 * std::fabs(q.y - p.y))
{
}

CollisionTreeComponent::~CollisionTreeComponent()
{
    if (!tree)
        return;
    tree->Erase(this);
    tree->Remove(this);
}

void CollisionTreeComponent::Enter()
{
    age = 0;
    if (tree)
        tree->Move(this);
}

void CollisionTreeComponent::SetPosition(Vector2f centre)
{
    m_x = centre.x;
    m_y = centre.y;
    Enter();
    SyncNodePosition(centre);
}

void CollisionTreeComponent::SetSize(float width, float height)
{
    float left = m_x - m_halfWidth, top = m_y - m_halfHeight;
    m_halfWidth = width / 2;
    m_halfHeight = height / 2;
    m_x = left + m_halfWidth;
    m_y = top + m_halfHeight;
    Enter();
}

// The box stays filed under its old cell while it searches: the tree never pairs it with itself.
// With no free spot on the playfield it stays at its start, the spot its zone or its walk chose:
// on the playfield when that was, and the collision pass pushes the boxes there apart.
void CollisionTreeComponent::FindFreeSpot()
{
    const float r = Kestrin::RandomFloatOrZero();
    m_stepX = SpiralStep * r;
    m_stepY = SpiralStep * (1 - r * r);
    m_legLength = 1;
    m_legSteps = 0;
    const float startX = m_x, startY = m_y;
    const int legs = LegsCoveringPlayfield(GetCentre(), {m_stepX, m_stepY}, m_halfWidth, m_halfHeight);
    while (IsBlocked())
    {
        if (m_legLength > legs)
        {
            m_x = startX;
            m_y = startY;
            break;
        }
        m_x += m_stepX;
        m_y += m_stepY;
        if (++m_legSteps == m_legLength)
        {
            float turned = -m_stepX;
            m_stepX = m_stepY;
            m_stepY = turned;
            m_legSteps = 0;
            ++m_legLength;
        }
    }
    Enter();
    SyncNodePosition(GetCentre());
}

bool CollisionTreeComponent::Overlaps(const CollisionTreeComponent& other) const
{
    return !(m_x + m_halfWidth < other.m_x - other.m_halfWidth ||
             m_x - m_halfWidth > other.m_x + other.m_halfWidth ||
             m_y + m_halfHeight < other.m_y - other.m_halfHeight ||
             m_y - m_halfHeight > other.m_y + other.m_halfHeight);
}

bool CollisionTreeComponent::Contains(Vector2f point) const
{
    return m_x - m_halfWidth <= point.x && point.x <= m_x + m_halfWidth && m_y - m_halfHeight <= point.y &&
           point.y <= m_y + m_halfHeight;
}

bool CollisionTreeComponent::IsOutsidePlayfield() const
{
    return m_x - m_halfWidth < PlayfieldLeft || m_y - m_halfHeight < PlayfieldTop ||
           m_x + m_halfWidth > PlayfieldRight || m_y + m_halfHeight > PlayfieldBottom;
}

int CollisionTreeComponent::GetCollisionPriority() const
{
    return 0;
}

bool CollisionTreeComponent::IsSensor() const
{
    return false;
}

// The playfield's edges first: they cost four comparisons, the tree a walk.
bool CollisionTreeComponent::IsBlocked() const
{
    return IsOutsidePlayfield() || (tree && tree->IsBlockedAt(this, tree->GetRoot()));
}

void CollisionTreeComponent::OnCollisionPassStart() {}
