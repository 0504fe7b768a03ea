#include "Game/MusicManager.h"

#include "Base/Stream.h"
#include "Framework/AudioControls.h"
#include "Framework/ResourceManager.h"
#include "Framework/ValueResources.h"
#include "Game/GameLevels.h"

#include "Support/AudioPlatformFixture.h"
#include "harness/FakeClock.h"

#include <climits>
#include <map>
#include <memory>
#include <string>
#include <vector>

using namespace Kestrin;

namespace
{
struct Play
{
    std::string sound;
    float volume;
    int playCount;
};

// Music over the null device: named test tones, every play call recorded.
class Music : public AudioPlatformTest
{
protected:
    Music()
    {
        Start();
        for (const char* name :
             {"MUSIC_Lobby", "MUSIC_Cutscene", "MUSIC_Intro", "MUSIC_LevelFailure", "MUSIC_LevelSuccess",
              "MUSIC_LevelExpert", "MUSIC_Tictionary", "MUSIC_TicIntro", "MUSIC_GuestIntro",
              "MUSIC_rhythm_Zoe", "MUSIC_melody", "SFX_FinalWarning", "AmbientGameSounds"})
            AddSound(name);
        ResourceManager::Instance(); // its sound finder first, then ours
        RegisterValueResourceFactories(*ResourceManager::Instance());
        SetSoundFinder(
            [this](NameId id) -> ISound*
            {
                auto it = sounds.find(id.c_str());
                return it == sounds.end() ? nullptr : it->second.get();
            });
        SetSoundPlayer(
            [this](ISound* sound, const SoundPlayParams& params, ISoundChannel** out)
            {
                for (const auto& [name, held] : sounds)
                    if (held.get() == sound)
                        plays.push_back({name, params.volume, params.playCount});
                PlaySoundOnPlatform(sound, params, out);
            });

        auto record = std::make_unique<LevelRecord>();
        record->name = "3-02 Zoe";
        record->guest = GuestID::Zoe;
        levels.current = record.get();
        levels.records[record->name] = std::move(record);
    }
    ~Music() override
    {
        SetSoundPlayer(nullptr);
        manager.reset();
        delete ResourceManager::Instance();
    }

    void AddSound(const std::string& name)
    {
        auto sound = Tone(88200);
        sound->volume = 0.2f;
        sound->playCount = 3;
        sounds[name] = std::move(sound);
    }
    void LoadVolumes(float melody, float rhythm)
    {
        const std::string xml = "<Music><float name=\"baseMelodyVolume\" value=\"" + std::to_string(melody) +
                                "\"/><float name=\"baseRhythmVolume\" value=\"" + std::to_string(rhythm) +
                                "\"/></Music>";
        MemoryStream stream(L"Music", xml.data(), uint32_t(xml.size()));
        ResourceManager::Instance()->Load(L"Music", &stream, nullptr);
    }
    static bool Playing(ISoundChannel* channel) { return channel && channel->IsPlaying(); }

    KestrinTest::FakeClock clock;
    std::map<std::string, std::unique_ptr<BASSSound>> sounds;
    std::vector<Play> plays;
    GameLevels levels;
    std::unique_ptr<MusicManager> manager = std::make_unique<MusicManager>(&levels);
};
} // namespace

TEST_F(Music, TheSameTrackPlaysOnUnlessRestarted)
{
    manager->Play(MusicTrack::Lobby, false);
    ISoundChannel* first = manager->GetMelodyChannel();
    ASSERT_TRUE(Playing(first));
    // Volume 1 over the sound's own 0.2; looping.
    ASSERT_EQ(plays.size(), 1u);
    EXPECT_EQ(plays[0].sound, "MUSIC_Lobby");
    EXPECT_EQ(plays[0].volume, 1.0f);
    EXPECT_EQ(plays[0].playCount, 0);
    EXPECT_FLOAT_EQ(first->GetControls()->GetOwnVolume(), 1.0f);

    manager->Play(MusicTrack::Lobby, false);
    EXPECT_EQ(plays.size(), 1u);
    EXPECT_EQ(manager->GetMelodyChannel(), first);

    first->AddRef(); // to see it after the handle lets go
    manager->Play(MusicTrack::Lobby, true);
    EXPECT_EQ(plays.size(), 2u);
    EXPECT_FALSE(first->IsPlaying());
    EXPECT_TRUE(Playing(manager->GetMelodyChannel()));
    EXPECT_NE(manager->GetMelodyChannel(), first);
    first->Release();
}

TEST_F(Music, EachSingleTrackPlaysItsSound)
{
    struct Case
    {
        MusicTrack track;
        const char* sound;
        int playCount;
    };
    for (const Case& c :
         {Case{MusicTrack::Cutscene, "MUSIC_Cutscene", 0}, Case{MusicTrack::Intro, "MUSIC_Intro", INT_MIN},
          Case{MusicTrack::LevelFailure, "MUSIC_LevelFailure", INT_MIN},
          Case{MusicTrack::LevelSuccess, "MUSIC_LevelSuccess", INT_MIN},
          Case{MusicTrack::LevelExpert, "MUSIC_LevelExpert", INT_MIN},
          Case{MusicTrack::Tictionary, "MUSIC_Tictionary", INT_MIN},
          Case{MusicTrack::TicIntro, "MUSIC_TicIntro", INT_MIN},
          Case{MusicTrack::GuestIntro, "MUSIC_GuestIntro", INT_MIN}})
    {
        plays.clear();
        manager->Play(c.track, false);
        ASSERT_EQ(plays.size(), 1u) << c.sound;
        EXPECT_EQ(plays[0].sound, c.sound);
        EXPECT_EQ(plays[0].volume, 1.0f);
        EXPECT_EQ(plays[0].playCount, c.playCount) << c.sound;
        EXPECT_TRUE(Playing(manager->GetMelodyChannel())) << c.sound;
        EXPECT_EQ(manager->GetCurrentTrack(), c.track);
    }
}

TEST_F(Music, TheLevelTrackLayersTheGuestsRhythmUnderTheMelody)
{
    LoadVolumes(0.6f, 0.3f);
    manager->Play(MusicTrack::Level, false);
    ASSERT_EQ(plays.size(), 2u);
    EXPECT_EQ(plays[0].sound, "MUSIC_rhythm_Zoe");
    EXPECT_FLOAT_EQ(plays[0].volume, 0.3f);
    EXPECT_EQ(plays[1].sound, "MUSIC_melody");
    EXPECT_FLOAT_EQ(plays[1].volume, 0.6f);
    EXPECT_EQ(plays[0].playCount, 0);
    EXPECT_EQ(plays[1].playCount, 0);
    ASSERT_TRUE(Playing(manager->GetRhythmChannel()));
    ASSERT_TRUE(Playing(manager->GetMelodyChannel()));
    EXPECT_FLOAT_EQ(manager->GetRhythmChannel()->GetControls()->GetOwnVolume(), 0.3f);
    EXPECT_FLOAT_EQ(manager->GetMelodyChannel()->GetControls()->GetOwnVolume(), 0.6f);
}

TEST_F(Music, MissingSoundsAndVolumesPlayWhatThereIs)
{
    // No volume resources: each layer at its sound's own volume; no melody sound: its handle empty.
    sounds.erase("MUSIC_melody");
    manager->Play(MusicTrack::Level, false);
    ASSERT_EQ(plays.size(), 1u);
    EXPECT_LT(plays[0].volume, 0.0f);
    EXPECT_FLOAT_EQ(manager->GetRhythmChannel()->GetControls()->GetOwnVolume(), 0.2f);
    EXPECT_EQ(manager->GetMelodyChannel(), nullptr);

    // Without a current level there is no guest, so no rhythm either.
    levels.current = nullptr;
    AddSound("MUSIC_melody");
    manager->Play(MusicTrack::Level, true);
    EXPECT_EQ(manager->GetRhythmChannel(), nullptr);
    EXPECT_TRUE(Playing(manager->GetMelodyChannel()));
}

TEST_F(Music, TrackZeroStopsEveryChannelAndTheFinalWarning)
{
    manager->Play(MusicTrack::Level, false);
    manager->StartFinalWarning();
    ISoundChannel* melody = manager->GetMelodyChannel();
    ISoundChannel* rhythm = manager->GetRhythmChannel();
    ASSERT_TRUE(Playing(melody) && Playing(rhythm) && Playing(manager->GetExtraChannel()));
    manager->Play(MusicTrack::None, false);
    EXPECT_EQ(manager->GetExtraChannel(), nullptr);
    // The layers keep their (stopped) channels.
    EXPECT_EQ(manager->GetMelodyChannel(), melody);
    EXPECT_EQ(manager->GetRhythmChannel(), rhythm);
    EXPECT_FALSE(melody->IsPlaying());
    EXPECT_FALSE(rhythm->IsPlaying());

    // A value past the last track only stops too.
    manager->Play(MusicTrack::Lobby, false);
    const size_t before = plays.size();
    manager->Play(MusicTrack(11), false);
    EXPECT_EQ(plays.size(), before);
    EXPECT_FALSE(manager->GetMelodyChannel()->IsPlaying());
}

TEST_F(Music, TheFinalWarningLoopsOncePerTrack)
{
    manager->Play(MusicTrack::Level, false);
    plays.clear();
    manager->StartFinalWarning();
    manager->StartFinalWarning();
    ASSERT_EQ(plays.size(), 1u);
    EXPECT_EQ(plays[0].sound, "SFX_FinalWarning");
    EXPECT_EQ(plays[0].volume, 1.0f);
    EXPECT_EQ(plays[0].playCount, 0);
    ISoundChannel* warning = manager->GetExtraChannel();
    warning->AddRef();
    manager->Play(MusicTrack::LevelFailure, false);
    EXPECT_FALSE(warning->IsPlaying());
    EXPECT_EQ(manager->GetExtraChannel(), nullptr);
    warning->Release();

    // Endless play ends it by itself; it may then start again.
    manager->StartFinalWarning();
    manager->StopFinalWarning();
    EXPECT_EQ(manager->GetExtraChannel(), nullptr);
    clock.Advance(100);
    manager->StartFinalWarning();
    EXPECT_TRUE(Playing(manager->GetExtraChannel()));
}

TEST_F(Music, ChannelsLeftBehindAreGivenBack)
{
    for (MusicTrack track : {MusicTrack::Lobby, MusicTrack::Cutscene, MusicTrack::Intro, MusicTrack::Level,
                             MusicTrack::LevelSuccess, MusicTrack::Tictionary})
    {
        manager->Play(track, false);
        manager->StartFinalWarning();
    }
    platform->Update(0.02f);
    // The melody and the warning; the stopped rhythm is still held, nothing else.
    EXPECT_EQ(platform->ChannelCount(), 3u);
}

TEST_F(Music, AmbientSoundsPlayOnceOnTheirOwnChannel)
{
    manager->Play(MusicTrack::Lobby, false);
    ISoundChannel* melody = manager->GetMelodyChannel();
    manager->PlayAmbientSound();
    ASSERT_EQ(plays.size(), 2u);
    EXPECT_EQ(plays[1].sound, "AmbientGameSounds");
    EXPECT_EQ(plays[1].playCount, 1);
    EXPECT_EQ(manager->GetMelodyChannel(), melody);
    EXPECT_TRUE(melody->IsPlaying());
    EXPECT_EQ(manager->GetExtraChannel(), nullptr);
}
