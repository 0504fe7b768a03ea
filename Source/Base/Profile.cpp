#include "Base/Profile.h"

#include "Base/Clock.h"
#include "Base/Log.h"

#include <cinttypes>

namespace Kestrin
{

ProfileSample::ProfileSample(const char* sampleName) : name(sampleName ? sampleName : "") {}

ProfileSample::~ProfileSample()
{
    Print();
}

void ProfileSample::AddSample(uint64_t micros)
{
    std::lock_guard lock(m_mutex);
    ++calls;
    totalMicros += micros;
    if (micros < minMicros)
        minMicros = micros;
    if (micros > maxMicros)
        maxMicros = micros;
}

void ProfileSample::Print() const
{
    uint32_t n;
    uint64_t total, low, high;
    {
        std::lock_guard lock(m_mutex);
        n = calls;
        total = totalMicros;
        low = minMicros;
        high = maxMicros;
    }
    // With no call yet there is no average and no minimum; print zeros rather than NaN and
    // the starting value.
    double average = n ? double(total) * 0.001 / n : 0.0;
    if (n == 0)
        low = 0;
    LogPrintf("%s: %" PRIu32 " calls, %" PRIu64 ".%03" PRIu64 "ms Total, %.3fms Avg, %" PRIu64 ".%03" PRIu64
              "ms Min, %" PRIu64 ".%03" PRIu64 "ms Max\n",
              name, n, total / 1000, total % 1000, average, low / 1000, low % 1000, high / 1000, high % 1000);
}

ProfileTimer::ProfileTimer(ProfileSample& sample) : m_sample(&sample), m_startMicros(ProfileMicros()) {}

ProfileTimer::~ProfileTimer()
{
    uint64_t end = ProfileMicros();
    // A clock installed mid-measurement may run behind the start; never add a wrapped value.
    m_sample->AddSample(end >= m_startMicros ? end - m_startMicros : 0);
}

uint64_t ProfileMicros()
{
    return GetClock().Micros();
}

} // namespace Kestrin
