#include "Graphics/Font.h"

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
    {L"Backspace", 8},  {L"Tab", 9},        {L"Enter", 13},     {L"Escape", 27},    {L"Space", 32},
    {L"Left", 37},      {L"Up", 38},        {L"Right", 39},     {L"Down", 40},      {L"Insert", 45},
    {L"Delete", 46},    {L"PageUp", 33},    {L"PageDown", 34},  {L"Home", 36},      {L"End", 35},
    {L"F1", 112},       {L"F2", 113},       {L"F3", 114},       {L"F4", 115},       {L"F5", 116},
    {L"F6", 117},       {L"F7", 118},       {L"F8", 119},       {L"F9", 120},       {L"F10", 121},
    {L"F11", 122},      {L"F12", 123},      {L"Start", 256},    {L"Select", 257},   {L"GamePadA", 258},
    {L"GamePadB", 259}, {L"GamePadX", 260}, {L"GamePadY", 261}, {L"GamePadL", 262}, {L"GamePadR", 263},
    {L"VK_RETURN", 13}, {L"VK_ESCAPE", 27},
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
