#pragma once
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <string_view>

namespace Kestrin
{

// The engine's diagnostic log. Texts are written unchanged (callers add their own line ends).
// Wide arguments must be converted to UTF-8 before formatting (never pass them through %ls).
// A formatted text is never truncated, so a multi-byte character is never cut in half.
// Safe to call from any thread.
void LogPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));
void LogWrite(const std::string& text);

// Where log texts go besides the sinks below: the log file, once opened (truncating).
// Opening a file explicitly disarms a pending locator (below).
bool OpenLogFile(const std::string& path);
void CloseLogFile();

// Tells where the log file belongs once that can be known. Every write asks it until it answers
// a path; an empty answer means "not yet" (the per-user folder needs the application object).
// After the first path the locator is never asked again and the open is never retried, even
// when it fails. Installing a locator arms one new attempt; null disarms. The locator runs
// outside the log's lock; a text it logs itself skips the open.
using LogFileLocator = std::function<std::string()>;
void SetLogFileLocator(LogFileLocator locator);

// Copies every text to stderr (the debugger output of other platforms); on by default.
void SetLogToStderr(bool enabled);

// Extra receivers of every log text (tests capture the log this way). Returns an id for removal.
using LogListener = std::function<void(const std::string&)>;
int AddLogListener(LogListener listener);
void RemoveLogListener(int id);

// Remembers the keys it has logged under, so that a warning that can come up every frame is
// written once per key while its holder lives: a function's static for once per process, a
// member for once per object. Safe to share between threads.
class LogOnce
{
public:
    LogOnce() = default;
    // A copy takes the keys told so far.
    LogOnce(const LogOnce& other);
    LogOnce& operator=(const LogOnce& other);

    // True the first time `key` is asked about, false from then on.
    bool First(std::string_view key);
    // Formats and logs the text only the first time `key` comes.
    void Printf(std::string_view key, const char* format, ...) __attribute__((format(printf, 3, 4)));

private:
    mutable std::mutex m_mutex;
    std::set<std::string, std::less<>> m_told;
};

} // namespace Kestrin
