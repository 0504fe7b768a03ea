#pragma once
// The UI kit: cursor, buttons, panels, fields, check box, slider, row highlight, sparkles.
#include "Brush.h"
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

// Paintings the families are cut from, at any size: the tests check that pieces put together
// equal a painting at the assembled size.

Canvas PaintWideButton(State s, int width);
Canvas PaintPanelCard(bool popup, int w, int h);
} // namespace DataGen
