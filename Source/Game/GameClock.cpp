#include "Game/GameClock.h"

#include "Base/Clock.h"

namespace
{
uint32_t g_lastTrapClick = 0;
}

uint32_t GetMillisecondTime()
{
    return Kestrin::GetClock().Now();
}

uint32_t GetLastTrapClickTime()
{
    return g_lastTrapClick;
}

void SetLastTrapClickTime(uint32_t time)
{
    g_lastTrapClick = time;
}

bool IsPastClickTime(uint32_t now, int clickTime)
{
    // A negative setting means no wait at all.
    return MillisecondsSince(now, g_lastTrapClick) > uint32_t(clickTime < 0 ? 0 : clickTime);
}
