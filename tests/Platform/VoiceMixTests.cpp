#include "Platform/Shim/Bass/Sources.h"
#include "Platform/Shim/Bass/Voice.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

using namespace Kestrin::Shim::Bass;

namespace
{

// The resampler as plainly as it can be said: one output frame at a time between frames a and b,
// the cursor stepping by the rate ratio; returns the output and where the voice ended (-1: still
// playing after `frames`).
std::vector<float> PlainMix(const std::vector<float>& stereo, double step, float gl, float gr, int frames,
                            int& endedAt)
{
    const size_t count = stereo.size() / 2;
    std::vector<float> out(2 * size_t(frames), 0.0f);
    endedAt = -1;
    if (count == 0)
    {
        endedAt = 0;
        return out;
    }
    const float* a = &stereo[0];
    const float* b = count > 1 ? &stereo[2] : a;
    bool haveB = count > 1;
    size_t next = 2;
    double frac = 0;
    for (int i = 0; i < frames; ++i)
    {
        const float f = float(frac), g = 1.0f - f;
        out[2 * size_t(i)] += (a[0] * g + b[0] * f) * gl;
        out[2 * size_t(i) + 1] += (a[1] * g + b[1] * f) * gr;
        for (frac += step; frac >= 1.0; frac -= 1.0)
        {
            if (!haveB)
            {
                endedAt = i + 1;
                return out;
            }
            a = b;
            haveB = next < count;
            b = haveB ? &stereo[2 * next++] : a;
        }
    }
    return out;
}

} // namespace

// Seeded: lengths across the voice's internal buffer, the native rate (its straight run) and
// other rates, random gains, mixed in slices of random sizes onto a non-silent bus.
TEST(VoiceMix, MatchesThePlainResamplerInAnySlicing)
{
    std::mt19937 random(4242);
    const int rates[] = {44100, 44100, 22050, 48000, 11025, 30000};
    for (int round = 0; round < 60; ++round)
    {
        const int length = int(random() % 1600);
        auto pcm = std::make_shared<Pcm>();
        pcm->rate = uint32_t(rates[random() % std::size(rates)]);
        std::uniform_real_distribution<float> sample(-1.0f, 1.0f);
        for (int i = 0; i < 2 * length; ++i)
            pcm->stereo.push_back(sample(random));
        Voice voice(PlayPcm(pcm));
        const int frequency = random() % 4 == 0 ? int(8000 + random() % 40000) : 0;
        voice.SetAttributes(frequency, int(random() % 101), int(random() % 201) - 100);
        ASSERT_TRUE(voice.Restart());

        const int frames = 200 + int(random() % 2400);
        const double step = double(frequency ? uint32_t(frequency) : pcm->rate) / 44100.0;
        const float p = float(voice.Pan()) / 100.0f, gain = float(voice.Volume()) / 100.0f;
        int endedAt = 0;
        std::vector<float> expected = PlainMix(pcm->stereo, step, gain * (1.0f - std::max(0.0f, p)),
                                               gain * (1.0f + std::min(0.0f, p)), frames, endedAt);

        std::vector<float> bus(2 * size_t(frames));
        for (size_t i = 0; i < bus.size(); ++i)
            bus[i] = float(i % 7) * 0.125f;
        std::vector<float> want = bus;
        for (size_t i = 0; i < want.size(); ++i)
            want[i] += expected[i];
        int done = 0, ends = 0;
        while (done < frames)
        {
            const int n = std::min(frames - done, 1 + int(random() % 700));
            if (voice.MixInto(bus.data() + 2 * done, n, 44100))
            {
                // Reported once, in the slice that reached the end.
                ++ends;
                EXPECT_LE(done, endedAt) << "round " << round;
                EXPECT_LE(endedAt, done + n) << "round " << round;
            }
            done += n;
        }
        EXPECT_EQ(ends, endedAt < 0 ? 0 : 1) << "round " << round;
        EXPECT_EQ(voice.GetState(), endedAt < 0 ? Voice::State::Playing : Voice::State::Ended)
            << "round " << round;
        for (size_t i = 0; i < bus.size(); ++i)
            ASSERT_FLOAT_EQ(bus[i], want[i]) << "round " << round << " sample " << i;
    }
}
