// The Direct3D 7 platform and its screen canvas on the fake display back end: what reaches the
// device (vertices, textures, clip planes) and how frames begin, end and recover.
#include "Graphics/Font.h"
#include "Graphics/Image.h"
#include "Platform/Shim/DirectDraw/FakeBackend.h"
#include "Platform/Win32/CDisplay.h"
#include "Platform/Win32/D3D7GraphicsPlatform.h"
#include "Support/EngineFakes.h"
#include "harness/FakeClock.h"
#include "harness/LogCapture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

using namespace Kestrin;
using namespace Kestrin::Graphics;
using namespace Kestrin::Shim::DirectDraw;
using KestrinTest::Journal;
using ::testing::FloatEq;
using ::testing::Pointwise;

namespace
{

// The fake never dereferences the window.
class WindowedPlatform : public KestrinTest::FakePlatform
{
public:
    using FakePlatform::FakePlatform;
    void* GetDisplayWindow() override { return reinterpret_cast<void*>(0x1000); }
};

// Pixel (x, y) = 0xFF000000 | y << 8 | x: every texel names where it came from.
std::unique_ptr<Image> MakeImage(int width, int height)
{
    auto image = std::make_unique<Image>(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image->Pixels()[y * width + x] = 0xFF000000u | uint32_t(y) << 8 | uint32_t(x);
    return image;
}

// Every character is an 8 x 10 glyph of one image, 8 pixels apart.
class StripFont : public Font
{
public:
    explicit StripFont(Image* image) : m_image(image) {}
    void GetGlyph(wchar_t, Glyph& glyph) const override { glyph = {m_image, 0, 0, 8, 10}; }
    int GetLineHeight() const override { return 10; }
    int GetAdvance(wchar_t, wchar_t) const override { return 8; }

private:
    Image* m_image;
};

class D3D7PlatformTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CDisplay::ClearDeviceTable();
        display = CDisplay::Instance();
        graphics = std::make_unique<D3D7GraphicsPlatform>();
        graphics->Initialize({0, 1, 800, 600});
        device = fake.LastDevice();
        ASSERT_NE(device, nullptr);
        device->draws.clear();
        fake.ClearCalls();
    }

    void TearDown() override
    {
        graphics->Shutdown();
        graphics.reset();
        SetGraphicsPlatform(nullptr);
        delete CDisplay::Get();
        CDisplay::ClearDeviceTable();
    }

    cScreenCanvasD3D& Canvas() { return graphics->GetScreenCanvas(); }
    // The one draw the device received.
    const FakeDraw& OnlyDraw()
    {
        EXPECT_EQ(device->draws.size(), 1u);
        static const FakeDraw none;
        return device->draws.empty() ? none : device->draws.front();
    }

    FakeBackend fake;
    Journal journal;
    WindowedPlatform platform{journal};
    CDisplay* display = nullptr;
    std::unique_ptr<D3D7GraphicsPlatform> graphics;
    std::shared_ptr<FakeDevice> device;
};

// The call throws E, its text holding `text` (and for a com_error, code DDERR_GENERIC).
template <typename E> void ExpectThrow(const std::function<void()>& call, const std::string& text)
{
    try
    {
        call();
        ADD_FAILURE() << text << ": no exception";
    }
    catch (const E& e)
    {
        EXPECT_NE(std::string(e.what()).find(text), std::string::npos) << e.what();
        if constexpr (std::is_same_v<E, com_error>)
        {
            EXPECT_EQ(e.Code(), DDERR_GENERIC) << text;
        }
    }
}

std::vector<float> XY(const Vertex& v)
{
    return {v.x, v.y};
}
std::vector<float> UV(const Vertex& v)
{
    return {v.u, v.v};
}

DrawState ClippedTo(const Rect<int>& clip, uint32_t flags = DrawFlag_Blend)
{
    DrawState state;
    state.clipRect = clip;
    state.flags = flags;
    return state;
}

TEST_F(D3D7PlatformTest, OneToOneImageClippedOnTheLeftShowsItsRightColumnsOnPixelCentres)
{
    auto image = MakeImage(32, 8);
    ASSERT_EQ(Canvas().DrawImage(image.get(), -10.0f, 0.0f, ClippedTo({0, 0, 800, 600})), 0);
    const FakeDraw& draw = OnlyDraw();
    EXPECT_EQ(draw.type, Prim::TriangleStrip);
    ASSERT_EQ(draw.vertices.size(), 4u);
    ASSERT_NE(draw.texture, nullptr);
    // Columns 10-31 at 0-21: corners half a pixel up and left, u from texel 10 to the right edge.
    const std::vector<float> expected[4] = {{-0.5f, -0.5f, 1, 10.0f / 32, 0.0f},
                                            {-0.5f, 7.5f, 1, 10.0f / 32, 1.0f},
                                            {21.5f, -0.5f, 1, 1.0f, 0.0f},
                                            {21.5f, 7.5f, 1, 1.0f, 1.0f}};
    for (int i = 0; i < 4; ++i)
    {
        const Vertex& v = draw.vertices[size_t(i)];
        EXPECT_THAT((std::vector<float>{v.x, v.y, v.z, v.u, v.v}), Pointwise(FloatEq(), expected[i])) << i;
        EXPECT_EQ(v.argb, 0xFFFFFFFFu) << i;
    }
    // The texture holds the image's pixels.
    EXPECT_EQ(draw.texture->PixelAt(31, 7), 0xFF00071Fu);
}

TEST_F(D3D7PlatformTest, MirroredImagesClippedAtAnEdgeShowTheVisiblePart)
{
    struct Case
    {
        const char* name;
        int width, height;
        float x, y;
        uint32_t flags;
        float leftU, rightU, topV, bottomV; // of vertices 0 (top left) and 3 (bottom right)
    };
    const Case cases[] = {
        // Clipped on the left: mirrored shows 21..0 (cut on the right).
        {"mirrored left cut", 32, 8, -10, 0, DrawFlag_MirrorX, 22.0f / 32, 0.0f, 0, 1},
        // Clipped on the right at 800: mirrored shows 31..22.
        {"mirrored right cut", 32, 8, 790, 0, DrawFlag_MirrorX, 1.0f, 22.0f / 32, 0, 1},
        // Rows: clipped at the top, flipped shows rows 21..0.
        {"flipped top cut", 8, 32, 0, -10, DrawFlag_MirrorY, 0, 1, 22.0f / 32, 0.0f},
        {"both, corner cut", 32, 32, -10, -10, DrawFlag_MirrorX | DrawFlag_MirrorY, 22.0f / 32, 0.0f,
         22.0f / 32, 0.0f},
    };
    for (const Case& c : cases)
    {
        device->draws.clear();
        auto image = MakeImage(c.width, c.height);
        ASSERT_EQ(Canvas().DrawImage(image.get(), c.x, c.y, ClippedTo({0, 0, 800, 600}, c.flags)), 0)
            << c.name;
        ASSERT_EQ(device->draws.size(), 1u) << c.name;
        const std::vector<Vertex>& v = device->draws[0].vertices;
        EXPECT_THAT(UV(v[0]), Pointwise(FloatEq(), {c.leftU, c.topV})) << c.name;
        EXPECT_THAT(UV(v[3]), Pointwise(FloatEq(), {c.rightU, c.bottomV})) << c.name;
        // The destination is the visible part either way.
        EXPECT_THAT(XY(v[0]), Pointwise(FloatEq(), {std::max(c.x, 0.0f) - 0.5f, std::max(c.y, 0.0f) - 0.5f}));
    }
}

TEST_F(D3D7PlatformTest, FilledRectangles)
{
    DrawState state;
    state.color = {1.0f, 0.0f, 0.0f, 0.9f / 255.0f};
    EXPECT_EQ(Canvas().DrawFilledRect(Rect<float>(10, 20, 30, 40), state), 1);
    EXPECT_TRUE(device->draws.empty());

    state.color = {1.0f, 0.0f, 0.0f, 0.5f};
    EXPECT_EQ(Canvas().DrawFilledRect(Rect<int>(10, 20, 30, 40), state), 0);
    const FakeDraw& draw = OnlyDraw();
    EXPECT_EQ(draw.type, Prim::TriangleStrip);
    EXPECT_EQ(draw.texture, nullptr);
    ASSERT_EQ(draw.vertices.size(), 4u);
    EXPECT_EQ(draw.vertices[0].argb, 0x7FFF0000u);
    EXPECT_FLOAT_EQ(draw.vertices[0].x, 9.5f);
    EXPECT_THAT(XY(draw.vertices[3]), Pointwise(FloatEq(), {39.5f, 59.5f}));
}

TEST_F(D3D7PlatformTest, AnswersItsInterfacesButNotPixelSetting)
{
    cScreenCanvasD3D& canvas = Canvas();
    void* out = &canvas;
    EXPECT_FALSE(canvas.QueryInterface(Kestrin::Names::IPixelSettingCanvas, &out));
    EXPECT_EQ(out, &canvas);
    EXPECT_FALSE(canvas.QueryInterface(MakeName("IUnknownCanvas"), &out));
    EXPECT_EQ(out, &canvas);

    const std::pair<NameId, void*> faces[] = {
        {Kestrin::Names::IScreen, static_cast<IScreen*>(&canvas)},
        {Kestrin::Names::ICanvas, static_cast<ICanvas*>(&canvas)},
        {Kestrin::Names::IQuadDrawingCanvas, static_cast<IQuadDrawingCanvas*>(&canvas)},
        {Kestrin::Names::ILineDrawingCanvas, static_cast<ILineDrawingCanvas*>(&canvas)},
        {Kestrin::Names::ITextDrawingCanvas, static_cast<ITextDrawingCanvas*>(&canvas)},
        {Kestrin::Names::IEllipseDrawingCanvas, static_cast<IEllipseDrawingCanvas*>(&canvas)},
        {Kestrin::Names::ISpriteDrawingCanvas, static_cast<ISpriteDrawingCanvas*>(&canvas)},
    };
    for (const auto& [name, face] : faces)
    {
        out = nullptr;
        EXPECT_TRUE(canvas.QueryInterface(name, &out)) << name.c_str();
        EXPECT_EQ(out, face) << name.c_str();
    }
    NameId canvasName;
    canvas.GetName(canvasName);
    EXPECT_STREQ(canvasName.c_str(), "ScreenCanvasD3D");
    EXPECT_EQ(canvas.GetBounds(), Rect<int>(0, 0, 800, 600));
}

TEST_F(D3D7PlatformTest, TextGoesOutInBatchesOfAHundredGlyphs)
{
    auto glyphs = MakeImage(64, 16);
    StripFont font(glyphs.get());
    const std::wstring text(250, L'a');
    DrawState state;
    state.color = {0.0f, 1.0f, 0.0f, 1.0f};
    EXPECT_EQ(Canvas().DrawText(text.c_str(), &font, {3.7f, 5.0f}, state), 0);
    ASSERT_EQ(device->draws.size(), 3u);
    const size_t sizes[] = {600, 600, 300};
    for (size_t i = 0; i < 3; ++i)
    {
        EXPECT_EQ(device->draws[i].type, Prim::TriangleList);
        EXPECT_EQ(device->draws[i].vertices.size(), sizes[i]);
        EXPECT_NE(device->draws[i].texture, nullptr);
    }
    // Glyph 100 opens the second batch at pen 3.7 + 800, truncated like a glyph blit.
    const Vertex& first = device->draws[1].vertices[0];
    EXPECT_THAT(XY(first), Pointwise(FloatEq(), {803.0f - 0.5f, 4.5f}));
    EXPECT_EQ(first.argb, 0xFF00FF00u);
    // Two triangles per glyph from the corners 0, 1, 2 and 3, 2, 1.
    const std::vector<Vertex>& v = device->draws[0].vertices;
    EXPECT_THAT(XY(v[3]), Pointwise(FloatEq(), {3.0f + 8.0f - 0.5f, 14.5f}));
    EXPECT_THAT(XY(v[4]), Pointwise(FloatEq(), XY(v[2])));
    EXPECT_THAT(XY(v[5]), Pointwise(FloatEq(), XY(v[1])));
    EXPECT_FLOAT_EQ(v[2].u, 8.0f / 64);
}

TEST_F(D3D7PlatformTest, EveryDrawIsClippedToTheStatesClipRectangle)
{
    auto glyphs = MakeImage(64, 16);
    StripFont font(glyphs.get());
    const Rect<int> before = display->GetWantedClipRect();
    const DrawState field = ClippedTo({10, 20, 100, 50});
    EXPECT_EQ(Canvas().DrawText(L"clipped", &font, {0.0f, 0.0f}, field), 0);
    EXPECT_EQ(Canvas().DrawLine(0, 0, 700, 500, field), 0);
    EXPECT_EQ(Canvas().DrawFilledRect(Rect<float>(0, 0, 800, 600), DrawState()), 0);
    ASSERT_EQ(device->draws.size(), 3u);
    for (int i = 0; i < 2; ++i)
    {
        const FakeDraw& draw = device->draws[size_t(i)];
        EXPECT_EQ(draw.clipPlaneEnable, 15u) << i;
        const std::vector<float> distances = {draw.clipPlanes[0][3], draw.clipPlanes[1][3],
                                              draw.clipPlanes[2][3], draw.clipPlanes[3][3]};
        EXPECT_THAT(distances, Pointwise(FloatEq(), {-10.5f, -20.5f, 109.5f, 69.5f})) << i;
    }
    // The default clip rectangle is unbounded: no plane.
    EXPECT_EQ(device->draws[2].clipPlaneEnable, 0u);
    EXPECT_EQ(display->GetWantedClipRect(), before);

    // A clip rectangle off the canvas draws nothing at all.
    EXPECT_EQ(Canvas().DrawFilledRect(Rect<float>(0, 0, 10, 10), ClippedTo({900, 0, 10, 10})), 1);
    EXPECT_EQ(device->draws.size(), 3u);
}

TEST_F(D3D7PlatformTest, AFailedDrawCallWritesOneLogLineAndTheFrameGoesOn)
{
    auto image = MakeImage(16, 16);
    Image* im = image.get();
    cScreenCanvasD3D& canvas = Canvas();
    DrawState state;
    const PolygonVertex points[3] = {{0, 0, {}, 0, 0}, {9, 0, {}, 1, 0}, {0, 9, {}, 0, 1}};
    const Rect<int> box(0, 0, 40, 40);
    const Rect<float> oval(0, 0, 20, 10);
    const std::pair<const char*, std::function<int()>> cases[] = {
        {"DrawImage", [&] { return canvas.DrawImage(im, 5, 5, state); }},
        {"DrawStretchedImage", [&] { return canvas.DrawStretchedImage(im, box, state); }},
        {"DrawRotatedImage", [&] { return canvas.DrawRotatedImage(im, 50, 50, 0.5f, state); }},
        {"DrawFilledRect", [&] { return canvas.DrawFilledRect(Rect<float>(0, 0, 4, 4), state); }},
        {"DrawLine", [&] { return canvas.DrawLine(0, 0, 4, 4, state); }},
        {"DrawLineCircle", [&] { return canvas.DrawLineCircle(50, 50, 5, state); }},
        {"DrawFilledCircle", [&] { return canvas.DrawFilledCircle(50, 50, 5, state); }},
        {"DrawLineEllipse", [&] { return canvas.DrawLineEllipse(oval, state); }},
        {"DrawFilledEllipse", [&] { return canvas.DrawFilledEllipse(oval, state); }},
        {"DrawTexturedPolygon", [&] { return canvas.DrawTexturedPolygon(im, 0, 3, points, state); }}};
    for (const auto& [op, draw] : cases)
    {
        KestrinTest::LogCapture log;
        fake.Script("DrawPrimitive", {DDERR_GENERIC});
        EXPECT_EQ(draw(), -1) << op;
        EXPECT_EQ(log.Text(), std::string("cScreenCanvasD3D::") + op +
                                  " - DrawPrimitive returned 0x88760001 - DDERR_GENERIC\n");
        EXPECT_EQ(draw(), 0) << op << ": the next draw works";
    }

    {
        KestrinTest::LogCapture log;
        const SpriteRecord sprite{8, 8, {1, 1, 1, 1}, 1, 1};
        fake.Script("DrawIndexedPrimitive", {DDERR_GENERIC});
        EXPECT_EQ(Canvas().DrawSprites(image.get(), 1, &sprite, int(sizeof sprite), state), -1);
        EXPECT_EQ(log.Text(), "cScreenCanvasD3D::DrawSprites - DrawIndexedPrimitive returned 0x88760001 - "
                              "DDERR_GENERIC\n");
        EXPECT_EQ(Canvas().DrawSprites(image.get(), 1, &sprite, int(sizeof sprite), state), 0);
    }

    // A text stops at its failed batch.
    KestrinTest::LogCapture log;
    StripFont font(image.get());
    fake.Script("DrawPrimitive", {DDERR_GENERIC});
    fake.ClearCalls();
    EXPECT_EQ(Canvas().DrawText(std::wstring(150, L'x').c_str(), &font, {0, 0}, state), -1);
    EXPECT_EQ(fake.Count("DrawPrimitive"), 1) << "the second batch is never sent";
    EXPECT_EQ(log.Text(),
              "cScreenCanvasD3D::DrawTextInternal - DrawPrimitive returned 0x88760001 - DDERR_GENERIC\n");
}

TEST_F(D3D7PlatformTest, RotatedImages)
{
    auto image = MakeImage(20, 10);
    const DrawState state = ClippedTo({10, 20, 100, 50});
    const Rect<int> before = display->GetWantedClipRect();

    // A whole turn is a 1:1 draw at the centre less half the size.
    EXPECT_EQ(Canvas().DrawRotatedImage(image.get(), 50.0f, 40.0f, float(2.0 * M_PI), DrawState()), 0);
    ASSERT_EQ(device->draws.size(), 1u);
    EXPECT_THAT(XY(device->draws[0].vertices[0]), Pointwise(FloatEq(), {39.5f, 34.5f}));
    EXPECT_FLOAT_EQ(device->draws[0].vertices[3].x, 59.5f);
    EXPECT_EQ(device->draws[0].clipPlaneEnable, 0u);
    EXPECT_EQ(fake.Count("SetClipPlane"), 0);

    // A quarter of a half turn: the turned quad, clipped by the planes for this one draw.
    const float angle = float(M_PI / 4);
    EXPECT_EQ(Canvas().DrawRotatedImage(image.get(), 50.0f, 40.0f, angle, state), 0);
    ASSERT_EQ(device->draws.size(), 2u);
    const FakeDraw& turned = device->draws[1];
    EXPECT_EQ(turned.type, Prim::TriangleStrip);
    EXPECT_EQ(turned.clipPlaneEnable, 15u);
    // The corner turns about the centre; the half-pixel shift stays a screen shift.
    const float px = -10.0f, py = -5.0f;
    EXPECT_NEAR(turned.vertices[0].x, px * std::cos(angle) - py * std::sin(angle) + 50.0f - 0.5f, 1e-4);
    EXPECT_NEAR(turned.vertices[0].y, px * std::sin(angle) + py * std::cos(angle) + 40.0f - 0.5f, 1e-4);
    EXPECT_FLOAT_EQ(turned.vertices[3].u, 20.0f / 20);
    EXPECT_EQ(display->GetWantedClipRect(), before);
}

TEST_F(D3D7PlatformTest, SpritesGoOutAsOneIndexedListTintedByTheState)
{
    auto image = MakeImage(10, 6);
    // Records with room between them, as callers pass them inside larger structs.
    struct Padded
    {
        SpriteRecord record;
        double other;
    };
    Padded sprites[3];
    for (int i = 0; i < 3; ++i)
        sprites[i].record = {100.0f * float(i + 1), 50.0f, {1.0f, 0.5f, 1.0f, 1.0f}, 2.0f, 1.0f};
    DrawState state;
    state.imageColor = {0.5f, 1.0f, 1.0f, 0.5f};
    EXPECT_EQ(Canvas().DrawSprites(image.get(), 3, &sprites[0].record, int(sizeof(Padded)), state), 0);
    const FakeDraw& draw = OnlyDraw();
    EXPECT_TRUE(draw.indexed);
    EXPECT_EQ(draw.type, Prim::TriangleList);
    ASSERT_EQ(draw.vertices.size(), 12u);
    const std::vector<uint16_t> indices = {0, 1, 2, 3, 2, 1, 4, 5, 6, 7, 6, 5, 8, 9, 10, 11, 10, 9};
    EXPECT_EQ(draw.indices, indices);
    EXPECT_EQ(draw.vertices[0].argb, 0x7F7F7FFFu);
    // Sprite 2: 20 x 6 about (300, 50).
    EXPECT_THAT(XY(draw.vertices[8]), Pointwise(FloatEq(), {289.5f, 46.5f}));
    EXPECT_FLOAT_EQ(draw.vertices[11].x, 309.5f);
    EXPECT_FLOAT_EQ(draw.vertices[11].u, 1.0f);
    EXPECT_EQ(Canvas().DrawSprites(nullptr, 3, &sprites[0].record, int(sizeof(Padded)), state), 1);
}

TEST_F(D3D7PlatformTest, ManySpritesSplitSoSixteenBitIndicesNeverWrap)
{
    auto image = MakeImage(2, 2);
    const int count = cScreenCanvasD3D::kMaxSpritesPerDraw + 5;
    std::vector<SpriteRecord> sprites(size_t(count), SpriteRecord{10, 10, {1, 1, 1, 1}, 1, 1});
    EXPECT_EQ(
        Canvas().DrawSprites(image.get(), count, sprites.data(), int(sizeof(SpriteRecord)), DrawState()), 0);
    ASSERT_EQ(device->draws.size(), 2u);
    EXPECT_EQ(device->draws[0].vertices.size(), size_t(16383 * 4));
    EXPECT_EQ(device->draws[0].indices.back(), 16383 * 4 - 3);
    EXPECT_EQ(device->draws[1].vertices.size(), 20u);
    EXPECT_EQ(device->draws[1].indices.size(), 30u);
    EXPECT_EQ(device->draws[1].indices[0], 0);
}

TEST_F(D3D7PlatformTest, ImagesTheDeviceCannotHoldAreCutAndEmptyOnesMakeNothing)
{
    // Wider than the device's 2048: the texture holds the first 2048 columns.
    auto wide = MakeImage(2100, 3);
    EXPECT_EQ(Canvas().DrawImage(wide.get(), -1500, 0, DrawState()), 0);
    D3DTexture* texture = D3D7GraphicsPlatform::GetTextureForImage(wide.get());
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->GetTextureWidth(), 2048);
    EXPECT_FLOAT_EQ(texture->GetMaxU(), 1.0f);
    auto* surface = static_cast<FakeSurface*>(texture->GetDeviceSurface());
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(surface->PixelAt(2047, 2), wide->GetPixel(2047, 2));
    // Columns 1500-2047 at 0-547; the columns past the texture are not drawn.
    const FakeDraw& draw = OnlyDraw();
    EXPECT_FLOAT_EQ(draw.vertices[0].u, 1500.0f / 2048);
    EXPECT_FLOAT_EQ(draw.vertices[3].x, 547.5f);
    EXPECT_FLOAT_EQ(draw.vertices[3].u, 1.0f);

    Image empty;
    device->draws.clear();
    fake.ClearCalls();
    EXPECT_EQ(Canvas().DrawImage(&empty, 0, 0, DrawState()), 1);
    EXPECT_EQ(Canvas().DrawStretchedImage(&empty, {0, 0, 10, 10}, DrawState()), 1);
    // Not a solid patch in the vertex colours either.
    const PolygonVertex triangle[3] = {
        {0, 0, {1, 1, 1, 1}, 0, 0}, {10, 0, {1, 1, 1, 1}, 1, 0}, {0, 10, {1, 1, 1, 1}, 0, 1}};
    EXPECT_EQ(Canvas().DrawTexturedPolygon(&empty, 2, 3, triangle, DrawState()), 1);
    D3DTexture emptyTexture(&empty);
    emptyTexture.Restore();
    EXPECT_EQ(emptyTexture.GetDeviceSurface(), nullptr);
    EXPECT_EQ(fake.Count("CreateTexture"), 0);
    EXPECT_TRUE(device->draws.empty());
}

TEST_F(D3D7PlatformTest, TextureBuildFailuresAreLoggedAndTheImageIsDrawnUntextured)
{
    const struct
    {
        const char* call;
        const char* where; // the log line up to " returned"
        bool keepsSurface;
    } cases[] = {{"GetDeviceCaps", "TextureContainer::Restore - IDirect3DDevice7::GetCaps", false},
                 {"CreateTexture", "TextureContainer::Restore - IDirectDraw7::CreateSurface", false},
                 {"Lock texture", "D3DTexture::RebuildSurface - IDirectDrawSurface7::Lock", false},
                 {"Unlock texture", "D3DTexture::RebuildSurface - IDirectDrawSurface7::Unlock", true}};
    for (const auto& c : cases)
    {
        auto image = MakeImage(8, 8);
        D3DTexture* texture = D3D7GraphicsPlatform::GetTextureForImage(image.get());
        ASSERT_NE(texture, nullptr);
        device->draws.clear();
        KestrinTest::LogCapture log;
        fake.Script(c.call, {DDERR_GENERIC});
        EXPECT_EQ(Canvas().DrawImage(image.get(), 0, 0, DrawState()), 0) << c.call;
        EXPECT_EQ(log.Text(), std::string(c.where) + " returned 0x88760001 - DDERR_GENERIC\n");
        EXPECT_EQ(texture->GetDeviceSurface() != nullptr, c.keepsSurface) << c.call;
        ASSERT_EQ(device->draws.size(), 1u) << c.call;
        EXPECT_EQ(device->draws[0].texture != nullptr, c.keepsSurface) << c.call;
    }
}

TEST_F(D3D7PlatformTest, ASurfaceRebuiltOnANewDeviceFitsThatDevicesLimitsPaddedByTheImagesEdges)
{
    auto image = MakeImage(100, 60);
    ASSERT_EQ(Canvas().DrawImage(image.get(), 0, 0, DrawState()), 0);
    EXPECT_EQ(fake.Count("CreateTexture 100x60"), 1);

    // The display is set up again on a device that needs powers of two.
    for (DeviceDesc& desc : fake.drivers[0].devices)
        desc.textureCaps = D3DPTEXTURECAPS_POW2;
    graphics->Initialize({0, 1, 800, 600});
    device = fake.LastDevice();
    ASSERT_NE(device, nullptr);
    ASSERT_EQ(Canvas().DrawImage(image.get(), 0, 0, DrawState()), 0);
    EXPECT_EQ(fake.Count("CreateTexture 128x64 managed"), 1);
    D3DTexture* texture = D3D7GraphicsPlatform::GetTextureForImage(image.get());
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->GetTextureWidth(), 128);
    EXPECT_EQ(texture->GetTextureHeight(), 64);
    EXPECT_THAT((std::vector<float>{texture->GetMaxU(), texture->GetMaxV()}),
                Pointwise(FloatEq(), {0.78125f, 0.9375f}));
    auto* surface = static_cast<FakeSurface*>(texture->GetDeviceSurface());
    ASSERT_NE(surface, nullptr);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 128; ++x)
            ASSERT_EQ(surface->PixelAt(x, y), image->GetPixel(std::min(x, 99), std::min(y, 59)))
                << x << "," << y;
    // The quad reaches exactly to the image's edge in the texture.
    EXPECT_THAT(UV(OnlyDraw().vertices[3]), Pointwise(FloatEq(), {0.78125f, 0.9375f}));

    // Polygon texture coordinates are in image units of the whole image.
    PolygonVertex points[3];
    points[1].u = 1.0f;
    points[2].v = 1.0f;
    EXPECT_EQ(Canvas().DrawTexturedPolygon(image.get(), 1, 3, points, DrawState()), 0);
    ASSERT_EQ(device->draws.size(), 2u);
    EXPECT_EQ(device->draws[1].type, Prim::TriangleFan);
    EXPECT_FLOAT_EQ(device->draws[1].vertices[1].u, 0.78125f);
    EXPECT_FLOAT_EQ(device->draws[1].vertices[2].v, 0.9375f);
}

TEST_F(D3D7PlatformTest, TheImageHoldsItsTextureAChangeRebuildsTheSurfaceAndOpaqueImagesUseTheOpaqueFormat)
{
    auto image = MakeImage(4, 4);
    D3DTexture* texture = D3D7GraphicsPlatform::GetTextureForImage(image.get());
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->GetRefCount(), 1);
    EXPECT_EQ(image->GetSurface(), texture);
    EXPECT_EQ(D3D7GraphicsPlatform::GetTextureForImage(image.get()), texture);
    EXPECT_EQ(D3D7GraphicsPlatform::GetTextureForImage(nullptr), nullptr);

    ASSERT_EQ(Canvas().DrawImage(image.get(), 0, 0, DrawState()), 0);
    EXPECT_NE(texture->GetDeviceSurface(), nullptr);
    image->Pixels()[0] = 0xFF123456;
    image->MarkPixelsChanged();
    ASSERT_EQ(Canvas().DrawImage(image.get(), 0, 0, DrawState()), 0);
    EXPECT_EQ(fake.Count("CreateTexture"), 2);
    EXPECT_EQ(static_cast<FakeSurface*>(texture->GetDeviceSurface())->PixelAt(0, 0), 0xFF123456u);

    // Opaque images use the opaque format.
    EXPECT_EQ(device->draws.back().texture->Format(), ArgbFormat());
    const long images = GetLiveCount(LiveKind::Image), textures = GetLiveCount(LiveKind::Texture);
    auto opaque = MakeImage(4, 4);
    opaque->hasAlpha = false;
    ASSERT_EQ(Canvas().DrawImage(opaque.get(), 0, 0, DrawState()), 0);
    EXPECT_EQ(device->draws.back().texture->Format(), XrgbFormat());
    // The counts a long run reads: an image and its texture while it lives, neither after.
    EXPECT_EQ(std::make_pair(GetLiveCount(LiveKind::Image), GetLiveCount(LiveKind::Texture)),
              std::make_pair(images + 1, textures + 1));
    opaque.reset();
    EXPECT_EQ(std::make_pair(GetLiveCount(LiveKind::Image), GetLiveCount(LiveKind::Texture)),
              std::make_pair(images, textures));
}

// Consecutive rim points touch (8-connected) and turn one way round the centre.
void ExpectClosedRimInAngularOrder(const std::vector<Vertex>& rim, float cx, float cy, bool closed)
{
    ASSERT_GE(rim.size(), 8u);
    if (closed)
    {
        EXPECT_THAT(XY(rim.front()), Pointwise(FloatEq(), XY(rim.back())));
    }
    double turned = 0.0;
    for (size_t i = 1; i < rim.size(); ++i)
    {
        EXPECT_LE(std::fabs(rim[i].x - rim[i - 1].x), 1.0f) << i;
        EXPECT_LE(std::fabs(rim[i].y - rim[i - 1].y), 1.0f) << i;
        double step =
            std::atan2(rim[i].y - cy, rim[i].x - cx) - std::atan2(rim[i - 1].y - cy, rim[i - 1].x - cx);
        if (step > M_PI)
            step -= 2 * M_PI;
        if (step < -M_PI)
            step += 2 * M_PI;
        EXPECT_GE(step, 0.0) << i;
        turned += step;
    }
    // Once round: a closed rim exactly, an open one up to its last step.
    EXPECT_LE(turned, 2 * M_PI + 1e-6);
    EXPECT_GT(turned, closed ? 2 * M_PI - 1e-6 : 2 * M_PI - 0.5);
}

TEST_F(D3D7PlatformTest, CircleAndEllipseRimsRunRoundInOrder)
{
    DrawState state;
    ASSERT_EQ(Canvas().DrawLineCircle(100.7f, 50.2f, 6.0f, state), 0);
    ASSERT_EQ(Canvas().DrawLineEllipse({200, 100, 30, 12}, state), 0);
    ASSERT_EQ(Canvas().DrawFilledCircle(100, 50, 6.0f, state), 0);
    ASSERT_EQ(device->draws.size(), 3u);

    EXPECT_EQ(device->draws[0].type, Prim::LineStrip);
    ExpectClosedRimInAngularOrder(device->draws[0].vertices, 100, 50, true);
    EXPECT_FLOAT_EQ(device->draws[0].vertices[0].x, 106.0f);

    // One point per rim pixel, no pixel twice.
    EXPECT_EQ(device->draws[1].type, Prim::PointList);
    const std::vector<Vertex>& points = device->draws[1].vertices;
    ExpectClosedRimInAngularOrder(points, 215, 106, false);
    for (size_t i = 0; i < points.size(); ++i)
        for (size_t j = i + 1; j < points.size(); ++j)
            EXPECT_FALSE(points[i].x == points[j].x && points[i].y == points[j].y) << i << " " << j;
    EXPECT_FLOAT_EQ(points[0].x, 230.0f);

    // The disc: the centre, then the rim closed.
    const std::vector<Vertex>& fan = device->draws[2].vertices;
    EXPECT_EQ(device->draws[2].type, Prim::TriangleFan);
    EXPECT_THAT(XY(fan[0]), Pointwise(FloatEq(), {100.0f, 50.0f}));
    EXPECT_THAT(XY(fan[1]), Pointwise(FloatEq(), XY(fan.back())));

    // Transparent and wholly outside draw nothing.
    DrawState clear;
    clear.color.a = 0.0f;
    EXPECT_EQ(Canvas().DrawFilledCircle(100, 50, 6, clear), 1);
    EXPECT_EQ(Canvas().DrawFilledCircle(-20, 50, 6, state), 1);
    EXPECT_EQ(device->draws.size(), 3u);
}

TEST_F(D3D7PlatformTest, SmallCirclesHaveTheSoftwareCanvasesShapesAndSizelessEllipsesDrawNothing)
{
    struct Case
    {
        float radius;
        Prim type;
        size_t vertices; // of the outline
    };
    const Case cases[] = {
        {0.5f, Prim::PointList, 1}, // the centre pixel alone
        {0.7f, Prim::PointList, 1},
        {1.0f, Prim::LineStrip, 5}, // a plus: four rim pixels, closed
        {1.3f, Prim::LineStrip, 9}, // the 3 x 3 square's eight rim pixels, closed
    };
    for (const Case& c : cases)
    {
        device->draws.clear();
        ASSERT_EQ(Canvas().DrawLineCircle(50, 40, c.radius, DrawState()), 0) << c.radius;
        const FakeDraw& draw = OnlyDraw();
        EXPECT_EQ(draw.type, c.type) << c.radius;
        EXPECT_EQ(draw.vertices.size(), c.vertices) << c.radius;
        if (!draw.vertices.empty())
        {
            EXPECT_FLOAT_EQ(draw.vertices[0].x, c.vertices == 1 ? 50.0f : 51.0f) << c.radius;
        }
    }
    device->draws.clear();
    EXPECT_EQ(Canvas().DrawFilledCircle(50, 40, 0.2f, DrawState()), 1);
    const Rect<float> sizeless[] = {
        {0, 0, 0.9f, 0.2f}, {0, 0, 0, 0}, {0, 0, -5, 10}, {0, 0, 10, -5}, {0, 0, NAN, 4}};
    for (const Rect<float>& r : sizeless)
    {
        EXPECT_EQ(Canvas().DrawFilledEllipse(r, DrawState()), 1) << r.w << "x" << r.h;
        EXPECT_EQ(Canvas().DrawLineEllipse(r, DrawState()), 1) << r.w << "x" << r.h;
    }
    EXPECT_TRUE(device->draws.empty());
}

// ---- frames ----

TEST_F(D3D7PlatformTest, BeginFrameSkipsWhileMinimisedOrWithoutTheScreen)
{
    KestrinTest::FakeClock clock;
    fake.iconic = true;
    EXPECT_EQ(graphics->BeginFrame(), 1);
    EXPECT_EQ(clock.slept, 50u);
    fake.iconic = false;
    for (HRESULT hr : {DDERR_NOEXCLUSIVEMODE, DDERR_EXCLUSIVEMODEALREADYSET})
    {
        fake.Script("TestCooperativeLevel", {hr});
        EXPECT_EQ(graphics->BeginFrame(), 1);
    }
    EXPECT_EQ(clock.slept, 150u);
    EXPECT_EQ(fake.Count("Clear"), 0);
    EXPECT_EQ(fake.Count("BeginScene"), 0);

    fake.Script("TestCooperativeLevel", {DDERR_GENERIC});
    ExpectThrow<com_error>([&] { graphics->BeginFrame(); }, "TestCooperativeLevel failed");

    EXPECT_EQ(graphics->BeginFrame(), 0);
    EXPECT_EQ(fake.Count("Clear 0xFF0000FF"), 1);
    EXPECT_EQ(fake.Count("BeginScene"), 1);

    fake.Script("BeginScene", {DDERR_GENERIC});
    ExpectThrow<com_error>([&] { graphics->BeginFrame(); }, "BeginScene failed");
}

TEST_F(D3D7PlatformTest, TheCursorIsDrawnAtTheMouseLessTheHotSpotWhileTheMouseIsInside)
{
    Looper looper;
    looper.PushModeNow(new KestrinTest::RecordingMode("screen", journal));
    auto cursor = MakeImage(12, 16);
    graphics->SetCursorImage(cursor.get(), {3, 4});
    SetCurrentCanvas(nullptr);

    auto frame = [&]
    {
        device->draws.clear();
        EXPECT_EQ(graphics->BeginFrame(), 0);
        EXPECT_EQ(graphics->EndFrame(), 0);
        return device->draws.size();
    };
    EXPECT_EQ(frame(), 0u) << "the mouse has not entered yet";
    looper.HandleInputEvent({InputEvent_MouseMove, 100, 50, 0});
    ASSERT_EQ(frame(), 1u);
    EXPECT_THAT(XY(device->draws[0].vertices[0]), Pointwise(FloatEq(), {96.5f, 45.5f}));

    platform.active = false;
    EXPECT_EQ(frame(), 0u);
    platform.active = true;
    graphics->SetCustomCursorEnabled(false);
    EXPECT_EQ(frame(), 0u);
    graphics->SetCustomCursorEnabled(true);
    looper.HandleInputEvent({InputEvent_MouseLeave, 0, 0, 0});
    EXPECT_EQ(frame(), 0u);
}

TEST_F(D3D7PlatformTest, ALostSurfaceAtPresentSkipsTheFrameAndRebuildsTextures)
{
    auto image = MakeImage(8, 8);
    ASSERT_EQ(graphics->BeginFrame(), 0);
    ASSERT_EQ(Canvas().DrawImage(image.get(), 0, 0, DrawState()), 0);
    D3DTexture* texture = D3D7GraphicsPlatform::GetTextureForImage(image.get());
    ASSERT_NE(texture->GetDeviceSurface(), nullptr);

    {
        KestrinTest::LogCapture log;
        fake.Script("BltToWindow", {DDERR_SURFACELOST});
        EXPECT_EQ(graphics->EndFrame(), 1);
        EXPECT_EQ(log.Text(), "D3D7GraphicsPlatform::EndFrame - surface lost, frame skipped\n");
    }
    EXPECT_EQ(texture->GetDeviceSurface(), nullptr);

    ASSERT_EQ(graphics->BeginFrame(), 0);
    ASSERT_EQ(Canvas().DrawImage(image.get(), 0, 0, DrawState()), 0);
    EXPECT_NE(texture->GetDeviceSurface(), nullptr);
    EXPECT_EQ(fake.Count("CreateTexture"), 2);
    EXPECT_EQ(graphics->EndFrame(), 0);

    // Any other failure still ends the frame with an exception.
    for (const char* call : {"BltToWindow", "EndScene"})
    {
        ASSERT_EQ(graphics->BeginFrame(), 0);
        fake.Script(call, {DDERR_GENERIC});
        ExpectThrow<com_error>([&] { graphics->EndFrame(); }, "EndScene failed");
    }
}

TEST_F(D3D7PlatformTest, InitializeSetsTheDeviceStatesInOrder)
{
    fake.ClearCalls();
    graphics->Initialize({0, 1, 800, 600});
    // Culling off, no dither, fog, specular, colour key, stencil, lighting or depth; modulated
    // alpha blended over the back buffer; clamped texture coordinates.
    const int first = fake.Find("SetRenderState CullMode 1");
    ASSERT_GE(first, 0);
    std::string states; // the 26 calls from there on
    for (size_t i = size_t(first); i < fake.calls.size() && i < size_t(first) + 26; ++i)
        states += (states.empty() ? "" : "; ") + fake.calls[i];
    EXPECT_EQ(
        states,
        "SetRenderState CullMode 1; SetRenderState DitherEnable 0; SetRenderState Clipping 1; "
        "SetRenderState ShadeMode 2; SetRenderState LastPixel 0; SetRenderState FogEnable 0; "
        "SetRenderState SpecularEnable 0; SetRenderState EdgeAntialias 0; "
        "SetRenderState ColorKeyEnable 0; SetRenderState StencilEnable 0; SetRenderState LocalViewer 1; "
        "SetRenderState NormalizeNormals 1; "
        "SetRenderState ColorKeyBlendEnable 0; SetRenderState ClipPlaneEnable 0; "
        "SetRenderState ColorVertex 1; SetRenderState Lighting 0; SetRenderState Ambient 0xFFFFFFFF; "
        "SetRenderState ZEnable 0; SetRenderState ZWriteEnable 0; SetTextureStageState 0 Address 3; "
        "SetRenderState AlphaBlendEnable 1; SetRenderState SrcBlend 5; SetRenderState DestBlend 6; "
        "SetTextureStageState 0 AlphaOp 4; SetTextureStageState 0 AlphaArg1 2; "
        "SetTextureStageState 0 AlphaArg2 0");
}

TEST_F(D3D7PlatformTest, SetUpAndShutDownNeedThePlatformAndTheDisplay)
{
    const auto initialize = [&] { graphics->Initialize({0, 1, 800, 600}); };
    SetPlatform(nullptr);
    ExpectThrow<engine_error>(initialize, "Using D3D7 Graphics platform on non-win32 platform.");
    SetPlatform(&platform);

    graphics->Shutdown();
    delete CDisplay::Get();
    ExpectThrow<engine_error>(initialize, "No display for D3D7 graphics platform.");
    ExpectThrow<engine_error>([&] { graphics->Shutdown(); }, "No display for D3D graphics platform.");

    // Once the software platform has had the display, 3D stays off.
    display = CDisplay::Instance();
    display->DisableD3D();
    ExpectThrow<engine_error>(initialize, "Could not initialize D3D7");
}

TEST_F(D3D7PlatformTest, NamesCapabilitiesAndSetUps)
{
    NameId name;
    graphics->GetName(name);
    EXPECT_STREQ(name.c_str(), "D3D7");
    EXPECT_EQ(graphics->GetCapabilities(), 2);
    EXPECT_EQ(GetGraphicsPlatform(), graphics.get());

    // Full screen asks for 32 bits.
    graphics->Initialize({1, 1, 800, 600});
    EXPECT_EQ(fake.Count("SetDisplayMode 800x600x32"), 1);
}

} // namespace
