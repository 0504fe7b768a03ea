#include "Base/Stream.h"

#include <algorithm>
#include <cstring>

namespace Kestrin
{

MemoryStream::MemoryStream(std::wstring name) : m_name(std::move(name)) {}

MemoryStream::MemoryStream(std::wstring name, const void* data, uint32_t size)
    : m_name(std::move(name)),
      m_bytes(static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + size)
{
}

uint32_t MemoryStream::Read(void* buffer, uint32_t count)
{
    size_t n = std::min<size_t>(count, m_bytes.size() - m_position);
    if (n)
        std::memcpy(buffer, m_bytes.data() + m_position, n);
    m_position += n;
    return uint32_t(n);
}

uint32_t MemoryStream::ReadDirect(const uint8_t*& data, uint32_t count)
{
    size_t n = std::min<size_t>(count, m_bytes.size() - m_position);
    data = n ? m_bytes.data() + m_position : nullptr;
    m_position += n;
    return uint32_t(n);
}

uint32_t MemoryStream::Write(const void* buffer, uint32_t count)
{
    if (count == 0)
        return 0;
    size_t end = m_position + count;
    if (end > m_bytes.size())
    {
        if (end > m_bytes.capacity())
            m_bytes.reserve(std::max(end, m_bytes.capacity() + m_bytes.capacity() / 2));
        m_bytes.resize(end, 0);
    }
    std::memcpy(m_bytes.data() + m_position, buffer, count);
    m_position = end;
    return count;
}

uint32_t MemoryStream::Seek(int origin, int32_t offset)
{
    int64_t base = origin == FromCurrent ? int64_t(m_position)
                   : origin == FromEnd   ? int64_t(m_bytes.size())
                                         : 0;
    m_position = size_t(std::clamp<int64_t>(base + offset, 0, int64_t(m_bytes.size())));
    return uint32_t(m_position);
}

bool CopyStream(IStream& source, IStream& target)
{
    if (source.GetCapabilities() & IStream::CanReadDirect)
    {
        const uint8_t* data = nullptr;
        uint32_t n = source.ReadDirect(data, source.GetSize());
        return n == 0 || target.Write(data, n) == n;
    }
    uint8_t chunk[512];
    while (!source.IsEOF())
    {
        uint32_t n = source.Read(chunk, sizeof chunk);
        if (n == 0)
            return false; // a failed read before the end would otherwise loop for ever
        if (target.Write(chunk, n) != n)
            return false;
    }
    return true;
}

} // namespace Kestrin
