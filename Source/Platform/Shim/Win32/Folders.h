#pragma once
#include <string>

// The folders the engine's platform asks the system for: where the program lies and where per-user
// data goes. Paths are UTF-8, '/' separated.
namespace Win32Shim
{

// The folder below which per-user data lies: $XDG_DATA_HOME when it is an absolute path, else
// $HOME/.local/share (/tmp/.local/share without a home).
std::string UserDataRoot();

// The folder holding the running program, else the current folder.
std::string ProgramFolder();

// Makes the folder and those above it, then checks that files can be made in it. False with the
// system's reason when either fails.
bool MakeWritableFolder(const std::string& path, std::string& reason);

} // namespace Win32Shim
