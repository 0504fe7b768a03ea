#include "Scene/SceneResourceFactories.h"

#include "Framework/ResourceManager.h"

void RegisterSceneResourceFactories(Kestrin::ResourceManager&)
{
    // None yet: scene layouts, sprite types and animation lists register here with the scene graph.
}
