#include "Base/Stream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

using namespace Kestrin;

TEST(MemoryStream, WriteSeekReadAndReadDirect)
{
    MemoryStream s(L"mem");
    EXPECT_TRUE(s.IsEOF());
    EXPECT_EQ(s.Write("hello", 5), 5u);
    EXPECT_EQ(s.Tell(), 5u);
    char buf[10] = {};
    EXPECT_EQ(s.Seek(0, 0), 0u);
    EXPECT_EQ(s.Read(buf, 10), 5u);
    EXPECT_EQ(std::string(buf, 5), "hello");
    EXPECT_TRUE(s.IsEOF());

    // Seeks clamp to the contents; direct reads advance and end with nothing.
    EXPECT_EQ(s.Seek(2, 10), 5u);
    EXPECT_EQ(s.Seek(0, -3), 0u);
    EXPECT_EQ(s.Seek(1, 2), 2u);
    const uint8_t* p = nullptr;
    EXPECT_EQ(s.ReadDirect(p, 2), 2u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(p), 2), "ll");
    EXPECT_EQ(s.ReadDirect(p, 10), 1u);
    EXPECT_EQ(*p, 'o');
    EXPECT_EQ(s.ReadDirect(p, 10), 0u);
    EXPECT_EQ(p, nullptr);

    // A write past the end grows the stream and keeps the head.
    s.Seek(0, 3);
    EXPECT_EQ(s.Write("0123456789", 10), 10u);
    EXPECT_EQ(std::string(s.Bytes().begin(), s.Bytes().end()), "hel0123456789");
    MemoryStream gap;
    gap.Write("a", 1);
    gap.Seek(0, 1);
    gap.Write("b", 1);
    EXPECT_EQ(gap.GetSize(), 2u);
}

namespace
{
// A source that claims bytes but never delivers them, and a target that can fail.
class BrokenStream : public IStream
{
public:
    uint32_t size = 100;
    uint32_t writeLimit = UINT32_MAX;
    uint32_t readsLeft = 0; // reads that still deliver bytes
    uint32_t pos = 0;
    std::string written;

    std::wstring GetName() const override { return L"broken"; }
    uint32_t GetCapabilities() const override { return CanRead | CanWrite | CanSeek; }
    uint32_t GetSize() override { return size; }
    bool IsEOF() override { return pos >= size; }
    uint32_t Read(void* buffer, uint32_t count) override
    {
        if (readsLeft == 0)
            return 0;
        --readsLeft;
        uint32_t n = std::min(count, size - pos);
        std::memset(buffer, 'r', n);
        pos += n;
        return n;
    }
    uint32_t ReadDirect(const uint8_t*&, uint32_t) override { return 0; }
    uint32_t Write(const void* buffer, uint32_t count) override
    {
        uint32_t n = std::min(count, writeLimit);
        written.append(static_cast<const char*>(buffer), n);
        writeLimit -= n;
        return n;
    }
    uint32_t Seek(int, int32_t) override { return pos; }
    uint32_t Tell() override { return pos; }
};
} // namespace

TEST(CopyStream, CopiesInChunksAndReportsFailedReadsAndShortWrites)
{
    BrokenStream source; // claims 100 bytes, delivers none
    MemoryStream target;
    EXPECT_FALSE(CopyStream(source, target));
    EXPECT_EQ(target.GetSize(), 0u);
    source.size = 1300;
    source.readsLeft = 10;
    EXPECT_TRUE(CopyStream(source, target));
    EXPECT_EQ(target.GetSize(), 1300u);

    MemoryStream direct(L"", "abcdef", 6);
    BrokenStream full;
    full.writeLimit = 4;
    EXPECT_FALSE(CopyStream(direct, full));
    EXPECT_EQ(full.written, "abcd");
}
