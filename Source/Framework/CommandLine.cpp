#include "Framework/CommandLine.h"

#include "Base/Text.h"

#include <mutex>
#include <string>

namespace Kestrin
{

namespace
{
std::mutex g_mutex;

std::wstring& Text()
{
    static std::wstring* text = new std::wstring; // never destroyed: read during exit too
    return *text;
}
} // namespace

void SetCommandLine(int argc, const char* const* argv)
{
    std::wstring joined;
    for (int i = 0; i < argc && argv && argv[i]; ++i)
    {
        if (i > 0)
            joined += L' ';
        joined += FromUtf8(argv[i]);
    }
    std::lock_guard lock(g_mutex);
    Text() = std::move(joined);
}

const wchar_t* GetCommandLine()
{
    std::lock_guard lock(g_mutex);
    return Text().c_str();
}

} // namespace Kestrin
