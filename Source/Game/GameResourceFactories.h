#pragma once

namespace Kestrin
{
class ResourceManager;
}

// Gameplay's own resource and node kinds; start-up runs it after the scene graph's.
void RegisterGameResourceFactories(Kestrin::ResourceManager& manager);
