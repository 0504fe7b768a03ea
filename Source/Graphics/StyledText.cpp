#include "Graphics/StyledText.h"

#include "Base/Stream.h"
#include "Base/Strings.h"
#include "Base/XMLReader.h"
#include "Framework/ResourceManager.h"
#include "Graphics/Font.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <deque>

namespace Kestrin
{

// ---- tags ----

namespace
{

void PutUtf16(std::vector<uint8_t>& out, uint32_t unit)
{
    out.push_back(uint8_t(unit & 0xFF));
    out.push_back(uint8_t(unit >> 8));
}

// UTF-16LE, which the XML reader recognises from its first "<". Code points UTF-16 cannot carry
// become U+FFFD rather than breaking the document.
std::vector<uint8_t> ToUtf16Le(const std::wstring& text)
{
    std::vector<uint8_t> out;
    out.reserve(text.size() * 2);
    for (wchar_t wc : text)
    {
        uint32_t c = uint32_t(wc);
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            c = 0xFFFD;
        if (c >= 0x10000)
        {
            c -= 0x10000;
            PutUtf16(out, 0xD800 + (c >> 10));
            PutUtf16(out, 0xDC00 + (c & 0x3FF));
        }
        else
            PutUtf16(out, c);
    }
    return out;
}

void ApplyStyleAttributes(const XMLElement& element, TextStyle& style)
{
    if (element.HasAttribute(L"color"))
        style.color = ParseColorF(element.GetString(L"color"), style.color);
    if (element.HasAttribute(L"bgColor"))
        style.bgColor = ParseColorF(element.GetString(L"bgColor"), style.bgColor);
    if (element.HasAttribute(L"font"))
        style.font = MakeNameFromWString(element.GetString(L"font"));
    if (element.HasAttribute(L"textMode"))
    {
        const std::wstring mode = element.GetString(L"textMode");
        style.textMode = mode == L"outline" ? 1 : mode == L"dropShadow" ? 2 : 0;
    }
}

} // namespace

void ParseStyledText(const std::wstring& text, std::vector<StyledTextRun>& runs, const TextStyle& initial)
{
    const std::vector<uint8_t> bytes = ToUtf16Le(L"<root>" + text + L"</root>");
    MemoryStream stream(L"styled text", bytes.data(), uint32_t(bytes.size()));
    XMLReader reader(&stream);

    std::vector<StyledTextRun> parsed;
    std::deque<TextStyle> styles{initial};
    bool lastWasText = false;
    while (!reader.IsAtEnd())
    {
        XMLElement* node = reader.Next();
        if (!node)
            break;
        if (node->IsText())
        {
            // The reader may hand one stretch of text over in several nodes.
            if (lastWasText)
                parsed.back().text += node->GetText();
            else
            {
                StyledTextRun run;
                run.style = styles.back();
                run.text = node->GetText();
                parsed.push_back(std::move(run));
            }
            lastWasText = true;
            continue;
        }
        lastWasText = false;
        if (node->GetName() != L"style")
            continue;
        if (node->IsStart())
        {
            TextStyle style = styles.back();
            ApplyStyleAttributes(*node, style);
            styles.push_back(style);
        }
        else if (styles.size() > 1)
            styles.pop_back();
    }
    runs = std::move(parsed);
}

// ---- layout ----

namespace
{

int32_t Saturate(int64_t v)
{
    return int32_t(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

struct Word
{
    int64_t charCount = 0;
    int64_t width = 0;
    int64_t height = 0;
    bool isSpace = false;
    bool isNewline = false;
};

class StyledLayouter
{
public:
    StyledLayouter(StyledTextLayout& out, int width, const Graphics::ILineWidths& lineWidths)
        : m_out(out), m_width(width), m_lineWidths(lineWidths)
    {
        m_limit = m_lineWidths.GetWidth(0, m_width);
    }

    // c of font `font`, followed by next (0 after the last character).
    void Handle(wchar_t c, const Font& font, wchar_t next)
    {
        const bool space = IsTextSpace(c) && c != L'\n';
        if (m_word.charCount > 0)
        {
            if (m_word.isSpace)
            {
                if (!space)
                    Commit();
            }
            else if (space)
            {
                if (!Fits())
                    EndLine();
                Commit();
            }
        }

        const Word before = m_word;
        Join(m_word, c, font, next);

        if (c == L'\n')
        {
            Commit();
            EndLine();
            return;
        }
        if (m_word.isSpace)
            return;
        // The whole word moves to a new line when it no longer fits behind what the line holds...
        if (m_line.charCount > 0 && !Fits())
            EndLine();
        // ...and a word wider than a line of its own is cut before c.
        if (!Fits() && before.charCount > 0)
        {
            m_word = before;
            Commit();
            EndLine();
            m_word = Word();
            Join(m_word, c, font, next);
        }
    }

    void Finish()
    {
        Commit();
        EndLine();
        m_out.width = Saturate(m_widest);
        m_out.height = Saturate(m_total);
    }

private:
    struct Line
    {
        int64_t charCount = 0;
        int64_t width = 0;
        int64_t height = 0;
    };

    static void Join(Word& word, wchar_t c, const Font& font, wchar_t next)
    {
        if (IsTextSpace(c) && c != L'\n')
            word.isSpace = true;
        if (c == L'\n')
            word.isNewline = true;
        ++word.charCount;
        word.width += font.GetAdvance(c, next);
        word.height = std::max<int64_t>(word.height, font.GetLineHeight());
    }

    // White space counts in the width only once a word follows it on the line; one character
    // always stays on a line, however narrow.
    bool Fits() const
    {
        const int64_t pending = m_line.width + (m_lastWord.isSpace ? m_lastWord.width : 0);
        if (pending == 0 && m_word.charCount <= 1)
            return true;
        return pending + m_word.width <= m_limit;
    }

    void Commit()
    {
        m_line.charCount += m_word.charCount;
        m_line.height = std::max(m_line.height, m_word.height);
        if (!m_word.isSpace)
        {
            m_line.width += m_word.width;
            if (m_lastWord.isSpace)
                m_line.width += m_lastWord.width;
        }
        m_lastWord = m_word;
        m_word = Word();
    }

    void EndLine()
    {
        m_out.lines.push_back({Saturate(m_line.charCount), Saturate(m_line.width), Saturate(m_line.height)});
        m_widest = std::max(m_widest, m_line.width);
        m_total += m_line.height;
        m_limit = m_lineWidths.GetWidth(int(std::min<size_t>(m_out.lines.size(), INT_MAX)), m_width);
        m_line = Line();
        m_lastWord = Word();
    }

    StyledTextLayout& m_out;
    int m_width;
    const Graphics::ILineWidths& m_lineWidths;
    int64_t m_limit = 0;
    int64_t m_widest = 0;
    int64_t m_total = 0;
    Line m_line;
    Word m_lastWord;
    Word m_word;
};

} // namespace

void LayoutStyledTextLines(StyledTextLayout& layout, std::vector<StyledTextRun>& runs, int width,
                           const Graphics::ILineWidths* lineWidths, const StyledTextFontLookup& lookup)
{
    layout = StyledTextLayout();
    for (StyledTextRun& run : runs)
        run.font = lookup && run.style.font ? lookup(run.style.font) : nullptr;

    StyledLayouter layouter(layout, width, lineWidths ? *lineWidths : Graphics::cDefaultLineWidths);
    // Each character is handled once its successor is known, across runs.
    bool havePrevious = false;
    wchar_t previous = 0;
    const Font* previousFont = nullptr;
    for (const StyledTextRun& run : runs)
    {
        if (!run.font)
            continue;
        for (wchar_t c : run.text)
        {
            if (havePrevious)
                layouter.Handle(previous, *previousFont, c);
            previous = c;
            previousFont = run.font;
            havePrevious = true;
        }
    }
    // Runs after the last character, with or without a font, never drop the last line.
    if (havePrevious)
    {
        layouter.Handle(previous, *previousFont, L'\0');
        layouter.Finish();
    }
}

void LayoutStyledTextLines(StyledTextLayout& layout, std::vector<StyledTextRun>& runs, int width,
                           const Graphics::ILineWidths* lineWidths)
{
    LayoutStyledTextLines(layout, runs, width, lineWidths,
                          [](NameId id) -> Font* { return GetResource<Font>(id).second; });
}

// ---- drawing ----

namespace
{
float AlignShift(int align, float size)
{
    return align == 2 ? size : align == 1 ? size * 0.5f : 0.0f;
}
} // namespace

int DrawStyledText(const std::vector<StyledTextRun>& runs, const StyledTextLayout& layout, float x, float y,
                   Rect<float>* bounds, const Graphics::DrawState& nodeState, Graphics::ICanvas* canvas)
{
    if (runs.empty() || layout.lines.empty())
        return Graphics::Draw_Done;
    const float top = y - AlignShift(nodeState.vAlign, float(layout.height));

    size_t run = 0;
    size_t used = 0; // characters of runs[run] drawn already
    float lineY = top;
    for (const StyledTextLine& line : layout.lines)
    {
        float penX = x;
        if (nodeState.hAlign == 2)
            penX -= float(line.width);
        else if (nodeState.hAlign == 1)
            penX = std::floor(penX - float(line.width) * 0.5f);
        const float drawY = nodeState.vAlign == 1 ? std::floor(lineY) : lineY;

        bool runsLeft = true;
        for (int64_t left = line.charCount; left > 0;)
        {
            while (run < runs.size() && (!runs[run].font || used >= runs[run].text.size()))
            {
                ++run;
                used = 0;
            }
            if (run >= runs.size())
            {
                runsLeft = false;
                break;
            }
            const StyledTextRun& r = runs[run];
            const size_t count = size_t(std::min<int64_t>(int64_t(r.text.size() - used), left));
            const std::wstring piece = r.text.substr(used, count);

            Graphics::DrawState s = nodeState;
            s.font = r.font;
            s.color = {r.style.color.r, r.style.color.g, r.style.color.b, nodeState.color.a};
            s.color2 = {r.style.bgColor.r, r.style.bgColor.g, r.style.bgColor.b, nodeState.color2.a};
            s.textMode = r.style.textMode;
            s.hAlign = 0;
            s.vAlign = 0;
            // Smaller fonts sit on the bottom of the line.
            const float pieceY = drawY + float(line.height) - float(r.font->GetLineHeight());
            const int answer = Graphics::DrawText(piece.c_str(), penX, pieceY, s, canvas);
            if (answer < 0)
                return answer;
            penX += float(GetTextWidth(piece, r.font));
            used += count;
            left -= int64_t(count);
        }
        if (!runsLeft)
            break;
        lineY += float(line.height);
    }

    if (bounds)
        *bounds = {x - AlignShift(nodeState.hAlign, float(layout.width)), top, float(layout.width),
                   float(layout.height)};
    return Graphics::Draw_Done;
}

} // namespace Kestrin
