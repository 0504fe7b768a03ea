#pragma once
// The start-up screens' art: the splash ("Loading") and the title and main menu
// ("Title_MainMenu") with the title movies' posters. Their records are hand-written in data/groups/.
#include "Family.h"

namespace DataGen
{
FamilyArt PaintSplash();
FamilyArt PaintTitleBackground();
FamilyArt PaintMainMenuBackground();
FamilyArt PaintTitleLogo();
FamilyArt PaintMenuTable();
FamilyArt PaintTitleTics();
// "<movie>_poster": what the movie host shows while a title movie plays.
FamilyArt PaintMoviePosters();
} // namespace DataGen
