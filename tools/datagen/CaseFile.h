#pragma once
// The guest introduction ("Level_Select_Introduction"): the open case file, the guests' photos
// and intake forms, the session sheet's symbols and the labels that tell its two uses apart.
#include "Family.h"

namespace DataGen
{
class TextTable;

FamilyArt PaintCaseFileBackground(const TextTable& text);
FamilyArt PaintGuestPhotos();
FamilyArt PaintGuestForms(const TextTable& text);
FamilyArt PaintCaseFileLabels(const TextTable& text);
FamilyArt PaintSessionIcons();
FamilyArt PaintStylusGlare();
} // namespace DataGen
