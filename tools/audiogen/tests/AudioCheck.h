#pragma once
// Checks on decoded audio. The decoder is an interface so the same checks can run
// through the engine's own audio shim once it exists.
#include "AudioFile.h"

#include <filesystem>
#include <memory>

namespace AudioGen::Check
{
class Decoder
{
public:
    virtual ~Decoder() = default;
    // The whole file decoded once through, interleaved float at the file's rate
    // (modules at the decoder's rendering rate).
    virtual DecodedAudio Decode(const std::filesystem::path& file) = 0;
};

// libsndfile for ".wav"/".ogg", libopenmpt (44.1 kHz stereo) for ".xm".
std::unique_ptr<Decoder> MakeLibraryDecoder();
inline constexpr int ModuleRate = 44100;

struct Levels
{
    double peak = 0.0; // largest magnitude, full scale 1.0
    double peakDb = -999.0;
    double mean = 0.0; // DC
    double rms = 0.0;
};
Levels Measure(const DecodedAudio& audio);

// The step across the loop point (last frame to first) and the largest step between
// neighbouring frames anywhere else, per channel, maximum over channels.
struct Seam
{
    double jump = 0.0;
    double largestStep = 0.0;
};
Seam MeasureSeam(const DecodedAudio& audio);

// Peak level of the first and last `seconds` of the signal.
double EdgePeak(const DecodedAudio& audio, double seconds);
} // namespace AudioGen::Check
