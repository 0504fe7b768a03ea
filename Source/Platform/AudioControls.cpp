#include "Platform/AudioControls.h"

#include "Framework/Tasks.h"

#include <algorithm>
#include <vector>

namespace Kestrin
{

BASSAudioControls::BASSAudioControls(IAudioControls* parent) : m_parent(parent)
{
    if (m_parent)
        m_parent->AddRef();
}

BASSAudioControls::~BASSAudioControls()
{
    m_channels.clear();
    SafeRelease(m_parent);
}

void BASSAudioControls::Release()
{
    if (--m_refs == 0)
        delete this;
}

BASSAudioControls* BASSAudioControls::Parent() const
{
    return dynamic_cast<BASSAudioControls*>(m_parent);
}

bool BASSAudioControls::IsPaused()
{
    return m_paused || (m_parent && m_parent->IsPaused());
}
bool BASSAudioControls::IsMuted()
{
    return m_muted || (m_parent && m_parent->IsMuted());
}
bool BASSAudioControls::IsChanged()
{
    return m_changed || (m_parent && m_parent->IsChanged());
}

float BASSAudioControls::GetVolume()
{
    return (m_parent ? m_parent->GetVolume() : 1.0f) * m_volume.value;
}
float BASSAudioControls::GetFrequencyScale()
{
    return (m_parent ? m_parent->GetFrequencyScale() : 1.0f) * m_frequency.value;
}
float BASSAudioControls::GetPan()
{
    return std::clamp((m_parent ? m_parent->GetPan() : 0.0f) + m_pan.value, -1.0f, 1.0f);
}

void BASSAudioControls::Pause()
{
    m_paused = true;
    m_changed = true;
}
void BASSAudioControls::Resume()
{
    m_paused = false;
    m_changed = true;
}
void BASSAudioControls::PauseAfter(float seconds)
{
    m_pauseDelay = seconds;
    m_changed = true;
}
void BASSAudioControls::ResumeAfter(float seconds)
{
    m_resumeDelay = seconds;
    m_changed = true;
}
void BASSAudioControls::StopAllAfter(float seconds)
{
    m_stopDelay = seconds;
    m_changed = true;
}
void BASSAudioControls::SetMuted(bool muted)
{
    m_muted = muted;
    m_changed = true;
}

void BASSAudioControls::SetVolume(float volume)
{
    m_volume.value = volume;
    m_volume.duration = kIdle;
    m_changed = true;
}
void BASSAudioControls::SetFrequencyScale(float scale)
{
    m_frequency.value = scale;
    m_frequency.duration = kIdle;
    m_changed = true;
}
void BASSAudioControls::SetPan(float pan)
{
    m_pan.value = pan;
    m_pan.duration = kIdle;
    m_changed = true;
}
void BASSAudioControls::FadeVolume(float target, float seconds)
{
    m_volume.Start(target, seconds);
    m_changed = true;
}
void BASSAudioControls::FadeFrequencyScale(float target, float seconds)
{
    m_frequency.Start(target, seconds);
    m_changed = true;
}
void BASSAudioControls::FadePan(float target, float seconds)
{
    m_pan.Start(target, seconds);
    m_changed = true;
}

void BASSAudioControls::StopAll()
{
    // Stopping may detach channels from this list; walk a copy.
    std::vector<ISoundChannel*> channels(m_channels.begin(), m_channels.end());
    for (ISoundChannel* channel : channels)
        channel->Stop();
}

void BASSAudioControls::Attach(ISoundChannel* channel)
{
    for (BASSAudioControls* node = this; node; node = node->Parent())
        node->m_channels.push_back(channel);
}

void BASSAudioControls::Detach(ISoundChannel* channel)
{
    for (BASSAudioControls* node = this; node; node = node->Parent())
    {
        auto it = std::find(node->m_channels.begin(), node->m_channels.end(), channel);
        if (it != node->m_channels.end())
            node->m_channels.erase(it);
    }
}

void BASSAudioControls::Fade::Start(float target, float seconds)
{
    from = value;
    to = target;
    elapsed = 0.0f;
    duration = seconds;
}

bool BASSAudioControls::Fade::Step(float dt)
{
    if (duration < 0.0f)
        return false;
    elapsed += dt;
    if (elapsed < duration)
    {
        LinearInterpolator lerp;
        value = lerp.Interpolate(from, to, elapsed, duration);
    }
    else
    {
        value = to;
        duration = kIdle;
    }
    return true;
}

bool BASSAudioControls::Due(float& delay, float dt)
{
    if (delay <= 0.0f)
        return false;
    delay -= dt;
    if (delay > 0.0f)
        return false;
    delay = kIdle;
    return true;
}

void BASSAudioControls::Update(float dt)
{
    m_changed = false;
    if (Due(m_pauseDelay, dt))
        Pause();
    if (Due(m_resumeDelay, dt))
        Resume();
    if (Due(m_stopDelay, dt))
        StopAll();
    if (!m_changed)
        m_changed = m_volume.Step(dt) || m_frequency.Step(dt) || m_pan.Step(dt);
}

} // namespace Kestrin
