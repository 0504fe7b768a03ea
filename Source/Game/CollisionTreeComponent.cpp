#include "Game/CollisionTreeComponent.h"

#include "Base/Random.h"
#include "Game/CollisionQuadTree.h"

#include <cmath>

namespace
{
uint64_t g_nextSerial = 0;

// The spiral ends once a leg is longer than twice the playfield's diagonal in 5-px steps: by
// then every spot it reaches lies outside the playfield and counts as blocked.
constexpr int MaxLegLength = 370;
constexpr float SpiralStep = 5.0f;
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
void CollisionTreeComponent::FindFreeSpot()
{
    const float r = Kestrin::RandomFloatOrZero();
    m_stepX = SpiralStep * r;
    m_stepY = SpiralStep * (1 - r * r);
    m_legLength = 1;
    m_legSteps = 0;
    const float startX = m_x, startY = m_y;
    while (IsBlocked())
    {
        if (m_legLength > MaxLegLength)
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

bool CollisionTreeComponent::IsBlocked() const
{
    return (tree && tree->IsBlockedAt(this, tree->GetRoot())) || IsOutsidePlayfield();
}

void CollisionTreeComponent::OnCollisionPassStart() {}
