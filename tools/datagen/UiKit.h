#pragma once
// The UI kit: cursor, buttons, panels, fields, check box, slider, row highlight, sparkles.
#include "Family.h"

namespace DataGen
{
FamilyArt PaintCursorArrow();
FamilyArt PaintBtnLarge();
FamilyArt PaintBtnMedium();
FamilyArt PaintBtnSmall();
FamilyArt PaintIconButtons();
FamilyArt PaintBtnTab();
FamilyArt PaintBtnWide3();
FamilyArt PaintPanel9();
FamilyArt PaintPopup9();
FamilyArt PaintField9();
FamilyArt PaintChkStd();
FamilyArt PaintSlider();
FamilyArt PaintSelectedRow();
FamilyArt PaintBlueSml();
} // namespace DataGen
