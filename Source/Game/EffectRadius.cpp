#include "Game/EffectRadius.h"

#include "Game/CollisionQuadTree.h"

#include "Game/Gremlin.h"
#include "Game/GremlinHome.h"

#include <algorithm>

EffectRadius::EffectRadius(Vector2f centre, float size) : CollisionTreeComponent(centre, size, size)
{
    if (tree)
        tree->AddSensor(this);
}

EffectRadius::~EffectRadius()
{
    if (tree)
        tree->RemoveSensor(this);
}

void EffectRadius::ForgetContact(const CollisionTreeComponent* gone)
{
    contacts.erase(std::remove(contacts.begin(), contacts.end(), gone), contacts.end());
}

void EffectRadius::OnCollision(CollisionTreeComponent* other)
{
    // Only creatures and traps matter to a creature's behaviour; a pass may pair the two boxes
    // in both orders, so each is listed once.
    if (!dynamic_cast<Gremlin*>(other) && !dynamic_cast<GremlinHome*>(other))
        return;
    if (std::find(contacts.begin(), contacts.end(), other) == contacts.end())
        contacts.push_back(other);
}

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
