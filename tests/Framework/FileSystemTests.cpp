#include "Framework/FileSystem.h"
#include "Framework/Singletons.h"

#include "Support/ChunkedStream.h"
#include "Support/FakeFileSystem.h"

#include <gtest/gtest.h>

using namespace Kestrin;
using KestrinTest::FakeFileSystem;
using KestrinTest::ScopedFileSystem;

namespace
{
int g_made = 0;
bool g_deleted = false;

class CountedFileSystem : public FakeFileSystem
{
public:
    CountedFileSystem() { SetFileSystem(this); } // like the real one: global from construction on
    ~CountedFileSystem() override
    {
        g_deleted = true;
        UnregisterFileSystem(this);
    }
};

IFileSystem* MakeCounted()
{
    ++g_made;
    return new CountedFileSystem;
}
} // namespace

TEST(FileSystemSingleton, MadeOnceThroughTheFactoryAndDeletedAtShutdown)
{
    SetFileSystemFactory(nullptr);
    EXPECT_EQ(GetFileSystem(), nullptr);

    SetFileSystemFactory(&MakeCounted);
    IFileSystem* first = GetFileSystem();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(GetFileSystem(), first);
    EXPECT_EQ(g_made, 1);

    Internal::SingletonDestructor::DestroyAll();
    EXPECT_TRUE(g_deleted);
    SetFileSystemFactory(nullptr);
    EXPECT_EQ(GetFileSystem(), nullptr);
}

TEST(FileSystemSingleton, UnregisterClearsOnlyItsOwnPointer)
{
    FakeFileSystem a;
    FakeFileSystem b;
    SetFileSystem(&a);
    UnregisterFileSystem(&b);
    EXPECT_EQ(GetFileSystem(), &a);
    UnregisterFileSystem(&a);
    EXPECT_EQ(GetFileSystem(), nullptr);
}

TEST(ReadWholeFile, AnswersTheBytesOrNothingAndGivesTheStreamBack)
{
    FakeFileSystem fs;
    ScopedFileSystem scope(&fs);
    fs.AddFile(FileSpec(1, L"movie", L".swf", L"."), "FWS\x07 body");

    uint32_t size = 1234;
    EXPECT_EQ(ReadWholeFile(FileSpec(1, L"missing", L".swf", L"."), size), nullptr);
    EXPECT_EQ(size, 1234u);
    SetFileSystem(nullptr); // without a file system: nothing either
    SetFileSystemFactory(nullptr);
    EXPECT_EQ(ReadWholeFile(FileSpec(1, L"movie", L".swf", L"."), size), nullptr);
    EXPECT_EQ(size, 1234u);
    SetFileSystem(&fs);

    std::unique_ptr<uint8_t[]> bytes = ReadWholeFile(FileSpec(1, L"movie", L".swf", L"."), size);
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(size, 9u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(bytes.get()), size), "FWS\x07 body");
    EXPECT_EQ(fs.opens, 2);
    EXPECT_EQ(fs.closes, 1);

    // A read that falls short reports what arrived.
    fs.makeStream = [](const FileSpec&, const std::string& b) -> IStream*
    { return new KestrinTest::ChunkedStream(L"short", b, 512, 4); };
    bytes = ReadWholeFile(FileSpec(1, L"movie", L".swf", L"."), size);
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(fs.closes, 2);

    fs.AddFile(FileSpec(1, L"empty", L".swf", L"."), "");
    size = 99;
    EXPECT_NE(ReadWholeFile(FileSpec(1, L"empty", L".swf", L"."), size), nullptr);
    EXPECT_EQ(size, 0u);
}
