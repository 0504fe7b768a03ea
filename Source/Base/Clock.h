#pragma once
#include <cstdint>

namespace Kestrin
{

// The one clock the engine reads: milliseconds that wrap at 2^32, and a sleep.
// The program uses SDL's ticks; tests install a fake.
class IClock
{
public:
    virtual ~IClock() = default;
    virtual uint32_t Now() = 0;
    virtual void Sleep(uint32_t milliseconds) = 0;
    // Microseconds from a monotonic counter (profiling, load timing).
    virtual uint64_t Micros() = 0;
};

// The installed clock; a steady_clock-based one until something else is installed.
IClock& GetClock();
// Installs a clock (null restores the default); the caller keeps ownership.
void SetClock(IClock* clock);

} // namespace Kestrin
