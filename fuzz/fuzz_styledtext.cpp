// Styled text of arbitrary UTF-8 (tags and all): parsed, laid out in two fonts at a width taken
// from the input, drawn into an image, and wrapped as plain text. Every character of a run with a
// font must land on exactly one line, and the plain wrap must describe the whole text in order.
#include "Base/Log.h"
#include "Base/Text.h"
#include "Base/XMLReader.h"
#include "Graphics/Font.h"
#include "Graphics/Image.h"
#include "Graphics/ImageCanvas.h"
#include "Graphics/StyledText.h"
#include "Graphics/TextWrap.h"

#include <cstddef>
#include <cstdint>
#include <string>

using namespace Kestrin;

namespace
{
// Advances and heights that differ by character, so kerning-like pairs and mixed heights occur.
class SteppedFont : public Font
{
public:
    SteppedFont(int step, int height, Image* image) : m_step(step), m_height(height), m_image(image) {}
    void GetGlyph(wchar_t c, Glyph& glyph) const override
    {
        glyph = Glyph();
        if (uint32_t(c) >= 256)
            return;
        glyph = {m_image, int(c % 8) * 2, 0, 2, 3};
    }
    int GetLineHeight() const override { return m_height; }
    int GetAdvance(wchar_t c, wchar_t next) const override
    {
        if (uint32_t(c) >= 256)
            return 0;
        return int(uint32_t(c) % 5) + m_step - (next == L'V' ? 1 : 0);
    }

private:
    int m_step;
    int m_height;
    Image* m_image;
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool once = []
    {
        SetLogToStderr(false);
        return true;
    }();
    (void)once;
    if (size < 1)
        return 0;
    const int width = int(data[0]) - 16;
    const std::wstring text = FromUtf8(std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1));

    Image glyphs(16, 3);
    for (int i = 0; i < 48; ++i)
        glyphs.Pixels()[i] = 0xFFFFFFFFu;
    SteppedFont body(1, 7, &glyphs);
    SteppedFont big(3, 12, &glyphs);
    const NameId bodyName = MakeName("Body");
    const NameId bigName = MakeName("Big");
    auto lookup = [&](NameId id) -> Font* {
        return id == bodyName ? &body : id == bigName ? &big : nullptr;
    };

    // The plain wrap: breaks from 0 to the end, never backwards.
    WrappedLines wrapped;
    WrapText(text, &body, width, wrapped);
    if (wrapped.breaks.size() < 2 || wrapped.breaks.front() != 0 || wrapped.breaks.back() != int(text.size()))
        __builtin_trap();
    for (size_t i = 1; i < wrapped.breaks.size(); ++i)
        if (wrapped.breaks[i] < wrapped.breaks[i - 1])
            __builtin_trap();

    TextStyle initial;
    initial.font = bodyName;
    std::vector<StyledTextRun> runs;
    try
    {
        ParseStyledText(text, runs, initial);
    }
    catch (const xml_error&)
    {
        return 0;
    }

    StyledTextLayout layout;
    LayoutStyledTextLines(layout, runs, width, nullptr, lookup);
    int64_t placed = 0, laidOut = 0, height = 0;
    for (const auto& run : runs)
        if (run.font)
            placed += int64_t(run.text.size());
    for (const auto& line : layout.lines)
    {
        if (line.charCount < 0 || line.height < 0)
            __builtin_trap();
        laidOut += line.charCount;
        height += line.height;
    }
    if (placed != laidOut || height != layout.height)
        __builtin_trap();

    Image target(48, 48);
    Graphics::cImageCanvas canvas(target);
    Graphics::DrawState node;
    node.hAlign = data[0] % 3;
    node.vAlign = (data[0] / 3) % 3;
    Rect<float> bounds;
    if (DrawStyledText(runs, layout, 24.0f, 24.0f, &bounds, node, &canvas) < 0)
        __builtin_trap();
    return 0;
}
