#pragma once

// The engine's log lines while a check runs, so a problem can say what the engine said.

#include "harness/LogCapture.h"

#include <sstream>
#include <string>

namespace DataCheck
{

using LogLines = KestrinTest::LogCapture;

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
