#pragma once
#include "Base/LiveCounts.h"
#include "Graphics/ImageLoader.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

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

// A glyph's rectangle in the font image.
struct GlyphRect
{
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const GlyphRect&) const = default;
};

// The font drawn from an image of glyphs, described by a ".txt" file beside it.
class ImageFont : public Font
{
public:
    ImageFont();
    ImageFont(ImageFont&& other) noexcept;
    ImageFont& operator=(ImageFont&&) = delete;
    ~ImageFont() override;

    // Codes from 256 on (and negative ones) get a zeroed record.
    void GetGlyph(wchar_t c, Glyph& glyph) const override;
    int GetLineHeight() const override { return lineHeight; }
    // 0 for a code from 256 on. A following code from 256 on has no kerning with c, but c keeps
    // its own advance: the two glyphs must not overlap.
    int GetAdvance(wchar_t c, wchar_t next) const override;

    int top = 0;
    int lineHeight = 0;
    // Added to each proportional advance; the advance of every character when monospaced.
    int spacing = 0;
    bool proportional = false;
    // Advance of U+0020 before spacing.
    int spaceWidth = 0;
    // [first * 256 + second], signed; null for fonts without kerning.
    std::unique_ptr<int8_t[]> kerning;
    // Cut to the image; zero for codes the font lacks.
    std::array<GlyphRect, 256> glyphs{};
    // The widths the description gave: a rectangle cut to the image keeps its advance.
    std::array<int, 256> advances{};
    // Null when the glyph image failed to load: the font then measures but draws nothing.
    std::unique_ptr<Image> image;

private:
    [[no_unique_address]] LiveCounted<LiveKind::Font> m_counted;
};

// Sum of the advances of every character paired with the one after it.
int GetTextWidth(std::wstring_view text, const Font* font);

// ---- the ".txt" description ----

// What a description says, in file order. Values the file does not reach stay 0.
struct FontDescription
{
    struct Entry
    {
        int code = 0; // low 8 bits of the glyph's character
        int x = 0;
        int width = 0;
        int y = 0;      // version 3 on
        int height = 0; // version 3 on
    };

    int top = 0;
    int lineHeight = 0;
    int spacing = 0;
    int version = 0;
    int spaceWidth = 0;
    int glyphCount = 0;
    std::vector<Entry> glyphs;
    // 256 x 256 from version 2 on, else empty.
    std::vector<int8_t> kerning;
    // Every announced value was read.
    bool complete = false;
};

// Bytes to characters (C2 b -> b, C3 b -> b + 0x40, any other byte itself; a zero byte ends the
// text), then white-space separated tokens. Reading stops at the first token that is missing or
// not a number where one is due. Never fails.
FontDescription ParseFontDescription(const uint8_t* bytes, size_t size);

// The font of a description and its image (null when it failed to load). Versions below 3 are
// repacked into a power-of-two image of at most 4096 x 4096, logged under `name`; a font that fits
// nowhere keeps its strip. Every rectangle is then cut to the image.
std::unique_ptr<ImageFont> MakeImageFont(const FontDescription& description, std::unique_ptr<Image> image,
                                         const std::wstring& name);

// Reads "<src>.txt" and the glyph image "<src>" (".gif", ".jpg", ".png") through the opener.
// Null, silently, when the description does not open.
std::unique_ptr<ImageFont> LoadImageFont(const std::wstring& src, const std::wstring& name,
                                         const ImageFileOpener& opener);
// Through the data-file opener (the file system's game data unless one was set).
std::unique_ptr<ImageFont> LoadImageFont(const std::wstring& src, const std::wstring& name);

// ---- key names of layout files ----

// "Enter", "F5", "GamePadA"... (any case) to the virtual-key code; one character below U+0080 to
// itself upper-cased. 0 for null, empty and unknown names.
int KeyNameToVirtualKey(const wchar_t* name);

} // namespace Kestrin
