#include "Base/Random.h"
#include "Base/Stream.h"
#include "Base/Text.h"
#include "Framework/AccountManager.h"
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

    std::vector<std::wstring> Listed()
    {
        std::vector<FileSpec> found;
        fs.ListFiles(FileSpec(2, L"*", L".act", L"."), found);
        std::vector<std::wstring> names;
        for (const FileSpec& spec : found)
            names.push_back(spec.name);
        return names;
    }
};
} // namespace

TEST_F(DiskFiles, RenameReplacesTheTargetAndNothingElse)
{
    folder.Write("a.tmp", "new");
    folder.Write("42.act", "old");
    EXPECT_TRUE(fs.Rename(FileSpec(2, L"a", L".tmp", L"."), kAccount));
    EXPECT_EQ(folder.Read("42.act"), "new");
    EXPECT_FALSE(folder.Has("a.tmp"));

    EXPECT_FALSE(fs.Rename(FileSpec(2, L"missing", L".tmp", L"."), kAccount));
    EXPECT_FALSE(fs.Rename(FileSpec(1, L"42", L".act", L"."), kAccount)) << "no partition under key 1";
    EXPECT_FALSE(fs.Rename(kAccount, FileSpec(3, L"42", L".act", L".")));
    // Never over a folder, never a folder itself.
    std::filesystem::create_directories(folder.Path() + "/dir.act/inner");
    EXPECT_FALSE(fs.Rename(kAccount, FileSpec(2, L"dir", L".act", L".")));
    EXPECT_FALSE(fs.Rename(FileSpec(2, L"dir", L".act", L"."), FileSpec(2, L"moved", L".act", L".")));
    EXPECT_EQ(folder.Read("42.act"), "new");
    EXPECT_TRUE(folder.Has("dir.act/inner"));
}

TEST_F(DiskFiles, SyncWorksOnItsOwnFileStreamsOnly)
{
    FileStreamPtr stream(fs.Open(kAccount, IFileSystem::AccessWrite, IFileSystem::CreateAlways), FileSystemCloser{&fs});
    ASSERT_TRUE(stream);
    ASSERT_EQ(stream->Write("abc", 3), 3u);
    EXPECT_TRUE(fs.Sync(stream.get()));
    MemoryStream memory;
    EXPECT_FALSE(fs.Sync(&memory)) << "a memory stream has no disk to reach";
    EXPECT_FALSE(fs.Sync(nullptr));
    EXPECT_TRUE(Win32Shim::SyncFolder(folder.Path()));
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
    EXPECT_EQ(Listed(), std::vector<std::wstring>{L"42"}) << "the listing never shows a temporary file";
}

TEST_F(DiskFiles, AccountsLiveOnDiskAcrossRestarts)
{
    BoostRandomNumberStream random(5);
    SetRandomStream(2, &random);
    folder.Write("13.act", "<account><record name=\"Kestrin::AccountManager::Name\"");
    {
        AccountManager manager;
        Account* player = manager.GetCurrentAccount();
        ASSERT_NE(player, nullptr);
        EXPECT_EQ(player->GetName(), L"[ Player ]");
        EXPECT_TRUE(player->SetFloat(L"Kestrin::Audio::MasterControls::Volume", 0.5f));
        const std::string file = ToUtf8(player->GetFileSpec().name) + ".act";
        EXPECT_EQ(folder.Read(file), "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\r\n<account>\r\n"
                                     "<record name=\"Kestrin::AccountManager::Name\" value=\"[ Player ]\" />\r\n"
                                     "<record name=\"Kestrin::AccountManager::IsCurrent\" value=\"true\" />\r\n"
                                     "<record name=\"Kestrin::Audio::MasterControls::Volume\" value=\"0.500000\" />\r\n"
                                     "</account>\r\n");
        ASSERT_NE(manager.CreateAccount(L"Second"), nullptr);
    }
    AccountManager manager;
    EXPECT_EQ(manager.GetAccounts().size(), 2u);
    ASSERT_NE(manager.GetCurrentAccount(), nullptr);
    EXPECT_EQ(manager.GetCurrentAccount()->GetName(), L"[ Player ]");
    EXPECT_FLOAT_EQ(manager.GetCurrentAccount()->GetFloat(L"Kestrin::Audio::MasterControls::Volume", 0.0f), 0.5f);
    EXPECT_TRUE(manager.AccountExists(L"Second"));
    EXPECT_EQ(folder.Read("13.act"), "<account><record name=\"Kestrin::AccountManager::Name\"");
    EXPECT_EQ(Listed().size(), 3u); // two profiles and the broken file, no temporary files
    SetRandomStream(2, nullptr);
}
