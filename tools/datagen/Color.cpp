#include "Color.h"

#include "Det.h"

#include <stdexcept>
#include <string>

namespace DataGen
{
namespace
{
int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

float Channel(double v)
{
    return static_cast<float>(Det::Clamp01(v));
}
} // namespace

Rgba Hex(std::string_view text)
{
    if ((text.size() != 7 && text.size() != 9) || text[0] != '#')
        throw std::invalid_argument("not a #RRGGBB[AA] colour: " + std::string(text));
    float v[4] = {0, 0, 0, 1};
    for (size_t i = 0; i * 2 + 1 < text.size(); ++i)
    {
        const int hi = HexDigit(text[1 + 2 * i]), lo = HexDigit(text[2 + 2 * i]);
        if (hi < 0 || lo < 0)
            throw std::invalid_argument("not a #RRGGBB[AA] colour: " + std::string(text));
        v[i] = static_cast<float>(hi * 16 + lo) / 255.0f;
    }
    return {v[0], v[1], v[2], v[3]};
}

Rgba WithAlpha(Rgba c, double a)
{
    c.a = Channel(a);
    return c;
}

Rgba Mix(Rgba a, Rgba b, double t)
{
    return {Channel(Det::Mix(a.r, b.r, t)), Channel(Det::Mix(a.g, b.g, t)), Channel(Det::Mix(a.b, b.b, t)),
            Channel(Det::Mix(a.a, b.a, t))};
}

Rgba ScaleValue(Rgba c, double k)
{
    return {Channel(c.r * k), Channel(c.g * k), Channel(c.b * k), c.a};
}

Rgba Desaturate(Rgba c, double amount)
{
    const double y = 0.299 * c.r + 0.587 * c.g + 0.114 * c.b;
    return {Channel(Det::Mix(c.r, y, amount)), Channel(Det::Mix(c.g, y, amount)),
            Channel(Det::Mix(c.b, y, amount)), c.a};
}

Rgba Lighten(Rgba c, double t)
{
    return Mix(c, WithAlpha(Palette::White, c.a), t);
}

Rgba Darken(Rgba c, double factor)
{
    return ScaleValue(c, factor);
}
} // namespace DataGen
