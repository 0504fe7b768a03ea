#include "Paint.h"

#include "Det.h"

#include <cmath>

namespace DataGen
{
namespace
{
Vec2 Centre(int x, int y)
{
    return {x + 0.5, y + 0.5};
}

template <typename F> void EachPixel(Canvas& canvas, F&& f)
{
    for (int y = 0; y < canvas.Height(); ++y)
        for (int x = 0; x < canvas.Width(); ++x)
            f(x, y, Centre(x, y));
}

struct Light3
{
    double x, y, z;
};

Light3 Norm3(double x, double y, double z)
{
    const double l = std::sqrt(x * x + y * y + z * z);
    return {x / l, y / l, z / l};
}

// Up and to the left of the screen, towards the viewer.
const Light3 kLight = Norm3(-0.55, -0.75, 1.0);
} // namespace

Shader Solid(Rgba c)
{
    return [c](Vec2, double) { return c; };
}

Shader LinearGradient(Vec2 from, Vec2 to, Rgba a, Rgba b)
{
    const Vec2 axis = to - from;
    const double len2 = Dot(axis, axis);
    return [=](Vec2 p, double)
    {
        const double t = len2 > 0.0 ? Det::Clamp01(Dot(p - from, axis) / len2) : 0.0;
        return Mix(a, b, t);
    };
}

Shader RadialGradient(Vec2 c, double radius, Rgba inner, Rgba outer)
{
    return [=](Vec2 p, double)
    { return Mix(inner, outer, radius > 0.0 ? Det::Clamp01(Length(p - c) / radius) : 1.0); };
}

void FillShape(Canvas& canvas, const Sdf& shape, const Shader& shader, double px)
{
    EachPixel(canvas,
              [&](int x, int y, Vec2 p)
              {
                  const double d = shape(p);
                  const double coverage = Det::Clamp01(0.5 - d / px);
                  if (coverage <= 0.0)
                      return;
                  canvas.Blend(x, y, shader(p, d), coverage);
              });
}

Shader DomeShade(const Sdf& shape, Shader base, DomeLight light)
{
    return [=](Vec2 p, double d)
    {
        const Rgba c = base(p, d);
        const double t = light.depth > 0.0 ? Det::Clamp01(-d / light.depth) : 1.0;
        // Height h = depth * (1 - (1 - t)^2); its slope per pixel inwards is 2 (1 - t).
        const double slope = 2.0 * (1.0 - t) * light.bulge;
        double nx = 0.0, ny = 0.0, nz = 1.0;
        if (slope > 0.0)
        {
            const Vec2 g = Gradient(shape, p);
            const double l = std::sqrt(g.x * g.x * slope * slope + g.y * g.y * slope * slope + 1.0);
            nx = g.x * slope / l;
            ny = g.y * slope / l;
            nz = 1.0 / l;
        }
        const double lambert = std::fmax(0.0, nx * kLight.x + ny * kLight.y + nz * kLight.z);
        // Scaled so that the flat top shows the base colour unchanged.
        const double shade = (light.ambient + (1.0 - light.ambient) * lambert) /
                             (light.ambient + (1.0 - light.ambient) * kLight.z);
        Rgba out = ScaleValue(c, shade);
        // Rim: where the surface turns away from the viewer and from the light.
        const double facing = nx * kLight.x + ny * kLight.y;
        const double rim = light.rim * (1.0 - nz) * Det::Clamp01(-facing * 2.0);
        out = Lighten(out, Det::Clamp01(rim * 2.0));
        // Blinn-Phong: half vector between the light and the viewer (0, 0, 1).
        const Light3 h = Norm3(kLight.x, kLight.y, kLight.z + 1.0);
        const double nh = std::fmax(0.0, nx * h.x + ny * h.y + nz * h.z);
        const double flatTop = Det::PowInt(h.z, light.shininess);
        const double highlight = std::fmax(0.0, Det::PowInt(nh, light.shininess) - flatTop) / (1.0 - flatTop);
        out = Lighten(out, Det::Clamp01(highlight * light.specular));
        out.a = c.a;
        return out;
    };
}

void Outline(Canvas& canvas, const Sdf& shape, double width, Rgba color, double outset)
{
    const double half = width * 0.5;
    FillShape(
        canvas, [&](Vec2 p) { return std::fabs(shape(p) - outset + half) - half; }, Solid(color));
}

void DashedOutline(Canvas& canvas, const Sdf& shape, const std::function<double(Vec2)>& along, double period,
                   double duty, double width, Rgba color, double outset)
{
    const double half = width * 0.5;
    const double on = period * duty;
    EachPixel(canvas,
              [&](int x, int y, Vec2 p)
              {
                  const double ring = std::fabs(shape(p) - outset + half) - half;
                  const double coverage = Det::Clamp01(0.5 - ring);
                  if (coverage <= 0.0)
                      return;
                  // Distance into the dash along the outline, anti-aliased at both of its ends.
                  const double s = Det::Fract(along(p) / period) * period;
                  const double inside = std::fmin(s, on - s);
                  const double dash = Det::Clamp01(0.5 + inside);
                  if (dash > 0.0)
                      canvas.Blend(x, y, color, coverage * dash);
              });
}

void DropShadow(Canvas& canvas, const Sdf& shape, Vec2 offset, double blur, Rgba color)
{
    EachPixel(canvas,
              [&](int x, int y, Vec2 p)
              {
                  const double a = 1.0 - Det::Smoothstep(-blur, blur, shape(p - offset));
                  if (a > 0.0)
                      canvas.Blend(x, y, color, a);
              });
}

void Glow(Canvas& canvas, const Sdf& shape, double radius, Rgba color)
{
    EachPixel(canvas,
              [&](int x, int y, Vec2 p)
              {
                  const double d = shape(p);
                  if (d < -1.0)
                      return;
                  const double t = 1.0 - Det::Clamp01(d / radius);
                  if (t > 0.0)
                      canvas.Blend(x, y, color, t * t);
              });
}

void InnerShadow(Canvas& canvas, const Sdf& shape, Vec2 offset, double blur, Rgba color)
{
    EachPixel(canvas,
              [&](int x, int y, Vec2 p)
              {
                  const double inside = Det::Clamp01(0.5 - shape(p));
                  if (inside <= 0.0)
                      return;
                  const double a = Det::Smoothstep(-blur, blur, shape(p - offset));
                  if (a > 0.0)
                      canvas.Blend(x, y, color, a * inside);
              });
}

void SpecularDot(Canvas& canvas, Vec2 c, Vec2 r, double strength)
{
    EachPixel(canvas,
              [&](int x, int y, Vec2 p)
              {
                  const double q = Length({(p.x - c.x) / r.x, (p.y - c.y) / r.y});
                  const double a = 1.0 - Det::Smoothstep(0.2, 1.0, q);
                  if (a > 0.0 && canvas.At(x, y).a > 0.0f)
                      canvas.Blend(x, y, Palette::White, a * strength * canvas.At(x, y).a);
              });
}
} // namespace DataGen
