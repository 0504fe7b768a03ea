#pragma once
// The start-up screens' art: the splash ("Loading") and the title and main menu
// ("Title_MainMenu"). Their records are hand-written in data/groups/.
#include "Family.h"

namespace DataGen
{
FamilyArt PaintSplash();
FamilyArt PaintTitleBackground();
FamilyArt PaintMainMenuBackground();
FamilyArt PaintTitleLogo();
FamilyArt PaintMenuTable();
FamilyArt PaintTitleTics();
} // namespace DataGen
