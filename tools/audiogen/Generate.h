#pragma once
// Everything the audio generator makes, in memory, and its writing into a data tree.
#include "AudioFile.h"

#include <filesystem>
#include <string>
#include <vector>

namespace AudioGen
{
enum class OutputKind
{
    Wav,
    Ogg,
    Xm,
    ResourceSection
};

struct Output
{
    std::filesystem::path path; // relative to the data root, '/'-separated
    OutputKind kind = OutputKind::Wav;
    Bytes bytes;
    int rate = 0;         // sounds: sample rate
    int64_t frames = 0;   // sounds: the stated length in samples
    double seconds = 0.0; // music: the stated length
    bool loops = false;   // must loop without a click
    std::string description;
};

inline constexpr const char* ResourceFile = "groups/resources.xml";
inline constexpr const char* AudioSection = "audio";

// Every sound, track and the resource section. Deterministic.
std::vector<Output> GenerateAll();

// Writes the outputs under `dataRoot`; the resource section is spliced into the
// existing resource file, whose other sections stay as they are.
void WriteAll(const std::filesystem::path& dataRoot, const std::vector<Output>& outputs);

// Renders a module with libopenmpt, once through, interleaved float.
DecodedAudio RenderModule(const Bytes& xm, int rate, int channels);
} // namespace AudioGen
