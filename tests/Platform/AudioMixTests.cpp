#include "AudioOutFixture.h"

#include <array>
#include <cmath>
#include <limits>

using namespace Kestrin::Shim::Bass;

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
        {100, 0, 0.8f, 0.6f},
        {50, 0, 0.4f, 0.3f},
        {0, 0, 0.0f, 0.0f},
        {100, 50, 0.4f, 0.6f},   // right of centre: the left side fades
        {100, -25, 0.8f, 0.45f}, // left of centre: the right side fades
        {100, 100, 0.0f, 0.6f},
        {100, -100, 0.8f, 0.0f},
        {40, -30, 0.32f, 0.168f},
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
    auto attributes = [&] {
        std::array<int, 3> a{-1, -1, -1};
        EXPECT_TRUE(out.ChannelGetAttributes(h, &a[0], &a[1], &a[2]));
        return a;
    };
    EXPECT_EQ(attributes(), (std::array{0, 100, 0}));
    // {set} -> {read back}: frequency, volume, pan.
    const std::array<int, 3> cases[][2] = {{{50, 150, -250}, {100, 100, -100}}, {{200000, -5, 300}, {100000, 0, 100}},
                                           {{0, 100, 0}, {0, 100, 0}},         {{-40, 37, -12}, {100, 37, -12}},
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
    auto lastFrame = [&](float left, float right) {
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
        ASSERT_TRUE(std::isfinite(mixed[i]) && mixed[i] >= -1.0f && mixed[i] <= 1.0f) << i << ": " << mixed[i];
    // The first frame: the bad voice contributes 0 and 0, the other voice stays audible.
    EXPECT_EQ(mixed[0], 0.125f);
    EXPECT_EQ(mixed[1], 0.125f);
    EXPECT_EQ(out.ChannelIsActive(h), ActivityStopped); // 5 frames at 2/3 speed: done by 8
}
