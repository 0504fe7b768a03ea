#include "Platform/Shim/Win32/SingleInstance.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace Kestrin::Shim
{

namespace
{
// An abstract-namespace address: no file to clean up after a crash.
socklen_t SocketAddress(const std::string& name, sockaddr_un& addr)
{
    std::memset(&addr, 0, sizeof addr);
    addr.sun_family = AF_UNIX;
    std::string id = name + "-" + std::to_string(getuid());
    size_t n = std::min(id.size(), sizeof addr.sun_path - 2);
    std::memcpy(addr.sun_path + 1, id.data(), n);
    return socklen_t(offsetof(sockaddr_un, sun_path) + 1 + n);
}
} // namespace

SingleInstance::SingleInstance(const std::string& lockFolder, const std::string& name) : m_name(name)
{
    std::string path = lockFolder + "/" + name + ".lock";
    m_lockFd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (m_lockFd < 0)
        return; // no lock at all: act as the first copy
    if (::flock(m_lockFd, LOCK_EX | LOCK_NB) != 0)
    {
        if (errno == EWOULDBLOCK)
            m_first = false;
        ::close(m_lockFd);
        m_lockFd = -1;
        return;
    }
    m_socketFd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (m_socketFd >= 0)
    {
        sockaddr_un addr;
        socklen_t len = SocketAddress(m_name, addr);
        if (::bind(m_socketFd, reinterpret_cast<sockaddr*>(&addr), len) != 0)
        {
            ::close(m_socketFd);
            m_socketFd = -1;
        }
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
    socklen_t len = SocketAddress(m_name, addr);
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
