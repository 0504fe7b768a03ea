#pragma once
#include "Graphics/Blitter.h"

#include <vector>

namespace Kestrin::Graphics
{

struct CircleOffset
{
    int dx;
    int dy;
    bool operator==(const CircleOffset&) const = default;
};

// Circles are drawn on half-pixel radii: twice the radius, rounded (floor(2r + 0.5)), saturating.
int DoubledRadius(float radius);
// Beyond this doubled radius a circle would need a list longer than any canvas is wide.
constexpr int kMaxDoubledRadius = 1 << 17;

// The outline of one quadrant of a circle of radius doubledRadius / 2, as offsets from the
// centre, 8-connected from (r, 0) to (0, r); each offset stands for its four sign combinations.
// Midpoint rule on the doubled radius: on row dy the outline column is the largest dx with
// (2dx - 1)^2 + (2dy)^2 < doubledRadius^2, mirrored across the diagonal. Every canvas draws its
// circles and ellipses from these lists, so all canvases draw the same shapes.
std::vector<CircleOffset> ComputeCircleOffsets(int doubledRadius);

// Writes (no blending) the four points of each offset that lie inside the clip.
void DrawCircleOutline(const BlitTarget& target, const Rect<int>& clip, int cx, int cy,
                       const std::vector<CircleOffset>& offsets, uint32_t color);
// Writes, for each offset, the span cx - dx .. cx + dx cut to the clip on rows cy + dy and cy - dy.
void FillCircleSpans(const BlitTarget& target, const Rect<int>& clip, int cx, int cy,
                     const std::vector<CircleOffset>& offsets, uint32_t color);

// The offsets of an ellipse of whole width and height (both above 0): the circle list of the longer
// side (its doubled radius is that side) squeezed along the shorter one, repeated pairs dropped.
std::vector<CircleOffset> ComputeEllipseOffsets(int width, int height);

// An ellipse whose sides differ by at least half a pixel, in the bounding rectangle, into the
// target within `bounds` and the state's clip rectangle, in the state's colour without blending.
// The circle list of the longer side is squeezed along the shorter one. 0 drawn, 1 nothing.
// Callers draw near-circles (sides within half a pixel) with their own circle operations.
int DrawEllipseOnPixels(const BlitTarget& target, const Rect<int>& bounds, const Rect<float>& rect,
                        const DrawState& state, bool filled);

} // namespace Kestrin::Graphics
