#pragma once
#include "Graphics/Canvas.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace Kestrin
{

class IImage;
class Image;

// Indexed frames of equal addressing: button states, brush pieces, animation frames.
// Every operation takes any index: outside 0..Count()-1 the sizes, pixels and alphas are 0 and
// DrawFrame answers 1 (nothing drawn).
class IImageList
{
public:
    virtual ~IImageList() = default;
    virtual int Count() const = 0;
    virtual int GetWidth(int i) const = 0;
    virtual int GetHeight(int i) const = 0;
    virtual uint8_t GetAlpha(int i, int x, int y) const = 0;
    virtual uint32_t GetPixel(int i, int x, int y) const = 0;
    // 0 drawn, non-zero nothing drawn. A source rectangle in the state selects a part of the frame.
    virtual int DrawFrame(int i, float x, float y, Graphics::ICanvas* canvas,
                          const Graphics::DrawState& state) = 0;
};

// Separate images, each either borrowed or owned. Null entries count but draw nothing.
class ImageList : public IImageList
{
public:
    ImageList() = default;
    ImageList(ImageList&& other) noexcept;
    ImageList& operator=(ImageList&&) = delete;
    ImageList(const ImageList&) = delete;
    ImageList& operator=(const ImageList&) = delete;
    // Deletes the owned images in index order.
    ~ImageList() override;

    void AddImage(IImage* image);
    void AddOwnedImage(IImage* image);
    // Null outside the list.
    IImage* GetImageAt(int i) const;

    int Count() const override { return int(images.size()); }
    int GetWidth(int i) const override;
    int GetHeight(int i) const override;
    uint8_t GetAlpha(int i, int x, int y) const override;
    uint32_t GetPixel(int i, int x, int y) const override;
    int DrawFrame(int i, float x, float y, Graphics::ICanvas* canvas,
                  const Graphics::DrawState& state) override;

    std::vector<IImage*> images;
    std::vector<bool> owned;
};

// Frames cut from one image as a grid of columns x rows, numbered row by row from the top-left.
// Remainders at the right and bottom are never shown.
class FilmStrip : public IImageList
{
public:
    // Counts below 1 count as 1. A null image gives frames of size 0 that draw nothing.
    FilmStrip(std::unique_ptr<Image> image, int columns, int rows);
    ~FilmStrip() override;
    FilmStrip(FilmStrip&&) noexcept;
    FilmStrip& operator=(FilmStrip&&) = delete;

    int Count() const override;
    int GetWidth(int i) const override;
    int GetHeight(int i) const override;
    uint8_t GetAlpha(int i, int x, int y) const override;
    // Relative to the frame's corner; not cut to the frame, only to the image.
    uint32_t GetPixel(int i, int x, int y) const override;
    int DrawFrame(int i, float x, float y, Graphics::ICanvas* canvas,
                  const Graphics::DrawState& state) override;

    // {x, y, w, h} of frame i in the image; false for a bad index or no image.
    bool GetFrameRect(int i, Rect<int>& rect) const;
    Image* GetImage() const { return image.get(); }
    int GetColumns() const { return columns; }
    int GetRows() const { return rows; }

private:
    std::unique_ptr<Image> image;
    int columns = 1;
    int rows = 1;
};

// A timed frame sequence over a list.
struct AnimatedImageList
{
    enum Flags : int
    {
        PingPong = 1, // every second play runs backwards
        Loop = 2,     // plays again instead of holding the end frame
    };
    IImageList* list = nullptr;
    int flags = 0;
    float framesPerSecond = 0.0f;
};

// The frame shown `time` seconds after the start. A null or empty list gives 0.
int GetImageListFrameAtTime(const AnimatedImageList* record, float time);
// 1 when the record or its list is null.
int DrawImageListFrameAtTime(const AnimatedImageList* record, float time, float x, float y,
                             const Graphics::DrawState& state,
                             Graphics::ICanvas* canvas = Graphics::GetCurrentCanvas());

// 1 when the list is null, else the frame's own answer.
int DrawImageListFrame(IImageList* list, int i, float x, float y, Graphics::ICanvas* canvas,
                       const Graphics::DrawState& state);

// Brushes. Pieces are repeated and the last one cropped, never stretched; a middle piece of size 0
// is left out. A brush overrides any source rectangle and alignment the state carries.
// Frames first..first+2: left cap, middle tile, right cap. 1 for a null list; -1 when the list
// lacks the frames; else 0.
int DrawThreeSliceHorizontal(IImageList* list, int first, float x, float y, float width,
                             const Graphics::DrawState& state,
                             Graphics::ICanvas* canvas = Graphics::GetCurrentCanvas());
// Frames first..first+2: top cap, middle tile, bottom cap.
int DrawThreeSliceVertical(IImageList* list, int first, float x, float y, float height,
                           const Graphics::DrawState& state,
                           Graphics::ICanvas* canvas = Graphics::GetCurrentCanvas());
// Frames first..first+8 in three rows of three; the middle row repeats downwards.
int DrawNineSlice(IImageList* list, int first, float x, float y, float width, float height,
                  const Graphics::DrawState& state, Graphics::ICanvas* canvas = Graphics::GetCurrentCanvas());
// The alpha of the brush at (px, py), py measured from the brush's top; 0 outside it.
uint8_t HitTestThreeSliceHorizontal(const IImageList* list, int first, float x, float width, float px,
                                    float py);

// The image repeated along x from `offset` pixels into it, cropped to the length.
// 1 for a null or empty image, else 0.
int TileImageHorizontally(IImage* image, int offset, float x, float y, float length,
                          const Graphics::DrawState& state,
                          Graphics::ICanvas* canvas = Graphics::GetCurrentCanvas());
int TileImageVerticallyFrom(IImage* image, int offset, float x, float y, float length,
                            const Graphics::DrawState& state,
                            Graphics::ICanvas* canvas = Graphics::GetCurrentCanvas());
int TileImageVertically(IImage* image, float x, float y, float length, const Graphics::DrawState& state,
                        Graphics::ICanvas* canvas = Graphics::GetCurrentCanvas());
// The same with frame i of a list (separate images or a film strip). 1 for a null list or a frame
// the list lacks.
int TileFrameHorizontally(IImageList* list, int i, int offset, float x, float y, float length,
                          const Graphics::DrawState& state,
                          Graphics::ICanvas* canvas = Graphics::GetCurrentCanvas());
int TileFrameVertically(IImageList* list, int i, int offset, float x, float y, float length,
                        const Graphics::DrawState& state,
                        Graphics::ICanvas* canvas = Graphics::GetCurrentCanvas());

} // namespace Kestrin
