#pragma once
// The game's sound effects and ambience, each a seeded synthesiser patch.
#include "Synth.h"

#include <string>
#include <vector>

namespace AudioGen
{
enum class SoundFormat
{
    Wav,
    Ogg
};

struct SoundSpec
{
    std::string resource; // resource name; empty for the files of a random sound
    std::string file;     // file stem under sounds/
    SoundFormat format = SoundFormat::Wav;
    Patch patch;
    double volume = 1.0; // the resource's "volume"
    bool loops = false;  // loop="forever": must loop without a click
    std::string description;
};

inline constexpr int EffectRate = 22050;
inline constexpr double EffectPeakDb = -3.0;
// Vorbis overshoots sharp peaks by a few tenths of a decibel: OGG sources are made a
// little quieter so their decoded peak stays at or under EffectPeakDb.
inline constexpr double OggHeadroomDb = 0.5;
inline constexpr double EffectFadeSeconds = 0.005;
inline constexpr double OggQuality = 0.4;

// The sound resources of type "effect", in the order of the resource file.
const std::vector<SoundSpec>& Effects();
// The four files of "AmbientGameSounds".
const std::vector<SoundSpec>& AmbientFiles();

// The finished 16-bit samples of a sound (DC removed, faded, peak at -3 dBFS).
std::vector<int16_t> RenderSound(const SoundSpec& fileSpec);
} // namespace AudioGen
