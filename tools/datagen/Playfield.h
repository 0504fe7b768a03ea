#pragma once
// The playing screen's art besides the creatures.
#include "Family.h"

namespace DataGen
{
// "Game-AnimationImages": the effects (each a sprite type whose "play" runs once) and the
// glints of lines and gunk.
FamilyArt PaintEffects();
// "Game-AnimationImages": the spools in five colours, the capture swirl, the wind and the flame.
FamilyArt PaintTraps();
// "Game": the yarn's strips and sparkles, the yarn ball, shadows, the HUD bar, the red flash and
// the kings' health bands.
FamilyArt PaintPlayfieldPieces();
// "Game": gunk tiles by colour and depth.
FamilyArt PaintGunk();
// "Game": the obstacles with their shadows and, for the generic ones, their scales.
FamilyArt PaintObstacles();
// "Game": the six rooms behind the playfield.
FamilyArt PaintRooms();
// "Game_Interface_EndlessMode": the gunk meter.
FamilyArt PaintMeter();

// Pieces of the playfield for other pictures, `scale` times their playfield size: a spool in its
// basket (56 x 44; frame 0 closed, 1 and 2 open and glowing) and one cell of gunk (20 x 20) at
// depth 1..5.
Canvas SpoolPicture(Rgba color, int frame, double scale = 1.0);
Canvas GunkCell(Rgba color, int depth, uint64_t seed, double scale = 1.0);
} // namespace DataGen
