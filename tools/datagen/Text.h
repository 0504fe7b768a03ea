#pragma once
// Text baked into images: FreeType over the DejaVu faces, word-wrapped and aligned, with an
// outline made by dilating the coverage. Shown text is Latin-1 only, as in the fonts.
#include "Canvas.h"

#include <string>
#include <vector>

namespace DataGen
{
enum class Face
{
    Sans,
    SansBold,
    MonoBold,
    Serif
};
enum class Align
{
    Left,
    Center,
    Right
};

struct TextStyle
{
    Face face = Face::Sans;
    int pixels = 16;
    Rgba color = Palette::Ink;
    Align align = Align::Left;
    double lineSpacing = 1.2; // times the pixel size
    int outline = 0;          // pixels of outline around the glyphs
    Rgba outlineColor = Palette::Ink;
};

// Code points of UTF-8 text; throws std::invalid_argument for malformed UTF-8 or a character
// outside U+000A and U+0020..U+00FF.
std::u32string DecodeLatin1Text(const std::string& utf8);

// The lines `utf8` breaks into at `width` pixels (0: no wrapping); '\n' always breaks.
std::vector<std::u32string> WrapText(const std::string& utf8, const TextStyle& style, int width);
int TextWidth(const std::u32string& line, const TextStyle& style);

// Draws the wrapped text with its first baseline one ascent below y; lines are aligned within
// [x, x + width]. Answers the height used.
int DrawText(Canvas& canvas, const std::string& utf8, int x, int y, int width, const TextStyle& style);

// Draws the text wrapped into the box [x, x + w] x [y, y + h] at the largest size from
// style.pixels down to minPixels at which all its lines fit, centred vertically when `middle`.
// Throws std::runtime_error, quoting the text, when it does not fit even at minPixels: a longer
// text in the table must never be cut off silently. Answers the size used.
int DrawTextFitted(Canvas& canvas, const std::string& utf8, int x, int y, int w, int h, TextStyle style,
                   int minPixels, bool middle = false);
// The largest size from style.pixels down to minPixels at which every one of `texts` fits the
// box as DrawTextFitted fits it, so a set of pictures shows its texts at one size. Throws like
// DrawTextFitted when one does not fit at minPixels.
int FittedSize(const std::vector<std::string>& texts, int w, int h, TextStyle style, int minPixels);
// The height the wrapped text takes at `width`.
int TextHeight(const std::string& utf8, const TextStyle& style, int width);

// The file of a face (a missing file throws when text is first drawn with it).
std::string FacePath(Face face);
} // namespace DataGen
