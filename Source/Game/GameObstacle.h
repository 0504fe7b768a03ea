#pragma once
// One invisible collision block of a fixed obstacle: it blocks creatures and lines and passes a
// loop on to its obstacle. It lives only in the collision tree, its registry and its owner.
#include "Game/GameObject.h"

class ImmovableObstacle;

class GameObstacle : public GameObject, public HeldObject<GameObstacle>
{
public:
    // position: the top-left corner.
    GameObstacle(Vector2f position, float width, float height, ImmovableObstacle* owner);
    ~GameObstacle() override;

    Kestrin::NameId GetRole() const override;
    int GetCollisionPriority() const override;
    void OnLooped() override;

    ImmovableObstacle* owner;
};
