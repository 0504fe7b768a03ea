#pragma once
// A screen whose layout could not be built has no buttons to leave by; Escape pops it then, so a
// broken data file never traps the player.
#include "Platform/Looper.h"

constexpr int EscapeKey = 27;

// True (the key taken) when the screen is unbuilt and the key is Escape; the pop is queued.
inline bool PopUnbuiltScreenOnEscape(bool built, int key)
{
    if (built || key != EscapeKey)
        return false;
    Kestrin::PopMode();
    return true;
}
