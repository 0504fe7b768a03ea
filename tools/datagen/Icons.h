#pragma once
// Small symbols the screens share: the tick of a finished session, the star of an expert one, the
// padlock of a locked one and the ball of yarn of an open one. Each is drawn centred on a point.
#include "Canvas.h"
#include "Geometry.h"

namespace DataGen
{
// A teal yarn tick about `size` pixels across.
void DrawTick(Canvas& c, Vec2 centre, double size, double ink);
// A gold five-point star of outer radius r, with a small catch-light.
void DrawStar(Canvas& c, Vec2 centre, double r, double ink);
// A padlock about `size` pixels tall in `color`.
void DrawPadlock(Canvas& c, Vec2 centre, double size, Rgba color, double ink);
// A wound ball of yarn of radius r.
void DrawYarnBall(Canvas& c, Vec2 centre, double r, Rgba color, double ink);
} // namespace DataGen
