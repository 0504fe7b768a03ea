#include "UI/ControlVisuals.h"

#include "Graphics/ImageList.h"

#include "Support/GraphicsFakes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

using namespace Kestrin;
using KestrinTest::RecordingCanvas;

namespace
{

// n images of w x h; image i is filled with alpha 0xFF and red i, except where a test clears pixels.
std::unique_ptr<ImageList> Images(int n, int w = 10, int h = 8)
{
    auto list = std::make_unique<ImageList>();
    for (int i = 0; i < n; ++i)
        list->AddOwnedImage(KestrinTest::FilledImage(w, h, 0xFF000000u | (uint32_t(i) << 16)).release());
    return list;
}

int FrameOf(const ImageList& list, IImage* image)
{
    for (int i = 0; i < list.Count(); ++i)
        if (list.GetImageAt(i) == image)
            return i;
    return -1;
}

} // namespace

TEST(ControlVisuals, TheStateIndexTakesTheFirstRuleThatHolds)
{
    struct Case
    {
        bool enabled, captured, hot, focused, focusFrame;
        int state;
    };
    const Case cases[] = {
        {false, true, true, true, true, ControlState_Disabled},
        {true, true, true, true, true, ControlState_Down},
        {true, false, true, true, true, ControlState_Hot},
        // Pressed and dragged off: no longer down.
        {true, true, false, false, false, ControlState_Normal},
        {true, true, false, true, true, ControlState_Focused},
        {true, false, false, true, true, ControlState_Focused},
        // Without a focus frame the focus shows as hot.
        {true, false, false, true, false, ControlState_Hot},
        {true, false, false, false, true, ControlState_Normal},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GetControlStateIndex(c.enabled, c.captured, c.hot, c.focused, c.focusFrame), c.state)
            << c.enabled << c.captured << c.hot << c.focused << c.focusFrame;
}

TEST(ControlVisuals, ASelectedRadioButtonLooksDownUnlessDisabled)
{
    for (int state : {ControlState_Normal, ControlState_Hot, ControlState_Down, ControlState_Focused})
    {
        EXPECT_EQ(GetRadioButtonStateIndex(state, true), int(ControlState_Down)) << state;
        EXPECT_EQ(GetRadioButtonStateIndex(state, false), state) << state;
    }
    EXPECT_EQ(GetRadioButtonStateIndex(ControlState_Disabled, true), int(ControlState_Disabled));
}

TEST(ControlVisuals, TheImageCountChoosesTheFormAndTheFocusFrame)
{
    struct Case
    {
        const ControlImageForm* form;
        int count; // -1: no list
        bool threeSlice, focus;
    };
    const Case cases[] = {
        {&ButtonImageForm, -1, false, false},    {&ButtonImageForm, 0, false, false},
        {&ButtonImageForm, 4, false, false},     {&ButtonImageForm, 5, false, true},
        {&ButtonImageForm, 6, true, false},      {&ButtonImageForm, 12, true, false},
        {&ButtonImageForm, 15, true, true},      {&CheckBoxImageForm, 10, false, true},
        {&CheckBoxImageForm, 11, true, false},   {&CheckBoxImageForm, 30, true, true},
        {&RadioButtonImageForm, 5, false, true}, {&RadioButtonImageForm, 10, false, false},
        {&RadioButtonImageForm, 15, true, true},
    };
    for (const Case& c : cases)
    {
        auto list = Images(c.count < 0 ? 0 : c.count, 2, 2);
        const IImageList* images = c.count < 0 ? nullptr : list.get();
        EXPECT_EQ(IsThreeSliceForm(images, *c.form), c.threeSlice) << c.count;
        EXPECT_EQ(HasFocusFrame(images, *c.form), c.focus) << c.count;
    }
}

TEST(ControlVisuals, APlainListDrawsTheStatesFrameAndAThreeSliceListItsBrush)
{
    RecordingCanvas canvas;
    const Graphics::DrawState state;

    auto plain = Images(4);
    EXPECT_EQ(DrawControlImage(plain.get(), ButtonImageForm, ControlState_Down, 0, 30, 40, 0, state, &canvas),
              Graphics::Draw_Done);
    ASSERT_EQ(canvas.calls.size(), 1u);
    EXPECT_EQ(FrameOf(*plain, canvas.calls[0].image), 2);
    EXPECT_EQ(canvas.calls[0].x, 30.0f);
    EXPECT_EQ(canvas.calls[0].y, 40.0f);
    // A frame the list lacks draws nothing; so does no list at all.
    canvas.calls.clear();
    EXPECT_EQ(
        DrawControlImage(plain.get(), ButtonImageForm, ControlState_Focused, 0, 0, 0, 0, state, &canvas),
        Graphics::Draw_Nothing);
    EXPECT_EQ(DrawControlImage(nullptr, ButtonImageForm, 0, 0, 0, 0, 0, state, &canvas),
              Graphics::Draw_Nothing);
    EXPECT_TRUE(canvas.calls.empty());
    // A check box's checked half starts at firstFrame.
    auto checks = Images(10);
    DrawControlImage(checks.get(), CheckBoxImageForm, ControlState_Hot, 5, 0, 0, 0, state, &canvas);
    ASSERT_EQ(canvas.calls.size(), 1u);
    EXPECT_EQ(FrameOf(*checks, canvas.calls[0].image), 6);

    // Twelve images: state 1 is frames 3 (left cap), 4 (tiled) and 5 (right cap) over 35 pixels.
    canvas.calls.clear();
    auto slices = Images(12);
    EXPECT_EQ(DrawControlImage(slices.get(), ButtonImageForm, ControlState_Hot, 0, 5, 6, 35, state, &canvas),
              Graphics::Draw_Done);
    std::vector<std::pair<int, float>> pieces; // {frame, x}
    for (const auto& call : canvas.calls)
    {
        pieces.emplace_back(FrameOf(*slices, call.image), call.x);
        EXPECT_EQ(call.y, 6.0f);
    }
    std::sort(pieces.begin(), pieces.end(), [](auto& a, auto& b) { return a.second < b.second; });
    EXPECT_EQ(pieces, (std::vector<std::pair<int, float>>{{3, 5.0f}, {4, 15.0f}, {4, 25.0f}, {5, 30.0f}}));
}

TEST(ControlVisuals, OpacityReadsFrameZeroOrTheBrushUnlessTheTestIsOff)
{
    // Frame 0 clear at its top-left pixel, half clear at (1, 0); frame 1 opaque everywhere.
    auto plain = Images(4);
    auto* frame0 = static_cast<Image*>(plain->GetImageAt(0));
    frame0->Pixels()[0] = 0x00FFFFFFu;
    frame0->Pixels()[1] = 0x19FFFFFFu; // alpha 25: not above 25
    EXPECT_FALSE(IsControlImageOpaqueAt(plain.get(), ButtonImageForm, 25, 0, 0, 0));
    EXPECT_FALSE(IsControlImageOpaqueAt(plain.get(), ButtonImageForm, 25, 1, 0, 0));
    EXPECT_TRUE(IsControlImageOpaqueAt(plain.get(), ButtonImageForm, 24, 1, 0, 0));
    EXPECT_TRUE(IsControlImageOpaqueAt(plain.get(), ButtonImageForm, 25, 2, 0, 0));
    EXPECT_TRUE(IsControlImageOpaqueAt(plain.get(), ButtonImageForm, 0, 0, 0, 0));
    EXPECT_TRUE(IsControlImageOpaqueAt(nullptr, ButtonImageForm, 25, 0, 0, 0));
    auto empty = Images(0);
    EXPECT_TRUE(IsControlImageOpaqueAt(empty.get(), ButtonImageForm, 25, 0, 0, 0));

    // Three-slice over 40 pixels: the right cap (frame 2) starts at 30; its top-left pixel is clear.
    auto slices = Images(12);
    static_cast<Image*>(slices->GetImageAt(2))->Pixels()[0] = 0;
    EXPECT_FALSE(IsControlImageOpaqueAt(slices.get(), ButtonImageForm, 25, 30, 0, 40));
    EXPECT_TRUE(IsControlImageOpaqueAt(slices.get(), ButtonImageForm, 25, 29, 0, 40));
    // Beyond the brush's width nothing is shown.
    EXPECT_FALSE(IsControlImageOpaqueAt(slices.get(), ButtonImageForm, 25, 40, 0, 40));
}
