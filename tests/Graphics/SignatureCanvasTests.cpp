#include "Graphics/ImageCanvas.h"
#include "Graphics/SignatureCanvas.h"
#include "GraphicsTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <vector>

using namespace Kestrin;
using namespace Kestrin::Graphics;

namespace
{

// One drawing call with all its arguments drawn from a seed; `tweak` changes exactly one argument.
struct Call
{
    int kind = 0;
    float f[5] = {};
    int n[4] = {};
    DrawState state;
    std::wstring text;
    std::vector<PolygonVertex> points;
    IImage* image = nullptr;

    void Into(SignatureCanvas& c) const
    {
        switch (kind)
        {
        case 0:
            c.DrawFilledRect(Rect<float>{f[0], f[1], f[2], f[3]}, state);
            break;
        case 1:
            c.DrawFilledRect(Rect<int>{n[0], n[1], n[2], n[3]}, state);
            break;
        case 2:
            c.DrawImage(image, f[0], f[1], state);
            break;
        case 3:
            c.DrawStretchedImage(image, {n[0], n[1], n[2], n[3]}, state);
            break;
        case 4:
            c.DrawRotatedImage(image, f[0], f[1], f[2], state);
            break;
        case 5:
            c.DrawTexturedPolygon(image, n[0], int(points.size()), points.data(), state);
            break;
        case 6:
            c.DrawLine(f[0], f[1], f[2], f[3], state);
            break;
        case 7:
            c.DrawText(text.c_str(), state.font, {f[0], f[1]}, state);
            break;
        case 8:
            c.DrawFilledCircle(f[0], f[1], f[2], state);
            break;
        case 9:
            c.DrawLineEllipse({f[0], f[1], f[2], f[3]}, state);
            break;
        default:
            c.SetPixel(f[0], f[1], uint32_t(n[0]));
            break;
        }
    }
};

} // namespace

// Seeded: a frame of calls signs the same when drawn again, and differently when any one argument
// of any one call (or the order of two calls) changes.
TEST(SignatureCanvas, EveryArgumentOfEveryCallCounts)
{
    std::mt19937 random(77);
    auto small = std::make_unique<Image>(4, 4), other = std::make_unique<Image>(4, 4),
         wide = std::make_unique<Image>(8, 4);
    IImage* images[] = {small.get(), other.get(), wide.get()};
    std::uniform_real_distribution<float> real(-50.0f, 50.0f);
    auto makeCall = [&]
    {
        Call c;
        c.kind = int(random() % 11);
        for (float& v : c.f)
            v = real(random);
        for (int& v : c.n)
            v = int(random() % 100);
        c.image = images[random() % 3];
        c.text = L"ab" + std::wstring(1, wchar_t(L'a' + random() % 26));
        c.points.resize(3 + random() % 3);
        for (PolygonVertex& p : c.points)
            p = {real(random), real(random), {1, 1, 1, 1}, 0.5f, 0.5f};
        c.state.imageColor.a = float(random() % 256) / 255.0f;
        return c;
    };
    auto sign = [](const std::vector<Call>& calls)
    {
        SignatureCanvas canvas(nullptr);
        for (const Call& c : calls)
            c.Into(canvas);
        EXPECT_EQ(canvas.Calls(), int(calls.size()));
        return canvas.Signature();
    };
    // The one argument each kind reads that a change is made to.
    const std::vector<std::function<void(Call&)>> tweaks = {
        [](Call& c) { c.f[0] += 0.5f; },
        [](Call& c) { c.f[1] -= 1.0f; },
        [](Call& c) { c.state.imageColor.a = c.state.imageColor.a > 0.5f ? 0.1f : 0.9f; },
        [](Call& c) { c.state.clipRect.w = 17; },
        [](Call& c) { c.state.flags ^= DrawFlag_MirrorX; },
        [](Call& c) { c.state.color.r = 0.25f; },
    };
    for (int round = 0; round < 200; ++round)
    {
        std::vector<Call> frame;
        for (int i = 0, n = 1 + int(random() % 8); i < n; ++i)
            frame.push_back(makeCall());
        const uint64_t first = sign(frame);
        ASSERT_EQ(sign(frame), first);

        std::vector<Call> changed = frame;
        Call& c = changed[random() % changed.size()];
        switch (c.kind)
        {
        case 1:
        case 3:
            c.n[random() % 4] += 1;
            break;
        case 2:
        case 4:
            c.image = c.image == images[0] ? images[1] : images[0];
            break;
        case 5:
            c.points[random() % c.points.size()].y += 0.25f;
            break;
        case 7:
            c.text += L"!";
            break;
        case 10:
            c.n[0] ^= 0x10;
            break;
        default:
            tweaks[random() % tweaks.size()](c);
            break;
        }
        EXPECT_NE(sign(changed), first) << "round " << round << " kind " << c.kind;
        if (frame.size() > 1 && frame[0].kind != frame[1].kind)
        {
            std::vector<Call> swapped = frame;
            std::swap(swapped[0], swapped[1]);
            EXPECT_NE(sign(swapped), first) << "round " << round;
        }
    }
}

TEST(SignatureCanvas, OffersWhatItsModelOffersAndReadsPixelsFromIt)
{
    Image image(3, 2);
    cImageCanvas model(image);
    ASSERT_EQ(model.SetPixel(2, 1, 0xFF123456), Draw_Done);
    SignatureCanvas canvas(&model);
    EXPECT_EQ(canvas.GetBounds(), (Rect<int>{0, 0, 3, 2}));
    EXPECT_EQ(QueryCanvas<ICanvas>(&canvas), &canvas);
    EXPECT_EQ(QueryCanvas<IQuadDrawingCanvas>(&canvas), static_cast<IQuadDrawingCanvas*>(&canvas));
    EXPECT_EQ(QueryCanvas<IEllipseDrawingCanvas>(&canvas), static_cast<IEllipseDrawingCanvas*>(&canvas));
    EXPECT_EQ(QueryCanvas<IPixelSettingCanvas>(&canvas), static_cast<IPixelSettingCanvas*>(&canvas));
    // The image canvas draws no text, lines or sprites: callers must take their other way here too.
    EXPECT_EQ(QueryCanvas<ITextDrawingCanvas>(&canvas), nullptr);
    EXPECT_EQ(QueryCanvas<ILineDrawingCanvas>(&canvas), nullptr);
    EXPECT_EQ(QueryCanvas<ISpriteDrawingCanvas>(&canvas), nullptr);
    EXPECT_EQ(canvas.GetPixel(2, 1), 0xFF123456u);
    // Drawing into it leaves the model's pixels alone.
    DrawState state;
    EXPECT_EQ(FillRect({0, 0, 3, 2}, state, &canvas), Draw_Done);
    EXPECT_EQ(image.GetPixel(0, 0), 0u);
    EXPECT_EQ(canvas.Calls(), 1);

    SignatureCanvas alone(nullptr);
    EXPECT_EQ(alone.GetBounds(), (Rect<int>{0, 0, 0, 0}));
    EXPECT_EQ(QueryCanvas<IQuadDrawingCanvas>(&alone), nullptr);
    EXPECT_EQ(alone.GetPixel(0, 0), 0u);
}
