#include "UI/ControlLogic.h"

#include "Framework/Keys.h"
#include "UI/UIServices.h"

#include "UITestSupport.h"

#include <gtest/gtest.h>

using namespace UITest;

TEST(ControlLogic, SizesFromImagesOrCaptionAndPlacesLabels)
{
    auto plain = SolidList(4, 30, 12);
    auto sliced = SolidList(15, 5, 9);
    FakeFont font(4, 12);
    const ControlSize a = MeasureControl(plain.get(), ButtonImageForm, 100, &font, L"Go");
    EXPECT_EQ(a.width, 30.0f);
    EXPECT_EQ(a.height, 12.0f);
    EXPECT_FALSE(a.centred);
    const ControlSize b = MeasureControl(sliced.get(), RadioButtonImageForm, 100, nullptr, L"Go");
    EXPECT_EQ(b.width, 100.0f);
    EXPECT_EQ(b.height, 9.0f);
    // A caption-only button: 10 characters of 4 pixels, centred on its point.
    const ControlSize c = MeasureControl(nullptr, ButtonImageForm, 0, &font, L"0123456789");
    EXPECT_EQ(c.width, 40.0f);
    EXPECT_EQ(c.height, 12.0f);
    EXPECT_TRUE(c.centred);
    const ControlSize d = MeasureControl(nullptr, ButtonImageForm, 0, nullptr, L"x");
    EXPECT_EQ(d.width, 0.0f);
    EXPECT_FALSE(d.centred);
    // A check box (no caption font) without images is 0 by 0, and without a font has no label.
    const ControlSize e = MeasureControl(nullptr, CheckBoxImageForm, 50, nullptr, L"x");
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
