#include "Framework/Keys.h"

#include <gtest/gtest.h>

#include <string>

using namespace Kestrin;

namespace
{
constexpr uint32_t Shift = KeyModifier_Shift, Ctrl = KeyModifier_Control, Alt = KeyModifier_Alt,
                   Caps = KeyModifier_CapsLock, Num = KeyModifier_NumLock;

std::string Describe(int vk, uint32_t modifiers)
{
    return "vk " + std::to_string(vk) + " modifiers " + std::to_string(modifiers);
}
} // namespace

TEST(Keys, TranslateKeyTypesWhatAUsLayoutTypes)
{
    struct Case
    {
        int vk;
        uint32_t modifiers;
        int count;
        char character;
    };
    const Case cases[] = {
        // Letters: Shift and Caps Lock each raise, together cancel.
        {'A', 0, 1, 'a'},
        {'Z', Shift, 1, 'Z'},
        {'Q', Caps, 1, 'Q'},
        {'Q', Caps | Shift, 1, 'q'},
        {'B', Alt, 1, 'b'},
        // Ctrl: letters give control codes, everything else nothing; Ctrl+Alt nothing at all.
        {'A', Ctrl, 1, 1},
        {'C', Ctrl | Shift, 1, 3},
        {'Z', Ctrl, 1, 26},
        {'A', Ctrl | Alt, 0, 0},
        {'1', Ctrl, 0, 0},
        {VK_OEM_COMMA, Ctrl, 0, 0},
        // Digits: Shift gives the upper symbols, Caps Lock does not.
        {'1', 0, 1, '1'},
        {'1', Shift, 1, '!'},
        {'2', Shift | Caps, 1, '@'},
        {'0', Shift, 1, ')'},
        {'9', Caps, 1, '9'},
        // Punctuation keys.
        {VK_OEM_1, 0, 1, ';'},
        {VK_OEM_1, Shift, 1, ':'},
        {VK_OEM_COMMA, 0, 1, ','},
        {VK_OEM_2, Shift, 1, '?'},
        {VK_OEM_3, Shift, 1, '~'},
        {VK_OEM_5, 0, 1, '\\'},
        {VK_OEM_7, Shift, 1, '"'},
        {VK_OEM_7, Caps, 1, '\''},
        // The number pad types digits only with Num Lock; its operators always.
        {VK_NUMPAD0 + 7, Num, 1, '7'},
        {VK_NUMPAD0 + 7, 0, 0, 0},
        {VK_DECIMAL, Num, 1, '.'},
        {VK_DECIMAL, 0, 0, 0},
        {VK_MULTIPLY, 0, 1, '*'},
        {VK_DIVIDE, Shift, 1, '/'},
        // Keys that type control characters, as the system's translation does.
        {VK_SPACE, Shift, 1, ' '},
        {VK_RETURN, 0, 1, '\r'},
        {VK_BACK, 0, 1, '\b'},
        {VK_TAB, 0, 1, '\t'},
        {VK_ESCAPE, 0, 1, 27},
        // Keys that type nothing, and codes outside the keyboard's.
        {VK_LEFT, 0, 0, 0},
        {VK_F1, Shift, 0, 0},
        {VK_SHIFT, Shift, 0, 0},
        {VK_CAPITAL, Caps, 0, 0},
        {0, 0, 0, 0},
        {-65, 0, 0, 0},
        {Key_GamePadA, 0, 0, 0},
        {Key_KeyboardMode, 0, 0, 0},
        {0x141, 0, 0, 0}, // 'A' + 256 must not wrap onto 'A'
    };
    for (const Case& c : cases)
        EXPECT_EQ(TranslateKey(c.vk, c.modifiers), (KeyTranslation{c.count, c.character}))
            << Describe(c.vk, c.modifiers);
}

TEST(Keys, PunctuationIsAsciiPunctuationAndTheWindows1252Symbols)
{
    const std::string ascii = "!\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~";
    const std::string high = "\x80\x82\x84\x85\x86\x87\x89\x8B\x91\x92\x93\x94\x95\x96\x97\x98\x99\x9B"
                             "\xA1\xA2\xA3\xA4\xA5\xA6\xA7\xA8\xA9\xAB\xAC\xAE\xAF\xB0\xB1\xB4\xB6\xB7\xB8"
                             "\xBB\xBF\xD7\xF7";
    const std::string punctuation = ascii + high;
    int count = 0;
    for (int c = 0; c < 256; ++c)
    {
        const bool expected = punctuation.find(char(c)) != std::string::npos;
        EXPECT_EQ(IsPunct8(static_cast<unsigned char>(c)), expected) << "code " << c;
        count += IsPunct8(static_cast<unsigned char>(c));
    }
    EXPECT_EQ(count, 32 + 41);
    // What a text field gets back from the translation, as a plain (signed) char.
    EXPECT_TRUE(IsPunct8(char('\xAB')));
    for (char c : {'a', 'Z', '5', ' ', '\r', '\x83', '\xAA', '\xAD', '\xB2', '\xB5', '\xC9', '\xFF', '\xA0'})
        EXPECT_FALSE(IsPunct8(c)) << int(static_cast<unsigned char>(c));
}

TEST(Keys, TheModifiersComeFromTheInstalledSource)
{
    EXPECT_EQ(GetKeyModifiers(), 0u);
    uint32_t held = Shift | Caps;
    SetKeyModifierSource([&] { return held; });
    EXPECT_EQ(TranslateKey('G'), (KeyTranslation{1, 'g'}));
    held = Shift;
    EXPECT_EQ(TranslateKey('G'), (KeyTranslation{1, 'G'}));
    SetKeyModifierSource(nullptr);
    EXPECT_EQ(GetKeyModifiers(), 0u);
    EXPECT_EQ(TranslateKey('G'), (KeyTranslation{1, 'g'}));
}
