#include "Graphics/Shapes.h"

#include <algorithm>
#include <cmath>

namespace Kestrin::Graphics
{

namespace
{

// Largest s with s * s <= v (v >= 0).
int64_t IntegerSqrt(int64_t v)
{
    int64_t s = int64_t(std::sqrt(double(v)));
    while (s > 0 && s * s > v)
        --s;
    while ((s + 1) * (s + 1) <= v)
        ++s;
    return s;
}

inline bool Inside(const Rect<int>& clip, int64_t x, int64_t y)
{
    return x >= clip.x && y >= clip.y && x < int64_t(clip.x) + clip.w && y < int64_t(clip.y) + clip.h;
}

inline void Put(const BlitTarget& target, const Rect<int>& clip, int64_t x, int64_t y, uint32_t color)
{
    if (Inside(clip, x, y))
        target.pixels[size_t(y) * size_t(target.width) + size_t(x)] = color;
}

void Span(const BlitTarget& target, const Rect<int>& clip, int64_t x1, int64_t x2, int64_t y, uint32_t color)
{
    if (y < clip.y || y >= int64_t(clip.y) + clip.h)
        return;
    x1 = std::max<int64_t>(x1, clip.x);
    x2 = std::min<int64_t>(x2, int64_t(clip.x) + clip.w - 1);
    if (x1 > x2)
        return;
    uint32_t* row = target.pixels + size_t(y) * size_t(target.width);
    std::fill(row + x1, row + x2 + 1, color);
}

} // namespace

int DoubledRadius(float radius)
{
    if (std::isnan(radius))
        return 0;
    const float d = std::floor(2.0f * radius + 0.5f);
    if (d >= 2147483647.0f)
        return 2147483647;
    if (d <= -2147483648.0f)
        return -2147483647 - 1;
    return int(d);
}

std::vector<CircleOffset> ComputeCircleOffsets(int doubledRadius)
{
    std::vector<CircleOffset> offsets;
    if (doubledRadius <= 0 || doubledRadius > kMaxDoubledRadius)
        return offsets;
    if (doubledRadius == 1)
    {
        offsets.push_back({0, 0});
        return offsets;
    }
    const int64_t r2 = int64_t(doubledRadius) * doubledRadius;
    // First octant (dx >= dy), one point per row.
    for (int64_t dy = 0;; ++dy)
    {
        const int64_t room = r2 - 4 * dy * dy;
        if (room <= 1)
            break;
        const int64_t dx = (IntegerSqrt(room - 1) + 1) / 2;
        if (dx < dy)
            break;
        offsets.push_back({int(dx), int(dy)});
    }
    // The second octant is the first mirrored across the diagonal, walked back.
    for (size_t i = offsets.size(); i-- > 0;)
        if (offsets[i].dx != offsets[i].dy)
            offsets.push_back({offsets[i].dy, offsets[i].dx});
    return offsets;
}

void DrawCircleOutline(const BlitTarget& target, const Rect<int>& clip, int cx, int cy,
                       const std::vector<CircleOffset>& offsets, uint32_t color)
{
    for (const CircleOffset& o : offsets)
    {
        Put(target, clip, int64_t(cx) + o.dx, int64_t(cy) + o.dy, color);
        Put(target, clip, int64_t(cx) - o.dx, int64_t(cy) + o.dy, color);
        Put(target, clip, int64_t(cx) - o.dx, int64_t(cy) - o.dy, color);
        Put(target, clip, int64_t(cx) + o.dx, int64_t(cy) - o.dy, color);
    }
}

void FillCircleSpans(const BlitTarget& target, const Rect<int>& clip, int cx, int cy,
                     const std::vector<CircleOffset>& offsets, uint32_t color)
{
    for (const CircleOffset& o : offsets)
    {
        Span(target, clip, int64_t(cx) - o.dx, int64_t(cx) + o.dx, int64_t(cy) + o.dy, color);
        Span(target, clip, int64_t(cx) - o.dx, int64_t(cx) + o.dx, int64_t(cy) - o.dy, color);
    }
}

std::vector<CircleOffset> ComputeEllipseOffsets(int width, int height)
{
    const bool wide = width > height;
    std::vector<CircleOffset> used;
    CircleOffset previous{0, 0};
    for (const CircleOffset& o : ComputeCircleOffsets(wide ? width : height))
    {
        const CircleOffset scaled = wide ? CircleOffset{o.dx, int(int64_t(o.dy) * height / width)}
                                         : CircleOffset{int(int64_t(o.dx) * width / height), o.dy};
        if (scaled == previous)
            continue;
        previous = scaled;
        used.push_back(scaled);
    }
    return used;
}

int DrawEllipseOnPixels(const BlitTarget& target, const Rect<int>& bounds, const Rect<float>& rect,
                        const DrawState& state, bool filled)
{
    if (!target.pixels)
        return Draw_Nothing;
    const int64_t x = TruncToInt(rect.x), y = TruncToInt(rect.y);
    const int64_t w = TruncToInt(rect.w), h = TruncToInt(rect.h);
    // Zero or negative sides draw nothing (and never divide by zero below).
    if (w <= 0 || h <= 0 || std::max(w, h) > kMaxDoubledRadius)
        return Draw_Nothing;
    const Rect<int> clip = IntersectRects(bounds, state.clipRect);
    if (clip.IsEmpty() || !(state.color.a >= 0.5f))
        return Draw_Nothing;
    const int64_t lastColumn = int64_t(clip.x) + clip.w - 1;
    const int64_t lastRow = int64_t(clip.y) + clip.h - 1;
    if (x + w < clip.x || y + h < clip.y || x > lastColumn || y > lastRow)
        return Draw_Nothing;

    const uint32_t color = PackColor(state.color);
    const int cx = TruncToInt(rect.x + rect.w * 0.5f);
    const int cy = TruncToInt(rect.y + rect.h * 0.5f);
    const std::vector<CircleOffset> used = ComputeEllipseOffsets(int(w), int(h));
    if (filled)
        FillCircleSpans(target, clip, cx, cy, used, color);
    else
        DrawCircleOutline(target, clip, cx, cy, used, color);
    return Draw_Done;
}

} // namespace Kestrin::Graphics
