#pragma once

// The engine's log lines while a check runs, so a problem can say what the engine said.

#include "Base/Log.h"

#include <mutex>
#include <sstream>
#include <string>

namespace DataCheck
{

// Answers the log lines written while it lives, so a failure can say what the engine said.
class LogLines
{
public:
    LogLines()
    {
        m_id = Kestrin::AddLogListener(
            [this](const std::string& text)
            {
                std::lock_guard lock(m_mutex);
                m_text += text;
            });
    }
    ~LogLines() { Kestrin::RemoveLogListener(m_id); }
    LogLines(const LogLines&) = delete;
    LogLines& operator=(const LogLines&) = delete;
    std::string Text() const
    {
        std::lock_guard lock(m_mutex);
        std::string text = m_text;
        while (!text.empty() && text.back() == '\n')
            text.pop_back();
        return text;
    }

private:
    int m_id = 0;
    mutable std::mutex m_mutex;
    std::string m_text;
};

// What the engine logged, on one line, without the resource manager's progress lines.
inline std::string Because(const LogLines& log)
{
    std::istringstream lines(log.Text());
    std::string text;
    for (std::string line; std::getline(lines, line);)
        if (!line.empty() && !line.starts_with("Loading resource file:"))
            text += (text.empty() ? "" : "; ") + line;
    return text.empty() ? std::string() : " (" + text + ")";
}

} // namespace DataCheck
