#include "Base/Clock.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace Kestrin
{

namespace
{
class SteadyClock : public IClock
{
public:
    uint32_t Now() override { return uint32_t(Micros() / 1000); }
    void Sleep(uint32_t milliseconds) override
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }
    uint64_t Micros() override
    {
        return uint64_t(std::chrono::duration_cast<std::chrono::microseconds>(
                            std::chrono::steady_clock::now().time_since_epoch())
                            .count());
    }
};

SteadyClock g_steady;
std::atomic<IClock*> g_clock{nullptr};
} // namespace

IClock& GetClock()
{
    IClock* c = g_clock.load();
    return c ? *c : g_steady;
}

void SetClock(IClock* clock)
{
    g_clock.store(clock);
}

} // namespace Kestrin
