#pragma once
#include "Framework/Object.h"
#include "Graphics/SpriteAnimation.h"

#include <deque>

// Plays sprite animations over time: a queue whose head plays, and the frame it shows now. Its
// owners poll it; it sends no messages. It lives in an object database, which updates it each step.
class AnimationController : public Kestrin::Object
{
public:
    explicit AnimationController(Kestrin::NameId name = {});

    Kestrin::NameId GetName() const override { return m_name; }
    void Update(float dt) override;

    // Makes the animation the only one queued. The running animation asked for again goes on
    // where it is unless restart is set. Null is ignored.
    void PlayAnimation(const SpriteAnimation* animation, bool restart);
    // Appends; starts it when it is the only one. Null is ignored.
    void QueueAnimation(const SpriteAnimation* animation);
    // Puts it in front and starts it at once; the interrupted one plays again from its first frame
    // afterwards. Null is ignored.
    void InterruptAnimation(const SpriteAnimation* animation);
    // Restarts the head of the queue from its first frame. Throws std::out_of_range for an
    // animation without frames.
    void StartCurrentAnimation();

    bool IsCurrentAnimation(const SpriteAnimation* animation) const;
    // Null when nothing plays.
    const SpriteAnimation* GetCurrentAnimation() const { return m_queue.empty() ? nullptr : m_queue.front(); }
    size_t GetQueueLength() const { return m_queue.size(); }

    // The frame shown: index 0 lasting 1 s before anything played, and the last one shown after the
    // queue ran empty.
    const SpriteAnimationFrame& GetCurrentFrame() const { return m_currentFrame; }
    int GetFramePosition() const { return m_framePosition; }
    int GetPlaysLeft() const { return m_playsLeft; }
    bool IsReversed() const { return m_reverse; }

    // Advances beyond this many in one update drop the rest of the step, so no frame length or
    // step length can keep an update busy for long.
    static constexpr int MaxAdvancesPerUpdate = 65536;

private:
    float CurrentDuration() const;
    void Advance();

    Kestrin::NameId m_name;
    std::deque<const SpriteAnimation*> m_queue;
    int m_framePosition = 0;
    int m_frameCount = 0;
    SpriteAnimationFrame m_currentFrame;
    int m_playsLeft = 0;
    bool m_reverse = false;
    float m_frameStart = 0.0f;
    float m_elapsed = 0.0f;
};

// The object name of the controller that all nodes of one sprite type may share.
Kestrin::NameId MakeSharedAnimationControllerName(const char* spriteTypeName);
