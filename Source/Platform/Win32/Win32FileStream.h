#pragma once
#include "Base/Stream.h"

#include <string>

namespace Kestrin
{

// A file opened by the file system. Owns the descriptor.
class Win32FileStream : public IStream
{
public:
    // path names the file; the stream's name is the file name without folder and extension.
    Win32FileStream(int fd, const std::string& path, bool readable, bool writable);
    ~Win32FileStream() override;

    Win32FileStream(const Win32FileStream&) = delete;
    Win32FileStream& operator=(const Win32FileStream&) = delete;

    std::wstring GetName() const override { return m_name; }
    uint32_t GetCapabilities() const override { return m_capabilities; }
    uint32_t GetSize() override;
    bool IsEOF() override { return Tell() >= GetSize(); }
    uint32_t Read(void* buffer, uint32_t count) override;
    uint32_t ReadDirect(const uint8_t*& data, uint32_t count) override;
    uint32_t Write(const void* buffer, uint32_t count) override;
    uint32_t Seek(int origin, int32_t offset) override;
    uint32_t Tell() override;

    // Flushes the file to the disk; false on failure.
    bool Sync();
    int Descriptor() const { return m_fd; }

    static std::wstring NameFromPath(const std::string& path);

private:
    int m_fd;
    std::wstring m_name;
    uint32_t m_capabilities;
};

} // namespace Kestrin
