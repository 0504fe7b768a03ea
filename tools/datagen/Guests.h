#pragma once
// The six guests' portraits: "<Guest>_icon", a 32x32 face and a 64x64 head each, and the
// same people at other sizes for the screens' pictures.
#include "Family.h"

#include <string>
#include <vector>

namespace DataGen
{
FamilyArt PaintJillianIcon();
FamilyArt PaintHarleyIcon();
FamilyArt PaintMirandaIcon();
FamilyArt PaintZoeIcon();
FamilyArt PaintJasonIcon();
FamilyArt PaintHeatherIcon();

// The six guests in the game's order.
const std::vector<std::string>& GuestNames();

// The guest's head and shoulders filling a w x h photo, in front of the guest's room. "Jillian2"
// is Jillian restyled for her second visit. Throws for an unknown name.
Canvas GuestPhoto(const std::string& guest, int w, int h);
// The same head and shoulders on clear ground, to stand in a scene with others.
Canvas GuestFigure(const std::string& guest, int w, int h);
// The round head badge of the icons, at any size.
Canvas GuestBadge(const std::string& guest, int size);
// The close-up face filling a disc, at any size.
Canvas GuestFace(const std::string& guest, int size);
} // namespace DataGen
