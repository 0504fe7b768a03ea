#include "Graphics/Image.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace Kestrin
{

namespace
{

const float kTwoPi = 2.0f * std::acos(-1.0f);
const float kPi = std::acos(-1.0f);

// Into [0, 2pi); a non-finite angle counts as 0 (adding turns one by one would never end).
float WrapAngle(float angle)
{
    if (!std::isfinite(angle))
        return 0.0f;
    float a = std::fmod(angle, kTwoPi);
    if (a < 0.0f)
        a += kTwoPi;
    return a;
}

std::unique_ptr<uint32_t[]> NewPixels(int width, int height)
{
    return std::make_unique<uint32_t[]>(size_t(width) * size_t(height));
}

std::unique_ptr<Image> SameFlags(const Image& source, int width, int height)
{
    auto copy = std::make_unique<Image>(width, height);
    copy->hasAlpha = source.hasAlpha;
    copy->hasOneBitAlpha = source.hasOneBitAlpha;
    return copy;
}

} // namespace

ImageRotationCache::ImageRotationCache(int count_)
    : images(size_t(std::max(count_, 1)), nullptr), owned(size_t(std::max(count_, 1)), false),
      step(kTwoPi / float(std::max(count_, 1))), count(std::max(count_, 1))
{
    inverseStep = 1.0f / step;
}

ImageRotationCache::~ImageRotationCache()
{
    Clear();
}

void ImageRotationCache::Clear()
{
    for (size_t i = 0; i < images.size(); ++i)
    {
        if (owned[i])
            delete images[i];
        images[i] = nullptr;
        owned[i] = false;
    }
}

int ImageRotationCache::IndexForAngle(float angle) const
{
    if (!std::isfinite(angle))
        angle = 0.0f;
    float a = WrapAngle(angle + step * 0.5f);
    int index = int(a * inverseStep) % count;
    return index < 0 ? 0 : index;
}

Image::Image() : hasAlpha(false) {}

Image::Image(int width, int height)
    : m_width(std::max(width, 0)), m_height(std::max(height, 0)), m_pixels(NewPixels(m_width, m_height))
{
}

Image::~Image()
{
    m_rotations.reset();
    if (m_surface)
        m_surface->Release();
}

uint32_t Image::GetPixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return 0;
    return m_pixels[size_t(y) * size_t(m_width) + size_t(x)];
}

void Image::SetSurface(ITexture* surface)
{
    if (surface)
        surface->AddRef();
    if (m_surface)
        m_surface->Release();
    m_surface = surface;
}

ITexture* Image::GetSurface()
{
    if (!m_surface)
        return nullptr;
    if (dirty)
    {
        m_surface->ReleaseSurface();
        dirty = false;
    }
    return m_surface;
}

void Image::SetPixels(std::unique_ptr<uint32_t[]> pixels, int width, int height)
{
    if (!pixels || width <= 0 || height <= 0)
    {
        pixels.reset();
        width = height = 0;
    }
    m_pixels = std::move(pixels);
    m_width = width;
    m_height = height;
    MarkPixelsChanged();
}

void Image::SetRotationCache(std::unique_ptr<ImageRotationCache> cache)
{
    m_rotations = std::move(cache);
    if (m_rotations)
        m_rotations->builtVersion = m_version;
}

std::unique_ptr<Image> Image::Clone() const
{
    auto copy = SameFlags(*this, m_width, m_height);
    if (m_pixels)
        std::memcpy(copy->Pixels(), m_pixels.get(), size_t(m_width) * size_t(m_height) * 4);
    return copy;
}

std::unique_ptr<Image> CreateMirroredImage(const Image& image)
{
    const int w = image.GetWidth();
    const int h = image.GetHeight();
    auto copy = SameFlags(image, w, h);
    for (int y = 0; y < h; ++y)
    {
        const uint32_t* src = image.Pixels() + size_t(y) * size_t(w);
        uint32_t* dst = copy->Pixels() + size_t(y) * size_t(w);
        std::reverse_copy(src, src + w, dst);
    }
    return copy;
}

std::unique_ptr<Image> CreateRotatedImage(const Image& image, float angle)
{
    angle = WrapAngle(angle);
    const float degrees = (180.0f / kPi) * angle;
    const int w = image.GetWidth();
    const int h = image.GetHeight();
    const uint32_t* src = image.Pixels();

    if ((degrees > -0.001f && degrees < 0.001f) || (degrees > 359.999f && degrees < 360.001f))
        return image.Clone();
    if (degrees > 89.999f && degrees < 90.001f)
    {
        auto copy = SameFlags(image, h, w);
        uint32_t* dst = copy->Pixels();
        for (int y = 0; y < w; ++y)
            for (int x = 0; x < h; ++x)
                dst[size_t(y) * size_t(h) + size_t(x)] = src[size_t(h - 1 - x) * size_t(w) + size_t(y)];
        return copy;
    }
    if (degrees > 179.999f && degrees < 180.001f)
    {
        auto copy = SameFlags(image, w, h);
        const size_t n = size_t(w) * size_t(h);
        std::reverse_copy(src, src + n, copy->Pixels());
        return copy;
    }
    if (degrees > 269.999f && degrees < 270.001f)
    {
        auto copy = SameFlags(image, h, w);
        uint32_t* dst = copy->Pixels();
        for (int y = 0; y < w; ++y)
            for (int x = 0; x < h; ++x)
                dst[size_t(y) * size_t(h) + size_t(x)] = src[size_t(x) * size_t(w) + size_t(w - 1 - y)];
        return copy;
    }

    const float s = std::sin(angle);
    const float c = std::cos(angle);
    const int rw = int(float(w) * std::fabs(c) + float(h) * std::fabs(s) + 0.99f);
    const int rh = int(float(w) * std::fabs(s) + float(h) * std::fabs(c) + 0.99f);
    auto copy = SameFlags(image, rw, rh);
    uint32_t* dst = copy->Pixels();

    // 16.16 fixed point, one float computation per row. Samples are taken at pixel centres, so
    // the copy stays centred (a solid square turned by 45 degrees keeps all four corners clear).
    const int64_t stepX = int64_t(c * 65536.0f);
    const int64_t stepY = int64_t(-s * 65536.0f);
    const int64_t limitX = int64_t(w) << 16;
    const int64_t limitY = int64_t(h) << 16;
    const float halfW = float(w) * 0.5f;
    const float halfH = float(h) * 0.5f;
    const float dx = 0.5f - float(rw) * 0.5f;
    for (int y = 0; y < rh; ++y)
    {
        const float dy = float(y) + 0.5f - float(rh) * 0.5f;
        int64_t srcX = int64_t((halfW + c * dx + s * dy) * 65536.0f);
        int64_t srcY = int64_t((halfH - s * dx + c * dy) * 65536.0f);
        uint32_t* row = dst + size_t(y) * size_t(rw);
        for (int x = 0; x < rw; ++x)
        {
            if (srcX >= 0 && srcX < limitX && srcY >= 0 && srcY < limitY)
                row[x] = src[size_t(srcY >> 16) * size_t(w) + size_t(srcX >> 16)];
            srcX += stepX;
            srcY += stepY;
        }
    }
    return copy;
}

Image* GetRotatedImage(Image& image, float angle)
{
    ImageRotationCache* cache = image.GetRotationCache();
    if (!cache)
        return nullptr;
    // Copies made from older pixels are never served.
    if (cache->builtVersion != image.PixelVersion())
    {
        cache->Clear();
        cache->builtVersion = image.PixelVersion();
    }
    const int index = cache->IndexForAngle(angle);
    if (cache->images[size_t(index)])
        return cache->images[size_t(index)];
    if (index == 0)
    {
        cache->images[0] = &image;
        cache->owned[0] = false;
        return &image;
    }
    std::unique_ptr<Image> copy = CreateRotatedImage(image, float(index) * cache->step);
    cache->images[size_t(index)] = copy.release();
    cache->owned[size_t(index)] = true;
    return cache->images[size_t(index)];
}

void BuildRotationCache(Image& image, int count)
{
    if (count <= 1)
    {
        image.SetRotationCache(nullptr);
        return;
    }
    image.SetRotationCache(std::make_unique<ImageRotationCache>(count));
    for (int i = 0; i < count; ++i)
        GetRotatedImage(image, float(i) * (1.0f / float(count)) * kTwoPi);
}

} // namespace Kestrin
