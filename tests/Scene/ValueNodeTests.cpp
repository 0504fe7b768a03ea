#include "Scene/ButtonNode.h"
#include "Scene/ListNode.h"
#include "Scene/ScrollBarNode.h"
#include "Scene/SliderNode.h"

#include "Framework/Keys.h"
#include "Graphics/ImageList.h"

#include "Scene/NodeKindTestSupport.h"
#include "Support/GraphicsFakes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

using namespace Kestrin;
using namespace SceneTest;

namespace
{

const std::string kResources =
    "<testfont name=\"LF\" advance=\"8\" lineHeight=\"14\"/>"
    "<testimages name=\"Channel3\" count=\"3\" width=\"10\" height=\"8\"/>"
    "<testimages name=\"Thumb4\" count=\"4\" width=\"20\" height=\"12\" "
    "clearCorner=\"true\"/>"
    "<testimages name=\"Thumb5\" count=\"5\" width=\"20\" height=\"12\"/>"
    "<testimages name=\"Arrow\" count=\"4\" width=\"16\" height=\"16\"/>"
    "<testimages name=\"List9\" count=\"9\" width=\"6\" height=\"4\"/>"
    "<testsound name=\"SnapSound\"/><testsound name=\"ClickSound\"/>"
    "<soundlist name=\"SliderSounds\"><sound event=\"Snap\" src=\"SnapSound\"/>"
    "</soundlist>"
    "<soundlist name=\"AllUIButtonSounds\"><sound event=\"Down\" src=\"ClickSound\"/>"
    "</soundlist>";

class ValueNodes : public NodeKindTest
{
protected:
    ValueNodes() { Resources(kResources); }

    // 200 wide at (100, 50) with a 20-pixel thumb: 180 pixels of travel.
    SliderNode* Slider(const std::string& attributes = "", const std::string& thumb = "Thumb4")
    {
        return BuildAs<SliderNode>("<slidernode name=\"S\" channelImages=\"Channel3\" thumbImages=\"" +
                                   thumb + "\" width=\"200\" x=\"100\" y=\"50\" sounds=\"SliderSounds\" " +
                                   attributes + "/>");
    }
    // Frame pieces 6 x 4 around 3 whole rows of 16 pixels; five items.
    ListNode* List()
    {
        auto* list = BuildAs<ListNode>("<listnode name=\"L\" images=\"List9\" font=\"LF\" width=\"200\" "
                                       "height=\"56\" x=\"100\" y=\"50\" color=\"#00000080\" "
                                       "selectedTextColor=\"#FF0000FF\"/>");
        for (int i = 0; list && i < 5; ++i)
            list->AddItem(L"Item" + std::to_wstring(i), uint32_t(100 + i));
        return list;
    }
    void Drag(int fromX, std::initializer_list<int> toX, int y = 55)
    {
        database.OnMouseDown(MouseButton(0), fromX, y);
        for (int x : toX)
            database.OnMouseMove(x, y);
        database.OnMouseUp(MouseButton(0), toX.end()[-1], y);
    }
    size_t Count(const std::vector<std::string>& list, const std::string& what)
    {
        return size_t(std::count(list.begin(), list.end(), what));
    }

    std::vector<std::string>& notes = database.notes;
};

} // namespace

TEST_F(ValueNodes, SliderDragsFromWhereTheThumbWasGrabbedAndHoldsItsEnds)
{
    SliderNode* slider = Slider("initialValue=\"0.5\" alphaSensitivity=\"0\"");
    ASSERT_NE(slider, nullptr);
    EXPECT_EQ(slider->GetWorldRect(), Rect<float>(100, 50, 200, 12));
    EXPECT_EQ(slider->GetThumbPosition(), 90.0f);

    // Grabbed 5 pixels into the thumb, moved 30 pixels right.
    database.OnMouseDown(MouseButton(0), 195, 55);
    EXPECT_EQ(slider->GetThumbPosition(), 90.0f) << "no jump to the pointer";
    database.OnMouseMove(225, 55);
    EXPECT_EQ(slider->GetThumbPosition(), 120.0f);
    EXPECT_FLOAT_EQ(slider->GetValue(), 120.0f / 180.0f);
    database.OnMouseMove(0, 55);
    EXPECT_EQ(slider->GetValue(), 0.0f);
    database.OnMouseMove(700, 55);
    EXPECT_EQ(slider->GetValue(), 1.0f);
    // Let go off the slider: the capture goes, nothing is released over it.
    database.OnMouseUp(MouseButton(0), 700, 55);
    EXPECT_EQ(database.GetCaptureHandle(), NoObjectHandle);
    EXPECT_EQ(notes, std::vector<std::string>(3, "SliderValueChange s"));

    // A release over it tells even without a press of its own.
    notes.clear();
    database.OnMouseUp(MouseButton(0), 150, 55);
    EXPECT_EQ(notes, std::vector<std::string>{"SliderReleased s"});
}

TEST_F(ValueNodes, OnlyTheThumbsShownPixelsTakeThePress)
{
    SliderNode* slider = Slider("initialValue=\"0.5\"");
    ASSERT_NE(slider, nullptr);
    EXPECT_FALSE(slider->HitTestControl({120, 55})) << "the channel beside the thumb";
    EXPECT_FALSE(slider->HitTestControl({190, 50})) << "the thumb's clear corner";
    EXPECT_TRUE(slider->HitTestControl({191, 50}));
    EXPECT_TRUE(slider->HitTestControl({209, 61}));
    EXPECT_FALSE(slider->HitTestControl({210, 61}));
}

TEST_F(ValueNodes, SnappingStepsTheValueAndSnapsOncePerStep)
{
    SliderNode* slider = Slider("alphaSensitivity=\"0\"");
    ASSERT_NE(slider, nullptr);
    slider->SetSteps(5);
    slider->SetSnapping(true);
    EXPECT_EQ(slider->GetStepSize(), 0.25f);

    // Pressed 5 pixels into the thumb at 0: value 0.3 shows 0.25, 0.31 too, then 0.5.
    Drag(105, {159, 160, 195});
    EXPECT_EQ(slider->GetValue(), 0.5f);
    EXPECT_EQ(Count(played, "SnapSound"), 2u);
    EXPECT_EQ(Count(notes, "SliderValueChange s"), 3u);

    // Fewer than two steps: not snapped, no focus, no NaN.
    struct Case
    {
        bool snapping;
        int steps;
        bool focus;
    };
    for (const Case c : {Case{false, 0, true}, {true, 0, false}, {true, 1, false}, {true, 2, true}})
    {
        slider->SetSnapping(c.snapping);
        slider->SetSteps(c.steps);
        EXPECT_EQ(slider->AcceptsFocus(), c.focus) << c.snapping << " " << c.steps;
        slider->SetValue(0.7f, false);
        EXPECT_FLOAT_EQ(slider->GetValue(), c.steps == 2 ? 1.0f : 0.7f) << c.snapping << " " << c.steps;
    }

    // No travel (the default width of 0): value 0 and the thumb at 0, even dragged.
    auto* flat = BuildAs<SliderNode>(
        "<slidernode thumbImages=\"Thumb4\" initialValue=\"0.5\" alphaSensitivity=\"0\"/>");
    ASSERT_NE(flat, nullptr);
    EXPECT_EQ(flat->GetValue(), 0.0f);
    EXPECT_EQ(flat->GetThumbPosition(), 0.0f);
    flat->AdjustValue(0.5f);
    EXPECT_EQ(flat->GetValue(), 0.0f);
}

TEST_F(ValueNodes, SliderKeyboardModeNudgesAndEndsWithTheFocus)
{
    SliderNode* slider = Slider("initialValue=\"0.5\"", "Thumb5");
    ASSERT_NE(slider, nullptr);
    EXPECT_FALSE(database.OnKeyDown(Key_KeyboardMode)) << "without the focus";
    database.SetFocus(slider);
    EXPECT_FALSE(database.OnKeyDown(VK_LEFT)) << "outside keyboard mode";

    // Focused outside keyboard mode: a white wash at half alpha; inside it, the fifth thumb frame.
    canvas.calls.clear();
    root->DrawTree({0, 0});
    ASSERT_EQ(Calls("FillF").size(), 1u);
    EXPECT_EQ(Calls("FillF")[0].state.color, ColorF(1, 1, 1, 0.5f));

    EXPECT_TRUE(database.OnKeyDown(Key_KeyboardMode));
    EXPECT_TRUE(database.OnKeyDown(VK_LEFT));
    EXPECT_NEAR(slider->GetValue(), 0.45f, 1e-5f);
    EXPECT_TRUE(database.OnKeyDown(VK_RIGHT));
    EXPECT_TRUE(database.OnKeyDown(VK_RIGHT));
    EXPECT_NEAR(slider->GetValue(), 0.55f, 1e-5f);
    canvas.calls.clear();
    root->DrawTree({0, 0});
    EXPECT_TRUE(Calls("FillF").empty());
    auto* thumbs = dynamic_cast<ImageList*>(slider->GetThumbImages());
    ASSERT_NE(thumbs, nullptr);
    EXPECT_EQ(Calls("Image").back().image, thumbs->GetImageAt(4));
    EXPECT_NEAR(Calls("Image").back().x, 100.0f + 0.55f * 180.0f, 1e-3f);

    EXPECT_TRUE(database.OnKeyDown(Key_KeyboardModeLeave));
    EXPECT_FALSE(database.OnKeyDown(VK_LEFT));
    EXPECT_TRUE(database.OnKeyDown(Key_KeyboardMode));
    database.SetFocus(nullptr); // "LostFocus"
    EXPECT_FALSE(slider->IsKeyboardMode());
}

TEST_F(ValueNodes, RemovingASliderOrAListTakesItOutOfTheTree)
{
    for (SceneNode* node : {static_cast<SceneNode*>(Slider()), static_cast<SceneNode*>(List())})
    {
        ASSERT_NE(node, nullptr);
        const uint32_t before = root->GetChildCount();
        database.RemoveObject(node->GetHandle());
        EXPECT_EQ(root->GetChildCount(), before - 1);
    }
    database.Update(0.02f);
    root->RefreshTree();
    root->DrawTree({0, 0});
    EXPECT_EQ(root->GetChildCount(), 0u);
}

TEST_F(ValueNodes, ScrollBarArrowsAreSilentChildrenThatClickForThemselves)
{
    auto* bar = BuildAs<ScrollBarNode>("<scrollbarnode name=\"Bar\" channelImages=\"Channel3\" "
                                       "thumbImages=\"Thumb4\" upArrowImages=\"Arrow\" "
                                       "downArrowImages=\"Arrow\" height=\"200\" x=\"300\" y=\"100\"/>");
    ASSERT_NE(bar, nullptr);
    ButtonNode* up = bar->GetUpArrow();
    ButtonNode* down = bar->GetDownArrow();
    ASSERT_TRUE(up && down);
    EXPECT_EQ(bar->GetWorldRect(), Rect<float>(300, 100, 10, 200));
    EXPECT_EQ(up->GetWorldRect(), Rect<float>(300, 100, 16, 16));
    EXPECT_EQ(down->GetWorldRect(), Rect<float>(300, 284, 16, 16));
    // Registered before the bar, once each.
    EXPECT_LT(up->GetHandle() & 0xFFFF, bar->GetHandle() & 0xFFFF);
    EXPECT_LT(down->GetHandle() & 0xFFFF, bar->GetHandle() & 0xFFFF);
    const ObjectHandle downHandle = down->GetHandle();
    bar->RegisterTree(database);
    EXPECT_EQ(down->GetHandle(), downHandle);

    database.OnMouseDown(MouseButton(0), 305, 290);
    database.OnMouseUp(MouseButton(0), 305, 290);
    database.OnMouseDown(MouseButton(0), 305, 105);
    database.OnMouseUp(MouseButton(0), 305, 105);
    EXPECT_EQ(notes, (std::vector<std::string>{"ButtonClick scrolldown", "ButtonClick scrollup"}));
    EXPECT_TRUE(played.empty()) << "no default button sounds";

    // Tab walks the arrows and never stops on the bar, which has no key of its own.
    database.SetFocus(nullptr);
    std::vector<ObjectHandle> stops;
    for (int i = 0; i < 4; ++i)
    {
        database.FocusNext();
        stops.push_back(database.GetFocusHandle());
    }
    EXPECT_EQ(stops, (std::vector<ObjectHandle>{up->GetHandle(), downHandle, up->GetHandle(), downHandle}));

    // Built in code without its lists and added alone: no size, the lower arrow at the foot, and
    // both arrows join the bar's database.
    auto* bare = new ScrollBarNode({0, 0}, nullptr, NameId(), nullptr, nullptr, nullptr, 50);
    EXPECT_EQ(bare->GetDownArrow()->GetLocalState().y, 50.0f);
    database.AddObject(bare);
    EXPECT_EQ(bare->GetLocalState().width, 0.0f);
    EXPECT_EQ(bare->GetUpArrow()->GetDatabase(), &database);
    EXPECT_EQ(bare->GetDownArrow()->GetDatabase(), &database);
    database.RemoveObject(bare->GetHandle());
}

TEST_F(ValueNodes, ListRowsLieInsideTheFrameAndPressesSelectThem)
{
    ListNode* list = List();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->GetClientRect(), Rect<float>(106, 54, 188, 48));
    EXPECT_EQ(list->GetRowRect(0), Rect<float>(106, 54, 188, 16));
    EXPECT_EQ(list->GetRowRect(2).y, 86.0f);
    EXPECT_EQ(list->GetVisibleRowCount(), 3);
    EXPECT_EQ(list->GetItemText(4), L"Item4");
    EXPECT_EQ(list->GetItemData(4), 104u);
    EXPECT_EQ(list->GetItemText(5), L"");

    // Any button selects; a press on the selected row tells again; the frame takes nothing.
    EXPECT_TRUE(database.OnMouseDown(MouseButton(1), 110, 71));
    EXPECT_TRUE(database.OnMouseDown(MouseButton(0), 110, 71));
    EXPECT_FALSE(database.OnMouseDown(MouseButton(0), 110, 52));
    EXPECT_EQ(list->GetSelection(), 1);
    EXPECT_EQ(notes, std::vector<std::string>(2, "ListSelectionChange l"));
    EXPECT_EQ(database.GetCaptureHandle(), NoObjectHandle);

    // Rows are drawn from the first visible one to the last, past the frame; the selected one in
    // its colour, the rest in the node's, all at the node's alpha.
    canvas.calls.clear();
    root->DrawTree({0, 0});
    const auto texts = Calls("Text");
    ASSERT_EQ(texts.size(), 5u);
    EXPECT_EQ(texts[4].y, 54.0f + 4 * 16.0f);
    const float alpha = list->GetWorldColor().a;
    EXPECT_NEAR(alpha, 0.5f, 0.01f);
    EXPECT_EQ(texts[1].state.color, ColorF(1, 0, 0, alpha));
    EXPECT_EQ(texts[2].state.color, ColorF(0, 0, 0, alpha));
}

TEST_F(ValueNodes, ListKeysMoveTheSelectionInKeyboardModeAndScrollIt)
{
    ListNode* list = List();
    ASSERT_NE(list, nullptr);
    EXPECT_FALSE(database.OnKeyDown(Key_KeyboardMode)) << "without the focus";
    database.SetFocus(list);
    EXPECT_FALSE(database.OnKeyDown(VK_DOWN)) << "outside keyboard mode";
    EXPECT_TRUE(database.OnKeyDown(Key_KeyboardMode));

    // No selection yet: Down selects the first row and shows it at the top.
    list->SetFirstVisible(2);
    EXPECT_TRUE(database.OnKeyDown(VK_DOWN));
    EXPECT_EQ(list->GetSelection(), 0);
    EXPECT_EQ(list->GetFirstVisible(), 0);
    struct Step
    {
        int key;
        int selected;
        int first;
    };
    for (const Step s : {Step{VK_DOWN, 1, 0},
                         {VK_DOWN, 2, 0},
                         {VK_DOWN, 3, 1},
                         {VK_DOWN, 4, 2},
                         {VK_DOWN, 4, 2},
                         {VK_UP, 3, 2},
                         {VK_UP, 2, 2},
                         {VK_UP, 1, 1},
                         {VK_UP, 0, 0},
                         {VK_UP, 0, 0}})
    {
        EXPECT_TRUE(database.OnKeyDown(s.key));
        EXPECT_EQ(list->GetSelection(), s.selected);
        EXPECT_EQ(list->GetFirstVisible(), s.first);
    }
    // Ten keys, eight changes: the ends were told nothing.
    EXPECT_EQ(notes.size(), 1u + 8u);

    // In keyboard mode with the focus the selected row shows cyan.
    canvas.calls.clear();
    root->DrawTree({0, 0});
    EXPECT_EQ(Calls("Text")[0].state.color, ColorF(0, 1, 1, list->GetWorldColor().a));
    EXPECT_TRUE(Calls("FillF").empty());

    database.SetFocus(nullptr); // "LostFocus"
    EXPECT_FALSE(list->IsKeyboardMode());

    // An empty list takes no focus and no key.
    list->ClearItems();
    EXPECT_FALSE(list->AcceptsFocus());
    database.SetFocusHandle(list->GetHandle());
    EXPECT_FALSE(database.OnKeyDown(Key_KeyboardMode));
    EXPECT_EQ(list->GetSelection(), -1);
}
