#include "UI/TextEditCore.h"

#include "Framework/Keys.h"
#include "Graphics/Font.h"

#include "UITestSupport.h"

#include <gtest/gtest.h>

using namespace UITest;
using Result = TextEditCore::KeyResult;

namespace
{
// A frame of 4-pixel columns and rows, 7 high in the middle.
std::unique_ptr<ImageList> Field(int middleHeight = 7)
{
    auto list = std::make_unique<ImageList>();
    for (int i = 0; i < 9; ++i)
        list->AddOwnedImage(KestrinTest::FilledImage(4, i / 3 == 1 ? middleHeight : 4, 0xFF000000).release());
    return list;
}

void Type(TextEditCore& core, const wchar_t* text)
{
    for (const wchar_t* c = text; *c; ++c)
        core.OnText(*c);
}
} // namespace

TEST(TextEditCore, FrameHoldsWholeMiddleRowsAroundOneLine)
{
    auto field = Field();
    FakeFont font(5, 15);
    TextEditCore core(field.get(), nullptr, 108, &font);
    EXPECT_EQ(core.GetTextArea(), (Rect<float>(4, 4, 100, 21))); // three rows of 7 hold 15
    EXPECT_EQ(core.GetHeight(), 29.0f);
    EXPECT_EQ(core.GetCaretX(), 4.0f);

    // A middle row of height 0 would never reach the line height: the line's own height is taken.
    auto flat = Field(0);
    TextEditCore flatCore(flat.get(), nullptr, 50, &font);
    EXPECT_EQ(flatCore.GetTextArea().h, 15.0f);
    TextEditCore bare(nullptr, nullptr, 50, nullptr);
    EXPECT_EQ(bare.GetHeight(), 0.0f);
    EXPECT_EQ(bare.OnText(L'a'), Result::Edited); // no font: text of width 0, no crash
}

TEST(TextEditCore, KeysEditAtTheCaretAndTextTypesThere)
{
    auto field = Field();
    FakeFont font(5, 15);
    TextEditCore core(field.get(), nullptr, 108, &font);
    Type(core, L"ab1 ");
    EXPECT_EQ(core.GetText(), L"ab1 ");
    struct Case
    {
        int key;
        uint32_t modifiers;
        wchar_t typed; // not 0: a character arriving as text instead of a key
        Result result;
        const wchar_t* text;
        unsigned caret;
    };
    const Case cases[] = {
        {VK_LEFT, 0, 0, Result::Edited, L"ab1 ", 3},
        {VK_BACK, 0, 0, Result::Edited, L"ab ", 2},
        {'1', KeyModifier_Shift, 0, Result::Typing, L"ab ", 2}, // the layout says what it types
        {0, 0, L'!', Result::Edited, L"ab! ", 3},
        {VK_OEM_COMMA, 0, 0, Result::Typing, L"ab! ", 3},
        {0, 0, L'\u00e9', Result::Edited, L"ab!\u00e9 ", 4},
        {VK_HOME, 0, 0, Result::Edited, L"ab!\u00e9 ", 0},
        {VK_BACK, 0, 0, Result::NotHandled, L"ab!\u00e9 ", 0}, // at the start: nothing to erase
        {VK_LEFT, 0, 0, Result::NotHandled, L"ab!\u00e9 ", 0},
        {VK_DELETE, 0, 0, Result::Edited, L"b!\u00e9 ", 0},
        {VK_END, 0, 0, Result::Edited, L"b!\u00e9 ", 4},
        {VK_DELETE, 0, 0, Result::NotHandled, L"b!\u00e9 ", 4},
        {VK_RIGHT, 0, 0, Result::Edited, L"b!\u00e9 ", 4},
        {'C', KeyModifier_Control, 0, Result::NotHandled, L"b!\u00e9 ", 4}, // a control code
        {VK_F1, 0, 0, Result::NotHandled, L"b!\u00e9 ", 4},
        {VK_RETURN, 0, 0, Result::NotHandled, L"b!\u00e9 ", 4},
        {VK_TAB, 0, 0, Result::NotHandled, L"b!\u00e9 ", 4},
        {VK_ESCAPE, 0, 0, Result::NotHandled, L"b!\u00e9 ", 4},
        {Key_KeyboardMode, 0, 0, Result::NotHandled, L"b!\u00e9 ", 4},
        {Key_GamePadA, 0, 0, Result::NotHandled, L"b!\u00e9 ", 4},
        {0, 0, L'\t', Result::NotHandled, L"b!\u00e9 ", 4},
        {0, 0, L'\u0085', Result::NotHandled, L"b!\u00e9 ", 4}, // a Latin-1 control code
        {0, 0, L'\u20ac', Result::NotHandled, L"b!\u00e9 ", 4}, // past Latin-1
        {0, 0, L'\u00ff', Result::Edited, L"b!\u00e9 \u00ff", 5},
    };
    for (const Case& c : cases)
    {
        const Result result = c.typed ? core.OnText(c.typed) : core.OnKey(c.key, c.modifiers);
        EXPECT_EQ(result, c.result) << c.key << " " << int(c.typed);
        EXPECT_EQ(core.GetText(), c.text) << c.key << " " << int(c.typed);
        EXPECT_EQ(core.GetCaret(), c.caret) << c.key << " " << int(c.typed);
    }
}

TEST(TextEditCore, KeysNeverTypeAndTextTakesOnlyWhatTheFontHas)
{
    auto field = Field();
    FakeFont font(1, 15);
    for (uint32_t modifiers : {0u, uint32_t(KeyModifier_Shift), uint32_t(KeyModifier_Control),
                               uint32_t(KeyModifier_NumLock | KeyModifier_CapsLock)})
    {
        TextEditCore core(field.get(), nullptr, 108, &font);
        for (int key : {-1, 0x7FFFFFFF, int(0x80000000)})
            EXPECT_EQ(core.OnKey(key, modifiers), Result::NotHandled);
        for (int key = 0; key < 0x300; ++key)
            core.OnKey(key, modifiers);
        EXPECT_EQ(core.GetText(), L"") << modifiers;
    }

    // A font with the printable ASCII glyphs alone: the space needs none, an e acute is refused.
    ImageFont ascii;
    ascii.lineHeight = 15;
    ascii.spacing = 6;
    for (int c = 0x21; c < 0x7F; ++c)
        ascii.glyphs[size_t(c)] = {c * 6, 0, 5, 15};
    TextEditCore core(field.get(), nullptr, 108, &ascii);
    for (int c = -1; c < 0x400; ++c)
    {
        const bool printableAscii = c >= 0x20 && c < 0x7F;
        EXPECT_EQ(core.OnText(wchar_t(c)), printableAscii ? Result::Edited : Result::NotHandled) << c;
    }
    EXPECT_EQ(core.GetText().size(), 0x5Fu);
}

TEST(TextEditCore, LimitsRefuseTheWholeEdit)
{
    auto field = Field();
    FakeFont font(10, 15);
    TextEditCore core(field.get(), nullptr, 108, &font);
    core.maxCharacters = 3;
    Type(core, L"abc");
    EXPECT_EQ(core.OnText(L'd'), Result::Refused);
    EXPECT_EQ(core.GetText(), L"abc");
    EXPECT_EQ(core.GetCaret(), 3u);

    core.maxCharacters = -1;
    core.maxStringWidth = 40;
    EXPECT_EQ(core.OnText(L'd'), Result::Edited); // 40 wide
    EXPECT_EQ(core.OnText(L'e'), Result::Refused);

    // Set later, the character limit cuts a text set again.
    core.maxCharacters = 2;
    core.SetText(core.GetText());
    EXPECT_EQ(core.GetText(), L"ab");
    EXPECT_EQ(core.GetCaret(), 2u);
}

TEST(TextEditCore, ATextOverALimitCanStillBeShortenedButNotLengthened)
{
    // A stored name wider than the field's limit froze it: not even Backspace was taken.
    auto field = Field();
    FakeFont font(10, 15);
    TextEditCore core(field.get(), nullptr, 108, &font);
    core.maxStringWidth = 50;
    core.SetText(L"abcdefghij"); // 100 wide
    EXPECT_EQ(core.OnKey(VK_END, 0), Result::Edited);
    EXPECT_EQ(core.GetCaret(), 10u);
    EXPECT_EQ(core.OnText(L'k'), Result::Refused);
    EXPECT_EQ(core.OnKey(VK_BACK, 0), Result::Edited);
    EXPECT_EQ(core.GetText(), L"abcdefghi");

    // A character limit lowered under the text leaves it whole; each Backspace takes one character.
    core.maxStringWidth = -1;
    core.maxCharacters = 4;
    EXPECT_EQ(core.GetText(), L"abcdefghi");
    EXPECT_EQ(core.OnKey(VK_BACK, 0), Result::Edited);
    EXPECT_EQ(core.GetText(), L"abcdefgh");
    EXPECT_EQ(core.OnKey(VK_HOME, 0), Result::Edited);
    EXPECT_EQ(core.OnKey(VK_DELETE, 0), Result::Edited);
    EXPECT_EQ(core.GetText(), L"bcdefgh");
    EXPECT_EQ(core.OnText(L'k'), Result::Refused);
    EXPECT_EQ(core.GetText(), L"bcdefgh");

    // Any negative limit is no limit, for keys as for SetText.
    core.maxStringWidth = -1;
    core.maxCharacters = -5;
    core.OnKey(VK_END, 0);
    Type(core, L"klm");
    EXPECT_EQ(core.GetText(), L"bcdefghklm");
}

TEST(TextEditCore, AFontSetLaterMeasuresTheCaretTheLimitAndTheHeight)
{
    auto field = Field();
    FakeFont small(5, 7), big(10, 15);
    TextEditCore core(field.get(), nullptr, 108, &small);
    EXPECT_EQ(core.GetHeight(), 15.0f); // one row of 7 holds 7
    core.SetText(L"ab");
    core.OnKey(VK_END, 0);
    EXPECT_EQ(core.GetCaretX(), 14.0f);

    core.SetFont(&big);
    EXPECT_EQ(core.GetHeight(), 29.0f);
    EXPECT_EQ(core.GetCaretX(), 24.0f);
    core.maxStringWidth = 30;
    EXPECT_EQ(core.OnText(L'c'), Result::Edited);
    EXPECT_EQ(core.OnText(L'd'), Result::Refused); // 40 wide in the new font, 20 in the old
}

TEST(TextEditCore, ScrollKeepsTheCaretInTheTextArea)
{
    auto field = Field();
    FakeFont font(10, 15);
    TextEditCore core(field.get(), nullptr, 58, &font); // text area 4..54
    Type(core, L"abcde");
    EXPECT_EQ(core.GetScroll(), 0.0f);
    Type(core, L"fg"); // caret at 4 + 70
    EXPECT_EQ(core.GetCaretX(), 74.0f);
    EXPECT_EQ(core.GetCaretX() + core.GetScroll(), 54.0f);
    core.OnKey(VK_HOME, 0);
    EXPECT_EQ(core.GetCaretX() + core.GetScroll(), 4.0f);
    EXPECT_EQ(core.GetScroll(), 0.0f);
}

TEST(TextEditCore, CaretBlinksAtTwoFramesASecond)
{
    auto cursor = KestrinTest::FilledImage(1, 10, 0xFFFFFFFF);
    auto field = Field();
    TextEditCore core(field.get(), cursor.get(), 58, nullptr);
    RecordingCanvas canvas;
    const Graphics::DrawState state;
    for (float t : {0.0f, 0.25f, 0.5f, 0.75f, 1.0f})
    {
        canvas.calls.clear();
        core.DrawCaret(7, 8, state, &canvas);
        const bool shown = !canvas.calls.empty() && canvas.calls[0].image == cursor.get();
        EXPECT_EQ(shown, t != 0.5f && t != 0.75f) << t;
        core.Advance(0.25f);
    }
}
