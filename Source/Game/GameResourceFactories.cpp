#include "Game/GameResourceFactories.h"

#include "Framework/ResourceManager.h"

void RegisterGameResourceFactories(Kestrin::ResourceManager&)
{
    // Gameplay has no resource kinds of its own yet; its layer nodes will register here.
}
