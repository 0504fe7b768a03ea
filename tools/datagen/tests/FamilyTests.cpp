// The art families: the sizes and frame counts the screens rely on, states that read apart,
// and brush pieces that put together look like one painting.
#include "Brush.h"
#include "Family.h"
#include "UiKit.h"

#include "Base/Stream.h"
#include "Graphics/ImageDecoders.h"
#include "Writers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>

using namespace DataGen;

namespace
{
// A resource by name. Families are painted in their listed order only as far as the one that holds
// the name: the user-interface kit these tests look at comes first and paints in a blink, the title
// art after it takes seconds.
const Resource& Get(const std::string& name)
{
    static std::map<std::string, Resource> painted;
    static size_t next = 0;
    const auto& families = Families();
    while (!painted.count(name))
    {
        if (next == families.size())
            throw std::runtime_error("no resource " + name);
        FamilyArt art = families[next++].paint();
        for (Resource& r : art.resources)
            painted.emplace(r.name, std::move(r));
    }
    return painted.at(name);
}

// Mean absolute difference of two equal-sized canvases, in 0..255 units over all channels.
double Difference(const Canvas& a, const Canvas& b)
{
    const auto x = a.ToRgba8(), y = b.ToRgba8();
    double sum = 0.0;
    for (size_t i = 0; i < x.size(); ++i)
        sum += std::abs(int(x[i]) - int(y[i]));
    return sum / static_cast<double>(x.size());
}

int MaxDifference(const Canvas& a, const Canvas& b)
{
    const auto x = a.ToRgba8(), y = b.ToRgba8();
    int worst = 0;
    for (size_t i = 0; i < x.size(); ++i)
        worst = std::max(worst, std::abs(int(x[i]) - int(y[i])));
    return worst;
}

float MaxAlpha(const Canvas& c)
{
    float m = 0.0f;
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x)
            m = std::max(m, c.At(x, y).a);
    return m;
}
} // namespace

TEST(Families, SizesAndFrameCountsMatchWhatTheScreensUse)
{
    struct Expect
    {
        const char* name;
        size_t frames;
        int width, height;
        Resource::Kind kind;
    };
    const auto list = Resource::Kind::ImageList, image = Resource::Kind::Image;
    const Expect table[] = {
        {"CursorArrow", 1, 32, 32, image},  {"Btn_Large", 5, 240, 52, list},
        {"Btn_Medium", 5, 170, 44, list},   {"Btn_Small", 5, 110, 44, list},
        {"Btn_Icon_Back", 5, 48, 48, list}, {"Btn_Icon_Prev", 5, 48, 48, list},
        {"Btn_Icon_Next", 5, 48, 48, list}, {"Btn_Pause", 5, 48, 48, list},
        {"Btn_Tab", 5, 150, 40, list},      {"Panel9", 9, 24, 24, list},
        {"Popup9", 9, 24, 24, list},        {"Field9", 9, 8, 8, list},
        {"Caret", 1, 2, 18, image},         {"Chk_Std", 8, 28, 28, list},
        {"Slider_Thumb", 5, 24, 28, list},  {"SelectedRow", 1, 380, 26, image},
        {"blue_sml", 10, 16, 16, list},
    };
    for (const Expect& e : table)
    {
        SCOPED_TRACE(e.name);
        const Resource& r = Get(e.name);
        EXPECT_EQ(r.kind, e.kind);
        ASSERT_EQ(r.frames.size(), e.frames);
        for (const ImageFile& f : r.frames)
        {
            EXPECT_EQ(f.canvas.Width(), e.width) << f.stem;
            EXPECT_EQ(f.canvas.Height(), e.height) << f.stem;
        }
    }
    // Three-slice lists: cap, tile, cap per state.
    const Resource& wide = Get("Btn_Wide3");
    ASSERT_EQ(wide.frames.size(), 15u);
    for (size_t i = 0; i < 15; ++i)
    {
        EXPECT_EQ(wide.frames[i].canvas.Width(), i % 3 == 1 ? 8 : 20);
        EXPECT_EQ(wide.frames[i].canvas.Height(), 44);
    }
    const Resource& channel = Get("Slider_Channel3");
    ASSERT_EQ(channel.frames.size(), 3u);
    EXPECT_EQ(channel.frames[0].canvas.Width(), 12);
    EXPECT_EQ(channel.frames[1].canvas.Width(), 8);
    EXPECT_EQ(channel.frames[2].canvas.Width(), 12);
    EXPECT_EQ(channel.frames[1].canvas.Height(), 16);
}

TEST(Families, ButtonStatesAreClearlyDistinct)
{
    for (const char* name : {"Btn_Large", "Btn_Medium", "Btn_Small", "Btn_Icon_Back", "Btn_Icon_Prev",
                             "Btn_Icon_Next", "Btn_Pause", "Btn_Tab", "Slider_Thumb"})
    {
        SCOPED_TRACE(name);
        const auto& f = Get(name).frames;
        for (size_t i = 0; i < f.size(); ++i)
            for (size_t j = i + 1; j < f.size(); ++j)
                EXPECT_GT(Difference(f[i].canvas, f[j].canvas), 2.0) << f[i].stem << " vs " << f[j].stem;
        // Disabled is drawn at 55 % alpha; the others have an opaque body.
        EXPECT_NEAR(MaxAlpha(f[3].canvas), 0.55f, 0.01f);
        EXPECT_FLOAT_EQ(MaxAlpha(f[0].canvas), 1.0f);
        // Focus is the normal look plus a teal ring outside it: pixels the normal leaves clear.
        int ring = 0;
        for (int y = 0; y < f[4].canvas.Height(); ++y)
            for (int x = 0; x < f[4].canvas.Width(); ++x)
            {
                const Rgba p = f[4].canvas.StraightAt(x, y);
                if (f[0].canvas.At(x, y).a < 0.3f && p.a > 0.8f && p.g > p.r + 0.2f)
                    ++ring;
            }
        EXPECT_GT(ring, 20);
    }
    // The check box: checked frames differ from their unchecked twins.
    const auto& chk = Get("Chk_Std").frames;
    for (size_t i = 0; i < 4; ++i)
        EXPECT_GT(Difference(chk[i].canvas, chk[i + 4].canvas), 5.0) << chk[i].stem;
}

TEST(Families, BrushPiecesJoinLikeOnePainting)
{
    // A three-slice button drawn at any width equals a button painted at that width.
    for (State s : kAllStates)
        for (int width : {64, 61, 137})
        {
            SCOPED_TRACE(std::string(StateName(s)) + " at " + std::to_string(width));
            const auto parts = SliceColumns(PaintWideButton(s, 48), {0, 20, 28, 48});
            const Canvas assembled = AssembleThree(parts[0], parts[1], parts[2], width);
            const Canvas painted = PaintWideButton(s, width);
            // Where the last tile is cropped the dashes skip a beat at the right cap; up to the cap
            // the two agree at any width, and everywhere at whole tiles.
            const int upTo = (width - 48) % 8 == 0 ? width : width - 20;
            EXPECT_LE(MaxDifference(assembled.Crop(0, 0, upTo, 44), painted.Crop(0, 0, upTo, 44)), 2);
        }
    // Likewise the nine-slice cards.
    for (bool popup : {false, true})
        for (auto [w, h] : {std::pair{96, 120}, std::pair{72, 96}, std::pair{144, 72}})
        {
            SCOPED_TRACE(std::string(popup ? "popup " : "panel ") + std::to_string(w) + "x" +
                         std::to_string(h));
            const auto pieces = SliceNine(PaintPanelCard(popup, 72, 72), 24);
            EXPECT_LE(MaxDifference(AssembleNine(pieces, w, h), PaintPanelCard(popup, w, h)), 2);
        }
}

TEST(Families, TheCursorIsAGifWithItsTipOnTheHotSpot)
{
    const ImageFile& f = Get("CursorArrow").frames[0];
    EXPECT_EQ(f.format, Format::Gif);
    const Bytes gif = EncodeGif(f.canvas);
    Kestrin::MemoryStream stream(L"CursorArrow.gif", gif.data(), uint32_t(gif.size()));
    int w = 0, h = 0, frames = 0;
    bool transparency = false;
    Kestrin::GifFrameList list;
    auto pixels = Kestrin::DecodeGif(stream, w, h, transparency, frames, list);
    Kestrin::FreeGifFrames(list);
    ASSERT_TRUE(pixels);
    ASSERT_EQ(w, 32);
    ASSERT_EQ(h, 32);
    EXPECT_TRUE(transparency);
    EXPECT_EQ(pixels[0] >> 24, 0xFFu) << "the tip";
    EXPECT_EQ(pixels[31] >> 24, 0u);
    EXPECT_EQ(pixels[31 * 32] >> 24, 0u);
    // Opaque pixels only below and right of the tip, inside the arrow's bounds.
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
        {
            if (pixels[y * 32 + x] >> 24)
            {
                EXPECT_LE(x, y + 1) << x << "," << y;
            }
        }
}

TEST(Families, SparklesAreBlueWhiteAndChangeFrameToFrame)
{
    const auto& f = Get("blue_sml").frames;
    for (size_t i = 0; i < f.size(); ++i)
    {
        const Rgba centre = f[i].canvas.StraightAt(8, 8);
        EXPECT_GT(centre.a, 0.9f) << i;
        EXPECT_GT(centre.b, 0.9f) << i;
        EXPECT_GE(centre.b, centre.r) << i;
        if (i > 0)
        {
            EXPECT_GT(Difference(f[i - 1].canvas, f[i].canvas), 0.5) << i;
        }
    }
}
