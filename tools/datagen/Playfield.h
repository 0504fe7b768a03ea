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
} // namespace DataGen
