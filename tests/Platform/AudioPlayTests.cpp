#include "AudioPlatformFixture.h"
#include "EngineFakes.h"
#include "TempFolder.h"
#include "Thrown.h"

#include <gmock/gmock.h>

#include "Base/Random.h"
#include "Framework/AccountManager.h"
#include "Framework/ResourceManager.h"
#include "Platform/AudioSettings.h"
#include "Platform/SoundResources.h"
#include "Platform/Win32/Win32FileSystem.h"
#include "Support/FakeClock.h"

using namespace Kestrin;

namespace
{
// The node PlaySound made for a channel.
IAudioControls& ControlsOf(ISoundChannel* channel)
{
    return *channel->GetControls();
}
} // namespace

TEST_F(AudioPlatformTest, PlaySoundAppliesTheSoundThenTheOverrides)
{
    KestrinTest::FakeClock clock;
    Start();
    auto sound = Tone(44100);
    sound->volume = 0.7f;
    sound->rate = 1.25f;
    sound->pan = -0.5f;
    sound->category = 2;
    sound->playCount = 3;

    ISoundChannel* channel = nullptr;
    PlaySound(sound.get(), SoundPlayParams(), &channel);
    ASSERT_NE(channel, nullptr);
    EXPECT_FLOAT_EQ(ControlsOf(channel).GetOwnVolume(), 0.7f);
    EXPECT_FLOAT_EQ(ControlsOf(channel).GetFrequencyScale(), 1.25f);
    EXPECT_FLOAT_EQ(ControlsOf(channel).GetPan(), -0.5f);
    EXPECT_FLOAT_EQ(ControlsOf(channel).GetVolume(), 0.35f); // music category at 0.5
    EXPECT_FALSE(ControlsOf(channel).IsPaused());
    EXPECT_TRUE(channel->IsPlaying());

    // Within 20 ms the same sound is not stacked; 21 ms later it is.
    ISoundChannel* second = channel;
    clock.Advance(20);
    PlaySound(sound.get(), SoundPlayParams(), &second);
    EXPECT_EQ(second, nullptr);
    clock.Advance(1);
    auto other = Tone(44100);
    SoundPlayParams p;
    p.volume = 0.2f;
    p.rate = -1.0f;          // not positive: the sound's rate stays
    p.pan = -0.25f;          // negative pans are honoured
    p.volumeFadeTarget = 1.5f; // out of range: no fade
    p.volumeFadeTime = 0.0f;
    p.panFadeTarget = 1.0f;
    p.panFadeTime = 0.0f;
    p.paused = true;
    p.muted = true;
    p.playCount = -5;
    PlaySound(other.get(), p, &second);
    ASSERT_NE(second, nullptr);
    EXPECT_FLOAT_EQ(ControlsOf(second).GetOwnVolume(), 0.2f);
    EXPECT_FLOAT_EQ(ControlsOf(second).GetFrequencyScale(), 1.0f);
    EXPECT_FLOAT_EQ(ControlsOf(second).GetPan(), -0.25f);
    EXPECT_TRUE(ControlsOf(second).IsPaused());
    EXPECT_TRUE(ControlsOf(second).IsMuted());
    platform->Update(0.02f);
    EXPECT_FLOAT_EQ(ControlsOf(second).GetOwnVolume(), 0.2f);
    EXPECT_FLOAT_EQ(ControlsOf(second).GetPan(), 1.0f); // the pan fade ran
    EXPECT_FALSE(second->IsPlaying()); // started paused: the voice waits
    ControlsOf(second).Resume();
    second->Refresh();
    EXPECT_TRUE(second->IsPlaying());
    ControlsOf(second).Pause();
    platform->Update(0.02f);
    EXPECT_TRUE(second->IsPlaying()); // paused after starting still counts
    channel->Release();
    second->Release();
}

TEST_F(AudioPlatformTest, PlaySoundWithoutOutLeavesTheChannelToTheList)
{
    Start();
    auto sound = Tone(300);
    PlaySound(sound.get(), SoundPlayParams());
    EXPECT_EQ(platform->ChannelCount(), 1u);
    platform->Update(0.02f);
    EXPECT_EQ(platform->ChannelCount(), 1u); // still playing
    EXPECT_EQ(Audible(1000), 300);
    platform->Update(0.02f);
    EXPECT_EQ(platform->ChannelCount(), 0u);

    SoundPlayParams endless;
    endless.playCount = 0;
    PlaySound(sound.get(), endless);
    EXPECT_GT(Audible(2000), 600);
    platform->Update(0.02f);
    EXPECT_EQ(platform->ChannelCount(), 1u);
}

namespace
{
class AudioFilesTest : public AudioPlatformTest
{
protected:
    AudioFilesTest() : fakes(new KestrinTest::FakePlatform(journal)), factory(journal)
    {
        InitRandomStreams();
        auto* fileSystem = new Win32FileSystem;
        fileSystem->AddPartition(2, new Win32FileSystemPartition(folder.WidePath()));
        fileSystem->AddPartition(1, new Win32FileSystemPartition(folder.WidePath())); // data files
    }
    ~AudioFilesTest() override
    {
        platform.reset(); // before the engine globals delete the registered platform
        delete AccountManager::Instance();
        delete GetFileSystem();
        KestrinTest::ResetEngineGlobals();
        ShutdownRandomStreams();
    }
    Account& Current() { return *AccountManager::Instance()->GetCurrentAccount(); }

    KestrinTest::TempFolder folder;
    KestrinTest::Journal journal;
    KestrinTest::FakePlatform* fakes;
    KestrinTest::FakeGraphicsFactory factory;
};
} // namespace

TEST_F(AudioFilesTest, RoundTripStoresEachNodesOwnValues)
{
    Start();
    IAudioControls* master = platform->GetMasterControls();
    IAudioControls* music = platform->GetCategoryControls(2);
    master->SetVolume(0.8f);
    master->SetMuted(true);
    music->SetVolume(0.5f);
    for (int cycle = 0; cycle < 3; ++cycle)
    {
        SaveAudioSettings();
        LoadAudioSettings();
    }
    EXPECT_FLOAT_EQ(Current().GetFloat(L"Kestrin::Audio::MusicControls::Volume", -1), 0.5f);
    EXPECT_FALSE(Current().GetBool(L"Kestrin::Audio::MusicControls::IsMuted", true));
    EXPECT_TRUE(Current().GetBool(L"Kestrin::Audio::MasterControls::IsMuted", false));
    EXPECT_FLOAT_EQ(music->GetOwnVolume(), 0.5f);
    EXPECT_FALSE(music->IsOwnMuted());
    EXPECT_FALSE(Current().HasRecord(L"Kestrin::Audio::AmbientControls::Volume"));

    Current().SetFloat(L"Kestrin::Audio::SfxControls::Volume", 0.25f);
    LoadAudioSettings();
    EXPECT_FLOAT_EQ(platform->GetCategoryControls(0)->GetOwnVolume(), 0.25f);
    EXPECT_FLOAT_EQ(master->GetOwnVolume(), 0.8f);
}

TEST_F(AudioFilesTest, SoundFactoriesLoadTheirFilesAndRejectDamagedOnes)
{
    Start();
    auto wav = KestrinTest::MakeWav(std::vector<float>(200, 0.5f), 2, 44100);
    folder.Write("a.wav", std::string(wav.begin(), wav.end()));
    folder.Write("b.wav", std::string(wav.begin(), wav.end()));
    folder.Write("sounds.xml", "<resources><sound name=\"One\" src=\"a\" loop=\"2\" type=\"music\"/>"
                               "<sound name=\"Missing\" src=\"nothing\"/>"
                               "<randomsound name=\"Either\"><sound src=\"a\"/><sound src=\"b\"/></randomsound>"
                               "<soundlist name=\"Buttons\"><sound event=\"Down\" src=\"Either\"/><sound event=\"Hot\" src=\"Later\"/></soundlist>"
                               "<sound name=\"Later\" src=\"b\"/></resources>");
    ResourceManager* resources = ResourceManager::Instance();
    resources->LoadFile(L"sounds", nullptr, false);
    auto* one = dynamic_cast<BASSSound*>(resources->Find(MakeName("One")));
    auto* missing = dynamic_cast<BASSSound*>(resources->Find(MakeName("Missing")));
    auto* either = dynamic_cast<BASSSound*>(resources->Find(MakeName("Either")));
    ASSERT_TRUE(one && missing && either);
    EXPECT_EQ(one->files.size(), 1u);
    EXPECT_EQ(one->playCount, 2);
    EXPECT_EQ(one->category, 2);
    EXPECT_TRUE(missing->files.empty());
    EXPECT_EQ(either->files.size(), 2u);

    auto* buttons = dynamic_cast<SoundList*>(resources->Find(MakeName("Buttons")));
    ASSERT_NE(buttons, nullptr);
    EXPECT_EQ(buttons->Get(L"Down"), either);
    EXPECT_EQ(buttons->Get(L"Hot"), nullptr); // defined later in the file
    buttons->Play(L"Hot");
    EXPECT_EQ(platform->ChannelCount(), 0u);
    buttons->Play(L"Down");
    EXPECT_EQ(platform->ChannelCount(), 1u);
    EXPECT_GT(Audible(400), 0);

    folder.Write("bad.ogg", "OggS but no more");
    folder.Write("broken.xml", "<resources><sound name=\"Bad\" src=\"bad\"/></resources>");
    EXPECT_THAT(KestrinTest::ThrownWhat<BASSSoundManagerException>([&] { resources->LoadFile(L"broken", nullptr, false); }),
                testing::HasSubstr(") BASS_StreamCreateFile failed"));
    EXPECT_EQ(resources->GetLoadCount(L"broken"), 0);
    EXPECT_EQ(resources->Find(MakeName("Bad")), nullptr);
}
