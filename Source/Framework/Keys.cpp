#include "Framework/Keys.h"

#include <array>
#include <utility>

namespace Kestrin
{

namespace
{

struct SymbolKey
{
    int vk;
    char plain;
    char shifted;
};

constexpr SymbolKey kSymbolKeys[] = {
    {VK_OEM_1, ';', ':'},      {VK_OEM_PLUS, '=', '+'}, {VK_OEM_COMMA, ',', '<'}, {VK_OEM_MINUS, '-', '_'},
    {VK_OEM_PERIOD, '.', '>'}, {VK_OEM_2, '/', '?'},    {VK_OEM_3, '`', '~'},     {VK_OEM_4, '[', '{'},
    {VK_OEM_5, '\\', '|'},     {VK_OEM_6, ']', '}'},    {VK_OEM_7, '\'', '"'},    {VK_MULTIPLY, '*', '*'},
    {VK_ADD, '+', '+'},        {VK_SUBTRACT, '-', '-'}, {VK_DIVIDE, '/', '/'},    {VK_SPACE, ' ', ' '},
    {VK_RETURN, '\r', '\r'},   {VK_BACK, '\b', '\b'},   {VK_TAB, '\t', '\t'},     {VK_ESCAPE, 27, 27},
};

constexpr char kShiftedDigits[] = ")!@#$%^&*(";

// Windows-1252 punctuation and symbols above 0x7F, as ranges.
constexpr std::pair<int, int> kHighPunctuation[] = {
    {0x80, 0x80}, // euro sign
    {0x82, 0x82}, {0x84, 0x87}, {0x89, 0x89}, {0x8B, 0x8B},
    {0x91, 0x99}, {0x9B, 0x9B}, {0xA1, 0xA9}, // inverted exclamation mark to copyright sign
    {0xAB, 0xAC}, {0xAE, 0xB1}, {0xB4, 0xB4}, {0xB6, 0xB8},
    {0xBB, 0xBB}, {0xBF, 0xBF}, {0xD7, 0xD7}, // multiplication sign
    {0xF7, 0xF7},                             // division sign
};

constexpr std::array<bool, 256> MakePunctuationTable()
{
    std::array<bool, 256> table{};
    for (int c = 0x21; c <= 0x7E; ++c)
        table[size_t(c)] = !((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'));
    for (auto [first, last] : kHighPunctuation)
        for (int c = first; c <= last; ++c)
            table[size_t(c)] = true;
    return table;
}

constexpr std::array<bool, 256> kPunctuation = MakePunctuationTable();

KeyTranslation One(char c)
{
    return {1, c};
}

// Main thread only, like the key events it serves.
KeyModifierSource& Source()
{
    static KeyModifierSource source;
    return source;
}

} // namespace

KeyTranslation TranslateKey(int vk, uint32_t modifiers)
{
    if (vk <= 0 || vk > 255)
        return {};
    const bool shift = modifiers & KeyModifier_Shift;
    const bool control = modifiers & KeyModifier_Control;
    const bool alt = modifiers & KeyModifier_Alt;
    if (control && alt)
        return {}; // the US layout has nothing on AltGr
    if (vk >= VK_A && vk <= VK_A + 25)
    {
        if (control)
            return One(char(vk - VK_A + 1));
        const bool upper = shift != bool(modifiers & KeyModifier_CapsLock);
        return One(char(upper ? vk : vk - VK_A + 'a'));
    }
    if (control)
        return {};
    if (vk >= VK_0 && vk <= VK_0 + 9)
        return One(shift ? kShiftedDigits[vk - VK_0] : char(vk));
    if ((vk >= VK_NUMPAD0 && vk <= VK_NUMPAD0 + 9) || vk == VK_DECIMAL)
    {
        // Without Num Lock these keys move the caret.
        if (!(modifiers & KeyModifier_NumLock))
            return {};
        return One(vk == VK_DECIMAL ? '.' : char('0' + (vk - VK_NUMPAD0)));
    }
    for (const SymbolKey& key : kSymbolKeys)
        if (key.vk == vk)
            return One(shift ? key.shifted : key.plain);
    return {};
}

KeyTranslation TranslateKey(int vk)
{
    return TranslateKey(vk, GetKeyModifiers());
}

bool IsPunct8(unsigned char c)
{
    return kPunctuation[c];
}

uint32_t GetKeyModifiers()
{
    const KeyModifierSource& source = Source();
    return source ? source() : 0;
}

void SetKeyModifierSource(KeyModifierSource source)
{
    Source() = std::move(source);
}

} // namespace Kestrin
