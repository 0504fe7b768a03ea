#pragma once
// A creature's area of effect: a square sensor 100 px across that records the creatures and traps
// inside it.
#include "Game/CollisionTreeComponent.h"

#include <vector>

class EffectRadius : public CollisionTreeComponent
{
public:
    // Joins the tree's sensors, which it tells of every box that leaves.
    EffectRadius(Vector2f centre, float size);
    ~EffectRadius() override;

    void OnCollision(CollisionTreeComponent* other) override;
    int GetCollisionPriority() const override;
    bool IsSensor() const override;
    void OnCollisionPassStart() override;
    void SyncNodePosition(Vector2f centre) override;
    void ForgetContact(const CollisionTreeComponent* gone) override;

    // What the last collision pass found inside and is still there: a box that leaves the tree
    // leaves this list too.
    std::vector<CollisionTreeComponent*> contacts;
};
