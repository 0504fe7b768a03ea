#include "AudioOutFixture.h"

#include <cmath>

using namespace Kestrin::Shim::Bass;
using KestrinTest::MakeModule;
using KestrinTest::MakeOgg;
using KestrinTest::MakeWav;

namespace
{

double Rms(const std::vector<float>& v, size_t from, size_t to)
{
    double sum = 0;
    for (size_t i = from; i < to; ++i)
        sum += double(v[i]) * v[i];
    return std::sqrt(sum / double(to - from));
}

// Frames until the output stays silent, in steps of `step`.
int AudibleFrames(AudioOut& out, NullOutputDriver& device, Handle h, int step, int limit)
{
    int frames = 0;
    while (out.ChannelIsActive(h) && frames < limit)
    {
        device.Mix(step);
        frames += step;
    }
    return frames;
}

} // namespace

TEST_F(AudioOutTest, StereoWavPlaysExactlyAndEndsAfterItsLastFrame)
{
    std::vector<float> ramp = Ramp(300);
    Handle h = StereoStream(ramp);
    ASSERT_NE(h, 0u);
    uint32_t rate = 0;
    ASSERT_TRUE(out.ChannelGetDefaultFrequency(h, &rate));
    EXPECT_EQ(rate, 44100u);
    EXPECT_EQ(out.ChannelIsActive(h), ActivityStopped); // loaded, not playing

    ASSERT_TRUE(out.ChannelPlay(h, false));
    EXPECT_EQ(out.ChannelIsActive(h), ActivityPlaying);
    std::vector<float> mixed = Mix(299);
    EXPECT_EQ(mixed, std::vector<float>(ramp.begin(), ramp.end() - 2));
    EXPECT_EQ(out.ChannelIsActive(h), ActivityPlaying);
    mixed = Mix(10);
    EXPECT_FLOAT_EQ(mixed[0], 0.299f);
    EXPECT_FLOAT_EQ(mixed[1], -0.299f);
    EXPECT_EQ(std::vector<float>(mixed.begin() + 2, mixed.end()), std::vector<float>(18, 0.0f));
    EXPECT_EQ(out.ChannelIsActive(h), ActivityStopped);
}

TEST_F(AudioOutTest, MonoIsPlayedOnBothSidesAtItsOwnRate)
{
    // 22050 Hz mono: each source frame spans two output frames, halfway points interpolated.
    std::vector<float> mono = {0.0f, 0.4f, 0.2f, -0.6f};
    Handle h = Stream(MakeWav(mono, 1, 22050));
    ASSERT_NE(h, 0u);
    uint32_t rate = 0;
    ASSERT_TRUE(out.ChannelGetDefaultFrequency(h, &rate));
    EXPECT_EQ(rate, 22050u);
    ASSERT_TRUE(out.ChannelPlay(h, true));
    std::vector<float> mixed = Mix(10);
    const float expected[] = {0.0f, 0.2f, 0.4f, 0.3f, 0.2f, -0.2f, -0.6f, -0.6f, 0.0f, 0.0f};
    for (int i = 0; i < 10; ++i)
    {
        EXPECT_NEAR(mixed[2 * size_t(i)], expected[i], 1e-6) << "frame " << i;
        EXPECT_EQ(mixed[2 * size_t(i)], mixed[2 * size_t(i) + 1]) << "frame " << i;
    }
    EXPECT_EQ(out.ChannelIsActive(h), ActivityStopped);
}

TEST_F(AudioOutTest, MoreThanTwoChannelsFoldEvenLeftAndOddRight)
{
    std::vector<float> quad = {0.2f, 0.1f, 0.4f, 0.3f, -0.2f, 0.5f, 0.0f, -0.5f};
    Handle h = Stream(MakeWav(quad, 4, 44100));
    ASSERT_NE(h, 0u);
    ASSERT_TRUE(out.ChannelPlay(h, true));
    std::vector<float> mixed = Mix(2);
    EXPECT_NEAR(mixed[0], 0.3f, 1e-6);
    EXPECT_NEAR(mixed[1], 0.2f, 1e-6);
    EXPECT_NEAR(mixed[2], -0.1f, 1e-6);
    EXPECT_NEAR(mixed[3], 0.0f, 1e-6);
}

TEST_F(AudioOutTest, OggDecodesOnDemandAtTheFileRate)
{
    const int rate = 32000, frames = 3200; // 0.1 s of a 500 Hz sine
    std::vector<unsigned char> ogg = MakeOgg(KestrinTest::Sine(frames, 2, rate, 500, 0.5f), 2, rate);
    ASSERT_FALSE(ogg.empty());
    Handle h = Stream(ogg);
    ASSERT_NE(h, 0u) << AudioOut::ErrorGetCode();
    uint32_t native = 0;
    ASSERT_TRUE(out.ChannelGetDefaultFrequency(h, &native));
    EXPECT_EQ(native, uint32_t(rate));

    ASSERT_TRUE(out.ChannelPlay(h, true));
    std::vector<float> mixed = Mix(4410); // played at 44100 from 32000: 3200 frames last 4410
    EXPECT_NEAR(Rms(mixed, 400, 8400), 0.5 / std::sqrt(2.0), 0.03);
    EXPECT_NE(out.ChannelIsActive(h), ActivityStopped);
    Mix(8);
    EXPECT_EQ(out.ChannelIsActive(h), ActivityStopped);

    // Restarting seeks back into the compressed data and decodes the same frames again.
    ASSERT_TRUE(out.ChannelPlay(h, true));
    std::vector<float> again = Mix(4410);
    for (size_t i = 0; i < mixed.size(); i += 97)
        EXPECT_FLOAT_EQ(again[i], mixed[i]) << i;
}

TEST_F(AudioOutTest, DataThatIsNoSoundIsRefusedWithTheFormatCode)
{
    const char text[] = "this is certainly not a sound file, just some words of text";
    EXPECT_EQ(out.StreamCreateMemory(text, sizeof text), 0u);
    EXPECT_EQ(AudioOut::ErrorGetCode(), ErrorFileFormat);
    EXPECT_EQ(AudioOut::ErrorGetCode(), 41);
    EXPECT_EQ(out.MusicLoadMemory(text, sizeof text), 0u);
    EXPECT_EQ(AudioOut::ErrorGetCode(), ErrorFileFormat);
    EXPECT_EQ(out.SampleLoadMemory(text, sizeof text, 32, true), 0u);
    EXPECT_EQ(AudioOut::ErrorGetCode(), ErrorFileFormat);

    // A WAV header cut short is damaged rather than unknown; either way nothing is made.
    std::vector<unsigned char> wav = MakeWav(Ramp(100), 2, 44100);
    EXPECT_EQ(out.StreamCreateMemory(wav.data(), 30), 0u);
    EXPECT_NE(AudioOut::ErrorGetCode(), ErrorNone);

    EXPECT_EQ(out.StreamCreateMemory(nullptr, 10), 0u);
    EXPECT_EQ(AudioOut::ErrorGetCode(), ErrorParameter);
    EXPECT_EQ(out.MusicLoadMemory(text, 0), 0u);
    EXPECT_EQ(AudioOut::ErrorGetCode(), ErrorParameter);
}

TEST_F(AudioOutTest, ModulePlaysOnceFromItsOwnCopyAndRestartsAfterItsEnd)
{
    Handle h;
    {
        std::vector<unsigned char> mod = MakeModule(4, 4, 3); // 4 rows of 60 ms
        h = out.MusicLoadMemory(mod.data(), mod.size());
        ASSERT_NE(h, 0u) << AudioOut::ErrorGetCode();
        std::fill(mod.begin(), mod.end(), 0); // the layer must not depend on these bytes
    }
    uint32_t rate = 0;
    ASSERT_TRUE(out.ChannelGetDefaultFrequency(h, &rate));
    EXPECT_EQ(rate, 44100u);

    ASSERT_TRUE(out.ChannelPlay(h, true));
    std::vector<float> first = Mix(4410);
    EXPECT_GT(Rms(first, 0, first.size()), 0.01);

    int length = 4410 + AudibleFrames(out, Device(), h, 441, 44100 * 5);
    // 0.24 s of song, plus the short fade-out tail the renderer adds after the last row.
    EXPECT_GE(length, 44100 * 24 / 100);
    EXPECT_LE(length, 44100 * 36 / 100 + 441);
    EXPECT_EQ(Mix(441), std::vector<float>(882, 0.0f));

    ASSERT_TRUE(out.ChannelPlay(h, true));
    std::vector<float> again = Mix(4410);
    EXPECT_EQ(again, first);
}

TEST_F(AudioOutTest, ModulesWithManyChannelsLoad)
{
    std::vector<unsigned char> mod = MakeModule(32, 8, 6);
    Handle h = out.MusicLoadMemory(mod.data(), mod.size());
    ASSERT_NE(h, 0u) << AudioOut::ErrorGetCode();
    ASSERT_TRUE(out.ChannelPlay(h, true));
    std::vector<float> mixed = Mix(2048);
    EXPECT_GT(Rms(mixed, 0, mixed.size()), 0.01);
}
