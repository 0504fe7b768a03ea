#include "AudioOutFixture.h"

#include <functional>

using namespace Kestrin::Shim::Bass;

namespace
{

struct Call
{
    SyncHandle sync;
    Handle channel;
    uint32_t data;
    bool operator==(const Call&) const = default;
};

// `then` runs inside the notification, as the engine's repeat would.
struct Recorder
{
    using Then = std::function<void(Recorder&, Handle)>;
    explicit Recorder(AudioOut* o = nullptr, Then t = {}) : out(o), then(std::move(t)) {}
    AudioOut* out;
    Then then;
    std::vector<Call> calls;
};

void Record(SyncHandle sync, Handle channel, uint32_t data, void* user)
{
    auto* r = static_cast<Recorder*>(user);
    r->calls.push_back({sync, channel, data});
    if (r->then)
        r->then(*r, channel);
}

// [first, end) output frames of each stretch of sound.
std::vector<std::pair<int, int>> Stretches(const std::vector<float>& mixed)
{
    std::vector<std::pair<int, int>> out;
    for (int i = 0; i < int(mixed.size() / 2); ++i)
    {
        if (mixed[2 * size_t(i)] == 0.0f)
            continue;
        if (out.empty() || out.back().second != i)
            out.push_back({i, i});
        out.back().second = i + 1;
    }
    return out;
}

class AudioNotify : public AudioOutTest
{
protected:
    Handle Tone(int frames) { return StereoStream(Constant(frames, 0.5f, 0.5f)); }
    void ArmAndPlay(std::initializer_list<Handle> channels, Recorder& r)
    {
        for (Handle each : channels)
        {
            ASSERT_NE(out.ChannelSetEndSync(each, &Record, &r), 0u);
            ASSERT_TRUE(out.ChannelPlay(each, true));
        }
    }
};

} // namespace

TEST_F(AudioNotify, EndSyncRunsOnceAtTheNaturalEndWithItsValuesUnlessRemoved)
{
    Handle h = Tone(100), other = Tone(100);
    Recorder r;
    SyncHandle removed = out.ChannelSetEndSync(h, &Record, &r);
    SyncHandle sync = out.ChannelSetEndSync(h, &Record, &r);
    ASSERT_NE(sync, 0u);
    ASSERT_NE(sync, removed);
    EXPECT_FALSE(out.ChannelRemoveSync(other, removed)); // not other's
    EXPECT_TRUE(out.ChannelRemoveSync(h, removed));
    EXPECT_EQ(ErrorOf(out.ChannelSetEndSync(h, nullptr, &r)), ErrorParameter);

    ASSERT_TRUE(out.ChannelPlay(h, true));
    Mix(99);
    EXPECT_TRUE(r.calls.empty());
    Mix(50);
    EXPECT_EQ(r.calls, (std::vector<Call>{{sync, h, 0}}));
    // One-shot: another run to the end calls nothing, and the sync is gone.
    ASSERT_TRUE(out.ChannelPlay(h, true));
    Mix(300);
    EXPECT_EQ(r.calls.size(), 1u);
    EXPECT_FALSE(out.ChannelRemoveSync(h, sync));
}

TEST_F(AudioNotify, StopAndFreeingFireNothingAndStopKeepsTheSyncForALaterEnd)
{
    std::vector<float> ramp = Ramp(300);
    Handle h = StereoStream(ramp), freed = Tone(100), closed = Tone(100);
    Recorder r;
    ArmAndPlay({h, freed, closed}, r);
    Mix(50);
    ASSERT_TRUE(out.StreamFree(freed));
    ASSERT_TRUE(out.ChannelStop(closed));
    ASSERT_TRUE(out.ChannelStop(h));
    EXPECT_EQ(out.ChannelIsActive(h), ActivityStopped);
    EXPECT_EQ(Mix(400), std::vector<float>(800, 0.0f));
    EXPECT_TRUE(r.calls.empty());

    // Stop rewinds nothing: continuing plays on from frame 50 and ends naturally.
    ASSERT_TRUE(out.ChannelPlay(h, false));
    EXPECT_EQ(Mix(249), std::vector<float>(ramp.begin() + 100, ramp.end() - 2));
    EXPECT_TRUE(r.calls.empty());
    Mix(1); // the last frame
    ASSERT_EQ(r.calls.size(), 1u);
    EXPECT_EQ(r.calls[0].channel, h);

    // Free drops every armed sync without calling it.
    ASSERT_TRUE(out.ChannelPlay(closed, false));
    ASSERT_TRUE(out.Free());
    ASSERT_TRUE(out.Init(-1, 44100));
    ASSERT_TRUE(out.Start());
    Mix(200);
    EXPECT_EQ(r.calls.size(), 1u);
}

TEST_F(AudioNotify, ANotificationMayStopAnotherVoiceWhoseEndIsAlreadyDue)
{
    // Both end in the same slice; the second's notification, due but not yet run, is dropped.
    Handle a = Tone(100), b = Tone(100);
    Recorder r{&out, [b](Recorder& self, Handle channel)
               {
                   if (channel != b)
                       self.out->ChannelStop(b);
               }};
    ArmAndPlay({a, b}, r);
    Mix(256);
    ASSERT_EQ(r.calls.size(), 1u);
    EXPECT_EQ(r.calls[0].channel, a);
}

TEST_F(AudioNotify, ARepeatArmedFromTheNotificationResumesInTheNextSlice)
{
    // The engine loops a sound by re-arming and restarting it from its end notification; the
    // mixer works in slices of 256 frames, so each repeat starts on a slice boundary.
    Handle h = Tone(100);
    Recorder r{&out, [](Recorder& self, Handle channel)
               {
                   if (self.calls.size() < 3)
                       self.out->ChannelSetEndSync(channel, &Record, &self);
                   self.out->ChannelPlay(channel, true);
               }};
    ArmAndPlay({h}, r);
    EXPECT_EQ(Stretches(Mix(1024)),
              (std::vector<std::pair<int, int>>{{0, 100}, {256, 356}, {512, 612}, {768, 868}}));
    EXPECT_EQ(r.calls.size(), 3u);
    EXPECT_EQ(out.ChannelIsActive(h), ActivityStopped); // the fourth play had no sync
}

TEST_F(AudioNotify, FreeFromInsideANotificationIsRefused)
{
    // Free waits for the mixing thread, so from that thread it would wait for itself.
    Handle h = Tone(50);
    bool freed = true;
    int code = ErrorNone;
    Recorder r{&out, [&](Recorder& self, Handle)
               {
                   freed = self.out->Free();
                   code = AudioOut::ErrorGetCode();
               }};
    ArmAndPlay({h}, r);
    Mix(100);
    ASSERT_EQ(r.calls.size(), 1u);
    EXPECT_FALSE(freed);
    EXPECT_EQ(code, ErrorWrongThread);
    EXPECT_TRUE(out.ChannelPlay(h, true)); // still open
}

TEST_F(AudioNotify, RestartRewindsAndContinueResumesOnlyWhatCanContinue)
{
    std::vector<float> ramp = Ramp(300);
    auto frames = [&](int from, int to)
    { return std::vector<float>(ramp.begin() + 2 * from, ramp.begin() + 2 * to); };
    Handle h = StereoStream(ramp);
    ASSERT_TRUE(out.ChannelPlay(h, true));
    Mix(50);
    ASSERT_TRUE(out.ChannelPlay(h, true));
    EXPECT_EQ(Mix(10), frames(0, 10));

    ASSERT_TRUE(out.ChannelPause(h));
    EXPECT_EQ(out.ChannelIsActive(h), ActivityPaused);
    EXPECT_EQ(Mix(50), std::vector<float>(100, 0.0f));
    EXPECT_EQ(ErrorOf(out.ChannelPause(h)), ErrorNotPlaying);
    ASSERT_TRUE(out.ChannelPlay(h, false));
    EXPECT_EQ(out.ChannelIsActive(h), ActivityPlaying);
    EXPECT_EQ(Mix(10), frames(10, 20));
    ASSERT_TRUE(out.ChannelPlay(h, false)); // already playing: nothing changes
    EXPECT_EQ(Mix(10), frames(20, 30));

    Mix(400);
    EXPECT_EQ(ErrorOf(out.ChannelPlay(h, false)), ErrorEnded); // an ended voice does not replay by itself
    EXPECT_EQ(out.ChannelIsActive(h), ActivityStopped);
    EXPECT_EQ(Mix(10), std::vector<float>(20, 0.0f));
    ASSERT_TRUE(out.ChannelPlay(h, true));
    EXPECT_EQ(Mix(10), frames(0, 10));
}

TEST_F(AudioNotify, SamplePlaybacksAreNewEachTimeUpToTheirLimit)
{
    std::vector<unsigned char> wav = KestrinTest::MakeWav(Constant(1000, 0.1f, 0.1f), 2, 22050);
    Handle over = out.SampleLoadMemory(wav.data(), wav.size(), 2, true);
    Handle strict = out.SampleLoadMemory(wav.data(), wav.size(), 1, false);
    ASSERT_NE(over, 0u);
    ASSERT_NE(strict, 0u);
    wav.clear(); // decoded whole: the bytes are no longer needed

    Handle one = out.SampleGetChannel(over), two = out.SampleGetChannel(over);
    ASSERT_NE(one, 0u);
    ASSERT_NE(two, one);
    uint32_t rate = 0;
    ASSERT_TRUE(out.ChannelGetDefaultFrequency(one, &rate));
    EXPECT_EQ(rate, 22050u);
    ASSERT_TRUE(out.ChannelPlay(one, true));
    Mix(300);
    ASSERT_TRUE(out.ChannelPlay(two, true));
    EXPECT_NEAR(Mix(10)[0], 0.2f, 1e-6);
    // Both busy: a third takes over `one`, the furthest along, and `two` plays on alone.
    ASSERT_NE(out.SampleGetChannel(over), 0u);
    EXPECT_EQ(ErrorOf(out.ChannelPlay(one, true)), ErrorHandle);
    EXPECT_NEAR(Mix(10)[0], 0.1f, 1e-6);

    // Without override: busy (not yet played counts) means refused; a finished playback makes room.
    Handle only = out.SampleGetChannel(strict);
    ASSERT_NE(only, 0u);
    EXPECT_EQ(ErrorOf(out.SampleGetChannel(strict)), ErrorNoFreeChannel);
    ASSERT_TRUE(out.ChannelPlay(only, true));
    Mix(2100);
    Handle next = out.SampleGetChannel(strict);
    ASSERT_NE(next, 0u);
    ASSERT_TRUE(out.SampleFree(strict));
    EXPECT_FALSE(out.ChannelPlay(next, true));
    EXPECT_EQ(out.SampleGetChannel(strict), 0u);
}
