#include "Screens/ResourceFactoryRegistrars.h"

#include "Game/GameResourceFactories.h"
#include "Scene/SceneResourceFactories.h"
#include "UI/UIResourceFactories.h"

const std::vector<Kestrin::ResourceFactoryRegistrar>& GameResourceFactoryRegistrars()
{
    static const std::vector<Kestrin::ResourceFactoryRegistrar> registrars{
        &Kestrin::RegisterUIResourceFactories, &RegisterSceneResourceFactories,
        &RegisterGameResourceFactories};
    return registrars;
}

void AddGameResourceFactoryRegistrars()
{
    for (Kestrin::ResourceFactoryRegistrar registrar : GameResourceFactoryRegistrars())
        Kestrin::AddResourceFactoryRegistrar(registrar);
}
