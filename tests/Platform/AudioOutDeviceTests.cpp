#include "AudioOutFixture.h"

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

// The walk through the devices is checked from the audio platform, with its log lines.
TEST(AudioOutDevice, DescriptionsNumberTheDevicesFromOne)
{
    Layer l;
    l.device->devices = {{"Speakers", false}, {"Headset", true}};
    EXPECT_STREQ(l.out.GetDeviceDescription(2), "Headset");
    for (int device : {0, -1, 3})
        EXPECT_EQ(l.out.GetDeviceDescription(device), nullptr) << device;
    EXPECT_EQ(AudioOut::ErrorGetCode(), ErrorNoDevice);
    ASSERT_TRUE(l.out.Init(2, 44100));
    EXPECT_EQ(l.device->openAttempts, std::vector<int>{1});
}

TEST(AudioOutDevice, InitRefusesBadArgumentsAndASecondOpenAndNothingWorksUnopened)
{
    Layer l;
    std::vector<unsigned char> wav = KestrinTest::MakeWav(std::vector<float>(200, 0.5f), 2, 44100);
    for (auto [device, rate, code] :
         {std::tuple{2, 44100, ErrorNoDevice}, {0, 44100, ErrorNoDevice}, {-1, 0, ErrorParameter}})
        EXPECT_EQ(ErrorOf(l.out.Init(device, rate)), code);
    EXPECT_TRUE(l.device->openAttempts.empty());
    EXPECT_EQ(ErrorOf(l.out.Start()), ErrorNotStarted);
    EXPECT_EQ(ErrorOf(l.out.StreamCreateMemory(wav.data(), wav.size())), ErrorNotStarted);
    EXPECT_EQ(l.device->Mix(4), std::vector<float>(8, 0.0f));

    ASSERT_TRUE(l.out.Init(-1, 44100));
    EXPECT_EQ(AudioOut::ErrorGetCode(), ErrorNone);
    EXPECT_EQ(ErrorOf(l.out.Init(1, 44100)), ErrorAlreadyStarted);
    EXPECT_TRUE(l.out.Free());
    EXPECT_FALSE(l.device->IsOpen());
    EXPECT_EQ(ErrorOf(l.out.Free()), ErrorNotStarted);
    EXPECT_TRUE(l.out.Init(1, 22050));
    EXPECT_EQ(l.device->Rate(), 22050u);
}

TEST(AudioOutDevice, HandlesDieWithTheirFreeOrWithFreeAndAreNeverReused)
{
    Layer l;
    ASSERT_TRUE(l.out.Init(-1, 44100));
    std::vector<unsigned char> wav = KestrinTest::MakeWav(std::vector<float>(200, 0.5f), 2, 44100);
    std::vector<unsigned char> mod = KestrinTest::MakeModule();
    Handle stream = l.out.StreamCreateMemory(wav.data(), wav.size());
    Handle music = l.out.MusicLoadMemory(mod.data(), mod.size());
    Handle sample = l.out.SampleLoadMemory(wav.data(), wav.size(), 4, true);
    Handle playback = l.out.SampleGetChannel(sample);
    for (Handle h : {stream, music, sample, playback})
        ASSERT_NE(h, 0u);
    // Freed only as their own kind.
    EXPECT_EQ(ErrorOf(l.out.StreamFree(music)), ErrorHandle);
    EXPECT_FALSE(l.out.MusicFree(stream));
    EXPECT_FALSE(l.out.SampleFree(stream));
    ASSERT_TRUE(l.out.ChannelPlay(stream, true));

    ASSERT_TRUE(l.out.Free());
    ASSERT_TRUE(l.out.Init(-1, 44100));
    for (Handle h : {stream, music, playback})
    {
        EXPECT_EQ(ErrorOf(l.out.ChannelPlay(h, true)), ErrorHandle);
        EXPECT_EQ(l.out.ChannelIsActive(h), ActivityStopped);
    }
    EXPECT_FALSE(l.out.StreamFree(stream));
    EXPECT_EQ(l.out.SampleGetChannel(sample), 0u);
    Handle again = l.out.StreamCreateMemory(wav.data(), wav.size());
    EXPECT_GT(again, std::max({stream, music, sample, playback}));
    EXPECT_TRUE(l.out.StreamFree(again));
    EXPECT_FALSE(l.out.ChannelPlay(again, true));
}
