#include "UI/UIResourceFactories.h"

#include "Framework/ResourceManager.h"

namespace Kestrin
{

void RegisterUIResourceFactories(ResourceManager&)
{
    // None yet: the widget "layout" kind registers here once the widgets exist.
}

} // namespace Kestrin
