#pragma once
// The playfield's creatures: frame atlases of the Tics, the kings and the Posi-Tics, and the
// shared animation lists their sprite types play.
#include "Family.h"

#include <string>

namespace DataGen
{
inline constexpr int CreatureFrameCount = 28;
inline constexpr int PowerUpFrameCount = 11;
// A sprite type is named by its kind and colour and this.
inline constexpr const char* CreatureTypeSuffix = "_CreatureStateSpriteType";

// "CreatureAnims": every animation the creature code plays, over the 28-frame atlas.
std::string CreatureAnimationList();
// "PowerUpAnims", over the 11-frame gem atlas.
std::string PowerUpAnimationList();

// The frames from `first` on side by side, scaled by `scale`: a contact sheet's row.
ImageFile Strip(const std::string& name, const std::vector<ImageFile>& frames, double scale, size_t first);

// Basic and Indecisive in the five line colours, with both animation lists.
FamilyArt PaintTics();
// Shy, Loner, Protected, Agreeable and Pairing, which any spool catches: striped in every spool's colour.
FamilyArt PaintTicsAny();
FamilyArt PaintKings();
FamilyArt PaintPosiTics();
} // namespace DataGen
