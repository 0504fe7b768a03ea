#pragma once
// The zone shuffles of the creature and trap factories: for each position i after the first,
// swap element i with element (rand() & 0x7FFF) mod (i + 1). The draws come from the C library's
// rand() unless a source is installed, so a test (or a replay) can fix them.
#include <cstdint>
#include <functional>
#include <iterator>
#include <utility>

// One draw of the shuffle's generator: 0..32767 is all the formula keeps.
using ShuffleRandomSource = std::function<int()>;
// An empty function restores rand().
void SetShuffleRandomSource(ShuffleRandomSource source);
int NextShuffleRandom();

// A linear congruential generator with the classic C library constants (multiplier 214013,
// increment 2531011, bits 16..30 answered), a seedable source that gives the same sequence on
// every platform.
class ShuffleLcg
{
public:
    explicit ShuffleLcg(uint32_t seed) : m_state(seed) {}
    int operator()()
    {
        m_state = m_state * 214013u + 2531011u;
        return int((m_state >> 16) & 0x7FFFu);
    }

private:
    uint32_t m_state;
};

template <typename RandomIt> void ShuffleWithRand(RandomIt first, RandomIt last)
{
    const auto count = std::distance(first, last);
    for (decltype(std::distance(first, last)) i = 1; i < count; ++i)
    {
        const auto j = (NextShuffleRandom() & 0x7FFF) % (i + 1);
        using std::swap;
        swap(first[i], first[j]);
    }
}
