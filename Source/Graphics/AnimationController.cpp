#include "Graphics/AnimationController.h"

#include <algorithm>

AnimationController::AnimationController(Kestrin::NameId name) : m_name(name) {}

void AnimationController::PlayAnimation(const SpriteAnimation* animation, bool restart)
{
    if (!animation)
        return;
    const SpriteAnimation* previous = GetCurrentAnimation();
    m_queue.clear();
    m_queue.push_back(animation);
    if (animation != previous || restart)
        StartCurrentAnimation();
}

void AnimationController::QueueAnimation(const SpriteAnimation* animation)
{
    if (!animation)
        return;
    m_queue.push_back(animation);
    if (m_queue.size() == 1)
        StartCurrentAnimation();
}

void AnimationController::InterruptAnimation(const SpriteAnimation* animation)
{
    if (!animation)
        return;
    m_queue.push_front(animation);
    StartCurrentAnimation();
}

void AnimationController::StartCurrentAnimation()
{
    if (m_queue.empty())
        return;
    const SpriteAnimation* head = m_queue.front();
    m_currentFrame = head->frames.at(0);
    m_frameCount = int(head->frames.size());
    m_framePosition = 0;
    m_playsLeft = head->plays;
    m_reverse = false;
    m_frameStart = 0.0f;
    m_elapsed = 0.0f;
}

bool AnimationController::IsCurrentAnimation(const SpriteAnimation* animation) const
{
    return !m_queue.empty() && m_queue.front() == animation;
}

float AnimationController::CurrentDuration() const
{
    return std::max(m_currentFrame.duration, MinSpriteFrameDuration);
}

void AnimationController::Update(float dt)
{
    if (m_queue.empty())
        return;
    m_elapsed += dt;
    int advances = 0;
    // A frame gives way only once its duration has been exceeded, not merely reached.
    while (!m_queue.empty() && CurrentDuration() < m_elapsed - m_frameStart)
    {
        if (++advances > MaxAdvancesPerUpdate)
        {
            m_elapsed = m_frameStart;
            break;
        }
        m_frameStart += CurrentDuration();
        // Keep the clock near zero: a growing frame start would stop changing when a short
        // duration is added to it, and an endless animation's time would lose precision.
        m_elapsed -= m_frameStart;
        m_frameStart = 0.0f;
        Advance();
    }
}

void AnimationController::Advance()
{
    const SpriteAnimation* head = m_queue.front();
    m_framePosition += m_reverse ? -1 : 1;
    if (m_framePosition >= 0 && m_framePosition < m_frameCount)
    {
        m_currentFrame = head->frames[size_t(m_framePosition)];
        return;
    }

    if (m_playsLeft >= 0)
        --m_playsLeft;
    if (m_playsLeft == 0)
    {
        m_queue.pop_front();
        if (head->linkedAnimation)
        {
            // In front of anything queued, and with this step's leftover time.
            const float frameStart = m_frameStart;
            const float elapsed = m_elapsed;
            m_queue.push_front(head->linkedAnimation);
            StartCurrentAnimation();
            m_frameStart = frameStart;
            m_elapsed = elapsed;
        }
        else
        {
            // A queued animation starts afresh; with nothing queued the last frame stays.
            StartCurrentAnimation();
        }
        return;
    }

    if (head->pingPong)
    {
        m_framePosition = m_reverse ? 1 : m_frameCount - 2;
        m_reverse = !m_reverse;
        m_framePosition = std::clamp(m_framePosition, 0, std::max(m_frameCount - 1, 0));
    }
    else
    {
        m_framePosition = 0;
    }
    m_currentFrame = head->frames[size_t(m_framePosition)];
}

Kestrin::NameId MakeSharedAnimationControllerName(const char* spriteTypeName)
{
    return Kestrin::InternNameF("%sSharedAnimationController", spriteTypeName ? spriteTypeName : "");
}
