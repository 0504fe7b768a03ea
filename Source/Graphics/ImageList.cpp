#include "Graphics/ImageList.h"

#include "Graphics/Image.h"

#include <algorithm>
#include <cmath>

namespace Kestrin
{

using Graphics::DrawState;
using Graphics::ICanvas;

// ---- ImageList ----

ImageList::ImageList(ImageList&& other) noexcept
    : images(std::move(other.images)), owned(std::move(other.owned))
{
    other.images.clear();
    other.owned.clear();
}

ImageList::~ImageList()
{
    for (size_t i = 0; i < images.size(); ++i)
        if (images[i] && i < owned.size() && owned[i])
            delete images[i];
}

void ImageList::AddImage(IImage* image)
{
    images.push_back(image);
    owned.push_back(false);
}

void ImageList::AddOwnedImage(IImage* image)
{
    images.push_back(image);
    owned.push_back(true);
}

IImage* ImageList::GetImageAt(int i) const
{
    return i >= 0 && size_t(i) < images.size() ? images[size_t(i)] : nullptr;
}

int ImageList::GetWidth(int i) const
{
    const IImage* image = GetImageAt(i);
    return image ? image->GetWidth() : 0;
}

int ImageList::GetHeight(int i) const
{
    const IImage* image = GetImageAt(i);
    return image ? image->GetHeight() : 0;
}

uint32_t ImageList::GetPixel(int i, int x, int y) const
{
    const IImage* image = GetImageAt(i);
    return image ? image->GetPixel(x, y) : 0;
}

uint8_t ImageList::GetAlpha(int i, int x, int y) const
{
    return uint8_t(GetPixel(i, x, y) >> 24);
}

int ImageList::DrawFrame(int i, float x, float y, ICanvas* canvas, const DrawState& state)
{
    IImage* image = GetImageAt(i);
    if (!image)
        return Graphics::Draw_Nothing;
    return Graphics::DrawImage(x, y, canvas, image, state);
}

// ---- FilmStrip ----

FilmStrip::FilmStrip(std::unique_ptr<Image> image_, int columns_, int rows_)
    : image(std::move(image_)), columns(std::max(columns_, 1)), rows(std::max(rows_, 1))
{
}

FilmStrip::~FilmStrip() = default;

FilmStrip::FilmStrip(FilmStrip&& other) noexcept
    : image(std::move(other.image)), columns(other.columns), rows(other.rows)
{
}

int FilmStrip::Count() const
{
    // Huge grids from a layout file must not overflow.
    return int(std::min<int64_t>(int64_t(columns) * rows, INT32_MAX));
}

bool FilmStrip::GetFrameRect(int i, Rect<int>& rect) const
{
    if (!image || i < 0 || i >= Count())
        return false;
    const int w = image->GetWidth() / columns;
    const int h = image->GetHeight() / rows;
    rect = {w * (i % columns), h * (i / columns), w, h};
    return true;
}

int FilmStrip::GetWidth(int i) const
{
    Rect<int> frame;
    return GetFrameRect(i, frame) ? frame.w : 0;
}

int FilmStrip::GetHeight(int i) const
{
    Rect<int> frame;
    return GetFrameRect(i, frame) ? frame.h : 0;
}

uint32_t FilmStrip::GetPixel(int i, int x, int y) const
{
    Rect<int> frame;
    if (!GetFrameRect(i, frame))
        return 0;
    const int64_t px = int64_t(frame.x) + x, py = int64_t(frame.y) + y;
    if (px < 0 || py < 0 || px >= image->GetWidth() || py >= image->GetHeight())
        return 0;
    return image->GetPixel(int(px), int(py));
}

uint8_t FilmStrip::GetAlpha(int i, int x, int y) const
{
    return uint8_t(GetPixel(i, x, y) >> 24);
}

int FilmStrip::DrawFrame(int i, float x, float y, ICanvas* canvas, const DrawState& state)
{
    Rect<int> frame;
    if (!GetFrameRect(i, frame))
        return Graphics::Draw_Nothing;
    DrawState s = state;
    if (state.flags & Graphics::DrawFlag_SourceRect)
    {
        // A part of the frame: cut to the frame, the corner moving with the cut as a blit's does.
        const Rect<int>& part = state.sourceRect;
        const Rect<int> wanted(int(std::clamp<int64_t>(int64_t(frame.x) + part.x, INT32_MIN, INT32_MAX)),
                               int(std::clamp<int64_t>(int64_t(frame.y) + part.y, INT32_MIN, INT32_MAX)),
                               part.w, part.h);
        s.sourceRect = Graphics::IntersectRects(wanted, frame);
        if (s.sourceRect.IsEmpty())
            return Graphics::Draw_Nothing;
        x += float(s.sourceRect.x - wanted.x);
        y += float(s.sourceRect.y - wanted.y);
    }
    else
        s.sourceRect = frame;
    s.flags |= Graphics::DrawFlag_SourceRect;
    return Graphics::DrawImage(x, y, canvas, image.get(), s);
}

// ---- timed frames ----

int GetImageListFrameAtTime(const AnimatedImageList* record, float time)
{
    if (!record || !record->list)
        return 0;
    const int count = record->list->Count();
    // An image list whose children all failed to load is empty.
    if (count <= 0)
        return 0;
    int last = count - 1;
    const int n = Graphics::TruncToInt(time * record->framesPerSecond);
    int plays = n / count;
    int frame = n % count;
    if (frame < 0)
        frame += count;
    if (record->flags & AnimatedImageList::PingPong)
    {
        last = 0;
        if (plays % 2 != 0)
            frame = count - frame - 1;
        plays /= 2;
    }
    if (!(record->flags & AnimatedImageList::Loop))
    {
        if (plays > 0)
            return last;
        if (plays < 0)
            return 0;
    }
    return frame;
}

int DrawImageListFrameAtTime(const AnimatedImageList* record, float time, float x, float y,
                             const DrawState& state, ICanvas* canvas)
{
    if (!record || !record->list)
        return Graphics::Draw_Nothing;
    return record->list->DrawFrame(GetImageListFrameAtTime(record, time), x, y, canvas, state);
}

int DrawImageListFrame(IImageList* list, int i, float x, float y, ICanvas* canvas, const DrawState& state)
{
    if (!list)
        return Graphics::Draw_Nothing;
    return list->DrawFrame(i, x, y, canvas, state);
}

// ---- brushes ----

namespace
{

// Lengths are walked piece by piece: an absurd or infinite one must still end, and past 2^24 a
// float no longer changes when a piece is subtracted.
float ClampLength(float length)
{
    return length > 0.0f ? std::min(length, 16777216.0f) : 0.0f;
}

// Where pieces stop being visible along an axis: nothing past the canvas's far edge is drawn.
float CanvasEnd(ICanvas* canvas, bool horizontal)
{
    if (!canvas)
        return -INFINITY;
    const Rect<int>& bounds = canvas->GetBounds();
    return horizontal ? float(int64_t(bounds.x) + bounds.w) : float(int64_t(bounds.y) + bounds.h);
}

// The brush's own copy of the state: no alignment, no source rectangle of the caller's.
DrawState BrushState(const DrawState& state)
{
    DrawState s = state;
    s.hAlign = 0;
    s.vAlign = 0;
    s.flags &= ~uint32_t(Graphics::DrawFlag_SourceRect);
    return s;
}

// The frame, or only its leading w x h when that is smaller than the frame.
void DrawCropped(IImageList* list, int i, float x, float y, int w, int h, ICanvas* canvas,
                 const DrawState& brush)
{
    if (w >= list->GetWidth(i) && h >= list->GetHeight(i))
    {
        list->DrawFrame(i, x, y, canvas, brush);
        return;
    }
    if (w <= 0 || h <= 0)
        return;
    DrawState s = brush;
    s.flags |= Graphics::DrawFlag_SourceRect;
    s.sourceRect = {0, 0, w, h};
    list->DrawFrame(i, x, y, canvas, s);
}

// One axis of a three-slice brush. `horizontal` runs along x; `cross` limits the other side of
// every piece (the nine-slice's last middle row is cut to what is left of its height).
void DrawThreeSlice(IImageList* list, int first, float x, float y, float length, bool horizontal, int cross,
                    ICanvas* canvas, const DrawState& brush)
{
    auto along = [&](int i) { return horizontal ? list->GetWidth(i) : list->GetHeight(i); };
    auto draw = [&](int i, float at, int pieceLength)
    {
        const float px = horizontal ? at : x;
        const float py = horizontal ? y : at;
        if (horizontal)
            DrawCropped(list, i, px, py, pieceLength, cross, canvas, brush);
        else
            DrawCropped(list, i, px, py, cross, pieceLength, canvas, brush);
    };
    length = ClampLength(length);
    const float start = horizontal ? x : y;
    const int startCap = along(first);
    const int tile = along(first + 1);
    const int endCap = along(first + 2);

    draw(first, start, startCap);
    draw(first + 2, start + length - float(endCap), endCap);

    // A zero-size tile (an image that failed to load) would never fill anything.
    if (tile <= 0)
        return;
    float at = start + float(startCap);
    const float end = CanvasEnd(canvas, horizontal);
    for (float remaining = length - float(startCap) - float(endCap); remaining > 0.0f && at < end;
         remaining -= float(tile))
    {
        draw(first + 1, at, remaining >= float(tile) ? tile : Graphics::TruncToInt(remaining));
        at += float(tile);
    }
}

bool HasFrames(const IImageList* list, int first, int n)
{
    return first >= 0 && int64_t(first) + n <= list->Count();
}

// A brush's answer before it draws: 1 for a null list, -1 when the list lacks its n frames, else 0.
int CheckBrushFrames(const IImageList* list, int first, int n)
{
    if (!list)
        return Graphics::Draw_Nothing;
    return HasFrames(list, first, n) ? Graphics::Draw_Done : -1;
}

int DrawWholeThreeSlice(IImageList* list, int first, float x, float y, float length, bool horizontal,
                        const DrawState& state, ICanvas* canvas)
{
    if (const int answer = CheckBrushFrames(list, first, 3); answer != Graphics::Draw_Done)
        return answer;
    DrawThreeSlice(list, first, x, y, length, horizontal, INT32_MAX, canvas, BrushState(state));
    return Graphics::Draw_Done;
}

} // namespace

int DrawThreeSliceHorizontal(IImageList* list, int first, float x, float y, float width,
                             const DrawState& state, ICanvas* canvas)
{
    return DrawWholeThreeSlice(list, first, x, y, width, true, state, canvas);
}

int DrawThreeSliceVertical(IImageList* list, int first, float x, float y, float height,
                           const DrawState& state, ICanvas* canvas)
{
    return DrawWholeThreeSlice(list, first, x, y, height, false, state, canvas);
}

int DrawNineSlice(IImageList* list, int first, float x, float y, float width, float height,
                  const DrawState& state, ICanvas* canvas)
{
    if (const int answer = CheckBrushFrames(list, first, 9); answer != Graphics::Draw_Done)
        return answer;
    const DrawState brush = BrushState(state);
    const int top = list->GetHeight(first);
    const int middle = list->GetHeight(first + 3);
    const int bottom = list->GetHeight(first + 6);

    DrawThreeSlice(list, first, x, y, width, true, INT32_MAX, canvas, brush);
    DrawThreeSlice(list, first + 6, x, y + height - float(bottom), width, true, INT32_MAX, canvas, brush);
    if (middle <= 0)
        return Graphics::Draw_Done;
    float at = y + float(top);
    const float end = CanvasEnd(canvas, false);
    for (float remaining = ClampLength(height) - float(top) - float(bottom); remaining > 0.0f && at < end;
         remaining -= float(middle))
    {
        const int rowHeight = remaining >= float(middle) ? middle : Graphics::TruncToInt(remaining);
        if (rowHeight > 0)
            DrawThreeSlice(list, first + 3, x, at, width, true, rowHeight, canvas, brush);
        at += float(middle);
    }
    return Graphics::Draw_Done;
}

uint8_t HitTestThreeSliceHorizontal(const IImageList* list, int first, float x, float width, float px,
                                    float py)
{
    if (!list || !HasFrames(list, first, 3))
        return 0;
    if (!(px >= x) || !(px < x + width))
        return 0;
    const float along = px - x;
    const int row = Graphics::TruncToInt(std::floor(py));
    const int leftCap = list->GetWidth(first);
    const int rightCap = list->GetWidth(first + 2);
    if (along < float(leftCap))
        return list->GetAlpha(first, Graphics::TruncToInt(std::floor(along)), row);
    const float rightStart = width - float(rightCap);
    if (along >= rightStart)
        return list->GetAlpha(first + 2, Graphics::TruncToInt(std::floor(along - rightStart)), row);
    const int tile = list->GetWidth(first + 1);
    if (tile <= 0)
        return 0;
    const int offset = Graphics::TruncToInt(std::floor(along - float(leftCap))) % tile;
    return list->GetAlpha(first + 1, offset, row);
}

// ---- tiling ----

namespace
{

// Repeats a picture of `w` along the axis (`across` the other way) from `offset` pixels into it.
// draw(x, y, part) draws the whole picture, or the part of it given.
template <typename Draw>
int TileRun(int w, int across, int offset, float x, float y, float length, bool horizontal, ICanvas* canvas,
            Draw draw)
{
    // A missing image loads as 0 x 0; there is nothing to repeat.
    if (w <= 0 || across <= 0)
        return Graphics::Draw_Nothing;
    length = ClampLength(length);
    offset %= w;
    if (offset < 0)
        offset += w;

    float& pen = horizontal ? x : y;
    auto piece = [&](int from, int size)
    {
        const Rect<int> part =
            horizontal ? Rect<int>(from, 0, size, across) : Rect<int>(0, from, across, size);
        draw(x, y, &part);
    };

    if (offset != 0 && length > 0.0f)
    {
        const int first = int(std::min<int64_t>(Graphics::TruncToInt(length), w - offset));
        if (first > 0)
            piece(offset, first);
        pen += float(first);
        length -= float(first);
    }
    const float end = CanvasEnd(canvas, horizontal);
    while (length >= float(w) && pen < end)
    {
        draw(x, y, nullptr);
        pen += float(w);
        length -= float(w);
    }
    const int rest = Graphics::TruncToInt(length);
    if (rest > 0 && pen < end)
        piece(0, rest);
    return Graphics::Draw_Done;
}

// The brush's state cut to the part of the image, when only a part is drawn.
DrawState PartState(const DrawState& state, const Rect<int>* part)
{
    DrawState p = state;
    if (part)
    {
        p.flags |= Graphics::DrawFlag_SourceRect;
        p.sourceRect = *part;
    }
    return p;
}

int Tile(IImage* image, int offset, float x, float y, float length, bool horizontal, const DrawState& state,
         ICanvas* canvas)
{
    if (!image)
        return Graphics::Draw_Nothing;
    const DrawState s = BrushState(state);
    return TileRun(horizontal ? image->GetWidth() : image->GetHeight(),
                   horizontal ? image->GetHeight() : image->GetWidth(), offset, x, y, length, horizontal,
                   canvas,
                   [&](float px, float py, const Rect<int>* part)
                   { Graphics::DrawImage(px, py, canvas, image, PartState(s, part)); });
}

int TileFrame(IImageList* list, int i, int offset, float x, float y, float length, bool horizontal,
              const DrawState& state, ICanvas* canvas)
{
    if (!list || i < 0 || i >= list->Count())
        return Graphics::Draw_Nothing;
    const DrawState s = BrushState(state);
    return TileRun(horizontal ? list->GetWidth(i) : list->GetHeight(i),
                   horizontal ? list->GetHeight(i) : list->GetWidth(i), offset, x, y, length, horizontal,
                   canvas,
                   [&](float px, float py, const Rect<int>* part)
                   { list->DrawFrame(i, px, py, canvas, PartState(s, part)); });
}

} // namespace

int TileImageHorizontally(IImage* image, int offset, float x, float y, float length, const DrawState& state,
                          ICanvas* canvas)
{
    return Tile(image, offset, x, y, length, true, state, canvas);
}

int TileImageVerticallyFrom(IImage* image, int offset, float x, float y, float length, const DrawState& state,
                            ICanvas* canvas)
{
    return Tile(image, offset, x, y, length, false, state, canvas);
}

int TileImageVertically(IImage* image, float x, float y, float length, const DrawState& state,
                        ICanvas* canvas)
{
    return Tile(image, 0, x, y, length, false, state, canvas);
}

int TileFrameHorizontally(IImageList* list, int i, int offset, float x, float y, float length,
                          const DrawState& state, ICanvas* canvas)
{
    return TileFrame(list, i, offset, x, y, length, true, state, canvas);
}

int TileFrameVertically(IImageList* list, int i, int offset, float x, float y, float length,
                        const DrawState& state, ICanvas* canvas)
{
    return TileFrame(list, i, offset, x, y, length, false, state, canvas);
}

} // namespace Kestrin
