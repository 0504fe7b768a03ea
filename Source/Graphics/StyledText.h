#pragma once
#include "Base/Geometry.h"
#include "Framework/Names.h"
#include "Graphics/Canvas.h"
#include "Graphics/TextWrap.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace Kestrin
{

class Font;

// One style of styled text. bgColor is the outline or drop-shadow colour; no box is filled.
struct TextStyle
{
    ColorF color{0.0f, 0.0f, 0.0f, 1.0f};
    ColorF bgColor{0.0f, 0.0f, 0.0f, 1.0f};
    // The interned name of a font resource.
    NameId font;
    // 0 plain, 1 outline, 2 drop shadow.
    int32_t textMode = 0;

    bool operator==(const TextStyle&) const = default;
};

// Text of one style, in text order.
struct StyledTextRun
{
    TextStyle style;
    std::wstring text;
    // Filled in by the layout; null when the style's font names no loaded font.
    Font* font = nullptr;
    // Not read by layout or drawing.
    int32_t position = -1;
};

struct StyledTextLine
{
    // Characters of the line across runs (runs without a font skipped), including the white space
    // and the U+000A that end it.
    int32_t charCount = 0;
    int32_t width = 0;
    // The tallest font of its characters; 0 for a line without any.
    int32_t height = 0;

    bool operator==(const StyledTextLine&) const = default;
};

struct StyledTextLayout
{
    std::vector<StyledTextLine> lines;
    int32_t width = 0;  // the widest line
    int32_t height = 0; // all lines
};

// Splits text with <style color="#RRGGBBAA" bgColor="#RRGGBBAA" font="Name" textMode="outline|dropShadow">
// tags (nested, any subset of attributes) into runs; other tags are ignored but their text counts.
// The text is XML: "&lt;" and "&amp;" stand for "<" and "&". Throws xml_error when badly formed.
// A colour that is not "#" and eight hex digits leaves the colour as it was.
void ParseStyledText(const std::wstring& text, std::vector<StyledTextRun>& runs, const TextStyle& initial);

// The font a run's style names; null when there is none of that name.
using StyledTextFontLookup = std::function<Font*(NameId font)>;

// Resolves every run's font and breaks the runs into lines at white space; a word may span runs
// and fonts. Runs without a font take no part. lineWidths null means every line is `width` wide.
void LayoutStyledTextLines(StyledTextLayout& layout, std::vector<StyledTextRun>& runs, int width,
                           const Graphics::ILineWidths* lineWidths, const StyledTextFontLookup& lookup);
// Fonts are the font resources of the resource manager.
void LayoutStyledTextLines(StyledTextLayout& layout, std::vector<StyledTextRun>& runs, int width,
                           const Graphics::ILineWidths* lineWidths);

// Draws the laid-out runs at (x, y), anchored by the node state's alignment, in the run colours
// with the node's alphas. 0, or the first negative answer of a piece (drawing then stops and the
// bounds stay untouched).
int DrawStyledText(const std::vector<StyledTextRun>& runs, const StyledTextLayout& layout, float x, float y,
                   Rect<float>* bounds, const Graphics::DrawState& nodeState, Graphics::ICanvas* canvas);

} // namespace Kestrin
