#pragma once
// Points and the domain transforms the shapes are drawn through.
#include "Det.h"

#include <cmath>

namespace DataGen
{
struct Vec2
{
    double x = 0.0, y = 0.0;
};

inline Vec2 operator+(Vec2 a, Vec2 b)
{
    return {a.x + b.x, a.y + b.y};
}
inline Vec2 operator-(Vec2 a, Vec2 b)
{
    return {a.x - b.x, a.y - b.y};
}
inline Vec2 operator-(Vec2 a)
{
    return {-a.x, -a.y};
}
inline Vec2 operator*(Vec2 a, double s)
{
    return {a.x * s, a.y * s};
}
inline Vec2 operator*(double s, Vec2 a)
{
    return {a.x * s, a.y * s};
}
inline Vec2 operator/(Vec2 a, double s)
{
    return {a.x / s, a.y / s};
}
inline double Dot(Vec2 a, Vec2 b)
{
    return a.x * b.x + a.y * b.y;
}
inline double Cross(Vec2 a, Vec2 b)
{
    return a.x * b.y - a.y * b.x;
}
inline double Length(Vec2 a)
{
    return std::sqrt(a.x * a.x + a.y * a.y);
}
inline Vec2 Abs(Vec2 a)
{
    return {std::fabs(a.x), std::fabs(a.y)};
}
inline Vec2 Max(Vec2 a, double m)
{
    return {a.x > m ? a.x : m, a.y > m ? a.y : m};
}
inline Vec2 Normalize(Vec2 a)
{
    const double l = Length(a);
    return l > 0.0 ? a / l : Vec2{0.0, 0.0};
}
inline Vec2 Mix(Vec2 a, Vec2 b, double t)
{
    return a + (b - a) * t;
}

// Rotates p about c by `turns` (clockwise on screen, where y points down).
inline Vec2 Rotate(Vec2 p, Vec2 c, double turns)
{
    const double s = Det::SinTurns(turns), k = Det::CosTurns(turns);
    const Vec2 d = p - c;
    return {c.x + d.x * k - d.y * s, c.y + d.x * s + d.y * k};
}
} // namespace DataGen
