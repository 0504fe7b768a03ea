#pragma once
// A scripted display back end for tests. The test fills a table (drivers, devices, modes, caps,
// desktop, window, texture formats), scripts the results of chosen calls, and reads back every call
// as one line of text, every surface's memory and every draw the device was given.
//
// Constructing a FakeBackend installs it (SetBackend); destroying it puts the previous one back.
// Objects it made stay usable after it is gone; they then record nothing and answer DD_OK.
//
// Script names are the call names below; a surface call first looks for "<Call> <kind>"
// (kind: primary, backbuffer, screen, texture), then for "<Call>":
//   backend  CreateDriver
//   driver   GetCaps GetDeviceIdentifier EnumDisplayModes QueryDirect3D EnumDevices SetCooperativeLevel
//            GetDisplayModeBits SetDisplayMode CreatePrimary ClipPrimaryToWindow CreateOffscreen
//            CreateTexture CreateDevice TestCooperativeLevel RestoreAllSurfaces
//   surface  GetDesc Lock Unlock Restore BltFast GetAttachedBackBuffer BltToWindow Flip ReadPixels
//   device   SetViewport GetDeviceCaps EnumTextureFormats SetRenderState SetTextureStageState
//            SetMaterial SetProjection SetClipPlane Clear BeginScene EndScene SetTexture
//            DrawPrimitive DrawIndexedPrimitive
// A scripted failure makes the call do nothing beyond recording its line.
#include "Base/Geometry.h"
#include "Platform/Shim/DirectDraw/DirectDraw.h"

#include <array>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace Kestrin::Shim::DirectDraw
{

class FakeBackend;
class FakeDriver;

// One driver of the table.
struct FakeDriverSpec
{
    DriverInfo info;
    HRESULT createResult = DD_OK; // what CreateDriver answers (every time)
    bool hasDirect3D = true;      // QueryDirect3D succeeds
    DriverCaps caps;
    HRESULT capsResult = DD_OK; // what GetCaps answers (every time)
    DeviceIdentifier identifier;
    std::vector<ModeDesc> modes;     // in the order EnumDisplayModes reports them
    std::vector<DeviceDesc> devices; // in the order EnumDevices reports them
};

// A device description of the given kind: hardware for TnLHal and Hal, 16/24/32-bit rendering,
// no texture caps, 2048 x 2048 textures.
DeviceDesc FakeDeviceDesc(DeviceKind kind, const std::string& name);
// A working primary driver: windowed rendering, 64 MiB video memory, modes 640x480, 800x600 and
// 1024x768 at 16 and 32 bits (unsorted), and a TnLHal, a Hal, a software and a reference device.
FakeDriverSpec FakeGoodDriver();

class FakeSurface : public Surface
{
public:
    ~FakeSurface() override;

    HRESULT GetDesc(SurfaceDesc& desc) override;
    HRESULT Lock(void*& bits, int& pitch, bool writeOnly) override;
    HRESULT Unlock() override;
    HRESULT Restore() override;
    bool IsLost() override { return lost; }
    HRESULT BltFast(int x, int y, Surface* source) override;
    HRESULT GetAttachedBackBuffer(std::shared_ptr<Surface>& backBuffer) override;
    HRESULT BltToWindow(Surface* backBuffer) override;
    HRESULT Flip() override;
    HRESULT ReadPixels(std::vector<uint32_t>& argb, int& width, int& height) override;

    // "primary", "backbuffer" (flip chain or 3D off-screen), "screen" (plain off-screen) or "texture".
    const std::string& Kind() const { return m_kind; }
    // Kind and creation number, e.g. "texture#4"; used in the recorded lines.
    const std::string& Name() const { return m_name; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    const PixelFormat& Format() const { return m_format; }
    int Pitch() const { return m_pitch; }
    bool IsLocked() const { return m_locked; }
    // One pixel as 0xAARRGGBB (alpha 0xFF without an alpha mask); 0 outside.
    uint32_t PixelAt(int x, int y) const;
    // Writes one pixel given as 0xAARRGGBB in the surface's format.
    void SetPixelAt(int x, int y, uint32_t argb);
    uint8_t* Memory() { return m_memory.data(); }

    bool lost = false;         // set by a test; Lock, BltFast, Flip and BltToWindow then fail
    bool managed = false;      // textures: DDSCAPS2_TEXTUREMANAGE
    uint32_t caps = 0;         // off-screen surfaces: the DDSCAPS_ bits asked for
    std::string lastBltSource; // name of the last BltFast source
    int bltFastCount = 0;
    int restoreCount = 0;
    int lockCount = 0;
    bool clippedToWindow = false;

private:
    friend class FakeBackend;
    friend class FakeDriver;
    FakeSurface(FakeBackend* fake, std::string kind, int width, int height, const PixelFormat& format);
    FakeBackend* Fake() const;
    HRESULT Result(const char* call);

    FakeBackend* m_fake;
    std::shared_ptr<const bool> m_fakeAlive;
    std::string m_kind;
    std::string m_name;
    int m_width;
    int m_height;
    PixelFormat m_format;
    int m_bytesPerPixel;
    int m_pitch;
    std::vector<uint8_t> m_memory;
    bool m_locked = false;
    std::shared_ptr<FakeSurface> m_attachedBackBuffer;
};
using FakeSurfacePtr = std::shared_ptr<FakeSurface>;

// One draw call as the device received it, with the state it was drawn under.
struct FakeDraw
{
    Prim type = Prim::TriangleList;
    bool indexed = false;
    std::vector<Vertex> vertices;
    std::vector<uint16_t> indices;
    FakeSurface* texture = nullptr; // null: untextured
    std::string textureName;        // "null" when untextured
    uint32_t clipPlaneEnable = 0;
    uint32_t minFilter = 0;
    uint32_t magFilter = 0;
    std::array<std::array<float, 4>, 4> clipPlanes{};
};

class FakeDevice : public Device
{
public:
    ~FakeDevice() override;

    HRESULT SetViewport(int x, int y, int width, int height, float minZ, float maxZ) override;
    HRESULT GetCaps(DeviceDesc& desc) override;
    HRESULT EnumTextureFormats(std::vector<PixelFormat>& formats) override;
    HRESULT SetRenderState(RenderState state, uint32_t value) override;
    HRESULT SetTextureStageState(int stage, TextureStageState state, uint32_t value) override;
    HRESULT SetMaterial(const Material& material) override;
    HRESULT SetProjection(const float matrix[16]) override;
    HRESULT SetClipPlane(int index, const float plane[4]) override;
    HRESULT Clear(uint32_t argb) override;
    HRESULT BeginScene() override;
    HRESULT EndScene() override;
    HRESULT SetTexture(Surface* texture) override;
    HRESULT DrawPrimitive(Prim type, const Vertex* vertices, int count) override;
    HRESULT DrawIndexedPrimitive(Prim type, const Vertex* vertices, int vertexCount, const uint16_t* indices,
                                 int indexCount) override;
    SurfacePtr GetRenderTarget() override { return m_target; }

    DeviceKind Kind() const { return m_desc.kind; }
    // A state never set reads 0.
    uint32_t RenderStateValue(RenderState state) const;
    uint32_t TextureStageValue(int stage, TextureStageState state) const;

    const DeviceDesc& Desc() const { return m_desc; }
    std::vector<FakeDraw> draws;
    std::map<RenderState, uint32_t> renderStates;
    std::map<std::pair<int, TextureStageState>, uint32_t> stageStates;
    std::array<std::array<float, 4>, 6> clipPlanes{};
    std::array<float, 16> projection{};
    Material material{};
    bool materialSet = false;
    std::array<float, 6> viewport{}; // x, y, width, height, min z, max z
    FakeSurface* texture = nullptr;
    int beginSceneCount = 0;
    int endSceneCount = 0;
    bool inScene = false;
    int clearCount = 0;

private:
    friend class FakeDriver;
    FakeDevice(FakeBackend* fake, const DeviceDesc& desc, SurfacePtr target);
    FakeBackend* Fake() const;
    HRESULT Result(const char* call);
    void RecordDraw(Prim type, const Vertex* vertices, int count, const uint16_t* indices, int indexCount);

    FakeBackend* m_fake;
    std::shared_ptr<const bool> m_fakeAlive;
    DeviceDesc m_desc;
    SurfacePtr m_target;
    SurfacePtr m_textureRef;
};

class FakeBackend : public Backend
{
public:
    FakeBackend();
    ~FakeBackend() override;
    FakeBackend(const FakeBackend&) = delete;
    FakeBackend& operator=(const FakeBackend&) = delete;

    std::vector<DriverInfo> EnumerateDrivers() override;
    HRESULT CreateDriver(const DriverInfo* info, DriverPtr& driver) override;
    void GetClientSize(WindowHandle window, int& width, int& height) override;
    bool IsIconic(WindowHandle window) override;

    // ---- the table ----
    std::vector<FakeDriverSpec> drivers{FakeGoodDriver()};
    int desktopBits = 32;
    int clientWidth = 800;
    int clientHeight = 600;
    bool iconic = false;
    std::vector<PixelFormat> textureFormats{ArgbFormat(), XrgbFormat()};
    // The display format: what the software screen surface (a non-3D off-screen surface) gets.
    PixelFormat screenFormat{DDPF_RGB, 0, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0};
    // Extra bytes at the end of every surface row, so pitch and width differ.
    int pitchPadding = 0;
    // Where the last Flip (letterboxed) or BltToWindow (stretched) showed its back buffer within
    // the client size above, as the SDL back end would.
    Rect<int> presented{0, 0, 0, 0};

    // ---- scripted results ----
    // Appends results for a call name; each call consumes one, DD_OK once the queue is empty.
    void Script(const std::string& call, std::vector<HRESULT> results);
    // Consumes the next scripted result of the call (DD_OK when none is left).
    HRESULT NextResult(const std::string& call);
    // Scripted results not yet consumed, over all names.
    int PendingResults() const;

    // ---- recorded calls ----
    std::vector<std::string> calls;
    // The calls as one text, each line ended by '\n'.
    std::string CallText() const;
    // Number of recorded lines that start with the prefix.
    int Count(const std::string& prefix) const;
    // Index of the first recorded line starting with the prefix at or after from; -1 when none.
    int Find(const std::string& prefix, int from = 0) const;
    void ClearCalls() { calls.clear(); }
    void Record(std::string line);

    // ---- objects made ----
    // Every surface still alive, in creation order.
    std::vector<FakeSurfacePtr> Surfaces() const;
    // The most recent live surface of a kind, or null.
    FakeSurfacePtr LastSurface(const std::string& kind) const;
    // The most recent live device, or null.
    std::shared_ptr<FakeDevice> LastDevice() const;
    // Marks every live surface lost.
    void LoseAllSurfaces();

private:
    friend class FakeDriver;
    friend class FakeSurface;
    friend class FakeDevice;
    FakeSurfacePtr MakeSurface(const std::string& kind, int width, int height, const PixelFormat& format);

    Backend* m_previous;
    std::shared_ptr<bool> m_alive;
    std::map<std::string, std::deque<HRESULT>> m_scripts;
    std::vector<std::weak_ptr<FakeSurface>> m_surfaces;
    std::weak_ptr<FakeDevice> m_device;
    int m_nextSurface = 1;
};

const char* RenderStateName(RenderState state);
const char* TextureStageStateName(TextureStageState state);
const char* PrimName(Prim type);
const char* DeviceKindName(DeviceKind kind);

} // namespace Kestrin::Shim::DirectDraw
