#pragma once
#include "Platform/Shim/Bass/Sources.h"

#include <cstdint>
#include <memory>

namespace Kestrin::Shim::Bass
{

// One playing sound: a source, its attributes, and a linear-interpolating resampler that
// feeds it into the output at the output rate.
class Voice
{
public:
    enum class State
    {
        Stopped, // never played, or stopped: resumes where it was
        Playing,
        Paused,
        Ended, // reached the natural end; only a restart plays it again
    };

    explicit Voice(std::unique_ptr<Source> source);

    uint32_t NativeRate() const { return m_source->Rate(); }
    State GetState() const { return m_state; }
    // Source frames taken so far in the current run.
    int64_t Position() const { return m_position; }

    // frequency in Hz (0 = the native rate), volume 0..100, pan -100..100; already in range.
    void SetAttributes(int frequency, int volume, int pan);
    int Frequency() const { return m_frequency; }
    int Volume() const { return m_volume; }
    int Pan() const { return m_pan; }

    // From the first frame; false when the source cannot rewind (the voice is then stopped).
    bool Restart();
    // Continues a paused or stopped voice; false for an ended one.
    bool Resume();
    bool Pause();
    void Stop();

    // Adds up to `frames` stereo frames into `out` at `outputRate`. True when the voice reached
    // its natural end during this call.
    bool MixInto(float* out, int frames, uint32_t outputRate);

private:
    bool Pull(float* frame);
    void ResetCursor();

    static constexpr int kBufferFrames = 512;

    std::unique_ptr<Source> m_source;
    State m_state = State::Stopped;
    int m_frequency = 0;
    int m_volume = 100;
    int m_pan = 0;
    float m_leftGain = 1;
    float m_rightGain = 1;

    // Resampler: output lies between frames a and b, at frac of the way.
    bool m_primed = false;
    bool m_haveB = false;
    double m_frac = 0;
    float m_a[2] = {0, 0};
    float m_b[2] = {0, 0};
    int64_t m_position = 0;

    float m_buffer[2 * kBufferFrames];
    int m_bufferLength = 0;
    int m_bufferPos = 0;
    bool m_sourceDone = false;
};

} // namespace Kestrin::Shim::Bass
