// The committed campaign is what levelgen makes now. CampaignRegeneration.Regenerate runs it once
// per test run into a fresh folder of the build tree, with the committed text table as its input.
#include "Campaign.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

namespace fs = std::filesystem;

namespace
{
const fs::path Data = LEVELGEN_DATA_DIR;
const fs::path Fresh = REGENERATED_DIR;

std::string Read(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The files at the root of a data folder that levelgen wrote.
std::set<std::string> Generated(const fs::path& root)
{
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(root))
        if (entry.is_regular_file() && LevelGen::IsGenerated(Read(entry.path())))
            names.insert(entry.path().filename().string());
    return names;
}
} // namespace

TEST(CampaignRegeneration, RegeneratedFilesEqualTheCommittedOnes)
{
    ASSERT_TRUE(fs::exists(Fresh / "GameLevels.xml"))
        << "nothing regenerated under " << Fresh << "; run the checks through ctest, which runs "
        << "CampaignRegeneration.Regenerate first";
    const std::set<std::string> fresh = Generated(Fresh);
    EXPECT_EQ(fresh.size(), 3u + 76 + 82);
    // A committed file the table no longer makes fails too.
    EXPECT_EQ(Generated(Data), fresh) << "run levelgen (cmake --build build --target regenerate-campaign)";
    for (const std::string& name : fresh)
        EXPECT_TRUE(Read(Fresh / name) == Read(Data / name)) << name << " differs; run levelgen";
    EXPECT_TRUE(Read(Fresh / "AllGameText_Export.xml") == Read(Data / "AllGameText_Export.xml"))
        << "the campaign section of the text table differs; run levelgen";
}
