#pragma once
#include <string>

namespace Kestrin
{

// The per-user data folder: $XDG_DATA_HOME (or ~/.local/share), then the application's company
// and product names passed through FilterFolderName; created on demand. Accounts and the log live here.
std::wstring GetAppDataFolder();
// The folder that holds the executable (the data tree lies beside it).
std::wstring GetExecutableFolder();

// Keeps letters, digits, blanks, apostrophes and commas.
std::wstring FilterFolderName(const std::wstring& name);

// Tests point the folders elsewhere; an empty text restores the default.
void SetAppDataFolderOverride(const std::wstring& folder);
void SetExecutableFolderOverride(const std::wstring& folder);

} // namespace Kestrin
