#include "Base/Log.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <map>
#include <mutex>
#include <vector>

namespace Kestrin
{

namespace
{
struct LogState
{
    std::mutex mutex;
    std::FILE* file = nullptr;
    bool toStderr = true;
    int nextListener = 1;
    std::map<int, LogListener> listeners;

    // Taken before `mutex`, never after it.
    std::mutex openMutex;
    LogFileLocator locator; // guarded by openMutex
    std::atomic<bool> openPending{false};
};

thread_local bool t_inLocator = false;

LogState& State()
{
    static LogState* state = new LogState; // never destroyed: logging may happen during exit
    return *state;
}

void ReplaceFile(LogState& s, std::FILE* file)
{
    std::lock_guard lock(s.mutex);
    if (s.file)
        std::fclose(s.file);
    s.file = file;
}

void OpenPendingFile(LogState& s)
{
    if (t_inLocator)
        return;
    std::lock_guard openLock(s.openMutex);
    if (!s.openPending.load())
        return;
    std::string path;
    t_inLocator = true;
    try
    {
        path = s.locator();
    }
    catch (...)
    {
        // A locator that cannot answer would throw on every write; give up on the file.
        s.openPending = false;
    }
    t_inLocator = false;
    if (path.empty())
        return;
    ReplaceFile(s, std::fopen(path.c_str(), "wb"));
    // Only now: a writer that sees no pending open must find the file in place.
    s.openPending = false;
}
} // namespace

void LogWrite(const std::string& text)
{
    LogState& s = State();
    if (s.openPending.load())
        OpenPendingFile(s);
    std::vector<LogListener> listeners;
    {
        std::lock_guard lock(s.mutex);
        if (s.toStderr)
            std::fwrite(text.data(), 1, text.size(), stderr);
        if (s.file)
        {
            // Flushed at once: the last lines before a crash are the ones that explain it.
            std::fwrite(text.data(), 1, text.size(), s.file);
            std::fflush(s.file);
        }
        for (auto& [id, l] : s.listeners)
            listeners.push_back(l);
    }
    // Outside the lock, so a listener may log itself.
    for (auto& l : listeners)
        l(text);
}

namespace
{
void LogV(const char* format, va_list args)
{
    va_list copy;
    va_copy(copy, args);
    char small[1024];
    int n = std::vsnprintf(small, sizeof small, format, args);
    std::string text;
    if (n < 0)
    {
        text = format; // a format the C library rejects still leaves a trace
    }
    else if (size_t(n) < sizeof small)
    {
        text.assign(small, size_t(n));
    }
    else
    {
        text.resize(size_t(n) + 1);
        std::vsnprintf(text.data(), text.size(), format, copy);
        text.resize(size_t(n));
    }
    va_end(copy);
    if (!text.empty())
        LogWrite(text);
}
} // namespace

void LogPrintf(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    LogV(format, args);
    va_end(args);
}

LogOnce::LogOnce(const LogOnce& other)
{
    std::lock_guard lock(other.m_mutex);
    m_told = other.m_told;
}

LogOnce& LogOnce::operator=(const LogOnce& other)
{
    if (this != &other)
    {
        std::scoped_lock lock(m_mutex, other.m_mutex);
        m_told = other.m_told;
    }
    return *this;
}

bool LogOnce::First(std::string_view key)
{
    std::lock_guard lock(m_mutex);
    if (m_told.find(key) != m_told.end())
        return false;
    m_told.emplace(key);
    return true;
}

void LogOnce::Printf(std::string_view key, const char* format, ...)
{
    if (!First(key))
        return;
    va_list args;
    va_start(args, format);
    LogV(format, args);
    va_end(args);
}

bool OpenLogFile(const std::string& path)
{
    LogState& s = State();
    std::lock_guard openLock(s.openMutex);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ReplaceFile(s, file);
    s.openPending = false;
    return file != nullptr;
}

void CloseLogFile()
{
    ReplaceFile(State(), nullptr);
}

void SetLogFileLocator(LogFileLocator locator)
{
    LogState& s = State();
    std::lock_guard openLock(s.openMutex);
    s.locator = std::move(locator);
    s.openPending = bool(s.locator);
}

void SetLogToStderr(bool enabled)
{
    LogState& s = State();
    std::lock_guard lock(s.mutex);
    s.toStderr = enabled;
}

int AddLogListener(LogListener listener)
{
    LogState& s = State();
    std::lock_guard lock(s.mutex);
    int id = s.nextListener++;
    s.listeners[id] = std::move(listener);
    return id;
}

void RemoveLogListener(int id)
{
    LogState& s = State();
    std::lock_guard lock(s.mutex);
    s.listeners.erase(id);
}

} // namespace Kestrin
