#pragma once
// The guests' rooms as flat motifs behind their pictures: Jillian's greenhouse leaves, Harley's
// pegboard, Miranda's wallpaper lattice, Zoe's night sky, Jason's kitchen tiles, Heather's wheel
// rings. Low contrast and mid-to-light value, so faces and controls read in front of them.
#include "Canvas.h"
#include "Geometry.h"

#include <string>

namespace DataGen
{
// The straight colour of `guest`'s room at p (pixels); `cell` is the motif's repeat in pixels.
Rgba RoomPattern(const std::string& guest, Vec2 p, double cell);

// The room's middle colour, for frames and accents.
Rgba RoomColor(const std::string& guest);

// Covers the canvas with the room's motif, lit from the top-left and darker at the corners.
void PaintRoom(Canvas& c, const std::string& guest, double cell);

// A whole number hashed to [0, 1).
double Hash01(int x, int y, uint32_t seed);
} // namespace DataGen
