#pragma once
#include "Base/Log.h"

#include <mutex>
#include <string>

namespace KestrinTest
{

// Collects every log text written while it lives.
class LogCapture
{
public:
    LogCapture()
    {
        m_id = Kestrin::AddLogListener(
            [this](const std::string& text)
            {
                std::lock_guard lock(m_mutex);
                m_text += text;
            });
    }
    ~LogCapture() { Kestrin::RemoveLogListener(m_id); }

    std::string Text() const
    {
        std::lock_guard lock(m_mutex);
        return m_text;
    }

private:
    int m_id;
    mutable std::mutex m_mutex;
    std::string m_text;
};

} // namespace KestrinTest
