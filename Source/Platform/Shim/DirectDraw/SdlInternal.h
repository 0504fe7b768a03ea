#pragma once
// What the files of the SDL back end share: the renderer context of one driver object and the
// surface base class.
#include "Platform/Shim/DirectDraw/SdlBackend.h"

#include <SDL2/SDL.h>

#include <atomic>
#include <memory>
#include <vector>

namespace Kestrin::Shim::DirectDraw::Sdl
{

class SdlSurface;

// The renderer of one driver object and its window. Surfaces and devices hold it, so they may outlive
// the driver: once it is closed they are inert and answer DDERR_SURFACELOST.
class Context
{
public:
    Context() = default;
    ~Context();
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;

    // Creates the renderer for the window (an accelerated one first when preferred).
    HRESULT Attach(SDL_Window* window, bool preferAccelerated);
    // Destroys the renderer (and with it every SDL texture); surfaces forget their handles.
    void Close();

    SDL_Window* Window() const { return m_window; }
    SDL_Renderer* Renderer() const { return m_renderer; }
    bool Alive() const { return m_renderer != nullptr; }

    // Bumped by every reset SDL reports; GPU surfaces are lost while their epoch is older.
    uint32_t ResetEpoch() const { return m_resetEpoch.load(); }
    bool FocusLost() const { return m_focusLost.load(); }
    bool exclusive = false;

    // Makes the texture the render target unless it already is.
    bool UseTarget(SDL_Texture* texture);
    // Shows the back buffer: stretched over the whole output, or letterboxed.
    HRESULT Present(SdlSurface& backBuffer, bool letterbox);

    void Register(SdlSurface* surface);
    void Unregister(SdlSurface* surface);
    HRESULT RestoreAll();

private:
    static int SDLCALL Watch(void* self, SDL_Event* event);

    SDL_Window* m_window = nullptr;
    Uint32 m_windowId = 0;
    SDL_Renderer* m_renderer = nullptr;
    bool m_watching = false;
    std::atomic<uint32_t> m_resetEpoch{0};
    std::atomic<bool> m_focusLost{false};
    std::vector<SdlSurface*> m_surfaces;
};
using ContextPtr = std::shared_ptr<Context>;

enum class SurfaceKind
{
    Primary,
    Target,  // a back buffer: render-target texture
    Texture, // static texture, written through a lock
    Memory,  // the software screen surface
};

class SdlSurface : public Surface, public std::enable_shared_from_this<SdlSurface>
{
public:
    SdlSurface(ContextPtr context, SurfaceKind kind, int width, int height, const PixelFormat& format);
    ~SdlSurface() override;

    HRESULT GetDesc(SurfaceDesc& desc) override;
    HRESULT Lock(void*&, int&, bool) override { return DDERR_GENERIC; }
    HRESULT Unlock() override { return DDERR_NOTLOCKED; }
    HRESULT Restore() override;
    bool IsLost() override;
    HRESULT BltFast(int, int, Surface*) override { return DDERR_GENERIC; }
    HRESULT GetAttachedBackBuffer(std::shared_ptr<Surface>& backBuffer) override
    {
        backBuffer.reset();
        return DDERR_GENERIC;
    }
    HRESULT BltToWindow(Surface*) override { return DDERR_GENERIC; }
    HRESULT Flip() override { return DDERR_GENERIC; }
    HRESULT ReadPixels(std::vector<uint32_t>&, int&, int&) override { return DDERR_GENERIC; }

    SurfaceKind Kind() const { return m_kind; }
    const Context* Owner() const { return m_context.get(); }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    virtual SDL_Texture* Texture() const { return nullptr; }
    // The renderer is gone and freed every texture with it: drop the handles.
    virtual void Forget() {}

protected:
    // Makes the SDL resources anew after a reset; false when SDL refuses.
    virtual bool Rebuild() { return true; }

    ContextPtr m_context;
    SurfaceKind m_kind;
    int m_width;
    int m_height;
    PixelFormat m_format;
    uint32_t m_epoch;
};
using SdlSurfacePtr = std::shared_ptr<SdlSurface>;

// Surface makers; each answers the reason on failure.
HRESULT MakePrimary(const ContextPtr& context, bool fullscreen, int width, int height, SurfacePtr& out);
HRESULT MakeTarget(const ContextPtr& context, int width, int height, SdlSurfacePtr& out);
HRESULT MakeTexture(const ContextPtr& context, int width, int height, const PixelFormat& format,
                    SurfacePtr& out);
HRESULT MakeMemory(const ContextPtr& context, int width, int height, const SdlConfig& config,
                   SurfacePtr& out);
DevicePtr MakeDevice(const ContextPtr& context, SdlSurfacePtr target, const DeviceDesc& desc,
                     std::vector<PixelFormat> textureFormats);

// Rows of pixels in an RGB format of 16, 24 or 32 bits, as opaque 0xAARRGGBB words.
void ExpandToArgb(const uint8_t* source, int pitch, int width, int height, const PixelFormat& format,
                  uint32_t* out);

} // namespace Kestrin::Shim::DirectDraw::Sdl
