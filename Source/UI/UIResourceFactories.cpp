#include "UI/UIResourceFactories.h"

#include "Framework/ResourceManager.h"
#include "UI/Layout.h"

namespace Kestrin
{

void RegisterUIResourceFactories(ResourceManager& manager)
{
    manager.RegisterFactory(L"layout", new LayoutResourceFactory);
}

} // namespace Kestrin
