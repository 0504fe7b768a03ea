#include "Scene/TimedTasks.h"

#include "Base/Random.h"

#include <algorithm>

using namespace Kestrin;

float RandomRangeGenerator::Generate()
{
    return RandomFloat(m_range.min, m_range.max);
}

std::shared_ptr<NumberGenerator<float>> RandomRangeGenerator::Clone() const
{
    return std::make_shared<RandomRangeGenerator>(m_range);
}

ColorFGenerator::ColorFGenerator(const ColorF& color)
    : r(MakeConstGenerator(color.r)), g(MakeConstGenerator(color.g)), b(MakeConstGenerator(color.b)),
      a(MakeConstGenerator(color.a))
{
}

ColorF ColorFGenerator::Generate()
{
    ColorF color;
    color.a = a->Generate();
    color.b = b->Generate();
    color.g = g->Generate();
    color.r = r->Generate();
    return color;
}

std::shared_ptr<ColorFGenerator> ColorFGenerator::Clone() const
{
    Component aClone = a->Clone();
    Component bClone = b->Clone();
    Component gClone = g->Clone();
    Component rClone = r->Clone();
    return std::make_shared<ColorFGenerator>(std::move(rClone), std::move(gClone), std::move(bClone),
                                             std::move(aClone));
}

BetterTimedTask::BetterTimedTask(float duration) : m_durationGen(MakeConstGenerator(duration)) {}

BetterTimedTask::BetterTimedTask(std::shared_ptr<NumberGenerator<float>> durationGen)
    : m_durationGen(std::move(durationGen))
{
}

Task* BetterTimedTask::Clone() const
{
    return new BetterTimedTask(m_durationGen);
}

TaskStatus BetterTimedTask::Update(Object*, float dt)
{
    if (m_elapsed == 0.0f)
    {
        m_duration = m_durationGen ? m_durationGen->Generate() : 0.0f;
        // A negative duration would hand the list more time than the step had.
        if (!(m_duration > 0.0f))
            m_duration = 0.0f;
    }
    m_elapsed += dt;
    if (m_elapsed < m_duration)
        return TaskRunning;
    // Rounding must not give away more than the step or less than nothing.
    return {false, std::clamp(dt - (m_elapsed - m_duration), 0.0f, std::max(dt, 0.0f))};
}

BetterInterpolatingTask::BetterInterpolatingTask(float duration, std::shared_ptr<Interpolator> interpolator)
    : BetterTimedTask(duration), m_interpolator(std::move(interpolator))
{
}

BetterInterpolatingTask::BetterInterpolatingTask(std::shared_ptr<NumberGenerator<float>> durationGen,
                                                 std::shared_ptr<Interpolator> interpolator)
    : BetterTimedTask(std::move(durationGen)), m_interpolator(std::move(interpolator))
{
}

Task* BetterInterpolatingTask::Clone() const
{
    return new BetterInterpolatingTask(m_durationGen, m_interpolator);
}
