#include "FontFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <map>
#include <numeric>
#include <set>
#include <sstream>

namespace fs = std::filesystem;

namespace
{

const fs::path cData = FONTGEN_DATA_DIR;

struct LoadedFont
{
    Description description;
    AlphaImage image;
    bool strip = false;
};

LoadedFont Load(const fs::path& stem, bool strip = false)
{
    return {ParseDescription(ReadBytes(stem.string() + ".txt")), ReadPng(stem.string() + ".png"), strip};
}

std::map<std::string, LoadedFont> CommittedFonts()
{
    std::map<std::string, LoadedFont> fonts;
    for (const ListedFont& listed : ReadFontList(FONTGEN_LIST))
        fonts[listed.name] = Load(cData / listed.name, listed.strip);
    return fonts;
}

// The lines between the font section's markers, without the markers; empty when the file has none.
std::vector<std::string> FontSection(const fs::path& file, bool& found)
{
    std::istringstream lines(ReadBytes(file));
    std::vector<std::string> section;
    bool inside = false;
    found = false;
    for (std::string line; std::getline(lines, line);)
    {
        if (line == "<!-- begin font section -->")
            inside = found = true;
        else if (line == "<!-- end font section -->")
            inside = false;
        else if (inside && line.rfind("<!--", 0) != 0)
            section.push_back(line);
    }
    return section;
}

// Lowest row with ink inside the glyph's cell, counted from the cell's top; -1 for a blank cell.
int LowestInkRow(const LoadedFont& font, int code)
{
    const GlyphRecord* g = font.description.Find(code);
    if (!g)
        return -1;
    for (int r = g->height - 1; r >= 0; --r)
        for (int c = 0; c < g->width; ++c)
            if (font.image.Alpha(g->x + c, g->y + r) > 0)
                return r;
    return -1;
}

long long TotalInk(const AlphaImage& image)
{
    return std::accumulate(image.alpha.begin(), image.alpha.end(), 0LL);
}

} // namespace

TEST(FontGenOutput, RegeneratedFontsMatchTheCommittedBytes)
{
    const std::vector<ListedFont> listed = ReadFontList(FONTGEN_LIST);
    ASSERT_GE(listed.size(), 5u);
    TempFolder temp;
    std::set<std::string> expectedFiles{"LICENSE-DejaVu", ".gitattributes"};
    for (const ListedFont& font : listed)
    {
        SCOPED_TRACE(font.name);
        std::vector<std::string> args = font.args;
        args.insert(args.end(), {"--out", (temp.Path() / font.name).string()});
        ASSERT_EQ(RunFontGen(args, temp.Path() / "log"), 0) << ReadBytes(temp.Path() / "log");
        for (const char* ext : {".txt", ".png"})
        {
            const std::string committed = ReadBytes(cData / (font.name + ext));
            ASSERT_FALSE(committed.empty()) << ext;
            EXPECT_TRUE(ReadBytes(temp.Path() / (font.name + ext)) == committed)
                << font.name << ext << " differs from a fresh run; regenerate with tools/fontgen/make-fonts";
            expectedFiles.insert(font.name + ext);
        }
    }
    // Nothing in the folder that the list does not make, so no stale font lingers.
    std::set<std::string> present;
    for (const fs::directory_entry& entry : fs::directory_iterator(cData))
        present.insert(entry.path().filename().string());
    EXPECT_EQ(present, expectedFiles);
    EXPECT_NE(ReadBytes(cData / "LICENSE-DejaVu").find("Bitstream Vera"), std::string::npos);
}

TEST(FontGenOutput, CommittedDescriptionsDescribeTheirImages)
{
    std::vector<int> expectedCodes;
    for (int c = 0x21; c <= 0xFF; ++c)
        if (c <= 0x7E || (c >= 0xA1 && c != 0xAD))
            expectedCodes.push_back(c);

    for (const auto& [name, font] : CommittedFonts())
    {
        SCOPED_TRACE(name);
        const Description& d = font.description;
        const AlphaImage& image = font.image;
        ASSERT_TRUE(d.complete);
        EXPECT_FALSE(d.trailing);
        EXPECT_EQ(d.spacing, 0);
        if (font.strip)
        {
            // One row at the top: the engine repacks it when it loads the font.
            EXPECT_EQ(d.version, 2);
            EXPECT_EQ(d.top, 0);
            EXPECT_EQ(image.height, d.lineHeight);
        }
        else
        {
            EXPECT_EQ(d.version, 3);
            ASSERT_TRUE(image.width > 0 && std::has_single_bit(unsigned(image.width)) && image.height > 0 &&
                        std::has_single_bit(unsigned(image.height)))
                << image.width << "x" << image.height;
        }
        EXPECT_TRUE(std::all_of(image.grey.begin(), image.grey.end(), [](int g) { return g == 255; }));

        std::vector<int> codes;
        std::vector<int> owner(image.alpha.size(), -1);
        for (size_t i = 0; i < d.glyphs.size(); ++i)
        {
            const GlyphRecord& g = d.glyphs[i];
            codes.push_back(g.code);
            ASSERT_EQ(g.height, d.lineHeight) << "U+" << std::hex << g.code;
            ASSERT_TRUE(g.x >= 0 && g.y >= 0 && g.width > 0 && g.x + g.width <= image.width &&
                        g.y + g.height <= image.height)
                << "U+" << std::hex << g.code << " leaves the image";
            int ink = 0;
            for (int y = g.y; y < g.y + g.height; ++y)
                for (int x = g.x; x < g.x + g.width; ++x)
                {
                    int& o = owner[static_cast<size_t>(y) * image.width + x];
                    ASSERT_EQ(o, -1) << "U+" << std::hex << g.code << " overlaps U+" << d.glyphs[o].code;
                    o = static_cast<int>(i);
                    ink += image.Alpha(x, y);
                }
            EXPECT_GT(ink, 0) << "U+" << std::hex << g.code << " is blank";
        }
        EXPECT_EQ(codes, expectedCodes);
        for (size_t p = 0; p < owner.size(); ++p)
            ASSERT_FALSE(owner[p] == -1 && image.alpha[p] != 0) << "ink outside every glyph at " << p;

        for (int c = 0x21; c <= 0x7E; ++c)
            EXPECT_GT(d.Advance(c, 0), 0) << "U+" << std::hex << c;
        EXPECT_GT(d.Advance(' ', 'A'), 0);
        EXPECT_TRUE(
            std::all_of(d.kerning.begin(), d.kerning.end(), [](int k) { return k >= -128 && k <= 127; }));

        // One baseline for every cell; descenders go below it.
        const int baseline = LowestInkRow(font, 'H');
        for (int c : {int('x'), int('E'), int('z'), 0xC9 /* É */})
            EXPECT_EQ(LowestInkRow(font, c), baseline) << "U+" << std::hex << c;
        EXPECT_GT(LowestInkRow(font, 'p'), baseline);
    }
}

TEST(FontGenOutput, GroupFilesHoldARecordForEachFontTheListGivesThem)
{
    std::map<std::string, std::vector<std::string>> expected;
    for (const ListedFont& font : ReadFontList(FONTGEN_LIST))
        if (font.group != "-")
            expected[font.group].push_back("<font name=\"" + font.name + "\" src=\"" + font.name + "\"/>");
    ASSERT_FALSE(expected.empty());

    // Every group file with a font section, so a record left behind by a removed line shows too.
    const fs::path groups = cData.parent_path() / "groups";
    for (const fs::directory_entry& entry : fs::directory_iterator(groups))
    {
        if (entry.path().extension() != ".xml")
            continue;
        const std::string group = entry.path().stem().string();
        bool found = false;
        const std::vector<std::string> section = FontSection(entry.path(), found);
        if (!found && !expected.count(group))
            continue;
        EXPECT_TRUE(found) << entry.path() << " has no font section; run tools/fontgen/make-fonts";
        EXPECT_EQ(section, expected[group]) << entry.path() << ": run tools/fontgen/make-fonts";
        expected.erase(group);
    }
    for (const auto& [group, records] : expected)
        ADD_FAILURE() << "no group file " << group << ".xml for " << records.size() << " font record(s)";
}

TEST(FontGenOutput, KerningRowIsTheFirstCharacterOfThePair)
{
    const LoadedFont font = Load(cData / "DejaVuSans36");
    const Description& d = font.description;
    ASSERT_TRUE(d.complete);
    // DejaVu kerns "To" and "F." but not "oT" or ".F".
    EXPECT_LT(d.Advance('T', 'o'), d.Advance('T', 0));
    EXPECT_EQ(d.Advance('o', 'T'), d.Advance('o', 0));
    EXPECT_LT(d.Advance('F', '.'), d.Advance('F', 0));
    EXPECT_EQ(d.Advance('.', 'F'), d.Advance('.', 0));
}

TEST(FontGenOutput, SizeAndBoldFaceShapeTheGlyphs)
{
    const std::map<std::string, LoadedFont> fonts = CommittedFonts();
    int lastHeight = 0;
    int lastWidth = 0;
    for (const char* name : {"DejaVuSans12", "DejaVuSans16", "DejaVuSans24", "DejaVuSans36"})
    {
        SCOPED_TRACE(name);
        ASSERT_EQ(fonts.count(name), 1u);
        const Description& d = fonts.at(name).description;
        ASSERT_TRUE(d.complete);
        EXPECT_GT(d.lineHeight, lastHeight);
        EXPECT_GT(d.Advance('M', 0), lastWidth);
        lastHeight = d.lineHeight;
        lastWidth = d.Advance('M', 0);
    }
    ASSERT_EQ(fonts.count("DejaVuSansBold24"), 1u);
    const LoadedFont& regular = fonts.at("DejaVuSans24");
    const LoadedFont& bold = fonts.at("DejaVuSansBold24");
    EXPECT_EQ(bold.description.lineHeight, regular.description.lineHeight);
    EXPECT_GT(bold.description.Advance('m', 0), regular.description.Advance('m', 0));
    EXPECT_GT(TotalInk(bold.image), TotalInk(regular.image) * 11 / 10);
}

TEST(FontGenOutput, StripHoldsTheAtlasGlyphsInOneRow)
{
    // Font_Body is the 16-pixel regular face with --strip; the first test shows it is fontgen's output.
    const LoadedFont strip = Load(cData / "Font_Body");
    const LoadedFont atlas = Load(cData / "DejaVuSans16");
    const Description& s = strip.description;
    const Description& a = atlas.description;
    // Version, top and height of a strip are checked with the other committed fonts.
    ASSERT_TRUE(s.complete && a.complete);
    EXPECT_EQ(s.lineHeight, a.lineHeight);
    EXPECT_EQ(s.spaceWidth, a.spaceWidth);
    EXPECT_EQ(s.kerning, a.kerning);
    ASSERT_EQ(s.glyphs.size(), a.glyphs.size());

    int nextFree = 0;
    for (size_t i = 0; i < s.glyphs.size(); ++i)
    {
        const GlyphRecord& g = s.glyphs[i];
        const GlyphRecord& h = a.glyphs[i];
        SCOPED_TRACE(g.code);
        ASSERT_EQ(g.code, h.code);
        ASSERT_EQ(g.width, h.width);
        ASSERT_GE(g.x, nextFree);
        ASSERT_LE(g.x + g.width, strip.image.width);
        nextFree = g.x + g.width;
        for (int y = 0; y < g.height; ++y)
            for (int x = 0; x < g.width; ++x)
                ASSERT_EQ(strip.image.Alpha(g.x + x, y), atlas.image.Alpha(h.x + x, h.y + y))
                    << x << "," << y;
    }
}

TEST(FontGenCommandLine, RefusesBadArgumentsWithoutWritingAnything)
{
    TempFolder temp;
    const std::string stem = (temp.Path() / "f").string();
    const std::vector<std::vector<std::string>> bad{
        {"--size", "12"},
        {"--size", "0", "--out", stem},
        {"--size", "-3", "--out", stem},
        {"--size", "12px", "--out", stem},
        {"--size", "0x10", "--out", stem},
        {"--size", "513", "--out", stem},
        {"--bogus", "--out", stem},
        {"--out"},
    };
    const fs::path log = temp.Path().parent_path() / (temp.Path().filename().string() + ".log");
    for (const auto& args : bad)
    {
        EXPECT_EQ(RunFontGen(args, log), 2) << args[0] << " " << (args.size() > 1 ? args[1] : "");
        EXPECT_TRUE(fs::is_empty(temp.Path()));
    }
    fs::remove(log);
}

TEST(FontGenCommandLine, FailedRunKeepsTheEarlierPair)
{
    TempFolder temp;
    const fs::path log = temp.Path() / "log";
    const std::string stem = (temp.Path() / "f").string();
    ASSERT_EQ(RunFontGen({"--size", "12", "--out", stem}, log), 0);
    const std::string txt = ReadBytes(stem + ".txt");
    const std::string png = ReadBytes(stem + ".png");

    EXPECT_EQ(
        RunFontGen({"--size", "20", "--face", (temp.Path() / "missing.ttf").string(), "--out", stem}, log),
        1);
    EXPECT_NE(ReadBytes(log).find("missing.ttf"), std::string::npos);
    EXPECT_EQ(RunFontGen({"--size", "20", "--bold", stem + ".txt", "--out", stem}, log), 1);
    EXPECT_EQ(RunFontGen({"--size", "20", "--out", (temp.Path() / "no" / "f").string()}, log), 1);

    EXPECT_TRUE(ReadBytes(stem + ".txt") == txt);
    EXPECT_TRUE(ReadBytes(stem + ".png") == png);
    std::set<std::string> files;
    for (const fs::directory_entry& entry : fs::directory_iterator(temp.Path()))
        files.insert(entry.path().filename().string());
    EXPECT_EQ(files, (std::set<std::string>{"f.txt", "f.png", "log"}));
}
