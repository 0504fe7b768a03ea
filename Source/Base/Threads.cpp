#include "Base/Threads.h"

#include "Base/Exceptions.h"

#include <chrono>
#include <system_error>

namespace Kestrin
{

IMutex* CreateMutex()
{
    return new Win32CriticalSection;
}

} // namespace Kestrin

Win32Thread::Win32Thread(Kestrin::IEntryPoint* entry) : m_entry(entry) {}

Win32Thread::~Win32Thread()
{
    if (m_thread.joinable())
        m_thread.join();
}

void Win32Thread::Start()
{
    int expected = NotStarted;
    if (!m_state.compare_exchange_strong(expected, Running))
        return;
    try
    {
        m_thread = std::thread(&Win32Thread::Procedure, this);
    }
    catch (const std::system_error&)
    {
        m_state = Finished;
    }
}

void Win32Thread::Procedure()
{
    try
    {
        if (m_entry)
            m_entry->Run();
    }
    catch (const std::exception& e)
    {
        m_failure = std::current_exception();
        Kestrin::LogUnhandledException(e);
    }
    catch (...)
    {
        m_failure = std::current_exception();
        Kestrin::LogUnhandledException(std::runtime_error("unknown exception"));
    }
    std::lock_guard lock(m_doneMutex);
    m_done = true;
    m_doneSignal.notify_all();
}

void Win32Thread::Wait(unsigned milliseconds)
{
    if (m_state != Running)
        return;
    std::unique_lock lock(m_doneMutex);
    m_doneSignal.wait_for(lock, std::chrono::milliseconds(milliseconds), [this] { return m_done; });
}

int Win32Thread::GetState()
{
    if (m_state == Running)
    {
        bool done;
        {
            std::lock_guard lock(m_doneMutex);
            done = m_done;
        }
        if (done)
        {
            if (m_thread.joinable())
                m_thread.join();
            m_state = Finished;
        }
    }
    return m_state;
}
