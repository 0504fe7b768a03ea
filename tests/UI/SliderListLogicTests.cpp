#include "UI/ListLogic.h"
#include "UI/SliderLogic.h"

#include "Framework/Keys.h"

#include "UITestSupport.h"

#include <gtest/gtest.h>

using namespace UITest;

TEST(SliderLogic, SnapsToTheNearestStepWithTiesGoingLow)
{
    struct Case
    {
        float value;
        int steps;
        float snapped;
    };
    const Case cases[] = {{0.6f, 5, 0.5f},  {0.3f, 5, 0.25f},  {0.125f, 5, 0.0f},
                          {0.5f, 2, 0.0f},  {0.51f, 2, 1.0f},  {1.7f, 3, 1.0f},
                          {-0.2f, 3, 0.0f}, {0.37f, 1, 0.37f}, {0.37f, 0, 0.37f}};
    for (const Case& c : cases)
        EXPECT_FLOAT_EQ(SnapSliderValue(c.value, c.steps), c.snapped) << c.value << " " << c.steps;
    EXPECT_FLOAT_EQ(GetSliderStepSize(5), 0.25f);
    EXPECT_EQ(GetSliderStepSize(1), 0.0f);
    EXPECT_FALSE(IsSliderStepped(true, 1));
    EXPECT_FALSE(SliderAcceptsFocus(true, 1));
    EXPECT_TRUE(SliderAcceptsFocus(true, 2));
    EXPECT_TRUE(SliderAcceptsFocus(false, 0));
}

TEST(SliderLogic, TravelAndDragStayWithinTheSlider)
{
    // Width 200, thumb 20: value 0.5 is offset 90; a drag of 30 from a press at the thumb is 120.
    const float travel = GetSliderTravel(200, 20);
    EXPECT_EQ(travel, 180.0f);
    EXPECT_FLOAT_EQ(DragSliderThumb(95 + 30, 5, travel), 120.0f);
    EXPECT_EQ(DragSliderThumb(-50, 5, travel), 0.0f);
    EXPECT_EQ(DragSliderThumb(900, 5, travel), 180.0f);
    // A thumb as wide as the slider (or wider) has no travel and the value stays 0, never NaN.
    EXPECT_EQ(GetSliderTravel(20, 20), 0.0f);
    EXPECT_EQ(GetSliderValue(DragSliderThumb(40, 0, GetSliderTravel(20, 30)), 0.0f), 0.0f);
}

TEST(SliderLogic, KeysSwitchTheModeAndNudgeInIt)
{
    bool mode = false;
    EXPECT_FALSE(ApplySliderKey(VK_LEFT, mode, false, 0).handled); // not in keyboard mode
    EXPECT_TRUE(ApplySliderKey(Key_KeyboardModeLeave, mode, false, 0).handled == false);
    EXPECT_TRUE(ApplySliderKey(Key_KeyboardMode, mode, false, 0).handled);
    EXPECT_TRUE(mode);
    SliderKeyOutcome left = ApplySliderKey(VK_LEFT, mode, false, 0);
    EXPECT_TRUE(left.handled);
    EXPECT_FLOAT_EQ(left.nudge, -0.05f);
    EXPECT_FLOAT_EQ(ApplySliderKey(VK_RIGHT, mode, true, 5).nudge, 0.25f);
    EXPECT_FLOAT_EQ(ApplySliderKey(VK_RIGHT, mode, true, 1).nudge, 0.05f);
    EXPECT_FALSE(ApplySliderKey(VK_UP, mode, false, 0).handled);
    EXPECT_TRUE(ApplySliderKey(Key_KeyboardModeLeave, mode, false, 0).handled);
    EXPECT_FALSE(mode);
}

TEST(SliderLogic, ThumbFrameFollowsTheState)
{
    struct Case
    {
        SliderThumbFacts facts;
        int frame;
    };
    const Case cases[] = {
        {{false, true, true, true, true, true, 5}, 3},   {{true, true, false, false, false, true, 5}, 2},
        {{true, false, true, true, true, true, 5}, 1},   {{true, false, false, true, true, true, 5}, 4},
        {{true, false, false, true, true, true, 4}, 1},  {{true, false, false, true, true, false, 5}, 0},
        {{true, false, false, true, false, true, 5}, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GetSliderThumbFrame(c.facts), c.frame);
}

TEST(ListLogic, RowsLieInsideTheFrame)
{
    auto frame = ListFrame();
    FakeFont font(5, 14);
    const ListGeometry g = GetListGeometry(frame.get(), {100, 200, 109, 49}, &font);
    EXPECT_EQ(g.content, (Rect<float>(106, 204, 100, 40)));
    EXPECT_EQ(g.rowHeight, 16.0f);
    EXPECT_EQ(GetListRowRect(g, 0, 0), (Rect<float>(106, 204, 100, 16)));
    EXPECT_EQ(GetListRowRect(g, 2, 0), (Rect<float>(106, 236, 100, 8))); // cut off at the bottom
    EXPECT_EQ(GetListRowRect(g, 3, 0).h, -8.0f);
    // 2.5 rows high: two whole rows.
    EXPECT_EQ(GetListVisibleRowCount(g, 0, 5), 2);
    EXPECT_EQ(GetListVisibleRowCount(g, 0, 1), 1);
    EXPECT_EQ(GetListVisibleRowCount(g, 0, 0), 1);

    EXPECT_EQ(FindListRowAt(g, 0, 5, 106, 220), 1);
    EXPECT_EQ(FindListRowAt(g, 1, 5, 106, 220), 2);
    EXPECT_EQ(FindListRowAt(g, 0, 5, 206, 220), -1); // right edge
    EXPECT_EQ(FindListRowAt(g, 0, 5, 150, 245), -1); // below the content
    EXPECT_EQ(FindListRowAt(g, 0, 1, 150, 225), -1); // no item there

    // No frame and no font: pieces of size 0, rows 2 high.
    const ListGeometry bare = GetListGeometry(nullptr, {0, 0, 10, 10}, nullptr);
    EXPECT_EQ(bare.content, (Rect<float>(0, 0, 10, 10)));
    EXPECT_EQ(bare.rowHeight, 2.0f);
}

TEST(ListLogic, KeysMoveTheSelectionAndScrollIt)
{
    auto frame = ListFrame();
    FakeFont font(5, 14);
    const ListGeometry g = GetListGeometry(frame.get(), {0, 0, 109, 49}, &font);
    bool mode = false;
    EXPECT_FALSE(ApplyListKey(Key_KeyboardMode, mode, -1, 0, 0, g).handled); // no items
    EXPECT_FALSE(ApplyListKey(VK_DOWN, mode, -1, 0, 3, g).handled);
    EXPECT_TRUE(ApplyListKey(Key_KeyboardMode, mode, -1, 0, 3, g).handled);
    ASSERT_TRUE(mode);

    struct Case
    {
        int key, selected, first;
        bool handled;
        int select, firstAfter;
    };
    const Case cases[] = {
        {VK_DOWN, -1, 2, true, 0, 0}, // nothing selected: row 0, from the top
        {VK_UP, -1, 0, true, 0, 0},    {VK_DOWN, 0, 0, true, 1, 0},
        {VK_DOWN, 1, 0, true, 2, 1},  // row 2 is cut off: scrolls one row
        {VK_DOWN, 2, 1, true, -1, 1}, // the last: handled, no change
        {VK_UP, 0, 0, true, -1, 0},   // the first
        {VK_UP, 1, 1, true, 0, 0},    // above the top row: scrolls up to it
        {VK_DOWN, 7, 0, true, -1, 2}, // a selection beyond the items still ends
        {VK_LEFT, 1, 0, false, -1, 0},
    };
    for (const Case& c : cases)
    {
        const ListKeyOutcome out = ApplyListKey(c.key, mode, c.selected, c.first, 3, g);
        EXPECT_EQ(out.handled, c.handled) << c.key << " " << c.selected;
        EXPECT_EQ(out.select, c.select) << c.key << " " << c.selected;
        EXPECT_EQ(out.first, c.firstAfter) << c.key << " " << c.selected;
    }
    EXPECT_TRUE(ApplyListKey(Key_KeyboardModeLeave, mode, 0, 0, 3, g).handled);
    EXPECT_FALSE(mode);
}

TEST(SliderLogic, SettlingSnapsOnlyWhenSteppedAndTellsAChangeOfStep)
{
    struct Case
    {
        float value, current;
        bool stepped;
        int steps;
        float settled;
        bool snapped;
    };
    const Case cases[] = {
        {0.3f, 0.0f, true, 5, 0.25f, true},     {0.3f, 0.25f, true, 5, 0.25f, false},
        {0.3f, 0.2505f, true, 5, 0.25f, false}, // within 0.001: the same step
        {0.3f, 0.0f, false, 5, 0.3f, false},    {1.5f, 0.0f, false, 5, 1.5f, false}, // not clamped
        {0.3f, 0.0f, true, 1, 0.3f, false},     {0.3f, 0.0f, true, 0, 0.3f, false},
    };
    for (const Case& c : cases)
    {
        const SliderSetting s = SettleSliderValue(c.value, c.current, c.stepped, c.steps);
        EXPECT_FLOAT_EQ(s.value, c.settled) << c.value << " " << c.current << " " << c.steps;
        EXPECT_EQ(s.snapped, c.snapped) << c.value << " " << c.current << " " << c.steps;
    }
}

TEST(SliderLogic, OnlyTheThumbsOpaquePixelsAreHit)
{
    auto thumb = SolidList(1, 20, 12);
    // The thumb's left edge at 190.6 lies on pixel 190.
    EXPECT_TRUE(IsSliderThumbOpaqueAt(thumb.get(), 25, 190, 50, 190.6f, 50.0f));
    EXPECT_TRUE(IsSliderThumbOpaqueAt(thumb.get(), 25, 209, 61, 190.6f, 50.0f));
    EXPECT_FALSE(IsSliderThumbOpaqueAt(thumb.get(), 25, 210, 61, 190.6f, 50.0f));
    EXPECT_FALSE(IsSliderThumbOpaqueAt(thumb.get(), 25, 189, 55, 190.6f, 50.0f));
    // Sensitivity 0 or no thumb: the rectangle alone decides.
    EXPECT_TRUE(IsSliderThumbOpaqueAt(thumb.get(), 0, 0, 0, 190.0f, 50.0f));
    EXPECT_TRUE(IsSliderThumbOpaqueAt(nullptr, 25, 0, 0, 190.0f, 50.0f));
    auto faint = SolidList(1, 20, 12, 0x19FFFFFF); // alpha 25 is not above 25
    EXPECT_FALSE(IsSliderThumbOpaqueAt(faint.get(), 25, 195, 55, 190.0f, 50.0f));
    EXPECT_TRUE(IsSliderThumbOpaqueAt(faint.get(), 24, 195, 55, 190.0f, 50.0f));
}

TEST(ListLogic, RowsKeepTheirItemsChoiceAndTopRow)
{
    auto frame = ListFrame();
    FakeFont font(5, 14);
    const ListGeometry g = GetListGeometry(frame.get(), {0, 0, 109, 49}, &font);
    ListRows rows;
    EXPECT_EQ(rows.Find(0), nullptr);
    rows.ScrollDownOne();
    EXPECT_EQ(rows.first, 0) << "no items, no scrolling";
    for (uint32_t i = 0; i < 3; ++i)
        rows.AddItem(L"row" + std::to_wstring(i), 10 + i);
    ASSERT_NE(rows.Find(2), nullptr);
    EXPECT_EQ(rows.Find(2)->data, 12u);
    EXPECT_EQ(rows.Find(3), nullptr);
    EXPECT_EQ(rows.Find(-1), nullptr);
    for (int i = 0; i < 4; ++i)
        rows.ScrollDownOne();
    EXPECT_EQ(rows.first, 2) << "at most to the last item";
    EXPECT_EQ(rows.RowAt(g, 10, 10), 2);

    // Keys switch the mode and move the top row; the list selects.
    rows.first = 0;
    EXPECT_TRUE(rows.OnKey(Key_KeyboardMode, g).handled);
    EXPECT_TRUE(rows.keyboardMode);
    rows.selected = 1;
    const ListKeyOutcome down = rows.OnKey(VK_DOWN, g);
    EXPECT_EQ(down.select, 2);
    EXPECT_EQ(rows.first, 1);
    EXPECT_EQ(rows.selected, 1) << "left to the list, which tells the change";

    rows.Clear();
    EXPECT_EQ(rows.GetCount(), 0);
    EXPECT_EQ(rows.selected, -1);
    EXPECT_EQ(rows.first, 0);
}

TEST(ListLogic, TheSelectedRowTakesItsColourAndCyanInKeyboardMode)
{
    const ColorF plain(0, 0, 0, 1), chosen(1, 0, 0, 1), cyan(0, 1, 1, 1);
    EXPECT_EQ(GetListRowColor(false, true, true, plain, chosen), plain);
    EXPECT_EQ(GetListRowColor(true, false, true, plain, chosen), chosen);
    EXPECT_EQ(GetListRowColor(true, true, false, plain, chosen), chosen);
    EXPECT_EQ(GetListRowColor(true, true, true, plain, chosen), cyan);
}
