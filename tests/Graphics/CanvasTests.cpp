#include "GraphicsTestSupport.h"
#include "Graphics/Canvas.h"
#include "Graphics/ImageCanvas.h"
#include "Support/LogCapture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <thread>

using namespace Kestrin;
using namespace Kestrin::Graphics;
using GraphicsTest::RecordingCanvas;

namespace
{
// The pixels an image canvas drew, as 'x' (changed) and '.' (untouched).
std::string Plot(const Image& image, uint32_t background = 0)
{
    std::string out;
    for (int y = 0; y < image.GetHeight(); ++y)
    {
        for (int x = 0; x < image.GetWidth(); ++x)
            out += image.GetPixel(x, y) == background ? '.' : 'x';
        out += '\n';
    }
    return out;
}

DrawState Opaque(uint32_t argb)
{
    DrawState s;
    s.color = ColorF::FromARGB(argb);
    s.flags = 0;
    return s;
}
} // namespace

TEST(DrawState, DefaultsDrawOpaqueWhiteBlendedUnclippedTopLeft)
{
    const DrawState& s = GetDefaultDrawState();
    EXPECT_EQ(s.font, nullptr);
    EXPECT_EQ(PackColor(s.color), 0xFFFFFFFFu);
    EXPECT_EQ(PackColor(s.color2), 0xFF000000u);
    EXPECT_EQ(PackColor(s.imageColor), 0xFFFFFFFFu);
    EXPECT_EQ(s.clipRect, Rect<int>(-1073741824, -1073741824, 2147483647, 2147483647));
    EXPECT_EQ(s.flags, uint32_t(DrawFlag_Blend));
    EXPECT_EQ(s.sourceRect, Rect<int>());
    EXPECT_EQ(s.textMode, 0);
    EXPECT_EQ(s.hAlign, 0);
    EXPECT_EQ(s.vAlign, 0);
    EXPECT_EQ(&GetDefaultDrawState(), &s);
}

TEST(CanvasHelpers, PackColorTruncatesEachChannel)
{
    EXPECT_EQ(PackColor({0.5f, 0.25f, 1.0f, 0.999f}), 0xFE7F3FFFu);
    // Out-of-range and NaN channels stay bytes.
    EXPECT_EQ(PackColor({2.0f, -1.0f, std::numeric_limits<float>::quiet_NaN(), 1.0f}), 0xFFFF0000u);
}

TEST(CanvasHelpers, BlendPixelWeightsBySourceAlphaPlusOne)
{
    EXPECT_EQ(BlendPixel(0x00FFFFFF, 0x12345678), 0x12345678u);
    EXPECT_EQ(BlendPixel(0xFF102030, 0x12345678), 0xFF102030u);
    // red (0*127 + 255*129) >> 8, blue (255*127) >> 8, alpha (255*127 + 128*129) >> 8
    EXPECT_EQ(BlendPixel(0x80FF0000, 0xFF0000FF), 0xBF80007Eu);
}

TEST(CanvasHelpers, IntersectRectsNeverGoesNegative)
{
    EXPECT_EQ(IntersectRects({0, 0, 10, 10}, {5, 3, 10, 4}), Rect<int>(5, 3, 5, 4));
    const Rect<int> apart = IntersectRects({0, 0, 10, 10}, {20, 30, 5, 5});
    EXPECT_EQ(apart.w, 0);
    EXPECT_EQ(apart.h, 0);
    // The unbounded default clip meets a canvas without wrapping around.
    EXPECT_EQ(IntersectRects({0, 0, 800, 600}, GetDefaultDrawState().clipRect), Rect<int>(0, 0, 800, 600));
    EXPECT_EQ(IntersectRects({2147483000, 0, 2000, 5}, {0, 0, 2147483647, 5}), Rect<int>(2147483000, 0, 647, 5));
}

TEST(CanvasHelpers, TruncToIntSaturates)
{
    EXPECT_EQ(TruncToInt(-1.7f), -1);
    EXPECT_EQ(TruncToInt(3e10f), 2147483647);
    EXPECT_EQ(TruncToInt(-3e10f), -2147483647 - 1);
    EXPECT_EQ(TruncToInt(std::numeric_limits<float>::quiet_NaN()), -2147483647 - 1);
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
    PopCanvas();
    EXPECT_EQ(GetCurrentCanvas(), &a);
    EXPECT_EQ(CurrentDrawState(), saved);
    EXPECT_EQ(CanvasStackDepth(), 0);

    // A pop without a push changes nothing.
    PopCanvas();
    EXPECT_EQ(GetCurrentCanvas(), &a);
    EXPECT_EQ(CurrentDrawState(), saved);
    SetCurrentCanvas(nullptr);
    EXPECT_EQ(GetCurrentCanvas(), GetScreenCanvasProxy());
}

TEST(CanvasStack, PushesBeyondTheTableAreCountedNotStored)
{
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
    // Pops of pushes that were not kept restore nothing ...
    for (int i = 69; i >= 64; --i)
    {
        PopCanvas();
        EXPECT_EQ(GetCurrentCanvas(), &canvases[70]) << i;
        EXPECT_EQ(CurrentDrawState().textMode, 69);
    }
    // ... the kept ones restore their entries in order.
    for (int i = 63; i >= 0; --i)
    {
        PopCanvas();
        EXPECT_EQ(GetCurrentCanvas(), &canvases[i]);
        EXPECT_EQ(CurrentDrawState().textMode, i);
    }
    EXPECT_EQ(CanvasStackDepth(), 0);
    const std::string text = log.Text();
    EXPECT_NE(text.find("more than 64 pushes"), std::string::npos);
    EXPECT_EQ(text.find("more than 64 pushes"), text.rfind("more than 64 pushes"));
    SetCurrentCanvas(nullptr);
    CurrentDrawState() = GetDefaultDrawState();
}

TEST(CanvasThreads, EachThreadHasItsOwnCurrentCanvas)
{
    RecordingCanvas mine, theirs;
    SetCurrentCanvas(&mine);
    CurrentDrawState().hAlign = 1;
    ICanvas* seen = nullptr;
    int theirAlign = -1;
    std::thread worker([&] {
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
    SetCurrentCanvas(nullptr);
    CurrentDrawState() = GetDefaultDrawState();
}

TEST(LineClipped, CoincidingEndsPlotOnePixel)
{
    Image image(5, 5);
    cImageCanvas canvas(image);
    EXPECT_EQ(DrawLine(2.2f, 3.4f, 2.4f, 2.6f, Opaque(0xFFFFFFFF), &canvas), 0);
    EXPECT_EQ(Plot(image), ".....\n.....\n.....\n..x..\n.....\n");
}

TEST(LineClipped, StaysInsideBoundsAndClipRectangle)
{
    Image image(8, 5);
    cImageCanvas canvas(image);
    DrawState s = Opaque(0xFFFFFFFF);
    EXPECT_EQ(DrawLine(-5, 2, 5, 2, s, &canvas), 0);
    EXPECT_EQ(Plot(image), "........\n........\nxxxxxx..\n........\n........\n");

    // The clip rectangle limits too: the intersection of both counts.
    Image other(8, 5);
    cImageCanvas second(other);
    s.clipRect = {2, 0, 100, 100};
    EXPECT_EQ(DrawLine(0, 4, 20, 4, s, &second), 0);
    EXPECT_EQ(Plot(other), "........\n........\n........\n........\n..xxxxxx\n");
}

TEST(LineClipped, BresenhamSteps)
{
    Image image(6, 4);
    cImageCanvas canvas(image);
    EXPECT_EQ(DrawLine(0, 0, 5, 2, Opaque(0xFFFFFFFF), &canvas), 0);
    EXPECT_EQ(Plot(image), "xx....\n..xx..\n....xx\n......\n");
    Image steep(4, 6);
    cImageCanvas second(steep);
    // Drawn backwards and steep: the same pixels as forwards, mirrored across the diagonal.
    EXPECT_EQ(DrawLine(2, 5, 0, 0, Opaque(0xFFFFFFFF), &second), 0);
    EXPECT_EQ(Plot(steep), "x...\nx...\n.x..\n.x..\n..x.\n..x.\n");
}

TEST(LineClipped, FarEndsDoNotWalkEveryStep)
{
    Image image(4, 4);
    cImageCanvas canvas(image);
    // Billions of steps outside the canvas: only the inside ones are walked.
    EXPECT_EQ(DrawLine(-2e9f, 1, 2e9f, 1, Opaque(0xFFFFFFFF), &canvas), 0);
    EXPECT_EQ(Plot(image), "....\nxxxx\n....\n....\n");
    Image diagonal(4, 4);
    cImageCanvas second(diagonal);
    EXPECT_EQ(DrawLine(-1e9f, -1e9f, 1e9f, 1e9f, Opaque(0xFFFFFFFF), &second), 0);
    EXPECT_EQ(Plot(diagonal), "x...\n.x..\n..x.\n...x\n");
}

TEST(LineClipped, BlendsWithTheBlendFlag)
{
    Image image(3, 1);
    image.Pixels()[1] = 0xFF0000FF;
    cImageCanvas canvas(image);
    DrawState s;
    s.color = ColorF::FromARGB(0x80FF0000);
    EXPECT_EQ(DrawLine(1, 0, 1, 0, s, &canvas), 0);
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
    Image image(6, 5);
    cImageCanvas canvas(image);
    CurrentDrawState().flags = 0;
    EXPECT_EQ(DrawRectOutline(&canvas, {1, 1, 4, 3}, {1, 0, 0, 1}), 0);
    EXPECT_EQ(Plot(image), "......\n.xxxx.\n.x..x.\n.xxxx.\n......\n");
    EXPECT_EQ(image.GetPixel(1, 1), 0xFFFF0000u);
    EXPECT_EQ(DrawRectOutline(&canvas, {1, 1, 0, 3}, {1, 0, 0, 1}), 1);
    CurrentDrawState() = GetDefaultDrawState();
}

TEST(DrawImage, AnchorsByAlignmentAndDrawnSize)
{
    RecordingCanvas canvas;
    Image image(10, 6);
    DrawState s;
    s.hAlign = 1;
    s.vAlign = 2;
    EXPECT_EQ(DrawImage(100, 50, &canvas, &image, s), 0);
    s.flags |= DrawFlag_SourceRect;
    s.sourceRect = {0, 0, 4, 3};
    s.hAlign = 2;
    s.vAlign = 1;
    EXPECT_EQ(DrawImage(100, 50, &canvas, &image, s), 0);
    ASSERT_EQ(canvas.calls.size(), 2u);
    EXPECT_FLOAT_EQ(canvas.calls[0].x, 95);
    EXPECT_FLOAT_EQ(canvas.calls[0].y, 44);
    EXPECT_FLOAT_EQ(canvas.calls[1].x, 96);
    EXPECT_FLOAT_EQ(canvas.calls[1].y, 48.5f);

    EXPECT_EQ(DrawImage(0, 0, nullptr, &image, s), 1);
    EXPECT_EQ(DrawImage(0, 0, &canvas, nullptr, s), 1);
    canvas.offersQuad = false;
    EXPECT_EQ(DrawImage(0, 0, &canvas, &image, s), -2);
}

TEST(DrawImage, InRectAnchorsTheRectangle)
{
    RecordingCanvas canvas;
    Image image(10, 6);
    DrawState s;
    s.hAlign = 1;
    s.vAlign = 2;
    EXPECT_EQ(DrawImageInRect(&canvas, {100, 50, 21, 10}, &image, s), 0);
    ASSERT_EQ(canvas.calls.size(), 1u);
    EXPECT_EQ(canvas.calls[0].what, "Stretch");
    EXPECT_EQ(canvas.calls[0].rect, Rect<int>(90, 40, 21, 10));
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
}

TEST(DrawImage, RotatedWithANonFiniteAngleDrawsNothing)
{
    RecordingCanvas canvas;
    Image image(10, 6);
    EXPECT_EQ(DrawImageRotated(&canvas, &image, 1, 1, std::numeric_limits<float>::infinity(), {}), 1);
    EXPECT_EQ(DrawImageRotated(&canvas, &image, 1, 1, std::numeric_limits<float>::quiet_NaN(), {}), 1);
    EXPECT_TRUE(canvas.calls.empty());
}

TEST(FillFunctions, FillQuadCoversTheCanvasInTheStateColour)
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
    canvas.offersQuad = false;
    EXPECT_EQ(FillQuad(&canvas, s), -2);
    EXPECT_EQ(FillRect({0, 0, 1, 1}, s, &canvas), -2);
}

TEST(FillFunctions, EllipsesOfNoSizeDrawNothing)
{
    RecordingCanvas canvas;
    DrawState s;
    EXPECT_EQ(FillEllipse({0, 0, 0, 5}, s, &canvas), 1);
    EXPECT_EQ(DrawEllipse({0, 0, 5, -1}, s, &canvas), 1);
    EXPECT_EQ(DrawEllipse({0, 0, std::numeric_limits<float>::quiet_NaN(), 3}, s, &canvas), 1);
    EXPECT_TRUE(canvas.calls.empty());
    EXPECT_EQ(FillEllipse({1, 2, 5, 3}, s, &canvas), 0);
    EXPECT_EQ(DrawEllipse({1, 2, 5, 3}, s, &canvas), 0);
    ASSERT_EQ(canvas.calls.size(), 2u);
    EXPECT_EQ(canvas.calls[0].what, "FilledEllipse");
    EXPECT_EQ(canvas.calls[1].what, "Ellipse");
    canvas.offersEllipse = false;
    EXPECT_EQ(FillEllipse({1, 2, 5, 3}, s, &canvas), -2);
}
