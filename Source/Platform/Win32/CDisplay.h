#pragma once
// The one owner of the display objects of the process: the DirectDraw object, primary surface and
// back buffer, and with hardware rendering the Direct3D device. Both graphics platforms set the
// display up through it.
#include "Base/Geometry.h"
#include "Framework/Singletons.h"
#include "Platform/Shim/DirectDraw/DirectDraw.h"

#include <set>
#include <vector>

namespace Kestrin
{

namespace DD = Shim::DirectDraw;

// Anything that holds a device surface; the display drops and rebuilds them all together.
// Construction inserts it into an ordered process-wide set; destruction erases it.
class DisplayResource
{
public:
    DisplayResource();
    virtual ~DisplayResource();
    DisplayResource(const DisplayResource&) = delete;
    DisplayResource& operator=(const DisplayResource&) = delete;
    // Drops the device surface.
    virtual void ReleaseDeviceSurface() = 0;
    // After the device came back.
    virtual void RestoreDeviceSurface() = 0;
};

// One device the enumeration accepted.
struct DisplayDeviceRecord
{
    std::string description; // at most 39 characters
    DD::DriverInfo driver;   // driver.primary: no GUID
    DD::DeviceKind device = DD::DeviceKind::Software;
    bool hardware = false;
    bool desktopCompatible = false;
    bool windowed = false;
    bool stereo = false;
    DD::DriverCaps caps;
    DD::DeviceIdentifier identifier;
    DD::DeviceDesc desc;
    std::vector<DD::ModeDesc> modes; // sorted by width, height, bits
    DD::ModeDesc defaultMode;
    int defaultModeIndex = -1;
};

class CDisplay
{
public:
    enum InitializeFlags : uint32_t
    {
        Init_Fullscreen = 1,
    };
    static constexpr int kMaxDevices = 20;

    // The singleton, made on first use (use-3D set); its guard shuts it down and deletes it.
    static CDisplay* Instance();
    // The singleton if it exists.
    static CDisplay* Get();

    CDisplay();
    ~CDisplay();
    CDisplay(const CDisplay&) = delete;
    CDisplay& operator=(const CDisplay&) = delete;

    // Shut down, enumerate once, select, pick the first mode >= the wanted size with exactly the
    // wanted bits, then Initialize and the 3D device state.
    void SetupFullscreen(DD::WindowHandle window, int width, int height, int bits);
    // The size comes from the client area.
    void SetupWindowed(DD::WindowHandle window, int width, int height);
    // The common set-up; mode may be null when windowed. Failures shut down and rethrow.
    void Initialize(const DD::ModeDesc* mode, DD::WindowHandle window, const DD::DriverInfo& driver,
                    DD::DeviceKind device, uint32_t flags);
    // Releases everything; safe to call again.
    void Shutdown();
    // Ends the 3D scene and shows the back buffer.
    DD::HRESULT Present();
    // 3D only: the back buffer in opaque blue (0xFF0000FF).
    void ClearBackBuffer();
    // Brings the device's filter and clip planes up to the wanted values (before every draw).
    void ApplyPendingState();
    void GetTextureSize(int width, int height, int& textureWidth, int& textureHeight);
    void ReleaseAllResources();
    void RestoreAllResources();
    // Restores the primary and the back buffer when either reports lost.
    void RestoreLostSurfaces();

    DD::WindowHandle GetWindow() const { return m_window; }
    bool IsFullscreen() const { return m_fullscreen != 0; }
    int GetWidth() const { return m_width; }
    int GetHeight() const { return m_height; }
    DD::Driver* GetDirectDraw() const { return m_directDraw.get(); }
    DD::Device* GetDevice() const { return m_device.get(); }
    DD::Surface* GetPrimary() const { return m_primary.get(); }
    DD::Surface* GetBackBuffer() const { return m_backBuffer.get(); }
    DD::DeviceKind GetDeviceKind() const { return m_deviceKind; }
    uint32_t GetOffscreenPlacement() const { return m_offscreenPlacement; }

    bool UsesD3D() const { return m_useD3D; }
    // Cleared for good: the software platform, or a device that is not hardware.
    void DisableD3D() { m_useD3D = false; }

    int GetWantedFilter() const { return m_wantedFilter; }
    // 0 linear, 1 point.
    void SetWantedFilter(int filter) { m_wantedFilter = filter; }
    const Rect<int>& GetWantedClipRect() const { return m_wantedClip; }
    void SetWantedClipRect(const Rect<int>& clip) { m_wantedClip = clip; }
    static Rect<int> UnclippedRect() { return {-1, -1, 2147483647, 2147483647}; }

    const DD::PixelFormat& GetOpaqueTextureFormat() const { return m_opaqueFormat; }
    const DD::PixelFormat& GetAlphaTextureFormat() const { return m_alphaFormat; }
    // The device offers a 32-bit format without alpha (else opaque images use the alpha format).
    bool HasOpaqueTextureFormat() const { return m_hasOpaqueFormat; }

    // The device table (filled by the first set-up).
    static const std::vector<DisplayDeviceRecord>& Devices();
    static int DevicesSeen();
    // Records the enumeration accepted (the table keeps the first kMaxDevices).
    static int DevicesAccepted();
    // Forgets the table (tests, and the singleton's destruction).
    static void ClearDeviceTable();

private:
    static void EnumerateDevices();
    // The record chosen (its windowed flag set).
    static DisplayDeviceRecord& SelectDevice();
    void SetupDeviceState();
    void EnumerateTextureFormats();

    DD::WindowHandle m_window = nullptr;
    int m_fullscreen = 0;
    int m_width = 0;
    int m_height = 0;
    DD::DriverPtr m_directDraw;
    bool m_hasDirect3D = false;
    DD::DevicePtr m_device;
    DD::SurfacePtr m_primary;
    DD::SurfacePtr m_backBuffer;
    DD::SurfacePtr m_zBuffer; // never made
    uint32_t m_offscreenPlacement = DD::DDSCAPS_SYSTEMMEMORY;
    DD::DeviceKind m_deviceKind = DD::DeviceKind::Software;
    int m_currentFilter = -1;
    int m_wantedFilter = 0;
    Rect<int> m_currentClip{0, 0, 0, 0};
    Rect<int> m_wantedClip{-1, -1, 2147483647, 2147483647};
    DD::PixelFormat m_opaqueFormat;
    DD::PixelFormat m_alphaFormat;
    bool m_hasOpaqueFormat = false;
    bool m_hasAlphaFormat = false;
    bool m_useD3D = true;
};

// The display's guard at engine shutdown: shuts the singleton down, clears the pointer, deletes it
// and forgets the device table.
class CDisplaySingletonDestructor : public Internal::SingletonDestructor
{
public:
    CDisplaySingletonDestructor();
    void DestroySingleton() override;
};

} // namespace Kestrin
