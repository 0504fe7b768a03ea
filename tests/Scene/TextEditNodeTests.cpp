#include "Scene/TextEditNode.h"

#include "Framework/Keys.h"
#include "Graphics/GraphicsResources.h"
#include "Scene/ButtonNode.h"

#include "Scene/NodeKindTestSupport.h"
#include "Support/GraphicsFakes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <string>
#include <vector>

using namespace Kestrin;
using namespace SceneTest;

namespace
{

const std::string kResources = "<testfont name=\"TF\" advance=\"10\" lineHeight=\"14\"/>"
                               "<testimages name=\"Field9\" count=\"9\" width=\"4\" height=\"6\"/>"
                               "<testimage name=\"Caret\" width=\"2\" height=\"14\"/>";

class TextEditNodes : public NodeKindTest
{
protected:
    TextEditNodes() { Resources(kResources); }
    ~TextEditNodes() override { SetKeyModifierSource(nullptr); }

    // A 108-pixel field at (100, 50): text area (4, 6) 100 x 18, 30 high.
    TextEditNode* Field(const std::string& attributes = "")
    {
        auto* field = BuildAs<TextEditNode>("<texteditnode name=\"Name\" font=\"TF\" fieldImages=\"Field9\" "
                                            "cursorImage=\"Caret\" width=\"108\" x=\"100\" y=\"50\" " +
                                            attributes + "/>");
        if (field)
            database.SetFocus(field);
        return field;
    }
    bool Key(int key) { return database.OnKeyDown(key); }
    bool Text(wchar_t c) { return database.OnText(c); }
    // As the window delivers letters: the key-down, then the character.
    void Type(const std::wstring& text)
    {
        for (wchar_t c : text)
        {
            Key(std::towupper(c));
            Text(c);
        }
    }
    size_t Changes() const { return size_t(std::count(notes.begin(), notes.end(), "TextEditChange name")); }

    std::vector<std::string>& notes = database.notes;
};

} // namespace

TEST_F(TextEditNodes, AClickTakesTheFocusThatKeysNeed)
{
    auto* field = BuildAs<TextEditNode>("<texteditnode font=\"TF\" fieldImages=\"Field9\" width=\"108\" "
                                        "x=\"100\" y=\"50\" maxCharacters=\"12\" maxStringWidth=\"99\"/>");
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(field->GetWorldRect(), Rect<float>(100, 50, 108, 30));
    EXPECT_EQ(field->GetEditor().maxCharacters, 12);
    EXPECT_EQ(field->GetEditor().maxStringWidth, 99);
    EXPECT_FALSE(Key('A'));
    EXPECT_FALSE(Text(L'a'));
    EXPECT_FALSE(database.OnMouseDown(MouseButton(0), 99, 60));
    EXPECT_TRUE(database.OnMouseDown(MouseButton(0), 100, 60));
    EXPECT_EQ(database.GetFocusHandle(), field->GetHandle());
    EXPECT_TRUE(Key('A'));
    EXPECT_EQ(field->GetText(), L""); // the character comes as text
    EXPECT_TRUE(Text(L'a'));
    EXPECT_EQ(field->GetText(), L"a");
}

TEST_F(TextEditNodes, LimitsSwallowTheEditAndEveryHandledKeyTells)
{
    TextEditNode* field = Field("maxCharacters=\"10\"");
    ASSERT_NE(field, nullptr);
    Type(L"abcdefghij");
    EXPECT_TRUE(Key('K'));
    EXPECT_TRUE(Text(L'k'));
    EXPECT_EQ(field->GetText(), L"abcdefghij");
    EXPECT_EQ(Changes(), 10u);
    database.RemoveObject(field->GetHandle());

    // 99 pixels: the tenth 10-pixel letter does not fit.
    notes.clear();
    field = Field("maxStringWidth=\"99\"");
    ASSERT_NE(field, nullptr);
    Type(L"abcdefghij");
    EXPECT_EQ(field->GetText(), L"abcdefghi");
    EXPECT_EQ(Changes(), 9u);

    // At the ends: Backspace and Left at 0, Delete at the end go unhandled; Enter, Tab and Escape
    // always do. Home, End and Right are caret moves and tell.
    struct Case
    {
        int key;
        bool handled;
    };
    for (const Case c : {Case{VK_HOME, true},
                         {VK_BACK, false},
                         {VK_LEFT, false},
                         {VK_END, true},
                         {VK_DELETE, false},
                         {VK_RIGHT, true},
                         {VK_RETURN, false},
                         {VK_TAB, false},
                         {VK_ESCAPE, false},
                         {VK_F1, false},
                         {int(Key_KeyboardMode), false}})
        EXPECT_EQ(Key(c.key), c.handled) << c.key;
    EXPECT_EQ(Changes(), 9u + 3u);
    EXPECT_TRUE(Key(VK_BACK));
    EXPECT_TRUE(Key(VK_HOME));
    EXPECT_TRUE(Key(VK_DELETE));
    EXPECT_EQ(field->GetText(), L"bcdefgh");
}

TEST_F(TextEditNodes, CharactersComeFromTextAndTypingKeysFireNoHotKey)
{
    // A button whose hot key is Q: typing a Q into the field must not press it.
    auto* button = BuildAs<ButtonNode>("<buttonnode name=\"Quit\" keyCode=\"Q\" x=\"0\" y=\"0\"/>");
    uint32_t modifiers = KeyModifier_Shift;
    SetKeyModifierSource([&modifiers] { return modifiers; });
    TextEditNode* field = Field();
    ASSERT_TRUE(field && button);
    // Each typing key is taken, once, and its character arrives as text: Shift+Q, Shift+1 giving
    // a digit, the e key after a dead circumflex giving one composed character.
    for (auto [key, text] : {std::pair{'Q', L'Q'}, {'1', L'1'}, {'E', L'\u00ca'}})
    {
        EXPECT_TRUE(Key(key));
        EXPECT_TRUE(Text(text));
    }
    EXPECT_EQ(field->GetText(), L"Q1\u00ca");
    EXPECT_EQ(Changes(), 3u);
    EXPECT_EQ(std::count(notes.begin(), notes.end(), "ButtonClick quit"), 0);

    // Ctrl+Q types nothing: the hot key has it. F1 is nobody's.
    modifiers = KeyModifier_Control;
    EXPECT_TRUE(Key('Q'));
    EXPECT_EQ(std::count(notes.begin(), notes.end(), "ButtonClick quit"), 1);
    EXPECT_FALSE(Key(VK_F1));
    EXPECT_EQ(field->GetText(), L"Q1\u00ca");
}

TEST_F(TextEditNodes, TheTextScrollsToKeepTheCaretInTheClippedTextArea)
{
    TextEditNode* field = Field();
    ASSERT_NE(field, nullptr);
    Type(L"abcdefghijk");
    // 110 pixels of text in a 100-pixel area: scrolled 10 left.
    EXPECT_EQ(field->GetEditor().GetScroll(), -10.0f);
    canvas.calls.clear();
    root->DrawTree({0, 0});
    auto texts = Calls("Text");
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].x, 94.0f);
    EXPECT_EQ(texts[0].y, 56.0f);
    EXPECT_EQ(texts[0].state.clipRect, Rect<int>(104, 56, 100, 18));
    // The caret centred on its place at the area's right edge.
    IImage* caret = GetImage(MakeName("Caret")).second;
    EXPECT_EQ(Calls("Image").back().image, caret);
    EXPECT_EQ(Calls("Image").back().x, 203.0f);

    EXPECT_TRUE(Key(VK_HOME));
    EXPECT_EQ(field->GetEditor().GetScroll(), 0.0f);
    EXPECT_EQ(field->GetEditor().GetCaretX(), 4.0f);
}

TEST_F(TextEditNodes, TheCaretBlinksOnTheStepClockWhileFocused)
{
    TextEditNode* field = Field();
    ASSERT_NE(field, nullptr);
    IImage* caret = GetImage(MakeName("Caret")).second;
    auto caretShown = [&]
    {
        canvas.calls.clear();
        root->DrawTree({0, 0});
        for (const auto& call : Calls("Image"))
            if (call.image == caret)
                return true;
        return false;
    };
    std::vector<bool> shown;
    for (int step = 0; step < 100; ++step)
    {
        if (step % 25 == 10)
            shown.push_back(caretShown());
        database.Update(0.02f);
    }
    EXPECT_EQ(shown, (std::vector<bool>{true, false, true, false}));
    database.SetFocus(nullptr);
    database.Update(0.5f);
    EXPECT_FALSE(caretShown());
}

TEST_F(TextEditNodes, AFieldWithoutPiecesOrFontStillBuilds)
{
    // No frame pieces: the text area is one line high (the middle row has no height to repeat).
    auto* bare = BuildAs<TextEditNode>("<texteditnode font=\"TF\" width=\"50\"/>");
    ASSERT_NE(bare, nullptr);
    EXPECT_EQ(bare->GetWorldRect().h, 14.0f);
    // No font either: nothing measures, nothing draws, keys still edit.
    auto* blank = BuildAs<TextEditNode>("<texteditnode width=\"50\"/>");
    ASSERT_NE(blank, nullptr);
    EXPECT_EQ(blank->GetWorldRect().h, 0.0f);
    database.SetFocus(blank);
    EXPECT_TRUE(Text(L'q'));
    EXPECT_EQ(blank->GetText(), L"q");
    canvas.calls.clear();
    root->DrawTree({0, 0});
    for (const auto& call : Calls("Text"))
        EXPECT_NE(call.text, L"q");
}
