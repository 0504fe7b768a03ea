#include "Platform/Shim/DirectDraw/FakeBackend.h"

#include "Platform/Shim/Win32/Window.h"

#include <algorithm>
#include <bit>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace Kestrin::Shim::DirectDraw
{

namespace
{

std::string Printf(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Printf(const char* format, ...)
{
    char buffer[512];
    va_list args;
    va_start(args, format);
    vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    return buffer;
}

int BytesPerPixel(const PixelFormat& format)
{
    return std::max(1, static_cast<int>(format.bits + 7) / 8);
}

// A channel of a packed pixel, scaled to 8 bits.
uint32_t Extract8(uint32_t pixel, uint32_t mask)
{
    if (mask == 0)
        return 0;
    const int shift = std::countr_zero(mask);
    const int width = std::popcount(mask);
    const uint32_t value = (pixel & mask) >> shift;
    if (width >= 8)
        return value >> (width - 8);
    const uint32_t max = (1u << width) - 1;
    return (value * 255 + max / 2) / max;
}

// An 8-bit channel placed into a mask (its top bits kept).
uint32_t Insert8(uint32_t value8, uint32_t mask)
{
    if (mask == 0)
        return 0;
    const int shift = std::countr_zero(mask);
    const int width = std::popcount(mask);
    const uint32_t value = width >= 8 ? value8 << (width - 8) : value8 >> (8 - width);
    return (value << shift) & mask;
}

uint32_t ToArgb(uint32_t pixel, const PixelFormat& format)
{
    const uint32_t a = format.aMask ? Extract8(pixel, format.aMask) : 0xFF;
    return a << 24 | Extract8(pixel, format.rMask) << 16 | Extract8(pixel, format.gMask) << 8 |
           Extract8(pixel, format.bMask);
}

uint32_t FromArgb(uint32_t argb, const PixelFormat& format)
{
    return Insert8(argb >> 24, format.aMask) | Insert8((argb >> 16) & 0xFF, format.rMask) |
           Insert8((argb >> 8) & 0xFF, format.gMask) | Insert8(argb & 0xFF, format.bMask);
}

// Values that read as bit patterns are printed in hex, counts and enum values in decimal.
std::string StateValue(uint32_t value)
{
    return value > 0xFFFF ? Printf("0x%08X", value) : Printf("%u", value);
}

// Copies every pixel of source that lands inside target, through 0xAARRGGBB.
void CopyPixels(FakeSurface& target, int x, int y, const FakeSurface& source)
{
    for (int sy = 0; sy < source.Height(); ++sy)
        for (int sx = 0; sx < source.Width(); ++sx)
            target.SetPixelAt(x + sx, y + sy, source.PixelAt(sx, sy));
}

PixelFormat BufferFormat()
{
    return ArgbFormat();
}

} // namespace

const char* RenderStateName(RenderState state)
{
    switch (state)
    {
    case RenderState::CullMode:
        return "CullMode";
    case RenderState::DitherEnable:
        return "DitherEnable";
    case RenderState::Clipping:
        return "Clipping";
    case RenderState::ShadeMode:
        return "ShadeMode";
    case RenderState::LastPixel:
        return "LastPixel";
    case RenderState::FogEnable:
        return "FogEnable";
    case RenderState::SpecularEnable:
        return "SpecularEnable";
    case RenderState::EdgeAntialias:
        return "EdgeAntialias";
    case RenderState::ColorKeyEnable:
        return "ColorKeyEnable";
    case RenderState::StencilEnable:
        return "StencilEnable";
    case RenderState::LocalViewer:
        return "LocalViewer";
    case RenderState::NormalizeNormals:
        return "NormalizeNormals";
    case RenderState::ColorKeyBlendEnable:
        return "ColorKeyBlendEnable";
    case RenderState::ClipPlaneEnable:
        return "ClipPlaneEnable";
    case RenderState::ColorVertex:
        return "ColorVertex";
    case RenderState::Lighting:
        return "Lighting";
    case RenderState::Ambient:
        return "Ambient";
    case RenderState::ZEnable:
        return "ZEnable";
    case RenderState::ZWriteEnable:
        return "ZWriteEnable";
    case RenderState::AlphaBlendEnable:
        return "AlphaBlendEnable";
    case RenderState::SrcBlend:
        return "SrcBlend";
    case RenderState::DestBlend:
        return "DestBlend";
    }
    return "Unknown";
}

const char* TextureStageStateName(TextureStageState state)
{
    switch (state)
    {
    case TextureStageState::ColorArg1:
        return "ColorArg1";
    case TextureStageState::ColorArg2:
        return "ColorArg2";
    case TextureStageState::ColorOp:
        return "ColorOp";
    case TextureStageState::AlphaArg1:
        return "AlphaArg1";
    case TextureStageState::AlphaArg2:
        return "AlphaArg2";
    case TextureStageState::AlphaOp:
        return "AlphaOp";
    case TextureStageState::MinFilter:
        return "MinFilter";
    case TextureStageState::MagFilter:
        return "MagFilter";
    case TextureStageState::Address:
        return "Address";
    }
    return "Unknown";
}

const char* PrimName(Prim type)
{
    switch (type)
    {
    case Prim::TriangleStrip:
        return "TriangleStrip";
    case Prim::TriangleFan:
        return "TriangleFan";
    case Prim::TriangleList:
        return "TriangleList";
    case Prim::LineList:
        return "LineList";
    case Prim::LineStrip:
        return "LineStrip";
    case Prim::PointList:
        return "PointList";
    }
    return "Unknown";
}

const char* DeviceKindName(DeviceKind kind)
{
    switch (kind)
    {
    case DeviceKind::TnLHal:
        return "TnLHal";
    case DeviceKind::Hal:
        return "Hal";
    case DeviceKind::Ref:
        return "Ref";
    case DeviceKind::Software:
        return "Software";
    }
    return "Unknown";
}

DeviceDesc FakeDeviceDesc(DeviceKind kind, const std::string& name)
{
    DeviceDesc desc;
    desc.kind = kind;
    desc.hwRasterization = kind == DeviceKind::TnLHal || kind == DeviceKind::Hal;
    desc.renderDepths = DDBD_16 | DDBD_24 | DDBD_32;
    desc.textureCaps = 0;
    desc.maxTextureWidth = 2048;
    desc.maxTextureHeight = 2048;
    desc.name = name;
    desc.description = name;
    return desc;
}

FakeDriverSpec FakeGoodDriver()
{
    FakeDriverSpec setup;
    setup.info = {0, true, "Fake display driver"};
    setup.caps = {true, 64u << 20, 48u << 20};
    setup.identifier.description = "Fake display adapter";
    setup.modes = {{1024, 768, 32, false}, {640, 480, 16, false}, {800, 600, 32, false},
                   {640, 480, 32, false},  {800, 600, 16, false}, {1024, 768, 16, false}};
    setup.devices = {FakeDeviceDesc(DeviceKind::Software, "RGB Emulation"),
                     FakeDeviceDesc(DeviceKind::Ref, "Reference Rasterizer"),
                     FakeDeviceDesc(DeviceKind::Hal, "Direct3D HAL"),
                     FakeDeviceDesc(DeviceKind::TnLHal, "Direct3D T&L HAL")};
    return setup;
}

// ---- surfaces ----

FakeSurface::FakeSurface(FakeBackend* fake, std::string kind, int width, int height,
                         const PixelFormat& format)
    : m_fake(fake), m_fakeAlive(fake->m_alive), m_kind(std::move(kind)), m_width(std::max(0, width)),
      m_height(std::max(0, height)), m_format(format), m_bytesPerPixel(BytesPerPixel(format))
{
    m_name = m_kind + "#" + std::to_string(fake->m_nextSurface++);
    m_pitch = (m_width * m_bytesPerPixel + 3) / 4 * 4 + std::max(0, fake->pitchPadding);
    m_memory.assign(static_cast<size_t>(m_pitch) * m_height, 0);
}

FakeSurface::~FakeSurface()
{
    if (FakeBackend* fake = Fake())
        fake->Record("Release " + m_name);
}

FakeBackend* FakeSurface::Fake() const
{
    return *m_fakeAlive ? m_fake : nullptr;
}

HRESULT FakeSurface::Result(const char* call)
{
    FakeBackend* fake = Fake();
    if (!fake)
        return DD_OK;
    const HRESULT specific = fake->NextResult(std::string(call) + " " + m_kind);
    return specific != DD_OK ? specific : fake->NextResult(call);
}

uint32_t FakeSurface::PixelAt(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return 0;
    uint32_t pixel = 0;
    std::memcpy(&pixel,
                &m_memory[static_cast<size_t>(y) * m_pitch + static_cast<size_t>(x) * m_bytesPerPixel],
                std::min(m_bytesPerPixel, 4));
    return ToArgb(pixel, m_format);
}

void FakeSurface::SetPixelAt(int x, int y, uint32_t argb)
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return;
    const uint32_t pixel = FromArgb(argb, m_format);
    std::memcpy(&m_memory[static_cast<size_t>(y) * m_pitch + static_cast<size_t>(x) * m_bytesPerPixel],
                &pixel, std::min(m_bytesPerPixel, 4));
}

HRESULT FakeSurface::GetDesc(SurfaceDesc& desc)
{
    if (FakeBackend* fake = Fake())
        fake->Record("GetDesc " + m_name);
    if (HRESULT hr = Result("GetDesc"); Failed(hr))
        return hr;
    desc.width = m_width;
    desc.height = m_height;
    desc.format = m_format;
    return DD_OK;
}

HRESULT FakeSurface::Lock(void*& bits, int& pitch, bool writeOnly)
{
    if (FakeBackend* fake = Fake())
        fake->Record("Lock " + m_name + (writeOnly ? " writeonly" : ""));
    if (HRESULT hr = Result("Lock"); Failed(hr))
        return hr;
    if (lost)
        return DDERR_SURFACELOST;
    if (m_locked)
        return DDERR_GENERIC;
    m_locked = true;
    ++lockCount;
    bits = m_memory.data();
    pitch = m_pitch;
    return DD_OK;
}

HRESULT FakeSurface::Unlock()
{
    if (FakeBackend* fake = Fake())
        fake->Record("Unlock " + m_name);
    if (HRESULT hr = Result("Unlock"); Failed(hr))
        return hr;
    if (!m_locked)
        return DDERR_NOTLOCKED;
    m_locked = false;
    return DD_OK;
}

HRESULT FakeSurface::Restore()
{
    if (FakeBackend* fake = Fake())
        fake->Record("Restore " + m_name);
    if (HRESULT hr = Result("Restore"); Failed(hr))
        return hr;
    lost = false;
    ++restoreCount;
    return DD_OK;
}

HRESULT FakeSurface::BltFast(int x, int y, Surface* source)
{
    auto* from = dynamic_cast<FakeSurface*>(source);
    if (FakeBackend* fake = Fake())
        fake->Record(
            Printf("BltFast %s %d %d %s", m_name.c_str(), x, y, from ? from->m_name.c_str() : "null"));
    if (HRESULT hr = Result("BltFast"); Failed(hr))
        return hr;
    if (!from)
        return DDERR_INVALIDPARAMS;
    if (lost || from->lost)
        return DDERR_SURFACELOST;
    CopyPixels(*this, x, y, *from);
    lastBltSource = from->m_name;
    ++bltFastCount;
    return DD_OK;
}

HRESULT FakeSurface::GetAttachedBackBuffer(std::shared_ptr<Surface>& backBuffer)
{
    if (FakeBackend* fake = Fake())
        fake->Record("GetAttachedBackBuffer " + m_name);
    if (HRESULT hr = Result("GetAttachedBackBuffer"); Failed(hr))
        return hr;
    if (!m_attachedBackBuffer)
        return DDERR_GENERIC;
    backBuffer = m_attachedBackBuffer;
    return DD_OK;
}

HRESULT FakeSurface::BltToWindow(Surface* backBuffer)
{
    auto* from = dynamic_cast<FakeSurface*>(backBuffer);
    if (FakeBackend* fake = Fake())
        fake->Record("BltToWindow " + m_name + " " + (from ? from->m_name : std::string("null")));
    if (HRESULT hr = Result("BltToWindow"); Failed(hr))
        return hr;
    if (!from)
        return DDERR_INVALIDPARAMS;
    if (lost || from->lost)
        return DDERR_SURFACELOST;
    CopyPixels(*this, 0, 0, *from);
    if (FakeBackend* fake = Fake())
        fake->presented =
            PresentationRect(fake->clientWidth, fake->clientHeight, from->m_width, from->m_height, false);
    return DD_OK;
}

HRESULT FakeSurface::Flip()
{
    if (FakeBackend* fake = Fake())
        fake->Record("Flip " + m_name);
    if (HRESULT hr = Result("Flip"); Failed(hr))
        return hr;
    if (!m_attachedBackBuffer)
        return DDERR_GENERIC;
    if (lost || m_attachedBackBuffer->lost)
        return DDERR_SURFACELOST;
    CopyPixels(*this, 0, 0, *m_attachedBackBuffer);
    if (FakeBackend* fake = Fake())
        fake->presented =
            PresentationRect(fake->clientWidth, fake->clientHeight, m_attachedBackBuffer->m_width,
                             m_attachedBackBuffer->m_height, true);
    return DD_OK;
}

HRESULT FakeSurface::ReadPixels(std::vector<uint32_t>& argb, int& width, int& height)
{
    // Not recorded: only tests and screenshots read pixels back.
    if (HRESULT hr = Result("ReadPixels"); Failed(hr))
        return hr;
    width = m_width;
    height = m_height;
    argb.resize(static_cast<size_t>(m_width) * m_height);
    for (int y = 0; y < m_height; ++y)
        for (int x = 0; x < m_width; ++x)
            argb[static_cast<size_t>(y) * m_width + x] = PixelAt(x, y);
    return DD_OK;
}

// ---- the device ----

FakeDevice::FakeDevice(FakeBackend* fake, const DeviceDesc& desc, SurfacePtr target)
    : m_fake(fake), m_fakeAlive(fake->m_alive), m_desc(desc), m_target(std::move(target))
{
}

FakeDevice::~FakeDevice()
{
    if (FakeBackend* fake = Fake())
        fake->Record("Release device");
}

FakeBackend* FakeDevice::Fake() const
{
    return *m_fakeAlive ? m_fake : nullptr;
}

HRESULT FakeDevice::Result(const char* call)
{
    FakeBackend* fake = Fake();
    return fake ? fake->NextResult(call) : DD_OK;
}

uint32_t FakeDevice::RenderStateValue(RenderState state) const
{
    auto it = renderStates.find(state);
    return it == renderStates.end() ? 0 : it->second;
}

uint32_t FakeDevice::TextureStageValue(int stage, TextureStageState state) const
{
    auto it = stageStates.find({stage, state});
    return it == stageStates.end() ? 0 : it->second;
}

HRESULT FakeDevice::SetViewport(int x, int y, int width, int height, float minZ, float maxZ)
{
    if (FakeBackend* fake = Fake())
        fake->Record(Printf("SetViewport %d %d %d %d %g %g", x, y, width, height, minZ, maxZ));
    if (HRESULT hr = Result("SetViewport"); Failed(hr))
        return hr;
    viewport = {static_cast<float>(x),
                static_cast<float>(y),
                static_cast<float>(width),
                static_cast<float>(height),
                minZ,
                maxZ};
    return DD_OK;
}

HRESULT FakeDevice::GetCaps(DeviceDesc& desc)
{
    if (FakeBackend* fake = Fake())
        fake->Record("GetDeviceCaps");
    if (HRESULT hr = Result("GetDeviceCaps"); Failed(hr))
        return hr;
    desc = m_desc;
    return DD_OK;
}

HRESULT FakeDevice::EnumTextureFormats(std::vector<PixelFormat>& formats)
{
    FakeBackend* fake = Fake();
    if (fake)
        fake->Record("EnumTextureFormats");
    if (HRESULT hr = Result("EnumTextureFormats"); Failed(hr))
        return hr;
    formats = fake ? fake->textureFormats : std::vector<PixelFormat>{};
    return DD_OK;
}

HRESULT FakeDevice::SetRenderState(RenderState state, uint32_t value)
{
    if (FakeBackend* fake = Fake())
        fake->Record(Printf("SetRenderState %s %s", RenderStateName(state), StateValue(value).c_str()));
    if (HRESULT hr = Result("SetRenderState"); Failed(hr))
        return hr;
    renderStates[state] = value;
    return DD_OK;
}

HRESULT FakeDevice::SetTextureStageState(int stage, TextureStageState state, uint32_t value)
{
    if (FakeBackend* fake = Fake())
        fake->Record(Printf("SetTextureStageState %d %s %s", stage, TextureStageStateName(state),
                            StateValue(value).c_str()));
    if (HRESULT hr = Result("SetTextureStageState"); Failed(hr))
        return hr;
    stageStates[{stage, state}] = value;
    return DD_OK;
}

HRESULT FakeDevice::SetMaterial(const Material& m)
{
    if (FakeBackend* fake = Fake())
        fake->Record("SetMaterial");
    if (HRESULT hr = Result("SetMaterial"); Failed(hr))
        return hr;
    material = m;
    materialSet = true;
    return DD_OK;
}

HRESULT FakeDevice::SetProjection(const float matrix[16])
{
    if (FakeBackend* fake = Fake())
        fake->Record("SetProjection");
    if (HRESULT hr = Result("SetProjection"); Failed(hr))
        return hr;
    std::copy(matrix, matrix + 16, projection.begin());
    return DD_OK;
}

HRESULT FakeDevice::SetClipPlane(int index, const float plane[4])
{
    if (FakeBackend* fake = Fake())
        fake->Record(Printf("SetClipPlane %d %g %g %g %g", index, plane[0], plane[1], plane[2], plane[3]));
    if (HRESULT hr = Result("SetClipPlane"); Failed(hr))
        return hr;
    if (index < 0 || index >= static_cast<int>(clipPlanes.size()))
        return DDERR_INVALIDPARAMS;
    std::copy(plane, plane + 4, clipPlanes[index].begin());
    return DD_OK;
}

HRESULT FakeDevice::Clear(uint32_t argb)
{
    if (FakeBackend* fake = Fake())
        fake->Record(Printf("Clear 0x%08X", argb));
    if (HRESULT hr = Result("Clear"); Failed(hr))
        return hr;
    ++clearCount;
    if (auto* target = dynamic_cast<FakeSurface*>(m_target.get()))
        for (int y = 0; y < target->Height(); ++y)
            for (int x = 0; x < target->Width(); ++x)
                target->SetPixelAt(x, y, argb);
    return DD_OK;
}

HRESULT FakeDevice::BeginScene()
{
    if (FakeBackend* fake = Fake())
        fake->Record("BeginScene");
    if (HRESULT hr = Result("BeginScene"); Failed(hr))
        return hr;
    ++beginSceneCount;
    inScene = true;
    return DD_OK;
}

HRESULT FakeDevice::EndScene()
{
    if (FakeBackend* fake = Fake())
        fake->Record("EndScene");
    if (HRESULT hr = Result("EndScene"); Failed(hr))
        return hr;
    ++endSceneCount;
    inScene = false;
    return DD_OK;
}

HRESULT FakeDevice::SetTexture(Surface* surface)
{
    auto* fakeTexture = dynamic_cast<FakeSurface*>(surface);
    FakeBackend* fake = Fake();
    if (fake)
        fake->Record("SetTexture " + (fakeTexture ? fakeTexture->Name() : std::string("null")));
    if (HRESULT hr = Result("SetTexture"); Failed(hr))
        return hr;
    texture = fakeTexture;
    // Holds the texture while it is set, as the device would.
    m_textureRef.reset();
    if (fake && fakeTexture)
        for (const FakeSurfacePtr& live : fake->Surfaces())
            if (live.get() == fakeTexture)
                m_textureRef = live;
    return DD_OK;
}

void FakeDevice::RecordDraw(Prim type, const Vertex* vertices, int count, const uint16_t* indices,
                            int indexCount)
{
    FakeDraw draw;
    draw.type = type;
    draw.indexed = indices != nullptr;
    if (vertices && count > 0)
        draw.vertices.assign(vertices, vertices + count);
    if (indices && indexCount > 0)
        draw.indices.assign(indices, indices + indexCount);
    draw.texture = texture;
    draw.textureName = texture ? texture->Name() : "null";
    draw.clipPlaneEnable = RenderStateValue(RenderState::ClipPlaneEnable);
    draw.minFilter = TextureStageValue(0, TextureStageState::MinFilter);
    draw.magFilter = TextureStageValue(0, TextureStageState::MagFilter);
    for (int i = 0; i < 4; ++i)
        draw.clipPlanes[i] = clipPlanes[i];
    draws.push_back(std::move(draw));
}

HRESULT FakeDevice::DrawPrimitive(Prim type, const Vertex* vertices, int count)
{
    if (FakeBackend* fake = Fake())
        fake->Record(Printf("DrawPrimitive %s %d", PrimName(type), count));
    if (HRESULT hr = Result("DrawPrimitive"); Failed(hr))
        return hr;
    RecordDraw(type, vertices, count, nullptr, 0);
    return DD_OK;
}

HRESULT FakeDevice::DrawIndexedPrimitive(Prim type, const Vertex* vertices, int vertexCount,
                                         const uint16_t* indices, int indexCount)
{
    if (FakeBackend* fake = Fake())
        fake->Record(Printf("DrawIndexedPrimitive %s %d %d", PrimName(type), vertexCount, indexCount));
    if (HRESULT hr = Result("DrawIndexedPrimitive"); Failed(hr))
        return hr;
    if (!indices)
        return DDERR_INVALIDPARAMS;
    RecordDraw(type, vertices, vertexCount, indices, indexCount);
    return DD_OK;
}

// ---- the driver ----

class FakeDriver : public Driver
{
public:
    FakeDriver(FakeBackend* fake, FakeDriverSpec setup)
        : m_fake(fake), m_fakeAlive(fake->m_alive), m_spec(std::move(setup))
    {
    }

    HRESULT GetCaps(DriverCaps& caps) override
    {
        Record("GetCaps");
        if (HRESULT hr = Result("GetCaps"); Failed(hr))
            return hr;
        if (Failed(m_spec.capsResult))
            return m_spec.capsResult;
        caps = m_spec.caps;
        return DD_OK;
    }

    HRESULT GetDeviceIdentifier(DeviceIdentifier& id) override
    {
        Record("GetDeviceIdentifier");
        if (HRESULT hr = Result("GetDeviceIdentifier"); Failed(hr))
            return hr;
        id = m_spec.identifier;
        return DD_OK;
    }

    HRESULT EnumDisplayModes(std::vector<ModeDesc>& modes) override
    {
        Record("EnumDisplayModes");
        if (HRESULT hr = Result("EnumDisplayModes"); Failed(hr))
            return hr;
        modes = m_spec.modes;
        return DD_OK;
    }

    HRESULT QueryDirect3D() override
    {
        Record("QueryDirect3D");
        if (HRESULT hr = Result("QueryDirect3D"); Failed(hr))
            return hr;
        return m_spec.hasDirect3D ? DD_OK : DDERR_GENERIC;
    }

    HRESULT EnumDevices(std::vector<DeviceDesc>& devices) override
    {
        Record("EnumDevices");
        if (HRESULT hr = Result("EnumDevices"); Failed(hr))
            return hr;
        if (!m_spec.hasDirect3D)
            return DDERR_GENERIC;
        devices = m_spec.devices;
        return DD_OK;
    }

    HRESULT SetCooperativeLevel(WindowHandle, uint32_t flags) override
    {
        Record(Printf("SetCooperativeLevel 0x%X", flags));
        return Result("SetCooperativeLevel");
    }

    HRESULT GetDisplayModeBits(int& bits) override
    {
        Record("GetDisplayModeBits");
        if (HRESULT hr = Result("GetDisplayModeBits"); Failed(hr))
            return hr;
        FakeBackend* fake = Fake();
        bits = fake ? fake->desktopBits : 32;
        return DD_OK;
    }

    HRESULT SetDisplayMode(int width, int height, int bits) override
    {
        Record(Printf("SetDisplayMode %dx%dx%d", width, height, bits));
        if (HRESULT hr = Result("SetDisplayMode"); Failed(hr))
            return hr;
        m_modeWidth = width;
        m_modeHeight = height;
        return DD_OK;
    }

    HRESULT CreatePrimary(bool fullscreen, SurfacePtr& primary) override
    {
        Record(fullscreen ? "CreatePrimary fullscreen" : "CreatePrimary windowed");
        if (HRESULT hr = Result("CreatePrimary"); Failed(hr))
            return hr;
        FakeBackend* fake = Fake();
        if (!fake)
            return DDERR_GENERIC;
        int width = fake->clientWidth;
        int height = fake->clientHeight;
        if (fullscreen && m_modeWidth > 0)
        {
            width = m_modeWidth;
            height = m_modeHeight;
        }
        FakeSurfacePtr surface = fake->MakeSurface("primary", width, height, BufferFormat());
        if (fullscreen)
            surface->m_attachedBackBuffer = fake->MakeSurface("backbuffer", width, height, BufferFormat());
        primary = surface;
        return DD_OK;
    }

    HRESULT ClipPrimaryToWindow(Surface* primary, WindowHandle) override
    {
        auto* surface = dynamic_cast<FakeSurface*>(primary);
        Record("ClipPrimaryToWindow " + (surface ? surface->Name() : std::string("null")));
        if (HRESULT hr = Result("ClipPrimaryToWindow"); Failed(hr))
            return hr;
        if (!surface)
            return DDERR_INVALIDPARAMS;
        surface->clippedToWindow = true;
        return DD_OK;
    }

    HRESULT CreateOffscreen(int width, int height, uint32_t caps, SurfacePtr& surface) override
    {
        Record(Printf("CreateOffscreen %dx%d 0x%X", width, height, caps));
        if (HRESULT hr = Result("CreateOffscreen"); Failed(hr))
            return hr;
        FakeBackend* fake = Fake();
        if (!fake)
            return DDERR_GENERIC;
        const bool renderTarget = (caps & DDSCAPS_3DDEVICE) != 0;
        FakeSurfacePtr made = fake->MakeSurface(renderTarget ? "backbuffer" : "screen", width, height,
                                                renderTarget ? BufferFormat() : fake->screenFormat);
        made->caps = caps;
        surface = made;
        return DD_OK;
    }

    HRESULT CreateTexture(int width, int height, const PixelFormat& format, bool managed,
                          SurfacePtr& texture) override
    {
        Record(Printf("CreateTexture %dx%d %s", width, height, managed ? "managed" : "system"));
        if (HRESULT hr = Result("CreateTexture"); Failed(hr))
            return hr;
        FakeBackend* fake = Fake();
        if (!fake)
            return DDERR_GENERIC;
        if (width <= 0 || height <= 0)
            return DDERR_INVALIDPARAMS;
        FakeSurfacePtr made = fake->MakeSurface("texture", width, height, format);
        made->managed = managed;
        texture = made;
        return DD_OK;
    }

    HRESULT CreateDevice(DeviceKind kind, const SurfacePtr& target, DevicePtr& device) override
    {
        auto* surface = dynamic_cast<FakeSurface*>(target.get());
        Record(
            Printf("CreateDevice %s %s", DeviceKindName(kind), surface ? surface->Name().c_str() : "null"));
        if (HRESULT hr = Result("CreateDevice"); Failed(hr))
            return hr;
        FakeBackend* fake = Fake();
        if (!fake)
            return DDERR_GENERIC;
        if (!target)
            return DDERR_INVALIDPARAMS;
        auto desc = std::find_if(m_spec.devices.begin(), m_spec.devices.end(),
                                 [kind](const DeviceDesc& d) { return d.kind == kind; });
        if (desc == m_spec.devices.end())
            return DDERR_GENERIC;
        std::shared_ptr<FakeDevice> made(new FakeDevice(fake, *desc, target));
        fake->m_device = made;
        device = made;
        return DD_OK;
    }

    HRESULT TestCooperativeLevel() override
    {
        Record("TestCooperativeLevel");
        return Result("TestCooperativeLevel");
    }

    HRESULT RestoreAllSurfaces() override
    {
        Record("RestoreAllSurfaces");
        if (HRESULT hr = Result("RestoreAllSurfaces"); Failed(hr))
            return hr;
        if (FakeBackend* fake = Fake())
            for (const FakeSurfacePtr& surface : fake->Surfaces())
                surface->lost = false;
        return DD_OK;
    }

private:
    FakeBackend* Fake() const { return *m_fakeAlive ? m_fake : nullptr; }
    void Record(std::string line)
    {
        if (FakeBackend* fake = Fake())
            fake->Record(std::move(line));
    }
    HRESULT Result(const char* call)
    {
        FakeBackend* fake = Fake();
        return fake ? fake->NextResult(call) : DD_OK;
    }

    FakeBackend* m_fake;
    std::shared_ptr<const bool> m_fakeAlive;
    FakeDriverSpec m_spec;
    int m_modeWidth = 0;
    int m_modeHeight = 0;
};

// ---- the back end ----

FakeBackend::FakeBackend() : m_previous(GetInstalledBackend()), m_alive(std::make_shared<bool>(true))
{
    SetBackend(this);
}

FakeBackend::~FakeBackend()
{
    *m_alive = false;
    if (GetInstalledBackend() == this)
        SetBackend(m_previous);
}

std::vector<DriverInfo> FakeBackend::EnumerateDrivers()
{
    Record("EnumerateDrivers");
    std::vector<DriverInfo> infos;
    for (const FakeDriverSpec& setup : drivers)
        infos.push_back(setup.info);
    return infos;
}

HRESULT FakeBackend::CreateDriver(const DriverInfo* info, DriverPtr& driver)
{
    Record(info ? Printf("CreateDriver %d", info->id) : std::string("CreateDriver primary"));
    if (HRESULT hr = NextResult("CreateDriver"); Failed(hr))
        return hr;
    auto setup = std::find_if(drivers.begin(), drivers.end(),
                              [info](const FakeDriverSpec& s)
                              { return info ? s.info.id == info->id : s.info.primary; });
    if (setup == drivers.end())
        return DDERR_INVALIDPARAMS;
    if (Failed(setup->createResult))
        return setup->createResult;
    driver = std::make_shared<FakeDriver>(this, *setup);
    return DD_OK;
}

void FakeBackend::GetClientSize(WindowHandle, int& width, int& height)
{
    Record("GetClientSize");
    width = clientWidth;
    height = clientHeight;
}

bool FakeBackend::IsIconic(WindowHandle)
{
    Record("IsIconic");
    return iconic;
}

void FakeBackend::Script(const std::string& call, std::vector<HRESULT> results)
{
    std::deque<HRESULT>& queue = m_scripts[call];
    queue.insert(queue.end(), results.begin(), results.end());
}

HRESULT FakeBackend::NextResult(const std::string& call)
{
    auto it = m_scripts.find(call);
    if (it == m_scripts.end() || it->second.empty())
        return DD_OK;
    const HRESULT hr = it->second.front();
    it->second.pop_front();
    return hr;
}

int FakeBackend::PendingResults() const
{
    int count = 0;
    for (const auto& [name, queue] : m_scripts)
        count += static_cast<int>(queue.size());
    return count;
}

std::string FakeBackend::CallText() const
{
    std::string text;
    for (const std::string& line : calls)
        text += line + "\n";
    return text;
}

int FakeBackend::Count(const std::string& prefix) const
{
    return static_cast<int>(std::count_if(calls.begin(), calls.end(),
                                          [&](const std::string& line) { return line.starts_with(prefix); }));
}

int FakeBackend::Find(const std::string& prefix, int from) const
{
    for (int i = std::max(0, from); i < static_cast<int>(calls.size()); ++i)
        if (calls[i].starts_with(prefix))
            return i;
    return -1;
}

void FakeBackend::Record(std::string line)
{
    calls.push_back(std::move(line));
}

std::vector<FakeSurfacePtr> FakeBackend::Surfaces() const
{
    std::vector<FakeSurfacePtr> live;
    for (const std::weak_ptr<FakeSurface>& weak : m_surfaces)
        if (FakeSurfacePtr surface = weak.lock())
            live.push_back(surface);
    return live;
}

FakeSurfacePtr FakeBackend::LastSurface(const std::string& kind) const
{
    std::vector<FakeSurfacePtr> live = Surfaces();
    for (auto it = live.rbegin(); it != live.rend(); ++it)
        if ((*it)->Kind() == kind)
            return *it;
    return nullptr;
}

std::shared_ptr<FakeDevice> FakeBackend::LastDevice() const
{
    return m_device.lock();
}

void FakeBackend::LoseAllSurfaces()
{
    for (const FakeSurfacePtr& surface : Surfaces())
        surface->lost = true;
}

FakeSurfacePtr FakeBackend::MakeSurface(const std::string& kind, int width, int height,
                                        const PixelFormat& format)
{
    // Drop the records of surfaces already gone, so long tests do not grow the list.
    std::erase_if(m_surfaces, [](const std::weak_ptr<FakeSurface>& weak) { return weak.expired(); });
    FakeSurfacePtr surface(new FakeSurface(this, kind, width, height, format));
    m_surfaces.push_back(surface);
    return surface;
}

} // namespace Kestrin::Shim::DirectDraw
