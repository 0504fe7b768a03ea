#pragma once
// The Tic guide ("Encyclopedia", "Encyclopedia_Tics") and the Tic introduction ("Tic_Intro"):
// the notebook, one button, profile card and introduction per kind, and the introduction's panel.
#include "Family.h"

namespace DataGen
{
class TextTable;

FamilyArt PaintTictionaryBackground();
FamilyArt PaintTicButtons(const TextTable& text);
FamilyArt PaintTicProfiles(const TextTable& text);
FamilyArt PaintIntroPanel();
FamilyArt PaintTicIntros(const TextTable& text);
} // namespace DataGen
