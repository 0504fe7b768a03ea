#include "Platform/Shim/Win32/SingleInstance.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <system_error>
#include <unistd.h>

namespace Kestrin::Shim
{

namespace
{
// An abstract-namespace address: no file to clean up after a crash. It is named after the lock
// file too, so copies that keep their data in different folders (tests, other accounts' set-ups)
// never wake each other.
socklen_t SocketAddress(const std::string& id, sockaddr_un& addr)
{
    std::memset(&addr, 0, sizeof addr);
    addr.sun_family = AF_UNIX;
    size_t n = std::min(id.size(), sizeof addr.sun_path - 2);
    std::memcpy(addr.sun_path + 1, id.data(), n);
    return socklen_t(offsetof(sockaddr_un, sun_path) + 1 + n);
}

std::string SocketId(const std::string& lockPath, const std::string& name)
{
    std::error_code ec;
    std::string path = std::filesystem::weakly_canonical(lockPath, ec).string();
    if (ec)
        path = std::filesystem::path(lockPath).lexically_normal().string();
    uint64_t hash = 14695981039346656037ull; // FNV-1a
    for (unsigned char c : path)
        hash = (hash ^ c) * 1099511628211ull;
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    return name + "-" + std::to_string(getuid()) + "-" + hex;
}
} // namespace

SingleInstance::SingleInstance(const std::string& lockFolder, const std::string& name)
{
    const std::string path = lockFolder + "/" + name + ".lock";
    m_socketId = SocketId(path, name);
    m_lockFd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (m_lockFd >= 0 && ::flock(m_lockFd, LOCK_EX | LOCK_NB) != 0)
    {
        if (errno == EWOULDBLOCK)
            m_first = false;
        ::close(m_lockFd);
        m_lockFd = -1;
        return;
    }
    m_socketFd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (m_socketFd < 0)
        return;
    sockaddr_un addr;
    socklen_t len = SocketAddress(m_socketId, addr);
    if (::bind(m_socketFd, reinterpret_cast<sockaddr*>(&addr), len) != 0)
    {
        // Without a lock file (a folder that cannot be written) the socket's name is the lock:
        // only one copy can hold it.
        if (m_lockFd < 0 && errno == EADDRINUSE)
            m_first = false;
        ::close(m_socketFd);
        m_socketFd = -1;
    }
}

SingleInstance::~SingleInstance()
{
    if (m_socketFd >= 0)
        ::close(m_socketFd);
    if (m_lockFd >= 0)
        ::close(m_lockFd); // releases the lock
}

bool SingleInstance::SignalFirstInstance()
{
    int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    sockaddr_un addr;
    socklen_t len = SocketAddress(m_socketId, addr);
    char wake = 1;
    bool sent = ::sendto(fd, &wake, 1, MSG_DONTWAIT, reinterpret_cast<sockaddr*>(&addr), len) == 1;
    ::close(fd);
    return sent;
}

bool SingleInstance::TakeActivationRequest()
{
    if (m_socketFd < 0)
        return false;
    bool any = false;
    char buffer[16];
    while (::recv(m_socketFd, buffer, sizeof buffer, MSG_DONTWAIT) > 0)
        any = true;
    return any;
}

} // namespace Kestrin::Shim
