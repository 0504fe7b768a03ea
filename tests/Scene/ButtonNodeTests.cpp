#include "Scene/ButtonNode.h"

#include "Framework/Keys.h"
#include "Graphics/GraphicsFactories.h"
#include "Graphics/ImageList.h"

#include "Scene/NodeKindTestSupport.h"
#include "Support/GraphicsFakes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace Kestrin;
using namespace SceneTest;

namespace
{

const std::string kResources = "<testfont name=\"F\" advance=\"10\" lineHeight=\"12\"/>"
                               "<testimages name=\"B4\" count=\"4\" width=\"40\" height=\"20\"/>"
                               "<testimages name=\"B5\" count=\"5\" width=\"40\" height=\"20\"/>"
                               "<testimages name=\"B12\" count=\"12\" width=\"10\" height=\"20\"/>"
                               "<testimages name=\"B15\" count=\"15\" width=\"10\" height=\"20\"/>"
                               "<testimages name=\"Corner\" count=\"4\" width=\"40\" height=\"20\" "
                               "clearCorner=\"true\"/>"
                               "<testsound name=\"HotSound\"/><testsound name=\"DownSound\"/>"
                               "<soundlist name=\"AllUIButtonSounds\"><sound event=\"Hot\" src=\"HotSound\"/>"
                               "<sound event=\"Down\" src=\"DownSound\"/></soundlist>"
                               "<soundlist name=\"Quiet\"/>"
                               "<string name=\"OkText\" value=\"Okay\"/>";

class ButtonNodes : public NodeKindTest
{
protected:
    ButtonNodes() { Resources(kResources); }

    // A button at (100, 50), noting its clicks and hovers in `events` after the broadcasts.
    ButtonNode* Button(const std::string& attributes)
    {
        auto* button = BuildAs<ButtonNode>("<buttonnode name=\"B\" x=\"100\" y=\"50\" " + attributes + "/>");
        if (button)
        {
            button->clickSignal.Connect([this](ButtonNode*) { database.notes.push_back("clickSignal"); });
            button->hoverSignal.Connect([this](ButtonNode*, bool in)
                                        { database.notes.push_back(in ? "hover in" : "hover out"); });
        }
        return button;
    }

    // Out of the tree and of the database's input.
    void Discard(ButtonNode* button) { database.RemoveObject(button->GetHandle()); }

    std::vector<std::string>& notes = database.notes;
};

} // namespace

TEST_F(ButtonNodes, EachStateShowsItsImageInBothForms)
{
    ButtonNode* b4 = Button("images=\"B4\"");
    ASSERT_NE(b4, nullptr);
    EXPECT_EQ(b4->GetWorldRect(), Rect<float>(100, 50, 40, 20));
    EXPECT_EQ(DrawnFrames(b4->GetImages()), std::vector<int>{0});
    database.SetFocus(b4);
    // Four images have no focus frame: the focus shows as hot.
    EXPECT_EQ(DrawnFrames(b4->GetImages()), std::vector<int>{1});
    database.OnMouseDown(MouseButton(0), 110, 55);
    EXPECT_EQ(DrawnFrames(b4->GetImages()), std::vector<int>{2});
    // Dragged off while pressed: no longer down.
    database.OnMouseMove(300, 300);
    EXPECT_EQ(DrawnFrames(b4->GetImages()), std::vector<int>{1});
    database.OnMouseUp(MouseButton(0), 300, 300);
    b4->SetEnabled(false);
    EXPECT_EQ(DrawnFrames(b4->GetImages()), std::vector<int>{3});
    Discard(b4);

    ButtonNode* b5 = Button("images=\"B5\"");
    ASSERT_NE(b5, nullptr);
    database.SetFocus(b5);
    EXPECT_EQ(DrawnFrames(b5->GetImages()), std::vector<int>{4});
    database.OnMouseMove(110, 55);
    EXPECT_EQ(DrawnFrames(b5->GetImages()), std::vector<int>{1});
    Discard(b5);

    // Three-slice: the width comes from the element, the height from frame 0.
    ButtonNode* b12 = Button("images=\"B12\" width=\"35\"");
    ASSERT_NE(b12, nullptr);
    EXPECT_EQ(b12->GetWorldRect(), Rect<float>(100, 50, 35, 20));
    database.OnMouseMove(110, 55);
    EXPECT_EQ(DrawnFrames(b12->GetImages()), (std::vector<int>{3, 4, 4, 5}));
    database.OnMouseMove(0, 0);
    database.SetFocus(b12);
    EXPECT_EQ(DrawnFrames(b12->GetImages()), (std::vector<int>{3, 4, 4, 5}))
        << "no focus frames in 12 images";
    Discard(b12);

    ButtonNode* b15 = Button("images=\"B15\" width=\"35\"");
    ASSERT_NE(b15, nullptr);
    database.SetFocus(b15);
    EXPECT_EQ(DrawnFrames(b15->GetImages()), (std::vector<int>{12, 13, 13, 14}));
}

TEST_F(ButtonNodes, AClickNeedsAPressInsideAndAReleaseInsideWhileHoldingTheCapture)
{
    ButtonNode* button = Button("images=\"B4\"");
    ASSERT_NE(button, nullptr);

    // Press, drag out, release: no click, and the capture is gone.
    EXPECT_TRUE(database.OnMouseDown(MouseButton(0), 110, 55));
    EXPECT_EQ(database.GetCaptureHandle(), button->GetHandle());
    database.OnMouseMove(200, 55);
    database.OnMouseUp(MouseButton(0), 200, 55);
    EXPECT_EQ(database.GetCaptureHandle(), NoObjectHandle);
    EXPECT_EQ(notes, (std::vector<std::string>{"hover out"}));

    // Dragged back in before the release: a click, broadcast first.
    notes.clear();
    database.OnMouseDown(MouseButton(0), 110, 55);
    database.OnMouseMove(200, 55);
    database.OnMouseMove(139, 69);
    database.OnMouseUp(MouseButton(0), 139, 69);
    EXPECT_EQ(notes, (std::vector<std::string>{"hover out", "hover in", "ButtonClick b", "clickSignal"}));
    EXPECT_EQ(database.GetCaptureHandle(), NoObjectHandle);

    // Any mouse button presses it.
    notes.clear();
    database.OnMouseDown(MouseButton(1), 110, 55);
    database.OnMouseUp(MouseButton(1), 110, 55);
    database.OnMouseDown(MouseButton(2), 110, 55);
    database.OnMouseUp(MouseButton(2), 110, 55);
    EXPECT_EQ(notes,
              (std::vector<std::string>{"ButtonClick b", "clickSignal", "ButtonClick b", "clickSignal"}));

    // A release over the button that did not take the press clicks nothing; the right and bottom
    // edges are outside.
    notes.clear();
    EXPECT_FALSE(database.OnMouseDown(MouseButton(0), 140, 55));
    EXPECT_FALSE(database.OnMouseDown(MouseButton(0), 110, 70));
    database.OnMouseUp(MouseButton(0), 110, 55);
    EXPECT_EQ(notes, std::vector<std::string>{});

    // Hidden or disabled, it takes no press.
    root->SetVisible(false);
    root->RefreshTree(); // as the screen's update does
    EXPECT_FALSE(database.OnMouseDown(MouseButton(0), 110, 55));
    root->SetVisible(true);
    root->RefreshTree();
    button->SetEnabled(false);
    EXPECT_FALSE(database.OnMouseDown(MouseButton(0), 110, 55));
    EXPECT_FALSE(database.OnKeyDown(VK_RETURN));
    EXPECT_EQ(database.GetCaptureHandle(), NoObjectHandle);
    EXPECT_EQ(notes, std::vector<std::string>{});
}

TEST_F(ButtonNodes, KeysClickWithTheFocusOrThroughTheHotKey)
{
    struct Case
    {
        std::string keyCode;
        bool focused;
        int key;
        bool clicks;
    };
    const Case cases[] = {
        {"Escape", false, VK_ESCAPE, true},
        {"escape", false, VK_ESCAPE, true},
        {"VK_RETURN", false, VK_RETURN, true},
        {"q", false, 'Q', true},
        {"F5", false, VK_F5, true},
        {"GamePadB", false, 0x103, true},
        {"", false, VK_RETURN, false},
        {"", true, VK_RETURN, true},
        {"", true, VK_SPACE, true},
        {"", true, Key_GamePadA, true},
        {"", true, VK_ESCAPE, false},
        {"Bogus", false, 0, false},
        {"", false, 0, false},
    };
    for (const Case& c : cases)
    {
        ButtonNode* button = Button("images=\"B4\" keyCode=\"" + c.keyCode + "\"");
        ASSERT_NE(button, nullptr);
        database.SetFocus(c.focused ? button : nullptr);
        notes.clear();
        EXPECT_EQ(database.OnKeyDown(c.key), c.clicks) << c.keyCode << " " << c.key;
        EXPECT_EQ(notes.size(), c.clicks ? 2u : 0u) << c.keyCode << " " << c.key;
        Discard(button);
    }
}

TEST_F(ButtonNodes, HotAndDownPlayFromTheSoundList)
{
    ButtonNode* button = Button("images=\"B4\"");
    ASSERT_NE(button, nullptr);
    database.OnMouseMove(110, 55);
    database.OnMouseMove(120, 60);
    database.OnMouseMove(300, 60);
    database.OnMouseMove(110, 55);
    database.OnMouseDown(MouseButton(0), 110, 55);
    database.OnMouseUp(MouseButton(0), 110, 55);
    EXPECT_EQ(played, (std::vector<std::string>{"HotSound", "HotSound", "DownSound"}));
    EXPECT_EQ(notes, (std::vector<std::string>{"hover in", "hover out", "hover in", "ButtonClick b",
                                               "clickSignal"}));
    Discard(button);

    // Another list, or one that is not loaded: silent.
    played.clear();
    for (const char* sounds : {"Quiet", "Missing"})
    {
        ButtonNode* quiet = Button(std::string("images=\"B4\" sounds=\"") + sounds + "\"");
        ASSERT_NE(quiet, nullptr);
        database.OnMouseMove(300, 55);
        database.OnMouseMove(110, 55);
        database.OnMouseDown(MouseButton(0), 110, 55);
        database.OnMouseUp(MouseButton(0), 110, 55);
        Discard(quiet);
    }
    EXPECT_EQ(played, std::vector<std::string>{});
}

TEST_F(ButtonNodes, TheAlphaTestCanBeTurnedOff)
{
    for (const auto& [sensitivity, hits] : {std::pair{"25", false}, std::pair{"0", true}})
    {
        ButtonNode* button =
            Button(std::string("images=\"Corner\" alphaSensitivity=\"") + sensitivity + "\"");
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(database.OnMouseDown(MouseButton(0), 100, 50), hits) << sensitivity;
        EXPECT_TRUE(database.OnMouseDown(MouseButton(0), 101, 50)) << sensitivity;
        database.OnMouseUp(MouseButton(0), 101, 50);
        Discard(button);
    }
}

TEST_F(ButtonNodes, ACaptionOnlyButtonIsCentredOnItsPointAndDrawsItsCaptionCentred)
{
    auto* font = GetFontById(MakeName("F")).second;
    auto* button =
        new ButtonNode(ColorF(0, 0, 1, 1), L"abcd", MakeName("Caption"), {100, 50}, nullptr, 0, font);
    database.AddObject(button);
    button->SetParent(root);
    EXPECT_EQ(button->GetWorldRect(), Rect<float>(80, 44, 40, 12));
    EXPECT_EQ(button->GetName(), MakeName("Caption"));

    button->SetAlpha(0.5f);
    root->DrawTree({0, 0});
    ASSERT_EQ(Calls("Text").size(), 1u);
    const auto text = Calls("Text")[0];
    EXPECT_EQ(text.text, L"abcd");
    // Centred on (floor(80 + 41 / 2), floor(44 + 13 / 2)).
    EXPECT_EQ(text.x, 100.0f - 20.0f);
    EXPECT_EQ(text.y, 50.0f - 6.0f);
    EXPECT_EQ(text.state.color, ColorF(0, 0, 1, 0.5f));

    // From a layout the element places the box; a resource replaces the caption, not the size.
    ButtonNode* fromLayout = Button("font=\"F\" text=\"abcd\" textResource=\"OkText\" color=\"#FF0000FF\"");
    ASSERT_NE(fromLayout, nullptr);
    EXPECT_EQ(fromLayout->GetText(), L"Okay");
    EXPECT_EQ(fromLayout->GetWorldRect(), Rect<float>(100, 50, 40, 12));
    canvas.calls.clear();
    fromLayout->Draw({0, 0});
    ASSERT_EQ(Calls("Text").size(), 1u);
    EXPECT_EQ(Calls("Text")[0].text, L"Okay");
    EXPECT_EQ(Calls("Text")[0].state.color, ColorF(1, 0, 0, 1));
}
