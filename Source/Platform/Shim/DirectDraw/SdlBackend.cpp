// The SDL back end: the configuration, enumeration of the one driver and its devices and modes, and
// the driver object that makes surfaces and devices.
#include "Platform/Shim/DirectDraw/SdlBackend.h"

#include "Platform/Shim/DirectDraw/SdlInternal.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace Kestrin::Shim::DirectDraw
{

namespace
{

// A decimal number from the environment; false when unset or not wholly a number in [low, high].
bool ReadNumber(const char* name, long low, long high, long& value)
{
    const char* text = std::getenv(name);
    if (!text || !*text)
        return false;
    long v = 0;
    for (const char* p = text; *p; ++p)
    {
        if (*p < '0' || *p > '9')
            return false;
        v = v * 10 + (*p - '0');
        if (v > high)
            return false;
    }
    if (v < low)
        return false;
    value = v;
    return true;
}

SdlConfig ConfigFromEnvironment()
{
    SdlConfig config;
    long v = 0;
    if (ReadNumber("KESTRIN_SOFTWARE_AS_HAL", 0, 1, v))
        config.softwareAsHal = v == 1;
    if (ReadNumber("KESTRIN_DESKTOP_BITS", 1, 32, v))
        config.desktopBits = int(v);
    if (ReadNumber("KESTRIN_MAX_TEXTURE", 1, 65536, v))
        config.maxTextureSize = int(v);
    return config;
}

// A 4-byte format counts as 32 bits: SDL calls RGB888 24 bits per pixel.
int BitsOf(Uint32 format)
{
    return SDL_BYTESPERPIXEL(format) == 4 ? 32 : int(SDL_BITSPERPIXEL(format));
}

bool IsSoftware(const SDL_RendererInfo& info)
{
    return std::strcmp(info.name, "software") == 0;
}

std::vector<DeviceDesc> ListDevices(const SdlConfig& config)
{
    std::vector<DeviceDesc> devices;
    // Backwards: the set-up keeps the last device of a kind, which is then SDL's own first choice.
    for (int i = SDL_GetNumRenderDrivers() - 1; i >= 0; --i)
    {
        SDL_RendererInfo info;
        if (SDL_GetRenderDriverInfo(i, &info) != 0 || !(info.flags & SDL_RENDERER_TARGETTEXTURE))
            continue;
        DeviceDesc d;
        if (IsSoftware(info))
        {
            d.kind = config.softwareAsHal ? DeviceKind::Hal : DeviceKind::Software;
            d.hwRasterization = config.softwareAsHal;
        }
        else if (info.flags & SDL_RENDERER_ACCELERATED)
        {
            d.kind = DeviceKind::Hal;
            d.hwRasterization = true;
        }
        else
            continue;
        d.renderDepths = DDBD_16 | DDBD_24 | DDBD_32;
        d.textureCaps = config.textureCaps;
        // SDL's 0 means unlimited; a reported 0 would count as 256.
        d.maxTextureWidth = config.maxTextureSize > 0    ? config.maxTextureSize
                            : info.max_texture_width > 0 ? info.max_texture_width
                                                         : 16384;
        d.maxTextureHeight = config.maxTextureSize > 0     ? config.maxTextureSize
                             : info.max_texture_height > 0 ? info.max_texture_height
                                                           : 16384;
        d.name = info.name;
        d.description = std::string("SDL ") + info.name + " renderer";
        devices.push_back(d);
    }
    return devices;
}

std::string DriverDescription()
{
    const char* video = SDL_GetCurrentVideoDriver();
    std::string description = std::string("SDL ") + (video ? video : "video");
    if (description.size() > 39)
        description.resize(39);
    return description;
}

using Sdl::Context;
using Sdl::ContextPtr;

class SdlDriver final : public Driver
{
public:
    SdlDriver() : m_context(std::make_shared<Context>()), m_description(DriverDescription()) {}
    // Surfaces and devices still held elsewhere turn inert with the renderer.
    ~SdlDriver() override { m_context->Close(); }

    HRESULT GetCaps(DriverCaps& caps) override
    {
        const SdlConfig& config = GetSdlConfig();
        caps.canRenderWindowed = true;
        caps.vidMemTotal = config.vidMemTotal;
        caps.vidMemFree = config.vidMemFree;
        return DD_OK;
    }
    HRESULT GetDeviceIdentifier(DeviceIdentifier& id) override
    {
        id = DeviceIdentifier{};
        id.description = m_description;
        return DD_OK;
    }
    HRESULT EnumDisplayModes(std::vector<ModeDesc>& modes) override
    {
        modes.clear();
        auto add = [&modes](const ModeDesc& mode)
        {
            if (std::find(modes.begin(), modes.end(), mode) == modes.end())
                modes.push_back(mode);
        };
        for (int i = 0, n = SDL_GetNumDisplayModes(0); i < n; ++i)
        {
            SDL_DisplayMode mode;
            if (SDL_GetDisplayMode(0, i, &mode) == 0 && mode.w > 0 && mode.h > 0)
                add({mode.w, mode.h, BitsOf(mode.format), false});
        }
        // Full screen scales the frame into the desktop, so these are always on offer.
        add({640, 480, 32, false});
        add({800, 600, 32, false});
        return DD_OK;
    }
    HRESULT QueryDirect3D() override { return DD_OK; }
    HRESULT EnumDevices(std::vector<DeviceDesc>& devices) override
    {
        devices = ListDevices(GetSdlConfig());
        return DD_OK;
    }
    HRESULT SetCooperativeLevel(WindowHandle window, uint32_t flags) override
    {
        if (!window)
            return DDERR_INVALIDPARAMS;
        if (!m_context->Alive())
        {
            HRESULT hr = m_context->Attach(window, PreferAccelerated());
            if (Failed(hr))
                return hr;
        }
        else if (window != m_context->Window())
            return DDERR_GENERIC;
        m_context->exclusive = (flags & DDSCL_EXCLUSIVE) != 0;
        return DD_OK;
    }
    HRESULT GetDisplayModeBits(int& bits) override
    {
        const SdlConfig& config = GetSdlConfig();
        if (config.desktopBits > 0)
        {
            bits = config.desktopBits;
            return DD_OK;
        }
        SDL_DisplayMode mode;
        if (SDL_GetDesktopDisplayMode(0, &mode) != 0)
            return DDERR_GENERIC;
        bits = BitsOf(mode.format);
        return DD_OK;
    }
    HRESULT SetDisplayMode(int width, int height, int bits) override
    {
        if (width <= 0 || height <= 0 || (bits != 16 && bits != 24 && bits != 32))
            return DDERR_INVALIDPARAMS;
        // The window keeps the desktop's mode; the frame is scaled into it.
        m_modeW = width;
        m_modeH = height;
        return DD_OK;
    }
    HRESULT CreatePrimary(bool fullscreen, SurfacePtr& primary) override
    {
        int w = m_modeW, h = m_modeH;
        if (fullscreen && (w <= 0 || h <= 0) && m_context->Alive())
            SDL_GetRendererOutputSize(m_context->Renderer(), &w, &h);
        return Sdl::MakePrimary(m_context, fullscreen, w, h, primary);
    }
    HRESULT ClipPrimaryToWindow(Surface* primary, WindowHandle window) override
    {
        auto* surface = dynamic_cast<Sdl::SdlSurface*>(primary);
        if (!surface || surface->Kind() != Sdl::SurfaceKind::Primary || !window)
            return DDERR_INVALIDPARAMS;
        // Presentation only ever reaches the renderer's own window.
        return window == m_context->Window() ? DD_OK : DDERR_INVALIDPARAMS;
    }
    HRESULT CreateOffscreen(int width, int height, uint32_t caps, SurfacePtr& surface) override
    {
        if (caps & DDSCAPS_3DDEVICE)
        {
            Sdl::SdlSurfacePtr target;
            HRESULT hr = Sdl::MakeTarget(m_context, width, height, target);
            surface = target;
            return hr;
        }
        return Sdl::MakeMemory(m_context, width, height, GetSdlConfig(), surface);
    }
    HRESULT CreateTexture(int width, int height, const PixelFormat& format, bool,
                          SurfacePtr& texture) override
    {
        return Sdl::MakeTexture(m_context, width, height, format, texture);
    }
    HRESULT CreateDevice(DeviceKind kind, const SurfacePtr& target, DevicePtr& device) override
    {
        device.reset();
        auto surface = std::dynamic_pointer_cast<Sdl::SdlSurface>(target);
        if (!surface || surface->Kind() != Sdl::SurfaceKind::Target || surface->Owner() != m_context.get())
            return DDERR_INVALIDPARAMS;
        if (!m_context->Alive())
            return DDERR_GENERIC;
        // The record of the renderer in use when it has the kind, else the last of the kind, as the
        // set-up's selection takes it.
        const SdlConfig& config = GetSdlConfig();
        std::vector<DeviceDesc> devices = ListDevices(config);
        SDL_RendererInfo info{};
        SDL_GetRendererInfo(m_context->Renderer(), &info);
        const DeviceDesc* chosen = nullptr;
        for (const DeviceDesc& d : devices)
            if (d.kind == kind && (!chosen || chosen->name != (info.name ? info.name : "")))
                chosen = &d;
        if (!chosen)
            return DDERR_GENERIC;
        std::vector<PixelFormat> formats = config.textureFormats;
        if (formats.empty())
            formats = {ArgbFormat(), XrgbFormat()};
        device = Sdl::MakeDevice(m_context, std::move(surface), *chosen, std::move(formats));
        return DD_OK;
    }
    HRESULT TestCooperativeLevel() override
    {
        SDL_Window* window = m_context->Window();
        if (m_context->exclusive && window &&
            ((SDL_GetWindowFlags(window) & SDL_WINDOW_MINIMIZED) || m_context->FocusLost()))
            return DDERR_NOEXCLUSIVEMODE;
        return DD_OK;
    }
    HRESULT RestoreAllSurfaces() override { return m_context->RestoreAll(); }

private:
    // The set-up prefers a hardware device; an accelerated renderer serves it when SDL has one.
    static bool PreferAccelerated()
    {
        for (int i = 0, n = SDL_GetNumRenderDrivers(); i < n; ++i)
        {
            SDL_RendererInfo info;
            if (SDL_GetRenderDriverInfo(i, &info) == 0 && !IsSoftware(info) &&
                (info.flags & SDL_RENDERER_ACCELERATED))
                return true;
        }
        return false;
    }

    ContextPtr m_context;
    std::string m_description;
    int m_modeW = 0;
    int m_modeH = 0;
};

class SdlBackend final : public Backend
{
public:
    std::vector<DriverInfo> EnumerateDrivers() override
    {
        if (!SDL_WasInit(SDL_INIT_VIDEO))
            return {};
        return {DriverInfo{0, true, DriverDescription()}};
    }
    HRESULT CreateDriver(const DriverInfo* info, DriverPtr& driver) override
    {
        driver.reset();
        if ((info && (!info->primary || info->id != 0)) || !SDL_WasInit(SDL_INIT_VIDEO))
            return DDERR_GENERIC;
        driver = std::make_shared<SdlDriver>();
        return DD_OK;
    }
    void GetClientSize(WindowHandle window, int& width, int& height) override
    {
        width = height = 0;
        if (window)
            SDL_GetWindowSize(window, &width, &height);
    }
    bool IsIconic(WindowHandle window) override
    {
        return window && (SDL_GetWindowFlags(window) & SDL_WINDOW_MINIMIZED);
    }
};

} // namespace

SdlConfig& GetSdlConfig()
{
    static SdlConfig config = ConfigFromEnvironment();
    return config;
}

Backend& GetSdlBackend()
{
    static SdlBackend backend;
    return backend;
}

} // namespace Kestrin::Shim::DirectDraw
