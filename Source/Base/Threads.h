#pragma once
#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

namespace Kestrin
{

class IMutex
{
public:
    virtual ~IMutex() = default;
    virtual void Lock() = 0;
    virtual void Unlock() = 0;
};

// Runs once on a new thread.
class IEntryPoint
{
public:
    virtual ~IEntryPoint() = default;
    virtual void Run() = 0;
};

class IThread
{
public:
    enum State
    {
        NotStarted = 0,
        Running = 1,
        Finished = 2, // ended, or could not start
    };

    virtual ~IThread() = default;
    virtual void Start() = 0;
    virtual void Wait(unsigned milliseconds) = 0;
    virtual int GetState() = 0;
};

// A new recursive lock; the caller owns it.
IMutex* CreateMutex();

// Scoped Lock/Unlock of an IMutex.
class MutexLock
{
public:
    explicit MutexLock(IMutex& m) : m_mutex(m) { m_mutex.Lock(); }
    ~MutexLock() { m_mutex.Unlock(); }
    MutexLock(const MutexLock&) = delete;
    MutexLock& operator=(const MutexLock&) = delete;

private:
    IMutex& m_mutex;
};

} // namespace Kestrin

// The engine's lock: recursive, like the critical section it was designed around.
class Win32CriticalSection : public Kestrin::IMutex
{
public:
    void Lock() override { m_mutex.lock(); }
    void Unlock() override { m_mutex.unlock(); }

private:
    std::recursive_mutex m_mutex;
};

// Runs its entry point once on a new thread. An exception leaving the entry is logged
// in the "Unhandled Exception!" format and kept for the owner; the thread still ends normally.
// The destructor joins a thread that is still running.
class Win32Thread : public Kestrin::IThread
{
public:
    explicit Win32Thread(Kestrin::IEntryPoint* entry);
    ~Win32Thread() override;

    Win32Thread(const Win32Thread&) = delete;
    Win32Thread& operator=(const Win32Thread&) = delete;

    void Start() override;
    void Wait(unsigned milliseconds) override;
    int GetState() override;

    // The exception that ended the entry, if any (read after GetState answered Finished).
    std::exception_ptr GetFailure() const { return m_failure; }

private:
    void Procedure();

    Kestrin::IEntryPoint* m_entry;
    std::thread m_thread;
    std::atomic<int> m_state{NotStarted};
    std::mutex m_doneMutex;
    std::condition_variable m_doneSignal;
    bool m_done = false;
    std::exception_ptr m_failure;
};
