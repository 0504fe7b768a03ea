#include "Platform/Shim/Bass/AudioOut.h"
#include "Support/AudioData.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace Kestrin::Shim::Bass;

namespace
{

struct Layer
{
    Layer() : device(new NullOutputDriver), out(std::unique_ptr<IOutputDriver>(device)) {}
    NullOutputDriver* device;
    AudioOut out;
};

} // namespace

TEST(AudioOutDevice, FallbackWalksTheScriptedDevicesInOrder)
{
    Layer l;
    l.device->defaultOpens = false;
    l.device->devices = {{"Speakers", false}, {"Headset", true}, {"HDMI", true}};

    EXPECT_FALSE(l.out.Init(-1, 44100));
    EXPECT_EQ(AudioOut::ErrorGetCode(), ErrorDeviceOpen);

    // What the platform does after that: count the described devices, then try each in turn.
    int count = 0;
    while (l.out.GetDeviceDescription(count + 1))
        ++count;
    EXPECT_EQ(count, 3);
    EXPECT_EQ(AudioOut::ErrorGetCode(), ErrorNoDevice);
    EXPECT_STREQ(l.out.GetDeviceDescription(2), "Headset");
    EXPECT_EQ(AudioOut::ErrorGetCode(), ErrorNone);
    EXPECT_EQ(l.out.GetDeviceDescription(0), nullptr);
    EXPECT_EQ(l.out.GetDeviceDescription(-1), nullptr);

    int started = 0;
    for (int d = 1; d <= count && !started; ++d)
        if (l.out.Init(d, 44100))
            started = d;
    EXPECT_EQ(started, 2);
    EXPECT_EQ(l.device->openAttempts, (std::vector<int>{-1, 0, 1}));
    EXPECT_EQ(l.device->OpenIndex(), 1);
    EXPECT_EQ(l.device->Rate(), 44100u);
}

TEST(AudioOutDevice, InitRejectsASecondOpenAndBadArgumentsAndReopensAfterFree)
{
    Layer l;
    EXPECT_FALSE(l.out.Init(4, 44100)); // one scripted device
    EXPECT_EQ(AudioOut::ErrorGetCode(), ErrorNoDevice);
    EXPECT_FALSE(l.out.Init(0, 44100));
    EXPECT_EQ(AudioOut::ErrorGetCode(), ErrorNoDevice);
    EXPECT_FALSE(l.out.Init(-1, 0));
    EXPECT_EQ(AudioOut::ErrorGetCode(), ErrorParameter);
    EXPECT_TRUE(l.device->openAttempts.empty());

    ASSERT_TRUE(l.out.Init(-1, 44100));
    EXPECT_EQ(AudioOut::ErrorGetCode(), ErrorNone);
    EXPECT_FALSE(l.out.Init(1, 44100));
    EXPECT_EQ(AudioOut::ErrorGetCode(), ErrorAlreadyStarted);
    EXPECT_TRUE(l.device->IsOpen());

    EXPECT_TRUE(l.out.Free());
    EXPECT_FALSE(l.device->IsOpen());
    EXPECT_FALSE(l.out.Free());
    EXPECT_EQ(AudioOut::ErrorGetCode(), ErrorNotStarted);
    EXPECT_TRUE(l.out.Init(1, 22050));
    EXPECT_EQ(l.device->Rate(), 22050u);
}

TEST(AudioOutDevice, NothingWorksWithoutAnOpenDevice)
{
    Layer l;
    std::vector<unsigned char> wav = KestrinTest::MakeWav(std::vector<float>(200, 0.5f), 2, 44100);
    EXPECT_FALSE(l.out.Pause());
    EXPECT_EQ(AudioOut::ErrorGetCode(), ErrorNotStarted);
    EXPECT_FALSE(l.out.Start());
    EXPECT_EQ(l.out.StreamCreateMemory(wav.data(), wav.size()), 0u);
    EXPECT_EQ(AudioOut::ErrorGetCode(), ErrorNotStarted);
    EXPECT_EQ(l.out.ChannelIsActive(1), ActivityStopped);
    EXPECT_EQ(AudioOut::ErrorGetCode(), ErrorHandle);
    // The null device renders silence when nothing is open.
    std::vector<float> mixed = l.device->Mix(64);
    EXPECT_EQ(mixed, std::vector<float>(128, 0.0f));
}

TEST(AudioOutDevice, FreeDestroysEveryHandleAndHandlesAreNotReused)
{
    Layer l;
    ASSERT_TRUE(l.out.Init(-1, 44100));
    std::vector<unsigned char> wav = KestrinTest::MakeWav(std::vector<float>(200, 0.5f), 2, 44100);
    std::vector<unsigned char> mod = KestrinTest::MakeModule();
    Handle stream = l.out.StreamCreateMemory(wav.data(), wav.size());
    Handle music = l.out.MusicLoadMemory(mod.data(), mod.size());
    Handle sample = l.out.SampleLoadMemory(wav.data(), wav.size(), 4, true);
    ASSERT_NE(stream, 0u);
    ASSERT_NE(music, 0u);
    ASSERT_NE(sample, 0u);
    Handle playback = l.out.SampleGetChannel(sample);
    ASSERT_NE(playback, 0u);
    ASSERT_TRUE(l.out.ChannelPlay(stream, true));

    ASSERT_TRUE(l.out.Free());
    ASSERT_TRUE(l.out.Init(-1, 44100));
    for (Handle h : {stream, music, playback})
    {
        EXPECT_FALSE(l.out.ChannelPlay(h, true));
        EXPECT_EQ(AudioOut::ErrorGetCode(), ErrorHandle);
        EXPECT_EQ(l.out.ChannelIsActive(h), ActivityStopped);
        EXPECT_FALSE(l.out.ChannelSetAttributes(h, 0, 100, 0));
    }
    EXPECT_FALSE(l.out.StreamFree(stream));
    EXPECT_FALSE(l.out.MusicFree(music));
    EXPECT_EQ(l.out.SampleGetChannel(sample), 0u);
    EXPECT_FALSE(l.out.SampleFree(sample));
    EXPECT_EQ(AudioOut::ErrorGetCode(), ErrorHandle);

    Handle again = l.out.StreamCreateMemory(wav.data(), wav.size());
    EXPECT_NE(again, 0u);
    for (Handle old : {stream, music, sample, playback})
        EXPECT_NE(again, old);
}

TEST(AudioOutDevice, FreeingAsTheWrongKindFails)
{
    Layer l;
    ASSERT_TRUE(l.out.Init(-1, 44100));
    std::vector<unsigned char> wav = KestrinTest::MakeWav(std::vector<float>(200, 0.5f), 2, 44100);
    std::vector<unsigned char> mod = KestrinTest::MakeModule();
    Handle stream = l.out.StreamCreateMemory(wav.data(), wav.size());
    Handle music = l.out.MusicLoadMemory(mod.data(), mod.size());
    EXPECT_FALSE(l.out.StreamFree(music));
    EXPECT_EQ(AudioOut::ErrorGetCode(), ErrorHandle);
    EXPECT_FALSE(l.out.MusicFree(stream));
    EXPECT_FALSE(l.out.SampleFree(stream));
    // Both are still alive.
    EXPECT_TRUE(l.out.ChannelPlay(stream, true));
    EXPECT_TRUE(l.out.ChannelPlay(music, true));
    EXPECT_TRUE(l.out.StreamFree(stream));
    EXPECT_TRUE(l.out.MusicFree(music));
    EXPECT_FALSE(l.out.ChannelPlay(stream, true));
}

TEST(AudioOutDevice, TheInstalledLayerIsTheProcessLayerUntilRemoved)
{
    Layer l;
    AudioOut* before = &GetAudioOut();
    EXPECT_NE(before, &l.out);
    SetAudioOut(&l.out);
    EXPECT_EQ(&GetAudioOut(), &l.out);
    SetAudioOut(nullptr);
    EXPECT_EQ(&GetAudioOut(), before);
}
