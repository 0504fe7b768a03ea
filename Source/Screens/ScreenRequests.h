#pragma once
// Screen changes a screen asks for by what it wants, not by the screen class that provides it, so
// a screen the main menu opens can still lead back to it.

// Queues the stack's unwinding down to a new main menu (without its entrance).
void ReturnToMainMenu();
