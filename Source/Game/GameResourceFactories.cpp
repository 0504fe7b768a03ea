#include "Game/GameResourceFactories.h"

#include "Framework/ResourceManager.h"
#include "Game/LayerNodes.h"

void RegisterGameResourceFactories(Kestrin::ResourceManager&)
{
    RegisterLayerNodeFactories();
}
