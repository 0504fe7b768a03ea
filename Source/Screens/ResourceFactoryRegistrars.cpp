#include "Screens/ResourceFactoryRegistrars.h"

#include "Framework/ResourceManager.h"
#include "Game/GameResourceFactories.h"
#include "Scene/SceneResourceFactories.h"
#include "UI/UIResourceFactories.h"

void RegisterFactories(Kestrin::ResourceManager& manager)
{
    RegisterSceneResourceFactories(manager);
    RegisterGameResourceFactories(manager);
}

void AddGameResourceFactoryRegistrars()
{
    Kestrin::AddResourceFactoryRegistrar(&Kestrin::RegisterUIResourceFactories);
    Kestrin::AddResourceFactoryRegistrar(&RegisterFactories);
}
