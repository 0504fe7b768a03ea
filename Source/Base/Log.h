#pragma once
#include <functional>
#include <string>

namespace Kestrin
{

// The engine's diagnostic log. Texts are written unchanged (callers add their own line ends).
// Wide arguments must be converted to UTF-8 before formatting (never pass them through %ls).
void LogPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));
void LogWrite(const std::string& text);

// Where log texts go besides the sinks below: the log file, once opened.
bool OpenLogFile(const std::string& path);
void CloseLogFile();

// Copies every text to stderr (the debugger output of other platforms); on by default.
void SetLogToStderr(bool enabled);

// Extra receivers of every log text (tests capture the log this way). Returns an id for removal.
using LogListener = std::function<void(const std::string&)>;
int AddLogListener(LogListener listener);
void RemoveLogListener(int id);

} // namespace Kestrin
