#pragma once
#include <string_view>

namespace Kestrin
{

class Image;

// Where a glyph lies in its font's image.
struct Glyph
{
    Image* image = nullptr;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// A bitmap font over the character codes 0 to 255.
class Font
{
public:
    virtual ~Font() = default;
    // A zeroed record for codes the font lacks.
    virtual void GetGlyph(wchar_t c, Glyph& glyph) const = 0;
    virtual int GetLineHeight() const = 0;
    // Pen advance from c when `next` follows it (0 after the last character).
    virtual int GetAdvance(wchar_t c, wchar_t next) const = 0;
};

// Sum of the advances of every character paired with the one after it.
int GetTextWidth(std::wstring_view text, const Font* font);

} // namespace Kestrin
