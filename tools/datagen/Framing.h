#pragma once
// The pictures that frame play: the level intro card, the outros' result panels, the credits and
// the tutorial bubbles with their arrows.
#include "Family.h"

namespace DataGen
{
class TextTable;

FamilyArt PaintLevelIntroCard();
FamilyArt PaintResultPanel();
FamilyArt PaintResultPanelE();
FamilyArt PaintCreditsBackground();
FamilyArt PaintCreditsPages(const TextTable& text);
FamilyArt PaintTutorialImages(const TextTable& text);
FamilyArt PaintTutorialArrows();
} // namespace DataGen
