// Placeholder until the SDL back end lands: reports no driver, so every display set-up fails cleanly.
#include "Platform/Shim/DirectDraw/SdlBackend.h"

namespace Kestrin::Shim::DirectDraw
{

namespace
{

class NoDriverBackend : public Backend
{
public:
    std::vector<DriverInfo> EnumerateDrivers() override { return {}; }
    HRESULT CreateDriver(const DriverInfo*, DriverPtr& driver) override
    {
        driver.reset();
        return DDERR_GENERIC;
    }
    void GetClientSize(WindowHandle, int& width, int& height) override { width = height = 0; }
    bool IsIconic(WindowHandle) override { return false; }
};

} // namespace

SdlConfig& GetSdlConfig()
{
    static SdlConfig config;
    return config;
}

Backend& GetSdlBackend()
{
    static NoDriverBackend backend;
    return backend;
}

} // namespace Kestrin::Shim::DirectDraw
