#include "Base/Stream.h"
#include "Framework/FileUtilities.h"
#include "Platform/Shim/Win32/Files.h"
#include "Platform/Win32/Win32FileSystem.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace Kestrin;
using KestrinTest::TempFolder;

namespace
{
const FileSpec kAccount(2, L"42", L".act", L".");

class DiskFiles : public ::testing::Test
{
protected:
    TempFolder folder;
    Win32FileSystem fs; // the global file system while it lives
    DiskFiles() { fs.AddPartition(2, new Win32FileSystemPartition(folder.WidePath())); }

    size_t ListedAccounts()
    {
        std::vector<FileSpec> found;
        fs.ListFiles(FileSpec(2, L"*", L".act", L"."), found);
        return found.size();
    }
};
} // namespace

TEST_F(DiskFiles, RenameReplacesOnlyFilesAndSyncNeedsAFileStream)
{
    folder.Write("a.tmp", "new");
    folder.Write("42.act", "old");
    EXPECT_TRUE(fs.Rename(FileSpec(2, L"a", L".tmp", L"."), kAccount));
    EXPECT_EQ(folder.Read("42.act"), "new");
    EXPECT_FALSE(folder.Has("a.tmp"));

    EXPECT_FALSE(fs.Rename(FileSpec(2, L"missing", L".tmp", L"."), kAccount));
    EXPECT_FALSE(fs.Rename(kAccount, FileSpec(3, L"42", L".act", L"."))) << "never across locations";
    std::filesystem::create_directories(folder.Path() + "/dir.act/inner");
    EXPECT_FALSE(fs.Rename(kAccount, FileSpec(2, L"dir", L".act", L".")));
    EXPECT_FALSE(fs.Rename(FileSpec(2, L"dir", L".act", L"."), FileSpec(2, L"moved", L".act", L".")));
    EXPECT_EQ(folder.Read("42.act"), "new");

    FileStreamPtr stream(fs.Open(kAccount, IFileSystem::AccessWrite, IFileSystem::CreateAlways), FileSystemCloser{&fs});
    ASSERT_TRUE(stream);
    EXPECT_TRUE(fs.Sync(stream.get()));
    MemoryStream memory;
    EXPECT_FALSE(fs.Sync(&memory)) << "a memory stream has no disk to reach";
    EXPECT_FALSE(Win32Shim::SyncFolder(folder.Path() + "/missing"));
}

TEST_F(DiskFiles, ReplaceLeavesNoTemporaryFileAndNeverAHalfFile)
{
    folder.Write("42.act", "old content");
    std::string error;
    ASSERT_TRUE(ReplaceFileContents(kAccount, "fresh", 5, &error)) << error;
    EXPECT_EQ(folder.Read("42.act"), "fresh");
    EXPECT_FALSE(folder.Has("42.act.tmp"));

    // The temporary name is taken by a folder: the write cannot start, the file stays as it was.
    std::filesystem::create_directories(folder.Path() + "/42.act.tmp/x");
    EXPECT_FALSE(ReplaceFileContents(kAccount, "lost", 4, &error));
    EXPECT_EQ(error, "couldn't create the temporary file");
    EXPECT_EQ(folder.Read("42.act"), "fresh");
    EXPECT_EQ(ListedAccounts(), 1u) << "the listing never shows a temporary file";
}
