#pragma once
// A creature's area of effect: a square sensor 100 px across that records the creatures and traps
// inside it.
#include "Game/CollisionTreeComponent.h"

#include <vector>

class EffectRadius : public CollisionTreeComponent
{
public:
    EffectRadius(Vector2f centre, float size);
    ~EffectRadius() override;

    void OnCollision(CollisionTreeComponent* other) override;
    int GetCollisionPriority() const override;
    bool IsSensor() const override;
    void OnCollisionPassStart() override;
    void SyncNodePosition(Vector2f centre) override;

    // What the last collision pass found inside.
    std::vector<CollisionTreeComponent*> contacts;
};
