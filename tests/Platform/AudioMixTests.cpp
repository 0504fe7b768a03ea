#include "AudioOutFixture.h"

#include <array>
#include <cmath>
#include <limits>

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
        Handle h = Stream(KestrinTest::EncodeSound(KestrinTest::Sine(f.rate / 5, 2, f.rate, 440, 0.5f), 2,
                                                   f.rate, f.format));
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
    EXPECT_EQ(ErrorOf(out.StreamCreateMemory(text, sizeof text)), 41);
    EXPECT_EQ(ErrorOf(out.MusicLoadMemory(text, sizeof text)), ErrorFileFormat);
    EXPECT_EQ(ErrorOf(out.SampleLoadMemory(text, sizeof text, 32, true)), ErrorFileFormat);
    std::vector<unsigned char> wav = KestrinTest::MakeWav(Ramp(100), 2, 44100);
    EXPECT_EQ(out.StreamCreateMemory(wav.data(), 30), 0u); // the header cut short
    EXPECT_NE(AudioOut::ErrorGetCode(), ErrorNone);
    EXPECT_EQ(ErrorOf(out.StreamCreateMemory(nullptr, 10)), ErrorParameter);
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

TEST_F(AudioOutTest, VolumeIsLinearAndPanFollowsTheBalanceLaw)
{
    Handle h = StereoStream(Constant(2000, 0.8f, 0.6f));
    ASSERT_NE(h, 0u);
    ASSERT_TRUE(out.ChannelPlay(h, true));

    struct Case
    {
        int volume, pan;
        float left, right;
    };
    const Case cases[] = {
        {100, 0, 0.8f, 0.6f},    {50, 0, 0.4f, 0.3f},     {0, 0, 0.0f, 0.0f},
        {100, 50, 0.4f, 0.6f},   // right of centre: the left side fades
        {100, -25, 0.8f, 0.45f}, // left of centre: the right side fades
        {100, 100, 0.0f, 0.6f},  {100, -100, 0.8f, 0.0f}, {40, -30, 0.32f, 0.168f},
    };
    for (const Case& c : cases)
    {
        ASSERT_TRUE(out.ChannelSetAttributes(h, 0, c.volume, c.pan));
        std::vector<float> mixed = Mix(4);
        EXPECT_NEAR(mixed[6], c.left, 1e-6) << c.volume << "/" << c.pan;
        EXPECT_NEAR(mixed[7], c.right, 1e-6) << c.volume << "/" << c.pan;
    }
}

TEST_F(AudioOutTest, AttributesAreClampedAndZeroHzMeansTheNativeRate)
{
    Handle h = Stream(KestrinTest::MakeWav(Constant(100, 0.5f, 0.5f), 2, 22050));
    ASSERT_NE(h, 0u);
    auto attributes = [&]
    {
        std::array<int, 3> a{-1, -1, -1};
        EXPECT_TRUE(out.ChannelGetAttributes(h, &a[0], &a[1], &a[2]));
        return a;
    };
    EXPECT_EQ(attributes(), (std::array{0, 100, 0}));
    // {set} -> {read back}: frequency, volume, pan.
    const std::array<int, 3> cases[][2] = {{{50, 150, -250}, {100, 100, -100}},
                                           {{200000, -5, 300}, {100000, 0, 100}},
                                           {{0, 100, 0}, {0, 100, 0}},
                                           {{-40, 37, -12}, {100, 37, -12}},
                                           {{100000, 0, 100}, {100000, 0, 100}}};
    for (auto& [in, expected] : cases)
    {
        ASSERT_TRUE(out.ChannelSetAttributes(h, in[0], in[1], in[2]));
        EXPECT_EQ(attributes(), expected) << in[0] << "/" << in[1] << "/" << in[2];
    }

    // The default frequency is the file's, whatever the attribute says: a caller that scales it
    // on every replay must not compound its pitch.
    ASSERT_TRUE(out.ChannelSetAttributes(h, 33075, 100, 0));
    uint32_t native = 0;
    ASSERT_TRUE(out.ChannelGetDefaultFrequency(h, &native));
    EXPECT_EQ(native, 22050u);
    ASSERT_TRUE(out.ChannelPlay(h, true));
    ASSERT_TRUE(out.ChannelGetDefaultFrequency(h, &native));
    EXPECT_EQ(native, 22050u);
}

TEST_F(AudioOutTest, FrequencyResamplesByLinearInterpolation)
{
    std::vector<float> ramp = Ramp(400);
    Handle h = StereoStream(ramp);
    ASSERT_NE(h, 0u);

    // Twice the native rate: every other source frame.
    ASSERT_TRUE(out.ChannelSetAttributes(h, 88200, 100, 0));
    ASSERT_TRUE(out.ChannelPlay(h, true));
    std::vector<float> fast = Mix(100);
    for (int i = 0; i < 100; ++i)
    {
        EXPECT_FLOAT_EQ(fast[2 * size_t(i)], float(2 * i) / 1000.0f) << i;
        EXPECT_FLOAT_EQ(fast[2 * size_t(i) + 1], -float(2 * i) / 1000.0f) << i;
    }
    // The change takes effect where the voice is: from source frame 200 on at three quarters.
    ASSERT_TRUE(out.ChannelSetAttributes(h, 33075, 100, 0));
    std::vector<float> slow = Mix(8);
    for (int i = 0; i < 8; ++i)
        EXPECT_NEAR(slow[2 * size_t(i)], (200.0f + 0.75f * float(i)) / 1000.0f, 1e-6) << i;

    // A 400-frame sound at 88200 Hz lasts 200 output frames.
    ASSERT_TRUE(out.ChannelSetAttributes(h, 88200, 100, 0));
    ASSERT_TRUE(out.ChannelPlay(h, true));
    Mix(199);
    EXPECT_EQ(out.ChannelIsActive(h), ActivityPlaying);
    Mix(2);
    EXPECT_EQ(out.ChannelIsActive(h), ActivityStopped);
}

TEST_F(AudioOutTest, VoicesAreSummedAndTheSumIsClipped)
{
    Handle a = StereoStream(Constant(500, 0.3f, -0.5f));
    Handle b = StereoStream(Constant(500, 0.2f, -0.1f));
    Handle c = StereoStream(Constant(300, 0.75f, -0.75f));
    ASSERT_TRUE(out.ChannelPlay(a, true));
    ASSERT_TRUE(out.ChannelPlay(b, true));
    auto lastFrame = [&](float left, float right)
    {
        std::vector<float> mixed = Mix(4);
        EXPECT_NEAR(mixed[6], left, 1e-6);
        EXPECT_NEAR(mixed[7], right, 1e-6);
    };
    lastFrame(0.5f, -0.6f);
    ASSERT_TRUE(out.ChannelPlay(c, true));
    lastFrame(1.0f, -1.0f); // 1.25 clipped
    // The clip is on the sum only: halving one voice brings the total back into range.
    ASSERT_TRUE(out.ChannelSetAttributes(c, 0, 50, 0));
    lastFrame(0.875f, -0.975f);
}

TEST_F(AudioOutTest, OutputStartsPausedAndPauseHoldsEveryVoiceWhereItIs)
{
    ASSERT_TRUE(out.Free());
    ASSERT_TRUE(out.Init(-1, 44100)); // without Start
    std::vector<float> ramp = Ramp(600);
    Handle h = StereoStream(ramp);
    ASSERT_TRUE(out.ChannelPlay(h, true));
    EXPECT_EQ(Mix(100), std::vector<float>(200, 0.0f));
    EXPECT_EQ(out.ChannelIsActive(h), ActivityPlaying);

    ASSERT_TRUE(out.Start());
    std::vector<float> mixed = Mix(100);
    EXPECT_EQ(mixed, std::vector<float>(ramp.begin(), ramp.begin() + 200));

    ASSERT_TRUE(out.Pause());
    EXPECT_EQ(Mix(300), std::vector<float>(600, 0.0f));
    EXPECT_EQ(out.ChannelIsActive(h), ActivityPlaying);
    ASSERT_TRUE(out.Start());
    mixed = Mix(100);
    EXPECT_EQ(mixed, std::vector<float>(ramp.begin() + 200, ramp.begin() + 400));
}

TEST_F(AudioOutTest, NonFiniteSamplesInAFileAreSilencedAndLeaveOtherVoicesAlone)
{
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    // Huge opposite neighbours too: interpolating between them must not overflow.
    std::vector<float> bad = {nan, inf, -inf, 0.5f, 3e38f, -3e38f, -3e38f, 3e38f, 0.25f, 0.25f};
    Handle h = StereoStream(bad, 29400); // an uneven rate, so every output frame interpolates
    Handle other = StereoStream(Constant(100, 0.125f, 0.125f));
    ASSERT_NE(h, 0u);
    ASSERT_TRUE(out.ChannelPlay(h, true));
    ASSERT_TRUE(out.ChannelPlay(other, true));
    std::vector<float> mixed = Mix(12);
    for (size_t i = 0; i < mixed.size(); ++i)
        ASSERT_TRUE(std::isfinite(mixed[i]) && mixed[i] >= -1.0f && mixed[i] <= 1.0f)
            << i << ": " << mixed[i];
    // The first frame: the bad voice contributes 0 and 0, the other voice stays audible.
    EXPECT_EQ(mixed[0], 0.125f);
    EXPECT_EQ(mixed[1], 0.125f);
    EXPECT_EQ(out.ChannelIsActive(h), ActivityStopped); // 5 frames at 2/3 speed: done by 8
}
