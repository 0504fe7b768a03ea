#include "Base/Log.h"

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
};

LogState& State()
{
    static LogState* state = new LogState; // never destroyed: logging may happen during exit
    return *state;
}
} // namespace

void LogWrite(const std::string& text)
{
    LogState& s = State();
    std::vector<LogListener> listeners;
    {
        std::lock_guard lock(s.mutex);
        if (s.toStderr)
            std::fputs(text.c_str(), stderr);
        if (s.file)
        {
            std::fputs(text.c_str(), s.file);
            std::fflush(s.file);
        }
        for (auto& [id, l] : s.listeners)
            listeners.push_back(l);
    }
    // Outside the lock, so a listener may log itself.
    for (auto& l : listeners)
        l(text);
}

void LogPrintf(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    char small[1024];
    int n = std::vsnprintf(small, sizeof small, format, args);
    va_end(args);
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
    LogWrite(text);
}

bool OpenLogFile(const std::string& path)
{
    LogState& s = State();
    std::lock_guard lock(s.mutex);
    if (s.file)
        std::fclose(s.file);
    s.file = std::fopen(path.c_str(), "wb");
    return s.file != nullptr;
}

void CloseLogFile()
{
    LogState& s = State();
    std::lock_guard lock(s.mutex);
    if (s.file)
        std::fclose(s.file);
    s.file = nullptr;
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
