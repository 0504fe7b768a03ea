#include "Graphics/TextWrap.h"

#include "Graphics/Font.h"

#include <algorithm>
#include <climits>

namespace Kestrin
{

const Graphics::ILineWidths& Graphics::DefaultLineWidths()
{
    return cDefaultLineWidths;
}

namespace
{
int Saturate(int64_t v)
{
    return int(std::clamp<int64_t>(v, INT_MIN, INT_MAX));
}

int Advance(const Font* font, std::wstring_view text, size_t i)
{
    return font ? font->GetAdvance(text[i], i + 1 < text.size() ? text[i + 1] : L'\0') : 0;
}
} // namespace

void WrapText(std::wstring_view text, const Font* font, int width, const Graphics::ILineWidths& lineWidths,
              WrappedLines& out)
{
    out.breaks.assign(1, 0);
    out.widest = 0;
    int64_t current = 0;
    int64_t widest = 0;
    size_t wordStart = 0;
    // Advances of the word's characters before p, each paired with the character after it: the
    // word up to p is this plus p's advance at the end of a word, so no word is measured twice.
    int64_t wordPrefix = 0;
    size_t widthLine = 0;
    int64_t usable = lineWidths.GetWidth(0, width);

    for (size_t p = 0;;)
    {
        if (out.breaks.size() - 1 != widthLine)
        {
            widthLine = out.breaks.size() - 1;
            usable = lineWidths.GetWidth(int(std::min<size_t>(widthLine, INT_MAX)), width);
        }
        if (p >= text.size())
        {
            current += wordPrefix;
            widest = std::max(widest, current);
            out.breaks.push_back(int(text.size()));
            out.widest = Saturate(widest);
            return;
        }

        const int own = Advance(font, text, p);
        const int alone = font ? font->GetAdvance(text[p], L'\0') : 0;
        int64_t word = wordPrefix + alone;
        if (IsTextSpace(text[p]))
        {
            current += word;
            wordStart = p + 1;
            wordPrefix = 0;
            widest = std::max(widest, current);
            if (text[p] == L'\n')
            {
                out.breaks.push_back(int(p + 1));
                current = 0;
                ++p;
                continue;
            }
            word = 0;
        }
        else
            wordPrefix += own;

        if (usable < word + current)
        {
            const size_t lineStart = size_t(out.breaks.back());
            size_t next = wordStart == lineStart ? p : wordStart;
            while (next < text.size() && IsTextSpace(text[next]))
                ++next;
            // One character always stays on its line; breaking before it again would never end.
            if (next > lineStart)
            {
                out.breaks.push_back(int(next));
                wordStart = next;
                wordPrefix = 0;
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
    WrapText(text, font, width, Graphics::cDefaultLineWidths, out);
}

Vector2<int> MeasureWrappedText(std::wstring_view text, const Font* font, int width)
{
    WrappedLines lines;
    WrapText(text, font, width, lines);
    const int64_t height = int64_t(font ? font->GetLineHeight() : 0) * int64_t(lines.breaks.size() - 1);
    return {lines.widest, Saturate(height)};
}

} // namespace Kestrin
