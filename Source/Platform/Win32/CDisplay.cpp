#include "Platform/Win32/CDisplay.h"

#include "Base/Log.h"
#include "Framework/Singletons.h"

#include <algorithm>
#include <bit>
#include <cctype>
#include <cstdint>

namespace Kestrin
{

namespace
{

CDisplay* g_display = nullptr;

// The device table is filled by the first set-up and lives until the singleton goes.
std::vector<DisplayDeviceRecord> g_devices;
int g_devicesSeen = 0;
int g_devicesAccepted = 0;

std::set<DisplayResource*>& Resources()
{
    static std::set<DisplayResource*> resources;
    return resources;
}

// Calls f on every resource in order. Steps by value, so a resource may leave the set meanwhile.
template <typename F> void ForEachResource(F f)
{
    std::set<DisplayResource*>& set = Resources();
    for (auto it = set.begin(); it != set.end();)
    {
        DisplayResource* resource = *it;
        f(resource);
        it = set.upper_bound(resource);
    }
}

std::string First39(const std::string& text)
{
    return text.substr(0, 39);
}

uint32_t RenderDepthFor(int bits)
{
    switch (bits)
    {
    case 32:
        return DD::DDBD_32;
    case 24:
        return DD::DDBD_24;
    case 16:
        return DD::DDBD_16;
    case 8:
        return DD::DDBD_8;
    default:
        return 0;
    }
}

bool IsBrokenHardware(const DD::DeviceIdentifier& id)
{
    return id.vendor == 0x1002 && id.device == 0x4C57 && id.subSys == 0x01491028 && id.revision == 0 &&
           id.description.find("MOBILITY RADEON 7500C") != std::string::npos;
}

const DD::DriverInfo* DriverArgument(const DD::DriverInfo& driver)
{
    // The primary display driver is created without a GUID.
    return driver.primary ? nullptr : &driver;
}

std::string FlagList(uint32_t flags)
{
    struct Named
    {
        uint32_t bit;
        const char* name;
    };
    static constexpr Named kFlags[] = {
        {DD::DDPF_ALPHAPIXELS, "DDPF_ALPHAPIXELS, "},
        {DD::DDPF_ALPHA, "DDPF_ALPHA, "},
        {DD::DDPF_FOURCC, "DDPF_FOURCC, "},
        {DD::DDPF_PALETTEINDEXED4, "DDPF_PALETTEINDEXED4, "},
        {DD::DDPF_PALETTEINDEXEDTO8, "DDPF_PALETTEINDEXEDTO8, "},
        {DD::DDPF_PALETTEINDEXED8, "DDPF_PALETTEINDEXED8, "},
        {DD::DDPF_RGB, "DDPF_RGB, "},
        {DD::DDPF_COMPRESSED, "DDPF_COMPRESSED, "},
        {DD::DDPF_RGBTOYUV, "DDPF_RGBTOYUV, "},
        {DD::DDPF_YUV, "DDPF_YUV, "},
        {DD::DDPF_ZBUFFER, "DDPF_ZBUFFER, "},
        {DD::DDPF_PALETTEINDEXED1, "DDPF_PALETTEINDEXED1, "},
        {DD::DDPF_PALETTEINDEXED2, "DDPF_PALETTEINDEXED2, "},
        {DD::DDPF_ZPIXELS, "DDPF_ZPIXELS, "},
        {DD::DDPF_STENCILBUFFER, "DDPF_STENCILBUFFER, "},
        {DD::DDPF_ALPHAPREMULT, "DDPF_ALPHAPREMULT, "},
        {DD::DDPF_LUMINANCE, "DDPF_LUMINANCE, "},
        {DD::DDPF_BUMPLUMINANCE, "DDPF_BUMPLUMINANCE, "},
        {DD::DDPF_BUMPDUDV, "DDPF_BUMPDUDV, "},
    };
    std::string list;
    for (const Named& flag : kFlags)
        if (flags & flag.bit)
            list += flag.name;
    return list;
}

// The set bits of each non-empty mask, alpha first: X8R8G8B8 gives "888".
std::string MaskBits(const DD::PixelFormat& format)
{
    std::string text;
    for (uint32_t mask : {format.aMask, format.rMask, format.gMask, format.bMask})
        if (mask)
            text += std::to_string(std::popcount(mask));
    return text;
}

std::string FourCCText(uint32_t fourCC)
{
    std::string text;
    for (int i = 0; i < 4; ++i)
    {
        const unsigned char c = static_cast<unsigned char>(fourCC >> (8 * i));
        // A code from a driver is not trusted to be printable.
        text += std::isprint(c) ? static_cast<char>(c) : '?';
    }
    return text;
}

} // namespace

CDisplaySingletonDestructor::CDisplaySingletonDestructor() : SingletonDestructor(SingletonOrder::Display) {}

void CDisplaySingletonDestructor::DestroySingleton()
{
    CDisplay* display = g_display;
    if (!display)
        return;
    display->Shutdown();
    g_display = nullptr;
    delete display;
    CDisplay::ClearDeviceTable();
}

namespace
{
CDisplaySingletonDestructor g_guard;
}

// ---- display resources ----

DisplayResource::DisplayResource()
{
    Resources().insert(this);
}

DisplayResource::~DisplayResource()
{
    Resources().erase(this);
}

// ---- the singleton ----

CDisplay* CDisplay::Instance()
{
    if (!g_display)
        g_display = new CDisplay;
    return g_display;
}

CDisplay* CDisplay::Get()
{
    return g_display;
}

CDisplay::CDisplay()
{
    DD::InstallErrorNames();
}

CDisplay::~CDisplay()
{
    Shutdown();
    if (g_display == this)
    {
        g_display = nullptr;
        ClearDeviceTable();
    }
}

// ---- the device table ----

const std::vector<DisplayDeviceRecord>& CDisplay::Devices()
{
    return g_devices;
}

int CDisplay::DevicesSeen()
{
    return g_devicesSeen;
}

int CDisplay::DevicesAccepted()
{
    return g_devicesAccepted;
}

void CDisplay::ClearDeviceTable()
{
    g_devices.clear();
    g_devicesSeen = 0;
    g_devicesAccepted = 0;
}

void CDisplay::EnumerateDevices()
{
    DD::Backend& backend = DD::GetBackend();
    g_devices.clear();
    g_devicesSeen = 0;
    g_devicesAccepted = 0;

    for (const DD::DriverInfo& info : backend.EnumerateDrivers())
    {
        DD::DriverPtr driver;
        if (DD::Failed(backend.CreateDriver(DriverArgument(info), driver)) || !driver)
            continue;
        if (DD::Failed(driver->QueryDirect3D()))
            continue;

        DisplayDeviceRecord base;
        base.description = First39(info.description);
        base.driver = info;
        driver->GetCaps(base.caps);
        driver->GetDeviceIdentifier(base.identifier);
        base.desktopCompatible = base.caps.canRenderWindowed && info.primary;

        std::vector<DD::ModeDesc> modes;
        driver->EnumDisplayModes(modes);
        std::stable_sort(modes.begin(), modes.end(),
                         [](const DD::ModeDesc& a, const DD::ModeDesc& b)
                         {
                             if (a.width != b.width)
                                 return a.width < b.width;
                             if (a.height != b.height)
                                 return a.height < b.height;
                             return a.bits < b.bits;
                         });

        std::vector<DD::DeviceDesc> devices;
        driver->EnumDevices(devices);
        for (const DD::DeviceDesc& device : devices)
        {
            ++g_devicesSeen;
            DisplayDeviceRecord record = base;
            record.hardware = device.hwRasterization;
            record.desc = device;
            record.device = device.kind;
            if (!info.primary)
            {
                if (!record.hardware)
                    continue;
            }
            else
            {
                record.description = First39(device.name);
            }

            for (const DD::ModeDesc& mode : modes)
            {
                if (mode.bits != 32 && mode.bits != 24 && mode.bits != 16)
                    continue;
                if (!(device.renderDepths & RenderDepthFor(mode.bits)))
                    continue;
                if (mode.stereo)
                    record.stereo = true;
                record.modes.push_back(mode);
            }
            if (record.modes.empty())
                continue;
            for (size_t i = 0; i < record.modes.size(); ++i)
                if (record.modes[i].width == 640 && record.modes[i].height == 480 &&
                    record.modes[i].bits == 32)
                {
                    record.defaultMode = record.modes[i];
                    record.defaultModeIndex = static_cast<int>(i);
                    break;
                }
            record.windowed = record.desktopCompatible;

            // The table holds kMaxDevices records; the 21st accepted device and later are ignored.
            if (static_cast<int>(g_devices.size()) >= kMaxDevices)
                continue;
            g_devices.push_back(std::move(record));
            ++g_devicesAccepted;
        }
    }

    if (g_devicesSeen == 0)
        throw com_error(KESTRIN_HERE, DD::KESTRIN_E_NODEVICESEEN, "Direct3D device enumeration failed.");
    if (g_devicesAccepted == 0)
        throw com_error(KESTRIN_HERE, DD::KESTRIN_E_NODEVICEACCEPTED, "Direct3D device enumeration failed.");
}

DisplayDeviceRecord& CDisplay::SelectDevice()
{
    if (g_devices.empty())
        EnumerateDevices();

    DisplayDeviceRecord* tnl = nullptr;
    DisplayDeviceRecord* hal = nullptr;
    DisplayDeviceRecord* ref = nullptr;
    DisplayDeviceRecord* software = nullptr;
    for (DisplayDeviceRecord& record : g_devices)
    {
        if (!record.desktopCompatible)
            continue;
        if (record.hardware)
        {
            if (IsBrokenHardware(record.identifier))
            {
                LogPrintf(
                    "Broken 3D Hardware: ATI Mobility Radeon 7500C fails to manage texture memory correctly "
                    "causing display corruption.\n");
                continue;
            }
            (record.device == DD::DeviceKind::TnLHal ? tnl : hal) = &record;
        }
        else
        {
            (record.device == DD::DeviceKind::Ref ? ref : software) = &record;
        }
    }
    DisplayDeviceRecord* chosen = tnl ? tnl : hal ? hal : software ? software : ref;
    if (!chosen)
        throw com_error(KESTRIN_HERE, DD::KESTRIN_E_NODEVICEFOUND, "Direct3D device could not be found.");
    chosen->windowed = true;
    return *chosen;
}

// ---- set-up ----

void CDisplay::SetupFullscreen(DD::WindowHandle window, int width, int height, int bits)
{
    Shutdown();
    const DisplayDeviceRecord& record = SelectDevice();

    const uint32_t depth = RenderDepthFor(bits);
    if (!(record.desc.renderDepths & depth))
        throw engine_error(KESTRIN_HERE, "Unexpected bit depth in full screen.");

    const DD::ModeDesc* chosen = nullptr;
    for (const DD::ModeDesc& mode : record.modes)
    {
        LogPrintf("Exploring mode %dx%dx%d\n", mode.width, mode.height, mode.bits);
        if (mode.width >= width && mode.height >= height && mode.bits == bits)
        {
            chosen = &mode;
            break;
        }
    }
    if (!chosen)
        throw engine_error(KESTRIN_HERE, "Could not find a compatible full screen display mode.");
    LogPrintf("Accepting mode %dx%dx%d\n", chosen->width, chosen->height, chosen->bits);

    const DD::ModeDesc mode = *chosen;
    Initialize(&mode, window, record.driver, record.device, Init_Fullscreen);
    SetupDeviceState();
}

void CDisplay::SetupWindowed(DD::WindowHandle window, int /*width*/, int /*height*/)
{
    Shutdown();
    const DisplayDeviceRecord& record = SelectDevice();
    Initialize(nullptr, window, record.driver, record.device, 0);
    SetupDeviceState();
}

void CDisplay::Initialize(const DD::ModeDesc* mode, DD::WindowHandle window, const DD::DriverInfo& driver,
                          DD::DeviceKind device, uint32_t flags)
{
    const bool fullscreen = (flags & Init_Fullscreen) != 0;
    if (!window || (fullscreen && !mode))
        throw engine_error(KESTRIN_HERE, "Invalid arguments passed to CDisplay::Initialize");
    m_window = window;
    m_fullscreen = fullscreen ? 1 : 0;
    // A new device has neither filter nor clip planes set, so both are applied again on first use.
    m_currentFilter = -1;
    m_currentClip = {0, 0, 0, 0};

    try
    {
        DD::Backend& backend = DD::GetBackend();
        m_deviceKind = device;
        m_offscreenPlacement = DD::DDSCAPS_SYSTEMMEMORY;
        if (m_useD3D)
        {
            if (device == DD::DeviceKind::Hal || device == DD::DeviceKind::TnLHal)
                m_offscreenPlacement = DD::DDSCAPS_VIDEOMEMORY;
            else
                m_useD3D = false;
        }

        DD::HRESULT hr = backend.CreateDriver(DriverArgument(driver), m_directDraw);
        if (DD::Failed(hr) || !m_directDraw)
        {
            m_directDraw.reset();
            throw com_error(KESTRIN_HERE, DD::Failed(hr) ? hr : DD::DDERR_GENERIC,
                            "Could not create DirectDraw");
        }
        const uint32_t level = fullscreen ? DD::DDSCL_FULLSCREEN | DD::DDSCL_ALLOWREBOOT | DD::DDSCL_EXCLUSIVE
                                          : DD::DDSCL_NORMAL;
        hr = m_directDraw->SetCooperativeLevel(window, level | DD::DDSCL_FPUSETUP);
        if (DD::Failed(hr))
            throw com_error(KESTRIN_HERE, hr, "Could not set cooperative level");
        int desktopBits = 0;
        hr = m_directDraw->GetDisplayModeBits(desktopBits);
        // No text is laid down for this failure; ours names the call, like its neighbours.
        if (DD::Failed(hr))
            throw com_error(KESTRIN_HERE, hr, "Could not get display mode");
        if (desktopBits <= 8)
            throw com_error(KESTRIN_HERE, DD::KESTRIN_E_256COLORS, "Screen is in 256 color or less mode.");

        if (fullscreen)
        {
            m_width = mode->width;
            m_height = mode->height;
            hr = m_directDraw->SetDisplayMode(m_width, m_height, mode->bits);
            if (DD::Failed(hr))
                throw com_error(KESTRIN_HERE, hr, "Could not set display mode.");
            hr = m_directDraw->CreatePrimary(true, m_primary);
            if (hr == DD::DDERR_OUTOFVIDEOMEMORY)
                throw com_error(KESTRIN_HERE, hr, "Out of video memory creating primary fullscreen surface");
            if (DD::Failed(hr) || !m_primary)
                throw com_error(KESTRIN_HERE, DD::Failed(hr) ? hr : DD::DDERR_GENERIC,
                                "Could not create primary fullscreen surface");
            hr = m_primary->GetAttachedBackBuffer(m_backBuffer);
            if (DD::Failed(hr) || !m_backBuffer)
                throw com_error(KESTRIN_HERE, DD::Failed(hr) ? hr : DD::DDERR_GENERIC,
                                "Could not get the fullscreen backbuffer");
        }
        else
        {
            backend.GetClientSize(window, m_width, m_height);
            hr = m_directDraw->CreatePrimary(false, m_primary);
            if (hr == DD::DDERR_OUTOFVIDEOMEMORY)
                throw com_error(KESTRIN_HERE, hr, "Out of video memory creating primary windowed surface");
            if (DD::Failed(hr) || !m_primary)
                throw com_error(KESTRIN_HERE, DD::Failed(hr) ? hr : DD::DDERR_GENERIC,
                                "Could not create primary windowed surface");
            hr = m_directDraw->ClipPrimaryToWindow(m_primary.get(), window);
            if (DD::Failed(hr))
                throw com_error(KESTRIN_HERE, hr, "Could not create clipper");
            hr = m_directDraw->CreateOffscreen(
                m_width, m_height, DD::DDSCAPS_OFFSCREENPLAIN | DD::DDSCAPS_3DDEVICE, m_backBuffer);
            if (hr == DD::DDERR_OUTOFVIDEOMEMORY)
                throw com_error(KESTRIN_HERE, hr, "Out of video memory creating windowed backbuffer surface");
            if (DD::Failed(hr) || !m_backBuffer)
                throw com_error(KESTRIN_HERE, DD::Failed(hr) ? hr : DD::DDERR_GENERIC,
                                "Could not create windowed backbuffer surface");
        }

        if (m_useD3D)
        {
            hr = m_directDraw->QueryDirect3D();
            if (DD::Failed(hr))
                throw com_error(KESTRIN_HERE, hr, "Could not get the Direct3D interface");
            m_hasDirect3D = true;
            hr = m_directDraw->CreateDevice(device, m_backBuffer, m_device);
            if (DD::Failed(hr) || !m_device)
            {
                m_device.reset();
                throw com_error(KESTRIN_HERE, DD::Failed(hr) ? hr : DD::DDERR_GENERIC,
                                "Could not create the Direct3D device");
            }
            hr = m_device->SetViewport(0, 0, m_width, m_height, 0.0f, 1.0f);
            if (DD::Failed(hr))
                throw com_error(KESTRIN_HERE, hr, "Could not set current viewport to the device");

            DD::DriverCaps caps;
            hr = m_directDraw->GetCaps(caps);
            if (DD::Failed(hr))
                throw com_error(KESTRIN_HERE, hr,
                                "Unable to determine amount of video memory available for textures.");
            // Unsigned: a driver with 2 GiB or more would otherwise log a negative amount.
            LogPrintf("Driver Video Memory: %u Total, %u Free\n", caps.vidMemTotal, caps.vidMemFree);
            // The check reads the total although the message speaks of free memory.
            if (caps.vidMemTotal <= 8388608u)
                throw engine_error(KESTRIN_HERE, "Not enough free texture memory to run in 3D.");

            LogPrintf("Texture Formats:\n");
            EnumerateTextureFormats();
            if (!m_hasAlphaFormat)
                throw engine_error(KESTRIN_HERE, "Could not find acceptable texture format.");

            int textureWidth = 0;
            int textureHeight = 0;
            GetTextureSize(1024, 1024, textureWidth, textureHeight);
            if (textureWidth < 1024 || textureHeight < 1024)
                throw engine_error(KESTRIN_HERE, "3D Mode requires a minimum texture size of 1024x1024");
        }
    }
    catch (...)
    {
        Shutdown();
        throw;
    }
}

void CDisplay::EnumerateTextureFormats()
{
    m_opaqueFormat = {};
    m_alphaFormat = {};
    m_hasOpaqueFormat = false;
    m_hasAlphaFormat = false;
    std::vector<DD::PixelFormat> formats;
    if (!m_device || DD::Failed(m_device->EnumTextureFormats(formats)))
        return;

    for (const DD::PixelFormat& format : formats)
    {
        const std::string flags = FlagList(format.flags);
        const bool rgb = (format.flags & DD::DDPF_RGB) != 0;
        if (format.flags & DD::DDPF_FOURCC)
            LogPrintf("\t%s - %s- ", FourCCText(format.fourCC).c_str(), flags.c_str());
        else if (rgb && format.bits > 8)
            LogPrintf("\t%u bit %s - %s- ", format.bits, MaskBits(format).c_str(), flags.c_str());
        else
            LogPrintf("\t%u bit - %s- ", format.bits, flags.c_str());

        if (rgb && format.bits == 32)
        {
            LogPrintf("Good Format\n");
            if (format.flags & DD::DDPF_ALPHAPIXELS)
            {
                m_alphaFormat = format;
                m_hasAlphaFormat = true;
            }
            else
            {
                m_opaqueFormat = format;
                m_hasOpaqueFormat = true;
            }
        }
        else if (format.flags & DD::DDPF_PALETTEINDEXED8)
            LogPrintf("indexed 8");
        else if (format.flags & DD::DDPF_PALETTEINDEXED2)
            LogPrintf("indexed 2");
        else
            LogPrintf("Skipped\n");
    }
}

void CDisplay::SetupDeviceState()
{
    if (!m_useD3D || !m_device)
        return;
    DD::Material material{};
    for (int i = 0; i < 4; ++i)
    {
        material.diffuse[i] = 1.0f;
        material.ambient[i] = 1.0f;
        material.specular[i] = 1.0f;
        material.emissive[i] = 0.0f;
    }
    material.power = 50.0f;
    m_device->SetMaterial(material);
    m_device->SetTextureStageState(0, DD::TextureStageState::ColorArg1, DD::D3DTA_TEXTURE);
    m_device->SetTextureStageState(0, DD::TextureStageState::ColorArg2, DD::D3DTA_DIFFUSE);
    m_device->SetTextureStageState(0, DD::TextureStageState::ColorOp, DD::D3DTOP_MODULATE);
    ApplyPendingState();
    m_device->SetRenderState(DD::RenderState::AlphaBlendEnable, 1);
    m_device->SetRenderState(DD::RenderState::SrcBlend, DD::D3DBLEND_SRCALPHA);
    m_device->SetRenderState(DD::RenderState::DestBlend, DD::D3DBLEND_INVSRCALPHA);
    m_device->SetRenderState(DD::RenderState::DitherEnable, 1);
    m_device->SetRenderState(DD::RenderState::SpecularEnable, 0);
    m_device->SetRenderState(DD::RenderState::NormalizeNormals, 1);
    // Vertex x and y are back-buffer pixels, y downwards.
    float projection[16];
    DD::OrthoOffCenter(projection, 0.0f, static_cast<float>(m_width), static_cast<float>(m_height), 0.0f,
                       0.0f, 1.0f);
    m_device->SetProjection(projection);
    m_device->SetRenderState(DD::RenderState::Ambient, 0xFFFFFFFF);
}

// ---- per frame ----

void CDisplay::ApplyPendingState()
{
    if (!m_device)
        return;
    if (m_wantedFilter != m_currentFilter)
    {
        const bool linear = m_wantedFilter == 0;
        m_device->SetTextureStageState(0, DD::TextureStageState::MinFilter,
                                       linear ? DD::D3DTFN_LINEAR : DD::D3DTFN_POINT);
        m_device->SetTextureStageState(0, DD::TextureStageState::MagFilter,
                                       linear ? DD::D3DTFG_LINEAR : DD::D3DTFG_POINT);
        m_currentFilter = m_wantedFilter;
    }
    if (m_wantedClip != m_currentClip)
    {
        int right = 0;
        int bottom = 0;
        // A full-screen client area is the display mode. Our full-screen window is desktop-sized
        // with the frame scaled into it, so its size is not the area the planes are measured in.
        if (m_fullscreen)
        {
            right = m_width;
            bottom = m_height;
        }
        else
            DD::GetBackend().GetClientSize(m_window, right, bottom);
        // 64-bit edges: an unbounded width added to a positive x would overflow an int.
        const int64_t left = m_wantedClip.x;
        const int64_t top = m_wantedClip.y;
        const int64_t rightEdge = int64_t(m_wantedClip.x) + m_wantedClip.w;
        const int64_t bottomEdge = int64_t(m_wantedClip.y) + m_wantedClip.h;
        const int64_t oldRightEdge = int64_t(m_currentClip.x) + m_currentClip.w;
        const int64_t oldBottomEdge = int64_t(m_currentClip.y) + m_currentClip.h;

        uint32_t mask = 0;
        if (0 < left && left < right)
            mask |= 1;
        if (0 < top && top < bottom)
            mask |= 2;
        if (0 < rightEdge && rightEdge < right)
            mask |= 4;
        if (0 < bottomEdge && bottomEdge < bottom)
            mask |= 8;
        m_device->SetRenderState(DD::RenderState::ClipPlaneEnable, mask);

        // With pixel centres at whole coordinates these planes leave out column x and row y; the
        // shim rebuilds the rectangle {x, y, w, h} from them, as the software path clips.
        if ((mask & 1) && left != m_currentClip.x)
        {
            const float plane[4] = {1.0f, 0.0f, 0.0f, static_cast<float>(-double(left) - 0.5)};
            m_device->SetClipPlane(0, plane);
        }
        if ((mask & 2) && top != m_currentClip.y)
        {
            const float plane[4] = {0.0f, 1.0f, 0.0f, static_cast<float>(-double(top) - 0.5)};
            m_device->SetClipPlane(1, plane);
        }
        if ((mask & 4) && rightEdge != oldRightEdge)
        {
            const float plane[4] = {-1.0f, 0.0f, 0.0f, static_cast<float>(double(rightEdge) - 0.5)};
            m_device->SetClipPlane(2, plane);
        }
        if ((mask & 8) && bottomEdge != oldBottomEdge)
        {
            const float plane[4] = {0.0f, -1.0f, 0.0f, static_cast<float>(double(bottomEdge) - 0.5)};
            m_device->SetClipPlane(3, plane);
        }
        m_currentClip = m_wantedClip;
    }
}

void CDisplay::GetTextureSize(int width, int height, int& textureWidth, int& textureHeight)
{
    DD::DeviceDesc caps;
    const DD::HRESULT hr = m_device ? m_device->GetCaps(caps) : DD::DDERR_GENERIC;
    if (DD::Failed(hr))
        throw com_error(KESTRIN_HERE, hr, "Unable to determine required texture size for an image.");

    int64_t w = width;
    int64_t h = height;
    if (caps.textureCaps & DD::D3DPTEXTURECAPS_POW2)
    {
        int64_t p = 1;
        while (p < w)
            p *= 2;
        w = p;
        p = 1;
        while (p < h)
            p *= 2;
        h = p;
    }
    const int maxWidth = caps.maxTextureWidth == 0 ? 256 : caps.maxTextureWidth;
    const int maxHeight = caps.maxTextureHeight == 0 ? 256 : caps.maxTextureHeight;
    w = std::min<int64_t>(w, maxWidth);
    h = std::min<int64_t>(h, maxHeight);
    if (caps.textureCaps & DD::D3DPTEXTURECAPS_SQUAREONLY)
        w = h = std::max(w, h);
    textureWidth = static_cast<int>(w);
    textureHeight = static_cast<int>(h);
}

DD::HRESULT CDisplay::Present()
{
    if (m_useD3D && m_device)
    {
        const DD::HRESULT hr = m_device->EndScene();
        if (DD::Failed(hr))
            return hr;
    }
    if (!m_primary || !m_backBuffer)
        return DD::DDERR_GENERIC;
    for (;;)
    {
        const DD::HRESULT hr = m_fullscreen ? m_primary->Flip() : m_primary->BltToWindow(m_backBuffer.get());
        if (hr == DD::DDERR_WASSTILLDRAWING)
            continue;
        if (hr == DD::DDERR_SURFACELOST)
        {
            m_primary->Restore();
            m_backBuffer->Restore();
        }
        return hr;
    }
}

void CDisplay::ClearBackBuffer()
{
    if (m_useD3D && m_device)
        m_device->Clear(0xFF0000FF);
}

void CDisplay::RestoreLostSurfaces()
{
    const bool lost = (m_primary && m_primary->IsLost()) || (m_backBuffer && m_backBuffer->IsLost());
    if (!lost)
        return;
    if (m_primary)
        m_primary->Restore();
    if (m_backBuffer)
        m_backBuffer->Restore();
}

void CDisplay::Shutdown()
{
    ReleaseAllResources();
    if (m_directDraw)
        m_directDraw->SetCooperativeLevel(m_window, DD::DDSCL_NORMAL);
    m_device.reset();
    m_backBuffer.reset();
    m_zBuffer.reset();
    m_primary.reset();
    m_hasDirect3D = false;
    m_directDraw.reset();
}

void CDisplay::ReleaseAllResources()
{
    ForEachResource([](DisplayResource* resource) { resource->ReleaseDeviceSurface(); });
}

void CDisplay::RestoreAllResources()
{
    ForEachResource([](DisplayResource* resource) { resource->RestoreDeviceSurface(); });
}

} // namespace Kestrin
