#include "Rooms.h"

#include "Det.h"
#include "Noise.h"
#include "Scenery.h"

#include <algorithm>
#include <cmath>

namespace DataGen
{
namespace
{
// Coverage of a line `d` pixels away, `half` pixels half-wide, softened over a pixel.
double Line(double d, double half)
{
    return Det::Clamp01(half + 0.5 - d);
}

Rgba Greenhouse(Vec2 p, double cell)
{
    const Rgba base = Mix(Hex("#C4E2B0"), Hex("#94C47F"), Det::Clamp01(p.y / (cell * 9.0)));
    // One leaf per cell, turned and nudged by the cell's hash; neighbours overlap a little.
    Rgba col = base;
    const int cx = static_cast<int>(std::floor(p.x / cell)), cy = static_cast<int>(std::floor(p.y / cell));
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
        {
            const int x = cx + dx, y = cy + dy;
            const Vec2 at{(x + 0.3 + 0.4 * Hash01(x, y, 11)) * cell,
                          (y + 0.3 + 0.4 * Hash01(x, y, 12)) * cell};
            const double turn = Hash01(x, y, 13);
            const Vec2 q = Rotate(p, at, -turn) - at;
            const double len = cell * 0.42, wid = cell * 0.17;
            const double e = std::sqrt((q.x / len) * (q.x / len) + (q.y / wid) * (q.y / wid));
            const double inside = Det::Clamp01((1.0 - e) * wid + 0.5);
            if (inside <= 0.0)
                continue;
            const Rgba leaf = Hash01(x, y, 14) < 0.5 ? Hex("#7DB46A") : Hex("#A6D08F");
            col = Mix(col, leaf, inside * 0.55);
            col = Mix(col, Hex("#D9EFC9"),
                      inside * Line(std::fabs(q.y), 0.35) * 0.6 * (std::fabs(q.x) < len * 0.8));
        }
    // Small seed dots between the leaves.
    const Vec2 f{Det::Fract(p.x / cell + 0.5) - 0.5, Det::Fract(p.y / cell + 0.5) - 0.5};
    col = Mix(col, Hex("#E8F4DC"), Det::Clamp01(cell * 0.05 + 0.5 - Length(f) * cell) * 0.7);
    return col;
}

Rgba Workshop(Vec2 p, double cell)
{
    const Rgba base = Mix(Hex("#E3AC86"), Hex("#C98560"), Det::Clamp01(p.y / (cell * 9.0)));
    const double pitch = cell * 0.5;
    const Vec2 f{(Det::Fract(p.x / pitch) - 0.5) * pitch, (Det::Fract(p.y / pitch) - 0.5) * pitch};
    const double r = pitch * 0.14;
    Rgba col = base;
    // A lit lower lip under each hole, then the hole.
    col = Mix(col, Hex("#F2C6A4"), Det::Clamp01(r + 0.5 - Length(f - Vec2{0.0, r * 0.45})) * 0.8);
    col = Mix(col, Hex("#7E4A30"), Det::Clamp01(r + 0.5 - Length(f)) * 0.85);
    return col;
}

Rgba ReadingRoom(Vec2 p, double cell)
{
    Rgba col = Mix(Hex("#9CD3CD"), Hex("#72B8B2"), Det::Clamp01(p.y / (cell * 9.0)));
    const double u = Det::Fract((p.x + p.y) / cell), v = Det::Fract((p.x - p.y) / cell);
    const double line = std::min(std::min(u, 1.0 - u), std::min(v, 1.0 - v)) * cell;
    col = Mix(col, Hex("#BFE5E0"), Line(line, 0.6) * 0.7);
    const double du = (u < 0.5 ? u : 1.0 - u) * cell, dv = (v < 0.5 ? v : 1.0 - v) * cell;
    col = Mix(col, Hex("#E9F7F4"), Det::Clamp01(cell * 0.06 + 0.5 - std::sqrt(du * du + dv * dv)) * 0.8);
    return col;
}

Rgba Observatory(Vec2 p, double cell)
{
    static const ValueNoise nebula(0x2e0b);
    Rgba col = Mix(Hex("#8E78C8"), Hex("#5F4A9A"), Det::Clamp01(p.y / (cell * 9.0)));
    const double n = nebula.Fbm(p.x / (cell * 3.0), p.y / (cell * 3.0), 4);
    col = Mix(col, Hex("#C58BC9"), Det::Smoothstep(0.5, 0.8, n) * 0.45);
    // Stars: one per cell at a hashed place, some brighter, with a soft halo.
    const double pitch = cell * 0.6;
    const int cx = static_cast<int>(std::floor(p.x / pitch)), cy = static_cast<int>(std::floor(p.y / pitch));
    const Vec2 at{(cx + 0.2 + 0.6 * Hash01(cx, cy, 21)) * pitch,
                  (cy + 0.2 + 0.6 * Hash01(cx, cy, 22)) * pitch};
    const double bright = Hash01(cx, cy, 23);
    const double r = pitch * (bright > 0.8 ? 0.07 : 0.04);
    const double d = Length(p - at);
    col = Mix(col, Hex("#F4EEFF"), Det::Clamp01(r + 0.5 - d));
    col = Mix(col, Hex("#D9CCFF"), Det::Clamp01(1.0 - d / (r * 4.0)) * 0.35 * bright);
    return col;
}

Rgba Kitchen(Vec2 p, double cell)
{
    const double size = cell * 0.7;
    const int tx = static_cast<int>(std::floor(p.x / size)), ty = static_cast<int>(std::floor(p.y / size));
    Rgba col = ((tx + ty) & 1) ? Hex("#E8A08F") : Hex("#F6E7C6");
    // Grout lines between the tiles.
    const double gx = std::min(Det::Fract(p.x / size), 1.0 - Det::Fract(p.x / size)) * size;
    const double gy = std::min(Det::Fract(p.y / size), 1.0 - Det::Fract(p.y / size)) * size;
    col = Mix(col, Hex("#D8C6A4"), Line(std::min(gx, gy), 0.5) * 0.8);
    return Mix(col, Hex("#F1DFB6"), 0.25);
}

Rgba Pottery(Vec2 p, double cell)
{
    Rgba col = Mix(Hex("#EBB592"), Hex("#CF8C66"), Det::Clamp01(p.y / (cell * 9.0)));
    // Rings thrown on a wheel whose centre lies down and to the right.
    const Vec2 centre{cell * 7.5, cell * 8.0};
    const double r = Length(p - centre) / (cell * 0.45);
    const double ring = std::min(Det::Fract(r), 1.0 - Det::Fract(r)) * cell * 0.45;
    col = Mix(col, Hex("#B86F4C"), Line(ring, 0.45) * 0.45);
    col = Mix(col, Hex("#F6CDB0"), Line(std::fabs(ring - cell * 0.09), 0.3) * 0.35);
    return col;
}
} // namespace

double Hash01(int x, int y, uint32_t seed)
{
    uint32_t h =
        static_cast<uint32_t>(x) * 0x8DA6B343u ^ static_cast<uint32_t>(y) * 0xD8163841u ^ seed * 0xCB1AB31Fu;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return h * (1.0 / 4294967296.0);
}

Rgba RoomPattern(const std::string& guest, Vec2 p, double cell)
{
    if (guest == "Harley")
        return Workshop(p, cell);
    if (guest == "Miranda")
        return ReadingRoom(p, cell);
    if (guest == "Zoe")
        return Observatory(p, cell);
    if (guest == "Jason")
        return Kitchen(p, cell);
    if (guest == "Heather")
        return Pottery(p, cell);
    return Greenhouse(p, cell);
}

Rgba RoomColor(const std::string& guest)
{
    if (guest == "Harley")
        return Hex("#C9794F");
    if (guest == "Miranda")
        return Hex("#2BA6A0");
    if (guest == "Zoe")
        return Hex("#6A4C9C");
    if (guest == "Jason")
        return Hex("#D3574A");
    if (guest == "Heather")
        return Hex("#C4643A");
    return Hex("#4E9A4B");
}

void PaintRoom(Canvas& c, const std::string& guest, double cell)
{
    const int w = c.Width(), h = c.Height();
    PaintPixels(c,
                [&](Vec2 p)
                {
                    Rgba col = RoomPattern(guest, p, cell);
                    // Daylight from the top-left.
                    const double l = 1.0 - Det::Clamp01(Length(PerAxis(p, Vec2{w * 1.4, h * 1.4})));
                    col = ScaleValue(col, 0.9 + 0.16 * l);
                    return Vignette(col, p, w, h, 0.25);
                });
}
} // namespace DataGen
