#pragma once

namespace Kestrin
{

class ResourceManager;

// The widget area's resource kinds; start-up runs it after the engine's own.
void RegisterUIResourceFactories(ResourceManager& manager);

} // namespace Kestrin
