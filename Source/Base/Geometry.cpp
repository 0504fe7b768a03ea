#include "Base/Geometry.h"

#include <algorithm>
#include <cmath>

namespace Kestrin
{

namespace
{
uint32_t Channel(float v)
{
    if (!(v > 0.0f)) // also catches NaN
        return 0;
    return uint32_t(std::lround(std::min(v, 1.0f) * 255.0f));
}
} // namespace

const ColorF& ColorF::Black()
{
    static const ColorF black(0xFF000000u);
    return black;
}

uint32_t ColorF::ToARGB() const
{
    return (Channel(a) << 24) | (Channel(r) << 16) | (Channel(g) << 8) | Channel(b);
}

} // namespace Kestrin
