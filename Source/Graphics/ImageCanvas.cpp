#include "Graphics/ImageCanvas.h"

#include "Graphics/Blitter.h"
#include "Graphics/Image.h"
#include "Graphics/Shapes.h"

#include <cmath>

namespace Kestrin::Graphics
{

cImageCanvas::cImageCanvas(Image& image) : m_image(image), m_bounds{0, 0, image.GetWidth(), image.GetHeight()}
{
}

void cImageCanvas::GetName(NameId& name)
{
    static constinit ConstantName canvasName{"ImageCanvas"};
    name = canvasName;
}

bool cImageCanvas::QueryInterface(NameId name, void** out)
{
    return QueryFaces<ICanvas, IQuadDrawingCanvas, IPixelSettingCanvas, IEllipseDrawingCanvas>(this, name,
                                                                                               out);
}

Rect<int> cImageCanvas::LiveBounds() const
{
    // The bounds were taken when the canvas was made; never reach past the pixels the image has now.
    return IntersectRects(m_bounds, {0, 0, m_image.GetWidth(), m_image.GetHeight()});
}

int cImageCanvas::Changed(int result)
{
    if (result == Draw_Done)
        m_image.MarkPixelsChanged();
    return result;
}

int cImageCanvas::DrawFilledRect(const Rect<float>& rect, const DrawState& state)
{
    return DrawFilledRect(
        Rect<int>(TruncToInt(rect.x), TruncToInt(rect.y), TruncToInt(rect.w), TruncToInt(rect.h)), state);
}

int cImageCanvas::DrawFilledRect(const Rect<int>& rect, const DrawState& state)
{
    const Rect<int> area = IntersectRects(IntersectRects(rect, LiveBounds()), state.clipRect);
    if (area.IsEmpty() || !m_image.Pixels())
        return Draw_Nothing;
    const uint32_t color = PackColor(state.color);
    const bool blend = state.flags & DrawFlag_Blend;
    for (int y = area.y; y < area.y + area.h; ++y)
    {
        uint32_t* row = m_image.Pixels() + size_t(y) * size_t(m_image.GetWidth());
        for (int x = area.x; x < area.x + area.w; ++x)
            row[x] = blend ? BlendPixel(color, row[x]) : color;
    }
    return Changed(Draw_Done);
}

int cImageCanvas::DrawImage(IImage* image, float x, float y, const DrawState& state)
{
    Image* source = dynamic_cast<Image*>(image);
    if (!source)
        return Draw_Nothing;
    BlitTarget target{m_image.Pixels(), m_image.GetWidth(), m_image.GetHeight()};
    return Changed(BlitImage(source, TruncToInt(x), TruncToInt(y), target, state));
}

int cImageCanvas::DrawStretchedImage(IImage* image, const Rect<int>& destination, const DrawState& state)
{
    Image* source = dynamic_cast<Image*>(image);
    if (!source)
        return Draw_Nothing;
    BlitTarget target{m_image.Pixels(), m_image.GetWidth(), m_image.GetHeight()};
    return Changed(BlitStretchedImage(source, target, destination, state));
}

int cImageCanvas::DrawRotatedImage(IImage* image, float x, float y, float angle, const DrawState& state)
{
    Image* source = dynamic_cast<Image*>(image);
    if (!source || !std::isfinite(angle))
        return Draw_Nothing;
    Image* turned = GetRotatedImage(*source, angle);
    if (!turned)
        return Draw_Unsupported;
    return DrawImage(turned, x - float(turned->GetWidth()) * 0.5f, y - float(turned->GetHeight()) * 0.5f,
                     state);
}

int cImageCanvas::SetPixel(float fx, float fy, uint32_t color)
{
    const int x = TruncToInt(fx), y = TruncToInt(fy);
    if (x >= 0 && y >= 0 && x < m_image.GetWidth() && y < m_image.GetHeight())
    {
        m_image.Pixels()[size_t(y) * size_t(m_image.GetWidth()) + size_t(x)] = color;
        m_image.MarkPixelsChanged();
    }
    return Draw_Done;
}

uint32_t cImageCanvas::GetPixel(float x, float y)
{
    return m_image.GetPixel(TruncToInt(x), TruncToInt(y));
}

int cImageCanvas::DrawCircle(float x, float y, float radius, const DrawState& state, bool filled)
{
    const int64_t cx = TruncToInt(x), cy = TruncToInt(y);
    const float whole = std::floor(radius + 0.5f);
    const Rect<int> clip = IntersectRects(LiveBounds(), state.clipRect);
    if (!(state.color.a >= 0.5f) || !(whole >= 0.0f) || clip.IsEmpty() || !m_image.Pixels())
        return Draw_Nothing;
    const int64_t n = TruncToInt(whole);
    const int64_t lastColumn = int64_t(clip.x) + clip.w - 1;
    const int64_t lastRow = int64_t(clip.y) + clip.h - 1;
    if (cx + n < clip.x || cy + n < clip.y || cx - n > lastColumn || cy - n > lastRow)
        return Draw_Nothing;
    if (radius == 0.5f)
        return SetPixel(float(cx), float(cy), PackColor(state.color));
    // A radius-1 circle is the one pixel at its centre.
    if (n == 1)
        return DrawFilledRect(Rect<int>(int(cx), int(cy), 1, 1), state);

    const std::vector<CircleOffset> offsets = ComputeCircleOffsets(DoubledRadius(radius));
    if (offsets.empty())
        return Draw_Nothing;
    const BlitTarget target{m_image.Pixels(), m_image.GetWidth(), m_image.GetHeight()};
    if (filled)
        FillCircleSpans(target, clip, int(cx), int(cy), offsets, PackColor(state.color));
    else
        DrawCircleOutline(target, clip, int(cx), int(cy), offsets, PackColor(state.color));
    return Changed(Draw_Done);
}

int cImageCanvas::DrawLineCircle(float x, float y, float radius, const DrawState& state)
{
    return DrawCircle(x, y, radius, state, false);
}

int cImageCanvas::DrawFilledCircle(float x, float y, float radius, const DrawState& state)
{
    return DrawCircle(x, y, radius, state, true);
}

int cImageCanvas::DrawEllipseShape(const Rect<float>& rect, const DrawState& state, bool filled)
{
    if (!(rect.w > 0.0f) || !(rect.h > 0.0f))
        return Draw_Nothing;
    if (std::fabs(rect.w - rect.h) < 0.5f)
        return DrawCircle(rect.x + rect.w * 0.5f, rect.y + rect.w * 0.5f, rect.w * 0.5f, state, filled);
    const BlitTarget target{m_image.Pixels(), m_image.GetWidth(), m_image.GetHeight()};
    return Changed(DrawEllipseOnPixels(target, LiveBounds(), rect, state, filled));
}

int cImageCanvas::DrawLineEllipse(const Rect<float>& bounds, const DrawState& state)
{
    return DrawEllipseShape(bounds, state, false);
}

int cImageCanvas::DrawFilledEllipse(const Rect<float>& bounds, const DrawState& state)
{
    return DrawEllipseShape(bounds, state, true);
}

} // namespace Kestrin::Graphics
