#pragma once
// Milliseconds on the engine's 32-bit clock (SDL ticks in the program, a fake in tests). Spans are
// unsigned differences, so they stay right across the wrap at 2^32.
#include <cstdint>

uint32_t GetMillisecondTime();

inline uint32_t MillisecondsSince(uint32_t now, uint32_t then)
{
    return now - then;
}

// The time of the last click on any trap, shared by every trap and the level: a line ends on a
// release (or a playfield click) that comes more than clickTime after it.
uint32_t GetLastTrapClickTime();
void SetLastTrapClickTime(uint32_t time);
// True when more than clickTime milliseconds have passed since the last trap click.
bool IsPastClickTime(uint32_t now, int clickTime);
