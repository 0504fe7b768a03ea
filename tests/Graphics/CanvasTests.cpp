#include "Graphics/Canvas.h"
#include "Graphics/ImageCanvas.h"
#include "GraphicsTestSupport.h"
#include "harness/LogCapture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <thread>

using namespace Kestrin;
using namespace Kestrin::Graphics;
using GraphicsTest::Placed;
using GraphicsTest::Placements;
using GraphicsTest::Plot;
using GraphicsTest::RecordingCanvas;
using GraphicsTest::Solid;

namespace
{
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

// Restores the thread's canvas and state however a test ends.
struct ResetCanvas
{
    ~ResetCanvas()
    {
        SetCurrentCanvas(nullptr);
        CurrentDrawState() = GetDefaultDrawState();
    }
};
} // namespace

TEST(DrawState, DefaultsDrawOpaqueWhiteBlendedUnclippedTopLeft)
{
    const DrawState& s = GetDefaultDrawState();
    EXPECT_EQ(s, DrawState());
    EXPECT_EQ(PackColor(s.color), 0xFFFFFFFFu);
    EXPECT_EQ(PackColor(s.color2), 0xFF000000u);
    EXPECT_EQ(PackColor(s.imageColor), 0xFFFFFFFFu);
    EXPECT_EQ(s.clipRect, Rect<int>(-1073741824, -1073741824, 2147483647, 2147483647));
    EXPECT_EQ(s.flags, uint32_t(DrawFlag_Blend));
    EXPECT_TRUE(s.font == nullptr && s.sourceRect == Rect<int>() && !s.textMode && !s.hAlign && !s.vAlign);
}

TEST(CanvasHelpers, PackBlendIntersectAndTruncSaturate)
{
    EXPECT_EQ(PackColor({0.5f, 0.25f, 1.0f, 0.999f}), 0xFE7F3FFFu);
    EXPECT_EQ(PackColor({2.0f, -1.0f, kNaN, 1.0f}), 0xFFFF0000u); // out of range and NaN stay bytes

    EXPECT_EQ(BlendPixel(0x00FFFFFF, 0x12345678), 0x12345678u);
    EXPECT_EQ(BlendPixel(0xFF102030, 0x12345678), 0xFF102030u);
    // red (0*127 + 255*129) >> 8, blue (255*127) >> 8, alpha (255*127 + 128*129) >> 8
    EXPECT_EQ(BlendPixel(0x80FF0000, 0xFF0000FF), 0xBF80007Eu);

    EXPECT_EQ(IntersectRects({0, 0, 10, 10}, {5, 3, 10, 4}), Rect<int>(5, 3, 5, 4));
    const Rect<int> apart = IntersectRects({0, 0, 10, 10}, {20, 30, 5, 5});
    EXPECT_EQ(apart.w, 0);
    EXPECT_EQ(apart.h, 0);
    // The unbounded default clip meets a canvas without wrapping around.
    EXPECT_EQ(IntersectRects({0, 0, 800, 600}, GetDefaultDrawState().clipRect), Rect<int>(0, 0, 800, 600));
    EXPECT_EQ(IntersectRects({2147483000, 0, 2000, 5}, {0, 0, 2147483647, 5}),
              Rect<int>(2147483000, 0, 647, 5));

    EXPECT_EQ(TruncToInt(-1.7f), -1);
    EXPECT_EQ(TruncToInt(3e10f), 2147483647);
    EXPECT_EQ(TruncToInt(-3e10f), -2147483647 - 1);
    EXPECT_EQ(TruncToInt(kNaN), -2147483647 - 1);
}

TEST(CanvasQuery, UnknownNameLeavesTheOutPointer)
{
    Image image(4, 4);
    cImageCanvas canvas(image);
    void* out = &image;
    EXPECT_FALSE(canvas.QueryInterface(MakeName("ILineDrawingCanvas"), &out));
    EXPECT_FALSE(canvas.QueryInterface(MakeName("NoSuchCanvas"), &out));
    EXPECT_EQ(out, &image);
    EXPECT_TRUE(canvas.QueryInterface(MakeName("iquaddrawingcanvas"), &out));
    EXPECT_EQ(out, static_cast<IQuadDrawingCanvas*>(&canvas));
}

namespace
{
RecordingCanvas* g_screen = nullptr;
ICanvas* FakeScreen()
{
    return g_screen;
}
} // namespace

TEST(CanvasProxy, ForwardsToTheScreenCanvasOfTheMoment)
{
    ICanvas* proxy = GetScreenCanvasProxy();
    SetScreenCanvasSource(nullptr);
    NameId name = MakeName("before");
    proxy->GetName(name);
    EXPECT_TRUE(name.IsNull());
    EXPECT_TRUE(proxy->GetBounds().IsEmpty());
    EXPECT_EQ(QueryCanvas<IQuadDrawingCanvas>(proxy), nullptr);

    RecordingCanvas screen;
    g_screen = &screen;
    SetScreenCanvasSource(FakeScreen);
    proxy->GetName(name);
    EXPECT_EQ(name, MakeName("RecordingCanvas"));
    EXPECT_EQ(&proxy->GetBounds(), &screen.bounds);
    // Sub-objects come from the real canvas, so drawing through them reaches it.
    EXPECT_EQ(QueryCanvas<IQuadDrawingCanvas>(proxy), static_cast<IQuadDrawingCanvas*>(&screen));
    EXPECT_EQ(GetCurrentCanvas(), proxy);
    EXPECT_EQ(FillRect({1, 2, 3, 4}, GetDefaultDrawState()), 0);
    ASSERT_EQ(screen.calls.size(), 1u);
    EXPECT_EQ(screen.calls[0].rectF, Rect<float>(1, 2, 3, 4));
    SetScreenCanvasSource(nullptr);
    g_screen = nullptr;
}

TEST(CanvasStack, PushAndPopRestoreCanvasAndStateExactly)
{
    ResetCanvas reset;
    RecordingCanvas a, b;
    SetCurrentCanvas(&a);
    CurrentDrawState().color = {0.1f, 0.2f, 0.3f, 0.4f};
    CurrentDrawState().hAlign = 2;
    const DrawState saved = CurrentDrawState();

    PushCanvas();
    SetCurrentCanvas(&b);
    CurrentDrawState() = GetDefaultDrawState();
    CurrentDrawState().flags = 0;
    EXPECT_EQ(CanvasStackDepth(), 1);
    // The second pop has no push: it changes nothing.
    for (int pop = 0; pop < 2; ++pop)
    {
        PopCanvas();
        EXPECT_EQ(GetCurrentCanvas(), &a);
        EXPECT_EQ(CurrentDrawState(), saved);
        EXPECT_EQ(CanvasStackDepth(), 0);
    }
    SetCurrentCanvas(nullptr);
    EXPECT_EQ(GetCurrentCanvas(), GetScreenCanvasProxy());
}

TEST(CanvasStack, PushesBeyondTheTableAreCountedNotStored)
{
    ResetCanvas reset;
    KestrinTest::LogCapture log;
    RecordingCanvas canvases[71];
    SetCurrentCanvas(&canvases[0]);
    for (int i = 0; i < 70; ++i)
    {
        CurrentDrawState().textMode = i;
        PushCanvas();
        SetCurrentCanvas(&canvases[i + 1]);
    }
    EXPECT_EQ(CanvasStackDepth(), 70);
    // Pops of pushes that were not kept restore nothing; the kept ones restore their entries in order.
    for (int i = 69; i >= 0; --i)
    {
        PopCanvas();
        EXPECT_EQ(GetCurrentCanvas(), &canvases[i >= 64 ? 70 : i]) << i;
        EXPECT_EQ(CurrentDrawState().textMode, i >= 64 ? 69 : i);
    }
    EXPECT_EQ(CanvasStackDepth(), 0);
    const std::string text = log.Text();
    EXPECT_NE(text.find("more than 64 pushes"), std::string::npos);
    EXPECT_EQ(text.find("more than 64 pushes"), text.rfind("more than 64 pushes"));
}

TEST(CanvasThreads, EachThreadHasItsOwnCurrentCanvas)
{
    ResetCanvas reset;
    RecordingCanvas mine, theirs;
    SetCurrentCanvas(&mine);
    CurrentDrawState().hAlign = 1;
    ICanvas* seen = nullptr;
    int theirAlign = -1;
    std::thread worker(
        [&]
        {
            seen = GetCurrentCanvas();
            PushCanvas();
            SetCurrentCanvas(&theirs);
            CurrentDrawState().hAlign = 2;
            theirAlign = CurrentDrawState().hAlign;
            PopCanvas();
        });
    worker.join();
    EXPECT_EQ(seen, GetScreenCanvasProxy());
    EXPECT_EQ(theirAlign, 2);
    EXPECT_EQ(GetCurrentCanvas(), &mine);
    EXPECT_EQ(CurrentDrawState().hAlign, 1);
}

TEST(LineClipped, PlotsInsideBoundsAndClipWithBresenhamSteps)
{
    struct Case
    {
        int w, h;
        float x1, y1, x2, y2;
        Rect<int> clip;
        const char* plot;
    };
    const Rect<int> none = GetDefaultDrawState().clipRect;
    const Case cases[] = {
        {5, 5, 2.2f, 3.4f, 2.4f, 2.6f, none, ".....\n.....\n.....\n..x..\n.....\n"}, // coinciding ends
        {8, 3, -5, 2, 5, 2, none, "........\n........\nxxxxxx..\n"},
        {8, 2, 0, 1, 20, 1, {2, 0, 100, 100}, "........\n..xxxxxx\n"}, // bounds and clip both count
        {6, 4, 0, 0, 5, 2, none, "xx....\n..xx..\n....xx\n......\n"},
        // Drawn backwards and steep: the same pixels as forwards, mirrored across the diagonal.
        {4, 6, 2, 5, 0, 0, none, "x...\nx...\n.x..\n.x..\n..x.\n..x.\n"},
        // Billions of steps outside the canvas: only the inside ones are walked.
        {4, 2, -2e9f, 1, 2e9f, 1, none, "....\nxxxx\n"},
        {4, 4, -1e9f, -1e9f, 1e9f, 1e9f, none, "x...\n.x..\n..x.\n...x\n"},
    };
    for (const Case& c : cases)
    {
        Image image(c.w, c.h);
        cImageCanvas canvas(image);
        DrawState s = Solid(0xFFFFFFFF);
        s.clipRect = c.clip;
        EXPECT_EQ(DrawLine(c.x1, c.y1, c.x2, c.y2, s, &canvas), 0);
        EXPECT_EQ(Plot(image), c.plot) << c.x1 << "," << c.y1 << " " << c.x2 << "," << c.y2;
    }

    Image image(3, 1);
    image.Pixels()[1] = 0xFF0000FF;
    cImageCanvas canvas(image);
    EXPECT_EQ(DrawLine(1, 0, 1, 0, Solid(0x80FF0000, DrawFlag_Blend), &canvas), 0);
    EXPECT_EQ(image.GetPixel(1, 0), 0xBF80007Eu);
}

TEST(DrawLine, PrefersTheLineInterfaceAndAnswersMinusTwoWithoutOne)
{
    RecordingCanvas canvas;
    canvas.offersLine = true;
    EXPECT_EQ(DrawLine(1, 2, 3, 4, GetDefaultDrawState(), &canvas), 0);
    ASSERT_EQ(canvas.calls.size(), 1u);
    EXPECT_EQ(canvas.calls[0].rectF, Rect<float>(1, 2, 3, 4));
    canvas.offersLine = false;
    EXPECT_EQ(DrawLine(1, 2, 3, 4, GetDefaultDrawState(), &canvas), -2);
    EXPECT_EQ(DrawLine(1, 2, 3, 4, GetDefaultDrawState(), nullptr), 1);
}

TEST(DrawRectOutline, FourLinesAroundTheLastPixels)
{
    ResetCanvas reset;
    Image image(6, 5);
    cImageCanvas canvas(image);
    CurrentDrawState().flags = 0;
    EXPECT_EQ(DrawRectOutline(&canvas, {1, 1, 4, 3}, {1, 0, 0, 1}), 0);
    EXPECT_EQ(Plot(image), "......\n.xxxx.\n.x..x.\n.xxxx.\n......\n");
    EXPECT_EQ(image.GetPixel(1, 1), 0xFFFF0000u);
    EXPECT_EQ(DrawRectOutline(&canvas, {1, 1, 0, 3}, {1, 0, 0, 1}), 1);
}

TEST(DrawImage, AnchorsByAlignmentAndDrawnSize)
{
    RecordingCanvas canvas;
    Image image(10, 6);
    DrawState s;
    s.hAlign = 1;
    s.vAlign = 2;
    EXPECT_EQ(DrawImage(100, 50, &canvas, &image, s), 0);
    EXPECT_EQ(DrawImageInRect(&canvas, {100, 50, 21, 10}, &image, s), 0);
    s.flags |= DrawFlag_SourceRect;
    s.sourceRect = {0, 0, 4, 3};
    s.hAlign = 2;
    s.vAlign = 1;
    EXPECT_EQ(DrawImage(100, 50, &canvas, &image, s), 0);
    EXPECT_EQ(Placements(canvas), (std::vector<Placed>{{L"", 95, 44}, {L"", 0, 0}, {L"", 96, 48.5f}}));
    EXPECT_EQ(canvas.calls[1].what, "Stretch");
    EXPECT_EQ(canvas.calls[1].rect, Rect<int>(90, 40, 21, 10)); // in a rectangle the rectangle is anchored

    EXPECT_EQ(DrawImage(0, 0, nullptr, &image, s), 1);
    EXPECT_EQ(DrawImage(0, 0, &canvas, nullptr, s), 1);
    canvas.offersQuad = false;
    EXPECT_EQ(DrawImage(0, 0, &canvas, &image, s), -2);
}

TEST(DrawImage, RotatedTurnsTheAnchorOffset)
{
    RecordingCanvas canvas;
    Image image(10, 6);
    const float half = std::acos(-1.0f) * 0.5f;
    DrawState s; // top-left anchor: the centre lies (5, 3) from it before turning
    EXPECT_EQ(DrawImageRotated(&canvas, &image, 100, 50, half, s), 0);
    s.hAlign = 1;
    s.vAlign = 1;
    EXPECT_EQ(DrawImageRotated(&canvas, &image, 100, 50, half, s), 0);
    ASSERT_EQ(canvas.calls.size(), 2u);
    // A quarter turn clockwise (y down) takes (5, 3) to (-3, 5).
    EXPECT_NEAR(canvas.calls[0].x, 97, 1e-4);
    EXPECT_NEAR(canvas.calls[0].y, 55, 1e-4);
    EXPECT_FLOAT_EQ(canvas.calls[1].x, 100);
    EXPECT_FLOAT_EQ(canvas.calls[1].y, 50);
    EXPECT_FLOAT_EQ(canvas.calls[1].rectF.x, half);

    // A non-finite angle draws nothing.
    canvas.calls.clear();
    EXPECT_EQ(DrawImageRotated(&canvas, &image, 1, 1, std::numeric_limits<float>::infinity(), {}), 1);
    EXPECT_EQ(DrawImageRotated(&canvas, &image, 1, 1, kNaN, {}), 1);
    EXPECT_TRUE(canvas.calls.empty());
}

TEST(FillFunctions, QuadsCoverTheCanvasAndEllipsesOfNoSizeDrawNothing)
{
    RecordingCanvas canvas;
    DrawState s;
    s.color = {0, 0, 0, 0.5f};
    EXPECT_EQ(FillQuad(&canvas, s), 0);
    ASSERT_EQ(canvas.calls.size(), 1u);
    EXPECT_EQ(canvas.calls[0].what, "Fill");
    EXPECT_EQ(canvas.calls[0].rect, canvas.bounds);
    EXPECT_EQ(canvas.calls[0].state.color, s.color);
    EXPECT_EQ(FillQuad(nullptr, s), 1);

    canvas.calls.clear();
    EXPECT_EQ(FillEllipse({0, 0, 0, 5}, s, &canvas), 1);
    EXPECT_EQ(DrawEllipse({0, 0, 5, -1}, s, &canvas), 1);
    EXPECT_EQ(DrawEllipse({0, 0, kNaN, 3}, s, &canvas), 1);
    EXPECT_TRUE(canvas.calls.empty());
    EXPECT_EQ(FillEllipse({1, 2, 5, 3}, s, &canvas), 0);
    EXPECT_EQ(DrawEllipse({1, 2, 5, 3}, s, &canvas), 0);
    ASSERT_EQ(canvas.calls.size(), 2u);
    EXPECT_EQ(canvas.calls[0].what, "FilledEllipse");
    EXPECT_EQ(canvas.calls[1].what, "Ellipse");

    canvas.offersQuad = false;
    canvas.offersEllipse = false;
    EXPECT_EQ(FillQuad(&canvas, s), -2);
    EXPECT_EQ(FillRect({0, 0, 1, 1}, s, &canvas), -2);
    EXPECT_EQ(FillEllipse({1, 2, 5, 3}, s, &canvas), -2);
}
