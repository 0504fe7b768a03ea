#pragma once
#include "Base/Geometry.h"
#include "Framework/Task.h"
#include "Framework/Tasks.h"
#include "Framework/ValueResources.h"

#include <memory>

// ---- value generators: where a task's target value and duration come from ----

// A source of values; several tasks may share one. Clone makes an independent copy.
template <typename T> class NumberGenerator
{
public:
    virtual ~NumberGenerator() = default;
    virtual T Generate() = 0;
    virtual std::shared_ptr<NumberGenerator<T>> Clone() const = 0;
};

template <typename T> class ConstNumberGenerator : public NumberGenerator<T>
{
public:
    explicit ConstNumberGenerator(T value) : m_value(value) {}
    T Generate() override { return m_value; }
    std::shared_ptr<NumberGenerator<T>> Clone() const override
    {
        return std::make_shared<ConstNumberGenerator<T>>(m_value);
    }

private:
    T m_value;
};

// min + r (max - min), r the next float of the current random-number stream (which must exist).
class RandomRangeGenerator : public NumberGenerator<float>
{
public:
    explicit RandomRangeGenerator(const Kestrin::RandomRange& range) : m_range(range) {}
    float Generate() override;
    std::shared_ptr<NumberGenerator<float>> Clone() const override;

    const Kestrin::RandomRange& GetRange() const { return m_range; }

private:
    Kestrin::RandomRange m_range;
};

template <typename T> std::shared_ptr<NumberGenerator<T>> MakeConstGenerator(T value)
{
    return std::make_shared<ConstNumberGenerator<T>>(value);
}

// A point from two generators; y is drawn before x.
template <typename T> class Vector2Generator
{
public:
    using Component = std::shared_ptr<NumberGenerator<T>>;

    Vector2Generator(Component x_, Component y_) : x(std::move(x_)), y(std::move(y_)) {}
    Vector2Generator(T x_, T y_) : x(MakeConstGenerator(x_)), y(MakeConstGenerator(y_)) {}

    Kestrin::Vector2<T> Generate()
    {
        const T yValue = y->Generate();
        const T xValue = x->Generate();
        return {xValue, yValue};
    }
    std::shared_ptr<Vector2Generator<T>> Clone() const
    {
        Component yClone = y->Clone();
        Component xClone = x->Clone();
        return std::make_shared<Vector2Generator<T>>(std::move(xClone), std::move(yClone));
    }

    Component x;
    Component y;
};

// A colour from four generators, drawn in the order a, b, g, r.
class ColorFGenerator
{
public:
    using Component = std::shared_ptr<NumberGenerator<float>>;

    ColorFGenerator(Component r_, Component g_, Component b_, Component a_)
        : r(std::move(r_)), g(std::move(g_)), b(std::move(b_)), a(std::move(a_))
    {
    }
    explicit ColorFGenerator(const Kestrin::ColorF& color);

    Kestrin::ColorF Generate();
    std::shared_ptr<ColorFGenerator> Clone() const;

    Component r;
    Component g;
    Component b;
    Component a;
};

// ---- task bases ----

// Runs for a duration drawn from its generator at the start of each run. The last update answers
// only the part of the step it needed, so the next task of a list gets the rest. A duration that
// is negative or not a number counts as 0.
class BetterTimedTask : public Kestrin::Task
{
public:
    explicit BetterTimedTask(float duration);
    explicit BetterTimedTask(std::shared_ptr<NumberGenerator<float>> durationGen);

    // A fresh run sharing the duration generator.
    Kestrin::Task* Clone() const override;
    Kestrin::TaskStatus Update(Kestrin::Object* target, float dt) override;

    float GetDuration() const { return m_duration; }
    float GetElapsed() const { return m_elapsed; }
    const std::shared_ptr<NumberGenerator<float>>& GetDurationGenerator() const { return m_durationGen; }

protected:
    std::shared_ptr<NumberGenerator<float>> m_durationGen;
    float m_duration = 0.0f;
    float m_elapsed = 0.0f;
};

// A timed task that moves values with an interpolator (shared by its clones).
class BetterInterpolatingTask : public BetterTimedTask
{
public:
    BetterInterpolatingTask(float duration, std::shared_ptr<Kestrin::Interpolator> interpolator);
    BetterInterpolatingTask(std::shared_ptr<NumberGenerator<float>> durationGen,
                            std::shared_ptr<Kestrin::Interpolator> interpolator);

    Kestrin::Task* Clone() const override;

    const std::shared_ptr<Kestrin::Interpolator>& GetInterpolator() const { return m_interpolator; }

protected:
    std::shared_ptr<Kestrin::Interpolator> m_interpolator;
};
