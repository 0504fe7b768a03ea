#pragma once
#include "Base/Geometry.h"
#include "Framework/Names.h"

#include <cstdint>

namespace Kestrin
{
class IImage;
class Font;
} // namespace Kestrin

// The interfaces canvases are asked for by name.
namespace Kestrin::Names
{
inline constinit ConstantName ICanvas{"ICanvas"};
inline constinit ConstantName IQuadDrawingCanvas{"IQuadDrawingCanvas"};
inline constinit ConstantName ILineDrawingCanvas{"ILineDrawingCanvas"};
inline constinit ConstantName ITextDrawingCanvas{"ITextDrawingCanvas"};
inline constinit ConstantName IEllipseDrawingCanvas{"IEllipseDrawingCanvas"};
inline constinit ConstantName IPixelSettingCanvas{"IPixelSettingCanvas"};
inline constinit ConstantName ISpriteDrawingCanvas{"ISpriteDrawingCanvas"};
} // namespace Kestrin::Names

namespace Kestrin::Graphics
{

// Flags of the draw state, by value.
enum DrawFlags : uint32_t
{
    DrawFlag_SourceRect = 1, // draw only sourceRect of the image
    DrawFlag_Blend = 2,      // alpha-blend with what is drawn already
    DrawFlag_MirrorX = 4,    // mirror images left to right
    DrawFlag_MirrorY = 8,    // mirror images top to bottom
};

// Answers of every drawing operation.
enum DrawResult : int
{
    Draw_Done = 0,
    Draw_Nothing = 1,
    Draw_Unsupported = -2,
};

// The value record every drawing operation takes; copy the current one and change a few fields.
struct DrawState
{
    Font* font = nullptr;
    ColorF color{1.0f, 1.0f, 1.0f, 1.0f};
    // Outline or drop-shadow colour of text; its alpha is multiplied by color's.
    ColorF color2{0.0f, 0.0f, 0.0f, 1.0f};
    // Tint and constant alpha of drawn images.
    ColorF imageColor{1.0f, 1.0f, 1.0f, 1.0f};
    // Drawing is limited to its intersection with the canvas bounds; the default is unbounded.
    Rect<int> clipRect{-1073741824, -1073741824, 2147483647, 2147483647};
    Rect<int> sourceRect{0, 0, 0, 0};
    uint32_t flags = DrawFlag_Blend;
    // 0 plain, 1 outline, 2 drop shadow.
    int32_t textMode = 0;
    // 0 left / top, 1 centre, 2 right / bottom.
    int32_t hAlign = 0;
    int32_t vAlign = 0;

    bool operator==(const DrawState&) const = default;
};

// Text drawing reads its font, colours, mode and alignment from the same record.
using TextDrawState = DrawState;

class ICanvas
{
public:
    static NameId InterfaceName() { return Names::ICanvas; }
    virtual ~ICanvas() = default;
    virtual void GetName(NameId& name) = 0;
    // {0, 0, width, height} of the target.
    virtual const Rect<int>& GetBounds() = 0;
    // Writes the sub-object for the interface and answers true; else leaves `out` untouched.
    virtual bool QueryInterface(NameId name, void** out) = 0;
};

// A point of a textured polygon.
struct PolygonVertex
{
    float x = 0.0f;
    float y = 0.0f;
    ColorF color;
    float u = 0.0f;
    float v = 0.0f;
};

class IQuadDrawingCanvas
{
public:
    static NameId InterfaceName() { return Names::IQuadDrawingCanvas; }
    virtual ~IQuadDrawingCanvas() = default;
    virtual int DrawFilledRect(const Rect<float>& rect, const DrawState& state) = 0;
    virtual int DrawFilledRect(const Rect<int>& rect, const DrawState& state) = 0;
    virtual int DrawImage(IImage* image, float x, float y, const DrawState& state) = 0;
    virtual int DrawStretchedImage(IImage* image, const Rect<int>& destination, const DrawState& state) = 0;
    // The image's centre goes to (x, y).
    virtual int DrawRotatedImage(IImage* image, float x, float y, float angle, const DrawState& state) = 0;
    // mode 0 strip, 1 fan, 2 list.
    virtual int DrawTexturedPolygon(IImage* image, int mode, int count, const PolygonVertex* points,
                                    const DrawState& state) = 0;
};

class ILineDrawingCanvas
{
public:
    static NameId InterfaceName() { return Names::ILineDrawingCanvas; }
    virtual ~ILineDrawingCanvas() = default;
    virtual int DrawLine(float x1, float y1, float x2, float y2, const DrawState& state) = 0;
};

class ITextDrawingCanvas
{
public:
    static NameId InterfaceName() { return Names::ITextDrawingCanvas; }
    virtual ~ITextDrawingCanvas() = default;
    // Plain text at the pen position in state.color; alignment and outlines are done by the caller.
    virtual int DrawText(const wchar_t* text, Font* font, const Vector2<float>& position,
                         const DrawState& state) = 0;
};

class IEllipseDrawingCanvas
{
public:
    static NameId InterfaceName() { return Names::IEllipseDrawingCanvas; }
    virtual ~IEllipseDrawingCanvas() = default;
    virtual int DrawLineCircle(float x, float y, float radius, const DrawState& state) = 0;
    virtual int DrawFilledCircle(float x, float y, float radius, const DrawState& state) = 0;
    virtual int DrawLineEllipse(const Rect<float>& bounds, const DrawState& state) = 0;
    virtual int DrawFilledEllipse(const Rect<float>& bounds, const DrawState& state) = 0;
};

class IPixelSettingCanvas
{
public:
    static NameId InterfaceName() { return Names::IPixelSettingCanvas; }
    virtual ~IPixelSettingCanvas() = default;
    virtual int SetPixel(float x, float y, uint32_t color) = 0;
    virtual uint32_t GetPixel(float x, float y) = 0;
};

// One sprite of a batch.
struct SpriteRecord
{
    float x = 0.0f;
    float y = 0.0f;
    ColorF color;
    float scaleX = 1.0f;
    float scaleY = 1.0f;
};

class ISpriteDrawingCanvas
{
public:
    static NameId InterfaceName() { return Names::ISpriteDrawingCanvas; }
    virtual ~ISpriteDrawingCanvas() = default;
    // Records lie `stride` bytes apart.
    virtual int DrawSprites(IImage* image, int count, const SpriteRecord* first, int stride,
                            const DrawState& state) = 0;
};

// The interface of a canvas, or null (also for a null canvas).
template <typename T> T* QueryCanvas(ICanvas* canvas)
{
    void* out = nullptr;
    if (canvas && canvas->QueryInterface(T::InterfaceName(), &out))
        return static_cast<T*>(out);
    return nullptr;
}

// A canvas's own QueryInterface: sets `out` to the one of `Faces` (each a face `self` derives
// from) whose name is `name`, or answers false.
template <typename... Faces, typename Self> bool QueryFaces(Self* self, NameId name, void** out)
{
    void* face = nullptr;
    ((face = name == Faces::InterfaceName() ? static_cast<Faces*>(self) : face), ...);
    if (!face)
        return false;
    *out = face;
    return true;
}

// ---- the current canvas and draw state (per thread: a loading thread may draw into images) ----

// The current canvas; the screen proxy when none was set.
ICanvas* GetCurrentCanvas();
void SetCurrentCanvas(ICanvas* canvas);
DrawState& CurrentDrawState();
// Built once, never changed.
const DrawState& GetDefaultDrawState();

// Saves {current canvas, current draw state} on a stack of 64; a pop restores the last saved.
// Pushes beyond 64 are counted but not kept, and their pops restore nothing.
void PushCanvas();
void PopCanvas();
int CanvasStackDepth();
constexpr int kCanvasStackSize = 64;

// The screen proxy forwards every ICanvas call to the canvas this source answers at that moment
// (the running graphics platform's). Without one it is an empty canvas that offers nothing.
using ScreenCanvasSource = ICanvas* (*)();
void SetScreenCanvasSource(ScreenCanvasSource source);
ICanvas* GetScreenCanvasProxy();

// ---- small helpers of the family ----

Rect<int> IntersectRects(const Rect<int>& a, const Rect<int>& b);
// Each channel times 255, truncated; alpha in the high byte.
uint32_t PackColor(const ColorF& color);
// Alpha of the source as weight a + 1 of 256.
uint32_t BlendPixel(uint32_t source, uint32_t destination);
// Packs the state's colour and sets it, blended over the pixel with DrawFlag_Blend.
int PlotPixel(int x, int y, const DrawState& state, IPixelSettingCanvas* pixels);
// Bresenham line within the canvas bounds and the clip rectangle.
int DrawLineClipped(float x1, float y1, float x2, float y2, const DrawState& state,
                    IPixelSettingCanvas* pixels, ICanvas* canvas);
// Float to int by truncation, saturating; NaN goes far off every canvas.
int TruncToInt(float v);
// A colour channel as a byte: v * 255 truncated, clamped to 0..255.
int ChannelByte(float v);

// ---- drawing functions: 1 for a null canvas or image, -2 when the canvas lacks the interface ----

// The image anchored at (x, y) by the state's alignment.
int DrawImage(float x, float y, ICanvas* canvas, IImage* image, const DrawState& state);
// Stretched into the rectangle, anchored by the state's alignment.
int DrawImageInRect(ICanvas* canvas, const Rect<int>& rect, IImage* image, const DrawState& state);
// Turned by the angle about its anchor, which goes to (x, y). A non-finite angle draws nothing.
int DrawImageRotated(ICanvas* canvas, IImage* image, float x, float y, float angle, const DrawState& state);
// In the state's colour.
int FillRect(const Rect<float>& rect, const DrawState& state, ICanvas* canvas = GetCurrentCanvas());
// The whole canvas in the state's colour.
int FillQuad(ICanvas* canvas, const DrawState& state);
// Four lines around the pixels of the rectangle, with the current draw state in this colour.
int DrawRectOutline(ICanvas* canvas, const Rect<int>& rect, const ColorF& color);
int FillEllipse(const Rect<float>& bounds, const DrawState& state, ICanvas* canvas = GetCurrentCanvas());
int DrawEllipse(const Rect<float>& bounds, const DrawState& state, ICanvas* canvas = GetCurrentCanvas());
// Through the canvas's line interface, else its pixels.
int DrawLine(float x1, float y1, float x2, float y2, const DrawState& state,
             ICanvas* canvas = GetCurrentCanvas());
// The state's font, colours, text mode and alignment; `clip` replaces the state's clipRect.
int DrawText(const wchar_t* text, float x, float y, const DrawState& state, ICanvas* canvas,
             const Rect<int>* clip = nullptr);
// Wrapped to the width; `outRect` receives the block's rectangle.
int DrawWrappedText(const wchar_t* text, float x, float y, float width, Rect<float>* outRect,
                    const DrawState& state, ICanvas* canvas);

} // namespace Kestrin::Graphics
