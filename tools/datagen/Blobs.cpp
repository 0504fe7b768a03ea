#include "Blobs.h"

#include "Det.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <vector>

namespace DataGen
{
namespace
{
const Rgba kPupil = Hex("#241B24");

// Squared distances to the nearest feature along one line (Felzenszwalb and Huttenlocher).
void Edt1d(const std::vector<double>& f, std::vector<double>& d, int n)
{
    std::vector<int> v(n);
    std::vector<double> z(n + 1);
    int k = 0;
    v[0] = 0;
    z[0] = -std::numeric_limits<double>::infinity();
    z[1] = std::numeric_limits<double>::infinity();
    for (int q = 1; q < n; ++q)
    {
        double s = ((f[q] + double(q) * q) - (f[v[k]] + double(v[k]) * v[k])) / (2.0 * q - 2.0 * v[k]);
        while (s <= z[k])
        {
            --k;
            s = ((f[q] + double(q) * q) - (f[v[k]] + double(v[k]) * v[k])) / (2.0 * q - 2.0 * v[k]);
        }
        ++k;
        v[k] = q;
        z[k] = s;
        z[k + 1] = std::numeric_limits<double>::infinity();
    }
    k = 0;
    for (int q = 0; q < n; ++q)
    {
        while (z[k + 1] < q)
            ++k;
        d[q] = (q - v[k]) * double(q - v[k]) + f[v[k]];
    }
}

// Distance from every pixel centre to the nearest pixel where `feature` holds.
std::vector<double> Edt(const std::vector<bool>& feature, int w, int h)
{
    const double far = 1e12;
    std::vector<double> grid(size_t(w) * h);
    for (size_t i = 0; i < grid.size(); ++i)
        grid[i] = feature[i] ? 0.0 : far;
    const int n = std::max(w, h);
    std::vector<double> f(n), d(n);
    for (int x = 0; x < w; ++x)
    {
        for (int y = 0; y < h; ++y)
            f[y] = grid[size_t(y) * w + x];
        Edt1d(f, d, h);
        for (int y = 0; y < h; ++y)
            grid[size_t(y) * w + x] = d[y];
    }
    for (int y = 0; y < h; ++y)
    {
        for (int x = 0; x < w; ++x)
            f[x] = grid[size_t(y) * w + x];
        Edt1d(f, d, w);
        for (int x = 0; x < w; ++x)
            grid[size_t(y) * w + x] = std::sqrt(d[x]);
    }
    return grid;
}
} // namespace

void DrawEye(Canvas& canvas, const EyeLook& e)
{
    const Sdf white = Bounded(EllipseSdf(e.centre, e.radii), e.centre - e.radii, e.centre + e.radii, 8.0);
    FillShape(canvas, white,
              DomeShade(white,
                        LinearGradient(e.centre - Vec2{0, e.radii.y}, e.centre + Vec2{0, e.radii.y},
                                       Palette::White, Hex("#E9E2EC")),
                        DomeLight{0.6, std::min(e.radii.x, e.radii.y) * 0.5, 0.8, 0.0, 0.0, 24}));
    const double small = std::min(e.radii.x, e.radii.y);
    const double pr = e.pupil * small;
    const Vec2 at = e.centre + Vec2{e.look.x * (e.radii.x - pr) * 0.75, e.look.y * (e.radii.y - pr) * 0.75};
    const Sdf pupil = Intersect(CircleSdf(at, pr), white);
    FillShape(canvas, pupil, RadialGradient(at - Vec2{pr * 0.3, pr * 0.3}, pr * 1.3, Hex("#4A3A4C"), kPupil));
    FillShape(canvas,
              Intersect(CircleSdf(at + Vec2{-pr * 0.38, -pr * 0.42}, std::max(0.7, pr * 0.34)), white),
              Solid(Palette::White));
    if (e.lid > 0.0)
    {
        const double edge = e.centre.y - e.radii.y + 2.0 * e.radii.y * e.lid;
        const Sdf lid = Intersect(white, [edge](Vec2 p) { return p.y - edge; });
        FillShape(canvas, lid, Solid(e.lidColor));
        FillShape(canvas,
                  Intersect(Offset(white, 0.3), [edge](Vec2 p) { return std::fabs(p.y - edge) - 0.6; }),
                  Solid(Palette::Ink));
    }
    Outline(canvas, white, e.outline, Palette::Ink, e.outline * 0.5);
}

void DrawTic(Canvas& canvas, const TicLook& t)
{
    const Vec2 c = t.centre;
    const double r = t.radius;
    Sdf body = Scale(CircleSdf(c, r), c, {1.0, t.squash});
    if (t.wisp)
    {
        const Vec2 top = c - Vec2{0.0, r * t.squash * 0.96};
        const auto curve =
            Shape::FlattenQuadratic(top, top + Vec2{r * 0.42, -r * 0.42}, top + Vec2{r * 0.1, -r * 0.62});
        body = SmoothUnion(body, StrokeSdf(curve, std::max(1.2, r * 0.075)), r * 0.12);
        body = Union(body, CircleSdf(top + Vec2{r * 0.04, -r * 0.66}, std::max(1.5, r * 0.13)));
    }
    if (t.tilt != 0.0)
        body = RotateSdf(body, c, t.tilt);
    // The wisp reaches about 0.8 r above the body; the box is generous for the tilt.
    body = Bounded(body, c - Vec2{r * 1.3, r * 2.0}, c + Vec2{r * 1.3, r * 1.3}, 8.0);
    const Rgba light = TicColors::LightOf(t.color), dark = TicColors::DarkOf(t.color);
    const Shader base = LinearGradient(c - Vec2{r * 0.7, r * 0.9}, c + Vec2{r * 0.6, r * 0.9},
                                       Mix(t.color, light, 0.45), Mix(t.color, dark, 0.3));
    FillShape(canvas, body, DomeShade(body, base, DomeLight{1.0, r * 0.55, 0.55, 0.3, 0.55, 18}));
    Outline(canvas, body, t.outline, Palette::Ink, t.outline * 0.5);

    auto local = [&](Vec2 offset) { return Rotate(c + Vec2{offset.x, offset.y * t.squash}, c, t.tilt); };
    for (double side : {-1.0, 1.0})
    {
        EyeLook eye;
        eye.centre = local({side * r * 0.34, -r * 0.1});
        eye.radii = {r * 0.27, r * 0.34};
        eye.look = t.look;
        eye.pupil = 0.58;
        eye.outline = std::max(1.0, t.outline * 0.7);
        DrawEye(canvas, eye);
    }
    const auto smile = Shape::FlattenQuadratic(local({-r * 0.17, r * 0.34}), local({0.0, r * 0.5}),
                                               local({r * 0.17, r * 0.34}), 12);
    FillShape(canvas, StrokeSdf(smile, std::max(0.7, r * 0.04)), Solid(Palette::Ink));
}

Sdf MaskSdf(const Canvas& mask, int reach)
{
    const int w = mask.Width(), h = mask.Height();
    std::vector<bool> inside(size_t(w) * h), outside(size_t(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
        {
            const bool in = mask.At(x, y).a > 0.5f;
            inside[size_t(y) * w + x] = in;
            outside[size_t(y) * w + x] = !in;
        }
    const std::vector<double> toInside = Edt(inside, w, h), toOutside = Edt(outside, w, h);
    auto field = std::make_shared<std::vector<double>>(size_t(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
        {
            const size_t i = size_t(y) * w + x;
            const double a = mask.At(x, y).a;
            double d = inside[i] ? 0.5 - toOutside[i] : toInside[i] - 0.5;
            // Partly covered pixels know their edge better than the grid does.
            if (a > 0.0 && a < 1.0)
                d = 0.5 - a;
            (*field)[i] = Det::Clamp(d, -double(reach), double(reach));
        }
    return [field, w, h, reach](Vec2 p)
    {
        const double fx = p.x - 0.5, fy = p.y - 0.5;
        const int x0 = static_cast<int>(std::floor(fx)), y0 = static_cast<int>(std::floor(fy));
        const double tx = fx - x0, ty = fy - y0;
        auto at = [&](int x, int y)
        {
            if (x < 0 || y < 0 || x >= w || y >= h)
                return double(reach);
            return (*field)[size_t(y) * w + x];
        };
        const double top = Det::Mix(at(x0, y0), at(x0 + 1, y0), tx);
        const double bottom = Det::Mix(at(x0, y0 + 1), at(x0 + 1, y0 + 1), tx);
        return Det::Mix(top, bottom, ty);
    };
}

Sdf Bounded(Sdf shape, Vec2 lo, Vec2 hi, double margin)
{
    return [shape = std::move(shape), lo, hi, margin](Vec2 p)
    {
        const double dx = std::max({lo.x - p.x, 0.0, p.x - hi.x});
        const double dy = std::max({lo.y - p.y, 0.0, p.y - hi.y});
        const double outside = std::sqrt(dx * dx + dy * dy);
        return outside > margin ? outside : shape(p);
    };
}

Sdf BoundedStroke(std::vector<Vec2> points, double halfWidth, double margin)
{
    Vec2 lo = points.front(), hi = points.front();
    for (const Vec2& p : points)
    {
        lo = {std::min(lo.x, p.x), std::min(lo.y, p.y)};
        hi = {std::max(hi.x, p.x), std::max(hi.y, p.y)};
    }
    const Vec2 grow{halfWidth, halfWidth};
    return Bounded(StrokeSdf(std::move(points), halfWidth), lo - grow, hi + grow, margin);
}

Canvas Resize(const Canvas& s, int width, int height)
{
    Canvas out(width, height);
    const double sx = double(s.Width()) / width, sy = double(s.Height()) / height;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
        {
            const double x0 = x * sx, x1 = (x + 1) * sx, y0 = y * sy, y1 = (y + 1) * sy;
            double r = 0, g = 0, b = 0, a = 0, total = 0;
            for (int yy = static_cast<int>(std::floor(y0)); yy < y1 && yy < s.Height(); ++yy)
                for (int xx = static_cast<int>(std::floor(x0)); xx < x1 && xx < s.Width(); ++xx)
                {
                    const double wx = std::min(x1, xx + 1.0) - std::max(x0, double(xx));
                    const double wy = std::min(y1, yy + 1.0) - std::max(y0, double(yy));
                    const double k = wx * wy;
                    if (k <= 0.0)
                        continue;
                    const Rgba p = s.At(xx, yy);
                    r += p.r * k;
                    g += p.g * k;
                    b += p.b * k;
                    a += p.a * k;
                    total += k;
                }
            if (total > 0.0)
                out.Put(x, y, {float(r / total), float(g / total), float(b / total), float(a / total)});
        }
    return out;
}

Canvas FlattenOnto(const Canvas& c, Rgba background)
{
    Canvas out(c.Width(), c.Height());
    out.Fill(WithAlpha(background, 1.0));
    out.Composite(c, 0, 0);
    return out;
}
} // namespace DataGen
