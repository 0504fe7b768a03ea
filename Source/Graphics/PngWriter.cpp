#include "Graphics/PngWriter.h"

#include "Base/Log.h"
#include "Graphics/Canvas.h"

#include <png.h>

#include <vector>

namespace Kestrin::Graphics
{

bool WritePng(const std::string& path, const uint32_t* argb, int width, int height)
{
    if (!argb || width <= 0 || height <= 0)
    {
        LogPrintf("PNG %s: nothing to write (%dx%d)\n", path.c_str(), width, height);
        return false;
    }
    // Bytes in file order, whatever the machine's word order.
    std::vector<uint8_t> rgba(size_t(width) * size_t(height) * 4);
    for (size_t i = 0; i < size_t(width) * size_t(height); ++i)
    {
        rgba[4 * i + 0] = uint8_t(argb[i] >> 16);
        rgba[4 * i + 1] = uint8_t(argb[i] >> 8);
        rgba[4 * i + 2] = uint8_t(argb[i]);
        rgba[4 * i + 3] = uint8_t(argb[i] >> 24);
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(width);
    image.height = png_uint_32(height);
    image.format = PNG_FORMAT_RGBA;
    const bool written = png_image_write_to_file(&image, path.c_str(), 0, rgba.data(), 0, nullptr) != 0;
    if (!written)
        LogPrintf("PNG %s: cannot write: %s\n", path.c_str(), image.message);
    png_image_free(&image);
    return written;
}

bool SaveCanvasPng(ICanvas* canvas, const std::string& path)
{
    IPixelSettingCanvas* pixels = QueryCanvas<IPixelSettingCanvas>(canvas);
    if (!pixels)
    {
        LogPrintf("PNG %s: the canvas offers no pixels to read\n", path.c_str());
        return false;
    }
    const Rect<int> bounds = canvas->GetBounds();
    std::vector<uint32_t> argb;
    argb.reserve(size_t(std::max(bounds.w, 0)) * size_t(std::max(bounds.h, 0)));
    for (int y = bounds.y; y < bounds.Bottom(); ++y)
        for (int x = bounds.x; x < bounds.Right(); ++x)
            argb.push_back(pixels->GetPixel(float(x), float(y)));
    return WritePng(path, argb.data(), bounds.w, bounds.h);
}

} // namespace Kestrin::Graphics
