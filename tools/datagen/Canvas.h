#pragma once
// The painter's surface: RGBA floats, premultiplied, so layers composite without fringes.
#include "Color.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace DataGen
{
class Canvas
{
public:
    Canvas() = default;
    Canvas(int width, int height);

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Empty() const { return width_ == 0 || height_ == 0; }

    // Premultiplied pixel; transparent outside the canvas.
    Rgba At(int x, int y) const;
    void Put(int x, int y, Rgba premultiplied);
    // Straight-alpha pixel.
    Rgba StraightAt(int x, int y) const;

    // Source-over of a straight colour at `coverage` (0..1).
    void Blend(int x, int y, Rgba straight, double coverage);
    void Fill(Rgba straight);
    // Source-over of another canvas with its top-left at (dx, dy).
    void Composite(const Canvas& source, int dx, int dy, double opacity = 1.0);
    Canvas Crop(int x, int y, int width, int height) const;
    void MultiplyAlpha(double k);
    // Applies `f` to every straight colour.
    void MapColors(const std::function<Rgba(Rgba)>& f);
    bool IsOpaque() const;

    // Straight-alpha RGBA bytes, rows top to bottom, each channel rounded to nearest.
    std::vector<uint8_t> ToRgba8() const;

private:
    int width_ = 0, height_ = 0;
    std::vector<Rgba> pixels_;
};

uint8_t ToByte(double v);

// An opaque copy for formats without alpha: the straight colour where the canvas has any, fading
// to `matte` only where it is nearly clear, so a separate alpha mask cuts clean edges.
Canvas Flatten(const Canvas& c, Rgba matte);
// The canvas's alpha as an opaque grey picture (the engine reads a mask's alpha from it).
Canvas AlphaMask(const Canvas& c);
} // namespace DataGen
