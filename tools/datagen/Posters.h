#pragma once
// What the movie host shows while a movie plays in the middle of the game: the lessons of the three
// "basics" movies and a scene of the guests for each story film.
#include "Family.h"

namespace DataGen
{
// "Tic_Intro", loaded before the introduction plays its movie: "basics_part01_poster" (press a
// spool and draw), "basics_part02_poster" (spear a Tic), "basics_part03_poster" (loop the gunk
// and haul the catch in).
FamilyArt PaintLessonPosters();
// "Level_Select_Month", loaded under every story film: "AllAnimations_interstitial1_poster" ..4,
// the guests of each week together.
FamilyArt PaintStoryPosters();
} // namespace DataGen
