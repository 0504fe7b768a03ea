// The SDL back end's renderer context and surfaces: primary, back buffer (render-target texture),
// textures (static, written through a lock) and the software screen (plain memory).
#include "Platform/Shim/DirectDraw/SdlInternal.h"
#include "Platform/Shim/Win32/Window.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <vector>

namespace Kestrin::Shim::DirectDraw::Sdl
{

// ---- context ----

Context::~Context()
{
    Close();
}

HRESULT Context::Attach(SDL_Window* window, bool preferAccelerated)
{
    if (!window)
        return DDERR_INVALIDPARAMS;
    if (m_renderer)
        return window == m_window ? DD_OK : DDERR_GENERIC; // one renderer per driver object
    SDL_Renderer* renderer = nullptr;
    if (preferAccelerated)
        renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_TARGETTEXTURE);
    if (!renderer)
    {
        for (int i = 0, n = SDL_GetNumRenderDrivers(); i < n && !renderer; ++i)
        {
            SDL_RendererInfo info;
            if (SDL_GetRenderDriverInfo(i, &info) == 0 && std::strcmp(info.name, "software") == 0)
                renderer = SDL_CreateRenderer(window, i, SDL_RENDERER_TARGETTEXTURE);
        }
    }
    if (!renderer)
        renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_TARGETTEXTURE);
    if (!renderer)
        return DDERR_GENERIC;
    m_window = window;
    m_windowId = SDL_GetWindowID(window);
    m_renderer = renderer;
    m_focusLost = false;
    SDL_AddEventWatch(&Context::Watch, this);
    m_watching = true;
    return DD_OK;
}

void Context::Close()
{
    if (m_watching)
    {
        SDL_DelEventWatch(&Context::Watch, this);
        m_watching = false;
    }
    if (!m_renderer)
        return;
    for (SdlSurface* surface : m_surfaces)
        surface->Forget();
    // SDL leaks a little when the renderer goes while a texture is its target.
    SDL_SetRenderTarget(m_renderer, nullptr);
    SDL_DestroyRenderer(m_renderer);
    m_renderer = nullptr;
}

int SDLCALL Context::Watch(void* self, SDL_Event* event)
{
    auto* context = static_cast<Context*>(self);
    switch (event->type)
    {
    case SDL_RENDER_TARGETS_RESET:
    case SDL_RENDER_DEVICE_RESET:
        // SDL does not say which renderer; every one of ours redraws and rebuilds.
        ++context->m_resetEpoch;
        break;
    case SDL_WINDOWEVENT:
        // By id: the watch may see events after the window is gone.
        if (event->window.windowID == context->m_windowId)
        {
            if (event->window.event == SDL_WINDOWEVENT_FOCUS_LOST)
                context->m_focusLost = true;
            else if (event->window.event == SDL_WINDOWEVENT_FOCUS_GAINED)
                context->m_focusLost = false;
        }
        break;
    default:
        break;
    }
    return 0;
}

bool Context::UseTarget(SDL_Texture* texture)
{
    if (!m_renderer || !texture)
        return false;
    if (SDL_GetRenderTarget(m_renderer) == texture)
        return true;
    return SDL_SetRenderTarget(m_renderer, texture) == 0;
}

HRESULT Context::Present(SdlSurface& backBuffer, bool letterbox)
{
    SDL_Texture* texture = backBuffer.Texture();
    if (!m_renderer || !texture)
        return DDERR_SURFACELOST;
    if (SDL_SetRenderTarget(m_renderer, nullptr) != 0)
        return DDERR_GENERIC;
    SDL_RenderSetClipRect(m_renderer, nullptr);
    // The output size is in pixels, which differs from the window size on HiDPI screens.
    int outW = 0, outH = 0;
    SDL_GetRendererOutputSize(m_renderer, &outW, &outH);
    Rect<int> area = PresentationRect(outW, outH, backBuffer.Width(), backBuffer.Height(), letterbox);
    SDL_Rect dest{area.x, area.y, area.w, area.h};
    // Only the bars around the picture are cleared: the picture covers the rest.
    const SDL_Rect bars[4] = {{0, 0, outW, std::max(0, dest.y)},
                              {0, dest.y + dest.h, outW, std::max(0, outH - dest.y - dest.h)},
                              {0, dest.y, std::max(0, dest.x), dest.h},
                              {dest.x + dest.w, dest.y, std::max(0, outW - dest.x - dest.w), dest.h}};
    SDL_SetRenderDrawColor(m_renderer, 0, 0, 0, 255);
    SDL_SetRenderDrawBlendMode(m_renderer, SDL_BLENDMODE_NONE);
    for (const SDL_Rect& bar : bars)
        if (bar.w > 0 && bar.h > 0)
            SDL_RenderFillRect(m_renderer, &bar);
    SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_NONE);
    SDL_SetTextureScaleMode(texture, SDL_ScaleModeLinear);
    int copied = SDL_RenderCopy(m_renderer, texture, nullptr, &dest);
    SDL_RenderPresent(m_renderer);
    int retargeted = SDL_SetRenderTarget(m_renderer, texture);
    return copied == 0 && retargeted == 0 ? DD_OK : DDERR_GENERIC;
}

void Context::Register(SdlSurface* surface)
{
    m_surfaces.push_back(surface);
}

void Context::Unregister(SdlSurface* surface)
{
    m_surfaces.erase(std::remove(m_surfaces.begin(), m_surfaces.end(), surface), m_surfaces.end());
}

HRESULT Context::RestoreAll()
{
    HRESULT result = DD_OK;
    // Restoring may not create or destroy surfaces, so the list is stable here.
    for (SdlSurface* surface : m_surfaces)
        if (surface->IsLost())
        {
            HRESULT hr = surface->Restore();
            if (Failed(hr))
                result = hr;
        }
    return result;
}

// ---- pixel expansion ----

namespace
{

// One channel of a mask: where it sits and a table from its values to 8 bits.
struct Channel
{
    int shift = 0;
    uint32_t max = 0;
    int drop = 0; // channels wider than 8 bits keep their top 8
    uint8_t table[256] = {};
};

void MakeChannel(uint32_t mask, Channel& c)
{
    if (!mask)
        return;
    c.shift = std::countr_zero(mask);
    int bits = std::popcount(mask >> c.shift);
    c.drop = bits > 8 ? bits - 8 : 0;
    bits -= c.drop;
    c.max = (1u << bits) - 1;
    // Scaled with rounding, so full intensity stays 0xFF and zero stays 0.
    for (uint32_t v = 0; v <= c.max; ++v)
        c.table[v] = uint8_t((v * 255u + c.max / 2) / c.max);
}

} // namespace

void ExpandToArgb(const uint8_t* source, int pitch, int width, int height, const PixelFormat& format,
                  uint32_t* out)
{
    // The screen's usual layout is already ours but for the unused top byte: one pass per row that
    // the compiler vectorises, instead of a table look-up per channel.
    if (format.bits == 32 && format.rMask == 0xFF0000u && format.gMask == 0xFF00u && format.bMask == 0xFFu)
    {
        for (int y = 0; y < height; ++y)
        {
            const uint8_t* row = source + size_t(y) * size_t(pitch);
            uint32_t* o = out + size_t(y) * size_t(width);
            std::memcpy(o, row, size_t(width) * 4);
            for (int x = 0; x < width; ++x)
                o[x] |= 0xFF000000u;
        }
        return;
    }
    Channel r, g, b;
    MakeChannel(format.rMask, r);
    MakeChannel(format.gMask, g);
    MakeChannel(format.bMask, b);
    const int bytes = int(format.bits / 8);
    auto channel = [](uint32_t v, const Channel& c) -> uint32_t
    { return c.max ? c.table[((v >> c.shift) >> c.drop) & c.max] : 0; };
    for (int y = 0; y < height; ++y)
    {
        const uint8_t* p = source + size_t(y) * size_t(pitch);
        uint32_t* o = out + size_t(y) * size_t(width);
        for (int x = 0; x < width; ++x, p += bytes)
        {
            uint32_t v;
            if (bytes == 2)
                v = uint32_t(p[0]) | uint32_t(p[1]) << 8;
            else if (bytes == 3)
                v = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16;
            else
                std::memcpy(&v, p, 4);
            o[x] = 0xFF000000u | channel(v, r) << 16 | channel(v, g) << 8 | channel(v, b);
        }
    }
}

// ---- surfaces ----

SdlSurface::SdlSurface(ContextPtr context, SurfaceKind kind, int width, int height, const PixelFormat& format)
    : m_context(std::move(context)), m_kind(kind), m_width(width), m_height(height), m_format(format),
      m_epoch(m_context->ResetEpoch())
{
    m_context->Register(this);
}

SdlSurface::~SdlSurface()
{
    m_context->Unregister(this);
}

HRESULT SdlSurface::GetDesc(SurfaceDesc& desc)
{
    desc.width = m_width;
    desc.height = m_height;
    desc.format = m_format;
    return DD_OK;
}

bool SdlSurface::IsLost()
{
    return !m_context->Alive() || m_epoch != m_context->ResetEpoch();
}

HRESULT SdlSurface::Restore()
{
    if (!m_context->Alive())
        return DDERR_SURFACELOST;
    if (m_epoch == m_context->ResetEpoch())
        return DD_OK;
    if (!Rebuild())
        return DDERR_GENERIC;
    m_epoch = m_context->ResetEpoch();
    return DD_OK;
}

namespace
{

// Why SDL refused a texture, as the set-up tells the cases apart.
HRESULT TextureFailure()
{
    return std::strstr(SDL_GetError(), "emory") ? DDERR_OUTOFVIDEOMEMORY : DDERR_GENERIC;
}

SDL_Texture* CreateTargetTexture(SDL_Renderer* renderer, int width, int height)
{
    SDL_Texture* texture =
        SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET, width, height);
    if (!texture)
        return nullptr;
    // A new target holds garbage; start from opaque black.
    SDL_Texture* previous = SDL_GetRenderTarget(renderer);
    SDL_SetRenderTarget(renderer, texture);
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_RenderClear(renderer);
    SDL_SetRenderTarget(renderer, previous);
    return texture;
}

class TargetSurface final : public SdlSurface
{
public:
    TargetSurface(ContextPtr context, int width, int height, SDL_Texture* texture)
        : SdlSurface(std::move(context), SurfaceKind::Target, width, height, XrgbFormat()), m_texture(texture)
    {
    }
    ~TargetSurface() override
    {
        if (m_context->Alive())
        {
            if (m_texture)
                SDL_DestroyTexture(m_texture);
            if (m_upload)
                SDL_DestroyTexture(m_upload);
        }
    }
    SDL_Texture* Texture() const override { return m_texture; }
    void Forget() override { m_texture = m_upload = nullptr; }

    HRESULT BltFast(int x, int y, Surface* source) override;
    HRESULT ReadPixels(std::vector<uint32_t>& argb, int& width, int& height) override;

protected:
    bool Rebuild() override
    {
        SDL_Renderer* renderer = m_context->Renderer();
        bool wasTarget = m_texture && SDL_GetRenderTarget(renderer) == m_texture;
        SDL_Texture* fresh = CreateTargetTexture(renderer, m_width, m_height);
        if (!fresh)
            return false;
        if (m_texture)
            SDL_DestroyTexture(m_texture);
        if (m_upload)
            SDL_DestroyTexture(m_upload);
        m_upload = nullptr;
        m_texture = fresh;
        if (wasTarget)
            SDL_SetRenderTarget(renderer, m_texture);
        return true;
    }

private:
    SDL_Texture* m_texture;
    SDL_Texture* m_upload = nullptr; // the software screen, as it is or expanded to ARGB
    int m_uploadW = 0;
    int m_uploadH = 0;
    uint32_t m_uploadFormat = 0;
    std::vector<uint32_t> m_expanded;
};

class MemorySurface final : public SdlSurface
{
public:
    MemorySurface(ContextPtr context, int width, int height, const PixelFormat& format)
        : SdlSurface(std::move(context), SurfaceKind::Memory, width, height, format),
          m_pitch((width * int(format.bits / 8) + 3) & ~3), m_bits(size_t(m_pitch) * size_t(height))
    {
    }
    HRESULT Lock(void*& bits, int& pitch, bool) override
    {
        if (m_locked)
            return DDERR_GENERIC;
        m_locked = true;
        bits = m_bits.data();
        pitch = m_pitch;
        return DD_OK;
    }
    HRESULT Unlock() override
    {
        if (!m_locked)
            return DDERR_NOTLOCKED;
        m_locked = false;
        return DD_OK;
    }
    // System memory is never lost.
    bool IsLost() override { return false; }
    HRESULT Restore() override { return DD_OK; }
    HRESULT ReadPixels(std::vector<uint32_t>& argb, int& width, int& height) override
    {
        argb.resize(size_t(m_width) * size_t(m_height));
        Expand(argb.data());
        width = m_width;
        height = m_height;
        return DD_OK;
    }
    void Expand(uint32_t* out) const
    {
        ExpandToArgb(m_bits.data(), m_pitch, m_width, m_height, m_format, out);
    }
    // The screen's usual layout (32 bits, the top byte unused) is SDL's RGB888 as it stands.
    bool IsXrgb() const
    {
        return m_format.bits == 32 && m_format.rMask == 0xFF0000u && m_format.gMask == 0xFF00u &&
               m_format.bMask == 0xFFu;
    }
    const uint8_t* Bits() const { return m_bits.data(); }
    int Pitch() const { return m_pitch; }

private:
    int m_pitch;
    std::vector<uint8_t> m_bits;
    bool m_locked = false;
};

HRESULT TargetSurface::BltFast(int x, int y, Surface* source)
{
    auto* memory = dynamic_cast<MemorySurface*>(source);
    if (!memory)
        return DDERR_INVALIDPARAMS;
    if (IsLost())
        return DDERR_SURFACELOST;
    SDL_Renderer* renderer = m_context->Renderer();
    const int w = memory->Width(), h = memory->Height();
    // Uploaded as it is when SDL has its layout, which saves a pass over the frame.
    const bool direct = memory->IsXrgb();
    const uint32_t format = direct ? SDL_PIXELFORMAT_RGB888 : SDL_PIXELFORMAT_ARGB8888;
    if (!m_upload || m_uploadW != w || m_uploadH != h || m_uploadFormat != format)
    {
        if (m_upload)
            SDL_DestroyTexture(m_upload);
        m_upload = SDL_CreateTexture(renderer, format, SDL_TEXTUREACCESS_STREAMING, w, h);
        if (!m_upload)
            return DDERR_GENERIC;
        m_uploadW = w;
        m_uploadH = h;
        m_uploadFormat = format;
        SDL_SetTextureBlendMode(m_upload, SDL_BLENDMODE_NONE);
    }
    if (direct)
    {
        if (SDL_UpdateTexture(m_upload, nullptr, memory->Bits(), memory->Pitch()) != 0)
            return DDERR_GENERIC;
    }
    else
    {
        // Our own expansion: two of the 16-bit layouts have no SDL pixel format.
        m_expanded.resize(size_t(w) * size_t(h));
        memory->Expand(m_expanded.data());
        if (SDL_UpdateTexture(m_upload, nullptr, m_expanded.data(), w * 4) != 0)
            return DDERR_GENERIC;
    }
    if (!m_context->UseTarget(m_texture))
        return DDERR_GENERIC;
    SDL_RenderSetClipRect(renderer, nullptr);
    SDL_Rect dest{x, y, w, h};
    return SDL_RenderCopy(renderer, m_upload, nullptr, &dest) == 0 ? DD_OK : DDERR_GENERIC;
}

HRESULT TargetSurface::ReadPixels(std::vector<uint32_t>& argb, int& width, int& height)
{
    if (!m_context->Alive() || !m_texture)
        return DDERR_SURFACELOST;
    if (!m_context->UseTarget(m_texture))
        return DDERR_GENERIC;
    argb.resize(size_t(m_width) * size_t(m_height));
    if (SDL_RenderReadPixels(m_context->Renderer(), nullptr, SDL_PIXELFORMAT_ARGB8888, argb.data(),
                             m_width * 4) != 0)
        return DDERR_GENERIC;
    width = m_width;
    height = m_height;
    return DD_OK;
}

class TextureSurface final : public SdlSurface
{
public:
    TextureSurface(ContextPtr context, int width, int height, const PixelFormat& format, SDL_Texture* texture)
        : SdlSurface(std::move(context), SurfaceKind::Texture, width, height, format), m_texture(texture)
    {
    }
    ~TextureSurface() override
    {
        if (m_texture && m_context->Alive())
            SDL_DestroyTexture(m_texture);
    }
    SDL_Texture* Texture() const override { return m_texture; }
    void Forget() override
    {
        m_texture = nullptr;
        m_locked = false;
    }
    // The pixels go to the device at the unlock and the memory they were written in goes with
    // them: SDL keeps no copy of a static texture, and neither do we. A lock of a texture written
    // before reads its pixels back from the device first, so a lock that reads sees them and a
    // write of part of it keeps the rest; a fresh texture holds nothing yet and locks as zeros.
    HRESULT Lock(void*& bits, int& pitch, bool) override
    {
        if (IsLost() || !m_texture)
            return DDERR_SURFACELOST;
        if (m_locked)
            return DDERR_GENERIC;
        m_staging.assign(size_t(m_width) * size_t(m_height), 0u);
        if (m_written && !ReadBack())
        {
            std::vector<uint32_t>().swap(m_staging);
            return DDERR_GENERIC;
        }
        bits = m_staging.data();
        pitch = m_width * 4;
        m_locked = true;
        return DD_OK;
    }
    HRESULT Unlock() override
    {
        if (!m_locked)
            return DDERR_NOTLOCKED;
        m_locked = false;
        const bool sent = SDL_UpdateTexture(m_texture, nullptr, m_staging.data(), m_width * 4) == 0;
        std::vector<uint32_t>().swap(m_staging);
        m_written = m_written || sent;
        return sent ? DD_OK : DDERR_GENERIC;
    }

    static SDL_Texture* Create(SDL_Renderer* renderer, int width, int height, const PixelFormat& format)
    {
        // RGB888 has no alpha channel, so an opaque image's alpha bytes are ignored as X8R8G8B8 does.
        Uint32 sdlFormat =
            (format.flags & DDPF_ALPHAPIXELS) ? SDL_PIXELFORMAT_ARGB8888 : SDL_PIXELFORMAT_RGB888;
        SDL_Texture* texture =
            SDL_CreateTexture(renderer, sdlFormat, SDL_TEXTUREACCESS_STATIC, width, height);
        if (texture)
            SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_BLEND);
        return texture;
    }

protected:
    bool Rebuild() override
    {
        SDL_Texture* fresh = Create(m_context->Renderer(), m_width, m_height, m_format);
        if (!fresh)
            return false;
        m_locked = false;
        m_written = false;
        std::vector<uint32_t>().swap(m_staging);
        if (m_texture)
            SDL_DestroyTexture(m_texture);
        m_texture = fresh;
        return true;
    }

private:
    // Copies the texture texel for texel into a render target of its size and reads that into
    // the staging pixels. The renderer's target goes back as it was; the device sets the clip,
    // blending and filter again for each draw.
    bool ReadBack()
    {
        SDL_Renderer* renderer = m_context->Renderer();
        Uint32 format = 0;
        if (!renderer || SDL_QueryTexture(m_texture, &format, nullptr, nullptr, nullptr) != 0)
            return false;
        SDL_Texture* copy = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET,
                                              m_width, m_height);
        if (!copy)
            return false;
        SDL_Texture* previous = SDL_GetRenderTarget(renderer);
        SDL_SetTextureBlendMode(m_texture, SDL_BLENDMODE_NONE);
        SDL_SetTextureScaleMode(m_texture, SDL_ScaleModeNearest);
        const bool read = SDL_SetRenderTarget(renderer, copy) == 0 &&
                          SDL_RenderCopy(renderer, m_texture, nullptr, nullptr) == 0 &&
                          SDL_RenderReadPixels(renderer, nullptr, format, m_staging.data(), m_width * 4) == 0;
        SDL_SetRenderTarget(renderer, previous);
        SDL_DestroyTexture(copy);
        return read;
    }

    SDL_Texture* m_texture;
    bool m_locked = false;
    // Whether an unlock has sent pixels to the device since the texture was made.
    bool m_written = false;
    // The pixels between a lock and its unlock.
    std::vector<uint32_t> m_staging;
};

class PrimarySurface final : public SdlSurface
{
public:
    PrimarySurface(ContextPtr context, bool fullscreen, SdlSurfacePtr backBuffer)
        : SdlSurface(std::move(context), SurfaceKind::Primary, 0, 0, XrgbFormat()), m_fullscreen(fullscreen),
          m_backBuffer(std::move(backBuffer))
    {
        if (SDL_Renderer* renderer = m_context->Renderer())
            SDL_GetRendererOutputSize(renderer, &m_width, &m_height);
    }
    HRESULT GetAttachedBackBuffer(std::shared_ptr<Surface>& backBuffer) override
    {
        backBuffer = m_backBuffer;
        return m_backBuffer ? DD_OK : DDERR_GENERIC;
    }
    HRESULT Restore() override
    {
        // A flip chain restores its back buffer with it.
        HRESULT hr = SdlSurface::Restore();
        if (!Failed(hr) && m_backBuffer)
            hr = m_backBuffer->Restore();
        return hr;
    }
    HRESULT BltToWindow(Surface* backBuffer) override
    {
        if (m_fullscreen)
            return DDERR_GENERIC;
        auto* target = dynamic_cast<SdlSurface*>(backBuffer);
        if (!target || target->Kind() != SurfaceKind::Target || target->Owner() != Owner())
            return DDERR_INVALIDPARAMS;
        return Show(*target, false);
    }
    HRESULT Flip() override
    {
        if (!m_fullscreen || !m_backBuffer)
            return DDERR_GENERIC;
        return Show(*m_backBuffer, true);
    }

private:
    HRESULT Show(SdlSurface& backBuffer, bool letterbox)
    {
        if (IsLost() || backBuffer.IsLost())
            return DDERR_SURFACELOST;
        return m_context->Present(backBuffer, letterbox);
    }

    bool m_fullscreen;
    SdlSurfacePtr m_backBuffer;
};

} // namespace

HRESULT MakeTarget(const ContextPtr& context, int width, int height, SdlSurfacePtr& out)
{
    out.reset();
    if (!context->Alive())
        return DDERR_GENERIC;
    if (width <= 0 || height <= 0)
        return DDERR_INVALIDPARAMS;
    SDL_Texture* texture = CreateTargetTexture(context->Renderer(), width, height);
    if (!texture)
        return TextureFailure();
    out = std::make_shared<TargetSurface>(context, width, height, texture);
    // The back buffer is the render target for the whole frame.
    context->UseTarget(texture);
    return DD_OK;
}

HRESULT MakePrimary(const ContextPtr& context, bool fullscreen, int width, int height, SurfacePtr& out)
{
    out.reset();
    if (!context->Alive())
        return DDERR_GENERIC;
    SdlSurfacePtr backBuffer;
    if (fullscreen)
    {
        HRESULT hr = MakeTarget(context, width, height, backBuffer);
        if (Failed(hr))
            return hr;
    }
    out = std::make_shared<PrimarySurface>(context, fullscreen, std::move(backBuffer));
    return DD_OK;
}

HRESULT MakeTexture(const ContextPtr& context, int width, int height, const PixelFormat& format,
                    SurfacePtr& out)
{
    out.reset();
    if (!context->Alive())
        return DDERR_GENERIC;
    if (width <= 0 || height <= 0 || !(format.flags & DDPF_RGB) || format.bits != 32)
        return DDERR_INVALIDPARAMS;
    SDL_Texture* texture = TextureSurface::Create(context->Renderer(), width, height, format);
    if (!texture)
        return TextureFailure();
    out = std::make_shared<TextureSurface>(context, width, height, format, texture);
    return DD_OK;
}

HRESULT MakeMemory(const ContextPtr& context, int width, int height, const SdlConfig& config, SurfacePtr& out)
{
    out.reset();
    constexpr int kMaxSide = 16384;
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide)
        return DDERR_INVALIDPARAMS;
    if (config.screenBits != 16 && config.screenBits != 24 && config.screenBits != 32)
        return DDERR_INVALIDPARAMS;
    PixelFormat format{
        DDPF_RGB,           0, uint32_t(config.screenBits), config.screenRMask, config.screenGMask,
        config.screenBMask, 0};
    out = std::make_shared<MemorySurface>(context, width, height, format);
    return DD_OK;
}

} // namespace Kestrin::Shim::DirectDraw::Sdl
