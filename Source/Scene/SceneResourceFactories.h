#pragma once

namespace Kestrin
{
class ResourceManager;
}

// The scene graph's resource kinds; start-up runs it after the widgets'.
void RegisterSceneResourceFactories(Kestrin::ResourceManager& manager);
