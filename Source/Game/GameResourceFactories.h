#pragma once

namespace Kestrin
{
class ResourceManager;
}

// Gameplay's resource kinds ("randomrange"); start-up runs it after the scene graph's.
void RegisterGameResourceFactories(Kestrin::ResourceManager& manager);
