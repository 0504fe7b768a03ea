#include "Graphics/ImageCanvas.h"
#include "Graphics/ImageList.h"
#include "GraphicsTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace Kestrin;
using namespace Kestrin::Graphics;
using GraphicsTest::FilledImage;
using GraphicsTest::MakeImage;
using GraphicsTest::RecordingCanvas;

namespace
{

// Counts its deletions, to see which entries a list owns.
class CountedImage : public IImage
{
public:
    explicit CountedImage(int* deletions, int w = 4, int h = 2) : m_deletions(deletions), m_w(w), m_h(h) {}
    ~CountedImage() override { ++*m_deletions; }
    int GetWidth() const override { return m_w; }
    int GetHeight() const override { return m_h; }
    uint32_t GetPixel(int, int) const override { return 0x80000000u; }
    void SetSurface(ITexture*) override {}
    ITexture* GetSurface() override { return nullptr; }

private:
    int* m_deletions;
    int m_w, m_h;
};

// Opaque pixels carrying their own column in the low byte and row in the next.
std::unique_ptr<Image> CoordinateImage(int w, int h, uint32_t tag = 0)
{
    auto image = std::make_unique<Image>(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image->Pixels()[y * w + x] = 0xFF000000u | (tag << 16) | uint32_t(y << 8) | uint32_t(x);
    image->hasAlpha = false;
    return image;
}

// A target filled with a colour no piece uses.
constexpr uint32_t kBackground = 0xFF555555u;
std::unique_ptr<Image> Target(int w, int h)
{
    return FilledImage(w, h, kBackground, false);
}

uint32_t TagAt(const Image& image, int x, int y)
{
    const uint32_t p = image.GetPixel(x, y);
    return p == kBackground ? 0xFFu : (p >> 16) & 0xFF;
}

// Owns the images of a brush list built by the tests.
struct OwnedList
{
    std::vector<std::unique_ptr<Image>> images;
    ImageList list;
    void Add(std::unique_ptr<Image> image)
    {
        list.AddImage(image.get());
        images.push_back(std::move(image));
    }
};

} // namespace

TEST(ImageList, NullEntriesCountButDrawNothing)
{
    auto a = FilledImage(3, 2, 0xFF112233u);
    auto b = FilledImage(5, 7, 0xFF445566u);
    ImageList list;
    list.AddImage(a.get());
    list.AddImage(nullptr);
    list.AddImage(b.get());
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.GetWidth(1), 0);
    EXPECT_EQ(list.GetHeight(2), 7);
    EXPECT_EQ(list.GetWidth(3), 0);
    EXPECT_EQ(list.GetPixel(0, 1, 1), 0xFF112233u);
    EXPECT_EQ(list.GetAlpha(2, 0, 0), 0xFF);
    EXPECT_EQ(list.GetPixel(1, 0, 0), 0u);
    EXPECT_EQ(list.GetImageAt(2), b.get());

    RecordingCanvas canvas;
    DrawState s;
    EXPECT_EQ(list.DrawFrame(1, 0, 0, &canvas, s), 1);
    EXPECT_EQ(list.DrawFrame(3, 0, 0, &canvas, s), 1);
    EXPECT_TRUE(canvas.calls.empty());
    EXPECT_EQ(DrawImageListFrame(&list, 2, 4, 5, &canvas, s), 0);
    ASSERT_EQ(canvas.calls.size(), 1u);
    EXPECT_EQ(canvas.calls[0].image, b.get());
    EXPECT_FLOAT_EQ(canvas.calls[0].x, 4);
    EXPECT_EQ(DrawImageListFrame(nullptr, 0, 0, 0, &canvas, s), 1);
}

TEST(ImageList, DeletesOnlyTheImagesItOwns)
{
    int deletions = 0;
    CountedImage borrowed(&deletions);
    {
        ImageList list;
        list.AddOwnedImage(new CountedImage(&deletions));
        list.AddImage(&borrowed);
        list.AddOwnedImage(nullptr);
        list.AddOwnedImage(new CountedImage(&deletions));
        ImageList moved(std::move(list));
        EXPECT_EQ(moved.Count(), 4);
        EXPECT_EQ(list.Count(), 0);
    }
    EXPECT_EQ(deletions, 2);
}

TEST(FilmStrip, FramesAreCutRowByRowAndRemaindersNeverShow)
{
    FilmStrip strip(CoordinateImage(100, 50), 3, 0);
    EXPECT_EQ(strip.Count(), 3);
    EXPECT_EQ(strip.GetWidth(2), 33);
    EXPECT_EQ(strip.GetHeight(0), 50);
    Rect<int> frame;
    ASSERT_TRUE(strip.GetFrameRect(2, frame));
    EXPECT_EQ(frame, Rect<int>(66, 0, 33, 50));

    // Every frame drawn side by side: column 99 of the image never appears.
    auto target = Target(99, 50);
    cImageCanvas canvas(*target);
    DrawState s;
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(strip.DrawFrame(i, float(33 * i), 0, &canvas, s), 0);
    for (int x = 0; x < 99; ++x)
        EXPECT_EQ(target->GetPixel(x, 7) & 0xFF, uint32_t(x)) << x;

    // Pixels are frame-relative and cut to the image only.
    EXPECT_EQ(strip.GetPixel(1, 0, 3) & 0xFFFF, 0x0321u);
    EXPECT_EQ(strip.GetPixel(0, 40, 0) & 0xFF, 40u);
    EXPECT_EQ(strip.GetPixel(2, 40, 0), 0u);
    EXPECT_EQ(strip.GetAlpha(2, 0, 0), 0xFF);

    FilmStrip grid(CoordinateImage(8, 6), 2, 3);
    EXPECT_EQ(grid.Count(), 6);
    ASSERT_TRUE(grid.GetFrameRect(3, frame));
    EXPECT_EQ(frame, Rect<int>(4, 2, 4, 2));
}

TEST(FilmStrip, BadIndicesAndMissingImagesDrawNothing)
{
    RecordingCanvas canvas;
    DrawState s;
    FilmStrip strip(CoordinateImage(100, 50), 3, 1);
    for (int bad : {-1, 3, 1000})
    {
        EXPECT_EQ(strip.DrawFrame(bad, 0, 0, &canvas, s), 1);
        EXPECT_EQ(strip.GetWidth(bad), 0);
        EXPECT_EQ(strip.GetHeight(bad), 0);
        EXPECT_EQ(strip.GetPixel(bad, 0, 0), 0u);
    }
    EXPECT_TRUE(canvas.calls.empty());

    FilmStrip empty(nullptr, 2, 2);
    EXPECT_EQ(empty.Count(), 4);
    EXPECT_EQ(empty.GetWidth(0), 0);
    EXPECT_EQ(empty.DrawFrame(0, 0, 0, &canvas, s), 1);

    // Counts below one are one, so frames stay finite.
    FilmStrip negative(CoordinateImage(10, 10), -3, -7);
    EXPECT_EQ(negative.Count(), 1);
    EXPECT_EQ(negative.GetWidth(0), 10);
}

TEST(FilmStrip, MirroringAndPartsStayInsideTheFrame)
{
    auto image = CoordinateImage(90, 10);
    Image* raw = image.get();
    FilmStrip strip(std::move(image), 3, 1);
    RecordingCanvas canvas;
    DrawState s;
    s.flags |= DrawFlag_MirrorX | DrawFlag_MirrorY;
    EXPECT_EQ(strip.DrawFrame(1, 5, 6, &canvas, s), 0);
    ASSERT_EQ(canvas.calls.size(), 1u);
    EXPECT_EQ(canvas.calls[0].image, raw);
    EXPECT_EQ(canvas.calls[0].state.sourceRect, Rect<int>(30, 0, 30, 10));
    const uint32_t wanted = DrawFlag_SourceRect | DrawFlag_Blend | DrawFlag_MirrorX | DrawFlag_MirrorY;
    EXPECT_EQ(canvas.calls[0].state.flags, wanted);

    // A source rectangle picks a part of the frame, never pixels of the next one.
    canvas.calls.clear();
    s.flags = DrawFlag_SourceRect;
    s.sourceRect = {25, -2, 20, 4};
    EXPECT_EQ(strip.DrawFrame(1, 5, 6, &canvas, s), 0);
    ASSERT_EQ(canvas.calls.size(), 1u);
    EXPECT_EQ(canvas.calls[0].state.sourceRect, Rect<int>(55, 0, 5, 2));
    EXPECT_FLOAT_EQ(canvas.calls[0].y, 8); // the corner moved down with the cut
    s.sourceRect = {40, 0, 5, 5};
    EXPECT_EQ(strip.DrawFrame(1, 5, 6, &canvas, s), 1);
}

TEST(ImageListTiming, FramesPerSecondLoopAndPingPong)
{
    int deletions = 0;
    ImageList four;
    CountedImage frames[4] = {CountedImage(&deletions), CountedImage(&deletions), CountedImage(&deletions),
                              CountedImage(&deletions)};
    for (auto& f : frames)
        four.AddImage(&f);

    AnimatedImageList record{&four, AnimatedImageList::Loop, 10.0f};
    EXPECT_EQ(GetImageListFrameAtTime(&record, 0.0f), 0);
    EXPECT_EQ(GetImageListFrameAtTime(&record, 0.25f), 2);
    EXPECT_EQ(GetImageListFrameAtTime(&record, 0.45f), 0); // n 4: one whole play done
    EXPECT_EQ(GetImageListFrameAtTime(&record, -0.15f), 3);

    record.flags = 0;
    EXPECT_EQ(GetImageListFrameAtTime(&record, 0.25f), 2);
    EXPECT_EQ(GetImageListFrameAtTime(&record, 0.45f), 3);  // holds the last frame
    EXPECT_EQ(GetImageListFrameAtTime(&record, -0.45f), 0); // n -4: played -1 times

    record.flags = AnimatedImageList::PingPong | AnimatedImageList::Loop;
    EXPECT_EQ(GetImageListFrameAtTime(&record, 0.55f), 2); // n 5: the second play runs backwards
    EXPECT_EQ(GetImageListFrameAtTime(&record, 0.85f), 0); // n 8: forwards again
    record.flags = AnimatedImageList::PingPong;
    EXPECT_EQ(GetImageListFrameAtTime(&record, 0.55f), 2);
    EXPECT_EQ(GetImageListFrameAtTime(&record, 0.85f), 0); // a finished ping-pong rests on frame 0

    // An empty list and a null record answer frame 0 instead of dividing by zero.
    ImageList none;
    AnimatedImageList empty{&none, AnimatedImageList::Loop, 10.0f};
    EXPECT_EQ(GetImageListFrameAtTime(&empty, 3.0f), 0);
    EXPECT_EQ(GetImageListFrameAtTime(nullptr, 3.0f), 0);

    RecordingCanvas canvas;
    record.flags = 0;
    EXPECT_EQ(DrawImageListFrameAtTime(&record, 0.25f, 1, 2, DrawState(), &canvas), 0);
    ASSERT_EQ(canvas.calls.size(), 1u);
    EXPECT_EQ(canvas.calls[0].image, &frames[2]);
    EXPECT_EQ(DrawImageListFrameAtTime(&empty, 0.25f, 1, 2, DrawState(), &canvas), 1);
    EXPECT_EQ(DrawImageListFrameAtTime(nullptr, 0.25f, 1, 2, DrawState(), &canvas), 1);
}

namespace
{
// Left cap (tag 1) and right cap (tag 3) two wide, a middle tile (tag 2) three wide, all one high.
OwnedList ThreeSlice(int tileWidth = 3)
{
    OwnedList brush;
    brush.Add(CoordinateImage(2, 1, 1));
    brush.Add(tileWidth > 0 ? CoordinateImage(tileWidth, 1, 2) : std::make_unique<Image>());
    brush.Add(CoordinateImage(2, 1, 3));
    return brush;
}

// "tag:column" of each pixel in the row, "-" for untouched ones.
std::string Row(const Image& image, int y)
{
    std::string out;
    for (int x = 0; x < image.GetWidth(); ++x)
    {
        const uint32_t p = image.GetPixel(x, y);
        out += p == kBackground ? std::string("-")
                                : std::to_string((p >> 16) & 0xFF) + ":" + std::to_string(p & 0xFF);
        out += " ";
    }
    return out;
}
} // namespace

TEST(ThreeSlice, TilesAreRepeatedAndTheLastOneCropped)
{
    const struct
    {
        int tileWidth;
        float x, length;
        const char* row;
    } cases[] = {
        // Caps 2 + 2, then 5 for the middle: one whole tile and two columns of another.
        {3, 1, 9, "- 1:0 1:1 2:0 2:1 2:2 2:0 2:1 3:0 3:1 - - "},
        {3, 0, 8.5f, "1:0 1:1 2:0 2:1 2:2 2:0 3:0 3:1 - - - - "}, // a fractional remainder is cut
        {3, 0, 3, "1:0 3:0 3:1 - - - - - - - - - "}, // narrower than its caps: both caps, no middle
        // A tile whose image failed to load (0 x 0) would otherwise never fill its length.
        {0, 0, 8, "1:0 1:1 - - - - 3:0 3:1 - - - - "},
    };
    for (const auto& c : cases)
    {
        OwnedList brush = ThreeSlice(c.tileWidth);
        auto target = Target(12, 1);
        cImageCanvas canvas(*target);
        EXPECT_EQ(DrawThreeSliceHorizontal(&brush.list, 0, c.x, 0, c.length, DrawState(), &canvas), 0);
        EXPECT_EQ(Row(*target, 0), c.row) << c.length;
    }
    OwnedList brush = ThreeSlice(0);
    RecordingCanvas canvas;
    EXPECT_EQ(DrawThreeSliceVertical(&brush.list, 0, 0, 0, 1e30f, DrawState(), &canvas), 0);
    EXPECT_EQ(HitTestThreeSliceHorizontal(&brush.list, 0, 0, 8, 4, 0), 0);
}

TEST(ThreeSlice, VerticalFillsDownwardsAndMissingFramesDrawNothing)
{
    OwnedList column;
    for (int tag = 1; tag <= 3; ++tag)
        column.Add(CoordinateImage(1, tag == 2 ? 2 : 1, uint32_t(tag)));
    auto target = Target(1, 6);
    cImageCanvas canvas(*target);
    DrawState s;
    s.vAlign = 2; // brushes place their pieces themselves
    EXPECT_EQ(DrawThreeSliceVertical(&column.list, 0, 0, 0, 5, s, &canvas), 0);
    std::vector<uint32_t> pixels;
    for (int y = 0; y < 6; ++y)
        pixels.push_back(target->GetPixel(0, y) == kBackground ? 0 : target->GetPixel(0, y) & 0xFFFFFF);
    EXPECT_EQ(pixels, (std::vector<uint32_t>{0x010000, 0x020000, 0x020100, 0x020000, 0x030000, 0}));

    OwnedList brush = ThreeSlice();
    RecordingCanvas recording;
    EXPECT_EQ(DrawThreeSliceHorizontal(nullptr, 0, 0, 0, 10, DrawState(), &recording), 1);
    EXPECT_EQ(DrawThreeSliceHorizontal(&brush.list, 1, 0, 0, 10, DrawState(), &recording), -1);
    EXPECT_EQ(DrawThreeSliceVertical(&brush.list, -1, 0, 0, 10, DrawState(), &recording), -1);
    EXPECT_EQ(DrawNineSlice(&brush.list, 0, 0, 0, 10, 10, DrawState(), &recording), -1);
    EXPECT_EQ(DrawNineSlice(nullptr, 0, 0, 0, 10, 10, DrawState(), &recording), 1);
    EXPECT_TRUE(recording.calls.empty());
}

TEST(NineSlice, MiddleRowsRepeatDownAndTheLastIsCut)
{
    // Pieces 0..8 are 2 x 2, tagged by their index + 1; with a flat middle row the drawing still ends.
    for (bool flatMiddle : {false, true})
    {
        OwnedList brush;
        for (uint32_t i = 0; i < 9; ++i)
            brush.Add(flatMiddle && i / 3 == 1 ? std::make_unique<Image>() : CoordinateImage(2, 2, i + 1));
        auto target = Target(8, 8);
        cImageCanvas canvas(*target);
        EXPECT_EQ(DrawNineSlice(&brush.list, 0, 0, 0, 7, flatMiddle ? 8 : 7, DrawState(), &canvas), 0);
        // The middle column and the middle row both get one whole piece and one cut to 1.
        std::string tags;
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                tags += "0123456789ABCDEF"[TagAt(*target, x, y) & 0xF] + std::string(x == 7 ? "|" : "");
        EXPECT_EQ(tags, flatMiddle
                            ? "1122233F|1122233F|FFFFFFFF|FFFFFFFF|FFFFFFFF|FFFFFFFF|7788899F|7788899F|"
                            : "1122233F|1122233F|4455566F|4455566F|4455566F|7788899F|7788899F|FFFFFFFF|");
        // The cut row shows the top of its pieces, the cut column their left.
        if (!flatMiddle)
        {
            EXPECT_EQ(target->GetPixel(4, 4) & 0xFFFF, 0x0000u);
            EXPECT_EQ(target->GetPixel(3, 3) & 0xFFFF, 0x0101u);
        }
    }
}

TEST(Tiling, StartsAtTheOffsetAndCropsTheEnd)
{
    auto image = CoordinateImage(5, 1);
    auto columns = [&](int offset, float length)
    {
        auto target = Target(12, 1);
        cImageCanvas canvas(*target);
        EXPECT_EQ(TileImageHorizontally(image.get(), offset, 0, 0, length, DrawState(), &canvas), 0);
        std::string out;
        for (int x = 0; x < 12; ++x)
            out += target->GetPixel(x, 0) == kBackground ? '-' : char('0' + (target->GetPixel(x, 0) & 0xFF));
        return out;
    };
    EXPECT_EQ(columns(3, 11), "34012340123-");
    EXPECT_EQ(columns(8, 11), "34012340123-");  // offset taken modulo the width
    EXPECT_EQ(columns(-2, 11), "34012340123-"); // ...and made non-negative
    EXPECT_EQ(columns(0, 7.9f), "0123401-----");
    EXPECT_EQ(columns(4, 1), "4-----------");
    EXPECT_EQ(columns(2, 0), "------------");
}

TEST(Tiling, VerticalAndEmptyImages)
{
    auto image = CoordinateImage(1, 3);
    auto target = Target(1, 6);
    cImageCanvas canvas(*target);
    EXPECT_EQ(TileImageVerticallyFrom(image.get(), 1, 0, 0, 5, DrawState(), &canvas), 0);
    std::string rows;
    for (int y = 0; y < 6; ++y)
        rows +=
            target->GetPixel(0, y) == kBackground ? '-' : char('0' + ((target->GetPixel(0, y) >> 8) & 0xFF));
    EXPECT_EQ(rows, "12012-");

    RecordingCanvas recording;
    Image empty;
    EXPECT_EQ(TileImageHorizontally(&empty, 3, 0, 0, 100, DrawState(), &recording), 1);
    EXPECT_EQ(TileImageVertically(nullptr, 0, 0, 100, DrawState(), &recording), 1);
    EXPECT_TRUE(recording.calls.empty());
    // An endless length ends at the canvas's edge: 100 wide takes 20 tiles of 5.
    RecordingCanvas wide;
    auto five = CoordinateImage(5, 1);
    EXPECT_EQ(TileImageHorizontally(five.get(), 0, 0, 0, INFINITY, DrawState(), &wide), 0);
    EXPECT_EQ(wide.calls.size(), 20u);
}

TEST(Tiling, AFrameOfAListOrAFilmStripTilesLikeAnImage)
{
    auto columns = [](IImageList* list, int frame, int offset)
    {
        auto target = Target(12, 1);
        cImageCanvas canvas(*target);
        const int answer = TileFrameHorizontally(list, frame, offset, 0, 0, 11, DrawState(), &canvas);
        std::string out = std::to_string(answer) + ":";
        for (int x = 0; x < 12; ++x)
            out += target->GetPixel(x, 0) == kBackground ? '-' : char('0' + (target->GetPixel(x, 0) & 0xFF));
        return out;
    };
    OwnedList list;
    list.Add(CoordinateImage(3, 1));
    list.Add(CoordinateImage(5, 1));
    EXPECT_EQ(columns(&list.list, 1, 3), "0:34012340123-");
    EXPECT_EQ(columns(&list.list, 2, 0), "1:------------");
    EXPECT_EQ(columns(nullptr, 0, 0), "1:------------");
    // The second frame of a strip two frames wide: the image's columns 5 to 9.
    FilmStrip strip(CoordinateImage(10, 1), 2, 1);
    EXPECT_EQ(columns(&strip, 1, 3), "0:89567895678-");
    EXPECT_EQ(columns(&strip, 0, 0), "0:01234012340-");

    FilmStrip rows(CoordinateImage(1, 6), 1, 2);
    auto target = Target(1, 6);
    cImageCanvas canvas(*target);
    EXPECT_EQ(TileFrameVertically(&rows, 1, 1, 0, 0, 5, DrawState(), &canvas), 0);
    std::string out;
    for (int y = 0; y < 6; ++y)
        out +=
            target->GetPixel(0, y) == kBackground ? '-' : char('0' + ((target->GetPixel(0, y) >> 8) & 0xFF));
    EXPECT_EQ(out, "45345-");
}

TEST(ThreeSlice, HitTestMapsThePointIntoItsPiece)
{
    OwnedList brush;
    brush.Add(MakeImage(2, 1, {0x10000000u, 0x20000000u}));
    brush.Add(
        MakeImage(3, 2, {0x30000000u, 0x40000000u, 0x50000000u, 0x31000000u, 0x41000000u, 0x51000000u}));
    brush.Add(MakeImage(2, 1, {0x60000000u, 0x70000000u}));
    const IImageList* list = &brush.list;
    // Brush at x 10, 12 wide: caps at 10..11 and 20..21, tiles from 12.
    EXPECT_EQ(HitTestThreeSliceHorizontal(list, 0, 10, 12, 9.5f, 0), 0);
    EXPECT_EQ(HitTestThreeSliceHorizontal(list, 0, 10, 12, 22, 0), 0);
    EXPECT_EQ(HitTestThreeSliceHorizontal(list, 0, 10, 12, 11, 0), 0x20);
    EXPECT_EQ(HitTestThreeSliceHorizontal(list, 0, 10, 12, 20, 0), 0x60);
    EXPECT_EQ(HitTestThreeSliceHorizontal(list, 0, 10, 12, 21.5f, 0), 0x70);
    EXPECT_EQ(HitTestThreeSliceHorizontal(list, 0, 10, 12, 12, 0), 0x30);
    EXPECT_EQ(HitTestThreeSliceHorizontal(list, 0, 10, 12, 16, 1), 0x41); // offset 4 mod 3
    EXPECT_EQ(HitTestThreeSliceHorizontal(list, 0, 10, 12, 16, 5), 0);    // below the tile
    EXPECT_EQ(HitTestThreeSliceHorizontal(list, 1, 10, 12, 12, 0), 0);
    EXPECT_EQ(HitTestThreeSliceHorizontal(nullptr, 0, 10, 12, 12, 0), 0);
}
