#include "Platform/Win32/Win32FileStream.h"

#include "Base/Exceptions.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <unistd.h>

using namespace Kestrin;

TEST(FileStream, NameCapabilitiesAndReadDirect)
{
    char path[] = "/tmp/kestrin-streamXXXXXX";
    int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    {
        Win32FileStream s(fd, path, true, true);
        EXPECT_EQ(s.GetCapabilities(), 7u);
        EXPECT_EQ(s.Write("0123456789", 10), 10u);
        EXPECT_EQ(s.GetSize(), 10u);
        EXPECT_TRUE(s.IsEOF());
        EXPECT_EQ(s.Seek(2, -4), 6u);
        char buf[8] = {};
        EXPECT_EQ(s.Read(buf, 8), 4u);
        EXPECT_EQ(std::string(buf, 4), "6789");
        EXPECT_EQ(s.Seek(7, 1), 1u); // an unknown origin counts as the start

        const uint8_t* p = nullptr;
        try
        {
            s.ReadDirect(p, 1);
            FAIL() << "ReadDirect must throw";
        }
        catch (const engine_error& e)
        {
            EXPECT_STREQ(e.what(), "Win32FileStream does not implement ReadOptimized.");
            EXPECT_EQ(e.SourceFile(), "Source/Platform/Win32/Win32FileStream.cpp");
            EXPECT_GT(e.Line(), 0);
        }
    }
    unlink(path);

    EXPECT_EQ(Win32FileStream::NameFromPath("dir/abc.xml"), L"abc");
    EXPECT_EQ(Win32FileStream::NameFromPath("a.b/c"), L"c");
    Win32FileStream readOnly(open("/dev/null", O_RDONLY), "/dev/null", true, false);
    EXPECT_EQ(readOnly.GetCapabilities(), 5u);
}
