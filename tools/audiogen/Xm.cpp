#include "Xm.h"

#include "DetMath.h"

#include <cmath>
#include <stdexcept>

namespace AudioGen::Xm
{
namespace
{
class Writer
{
public:
    void U8(unsigned v) { bytes.push_back(static_cast<uint8_t>(v)); }
    void U16(unsigned v)
    {
        U8(v & 0xFF);
        U8((v >> 8) & 0xFF);
    }
    void U32(uint32_t v)
    {
        U16(v & 0xFFFF);
        U16(v >> 16);
    }
    void Text(const std::string& s, size_t width, char pad = '\0')
    {
        for (size_t i = 0; i < width; ++i)
            U8(i < s.size() ? static_cast<uint8_t>(s[i]) : static_cast<uint8_t>(pad));
    }
    void Zeros(size_t n) { bytes.insert(bytes.end(), n, 0); }
    std::vector<uint8_t> bytes;
};

void Fail(const std::string& what)
{
    throw std::invalid_argument("XM: " + what);
}
} // namespace

void Validate(const Module& m)
{
    if (m.channels < 1 || m.channels > MaxChannels)
        Fail("channel count out of range");
    if (m.speed < 1 || m.speed > 31 || m.bpm < 32 || m.bpm > 255)
        Fail("speed or tempo out of range");
    if (m.order.empty() || m.order.size() > 256)
        Fail("order list must hold 1..256 entries");
    if (m.patterns.empty() || m.patterns.size() > 256)
        Fail("pattern count out of range");
    if (m.instruments.size() > 128)
        Fail("too many instruments");
    for (uint8_t p : m.order)
        if (p >= m.patterns.size())
            Fail("order names a missing pattern");
    for (size_t pi = 0; pi < m.patterns.size(); ++pi)
    {
        const Pattern& p = m.patterns[pi];
        if (p.rows < 1 || p.rows > 256)
            Fail("pattern row count out of range");
        if (p.cells.size() != static_cast<size_t>(p.rows * m.channels))
            Fail("pattern cell count does not match rows x channels");
        for (int row = 0; row < p.rows; ++row)
        {
            for (int ch = 0; ch < m.channels; ++ch)
            {
                const Cell& c = p.cells[static_cast<size_t>(row * m.channels + ch)];
                if (c.note > NoteOff)
                    Fail("note out of range");
                if (c.instrument > m.instruments.size())
                    Fail("cell names a missing instrument");
                if (c.volume != 0 && c.volume < 0x10)
                    Fail("bad volume column byte");
                if (c.effect == EffectPositionJump || c.effect == EffectPatternBreak)
                    Fail("jumps and breaks are not allowed");
                if (c.effect == EffectSetTempo && !(pi == m.order.front() && row == 0))
                    Fail("speed and tempo change only on the first row");
                if (c.effect == EffectExtended && ((c.param >> 4) == 0x6 || (c.param >> 4) == 0xE))
                    Fail("pattern loops and delays are not allowed");
                if (c.effect > 0x21)
                    Fail("unknown effect");
            }
        }
    }
    for (const Instrument& ins : m.instruments)
    {
        if (ins.volume.size() < 2 || ins.volume.size() > 12)
            Fail("volume envelope needs 2..12 points");
        if (ins.volume.front().tick != 0)
            Fail("volume envelope must start at tick 0");
        for (size_t i = 1; i < ins.volume.size(); ++i)
            if (ins.volume[i].tick <= ins.volume[i - 1].tick)
                Fail("volume envelope ticks must rise");
        for (const EnvelopePoint& pt : ins.volume)
            if (pt.value > 64)
                Fail("volume envelope value above 64");
        if (ins.sustainPoint >= static_cast<int>(ins.volume.size()))
            Fail("sustain point beyond the envelope");
        const Sample& s = ins.sample;
        if (s.data.empty() || s.data.size() > 0x7FFFFFFFu / 2)
            Fail("sample is empty or too long");
        if (s.loopLength > 0 && (static_cast<uint64_t>(s.loopStart) + s.loopLength > s.data.size()))
            Fail("sample loop runs past its end");
        if (s.volume > 64)
            Fail("sample volume above 64");
    }
}

std::vector<uint8_t> Write(const Module& m)
{
    Validate(m);
    Writer w;
    w.Text("Extended Module: ", 17);
    w.Text(m.name, 20, ' ');
    w.U8(0x1A);
    w.Text("Kestrin audiogen", 20, ' ');
    w.U16(0x0104);
    w.U32(276); // header size, counted from this field
    w.U16(static_cast<unsigned>(m.order.size()));
    w.U16(0); // restart position: unused, the song ends
    w.U16(static_cast<unsigned>(m.channels));
    w.U16(static_cast<unsigned>(m.patterns.size()));
    w.U16(static_cast<unsigned>(m.instruments.size()));
    w.U16(1); // linear frequency table
    w.U16(static_cast<unsigned>(m.speed));
    w.U16(static_cast<unsigned>(m.bpm));
    for (size_t i = 0; i < 256; ++i)
        w.U8(i < m.order.size() ? m.order[i] : 0);

    for (const Pattern& p : m.patterns)
    {
        w.U32(9);
        w.U8(0); // packing type
        w.U16(static_cast<unsigned>(p.rows));
        w.U16(static_cast<unsigned>(p.cells.size() * 5));
        for (const Cell& c : p.cells)
        { // unpacked: five bytes per cell
            w.U8(c.note);
            w.U8(c.instrument);
            w.U8(c.volume);
            w.U8(c.effect);
            w.U8(c.param);
        }
    }

    for (const Instrument& ins : m.instruments)
    {
        w.U32(263);
        w.Text(ins.name, 22);
        w.U8(0);
        w.U16(1);    // samples
        w.U32(40);   // sample header size
        w.Zeros(96); // every note maps to sample 0
        for (size_t i = 0; i < 12; ++i)
        {
            w.U16(i < ins.volume.size() ? ins.volume[i].tick : 0);
            w.U16(i < ins.volume.size() ? ins.volume[i].value : 0);
        }
        w.Zeros(48); // panning envelope
        w.U8(static_cast<unsigned>(ins.volume.size()));
        w.U8(0);
        w.U8(ins.sustainPoint >= 0 ? static_cast<unsigned>(ins.sustainPoint) : 0);
        w.U8(0);                                      // loop start
        w.U8(0);                                      // loop end
        w.Zeros(3);                                   // panning sustain and loop
        w.U8(1u | (ins.sustainPoint >= 0 ? 2u : 0u)); // volume envelope on, sustain
        w.U8(0);
        w.U8(ins.vibratoType);
        w.U8(ins.vibratoSweep);
        w.U8(ins.vibratoDepth);
        w.U8(ins.vibratoRate);
        w.U16(ins.fadeout);
        w.Zeros(22); // reserved, up to the 263-byte header

        const Sample& s = ins.sample;
        w.U32(static_cast<uint32_t>(s.data.size() * 2));
        w.U32(s.loopLength ? s.loopStart * 2 : 0);
        w.U32(s.loopLength * 2);
        w.U8(s.volume);
        w.U8(static_cast<uint8_t>(s.finetune));
        w.U8(0x10u | (s.loopLength ? 1u : 0u)); // 16-bit, forward loop
        w.U8(s.panning);
        w.U8(static_cast<uint8_t>(s.relativeNote));
        w.U8(0);
        w.Text(s.name, 22);
        int16_t previous = 0;
        for (int16_t v : s.data)
        {
            w.U16(static_cast<uint16_t>(static_cast<uint16_t>(v) - static_cast<uint16_t>(previous)));
            previous = v;
        }
    }
    return std::move(w.bytes);
}

int SongRows(const Module& m)
{
    int rows = 0;
    for (uint8_t p : m.order)
        rows += p < m.patterns.size() ? m.patterns[p].rows : 0;
    return rows;
}

double SongSeconds(const Module& m)
{
    return SongRows(m) * m.speed * 2.5 / m.bpm;
}

void TuneSample(Sample& s, double rate, double sampleHz, int rootNote)
{
    const int midi = rootNote + 11;
    // C-4 (note 49) plays at 8363 Hz with no relative note or finetune; one semitone
    // is 128 finetune steps on the linear table.
    const double v = 12.0 * Det::Log2(rate * Det::NoteHz(midi) / (sampleHz * 8363.0)) + (49 - rootNote);
    // Players use finetune in steps of 8 (a sixteenth of a semitone), so round to what
    // will actually play.
    const long sixteenths = std::lround(v * 16.0);
    const long rel = sixteenths >= 0 ? (sixteenths + 8) / 16 : -((-sixteenths + 7) / 16);
    const long fine = (sixteenths - rel * 16) * 8;
    if (rel < -96 || rel > 95)
        throw std::invalid_argument("XM: sample pitch out of range");
    s.relativeNote = static_cast<int8_t>(rel);
    s.finetune = static_cast<int8_t>(fine);
}
} // namespace AudioGen::Xm
