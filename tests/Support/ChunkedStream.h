#pragma once
#include "Base/Stream.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace KestrinTest
{

// A read-only stream without direct access that hands out at most `chunk` bytes per Read, like a
// file. From `failAt` on every Read answers 0 although the end has not been reached (an I/O error).
class ChunkedStream : public Kestrin::IStream
{
public:
    ChunkedStream(std::wstring name, std::string bytes, uint32_t chunk = 512,
                  size_t failAt = std::string::npos)
        : m_name(std::move(name)), m_bytes(std::move(bytes)), m_chunk(chunk), m_failAt(failAt)
    {
    }

    std::wstring GetName() const override { return m_name; }
    uint32_t GetCapabilities() const override { return CanRead | CanSeek; }
    uint32_t GetSize() override { return uint32_t(m_bytes.size()); }
    bool IsEOF() override { return m_position >= m_bytes.size(); }
    uint32_t Read(void* buffer, uint32_t count) override
    {
        ++reads;
        largestRequest = std::max(largestRequest, count);
        if (m_position >= m_failAt)
            return 0;
        size_t n = std::min<size_t>({count, m_chunk, m_bytes.size() - m_position, m_failAt - m_position});
        std::memcpy(buffer, m_bytes.data() + m_position, n);
        m_position += n;
        return uint32_t(n);
    }
    uint32_t ReadDirect(const uint8_t*&, uint32_t) override { return 0; }
    uint32_t Write(const void*, uint32_t) override { return 0; }
    uint32_t Seek(int origin, int32_t offset) override
    {
        int64_t base = origin == FromCurrent ? int64_t(m_position)
                       : origin == FromEnd   ? int64_t(m_bytes.size())
                                             : 0;
        m_position = size_t(std::clamp<int64_t>(base + offset, 0, int64_t(m_bytes.size())));
        return uint32_t(m_position);
    }
    uint32_t Tell() override { return uint32_t(m_position); }

    int reads = 0;
    uint32_t largestRequest = 0;

private:
    std::wstring m_name;
    std::string m_bytes;
    uint32_t m_chunk;
    size_t m_failAt;
    size_t m_position = 0;
};

// Accepts at most `capacity` bytes in total, then writes fall short (a full disk).
class LimitedStream : public Kestrin::MemoryStream
{
public:
    explicit LimitedStream(size_t capacity) : m_capacity(capacity) {}
    uint32_t Write(const void* buffer, uint32_t count) override
    {
        uint32_t room =
            uint32_t(std::min<size_t>(count, m_capacity - std::min(m_capacity, size_t(GetSize()))));
        return room ? MemoryStream::Write(buffer, room) : 0;
    }

private:
    size_t m_capacity;
};

} // namespace KestrinTest
