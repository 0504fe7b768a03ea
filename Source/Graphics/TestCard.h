#pragma once
// A fixed picture that exercises every drawing operation a graphics platform offers: both
// renderers draw it, so their pictures can be compared, and the program shows it while the game's
// screens are not there.
#include "Graphics/Canvas.h"

#include <memory>

namespace Kestrin
{
class Image;
class Font;
} // namespace Kestrin

namespace Kestrin::Graphics
{

// 32 x 32, opaque, no symmetry: a mirrored or turned copy never looks like the original.
std::unique_ptr<Image> MakeTestCardImage();

// Where each part of the card lies (tests compare region by region).
struct TestCardLayout
{
    Rect<int> opaqueFill{20, 20, 120, 60};
    Rect<int> blendedFill{80, 50, 120, 60}; // alpha 0.75 over the opaque fill and the background
    Rect<int> image{240, 20, 32, 32};
    Rect<int> stretched{290, 20, 64, 64};
    Rect<int> mirrored{370, 20, 32, 32};
    Rect<int> rotated{420, 20, 32, 32}; // a quarter turn
    Rect<int> clipped{480, 20, 32, 32}; // drawn at x - 10 with the clip starting at x
    Rect<int> text{20, 120, 400, 30};
    Rect<int> lines{20, 170, 200, 100};
    Rect<int> circles{240, 170, 200, 100};
    Rect<int> ellipses{460, 170, 300, 100};
};

const TestCardLayout& GetTestCardLayout();

// The card on the canvas with the current draw state; `font` may be null (no text).
void DrawTestCard(ICanvas* canvas, Image* image, Font* font);

} // namespace Kestrin::Graphics
