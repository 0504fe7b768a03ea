#include "Game/GameObstacle.h"

#include "Game/ImmovableObstacle.h"

GameObstacle::GameObstacle(Vector2f position, float width, float height, ImmovableObstacle* owner_)
    : GameObject(position.x, position.y, width, height, false, true), owner(owner_)
{
}

GameObstacle::~GameObstacle() = default;

Kestrin::NameId GameObstacle::GetRole() const
{
    return GameNames::GremlinObstacleRole;
}

int GameObstacle::GetCollisionPriority() const
{
    return 6;
}

void GameObstacle::OnLooped()
{
    // Several blocks may be looped at once: the owner flashes once on its next update.
    if (owner)
        owner->looped = true;
}
