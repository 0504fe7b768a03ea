#include "Game/MusicManager.h"

#include "Base/Log.h"
#include "Framework/ResourceManager.h"
#include "Game/GameLevels.h"

#include <exception>
#include <string>

using Kestrin::SoundPlayParams;

namespace
{
// The single tracks' sounds by track number; the level track (4) has two of its own.
constexpr const char* TrackSounds[] = {nullptr,
                                       "MUSIC_Lobby",
                                       "MUSIC_Cutscene",
                                       "MUSIC_Intro",
                                       nullptr,
                                       "MUSIC_LevelFailure",
                                       "MUSIC_LevelSuccess",
                                       "MUSIC_LevelExpert",
                                       "MUSIC_Tictionary",
                                       "MUSIC_TicIntro",
                                       "MUSIC_GuestIntro"};

SoundPlayParams Looping(float volume)
{
    SoundPlayParams params;
    params.volume = volume;
    params.playCount = 0;
    return params;
}

// The value resource's volume, or the sound's own when there is none.
float VolumeResource(const char* name)
{
    const auto* value = Kestrin::GetFloatValueByName(name);
    return value ? value->value : -1.0f;
}
} // namespace

void SoundChannelHandle::StopIfPlaying()
{
    if (m_channel && m_channel->IsPlaying())
        m_channel->Stop();
}

MusicManager& MusicManager::Instance()
{
    static MusicManager manager;
    return manager;
}

void MusicManager::StopMusic()
{
    extraChannel.StopIfPlaying();
    melodyChannel.StopIfPlaying();
    rhythmChannel.StopIfPlaying();
    extraChannel.Reset();
}

void MusicManager::Play(MusicTrack track, bool restart)
{
    if (track == currentTrack && !restart)
        return;
    currentTrack = track;
    StopMusic();
    const int index = int(track);
    if (track == MusicTrack::Level)
        StartLevelMusic();
    else if (index >= 1 && index <= 10)
    {
        SoundPlayParams params;
        params.volume = 1.0f;
        if (track == MusicTrack::Lobby || track == MusicTrack::Cutscene)
            params.playCount = 0;
        Kestrin::PlaySoundNamedOnChannel(TrackSounds[index], melodyChannel.Receive(), params);
    }
}

void MusicManager::ReleaseChannels()
{
    StopMusic();
    melodyChannel.Reset();
    rhythmChannel.Reset();
    currentTrack = MusicTrack::None;
}

void MusicManager::StartLevelMusic()
{
    const float melodyVolume = VolumeResource("baseMelodyVolume");
    const float rhythmVolume = VolumeResource("baseRhythmVolume");
    GuestID guest = GuestID::None;
    try
    {
        const GameLevels& levels = m_catalogue ? *m_catalogue : GameLevels::Instance();
        if (levels.current)
            guest = levels.current->guest;
    }
    catch (const std::exception& e)
    {
        Kestrin::LogPrintf("The level music has no guest: %s\n", e.what());
    }
    const std::string rhythm = std::string("MUSIC_rhythm_") + NameOf(guest);
    Kestrin::PlaySoundNamedOnChannel(rhythm.c_str(), rhythmChannel.Receive(), Looping(rhythmVolume));
    Kestrin::PlaySoundNamedOnChannel("MUSIC_melody", melodyChannel.Receive(), Looping(melodyVolume));
}

void MusicManager::StartFinalWarning()
{
    if (extraChannel)
        return;
    Kestrin::PlaySoundNamedOnChannel("SFX_FinalWarning", extraChannel.Receive(), Looping(1.0f));
}

void MusicManager::StopFinalWarning()
{
    extraChannel.StopIfPlaying();
    extraChannel.Reset();
}

void MusicManager::PlayAmbientSound()
{
    SoundPlayParams params;
    params.playCount = 1;
    Kestrin::PlaySoundNamed("AmbientGameSounds", params);
}
