#include "Game/EffectRadius.h"

#include "Game/Gremlin.h"
#include "Game/GremlinHome.h"

#include <algorithm>

EffectRadius::EffectRadius(Vector2f centre, float size) : CollisionTreeComponent(centre, size, size) {}

EffectRadius::~EffectRadius() = default;

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
