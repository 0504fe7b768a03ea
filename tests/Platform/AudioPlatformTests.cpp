#include "Support/AudioPlatformFixture.h"

#include "Support/FakeClock.h"
#include "Support/LogCapture.h"

#include <atomic>
#include <thread>

using Kestrin::ISoundChannel;

TEST_F(AudioPlatformTest, FallsBackThroughTheDevicesInOrder)
{
    KestrinTest::LogCapture log;
    layer.device->defaultOpens = false;
    layer.device->devices = {{"one", false}, {"two", true}, {"three", true}};
    EXPECT_TRUE(platform->Initialize());
    EXPECT_TRUE(platform->IsStarted());
    EXPECT_EQ(layer.device->OpenIndex(), 1);
    EXPECT_EQ(log.Text(),
              "BASS Initialization failed on default deviceBASS Initialization failed on device 1");

    // The output starts paused until the window is active.
    std::vector<bool> paused{platform->IsPaused()};
    for (bool active : {true, true, false})
        platform->SetActive(active), paused.push_back(platform->IsPaused());
    EXPECT_EQ(paused, (std::vector<bool>{true, false, false, true}));
}

TEST_F(AudioPlatformTest, RunsSilentWhenNoDeviceStarts)
{
    KestrinTest::LogCapture log;
    layer.device->defaultOpens = false;
    layer.device->devices = {{"one", false}, {"two", false}};
    EXPECT_FALSE(platform->Initialize());
    EXPECT_EQ(log.Text(), "BASS Initialization failed on default deviceBASS Initialization failed on device 1"
                          "BASS Initialization failed on device 2BASS Initialization failed on all devices");
    auto sound = std::make_unique<Kestrin::BASSSound>();
    ISoundChannel* channel = Channel();
    channel->Play(sound.get(), 1);
    EXPECT_FALSE(channel->IsPlaying());
    platform->SetActive(true);
    EXPECT_FALSE(platform->IsPaused());
    platform->Update(0.02f);
    channel->Release();
    platform->Shutdown();
    platform->Shutdown();
}

TEST_F(AudioPlatformTest, ControlTreeStartsAtItsDefaults)
{
    Start();
    EXPECT_EQ(platform->GetName(), Kestrin::MakeName("BASS Audio"));
    EXPECT_EQ(platform->GetMasterControls()->GetVolume(), 1.0f);
    for (int category = 0; category < 3; ++category)
        EXPECT_EQ(platform->GetCategoryControls(category)->GetOwnVolume(), 0.5f);
    for (int outside : {-1, 3})
        EXPECT_EQ(platform->GetCategoryControls(outside), nullptr) << outside;
}

TEST_F(AudioPlatformTest, PlayCountGivesThatManyPlays)
{
    Start();
    // Endless plays lose a few frames per restart (the next slice picks it up).
    for (auto [count, least, most] : {std::tuple{1, 1000, 1000}, {3, 3000, 3000}, {0, 7000, 8000}})
    {
        auto sound = Tone(1000);
        ISoundChannel* channel = Channel();
        channel->Play(sound.get(), count);
        int audible = Audible(8000);
        EXPECT_GE(audible, least) << count;
        EXPECT_LE(audible, most) << count;
        EXPECT_EQ(channel->IsPlaying(), count == 0) << count; // only the endless one plays on
        channel->Stop();
        EXPECT_FALSE(channel->IsPlaying());
        EXPECT_EQ(Audible(2000), 0);
        channel->Release();
    }
}

TEST_F(AudioPlatformTest, ReplaysKeepTheRateScaleOfTheNativeRate)
{
    Start();
    auto sound = Tone(4000, 22050);
    ISoundChannel* channel = Channel();
    channel->GetControls()->SetFrequencyScale(1.5f);
    auto handle = sound->files[0]->CreateChannel();
    for (int play = 0; play < 3; ++play)
    {
        channel->Play(sound.get(), 1);
        int frequency = -1;
        ASSERT_TRUE(layer.out.ChannelGetAttributes(handle, &frequency, nullptr, nullptr));
        EXPECT_EQ(frequency, 33075) << "play " << play;
    }
    channel->Release();
}

TEST_F(AudioPlatformTest, NewerChannelTakesTheVoiceOver)
{
    Start();
    auto sound = Tone(1000);
    ISoundChannel* a = Channel();
    ISoundChannel* b = Channel();
    a->Play(sound.get(), 0); // endless: its end notification must not outlive the take-over
    b->Play(sound.get(), 1);
    EXPECT_FALSE(a->IsPlaying());
    EXPECT_EQ(a->GetSound(), nullptr);
    a->Stop();
    a->GetControls()->Pause();
    platform->Update(0.02f);
    a->Release();
    EXPECT_TRUE(b->IsPlaying());
    EXPECT_EQ(Audible(4000), 1000); // b's single play, not restarted by a
    EXPECT_FALSE(b->IsPlaying());
    b->Release();
}

TEST_F(AudioPlatformTest, RepeatGuardLooksAtTheStartTime)
{
    KestrinTest::FakeClock clock;
    Start();
    auto sound = Tone(44100);
    auto other = Tone(44100);
    ISoundChannel* channel = Channel();
    channel->Play(sound.get(), 1);
    EXPECT_FALSE(platform->WasPlayedWithin(other.get(), 20));
    clock.Advance(20);
    EXPECT_TRUE(platform->WasPlayedWithin(sound.get(), 20));
    clock.Advance(1);
    EXPECT_FALSE(platform->WasPlayedWithin(sound.get(), 20));
    channel->Release();
}

TEST_F(AudioPlatformTest, UpdateRetiresOnlyIdleUnheldChannels)
{
    Start();
    auto sound = Tone(500);
    auto same = Tone(500);
    ISoundChannel* held = Channel();
    ISoundChannel* paused = Channel();
    ISoundChannel* loose = Channel();
    auto longer = Tone(44100);
    held->Play(sound.get(), 1);
    loose->Play(same.get(), 1);
    paused->Play(longer.get(), 1);
    paused->GetControls()->Pause();
    loose->Release();
    paused->Release();
    platform->Update(0.02f);
    EXPECT_EQ(platform->ChannelCount(), 3u); // still playing
    Audible(2000);
    platform->Update(0.02f);
    EXPECT_EQ(platform->ChannelCount(), 2u);
    EXPECT_FALSE(held->IsPlaying());
    EXPECT_EQ(Audible(1000), 0); // the paused one is silent but kept
    held->Release();
}

TEST_F(AudioPlatformTest, ChannelsReleasedAfterShutdownDoNothing)
{
    Start();
    auto sound = Tone(44100);
    ISoundChannel* channel = Channel();
    channel->Play(sound.get(), 0);
    platform->Shutdown();
    EXPECT_FALSE(channel->IsPlaying());
    channel->Play(sound.get(), 1);
    channel->Stop();
    channel->Release();
    platform.reset();
}

// A mixing thread restarts an endless short sound from its end notifications while the main
// thread steps the platform and then shuts it down: no deadlock, no use after free.
TEST_F(AudioPlatformTest, ThreadsShutdownWithNotificationsInFlight)
{
    Start();
    auto sound = Tone(64);
    ISoundChannel* channel = Channel();
    channel->Play(sound.get(), 0);
    std::atomic<bool> stop{false};
    std::atomic<int> slices{0};
    std::thread mixer(
        [&]
        {
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
