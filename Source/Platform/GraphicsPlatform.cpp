#include "Platform/GraphicsPlatform.h"

#include "Base/Exceptions.h"
#include "Framework/Singletons.h"
#include "Graphics/Canvas.h"

namespace Kestrin
{

namespace
{
IGraphicsPlatform* g_graphicsPlatform = nullptr;
IGraphicsPlatformFactory* g_factory = nullptr;
// Deletes the platform at teardown and clears the global pointer.
using GraphicsPlatformSingletonDestructor =
    Internal::PointerSingletonDestructor<IGraphicsPlatform, SingletonOrder::GraphicsPlatform>;
GraphicsPlatformSingletonDestructor g_guard(g_graphicsPlatform);

Graphics::ICanvas* ScreenCanvas()
{
    return g_graphicsPlatform ? g_graphicsPlatform->GetCanvas() : nullptr;
}
} // namespace

IGraphicsPlatform::~IGraphicsPlatform()
{
    if (g_graphicsPlatform == this)
        g_graphicsPlatform = nullptr;
}

IGraphicsPlatform* GetGraphicsPlatform()
{
    return g_graphicsPlatform;
}

void SetGraphicsPlatform(IGraphicsPlatform* platform)
{
    g_graphicsPlatform = platform;
    Graphics::SetScreenCanvasSource(&ScreenCanvas);
}

void SetGraphicsPlatformFactory(IGraphicsPlatformFactory* factory)
{
    g_factory = factory;
}

IGraphicsPlatformFactory* GetGraphicsPlatformFactory()
{
    return g_factory;
}

IGraphicsPlatform* CreateGraphicsPlatform(int kind)
{
    if (!g_factory || !g_factory->CreateDisplay())
        throw engine_error(KESTRIN_HERE, "Could not create display");
    int chosen = (kind & GraphicsCaps_Hardware3D) ? GraphicsCaps_Hardware3D
                 : (kind & GraphicsCaps_Software) ? GraphicsCaps_Software
                                                  : 0;
    if (!chosen)
        return nullptr;
    IGraphicsPlatform* platform = g_factory->CreateGraphicsPlatform(chosen);
    if (platform)
        SetGraphicsPlatform(platform);
    return platform;
}

} // namespace Kestrin
