#pragma once
#include "Scene/TimedTasks.h"

#include <cstdint>
#include <memory>

class SceneNode;

// Timeline steps that change a scene node: they write the node's own (local) state and mark it
// dirty; the refresh derives the world state. A task given an object of the wrong kind throws
// std::runtime_error (a programming error) and leaves the node and itself as they were.
//
// Each run reads its start value from the node at its first update, so a clone (every node task
// clones, for repeating lists) starts from wherever the node is then. The last update of a run
// writes exactly the target value.

// The interpolating node tasks share one shape: a target generator, and the from and to values of
// the current run. Traits say what they read and write.
template <typename Traits> class NodeInterpolatingTask : public BetterInterpolatingTask
{
public:
    using Value = typename Traits::Value;
    using Generator = typename Traits::Generator;

    NodeInterpolatingTask(std::shared_ptr<Generator> target,
                          std::shared_ptr<NumberGenerator<float>> durationGen,
                          std::shared_ptr<Kestrin::Interpolator> interpolator)
        : BetterInterpolatingTask(std::move(durationGen), std::move(interpolator)),
          m_target(std::move(target))
    {
    }

    Kestrin::Task* Clone() const override;
    Kestrin::TaskStatus Update(Kestrin::Object* target, float dt) override;

    const Value& GetFrom() const { return m_from; }
    const Value& GetTo() const { return m_to; }
    const std::shared_ptr<Generator>& GetTargetGenerator() const { return m_target; }

private:
    std::shared_ptr<Generator> m_target;
    Value m_from = Traits::Initial();
    Value m_to = Traits::Initial();
};

// What each interpolating task reads and writes, and how it mixes its values (vectors y before x,
// colours a, b, g, r).
struct NodeAlphaTraits
{
    using Value = float;
    using Generator = NumberGenerator<float>;
    static const char* const Error;
    static Value Initial() { return 0.0f; }
    static Value Read(const SceneNode& node);
    static void Write(SceneNode& node, const Value& value);
    static Value Mix(Kestrin::Interpolator& i, const Value& from, const Value& to, float elapsed,
                     float duration);
};

struct NodeVectorTraits
{
    using Value = Kestrin::Vector2<float>;
    using Generator = Vector2Generator<float>;
    static Value Initial() { return {0.0f, 0.0f}; }
    static Value Mix(Kestrin::Interpolator& i, const Value& from, const Value& to, float elapsed,
                     float duration);
};

struct NodeLocationTraits : NodeVectorTraits
{
    static const char* const Error;
    static Value Read(const SceneNode& node);
    static void Write(SceneNode& node, const Value& value);
};

struct NodeScaleTraits : NodeVectorTraits
{
    static const char* const Error;
    static Value Read(const SceneNode& node);
    static void Write(SceneNode& node, const Value& value);
};

struct NodeColorTraits
{
    using Value = Kestrin::ColorF;
    using Generator = ColorFGenerator;
    static const char* const Error;
    static Value Initial() { return {1.0f, 1.0f, 1.0f, 1.0f}; }
    static Value Read(const SceneNode& node);
    static void Write(SceneNode& node, const Value& value);
    static Value Mix(Kestrin::Interpolator& i, const Value& from, const Value& to, float elapsed,
                     float duration);
};

extern template class NodeInterpolatingTask<NodeAlphaTraits>;
extern template class NodeInterpolatingTask<NodeLocationTraits>;
extern template class NodeInterpolatingTask<NodeScaleTraits>;
extern template class NodeInterpolatingTask<NodeColorTraits>;

// Fades the node's alpha (its colour's fourth channel).
class NodeAlphaTask : public NodeInterpolatingTask<NodeAlphaTraits>
{
public:
    using NodeInterpolatingTask::NodeInterpolatingTask;
    // At once.
    explicit NodeAlphaTask(float alpha);
    // Linearly over the duration in seconds.
    NodeAlphaTask(float alpha, float duration);

    Kestrin::Task* Clone() const override;
};

// Moves the node's position relative to its parent, linearly.
class NodeLocationTask : public NodeInterpolatingTask<NodeLocationTraits>
{
public:
    using NodeInterpolatingTask::NodeInterpolatingTask;
    NodeLocationTask(int x, int y, float duration);
    NodeLocationTask(float x, float y, float duration);
    NodeLocationTask(const Kestrin::Vector2<float>& position, float duration);

    Kestrin::Task* Clone() const override;
};

// Scales the node, linearly.
class NodeScaleTask : public NodeInterpolatingTask<NodeScaleTraits>
{
public:
    using NodeInterpolatingTask::NodeInterpolatingTask;
    NodeScaleTask(float scaleX, float scaleY, float duration);
    NodeScaleTask(const Kestrin::Vector2<float>& scale, float duration);

    Kestrin::Task* Clone() const override;
};

// Sets all four channels of the node's colour, alpha included.
class NodeColorTask : public NodeInterpolatingTask<NodeColorTraits>
{
public:
    using NodeInterpolatingTask::NodeInterpolatingTask;
    // At once.
    explicit NodeColorTask(const Kestrin::ColorF& color);

    Kestrin::Task* Clone() const override;
};

// Shows or hides the node and ends at once, using none of the step.
class NodeVisibleTask : public Kestrin::Task
{
public:
    explicit NodeVisibleTask(bool visible);
    explicit NodeVisibleTask(std::shared_ptr<NumberGenerator<bool>> visible);

    Kestrin::Task* Clone() const override;
    Kestrin::TaskStatus Update(Kestrin::Object* target, float dt) override;

private:
    std::shared_ptr<NumberGenerator<bool>> m_visible;
};

// Starts an animation on an animated sprite node, once: played now, interrupting, or queued. With
// wait set it runs on while that animation is the node's current one; without, it ends at once.
// Either way it uses the whole step.
class NodeAnimationTask : public Kestrin::Task
{
public:
    enum Mode : uint32_t
    {
        Play = 0,
        Interrupt = 1,
        Queue = 2, // any other value starts nothing
    };

    NodeAnimationTask(Kestrin::NameId animation, uint32_t mode = Play, uint32_t wait = 1)
        : m_animation(animation), m_mode(mode), m_wait(wait)
    {
    }

    Kestrin::Task* Clone() const override;
    Kestrin::TaskStatus Update(Kestrin::Object* target, float dt) override;

    bool HasStarted() const { return m_started; }

private:
    Kestrin::NameId m_animation;
    uint32_t m_mode;
    uint32_t m_wait;
    bool m_started = false;
};
