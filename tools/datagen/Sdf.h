#pragma once
// Signed distances in pixels (negative inside) and the ways shapes are combined.
#include "Geometry.h"

#include <functional>
#include <vector>

namespace DataGen
{
using Sdf = std::function<double(Vec2)>;

namespace Shape
{
double Circle(Vec2 p, Vec2 centre, double radius);
// Not exact away from the outline, but exact on it and with a unit-ish gradient near it.
double Ellipse(Vec2 p, Vec2 centre, Vec2 radii);
double RoundedBox(Vec2 p, Vec2 centre, Vec2 halfSize, double radius);
double Capsule(Vec2 p, Vec2 a, Vec2 b, double radius);
// Distance to the segment a-b (unsigned).
double Segment(Vec2 p, Vec2 a, Vec2 b);
// Exact signed distance to a simple polygon (either winding).
double Polygon(Vec2 p, const std::vector<Vec2>& points);
// Unsigned distance to an open polyline.
double Polyline(Vec2 p, const std::vector<Vec2>& points);
// A quadratic Bezier flattened into `steps` segments.
std::vector<Vec2> FlattenQuadratic(Vec2 a, Vec2 control, Vec2 b, int steps = 24);
} // namespace Shape

// Factories for composing shapes.
Sdf CircleSdf(Vec2 centre, double radius);
Sdf EllipseSdf(Vec2 centre, Vec2 radii);
Sdf RoundedBoxSdf(Vec2 centre, Vec2 halfSize, double radius);
// The rounded box spanning [x0, x1] x [y0, y1].
Sdf RoundedRectSdf(double x0, double y0, double x1, double y1, double radius);
Sdf CapsuleSdf(Vec2 a, Vec2 b, double radius);
Sdf PolygonSdf(std::vector<Vec2> points);
// A stroke of the given half width along a polyline.
Sdf StrokeSdf(std::vector<Vec2> points, double halfWidth);

Sdf Union(Sdf a, Sdf b);
Sdf Intersect(Sdf a, Sdf b);
// a without b.
Sdf Subtract(Sdf a, Sdf b);
// Polynomial smooth minimum with blend radius k.
Sdf SmoothUnion(Sdf a, Sdf b, double k);
Sdf SmoothSubtract(Sdf a, Sdf b, double k);
// Grows (positive) or shrinks the shape.
Sdf Offset(Sdf a, double by);
Sdf Translate(Sdf a, Vec2 by);
// Squash or stretch about `centre`; the distance is scaled by the smaller factor, so it stays a
// bound and anti-aliasing stays about one pixel wide.
Sdf Scale(Sdf a, Vec2 centre, Vec2 factors);
Sdf RotateSdf(Sdf a, Vec2 centre, double turns);

double SmoothMin(double a, double b, double k);
// The gradient of the distance at p, by central differences (a unit vector where exact).
Vec2 Gradient(const Sdf& sdf, Vec2 p, double h = 0.5);

// Position along the outline of a rounded box, in pixels, clockwise from its top-left end of
// the top edge: for dashes that follow the outline.
double RoundedBoxPerimeterAt(Vec2 p, Vec2 centre, Vec2 halfSize, double radius);
double RoundedBoxPerimeter(Vec2 halfSize, double radius);
} // namespace DataGen
