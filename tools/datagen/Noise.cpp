#include "Noise.h"

#include <cmath>

namespace DataGen
{
Pcg32::Pcg32(uint64_t seed, uint64_t stream) : inc_((stream << 1) | 1u)
{
    Next();
    state_ += seed;
    Next();
}

uint32_t Pcg32::Next()
{
    const uint64_t old = state_;
    state_ = old * 6364136223846793005ull + inc_;
    const uint32_t xorshifted = static_cast<uint32_t>(((old >> 18u) ^ old) >> 27u);
    const uint32_t rot = static_cast<uint32_t>(old >> 59u);
    return (xorshifted >> rot) | (xorshifted << ((32u - rot) & 31u));
}

int Pcg32::Below(int n)
{
    if (n <= 1)
        return 0;
    return static_cast<int>((static_cast<uint64_t>(Next()) * static_cast<uint64_t>(n)) >> 32);
}

ValueNoise::ValueNoise(uint64_t seed)
{
    Pcg32 rng(seed, 0x9E3779B97F4A7C15ull);
    for (int i = 0; i < 256; ++i)
    {
        perm_[i] = static_cast<uint8_t>(i);
        values_[i] = rng.Uniform();
    }
    for (int i = 255; i > 0; --i)
    {
        const int j = rng.Below(i + 1);
        const uint8_t t = perm_[i];
        perm_[i] = perm_[j];
        perm_[j] = t;
    }
    for (int i = 0; i < 256; ++i)
        perm_[256 + i] = perm_[i];
}

double ValueNoise::Lattice(int x, int y) const
{
    return values_[perm_[perm_[x & 255] + (y & 255)]];
}

namespace
{
double Fade(double t)
{
    return t * t * (3.0 - 2.0 * t);
}
} // namespace

double ValueNoise::At(double x, double y) const
{
    const double fx = std::floor(x), fy = std::floor(y);
    const int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
    const double tx = Fade(x - fx), ty = Fade(y - fy);
    const double a = Lattice(ix, iy), b = Lattice(ix + 1, iy);
    const double c = Lattice(ix, iy + 1), d = Lattice(ix + 1, iy + 1);
    const double top = a + (b - a) * tx, bottom = c + (d - c) * tx;
    return top + (bottom - top) * ty;
}

double ValueNoise::AtPeriodic(double x, double y, int period) const
{
    if (period < 1)
        period = 1;
    const double fx = std::floor(x), fy = std::floor(y);
    auto wrap = [period](long v) { return static_cast<int>(((v % period) + period) % period); };
    const int x0 = wrap(static_cast<long>(fx)), y0 = wrap(static_cast<long>(fy));
    const int x1 = (x0 + 1) % period, y1 = (y0 + 1) % period;
    const double tx = Fade(x - fx), ty = Fade(y - fy);
    const double a = Lattice(x0, y0), b = Lattice(x1, y0);
    const double c = Lattice(x0, y1), d = Lattice(x1, y1);
    const double top = a + (b - a) * tx, bottom = c + (d - c) * tx;
    return top + (bottom - top) * ty;
}

double ValueNoise::Fbm(double x, double y, int octaves, double gain) const
{
    double sum = 0.0, amplitude = 1.0, total = 0.0, scale = 1.0;
    for (int i = 0; i < octaves; ++i)
    {
        // Offsetting each octave keeps lattice points from lining up.
        sum += amplitude * At(x * scale + 17.0 * i, y * scale + 31.0 * i);
        total += amplitude;
        amplitude *= gain;
        scale *= 2.0;
    }
    return total > 0.0 ? sum / total : 0.0;
}
} // namespace DataGen
