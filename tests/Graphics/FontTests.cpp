#include "Graphics/Font.h"
#include "Graphics/GraphicsFactories.h"
#include "Graphics/ImageCanvas.h"
#include "Graphics/TextWrap.h"
#include "GraphicsTestSupport.h"
#include "Support/FakeFileSystem.h"
#include "harness/LogCapture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <png.h>

using namespace Kestrin;
using namespace Kestrin::Graphics;
using GraphicsTest::Files;
using GraphicsTest::MakeImage;
using GraphicsTest::StreamOf;
using KestrinTest::LogCapture;

namespace
{

FontDescription Describe(const std::string& text)
{
    return ParseFontDescription(reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

std::unique_ptr<ImageFont> FontOf(const std::string& text, std::unique_ptr<Image> image = nullptr)
{
    return MakeImageFont(Describe(text), std::move(image), L"test");
}

// Three glyphs: "A" before "V" kerned -2, "V" before "A" kerned -1.
const char* kKerned = "0 20 1 2 5 3\n"
                      "A 0 12\n"
                      "B 12 11\n"
                      "V 23 12\n"
                      "0 0 -2\n"
                      "0 0 0\n"
                      "-1 0 0\n";

// A strip w x h whose pixels name their own position (alpha 0x80, x in bits 8-15, y in 0-7).
std::unique_ptr<Image> PositionStrip(int w, int h)
{
    auto image = std::make_unique<Image>(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image->Pixels()[y * w + x] = 0x80000000u | uint32_t((x & 0xFFFF) << 8) | uint32_t(y);
    return image;
}

} // namespace

TEST(FontAdvance, MonospacedProportionalAndKerned)
{
    auto mono = FontOf("2 10 7 0 3 2\nA 0 5\nB 5 6\n");
    auto plain = FontOf("0 10 1 1 4 1\nA 0 5\n");
    auto kerned = FontOf(kKerned);
    EXPECT_FALSE(mono->proportional);
    EXPECT_TRUE(plain->proportional);
    EXPECT_EQ(mono->kerning, nullptr);
    const wchar_t ellipsis = wchar_t(0x2026), negative = wchar_t(-5); // wchar_t is signed
    const struct
    {
        ImageFont* font;
        wchar_t c, next;
        int advance;
    } cases[] = {
        // Monospaced: every character advances by the spacing.
        {mono.get(), L'A', L'A', 7},
        {mono.get(), L'B', L'A', 7},
        {mono.get(), L' ', L'A', 7},
        {mono.get(), L'Z', L'A', 7},
        {mono.get(), wchar_t(0xE9), L'A', 7},
        // Proportional: the space's width or the glyph's, plus the spacing.
        {plain.get(), L' ', L'A', 5},
        {plain.get(), L'A', L' ', 6},
        {plain.get(), L'Q', L'A', 1}, // no glyph: spacing only
        {kerned.get(), L'A', L'V', 12 + 1 - 2},
        {kerned.get(), L'V', L'A', 12 + 1 - 1},
        {kerned.get(), L'A', L'B', 13},
        {kerned.get(), L'A', L'\0', 13}, // the end of a text has no pair
        // Characters beyond the font: "A" before an ellipsis must not lose its width and overlap.
        {kerned.get(), L'A', ellipsis, 13},
        {kerned.get(), ellipsis, L'A', 0},
        {kerned.get(), negative, L'A', 0}, // outside the font, not before its tables
        {kerned.get(), L'A', negative, 13},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.font->GetAdvance(c.c, c.next), c.advance) << int(c.c) << " before " << int(c.next);
    EXPECT_EQ(GetTextWidth(L"AB A", mono.get()), 28);
    EXPECT_EQ(GetTextWidth(L"AVA", kerned.get()), 11 + 12 + 13);
    EXPECT_EQ(GetTextWidth(L"A\u2026B", kerned.get()), 13 + 0 + 12);

    EXPECT_EQ(mono->GetLineHeight(), 10);
    Glyph glyph;
    mono->GetGlyph(L'B', glyph);
    EXPECT_EQ(glyph.x, 5);
    EXPECT_EQ(glyph.y, 2); // the strip's top
    EXPECT_EQ(glyph.width, 6);
    EXPECT_EQ(glyph.height, 10);
    glyph.width = 99;
    kerned->GetGlyph(negative, glyph);
    EXPECT_EQ(glyph.image, nullptr);
    EXPECT_EQ(glyph.width, 0);
    kerned->GetGlyph(wchar_t(0x100), glyph);
    EXPECT_EQ(glyph.height, 0);
}

TEST(FontDescription, Latin1AsUtf8OrRawBytes)
{
    const FontDescription utf8 = Describe("0 10 0 1 4 2\n\xC3\xA9 0 5\n\xC2\xB5 5 6\n");
    ASSERT_EQ(utf8.glyphs.size(), 2u);
    EXPECT_EQ(utf8.glyphs[0].code, 0xE9);
    EXPECT_EQ(utf8.glyphs[1].code, 0xB5);
    EXPECT_EQ(utf8.glyphs[1].width, 6);
    EXPECT_TRUE(utf8.complete);

    const FontDescription raw = Describe("0 10 0 1 4 1\n\xE9 3 5\n");
    ASSERT_EQ(raw.glyphs.size(), 1u);
    EXPECT_EQ(raw.glyphs[0].code, 0xE9);
    auto font = MakeImageFont(raw, nullptr, L"raw");
    EXPECT_EQ(font->GetAdvance(wchar_t(0xE9), 0), 5);
}

TEST(FontDescription, ShortFilesLeaveTheRestZero)
{
    // Announces three glyphs and kerning, but ends inside the second glyph.
    const FontDescription d = Describe("1 12 2 3 4 3\nA 0 5 0 12\nB 5");
    EXPECT_FALSE(d.complete);
    ASSERT_EQ(d.glyphs.size(), 2u);
    EXPECT_EQ(d.glyphs[1].code, 'B');
    EXPECT_EQ(d.glyphs[1].x, 5);
    EXPECT_EQ(d.glyphs[1].width, 0);
    auto font = MakeImageFont(d, nullptr, L"short");
    EXPECT_EQ(font->GetAdvance(L'A', L'B'), 7);
    EXPECT_EQ(font->GetAdvance(L'C', L'B'), 2);

    const FontDescription header = Describe("3 14 -");
    EXPECT_EQ(header.top, 3);
    EXPECT_EQ(header.lineHeight, 14);
    EXPECT_EQ(header.spacing, 0);
    EXPECT_EQ(header.glyphCount, 0);
    EXPECT_FALSE(header.complete);

    // A zero byte ends the text, as the file is read as one zero-terminated string.
    const FontDescription cut = Describe(std::string("0 10 0 1 4 2\nA 0 5\n\0B 5 6\n", 26));
    EXPECT_EQ(cut.glyphs.size(), 1u);
    EXPECT_FALSE(cut.complete);

    // Advances and widths of absurd descriptions saturate instead of wrapping.
    auto absurd = FontOf("0 10 2147483647 1 0 1\nA 0 1\n");
    EXPECT_EQ(absurd->GetAdvance(L'A', 0), INT32_MAX);
    EXPECT_EQ(GetTextWidth(L"AAA", absurd.get()), INT32_MAX);

    // Numbers saturate instead of wrapping.
    EXPECT_EQ(Describe("99999999999 -99999999999").lineHeight, INT32_MIN);
    EXPECT_EQ(Describe("99999999999").top, INT32_MAX);
}

TEST(FontDescription, KerningIsASignedByteByPairOfGlyphs)
{
    const FontDescription d = Describe("0 10 0 2 4 2\nA 0 5\nB 5 5\n0 200\n-129 7\n");
    ASSERT_TRUE(d.complete);
    ASSERT_EQ(d.kerning.size(), 65536u);
    EXPECT_EQ(d.kerning['A' * 256 + 'B'], int8_t(-56));
    EXPECT_EQ(d.kerning['B' * 256 + 'A'], int8_t(127));
    EXPECT_EQ(d.kerning['B' * 256 + 'B'], 7);
}

TEST(FontImage, RectanglesLeavingTheImageAreCut)
{
    auto font =
        FontOf("0 10 1 3 4 3\na 10 10 10 10\nb 20 4 0 4\nc -2 5 -3 6\n", std::make_unique<Image>(16, 16));
    EXPECT_EQ(font->glyphs['a'], (GlyphRect{10, 10, 6, 6}));
    EXPECT_EQ(font->glyphs['b'], GlyphRect());
    EXPECT_EQ(font->glyphs['c'], (GlyphRect{0, 0, 3, 3}));
    // The advance stays what the description says.
    EXPECT_EQ(font->GetAdvance(L'a', 0), 11);
    EXPECT_EQ(font->GetAdvance(L'b', 0), 5);
}

TEST(FontRepack, StripsMoveIntoThePowerOfTwoImageTheyFit)
{
    // Twelve glyphs of 25 in a 300 x 20 strip: 64 x 64 is skipped at once ((300 / 64) x 20 = 80),
    // 64 x 128 holds two a row and needs six rows of 22, 128 x 128 holds them in three.
    std::string text = "0 20 1 2 4 12\n";
    for (int i = 0; i < 12; ++i)
        text += std::string(1, char('A' + i)) + " " + std::to_string(i * 25) + " 25\n";
    for (int i = 0; i < 144; ++i)
        text += "0 ";
    auto strip = PositionStrip(300, 20);
    LogCapture log;
    auto font = FontOf(text, std::move(strip));
    EXPECT_EQ(log.Text(), "Font: test did not fit into a 64x128\nFont: test was 300x20 now 128x128\n");
    ASSERT_NE(font->image, nullptr);
    EXPECT_TRUE(font->image->GetWidth() == 128 && font->image->GetHeight() == 128);

    auto original = PositionStrip(300, 20);
    for (int i = 0; i < 12; ++i)
    {
        const GlyphRect& r = font->glyphs[size_t('A' + i)];
        EXPECT_EQ(r, (GlyphRect{(i % 4) * 27, (i / 4) * 22, 25, 20})) << i;
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 25; ++x)
                ASSERT_EQ(font->image->GetPixel(r.x + x, r.y + y), original->GetPixel(i * 25 + x, y))
                    << "glyph " << i << " at " << x << "," << y;
    }
    // The gaps stay transparent.
    EXPECT_EQ(font->image->GetPixel(25, 0), 0u);
    EXPECT_EQ(font->image->GetPixel(0, 20), 0u);
    EXPECT_EQ(font->GetAdvance(L'C', L'D'), 26);
}

TEST(FontRepack, AGlyphWiderThanTheImageIsNeverCut)
{
    // One glyph 100 wide: 64 x 64 would pass the quick test but cut the glyph at 64.
    LogCapture log;
    auto font = FontOf("0 10 0 1 0 2\nW 0 100\ni 100 3\n", PositionStrip(103, 10));
    EXPECT_EQ(log.Text(), "Font: test was 103x10 now 128x128\n");
    EXPECT_EQ(font->glyphs['W'], (GlyphRect{0, 0, 100, 10}));
    EXPECT_EQ(font->image->GetPixel(99, 9) & 0xFFFFFF, uint32_t((99 << 8) | 9));
    EXPECT_EQ(font->glyphs['i'], (GlyphRect{102, 0, 3, 10}));
}

TEST(FontRepack, AFontThatFitsNowhereKeepsItsStrip)
{
    LogCapture log;
    auto strip = PositionStrip(40, 30);
    Image* raw = strip.get();
    // A line height no atlas up to 4096 x 4096 holds.
    auto font = FontOf("0 5000 0 2 4 2\nA 0 10\nB 30 20\n0 0 0 0\n", std::move(strip));
    EXPECT_EQ(font->image.get(), raw);
    EXPECT_EQ(font->glyphs['A'], (GlyphRect{0, 0, 10, 30}));
    EXPECT_EQ(font->glyphs['B'], (GlyphRect{30, 0, 10, 30})); // cut to the strip
    const std::string text = log.Text();
    EXPECT_NE(text.find("Font: test did not fit into a 64x64\n"), std::string::npos);
    EXPECT_NE(text.find("Font: test did not fit into a 4096x4096\n"), std::string::npos);
    EXPECT_EQ(text.find("8192"), std::string::npos);
    EXPECT_EQ(text.find(" was "), std::string::npos);
}

namespace
{
// A grey+alpha PNG: white, alpha 255 where `ink` says '#'.
std::vector<uint8_t> InkPng(int w, int h, const std::string& ink)
{
    GraphicsTest::PngLayout layout;
    layout.width = w;
    layout.height = h;
    layout.colorType = PNG_COLOR_TYPE_GRAY_ALPHA;
    for (char c : ink)
        layout.samples.insert(layout.samples.end(), {255, uint16_t(c == '#' ? 255 : 0)});
    return GraphicsTest::WritePng(layout);
}
} // namespace

TEST(FontLoading, DescriptionAndImageThroughTheOpener)
{
    Files files;
    files.AddText(L"tiny.txt", "0 2 1 3 2 2\nA 0 2 0 2\nB 2 1 0 2\n0 0\n0 0\n");
    files.bytes[L"tiny.png"] = InkPng(3, 2, "#.####");
    files.bytes[L"lonely.png"] = InkPng(1, 1, "#");
    files.AddText(L"ghost.txt", kKerned);
    LogCapture log;
    auto font = LoadImageFont(L"tiny", L"Tiny", files.Opener());
    ASSERT_NE(font, nullptr);
    ASSERT_NE(font->image, nullptr);
    EXPECT_EQ(font->image->GetPixel(1, 0) >> 24, 0u); // the strip's ink as its alpha
    EXPECT_EQ(font->image->GetPixel(1, 1) >> 24, 0xFFu);

    // A missing description is no font, and no log line.
    EXPECT_EQ(LoadImageFont(L"lonely", L"Lonely", files.Opener()), nullptr);
    EXPECT_EQ(log.Text(), "");

    // A missing image leaves a font that measures but draws nothing.
    auto ghost = LoadImageFont(L"ghost", L"Ghost", files.Opener());
    ASSERT_NE(ghost, nullptr);
    EXPECT_EQ(ghost->image, nullptr);
    EXPECT_EQ(GetTextWidth(L"AV", ghost.get()), 24);
    Glyph glyph;
    ghost->GetGlyph(L'A', glyph);
    EXPECT_EQ(glyph.image, nullptr);
    GraphicsTest::RecordingCanvas recording;
    DrawState s;
    s.font = ghost.get();
    EXPECT_EQ(DrawText(L"AV", 0, 0, s, &recording), 1);
    EXPECT_TRUE(recording.calls.empty());
}

namespace
{
std::string ReadDataFile(const std::string& relative)
{
    std::ifstream in(std::string(KESTRIN_SOURCE_DIR) + "/data/" + relative, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
} // namespace

TEST(CommittedFonts, DejaVuSans16MeasuresAndDrawsTheGameTitle)
{
    KestrinTest::FakeFileSystem files;
    KestrinTest::ScopedFileSystem scope(&files);
    const std::string description = ReadDataFile("fonts/DejaVuSans16.txt");
    const std::string png = ReadDataFile("fonts/DejaVuSans16.png");
    ASSERT_FALSE(description.empty());
    ASSERT_FALSE(png.empty());
    files.AddFile(FileSpec::FromNameAndExtension(L"DejaVuSans16", L".txt"), description);
    files.AddFile(FileSpec::FromNameAndExtension(L"DejaVuSans16", L".png"), png);

    // Through the font factory, as a resource group names it.
    RegisterGraphicsResourceFactories(*ResourceManager::Instance());
    struct ManagerGuard
    {
        ~ManagerGuard() { delete ResourceManager::Instance(); }
    } guard;
    LogCapture log;
    const std::string group =
        "<r><font name='Body' src='DejaVuSans16'/><font name='None' src='DejaVuSans99'/></r>";
    MemoryStream stream(L"fonts", group.data(), uint32_t(group.size()));
    ResourceManager::Instance()->Load(L"fonts", &stream, nullptr);
    auto* font = dynamic_cast<ImageFont*>(GetFontById(MakeName("Body")).second);
    ASSERT_NE(font, nullptr);
    ASSERT_NE(font->image, nullptr);
    EXPECT_EQ(log.Text().find("Font:"), std::string::npos); // version 3: no repacking
    EXPECT_EQ(files.opens, files.closes);
    EXPECT_EQ(GetFontById(MakeName("None")).second, nullptr);
    EXPECT_EQ(font->GetLineHeight(), 19);

    // Widths of the committed description: T 10, a 10, n 10, g 10, l 4, e 10, w 13, i 4, s 8,
    // p 10, spacing 0, and "T" before "a" kerned -2.
    const std::wstring title = L"Tanglewisp";
    EXPECT_EQ(font->GetAdvance(L'T', L'a'), 8);
    EXPECT_EQ(GetTextWidth(title, font), 87);
    EXPECT_EQ(MeasureWrappedText(title, font, 500), (Vector2<int>{87, 19}));
    const std::vector<int> pens = {0, 8, 18, 28, 38, 42, 52, 65, 69, 77};

    // White glyphs over opaque black: each pixel shows its glyph's coverage.
    auto target = MakeImage(100, 24, std::vector<uint32_t>(2400, 0xFF000000u), false);
    cImageCanvas canvas(*target);
    DrawState s;
    s.font = font;
    EXPECT_EQ(DrawText(title.c_str(), 2, 3, s, &canvas), 0);

    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 100; ++x)
            if (x < 2 || x >= 2 + 87 || y < 3 || y >= 3 + 19)
            {
                ASSERT_EQ(target->GetPixel(x, y), 0xFF000000u) << "outside the text at " << x << "," << y;
            }
    // Each cell where no neighbour overlaps it (the kerned "Ta" shares two columns).
    int previousEnd = 0;
    for (size_t i = 0; i < title.size(); ++i)
    {
        Glyph glyph;
        font->GetGlyph(title[i], glyph);
        const int cellStart = std::max(0, previousEnd - pens[i]);
        const int cellEnd = i + 1 < title.size() ? std::min(glyph.width, pens[i + 1] - pens[i]) : glyph.width;
        previousEnd = pens[i] + glyph.width;
        int ink = 0;
        for (int y = 0; y < glyph.height; ++y)
            for (int x = cellStart; x < cellEnd; ++x)
            {
                const int coverage = int(glyph.image->GetPixel(glyph.x + x, glyph.y + y) >> 24);
                const int shown = int(target->GetPixel(2 + pens[i] + x, 3 + y) & 0xFF);
                // Blending rounds; faint edges below 16 are left out.
                ASSERT_NEAR(shown, coverage, 16) << char(title[i]) << " at " << x << "," << y;
                ink += coverage > 128;
            }
        EXPECT_GT(ink, 4) << char(title[i]);
    }
}

TEST(KeyNames, NamedKeysLettersAndUnknowns)
{
    for (const wchar_t* enter : {L"enter", L"ENTER", L"Enter", L"VK_RETURN"})
        EXPECT_EQ(KeyNameToVirtualKey(enter), 13) << enter;
    EXPECT_EQ(KeyNameToVirtualKey(L"PageDown"), 34);
    EXPECT_EQ(KeyNameToVirtualKey(L"f10"), 121);
    EXPECT_EQ(KeyNameToVirtualKey(L"GamePadR"), 263);
    EXPECT_EQ(KeyNameToVirtualKey(L"a"), 65);
    EXPECT_EQ(KeyNameToVirtualKey(L","), 44);
    for (const wchar_t* unknown : {L"\u00e9", L"F13", L"Enterx", L""})
        EXPECT_EQ(KeyNameToVirtualKey(unknown), 0) << unknown;
    EXPECT_EQ(KeyNameToVirtualKey(nullptr), 0);
}
