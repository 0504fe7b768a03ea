#include "Base/Profile.h"

#include "Base/Clock.h"

#include "harness/LogCapture.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

using namespace Kestrin;

namespace
{
// Microsecond resolution, unlike the millisecond fake the loop tests use.
class MicroClock : public IClock
{
public:
    uint64_t now = 0;
    uint32_t Now() override { return uint32_t(now / 1000); }
    void Sleep(uint32_t) override {}
    uint64_t Micros() override { return now; }
};
MicroClock g_clock;
} // namespace

TEST(Profile, PrintsTotalsAverageMinimumAndMaximumWhenDestroyedAndZerosWithoutCalls)
{
    KestrinTest::LogCapture log;
    {
        ProfileSample sample("Graphics::BlitImage");
        sample.AddSample(1500);
        sample.AddSample(2500);
        sample.AddSample(2000);
        sample.Print();
        EXPECT_EQ(log.Text(),
                  "Graphics::BlitImage: 3 calls, 6.000ms Total, 2.000ms Avg, 1.500ms Min, 2.500ms Max\n");
        sample.AddSample(7);
    }
    EXPECT_EQ(log.Text().substr(log.Text().find('\n') + 1),
              "Graphics::BlitImage: 4 calls, 6.007ms Total, 1.502ms Avg, 0.007ms Min, 2.500ms Max\n");

    // Without calls: zeros, not NaN.
    KestrinTest::LogCapture idle;
    {
        ProfileSample sample("Idle");
    }
    EXPECT_EQ(idle.Text(), "Idle: 0 calls, 0.000ms Total, 0.000ms Avg, 0.000ms Min, 0.000ms Max\n");
}

TEST(Profile, TimerAddsTheScopeDurationFromTheClock)
{
    SetClock(&g_clock);
    ProfileSample sample("Scope");
    g_clock.now = 1000;
    {
        ProfileTimer timer(sample);
        g_clock.now = 1750;
    }
    {
        ProfileTimer timer(sample);
        g_clock.now = 1700; // a clock running backwards never adds a wrapped value
    }
    SetClock(nullptr);
    EXPECT_EQ(sample.calls, 2u);
    EXPECT_EQ(sample.totalMicros, 750u);
    EXPECT_EQ(sample.minMicros, 0u);
    EXPECT_EQ(sample.maxMicros, 750u);

    // The steady clock moves forward.
    uint64_t a = ProfileMicros();
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    EXPECT_GE(ProfileMicros(), a + 1000);
}

TEST(ProfileThreads, SamplesFromSeveralThreadsAreAllCounted)
{
    ProfileSample sample("Shared");
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back(
            [&sample, t]
            {
                for (int i = 0; i < 5000; ++i)
                    sample.AddSample(uint64_t(t + 1));
            });
    for (auto& th : threads)
        th.join();
    EXPECT_EQ(sample.calls, 20000u);
    EXPECT_EQ(sample.totalMicros, 5000u * (1 + 2 + 3 + 4));
    EXPECT_EQ(sample.minMicros, 1u);
    EXPECT_EQ(sample.maxMicros, 4u);
}
