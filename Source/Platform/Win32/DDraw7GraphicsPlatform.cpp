#include "Platform/Win32/DDraw7GraphicsPlatform.h"

#include "Base/Clock.h"
#include "Base/Exceptions.h"
#include "Base/Log.h"
#include "Graphics/Blitter.h"
#include "Graphics/Image.h"
#include "Platform/Display.h"
#include "Platform/Looper.h"
#include "Platform/Platform.h"
#include "Platform/Win32/CDisplay.h"
#include "Platform/Win32/Win32Platform.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

namespace Kestrin
{

namespace DD = Shim::DirectDraw;
using Graphics::DrawState;

namespace
{

// The source file named by this platform's exceptions.
constexpr const char* kSourceFile = "DDraw7GraphicsPlatform";

struct Layout16
{
    uint32_t r, g, b;
};

constexpr Layout16 k16BitLayouts[4] = {
    {0x7C00, 0x03E0, 0x001F},
    {0xFC00, 0x03E0, 0x001F},
    {0xF800, 0x07E0, 0x001F},
    {0xF800, 0x07C0, 0x003F},
};

CDisplay& RequireDisplay()
{
    CDisplay* display = CDisplay::Get();
    if (!display)
        throw engine_error(kSourceFile, __LINE__, "No display for DDraw7 graphics platform.");
    return *display;
}

} // namespace

int DDraw7GraphicsPlatform::Find16BitLayout(uint32_t rMask, uint32_t gMask, uint32_t bMask)
{
    for (int i = 0; i < 4; ++i)
        if (k16BitLayouts[i].r == rMask && k16BitLayouts[i].g == gMask && k16BitLayouts[i].b == bMask)
            return i;
    return kInvalidLayout;
}

uint16_t DDraw7GraphicsPlatform::To16Bit(uint32_t p, int layout)
{
    switch (layout)
    {
    case 0:
        return uint16_t(((p >> 9) & 0x7C00) | ((p >> 6) & 0x03E0) | ((p >> 3) & 0x001F));
    case 1:
        return uint16_t(((p >> 8) & 0xFC00) | ((p >> 6) & 0x03E0) | ((p >> 3) & 0x001F));
    case 2:
        return uint16_t(((p >> 8) & 0xF800) | ((p >> 5) & 0x07E0) | ((p >> 3) & 0x001F));
    case 3:
        return uint16_t(((p >> 8) & 0xF800) | ((p >> 5) & 0x07C0) | ((p >> 2) & 0x003F));
    default:
        return 0;
    }
}

DDraw7GraphicsPlatform::DDraw7GraphicsPlatform()
{
    SetGraphicsPlatform(this);
}

DDraw7GraphicsPlatform::~DDraw7GraphicsPlatform() = default;

void DDraw7GraphicsPlatform::GetName(NameId& name)
{
    static constinit ConstantName platformName{"DDraw7"};
    name = platformName;
}

void DDraw7GraphicsPlatform::Initialize(const DisplaySettings& settings)
{
    IPlatform* platform = GetPlatform();
    if (!platform)
        throw engine_error(kSourceFile, __LINE__, "Using DDraw7 Graphics platform on non-win32 platform.");
    CDisplay& display = RequireDisplay();
    auto window = static_cast<DD::WindowHandle>(platform->GetDisplayWindow());

    display.DisableD3D();
    if (settings.windowMode == WindowMode_FullScreen)
        display.SetupFullscreen(window, settings.width, settings.height, 32);
    else
        display.SetupWindowed(window, settings.width, settings.height);

    const int width = settings.width;
    const int height = settings.height;
    DD::Driver* directDraw = display.GetDirectDraw();
    DD::SurfacePtr surface;
    if (width <= 0 || height <= 0 || !directDraw ||
        DD::Failed(directDraw->CreateOffscreen(
            width, height, DD::DDSCAPS_OFFSCREENPLAIN | display.GetOffscreenPlacement(), surface)) ||
        !surface)
        throw engine_error(kSourceFile, __LINE__, "Could not create screen surface.");
    m_screenSurface = surface;

    DD::SurfaceDesc desc;
    if (DD::Failed(m_screenSurface->GetDesc(desc)))
        desc = DD::SurfaceDesc{};
    m_surfaceWidth = desc.width;
    m_surfaceHeight = desc.height;
    m_bitsPerPixel = int(desc.format.bits);
    m_layout = kInvalidLayout;
    LogPrintf("Canvas2d: %dx%dx%d - ", width, height, m_bitsPerPixel);
    if (m_bitsPerPixel == 32 || m_bitsPerPixel == 24)
    {
        LogPrintf("OK\n");
    }
    else if (m_bitsPerPixel == 16)
    {
        LogPrintf("Red:0x%.4x Green:0x%.4x Blue:0x%.4x - ", unsigned(desc.format.rMask),
                  unsigned(desc.format.gMask), unsigned(desc.format.bMask));
        m_layout = Find16BitLayout(desc.format.rMask, desc.format.gMask, desc.format.bMask);
        LogPrintf(m_layout == kInvalidLayout ? "Invalid Mode\n" : "OK\n");
    }
    else
    {
        LogPrintf("Invalid Mode\n");
    }

    m_bounds = {0, 0, width, height};
    m_pixels = std::make_unique<uint32_t[]>(size_t(width) * size_t(height));
    for (int y = 0; y < height; ++y)
    {
        uint32_t* row = m_pixels.get() + size_t(y) * size_t(width);
        for (int x = 0; x < width; ++x)
            row[x] = 0xFF195800u | (uint32_t(2 * (x + 1) + y) & 0xFFu);
    }
}

void DDraw7GraphicsPlatform::Shutdown()
{
    // The display's objects go now; the screen surface belongs with them.
    m_screenSurface.reset();
    if (CDisplay* display = CDisplay::Get())
        display->Shutdown();
}

int DDraw7GraphicsPlatform::BeginFrame()
{
    m_flags &= ~uint32_t(Flag_Drawn);
    CDisplay* display = CDisplay::Get();
    if (!display || !display->GetDirectDraw())
        return 1;
    if (DD::GetBackend().IsIconic(display->GetWindow()))
        return 1;
    const DD::HRESULT hr = display->GetDirectDraw()->TestCooperativeLevel();
    if (hr == DD::DD_OK)
    {
        display->RestoreLostSurfaces();
        return 0;
    }
    if (hr == DD::DDERR_EXCLUSIVEMODEALREADYSET || hr == DD::DDERR_NOEXCLUSIVEMODE)
    {
        GetClock().Sleep(50);
        return 1;
    }
    throw com_error(kSourceFile, __LINE__, hr, "TestCooperativeLevel failed");
}

void DDraw7GraphicsPlatform::ConvertToSurface(uint8_t* bits, int pitch)
{
    const int width = std::min(m_bounds.w, m_surfaceWidth);
    const int height = std::min(m_bounds.h, m_surfaceHeight);
    for (int y = 0; y < height; ++y)
    {
        const uint32_t* src = m_pixels.get() + size_t(y) * size_t(m_bounds.w);
        uint8_t* dst = bits + ptrdiff_t(y) * pitch;
        if (m_bitsPerPixel == 32)
        {
            std::memcpy(dst, src, size_t(width) * 4);
        }
        else if (m_bitsPerPixel == 24)
        {
            for (int x = 0; x < width; ++x)
            {
                const uint32_t p = src[x];
                dst[3 * x + 0] = uint8_t(p);
                dst[3 * x + 1] = uint8_t(p >> 8);
                dst[3 * x + 2] = uint8_t(p >> 16);
            }
        }
        else if (m_bitsPerPixel == 16 && m_layout != kInvalidLayout)
        {
            for (int x = 0; x < width; ++x)
            {
                const uint16_t v = To16Bit(src[x], m_layout);
                std::memcpy(dst + 2 * x, &v, 2);
            }
        }
        else
        {
            return;
        }
    }
}

int DDraw7GraphicsPlatform::EndFrame()
{
    if (!(m_flags & (Flag_CustomCursor | Flag_Drawn)))
        return 0;

    IPlatform* platform = GetPlatform();
    if (platform && platform->IsActive() && (m_flags & Flag_CustomCursor))
    {
        Looper* looper = Looper::Current();
        const int mx = looper->GetLastMouseX();
        const int my = looper->GetLastMouseY();
        if (mx >= 0 && my >= 0)
            Graphics::DrawImage(float(mx - m_hotSpot.x), float(my - m_hotSpot.y),
                                Graphics::GetCurrentCanvas(), m_cursorImage, Graphics::CurrentDrawState());
    }

    CDisplay* display = CDisplay::Get();
    if (!display || !m_screenSurface || !m_pixels)
        return -1;
    try
    {
        void* bits = nullptr;
        int pitch = 0;
        DD::HRESULT hr = m_screenSurface->Lock(bits, pitch, false);
        if (DD::Failed(hr) || !bits)
        {
            if (!DD::Failed(hr))
                m_screenSurface->Unlock();
            if (hr == DD::DDERR_CANTCREATEDC)
                LogPrintf("Lock() can't create dc\n");
            throw com_error(kSourceFile, __LINE__, hr, "Lock failed");
        }
        ConvertToSurface(static_cast<uint8_t*>(bits), pitch);
        m_screenSurface->Unlock();

        DD::Surface* drawingSurface = display->GetBackBuffer();
        hr = drawingSurface ? drawingSurface->BltFast(0, 0, m_screenSurface.get()) : DD::DDERR_GENERIC;
        if (DD::Failed(hr))
            throw com_error(kSourceFile, __LINE__, hr, "Blit failed");
        hr = display->Present();
        if (DD::Failed(hr))
            throw com_error(kSourceFile, __LINE__, hr, "EndScene failed");
    }
    catch (const com_error& e)
    {
        LogPrintf("Exception\n");
        LogExceptionDetails(e);
        if (e.Code() == DD::DDERR_SURFACELOST)
        {
            if (DD::Driver* directDraw = display->GetDirectDraw())
                directDraw->RestoreAllSurfaces();
            return 1;
        }
        if (e.Code() == DD::DDERR_WRONGMODE)
        {
            // Setting the display up again replaces this platform, so it must not happen inside
            // this call: the main loop does it on its next pass.
            QueueDisplayReset();
            return 1;
        }
        return -1;
    }
    return 0;
}

void DDraw7GraphicsPlatform::SetCustomCursorEnabled(bool enabled)
{
    if (enabled)
        m_flags |= Flag_CustomCursor;
    else
        m_flags &= ~uint32_t(Flag_CustomCursor);
    RefreshWindowCursor();
}

void DDraw7GraphicsPlatform::SetCursorImage(IImage* image, const Vector2<int>& hotSpot)
{
    m_cursorImage = image;
    m_hotSpot = hotSpot;
}

// ---- canvas ----

bool DDraw7GraphicsPlatform::QueryInterface(NameId name, void** out)
{
    void* face = nullptr;
    if (name == Names::ICanvas)
        face = static_cast<Graphics::ICanvas*>(this);
    else if (name == Names::IQuadDrawingCanvas)
        face = static_cast<Graphics::IQuadDrawingCanvas*>(this);
    else if (name == Names::IPixelSettingCanvas)
        face = static_cast<Graphics::IPixelSettingCanvas*>(this);
    else if (name == Names::IEllipseDrawingCanvas)
        face = static_cast<Graphics::IEllipseDrawingCanvas*>(this);
    if (!face)
        return false;
    *out = face;
    return true;
}

int DDraw7GraphicsPlatform::Drawn(int result)
{
    if (result == Graphics::Draw_Done)
        m_flags |= Flag_Drawn;
    return result;
}

Graphics::BlitTarget DDraw7GraphicsPlatform::Target() const
{
    return {m_pixels.get(), m_bounds.w, m_bounds.h};
}

int DDraw7GraphicsPlatform::DrawFilledRect(const Rect<float>& rect, const DrawState& state)
{
    using Graphics::TruncToInt;
    return DrawFilledRect(
        Rect<int>(TruncToInt(rect.x), TruncToInt(rect.y), TruncToInt(rect.w), TruncToInt(rect.h)), state);
}

int DDraw7GraphicsPlatform::DrawFilledRect(const Rect<int>& rect, const DrawState& state)
{
    const Rect<int> area = Graphics::IntersectRects(Graphics::IntersectRects(rect, m_bounds), state.clipRect);
    if (area.IsEmpty() || !m_pixels)
        return Graphics::Draw_Nothing;
    const uint32_t color = Graphics::PackColor(state.color);
    // No blending on this renderer: a fill is either solid or not there.
    if ((color >> 24) <= 127)
        return Graphics::Draw_Nothing;
    for (int y = area.y; y < area.y + area.h; ++y)
    {
        uint32_t* row = m_pixels.get() + size_t(y) * size_t(m_bounds.w);
        std::fill(row + area.x, row + area.x + area.w, color);
    }
    return Drawn(Graphics::Draw_Done);
}

int DDraw7GraphicsPlatform::DrawImage(IImage* image, float x, float y, const DrawState& state)
{
    Image* source = dynamic_cast<Image*>(image);
    if (!source || !m_pixels)
        return Graphics::Draw_Nothing;
    const int ix = Graphics::TruncToInt(x);
    const int iy = Graphics::TruncToInt(y);
    const Graphics::BlitTarget target = Target();

    if (state.flags & Graphics::DrawFlag_MirrorY)
    {
        // The stretching blitter mirrors both ways itself; drawn once, at the drawn size.
        const Rect<int> sourceRect = (state.flags & Graphics::DrawFlag_SourceRect)
                                         ? state.sourceRect
                                         : Rect<int>(0, 0, source->GetWidth(), source->GetHeight());
        return Drawn(Graphics::BlitStretchedImage(source, target,
                                                  Rect<int>(ix, iy, sourceRect.w, sourceRect.h), state));
    }
    if (state.flags & Graphics::DrawFlag_MirrorX)
    {
        std::unique_ptr<Image> mirrored = CreateMirroredImage(*source);
        if (!mirrored)
            return Graphics::Draw_Nothing;
        // The source rectangle mirrors with the image, so a mirrored frame of a strip stays that frame.
        DrawState mirroredState = state;
        if (state.flags & Graphics::DrawFlag_SourceRect)
        {
            const int64_t x = int64_t(source->GetWidth()) - state.sourceRect.x - state.sourceRect.w;
            mirroredState.sourceRect.x = int(std::clamp<int64_t>(x, INT_MIN, INT_MAX));
        }
        return Drawn(Graphics::BlitImage(mirrored.get(), ix, iy, target, mirroredState));
    }
    return Drawn(Graphics::BlitImage(source, ix, iy, target, state));
}

int DDraw7GraphicsPlatform::DrawStretchedImage(IImage* image, const Rect<int>& destination,
                                               const DrawState& state)
{
    Image* source = dynamic_cast<Image*>(image);
    if (!source || !m_pixels)
        return Graphics::Draw_Nothing;
    return Drawn(Graphics::BlitStretchedImage(source, Target(), destination, state));
}

int DDraw7GraphicsPlatform::DrawRotatedImage(IImage* image, float x, float y, float angle,
                                             const DrawState& state)
{
    Image* source = dynamic_cast<Image*>(image);
    if (!source || !std::isfinite(angle))
        return Graphics::Draw_Nothing;
    if (source->GetRotationCache())
    {
        Image* turned = GetRotatedImage(*source, angle);
        if (!turned)
            return Graphics::Draw_Unsupported;
        return DrawImage(turned, x - float(turned->GetWidth()) * 0.5f, y - float(turned->GetHeight()) * 0.5f,
                         state);
    }
    m_rotationWarning.Printf(
        "", "Performance warning: DDraw7GraphicsPlatform::DrawRotatedImage() is manually creating rotated "
            "Images every frame! Specify a default number of rotations in the Image resource.\r\n");
    std::unique_ptr<Image> turned = CreateRotatedImage(*source, angle);
    if (!turned)
        return Graphics::Draw_Unsupported;
    return DrawImage(turned.get(), x - float(turned->GetWidth()) * 0.5f,
                     y - float(turned->GetHeight()) * 0.5f, state);
}

int DDraw7GraphicsPlatform::SetPixel(float fx, float fy, uint32_t color)
{
    const int x = Graphics::TruncToInt(fx);
    const int y = Graphics::TruncToInt(fy);
    if (!m_pixels || !m_bounds.Contains(x, y))
        return Graphics::Draw_Nothing;
    m_pixels[size_t(y) * size_t(m_bounds.w) + size_t(x)] = color;
    return Drawn(Graphics::Draw_Done);
}

uint32_t DDraw7GraphicsPlatform::GetPixel(float fx, float fy)
{
    const int x = Graphics::TruncToInt(fx);
    const int y = Graphics::TruncToInt(fy);
    if (!m_pixels || !m_bounds.Contains(x, y))
        return 0;
    return m_pixels[size_t(y) * size_t(m_bounds.w) + size_t(x)];
}

// ---- circles and ellipses ----

size_t DDraw7GraphicsPlatform::CachedCircleCount() const
{
    size_t count = 0;
    for (const auto& list : m_circles)
        count += list.empty() ? 0 : 1;
    return count;
}

const std::vector<Graphics::CircleOffset>&
DDraw7GraphicsPlatform::CircleOffsets(int doubledRadius, std::vector<Graphics::CircleOffset>& scratch)
{
    // A runaway radius (a tween gone wild) must not grow the cache without limit.
    if (doubledRadius > kMaxCachedDoubledRadius)
    {
        scratch = Graphics::ComputeCircleOffsets(doubledRadius);
        return scratch;
    }
    if (size_t(doubledRadius) >= m_circles.size())
        m_circles.resize(size_t(doubledRadius) + 256);
    std::vector<Graphics::CircleOffset>& list = m_circles[size_t(doubledRadius)];
    if (list.empty())
        list = Graphics::ComputeCircleOffsets(doubledRadius);
    return list;
}

int DDraw7GraphicsPlatform::DrawCircle(float x, float y, float radius, const DrawState& state, bool filled)
{
    const int doubled = Graphics::DoubledRadius(radius);
    if (doubled < 1 || !(state.color.a >= 0.5f) || !m_pixels)
        return Graphics::Draw_Nothing;
    const Rect<int> clip = Graphics::IntersectRects(m_bounds, state.clipRect);
    if (clip.IsEmpty())
        return Graphics::Draw_Nothing;
    const int64_t cx = Graphics::TruncToInt(x);
    const int64_t cy = Graphics::TruncToInt(y);
    // The outline's widest offset is exactly half the doubled radius, rounded down (the centre
    // pixel alone for radius 0.5), so a circle none of whose pixels can land in the clip is skipped.
    const int64_t reach = doubled / 2;
    const int64_t lastColumn = int64_t(clip.x) + clip.w - 1;
    const int64_t lastRow = int64_t(clip.y) + clip.h - 1;
    if (cx + reach < clip.x || cy + reach < clip.y || cx - reach > lastColumn || cy - reach > lastRow)
        return Graphics::Draw_Nothing;

    std::vector<Graphics::CircleOffset> scratch;
    const std::vector<Graphics::CircleOffset>& offsets = CircleOffsets(doubled, scratch);
    if (offsets.empty())
        return Graphics::Draw_Nothing;
    const uint32_t color = Graphics::PackColor(state.color);
    if (filled)
        Graphics::FillCircleSpans(Target(), clip, int(cx), int(cy), offsets, color);
    else
        Graphics::DrawCircleOutline(Target(), clip, int(cx), int(cy), offsets, color);
    return Drawn(Graphics::Draw_Done);
}

int DDraw7GraphicsPlatform::DrawLineCircle(float x, float y, float radius, const DrawState& state)
{
    return DrawCircle(x, y, radius, state, false);
}

int DDraw7GraphicsPlatform::DrawFilledCircle(float x, float y, float radius, const DrawState& state)
{
    return DrawCircle(x, y, radius, state, true);
}

int DDraw7GraphicsPlatform::DrawEllipseShape(const Rect<float>& rect, const DrawState& state, bool filled)
{
    // Sides within half a pixel make a circle; the width gives both centre coordinates.
    if (std::fabs(rect.w - rect.h) < 0.5f)
        return DrawCircle(rect.x + rect.w * 0.5f, rect.y + rect.w * 0.5f, rect.w * 0.5f, state, filled);
    if (!m_pixels)
        return Graphics::Draw_Nothing;
    // Sides that truncate to 0 or less draw nothing there.
    return Drawn(Graphics::DrawEllipseOnPixels(Target(), m_bounds, rect, state, filled));
}

int DDraw7GraphicsPlatform::DrawLineEllipse(const Rect<float>& bounds, const DrawState& state)
{
    return DrawEllipseShape(bounds, state, false);
}

int DDraw7GraphicsPlatform::DrawFilledEllipse(const Rect<float>& bounds, const DrawState& state)
{
    return DrawEllipseShape(bounds, state, true);
}

} // namespace Kestrin
