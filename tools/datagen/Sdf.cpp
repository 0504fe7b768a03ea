#include "Sdf.h"

#include <cmath>

namespace DataGen
{
namespace Shape
{
double Circle(Vec2 p, Vec2 c, double r)
{
    return Length(p - c) - r;
}

double Ellipse(Vec2 p, Vec2 c, Vec2 r)
{
    const Vec2 q = p - c;
    const double k0 = Length({q.x / r.x, q.y / r.y});
    const double k1 = Length({q.x / (r.x * r.x), q.y / (r.y * r.y)});
    if (k1 == 0.0)
        return -(r.x < r.y ? r.x : r.y);
    return k0 * (k0 - 1.0) / k1;
}

double RoundedBox(Vec2 p, Vec2 c, Vec2 h, double r)
{
    const Vec2 q = Abs(p - c) - h + Vec2{r, r};
    const double outside = Length(Max(q, 0.0));
    const double inside = std::fmin(std::fmax(q.x, q.y), 0.0);
    return outside + inside - r;
}

double Segment(Vec2 p, Vec2 a, Vec2 b)
{
    const Vec2 pa = p - a, ba = b - a;
    const double len2 = Dot(ba, ba);
    const double t = len2 > 0.0 ? Det::Clamp01(Dot(pa, ba) / len2) : 0.0;
    return Length(pa - ba * t);
}

double Capsule(Vec2 p, Vec2 a, Vec2 b, double r)
{
    return Segment(p, a, b) - r;
}

double Polygon(Vec2 p, const std::vector<Vec2>& v)
{
    const size_t n = v.size();
    if (n < 3)
        return 1e9;
    double d = Dot(p - v[0], p - v[0]);
    bool inside = false;
    for (size_t i = 0, j = n - 1; i < n; j = i, ++i)
    {
        const Vec2 e = v[j] - v[i], w = p - v[i];
        const double len2 = Dot(e, e);
        const double t = len2 > 0.0 ? Det::Clamp01(Dot(w, e) / len2) : 0.0;
        const Vec2 b = w - e * t;
        d = std::fmin(d, Dot(b, b));
        // Crossing test along +x.
        if ((v[i].y > p.y) != (v[j].y > p.y))
        {
            const double x = v[i].x + (p.y - v[i].y) * (v[j].x - v[i].x) / (v[j].y - v[i].y);
            if (p.x < x)
                inside = !inside;
        }
    }
    const double s = std::sqrt(d);
    return inside ? -s : s;
}

double Polyline(Vec2 p, const std::vector<Vec2>& v)
{
    if (v.empty())
        return 1e9;
    if (v.size() == 1)
        return Length(p - v[0]);
    double d = 1e18;
    for (size_t i = 0; i + 1 < v.size(); ++i)
        d = std::fmin(d, Segment(p, v[i], v[i + 1]));
    return d;
}

std::vector<Vec2> FlattenQuadratic(Vec2 a, Vec2 c, Vec2 b, int steps)
{
    if (steps < 1)
        steps = 1;
    std::vector<Vec2> out;
    out.reserve(static_cast<size_t>(steps) + 1);
    for (int i = 0; i <= steps; ++i)
    {
        const double t = static_cast<double>(i) / steps, u = 1.0 - t;
        out.push_back(a * (u * u) + c * (2.0 * u * t) + b * (t * t));
    }
    return out;
}
} // namespace Shape

Sdf CircleSdf(Vec2 c, double r)
{
    return [=](Vec2 p) { return Shape::Circle(p, c, r); };
}
Sdf EllipseSdf(Vec2 c, Vec2 r)
{
    return [=](Vec2 p) { return Shape::Ellipse(p, c, r); };
}
Sdf RoundedBoxSdf(Vec2 c, Vec2 h, double r)
{
    return [=](Vec2 p) { return Shape::RoundedBox(p, c, h, r); };
}
Sdf RoundedRectSdf(double x0, double y0, double x1, double y1, double r)
{
    return RoundedBoxSdf({(x0 + x1) * 0.5, (y0 + y1) * 0.5}, {(x1 - x0) * 0.5, (y1 - y0) * 0.5}, r);
}
Sdf CapsuleSdf(Vec2 a, Vec2 b, double r)
{
    return [=](Vec2 p) { return Shape::Capsule(p, a, b, r); };
}
Sdf PolygonSdf(std::vector<Vec2> v)
{
    return [v = std::move(v)](Vec2 p) { return Shape::Polygon(p, v); };
}
Sdf StrokeSdf(std::vector<Vec2> v, double hw)
{
    return [v = std::move(v), hw](Vec2 p) { return Shape::Polyline(p, v) - hw; };
}

double SmoothMin(double a, double b, double k)
{
    if (k <= 0.0)
        return std::fmin(a, b);
    const double h = Det::Clamp01(0.5 + 0.5 * (b - a) / k);
    return Det::Mix(b, a, h) - k * h * (1.0 - h);
}

Sdf Union(Sdf a, Sdf b)
{
    return [=](Vec2 p) { return std::fmin(a(p), b(p)); };
}
Sdf Intersect(Sdf a, Sdf b)
{
    return [=](Vec2 p) { return std::fmax(a(p), b(p)); };
}
Sdf Subtract(Sdf a, Sdf b)
{
    return [=](Vec2 p) { return std::fmax(a(p), -b(p)); };
}
Sdf SmoothUnion(Sdf a, Sdf b, double k)
{
    return [=](Vec2 p) { return SmoothMin(a(p), b(p), k); };
}
Sdf SmoothSubtract(Sdf a, Sdf b, double k)
{
    return [=](Vec2 p) { return -SmoothMin(-a(p), b(p), k); };
}
Sdf Offset(Sdf a, double by)
{
    return [=](Vec2 p) { return a(p) - by; };
}
Sdf Translate(Sdf a, Vec2 by)
{
    return [=](Vec2 p) { return a(p - by); };
}
Sdf Scale(Sdf a, Vec2 c, Vec2 f)
{
    const double k = f.x < f.y ? f.x : f.y;
    return [=](Vec2 p) { return a({c.x + (p.x - c.x) / f.x, c.y + (p.y - c.y) / f.y}) * k; };
}
Sdf RotateSdf(Sdf a, Vec2 c, double turns)
{
    return [=](Vec2 p) { return a(Rotate(p, c, -turns)); };
}

Vec2 Gradient(const Sdf& sdf, Vec2 p, double h)
{
    const double dx = sdf({p.x + h, p.y}) - sdf({p.x - h, p.y});
    const double dy = sdf({p.x, p.y + h}) - sdf({p.x, p.y - h});
    return Normalize({dx, dy});
}

double RoundedBoxPerimeter(Vec2 h, double r)
{
    return 4.0 * (h.x - r) + 4.0 * (h.y - r) + 2.0 * Det::Pi * r;
}

double RoundedBoxPerimeterAt(Vec2 p, Vec2 c, Vec2 h, double r)
{
    const double sx = h.x - r, sy = h.y - r; // half lengths of the straight parts
    const double arc = 0.5 * Det::Pi * r;
    const Vec2 q = p - c;
    // Straight edges first (clockwise: top, right, bottom, left), arcs between them.
    const double top = 2.0 * sx, right = 2.0 * sy;
    bool horizontal = std::fabs(q.x) <= sx;
    const bool vertical = std::fabs(q.y) <= sy;
    if (horizontal && vertical) // inside the straight parts: the nearer edge decides
        horizontal = h.y - std::fabs(q.y) <= h.x - std::fabs(q.x);
    if (horizontal)
        return q.y < 0.0 ? q.x + sx : top + arc + right + arc + (sx - q.x);
    if (vertical)
        return q.x > 0.0 ? top + arc + (q.y + sy) : top + arc + right + arc + top + arc + (sy - q.y);
    // A corner: the angle about its centre.
    const Vec2 cc{q.x > 0.0 ? sx : -sx, q.y > 0.0 ? sy : -sy};
    const double a = Det::AngleTurns(q.y - cc.y, q.x - cc.x); // 0 = +x, 0.25 = down
    const double inQuarter = Det::Fract(a * 4.0) * arc;
    if (q.x > 0.0 && q.y < 0.0) // top-right: from -0.25 to 0
        return top + inQuarter;
    if (q.x > 0.0) // bottom-right: 0 to 0.25
        return top + arc + right + inQuarter;
    if (q.y > 0.0) // bottom-left: 0.25 to 0.5
        return 2.0 * top + 2.0 * arc + right + inQuarter;
    return 2.0 * top + 3.0 * arc + 2.0 * right + inQuarter; // top-left: 0.5 to 0.75
}
} // namespace DataGen
