#include "Framework/Paths.h"

#include "Base/Text.h"
#include "Framework/Application.h"

#include <cstdlib>
#include <cwctype>
#include <filesystem>
#include <mutex>
#include <system_error>
#include <unistd.h>

namespace Kestrin
{

namespace
{
std::mutex g_mutex;
std::wstring g_appDataOverride;
std::wstring g_executableOverride;

bool IsAsciiAlnum(wchar_t c)
{
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9');
}
} // namespace

std::wstring FilterFolderName(const std::wstring& name)
{
    std::wstring out;
    for (wchar_t c : name)
        if (IsAsciiAlnum(c) || (c > 0x7F && std::iswalnum(wint_t(c))) || c == L' ' || c == L'\'' || c == L',')
            out.push_back(c);
    return out;
}

void SetAppDataFolderOverride(const std::wstring& folder)
{
    std::lock_guard lock(g_mutex);
    g_appDataOverride = folder;
}

void SetExecutableFolderOverride(const std::wstring& folder)
{
    std::lock_guard lock(g_mutex);
    g_executableOverride = folder;
}

std::wstring GetAppDataFolder()
{
    std::filesystem::path folder;
    {
        std::lock_guard lock(g_mutex);
        if (!g_appDataOverride.empty())
            folder = ToUtf8(g_appDataOverride);
    }
    if (folder.empty())
    {
        const char* xdg = std::getenv("XDG_DATA_HOME");
        if (xdg && *xdg == '/')
        {
            folder = xdg;
        }
        else
        {
            const char* home = std::getenv("HOME");
            folder = std::filesystem::path(home && *home ? home : "/tmp") / ".local" / "share";
        }
        const ApplicationInfo* info = GetApplication() ? GetApplication()->GetApplicationInfo() : nullptr;
        std::wstring company = FilterFolderName(info && info->companyName ? info->companyName : L"");
        std::wstring product = FilterFolderName(info && info->productName ? info->productName : L"");
        if (!company.empty())
            folder /= ToUtf8(company);
        if (!product.empty())
            folder /= ToUtf8(product);
    }
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    return FromUtf8(folder.string());
}

std::wstring GetExecutableFolder()
{
    {
        std::lock_guard lock(g_mutex);
        if (!g_executableOverride.empty())
            return g_executableOverride;
    }
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec)
        return FromUtf8(std::filesystem::current_path(ec).string());
    return FromUtf8(exe.parent_path().string());
}

} // namespace Kestrin
