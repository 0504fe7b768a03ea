#pragma once
#include "Framework/Audio.h"

namespace Kestrin
{

// A node of the audio control tree. Getters answer the value combined with every ancestor;
// the Own getters answer this node's value alone (what settings store and sliders show).
class IAudioControls : public IReferenced
{
public:
    virtual bool IsPaused() = 0;
    virtual void Pause() = 0;
    virtual void PauseAfter(float seconds) = 0;
    virtual void Resume() = 0;
    virtual void ResumeAfter(float seconds) = 0;
    virtual void StopAll() = 0;
    virtual void StopAllAfter(float seconds) = 0;
    virtual bool IsMuted() = 0;
    virtual void SetMuted(bool muted) = 0;
    virtual float GetVolume() = 0;
    virtual void SetVolume(float volume) = 0;
    virtual void FadeVolume(float target, float seconds) = 0;
    virtual float GetFrequencyScale() = 0;
    virtual void SetFrequencyScale(float scale) = 0;
    virtual void FadeFrequencyScale(float target, float seconds) = 0;
    virtual float GetPan() = 0;
    virtual void SetPan(float pan) = 0;
    virtual void FadePan(float target, float seconds) = 0;
    virtual bool IsChanged() = 0;
    virtual void Update(float dt) = 0;

    virtual float GetOwnVolume() = 0;
    virtual bool IsOwnMuted() = 0;
};

} // namespace Kestrin
