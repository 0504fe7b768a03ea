#pragma once
#include "Platform/GraphicsPlatform.h"

namespace Kestrin
{

// The display walk's factory over the display and the two real graphics platforms:
// kind 2 the Direct3D 7 platform, kind 1 the DirectDraw 7 software platform.
IGraphicsPlatformFactory& GetDisplayGraphicsFactory();

} // namespace Kestrin
