// The committed art is what the generator makes now, byte for byte.
#include "Generate.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <map>
#include <set>
#include <stdexcept>

namespace fs = std::filesystem;
using namespace DataGen;

namespace
{
const fs::path Data = DATAGEN_DATA_DIR;
const fs::path Docs = DATAGEN_DOCS_DIR;

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
} // namespace

TEST(ArtRegeneration, RegeneratedFilesEqualTheCommittedOnes)
{
    TempDir temp;
    const Generated g = GenerateAll();
    WriteAll(temp.path / "data", temp.path / "docs", g);
    for (const Output& o : g.files)
    {
        SCOPED_TRACE(o.path);
        const fs::path committed = (o.root == Root::Data ? Data : Docs) / o.path;
        ASSERT_TRUE(fs::exists(committed)) << "not committed; run the regenerate-art target";
        EXPECT_TRUE(ReadFileBytes(committed) ==
                    ReadFileBytes((o.root == Root::Data ? temp.path / "data" : temp.path / "docs") / o.path))
            << "differs from the committed file; run the regenerate-art target";
    }
    EXPECT_EQ(Text(ReadFileBytes(Data / ManifestFile)), g.manifest);
    const std::string section = ExtractSection(Text(ReadFileBytes(Data / ResourceFile)), ImageSection);
    EXPECT_FALSE(section.empty()) << "the committed resource file has no image section";
    EXPECT_EQ(section, g.section);
}

TEST(ArtRegeneration, CommittedArtFoldersHoldOnlyGeneratedFiles)
{
    std::set<fs::path> generated;
    const Generated g = GenerateAll();
    for (const Output& o : g.files)
        generated.insert((o.root == Root::Data ? Data : Docs) / o.path);
    generated.insert(Data / ManifestFile);
    for (const fs::path& folder : {Data / "images", Docs / "art"})
        for (const auto& entry : fs::recursive_directory_iterator(folder))
            if (entry.is_regular_file())
            {
                EXPECT_TRUE(generated.count(entry.path())) << entry.path() << " is not generated";
            }
}

TEST(ArtRegeneration, NoOtherFileInTheTreeSharesAnImagesStem)
{
    // The file index finds files by bare name, and an image by its stem with any image
    // extension, so a generated stem must be unique in the whole data tree.
    auto lower = [](std::string s)
    {
        for (char& c : s)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return s;
    };
    std::map<std::string, int> stems;
    for (const auto& entry : fs::recursive_directory_iterator(Data))
        if (entry.is_regular_file())
            ++stems[lower(entry.path().stem().string())];
    for (const Output& o : GenerateAll().files)
        if (o.inManifest)
        {
            const std::string stem = lower(fs::path(o.path).stem().string());
            EXPECT_EQ(stems[stem], 1) << o.path;
            for (char c : o.path)
                EXPECT_TRUE(c > 0x20 && c < 0x7F) << o.path;
        }
}

TEST(ArtRegeneration, ManifestAndRecordsDescribeTheFiles)
{
    const Generated g = GenerateAll();
    // One row per image, sorted, each with its size and hash.
    size_t images = 0;
    for (const Output& o : g.files)
        if (o.inManifest)
        {
            ++images;
            const std::string row = o.path + "\t" + std::to_string(o.width) + "\t" +
                                    std::to_string(o.height) + "\t" + std::to_string(o.bytes.size()) + "\t" +
                                    Hex64(Fnv1a64(o.bytes)) + "\n";
            EXPECT_NE(g.manifest.find(row), std::string::npos) << o.path;
        }
    EXPECT_EQ(g.manifest.rfind("file\twidth\theight\tbytes\tfnv1a64\n", 0), 0u);
    EXPECT_EQ(std::count(g.manifest.begin(), g.manifest.end(), '\n'), static_cast<long>(images + 1));
    std::vector<std::string> rows;
    for (size_t at = g.manifest.find('\n') + 1; at < g.manifest.size(); at = g.manifest.find('\n', at) + 1)
        rows.push_back(g.manifest.substr(at, g.manifest.find('\t', at) - at));
    EXPECT_TRUE(std::is_sorted(rows.begin(), rows.end()));

    EXPECT_NE(g.section.find("<image name=\"CursorArrow\" src=\"CursorArrow\"/>"), std::string::npos);
    EXPECT_NE(g.section.find("<imagelist name=\"Btn_Wide3\">\n  <image src=\"Btn_Wide3_normal_l\"/>"),
              std::string::npos);
}

TEST(ArtRegeneration, OnlyWritesTheMatchingFamiliesButTheWholeIndex)
{
    TempDir temp;
    const Generated g = GenerateAll();
    EXPECT_FALSE(AnyMatches(g, "no such family"));
    EXPECT_TRUE(AnyMatches(g, "Btn_Small_hot"));
    WriteAll(temp.path / "data", temp.path / "docs", g, "btn_s*");
    EXPECT_TRUE(fs::exists(temp.path / "data/images/resources/Btn_Small_hot.png"));
    EXPECT_TRUE(fs::exists(temp.path / "docs/art/contact_Btn_Small.png"));
    EXPECT_FALSE(fs::exists(temp.path / "data/images/resources/Btn_Large_hot.png"));
    EXPECT_FALSE(fs::exists(temp.path / "data/images/resources/CursorArrow.gif"));
    EXPECT_EQ(Text(ReadFileBytes(temp.path / "data" / ManifestFile)), g.manifest);
    EXPECT_EQ(ExtractSection(Text(ReadFileBytes(temp.path / "data" / ResourceFile)), ImageSection),
              g.section);
}

TEST(ArtRegeneration, PatternsAndSections)
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
    const std::string file = "<?xml?>\n<resources>\n" + audio + "</resources>\n";
    const std::string added = SpliceSection(file, "image", images1);
    EXPECT_EQ(added, "<?xml?>\n<resources>\n" + audio + images1 + "</resources>\n");
    // Replacing keeps the other section and the surrounding text.
    EXPECT_EQ(SpliceSection(added, "image", images2),
              "<?xml?>\n<resources>\n" + audio + images2 + "</resources>\n");
    EXPECT_EQ(ExtractSection(added, "audio"), audio);
    EXPECT_NE(SpliceSection("", "image", images1).find("<resources>\n" + images1 + "</resources>"),
              std::string::npos);
    EXPECT_THROW(SpliceSection("<resources>\n<!-- end image section -->\n</resources>", "image", images1),
                 std::runtime_error);
    EXPECT_THROW(SpliceSection("no root", "image", images1), std::runtime_error);
}
