#include "Scene/NodeTasks.h"

#include "Scene/AnimatedSpriteNode.h"
#include "Scene/SceneNode.h"

#include <stdexcept>

using namespace Kestrin;

namespace
{

SceneNode* NodeOrThrow(Object* target, const char* error)
{
    auto* node = dynamic_cast<SceneNode*>(target);
    if (!node)
        throw std::runtime_error(error);
    return node;
}

std::shared_ptr<Interpolator> Linear()
{
    return std::make_shared<LinearInterpolator>();
}

std::shared_ptr<Interpolator> Immediate()
{
    return std::make_shared<ImmediateInterpolator>();
}

} // namespace

// ---- what the interpolating tasks read and write ----

const char* const NodeAlphaTraits::Error = "NodeAlphaTask must be applied to a SceneNode";
const char* const NodeLocationTraits::Error = "NodeLocationTask must be applied to a SceneNode";
const char* const NodeScaleTraits::Error = "NodeScaleTask must be applied to a SceneNode";
const char* const NodeColorTraits::Error = "NodeColorTask must be applied to a SceneNode";

float NodeAlphaTraits::Read(const SceneNode& node)
{
    return node.GetLocalState().color.a;
}

void NodeAlphaTraits::Write(SceneNode& node, const float& value)
{
    node.SetAlpha(value);
}

float NodeAlphaTraits::Mix(Interpolator& i, const float& from, const float& to, float elapsed, float duration)
{
    return i.Interpolate(from, to, elapsed, duration);
}

Vector2<float> NodeVectorTraits::Mix(Interpolator& i, const Value& from, const Value& to, float elapsed,
                                     float duration)
{
    Value value;
    value.y = i.Interpolate(from.y, to.y, elapsed, duration);
    value.x = i.Interpolate(from.x, to.x, elapsed, duration);
    return value;
}

Vector2<float> NodeLocationTraits::Read(const SceneNode& node)
{
    return {node.GetLocalState().x, node.GetLocalState().y};
}

void NodeLocationTraits::Write(SceneNode& node, const Value& value)
{
    node.SetPosition(value.x, value.y);
}

Vector2<float> NodeScaleTraits::Read(const SceneNode& node)
{
    return {node.GetLocalState().scaleX, node.GetLocalState().scaleY};
}

void NodeScaleTraits::Write(SceneNode& node, const Value& value)
{
    node.SetScale(value.x, value.y);
}

ColorF NodeColorTraits::Read(const SceneNode& node)
{
    return node.GetLocalState().color;
}

void NodeColorTraits::Write(SceneNode& node, const Value& value)
{
    node.SetColor(value);
}

ColorF NodeColorTraits::Mix(Interpolator& i, const Value& from, const Value& to, float elapsed,
                            float duration)
{
    Value value;
    value.a = i.Interpolate(from.a, to.a, elapsed, duration);
    value.b = i.Interpolate(from.b, to.b, elapsed, duration);
    value.g = i.Interpolate(from.g, to.g, elapsed, duration);
    value.r = i.Interpolate(from.r, to.r, elapsed, duration);
    return value;
}

// ---- the shared update ----

template <typename Traits> TaskStatus NodeInterpolatingTask<Traits>::Update(Object* target, float dt)
{
    SceneNode* node = NodeOrThrow(target, Traits::Error);
    if (m_elapsed == 0.0f)
    {
        m_from = Traits::Read(*node);
        m_to = m_target->Generate();
    }
    const TaskStatus status = BetterTimedTask::Update(target, dt);
    // The setter raises the written field's dirty bit.
    Traits::Write(*node, Traits::Mix(*m_interpolator, m_from, m_to, m_elapsed, m_duration));
    return status;
}

template <typename Traits> Task* NodeInterpolatingTask<Traits>::Clone() const
{
    return new NodeInterpolatingTask(m_target->Clone(), m_durationGen->Clone(), m_interpolator);
}

template class NodeInterpolatingTask<NodeAlphaTraits>;
template class NodeInterpolatingTask<NodeLocationTraits>;
template class NodeInterpolatingTask<NodeScaleTraits>;
template class NodeInterpolatingTask<NodeColorTraits>;

// ---- the constructors of the system's own use ----

NodeAlphaTask::NodeAlphaTask(float alpha)
    : NodeInterpolatingTask(MakeConstGenerator(alpha), MakeConstGenerator(0.0f), Immediate())
{
}

NodeAlphaTask::NodeAlphaTask(float alpha, float duration)
    : NodeInterpolatingTask(MakeConstGenerator(alpha), MakeConstGenerator(duration), Linear())
{
}

Task* NodeAlphaTask::Clone() const
{
    return new NodeAlphaTask(GetTargetGenerator()->Clone(), m_durationGen->Clone(), m_interpolator);
}

NodeLocationTask::NodeLocationTask(int x, int y, float duration)
    : NodeLocationTask(float(x), float(y), duration)
{
}

NodeLocationTask::NodeLocationTask(float x, float y, float duration)
    : NodeInterpolatingTask(std::make_shared<Vector2Generator<float>>(x, y), MakeConstGenerator(duration),
                            Linear())
{
}

NodeLocationTask::NodeLocationTask(const Vector2<float>& position, float duration)
    : NodeLocationTask(position.x, position.y, duration)
{
}

Task* NodeLocationTask::Clone() const
{
    return new NodeLocationTask(GetTargetGenerator()->Clone(), m_durationGen->Clone(), m_interpolator);
}

NodeScaleTask::NodeScaleTask(float scaleX, float scaleY, float duration)
    : NodeInterpolatingTask(std::make_shared<Vector2Generator<float>>(scaleX, scaleY),
                            MakeConstGenerator(duration), Linear())
{
}

NodeScaleTask::NodeScaleTask(const Vector2<float>& scale, float duration)
    : NodeScaleTask(scale.x, scale.y, duration)
{
}

Task* NodeScaleTask::Clone() const
{
    return new NodeScaleTask(GetTargetGenerator()->Clone(), m_durationGen->Clone(), m_interpolator);
}

NodeColorTask::NodeColorTask(const ColorF& color)
    : NodeInterpolatingTask(std::make_shared<ColorFGenerator>(color), MakeConstGenerator(0.0f), Immediate())
{
}

Task* NodeColorTask::Clone() const
{
    return new NodeColorTask(GetTargetGenerator()->Clone(), m_durationGen->Clone(), m_interpolator);
}

// ---- visibility and animation ----

NodeVisibleTask::NodeVisibleTask(bool visible) : m_visible(MakeConstGenerator(visible)) {}

NodeVisibleTask::NodeVisibleTask(std::shared_ptr<NumberGenerator<bool>> visible)
    : m_visible(std::move(visible))
{
}

Task* NodeVisibleTask::Clone() const
{
    return new NodeVisibleTask(m_visible->Clone());
}

TaskStatus NodeVisibleTask::Update(Object* target, float)
{
    SceneNode* node = NodeOrThrow(target, "NodeVisibleTask must be applied to a SceneNode");
    node->SetVisible(m_visible->Generate());
    return {false, 0.0f};
}

Task* NodeAnimationTask::Clone() const
{
    return new NodeAnimationTask(m_animation, m_mode, m_wait);
}

TaskStatus NodeAnimationTask::Update(Object* target, float)
{
    auto* node = dynamic_cast<AnimatedSpriteNode*>(target);
    if (!node)
        throw std::runtime_error("NodeAnimationTask applied to a non-AnimatedSpriteNode object");
    if (!m_started)
    {
        if (m_mode == Play)
            node->PlayAnimation(m_animation, false);
        else if (m_mode == Interrupt)
            node->InterruptWithAnimation(m_animation);
        else if (m_mode == Queue)
            node->QueueAnimation(m_animation);
        m_started = true;
    }
    if (m_wait == 0)
        return TaskFinished;
    return node->IsPlayingAnimation(m_animation) ? TaskRunning : TaskFinished;
}
