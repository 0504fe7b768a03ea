#include "UI/ControlLogic.h"

#include "Framework/Keys.h"
#include "UI/UIServices.h"

#include "UITestSupport.h"

#include <gtest/gtest.h>

using namespace UITest;

TEST(ControlLogic, StateIndexFollowsTheFirstRuleThatHolds)
{
    struct Case
    {
        ControlStateFacts facts;
        int state;
    };
    const Case cases[] = {
        {{false, true, true, true, true, true}, ControlState_Disabled},
        {{true, true, true, false, false, false}, ControlState_Down},
        {{true, false, false, false, false, true}, ControlState_Down}, // a selected radio button
        {{true, false, true, true, true, false}, ControlState_Hot},
        // Pressed and dragged off: the focus look, or normal.
        {{true, true, false, true, true, false}, ControlState_Focused},
        {{true, true, false, true, false, false}, ControlState_Hot},
        {{true, true, false, false, false, false}, ControlState_Normal},
        {{true, false, false, false, true, false}, ControlState_Normal},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GetControlStateIndex(c.facts), c.state)
            << c.facts.enabled << c.facts.captured << c.facts.hot << c.facts.focused << c.facts.hasFocusImage
            << c.facts.selected;
}

TEST(ControlLogic, ImageCountPicksFormFocusImageAndFrames)
{
    struct Case
    {
        ControlKind kind;
        int count;
        bool threeSlice, focusImage;
        int state;
        bool checked;
        int frame;
    };
    const Case cases[] = {
        {ControlKind::Button, 4, false, false, 2, false, 2},
        {ControlKind::Button, 5, false, true, 4, false, 4},
        {ControlKind::Button, 6, true, false, 1, false, 3},
        {ControlKind::Button, 15, true, true, 4, false, 12},
        {ControlKind::CheckBox, 8, false, false, 1, true, 5},
        {ControlKind::CheckBox, 10, false, true, 4, true, 9},
        {ControlKind::CheckBox, 11, true, false, 0, false, 0},
        {ControlKind::CheckBox, 30, true, true, 2, true, 21}, // 15 + 3s
        {ControlKind::RadioButton, 5, false, true, 2, false, 2},
        {ControlKind::RadioButton, 10, false, false, 3, false, 3},
        {ControlKind::RadioButton, 15, true, true, 1, false, 3},
    };
    for (const Case& c : cases)
    {
        const ControlImageForm form = GetControlImageForm(c.kind, c.count);
        EXPECT_EQ(form.threeSlice, c.threeSlice) << int(c.kind) << " " << c.count;
        EXPECT_EQ(form.hasFocusImage, c.focusImage) << int(c.kind) << " " << c.count;
        EXPECT_EQ(GetControlFrame(c.kind, c.count, c.state, c.checked), c.frame)
            << int(c.kind) << " " << c.count;
    }
}

TEST(ControlLogic, DrawsThePlainFrameOrTheThreeSliceAndNothingMissing)
{
    RecordingCanvas canvas;
    const Graphics::DrawState state;
    auto plain = SolidList(3, 10, 8);
    // Disabled with three plain images: frame 3 does not exist.
    DrawControlImages(plain.get(), ControlKind::Button, ControlState_Disabled, false, 5, 6, 0, state,
                      &canvas);
    EXPECT_TRUE(canvas.calls.empty());
    DrawControlImages(plain.get(), ControlKind::Button, ControlState_Down, false, 5, 6, 0, state, &canvas);
    ASSERT_EQ(canvas.calls.size(), 1u);
    EXPECT_EQ(canvas.calls[0].image, plain->GetImageAt(2));
    EXPECT_EQ(canvas.calls[0].x, 5.0f);

    canvas.calls.clear();
    auto sliced = SolidList(6, 4, 8);
    DrawControlImages(sliced.get(), ControlKind::Button, ControlState_Hot, false, 0, 0, 12, state, &canvas);
    ASSERT_EQ(canvas.calls.size(), 3u); // caps and one middle piece
    EXPECT_EQ(canvas.calls[0].image, sliced->GetImageAt(3));
    EXPECT_EQ(canvas.calls[1].image, sliced->GetImageAt(5));
    EXPECT_EQ(canvas.calls[1].x, 8.0f);

    canvas.calls.clear();
    DrawControlImages(nullptr, ControlKind::CheckBox, 0, true, 0, 0, 12, state, &canvas);
    EXPECT_TRUE(canvas.calls.empty());
}

TEST(ControlLogic, OpaqueTestReadsTheUnpressedLook)
{
    ImageList plain;
    plain.AddOwnedImage(KestrinTest::MakeImage(2, 1, {0x10FFFFFF, 0xFFFFFFFF}).release());
    EXPECT_FALSE(IsControlOpaqueAt(&plain, ControlKind::Button, 25, 0, 0, 0));
    EXPECT_TRUE(IsControlOpaqueAt(&plain, ControlKind::Button, 25, 0, 1, 0));
    EXPECT_TRUE(IsControlOpaqueAt(&plain, ControlKind::Button, 0, 0, 0, 0));
    EXPECT_FALSE(IsControlOpaqueAt(&plain, ControlKind::Button, 25, 0, 5, 0)); // beyond the image
    EXPECT_TRUE(IsControlOpaqueAt(nullptr, ControlKind::CheckBox, 25, 0, 0, 0));

    // Three-slice: a transparent middle piece between opaque caps.
    ImageList sliced;
    sliced.AddOwnedImage(KestrinTest::FilledImage(2, 2, 0xFF000000).release());
    sliced.AddOwnedImage(KestrinTest::FilledImage(2, 2, 0x00000000).release());
    sliced.AddOwnedImage(KestrinTest::FilledImage(2, 2, 0xFF000000).release());
    for (int i = 0; i < 8; ++i)
        sliced.AddOwnedImage(KestrinTest::FilledImage(2, 2, 0xFF000000).release());
    EXPECT_TRUE(IsControlOpaqueAt(&sliced, ControlKind::RadioButton, 25, 10, 1, 1));
    EXPECT_FALSE(IsControlOpaqueAt(&sliced, ControlKind::RadioButton, 25, 10, 4, 1));
    EXPECT_TRUE(IsControlOpaqueAt(&sliced, ControlKind::RadioButton, 25, 10, 9, 1));
}

TEST(ControlLogic, SizesFromImagesOrCaptionAndPlacesLabels)
{
    auto plain = SolidList(4, 30, 12);
    auto sliced = SolidList(15, 5, 9);
    FakeFont font(4, 12);
    const ControlSize a = MeasureControl(ControlKind::Button, plain.get(), 100, &font, L"Go");
    EXPECT_EQ(a.width, 30.0f);
    EXPECT_EQ(a.height, 12.0f);
    EXPECT_FALSE(a.centred);
    const ControlSize b = MeasureControl(ControlKind::RadioButton, sliced.get(), 100, &font, L"Go");
    EXPECT_EQ(b.width, 100.0f);
    EXPECT_EQ(b.height, 9.0f);
    // A caption-only button: 10 characters of 4 pixels, centred on its point.
    const ControlSize c = MeasureControl(ControlKind::Button, nullptr, 0, &font, L"0123456789");
    EXPECT_EQ(c.width, 40.0f);
    EXPECT_EQ(c.height, 12.0f);
    EXPECT_TRUE(c.centred);
    const ControlSize d = MeasureControl(ControlKind::Button, nullptr, 0, nullptr, L"x");
    EXPECT_EQ(d.width, 0.0f);
    EXPECT_FALSE(d.centred);
    // A check box without images and font is 0 by 0 and has no label.
    const ControlSize e = MeasureControl(ControlKind::CheckBox, nullptr, 50, nullptr, L"x");
    EXPECT_EQ(e.width + e.height, 0.0f);
    Rect<float> label;
    EXPECT_FALSE(LayoutCheckBoxLabel(0, 0, 0, 0, nullptr, L"x", label));

    // A 20-high box at y 10.5 with a 7-high font: floor(10.5 + 10 - 3 + 0.5) = 18.
    FakeFont small(2, 7);
    ASSERT_TRUE(LayoutCheckBoxLabel(100, 10.5f, 20, 20, &small, L"abc", label));
    EXPECT_EQ(label, (Rect<float>(125, 18, 6, 7)));
    EXPECT_EQ(GetCaptionCentre(10.5f, 20, 40, 11), (Vector2<float>(31, 26)));
    EXPECT_EQ(GetSideLabelAnchor(10, 20.2f, 16, 16), (Vector2<float>(31, 28)));
}

TEST(ControlLogic, ClickKeysAreEnterSpaceAndGamePadA)
{
    for (int key : {int(VK_RETURN), int(VK_SPACE), 0x102})
        EXPECT_TRUE(IsClickKey(key)) << key;
    for (int key : {0, int(VK_ESCAPE), int('A'), 0x101, 0x200})
        EXPECT_FALSE(IsClickKey(key)) << key;
}

namespace
{
class Clickable : public Object, public InputHandlerComponent
{
};
} // namespace

class ClickProtocol : public WidgetFixture
{
};

TEST_F(ClickProtocol, PressCapturesAndOnlyAReleaseOverTheControlActs)
{
    auto* control = new Clickable;
    database.AddObject(control);
    bool hot = false;
    EXPECT_TRUE(TrackHot(hot, true));
    EXPECT_FALSE(TrackHot(hot, true)); // "Hot" once, on entry
    EXPECT_FALSE(TrackHot(hot, false));
    EXPECT_FALSE(hot);

    // A release without the press's capture never acts.
    EXPECT_FALSE(ReleaseControl(control, hot, true));
    EXPECT_TRUE(hot);

    EXPECT_FALSE(PressControl(control, hot, false, &sounds));
    EXPECT_FALSE(HoldsMouseCapture(control));
    EXPECT_TRUE(PressControl(control, hot, true, &sounds));
    EXPECT_TRUE(HoldsMouseCapture(control));
    EXPECT_EQ(played, (std::vector<std::string>{"Down"}));
    // Dragged off and released outside: the capture ends, no action.
    EXPECT_FALSE(ReleaseControl(control, hot, false));
    EXPECT_FALSE(HoldsMouseCapture(control));
    EXPECT_EQ(platform->releases, 1);

    PressControl(control, hot, true, nullptr);
    EXPECT_TRUE(ReleaseControl(control, hot, true));
    EXPECT_EQ(platform->captures, 2);
}
