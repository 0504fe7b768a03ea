#include "AudioOutFixture.h"

#include <cmath>

using namespace Kestrin::Shim::Bass;

namespace
{

double Rms(const std::vector<float>& v, size_t from)
{
    double sum = 0;
    for (size_t i = from; i < v.size(); ++i)
        sum += double(v[i]) * v[i];
    return std::sqrt(sum / double(v.size() - from));
}

} // namespace

TEST_F(AudioOutTest, StereoWavPlaysExactlyAndEndsAfterItsLastFrame)
{
    std::vector<float> ramp = Ramp(300);
    Handle h = StereoStream(ramp);
    ASSERT_NE(h, 0u);
    EXPECT_EQ(out.ChannelIsActive(h), ActivityStopped); // loaded, not playing
    ASSERT_TRUE(out.ChannelPlay(h, false));
    EXPECT_EQ(out.ChannelIsActive(h), ActivityPlaying);
    EXPECT_EQ(Mix(299), std::vector<float>(ramp.begin(), ramp.end() - 2));
    EXPECT_EQ(out.ChannelIsActive(h), ActivityPlaying);
    std::vector<float> last = Mix(3);
    EXPECT_EQ(last, (std::vector<float>{0.299f, -0.299f, 0, 0, 0, 0}));
    EXPECT_EQ(out.ChannelIsActive(h), ActivityStopped);
}

TEST_F(AudioOutTest, MonoIsPlayedOnBothSidesAtItsOwnRate)
{
    // 22050 Hz mono: each source frame spans two output frames, halfway points interpolated.
    Handle h = Stream(KestrinTest::MakeWav({0.0f, 0.4f, 0.2f, -0.6f}, 1, 22050));
    uint32_t rate = 0;
    ASSERT_TRUE(out.ChannelGetDefaultFrequency(h, &rate));
    EXPECT_EQ(rate, 22050u);
    ASSERT_TRUE(out.ChannelPlay(h, true));
    std::vector<float> mixed = Mix(10);
    const float expected[] = {0.0f, 0.2f, 0.4f, 0.3f, 0.2f, -0.2f, -0.6f, -0.6f, 0.0f, 0.0f};
    for (size_t i = 0; i < 10; ++i)
    {
        EXPECT_NEAR(mixed[2 * i], expected[i], 1e-6) << "frame " << i;
        EXPECT_EQ(mixed[2 * i], mixed[2 * i + 1]) << "frame " << i;
    }
}

TEST_F(AudioOutTest, MoreThanTwoChannelsFoldEvenLeftAndOddRight)
{
    Handle h = Stream(KestrinTest::MakeWav({0.2f, 0.1f, 0.4f, 0.3f, -0.2f, 0.5f, 0.0f, -0.5f}, 4, 44100));
    ASSERT_TRUE(out.ChannelPlay(h, true));
    std::vector<float> mixed = Mix(2);
    const float expected[] = {0.3f, 0.2f, -0.1f, 0.0f};
    for (size_t i = 0; i < 4; ++i)
        EXPECT_NEAR(mixed[i], expected[i], 1e-6) << i;
}

TEST_F(AudioOutTest, EveryStreamFormatOfTheDataDecodesAndRestartsIdentically)
{
    struct Format
    {
        const char* name;
        int format;
        int rate;
        double tolerance; // of the RMS: lossy coders lose a little
    };
    const Format formats[] = {
        {"wav 16-bit", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 0.002},
        {"aiff 16-bit", SF_FORMAT_AIFF | SF_FORMAT_PCM_16, 22050, 0.002},
        {"ogg vorbis", SF_FORMAT_OGG | SF_FORMAT_VORBIS, 48000, 0.03},
        {"mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 32000, 0.03},
    };
    for (const Format& f : formats)
    {
        SCOPED_TRACE(f.name);
        Handle h = Stream(KestrinTest::EncodeSound(KestrinTest::Sine(f.rate / 5, 2, f.rate, 440, 0.5f), 2, f.rate, f.format));
        ASSERT_NE(h, 0u) << AudioOut::ErrorGetCode();
        uint32_t rate = 0;
        ASSERT_TRUE(out.ChannelGetDefaultFrequency(h, &rate));
        EXPECT_EQ(rate, uint32_t(f.rate));
        ASSERT_TRUE(out.ChannelPlay(h, true));
        std::vector<float> first = Mix(4410); // skip the coders' start-up delay in the RMS
        EXPECT_NEAR(Rms(first, 2000), 0.5 / std::sqrt(2.0), f.tolerance);
        // A restart seeks back into the compressed data and decodes the same frames.
        ASSERT_TRUE(out.ChannelPlay(h, true));
        EXPECT_EQ(Mix(4410), first);
        ASSERT_TRUE(out.StreamFree(h));
    }
}

TEST_F(AudioOutTest, DataThatIsNoSoundIsRefusedWithTheFormatCode)
{
    const char text[] = "this is certainly not a sound file, just some words of text";
    EXPECT_EQ(out.StreamCreateMemory(text, sizeof text), 0u);
    EXPECT_EQ(AudioOut::ErrorGetCode(), 41);
    EXPECT_EQ(out.MusicLoadMemory(text, sizeof text), 0u);
    EXPECT_EQ(AudioOut::ErrorGetCode(), ErrorFileFormat);
    EXPECT_EQ(out.SampleLoadMemory(text, sizeof text, 32, true), 0u);
    EXPECT_EQ(AudioOut::ErrorGetCode(), ErrorFileFormat);
    std::vector<unsigned char> wav = KestrinTest::MakeWav(Ramp(100), 2, 44100);
    EXPECT_EQ(out.StreamCreateMemory(wav.data(), 30), 0u); // the header cut short
    EXPECT_NE(AudioOut::ErrorGetCode(), ErrorNone);
    EXPECT_EQ(out.StreamCreateMemory(nullptr, 10), 0u);
    EXPECT_EQ(AudioOut::ErrorGetCode(), ErrorParameter);
}

TEST_F(AudioOutTest, ModulePlaysOnceFromItsOwnCopyAndRestartsAfterItsEnd)
{
    Handle h;
    {
        std::vector<unsigned char> mod = KestrinTest::MakeModule(4, 4, 3); // 4 rows of 60 ms
        h = out.MusicLoadMemory(mod.data(), mod.size());
        ASSERT_NE(h, 0u) << AudioOut::ErrorGetCode();
        std::fill(mod.begin(), mod.end(), 0); // the layer must not depend on these bytes
    }
    uint32_t rate = 0;
    ASSERT_TRUE(out.ChannelGetDefaultFrequency(h, &rate));
    EXPECT_EQ(rate, 44100u);
    ASSERT_TRUE(out.ChannelPlay(h, true));
    std::vector<float> first = Mix(4410);
    EXPECT_GT(Rms(first, 0), 0.01);
    int length = 4410;
    for (; out.ChannelIsActive(h) && length < 44100; length += 441)
        Mix(441);
    // 0.24 s of song, plus the short fade-out tail the renderer adds after the last row.
    EXPECT_GE(length, 44100 * 24 / 100);
    EXPECT_LE(length, 44100 * 36 / 100 + 441);
    EXPECT_EQ(Mix(441), std::vector<float>(882, 0.0f));
    ASSERT_TRUE(out.ChannelPlay(h, true));
    EXPECT_EQ(Mix(4410), first);
}
