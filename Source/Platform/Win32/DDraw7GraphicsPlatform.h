#pragma once
// The software renderer: everything is drawn into one 32-bit memory buffer of the screen's size,
// which is converted once a frame into an off-screen surface in the display's format and copied
// to the display. The platform is its own screen canvas.
#include "Base/Log.h"
#include "Graphics/Canvas.h"
#include "Graphics/Shapes.h"
#include "Platform/GraphicsPlatform.h"
#include "Platform/Shim/DirectDraw/DirectDraw.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace Kestrin
{

class DDraw7GraphicsPlatform : public IGraphicsPlatform,
                               public Graphics::ICanvas,
                               public Graphics::IQuadDrawingCanvas,
                               public Graphics::IPixelSettingCanvas,
                               public Graphics::IEllipseDrawingCanvas
{
public:
    enum Flags : uint32_t
    {
        Flag_CustomCursor = 1, // the platform draws the mouse cursor itself
        Flag_Drawn = 2,        // a pixel changed since the frame began
    };

    // Pixel formats of the screen surface besides 32 and 24 bits: the 16-bit layouts by their
    // red, green and blue masks.
    static constexpr int kInvalidLayout = -1;
    static int Find16BitLayout(uint32_t rMask, uint32_t gMask, uint32_t bMask);
    // A 0xAARRGGBB pixel in a 16-bit layout, by truncation.
    static uint16_t To16Bit(uint32_t argb, int layout);

    // Circles of a larger doubled radius are computed per draw instead of kept.
    static constexpr int kMaxCachedDoubledRadius = 8192;

    // Registers itself as the graphics platform.
    DDraw7GraphicsPlatform();
    ~DDraw7GraphicsPlatform() override;
    DDraw7GraphicsPlatform(const DDraw7GraphicsPlatform&) = delete;
    DDraw7GraphicsPlatform& operator=(const DDraw7GraphicsPlatform&) = delete;

    // IGraphicsPlatform (GetName serves the canvas too: both answer "DDraw7")
    void GetName(NameId& name) override;
    void PrepareForWindow(const DisplaySettings&) override {}
    int GetCapabilities() override { return GraphicsCaps_Software; }
    void Initialize(const DisplaySettings& settings) override;
    void Shutdown() override;
    int BeginFrame() override;
    int EndFrame() override;
    Graphics::ICanvas* GetCanvas() override { return static_cast<Graphics::ICanvas*>(this); }
    ITexture* CreateTexture(IImage*) override { return nullptr; }
    bool IsCustomCursorEnabled() override { return (m_flags & Flag_CustomCursor) != 0; }
    void SetCustomCursorEnabled(bool enabled) override;
    void SetCursorImage(IImage* image, const Vector2<int>& hotSpot) override;
    IImage* GetCursorImage() override { return m_cursorImage; }
    void GetCursorHotSpot(Vector2<int>& hotSpot) override { hotSpot = m_hotSpot; }

    // ICanvas
    const Rect<int>& GetBounds() override { return m_bounds; }
    bool QueryInterface(NameId name, void** out) override;

    // IQuadDrawingCanvas
    int DrawFilledRect(const Rect<float>& rect, const Graphics::DrawState& state) override;
    int DrawFilledRect(const Rect<int>& rect, const Graphics::DrawState& state) override;
    int DrawImage(IImage* image, float x, float y, const Graphics::DrawState& state) override;
    int DrawStretchedImage(IImage* image, const Rect<int>& destination,
                           const Graphics::DrawState& state) override;
    int DrawRotatedImage(IImage* image, float x, float y, float angle,
                         const Graphics::DrawState& state) override;
    int DrawTexturedPolygon(IImage*, int, int, const Graphics::PolygonVertex*,
                            const Graphics::DrawState&) override
    {
        return Graphics::Draw_Unsupported;
    }

    // IPixelSettingCanvas: outside the bounds nothing is written and 0 is read.
    int SetPixel(float x, float y, uint32_t color) override;
    uint32_t GetPixel(float x, float y) override;

    // IEllipseDrawingCanvas
    int DrawLineCircle(float x, float y, float radius, const Graphics::DrawState& state) override;
    int DrawFilledCircle(float x, float y, float radius, const Graphics::DrawState& state) override;
    int DrawLineEllipse(const Rect<float>& bounds, const Graphics::DrawState& state) override;
    int DrawFilledEllipse(const Rect<float>& bounds, const Graphics::DrawState& state) override;

    // The drawing buffer, width x height words (tests).
    const uint32_t* Pixels() const { return m_pixels.get(); }
    uint32_t GetFlags() const { return m_flags; }
    int GetBitsPerPixel() const { return m_bitsPerPixel; }
    int Get16BitLayout() const { return m_layout; }
    Shim::DirectDraw::Surface* GetScreenSurface() const { return m_screenSurface.get(); }
    // How many circle lists are kept (tests of the cache's limit).
    size_t CachedCircleCount() const;

private:
    int Drawn(int result);
    Graphics::BlitTarget Target() const;
    void ConvertToSurface(uint8_t* bits, int pitch);
    // The offsets of a doubled radius: the cached list, or (above the cap) `scratch` filled anew.
    const std::vector<Graphics::CircleOffset>& CircleOffsets(int doubledRadius,
                                                             std::vector<Graphics::CircleOffset>& scratch);
    int DrawCircle(float x, float y, float radius, const Graphics::DrawState& state, bool filled);
    int DrawEllipseShape(const Rect<float>& bounds, const Graphics::DrawState& state, bool filled);

    uint32_t m_flags = Flag_CustomCursor;
    IImage* m_cursorImage = nullptr;
    Vector2<int> m_hotSpot{0, 0};
    Rect<int> m_bounds{0, 0, 0, 0};
    Shim::DirectDraw::SurfacePtr m_screenSurface;
    int m_surfaceWidth = 0;
    int m_surfaceHeight = 0;
    int m_bitsPerPixel = 0;
    int m_layout = kInvalidLayout;
    std::unique_ptr<uint32_t[]> m_pixels;
    // Indexed by doubled radius; an empty list is one not computed yet.
    std::vector<std::vector<Graphics::CircleOffset>> m_circles;
    LogOnce m_rotationWarning;
};

} // namespace Kestrin
