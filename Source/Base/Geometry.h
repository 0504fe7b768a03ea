#pragma once
#include <cstdint>

namespace Kestrin
{

template <typename T> struct Vector2
{
    T x{};
    T y{};

    constexpr Vector2() = default;
    constexpr Vector2(T x_, T y_) : x(x_), y(y_) {}

    constexpr Vector2 operator+(const Vector2& o) const { return {x + o.x, y + o.y}; }
    constexpr Vector2 operator-(const Vector2& o) const { return {x - o.x, y - o.y}; }
    constexpr Vector2 operator*(T s) const { return {x * s, y * s}; }
    constexpr Vector2& operator+=(const Vector2& o)
    {
        x += o.x;
        y += o.y;
        return *this;
    }
    constexpr Vector2& operator-=(const Vector2& o)
    {
        x -= o.x;
        y -= o.y;
        return *this;
    }
    constexpr bool operator==(const Vector2&) const = default;
};

// {x, y, w, h}; for integers the rectangle is half-open: x <= px < x + w.
template <typename T> struct Rect
{
    T x{};
    T y{};
    T w{};
    T h{};

    constexpr Rect() = default;
    constexpr Rect(T x_, T y_, T w_, T h_) : x(x_), y(y_), w(w_), h(h_) {}

    constexpr T Right() const { return x + w; }
    constexpr T Bottom() const { return y + h; }
    constexpr bool IsEmpty() const { return w <= 0 || h <= 0; }
    constexpr bool Contains(T px, T py) const { return px >= x && py >= y && px < x + w && py < y + h; }
    constexpr bool operator==(const Rect&) const = default;
};

struct ColorF
{
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
    float a = 0.0f;

    constexpr ColorF() = default;
    constexpr ColorF(float r_, float g_, float b_, float a_) : r(r_), g(g_), b(b_), a(a_) {}
    // From a packed 0xAARRGGBB word: each byte times the single-precision 1/255, which is not
    // always the same float as byte / 255 (the last bit differs for about half the bytes).
    explicit constexpr ColorF(uint32_t argb)
        : r(float((argb >> 16) & 0xFF) * kByteScale), g(float((argb >> 8) & 0xFF) * kByteScale),
          b(float(argb & 0xFF) * kByteScale), a(float((argb >> 24) & 0xFF) * kByteScale)
    {
    }

    static constexpr ColorF FromARGB(uint32_t argb) { return ColorF(argb); }

    // Opaque black, the default of colour parsing.
    static const ColorF& Black();

    // Rounds each channel after clamping to [0, 1].
    uint32_t ToARGB() const;

    constexpr bool operator==(const ColorF&) const = default;

private:
    static constexpr float kByteScale = 1.0f / 255.0f;
};

} // namespace Kestrin
