#include "FontFiles.h"
#include "FontGen.h"

#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <map>
#include <memory>
#include <stdexcept>

using namespace fontgen;

namespace
{

// A font of solid glyphs, each filled with its own alpha so that placements can be told apart.
RenderedFont SolidFont(int lineHeight, const std::vector<int>& widths)
{
    RenderedFont font;
    font.lineHeight = lineHeight;
    font.spaceWidth = 3;
    for (size_t i = 0; i < widths.size(); ++i)
    {
        Glyph g;
        g.code = 'A' + static_cast<std::uint32_t>(i);
        g.width = widths[i];
        g.height = lineHeight;
        g.alpha.assign(static_cast<size_t>(g.width) * g.height, static_cast<std::uint8_t>(10 + i));
        font.glyphs.push_back(std::move(g));
    }
    font.kerning.assign(widths.size() * widths.size(), 0);
    return font;
}

// FreeType's own rendering of each default character, for comparison with fontgen's cells.
struct Reference
{
    int metricsHeight = 0;                  // ascender plus descender, each rounded up
    std::map<std::uint32_t, long long> ink; // coverage within the cell's columns (0 to the advance)
};

Reference RenderReference(const std::string& facePath, int pixelSize)
{
    Reference reference;
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    if (FT_Init_FreeType(&library) != 0)
        return reference;
    std::unique_ptr<FT_LibraryRec_, FT_Error (*)(FT_Library)> libraryOwner(library, FT_Done_FreeType);
    if (FT_New_Face(library, facePath.c_str(), 0, &face) != 0)
        return reference;
    std::unique_ptr<FT_FaceRec_, FT_Error (*)(FT_Face)> faceOwner(face, FT_Done_Face);
    FT_Select_Charmap(face, FT_ENCODING_UNICODE);
    FT_Set_Pixel_Sizes(face, 0, FT_UInt(pixelSize));
    const long long em = face->units_per_EM;
    reference.metricsHeight =
        int((face->ascender * pixelSize + em - 1) / em + (-face->descender * pixelSize + em - 1) / em);
    for (std::uint32_t code : DefaultCharacters())
    {
        const FT_UInt index = FT_Get_Char_Index(face, code);
        if (index == 0 || FT_Load_Glyph(face, index, FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP) != 0 ||
            FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL) != 0)
            continue;
        const FT_GlyphSlot slot = face->glyph;
        const long advance = (slot->advance.x + 32) / 64;
        long long ink = 0;
        for (unsigned r = 0; r < slot->bitmap.rows; ++r)
            for (unsigned c = 0; c < slot->bitmap.width; ++c)
                if (slot->bitmap_left + long(c) >= 0 && slot->bitmap_left + long(c) < advance)
                    ink += slot->bitmap.buffer[long(r) * slot->bitmap.pitch + long(c)];
        reference.ink[code] = ink;
    }
    return reference;
}

} // namespace

TEST(FontGenRendering, CellsHoldInkThatReachesBeyondTheFaceMetrics)
{
    // Capital accents overshoot the ascender in these faces (the maths face by up to 5 rows), and
    // at 24 px the maths face's "g" reaches below its descender.
    const std::string folder = "/usr/share/fonts/truetype/dejavu/";
    const std::pair<std::string, int> cases[] = {
        {"DejaVuMathTeXGyre.ttf", 12}, {"DejaVuMathTeXGyre.ttf", 24}, {"DejaVuSans-Bold.ttf", 16}};
    for (const auto& [file, size] : cases)
    {
        SCOPED_TRACE(file + " " + std::to_string(size));
        const Reference reference = RenderReference(folder + file, size);
        ASSERT_FALSE(reference.ink.empty()) << "install fonts-dejavu-extra (tools/install-deps)";
        const RenderedFont font = RenderFont(folder + file, size, DefaultCharacters());
        EXPECT_GT(font.lineHeight, reference.metricsHeight); // the face does overshoot
        ASSERT_EQ(font.glyphs.size(), reference.ink.size());
        for (const Glyph& glyph : font.glyphs)
        {
            long long ink = 0;
            for (std::uint8_t a : glyph.alpha)
                ink += a;
            EXPECT_EQ(ink, reference.ink.at(glyph.code)) << "U+" << std::hex << glyph.code;
        }
    }
}

TEST(FontGenPacking, AtlasTakesTheFirstPowerOfTwoSizeThatHoldsEveryGlyph)
{
    RenderedFont font = SolidFont(20, {30, 30, 30});
    GlyphImage image = PackAtlas(font);
    EXPECT_EQ(std::make_pair(image.width, image.height), std::make_pair(64, 64));
    // Two fit side by side (0..30, 32..62); the third starts the next row below a gap.
    EXPECT_EQ(font.glyphs[1].x, 32);
    EXPECT_EQ(font.glyphs[2].x, 0);
    EXPECT_EQ(font.glyphs[2].y, 20 + cGlyphGap);
    EXPECT_EQ(image.alpha[0], 10);
    EXPECT_EQ(image.alpha[31], 0);
    EXPECT_EQ(image.alpha[32 + 19 * 64], 11);
    EXPECT_EQ(image.alpha[22 * 64 + 29], 12);
    EXPECT_EQ(image.alpha[63 * 64], 0);

    // A glyph wider than 64 skips every 64-wide size.
    RenderedFont wide = SolidFont(20, {100});
    image = PackAtlas(wide);
    EXPECT_EQ(std::make_pair(image.width, image.height), std::make_pair(128, 128));

    RenderedFont tooWide = SolidFont(20, {cMaxAtlasSide + 1});
    EXPECT_THROW(PackAtlas(tooWide), std::runtime_error);
}

TEST(FontGenDescription, LatinOneCharactersRoundTripThroughTheEngineDecoding)
{
    RenderedFont font = SolidFont(9, {4, 5, 6});
    font.glyphs[0].code = '1';
    font.glyphs[1].code = 0xE9; // é
    font.glyphs[2].code = 0xA9; // ©
    font.kerning = {0, -2, 0, 1, 0, 0, 0, 0, -128};
    PackAtlas(font);
    const std::string text = WriteDescription(font, 3);
    EXPECT_NE(text.find("\xC3\xA9 "), std::string::npos);
    EXPECT_NE(text.find("\xC2\xA9 "), std::string::npos);

    const Description d = ParseDescription(text);
    ASSERT_TRUE(d.complete);
    EXPECT_FALSE(d.trailing);
    EXPECT_EQ(d.lineHeight, 9);
    EXPECT_EQ(d.spaceWidth, 3);
    ASSERT_EQ(d.glyphs.size(), 3u);
    EXPECT_EQ((std::vector<int>{d.glyphs[0].code, d.glyphs[1].code, d.glyphs[2].code}),
              (std::vector<int>{'1', 0xE9, 0xA9}));
    EXPECT_EQ(d.glyphs[1].x, font.glyphs[1].x);
    EXPECT_EQ(d.glyphs[2].width, 6);
    EXPECT_EQ(d.Advance('1', 0xE9), 4 - 2);
    EXPECT_EQ(d.Advance(0xE9, '1'), 5 + 1);
    EXPECT_EQ(d.Advance(0xA9, 0xA9), 6 - 128);
}

TEST(FontGenDescription, RefusesWhatTheFormatCannotHold)
{
    RenderedFont font = SolidFont(9, {4, 5});
    PackAtlas(font);
    font.glyphs[1].y = 11; // a second row: fine for version 3, not for a strip
    EXPECT_NO_THROW(WriteDescription(font, 3));
    EXPECT_THROW(WriteDescription(font, 2), std::runtime_error);
    font.glyphs[1].code = 0x100;
    EXPECT_THROW(WriteDescription(font, 3), std::runtime_error);
}

TEST(FontGenImage, PngKeepsTheCoverageAsAlphaOverWhite)
{
    GlyphImage image{3, 2, {0, 1, 128, 200, 254, 255}};
    const AlphaImage decoded = DecodePng(EncodePng(image));
    EXPECT_EQ(std::make_pair(decoded.width, decoded.height), std::make_pair(3, 2));
    EXPECT_EQ(decoded.alpha, image.alpha);
    EXPECT_EQ(decoded.grey, std::vector<std::uint8_t>(6, 255));
    EXPECT_THROW(EncodePng(GlyphImage{0, 0, {}}), std::runtime_error);
}
