#include "AudioOutFixture.h"

#include <algorithm>
#include <functional>

using namespace Kestrin::Shim::Bass;

namespace
{

struct Call
{
    SyncHandle sync;
    Handle channel;
    uint32_t data;
};

struct Recorder
{
    std::vector<Call> calls;
    AudioOut* out = nullptr;
    // Optional follow-up run inside the notification, as the engine's repeat does.
    std::function<void(Recorder&, SyncHandle, Handle)> then;
};

void Record(SyncHandle sync, Handle channel, uint32_t data, void* user)
{
    auto* r = static_cast<Recorder*>(user);
    r->calls.push_back({sync, channel, data});
    if (r->then)
        r->then(*r, sync, channel);
}

// First and one-past-last output frame of each stretch of sound in `mixed`.
std::vector<std::pair<int, int>> Stretches(const std::vector<float>& mixed)
{
    std::vector<std::pair<int, int>> out;
    int frames = int(mixed.size() / 2);
    for (int i = 0; i < frames; ++i)
    {
        bool loud = mixed[2 * size_t(i)] != 0.0f;
        if (loud && (out.empty() || out.back().second != i))
            out.push_back({i, i + 1});
        else if (loud)
            out.back().second = i + 1;
    }
    return out;
}

} // namespace

TEST_F(AudioOutTest, EndSyncRunsOnceAtTheNaturalEndWithItsValues)
{
    Handle h = StereoStream(Constant(100, 0.5f, 0.5f));
    Recorder r;
    SyncHandle sync = out.ChannelSetEndSync(h, &Record, &r);
    ASSERT_NE(sync, 0u);
    ASSERT_TRUE(out.ChannelPlay(h, true));
    Mix(99);
    EXPECT_TRUE(r.calls.empty());
    Mix(50);
    ASSERT_EQ(r.calls.size(), 1u);
    EXPECT_EQ(r.calls[0].sync, sync);
    EXPECT_EQ(r.calls[0].channel, h);
    EXPECT_EQ(r.calls[0].data, 0u);

    // One-shot: a second run to the end calls nothing, and the sync is gone.
    ASSERT_TRUE(out.ChannelPlay(h, true));
    Mix(300);
    EXPECT_EQ(r.calls.size(), 1u);
    EXPECT_FALSE(out.ChannelRemoveSync(h, sync));
}

TEST_F(AudioOutTest, StopFiresNothingAndKeepsTheSyncForALaterEnd)
{
    std::vector<float> ramp = Ramp(300);
    Handle h = StereoStream(ramp);
    Recorder r;
    ASSERT_NE(out.ChannelSetEndSync(h, &Record, &r), 0u);
    ASSERT_TRUE(out.ChannelPlay(h, true));
    Mix(100);
    ASSERT_TRUE(out.ChannelStop(h));
    EXPECT_EQ(out.ChannelIsActive(h), ActivityStopped);
    EXPECT_EQ(Mix(400), std::vector<float>(800, 0.0f));
    EXPECT_TRUE(r.calls.empty());

    // Stop rewinds nothing: continuing plays on from frame 100 and ends naturally.
    ASSERT_TRUE(out.ChannelPlay(h, false));
    std::vector<float> rest = Mix(199);
    EXPECT_EQ(rest, std::vector<float>(ramp.begin() + 200, ramp.end() - 2));
    EXPECT_TRUE(r.calls.empty());
    Mix(1); // the last frame
    EXPECT_EQ(r.calls.size(), 1u);
}

TEST_F(AudioOutTest, FreeingAVoiceOrTheDeviceFiresNothing)
{
    Handle a = StereoStream(Constant(100, 0.5f, 0.5f));
    Handle b = StereoStream(Constant(100, 0.5f, 0.5f));
    Recorder r;
    ASSERT_NE(out.ChannelSetEndSync(a, &Record, &r), 0u);
    ASSERT_NE(out.ChannelSetEndSync(b, &Record, &r), 0u);
    ASSERT_TRUE(out.ChannelPlay(a, true));
    ASSERT_TRUE(out.ChannelPlay(b, true));
    Mix(50);
    ASSERT_TRUE(out.StreamFree(a));
    ASSERT_TRUE(out.Free());
    ASSERT_TRUE(out.Init(-1, 44100));
    ASSERT_TRUE(out.Start());
    Mix(500);
    EXPECT_TRUE(r.calls.empty());
}

TEST_F(AudioOutTest, RemovedSyncsDoNotRunAndEachSyncBelongsToItsChannel)
{
    Handle a = StereoStream(Constant(100, 0.5f, 0.5f));
    Handle b = StereoStream(Constant(100, 0.5f, 0.5f));
    Recorder r;
    SyncHandle first = out.ChannelSetEndSync(a, &Record, &r);
    SyncHandle second = out.ChannelSetEndSync(a, &Record, &r);
    ASSERT_NE(first, second);
    EXPECT_FALSE(out.ChannelRemoveSync(b, first)); // not b's
    EXPECT_TRUE(out.ChannelRemoveSync(a, first));
    EXPECT_FALSE(out.ChannelRemoveSync(a, first));
    EXPECT_EQ(out.ChannelSetEndSync(a, nullptr, &r), 0u);
    EXPECT_EQ(AudioOut::ErrorGetCode(), ErrorParameter);
    ASSERT_TRUE(out.ChannelPlay(a, true));
    Mix(200);
    ASSERT_EQ(r.calls.size(), 1u);
    EXPECT_EQ(r.calls[0].sync, second);
}

TEST_F(AudioOutTest, ANotificationMayStopAnotherVoiceWhoseEndIsAlreadyDue)
{
    // Both end in the same slice; the first notification stops the second voice, whose
    // notification, due but not yet run, is then dropped.
    Handle a = StereoStream(Constant(100, 0.5f, 0.5f));
    Handle b = StereoStream(Constant(100, 0.5f, 0.5f));
    Recorder r;
    r.out = &out;
    r.then = [b](Recorder& self, SyncHandle, Handle channel) {
        if (channel != b)
            self.out->ChannelStop(b);
    };
    ASSERT_NE(out.ChannelSetEndSync(a, &Record, &r), 0u);
    ASSERT_NE(out.ChannelSetEndSync(b, &Record, &r), 0u);
    ASSERT_TRUE(out.ChannelPlay(a, true));
    ASSERT_TRUE(out.ChannelPlay(b, true));
    Mix(256);
    ASSERT_EQ(r.calls.size(), 1u);
    EXPECT_EQ(r.calls[0].channel, a);
}

TEST_F(AudioOutTest, ARepeatArmedFromTheNotificationResumesInTheNextSlice)
{
    // The engine loops a sound by re-arming and restarting it from its end notification.
    // The mixer works in slices of 256 frames, so each repeat starts on a slice boundary.
    Handle h = StereoStream(Constant(100, 0.5f, 0.5f));
    Recorder r;
    r.out = &out;
    r.then = [](Recorder& self, SyncHandle, Handle channel) {
        if (self.calls.size() < 3)
            self.out->ChannelSetEndSync(channel, &Record, &self);
        self.out->ChannelPlay(channel, true);
    };
    ASSERT_NE(out.ChannelSetEndSync(h, &Record, &r), 0u);
    ASSERT_TRUE(out.ChannelPlay(h, true));
    std::vector<float> mixed = Mix(1024);
    EXPECT_EQ(Stretches(mixed), (std::vector<std::pair<int, int>>{{0, 100}, {256, 356}, {512, 612}, {768, 868}}));
    EXPECT_EQ(r.calls.size(), 3u);
    // The fourth play had no sync: it ends without a call and stays ended.
    EXPECT_EQ(out.ChannelIsActive(h), ActivityStopped);
}

TEST_F(AudioOutTest, RestartRewindsAndContinueResumesOnlyWhatCanContinue)
{
    std::vector<float> ramp = Ramp(300);
    Handle h = StereoStream(ramp);
    ASSERT_TRUE(out.ChannelPlay(h, true));
    Mix(50);
    ASSERT_TRUE(out.ChannelPlay(h, true));
    EXPECT_EQ(Mix(10), std::vector<float>(ramp.begin(), ramp.begin() + 20));

    ASSERT_TRUE(out.ChannelPause(h));
    EXPECT_EQ(out.ChannelIsActive(h), ActivityPaused);
    EXPECT_EQ(Mix(50), std::vector<float>(100, 0.0f));
    EXPECT_FALSE(out.ChannelPause(h));
    EXPECT_EQ(AudioOut::ErrorGetCode(), ErrorNotPlaying);
    ASSERT_TRUE(out.ChannelPlay(h, false));
    EXPECT_EQ(out.ChannelIsActive(h), ActivityPlaying);
    EXPECT_EQ(Mix(10), std::vector<float>(ramp.begin() + 20, ramp.begin() + 40));

    // Playing on while already playing changes nothing.
    ASSERT_TRUE(out.ChannelPlay(h, false));
    EXPECT_EQ(Mix(10), std::vector<float>(ramp.begin() + 40, ramp.begin() + 60));

    Mix(400);
    EXPECT_EQ(out.ChannelIsActive(h), ActivityStopped);
    EXPECT_FALSE(out.ChannelPlay(h, false)); // an ended voice does not replay by itself
    EXPECT_EQ(AudioOut::ErrorGetCode(), ErrorEnded);
    EXPECT_EQ(out.ChannelIsActive(h), ActivityStopped);
    EXPECT_EQ(Mix(10), std::vector<float>(20, 0.0f));
    EXPECT_FALSE(out.ChannelPause(h));

    ASSERT_TRUE(out.ChannelPlay(h, true));
    EXPECT_EQ(Mix(10), std::vector<float>(ramp.begin(), ramp.begin() + 20));
}

TEST_F(AudioOutTest, SamplePlaybacksAreNewEachTimeAndTheFurthestIsTakenOver)
{
    std::vector<unsigned char> wav = KestrinTest::MakeWav(Constant(1000, 0.1f, 0.1f), 2, 44100);
    Handle sample = out.SampleLoadMemory(wav.data(), wav.size(), 2, true);
    ASSERT_NE(sample, 0u);
    wav.clear(); // decoded whole: the bytes are no longer needed

    Handle one = out.SampleGetChannel(sample);
    Handle two = out.SampleGetChannel(sample);
    ASSERT_NE(one, 0u);
    ASSERT_NE(two, 0u);
    EXPECT_NE(one, two);
    ASSERT_TRUE(out.ChannelPlay(one, true));
    Mix(300);
    ASSERT_TRUE(out.ChannelPlay(two, true));
    std::vector<float> both = Mix(10);
    EXPECT_NEAR(both[0], 0.2f, 1e-6);

    // Both busy: the third takes over `one`, which is furthest along.
    Handle three = out.SampleGetChannel(sample);
    ASSERT_NE(three, 0u);
    EXPECT_FALSE(out.ChannelPlay(one, true));
    EXPECT_EQ(AudioOut::ErrorGetCode(), ErrorHandle);
    EXPECT_EQ(out.ChannelIsActive(two), ActivityPlaying);
    std::vector<float> after = Mix(10);
    EXPECT_NEAR(after[0], 0.1f, 1e-6); // only `two` sounds until `three` is played
}

TEST_F(AudioOutTest, SamplePlaybacksWithoutOverrideRefuseWhenBusyAndReuseFinishedOnes)
{
    std::vector<unsigned char> wav = KestrinTest::MakeWav(Constant(100, 0.1f, 0.1f), 2, 22050);
    Handle sample = out.SampleLoadMemory(wav.data(), wav.size(), 1, false);
    ASSERT_NE(sample, 0u);
    Handle one = out.SampleGetChannel(sample);
    uint32_t rate = 0;
    ASSERT_TRUE(out.ChannelGetDefaultFrequency(one, &rate));
    EXPECT_EQ(rate, 22050u);
    EXPECT_EQ(out.SampleGetChannel(sample), 0u); // not yet played counts as busy
    EXPECT_EQ(AudioOut::ErrorGetCode(), ErrorNoFreeChannel);
    ASSERT_TRUE(out.ChannelPlay(one, true));
    Mix(300);
    EXPECT_EQ(out.ChannelIsActive(one), ActivityStopped);
    Handle two = out.SampleGetChannel(sample);
    ASSERT_NE(two, 0u);
    EXPECT_NE(two, one);

    ASSERT_TRUE(out.SampleFree(sample));
    EXPECT_FALSE(out.ChannelPlay(two, true));
    EXPECT_EQ(out.SampleGetChannel(sample), 0u);
}

TEST_F(AudioOutTest, FreeFromInsideANotificationIsRefused)
{
    // Free waits for the mixing thread, so from that thread it would wait for itself.
    Handle h = StereoStream(Constant(50, 0.5f, 0.5f));
    Recorder r;
    r.out = &out;
    bool freed = true;
    int code = ErrorNone;
    r.then = [&](Recorder& self, SyncHandle, Handle) {
        freed = self.out->Free();
        code = AudioOut::ErrorGetCode();
    };
    ASSERT_NE(out.ChannelSetEndSync(h, &Record, &r), 0u);
    ASSERT_TRUE(out.ChannelPlay(h, true));
    Mix(100);
    ASSERT_EQ(r.calls.size(), 1u);
    EXPECT_FALSE(freed);
    EXPECT_EQ(code, ErrorWrongThread);
    EXPECT_TRUE(out.ChannelPlay(h, true)); // still open
    EXPECT_TRUE(out.Free());
}
