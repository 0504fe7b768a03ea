#include "Framework/Paths.h"

#include "Base/Log.h"
#include "Base/Text.h"
#include "Framework/Application.h"

#include <cwctype>
#include <mutex>
#include <set>

namespace Kestrin
{

namespace
{
std::mutex g_mutex;
std::wstring g_appDataOverride;
std::wstring g_executableOverride;
FolderHooks g_hooks;
// Folders already reported as not writable: each is reported once.
std::set<std::wstring> g_reported;

bool IsAsciiAlnum(wchar_t c)
{
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9');
}

std::wstring Join(std::wstring folder, const std::wstring& name)
{
    if (name.empty())
        return folder;
    if (!folder.empty() && folder.back() != L'/')
        folder += L'/';
    return folder + name;
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

void SetFolderHooks(FolderHooks hooks)
{
    std::lock_guard lock(g_mutex);
    g_hooks = std::move(hooks);
}

std::wstring GetAppDataFolder()
{
    std::wstring folder;
    FolderHooks hooks;
    {
        std::lock_guard lock(g_mutex);
        folder = g_appDataOverride;
        hooks = g_hooks;
    }
    if (folder.empty())
    {
        if (!hooks.userDataRoot)
            return {};
        folder = hooks.userDataRoot();
        if (folder.empty())
            return {};
        const ApplicationInfo* info = GetApplication() ? GetApplication()->GetApplicationInfo() : nullptr;
        folder = Join(folder, FilterFolderName(info && info->companyName ? info->companyName : L""));
        folder = Join(folder, FilterFolderName(info && info->productName ? info->productName : L""));
    }
    std::string reason;
    if (!hooks.makeWritableFolder || hooks.makeWritableFolder(folder, reason))
        return folder;
    bool first;
    {
        std::lock_guard lock(g_mutex);
        first = g_reported.insert(folder).second;
    }
    // Without a word here a player would lose every profile change and never know why.
    if (first)
        LogPrintf("Cannot write to the per-user folder \"%s\" (%s): the log and the player profiles "
                  "cannot be saved there.\n",
                  ToUtf8(folder).c_str(), reason.c_str());
    return folder;
}

std::wstring GetExecutableFolder()
{
    std::function<std::wstring()> programFolder;
    {
        std::lock_guard lock(g_mutex);
        if (!g_executableOverride.empty())
            return g_executableOverride;
        programFolder = g_hooks.programFolder;
    }
    return programFolder ? programFolder() : std::wstring();
}

std::wstring GetDataFolder()
{
    return GetExecutableFolder() + L"/data";
}

} // namespace Kestrin
