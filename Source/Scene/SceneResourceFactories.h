#pragma once
#include <string>
#include <vector>

namespace Kestrin
{
class ResourceManager;
}

// The scene graph's resource kinds ("spriteanimationlist", "spritetype", "scenelayout",
// "randomrange") and its node kinds by element name; start-up runs it after the widgets' registrar,
// and the game's registrar adds its layer nodes after it.
void RegisterSceneResourceFactories(Kestrin::ResourceManager& manager);

// Registers the node kinds built so far, in their fixed order; a kind that has a factory already
// keeps it.
void RegisterSceneNodeFactories();

// Every node element name of the scene graph in registration order, the built and the not yet
// built ones alike.
std::vector<std::wstring> GetSceneNodeKindOrder();
