#pragma once
// Pictures out of the engine: frames read back from a canvas, saved as PNG for the developer's
// screenshots.
#include <cstdint>
#include <string>

namespace Kestrin::Graphics
{

class ICanvas;

// Rows of 0xAARRGGBB words, top first, as an 8-bit RGBA PNG. False, with a log line naming the
// file, when it cannot be written.
bool WritePng(const std::string& path, const uint32_t* argb, int width, int height);

// The canvas's whole bounds read pixel by pixel, then written as above. False when the canvas
// cannot be read (it offers no pixel access) or the file cannot be written.
bool SaveCanvasPng(ICanvas* canvas, const std::string& path);

} // namespace Kestrin::Graphics
