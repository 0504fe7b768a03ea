#include "AudioOutFixture.h"
#include "Support/WaitFor.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <mutex>
#include <thread>

using namespace Kestrin::Shim::Bass;
using namespace std::chrono_literals;

namespace
{

// Runs f and gives up the whole process when it hangs: a deadlock must fail, not stall CI.
template <class F> auto WithinSeconds(int seconds, const char* what, F f)
{
    auto result = std::async(std::launch::async, f);
    if (result.wait_for(std::chrono::seconds(seconds)) != std::future_status::ready)
    {
        std::fprintf(stderr, "deadlock: %s did not return within %d s\n", what, seconds);
        std::fflush(stderr);
        std::_Exit(1);
    }
    return result.get();
}

std::vector<float> Constant(int frames, float value)
{
    return std::vector<float>(2 * size_t(frames), value);
}

} // namespace

TEST(AudioOutThreads, SdlDeviceStartsPlaysASoundToItsEndAndCloses)
{
    AudioOut out(std::make_unique<SdlOutputDriver>());
    ASSERT_TRUE(out.Init(-1, 44100)) << AudioOut::ErrorGetCode();
    ASSERT_NE(out.GetDeviceDescription(1), nullptr); // the dummy driver lists its one device
    EXPECT_GT(std::strlen(out.GetDeviceDescription(1)), 0u);
    int count = 1;
    while (out.GetDeviceDescription(count + 1))
        ++count;
    EXPECT_EQ(out.GetDeviceDescription(count + 1), nullptr);

    std::vector<unsigned char> wav = KestrinTest::MakeWav(Constant(2205, 0.25f), 2, 44100); // 50 ms
    Handle h = out.StreamCreateMemory(wav.data(), wav.size());
    ASSERT_NE(h, 0u);
    std::atomic<int> ended{0};
    auto onEnd = [](SyncHandle, Handle, uint32_t, void* user) { ++*static_cast<std::atomic<int>*>(user); };
    ASSERT_NE(out.ChannelSetEndSync(h, onEnd, &ended), 0u);
    ASSERT_TRUE(out.Start());
    ASSERT_TRUE(out.ChannelPlay(h, true));
    EXPECT_TRUE(KestrinTest::WaitFor([&] { return ended > 0; }));
    EXPECT_EQ(out.ChannelIsActive(h), ActivityStopped);
    EXPECT_EQ(ended, 1);
    EXPECT_TRUE(WithinSeconds(60, "Free", [&] { return out.Free(); }));
    EXPECT_FALSE(out.ChannelPlay(h, true));

    // The device numbers of the descriptions open the same devices.
    ASSERT_TRUE(out.Init(1, 44100)) << AudioOut::ErrorGetCode();
    EXPECT_TRUE(out.Free());
    EXPECT_EQ(ErrorOf(out.Init(count + 1, 44100)), ErrorNoDevice);
}

namespace
{

// Plays the part of the engine: its end handler takes the engine's lock, then re-arms and
// restarts the channel.
struct Engine
{
    AudioOut* out = nullptr;
    std::mutex lock;
    Handle channel = 0;
    std::atomic<bool> waiting{false};
    std::atomic<bool> handled{false};
    std::atomic<bool> replayed{false};
};

void EngineOnEnd(SyncHandle, Handle channel, uint32_t, void* user)
{
    auto* e = static_cast<Engine*>(user);
    e->waiting = true;
    std::lock_guard lock(e->lock);
    if (channel == e->channel && !e->handled)
    {
        bool armed = e->out->ChannelSetEndSync(channel, &EngineOnEnd, e) != 0;
        e->replayed = armed && e->out->ChannelPlay(channel, true);
    }
    e->handled = true;
}

} // namespace

TEST(AudioOutThreads, ANotificationWaitingOnTheCallersLockBlocksNeitherCallsNorFree)
{
    AudioOut out(std::make_unique<SdlOutputDriver>());
    ASSERT_TRUE(out.Init(-1, 44100)) << AudioOut::ErrorGetCode();
    std::vector<unsigned char> wav = KestrinTest::MakeWav(Constant(441, 0.25f), 2, 44100);
    Engine engine;
    engine.out = &out;
    engine.channel = out.StreamCreateMemory(wav.data(), wav.size());
    ASSERT_NE(engine.channel, 0u);

    std::unique_lock held(engine.lock);
    ASSERT_NE(out.ChannelSetEndSync(engine.channel, &EngineOnEnd, &engine), 0u);
    ASSERT_TRUE(out.Start());
    ASSERT_TRUE(out.ChannelPlay(engine.channel, true));
    ASSERT_TRUE(KestrinTest::WaitFor([&] { return engine.waiting.load(); }));

    // The mixing thread waits in the notification for our lock; the layer's own lock is free.
    WithinSeconds(60, "calls during a notification",
                  [&]
                  {
                      EXPECT_TRUE(out.ChannelSetAttributes(engine.channel, 0, 50, 0));
                      EXPECT_EQ(out.ChannelIsActive(engine.channel), ActivityStopped);
                      return 0;
                  });

    // Shutdown as the engine does it: release the lock, then free the device.
    held.unlock();
    EXPECT_TRUE(WithinSeconds(60, "Free", [&] { return out.Free(); }));
    EXPECT_TRUE(engine.handled);
    EXPECT_TRUE(engine.replayed);
}

void LoopForever(SyncHandle, Handle channel, uint32_t, void* user)
{
    auto* out = static_cast<AudioOut*>(user);
    out->ChannelSetEndSync(channel, &LoopForever, out);
    out->ChannelPlay(channel, true);
}

TEST(AudioOutThreads, MixingRunsAlongsideLoadingPlayingAndFreeing)
{
    auto* device = new NullOutputDriver;
    AudioOut out{std::unique_ptr<IOutputDriver>(device)};
    ASSERT_TRUE(out.Init(-1, 44100));
    ASSERT_TRUE(out.Start());
    std::vector<unsigned char> wav = KestrinTest::MakeWav(Constant(300, 0.1f), 2, 22050);
    std::vector<unsigned char> mod = KestrinTest::MakeModule(4, 2, 1);

    std::atomic<bool> stop{false};
    std::atomic<int> audible{0};
    std::thread mixer(
        [&]
        {
            while (!stop)
            {
                std::vector<float> block = device->Mix(512);
                if (block[0] != 0.0f)
                    audible++;
            }
        });

    Handle looping = out.StreamCreateMemory(wav.data(), wav.size());
    ASSERT_NE(looping, 0u);
    ASSERT_NE(out.ChannelSetEndSync(looping, &LoopForever, &out), 0u);
    ASSERT_TRUE(out.ChannelPlay(looping, true));
    for (int round = 0; round < 40; ++round)
    {
        Handle s = out.StreamCreateMemory(wav.data(), wav.size());
        Handle m = out.MusicLoadMemory(mod.data(), mod.size());
        ASSERT_NE(s, 0u);
        ASSERT_NE(m, 0u);
        out.ChannelSetEndSync(s, &LoopForever, &out);
        out.ChannelPlay(s, true);
        out.ChannelPlay(m, true);
        out.ChannelSetAttributes(s, 11025 * (1 + round % 4), round % 101, round % 201 - 100);
        std::this_thread::sleep_for(1ms);
        out.ChannelPause(m);
        if (round % 3 == 0)
            out.Pause();
        out.ChannelStop(s);
        out.Start();
        EXPECT_TRUE(out.StreamFree(s));
        EXPECT_TRUE(out.MusicFree(m));
    }
    // The endless sound is heard, however late the mixing thread got its turn.
    EXPECT_TRUE(KestrinTest::WaitFor([&] { return audible > 0; }));
    // Free while the other thread keeps mixing: it waits for the mix in progress; later mixes are silent.
    EXPECT_TRUE(WithinSeconds(60, "Free", [&] { return out.Free(); }));
    EXPECT_FALSE(device->IsOpen());
    EXPECT_EQ(device->Mix(64), std::vector<float>(128, 0.0f));
    stop = true;
    mixer.join();
}
