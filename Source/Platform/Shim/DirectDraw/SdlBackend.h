#pragma once
// The SDL2 back end of the display shim: one SDL_Renderer per window, a render-target texture as the
// back buffer, static textures, and lockable memory for the software screen surface.
#include "Platform/Shim/DirectDraw/DirectDraw.h"

namespace Kestrin::Shim::DirectDraw
{

// What the back end reports beyond what SDL tells; tests and the headless screenshot change it.
struct SdlConfig
{
    // SDL's "software" render driver is reported as a HAL device with hardware rasterisation,
    // so the Direct3D 7 platform runs without a GPU.
    bool softwareAsHal = false;
    uint32_t textureCaps = 0; // extra D3DPTEXTURECAPS_ bits to report
    int maxTextureSize = 0;   // 0: SDL's maximum (16384 when SDL says unlimited)
    uint32_t vidMemTotal = 256u << 20;
    uint32_t vidMemFree = 256u << 20;
    int desktopBits = 0; // 0: from SDL's desktop mode (a 4-byte format counts as 32)
    // The software screen surface: 32 (words), 24 (bytes B G R) or 16 with these masks.
    int screenBits = 32;
    uint32_t screenRMask = 0x00FF0000;
    uint32_t screenGMask = 0x0000FF00;
    uint32_t screenBMask = 0x000000FF;
    // Replaces the device's texture formats when not empty.
    std::vector<PixelFormat> textureFormats;
};

// The configuration in force; the environment fills it once at start (KESTRIN_SOFTWARE_AS_HAL=1,
// KESTRIN_DESKTOP_BITS=N, KESTRIN_MAX_TEXTURE=N).
SdlConfig& GetSdlConfig();

// The SDL back end (the default of GetBackend).
Backend& GetSdlBackend();

} // namespace Kestrin::Shim::DirectDraw
