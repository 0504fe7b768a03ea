#include "Graphics/TestCard.h"

#include "Graphics/Font.h"
#include "Graphics/Image.h"

#include <numbers>

namespace Kestrin::Graphics
{

namespace
{

constexpr uint32_t kPaper = 0xFFF6EBD9;
constexpr uint32_t kInk = 0xFF3A2E39;

DrawState StateWithColor(const DrawState& base, uint32_t argb)
{
    DrawState state = base;
    state.color = ColorF::FromARGB(argb);
    return state;
}

} // namespace

std::unique_ptr<Image> MakeTestCardImage()
{
    auto image = std::make_unique<Image>(32, 32);
    uint32_t* pixels = image->Pixels();
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
        {
            // A red ramp across, a green ramp down, and a dark corner block at the top left.
            uint32_t r = uint32_t(x * 8), g = uint32_t(y * 8), b = 0x60;
            if (x < 8 && y < 12)
                r = g = b = 0x20;
            pixels[y * 32 + x] = 0xFF000000 | (r << 16) | (g << 8) | b;
        }
    image->hasAlpha = false;
    image->MarkPixelsChanged();
    return image;
}

const TestCardLayout& GetTestCardLayout()
{
    static const TestCardLayout layout;
    return layout;
}

void DrawTestCard(ICanvas* canvas, Image* image, Font* font)
{
    if (!canvas)
        return;
    const TestCardLayout& at = GetTestCardLayout();
    const DrawState base = CurrentDrawState();
    const Rect<int> bounds = canvas->GetBounds();

    FillRect(Rect<float>(float(bounds.x), float(bounds.y), float(bounds.w), float(bounds.h)),
             StateWithColor(base, kPaper), canvas);
    FillRect(Rect<float>(at.opaqueFill.x, at.opaqueFill.y, at.opaqueFill.w, at.opaqueFill.h),
             StateWithColor(base, 0xFFF0766B), canvas);
    FillRect(Rect<float>(at.blendedFill.x, at.blendedFill.y, at.blendedFill.w, at.blendedFill.h),
             StateWithColor(base, 0xBF2BA6A0), canvas);

    if (image)
    {
        DrawState plain = base;
        plain.flags = DrawFlag_Blend;
        DrawImage(float(at.image.x), float(at.image.y), canvas, image, plain);
        DrawImageInRect(canvas, at.stretched, image, plain);
        DrawState mirrored = plain;
        mirrored.flags |= DrawFlag_MirrorX;
        DrawImage(float(at.mirrored.x), float(at.mirrored.y), canvas, image, mirrored);
        DrawState centred = plain;
        centred.hAlign = centred.vAlign = 1; // turned about its centre, so it stays in its square
        DrawImageRotated(canvas, image, float(at.rotated.x + at.rotated.w / 2),
                         float(at.rotated.y + at.rotated.h / 2), std::numbers::pi_v<float> * 0.5f, centred);
        DrawState clipped = plain;
        clipped.clipRect = Rect<int>(at.clipped.x, at.clipped.y, 22, 32);
        DrawImage(float(at.clipped.x - 10), float(at.clipped.y), canvas, image, clipped);
    }

    if (font)
    {
        DrawState text = StateWithColor(base, kInk);
        text.font = font;
        DrawText(L"Tanglewisp: the quick brown fox, 0123456789", float(at.text.x), float(at.text.y), text,
                 canvas);
    }

    const DrawState ink = StateWithColor(base, kInk);
    const Rect<int>& l = at.lines;
    DrawLine(float(l.x), float(l.y), float(l.x + 180), float(l.y), ink, canvas);
    DrawLine(float(l.x), float(l.y + 10), float(l.x), float(l.y + 90), ink, canvas);
    DrawLine(float(l.x + 20), float(l.y + 20), float(l.x + 100), float(l.y + 90), ink, canvas);

    const Rect<int>& c = at.circles;
    if (IEllipseDrawingCanvas* shapes = QueryCanvas<IEllipseDrawingCanvas>(canvas))
    {
        shapes->DrawLineCircle(float(c.x + 50), float(c.y + 50), 40.0f, ink);
        shapes->DrawFilledCircle(float(c.x + 150), float(c.y + 50), 30.0f, StateWithColor(base, 0xFF2BA6A0));
        const Rect<int>& e = at.ellipses;
        shapes->DrawLineEllipse(Rect<float>(float(e.x), float(e.y + 10), 140.0f, 80.0f), ink);
        shapes->DrawFilledEllipse(Rect<float>(float(e.x + 160), float(e.y + 20), 120.0f, 60.0f),
                                  StateWithColor(base, 0xFFF0766B));
    }
}

} // namespace Kestrin::Graphics
