#pragma once

// Turns a TrueType face into the engine's image-font pair: a glyph image (white, alpha = coverage) and
// the ".txt" description beside it. Everything here is deterministic: the same face file and size give
// the same bytes.

#include <cstdint>
#include <string>
#include <vector>

namespace fontgen
{

// Space between glyphs and between rows, so that filtered texture reads never pick up a neighbour.
constexpr int cGlyphGap = 2;
// Largest side of an atlas; the engine's own repack stops there too.
constexpr int cMaxAtlasSide = 4096;

// U+0021..U+007E and U+00A1..U+00FF without the soft hyphen U+00AD (it has no visible form). Space is
// never a glyph: its advance comes from the space width.
std::vector<std::uint32_t> DefaultCharacters();

struct Glyph
{
    std::uint32_t code = 0;
    int width = 0; // the rounded advance: the cell is exactly as wide as the pen moves
    int height = 0;
    std::vector<std::uint8_t> alpha; // width x height coverage, rows top to bottom
    int x = 0;                       // placement in the image, set by a packer
    int y = 0;
};

struct RenderedFont
{
    int lineHeight = 0;
    int ascent = 0; // baseline, counted down from the top of every cell
    int spaceWidth = 0;
    std::vector<Glyph> glyphs;
    std::vector<int> kerning; // glyphs.size() squared, [first * n + second], in whole pixels
    int top = 0;              // the header's first number: the strip row for version 2, 0 for version 3
};

struct GlyphImage
{
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> alpha; // width x height
};

// Renders every character of `characters` that the face has, hinted, at `pixelSize` pixels per em.
// Characters the face lacks are left out. Every cell spans the face's ascender and descender, or
// more where some glyph's ink reaches beyond them, so no glyph loses ink above or below.
// Throws std::runtime_error when the face cannot be used.
RenderedFont RenderFont(const std::string& facePath, int pixelSize,
                        const std::vector<std::uint32_t>& characters);

// Places the glyphs in rows, in order, on the smallest power-of-two image that holds them (tried as
// 64x64, 64x128, 128x128, ...), and returns the image. Throws when nothing up to cMaxAtlasSide fits.
GlyphImage PackAtlas(RenderedFont& font);

// Places the glyphs side by side in one row of lineHeight pixels (the version 2 layout).
GlyphImage PackStrip(RenderedFont& font);

// The ".txt" description, UTF-8. Version 3 writes free rectangles; version 2 writes x and width only,
// so every glyph must sit in the row at `top`.
std::string WriteDescription(const RenderedFont& font, int version);

// Appends a code point below U+0100 the way the engine's reader decodes it (C2/C3 pairs above U+007F).
void AppendLatin1AsUtf8(std::string& out, std::uint32_t code);

// The image as an 8-bit grey-and-alpha PNG with grey 255 everywhere.
std::vector<std::uint8_t> EncodePng(const GlyphImage& image);

} // namespace fontgen
