#pragma once
// The six guests' portraits: "<Guest>_icon", a 32x32 face and a 64x64 head each.
#include "Family.h"

namespace DataGen
{
FamilyArt PaintJillianIcon();
FamilyArt PaintHarleyIcon();
FamilyArt PaintMirandaIcon();
FamilyArt PaintZoeIcon();
FamilyArt PaintJasonIcon();
FamilyArt PaintHeatherIcon();
} // namespace DataGen
