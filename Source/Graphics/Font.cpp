#include "Graphics/Font.h"

#include "Framework/Keys.h"
#include "Graphics/Image.h"

#include <algorithm>
#include <cstdint>

namespace Kestrin
{

ImageFont::ImageFont() = default;
ImageFont::~ImageFont() = default;

ImageFont::ImageFont(ImageFont&& other) noexcept
    : top(other.top), lineHeight(other.lineHeight), spacing(other.spacing), proportional(other.proportional),
      spaceWidth(other.spaceWidth), kerning(std::move(other.kerning)), glyphs(other.glyphs),
      advances(other.advances), image(std::move(other.image))
{
}

namespace
{
// wchar_t is signed here: a negative code must not index before the tables.
bool InFont(wchar_t c)
{
    return uint32_t(c) < 256;
}
} // namespace

void ImageFont::GetGlyph(wchar_t c, Glyph& glyph) const
{
    if (!InFont(c))
    {
        glyph = Glyph();
        return;
    }
    const GlyphRect& rect = glyphs[size_t(c)];
    glyph.image = image.get();
    glyph.x = rect.x;
    glyph.y = rect.y;
    glyph.width = rect.width;
    glyph.height = rect.height;
}

int ImageFont::GetAdvance(wchar_t c, wchar_t next) const
{
    if (!InFont(c))
        return 0;
    if (!proportional)
        return spacing;
    // A description may hold any int; sums saturate rather than wrap.
    int64_t advance = int64_t(c == L' ' ? spaceWidth : advances[size_t(c)]) + spacing;
    if (kerning && InFont(next))
        advance += kerning[size_t(c) * 256 + size_t(next)];
    return int(std::clamp<int64_t>(advance, INT32_MIN, INT32_MAX));
}

int GetTextWidth(std::wstring_view text, const Font* font)
{
    if (!font)
        return 0;
    int64_t width = 0;
    for (size_t i = 0; i < text.size(); ++i)
        width += font->GetAdvance(text[i], i + 1 < text.size() ? text[i + 1] : L'\0');
    return int(std::clamp<int64_t>(width, INT32_MIN, INT32_MAX));
}

namespace
{
struct KeyName
{
    const wchar_t* name;
    int code;
};

// In the order they are matched.
const KeyName kKeyNames[] = {
    {L"Backspace", VK_BACK},
    {L"Tab", VK_TAB},
    {L"Enter", VK_RETURN},
    {L"Escape", VK_ESCAPE},
    {L"Space", VK_SPACE},
    {L"Left", VK_LEFT},
    {L"Up", VK_UP},
    {L"Right", VK_RIGHT},
    {L"Down", VK_DOWN},
    {L"Insert", VK_INSERT},
    {L"Delete", VK_DELETE},
    {L"PageUp", VK_PRIOR},
    {L"PageDown", VK_NEXT},
    {L"Home", VK_HOME},
    {L"End", VK_END},
    {L"F1", VK_F1},
    {L"F2", VK_F2},
    {L"F3", VK_F3},
    {L"F4", VK_F4},
    {L"F5", VK_F5},
    {L"F6", VK_F6},
    {L"F7", VK_F7},
    {L"F8", VK_F8},
    {L"F9", VK_F9},
    {L"F10", VK_F10},
    {L"F11", VK_F11},
    {L"F12", VK_F12},
    {L"Start", Key_Start},
    {L"Select", Key_Select},
    {L"GamePadA", Key_GamePadA},
    {L"GamePadB", Key_GamePadB},
    {L"GamePadX", Key_GamePadX},
    {L"GamePadY", Key_GamePadY},
    {L"GamePadL", Key_GamePadL},
    {L"GamePadR", Key_GamePadR},
    {L"VK_RETURN", VK_RETURN},
    {L"VK_ESCAPE", VK_ESCAPE},
};

wchar_t AsciiUpper(wchar_t c)
{
    return c >= L'a' && c <= L'z' ? wchar_t(c - L'a' + L'A') : c;
}

bool EqualNoCase(std::wstring_view a, std::wstring_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (AsciiUpper(a[i]) != AsciiUpper(b[i]))
            return false;
    return true;
}
} // namespace

int KeyNameToVirtualKey(const wchar_t* name)
{
    if (!name || !*name)
        return 0;
    const std::wstring_view text(name);
    if (text.size() == 1 && uint32_t(text[0]) < 0x80)
        return int(AsciiUpper(text[0]));
    for (const KeyName& key : kKeyNames)
        if (EqualNoCase(text, key.name))
            return key.code;
    return 0;
}

} // namespace Kestrin
