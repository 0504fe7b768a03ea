// The committed audio is what the generator makes now. The test AudioRegeneration.Regenerate runs
// audiogen once per test run into a fresh folder of the build tree; these checks compare the
// committed tree with it. OGG files are compared as decoded audio: the Vorbis encoder is a library
// we do not pin, so its bytes may change with its version.
#include "Generate.h"
#include "ResourceXml.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

namespace fs = std::filesystem;
using namespace AudioGen;

namespace
{
const fs::path Data = AUDIOGEN_DATA_DIR;
const fs::path Fresh = REGENERATED_DIR;
const char* const Folders[] = {"sounds", "music"};

std::string Text(const Bytes& b)
{
    return std::string(b.begin(), b.end());
}

// The files of the audio folders below root, '/'-separated and relative to it.
std::set<std::string> AudioFiles(const fs::path& root)
{
    std::set<std::string> files;
    for (const char* folder : Folders)
        if (fs::is_directory(root / folder))
            for (const auto& entry : fs::directory_iterator(root / folder))
                files.insert(fs::relative(entry.path(), root).generic_string());
    return files;
}

class AudioRegeneration : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(fs::exists(Fresh / ResourceFile))
            << "nothing regenerated under " << Fresh << "; run the checks through ctest, which runs "
            << "AudioRegeneration.Regenerate first";
    }
};
} // namespace

TEST_F(AudioRegeneration, RegeneratedFilesEqualTheCommittedOnes)
{
    const std::set<std::string> fresh = AudioFiles(Fresh);
    EXPECT_GE(fresh.size(), 10u) << "audiogen wrote next to nothing under " << Fresh;
    for (const std::string& file : fresh)
    {
        SCOPED_TRACE(file);
        ASSERT_TRUE(fs::exists(Data / file)) << "not committed; run audiogen";
        const Bytes made = ReadFileBytes(Fresh / file);
        const Bytes old = ReadFileBytes(Data / file);
        if (fs::path(file).extension() != ".ogg")
        {
            EXPECT_TRUE(made == old) << "differs from " << Fresh / file << "; run audiogen";
            continue;
        }
        const DecodedAudio a = DecodeWithSndfile(made);
        const DecodedAudio b = DecodeWithSndfile(old);
        ASSERT_EQ(a.frames, b.frames);
        double worst = 0.0, squares = 0.0;
        for (size_t i = 0; i < a.samples.size(); ++i)
        {
            const double d = std::fabs(static_cast<double>(a.samples[i]) - b.samples[i]);
            worst = std::max(worst, d);
            squares += d * d;
        }
        EXPECT_LT(worst, 0.02);
        EXPECT_LT(std::sqrt(squares / static_cast<double>(a.samples.size())), 0.002);
    }
    const std::string section = ExtractSection(Text(ReadFileBytes(Data / ResourceFile)), AudioSection);
    EXPECT_FALSE(section.empty()) << "the committed resource file has no audio section";
    EXPECT_EQ(section, ExtractSection(Text(ReadFileBytes(Fresh / ResourceFile)), AudioSection));
}

TEST_F(AudioRegeneration, CommittedAudioFoldersHoldOnlyGeneratedFiles)
{
    for (const std::string& file : AudioFiles(Data))
        EXPECT_TRUE(fs::exists(Fresh / file)) << file << " is not generated";
}
