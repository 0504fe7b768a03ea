#pragma once

namespace Kestrin
{

class ResourceManager;

// Every resource factory of the program, in a fixed order: the value kinds, the image kinds, the
// sound kinds, then the registrars the program added (AddResourceFactoryRegistrar) in their order.
// Start-up runs it once; a factory registered again replaces the earlier one.
void RegisterResourceFactories(ResourceManager& manager);

} // namespace Kestrin
