#include "Support/AudioPlatformFixture.h"
#include "Support/EngineFakes.h"
#include "Support/Thrown.h"
#include "harness/TempFolder.h"

#include "Base/AttributeContainer.h"
#include "Base/Random.h"
#include "Framework/AccountManager.h"
#include "Framework/ResourceManager.h"
#include "Framework/ValueResources.h"
#include "Platform/AudioSettings.h"
#include "Platform/BassSoundResources.h"
#include "Platform/Win32/Win32FileSystem.h"
#include "harness/FakeClock.h"

#include <gmock/gmock.h>

#include <cfloat>
#include <map>

using namespace Kestrin;

namespace
{
// The node PlaySound made for a channel.
IAudioControls& ControlsOf(ISoundChannel* channel)
{
    return *channel->GetControls();
}

// Its own volume, its rate scale and its pan, against the expected ones.
void ExpectLevels(ISoundChannel* channel, std::vector<float> expected)
{
    IAudioControls& c = ControlsOf(channel);
    EXPECT_THAT((std::vector<float>{c.GetOwnVolume(), c.GetFrequencyScale(), c.GetPan()}),
                testing::Pointwise(testing::FloatEq(), expected));
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
    ExpectLevels(channel, {0.7f, 1.25f, -0.5f});
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
    p.rate = -1.0f;            // not positive: the sound's rate stays
    p.pan = -0.25f;            // negative pans are honoured
    p.volumeFadeTarget = 1.5f; // out of range: no fade
    p.volumeFadeTime = 0.0f;
    p.panFadeTarget = 1.0f;
    p.panFadeTime = 0.0f;
    p.paused = true;
    p.muted = true;
    p.playCount = -5;
    PlaySound(other.get(), p, &second);
    ASSERT_NE(second, nullptr);
    ExpectLevels(second, {0.2f, 1.0f, -0.25f});
    EXPECT_TRUE(ControlsOf(second).IsPaused() && ControlsOf(second).IsMuted());
    platform->Update(0.02f);
    ExpectLevels(second, {0.2f, 1.0f, 1.0f}); // the pan fade ran, the volume fade did not
    EXPECT_FALSE(second->IsPlaying());        // started paused: the voice waits
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
        delete ResourceManager::Instance(); // its sounds use the platform
        platform.reset();                   // before the engine globals delete the registered platform
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

TEST_F(AudioFilesTest, HandEditedVolumesLoadClampedAndNoAccountChangesNothing)
{
    Start();
    IAudioControls* master = platform->GetMasterControls();
    IAudioControls* effects = platform->GetCategoryControls(0);
    IAudioControls* music = platform->GetCategoryControls(2);
    ASSERT_TRUE(Current().WriteRecord(L"Kestrin::Audio::MasterControls::Volume", L"3.5"));
    ASSERT_TRUE(Current().WriteRecord(L"Kestrin::Audio::SfxControls::Volume", L"-2"));
    ASSERT_TRUE(Current().WriteRecord(L"Kestrin::Audio::MusicControls::Volume", L"0.75"));
    LoadAudioSettings();
    EXPECT_EQ(master->GetOwnVolume(), 1.0f);
    EXPECT_EQ(effects->GetOwnVolume(), 0.0f);
    EXPECT_EQ(music->GetOwnVolume(), 0.75f);

    // A per-user folder that cannot hold files: no profile, so nothing is read or written.
    delete AccountManager::Instance();
    delete GetFileSystem();
    auto* fileSystem = new Win32FileSystem;
    folder.Write("blocker", "");
    fileSystem->AddPartition(2, new Win32FileSystemPartition(folder.WidePath() + L"/blocker/user"));
    ASSERT_EQ(AccountManager::Instance()->GetCurrentAccount(), nullptr);
    music->SetVolume(0.3f);
    LoadAudioSettings();
    SaveAudioSettings();
    EXPECT_EQ(music->GetOwnVolume(), 0.3f);
    EXPECT_EQ(master->GetOwnVolume(), 1.0f);
    EXPECT_FALSE(folder.Has("blocker/user"));
}

TEST_F(AudioFilesTest, SoundFactoriesLoadTheirFilesAndRejectDamagedOnes)
{
    Start();
    auto wav = KestrinTest::MakeWav(std::vector<float>(200, 0.5f), 2, 44100);
    folder.Write("a.wav", std::string(wav.begin(), wav.end()));
    folder.Write("b.wav", std::string(wav.begin(), wav.end()));
    folder.Write("sounds.xml",
                 "<resources><sound name=\"One\" src=\"a\" loop=\"2\" type=\"music\"/>"
                 "<sound name=\"Missing\" src=\"nothing\"/>"
                 "<randomsound name=\"Either\"><sound src=\"a\"/><sound src=\"b\"/></randomsound>"
                 "<soundlist name=\"Buttons\"><sound event=\"Down\" src=\"Either\"/><sound event=\"Hot\" "
                 "src=\"Later\"/></soundlist>"
                 "<sound name=\"Later\" src=\"b\"/></resources>");
    ResourceManager* resources = ResourceManager::Instance();
    RegisterSoundResourceFactories(*resources);
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
    EXPECT_THAT(KestrinTest::ThrownWhat<BASSSoundManagerException>(
                    [&] { resources->LoadFile(L"broken", nullptr, false); }),
                testing::HasSubstr(") BASS_StreamCreateFile failed"));
    EXPECT_EQ(resources->GetLoadCount(L"broken"), 0);
    EXPECT_EQ(resources->Find(MakeName("Bad")), nullptr);
}

TEST_F(AudioFilesTest, PlaySoundByNameFindsOnlyLoadedSounds)
{
    KestrinTest::FakeClock clock;
    Start();
    auto wav = KestrinTest::MakeWav(std::vector<float>(2000, 0.5f), 2, 44100);
    folder.Write("beep.wav", std::string(wav.begin(), wav.end()));
    folder.Write("named.xml", "<resources><sound name=\"Beep\" src=\"beep\"/>"
                              "<float name=\"Level\" value=\"0.5\"/></resources>");
    ResourceManager* resources = ResourceManager::Instance();
    RegisterSoundResourceFactories(*resources);
    resources->RegisterFactory(L"float", new FloatResourceFactory);

    // Not loaded yet, another kind of resource, no name at all: nothing plays, nothing throws.
    ISoundChannel* const stale = reinterpret_cast<ISoundChannel*>(&clock); // must be cleared
    ISoundChannel* channel = stale;
    EXPECT_NO_THROW(PlaySoundNamedOnChannel("Beep", &channel));
    EXPECT_EQ(channel, nullptr);
    resources->LoadFile(L"named", nullptr, false);
    auto* beep = dynamic_cast<ISound*>(resources->Find(MakeName("Beep")));
    ASSERT_TRUE(beep && resources->Find(MakeName("Level")));
    channel = stale;
    EXPECT_NO_THROW(PlaySoundNamedOnChannel("Level", &channel));
    EXPECT_EQ(channel, nullptr);
    EXPECT_NO_THROW(PlaySoundNamed("Level"));
    EXPECT_NO_THROW(PlaySoundNamed(nullptr));
    EXPECT_NO_THROW(PlaySoundById(MakeName("Level")));
    EXPECT_NO_THROW(PlaySoundById(NameId()));
    EXPECT_EQ(platform->ChannelCount(), 0u);

    // Names are found whatever their case; each form plays the sound with its own settings.
    PlaySoundNamed("beep");
    EXPECT_EQ(platform->ChannelCount(), 1u);
    clock.Advance(21);
    PlaySoundById(MakeName("BEEP"));
    EXPECT_EQ(platform->ChannelCount(), 2u);
    clock.Advance(21);
    SoundPlayParams quiet;
    quiet.volume = 0.25f;
    PlaySoundNamedOnChannel("Beep", &channel, quiet);
    ASSERT_NE(channel, nullptr);
    EXPECT_EQ(channel->GetSound(), beep);
    EXPECT_FLOAT_EQ(channel->GetControls()->GetOwnVolume(), 0.25f);
    EXPECT_TRUE(channel->IsPlaying());
    EXPECT_EQ(platform->ChannelCount(), 3u);
    channel->Release();
}

TEST(SoundAttributes, ReadAndClamped)
{
    struct Case
    {
        std::map<std::wstring, std::wstring> attributes;
        int category, playCount;
        float volume, pan, rate;
    } cases[] = {
        {{}, 0, 1, 1.0f, 0.0f, 1.0f},
        {{{L"loop", L"3"}, {L"type", L"music"}}, 2, 3, 1.0f, 0.0f, 1.0f},
        {{{L"loop", L"forever"}, {L"type", L"ambient"}}, 1, 0, 1.0f, 0.0f, 1.0f},
        {{{L"loop", L"abc"}, {L"type", L"Music"}}, 0, 0, 1.0f, 0.0f, 1.0f},
        {{{L"loop", L"-4"}, {L"volume", L"1.5"}, {L"pan", L"-2"}, {L"rate", L"0"}},
         0,
         0,
         1.0f,
         -1.0f,
         FLT_MIN},
        {{{L"volume", L"-1"}, {L"pan", L"0.25"}, {L"rate", L"1.5"}, {L"type", L"sfx"}},
         0,
         1,
         0.0f,
         0.25f,
         1.5f},
    };
    for (const Case& c : cases)
    {
        AttributeContainer element;
        for (auto& [name, value] : c.attributes)
            element.SetAttribute(name, value);
        BASSSound sound;
        ReadSoundAttributes(element, sound);
        SCOPED_TRACE(testing::PrintToString(c.attributes.size()) + " attributes, loop " +
                     std::to_string(c.playCount));
        EXPECT_EQ(sound.category, c.category);
        EXPECT_EQ(sound.playCount, c.playCount);
        EXPECT_EQ(sound.volume, c.volume);
        EXPECT_EQ(sound.pan, c.pan);
        EXPECT_EQ(sound.rate, c.rate);
    }
}

TEST_F(AudioPlatformTest, SoundFilesFollowTheExtensionOrder)
{
    Start();
    std::map<std::wstring, std::vector<unsigned char>> files;
    auto read = [&](const std::wstring& name, std::vector<unsigned char>& bytes)
    {
        auto it = files.find(name);
        if (it == files.end())
            return false;
        bytes = it->second;
        return true;
    };
    EXPECT_EQ(LoadSoundFile(L"X", read), nullptr);

    files[L"X.it"] = KestrinTest::MakeModule(); // not an IT, but the tracker decoder sniffs the data
    files[L"X.mod"] = KestrinTest::MakeModule();
    auto music = LoadSoundFile(L"X", read);
    ASSERT_NE(music, nullptr);
    EXPECT_NE(dynamic_cast<MusicSoundFileData*>(music.get()), nullptr);

    files[L"X.ogg"] = KestrinTest::MakeOgg(std::vector<float>(400, 0.25f), 2, 22050);
    auto stream = LoadSoundFile(L"X", read);
    ASSERT_NE(stream, nullptr);
    EXPECT_NE(dynamic_cast<StreamSoundFileData*>(stream.get()), nullptr);
    EXPECT_EQ(stream->NativeRate(), 22050u);

    files[L"X.ogg"] = {'O', 'g', 'g', 'S', 0, 1, 2, 3};
    std::string what = KestrinTest::ThrownWhat<BASSSoundManagerException>([&] { LoadSoundFile(L"X", read); });
    EXPECT_EQ(what,
              "(" + std::to_string(Shim::Bass::AudioOut::ErrorGetCode()) + ") BASS_StreamCreateFile failed");
}

TEST_F(AudioPlatformTest, RandomSoundPicksEachFileEvenly)
{
    Start();
    platform->SeedRandom(7);
    BASSSound sound;
    for (int i = 0; i < 3; ++i)
        sound.files.push_back(Tone(100 + i)->files[0]);
    std::map<Shim::Bass::Handle, int> picks;
    auto* channel = static_cast<BASSSoundChannel*>(Channel());
    for (int play = 0; play < 600; ++play)
    {
        channel->Play(&sound, 1);
        ++picks[channel->GetHandle()];
    }
    ASSERT_EQ(picks.size(), 3u);
    for (auto& [handle, count] : picks)
        EXPECT_NEAR(count, 200, 50) << handle;

    // Repeats pick again: an endless play moves between the files.
    std::map<Shim::Bass::Handle, int> repeats;
    channel->Play(&sound, 0);
    for (int slice = 0; slice < 60; ++slice)
    {
        Audible(256);
        ++repeats[channel->GetHandle()];
    }
    EXPECT_EQ(repeats.size(), 3u);
    channel->Release();
}
