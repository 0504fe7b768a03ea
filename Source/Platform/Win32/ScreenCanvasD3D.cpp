#include "Platform/Win32/ScreenCanvasD3D.h"

#include "Base/Log.h"
#include "Graphics/Font.h"
#include "Graphics/Image.h"
#include "Platform/Win32/CDisplay.h"
#include "Platform/Win32/D3D7GraphicsPlatform.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <utility>

namespace Kestrin::Graphics
{

namespace
{

using namespace Shim::DirectDraw;

constexpr float kFullTurn = 6.28318530717958647692f;

// Shared by every text draw of the process: six vertices per glyph, z fixed at 1.
std::array<Vertex, cScreenCanvasD3D::kTextBatchGlyphs * 6> MakeTextBatch()
{
    std::array<Vertex, cScreenCanvasD3D::kTextBatchGlyphs * 6> batch{};
    for (Vertex& v : batch)
        v.z = 1.0f;
    return batch;
}
std::array<Vertex, cScreenCanvasD3D::kTextBatchGlyphs* 6> g_textBatch = MakeTextBatch();

inline float Clamp01(float v)
{
    return v < 0.0f ? 0.0f : v > 1.0f ? 1.0f : v;
}

Rect<int> SourceRectOf(IImage* image, const DrawState& state)
{
    if (state.flags & DrawFlag_SourceRect)
        return state.sourceRect;
    return {0, 0, image->GetWidth(), image->GetHeight()};
}

bool HasPixels(IImage* image)
{
    return image->GetWidth() > 0 && image->GetHeight() > 0;
}

// Pixel centres lie on whole coordinates, so quad corners sit half a pixel up and left: a 1:1 quad
// then puts each texel centre on a pixel centre. Strip order: top left, bottom left, top right,
// bottom right.
void Quad(Vertex out[4], float x, float y, float w, float h, float u0, float v0, float u1, float v1,
          uint32_t color)
{
    const float left = x - 0.5f, top = y - 0.5f, right = x + w - 0.5f, bottom = y + h - 0.5f;
    out[0] = {left, top, 1.0f, color, u0, v0};
    out[1] = {left, bottom, 1.0f, color, u0, v1};
    out[2] = {right, top, 1.0f, color, u1, v0};
    out[3] = {right, bottom, 1.0f, color, u1, v1};
}

ColorF Multiply(const ColorF& a, const ColorF& b)
{
    return {a.r * b.r, a.g * b.g, a.b * b.b, a.a * b.a};
}

inline bool Finite(float a, float b, float c = 0.0f, float d = 0.0f)
{
    return std::isfinite(a) && std::isfinite(b) && std::isfinite(c) && std::isfinite(d);
}

// Sets the display's wanted clip rectangle for one draw and puts the old one back afterwards.
class ScopedWantedClip
{
public:
    ScopedWantedClip(CDisplay& display, const Rect<int>& clip)
        : m_display(display), m_saved(display.GetWantedClipRect())
    {
        display.SetWantedClipRect(clip);
    }
    ~ScopedWantedClip() { m_display.SetWantedClipRect(m_saved); }
    ScopedWantedClip(const ScopedWantedClip&) = delete;
    ScopedWantedClip& operator=(const ScopedWantedClip&) = delete;

private:
    CDisplay& m_display;
    Rect<int> m_saved;
};

enum class RimKind
{
    Strip,  // the outline as one closed line strip
    Points, // one point per rim pixel
    Fan,    // the disc: centre, then the rim, closed
};

} // namespace

void cScreenCanvasD3D::GetName(NameId& name)
{
    static constinit ConstantName canvasName{"ScreenCanvasD3D"};
    name = canvasName;
}

const Rect<int>& cScreenCanvasD3D::GetBounds()
{
    if (m_bounds.w < 1 || m_bounds.h < 1)
    {
        CDisplay* display = CDisplay::Get();
        SurfaceDesc desc;
        if (display && display->GetBackBuffer() && !Failed(display->GetBackBuffer()->GetDesc(desc)))
            m_bounds = {0, 0, desc.width, desc.height};
    }
    return m_bounds;
}

bool cScreenCanvasD3D::QueryInterface(NameId name, void** out)
{
    return QueryFaces<IScreen, ICanvas, IQuadDrawingCanvas, ILineDrawingCanvas, ITextDrawingCanvas,
                      IEllipseDrawingCanvas, ISpriteDrawingCanvas>(this, name, out);
}

// ---- the common draw path ----

Rect<int> cScreenCanvasD3D::ClipFor(const DrawState& state)
{
    return IntersectRects(GetBounds(), state.clipRect);
}

cScreenCanvasD3D::TextureInfo cScreenCanvasD3D::TextureOf(IImage* image)
{
    TextureInfo info;
    info.width = image ? image->GetWidth() : 0;
    info.height = image ? image->GetHeight() : 0;
    D3DTexture* texture = D3D7GraphicsPlatform::GetTextureForImage(image);
    if (!texture)
        return info;
    if (!texture->GetDeviceSurface())
        texture->Restore();
    if (!texture->GetDeviceSurface() || texture->GetCopiedWidth() <= 0 || texture->GetCopiedHeight() <= 0)
        return info; // drawn untextured, texel scale 1
    info.surface = texture->GetDeviceSurface();
    info.width = texture->GetCopiedWidth();
    info.height = texture->GetCopiedHeight();
    info.maxU = texture->GetMaxU();
    info.maxV = texture->GetMaxV();
    info.scaleU = info.maxU / float(info.width);
    info.scaleV = info.maxV / float(info.height);
    return info;
}

namespace
{

// Every draw call: the device clipped to the state's clip rectangle (text in a text field must stay
// inside it; the default rectangle is unbounded and enables no plane), the texture, the pending
// state, then the call itself; a failure is logged, never thrown.
template <typename Call>
int SubmitWith(const Rect<int>& clip, Surface* texture, const char* op, const char* callName, Call call)
{
    CDisplay* display = CDisplay::Get();
    Device* device = display ? display->GetDevice() : nullptr;
    if (!device || clip.IsEmpty())
        return Draw_Nothing;
    ScopedWantedClip scoped(*display, clip);
    device->SetTexture(texture);
    display->ApplyPendingState();
    const HRESULT hr = call(*device);
    if (Failed(hr))
    {
        LogPrintf("cScreenCanvasD3D::%s - %s returned 0x%08X - %s\n", op, callName, unsigned(hr),
                  ErrorName(hr));
        return -1;
    }
    return Draw_Done;
}

} // namespace

int cScreenCanvasD3D::Submit(const DrawState& state, Surface* texture, Prim type, const Vertex* vertices,
                             int count, const char* op)
{
    if (count <= 0)
        return Draw_Nothing;
    return SubmitWith(ClipFor(state), texture, op, "DrawPrimitive",
                      [&](Device& device) { return device.DrawPrimitive(type, vertices, count); });
}

int cScreenCanvasD3D::SubmitIndexed(const DrawState& state, Surface* texture, const Vertex* vertices,
                                    int count, const uint16_t* indices, int indexCount)
{
    if (count <= 0 || indexCount <= 0)
        return Draw_Nothing;
    return SubmitWith(
        ClipFor(state), texture, "DrawSprites", "DrawIndexedPrimitive",
        [&](Device& device)
        { return device.DrawIndexedPrimitive(Prim::TriangleList, vertices, count, indices, indexCount); });
}

// ---- quads and images ----

namespace
{

struct TexturedQuadInput
{
    float x, y, w, h;
    Rect<int> source;
    float scaleU, scaleV;
    uint32_t flags;
    uint32_t color;
};

void TexturedQuad(Vertex out[4], const TexturedQuadInput& in)
{
    // Clamped to the texture: a source rectangle reaching past the image never asks the device for
    // coordinates outside it.
    float u0 = Clamp01(in.scaleU * float(in.source.x));
    float u1 = Clamp01(in.scaleU * float(int64_t(in.source.x) + in.source.w));
    float v0 = Clamp01(in.scaleV * float(in.source.y));
    float v1 = Clamp01(in.scaleV * float(int64_t(in.source.y) + in.source.h));
    if (in.flags & DrawFlag_MirrorX)
        std::swap(u0, u1);
    if (in.flags & DrawFlag_MirrorY)
        std::swap(v0, v1);
    Quad(out, in.x, in.y, in.w, in.h, u0, v0, u1, v1, in.color);
}

} // namespace

int cScreenCanvasD3D::DrawFilledRect(const Rect<float>& rect, const DrawState& state)
{
    const uint32_t color = PackColor(state.color);
    if ((color >> 24) == 0 || !Finite(rect.x, rect.y, rect.w, rect.h))
        return Draw_Nothing;
    Vertex quad[4];
    Quad(quad, rect.x, rect.y, rect.w, rect.h, 0.0f, 0.0f, 1.0f, 1.0f, color);
    return Submit(state, nullptr, Prim::TriangleStrip, quad, 4, "DrawFilledRect");
}

int cScreenCanvasD3D::DrawFilledRect(const Rect<int>& rect, const DrawState& state)
{
    return DrawFilledRect(Rect<float>(float(rect.x), float(rect.y), float(rect.w), float(rect.h)), state);
}

int cScreenCanvasD3D::DrawImage(IImage* image, float fx, float fy, const DrawState& state)
{
    if (!image || !HasPixels(image) || !Finite(fx, fy))
        return Draw_Nothing;
    Rect<int> source = SourceRectOf(image, state);
    if (source.w <= 0 || source.h <= 0)
        return Draw_Nothing;
    const TextureInfo texture = TextureOf(image);
    const int64_t x = TruncToInt(fx), y = TruncToInt(fy);

    // The destination follows the source (one to one). Cut the source to what the texture holds
    // first (an image larger than the device allows), moving the destination by what was cut.
    Rect<int64_t> dest{x, y, source.w, source.h};
    if (texture.surface)
    {
        const Rect<int> held = IntersectRects(source, {0, 0, texture.width, texture.height});
        if (held.IsEmpty())
            return Draw_Nothing;
        const int64_t cutLeft = held.x - int64_t(source.x);
        const int64_t cutRight = (int64_t(source.x) + source.w) - (int64_t(held.x) + held.w);
        const int64_t cutTop = held.y - int64_t(source.y);
        const int64_t cutBottom = (int64_t(source.y) + source.h) - (int64_t(held.y) + held.h);
        dest.x += (state.flags & DrawFlag_MirrorX) ? cutRight : cutLeft;
        dest.y += (state.flags & DrawFlag_MirrorY) ? cutBottom : cutTop;
        dest.w = held.w;
        dest.h = held.h;
        source = held;
    }

    // Clip on the CPU and crop the source by the same amounts. A mirrored image shows its source
    // reversed, so a cut on one side of the destination comes off the other side of the source.
    const Rect<int> clip = ClipFor(state);
    const int64_t left = std::max<int64_t>(dest.x, clip.x);
    const int64_t top = std::max<int64_t>(dest.y, clip.y);
    const int64_t right = std::min<int64_t>(dest.x + dest.w, int64_t(clip.x) + clip.w);
    const int64_t bottom = std::min<int64_t>(dest.y + dest.h, int64_t(clip.y) + clip.h);
    if (right <= left || bottom <= top)
        return Draw_Nothing;
    const int64_t offLeft = left - dest.x, offRight = dest.x + dest.w - right;
    const int64_t offTop = top - dest.y, offBottom = dest.y + dest.h - bottom;
    source.x += int((state.flags & DrawFlag_MirrorX) ? offRight : offLeft);
    source.y += int((state.flags & DrawFlag_MirrorY) ? offBottom : offTop);
    source.w = int(right - left);
    source.h = int(bottom - top);

    Vertex quad[4];
    TexturedQuad(quad, {float(left), float(top), float(right - left), float(bottom - top), source,
                        texture.scaleU, texture.scaleV, state.flags, PackColor(state.imageColor)});
    return Submit(state, texture.surface, Prim::TriangleStrip, quad, 4, "DrawImage");
}

int cScreenCanvasD3D::DrawStretchedImage(IImage* image, const Rect<int>& destination, const DrawState& state)
{
    if (!image || !HasPixels(image))
        return Draw_Nothing;
    const Rect<int> source = SourceRectOf(image, state);
    // Either side empty or negative draws nothing, as on the software blitter: a source without
    // width or height has nothing to stretch, and both renderers then agree.
    if (source.w <= 0 || source.h <= 0)
        return Draw_Nothing;
    const TextureInfo texture = TextureOf(image);
    Vertex quad[4];
    TexturedQuad(quad,
                 {float(destination.x), float(destination.y), float(destination.w), float(destination.h),
                  source, texture.scaleU, texture.scaleV, state.flags, PackColor(state.imageColor)});
    return Submit(state, texture.surface, Prim::TriangleStrip, quad, 4, "DrawStretchedImage");
}

int cScreenCanvasD3D::DrawRotatedImage(IImage* image, float x, float y, float angle, const DrawState& state)
{
    if (!image || !HasPixels(image) || !Finite(x, y, angle))
        return Draw_Nothing;
    const Rect<int> source = SourceRectOf(image, state);
    const float w = float(source.w), h = float(source.h);
    // Whole turns are plain 1:1 draws.
    if (std::fmod(angle, kFullTurn) == std::fmod(0.0f, kFullTurn))
        return DrawImage(image, x - w * 0.5f, y - h * 0.5f, state);
    if (source.w <= 0 || source.h <= 0)
        return Draw_Nothing;

    // The turned quad is cut by the device's clip planes (Submit sets the state's clip rectangle
    // as the wanted one for this draw and puts the old one back).
    const TextureInfo texture = TextureOf(image);
    Vertex quad[4];
    TexturedQuad(quad, {-w * 0.5f, -h * 0.5f, w, h, source, texture.scaleU, texture.scaleV, state.flags,
                        PackColor(state.imageColor)});
    const float c = std::cos(angle), s = std::sin(angle);
    // The half-pixel shift that puts texel centres on pixel centres stays a screen shift: turned
    // with the quad, a quarter turn would land one pixel off the unturned image's square.
    const float shiftX = -0.5f + 0.5f * c - 0.5f * s;
    const float shiftY = -0.5f + 0.5f * s + 0.5f * c;
    for (Vertex& v : quad)
    {
        const float px = v.x, py = v.y;
        v.x = px * c - py * s + x + shiftX;
        v.y = px * s + py * c + y + shiftY;
    }
    return Submit(state, texture.surface, Prim::TriangleStrip, quad, 4, "DrawRotatedImage");
}

int cScreenCanvasD3D::DrawTexturedPolygon(IImage* image, int mode, int count, const PolygonVertex* points,
                                          const DrawState& state)
{
    static constexpr Prim kModes[] = {Prim::TriangleStrip, Prim::TriangleFan, Prim::TriangleList};
    if (!points || count < 3 || mode < 0 || mode > 2)
        return Draw_Nothing;
    // An empty image (a failed load) has no texels to show; drawn untextured it would be a solid
    // patch in the vertex colours.
    if (image && !HasPixels(image))
        return Draw_Nothing;
    if (mode == 2)
        count -= count % 3; // whole triangles only
    TextureInfo texture;
    if (image)
        texture = TextureOf(image);
    std::vector<Vertex> vertices(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
    {
        const PolygonVertex& p = points[i];
        vertices[size_t(i)] = {p.x, p.y, 1.0f, PackColor(p.color), p.u * texture.maxU, p.v * texture.maxV};
    }
    return Submit(state, texture.surface, kModes[mode], vertices.data(), count, "DrawTexturedPolygon");
}

// ---- lines and text ----

int cScreenCanvasD3D::DrawLine(float x1, float y1, float x2, float y2, const DrawState& state)
{
    if (!Finite(x1, y1, x2, y2))
        return Draw_Nothing;
    // D3D leaves out a line's last pixel; the SDL back end draws it. The one-pixel difference at
    // line ends is accepted.
    const uint32_t color = PackColor(state.color);
    const Vertex line[2] = {{x1, y1, 1.0f, color, 0.0f, 0.0f}, {x2, y2, 1.0f, color, 0.0f, 0.0f}};
    return Submit(state, nullptr, Prim::LineList, line, 2, "DrawLine");
}

int cScreenCanvasD3D::DrawText(const wchar_t* text, Font* font, const Vector2<float>& position,
                               const DrawState& state)
{
    return DrawTextInternal(text, font, position, state);
}

int cScreenCanvasD3D::DrawTextInternal(const wchar_t* text, Font* font, const Vector2<float>& position,
                                       const DrawState& state)
{
    if (!text || !font || !Finite(position.x, position.y))
        return Draw_Nothing;
    const uint32_t color = PackColor(state.color);
    Image* batchImage = nullptr;
    TextureInfo batchTexture;
    int glyphs = 0;
    bool drawn = false;
    auto flush = [&]()
    {
        if (glyphs == 0)
            return true;
        const int r = Submit(state, batchTexture.surface, Prim::TriangleList, g_textBatch.data(), glyphs * 6,
                             "DrawTextInternal");
        glyphs = 0;
        drawn = drawn || r == Draw_Done;
        return r >= 0;
    };

    // Glyph rectangles sit at the pen, truncated like the software canvases' glyph blits.
    const float y = float(TruncToInt(position.y));
    float pen = position.x;
    for (const wchar_t* c = text; *c; ++c)
    {
        Glyph glyph;
        font->GetGlyph(*c, glyph);
        if (glyph.image && glyph.width > 0 && glyph.height > 0 && HasPixels(glyph.image))
        {
            if (glyphs == 0 || glyph.image != batchImage || glyphs == kTextBatchGlyphs)
            {
                if (!flush())
                    return -1;
                batchImage = glyph.image;
                batchTexture = TextureOf(glyph.image);
            }
            Vertex quad[4];
            TexturedQuad(quad, {float(TruncToInt(pen)),
                                y,
                                float(glyph.width),
                                float(glyph.height),
                                {glyph.x, glyph.y, glyph.width, glyph.height},
                                batchTexture.scaleU,
                                batchTexture.scaleV,
                                state.flags,
                                color});
            Vertex* out = &g_textBatch[size_t(glyphs) * 6];
            out[0] = quad[0];
            out[1] = quad[1];
            out[2] = quad[2];
            out[3] = quad[3];
            out[4] = quad[2];
            out[5] = quad[1];
            ++glyphs;
        }
        pen += float(font->GetAdvance(*c, c[1]));
    }
    if (!flush())
        return -1;
    return drawn ? Draw_Done : Draw_Nothing;
}

// ---- circles and ellipses ----

int cScreenCanvasD3D::DrawRim(int cx, int cy, const std::vector<CircleOffset>& offsets,
                              const DrawState& state, int kind, const char* op)
{
    const RimKind rimKind = RimKind(kind);
    const uint32_t color = PackColor(state.color);
    // The disc's edge lies half a pixel outside the rim pixels' centres, so it covers the same
    // pixels as the software canvases' spans.
    const float out = rimKind == RimKind::Fan ? 0.5f : 0.0f;
    std::vector<Vertex> rim;
    rim.reserve(offsets.size() * 4 + 2);
    auto add = [&](int sx, int sy, const CircleOffset& o)
    {
        // Points on the axes belong to the first quadrant: a point list never blends a pixel twice.
        if (rimKind == RimKind::Points && ((sx < 0 && o.dx == 0) || (sy < 0 && o.dy == 0)))
            return;
        const Vertex v{float(cx) + float(sx) * (float(o.dx) + out),
                       float(cy) + float(sy) * (float(o.dy) + out),
                       1.0f,
                       color,
                       0.0f,
                       0.0f};
        if (rim.empty() || rim.back().x != v.x || rim.back().y != v.y)
            rim.push_back(v);
    };
    // Angular order: each quadrant from its start, the mirrored ones walked back.
    for (const CircleOffset& o : offsets)
        add(1, 1, o);
    for (auto o = offsets.rbegin(); o != offsets.rend(); ++o)
        add(-1, 1, *o);
    for (const CircleOffset& o : offsets)
        add(-1, -1, o);
    for (auto o = offsets.rbegin(); o != offsets.rend(); ++o)
        add(1, -1, *o);
    if (rim.size() > 1 && rim.front().x == rim.back().x && rim.front().y == rim.back().y)
        rim.pop_back();
    if (rim.empty())
        return Draw_Nothing;

    if (offsets.size() == 1 && offsets[0] == CircleOffset{0, 0})
    {
        // A one-pixel shape.
        const Vertex point{float(cx), float(cy), 1.0f, color, 0.0f, 0.0f};
        return Submit(state, nullptr, Prim::PointList, &point, 1, op);
    }
    switch (rimKind)
    {
    case RimKind::Points:
        return Submit(state, nullptr, Prim::PointList, rim.data(), int(rim.size()), op);
    case RimKind::Strip:
        rim.push_back(rim.front());
        return Submit(state, nullptr, Prim::LineStrip, rim.data(), int(rim.size()), op);
    case RimKind::Fan:
        break;
    }
    std::vector<Vertex> fan;
    fan.reserve(rim.size() + 2);
    fan.push_back({float(cx), float(cy), 1.0f, color, 0.0f, 0.0f});
    fan.insert(fan.end(), rim.begin(), rim.end());
    fan.push_back(rim.front());
    return Submit(state, nullptr, Prim::TriangleFan, fan.data(), int(fan.size()), op);
}

int cScreenCanvasD3D::DrawCircleShape(float x, float y, float radius, const DrawState& state, int kind,
                                      const char* op)
{
    if (!Finite(x, y, radius) || (PackColor(state.color) >> 24) == 0)
        return Draw_Nothing;
    const float whole = std::floor(radius + 0.5f);
    if (!(whole >= 0.0f))
        return Draw_Nothing;
    const int64_t cx = TruncToInt(x), cy = TruncToInt(y), n = TruncToInt(whole);
    const Rect<int> clip = ClipFor(state);
    if (clip.IsEmpty() || cx + n < clip.x || cy + n < clip.y || cx - n > int64_t(clip.x) + clip.w - 1 ||
        cy - n > int64_t(clip.y) + clip.h - 1)
        return Draw_Nothing;
    // The same offsets as the software canvases draw for this radius (a radius of 0.5 is the
    // centre pixel alone, one of 1 a plus).
    const std::vector<CircleOffset> offsets = ComputeCircleOffsets(DoubledRadius(radius));
    if (offsets.empty())
        return Draw_Nothing;
    return DrawRim(int(cx), int(cy), offsets, state, kind, op);
}

int cScreenCanvasD3D::DrawLineCircle(float x, float y, float radius, const DrawState& state)
{
    return DrawCircleShape(x, y, radius, state, int(RimKind::Strip), "DrawLineCircle");
}

int cScreenCanvasD3D::DrawFilledCircle(float x, float y, float radius, const DrawState& state)
{
    return DrawCircleShape(x, y, radius, state, int(RimKind::Fan), "DrawFilledCircle");
}

int cScreenCanvasD3D::DrawEllipseShape(const Rect<float>& rect, const DrawState& state, int kind,
                                       const char* op)
{
    // Zero, negative and undefined sizes draw nothing.
    if (!(rect.w > 0.0f) || !(rect.h > 0.0f) || !Finite(rect.x, rect.y, rect.w, rect.h))
        return Draw_Nothing;
    // Near-circles are circles (centred on the width both ways, as on the software canvases).
    if (std::fabs(rect.w - rect.h) < 0.5f)
        return DrawCircleShape(rect.x + rect.w * 0.5f, rect.y + rect.w * 0.5f, rect.w * 0.5f, state,
                               kind == int(RimKind::Points) ? int(RimKind::Strip) : kind, op);
    const int64_t x = TruncToInt(rect.x), y = TruncToInt(rect.y);
    const int64_t w = TruncToInt(rect.w), h = TruncToInt(rect.h);
    // Sides that truncate to 0 would divide by zero below.
    if (w <= 0 || h <= 0 || std::max(w, h) > kMaxDoubledRadius || (PackColor(state.color) >> 24) == 0)
        return Draw_Nothing;
    const Rect<int> clip = ClipFor(state);
    if (clip.IsEmpty() || x + w < clip.x || y + h < clip.y || x > int64_t(clip.x) + clip.w - 1 ||
        y > int64_t(clip.y) + clip.h - 1)
        return Draw_Nothing;

    // The circle of the longer side squeezed along the shorter one, as the software canvases do.
    const int cx = TruncToInt(rect.x + rect.w * 0.5f);
    const int cy = TruncToInt(rect.y + rect.h * 0.5f);
    const std::vector<CircleOffset> used = ComputeEllipseOffsets(int(w), int(h));
    if (used.empty())
        return Draw_Nothing;
    return DrawRim(cx, cy, used, state, kind, op);
}

int cScreenCanvasD3D::DrawLineEllipse(const Rect<float>& bounds, const DrawState& state)
{
    return DrawEllipseShape(bounds, state, int(RimKind::Points), "DrawLineEllipse");
}

int cScreenCanvasD3D::DrawFilledEllipse(const Rect<float>& bounds, const DrawState& state)
{
    return DrawEllipseShape(bounds, state, int(RimKind::Fan), "DrawFilledEllipse");
}

// ---- sprites ----

int cScreenCanvasD3D::DrawSprites(IImage* image, int count, const SpriteRecord* first, int stride,
                                  const DrawState& state)
{
    if (!image || !first || count <= 0 || !HasPixels(image))
        return Draw_Nothing;
    const TextureInfo texture = TextureOf(image);
    const float imageWidth = float(image->GetWidth()), imageHeight = float(image->GetHeight());
    const uint8_t* records = reinterpret_cast<const uint8_t*>(first);
    std::vector<Vertex> vertices;
    std::vector<uint16_t> indices;
    int result = Draw_Nothing;
    // 16-bit indices: more sprites than fit go out in further draws.
    for (int start = 0; start < count; start += kMaxSpritesPerDraw)
    {
        const int n = std::min(kMaxSpritesPerDraw, count - start);
        vertices.resize(size_t(n) * 4);
        indices.resize(size_t(n) * 6);
        for (int i = 0; i < n; ++i)
        {
            SpriteRecord record;
            std::memcpy(&record, records + ptrdiff_t(start + i) * stride, sizeof record);
            const float w = imageWidth * record.scaleX, h = imageHeight * record.scaleY;
            // Sprites are images: the state tints them with its image colour, as every image draw.
            Quad(&vertices[size_t(i) * 4], record.x - w * 0.5f, record.y - h * 0.5f, w, h, 0.0f, 0.0f,
                 texture.maxU, texture.maxV, PackColor(Multiply(record.color, state.imageColor)));
            static constexpr uint16_t kPattern[6] = {0, 1, 2, 3, 2, 1};
            for (int k = 0; k < 6; ++k)
                indices[size_t(i) * 6 + size_t(k)] = uint16_t(kPattern[k] + 4 * i);
        }
        const int r = SubmitIndexed(state, texture.surface, vertices.data(), n * 4, indices.data(), n * 6);
        if (r < 0)
            return r;
        if (r == Draw_Done)
            result = Draw_Done;
    }
    return result;
}

} // namespace Kestrin::Graphics
