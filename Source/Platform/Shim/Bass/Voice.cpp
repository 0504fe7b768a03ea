#include "Platform/Shim/Bass/Voice.h"

#include <algorithm>

namespace Kestrin::Shim::Bass
{

Voice::Voice(std::unique_ptr<Source> source) : m_source(std::move(source)) {}

void Voice::SetAttributes(int frequency, int volume, int pan)
{
    m_frequency = frequency;
    m_volume = volume;
    m_pan = pan;
    // Balance law: the side away from the pan is attenuated, the near side keeps full gain.
    float gain = float(volume) / 100.0f;
    float p = float(pan) / 100.0f;
    m_leftGain = gain * (1.0f - std::max(0.0f, p));
    m_rightGain = gain * (1.0f + std::min(0.0f, p));
}

void Voice::ResetCursor()
{
    m_primed = false;
    m_haveB = false;
    m_frac = 0;
    m_position = 0;
    m_bufferLength = 0;
    m_bufferPos = 0;
    m_sourceDone = false;
}

bool Voice::Restart()
{
    ResetCursor();
    if (!m_source->Rewind())
    {
        m_state = State::Stopped;
        return false;
    }
    m_state = State::Playing;
    return true;
}

bool Voice::Resume()
{
    if (m_state == State::Ended)
        return false;
    m_state = State::Playing;
    return true;
}

bool Voice::Pause()
{
    if (m_state != State::Playing)
        return false;
    m_state = State::Paused;
    return true;
}

void Voice::Stop()
{
    if (m_state != State::Ended)
        m_state = State::Stopped;
}

bool Voice::Pull(float* frame)
{
    if (m_bufferPos == m_bufferLength)
    {
        if (m_sourceDone)
            return false;
        m_bufferLength = m_source->Read(m_buffer, kBufferFrames);
        m_bufferPos = 0;
        if (m_bufferLength < kBufferFrames)
            m_sourceDone = true;
        if (m_bufferLength <= 0)
        {
            m_bufferLength = 0;
            return false;
        }
    }
    frame[0] = m_buffer[2 * m_bufferPos];
    frame[1] = m_buffer[2 * m_bufferPos + 1];
    ++m_bufferPos;
    ++m_position;
    return true;
}

bool Voice::MixInto(float* out, int frames, uint32_t outputRate)
{
    if (m_state != State::Playing)
        return false;
    if (!m_primed)
    {
        if (!Pull(m_a))
        {
            m_state = State::Ended;
            return true;
        }
        m_haveB = Pull(m_b);
        if (!m_haveB)
            std::copy(m_a, m_a + 2, m_b);
        m_frac = 0;
        m_primed = true;
    }
    const double step = double(m_frequency > 0 ? uint32_t(m_frequency) : NativeRate()) / double(outputRate);
    const float gl = m_leftGain, gr = m_rightGain;
    // The cursor lives in locals while mixing, so stores into `out` need not reload it.
    float a0 = m_a[0], a1 = m_a[1], b0 = m_b[0], b1 = m_b[1];
    double frac = m_frac;
    bool ended = false;
    int i = 0;
    while (i < frames && !ended)
    {
        // At the output rate and on a frame, each output frame takes one buffered frame: a run
        // with no cursor arithmetic (the weights stay 1 and 0, so the sums are the same).
        if (step == 1.0 && frac == 0.0 && m_haveB && m_bufferPos < m_bufferLength)
        {
            const int run = std::min(frames - i, m_bufferLength - m_bufferPos);
            const float* next = m_buffer + 2 * m_bufferPos;
            float* o = out + 2 * i;
            for (int j = 0; j < run; ++j)
            {
                o[2 * j] += (a0 * 1.0f + b0 * 0.0f) * gl;
                o[2 * j + 1] += (a1 * 1.0f + b1 * 0.0f) * gr;
                a0 = b0;
                a1 = b1;
                b0 = next[2 * j];
                b1 = next[2 * j + 1];
            }
            m_bufferPos += run;
            m_position += run;
            i += run;
            continue;
        }
        // The weighted form cannot overflow between two finite frames, as a + (b - a) * f can.
        const float f = float(frac), g = 1.0f - f;
        out[2 * i] += (a0 * g + b0 * f) * gl;
        out[2 * i + 1] += (a1 * g + b1 * f) * gr;
        ++i;
        frac += step;
        while (frac >= 1.0)
        {
            frac -= 1.0;
            if (!m_haveB)
            {
                ended = true;
                break;
            }
            a0 = b0;
            a1 = b1;
            float frame[2];
            m_haveB = Pull(frame);
            if (m_haveB)
            {
                b0 = frame[0];
                b1 = frame[1];
            }
        }
    }
    m_a[0] = a0;
    m_a[1] = a1;
    m_b[0] = b0;
    m_b[1] = b1;
    m_frac = frac;
    if (ended)
        m_state = State::Ended;
    return ended;
}

} // namespace Kestrin::Shim::Bass
