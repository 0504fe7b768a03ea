#pragma once
// Arithmetic that gives the same bits on every machine: only IEEE basic operations
// (with -ffp-contract=off), no libm transcendentals, whose results differ between
// library versions and CPU-dispatched variants.
#include <cmath>
#include <cstdint>

namespace AudioGen::Det
{
inline constexpr double Pi = 3.141592653589793;
inline constexpr double Ln2 = 0.6931471805599453;

// sin(2*pi*t): t in turns, any range.
inline double SinTurns(double t)
{
    t -= std::floor(t);               // [0, 1)
    double x = t < 0.5 ? t : t - 1.0; // (-0.5, 0.5]
    if (x > 0.25)
        x = 0.5 - x;
    else if (x < -0.25)
        x = -0.5 - x; // [-0.25, 0.25]
    const double y = 2.0 * Pi * x;
    const double y2 = y * y;
    // Taylor series to y^15: error below 1e-11 on [-pi/2, pi/2].
    double s = -1.0 / 1307674368000.0;
    s = 1.0 / 6227020800.0 + y2 * s;
    s = -1.0 / 39916800.0 + y2 * s;
    s = 1.0 / 362880.0 + y2 * s;
    s = -1.0 / 5040.0 + y2 * s;
    s = 1.0 / 120.0 + y2 * s;
    s = -1.0 / 6.0 + y2 * s;
    return y + y * y2 * s;
}

inline double CosTurns(double t)
{
    return SinTurns(t + 0.25);
}

inline double Exp(double x)
{
    if (x < -700.0)
        return 0.0;
    if (x > 700.0)
        x = 700.0;
    const double k = std::floor(x / Ln2 + 0.5);
    const double r = x - k * Ln2; // |r| <= ln2 / 2
    double s = 1.0;
    for (int n = 14; n >= 1; --n)
        s = 1.0 + s * r / n;
    return std::ldexp(s, static_cast<int>(k)); // exact scaling
}

inline double Exp2(double x)
{
    return Exp(x * Ln2);
}

inline double Log(double x)
{
    if (!(x > 0.0))
        return -1e300;
    int e = 0;
    double m = std::frexp(x, &e); // exact: m in [0.5, 1)
    if (m < 0.7071067811865476)
    {
        m *= 2.0;
        --e;
    }
    const double z = (m - 1.0) / (m + 1.0);
    const double z2 = z * z;
    double s = 0.0;
    for (int n = 21; n >= 1; n -= 2)
        s = 1.0 / n + z2 * s;
    return 2.0 * z * s + e * Ln2;
}

inline double Log2(double x)
{
    return Log(x) / Ln2;
}

// Frequency of a MIDI note (69 = A 440 Hz).
inline double NoteHz(double midi)
{
    return 440.0 * Exp2((midi - 69.0) / 12.0);
}

// Gain for a level in decibels.
inline double DbToGain(double db)
{
    return Exp(db * (Ln2 / 6.020599913279624));
}

// Soft saturation, odd and monotonic, about tanh on [-3, 3] and clamped beyond.
inline double SoftClip(double x)
{
    if (x > 3.0)
        return 1.0;
    if (x < -3.0)
        return -1.0;
    const double x2 = x * x;
    return x * (27.0 + x2) / (27.0 + 9.0 * x2);
}
} // namespace AudioGen::Det
