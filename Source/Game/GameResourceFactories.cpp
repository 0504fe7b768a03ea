#include "Game/GameResourceFactories.h"

#include "Framework/ResourceManager.h"
#include "Game/LayerNodes.h"
#include "Game/SludgeLayerNode.h"
#include "Scene/SceneNodeFactory.h"

void RegisterGameResourceFactories(Kestrin::ResourceManager&)
{
    RegisterLayerNodeFactories();
    // A kind registered before keeps its factory: layouts read already point at it.
    if (!GetSceneNodeFactories().Find(L"sludgelayernode"))
        RegisterSceneNodeFactory(L"sludgelayernode", new SludgeLayerNodeFactory);
}
