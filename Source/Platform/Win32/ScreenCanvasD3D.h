#pragma once
// The screen canvas of the Direct3D 7 platform: every drawing call becomes draw calls on the
// display's device. Device failures are logged, never thrown.
#include "Graphics/Canvas.h"
#include "Graphics/Shapes.h"
#include "Platform/Shim/DirectDraw/DirectDraw.h"

#include <vector>

namespace Kestrin
{
class D3DTexture;
class CDisplay;
namespace DD = Shim::DirectDraw;
} // namespace Kestrin

namespace Kestrin::Names
{
inline constinit ConstantName IScreen{"IScreen"};
} // namespace Kestrin::Names

namespace Kestrin::Graphics
{

// A canvas that is a frame's target.
class IScreen
{
public:
    static NameId InterfaceName() { return Names::IScreen; }
    virtual ~IScreen() = default;
    virtual int BeginFrame() = 0;
    virtual int EndFrame() = 0;
};

class cScreenCanvasD3D : public IScreen,
                         public ICanvas,
                         public IQuadDrawingCanvas,
                         public ILineDrawingCanvas,
                         public ITextDrawingCanvas,
                         public IEllipseDrawingCanvas,
                         public ISpriteDrawingCanvas
{
public:
    // Glyphs per text draw call; the one process-wide buffer holds six vertices for each.
    static constexpr int kTextBatchGlyphs = 100;
    // 16-bit indices reach 65,535: four vertices per sprite.
    static constexpr int kMaxSpritesPerDraw = 16383;

    int BeginFrame() override { return 0; }
    int EndFrame() override { return 0; }

    void GetName(NameId& name) override;
    // Read from the back buffer while still empty.
    const Rect<int>& GetBounds() override;
    bool QueryInterface(NameId name, void** out) override;

    int DrawFilledRect(const Rect<float>& rect, const DrawState& state) override;
    int DrawFilledRect(const Rect<int>& rect, const DrawState& state) override;
    // x and y are truncated, as on the software canvases.
    int DrawImage(IImage* image, float x, float y, const DrawState& state) override;
    int DrawStretchedImage(IImage* image, const Rect<int>& destination, const DrawState& state) override;
    int DrawRotatedImage(IImage* image, float x, float y, float angle, const DrawState& state) override;
    int DrawTexturedPolygon(IImage* image, int mode, int count, const PolygonVertex* points,
                            const DrawState& state) override;

    int DrawLine(float x1, float y1, float x2, float y2, const DrawState& state) override;

    int DrawText(const wchar_t* text, Font* font, const Vector2<float>& position,
                 const DrawState& state) override;

    int DrawLineCircle(float x, float y, float radius, const DrawState& state) override;
    int DrawFilledCircle(float x, float y, float radius, const DrawState& state) override;
    int DrawLineEllipse(const Rect<float>& bounds, const DrawState& state) override;
    int DrawFilledEllipse(const Rect<float>& bounds, const DrawState& state) override;

    int DrawSprites(IImage* image, int count, const SpriteRecord* first, int stride,
                    const DrawState& state) override;

    // Forgets the bounds, so the next GetBounds reads the back buffer again.
    void ResetBounds() { m_bounds = {0, 0, 0, 0}; }

private:
    struct TextureInfo
    {
        DD::Surface* surface = nullptr;
        float scaleU = 1.0f; // texel scale: u max / image width
        float scaleV = 1.0f;
        float maxU = 1.0f; // the part of the texture the image covers
        float maxV = 1.0f;
        int width = 0; // image columns and rows the texture holds
        int height = 0;
    };

    int DrawTextInternal(const wchar_t* text, Font* font, const Vector2<float>& position,
                         const DrawState& state);
    // kind: the rim as a closed line strip, as points, or as a filled fan.
    int DrawCircleShape(float x, float y, float radius, const DrawState& state, int kind, const char* op);
    int DrawEllipseShape(const Rect<float>& rect, const DrawState& state, int kind, const char* op);
    int DrawRim(int cx, int cy, const std::vector<CircleOffset>& offsets, const DrawState& state, int kind,
                const char* op);
    // The texture of an image, its surface built when missing.
    static TextureInfo TextureOf(IImage* image);
    // One draw call with the device clipped to the state's clip rectangle for its duration.
    int Submit(const DrawState& state, DD::Surface* texture, DD::Prim type, const DD::Vertex* vertices,
               int count, const char* op);
    int SubmitIndexed(const DrawState& state, DD::Surface* texture, const DD::Vertex* vertices, int count,
                      const uint16_t* indices, int indexCount);
    // The part of the canvas a draw may touch: the bounds cut by the state's clip rectangle.
    Rect<int> ClipFor(const DrawState& state);

    Rect<int> m_bounds{0, 0, 0, 0};
};

} // namespace Kestrin::Graphics
