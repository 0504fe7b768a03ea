#include "Composer.h"
#include "AudioCheck.h"
#include "Generate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

using namespace AudioGen;

namespace
{
const TrackSpec& Track(const std::string& name)
{
    for (const TrackSpec& t : Tracks())
        if (t.resource == name)
            return t;
    throw std::runtime_error("no track " + name);
}

struct Placed
{
    int row;
    int channel;
    int midi;
    Voice voice;
};

// Every note of a module with its absolute row, channel and voice.
std::vector<Placed> Notes(const Xm::Module& m, const std::vector<Voice>& voices)
{
    std::vector<Placed> out;
    int base = 0;
    for (uint8_t p : m.order)
    {
        const Xm::Pattern& pat = m.patterns[p];
        for (int r = 0; r < pat.rows; ++r)
            for (int ch = 0; ch < m.channels; ++ch)
            {
                const Xm::Cell& c = pat.cells[static_cast<size_t>(r * m.channels + ch)];
                if (c.note >= 1 && c.note <= 96)
                    out.push_back({base + r, ch, c.note + 11, voices[static_cast<size_t>(c.instrument - 1)]});
            }
        base += pat.rows;
    }
    return out;
}

// The voices behind a module's instruments, matched by name.
std::vector<Voice> Voices(const Xm::Module& m)
{
    std::vector<Voice> out;
    for (const Xm::Instrument& ins : m.instruments)
    {
        for (int v = 0; v <= static_cast<int>(Voice::Shaker); ++v)
            if (ins.name == VoiceName(static_cast<Voice>(v)))
                out.push_back(static_cast<Voice>(v));
    }
    EXPECT_EQ(out.size(), m.instruments.size());
    return out;
}

bool InSet(const std::vector<int>& pcs, int midi)
{
    return std::find(pcs.begin(), pcs.end(), ((midi % 12) + 12) % 12) != pcs.end();
}

const std::vector<std::string> LevelLayers{
    "MUSIC_melody",     "MUSIC_rhythm_Jillian", "MUSIC_rhythm_Harley", "MUSIC_rhythm_Miranda",
    "MUSIC_rhythm_Zoe", "MUSIC_rhythm_Jason",   "MUSIC_rhythm_Heather"};
} // namespace

TEST(Composer, EveryTrackOfTheGameIsThereOnce)
{
    std::set<std::string> names;
    for (const TrackSpec& t : Tracks())
        EXPECT_TRUE(names.insert(t.resource).second) << t.resource;
    for (const char* n :
         {"MUSIC_Lobby", "MUSIC_Cutscene", "MUSIC_Intro", "MUSIC_Tictionary", "MUSIC_TicIntro",
          "MUSIC_GuestIntro", "MUSIC_LevelSuccess", "MUSIC_LevelExpert", "MUSIC_LevelFailure"})
        EXPECT_TRUE(names.count(n)) << n;
    for (const std::string& n : LevelLayers)
        EXPECT_TRUE(names.count(n)) << n;
    EXPECT_EQ(names.size(), 16u);
}

TEST(Composer, ComposingIsRepeatable)
{
    for (const TrackSpec& t : Tracks())
        EXPECT_EQ(Xm::Write(Compose(t)), Xm::Write(Compose(t))) << t.resource;
}

TEST(Composer, LevelLayersShareTempoRowsKeyAndProgression)
{
    const TrackSpec& melody = Track("MUSIC_melody");
    for (const std::string& name : LevelLayers)
    {
        SCOPED_TRACE(name);
        const TrackSpec& t = Track(name);
        const Xm::Module m = Compose(t);
        EXPECT_EQ(m.bpm, 125);
        EXPECT_EQ(m.speed, 6);
        ASSERT_EQ(m.order.size(), 4u);
        for (const Xm::Pattern& p : m.patterns)
            EXPECT_EQ(p.rows, 64);
        EXPECT_EQ(t.tonic, melody.tonic);
        EXPECT_EQ(t.minor, melody.minor);
        ASSERT_EQ(t.progression.size(), melody.progression.size());
        for (size_t i = 0; i < t.progression.size(); ++i)
        {
            EXPECT_EQ(t.progression[i].root, melody.progression[i].root);
            EXPECT_EQ(t.progression[i].minor, melody.progression[i].minor);
        }
    }
    // A minor: Am F C G.
    EXPECT_EQ(melody.tonic, 9);
    EXPECT_TRUE(melody.minor);
    const int roots[] = {9, 5, 0, 7};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(melody.progression[static_cast<size_t>(i)].root, roots[i]);
}

TEST(Composer, TheMelodyIsTheLeadAloneInKeyWithChordTonesOnStrongBeats)
{
    const TrackSpec& t = Track("MUSIC_melody");
    const Xm::Module m = Compose(t);
    const auto voices = Voices(m);
    // The lead and its octave doubling: no drums, bass or chords.
    EXPECT_EQ(voices, (std::vector<Voice>{Voice::Lead, Voice::Flute}));
    const auto scale = ScalePitchClasses(t.tonic, t.minor);
    const auto notes = Notes(m, voices);
    ASSERT_GT(notes.size(), 60u);
    int strong = 0;
    for (const Placed& n : notes)
    {
        EXPECT_TRUE(InSet(scale, n.midi)) << "row " << n.row;
        if (n.channel == 1)
            continue;
        EXPECT_EQ(n.channel, 0);
        if (n.row % 8 == 0)
        {
            ++strong;
            const Chord& c = t.progression[static_cast<size_t>(n.row / RowsPerBar) % t.progression.size()];
            EXPECT_TRUE(InSet(ChordTones(c), n.midi)) << "row " << n.row << " note " << n.midi;
        }
    }
    EXPECT_GT(strong, 16);
    // The last note rests on a tone of the last chord, leading back to the start.
    const Chord& lastChord = t.progression[static_cast<size_t>(t.bars - 1) % t.progression.size()];
    auto last = std::find_if(notes.rbegin(), notes.rend(), [](const Placed& n) { return n.channel == 0; });
    ASSERT_NE(last, notes.rend());
    EXPECT_TRUE(InSet(ChordTones(lastChord), last->midi));
    // The doubling follows the lead an octave down, note for note.
    std::vector<std::pair<int, int>> lead, low;
    for (const Placed& n : notes)
        (n.channel == 0 ? lead : low).push_back({n.row, n.midi - (n.channel == 1 ? -12 : 0)});
    EXPECT_EQ(lead, low);
}

TEST(Composer, RhythmLayersHoldDrumsBassAndChordsButNoLead)
{
    for (const std::string& name : LevelLayers)
    {
        if (name == "MUSIC_melody")
            continue;
        SCOPED_TRACE(name);
        const TrackSpec& t = Track(name);
        const Xm::Module m = Compose(t);
        const auto voices = Voices(m);
        EXPECT_EQ(std::count(voices.begin(), voices.end(), Voice::Lead), 0);
        EXPECT_TRUE(std::any_of(voices.begin(), voices.end(), IsPercussion));
        const auto notes = Notes(m, voices);
        // The bass (channel 0) opens every bar on the chord's root.
        for (int bar = 0; bar < t.bars; ++bar)
        {
            const Chord& c = t.progression[static_cast<size_t>(bar) % t.progression.size()];
            auto it =
                std::find_if(notes.begin(), notes.end(),
                             [&](const Placed& n) { return n.row == bar * RowsPerBar && n.channel == 0; });
            ASSERT_NE(it, notes.end()) << "bar " << bar;
            EXPECT_EQ(it->midi % 12, c.root) << "bar " << bar;
        }
        // Chord instruments play only tones of the bar's chord; drums keep to their own
        // channels.
        for (const Placed& n : notes)
        {
            if (n.channel >= 6)
            {
                EXPECT_TRUE(IsPercussion(n.voice)) << "row " << n.row << " channel " << n.channel;
                continue;
            }
            EXPECT_FALSE(IsPercussion(n.voice)) << "row " << n.row << " channel " << n.channel;
            if (n.channel == 0)
                continue;
            const Chord& c = t.progression[static_cast<size_t>(n.row / RowsPerBar) % t.progression.size()];
            EXPECT_TRUE(InSet(ChordTones(c), n.midi)) << "row " << n.row;
        }
    }
}

TEST(Composer, GuestStylesDifferInTheirVoices)
{
    auto has = [](const std::string& name, Voice v)
    {
        const auto voices = Voices(Compose(Track(name)));
        return std::find(voices.begin(), voices.end(), v) != voices.end();
    };
    EXPECT_TRUE(has("MUSIC_rhythm_Jillian", Voice::Pluck));
    EXPECT_TRUE(has("MUSIC_rhythm_Harley", Voice::PunchKick));
    EXPECT_TRUE(has("MUSIC_rhythm_Miranda", Voice::Pad));
    EXPECT_TRUE(has("MUSIC_rhythm_Zoe", Voice::ArpSynth));
    EXPECT_TRUE(has("MUSIC_rhythm_Jason", Voice::FunkBass));
    EXPECT_TRUE(has("MUSIC_rhythm_Heather", Voice::Marimba));
    EXPECT_TRUE(has("MUSIC_Tictionary", Voice::Pizz));
    EXPECT_TRUE(has("MUSIC_Lobby", Voice::Pluck));
    EXPECT_TRUE(has("MUSIC_Lobby", Voice::Pad));
}

TEST(Composer, LoopingTracksPlaySomethingInEveryBar)
{
    for (const TrackSpec& t : Tracks())
    {
        const Xm::Module m = Compose(t);
        const auto notes = Notes(m, Voices(m));
        std::set<int> bars;
        for (const Placed& n : notes)
            bars.insert(n.row / RowsPerBar);
        EXPECT_EQ(static_cast<int>(bars.size()), t.bars) << t.resource;
    }
}

TEST(Composer, OneShotTracksFadeToSilenceBeforeTheyEnd)
{
    for (const TrackSpec& t : Tracks())
    {
        if (t.loops)
            continue;
        const DecodedAudio a = RenderModule(Xm::Write(Compose(t)), 44100, 2);
        DecodedAudio tail = a;
        const size_t keep = 2 * 882; // the last 20 ms, stereo
        tail.samples.assign(a.samples.end() - static_cast<long>(keep), a.samples.end());
        tail.frames = static_cast<int64_t>(keep / 2);
        EXPECT_LT(Check::Measure(tail).peak, 0.02) << t.resource;
    }
}

TEST(Composer, RejectsATrackWithoutAProgression)
{
    TrackSpec t = Track("MUSIC_melody");
    t.progression.clear();
    EXPECT_THROW(Compose(t), std::invalid_argument);
}
