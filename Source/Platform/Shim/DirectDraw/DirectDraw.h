#pragma once
// The part of DirectDraw 7 / Direct3D 7 that the display set-up and the two graphics platforms use,
// as plain C++. The results, flags and states keep their meanings; the numbers are our own.
// Two back ends implement it: SDL2's renderer (the program) and a scripted fake (tests).
#include "Base/Exceptions.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct SDL_Window;

namespace Kestrin::Shim::DirectDraw
{

using Kestrin::HRESULT;
// The game window. The fake back end never dereferences it.
using WindowHandle = SDL_Window*;

// ---- result codes ----
constexpr HRESULT DD_OK = 0;
constexpr HRESULT DDERR_GENERIC = 0x88760001;
constexpr HRESULT DDERR_WASSTILLDRAWING = 0x88760002;
constexpr HRESULT DDERR_SURFACELOST = 0x88760003;
constexpr HRESULT DDERR_OUTOFVIDEOMEMORY = 0x88760004;
constexpr HRESULT DDERR_EXCLUSIVEMODEALREADYSET = 0x88760005;
constexpr HRESULT DDERR_NOEXCLUSIVEMODE = 0x88760006;
constexpr HRESULT DDERR_WRONGMODE = 0x88760007;
constexpr HRESULT DDERR_CANTCREATEDC = 0x88760008;
constexpr HRESULT DDERR_INVALIDPARAMS = 0x88760009;
constexpr HRESULT DDERR_NOTLOCKED = 0x8876000A;
// The engine's own codes.
constexpr HRESULT KESTRIN_E_NODEVICESEEN = 0x81000002;
constexpr HRESULT KESTRIN_E_NODEVICEACCEPTED = 0x81000003;
constexpr HRESULT KESTRIN_E_NODEVICEFOUND = 0x81000004;
constexpr HRESULT KESTRIN_E_256COLORS = 0x8876023C;

inline bool Failed(HRESULT hr)
{
    return hr != DD_OK;
}
// The code's name ("DDERR_SURFACELOST"), or "Unknown" for a code outside the table.
const char* ErrorName(HRESULT hr);
// Makes ErrorName the lookup of engine exceptions (Kestrin::GetHResultName).
void InstallErrorNames();

// ---- pixel formats ----
enum PixelFormatFlags : uint32_t
{
    DDPF_ALPHAPIXELS = 0x1,
    DDPF_ALPHA = 0x2,
    DDPF_FOURCC = 0x4,
    DDPF_PALETTEINDEXED4 = 0x8,
    DDPF_PALETTEINDEXEDTO8 = 0x10,
    DDPF_PALETTEINDEXED8 = 0x20,
    DDPF_RGB = 0x40,
    DDPF_COMPRESSED = 0x80,
    DDPF_RGBTOYUV = 0x100,
    DDPF_YUV = 0x200,
    DDPF_ZBUFFER = 0x400,
    DDPF_PALETTEINDEXED1 = 0x800,
    DDPF_PALETTEINDEXED2 = 0x1000,
    DDPF_ZPIXELS = 0x2000,
    DDPF_STENCILBUFFER = 0x4000,
    DDPF_ALPHAPREMULT = 0x8000,
    DDPF_LUMINANCE = 0x20000,
    DDPF_BUMPLUMINANCE = 0x40000,
    DDPF_BUMPDUDV = 0x80000,
};

struct PixelFormat
{
    uint32_t flags = 0;
    uint32_t fourCC = 0; // lowest byte is the first character
    uint32_t bits = 0;
    uint32_t rMask = 0;
    uint32_t gMask = 0;
    uint32_t bMask = 0;
    uint32_t aMask = 0;
    bool operator==(const PixelFormat&) const = default;
};

// A8R8G8B8 and X8R8G8B8: image pixels are 0xAARRGGBB words in memory.
PixelFormat ArgbFormat();
PixelFormat XrgbFormat();

// ---- enumeration records ----
struct DriverInfo
{
    int id = 0;          // passed back to CreateDriver
    bool primary = true; // the primary display driver (no GUID)
    std::string description;
};

struct DriverCaps
{
    bool canRenderWindowed = false; // DDCAPS2_CANRENDERWINDOWED
    uint32_t vidMemTotal = 0;
    uint32_t vidMemFree = 0;
};

struct DeviceIdentifier
{
    uint32_t vendor = 0;
    uint32_t device = 0;
    uint32_t subSys = 0;
    uint32_t revision = 0;
    std::string description;
};

struct ModeDesc
{
    int width = 0;
    int height = 0;
    int bits = 0;
    bool stereo = false; // DDSCAPS2_STEREOSURFACELEFT
    bool operator==(const ModeDesc&) const = default;
};

// The device GUIDs the set-up tells apart.
enum class DeviceKind
{
    TnLHal,   // IID_IDirect3DTnLHalDevice
    Hal,      // IID_IDirect3DHALDevice
    Ref,      // IID_IDirect3DRefDevice
    Software, // any other software rasteriser
};

// Render depths (dwDeviceRenderBitDepth).
enum RenderDepthBits : uint32_t
{
    DDBD_8 = 0x800,
    DDBD_16 = 0x400,
    DDBD_24 = 0x200,
    DDBD_32 = 0x100,
};

// Triangle texture caps.
enum TextureCapsBits : uint32_t
{
    D3DPTEXTURECAPS_POW2 = 0x2,
    D3DPTEXTURECAPS_SQUAREONLY = 0x20,
};

struct DeviceDesc
{
    DeviceKind kind = DeviceKind::Software;
    bool hwRasterization = false; // D3DDEVCAPS_HWRASTERIZATION
    uint32_t renderDepths = 0;    // DDBD_ bits
    uint32_t textureCaps = 0;     // D3DPTEXTURECAPS_ bits
    int maxTextureWidth = 0;      // 0 counts as 256
    int maxTextureHeight = 0;
    std::string name;
    std::string description;
};

// ---- cooperative levels and surfaces ----
enum CooperativeLevelFlags : uint32_t
{
    DDSCL_FULLSCREEN = 0x1,
    DDSCL_ALLOWREBOOT = 0x2,
    DDSCL_NORMAL = 0x8,
    DDSCL_EXCLUSIVE = 0x10,
    DDSCL_FPUSETUP = 0x200,
};

enum SurfaceCapsBits : uint32_t
{
    DDSCAPS_OFFSCREENPLAIN = 0x40,
    DDSCAPS_SYSTEMMEMORY = 0x800,
    DDSCAPS_3DDEVICE = 0x2000,
    DDSCAPS_VIDEOMEMORY = 0x4000,
};

struct SurfaceDesc
{
    int width = 0;
    int height = 0;
    PixelFormat format;
};

class Surface
{
public:
    virtual ~Surface() = default;
    virtual HRESULT GetDesc(SurfaceDesc& desc) = 0;
    // The whole surface; the pointer stays valid until Unlock. DDERR_CANTCREATEDC, DDERR_SURFACELOST, ...
    virtual HRESULT Lock(void*& bits, int& pitch, bool writeOnly) = 0;
    virtual HRESULT Unlock() = 0;
    virtual HRESULT Restore() = 0;
    virtual bool IsLost() = 0;
    // Copies the whole source surface to (x, y), converting its format (no colour key).
    virtual HRESULT BltFast(int x, int y, Surface* source) = 0;
    // Primary surfaces: the flip chain's back buffer (full screen).
    virtual HRESULT GetAttachedBackBuffer(std::shared_ptr<Surface>& backBuffer) = 0;
    // Primary surfaces: the back buffer stretched onto the window's client area (windowed).
    virtual HRESULT BltToWindow(Surface* backBuffer) = 0;
    // Primary surfaces: shows the back buffer (full screen, letterboxed into the desktop).
    virtual HRESULT Flip() = 0;
    // What the surface holds now, as 0xAARRGGBB rows (tests and screenshots).
    virtual HRESULT ReadPixels(std::vector<uint32_t>& argb, int& width, int& height) = 0;
};
using SurfacePtr = std::shared_ptr<Surface>;

// ---- the 3D device ----
struct Vertex
{
    float x, y, z;
    uint32_t argb;
    float u, v;
};
static_assert(sizeof(Vertex) == 24, "the vertex is the 24-byte XYZ | DIFFUSE | TEX1 record");

enum class Prim
{
    TriangleStrip,
    TriangleFan,
    TriangleList,
    LineList,
    LineStrip,
    PointList,
};

enum class RenderState
{
    CullMode,
    DitherEnable,
    Clipping,
    ShadeMode,
    LastPixel,
    FogEnable,
    SpecularEnable,
    EdgeAntialias,
    ColorKeyEnable,
    StencilEnable,
    LocalViewer,
    NormalizeNormals,
    ColorKeyBlendEnable,
    ClipPlaneEnable, // bit mask of enabled planes 0-3
    ColorVertex,
    Lighting,
    Ambient,
    ZEnable,
    ZWriteEnable,
    AlphaBlendEnable,
    SrcBlend,
    DestBlend,
};

enum class TextureStageState
{
    ColorArg1,
    ColorArg2,
    ColorOp,
    AlphaArg1,
    AlphaArg2,
    AlphaOp,
    MinFilter,
    MagFilter,
    Address,
};

// Values of the states above.
enum StateValues : uint32_t
{
    D3DCULL_NONE = 1,
    D3DSHADE_GOURAUD = 2,
    D3DBLEND_SRCALPHA = 5,
    D3DBLEND_INVSRCALPHA = 6,
    D3DTA_DIFFUSE = 0,
    D3DTA_TEXTURE = 2,
    D3DTOP_MODULATE = 4,
    D3DTADDRESS_CLAMP = 3,
    D3DTFN_POINT = 1, // MinFilter
    D3DTFN_LINEAR = 2,
    D3DTFG_POINT = 1, // MagFilter
    D3DTFG_LINEAR = 2,
};

struct Material
{
    float diffuse[4];
    float ambient[4];
    float specular[4];
    float emissive[4];
    float power;
};

class Device
{
public:
    virtual ~Device() = default;
    virtual HRESULT SetViewport(int x, int y, int width, int height, float minZ, float maxZ) = 0;
    virtual HRESULT GetCaps(DeviceDesc& desc) = 0;
    virtual HRESULT EnumTextureFormats(std::vector<PixelFormat>& formats) = 0;
    virtual HRESULT SetRenderState(RenderState state, uint32_t value) = 0;
    virtual HRESULT SetTextureStageState(int stage, TextureStageState state, uint32_t value) = 0;
    virtual HRESULT SetMaterial(const Material& material) = 0;
    virtual HRESULT SetProjection(const float matrix[16]) = 0;
    // Points p with a·x + b·y + c·z + d >= 0 are kept.
    virtual HRESULT SetClipPlane(int index, const float plane[4]) = 0;
    // Fills the render target (D3DCLEAR_TARGET only).
    virtual HRESULT Clear(uint32_t argb) = 0;
    virtual HRESULT BeginScene() = 0;
    virtual HRESULT EndScene() = 0;
    // Stage 0; null draws untextured (vertex colour only).
    virtual HRESULT SetTexture(Surface* texture) = 0;
    virtual HRESULT DrawPrimitive(Prim type, const Vertex* vertices, int count) = 0;
    // Triangle lists with 16-bit indices.
    virtual HRESULT DrawIndexedPrimitive(Prim type, const Vertex* vertices, int vertexCount,
                                         const uint16_t* indices, int indexCount) = 0;
    virtual SurfacePtr GetRenderTarget() = 0;
};
using DevicePtr = std::shared_ptr<Device>;

// IDirectDraw7 with its IDirect3D7 face, for one driver.
class Driver
{
public:
    virtual ~Driver() = default;
    virtual HRESULT GetCaps(DriverCaps& caps) = 0;
    virtual HRESULT GetDeviceIdentifier(DeviceIdentifier& id) = 0;
    virtual HRESULT EnumDisplayModes(std::vector<ModeDesc>& modes) = 0;
    // QueryInterface(IID_IDirect3D7): DD_OK when the driver has a 3D face.
    virtual HRESULT QueryDirect3D() = 0;
    virtual HRESULT EnumDevices(std::vector<DeviceDesc>& devices) = 0;
    // DDSCL_ flags.
    virtual HRESULT SetCooperativeLevel(WindowHandle window, uint32_t flags) = 0;
    // Bits per pixel of the desktop (GetDisplayMode).
    virtual HRESULT GetDisplayModeBits(int& bits) = 0;
    virtual HRESULT SetDisplayMode(int width, int height, int bits) = 0;
    // Full screen: a flip chain with 2 back buffers; windowed: the window's primary.
    virtual HRESULT CreatePrimary(bool fullscreen, SurfacePtr& primary) = 0;
    // CreateClipper + SetHWnd + SetClipper on the windowed primary.
    virtual HRESULT ClipPrimaryToWindow(Surface* primary, WindowHandle window) = 0;
    // An off-screen plain surface; DDSCAPS_3DDEVICE makes it a render target (the windowed back
    // buffer), else it is lockable memory in the display's format (the software screen).
    virtual HRESULT CreateOffscreen(int width, int height, uint32_t caps, SurfacePtr& surface) = 0;
    // managed: DDSCAPS2_TEXTUREMANAGE; else DDSCAPS_SYSTEMMEMORY.
    virtual HRESULT CreateTexture(int width, int height, const PixelFormat& format, bool managed,
                                  SurfacePtr& texture) = 0;
    virtual HRESULT CreateDevice(DeviceKind kind, const SurfacePtr& target, DevicePtr& device) = 0;
    virtual HRESULT TestCooperativeLevel() = 0;
    virtual HRESULT RestoreAllSurfaces() = 0;
};
using DriverPtr = std::shared_ptr<Driver>;

// What stands for ddraw.dll and the window calls the display set-up makes.
class Backend
{
public:
    virtual ~Backend() = default;
    // DirectDrawEnumerateEx.
    virtual std::vector<DriverInfo> EnumerateDrivers() = 0;
    // DirectDrawCreateEx; null info = the primary display driver.
    virtual HRESULT CreateDriver(const DriverInfo* info, DriverPtr& driver) = 0;
    // GetClientRect.
    virtual void GetClientSize(WindowHandle window, int& width, int& height) = 0;
    // IsIconic.
    virtual bool IsIconic(WindowHandle window) = 0;
};

// The back end in use: the SDL one unless a test installed another (null restores SDL).
Backend& GetBackend();
void SetBackend(Backend* backend);
// The back end a test installed, or null.
Backend* GetInstalledBackend();

// The projection of an off-centre orthographic view (D3DX's LH variant, row vectors).
void OrthoOffCenter(float m[16], float left, float right, float bottom, float top, float zNear, float zFar);

} // namespace Kestrin::Shim::DirectDraw
