#pragma once
#include "Base/Clock.h"

namespace KestrinTest
{

// Time moves only when a test advances it (or when the engine sleeps).
class FakeClock : public Kestrin::IClock
{
public:
    FakeClock() { Kestrin::SetClock(this); }
    ~FakeClock() override { Kestrin::SetClock(nullptr); }

    uint32_t Now() override { return now; }
    void Sleep(uint32_t milliseconds) override
    {
        slept += milliseconds;
        now += milliseconds;
    }
    uint64_t Micros() override { return uint64_t(now) * 1000; }

    void Advance(uint32_t milliseconds) { now += milliseconds; }

    uint32_t now = 1000;
    uint64_t slept = 0;
};

} // namespace KestrinTest
