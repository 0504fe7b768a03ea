#pragma once
// The calendar ("Level_Select_Month") and the day schedule ("Level_Select_Day").
#include "Family.h"

namespace DataGen
{
class TextTable;

FamilyArt PaintAgendaBackground(const TextTable& text);
FamilyArt PaintDayButtons();
FamilyArt PaintGuestIconImages();
FamilyArt PaintDaySheet();
FamilyArt PaintApptTimes(const TextTable& text);
FamilyArt PaintApptMarks(const TextTable& text);
FamilyArt PaintApptButtons(const TextTable& text);
} // namespace DataGen
