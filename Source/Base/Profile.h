#pragma once
#include <cstdint>
#include <mutex>

namespace Kestrin
{

// Running totals of one measured function, usually a function-local static:
//     static Kestrin::ProfileSample sample("ResourceManager::Load");
//     Kestrin::ProfileTimer timer(sample);
// Printed to the log when it is destroyed (at process exit). Samples may be added from
// several threads at once.
struct ProfileSample
{
    explicit ProfileSample(const char* sampleName);
    ~ProfileSample();
    ProfileSample(const ProfileSample&) = delete;
    ProfileSample& operator=(const ProfileSample&) = delete;

    void AddSample(uint64_t micros);
    // "<name>: <n> calls, <t>ms Total, <a>ms Avg, <m>ms Min, <M>ms Max\n" through LogPrintf.
    void Print() const;

    const char* name;
    uint32_t calls = 0;
    uint64_t totalMicros = 0;
    uint64_t minMicros = 2147483647;
    uint64_t maxMicros = 0;

private:
    mutable std::mutex m_mutex;
};

// Adds the time from its construction to its destruction to a sample.
class ProfileTimer
{
public:
    explicit ProfileTimer(ProfileSample& sample);
    ~ProfileTimer();
    ProfileTimer(const ProfileTimer&) = delete;
    ProfileTimer& operator=(const ProfileTimer&) = delete;

private:
    ProfileSample* m_sample;
    uint64_t m_startMicros;
};

// The timers' time base in microseconds: the engine clock's counter.
uint64_t ProfileMicros();

} // namespace Kestrin
