#include "Base/Threads.h"
#include "Support/WaitFor.h"
#include "harness/LogCapture.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>

using namespace Kestrin;

namespace
{
// Blocks in Run until released.
class LatchedEntry : public IEntryPoint
{
public:
    std::atomic<int> runs{0};
    std::promise<void> release;
    std::shared_future<void> gate{release.get_future().share()};

    void Run() override
    {
        ++runs;
        gate.wait();
    }
};

class ThrowingEntry : public IEntryPoint
{
public:
    void Run() override { throw std::runtime_error("resource file broken"); }
};

// Waits on the thread's end, for as long as a loaded machine may need.
void WaitUntilFinished(IThread& t)
{
    KestrinTest::WaitFor(
        [&]
        {
            t.Wait(100);
            return t.GetState() == IThread::Finished;
        });
}
} // namespace

TEST(Threads, StartTwiceRunsOnceAndStateMovesToFinished)
{
    LatchedEntry entry;
    Win32Thread thread(&entry);
    EXPECT_EQ(thread.GetState(), IThread::NotStarted);
    thread.Start();
    thread.Start();
    EXPECT_EQ(thread.GetState(), IThread::Running);
    thread.Wait(5); // times out, state unchanged
    EXPECT_EQ(thread.GetState(), IThread::Running);

    entry.release.set_value();
    WaitUntilFinished(thread);
    EXPECT_EQ(thread.GetState(), IThread::Finished);
    EXPECT_EQ(entry.runs.load(), 1);
}

TEST(Threads, WaitOnANeverStartedThreadReturnsAtOnce)
{
    LatchedEntry entry;
    Win32Thread thread(&entry);
    auto start = std::chrono::steady_clock::now();
    thread.Wait(10000);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(thread.GetState(), IThread::NotStarted);
}

TEST(Threads, AnExceptionInTheEntryIsLoggedAndTheThreadStillEnds)
{
    KestrinTest::LogCapture log;
    ThrowingEntry entry;
    Win32Thread thread(&entry);
    thread.Start();
    WaitUntilFinished(thread);
    EXPECT_EQ(thread.GetState(), IThread::Finished);
    EXPECT_NE(log.Text().find("Unhandled Exception!\n"), std::string::npos);
    EXPECT_NE(log.Text().find("resource file broken"), std::string::npos);
    ASSERT_TRUE(thread.GetFailure());
    EXPECT_THROW(std::rethrow_exception(thread.GetFailure()), std::runtime_error);
}

TEST(Threads, DestroyingARunningThreadJoinsIt)
{
    LatchedEntry entry;
    std::atomic<bool> released{false};
    std::thread releaser;
    {
        Win32Thread thread(&entry);
        thread.Start();
        releaser = std::thread(
            [&]
            {
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
                released = true;
                entry.release.set_value();
            });
    } // must wait for the entry, not terminate the process
    releaser.join();
    EXPECT_TRUE(released.load());
    EXPECT_EQ(entry.runs.load(), 1);
}

TEST(Threads, RecursiveLockBlocksOtherThreadsUntilFullyReleased)
{
    std::unique_ptr<IMutex> mutex(CreateMutex());
    mutex->Lock();
    mutex->Lock();
    std::atomic<bool> acquired{false};
    std::thread other(
        [&]
        {
            mutex->Lock();
            acquired = true;
            mutex->Unlock();
        });
    mutex->Unlock();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_FALSE(acquired.load());
    mutex->Unlock();
    other.join();
    EXPECT_TRUE(acquired.load());
}
