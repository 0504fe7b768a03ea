#include "Graphics/TextWrap.h"

#include "Graphics/Font.h"

#include <algorithm>
#include <cwctype>

namespace Kestrin
{

namespace Graphics
{
namespace
{
class FullLineWidths : public ILineWidths
{
public:
    int GetWidth(int, int width) const override { return width; }
};
} // namespace

const ILineWidths& DefaultLineWidths()
{
    static const FullLineWidths widths;
    return widths;
}
} // namespace Graphics

namespace
{
// Characters [first, last] measured as one word: each pairs with the next, the last with 0.
int WordWidth(std::wstring_view text, size_t first, size_t last, const Font* font)
{
    if (first > last || first >= text.size())
        return 0;
    return GetTextWidth(text.substr(first, last - first + 1), font);
}

bool IsSpace(wchar_t c)
{
    return std::iswspace(wint_t(c)) != 0;
}
} // namespace

void WrapText(std::wstring_view text, const Font* font, int width, const Graphics::ILineWidths& lineWidths,
              WrappedLines& out)
{
    out.breaks.assign(1, 0);
    out.widest = 0;
    int current = 0;
    size_t wordStart = 0;
    size_t widthLine = 0;
    int usable = lineWidths.GetWidth(0, width);

    for (size_t p = 0;;)
    {
        if (out.breaks.size() - 1 != widthLine)
        {
            widthLine = out.breaks.size() - 1;
            usable = lineWidths.GetWidth(int(widthLine), width);
        }
        if (p >= text.size())
        {
            current += WordWidth(text, wordStart, text.size() - 1, font);
            out.widest = std::max(out.widest, current);
            out.breaks.push_back(int(text.size()));
            return;
        }

        int word = WordWidth(text, wordStart, p, font);
        if (IsSpace(text[p]))
        {
            current += word;
            wordStart = p + 1;
            out.widest = std::max(out.widest, current);
            if (text[p] == L'\n')
            {
                out.breaks.push_back(int(p + 1));
                current = 0;
                ++p;
                continue;
            }
            word = 0;
        }

        if (usable < word + current)
        {
            const size_t lineStart = size_t(out.breaks.back());
            size_t next = wordStart == lineStart ? p : wordStart;
            while (next < text.size() && IsSpace(text[next]))
                ++next;
            // One character always stays on its line; breaking before it again would never end.
            if (next > lineStart)
            {
                out.breaks.push_back(int(next));
                wordStart = next;
                current = 0;
                p = next;
                continue;
            }
        }
        ++p;
    }
}

void WrapText(std::wstring_view text, const Font* font, int width, WrappedLines& out)
{
    WrapText(text, font, width, Graphics::DefaultLineWidths(), out);
}

} // namespace Kestrin
