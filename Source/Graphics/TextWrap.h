#pragma once
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
const ILineWidths& DefaultLineWidths();
} // namespace Graphics

struct WrappedLines
{
    // 0, the start of every further line, then the text length: n entries are n - 1 lines.
    std::vector<int> breaks;
    int widest = 0;
};

// Breaks at white space and U+000A; a word wider than its line is cut where it overflows.
void WrapText(std::wstring_view text, const Font* font, int width, const Graphics::ILineWidths& lineWidths,
              WrappedLines& out);
void WrapText(std::wstring_view text, const Font* font, int width, WrappedLines& out);

} // namespace Kestrin
