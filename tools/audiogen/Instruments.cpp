#include "Instruments.h"

#include "DetMath.h"
#include "Synth.h"

#include <cmath>
#include <stdexcept>

namespace AudioGen
{
namespace
{
struct Partial
{
    int harmonic; // multiple of the base cycle count
    double amplitude;
    int extraCycles; // detune: cycles added over the whole loop
};

// A loop of whole cycles built from sine partials, band-limited by construction and
// zero at its first sample, so the loop point and the note start are click-free.
std::vector<int16_t> PeriodicLoop(int cycles, int length, const std::vector<Partial>& partials)
{
    std::vector<double> x(static_cast<size_t>(length), 0.0);
    const double nyquistCycles = length / 2.2;
    for (const Partial& p : partials)
    {
        const double c = static_cast<double>(p.harmonic * cycles + p.extraCycles);
        if (c >= nyquistCycles)
            continue;
        for (int n = 0; n < length; ++n)
            x[static_cast<size_t>(n)] += p.amplitude * Det::SinTurns(c * n / length);
    }
    double peak = 0.0;
    for (double v : x)
        peak = std::max(peak, std::fabs(v));
    std::vector<int16_t> out(x.size());
    for (size_t i = 0; i < x.size(); ++i)
        out[i] = static_cast<int16_t>(std::lround(x[i] / peak * 29000.0));
    return out;
}

std::vector<Partial> SawPartials(int count, int detune, double gain)
{
    std::vector<Partial> p;
    for (int h = 1; h <= count; ++h)
        p.push_back({h, gain / h, detune * h});
    return p;
}

// Loop length holding `cycles` periods of `midi` as closely as whole samples allow.
int LoopLength(int midi, int cycles)
{
    return static_cast<int>(std::lround(cycles * SampleRate() / Det::NoteHz(midi)));
}

Xm::Instrument Looped(const char* name, int rootMidi, int cycles, const std::vector<Partial>& partials)
{
    Xm::Instrument ins;
    ins.name = name;
    const int length = LoopLength(rootMidi, cycles);
    ins.sample.name = name;
    ins.sample.data = PeriodicLoop(cycles, length, partials);
    ins.sample.loopStart = 0;
    ins.sample.loopLength = static_cast<uint32_t>(length);
    Xm::TuneSample(ins.sample, SampleRate(), static_cast<double>(cycles) * SampleRate() / length,
                   Xm::NoteFromMidi(rootMidi));
    return ins;
}

Xm::Instrument OneShot(const char* name, const Patch& patch, double sampleHz, int rootMidi)
{
    Xm::Instrument ins;
    ins.name = name;
    ins.sample.name = name;
    ins.sample.data = Finish(Render(patch, SampleRate()), SampleRate(), 0.002, 0.9);
    // Keep the attack: Finish fades both ends, but a drum's first millisecond matters
    // less than a click-free start.
    if (sampleHz > 0.0)
        Xm::TuneSample(ins.sample, SampleRate(), sampleHz, Xm::NoteFromMidi(rootMidi));
    else
        Xm::TuneSample(ins.sample, SampleRate(), Det::NoteHz(60), Xm::NoteFromMidi(60));
    return ins;
}

double PluckHz(double hz)
{
    return SampleRate() / (std::max(2L, std::lround(SampleRate() / hz + 0.5)) - 0.5);
}

void Envelope(Xm::Instrument& ins, std::vector<Xm::EnvelopePoint> points, int sustain, uint16_t fadeout)
{
    ins.volume = std::move(points);
    ins.sustainPoint = sustain;
    ins.fadeout = fadeout;
}
} // namespace

double SampleRate()
{
    return 8363.0 * Det::Exp2(268.0 / 192.0);
}

const char* VoiceName(Voice v)
{
    switch (v)
    {
    case Voice::Pad:
        return "pad";
    case Voice::Pluck:
        return "pluck";
    case Voice::Pizz:
        return "pizzicato";
    case Voice::Bass:
        return "bass";
    case Voice::FunkBass:
        return "funk bass";
    case Voice::Lead:
        return "lead";
    case Voice::Flute:
        return "flute";
    case Voice::Brass:
        return "brass";
    case Voice::ArpSynth:
        return "arp synth";
    case Voice::Marimba:
        return "marimba";
    case Voice::Bell:
        return "bell";
    case Voice::Kick:
        return "kick";
    case Voice::PunchKick:
        return "punch kick";
    case Voice::Snare:
        return "snare";
    case Voice::Hat:
        return "hat";
    case Voice::Shaker:
        return "shaker";
    }
    return "?";
}

bool IsPercussion(Voice v)
{
    return v == Voice::Kick || v == Voice::PunchKick || v == Voice::Snare || v == Voice::Hat ||
           v == Voice::Shaker;
}

Xm::Instrument MakeInstrument(Voice v)
{
    Xm::Instrument ins;
    switch (v)
    {
    case Voice::Pad:
    {
        // Two saws a whole cycle apart over the loop: a slow chorus that still loops.
        auto partials = SawPartials(14, 0, 1.0);
        for (Partial p : SawPartials(14, 1, 0.8))
            partials.push_back(p);
        partials.push_back({1, 0.6, -1}); // a third voice detuned the other way
        ins = Looped("pad", 60, 96, partials);
        Envelope(ins, {{0, 0}, {30, 64}, {60, 54}}, 2, 0x0300);
        ins.sample.panning = 112;
        break;
    }
    case Voice::Bass:
    {
        ins = Looped("bass", 36, 8, {{1, 1.0, 0}, {2, 0.45, 0}, {3, 0.22, 0}, {4, 0.1, 0}, {5, 0.05, 0}});
        Envelope(ins, {{0, 64}, {6, 56}, {40, 44}}, 2, 0x0C00);
        break;
    }
    case Voice::Lead:
    {
        std::vector<Partial> p;
        for (int h = 1; h <= 12; ++h) // pulse of duty 1/3: every third harmonic missing
            if (h % 3 != 0)
                p.push_back({h, 0.8 / h, 0});
        p.push_back({1, 0.7, 0});
        ins = Looped("lead", 72, 32, p);
        Envelope(ins, {{0, 0}, {2, 64}, {14, 52}}, 2, 0x0800);
        ins.vibratoType = 0;
        ins.vibratoSweep = 30;
        ins.vibratoDepth = 5;
        ins.vibratoRate = 14;
        break;
    }
    case Voice::Flute:
    {
        ins = Looped("flute", 72, 32, {{1, 1.0, 0}, {2, 0.18, 0}, {3, 0.08, 0}, {4, 0.03, 0}});
        Envelope(ins, {{0, 0}, {4, 64}, {20, 56}}, 2, 0x0600);
        ins.vibratoSweep = 40;
        ins.vibratoDepth = 4;
        ins.vibratoRate = 12;
        break;
    }
    case Voice::Brass:
    {
        auto partials = SawPartials(16, 0, 1.0);
        for (Partial p : SawPartials(16, 1, 0.7))
            partials.push_back(p);
        ins = Looped("brass", 60, 32, partials);
        Envelope(ins, {{0, 0}, {3, 56}, {6, 64}, {24, 52}}, 3, 0x0800);
        ins.vibratoSweep = 20;
        ins.vibratoDepth = 3;
        ins.vibratoRate = 12;
        break;
    }
    case Voice::ArpSynth:
    {
        std::vector<Partial> p;
        for (int h = 1; h <= 15; h += 2)
            p.push_back({h, 1.0 / h, 0});
        ins = Looped("arp synth", 72, 32, p);
        Envelope(ins, {{0, 64}, {4, 40}, {14, 16}, {30, 0}}, -1, 0x1000);
        ins.sample.panning = 150;
        break;
    }
    case Voice::Pluck:
    {
        const double hz = Det::NoteHz(60);
        Patch patch;
        patch.seed = 101;
        patch.duration = 0.9;
        patch.layers.push_back(
            Osc(Wave::Pluck, hz).Len(0.85).Env(0.001, 0.0, 1.0, 0.05).Damp(0.997).Lp(5000));
        ins = OneShot("pluck", patch, PluckHz(hz), 60);
        Envelope(ins, {{0, 64}, {1, 64}}, 1, 0x0800);
        ins.sample.panning = 96;
        break;
    }
    case Voice::Pizz:
    {
        const double hz = Det::NoteHz(60);
        Patch patch;
        patch.seed = 102;
        patch.duration = 0.5;
        patch.layers.push_back(Osc(Wave::Pluck, hz).Len(0.4).Env(0.003, 0.4, 0.0, 0.05).Damp(0.99).Lp(3500));
        ins = OneShot("pizzicato", patch, PluckHz(hz), 60);
        Envelope(ins, {{0, 64}, {1, 64}}, 1, 0x1000);
        break;
    }
    case Voice::FunkBass:
    {
        const double hz = Det::NoteHz(36);
        Patch patch;
        patch.seed = 103;
        patch.duration = 0.7;
        patch.layers.push_back(
            Osc(Wave::Pluck, hz).Len(0.6).Env(0.001, 0.6, 0.2, 0.1).Damp(0.996).Lp(2500, 500));
        patch.layers.push_back(Osc(Wave::Sine, hz).Len(0.6).Env(0.002, 0.5, 0.3, 0.1).Gain(0.6));
        ins = OneShot("funk bass", patch, hz, 36);
        Envelope(ins, {{0, 64}, {1, 64}}, 1, 0x1800);
        break;
    }
    case Voice::Marimba:
    {
        const double hz = Det::NoteHz(60);
        Patch patch;
        patch.seed = 104;
        patch.duration = 0.7;
        patch.layers.push_back(Osc(Wave::Sine, hz).Len(0.65).Env(0.001, 0.65, 0.0, 0.02));
        patch.layers.push_back(Osc(Wave::Sine, hz * 4.0).Len(0.12).Env(0.001, 0.12, 0.0, 0.01).Gain(0.3));
        patch.layers.push_back(Osc(Wave::Sine, hz * 9.9).Len(0.03).Env(0.0005, 0.03, 0.0, 0.005).Gain(0.12));
        ins = OneShot("marimba", patch, hz, 60);
        Envelope(ins, {{0, 64}, {1, 64}}, 1, 0x1000);
        ins.sample.panning = 144;
        break;
    }
    case Voice::Bell:
    {
        const double hz = Det::NoteHz(72);
        Patch patch;
        patch.seed = 105;
        patch.duration = 1.4;
        patch.layers.push_back(Osc(Wave::Sine, hz).Len(1.35).Env(0.002, 1.35, 0.0, 0.05));
        patch.layers.push_back(Osc(Wave::Sine, hz * 2.0).Len(0.9).Env(0.002, 0.9, 0.0, 0.05).Gain(0.4));
        patch.layers.push_back(Osc(Wave::Sine, hz * 2.76).Len(0.5).Env(0.001, 0.5, 0.0, 0.05).Gain(0.25));
        patch.layers.push_back(Osc(Wave::Sine, hz * 5.4).Len(0.2).Env(0.001, 0.2, 0.0, 0.02).Gain(0.12));
        ins = OneShot("bell", patch, hz, 72);
        Envelope(ins, {{0, 64}, {1, 64}}, 1, 0x0400);
        break;
    }
    case Voice::Kick:
    {
        Patch patch;
        patch.seed = 106;
        patch.duration = 0.35;
        patch.layers.push_back(Osc(Wave::Sine, 120).Slide(45, 3.0).Len(0.3).Env(0.001, 0.3, 0.0, 0.04));
        patch.layers.push_back(
            Osc(Wave::Noise, 0).Len(0.006).Env(0.0005, 0.006, 0.0, 0.002).Lp(3000).Gain(0.25));
        ins = OneShot("kick", patch, 0.0, 60);
        Envelope(ins, {{0, 64}, {1, 64}}, -1, 0x1000);
        break;
    }
    case Voice::PunchKick:
    {
        Patch patch;
        patch.seed = 107;
        patch.duration = 0.3;
        patch.layers.push_back(
            Osc(Wave::Sine, 190).Slide(50, 5.0).Len(0.25).Env(0.0005, 0.25, 0.0, 0.04).Gain(1.4));
        patch.layers.push_back(
            Osc(Wave::Noise, 0).Len(0.01).Env(0.0005, 0.01, 0.0, 0.003).Lp(5000).Gain(0.5));
        ins = OneShot("punch kick", patch, 0.0, 60);
        Envelope(ins, {{0, 64}, {1, 64}}, -1, 0x1000);
        break;
    }
    case Voice::Snare:
    {
        Patch patch;
        patch.seed = 108;
        patch.duration = 0.25;
        patch.layers.push_back(Osc(Wave::Noise, 0).Len(0.2).Env(0.001, 0.2, 0.0, 0.03).Hp(1200).Lp(9000));
        patch.layers.push_back(
            Osc(Wave::Triangle, 200).Slide(160).Len(0.08).Env(0.001, 0.08, 0.0, 0.02).Gain(0.7));
        ins = OneShot("snare", patch, 0.0, 60);
        Envelope(ins, {{0, 64}, {1, 64}}, -1, 0x1000);
        ins.sample.panning = 120;
        break;
    }
    case Voice::Hat:
    {
        Patch patch;
        patch.seed = 109;
        patch.duration = 0.09;
        patch.layers.push_back(Osc(Wave::Noise, 0).Len(0.06).Env(0.0005, 0.06, 0.0, 0.02).Hp(7000));
        patch.layers.push_back(Osc(Wave::Square, 3150)
                                   .Duty(0.5)
                                   .Ring(4720)
                                   .Len(0.04)
                                   .Env(0.0005, 0.04, 0.0, 0.01)
                                   .Hp(6000)
                                   .Gain(0.3));
        ins = OneShot("hat", patch, 0.0, 60);
        Envelope(ins, {{0, 64}, {1, 64}}, -1, 0x1000);
        ins.sample.panning = 160;
        break;
    }
    case Voice::Shaker:
    {
        Patch patch;
        patch.seed = 110;
        patch.duration = 0.12;
        patch.layers.push_back(Osc(Wave::Noise, 0).Len(0.08).Env(0.02, 0.06, 0.0, 0.03).Hp(4000).Lp(10000));
        ins = OneShot("shaker", patch, 0.0, 60);
        Envelope(ins, {{0, 64}, {1, 64}}, -1, 0x1000);
        ins.sample.panning = 170;
        break;
    }
    }
    return ins;
}
} // namespace AudioGen
