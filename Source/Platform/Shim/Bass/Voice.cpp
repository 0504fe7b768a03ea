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
    for (int i = 0; i < frames; ++i)
    {
        // The weighted form cannot overflow between two finite frames, as a + (b - a) * f can.
        float f = float(m_frac), g = 1.0f - f;
        out[2 * i] += (m_a[0] * g + m_b[0] * f) * gl;
        out[2 * i + 1] += (m_a[1] * g + m_b[1] * f) * gr;
        m_frac += step;
        while (m_frac >= 1.0)
        {
            m_frac -= 1.0;
            if (!m_haveB)
            {
                m_state = State::Ended;
                return true;
            }
            m_a[0] = m_b[0];
            m_a[1] = m_b[1];
            m_haveB = Pull(m_b);
            if (!m_haveB)
                std::copy(m_a, m_a + 2, m_b);
        }
    }
    return false;
}

} // namespace Kestrin::Shim::Bass
