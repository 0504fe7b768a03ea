#include "Xm.h"
#include "DetMath.h"
#include "Generate.h"
#include "Instruments.h"

#include <gtest/gtest.h>
#include <libopenmpt/libopenmpt.hpp>

#include <cmath>
#include <cstring>

using namespace AudioGen;

namespace
{
uint16_t U16(const std::vector<uint8_t>& b, size_t at)
{
    return static_cast<uint16_t>(b[at] | (b[at + 1] << 8));
}
uint32_t U32(const std::vector<uint8_t>& b, size_t at)
{
    return U16(b, at) | (static_cast<uint32_t>(U16(b, at + 2)) << 16);
}

// One sine instrument and one pattern; note A-4 on row 0 when asked.
Xm::Module SineModule(int rows, bool note)
{
    Xm::Module m;
    m.name = "test";
    m.channels = 2;
    Xm::Instrument ins;
    ins.name = "sine";
    // 20 cycles of 441 Hz at 22050 Hz, tuned so A-4 sounds 440 Hz.
    for (int i = 0; i < 1000; ++i)
        ins.sample.data.push_back(static_cast<int16_t>(std::lround(20000.0 * Det::SinTurns(i / 50.0))));
    ins.sample.loopLength = static_cast<uint32_t>(ins.sample.data.size());
    Xm::TuneSample(ins.sample, 22050, 441.0, Xm::NoteFromMidi(69));
    ins.volume = {{0, 64}, {1, 64}};
    ins.sustainPoint = 1;
    m.instruments.push_back(ins);
    Xm::Pattern p;
    p.rows = rows;
    p.cells.resize(static_cast<size_t>(rows * m.channels));
    if (note)
    {
        p.cells[0].note = static_cast<uint8_t>(Xm::NoteFromMidi(69));
        p.cells[0].instrument = 1;
    }
    m.patterns.push_back(p);
    m.order = {0};
    return m;
}
} // namespace

TEST(XmWriter, WritesTheHeaderOfVersion0104WithTheLinearTable)
{
    Xm::Module m = SineModule(64, true);
    m.bpm = 140;
    m.speed = 5;
    const auto b = Xm::Write(m);
    ASSERT_GT(b.size(), 336u);
    EXPECT_EQ(std::memcmp(b.data(), "Extended Module: ", 17), 0);
    EXPECT_EQ(b[37], 0x1A);
    EXPECT_EQ(U16(b, 58), 0x0104);
    EXPECT_EQ(U32(b, 60), 276u);
    EXPECT_EQ(U16(b, 64), 1);     // song length
    EXPECT_EQ(U16(b, 68), 2);     // channels
    EXPECT_EQ(U16(b, 70), 1);     // patterns
    EXPECT_EQ(U16(b, 72), 1);     // instruments
    EXPECT_EQ(U16(b, 74) & 1, 1); // linear frequency table
    EXPECT_EQ(U16(b, 76), 5);
    EXPECT_EQ(U16(b, 78), 140);
    // The pattern follows the order table, unpacked: five bytes a cell.
    const size_t pattern = 60 + 276;
    EXPECT_EQ(U32(b, pattern), 9u);
    EXPECT_EQ(U16(b, pattern + 5), 64);
    EXPECT_EQ(U16(b, pattern + 7), 64 * 2 * 5);
    EXPECT_EQ(b[pattern + 9], Xm::NoteFromMidi(69));
    EXPECT_EQ(b[pattern + 10], 1);
}

TEST(XmWriter, DeltaCodesSixteenBitSamples)
{
    Xm::Module m = SineModule(4, false);
    m.instruments[0].sample.data = {100, -200, 32767, -32768, 0};
    m.instruments[0].sample.loopLength = 0;
    const auto b = Xm::Write(m);
    const size_t data = b.size() - 10;
    int16_t value = 0;
    std::vector<int16_t> decoded;
    for (size_t i = 0; i < 5; ++i)
    {
        value = static_cast<int16_t>(static_cast<uint16_t>(value) + U16(b, data + 2 * i));
        decoded.push_back(value);
    }
    EXPECT_EQ(decoded, m.instruments[0].sample.data);
    // Sample header: length in bytes, 16-bit flag, no loop.
    const size_t header = data - 40;
    EXPECT_EQ(U32(b, header), 10u);
    EXPECT_EQ(b[header + 14], 0x10);
}

TEST(XmWriter, RefusesJumpsBreaksLateTempoChangesAndBadData)
{
    auto withEffect = [](int row, uint8_t effect, uint8_t param)
    {
        Xm::Module m = SineModule(8, true);
        m.patterns[0].cells[static_cast<size_t>(row * 2 + 1)].effect = effect;
        m.patterns[0].cells[static_cast<size_t>(row * 2 + 1)].param = param;
        return m;
    };
    EXPECT_THROW(Xm::Write(withEffect(3, Xm::EffectPositionJump, 0)), std::invalid_argument);
    EXPECT_THROW(Xm::Write(withEffect(3, Xm::EffectPatternBreak, 0)), std::invalid_argument);
    EXPECT_THROW(Xm::Write(withEffect(3, Xm::EffectSetTempo, 6)), std::invalid_argument);
    EXPECT_THROW(Xm::Write(withEffect(3, Xm::EffectExtended, 0x61)), std::invalid_argument);
    EXPECT_THROW(Xm::Write(withEffect(3, Xm::EffectExtended, 0xE2)), std::invalid_argument);
    EXPECT_NO_THROW(Xm::Write(withEffect(0, Xm::EffectSetTempo, 6)));
    EXPECT_NO_THROW(Xm::Write(withEffect(3, Xm::EffectExtended, 0xD2))); // note delay is fine

    Xm::Module loop = SineModule(8, true);
    loop.instruments[0].sample.loopStart = 10;
    EXPECT_THROW(Xm::Write(loop), std::invalid_argument);
    Xm::Module env = SineModule(8, true);
    env.instruments[0].volume = {{0, 64}, {0, 32}};
    EXPECT_THROW(Xm::Write(env), std::invalid_argument);
    Xm::Module cells = SineModule(8, true);
    cells.patterns[0].cells.pop_back();
    EXPECT_THROW(Xm::Write(cells), std::invalid_argument);
    Xm::Module order = SineModule(8, true);
    order.order = {1};
    EXPECT_THROW(Xm::Write(order), std::invalid_argument);
    Xm::Module ins = SineModule(8, true);
    ins.patterns[0].cells[0].instrument = 2;
    EXPECT_THROW(Xm::Write(ins), std::invalid_argument);
}

TEST(XmWriter, TheModuleLoadsAndPlaysTheNoteAtItsPitch)
{
    const Xm::Module m = SineModule(64, true);
    const auto bytes = Xm::Write(m);
    openmpt::module mod(bytes.data(), bytes.size());
    EXPECT_EQ(mod.get_num_channels(), 2);
    EXPECT_EQ(mod.get_num_instruments(), 1);
    EXPECT_NEAR(mod.get_duration_seconds(), Xm::SongSeconds(m), 1e-9);
    EXPECT_NEAR(Xm::SongSeconds(m), 64 * 6 * 2.5 / 125, 1e-12);

    const DecodedAudio a = RenderModule(bytes, 44100, 1);
    int crossings = 0;
    size_t first = 0, last = 0;
    for (size_t i = 44100; i < 88200; ++i)
    {
        if (a.samples[i - 1] < 0.0f && a.samples[i] >= 0.0f)
        {
            if (!crossings)
                first = i;
            last = i;
            ++crossings;
        }
    }
    ASSERT_GT(crossings, 100);
    // Within the sixteenth-semitone grid of the finetune (3.2 cents).
    EXPECT_NEAR((crossings - 1) * 44100.0 / static_cast<double>(last - first), 440.0, 0.82);
}

TEST(XmWriter, TuningMapsTheRootNoteToItsPitch)
{
    // A sample at 8363 Hz holding C-4 needs no correction.
    Xm::Sample s;
    Xm::TuneSample(s, 8363.0, Det::NoteHz(60), 49);
    EXPECT_EQ(s.relativeNote, 0);
    EXPECT_EQ(s.finetune, 0);
    // One octave faster: twelve semitones.
    Xm::TuneSample(s, 16726.0, Det::NoteHz(60), 49);
    EXPECT_EQ(s.relativeNote, 12);
    EXPECT_EQ(s.finetune, 0);
    // A sample of A-4 rooted at A-4 at 22050 Hz: the note plays at 22050 Hz, to the
    // finetune's sixteenth of a semitone, whose low bits players drop.
    auto playback = [](const Xm::Sample& x)
    { return 8363.0 * Det::Exp2((Xm::NoteFromMidi(69) - 49 + x.relativeNote) / 12.0 + x.finetune / 1536.0); };
    Xm::TuneSample(s, 22050.0, 440.0, Xm::NoteFromMidi(69));
    EXPECT_EQ(s.finetune % 8, 0);
    EXPECT_NEAR(playback(s) / 22050.0, 1.0, 0.0019);
    // At the instruments' own rate the grid is exact.
    Xm::TuneSample(s, SampleRate(), 440.0, Xm::NoteFromMidi(69));
    EXPECT_NEAR(playback(s) / SampleRate(), 1.0, 1e-12);
    Xm::TuneSample(s, 1000.0, 440.0, 1);
    EXPECT_EQ(s.finetune % 8, 0);
    EXPECT_THROW(Xm::TuneSample(s, 1e9, 1.0, 1), std::invalid_argument);
}

TEST(Instruments, EveryVoiceIsAValidInstrument)
{
    for (int v = 0; v <= static_cast<int>(Voice::Shaker); ++v)
    {
        const Voice voice = static_cast<Voice>(v);
        SCOPED_TRACE(VoiceName(voice));
        Xm::Module m = SineModule(4, true);
        m.instruments = {MakeInstrument(voice)};
        EXPECT_NO_THROW(Xm::Write(m));
        const Xm::Sample& s = m.instruments[0].sample;
        int peak = 0;
        for (int16_t x : s.data)
            peak = std::max(peak, std::abs(static_cast<int>(x)));
        EXPECT_GT(peak, 20000);
        if (s.loopLength > 0)
        {
            // A loop of whole cycles starts at zero, and its wrap is no bigger a step
            // than the waveform takes anywhere else.
            EXPECT_EQ(s.data.front(), 0);
            int largest = 0;
            for (size_t i = 1; i < s.data.size(); ++i)
                largest = std::max(largest, std::abs(s.data[i] - s.data[i - 1]));
            EXPECT_LE(std::abs(s.data.back() - s.data.front()), largest);
        }
    }
}
