#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace Kestrin::Shim::Bass
{

// Where a voice's sound comes from: interleaved stereo float frames at the source's own rate.
class Source
{
public:
    virtual ~Source() = default;
    // Up to `frames` frames into `stereo`; fewer only at the end (0: nothing left).
    virtual int Read(float* stereo, int frames) = 0;
    // Back to the first frame; false when the decoder cannot seek.
    virtual bool Rewind() = 0;
    // The native rate in Hz.
    virtual uint32_t Rate() const = 0;
};

enum class OpenResult
{
    Ok,
    UnknownFormat,
    Malformed,
    OutOfMemory,
};

// A file decoded on demand from memory that the caller keeps alive for the source's life.
// Mono is sent to both sides; more than two channels fold even channels left and odd right.
std::unique_ptr<Source> OpenSoundFile(const void* bytes, size_t length, OpenResult& result);

// A tracker module rendered at `rate`, played once (no repeat). The bytes are copied.
std::unique_ptr<Source> OpenModule(const void* bytes, size_t length, uint32_t rate, OpenResult& result);

// A whole sound decoded up front, shared by every playback of a sample.
struct Pcm
{
    std::vector<float> stereo; // interleaved frames
    uint32_t rate = 0;
};

// Decodes every frame of a sound file; null when it cannot be read.
std::shared_ptr<const Pcm> DecodeSoundFile(const void* bytes, size_t length, OpenResult& result);

// A playback cursor over shared decoded frames.
std::unique_ptr<Source> PlayPcm(std::shared_ptr<const Pcm> pcm);

} // namespace Kestrin::Shim::Bass
