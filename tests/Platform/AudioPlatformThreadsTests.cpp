#include "AudioPlatformFixture.h"

#include <atomic>
#include <thread>

// A mixing thread restarts an endless short sound from its end notifications while the main
// thread steps the platform and then shuts it down: no deadlock, no use after free.
TEST_F(AudioPlatformTest, ThreadsShutdownWithNotificationsInFlight)
{
    Start();
    auto sound = Tone(64);
    Kestrin::ISoundChannel* channel = Channel();
    channel->Play(sound.get(), 0);
    std::atomic<bool> stop{false};
    std::atomic<int> slices{0};
    std::thread mixer([&] {
        while (!stop)
        {
            layer.device->Mix(256);
            ++slices;
        }
    });
    while (slices < 50)
    {
        platform->Update(0.02f);
        EXPECT_TRUE(channel->IsPlaying());
    }
    platform->Shutdown();
    stop = true;
    mixer.join();
    EXPECT_FALSE(channel->IsPlaying());
    channel->Release();
}
