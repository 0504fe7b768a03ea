// Checks over the committed data tree: every sound and track decodes at its stated
// length, within level, without DC; the in-level layers stay in step; the looping
// warning has no click at its seam; file names keep the tree's rules.
#include "AudioCheck.h"
#include "Composer.h"
#include "Generate.h"
#include "Sounds.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>
#include <set>

namespace fs = std::filesystem;
using namespace AudioGen;

namespace
{
const fs::path Data = AUDIOGEN_DATA_DIR;

fs::path SoundPath(const SoundSpec& s)
{
    return Data / "sounds" / (s.file + (s.format == SoundFormat::Ogg ? ".ogg" : ".wav"));
}

std::vector<SoundSpec> AllSounds()
{
    std::vector<SoundSpec> all = Effects();
    all.insert(all.end(), AmbientFiles().begin(), AmbientFiles().end());
    return all;
}

double TrackSeconds(const TrackSpec& t)
{
    return t.bars * RowsPerBar * Speed * 2.5 / t.bpm;
}

std::string Lower(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}
} // namespace

TEST(AudioData, EverySoundDecodesAtItsStatedLengthPeakAndWithoutDc)
{
    auto decoder = Check::MakeLibraryDecoder();
    for (const SoundSpec& s : AllSounds())
    {
        SCOPED_TRACE(s.file);
        const DecodedAudio a = decoder->Decode(SoundPath(s));
        EXPECT_EQ(a.rate, EffectRate);
        EXPECT_EQ(a.channels, 1);
        EXPECT_EQ(a.frames, FrameCount(s.patch.duration, EffectRate));
        const Check::Levels l = Check::Measure(a);
        if (s.format == SoundFormat::Wav)
        {
            // 16-bit PCM: the peak is the generator's, to the rounding of one step.
            EXPECT_LE(l.peakDb, EffectPeakDb + 0.01);
            EXPECT_GE(l.peakDb, EffectPeakDb - 0.05);
        }
        else
        {
            // Vorbis moves peaks a little either way; the source keeps headroom for it.
            EXPECT_LE(l.peakDb, EffectPeakDb + 0.1);
            EXPECT_GE(l.peakDb, EffectPeakDb - OggHeadroomDb - 1.0);
        }
        EXPECT_LT(std::fabs(l.mean), 0.002);
        // 5 ms fades: the ends start from silence.
        EXPECT_LT(Check::EdgePeak(a, 0.0005), s.format == SoundFormat::Wav ? 0.025 : 0.03);
        if (s.format == SoundFormat::Wav)
        {
            EXPECT_EQ(a.samples.front(), 0.0f);
            EXPECT_EQ(a.samples.back(), 0.0f);
        }
    }
}

TEST(AudioData, EveryTrackRendersAtItsStatedLengthWithinLevel)
{
    auto decoder = Check::MakeLibraryDecoder();
    for (const TrackSpec& t : Tracks())
    {
        SCOPED_TRACE(t.resource);
        const DecodedAudio a = decoder->Decode(Data / "music" / (t.resource + ".xm"));
        const double stated = TrackSeconds(t) * Check::ModuleRate;
        // The player renders whole samples per tick, so it may fall short by under one
        // sample a tick.
        const double ticks = t.bars * RowsPerBar * Speed;
        EXPECT_LE(static_cast<double>(a.frames), stated + 0.5);
        EXPECT_GE(static_cast<double>(a.frames), stated - ticks);
        const Check::Levels l = Check::Measure(a);
        EXPECT_LE(l.peakDb, EffectPeakDb + 0.5);
        EXPECT_GE(l.peakDb, -16.0) << "too quiet to be the track";
        EXPECT_LT(std::fabs(l.mean), 0.005);
    }
}

TEST(AudioData, JinglesLastAboutAsLongAsPlanned)
{
    std::map<std::string, double> planned{
        {"MUSIC_LevelSuccess", 5.0}, {"MUSIC_LevelExpert", 6.0}, {"MUSIC_LevelFailure", 5.0}};
    for (const TrackSpec& t : Tracks())
    {
        if (planned.count(t.resource))
        {
            EXPECT_NEAR(TrackSeconds(t), planned[t.resource], 0.5) << t.resource;
            EXPECT_FALSE(t.loops) << t.resource;
        }
        else
        {
            EXPECT_TRUE(t.loops) << t.resource;
        }
    }
}

TEST(AudioData, MelodyAndRhythmLayersHaveEqualLengthsInSamples)
{
    auto decoder = Check::MakeLibraryDecoder();
    const DecodedAudio melody = decoder->Decode(Data / "music" / "MUSIC_melody.xm");
    // 125 BPM, speed 6, 256 rows: 30.72 s exactly.
    EXPECT_EQ(melody.frames, static_cast<int64_t>(30.72 * Check::ModuleRate + 0.5));
    int layers = 0;
    for (const TrackSpec& t : Tracks())
    {
        if (t.resource.rfind("MUSIC_rhythm_", 0) != 0)
            continue;
        ++layers;
        const DecodedAudio rhythm = decoder->Decode(Data / "music" / (t.resource + ".xm"));
        EXPECT_EQ(rhythm.frames, melody.frames) << t.resource;
        // Also at the shim's likely output rate.
        const auto at48 = RenderModule(ReadFileBytes(Data / "music" / (t.resource + ".xm")), 48000, 1);
        EXPECT_EQ(at48.frames, static_cast<int64_t>(30.72 * 48000 + 0.5)) << t.resource;
    }
    EXPECT_EQ(layers, 6);
}

TEST(AudioData, FinalWarningLoopsWithoutAClickAtItsSeam)
{
    auto decoder = Check::MakeLibraryDecoder();
    const DecodedAudio a = decoder->Decode(Data / "sounds" / "SFX_FinalWarning.ogg");
    ASSERT_EQ(a.frames, EffectRate); // one second
    const Check::Seam seam = Check::MeasureSeam(a);
    EXPECT_LT(seam.jump, 0.005);
    EXPECT_LT(seam.jump, seam.largestStep * 0.1);
    EXPECT_LT(Check::EdgePeak(a, 0.005), 0.01);
    EXPECT_GT(Check::Measure(a).peak, 0.5);
}

TEST(AudioData, FileNamesAreAsciiUniqueAndOneFormatPerStem)
{
    std::map<std::string, fs::path> bare, stems;
    size_t audio = 0;
    for (auto it = fs::recursive_directory_iterator(Data); it != fs::recursive_directory_iterator(); ++it)
    {
        const std::string name = it->path().filename().string();
        if (it->is_directory())
        {
            EXPECT_NE(name.front(), '.') << it->path();
            continue;
        }
        for (unsigned char c : name)
            EXPECT_TRUE(c >= 0x20 && c < 0x7F) << it->path();
        const auto [b, bareNew] = bare.emplace(Lower(name), it->path());
        EXPECT_TRUE(bareNew) << it->path() << " and " << b->second;
        const std::string ext = Lower(it->path().extension().string());
        if (ext == ".wav" || ext == ".ogg" || ext == ".xm")
        {
            ++audio;
            const auto [s, stemNew] = stems.emplace(Lower(it->path().stem().string()), it->path());
            EXPECT_TRUE(stemNew) << it->path() << " and " << s->second;
        }
    }
    EXPECT_EQ(audio, Effects().size() + AmbientFiles().size() + Tracks().size());
}
