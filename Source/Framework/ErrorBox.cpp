#include "Framework/ErrorBox.h"

#include "Base/Log.h"
#include "Base/Text.h"

#include <mutex>

namespace Kestrin
{

namespace
{
std::mutex g_mutex;
ErrorBoxSink& Sink()
{
    static ErrorBoxSink sink;
    return sink;
}
} // namespace

void SetErrorBoxSink(ErrorBoxSink sink)
{
    std::lock_guard lock(g_mutex);
    Sink() = std::move(sink);
}

void ShowErrorBox(const std::wstring& caption, const std::wstring& text)
{
    LogPrintf("Error box: %s: %s\n", ToUtf8(caption).c_str(), ToUtf8(text).c_str());
    ErrorBoxSink sink;
    {
        std::lock_guard lock(g_mutex);
        sink = Sink();
    }
    // Called outside the lock: a modal box runs for as long as the player leaves it open.
    if (sink)
        sink(caption, text);
}

} // namespace Kestrin
