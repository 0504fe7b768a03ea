#include "Platform/Shim/Win32/Folders.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace Win32Shim
{

std::string UserDataRoot()
{
    // XDG_DATA_HOME counts only when it is absolute; a relative value is ignored.
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg && *xdg == '/')
        return xdg;
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : "/tmp") + "/.local/share";
}

std::string ProgramFolder()
{
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec)
        return std::filesystem::current_path(ec).string();
    return exe.parent_path().string();
}

bool MakeWritableFolder(const std::string& path, std::string& reason)
{
    std::error_code ec;
    std::filesystem::create_directories(path, ec);
    if (ec)
    {
        reason = ec.message();
        return false;
    }
    // Asked of the system rather than read from the mode bits: it knows about read-only mounts
    // and about users who may write anyway.
    if (::access(path.c_str(), W_OK | X_OK) != 0)
    {
        reason = std::strerror(errno);
        return false;
    }
    return true;
}

} // namespace Win32Shim
