#pragma once
// A small additive/subtractive synthesiser: every sound is a seeded parameter record
// (a patch of layers) rendered to floating point, then finished to 16-bit PCM.
#include <cstdint>
#include <vector>

namespace AudioGen
{
enum class Wave : uint8_t
{
    Sine,
    Square,
    Saw,
    Triangle,
    Noise,
    Pluck
};

// Attack and release are linear; decay falls on a squared curve to the sustain level.
struct Adsr
{
    double attack = 0.002;
    double decay = 0.1;
    double sustain = 0.0;
    double release = 0.02;
};

struct Layer
{
    Wave wave = Wave::Sine;
    double start = 0.0;      // seconds from the start of the sound
    double length = 0.1;     // gate time in seconds; the release follows
    double freq = 440.0;     // Hz; for noise the sample-and-hold rate (0 = white)
    double freqEnd = 0.0;    // slide target in Hz (0 = no slide)
    double slideCurve = 1.0; // >1 slides fast at first, <1 slowly at first
    double duty = 0.5;       // square only
    double vibRate = 0.0;    // Hz
    double vibDepth = 0.0;   // semitones
    std::vector<int> arp;    // semitone steps cycled every arpStep seconds
    double arpStep = 0.05;
    Adsr env;
    double lowpass = 0.0;    // Hz (0 = off)
    double lowpassEnd = 0.0; // sweep target over the layer (0 = fixed)
    double highpass = 0.0;   // Hz (0 = off)
    double ringFreq = 0.0;   // ring modulator, Hz (0 = off)
    double ringMix = 1.0;
    double gain = 1.0;
    double pluckDamping = 0.996; // Karplus-Strong loop gain
    // Scatter: the layer fires `count` times, `spacing` apart, each with a random
    // offset in time and a pitch drawn from `scale` (semitones over freq). Layers that
    // share a scatterSeed draw the same times and pitches (partials of one bell).
    int count = 1;
    double spacing = 0.0;
    double timeJitter = 0.0;
    std::vector<int> scale;
    uint32_t scatterSeed = 0;

    // Builder setters keep the sound tables short.
    Layer& At(double s)
    {
        start = s;
        return *this;
    }
    Layer& Len(double s)
    {
        length = s;
        return *this;
    }
    Layer& Slide(double hz, double curve = 1.0)
    {
        freqEnd = hz;
        slideCurve = curve;
        return *this;
    }
    Layer& Duty(double d)
    {
        duty = d;
        return *this;
    }
    Layer& Vib(double rate, double depth)
    {
        vibRate = rate;
        vibDepth = depth;
        return *this;
    }
    Layer& Arp(std::vector<int> steps, double step)
    {
        arp = std::move(steps);
        arpStep = step;
        return *this;
    }
    Layer& Env(double a, double d, double s, double r)
    {
        env = {a, d, s, r};
        return *this;
    }
    Layer& Lp(double hz, double hzEnd = 0.0)
    {
        lowpass = hz;
        lowpassEnd = hzEnd;
        return *this;
    }
    Layer& Hp(double hz)
    {
        highpass = hz;
        return *this;
    }
    Layer& Ring(double hz, double mix = 1.0)
    {
        ringFreq = hz;
        ringMix = mix;
        return *this;
    }
    Layer& Gain(double g)
    {
        gain = g;
        return *this;
    }
    Layer& Damp(double d)
    {
        pluckDamping = d;
        return *this;
    }
    Layer& Scatter(int n, double gap, double jitter, std::vector<int> pitches, uint32_t seed)
    {
        count = n;
        spacing = gap;
        timeJitter = jitter;
        scale = std::move(pitches);
        scatterSeed = seed;
        return *this;
    }
};

Layer Osc(Wave wave, double freq);

struct Echo
{
    double delay = 0.0; // seconds (0 = off)
    double feedback = 0.0;
    double mix = 0.0;
};

struct Patch
{
    uint32_t seed = 1;
    double duration = 0.5; // seconds: the exact length of the output
    std::vector<Layer> layers;
    Echo echo;
};

// The patch mixed to floating point, `duration * rate` samples (rounded).
std::vector<double> Render(const Patch& patch, double rate);

// Number of samples a patch renders to.
int FrameCount(double duration, double rate);

// Envelope value at time t for a gate of `gate` seconds.
double EnvelopeAt(const Adsr& env, double gate, double t);

// Finishing for shipped effects: DC removed without disturbing the ends, fades of
// `fadeSeconds` at both ends, peak scaled to `peakGain`, rounded to 16 bits.
std::vector<int16_t> Finish(std::vector<double> samples, double rate, double fadeSeconds, double peakGain);

// One-pole filters over a buffer, in place.
void LowPass(std::vector<double>& x, double hz, double rate);
void HighPass(std::vector<double>& x, double hz, double rate);
// Small room: two feedback combs through a gentle low-pass, mixed with the dry signal.
void RoomEcho(std::vector<double>& x, const Echo& echo, double rate);

// Smooth 0..1 fade curve (smoothstep) used at every sound's edges.
double FadeCurve(double u);
} // namespace AudioGen
