#include "Game/GameObject.h"

#include "Framework/Tasks.h"
#include "Scene/NodeTasks.h"
#include "Scene/SceneNode.h"

#include <cmath>

namespace
{
// Pushing apart moves one unit per round; a NaN centre would overlap for ever.
constexpr int MaxPushRounds = 10000;
constexpr int MaxStuckPasses = 20;
constexpr float BlinkHalfPeriod = 0.1f;
constexpr float BlinkLength = 1.0f;
} // namespace

GameObject::GameObject(float x, float y, float width, float height, bool movable_, bool extraFlag_)
    : CollisionTreeComponent(Vector2f(x + width / 2, y + height / 2), width, height), extraFlag(extraFlag_)
{
    movable = movable_;
}

GameObject::~GameObject() = default;

float GameObject::GetDepthOffset() const
{
    return 0.0f;
}

void GameObject::OnLineContact(LineSegment*) {}

float GameObject::GetSpeed() const
{
    return speed;
}

void GameObject::SetSpeed(float speed_)
{
    speed = speed_;
}

bool GameObject::PushApart(CollisionTreeComponent* other)
{
    if (!movable)
        return false;
    if (!colliding)
        hitCount = 0;
    else if (hitCount > MaxStuckPasses)
        return false;
    for (int round = 0; round < MaxPushRounds && Overlaps(*other) && other->Overlaps(*this); ++round)
    {
        Vector2f here = GetCentre(), there = other->GetCentre();
        if (here == there)
        {
            here.x += 0.1f;
            SetPosition(here);
        }
        Vector2f d = here - there;
        float len = std::sqrt(d.x * d.x + d.y * d.y);
        Vector2f next = there + d * ((len + 1) / len);
        if (!std::isfinite(next.x) || !std::isfinite(next.y))
            break;
        SetPosition(next);
    }
    ClearChannel(GameNames::MovementAITask);
    return true;
}

void GameObject::OnLooped()
{
    if (!layoutNode)
        return;
    using namespace Kestrin;
    auto* blink = new RepeatingTask(new SerialTask(new NodeAlphaTask(1.0f), new TimedTask(BlinkHalfPeriod)),
                                    new SerialTask(new NodeAlphaTask(0.0f), new TimedTask(BlinkHalfPeriod)));
    auto* limited = new ParallelTask(ParallelTask::Any, new TimedTask(BlinkLength), blink);
    layoutNode->SetChannelTask(GameNames::GotLooped, new SerialTask(limited, new NodeAlphaTask(1.0f)));
}

void GameObject::OnCollision(CollisionTreeComponent*) {}

void GameObject::SyncNodePosition(Vector2f centre)
{
    if (!layoutNode)
        return;
    SceneNode::Rectf bounds = layoutNode->GetSubtreeBounds();
    layoutNode->SetPosition(centre.x - bounds.w / 2, centre.y - bounds.h / 2);
}

SceneNode* GameObject::CreateNode()
{
    return layoutNode;
}
