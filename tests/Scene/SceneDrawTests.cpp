#include "Scene/SceneNode.h"

#include "Graphics/Canvas.h"
#include "Graphics/Image.h"
#include "Graphics/ImageCanvas.h"

#include "Scene/SceneTestSupport.h"
#include "Support/GraphicsFakes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace Kestrin;
using namespace Kestrin::Graphics;
using namespace SceneTest;
using KestrinTest::RecordingCanvas;

namespace
{

// Records textured polygons too, with their points.
class PolygonCanvas : public RecordingCanvas
{
public:
    int DrawTexturedPolygon(IImage* image, int mode, int count, const PolygonVertex* points,
                            const Kestrin::Graphics::DrawState& state) override
    {
        polygons.push_back(std::vector<PolygonVertex>(points, points + count));
        calls.push_back({"Polygon", float(mode), 0, image, {}, state, {}, {}});
        return 0;
    }
    std::vector<std::vector<PolygonVertex>> polygons;
};

class SceneDraw : public SceneFixture
{
protected:
    SceneDraw()
    {
        SetCurrentCanvas(&canvas);
        root = Node(nullptr, 0, 0, 800, 600);
        sprite = Node(root, 100, 50, 40, 20);
        database.AddObject(root);
        database.AddObject(sprite);
    }
    ~SceneDraw() override { SetCurrentCanvas(nullptr); }

    const KestrinTest::CanvasCall& OnlyCall()
    {
        EXPECT_EQ(canvas.calls.size(), 1u);
        if (canvas.calls.empty())
            canvas.calls.emplace_back();
        return canvas.calls.back();
    }

    PolygonCanvas canvas;
    std::unique_ptr<Image> image = KestrinTest::FilledImage(40, 20, 0xFF00FF00);
    SceneNode* root = nullptr;
    SceneNode* sprite = nullptr;
};

} // namespace

TEST_F(SceneDraw, APlainImageGoesAtTheWorldPositionTintedByTheWorldColour)
{
    root->SetAlpha(0.5f);
    sprite->SetColor(ColorF(1, 0, 0, 0.5f));
    root->RefreshTree();
    sprite->DrawImage(image.get(), {3, 4});
    const auto& call = OnlyCall();
    EXPECT_EQ(call.what, "Image");
    EXPECT_EQ(call.image, image.get());
    EXPECT_EQ(call.x, 103);
    EXPECT_EQ(call.y, 54);
    EXPECT_EQ(call.state.imageColor, ColorF(1, 0, 0, 0.25f));
    EXPECT_EQ(call.state.clipRect, GetDefaultDrawState().clipRect);
    EXPECT_FALSE(call.state.flags & DrawFlag_SourceRect);

    // The source rectangle clips, in whole screen pixels; the image itself stays whole.
    canvas.calls.clear();
    sprite->SetSourceRect({100.9f, 50.2f, 20.7f, 10});
    sprite->DrawImage(image.get(), {0, 0});
    EXPECT_EQ(OnlyCall().state.clipRect, (Rect<int>{100, 50, 20, 10}));
    EXPECT_FALSE(OnlyCall().state.flags & DrawFlag_SourceRect);

    canvas.calls.clear();
    sprite->DrawImage(nullptr, {0, 0});
    EXPECT_TRUE(canvas.calls.empty());
}

TEST_F(SceneDraw, ATurnedImageTurnsAboutItsRotationAnchor)
{
    // {rotateH, rotateV} -> the anchor handed on, relative to the node's top-left.
    const struct
    {
        int h, v;
        float x, y;
    } cases[] = {{1, 1, 20, 10}, {0, 0, 0, 0}, {2, 1, 40, 10}, {1, 2, 20, 20}};
    sprite->SetOrientation(0.5f);
    root->RefreshTree();
    for (const auto& c : cases)
    {
        canvas.calls.clear();
        sprite->SetRotateAlignment(c.h, c.v);
        sprite->DrawImage(image.get(), {0, 0});
        const auto& call = OnlyCall();
        ASSERT_EQ(call.what, "Rotate");
        EXPECT_FLOAT_EQ(call.rectF.x, 0.5f); // the angle
        // The canvas gets the image's centre: the anchor plus the turned offset to the centre.
        const float ox = 20 - c.x, oy = 10 - c.y;
        EXPECT_NEAR(call.x, 100 + c.x + ox * std::cos(0.5f) - oy * std::sin(0.5f), 1e-4) << c.h << c.v;
        EXPECT_NEAR(call.y, 50 + c.y + ox * std::sin(0.5f) + oy * std::cos(0.5f), 1e-4) << c.h << c.v;
        EXPECT_EQ(call.state.hAlign, c.h);
        EXPECT_EQ(call.state.vAlign, c.v);
    }
}

TEST_F(SceneDraw, AScaledImageStretchesAboutItsScaleAnchorToWholePixels)
{
    // {scaleH, scaleV} with a scale of (1.5, 0.5) -> the destination rectangle.
    const struct
    {
        int h, v;
        Rect<int> rect;
    } cases[] = {{0, 0, {100, 50, 60, 10}}, //
                 {1, 1, {90, 55, 60, 10}},  // centre stays put
                 {2, 2, {80, 60, 60, 10}}}; // right and bottom edges stay put
    sprite->SetScale(1.5f, 0.5f);
    root->RefreshTree();
    for (const auto& c : cases)
    {
        canvas.calls.clear();
        sprite->SetScaleAlignment(c.h, c.v);
        sprite->DrawImage(image.get(), {0.75f, 0.75f}); // truncated away
        const auto& call = OnlyCall();
        ASSERT_EQ(call.what, "Stretch");
        EXPECT_EQ(call.rect, c.rect) << c.h << c.v;
    }
}

TEST_F(SceneDraw, AScaledAndTurnedImageIsAPolygonOrElseAtLeastTurned)
{
    sprite->SetScale(2, 2);
    sprite->SetOrientation(float(M_PI / 2));
    sprite->SetColor(ColorF(0, 0, 1, 1));
    root->RefreshTree();
    sprite->DrawImage(image.get(), {0, 0});
    ASSERT_EQ(canvas.polygons.size(), 1u);
    // Scaled about the centre (120, 60) to 80 x 40, then a quarter turn clockwise about it.
    const std::vector<PolygonVertex>& p = canvas.polygons[0];
    const float expected[4][4] = {{140, 20, 0, 0}, {140, 100, 1, 0}, {100, 100, 1, 1}, {100, 20, 0, 1}};
    for (int i = 0; i < 4; ++i)
    {
        EXPECT_NEAR(p[size_t(i)].x, expected[i][0], 1e-3) << i;
        EXPECT_NEAR(p[size_t(i)].y, expected[i][1], 1e-3) << i;
        EXPECT_EQ(p[size_t(i)].u, expected[i][2]);
        EXPECT_EQ(p[size_t(i)].v, expected[i][3]);
        EXPECT_EQ(p[size_t(i)].color, ColorF(0, 0, 1, 1));
    }

    // A canvas without polygons: the image still shows, turned.
    RecordingCanvas plain;
    SetCurrentCanvas(&plain);
    sprite->DrawImage(image.get(), {0, 0});
    ASSERT_EQ(plain.calls.size(), 1u);
    EXPECT_EQ(plain.calls[0].what, "Rotate");
    SetCurrentCanvas(&canvas);
}

TEST_F(SceneDraw, PixelsLandWhereTheRecordingSays)
{
    Image target(200, 100);
    cImageCanvas pixels(target);
    SetCurrentCanvas(&pixels);
    auto small = KestrinTest::FilledImage(4, 2, 0xFFFF0000, false);
    sprite->SetPosition(10, 20);
    sprite->SetSize(4, 2);
    root->RefreshTree();
    sprite->DrawImage(small.get(), {1, 1});
    EXPECT_EQ(target.GetPixel(11, 21), 0xFFFF0000u);
    EXPECT_EQ(target.GetPixel(14, 22), 0xFFFF0000u);
    EXPECT_EQ(target.GetPixel(15, 22), 0u);
    EXPECT_EQ(target.GetPixel(11, 23), 0u);
    EXPECT_EQ(target.GetPixel(10, 21), 0u);

    // Stretched twice as wide about the left edge.
    sprite->SetScale(2, 1);
    sprite->SetScaleAlignment(0, 0);
    sprite->SetPosition(10, 50);
    sprite->DrawImage(small.get(), {0, 0});
    EXPECT_EQ(target.GetPixel(17, 51), 0xFFFF0000u);
    EXPECT_EQ(target.GetPixel(18, 51), 0u);
}
