#pragma once
#include <chrono>
#include <thread>

namespace KestrinTest
{

// Waits until done() answers true, looking every millisecond; false when the limit passed first.
// Give it a generous limit: it returns as soon as the event happened, and a loaded machine may
// take long to get there.
template <class Done> bool WaitFor(Done done, std::chrono::milliseconds limit = std::chrono::seconds(30))
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done())
    {
        if (std::chrono::steady_clock::now() >= end)
            return done();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

} // namespace KestrinTest
