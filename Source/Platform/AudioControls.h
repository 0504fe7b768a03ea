#pragma once
#include "Framework/AudioControls.h"

#include <atomic>
#include <list>

namespace Kestrin
{

// One node of the control tree. Holds a reference on its parent for its whole life.
class BASSAudioControls : public IAudioControls
{
public:
    explicit BASSAudioControls(IAudioControls* parent);
    ~BASSAudioControls() override;
    BASSAudioControls(const BASSAudioControls&) = delete;
    BASSAudioControls& operator=(const BASSAudioControls&) = delete;

    void AddRef() override { ++m_refs; }
    void Release() override;
    int GetRefCount() const { return m_refs; }

    bool IsPaused() override;
    void Pause() override;
    void PauseAfter(float seconds) override;
    void Resume() override;
    void ResumeAfter(float seconds) override;
    void StopAll() override;
    void StopAllAfter(float seconds) override;
    bool IsMuted() override;
    void SetMuted(bool muted) override;
    float GetVolume() override;
    void SetVolume(float volume) override;
    void FadeVolume(float target, float seconds) override;
    float GetFrequencyScale() override;
    void SetFrequencyScale(float scale) override;
    void FadeFrequencyScale(float target, float seconds) override;
    float GetPan() override;
    void SetPan(float pan) override;
    void FadePan(float target, float seconds) override;
    bool IsChanged() override;
    void Update(float dt) override;
    float GetOwnVolume() override { return m_volume.value; }
    bool IsOwnMuted() override { return m_muted; }

    // Channel bookkeeping: a channel is listed on its node and on every ancestor.
    void Attach(ISoundChannel* channel);
    void Detach(ISoundChannel* channel);
    const std::list<ISoundChannel*>& Channels() const { return m_channels; }

private:
    // The levels and flags are atomic: end notifications read them on the mixing thread while
    // the game sets them on the main thread.
    struct Fade
    {
        std::atomic<float> value;
        float from = 0.0f;
        float to = 0.0f;
        float elapsed = 0.0f;
        float duration = kIdle;
        // True when the fade moved (its last step included).
        bool Step(float dt);
        void Start(float target, float seconds);
    };
    static constexpr float kIdle = -3.402823466e+38F;

    // Counts down a delay; true when it ran out in this step.
    static bool Due(float& delay, float dt);
    BASSAudioControls* Parent() const;

    int m_refs = 1;
    IAudioControls* m_parent;
    std::atomic<bool> m_paused = false;
    float m_pauseDelay = kIdle;
    float m_resumeDelay = kIdle;
    float m_stopDelay = kIdle;
    std::atomic<bool> m_muted = false;
    Fade m_volume{1.0f};
    Fade m_frequency{1.0f};
    Fade m_pan{0.0f};
    bool m_changed = true;
    std::list<ISoundChannel*> m_channels;
};

} // namespace Kestrin
