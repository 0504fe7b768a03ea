#pragma once
// The vocabulary widgets, control nodes and screens share: event and role names, the object names
// the screens look for, and the words of layout attributes. Every name is interned on first use
// and compared by identity (case-insensitively at interning), so "OPTIONS" is "options".
// The database's own messages ("Add", "Remove", "ReceivedFocus", "LostFocus", "ControlEnter",
// "ControlLeave") live with the database (Framework/ObjectDatabase.h).
#include "Framework/Names.h"
#include "Framework/ObjectDatabase.h"

#include <array>
#include <span>
#include <string_view>

namespace Kestrin::Names
{
// Broadcast by the controls as {their own handle, event}.
inline constinit ConstantName ButtonClick{"ButtonClick"};
inline constinit ConstantName CheckBoxClick{"CheckBoxClick"};
inline constinit ConstantName RadioButtonClick{"RadioButtonClick"};
inline constinit ConstantName SliderValueChange{"SliderValueChange"};
inline constinit ConstantName SliderReleased{"SliderReleased"};
inline constinit ConstantName ListSelectionChange{"ListSelectionChange"};
inline constinit ConstantName TextEditChange{"TextEditChange"};

// The role by which a radio button finds the others of its group.
inline constinit ConstantName RadioButton{"RadioButton"};

// Sounds the controls play from their sound lists, and the list buttons use unless told otherwise.
inline constinit ConstantName Hot{"Hot"};
inline constinit ConstantName Down{"Down"};
inline constinit ConstantName Snap{"Snap"};
inline constinit ConstantName Checked{"Checked"};
inline constinit ConstantName Unchecked{"Unchecked"};
inline constinit ConstantName AllUIButtonSounds{"AllUIButtonSounds"};

// The arrow buttons of a scroll bar.
inline constinit ConstantName ScrollUp{"ScrollUp"};
inline constinit ConstantName ScrollDown{"ScrollDown"};

// The object name of the keyboard focus controller.
inline constinit ConstantName KeyboardFocusController{"KeyboardFocusController"};
} // namespace Kestrin::Names

namespace Kestrin
{

// The index of the word in the list, compared exactly (case matters); fallback when absent.
int WordIndex(std::wstring_view word, std::span<const std::wstring_view> words, int fallback = 0);

// Alignment and justification words: the index is the value (0 left/top, 1 centre, 2 right/bottom).
inline constexpr std::array<std::wstring_view, 3> HorizontalAlignWords{L"left", L"center", L"right"};
inline constexpr std::array<std::wstring_view, 3> VerticalAlignWords{L"top", L"middle", L"bottom"};

// Meter bar directions: the index is the "direction" value.
inline constexpr std::array<std::wstring_view, 4> MeterDirectionWords{L"leftToRight", L"rightToLeft",
                                                                      L"topToBottom", L"bottomToTop"};

// The credits screen's pages in order; page i plays the animation of its name.
inline constexpr int CreditsPageCount = 3;
// Null outside 0..CreditsPageCount - 1.
NameId GetCreditsPageName(int index);

} // namespace Kestrin

// The object names the game's screens give their controls in their layouts ("name" attribute).
// One name may serve several screens: each screen looks only at its own objects.
namespace ControlNames
{
using Kestrin::ConstantName;

// The game screen.
inline constinit ConstantName ButtonPause{"button_pause"};

// The pause menu; "Quit" also on the level outro after a failure.
inline constinit ConstantName ResumeGame{"ResumeGame"};
inline constinit ConstantName Options{"Options"};
inline constinit ConstantName MainMenu{"MainMenu"};
inline constinit ConstantName Quit{"Quit"};

// The level outro after a failure.
inline constinit ConstantName NextLevel{"NextLevel"};

// The main menu ("options" is the pause menu's "Options").
inline constinit ConstantName PlayTanglewisp{"play_tanglewisp"};
inline constinit ConstantName PlayNeverending{"play_neverending"};
inline constinit ConstantName Credits{"credits"};
inline constinit ConstantName High{"high"};
inline constinit ConstantName Tictionary{"tictionary"};
inline constinit ConstantName NameplateButton{"nameplate_button"};

// The options screen: sliders, check boxes and buttons.
inline constinit ConstantName Sound{"Sound"};
inline constinit ConstantName Music{"Music"};
inline constinit ConstantName MuteSound{"MuteSound"};
inline constinit ConstantName MuteMusic{"MuteMusic"};
inline constinit ConstantName FullScreen{"FullScreen"};
inline constinit ConstantName UseCustomCursor{"UseCustomCursor"};
inline constinit ConstantName ExitOk{"ExitOk"};
inline constinit ConstantName ExitCancel{"ExitCancel"};

// The quit confirmation.
inline constinit ConstantName YesQuit{"YesQuit"};
inline constinit ConstantName NoQuit{"NoQuit"};

// The credits screen ("MainMenu" above is its third button).
inline constinit ConstantName Prev{"Prev"};
inline constinit ConstantName Next{"Next"};
} // namespace ControlNames
