#include "Platform/Win32/D3D7GraphicsPlatform.h"

#include "Base/Clock.h"
#include "Base/Exceptions.h"
#include "Base/Log.h"
#include "Platform/Looper.h"
#include "Platform/Platform.h"
#include "Platform/Win32/Win32Platform.h"

#include <algorithm>
#include <new>

namespace Kestrin
{

namespace
{

using namespace Shim::DirectDraw;

void LogFailure(const char* what, HRESULT hr)
{
    LogPrintf("%s returned 0x%08X - %s\n", what, unsigned(hr), ErrorName(hr));
}

} // namespace

// ---- D3DTexture ----

D3DTexture::D3DTexture(IImage* image) : m_image(image)
{
    ComputeSizes();
}

D3DTexture::~D3DTexture() = default;

void D3DTexture::Release()
{
    if (--m_refCount <= 0)
        delete this;
}

void D3DTexture::ComputeSizes()
{
    const int width = m_image ? std::max(m_image->GetWidth(), 0) : 0;
    const int height = m_image ? std::max(m_image->GetHeight(), 0) : 0;
    m_sourceRect = {0, 0, width, height};
    m_textureWidth = m_textureHeight = 0;
    if (width > 0 && height > 0)
    {
        if (CDisplay* display = CDisplay::Get())
        {
            try
            {
                display->GetTextureSize(width, height, m_textureWidth, m_textureHeight);
            }
            catch (const engine_error&)
            {
                // No device to ask: the next Restore tries again.
                m_textureWidth = m_textureHeight = 0;
            }
        }
    }
    // An image larger than the device allows is cut to the texture.
    m_copiedWidth = std::min(width, std::max(m_textureWidth - m_destOffset.x, 0));
    m_copiedHeight = std::min(height, std::max(m_textureHeight - m_destOffset.y, 0));
    m_maxU = m_textureWidth > 0 ? std::min(1.0f, float(m_copiedWidth) / float(m_textureWidth)) : 0.0f;
    m_maxV = m_textureHeight > 0 ? std::min(1.0f, float(m_copiedHeight) / float(m_textureHeight)) : 0.0f;
}

void D3DTexture::Restore()
{
    m_surface.reset();
    CDisplay* display = CDisplay::Get();
    Device* device = display ? display->GetDevice() : nullptr;
    Driver* directDraw = display ? display->GetDirectDraw() : nullptr;
    if (!m_image || !device || !directDraw)
        return;

    DeviceDesc caps;
    if (HRESULT hr = device->GetCaps(caps); Failed(hr))
    {
        LogFailure("TextureContainer::Restore - IDirect3DDevice7::GetCaps", hr);
        return;
    }
    // The image may have been loaded anew at another size, or the display set up again on a
    // device with other texture limits, since the texture was made.
    ComputeSizes();
    // An empty image (a failed load, an empty caret frame) has nothing to upload.
    if (m_copiedWidth <= 0 || m_copiedHeight <= 0)
        return;

    const bool managed = caps.kind == DeviceKind::Hal || caps.kind == DeviceKind::TnLHal;
    const Image* engineImage = dynamic_cast<const Image*>(m_image);
    const bool hasAlpha = !engineImage || engineImage->hasAlpha;
    const PixelFormat& opaque = display->GetOpaqueTextureFormat();
    const PixelFormat& format = (opaque.bits == 0 || hasAlpha) ? display->GetAlphaTextureFormat() : opaque;

    SurfacePtr surface;
    if (HRESULT hr = directDraw->CreateTexture(m_textureWidth, m_textureHeight, format, managed, surface);
        Failed(hr) || !surface)
    {
        LogFailure("TextureContainer::Restore - IDirectDraw7::CreateSurface",
                   Failed(hr) ? hr : DDERR_GENERIC);
        return;
    }

    void* bits = nullptr;
    int pitch = 0;
    if (HRESULT hr = surface->Lock(bits, pitch, true); Failed(hr) || !bits)
    {
        LogFailure("D3DTexture::RebuildSurface - IDirectDrawSurface7::Lock", Failed(hr) ? hr : DDERR_GENERIC);
        return;
    }

    // Copy what fits, then repeat the last column and row into the padding, so that filtering at
    // the right and bottom edges repeats the edge instead of blending with empty texels.
    const int x0 = m_destOffset.x, y0 = m_destOffset.y;
    const uint32_t* pixels = engineImage ? engineImage->Pixels() : nullptr;
    auto rowAt = [&](int y)
    { return reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(bits) + size_t(y) * pitch); };
    for (int y = 0; y < m_copiedHeight; ++y)
    {
        uint32_t* row = rowAt(y0 + y);
        if (pixels)
            std::copy_n(pixels + size_t(y) * size_t(m_image->GetWidth()), m_copiedWidth, row + x0);
        else
            for (int x = 0; x < m_copiedWidth; ++x)
                row[x0 + x] = m_image->GetPixel(x, y);
        std::fill(row + x0 + m_copiedWidth, row + m_textureWidth, row[x0 + m_copiedWidth - 1]);
    }
    const uint32_t* lastRow = rowAt(y0 + m_copiedHeight - 1);
    for (int y = y0 + m_copiedHeight; y < m_textureHeight; ++y)
        std::copy_n(lastRow + x0, m_textureWidth - x0, rowAt(y) + x0);

    if (HRESULT hr = surface->Unlock(); Failed(hr))
        LogFailure("D3DTexture::RebuildSurface - IDirectDrawSurface7::Unlock", hr);
    m_surface = std::move(surface);
}

// ---- D3D7GraphicsPlatform ----

D3D7GraphicsPlatform::D3D7GraphicsPlatform()
{
    SetGraphicsPlatform(this);
}

D3D7GraphicsPlatform::~D3D7GraphicsPlatform() = default;

void D3D7GraphicsPlatform::GetName(NameId& name)
{
    static constinit ConstantName platformName{"D3D7"};
    name = platformName;
}

void D3D7GraphicsPlatform::Initialize(const DisplaySettings& settings)
{
    IPlatform* platform = GetPlatform();
    if (!platform)
        throw engine_error(KESTRIN_HERE, "Using D3D7 Graphics platform on non-win32 platform.");
    CDisplay* display = CDisplay::Get();
    if (!display)
        throw engine_error(KESTRIN_HERE, "No display for D3D7 graphics platform.");

    auto* window = static_cast<WindowHandle>(platform->GetDisplayWindow());
    if (settings.windowMode == WindowMode_FullScreen)
        display->SetupFullscreen(window, settings.width, settings.height, 32);
    else
        display->SetupWindowed(window, settings.width, settings.height);
    if (!display->UsesD3D() || !display->GetDevice())
        throw engine_error(KESTRIN_HERE, "Could not initialize D3D7");
    m_canvas.ResetBounds();

    Device& device = *display->GetDevice();
    device.SetRenderState(RenderState::CullMode, D3DCULL_NONE);
    device.SetRenderState(RenderState::DitherEnable, 0);
    device.SetRenderState(RenderState::Clipping, 1);
    device.SetRenderState(RenderState::ShadeMode, D3DSHADE_GOURAUD);
    device.SetRenderState(RenderState::LastPixel, 0);
    device.SetRenderState(RenderState::FogEnable, 0);
    device.SetRenderState(RenderState::SpecularEnable, 0);
    device.SetRenderState(RenderState::EdgeAntialias, 0);
    device.SetRenderState(RenderState::ColorKeyEnable, 0);
    device.SetRenderState(RenderState::StencilEnable, 0);
    device.SetRenderState(RenderState::LocalViewer, 1);
    device.SetRenderState(RenderState::NormalizeNormals, 1);
    device.SetRenderState(RenderState::ColorKeyBlendEnable, 0);
    device.SetRenderState(RenderState::ClipPlaneEnable, 0);
    device.SetRenderState(RenderState::ColorVertex, 1);
    device.SetRenderState(RenderState::Lighting, 0);
    device.SetRenderState(RenderState::Ambient, 0xFFFFFFFF);
    device.SetRenderState(RenderState::ZEnable, 0);
    device.SetRenderState(RenderState::ZWriteEnable, 0);
    device.SetTextureStageState(0, TextureStageState::Address, D3DTADDRESS_CLAMP);
    device.SetRenderState(RenderState::AlphaBlendEnable, 1);
    device.SetRenderState(RenderState::SrcBlend, D3DBLEND_SRCALPHA);
    device.SetRenderState(RenderState::DestBlend, D3DBLEND_INVSRCALPHA);
    device.SetTextureStageState(0, TextureStageState::AlphaOp, D3DTOP_MODULATE);
    device.SetTextureStageState(0, TextureStageState::AlphaArg1, D3DTA_TEXTURE);
    device.SetTextureStageState(0, TextureStageState::AlphaArg2, D3DTA_DIFFUSE);
    display->ApplyPendingState();
    display->RestoreAllResources();
}

void D3D7GraphicsPlatform::Shutdown()
{
    CDisplay* display = CDisplay::Get();
    if (!display)
        throw engine_error(KESTRIN_HERE, "No display for D3D graphics platform.");
    display->Shutdown();
}

int D3D7GraphicsPlatform::BeginFrame()
{
    CDisplay* display = CDisplay::Get();
    if (!display || !display->GetDirectDraw())
        return 1;
    if (GetBackend().IsIconic(display->GetWindow()))
    {
        GetClock().Sleep(50);
        return 1;
    }
    const HRESULT hr = display->GetDirectDraw()->TestCooperativeLevel();
    if (hr == DDERR_EXCLUSIVEMODEALREADYSET || hr == DDERR_NOEXCLUSIVEMODE)
    {
        // Another program owns the screen.
        GetClock().Sleep(50);
        return 1;
    }
    if (Failed(hr))
        throw com_error(KESTRIN_HERE, hr, "TestCooperativeLevel failed");
    display->ClearBackBuffer();
    if (display->UsesD3D() && display->GetDevice())
        if (HRESULT begin = display->GetDevice()->BeginScene(); Failed(begin))
            throw com_error(KESTRIN_HERE, begin, "BeginScene failed");
    m_canvas.BeginFrame();
    return 0;
}

int D3D7GraphicsPlatform::EndFrame()
{
    IPlatform* platform = GetPlatform();
    Looper* looper = Looper::Current();
    if (platform && looper && platform->IsActive() && m_cursorVisible && looper->GetLastMouseX() >= 0 &&
        looper->GetLastMouseY() >= 0)
        Graphics::DrawImage(float(looper->GetLastMouseX() - m_hotSpot.x),
                            float(looper->GetLastMouseY() - m_hotSpot.y), Graphics::GetCurrentCanvas(),
                            m_cursorImage, Graphics::CurrentDrawState());
    m_canvas.EndFrame();

    CDisplay* display = CDisplay::Get();
    if (!display)
        return 1;
    const HRESULT hr = display->Present();
    if (hr == DDERR_SURFACELOST)
    {
        // Leaving full screen or a device reset: the display restored its primary and back buffer;
        // texture contents may be gone too, so every texture rebuilds from its image on next use.
        LogPrintf("D3D7GraphicsPlatform::EndFrame - surface lost, frame skipped\n");
        display->ReleaseAllResources();
        return 1;
    }
    if (Failed(hr))
        throw com_error(KESTRIN_HERE, hr, "EndScene failed");
    return 0;
}

ITexture* D3D7GraphicsPlatform::CreateTexture(IImage* image)
{
    return new (std::nothrow) D3DTexture(image);
}

void D3D7GraphicsPlatform::SetCustomCursorEnabled(bool enabled)
{
    m_cursorVisible = enabled;
    RefreshWindowCursor();
}

D3DTexture* D3D7GraphicsPlatform::GetTextureForImage(IImage* image)
{
    if (!image)
        return nullptr;
    if (ITexture* surface = image->GetSurface())
        return dynamic_cast<D3DTexture*>(surface);
    Image* engineImage = dynamic_cast<Image*>(image);
    if (!engineImage)
        return nullptr;
    auto* texture = new (std::nothrow) D3DTexture(image);
    if (!texture)
        return nullptr;
    image->SetSurface(texture);
    // The new texture is built from the pixels as they are now; a change flag left from before
    // would drop that surface again on the next draw.
    engineImage->dirty = false;
    texture->Release();
    return texture;
}

} // namespace Kestrin
