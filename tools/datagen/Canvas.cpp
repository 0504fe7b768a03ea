#include "Canvas.h"

#include "Det.h"

#include <stdexcept>

namespace DataGen
{
uint8_t ToByte(double v)
{
    return static_cast<uint8_t>(Det::Clamp01(v) * 255.0 + 0.5);
}

Canvas::Canvas(int width, int height) : width_(width), height_(height)
{
    if (width < 0 || height < 0 || width > 8192 || height > 8192)
        throw std::invalid_argument("canvas size out of range");
    pixels_.assign(static_cast<size_t>(width) * height, Rgba{});
}

Rgba Canvas::At(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return {};
    return pixels_[static_cast<size_t>(y) * width_ + x];
}

void Canvas::Put(int x, int y, Rgba p)
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return;
    pixels_[static_cast<size_t>(y) * width_ + x] = p;
}

Rgba Canvas::StraightAt(int x, int y) const
{
    const Rgba p = At(x, y);
    if (p.a <= 0.0f)
        return {};
    return {p.r / p.a, p.g / p.a, p.b / p.a, p.a};
}

void Canvas::Blend(int x, int y, Rgba c, double coverage)
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return;
    const double a = Det::Clamp01(c.a * coverage);
    if (a <= 0.0)
        return;
    Rgba& d = pixels_[static_cast<size_t>(y) * width_ + x];
    const double keep = 1.0 - a;
    d.r = static_cast<float>(c.r * a + d.r * keep);
    d.g = static_cast<float>(c.g * a + d.g * keep);
    d.b = static_cast<float>(c.b * a + d.b * keep);
    d.a = static_cast<float>(a + d.a * keep);
}

void Canvas::Fill(Rgba c)
{
    const Rgba p{c.r * c.a, c.g * c.a, c.b * c.a, c.a};
    for (Rgba& d : pixels_)
        d = p;
}

void Canvas::Composite(const Canvas& s, int dx, int dy, double opacity)
{
    for (int y = 0; y < s.height_; ++y)
        for (int x = 0; x < s.width_; ++x)
        {
            const int tx = x + dx, ty = y + dy;
            if (tx < 0 || ty < 0 || tx >= width_ || ty >= height_)
                continue;
            const Rgba p = s.pixels_[static_cast<size_t>(y) * s.width_ + x];
            const double a = p.a * opacity;
            if (a <= 0.0)
                continue;
            Rgba& d = pixels_[static_cast<size_t>(ty) * width_ + tx];
            const double keep = 1.0 - a;
            d.r = static_cast<float>(p.r * opacity + d.r * keep);
            d.g = static_cast<float>(p.g * opacity + d.g * keep);
            d.b = static_cast<float>(p.b * opacity + d.b * keep);
            d.a = static_cast<float>(a + d.a * keep);
        }
}

Canvas Canvas::Crop(int x0, int y0, int w, int h) const
{
    Canvas out(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            out.Put(x, y, At(x0 + x, y0 + y));
    return out;
}

void Canvas::MultiplyAlpha(double k)
{
    for (Rgba& d : pixels_)
    {
        d.r = static_cast<float>(d.r * k);
        d.g = static_cast<float>(d.g * k);
        d.b = static_cast<float>(d.b * k);
        d.a = static_cast<float>(d.a * k);
    }
}

void Canvas::MapColors(const std::function<Rgba(Rgba)>& f)
{
    for (Rgba& d : pixels_)
    {
        if (d.a <= 0.0f)
            continue;
        Rgba s{d.r / d.a, d.g / d.a, d.b / d.a, d.a};
        s = f(s);
        d = {s.r * s.a, s.g * s.a, s.b * s.a, s.a};
    }
}

bool Canvas::IsOpaque() const
{
    for (const Rgba& d : pixels_)
        if (ToByte(d.a) != 255)
            return false;
    return true;
}

std::vector<uint8_t> Canvas::ToRgba8() const
{
    std::vector<uint8_t> out(pixels_.size() * 4);
    for (size_t i = 0; i < pixels_.size(); ++i)
    {
        const Rgba& p = pixels_[i];
        const uint8_t a = ToByte(p.a);
        if (a != 0)
        {
            out[4 * i] = ToByte(p.r / p.a);
            out[4 * i + 1] = ToByte(p.g / p.a);
            out[4 * i + 2] = ToByte(p.b / p.a);
        }
        out[4 * i + 3] = a;
    }
    return out;
}

Canvas Flatten(const Canvas& c, Rgba matte)
{
    Canvas out(c.Width(), c.Height());
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x)
        {
            const Rgba s = c.StraightAt(x, y);
            Rgba p = Mix(WithAlpha(matte, 1.0), WithAlpha(s, 1.0), Det::Smoothstep(0.0, 0.25, s.a));
            p.a = 1.0f;
            out.Put(x, y, p);
        }
    return out;
}

Canvas AlphaMask(const Canvas& c)
{
    Canvas out(c.Width(), c.Height());
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x)
        {
            const float a = c.At(x, y).a;
            out.Put(x, y, {a, a, a, 1.0f});
        }
    return out;
}
} // namespace DataGen
