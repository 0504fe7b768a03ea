#include "Platform/Win32/GraphicsPlatforms.h"

#include "Platform/Shim/DirectDraw/DirectDraw.h"
#include "Platform/Win32/CDisplay.h"
#include "Platform/Win32/D3D7GraphicsPlatform.h"
#include "Platform/Win32/DDraw7GraphicsPlatform.h"

namespace Kestrin
{

namespace
{

class DisplayGraphicsFactory : public IGraphicsPlatformFactory
{
public:
    bool CreateDisplay() override
    {
        // Log lines and exceptions name the display's result codes from here on.
        Shim::DirectDraw::InstallErrorNames();
        return CDisplay::Instance() != nullptr;
    }

    IGraphicsPlatform* CreateGraphicsPlatform(int kind) override
    {
        if (kind & 2)
            return new D3D7GraphicsPlatform();
        if (kind & 1)
            return new DDraw7GraphicsPlatform();
        return nullptr;
    }
};

} // namespace

IGraphicsPlatformFactory& GetDisplayGraphicsFactory()
{
    static DisplayGraphicsFactory factory;
    return factory;
}

} // namespace Kestrin
