#pragma once
// "Extended Module" (XM) files, version 0x0104: linear frequency table, unpacked
// pattern rows, 16-bit delta-coded samples and volume envelopes.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace AudioGen
{
namespace Xm
{
inline constexpr uint8_t NoteOff = 97;
inline constexpr int MaxChannels = 32;

// Effect numbers that the writer refuses: a jump or break would change how long a
// song plays, and the engine loops modules itself.
inline constexpr uint8_t EffectPositionJump = 0x0B;
inline constexpr uint8_t EffectPatternBreak = 0x0D;
inline constexpr uint8_t EffectSetTempo = 0x0F;
inline constexpr uint8_t EffectExtended = 0x0E; // E6x pattern loop, EEx pattern delay change timing too

struct Sample
{
    std::string name;
    std::vector<int16_t> data;
    uint32_t loopStart = 0;  // in samples
    uint32_t loopLength = 0; // in samples; 0 = no loop
    uint8_t volume = 64;
    int8_t finetune = 0;
    uint8_t panning = 128;
    int8_t relativeNote = 0;
};

struct EnvelopePoint
{
    uint16_t tick = 0;
    uint16_t value = 0; // 0..64
};

struct Instrument
{
    std::string name;
    Sample sample;                     // one sample per voice
    std::vector<EnvelopePoint> volume; // 2..12 points, first at tick 0
    int sustainPoint = -1;             // -1 = none
    uint16_t fadeout = 0;
    uint8_t vibratoType = 0, vibratoSweep = 0, vibratoDepth = 0, vibratoRate = 0;
};

struct Cell
{
    uint8_t note = 0;       // 1..96, 97 = key off
    uint8_t instrument = 0; // 1-based
    uint8_t volume = 0;     // volume column byte (0x10..0x50 sets 0..64)
    uint8_t effect = 0;
    uint8_t param = 0;
};

struct Pattern
{
    int rows = 64;
    std::vector<Cell> cells; // rows * channels, row-major
};

struct Module
{
    std::string name;
    int channels = 8;
    int speed = 6; // ticks per row
    int bpm = 125;
    std::vector<uint8_t> order;
    std::vector<Pattern> patterns;
    std::vector<Instrument> instruments;
};

// Checks the rules above and the format's limits; throws std::invalid_argument.
void Validate(const Module& module);
std::vector<uint8_t> Write(const Module& module);

// Rows played by the order list, and the song's length in seconds: a row lasts
// speed * 2.5 / bpm seconds.
int SongRows(const Module& module);
double SongSeconds(const Module& module);

// Relative note and finetune for a sample recorded at `rate` samples per second whose
// fundamental is `sampleHz`, so that XM note `rootNote` (1 = C-0) sounds at the
// pitch of that note. The finetune is a multiple of 8: players ignore its low bits.
void TuneSample(Sample& sample, double rate, double sampleHz, int rootNote);

// XM note number (1 = C-0) of a MIDI note (60 = middle C = C-4).
inline int NoteFromMidi(int midi)
{
    return midi - 11;
}
inline uint8_t Volume(int v)
{
    return static_cast<uint8_t>(0x10 + (v < 0 ? 0 : v > 64 ? 64 : v));
}
} // namespace Xm
} // namespace AudioGen
