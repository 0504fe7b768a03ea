#pragma once
// The hardware graphics platform: the display set up for Direct3D 7, its screen canvas, the custom
// cursor, and the device textures of images.
#include "Base/LiveCounts.h"
#include "Graphics/Image.h"
#include "Platform/GraphicsPlatform.h"
#include "Platform/Win32/CDisplay.h"
#include "Platform/Win32/ScreenCanvasD3D.h"

namespace Kestrin
{

// The device texture of one image. The image holds it (reference counted); its surface is dropped
// whenever the display releases its resources or the image's pixels change, and rebuilt on next use.
class D3DTexture : public ITexture, public DisplayResource
{
public:
    explicit D3DTexture(IImage* image);
    ~D3DTexture() override;

    void AddRef() override { ++m_refCount; }
    void Release() override;
    const Rect<int>* GetSourceRect() override { return &m_sourceRect; }
    IImage* GetImage() override { return m_image; }
    void ReleaseSurface() override { m_surface.reset(); }

    void ReleaseDeviceSurface() override { m_surface.reset(); }
    // Nothing: the surface is rebuilt on next use.
    void RestoreDeviceSurface() override {}

    // Builds the device surface from the image's pixels. Failures are logged and leave the
    // texture without a surface.
    void Restore();

    DD::Surface* GetDeviceSurface() const { return m_surface.get(); }
    int GetTextureWidth() const { return m_textureWidth; }
    int GetTextureHeight() const { return m_textureHeight; }
    // The part of the texture the image covers; at most 1.
    float GetMaxU() const { return m_maxU; }
    float GetMaxV() const { return m_maxV; }
    // Image columns and rows the texture holds: the image, cut to the texture when it is larger.
    int GetCopiedWidth() const { return m_copiedWidth; }
    int GetCopiedHeight() const { return m_copiedHeight; }
    int GetRefCount() const { return m_refCount; }

private:
    // Texture size and coordinate limits for the image's current size.
    void ComputeSizes();

    int m_refCount = 1;
    IImage* m_image;
    Rect<int> m_sourceRect;
    Vector2<int> m_destOffset{0, 0};
    int m_textureWidth = 0;
    int m_textureHeight = 0;
    int m_copiedWidth = 0;
    int m_copiedHeight = 0;
    float m_maxU = 0.0f;
    float m_maxV = 0.0f;
    DD::SurfacePtr m_surface;
    [[no_unique_address]] LiveCounted<LiveKind::Texture> m_counted;
};

class D3D7GraphicsPlatform : public IGraphicsPlatform
{
public:
    // Registers itself as the graphics platform.
    D3D7GraphicsPlatform();
    ~D3D7GraphicsPlatform() override;

    void GetName(NameId& name) override;
    void PrepareForWindow(const DisplaySettings&) override {}
    int GetCapabilities() override { return GraphicsCaps_Hardware3D; }
    void Initialize(const DisplaySettings& settings) override;
    void Shutdown() override;
    int BeginFrame() override;
    // A lost surface at present skips the frame (answer 1) and drops every texture surface, so
    // they are rebuilt from their images on next use.
    int EndFrame() override;
    Graphics::ICanvas* GetCanvas() override { return &m_canvas; }
    ITexture* CreateTexture(IImage* image) override;
    bool IsCustomCursorEnabled() override { return m_cursorVisible; }
    void SetCustomCursorEnabled(bool enabled) override;
    void SetCursorImage(IImage* image, const Vector2<int>& hotSpot) override
    {
        m_cursorImage = image;
        m_hotSpot = hotSpot;
    }
    IImage* GetCursorImage() override { return m_cursorImage; }
    void GetCursorHotSpot(Vector2<int>& hotSpot) override { hotSpot = m_hotSpot; }

    Graphics::cScreenCanvasD3D& GetScreenCanvas() { return m_canvas; }

    // The image's texture, made and handed to the image on first use; null for a null image or an
    // image kind that cannot hold one.
    static D3DTexture* GetTextureForImage(IImage* image);

private:
    Graphics::cScreenCanvasD3D m_canvas;
    bool m_cursorVisible = true;
    IImage* m_cursorImage = nullptr;
    Vector2<int> m_hotSpot{0, 0};
};

} // namespace Kestrin
