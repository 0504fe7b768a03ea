#include "Game/GameResourceFactories.h"

#include "Framework/ResourceManager.h"
#include "Framework/ValueResources.h"

void RegisterGameResourceFactories(Kestrin::ResourceManager& manager)
{
    manager.RegisterFactory(L"randomrange", new Kestrin::RandomRangeResourceFactory);
}
