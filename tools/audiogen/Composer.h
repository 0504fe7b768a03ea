#pragma once
// Writes each track from a key, a chord progression and a style, by seeded rules.
#include "Instruments.h"
#include "Xm.h"

#include <cstdint>
#include <string>
#include <vector>

namespace AudioGen
{
struct Chord
{
    int root = 0; // pitch class, 0 = C
    bool minor = false;
};

enum class Style
{
    Lobby,      // warm pluck and pad
    Cutscene,   // pads
    Intro,      // strummed, upbeat
    Tictionary, // pizzicato
    TicIntro,   // playful marimba
    GuestIntro, // gentle pad and picking
    Success,    // rising jingle
    Expert,     // fanfare
    Failure,    // descending
    Melody,     // the in-level lead alone
    RhythmJillian,
    RhythmHarley,
    RhythmMiranda,
    RhythmZoe,
    RhythmJason,
    RhythmHeather,
};

struct TrackSpec
{
    std::string resource; // resource and file stem
    Style style = Style::Lobby;
    int bpm = 125;
    int bars = 16;
    int tonic = 9; // pitch class of the key
    bool minor = true;
    std::vector<Chord> progression; // one chord per bar, cycled
    uint32_t seed = 1;
    bool loops = true; // loop="forever" in the resource
    std::string description;
};

inline constexpr int RowsPerBeat = 4;
inline constexpr int BeatsPerBar = 4;
inline constexpr int RowsPerBar = RowsPerBeat * BeatsPerBar;
inline constexpr int Speed = 6;

// Every track of the game.
const std::vector<TrackSpec>& Tracks();

Xm::Module Compose(const TrackSpec& fileSpec);

// The pitch classes of a triad, root first.
std::vector<int> ChordTones(const Chord& chord);
// The pitch classes of the key's scale (major or natural minor).
std::vector<int> ScalePitchClasses(int tonic, bool minor);
} // namespace AudioGen
