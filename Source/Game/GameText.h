#pragma once
// Every text the game shows, looked up by key in the resource group "AllGameText_Export": one
// "string" value resource per key.
#include "Game/GameConstants.h"

#include <string>

// Loads the group; a group that fails to load is shown in the error box with the caption
// "There was an error loading AllGameText_Export.xml. Fix the problem and press F5 to reload".
void LoadGameText();

// The text under the key (ASCII; compared without regard to case), or "Text not Found" when
// there is none or the resource of that name holds something else.
std::wstring GetGameText(const std::string& key);
// "GuestFullName." + the guest's name.
std::wstring GetGuestFullName(GuestID guest);
// key + ".dateandtime".
std::wstring GetDateAndTimeText(const std::string& key);

// Whole seconds as "MM:SS", each part two digits at least; minutes are not capped (6000 gives
// "100:00"). Negative counts show as 00:00.
std::wstring FormatMinutesSeconds(int seconds);
