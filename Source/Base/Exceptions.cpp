#include "Base/Exceptions.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace Kestrin
{

namespace
{
std::atomic<HResultNameLookup> g_lookup{nullptr};
}

void SetHResultNameLookup(HResultNameLookup lookup)
{
    g_lookup.store(lookup);
}

const char* GetHResultName(HRESULT code)
{
    HResultNameLookup lookup = g_lookup.load();
    return lookup ? lookup(code) : nullptr;
}

engine_error::engine_error(const char* sourceFile, int line, const std::string& message)
    : std::runtime_error(message), m_sourceFile(sourceFile ? sourceFile : ""), m_line(line)
{
}

std::string FormatComErrorMessage(const char* description, HRESULT code)
{
    char hex[16];
    std::snprintf(hex, sizeof hex, "%x", unsigned(code));
    std::string text = std::string(description ? description : "") + " (HRESULT 0x" + hex + ")";
    if (const char* name = GetHResultName(code))
        text += std::string("\n") + name;
    return text;
}

std::string FormatWin32ErrorMessage(const char* description, int code, const std::string& systemText)
{
    std::string text =
        std::string(description ? description : "") + " (Win32 Error " + std::to_string(code) + ")";
    if (!systemText.empty())
        text += "\n" + systemText;
    return text;
}

com_error::com_error(const char* sourceFile, int line, HRESULT code, const char* description)
    : engine_error(sourceFile, line, FormatComErrorMessage(description, code)), m_code(code)
{
}

namespace
{
std::string ErrnoText(int code)
{
    return code ? std::strerror(code) : std::string();
}
} // namespace

win32_error::win32_error(const char* sourceFile, int line, const char* description)
    : win32_error(sourceFile, line, description, errno, ErrnoText(errno))
{
}

win32_error::win32_error(const char* sourceFile, int line, const char* description, int code,
                         const std::string& systemText)
    : engine_error(sourceFile, line, FormatWin32ErrorMessage(description, code, systemText))
{
}

} // namespace Kestrin

#include "Base/Log.h"
#include "Base/Text.h"

namespace Kestrin
{

void LogUnhandledException(const std::exception& e)
{
    LogPrintf("Unhandled Exception!\n");
    LogExceptionDetails(e);
}

void LogExceptionDetails(const std::exception& e)
{
    if (auto* ee = dynamic_cast<const engine_error*>(&e))
    {
        LogPrintf("\tFile:\t%s\n", ee->SourceFile().c_str());
        LogPrintf("\tLine:\t%d\n", ee->Line());
        if (!ee->wideMessage.empty())
        {
            LogPrintf("\tMessage:\t%s\n", ToUtf8(ee->wideMessage).c_str());
            return;
        }
    }
    LogPrintf("\tMessage:\t%s\n", e.what());
}

std::wstring UnhandledExceptionBoxText(const std::exception& e)
{
    std::wstring text = L"Unhandled Exception\n\n";
    if (auto* ee = dynamic_cast<const engine_error*>(&e))
    {
        text += L"File:\t" + FromUtf8(ee->SourceFile()) + L"\n";
        text += L"Line:\t" + std::to_wstring(ee->Line()) + L"\n\n";
        text += ee->wideMessage.empty() ? FromUtf8(e.what()) : ee->wideMessage;
        return text;
    }
    return text + FromUtf8(e.what());
}

} // namespace Kestrin
