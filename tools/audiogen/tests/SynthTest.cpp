#include "Synth.h"
#include "DetMath.h"
#include "Rng.h"
#include "Sounds.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace AudioGen;

namespace
{
// Upward zero crossings per second over the middle of a buffer.
double MeasureHz(const std::vector<double>& x, int rate, size_t from, size_t to)
{
    int crossings = 0;
    size_t first = 0, last = 0;
    for (size_t i = from + 1; i < to; ++i)
    {
        if (x[i - 1] < 0.0 && x[i] >= 0.0)
        {
            if (crossings == 0)
                first = i;
            last = i;
            ++crossings;
        }
    }
    return crossings < 2 ? 0.0
                         : (crossings - 1) * static_cast<double>(rate) / static_cast<double>(last - first);
}

// Period by autocorrelation, for signals rich in harmonics.
double MeasurePeriodHz(const std::vector<double>& x, int rate, size_t from, size_t to)
{
    double best = -1e300;
    int bestLag = 0;
    for (int lag = rate / 2000; lag < rate / 50; ++lag)
    {
        double c = 0.0;
        for (size_t i = from; i + static_cast<size_t>(lag) < to; ++i)
            c += x[i] * x[i + static_cast<size_t>(lag)];
        if (c > best)
        {
            best = c;
            bestLag = lag;
        }
    }
    // Refine between neighbouring lags by a parabola through the peak.
    auto corr = [&](int lag)
    {
        double c = 0.0;
        for (size_t i = from; i + static_cast<size_t>(lag) < to; ++i)
            c += x[i] * x[i + static_cast<size_t>(lag)];
        return c;
    };
    const double a = corr(bestLag - 1), b = corr(bestLag), c = corr(bestLag + 1);
    const double shift = 0.5 * (a - c) / (a - 2.0 * b + c);
    return rate / (bestLag + shift);
}

double Rms(const std::vector<double>& x, size_t from, size_t to)
{
    double s = 0.0;
    for (size_t i = from; i < to; ++i)
        s += x[i] * x[i];
    return std::sqrt(s / static_cast<double>(to - from));
}
} // namespace

TEST(DetMath, AgreesWithTheLibraryWithinTolerance)
{
    for (double t = -3.0; t <= 3.0; t += 0.0137)
    {
        EXPECT_NEAR(Det::SinTurns(t), std::sin(2.0 * M_PI * t), 1e-10) << t;
        EXPECT_NEAR(Det::CosTurns(t), std::cos(2.0 * M_PI * t), 1e-10) << t;
    }
    for (double x = -30.0; x <= 30.0; x += 0.37)
        EXPECT_NEAR(Det::Exp(x) / std::exp(x), 1.0, 1e-12) << x;
    for (double x = 1e-6; x < 1e6; x *= 3.7)
        EXPECT_NEAR(Det::Log(x), std::log(x), 1e-12) << x;
    EXPECT_DOUBLE_EQ(Det::NoteHz(69), 440.0);
    EXPECT_NEAR(Det::NoteHz(60), 261.6255653005986, 1e-9);
    EXPECT_NEAR(Det::DbToGain(-3.0), 0.7079457843841379, 1e-12);
    EXPECT_EQ(Det::Exp(-800.0), 0.0);
}

TEST(Pcg32, IsRepeatableAndSeedsDiffer)
{
    Pcg32 a(42), b(42), c(43);
    bool differs = false;
    for (int i = 0; i < 100; ++i)
    {
        const uint32_t x = a.Next();
        EXPECT_EQ(x, b.Next());
        differs |= x != c.Next();
    }
    EXPECT_TRUE(differs);
    Pcg32 r(7);
    int counts[5] = {};
    for (int i = 0; i < 5000; ++i)
    {
        const int k = r.Below(5);
        ASSERT_GE(k, 0);
        ASSERT_LT(k, 5);
        ++counts[k];
        const double u = r.Uniform();
        ASSERT_GE(u, 0.0);
        ASSERT_LT(u, 1.0);
    }
    for (int k : counts)
        EXPECT_NEAR(k, 1000, 150);
}

TEST(Envelope, FollowsAttackDecaySustainRelease)
{
    const Adsr env{0.1, 0.2, 0.5, 0.4};
    EXPECT_DOUBLE_EQ(EnvelopeAt(env, 1.0, -0.01), 0.0);
    EXPECT_NEAR(EnvelopeAt(env, 1.0, 0.05), 0.5, 1e-12);
    EXPECT_NEAR(EnvelopeAt(env, 1.0, 0.1), 1.0, 1e-12);
    EXPECT_NEAR(EnvelopeAt(env, 1.0, 0.2), 0.5 + 0.5 * 0.25, 1e-12);
    EXPECT_NEAR(EnvelopeAt(env, 1.0, 0.5), 0.5, 1e-12);
    EXPECT_NEAR(EnvelopeAt(env, 1.0, 1.2), 0.25, 1e-12);
    EXPECT_DOUBLE_EQ(EnvelopeAt(env, 1.0, 1.5), 0.0);
    // A gate shorter than the attack releases from where the attack got to.
    EXPECT_NEAR(EnvelopeAt(env, 0.05, 0.25), 0.5 * 0.5, 1e-12);
}

TEST(Synth, OscillatorsPlayTheirPitch)
{
    const int rate = 22050;
    for (Wave w : {Wave::Sine, Wave::Square, Wave::Saw, Wave::Triangle})
    {
        Patch p;
        p.duration = 1.0;
        p.layers.push_back(Osc(w, 441).Len(1.0).Env(0.0, 0.0, 1.0, 0.0));
        const auto x = Render(p, rate);
        ASSERT_EQ(x.size(), 22050u);
        EXPECT_NEAR(MeasureHz(x, rate, 1000, 21000), 441.0, 1.0) << static_cast<int>(w);
    }
    Patch pluck;
    pluck.duration = 0.5;
    pluck.layers.push_back(Osc(Wave::Pluck, 220).Len(0.5).Env(0.0, 0.0, 1.0, 0.0).Damp(0.999));
    // The plucked string averages each sample with the next: its period is the loop less half a sample.
    EXPECT_NEAR(MeasurePeriodHz(Render(pluck, rate), rate, 2000, 10000),
                rate / (std::lround(rate / 220.0 + 0.5) - 0.5), 1.0);
}

TEST(Synth, SlideArpeggioAndVibratoMovePitch)
{
    const int rate = 22050;
    Patch slide;
    slide.duration = 1.0;
    slide.layers.push_back(Osc(Wave::Sine, 200).Slide(800).Len(1.0).Env(0.0, 0.0, 1.0, 0.0));
    const auto s = Render(slide, rate);
    EXPECT_LT(MeasureHz(s, rate, 0, 2205), 260.0);
    EXPECT_GT(MeasureHz(s, rate, 19845, 22050), 700.0);

    Patch arp;
    arp.duration = 0.4;
    arp.layers.push_back(Osc(Wave::Sine, 440).Arp({0, 12}, 0.2).Len(0.4).Env(0.0, 0.0, 1.0, 0.0));
    const auto a = Render(arp, rate);
    EXPECT_NEAR(MeasureHz(a, rate, 200, 4200), 440.0, 5.0);
    EXPECT_NEAR(MeasureHz(a, rate, 4600, 8600), 880.0, 8.0);

    Patch vib;
    vib.duration = 1.0;
    vib.layers.push_back(Osc(Wave::Sine, 440).Vib(2.0, 1.0).Len(1.0).Env(0.0, 0.0, 1.0, 0.0));
    const auto v = Render(vib, rate);
    // A quarter cycle in the pitch is up, three quarters down.
    EXPECT_GT(MeasureHz(v, rate, 2205, 3300), 455.0);
    EXPECT_LT(MeasureHz(v, rate, 7700, 8800), 425.0);
}

TEST(Synth, FiltersAndRingModulationShapeTheSpectrum)
{
    const int rate = 22050;
    auto rms = [&](Layer layer)
    {
        Patch p;
        p.duration = 0.5;
        p.layers.push_back(layer.Len(0.5).Env(0.0, 0.0, 1.0, 0.0));
        const auto x = Render(p, rate);
        return Rms(x, 2000, x.size());
    };
    const double plain = rms(Osc(Wave::Sine, 5000));
    EXPECT_LT(rms(Osc(Wave::Sine, 5000).Lp(200)), plain * 0.1);
    EXPECT_GT(rms(Osc(Wave::Sine, 100).Lp(5000)), plain * 0.9);
    EXPECT_LT(rms(Osc(Wave::Sine, 100).Hp(3000)), plain * 0.1);
    // A full ring modulation at the same frequency leaves half the power as DC and
    // half at the octave.
    Patch ring;
    ring.duration = 0.5;
    ring.layers.push_back(Osc(Wave::Sine, 441).Ring(441).Len(0.5).Env(0.0, 0.0, 1.0, 0.0));
    const auto r = Render(ring, rate);
    EXPECT_NEAR(MeasureHz(
                    [&]
                    {
                        auto y = r;
                        for (double& v : y)
                            v -= 0.5;
                        return y;
                    }(),
                    rate, 100, 10000),
                882.0, 2.0);
}

TEST(Synth, EchoRepeatsAfterItsDelay)
{
    const int rate = 22050;
    Patch p;
    p.duration = 0.5;
    p.layers.push_back(Osc(Wave::Sine, 1000).Len(0.01).Env(0.0, 0.0, 1.0, 0.0));
    const auto dry = Render(p, rate);
    p.echo = {0.1, 0.3, 0.5};
    const auto wet = Render(p, rate);
    EXPECT_LT(Rms(dry, 2205, 2425), 1e-9);
    EXPECT_GT(Rms(wet, 2205, 2425), 0.05);
}

TEST(Synth, ScatterLayersWithOneSeedDrawTheSameTimesAndPitches)
{
    Patch p;
    p.seed = 9;
    p.duration = 1.0;
    const Layer a =
        Osc(Wave::Sine, 500).Len(0.05).Env(0.0, 0.05, 0.0, 0.0).Scatter(5, 0.15, 0.05, {0, 3, 7}, 4);
    p.layers = {a};
    const auto x = Render(p, 22050);
    p.layers = {a, a};
    const auto twice = Render(p, 22050);
    for (size_t i = 0; i < x.size(); ++i)
        ASSERT_NEAR(twice[i], 2.0 * x[i], 1e-12);
    p.layers = {a};
    p.seed = 10;
    EXPECT_NE(Render(p, 22050), x);
}

TEST(Synth, FinishFadesRemovesDcAndSetsThePeak)
{
    std::vector<double> x(2205, 0.3); // pure DC with a spike
    x[1000] = 1.0;
    for (size_t i = 0; i < x.size(); ++i)
        x[i] += 0.2 * std::sin(i * 0.05);
    const auto pcm = Finish(x, 22050, 0.005, Det::DbToGain(-3.0));
    ASSERT_EQ(pcm.size(), x.size());
    EXPECT_EQ(pcm.front(), 0);
    EXPECT_EQ(pcm.back(), 0);
    long sum = 0;
    int peak = 0;
    for (int16_t v : pcm)
    {
        sum += v;
        peak = std::max(peak, std::abs(static_cast<int>(v)));
    }
    EXPECT_LT(std::abs(static_cast<double>(sum) / static_cast<double>(pcm.size())), 1.0);
    EXPECT_EQ(peak, 23197); // -3 dBFS of 32767, rounded
    // Fades: the first 5 ms rise smoothly.
    EXPECT_LT(std::abs(static_cast<int>(pcm[10])), std::abs(static_cast<int>(pcm[100])));
    EXPECT_TRUE(Finish(std::vector<double>(100, 0.0), 22050, 0.005, 0.7) == std::vector<int16_t>(100, 0));
}

TEST(Sounds, RenderingIsRepeatable)
{
    const SoundSpec& s = Effects().front();
    EXPECT_EQ(RenderSound(s), RenderSound(s));
}

TEST(Sounds, TheLoopingWarningRunsWholePeriods)
{
    for (const SoundSpec& s : Effects())
    {
        if (!s.loops)
            continue;
        for (const Layer& l : s.patch.layers)
        {
            if (l.wave == Wave::Noise || l.wave == Wave::Pluck)
                continue;
            const double period = EffectRate / l.freq;
            EXPECT_DOUBLE_EQ(period, std::round(period)) << s.file;
            EXPECT_EQ(l.freqEnd, 0.0) << s.file;
            EXPECT_TRUE(l.arp.empty()) << s.file;
        }
        EXPECT_DOUBLE_EQ(s.patch.duration * EffectRate, std::round(s.patch.duration * EffectRate));
    }
}
