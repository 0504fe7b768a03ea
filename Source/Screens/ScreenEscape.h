#pragma once
// Escape leaves a page the way its Back, Close or Cancel button does; for a page that only pops
// itself (or whose layout could not be built, so has no buttons) that is a pop.
#include "Framework/Keys.h"
#include "Platform/Looper.h"

// True (the key taken) when the key is Escape; the pop is queued.
inline bool PopScreenOnEscape(int key)
{
    if (key != Kestrin::VK_ESCAPE)
        return false;
    Kestrin::PopMode();
    return true;
}
