#include "Graphics/Canvas.h"

#include "Base/Log.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <cmath>
#include <cstdlib>

namespace Kestrin::Graphics
{

namespace
{

std::atomic<ScreenCanvasSource> g_screenSource{nullptr};

class cScreenCanvasProxy : public ICanvas
{
public:
    void GetName(NameId& name) override
    {
        if (ICanvas* screen = Screen())
            screen->GetName(name);
        else
            name = NameId();
    }
    const Rect<int>& GetBounds() override
    {
        static const Rect<int> none{0, 0, 0, 0};
        ICanvas* screen = Screen();
        return screen ? screen->GetBounds() : none;
    }
    bool QueryInterface(NameId name, void** out) override
    {
        ICanvas* screen = Screen();
        return screen && screen->QueryInterface(name, out);
    }

private:
    static ICanvas* Screen()
    {
        ScreenCanvasSource source = g_screenSource.load();
        return source ? source() : nullptr;
    }
};

cScreenCanvasProxy g_screenProxy;

struct SavedCanvas
{
    ICanvas* canvas;
    DrawState state;
};

// Per thread, so that a loading thread drawing into an image never redirects the screen's drawing.
struct CanvasContext
{
    ICanvas* canvas = &g_screenProxy;
    DrawState state = GetDefaultDrawState();
    SavedCanvas stack[kCanvasStackSize];
    int depth = 0;
};

CanvasContext& Context()
{
    thread_local CanvasContext context;
    return context;
}

LogOnce g_overflowLog;

} // namespace

ICanvas* GetCurrentCanvas()
{
    ICanvas* canvas = Context().canvas;
    return canvas ? canvas : &g_screenProxy;
}

void SetCurrentCanvas(ICanvas* canvas)
{
    Context().canvas = canvas;
}

DrawState& CurrentDrawState()
{
    return Context().state;
}

const DrawState& GetDefaultDrawState()
{
    static const DrawState state;
    return state;
}

void PushCanvas()
{
    CanvasContext& c = Context();
    if (c.depth < kCanvasStackSize)
        c.stack[c.depth] = {c.canvas, c.state};
    else
        g_overflowLog.Printf("", "Canvas stack: more than %d pushes; the extra ones are not saved.\n",
                             kCanvasStackSize);
    if (c.depth < INT_MAX)
        ++c.depth;
}

void PopCanvas()
{
    CanvasContext& c = Context();
    if (c.depth <= 0)
        return;
    --c.depth;
    if (c.depth < kCanvasStackSize)
    {
        c.canvas = c.stack[c.depth].canvas;
        c.state = c.stack[c.depth].state;
    }
}

int CanvasStackDepth()
{
    return Context().depth;
}

void SetScreenCanvasSource(ScreenCanvasSource source)
{
    g_screenSource.store(source);
}

ICanvas* GetScreenCanvasProxy()
{
    return &g_screenProxy;
}

Rect<int> IntersectRects(const Rect<int>& a, const Rect<int>& b)
{
    // 64-bit sums: rectangles near the int limits must not wrap.
    const int64_t left = std::max<int64_t>(a.x, b.x);
    const int64_t top = std::max<int64_t>(a.y, b.y);
    const int64_t right = std::min(int64_t(a.x) + a.w, int64_t(b.x) + b.w);
    const int64_t bottom = std::min(int64_t(a.y) + a.h, int64_t(b.y) + b.h);
    const int64_t w = std::max<int64_t>(right - left, 0);
    const int64_t h = std::max<int64_t>(bottom - top, 0);
    return {int(left), int(top), int(std::min<int64_t>(w, INT_MAX)), int(std::min<int64_t>(h, INT_MAX))};
}

int ChannelByte(float v)
{
    if (!(v > 0.0f))
        return 0;
    if (v >= 1.0f)
        return 255;
    return int(v * 255.0f);
}

uint32_t PackColor(const ColorF& color)
{
    return (uint32_t(ChannelByte(color.a)) << 24) | (uint32_t(ChannelByte(color.r)) << 16) |
           (uint32_t(ChannelByte(color.g)) << 8) | uint32_t(ChannelByte(color.b));
}

uint32_t BlendPixel(uint32_t source, uint32_t destination)
{
    const uint32_t a = source >> 24;
    if (a == 0)
        return destination;
    if (a == 255)
        return source;
    const uint32_t w = a + 1;
    const uint32_t inv = 256 - w;
    const uint32_t r = ((((destination >> 16) & 0xFF) * inv) + (((source >> 16) & 0xFF) * w)) >> 8;
    const uint32_t g = ((((destination >> 8) & 0xFF) * inv) + (((source >> 8) & 0xFF) * w)) >> 8;
    const uint32_t b = (((destination & 0xFF) * inv) + ((source & 0xFF) * w)) >> 8;
    const uint32_t alpha = (((destination >> 24) * inv) + (a * w)) >> 8;
    return (alpha << 24) | (r << 16) | (g << 8) | b;
}

int PlotPixel(int x, int y, const DrawState& state, IPixelSettingCanvas* pixels)
{
    if (!pixels)
        return Draw_Nothing;
    uint32_t color = PackColor(state.color);
    if (state.flags & DrawFlag_Blend)
        color = BlendPixel(color, pixels->GetPixel(float(x), float(y)));
    return pixels->SetPixel(float(x), float(y), color);
}

int TruncToInt(float v)
{
    if (std::isnan(v))
        return INT_MIN;
    if (v >= 2147483647.0f)
        return INT_MAX;
    if (v <= -2147483648.0f)
        return INT_MIN;
    return int(v);
}

namespace
{
int RoundCoordinate(float v)
{
    return TruncToInt(std::isnan(v) ? v : v + 0.5f);
}
} // namespace

int DrawLineClipped(float fx1, float fy1, float fx2, float fy2, const DrawState& state,
                    IPixelSettingCanvas* pixels, ICanvas* canvas)
{
    if (!pixels || !canvas)
        return Draw_Nothing;
    const int64_t x1 = RoundCoordinate(fx1), y1 = RoundCoordinate(fy1);
    const int64_t x2 = RoundCoordinate(fx2), y2 = RoundCoordinate(fy2);
    const Rect<int> clip = IntersectRects(canvas->GetBounds(), state.clipRect);
    if (clip.IsEmpty())
        return Draw_Done;

    const bool xMajor = std::llabs(x2 - x1) >= std::llabs(y2 - y1);
    // Work in (major, minor) coordinates so one loop serves both slopes.
    const int64_t a1 = xMajor ? x1 : y1, b1 = xMajor ? y1 : x1;
    const int64_t a2 = xMajor ? x2 : y2, b2 = xMajor ? y2 : x2;
    const int64_t da = std::llabs(a2 - a1), db = std::llabs(b2 - b1);
    const int64_t sa = a2 >= a1 ? 1 : -1, sb = b2 >= b1 ? 1 : -1;
    const int64_t majorMin = xMajor ? clip.x : clip.y;
    const int64_t majorMax = majorMin + (xMajor ? clip.w : clip.h) - 1;

    auto plot = [&](int64_t a, int64_t b)
    {
        const int64_t x = xMajor ? a : b;
        const int64_t y = xMajor ? b : a;
        if (x >= clip.x && y >= clip.y && x < int64_t(clip.x) + clip.w && y < int64_t(clip.y) + clip.h)
            PlotPixel(int(x), int(y), state, pixels);
    };

    // Steps k = 0 .. da-1 plot (a1 + k*sa, b1 + sb*m_k), with the minor step taken when the doubled
    // error, started at da, reaches 2*da: m_k = (da + 2*k*db) / (2*da). Only the steps whose major
    // coordinate lies inside the clip are walked, so far-off end points cost nothing.
    if (da > 0)
    {
        int64_t kFirst, kLast;
        if (sa > 0)
        {
            kFirst = std::max<int64_t>(0, majorMin - a1);
            kLast = std::min<int64_t>(da - 1, majorMax - a1);
        }
        else
        {
            kFirst = std::max<int64_t>(0, a1 - majorMax);
            kLast = std::min<int64_t>(da - 1, a1 - majorMin);
        }
        if (kFirst <= kLast)
        {
            const int64_t twoDa = 2 * da;
            // Both factors may reach 2^32: the product needs more than 64 bits.
            const __int128 start = __int128(da) + __int128(2 * kFirst) * db;
            int64_t m = int64_t(start / twoDa);
            int64_t err = int64_t(start - __int128(m) * twoDa);
            int64_t a = a1 + kFirst * sa;
            int64_t b = b1 + m * sb;
            for (int64_t k = kFirst; k <= kLast; ++k)
            {
                plot(a, b);
                err += 2 * db;
                if (err >= twoDa)
                {
                    b += sb;
                    err -= twoDa;
                }
                a += sa;
            }
        }
    }
    plot(a2, b2);
    return Draw_Done;
}

} // namespace Kestrin::Graphics
