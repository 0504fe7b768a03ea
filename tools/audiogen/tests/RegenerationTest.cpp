// Regenerates every audio file into a temporary folder and compares it with the
// committed tree. OGG files are compared as decoded audio: the Vorbis encoder is a
// library we do not pin, so its bytes may change with its version.
#include "AudioCheck.h"
#include "Generate.h"
#include "ResourceXml.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <set>

namespace fs = std::filesystem;
using namespace AudioGen;

namespace
{
const fs::path Data = AUDIOGEN_DATA_DIR;

struct TempDir
{
    TempDir()
    {
        std::string pattern = (fs::temp_directory_path() / "audiogen-XXXXXX").string();
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

TEST(AudioRegeneration, RegeneratedFilesEqualTheCommittedOnes)
{
    TempDir temp;
    const auto outputs = GenerateAll();
    WriteAll(temp.path, outputs);
    for (const Output& o : outputs)
    {
        SCOPED_TRACE(o.path.string());
        const fs::path committed = Data / o.path;
        ASSERT_TRUE(fs::exists(committed)) << "not committed; run audiogen";
        const Bytes fresh = ReadFileBytes(temp.path / o.path);
        const Bytes old = ReadFileBytes(committed);
        switch (o.kind)
        {
        case OutputKind::Wav:
        case OutputKind::Xm:
            EXPECT_TRUE(fresh == old) << "differs from the committed file; run audiogen";
            break;
        case OutputKind::Ogg:
        {
            const DecodedAudio a = DecodeWithSndfile(fresh);
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
            break;
        }
        case OutputKind::ResourceSection:
        {
            const std::string section = ExtractSection(Text(old), AudioSection);
            EXPECT_FALSE(section.empty()) << "the committed resource file has no audio section";
            EXPECT_EQ(section, ExtractSection(Text(fresh), AudioSection));
            break;
        }
        }
    }
}

TEST(AudioRegeneration, CommittedAudioFoldersHoldOnlyGeneratedFiles)
{
    std::set<fs::path> generated;
    for (const Output& o : GenerateAll())
        generated.insert(o.path);
    for (const char* folder : {"sounds", "music"})
        for (const auto& entry : fs::directory_iterator(Data / folder))
            EXPECT_TRUE(generated.count(fs::relative(entry.path(), Data)))
                << entry.path() << " is not generated";
}

TEST(AudioRegeneration, OggBytesRepeatRunToRun)
{
    // libsndfile draws the Ogg serial number at random; the encoder fixes it, so two
    // runs in one process give the same bytes.
    std::vector<int16_t> pcm(4000);
    for (size_t i = 0; i < pcm.size(); ++i)
        pcm[i] = static_cast<int16_t>((i * 37) % 2000 - 1000);
    EXPECT_EQ(EncodeOggVorbis(pcm, 22050, 0.4), EncodeOggVorbis(pcm, 22050, 0.4));
}
