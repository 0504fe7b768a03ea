#pragma once
// The endless selection ("Level_Select_EndlessMode"): the room, the guests' buttons, the rings
// that mark the choice, the texts and the record plates.
#include "Family.h"

namespace DataGen
{
class TextTable;

FamilyArt PaintEndlessBackground();
FamilyArt PaintEndlessButtons();
FamilyArt PaintEndlessOverlays();
FamilyArt PaintEndlessTexts(const TextTable& text);
FamilyArt PaintRecordPlates(const TextTable& text);
} // namespace DataGen
