#pragma once
// The generator's own PRNG (PCG32, XSH RR) and value noise built on it: one fixed seed per
// asset gives the same texture everywhere.
#include <array>
#include <cstdint>

namespace DataGen
{
class Pcg32
{
public:
    explicit Pcg32(uint64_t seed, uint64_t stream = 0x5851F42D4C957F2Dull);
    uint32_t Next();
    // [0, 1)
    double Uniform() { return Next() * (1.0 / 4294967296.0); }
    // [-1, 1)
    double Signed() { return Uniform() * 2.0 - 1.0; }
    // [0, n)
    int Below(int n);

private:
    uint64_t state_ = 0;
    uint64_t inc_;
};

// Smooth value noise on a 256-cell lattice; At() is in [0, 1].
class ValueNoise
{
public:
    explicit ValueNoise(uint64_t seed);
    double At(double x, double y) const;
    // Repeats every `period` lattice cells in x and y (period 1..256), for tiles.
    double AtPeriodic(double x, double y, int period) const;
    // Sum of octaves, each at twice the frequency and `gain` times the amplitude; in [0, 1].
    double Fbm(double x, double y, int octaves, double gain = 0.5) const;

private:
    double Lattice(int x, int y) const;
    std::array<uint8_t, 512> perm_{};
    std::array<double, 256> values_{};
};
} // namespace DataGen
