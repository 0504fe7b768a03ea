#pragma once
#include <functional>
#include <string>

namespace Kestrin
{

// The per-user data folder: the user data root (below), then the application's company and
// product names passed through FilterFolderName; created on demand. Accounts and the log live here.
// A folder that cannot be made or written is reported once on the log (and so on stderr).
// Empty while neither an override nor the platform's hooks tell where it is.
std::wstring GetAppDataFolder();
// The folder that holds the executable (the data tree lies beside it); empty while unknown.
std::wstring GetExecutableFolder();

// The game's data tree: the executable's folder followed by "/data".
std::wstring GetDataFolder();

// Keeps letters, digits, blanks, apostrophes and commas.
std::wstring FilterFolderName(const std::wstring& name);

// Tests point the folders elsewhere; an empty text restores the default.
void SetAppDataFolderOverride(const std::wstring& folder);
void SetExecutableFolderOverride(const std::wstring& folder);

// What only the operating system knows about folders. The platform fills these at start-up;
// tests may fill them with their own. An empty function answers "unknown" (or "failed").
struct FolderHooks
{
    // The folder below which per-user data folders lie.
    std::function<std::wstring()> userDataRoot;
    // The folder that holds the running program.
    std::function<std::wstring()> programFolder;
    // Makes the folder and those above it, and checks that files can be made in it. False, with
    // the reason, when either fails.
    std::function<bool(const std::wstring& folder, std::string& reason)> makeWritableFolder;
};
void SetFolderHooks(FolderHooks hooks);

} // namespace Kestrin
