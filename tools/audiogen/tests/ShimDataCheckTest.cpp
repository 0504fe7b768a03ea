// The committed audio as the engine itself decodes it: through the audio layer's own
// readers (libsndfile over memory, libopenmpt played once), not the generator's.
#include "AudioCheck.h"
#include "Composer.h"
#include "Generate.h"
#include "Sounds.h"

#include "Platform/Shim/Bass/Sources.h"

#include <gtest/gtest.h>

#include <cmath>

namespace fs = std::filesystem;
using namespace AudioGen;
namespace Bass = Kestrin::Shim::Bass;

namespace
{
const fs::path Data = AUDIOGEN_DATA_DIR;

// Every frame the engine would play, as stereo.
DecodedAudio DecodeThroughShim(const fs::path& file)
{
    const Bytes bytes = ReadFileBytes(file);
    Bass::OpenResult result = Bass::OpenResult::Malformed;
    std::unique_ptr<Bass::Source> source =
        file.extension() == ".xm" ? Bass::OpenModule(bytes.data(), bytes.size(), Check::ModuleRate, result)
                                  : Bass::OpenSoundFile(bytes.data(), bytes.size(), result);
    DecodedAudio a;
    if (!source || result != Bass::OpenResult::Ok)
        return a;
    a.rate = int(source->Rate());
    a.channels = 2;
    float block[2 * 4096];
    for (int n; (n = source->Read(block, 4096)) > 0;)
        a.samples.insert(a.samples.end(), block, block + 2 * n);
    a.frames = int64_t(a.samples.size() / 2);
    return a;
}
} // namespace

TEST(ShimAudioData, EverySoundPlaysThroughTheEngineAtItsLengthAndLevel)
{
    auto library = Check::MakeLibraryDecoder();
    std::vector<SoundSpec> all = Effects();
    all.insert(all.end(), AmbientFiles().begin(), AmbientFiles().end());
    for (const SoundSpec& s : all)
    {
        const fs::path file = Data / "sounds" / (s.file + (s.format == SoundFormat::Ogg ? ".ogg" : ".wav"));
        SCOPED_TRACE(file.string());
        const DecodedAudio shim = DecodeThroughShim(file);
        const DecodedAudio reference = library->Decode(file);
        ASSERT_GT(shim.frames, 0);
        EXPECT_EQ(shim.rate, reference.rate);
        EXPECT_EQ(shim.frames, reference.frames);
        const Check::Levels ls = Check::Measure(shim), lr = Check::Measure(reference);
        EXPECT_NEAR(ls.peakDb, lr.peakDb, 0.01);
        EXPECT_LT(std::fabs(ls.mean), 0.002);
    }
}

TEST(ShimAudioData, LayersPlayedOnceEndTogetherWithNoTail)
{
    const DecodedAudio melody = DecodeThroughShim(Data / "music" / "MUSIC_melody.xm");
    ASSERT_GT(melody.frames, 0);
    // 125 BPM, speed 6, 4 x 64 rows: 30.72 s.
    EXPECT_NEAR(double(melody.frames), 30.72 * Check::ModuleRate, 64.0);
    for (const char* guest : {"Jillian", "Harley", "Miranda", "Zoe", "Jason", "Heather"})
    {
        SCOPED_TRACE(guest);
        const DecodedAudio rhythm =
            DecodeThroughShim(Data / "music" / (std::string("MUSIC_rhythm_") + guest + ".xm"));
        EXPECT_EQ(rhythm.frames, melody.frames);
    }
}
