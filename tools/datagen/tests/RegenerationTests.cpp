// The committed art is what the generator makes now, byte for byte. Painting everything is the
// slow part, so it happens once per test run: the test ArtRegeneration.Regenerate runs datagen into
// a fresh folder of the build tree, and these checks read what it wrote there.
#include "Generate.h"

#include "Base/Stream.h"
#include "Graphics/ImageDecoders.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <set>
#include <sstream>

namespace fs = std::filesystem;
using namespace DataGen;

namespace
{
const fs::path Data = DATAGEN_DATA_DIR;
const fs::path Docs = DATAGEN_DOCS_DIR;
const fs::path Fresh = REGENERATED_DIR;
const fs::path FreshData = Fresh / "data";
const fs::path FreshDocs = Fresh / "docs";

std::string Text(const Bytes& b)
{
    return std::string(b.begin(), b.end());
}

// Every file below root/folder, '/'-separated and relative to root.
std::set<std::string> FilesUnder(const fs::path& root, const std::string& folder)
{
    std::set<std::string> files;
    if (fs::is_directory(root / folder))
        for (const auto& entry : fs::recursive_directory_iterator(root / folder))
            if (entry.is_regular_file())
                files.insert(fs::relative(entry.path(), root).generic_string());
    return files;
}

// The art folders of each tree: committed root, fresh root, folder.
struct Tree
{
    const fs::path& committed;
    const fs::path& fresh;
    const char* folder;
};
const Tree Trees[] = {{Data, FreshData, "images"}, {Docs, FreshDocs, "art"}};

struct Row
{
    std::string file;
    int width = 0, height = 0;
    size_t bytes = 0;
    std::string hash;
};

// The fresh manifest's rows, in file order.
std::vector<Row> ManifestRows(std::string& heading)
{
    std::istringstream in(Text(ReadFileBytes(FreshData / ManifestFile)));
    std::getline(in, heading);
    std::vector<Row> rows;
    for (std::string line; std::getline(in, line);)
    {
        std::istringstream fields(line);
        Row r;
        fields >> r.file >> r.width >> r.height >> r.bytes >> r.hash;
        rows.push_back(r);
    }
    return rows;
}

// Width and height as the engine's decoders read the file; 0 x 0 when they refuse it.
std::pair<int, int> DecodedSize(const fs::path& file)
{
    const Bytes bytes = ReadFileBytes(file);
    Kestrin::MemoryStream stream(L"image", bytes.data(), uint32_t(bytes.size()));
    int w = 0, h = 0;
    const std::string ext = file.extension().string();
    bool decoded = false;
    if (ext == ".png")
        decoded = Kestrin::DecodePng(&stream, w, h) != nullptr;
    else if (ext == ".jpg")
        decoded = Kestrin::DecodeJpeg(stream, w, h) != nullptr;
    else if (ext == ".gif")
    {
        bool transparency = false;
        int frames = 0;
        Kestrin::GifFrameList list;
        decoded = Kestrin::DecodeGif(stream, w, h, transparency, frames, list) != nullptr;
        Kestrin::FreeGifFrames(list);
    }
    return decoded ? std::pair{w, h} : std::pair{0, 0};
}

class ArtRegeneration : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(fs::exists(FreshData / ManifestFile))
            << "nothing regenerated under " << Fresh << "; run the checks through ctest, which runs "
            << "ArtRegeneration.Regenerate first";
    }
};
} // namespace

TEST_F(ArtRegeneration, RegeneratedFilesEqualTheCommittedOnes)
{
    for (const Tree& t : Trees)
    {
        const std::set<std::string> fresh = FilesUnder(t.fresh, t.folder);
        EXPECT_FALSE(fresh.empty()) << "datagen wrote nothing under " << t.fresh / t.folder;
        for (const std::string& file : fresh)
        {
            SCOPED_TRACE(file);
            ASSERT_TRUE(fs::exists(t.committed / file)) << "not committed; run the regenerate-art target";
            EXPECT_TRUE(ReadFileBytes(t.committed / file) == ReadFileBytes(t.fresh / file))
                << "differs from " << t.fresh / file << "; run the regenerate-art target";
        }
    }
    // Each group's image and sprite sections; the rest of a group file belongs to other authors.
    const std::set<std::string> groups = FilesUnder(FreshData, "groups");
    EXPECT_FALSE(groups.empty());
    for (const std::string& file : groups)
    {
        SCOPED_TRACE(file);
        ASSERT_TRUE(fs::exists(Data / file)) << "not committed; run the regenerate-art target";
        const std::string section = ExtractSection(Text(ReadFileBytes(Data / file)), ImageSection);
        EXPECT_FALSE(section.empty()) << "the committed file has no image section";
        EXPECT_EQ(section, ExtractSection(Text(ReadFileBytes(FreshData / file)), ImageSection));
        // Absent from both, or the same in both.
        EXPECT_EQ(ExtractSection(Text(ReadFileBytes(Data / file)), SpriteSection),
                  ExtractSection(Text(ReadFileBytes(FreshData / file)), SpriteSection));
    }
}

TEST_F(ArtRegeneration, CommittedArtFoldersHoldOnlyGeneratedFiles)
{
    for (const Tree& t : Trees)
        for (const std::string& file : FilesUnder(t.committed, t.folder))
            EXPECT_TRUE(fs::exists(t.fresh / file)) << file << " is not generated";
    // A group that no family paints keeps no stale records in its image section (an empty one
    // waits for pictures).
    for (const std::string& file : FilesUnder(Data, "groups"))
    {
        const std::string section = ExtractSection(Text(ReadFileBytes(Data / file)), ImageSection);
        const bool records = section.find("<image") != std::string::npos;
        EXPECT_TRUE(!records || fs::exists(FreshData / file)) << file << " has image records nothing writes";
    }
}

TEST_F(ArtRegeneration, NoOtherFileInTheTreeSharesAnImagesStem)
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
    std::string heading;
    for (const Row& r : ManifestRows(heading))
    {
        EXPECT_EQ(stems[lower(fs::path(r.file).stem().string())], 1) << r.file;
        for (char c : r.file)
            EXPECT_TRUE(c > 0x20 && c < 0x7F) << r.file;
    }
}

TEST_F(ArtRegeneration, ManifestAndRecordsDescribeTheFiles)
{
    // One row per image, sorted, each with the size the engine decodes, the length and the hash.
    std::string heading;
    const std::vector<Row> rows = ManifestRows(heading);
    EXPECT_EQ(heading, "file\twidth\theight\tbytes\tfnv1a64");
    std::set<std::string> listed;
    for (const Row& r : rows)
    {
        SCOPED_TRACE(r.file);
        listed.insert(r.file);
        ASSERT_TRUE(fs::exists(FreshData / r.file));
        const Bytes bytes = ReadFileBytes(FreshData / r.file);
        EXPECT_EQ(r.bytes, bytes.size());
        EXPECT_EQ(r.hash, Hex64(Fnv1a64(bytes)));
        EXPECT_EQ(DecodedSize(FreshData / r.file), std::pair(r.width, r.height));
    }
    EXPECT_TRUE(
        std::is_sorted(rows.begin(), rows.end(), [](const Row& a, const Row& b) { return a.file < b.file; }));
    std::set<std::string> images = FilesUnder(FreshData, "images");
    images.erase(ManifestFile);
    images.erase(CaptionFile);
    EXPECT_EQ(listed, images);

    const std::string section = Text(ReadFileBytes(FreshData / ResourceFile));
    EXPECT_NE(section.find("<image name=\"CursorArrow\" src=\"CursorArrow\"/>"), std::string::npos);
    EXPECT_NE(section.find("<imagelist name=\"Btn_Wide3\">\n  <image src=\"Btn_Wide3_normal_l\"/>"),
              std::string::npos);
}
