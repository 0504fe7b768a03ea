#include "Support/AudioPlatformFixture.h"

#include "harness/FakeClock.h"
#include "harness/LogCapture.h"

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

// The platform holds the tree for its whole life: the clean-up in Update must never free it.
TEST_F(AudioPlatformTest, ControlTreeOutlivesUpdates)
{
    Start();
    for (int step = 0; step < 5; ++step)
        platform->Update(0.02f);
    Kestrin::IAudioControls* master = platform->GetMasterControls();
    Kestrin::IAudioControls* effects = platform->GetCategoryControls(0);
    ASSERT_TRUE(master && effects);
    master->SetVolume(0.8f);
    auto sound = Tone(44100);
    ISoundChannel* channel = nullptr;
    Kestrin::PlaySound(sound.get(), Kestrin::SoundPlayParams(), &channel);
    ASSERT_NE(channel, nullptr);
    platform->Update(0.02f);
    EXPECT_FLOAT_EQ(channel->GetControls()->GetVolume(), 0.4f); // 0.8 x 0.5 x 1
    int volume = -1;
    auto handle = sound->files[0]->CreateChannel();
    ASSERT_TRUE(layer.out.ChannelGetAttributes(handle, nullptr, &volume, nullptr));
    EXPECT_EQ(volume, 40);
    effects->SetMuted(true);
    platform->Update(0.02f);
    ASSERT_TRUE(layer.out.ChannelGetAttributes(handle, nullptr, &volume, nullptr));
    EXPECT_EQ(volume, 0);
    channel->Release();
    for (int category = 0; category < 3; ++category)
        EXPECT_EQ(platform->GetCategoryControls(category)->GetOwnVolume(), 0.5f);
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

TEST_F(AudioPlatformTest, StoppedOrEndedChannelsForgetTheirSound)
{
    Start();
    auto sound = Tone(300);
    ISoundChannel* channel = Channel();
    channel->Play(sound.get(), 0);
    channel->Stop();
    EXPECT_EQ(channel->GetSound(), nullptr);

    channel->Play(sound.get(), 1);
    channel->Refresh();
    EXPECT_EQ(channel->GetSound(), sound.get()); // still playing
    Audible(1000);
    channel->Refresh();
    EXPECT_EQ(channel->GetSound(), nullptr);

    // A repeating channel keeps its sound until its last play has ended.
    auto longer = Tone(1000);
    channel->Play(longer.get(), 3);
    Audible(1200);
    channel->Refresh();
    EXPECT_EQ(channel->GetSound(), longer.get());
    Audible(3000);
    channel->Refresh();
    EXPECT_EQ(channel->GetSound(), nullptr);
    channel->Release();
}

TEST_F(AudioPlatformTest, ApplyNeedsControlsAndLeavesPausedVoicesAlone)
{
    Start();
    auto sound = Tone(44100);
    ISoundChannel* bare = platform->GetFreeChannel();
    bare->Play(sound.get(), 1);
    platform->Update(0.02f);
    EXPECT_EQ(Audible(512), 0);
    EXPECT_FALSE(bare->IsPlaying());
    bare->Release();

    ISoundChannel* channel = Channel();
    Kestrin::IAudioControls* controls = channel->GetControls();
    auto handle = sound->files[0]->CreateChannel();
    auto attributes = [&]
    {
        int frequency = -1, volume = -1, pan = -1;
        EXPECT_TRUE(layer.out.ChannelGetAttributes(handle, &frequency, &volume, &pan));
        return std::vector<int>{frequency, volume, pan};
    };
    channel->Play(sound.get(), 1);
    EXPECT_EQ(attributes(), (std::vector<int>{44100, 100, 0}));
    controls->Pause();
    platform->Update(0.02f);
    controls->SetVolume(0.25f);
    controls->SetPan(0.5f);
    controls->SetFrequencyScale(2.0f);
    platform->Update(0.02f);
    channel->Refresh();
    EXPECT_EQ(attributes(), (std::vector<int>{44100, 100, 0})); // written on resume, not before
    EXPECT_EQ(Audible(512), 0);
    EXPECT_TRUE(channel->IsPlaying());
    controls->Resume();
    platform->Update(0.02f);
    EXPECT_EQ(attributes(), (std::vector<int>{88200, 25, 50}));
    EXPECT_GT(Audible(512), 0);
    channel->Release();
}

// Levels far outside what the layer takes (a data file's huge "rate", a runaway volume) reach it
// at the end of its range, not as a wrapped integer.
TEST_F(AudioPlatformTest, ExtremeLevelsReachTheLayerAtItsLimits)
{
    Start();
    struct Case
    {
        float rate, volume;
        std::vector<int> attributes; // frequency, volume, pan
    } cases[] = {
        {1e30f, 1.0f, {100000, 100, 0}},
        {3.0e38f, 1e30f, {100000, 100, 0}},
        {1.0f, -1e30f, {44100, 0, 0}},
    };
    for (const Case& c : cases)
    {
        auto sound = Tone(4000);
        ISoundChannel* channel = Channel();
        channel->GetControls()->SetFrequencyScale(c.rate);
        channel->GetControls()->SetVolume(c.volume);
        channel->Play(sound.get(), 1);
        std::vector<int> attributes(3, -1);
        ASSERT_TRUE(layer.out.ChannelGetAttributes(sound->files[0]->CreateChannel(), &attributes[0],
                                                   &attributes[1], &attributes[2]));
        EXPECT_EQ(attributes, c.attributes) << c.rate << " " << c.volume;
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

// A sample gives every channel a voice of its own, at the sample's rate scaled by the controls.
TEST_F(AudioPlatformTest, SampleChannelsPlaySideBySide)
{
    Start();
    Kestrin::BASSSound sound;
    std::vector<float> v(2 * 1000, 0.5f);
    sound.files.push_back(Kestrin::MakeSoundFileData(".wav", KestrinTest::MakeWav(v, 2, 22050), false));
    ASSERT_TRUE(dynamic_cast<Kestrin::SampleSoundFileData*>(sound.files[0].get()));
    ISoundChannel* a = Channel();
    ISoundChannel* b = Channel();
    b->GetControls()->SetFrequencyScale(2.0f);
    a->Play(&sound, 1);
    b->Play(&sound, 1);
    EXPECT_TRUE(a->IsPlaying());
    EXPECT_TRUE(b->IsPlaying());
    auto* channelA = static_cast<Kestrin::BASSSoundChannel*>(a);
    auto* channelB = static_cast<Kestrin::BASSSoundChannel*>(b);
    ASSERT_NE(channelA->GetHandle(), channelB->GetHandle());
    int frequencyA = -1, frequencyB = -1;
    ASSERT_TRUE(layer.out.ChannelGetAttributes(channelA->GetHandle(), &frequencyA, nullptr, nullptr));
    ASSERT_TRUE(layer.out.ChannelGetAttributes(channelB->GetHandle(), &frequencyB, nullptr, nullptr));
    EXPECT_EQ(frequencyA, 22050);
    EXPECT_EQ(frequencyB, 44100);
    a->Release();
    b->Release();
}

// A file the decoder refuses is a load failure naming the sample call.
TEST_F(AudioPlatformTest, SampleOfAnUnreadableFileIsRefused)
{
    Start();
    std::vector<unsigned char> junk(64, 'x');
    try
    {
        Kestrin::MakeSoundFileData(".wav", junk, false);
        ADD_FAILURE() << "no exception";
    }
    catch (const Kestrin::BASSSoundManagerException& e)
    {
        EXPECT_NE(std::string(e.what()).find("BASS_SampleLoad failed"), std::string::npos) << e.what();
    }
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

// The mixing thread restarts an endless sound, reading its controls and their ancestors, while
// the main thread moves the channel between nodes and changes the master and category levels.
TEST_F(AudioPlatformTest, ThreadsChangeControlsWhileNotificationsRestart)
{
    Start();
    auto sound = Tone(64);
    ISoundChannel* channel = Channel();
    channel->Play(sound.get(), 0);
    Kestrin::IAudioControls* master = platform->GetMasterControls();
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
    for (int round = 0; slices < 50 || round < 50; ++round)
    {
        Kestrin::IAudioControls* node = platform->CreateControls(platform->GetCategoryControls(round % 3));
        channel->SetControls(node);
        node->Release();
        master->SetVolume(round % 2 ? 0.5f : 1.0f);
        master->SetMuted(round % 5 == 0);
        platform->GetCategoryControls(0)->SetPan(round % 2 ? 0.25f : -0.25f);
        platform->Update(0.02f);
    }
    stop = true;
    mixer.join();
    EXPECT_TRUE(channel->IsPlaying());
    EXPECT_EQ(channel->GetSound(), sound.get());
    channel->Release();
}
