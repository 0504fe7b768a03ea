#pragma once
#include "Base/Geometry.h"

#include <string_view>
#include <vector>

namespace Kestrin
{

class Font;

namespace Graphics
{
// The usable width of each line of a wrapped text.
class ILineWidths
{
public:
    virtual ~ILineWidths() = default;
    virtual int GetWidth(int line, int width) const = 0;
};

// Every line as wide as asked.
class FullLineWidths : public ILineWidths
{
public:
    constexpr FullLineWidths() = default;
    int GetWidth(int, int width) const override { return width; }
};
inline const FullLineWidths cDefaultLineWidths;

const ILineWidths& DefaultLineWidths();
} // namespace Graphics

// Where text breaks: U+0009..U+000D and U+0020. One fixed set, so a layout is the same on every
// system and in every locale (the no-break space stays inside its word).
constexpr bool IsTextSpace(wchar_t c)
{
    return c == L' ' || (c >= 0x09 && c <= 0x0D);
}

struct WrappedLines
{
    // 0, the start of every further line, then the text length: n entries are n - 1 lines.
    std::vector<int> breaks;
    int widest = 0;
};

// Breaks at white space and U+000A; a word wider than its line is cut where it overflows, and a
// line keeps at least one character however narrow it is. Words may be of any length.
void WrapText(std::wstring_view text, const Font* font, int width, const Graphics::ILineWidths& lineWidths,
              WrappedLines& out);
void WrapText(std::wstring_view text, const Font* font, int width, WrappedLines& out);

// {widest line, line height x lines} of the text wrapped to the width.
Vector2<int> MeasureWrappedText(std::wstring_view text, const Font* font, int width);

} // namespace Kestrin
