#include "Platform/Win32/Win32FileStream.h"

#include "Base/Exceptions.h"
#include "Base/Text.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace Kestrin
{

namespace
{
// Calls `transfer` (given the bytes done so far) until `count` bytes are done, it fails or it
// reaches the end; an interrupted call is made again.
template <typename Transfer> uint32_t TransferAll(uint32_t count, Transfer transfer)
{
    size_t done = 0;
    while (done < count)
    {
        ssize_t n = transfer(done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += size_t(n);
    }
    return uint32_t(done);
}
} // namespace

std::wstring Win32FileStream::NameFromPath(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    std::string file = slash == std::string::npos ? path : path.substr(slash + 1);
    size_t dot = file.find_last_of('.');
    if (dot != std::string::npos && dot > 0)
        file.resize(dot);
    return FromUtf8(file);
}

Win32FileStream::Win32FileStream(int fd, const std::string& path, bool readable, bool writable)
    : m_fd(fd), m_name(NameFromPath(path)),
      m_capabilities((readable ? CanRead : 0u) | (writable ? CanWrite : 0u) | CanSeek)
{
}

Win32FileStream::~Win32FileStream()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

uint32_t Win32FileStream::GetSize()
{
    struct stat st;
    if (::fstat(m_fd, &st) != 0)
        return 0;
    return uint32_t(st.st_size);
}

uint32_t Win32FileStream::Read(void* buffer, uint32_t count)
{
    return TransferAll(count, [&](size_t done)
                       { return ::read(m_fd, static_cast<char*>(buffer) + done, count - done); });
}

uint32_t Win32FileStream::ReadDirect(const uint8_t*&, uint32_t)
{
    throw engine_error(KESTRIN_HERE, "Win32FileStream does not implement ReadOptimized.");
}

uint32_t Win32FileStream::Write(const void* buffer, uint32_t count)
{
    return TransferAll(count, [&](size_t done)
                       { return ::write(m_fd, static_cast<const char*>(buffer) + done, count - done); });
}

uint32_t Win32FileStream::Seek(int origin, int32_t offset)
{
    int whence = origin == FromCurrent ? SEEK_CUR : origin == FromEnd ? SEEK_END : SEEK_SET;
    off_t pos = ::lseek(m_fd, offset, whence);
    return pos < 0 ? Tell() : uint32_t(pos);
}

uint32_t Win32FileStream::Tell()
{
    off_t pos = ::lseek(m_fd, 0, SEEK_CUR);
    return pos < 0 ? 0 : uint32_t(pos);
}

bool Win32FileStream::Sync()
{
    return ::fsync(m_fd) == 0;
}

} // namespace Kestrin
