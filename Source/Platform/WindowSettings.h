#pragma once

namespace Kestrin
{

// The player's window mode and custom-cursor choice, kept in the current account as
// "Kestrin::Window::Mode" and "Kestrin::Window::IsCustomCursorEnabled".

// Applies the stored window mode (not forced: an unchanged mode rebuilds nothing) and the stored
// cursor choice. A stored mode other than 0 means full screen. A missing record or no current
// account keep what runs now.
void LoadWindowSettings();
// Writes the running window mode and cursor choice; nothing without a current account.
void SaveWindowSettings();
// The same with the mode given: a change asked for while events are handled runs only after them.
void SaveWindowSettings(int windowMode);

} // namespace Kestrin
