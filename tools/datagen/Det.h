#pragma once
// Arithmetic that gives the same bits on every machine: IEEE basic operations and sqrt only
// (built with -ffp-contract=off). libm's transcendentals differ between library versions and
// CPU-dispatched variants, so the few we need are our own.
#include <cmath>

namespace DataGen::Det
{
inline constexpr double Pi = 3.141592653589793;

inline double Clamp(double x, double lo, double hi)
{
    return x < lo ? lo : (x > hi ? hi : x);
}
inline double Clamp01(double x)
{
    return Clamp(x, 0.0, 1.0);
}
inline double Mix(double a, double b, double t)
{
    return a + (b - a) * t;
}
inline double Fract(double x)
{
    return x - std::floor(x);
}
inline double Smoothstep(double e0, double e1, double x)
{
    if (e0 == e1)
        return x < e0 ? 0.0 : 1.0;
    const double t = Clamp01((x - e0) / (e1 - e0));
    return t * t * (3.0 - 2.0 * t);
}

// x^n for a small whole n, by squaring.
inline double PowInt(double x, int n)
{
    double r = 1.0;
    while (n > 0)
    {
        if (n & 1)
            r *= x;
        x *= x;
        n >>= 1;
    }
    return r;
}

// sin(2*pi*t) with t in turns, any range; error below 1e-11.
inline double SinTurns(double t)
{
    t = Fract(t);
    double x = t < 0.5 ? t : t - 1.0;
    if (x > 0.25)
        x = 0.5 - x;
    else if (x < -0.25)
        x = -0.5 - x;
    const double y = 2.0 * Pi * x;
    const double y2 = y * y;
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

// The angle of (x, y) in turns, [0, 1), measured from +x towards +y; error about 2e-6 turns.
// 0 for the origin.
inline double AngleTurns(double y, double x)
{
    const double ax = std::fabs(x), ay = std::fabs(y);
    const double hi = ax > ay ? ax : ay;
    if (hi == 0.0)
        return 0.0;
    const double z = (ax < ay ? ax : ay) / hi;
    const double z2 = z * z;
    // Minimax polynomial for atan on [0, 1].
    double a = -0.0117212;
    a = 0.05265332 + z2 * a;
    a = -0.11643287 + z2 * a;
    a = 0.19354346 + z2 * a;
    a = -0.33262347 + z2 * a;
    a = 0.99997726 + z2 * a;
    double r = z * a; // radians in [0, pi/4]
    if (ay > ax)
        r = Pi / 2.0 - r;
    if (x < 0.0)
        r = Pi - r;
    if (y < 0.0)
        r = -r;
    double turns = r / (2.0 * Pi);
    if (turns < 0.0)
        turns += 1.0;
    return turns >= 1.0 ? 0.0 : turns;
}
} // namespace DataGen::Det
