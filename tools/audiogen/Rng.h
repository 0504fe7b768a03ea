#pragma once
// The generator's own PRNG (PCG32, XSH RR): fixed seeds give the same numbers everywhere.
#include <cstdint>

namespace AudioGen
{
class Pcg32
{
public:
    explicit Pcg32(uint64_t seed, uint64_t stream = 0x5851F42D4C957F2Dull) : inc_((stream << 1) | 1u)
    {
        Next();
        state_ += seed;
        Next();
    }

    uint32_t Next()
    {
        const uint64_t old = state_;
        state_ = old * 6364136223846793005ull + inc_;
        const uint32_t xorshifted = static_cast<uint32_t>(((old >> 18u) ^ old) >> 27u);
        const uint32_t rot = static_cast<uint32_t>(old >> 59u);
        return (xorshifted >> rot) | (xorshifted << ((32u - rot) & 31u));
    }

    // [0, 1) with 32 random bits.
    double Uniform() { return Next() * (1.0 / 4294967296.0); }
    // [-1, 1)
    double Signed() { return Uniform() * 2.0 - 1.0; }
    // [0, n) for n > 0, without modulo bias worth caring about at these sizes.
    int Below(int n)
    {
        return n <= 1 ? 0
                      : static_cast<int>((static_cast<uint64_t>(Next()) * static_cast<uint64_t>(n)) >> 32);
    }
    bool Chance(double p) { return Uniform() < p; }

private:
    uint64_t state_ = 0;
    uint64_t inc_;
};
} // namespace AudioGen
