#pragma once
#include "Base/Random.h"

#include <algorithm>
#include <vector>

namespace KestrinTest
{

// Answers scripted values in turn (the last one repeats).
class FakeRandomStream : public Kestrin::IRandomNumberStream
{
public:
    explicit FakeRandomStream(std::vector<float> floats, std::vector<int> ints = {0})
        : m_floats(std::move(floats)), m_ints(std::move(ints))
    {
    }
    uint32_t GetSeed() const override { return 0; }
    int NextInt() override { return m_ints[std::min(m_intPos++, m_ints.size() - 1)]; }
    float NextFloat() override { return m_floats[std::min(m_floatPos++, m_floats.size() - 1)]; }

private:
    std::vector<float> m_floats;
    std::vector<int> m_ints;
    size_t m_floatPos = 0;
    size_t m_intPos = 0;
};

} // namespace KestrinTest
