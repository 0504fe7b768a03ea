#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace Kestrin
{

class IStream
{
public:
    enum Capability : uint32_t
    {
        CanRead = 1,
        CanWrite = 2,
        CanSeek = 4,
        CanReadDirect = 8,
    };
    enum Origin
    {
        FromStart = 0,
        FromCurrent = 1,
        FromEnd = 2,
    };

    virtual ~IStream() = default;
    virtual std::wstring GetName() const = 0;
    virtual uint32_t GetCapabilities() const = 0;
    virtual uint32_t GetSize() = 0;
    virtual bool IsEOF() = 0;
    // Returns the bytes read; 0 at the end or on failure.
    virtual uint32_t Read(void* buffer, uint32_t count) = 0;
    // Points into the stream's own bytes and advances; the pointer is null when nothing is left.
    virtual uint32_t ReadDirect(const uint8_t*& data, uint32_t count) = 0;
    // Returns the bytes written; less than count (0) on failure.
    virtual uint32_t Write(const void* buffer, uint32_t count) = 0;
    virtual uint32_t Seek(int origin, int32_t offset) = 0;
    virtual uint32_t Tell() = 0;
};

class MemoryStream : public IStream
{
public:
    explicit MemoryStream(std::wstring name = L"");
    MemoryStream(std::wstring name, const void* data, uint32_t size);

    std::wstring GetName() const override { return m_name; }
    uint32_t GetCapabilities() const override { return CanRead | CanWrite | CanSeek | CanReadDirect; }
    uint32_t GetSize() override { return uint32_t(m_bytes.size()); }
    bool IsEOF() override { return m_position == m_bytes.size(); }
    uint32_t Read(void* buffer, uint32_t count) override;
    uint32_t ReadDirect(const uint8_t*& data, uint32_t count) override;
    uint32_t Write(const void* buffer, uint32_t count) override;
    uint32_t Seek(int origin, int32_t offset) override;
    uint32_t Tell() override { return uint32_t(m_position); }

    const std::vector<uint8_t>& Bytes() const { return m_bytes; }

private:
    std::wstring m_name;
    std::vector<uint8_t> m_bytes;
    size_t m_position = 0;
};

// Copies the source from its position to its end into the target. False when a write fell short
// or a read failed before the end (the target then holds a truncated copy).
bool CopyStream(IStream& source, IStream& target);

} // namespace Kestrin
