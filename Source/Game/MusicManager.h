#pragma once
// The one place that decides which music plays: each track stops what played before, so no two
// tracks overlap. During a level the music has two layers, the guest's rhythm and the melody.
#include "Framework/Audio.h"

#include <cstdint>

class GameLevels;

enum class MusicTrack : int32_t
{
    None,
    Lobby,
    Cutscene,
    Intro,
    Level, // the guest's rhythm and the melody
    LevelFailure,
    LevelSuccess,
    LevelExpert,
    Tictionary,
    TicIntro,
    GuestIntro,
};

// One counted reference to a channel; emptying gives it back.
class SoundChannelHandle
{
public:
    SoundChannelHandle() = default;
    ~SoundChannelHandle() { Reset(); }
    SoundChannelHandle(const SoundChannelHandle&) = delete;
    SoundChannelHandle& operator=(const SoundChannelHandle&) = delete;

    Kestrin::ISoundChannel* Get() const { return m_channel; }
    explicit operator bool() const { return m_channel != nullptr; }
    void Reset() { Kestrin::SafeRelease(m_channel); }
    // Empties the handle and hands out its slot for a play call to fill.
    Kestrin::ISoundChannel** Receive()
    {
        Reset();
        return &m_channel;
    }
    // Stops the channel when it is set and still playing.
    void StopIfPlaying();

private:
    Kestrin::ISoundChannel* m_channel = nullptr;
};

class MusicManager
{
public:
    static MusicManager& Instance();

    // The guest of the level track comes from the catalogue (GameLevels::Instance() when null).
    explicit MusicManager(const GameLevels* catalogue = nullptr) : m_catalogue(catalogue) {}
    MusicManager(const MusicManager&) = delete;
    MusicManager& operator=(const MusicManager&) = delete;

    // The track already asked for keeps playing unless restart is set. Otherwise everything stops
    // (the final warning included) and the track starts; values outside 1..10 only stop.
    void Play(MusicTrack track, bool restart);
    // Stops everything and gives the channels back, before the audio platform goes at shutdown; the
    // current track becomes none.
    void ReleaseChannels();
    // Loops "SFX_FinalWarning" until the next Play; at most once per track.
    void StartFinalWarning();
    // Ends the final warning only (endless play has no end of the clock).
    void StopFinalWarning();
    // "AmbientGameSounds" once, on a channel of its own.
    void PlayAmbientSound();

    MusicTrack GetCurrentTrack() const { return currentTrack; }
    // The level sets the melody's volume every step; null while nothing was started on it.
    Kestrin::ISoundChannel* GetMelodyChannel() const { return melodyChannel.Get(); }
    Kestrin::ISoundChannel* GetRhythmChannel() const { return rhythmChannel.Get(); }
    Kestrin::ISoundChannel* GetExtraChannel() const { return extraChannel.Get(); }

private:
    void StopMusic();
    void StartLevelMusic();

    const GameLevels* m_catalogue;
    MusicTrack currentTrack = MusicTrack::None;
    SoundChannelHandle melodyChannel;
    SoundChannelHandle rhythmChannel;
    SoundChannelHandle extraChannel;
};
