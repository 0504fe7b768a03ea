// Writing the generated art: which files a pattern selects, and the sections of the resource file.
#include "Generate.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>

namespace fs = std::filesystem;
using namespace DataGen;

namespace
{
struct TempDir
{
    TempDir()
    {
        std::string pattern = (fs::temp_directory_path() / "datagen-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("mkdtemp failed");
        path = pattern;
    }
    ~TempDir() { fs::remove_all(path); }
    fs::path path;
};

std::string Text(const Bytes& b)
{
    return std::string(b.begin(), b.end());
}

Bytes ToBytes(const std::string& s)
{
    return Bytes(s.begin(), s.end());
}

Output File(Root root, const std::string& path, const std::string& family, uint8_t content)
{
    Output o;
    o.root = root;
    o.path = path;
    o.family = family;
    o.bytes = {content, content};
    o.inManifest = root == Root::Data;
    return o;
}
} // namespace

TEST(ArtWriting, OnlyWritesTheMatchingFamiliesButTheWholeIndex)
{
    Generated g;
    g.files = {File(Root::Data, "images/resources/Btn_Small_hot.png", "Btn_Small", 1),
               File(Root::Docs, "art/contact_Btn_Small.png", "Btn_Small", 2),
               File(Root::Data, "images/resources/Btn_Large_hot.png", "Btn_Large", 3),
               File(Root::Data, "images/resources/CursorArrow.gif", "CursorArrow", 4),
               File(Root::Data, "images/Title_MainMenu/TitleBG.jpg", "TitleBG", 5)};
    g.manifest = "file\twidth\theight\tbytes\tfnv1a64\nthe rows\n";
    g.captions = "images\tleft\ttop\tright\tbottom\tradius\nBtn_Small\t1.00\t2.00\t3.00\t4.00\t5.00\n";
    g.sections["resources"] = "<!-- begin image section -->\n<image new/>\n<!-- end image section -->\n";
    g.sections["Title_MainMenu"] =
        "<!-- begin image section -->\n<image title/>\n<!-- end image section -->\n";
    EXPECT_FALSE(AnyMatches(g, "no such family"));
    EXPECT_TRUE(AnyMatches(g, "Btn_Small_hot"));
    EXPECT_TRUE(AnyMatches(g, "titlebg"));

    TempDir temp;
    const fs::path data = temp.path / "data", docs = temp.path / "docs";
    // An existing resource file keeps its other sections; the image section is replaced.
    const std::string audio = "<!-- begin audio section -->\n<sound/>\n<!-- end audio section -->\n";
    const std::string old = "<!-- begin image section -->\n<image old/>\n<!-- end image section -->\n";
    WriteFileBytes(data / ResourceFile, ToBytes("<resources>\n" + audio + old + "</resources>\n"));

    EXPECT_EQ(WriteAll(data, docs, g, "btn_s*"), 6u);
    EXPECT_TRUE(ReadFileBytes(data / "images/resources/Btn_Small_hot.png") == Bytes({1, 1}));
    EXPECT_TRUE(ReadFileBytes(docs / "art/contact_Btn_Small.png") == Bytes({2, 2}));
    EXPECT_FALSE(fs::exists(data / "images/resources/Btn_Large_hot.png"));
    EXPECT_FALSE(fs::exists(data / "images/resources/CursorArrow.gif"));
    EXPECT_EQ(Text(ReadFileBytes(data / ManifestFile)), g.manifest);
    EXPECT_EQ(Text(ReadFileBytes(data / CaptionFile)), g.captions);
    EXPECT_EQ(Text(ReadFileBytes(data / ResourceFile)),
              "<resources>\n" + audio + g.sections["resources"] + "</resources>\n");
    // A group without a file gets one holding just its section.
    const std::string title = Text(ReadFileBytes(data / GroupFile("Title_MainMenu")));
    EXPECT_EQ(ExtractSection(title, ImageSection), g.sections["Title_MainMenu"]);
    EXPECT_NE(title.find("<resources>\n" + g.sections["Title_MainMenu"] + "</resources>"), std::string::npos);

    // A file is also selected by its own stem, and no pattern writes everything.
    EXPECT_EQ(WriteAll(data, docs, g, "btn_large_h*"), 5u);
    EXPECT_TRUE(ReadFileBytes(data / "images/resources/Btn_Large_hot.png") == Bytes({3, 3}));
    EXPECT_FALSE(fs::exists(data / "images/resources/CursorArrow.gif"));
    EXPECT_EQ(WriteAll(data, docs, g), 9u);
    EXPECT_TRUE(ReadFileBytes(data / "images/Title_MainMenu/TitleBG.jpg") == Bytes({5, 5}));
}

TEST(ArtWriting, PatternsAndSections)
{
    struct Case
    {
        const char* pattern;
        const char* text;
        bool match;
    };
    const Case cases[] = {{"Btn_*", "btn_large", true},
                          {"*9", "Panel9", true},
                          {"?anel9", "Panel9", true},
                          {"Panel", "Panel9", false},
                          {"*a*e*", "Popup9", false},
                          {"", "", true},
                          {"**", "x", true},
                          {"a*b*c", "aXbYbZc", true}};
    for (const Case& c : cases)
        EXPECT_EQ(MatchesPattern(c.pattern, c.text), c.match) << c.pattern << " / " << c.text;

    const std::string audio = "<!-- begin audio section -->\n<sound/>\n<!-- end audio section -->\n";
    const std::string images1 = "<!-- begin image section -->\n<image a/>\n<!-- end image section -->\n";
    const std::string images2 = "<!-- begin image section -->\n<image b/>\n<!-- end image section -->\n";
    // A new section goes first inside the root, before anything that could name its images, past
    // the declaration and comments (one naming a tag) before the root.
    const std::string head = "<?xml?>\n<!-- a <group> file -->\n<group a=\"1\">\n";
    const std::string file = head + audio + "</group>\n";
    const std::string added = SpliceSection(file, "image", images1);
    EXPECT_EQ(added, head + images1 + audio + "</group>\n");
    // Replacing keeps the other section and the surrounding text.
    EXPECT_EQ(SpliceSection(added, "image", images2), head + images2 + audio + "</group>\n");
    EXPECT_EQ(ExtractSection(added, "audio"), audio);
    EXPECT_NE(SpliceSection("", "image", images1).find("<resources>\n" + images1 + "</resources>"),
              std::string::npos);
    EXPECT_NE(SpliceSection("", "image", images1, "Credits").find("\"Credits\" group"), std::string::npos);
    EXPECT_THROW(SpliceSection("<resources>\n<!-- end image section -->\n</resources>", "image", images1),
                 std::runtime_error);
    EXPECT_THROW(SpliceSection("no root", "image", images1), std::runtime_error);
    EXPECT_THROW(SpliceSection("<!-- unclosed <resources>", "image", images1), std::runtime_error);
}

TEST(ArtWriting, ContactSheetsCanShareRowsAndShowBigFramesReduced)
{
    auto picture = [](const std::string& stem, int w, int h)
    {
        Resource r;
        r.name = stem;
        ImageFile f;
        f.stem = stem;
        f.canvas = Canvas(w, h);
        f.canvas.Fill(Palette::Teal);
        r.frames.push_back(std::move(f));
        return r;
    };
    FamilyArt art;
    for (const char* stem : {"One", "Two", "Three"})
        art.resources.push_back(picture(stem, 300, 200));
    const Family family{"Test", "resources", nullptr, nullptr};
    const Canvas plain = ContactSheet(family, art);
    art.compactSheet = true;
    const Canvas compact = ContactSheet(family, art);
    art.sheetScale = 0.5;
    const Canvas reduced = ContactSheet(family, art);
    // A row each, then one row for the three, then the same row at half size.
    EXPECT_GT(plain.Height(), 3 * 200);
    EXPECT_LT(compact.Height(), 2 * 200);
    EXPECT_GE(compact.Width(), 3 * 300);
    EXPECT_LT(reduced.Width(), 3 * 300);
    EXPECT_LT(reduced.Height(), compact.Height());
}
