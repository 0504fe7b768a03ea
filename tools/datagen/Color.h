#pragma once
// Straight-alpha colours in [0, 1] and the few colour operations the art direction names.
#include <cstdint>
#include <string_view>

namespace DataGen
{
struct Rgba
{
    float r = 0.0f, g = 0.0f, b = 0.0f, a = 0.0f;
};

// "#RRGGBB" or "#RRGGBBAA"; throws std::invalid_argument on anything else.
Rgba Hex(std::string_view text);
Rgba WithAlpha(Rgba c, double a);
Rgba Mix(Rgba a, Rgba b, double t);
// HSV value times k (hue and saturation kept): the channels scale together.
Rgba ScaleValue(Rgba c, double k);
// Towards the colour's own luma by `amount` (1 = grey).
Rgba Desaturate(Rgba c, double amount);
Rgba Lighten(Rgba c, double towardsWhite);
Rgba Darken(Rgba c, double factor);

namespace Palette
{
inline const Rgba Paper{246 / 255.0f, 235 / 255.0f, 217 / 255.0f, 1.0f};    // #F6EBD9
inline const Rgba Ink{58 / 255.0f, 46 / 255.0f, 57 / 255.0f, 1.0f};         // #3A2E39
inline const Rgba Teal{43 / 255.0f, 166 / 255.0f, 160 / 255.0f, 1.0f};      // #2BA6A0
inline const Rgba Coral{240 / 255.0f, 118 / 255.0f, 107 / 255.0f, 1.0f};    // #F0766B
inline const Rgba Disabled{163 / 255.0f, 158 / 255.0f, 154 / 255.0f, 1.0f}; // #A39E9A
inline const Rgba White{1.0f, 1.0f, 1.0f, 1.0f};
} // namespace Palette
} // namespace DataGen
