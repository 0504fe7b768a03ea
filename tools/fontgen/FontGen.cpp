#include "FontGen.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <memory>
#include <stdexcept>

namespace fontgen
{

namespace
{

struct LibraryDeleter
{
    void operator()(FT_Library library) const { FT_Done_FreeType(library); }
};
struct FaceDeleter
{
    void operator()(FT_Face face) const { FT_Done_Face(face); }
};
using LibraryPtr = std::unique_ptr<std::remove_pointer_t<FT_Library>, LibraryDeleter>;
using FacePtr = std::unique_ptr<std::remove_pointer_t<FT_Face>, FaceDeleter>;

// 26.6 fixed point to whole pixels, halves away from zero.
int RoundPixels(FT_Pos value)
{
    return static_cast<int>(value >= 0 ? (value + 32) / 64 : -((-value + 32) / 64));
}

int CeilDiv(long long numerator, long long denominator)
{
    return static_cast<int>((numerator + denominator - 1) / denominator);
}

// Loads and renders one glyph as 8-bit coverage. Outlines only: an embedded bitmap strike would make the
// result depend on which strikes a face happens to carry.
FT_GlyphSlot LoadGlyph(FT_Face face, FT_UInt index, std::uint32_t code)
{
    if (FT_Load_Glyph(face, index, FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP) != 0 ||
        FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL) != 0)
        throw std::runtime_error("cannot render character U+" + std::to_string(code));
    const FT_Bitmap& bitmap = face->glyph->bitmap;
    if (bitmap.rows > 0 && (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY || bitmap.num_grays != 256))
        throw std::runtime_error("unexpected bitmap format for character U+" + std::to_string(code));
    return face->glyph;
}

// One rendered glyph, kept until the cell height is known.
struct Ink
{
    int advance = 0;
    int left = 0;
    int top = 0; // rows above the baseline
    int cols = 0;
    int rows = 0;
    std::vector<std::uint8_t> coverage; // cols x rows, top row first
};

Ink CopyInk(const FT_GlyphSlot slot)
{
    const FT_Bitmap& bitmap = slot->bitmap;
    Ink ink;
    ink.advance = std::max(RoundPixels(slot->advance.x), 0);
    ink.left = slot->bitmap_left;
    ink.top = slot->bitmap_top;
    ink.cols = static_cast<int>(bitmap.width);
    ink.rows = static_cast<int>(bitmap.rows);
    ink.coverage.resize(static_cast<size_t>(ink.cols) * ink.rows);
    const int pitch = bitmap.pitch;
    // A negative pitch stores the bottom row first.
    const unsigned char* topRow = pitch >= 0 ? bitmap.buffer : bitmap.buffer + (ink.rows - 1) * -pitch;
    for (int r = 0; r < ink.rows; ++r)
        std::copy_n(topRow + r * pitch, ink.cols,
                    ink.coverage.begin() + static_cast<ptrdiff_t>(r) * ink.cols);
    return ink;
}

// Copies the ink into the cell, its origin at (left, ascent - top). The cell is tall enough for
// every glyph; ink beside it (DejaVu overhangs its advance by a pixel or two in a few letters) is
// clipped, as the format has no bearings.
void DrawIntoCell(const Ink& ink, int ascent, Glyph& glyph)
{
    for (int r = 0; r < ink.rows; ++r)
    {
        const int cy = ascent - ink.top + r;
        if (cy < 0 || cy >= glyph.height)
            continue;
        for (int c = 0; c < ink.cols; ++c)
        {
            const int cx = ink.left + c;
            if (cx < 0 || cx >= glyph.width)
                continue;
            glyph.alpha[static_cast<size_t>(cy) * glyph.width + cx] =
                ink.coverage[static_cast<size_t>(r) * ink.cols + c];
        }
    }
}

void CopyGlyph(const Glyph& glyph, GlyphImage& image)
{
    for (int r = 0; r < glyph.height; ++r)
        std::copy_n(glyph.alpha.begin() + static_cast<ptrdiff_t>(r) * glyph.width, glyph.width,
                    image.alpha.begin() + static_cast<ptrdiff_t>(glyph.y + r) * image.width + glyph.x);
}

GlyphImage Compose(const RenderedFont& font, int width, int height)
{
    GlyphImage image{width, height, std::vector<std::uint8_t>(static_cast<size_t>(width) * height, 0)};
    for (const Glyph& glyph : font.glyphs)
        CopyGlyph(glyph, image);
    return image;
}

} // namespace

std::vector<std::uint32_t> DefaultCharacters()
{
    std::vector<std::uint32_t> characters;
    for (std::uint32_t c = 0x21; c <= 0x7E; ++c)
        characters.push_back(c);
    for (std::uint32_t c = 0xA1; c <= 0xFF; ++c)
        if (c != 0xAD)
            characters.push_back(c);
    return characters;
}

RenderedFont RenderFont(const std::string& facePath, int pixelSize,
                        const std::vector<std::uint32_t>& characters)
{
    if (pixelSize <= 0)
        throw std::runtime_error("the pixel size must be positive");

    FT_Library rawLibrary = nullptr;
    if (FT_Init_FreeType(&rawLibrary) != 0)
        throw std::runtime_error("cannot start FreeType");
    LibraryPtr library(rawLibrary);

    FT_Face rawFace = nullptr;
    if (FT_New_Face(library.get(), facePath.c_str(), 0, &rawFace) != 0)
        throw std::runtime_error("cannot open face " + facePath);
    FacePtr face(rawFace);
    if (!FT_IS_SCALABLE(face.get()) || face->units_per_EM == 0)
        throw std::runtime_error("not a scalable face: " + facePath);
    if (FT_Select_Charmap(face.get(), FT_ENCODING_UNICODE) != 0)
        throw std::runtime_error("no Unicode character map in " + facePath);
    if (FT_Set_Pixel_Sizes(face.get(), 0, static_cast<FT_UInt>(pixelSize)) != 0)
        throw std::runtime_error("cannot set the size " + std::to_string(pixelSize) + " on " + facePath);

    RenderedFont font;
    const FT_UInt spaceIndex = FT_Get_Char_Index(face.get(), 0x20);
    if (spaceIndex != 0)
        font.spaceWidth = RoundPixels(LoadGlyph(face.get(), spaceIndex, 0x20)->advance.x);
    else
        font.spaceWidth = CeilDiv(pixelSize, 4);

    std::vector<FT_UInt> indices;
    std::vector<Ink> inks;
    for (std::uint32_t code : characters)
    {
        const FT_UInt index = FT_Get_Char_Index(face.get(), code);
        if (index == 0)
            continue;
        inks.push_back(CopyInk(LoadGlyph(face.get(), index, code)));
        Glyph glyph;
        glyph.code = code;
        font.glyphs.push_back(std::move(glyph));
        indices.push_back(index);
    }

    // The face's ascender and descender, from the design units rather than the size metrics (whose
    // rounding differs between drivers), each rounded up; and further wherever a glyph's ink
    // reaches beyond them (accents on capitals, long descenders), so no glyph is cut.
    const long long unitsPerEm = face->units_per_EM;
    font.ascent = CeilDiv(static_cast<long long>(face->ascender) * pixelSize, unitsPerEm);
    int descent = CeilDiv(-static_cast<long long>(face->descender) * pixelSize, unitsPerEm);
    for (const Ink& ink : inks)
        if (ink.rows > 0 && ink.cols > 0)
        {
            font.ascent = std::max(font.ascent, ink.top);
            descent = std::max(descent, ink.rows - ink.top);
        }
    font.lineHeight = font.ascent + std::max(descent, 0);
    if (font.ascent <= 0 || font.lineHeight <= 0)
        throw std::runtime_error("the face has no usable ascender: " + facePath);

    for (size_t i = 0; i < inks.size(); ++i)
    {
        Glyph& glyph = font.glyphs[i];
        glyph.width = inks[i].advance;
        glyph.height = font.lineHeight;
        glyph.alpha.assign(static_cast<size_t>(glyph.width) * glyph.height, 0);
        DrawIntoCell(inks[i], font.ascent, glyph);
    }

    // Kerning is stored in signed bytes.
    const size_t n = font.glyphs.size();
    font.kerning.assign(n * n, 0);
    if (FT_HAS_KERNING(face.get()))
        for (size_t i = 0; i < n; ++i)
            for (size_t j = 0; j < n; ++j)
            {
                FT_Vector delta{0, 0};
                if (FT_Get_Kerning(face.get(), indices[i], indices[j], FT_KERNING_DEFAULT, &delta) == 0)
                    font.kerning[i * n + j] = std::clamp(RoundPixels(delta.x), -128, 127);
            }
    return font;
}

GlyphImage PackAtlas(RenderedFont& font)
{
    int widest = 0;
    for (const Glyph& glyph : font.glyphs)
        widest = std::max(widest, glyph.width);

    for (int w = 64, h = 64; w <= cMaxAtlasSide && h <= cMaxAtlasSide; (w < h ? w : h) *= 2)
    {
        if (widest > w || font.lineHeight > h)
            continue;
        bool fits = true;
        int x = 0;
        int y = 0;
        for (Glyph& glyph : font.glyphs)
        {
            if (x > 0 && x + glyph.width > w)
            {
                x = 0;
                y += font.lineHeight + cGlyphGap;
            }
            if (y + font.lineHeight > h)
            {
                fits = false;
                break;
            }
            glyph.x = x;
            glyph.y = y;
            x += glyph.width + cGlyphGap;
        }
        if (fits)
        {
            font.top = 0;
            return Compose(font, w, h);
        }
    }
    throw std::runtime_error("the glyphs do not fit into a " + std::to_string(cMaxAtlasSide) + "x" +
                             std::to_string(cMaxAtlasSide) + " image");
}

GlyphImage PackStrip(RenderedFont& font)
{
    long long x = 0;
    for (Glyph& glyph : font.glyphs)
    {
        glyph.x = static_cast<int>(x);
        glyph.y = 0;
        x += glyph.width + cGlyphGap;
    }
    const long long width = std::max<long long>(x - cGlyphGap, 1);
    if (width > (1 << 24))
        throw std::runtime_error("the strip would be " + std::to_string(width) + " pixels wide");
    font.top = 0;
    return Compose(font, static_cast<int>(width), font.lineHeight);
}

void AppendLatin1AsUtf8(std::string& out, std::uint32_t code)
{
    if (code < 0x80)
        out += static_cast<char>(code);
    else if (code < 0x100)
    {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
    else
        throw std::runtime_error("the image-font format holds characters up to U+00FF only");
}

std::string WriteDescription(const RenderedFont& font, int version)
{
    if (version != 2 && version != 3)
        throw std::runtime_error("only versions 2 and 3 are written");
    const size_t n = font.glyphs.size();
    std::string out;
    out.reserve(64 + n * 24 + n * n * 3);
    // top, lineHeight, spacing, version, spaceWidth, glyph count
    out += std::to_string(font.top) + ' ' + std::to_string(font.lineHeight) + " 0 " +
           std::to_string(version) + ' ' + std::to_string(font.spaceWidth) + ' ' + std::to_string(n) + '\n';
    for (const Glyph& glyph : font.glyphs)
    {
        if (version < 3 && (glyph.y != font.top || glyph.height != font.lineHeight))
            throw std::runtime_error("a version 2 description needs every glyph in one row");
        // The character token is always followed by white space, so '1' or '-' cannot run into x.
        AppendLatin1AsUtf8(out, glyph.code);
        out += ' ' + std::to_string(glyph.x) + ' ' + std::to_string(glyph.width);
        if (version >= 3)
            out += ' ' + std::to_string(glyph.y) + ' ' + std::to_string(glyph.height);
        out += '\n';
    }
    for (size_t i = 0; i < n; ++i)
    {
        for (size_t j = 0; j < n; ++j)
        {
            if (j > 0)
                out += ' ';
            out += std::to_string(font.kerning[i * n + j]);
        }
        out += '\n';
    }
    return out;
}

namespace
{

void WriteToVector(png_structp png, png_bytep data, png_size_t length)
{
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void FlushNothing(png_structp) {}

// Runs the libpng calls; libpng reports errors by longjmp, so nothing here owns resources.
bool WritePngRows(png_structp png, png_infop info, const GlyphImage& image, std::vector<png_bytep>& rows)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.width), static_cast<png_uint_32>(image.height), 8,
                 PNG_COLOR_TYPE_GRAY_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, 9);
    png_write_info(png, info);
    png_write_image(png, rows.data());
    png_write_end(png, info);
    return true;
}

} // namespace

std::vector<std::uint8_t> EncodePng(const GlyphImage& image)
{
    if (image.width <= 0 || image.height <= 0 ||
        image.alpha.size() != static_cast<size_t>(image.width) * image.height)
        throw std::runtime_error("cannot encode an empty or inconsistent image");

    std::vector<std::uint8_t> pixels(image.alpha.size() * 2);
    for (size_t i = 0; i < image.alpha.size(); ++i)
    {
        pixels[2 * i] = 255;
        pixels[2 * i + 1] = image.alpha[i];
    }
    std::vector<png_bytep> rows(static_cast<size_t>(image.height));
    for (int y = 0; y < image.height; ++y)
        rows[y] = pixels.data() + static_cast<size_t>(y) * image.width * 2;

    std::vector<std::uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png)
        throw std::runtime_error("cannot start libpng");
    png_infop info = png_create_info_struct(png);
    if (!info)
    {
        png_destroy_write_struct(&png, nullptr);
        throw std::runtime_error("cannot start libpng");
    }
    png_set_write_fn(png, &out, WriteToVector, FlushNothing);
    const bool written = WritePngRows(png, info, image, rows);
    png_destroy_write_struct(&png, &info);
    if (!written)
        throw std::runtime_error("libpng could not encode the image");
    return out;
}

} // namespace fontgen
