#include "Screens/ResourceFactoryRegistrars.h"

#include "Framework/ResourceManager.h"
#include "Game/GameResourceFactories.h"
#include "Scene/SceneResourceFactories.h"
#include "UI/UIResourceFactories.h"

void AddGameResourceFactoryRegistrars()
{
    Kestrin::AddResourceFactoryRegistrar(&Kestrin::RegisterUIResourceFactories);
    Kestrin::AddResourceFactoryRegistrar(&RegisterSceneResourceFactories);
    Kestrin::AddResourceFactoryRegistrar(&RegisterGameResourceFactories);
}
