#pragma once
#include "Base/Geometry.h"
#include "Base/LiveCounts.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace Kestrin
{

class IImage;

// A device texture that the graphics platform builds from an image's pixels.
class ITexture
{
public:
    virtual ~ITexture() = default;
    virtual void AddRef() = 0;
    // Deletes the texture when the last reference goes.
    virtual void Release() = 0;
    virtual const Rect<int>* GetSourceRect() = 0;
    virtual IImage* GetImage() = 0;
    // Drops the device surface; it is rebuilt from the pixels at the next draw.
    virtual void ReleaseSurface() = 0;
};

class IImage
{
public:
    virtual ~IImage() = default;
    virtual int GetWidth() const = 0;
    virtual int GetHeight() const = 0;
    // 0 outside the image.
    virtual uint32_t GetPixel(int x, int y) const = 0;
    virtual void SetSurface(ITexture* surface) = 0;
    virtual ITexture* GetSurface() = 0;
};

class BaseImage
{
public:
    virtual ~BaseImage() = default;
};

class Image;

// Rotated copies of one image at N even steps of a full turn. Entry 0 is the image itself.
class ImageRotationCache
{
public:
    explicit ImageRotationCache(int count);
    virtual ~ImageRotationCache();
    ImageRotationCache(const ImageRotationCache&) = delete;
    ImageRotationCache& operator=(const ImageRotationCache&) = delete;

    // The step nearest to an angle in radians; a non-finite angle counts as 0.
    int IndexForAngle(float angle) const;
    // Deletes the owned copies and empties every entry.
    void Clear();

    std::vector<Image*> images;
    std::vector<bool> owned;
    float inverseStep;
    float step;
    int count;
    // Pixel version of the image that the entries were built from.
    uint64_t builtVersion = 0;
};

// The engine's bitmap: 0xAARRGGBB words, row-major from the top-left, no gap between rows.
class Image : public BaseImage, public IImage
{
public:
    // An empty 0x0 image without alpha.
    Image();
    // Zeroed pixels; hasAlpha set.
    Image(int width, int height);
    ~Image() override;
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;

    int GetWidth() const override { return m_width; }
    int GetHeight() const override { return m_height; }
    uint32_t GetPixel(int x, int y) const override;
    void SetSurface(ITexture* surface) override;
    // Refreshes a set surface when the pixels changed since it was built.
    ITexture* GetSurface() override;

    uint32_t* Pixels() { return m_pixels.get(); }
    const uint32_t* Pixels() const { return m_pixels.get(); }

    // Replaces the pixels (width x height words) and counts as a pixel change.
    void SetPixels(std::unique_ptr<uint32_t[]> pixels, int width, int height);

    // Every writer of pixels calls this: the surface is rebuilt and the rotated copies dropped.
    void MarkPixelsChanged()
    {
        dirty = true;
        ++m_version;
    }
    uint64_t PixelVersion() const { return m_version; }

    ImageRotationCache* GetRotationCache() const { return m_rotations.get(); }
    void SetRotationCache(std::unique_ptr<ImageRotationCache> cache);

    std::unique_ptr<Image> Clone() const;

    bool dirty = true;
    bool hasAlpha = true;
    bool hasOneBitAlpha = false;

private:
    ITexture* m_surface = nullptr;
    int m_width = 0;
    int m_height = 0;
    std::unique_ptr<uint32_t[]> m_pixels;
    std::unique_ptr<ImageRotationCache> m_rotations;
    uint64_t m_version = 0;
    [[no_unique_address]] LiveCounted<LiveKind::Image> m_counted;
};

// A left-right mirror: every row reversed.
std::unique_ptr<Image> CreateMirroredImage(const Image& image);
// Turned clockwise on screen by the angle in radians; quarter turns are exact.
std::unique_ptr<Image> CreateRotatedImage(const Image& image, float angle);
// The cached copy nearest to the angle, built on demand; null without a rotation cache.
Image* GetRotatedImage(Image& image, float angle);
// Gives the image a cache of `count` steps and builds every step; count <= 1 gives none.
void BuildRotationCache(Image& image, int count);

} // namespace Kestrin
