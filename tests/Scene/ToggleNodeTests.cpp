#include "Scene/CheckBoxNode.h"
#include "Scene/RadioButtonNode.h"

#include "Framework/Keys.h"
#include "Graphics/ImageList.h"

#include "Scene/NodeKindTestSupport.h"
#include "Support/GraphicsFakes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace Kestrin;
using namespace SceneTest;

namespace
{

const std::string kResources = "<testfont name=\"F\" advance=\"10\" lineHeight=\"12\"/>"
                               "<testimages name=\"Chk8\" count=\"8\" width=\"20\" height=\"20\"/>"
                               "<testimages name=\"Chk10\" count=\"10\" width=\"20\" height=\"20\"/>"
                               "<testimages name=\"Chk12\" count=\"12\" width=\"10\" height=\"20\"/>"
                               "<testimages name=\"Chk30\" count=\"30\" width=\"10\" height=\"20\"/>"
                               "<testimages name=\"Radio4\" count=\"4\" width=\"20\" height=\"20\"/>"
                               "<testimages name=\"Radio5\" count=\"5\" width=\"20\" height=\"20\"/>"
                               "<testsound name=\"HotSound\"/><testsound name=\"DownSound\"/>"
                               "<testsound name=\"CheckSound\"/><testsound name=\"UncheckSound\"/>"
                               "<soundlist name=\"ChkSounds\"><sound event=\"Hot\" src=\"HotSound\"/>"
                               "<sound event=\"Down\" src=\"DownSound\"/>"
                               "<sound event=\"Checked\" src=\"CheckSound\"/>"
                               "<sound event=\"Unchecked\" src=\"UncheckSound\"/></soundlist>"
                               "<string name=\"MuteText\" value=\"Mute all\"/>";

class ToggleNodes : public NodeKindTest
{
protected:
    ToggleNodes() { Resources(kResources); }

    void Click(int x, int y)
    {
        database.OnMouseMove(x, y);
        database.OnMouseDown(MouseButton(0), x, y);
        database.OnMouseUp(MouseButton(0), x, y);
    }
    RadioButtonNode* Radio(const std::string& name, const std::string& group, int x)
    {
        const std::string groupAttribute = group.empty() ? "" : " group=\"" + group + "\"";
        return BuildAs<RadioButtonNode>("<radiobuttonnode " + name + groupAttribute +
                                        " images=\"Radio4\" x=\"" + std::to_string(x) + "\" y=\"0\"/>");
    }

    std::vector<std::string>& notes = database.notes;
};

} // namespace

TEST_F(ToggleNodes, CheckBoxFramesComeFromTheHalfOfItsCheckState)
{
    enum Look
    {
        Normal,
        Hot,
        Focused,
        Disabled
    };
    struct Case
    {
        const char* images;
        bool checked;
        Look look;
        std::vector<int> frames;
    };
    const Case cases[] = {
        {"Chk8", false, Normal, {0}},
        {"Chk8", true, Normal, {4}},
        {"Chk8", false, Focused, {1}}, // eight images have no focus frame
        {"Chk8", true, Disabled, {7}},
        {"Chk10", false, Focused, {4}},
        {"Chk10", true, Focused, {9}},
        {"Chk12", true, Normal, {6, 7, 7, 8}},
        {"Chk12", false, Focused, {3, 4, 4, 5}},
        {"Chk30", true, Normal, {15, 16, 16, 17}},
        {"Chk30", true, Hot, {18, 19, 19, 20}},
        {"Chk30", false, Focused, {12, 13, 13, 14}},
    };
    for (const Case& c : cases)
    {
        auto* box = BuildAs<CheckBoxNode>(std::string("<checkboxnode images=\"") + c.images +
                                          "\" width=\"35\" x=\"100\" y=\"50\"/>");
        ASSERT_NE(box, nullptr);
        box->checked = c.checked;
        if (c.look == Hot)
            database.OnMouseMove(105, 55);
        if (c.look == Focused)
            database.SetFocus(box);
        if (c.look == Disabled)
            box->SetEnabled(false);
        EXPECT_EQ(DrawnFrames(box->GetImages()), c.frames)
            << c.images << " checked " << c.checked << " look " << c.look;
        database.OnMouseMove(0, 0);
        database.RemoveObject(box->GetHandle());
    }
}

TEST_F(ToggleNodes, CheckBoxTogglesFromItsBoxItsLabelAndItsKeys)
{
    auto* box = BuildAs<CheckBoxNode>("<checkboxnode name=\"C\" images=\"Chk8\" font=\"F\" text=\"Mute\" "
                                      "sounds=\"ChkSounds\" x=\"100\" y=\"50\"/>");
    ASSERT_NE(box, nullptr);
    // Beside the box, centred on its height: 40 x 12 at (25, 4) within the node.
    EXPECT_EQ(box->GetLabelRect(), Rect<float>(25, 4, 40, 12));

    Click(110, 55);
    EXPECT_TRUE(box->checked);
    Click(160, 65); // the label's far corner
    EXPECT_FALSE(box->checked);
    // The 5-pixel gap and the edges just past the label take nothing.
    for (auto [x, y] : {std::pair{122, 60}, {165, 60}, {130, 66}})
    {
        database.OnMouseMove(x, y);
        EXPECT_FALSE(database.OnMouseDown(MouseButton(0), x, y)) << x << "," << y;
        database.OnMouseUp(MouseButton(0), x, y);
    }
    EXPECT_EQ(notes, (std::vector<std::string>{"CheckBoxClick c", "CheckBoxClick c"}));
    // "Hot" on entering only; the label keeps the box hot.
    EXPECT_EQ(played,
              (std::vector<std::string>{"HotSound", "DownSound", "CheckSound", "DownSound", "UncheckSound"}));

    // Keys act only with the focus.
    notes.clear();
    EXPECT_FALSE(database.OnKeyDown(VK_RETURN));
    database.SetFocus(box);
    for (int key : {int(VK_RETURN), int(VK_SPACE), int(Key_GamePadA)})
        EXPECT_TRUE(database.OnKeyDown(key));
    EXPECT_FALSE(database.OnKeyDown('X'));
    EXPECT_TRUE(box->checked);
    EXPECT_EQ(notes.size(), 3u);

    // Set by its owner: nothing plays or tells, and the box shows it.
    played.clear();
    notes.clear();
    box->checked = false;
    database.SetFocus(nullptr);
    EXPECT_EQ(DrawnFrames(box->GetImages()), std::vector<int>{0});
    EXPECT_TRUE(played.empty());
    EXPECT_TRUE(notes.empty());

    // The label is drawn left-aligned, centred on the box's height, in the node's colour.
    const auto texts = Calls("Text");
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].text, L"Mute");
    EXPECT_EQ(texts[0].x, 125.0f);
    EXPECT_EQ(texts[0].y, 54.0f);
}

TEST_F(ToggleNodes, CheckBoxWithoutFontOrImagesStillBuilds)
{
    // No font: no label to click and no text, though the text is kept.
    auto* plain = BuildAs<CheckBoxNode>("<checkboxnode images=\"Chk8\" text=\"Mute\" x=\"100\" y=\"50\"/>");
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->GetLabelRect(), Rect<float>());
    EXPECT_FALSE(plain->HitTestControl({130, 60}));
    DrawnFrames(plain->GetImages());
    EXPECT_TRUE(Calls("Text").empty());
    EXPECT_EQ(plain->GetText(), L"Mute");
    database.RemoveObject(plain->GetHandle());

    // A missing image list: a box of no size whose label still lays out from the text resource.
    auto* bare =
        BuildAs<CheckBoxNode>("<checkboxnode images=\"Nothing\" font=\"F\" textResource=\"MuteText\"/>");
    ASSERT_NE(bare, nullptr);
    EXPECT_EQ(bare->GetWorldRect(), Rect<float>(0, 0, 0, 0));
    EXPECT_EQ(bare->GetText(), L"Mute all");
    EXPECT_EQ(bare->GetLabelRect(), Rect<float>(5, -6, 80, 12));
    EXPECT_EQ(DrawnFrames(bare->GetImages()), std::vector<int>{});
    Click(10, 0);
    EXPECT_TRUE(bare->checked);
}

TEST_F(ToggleNodes, ARadioClickSelectsItAndClearsTheRestOfItsGroupOnly)
{
    RadioButtonNode* a = Radio("name=\"A\"", "Difficulty", 0);
    RadioButtonNode* b = Radio("name=\"B\"", "Difficulty", 30);
    RadioButtonNode* c = Radio("name=\"C\"", "Difficulty", 60);
    RadioButtonNode* other = Radio("name=\"O\"", "Speed", 90);
    ASSERT_TRUE(a && b && c && other);
    a->selected = c->selected = other->selected = true;

    Click(35, 5);
    EXPECT_EQ((std::vector<bool>{a->selected, b->selected, c->selected, other->selected}),
              (std::vector<bool>{false, true, false, true}));
    // Again: still selected, and told again.
    Click(35, 5);
    EXPECT_EQ(notes, (std::vector<std::string>{"RadioButtonClick b", "RadioButtonClick b"}));
    EXPECT_EQ(GetRadioButtonNode(b->GetHandle()), b);
    EXPECT_EQ(GetRadioButtonNode(root->GetHandle()), nullptr);

    // Selected shows the down frame with the pointer away; disabled wins.
    database.OnMouseMove(500, 500);
    EXPECT_EQ(b->GetStateIndex(), int(ControlState_Down));
    b->SetEnabled(false);
    EXPECT_EQ(b->GetStateIndex(), int(ControlState_Disabled));
    b->SetEnabled(true);

    // Keys with the focus select it too.
    database.SetFocus(c);
    EXPECT_TRUE(database.OnKeyDown(Key_GamePadA));
    EXPECT_TRUE(c->selected);
    EXPECT_FALSE(b->selected);
}

TEST_F(ToggleNodes, UnnamedAndUngroupedRadiosFormOneGroupOfTheirDatabase)
{
    // No group and no name: all of them share group 0 and still clear each other.
    RadioButtonNode* first = Radio("", "", 0);
    RadioButtonNode* second = Radio("", "", 30);
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->GetGroup(), NameId());
    first->SetSelected(true);
    second->SetSelected(true);
    EXPECT_FALSE(first->selected);

    // A radio of another screen's database is left alone.
    NotingDatabase elsewhere;
    auto* stranger =
        new RadioButtonNode(ColorF::Black(), NameId(), NameId(), {0, 0}, nullptr, 0, L"", nullptr);
    elsewhere.AddObject(stranger);
    stranger->selected = true;
    first->SetSelected(true);
    EXPECT_TRUE(stranger->selected);
    EXPECT_FALSE(second->selected);
    // Deselecting touches no one else.
    first->SetSelected(false);
    EXPECT_TRUE(stranger->selected);
    EXPECT_FALSE(second->selected);
}

TEST_F(ToggleNodes, RadioCaptionIsCentredAndFocusUsesTheFifthImage)
{
    auto* radio = BuildAs<RadioButtonNode>("<radiobuttonnode images=\"Radio5\" font=\"F\" text=\"Easy\" "
                                           "x=\"100\" y=\"50\" color=\"#FF0000FF\"/>");
    ASSERT_NE(radio, nullptr);
    database.SetFocus(radio);
    EXPECT_EQ(DrawnFrames(radio->GetImages()), std::vector<int>{4});
    const auto texts = Calls("Text");
    ASSERT_EQ(texts.size(), 1u);
    // Centred on (floor(100 + 21 / 2), floor(50 + 21 / 2)): 40 x 12 text.
    EXPECT_EQ(texts[0].x, 90.0f);
    EXPECT_EQ(texts[0].y, 54.0f);
    EXPECT_EQ(texts[0].state.color, ColorF(1, 0, 0, 1));
}
