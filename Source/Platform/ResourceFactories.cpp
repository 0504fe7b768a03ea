#include "Platform/ResourceFactories.h"

#include "Framework/ResourceManager.h"
#include "Framework/ValueResources.h"
#include "Graphics/GraphicsFactories.h"
#include "Platform/SoundResources.h"

namespace Kestrin
{

void RegisterResourceFactories(ResourceManager& manager)
{
    RegisterValueResourceFactories(manager);
    RegisterGraphicsResourceFactories(manager);
    RegisterSoundResourceFactories(manager);
    // A copy, so a registrar that adds another cannot disturb the walk.
    const std::vector<ResourceFactoryRegistrar> added = GetResourceFactoryRegistrars();
    for (ResourceFactoryRegistrar registrar : added)
        registrar(manager);
}

} // namespace Kestrin
