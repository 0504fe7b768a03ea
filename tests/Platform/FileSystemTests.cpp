#include "Platform/Win32/Win32FileSystem.h"

#include "Base/Exceptions.h"
#include "Base/Stream.h"
#include "Framework/FileUtilities.h"
#include "Framework/Paths.h"
#include "Platform/Shim/Win32/Files.h"
#include "Platform/Win32/Win32FileStream.h"

#include "harness/TempFolder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <fcntl.h>
#include <filesystem>
#include <thread>
#include <unistd.h>

using namespace Kestrin;
using KestrinTest::TempFolder;

namespace
{
std::string ReadAll(IStream& s)
{
    std::string out(s.GetSize(), '\0');
    out.resize(s.Read(out.data(), uint32_t(out.size())));
    return out;
}

FileStreamPtr Open(IFileSystem& fs, const FileSpec& fileSpec, int access = IFileSystem::AccessRead,
                   int mode = IFileSystem::OpenExisting)
{
    return FileStreamPtr(fs.Open(fileSpec, access, mode), FileSystemCloser{&fs});
}

std::string ReadFile(IFileSystem& fs, const FileSpec& fileSpec)
{
    FileStreamPtr stream = Open(fs, fileSpec);
    return stream ? ReadAll(*stream) : std::string("<none>");
}

std::vector<std::wstring> Names(const std::vector<FileSpec>& fileSpecs)
{
    std::vector<std::wstring> names;
    for (const FileSpec& s : fileSpecs)
        names.push_back(s.name);
    return names;
}

template <class Finder> bool Exists(Finder& finder, FileSpec fileSpec)
{
    return finder.Exists(fileSpec);
}

// Where found, the folder a lookup settled on; "<missing>" otherwise.
template <class Finder> std::wstring FoundIn(Finder& finder, FileSpec fileSpec)
{
    return finder.Exists(fileSpec) ? fileSpec.folder.value_or(L"<unset>") : L"<missing>";
}

const FileSpec kAccount(2, L"42", L".act", L".");

// One folder mounted under key 2 (or `key`); the file system is the global one while it lives.
class DiskFiles : public ::testing::Test
{
protected:
    TempFolder root;
    Win32FileSystem fs;
    Win32FileSystemPartition* partition = new Win32FileSystemPartition(root.WidePath());
    explicit DiskFiles(int key = 2) { fs.AddPartition(key, partition); }
};

class GameFiles : public DiskFiles
{
protected:
    GameFiles() : DiskFiles(1) {}
};
} // namespace

TEST(Win32FileSystem, PartitionsOfOneKeyAreAskedInOrder)
{
    TempFolder first, second;
    first.Write("Intro.xml", "first");
    second.Write("Intro.xml", "second");
    Win32FileSystem fs;
    fs.AddPartition(1, new Win32FileSystemPartition(first.WidePath()));
    fs.AddPartition(1, new Win32FileSystemPartition(second.WidePath()));
    const FileSpec intro(1, L"Intro", L".xml", L".");
    EXPECT_EQ(ReadFile(fs, intro), "first");
    EXPECT_EQ(ReadFile(fs, FileSpec(2, L"Intro", L".xml", L".")), "<none>"); // no partition under key 2

    // Delete asks every partition and answers the last one's result.
    EXPECT_TRUE(fs.Delete(intro));
    EXPECT_FALSE(first.Has("Intro.xml") || second.Has("Intro.xml"));
    first.Write("Intro.xml", "again");
    EXPECT_FALSE(fs.Delete(intro));
    EXPECT_FALSE(first.Has("Intro.xml"));

    second.Write("Only.xml", "later"); // open falls through to a later partition
    EXPECT_EQ(ReadFile(fs, FileSpec(1, L"Only", L".xml", L".")), "later");
    EXPECT_TRUE(Exists(fs, FileSpec(1, L"Only", L".xml")));
    fs.DeleteAllPartitions();
    EXPECT_FALSE(Exists(fs, FileSpec(1, L"Only", L".xml")));
}

TEST_F(GameFiles, EveryPathComponentIgnoresCase)
{
    root.Write("GAMELEVELS.xml", "levels");
    root.Write("Levels/Board/One.XML", "board");
    FileSpec levels = FileSpec::FromNameAndExtension(L"GameLevels", L".xml");
    EXPECT_TRUE(fs.Exists(levels));
    EXPECT_FALSE(levels.folder.has_value()); // unindexed lookups leave the fileSpec alone
    FileStreamPtr stream = Open(fs, levels);
    ASSERT_TRUE(stream);
    EXPECT_EQ(stream->GetName(), L"GameLevels"); // named as asked, not as on disk
    EXPECT_EQ(ReadAll(*stream), "levels");
    stream.reset();

    FileSpec board(1, L"one", L".xml", L"levels/BOARD");
    EXPECT_EQ(ReadFile(fs, board), "board");
    std::vector<FileSpec> found;
    EXPECT_TRUE(fs.ListFiles(FileSpec(1, L"*", L".xml", L"LEVELS/board"), found));
    EXPECT_EQ(Names(found), std::vector<std::wstring>{L"One"});
    EXPECT_TRUE(fs.Delete(board));
    EXPECT_FALSE(root.Has("Levels/Board/One.XML"));
    EXPECT_FALSE(fs.Exists(board));
}

TEST_F(GameFiles, IndexFindsFilesAnywhereAndRewritesTheSpec)
{
    root.Write("Data/Screens/Intro.xml", "intro");
    root.Write("Data/Screens/Intro.png", "image");
    root.Write("a/Dup.xml", "a");
    root.Write("b/dup.xml", "b");
    root.Write(".hidden/Secret.xml", "no");
    FileSpec intro(1, L"intro", L".XML", L".");
    EXPECT_FALSE(fs.Exists(intro));

    fs.BeginIndexing();
    EXPECT_TRUE(fs.Exists(intro));
    EXPECT_EQ(intro, FileSpec(1, L"intro", L".xml", L"Data/Screens"));
    EXPECT_EQ(ReadFile(fs, intro), "intro");
    EXPECT_EQ(FoundIn(fs, FileSpec(1, L"DUP", L".xml", L".")), L"a"); // the first in name order, every run
    EXPECT_EQ(FoundIn(fs, FileSpec(1, L"Secret", L".xml", L".")), L"<missing>"); // "." folders are skipped

    // Counted: a nested bracket keeps the index until the outer one ends.
    fs.BeginIndexing();
    EXPECT_EQ(partition->GetIndexCount(), 2);
    fs.EndIndexing();
    EXPECT_EQ(FoundIn(fs, FileSpec(1, L"Intro", L".png", L".")), L"Data/Screens");
    fs.EndIndexing();
    EXPECT_EQ(partition->GetIndexCount(), 0);
    EXPECT_EQ(partition->GetIndexedNameCount(), 0u);
    intro.folder = L".";
    EXPECT_FALSE(fs.Exists(intro));
    fs.EndIndexing(); // unbalanced: stays at zero
    EXPECT_EQ(partition->GetIndexCount(), 0);
}

TEST_F(DiskFiles, IndexedLookupsStillSeeFilesOnDisk)
{
    // An account written while a loading screen keeps the index open must not read as missing,
    // or a new random name could overwrite it.
    root.Write("old.act", "old");
    fs.BeginIndexing();
    ASSERT_TRUE(
        Open(fs, FileSpec(2, L"12345", L".act", L"."), IFileSystem::AccessWrite, IFileSystem::CreateNew));
    EXPECT_EQ(FoundIn(fs, FileSpec(2, L"12345", L".act", L".")), L".");
    fs.EndIndexing();
}

TEST_F(DiskFiles, ListFilesNeedsAFolderAndStripsExtensions)
{
    for (const char* name : {"123.act", "45.ACT", "notes.txt", "dir.act/inner.act"})
        root.Write(name, "");
    std::vector<FileSpec> found;
    EXPECT_TRUE(fs.ListFiles(FileSpec(2, L"*", L".act", L"."), found));
    EXPECT_EQ(Names(found), (std::vector<std::wstring>{L"123", L"45"}));
    for (const FileSpec& fileSpec : found)
        EXPECT_EQ(fileSpec, FileSpec(2, fileSpec.name, L".act", L"."));

    std::vector<FileSpec> none;
    EXPECT_FALSE(fs.ListFiles(FileSpec(2, L"*", L".act"), none));
    EXPECT_FALSE(fs.ListFiles(FileSpec(2, L"*", L".act", L"missing"), none));
    EXPECT_FALSE(fs.ListFiles(FileSpec(1, L"*", L".act", L"."), none));
    EXPECT_TRUE(none.empty());
}

TEST_F(DiskFiles, OpenModesAndAccess)
{
    root.Write("file.txt", "content");
    root.Write("folder/x", "");
    const FileSpec file(2, L"FILE", L".TXT", L".");
    const FileSpec missing(2, L"missing", L".txt", L".");
    EXPECT_FALSE(Open(fs, file, IFileSystem::AccessWrite, IFileSystem::CreateNew));
    EXPECT_FALSE(Open(fs, missing));
    EXPECT_FALSE(Open(fs, FileSpec(2, L"folder", L"", L".")));
    EXPECT_FALSE(Open(fs, file, 0));
    EXPECT_FALSE(Open(fs, file, IFileSystem::AccessRead, 7));

    FileStreamPtr s = Open(fs, file, IFileSystem::AccessReadWrite, IFileSystem::OpenAlways);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->GetCapabilities(), 7u);
    EXPECT_EQ(ReadAll(*s), "content"); // kept
    s = Open(fs, file, IFileSystem::AccessWrite, IFileSystem::CreateAlways);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->GetCapabilities(), 6u);
    EXPECT_EQ(s->GetSize(), 0u); // truncated
    s->Write("new", 3);
    s.reset();
    EXPECT_EQ(root.Read("file.txt"), "new"); // the existing file, not a second one in another case
    EXPECT_TRUE(Open(fs, missing, IFileSystem::AccessWrite, IFileSystem::OpenAlways));
    EXPECT_TRUE(root.Has("missing.txt"));
    s = Open(fs, FileSpec(2, L"brand", L".new", L"."), IFileSystem::AccessRead, IFileSystem::CreateNew);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->GetCapabilities(), 5u);
}

TEST(Win32FileSystem, LinkLoopsAreScannedOnce)
{
    TempFolder root;
    root.Write("sub/File.xml", "x");
    std::filesystem::create_directory_symlink(root.Path(), root.Path() + "/sub/loop");
    Win32FileSystemPartition partition(root.WidePath());
    partition.BeginIndexing();
    EXPECT_EQ(FoundIn(partition, FileSpec(1, L"file", L".xml", L".")), L"sub");
    partition.EndIndexing();
}

TEST(Win32FileSystem, IsTheGlobalOneAndTheDefaultUsesTheProgramAndUserFolders)
{
    TempFolder program, user;
    program.Write("data/GameLevels.xml", "data");
    user.Write("1.act", "account");
    SetExecutableFolderOverride(program.WidePath());
    SetAppDataFolderOverride(user.WidePath());
    InstallWin32FileSystemFactory();
    IFileSystem* fs = GetFileSystem();
    ASSERT_NE(dynamic_cast<Win32FileSystem*>(fs), nullptr);
    EXPECT_EQ(ReadFile(*fs, FileSpec::FromNameAndExtension(L"GameLevels", L".xml")), "data");
    EXPECT_EQ(ReadFile(*fs, FileSpec(0, L"GameLevels", L".xml")), "data");
    EXPECT_EQ(ReadFile(*fs, FileSpec(2, L"1", L".act")), "account");
    uint32_t size = 0;
    EXPECT_NE(ReadWholeFile(FileSpec(2, L"1", L".act"), size), nullptr);
    EXPECT_EQ(size, 7u);

    delete fs;
    SetFileSystemFactory(nullptr);
    EXPECT_EQ(GetFileSystem(), nullptr);
    {
        Win32FileSystem local;
        EXPECT_EQ(GetFileSystem(), &local);
    }
    EXPECT_EQ(GetFileSystem(), nullptr);
    SetExecutableFolderOverride(L"");
    SetAppDataFolderOverride(L"");
}

TEST(FileSystemThreads, IndexingAndLookupsFromTwoThreads)
{
    TempFolder root;
    for (int i = 0; i < 20; ++i)
        root.Write("group" + std::to_string(i % 4) + "/res" + std::to_string(i) + ".xml", "x");
    Win32FileSystem fs;
    fs.AddPartition(1, new Win32FileSystemPartition(root.WidePath()));
    std::atomic<bool> stop{false};
    std::thread loader(
        [&]
        {
            for (int round = 0; round < 50; ++round)
            {
                fs.BeginIndexing();
                EXPECT_TRUE(Exists(fs, FileSpec(1, L"res" + std::to_wstring(round % 20), L".xml")));
                fs.EndIndexing();
            }
            stop = true;
        });
    // At least one lookup even when the loader finishes first on a busy machine.
    int lookups = 0;
    do
    {
        EXPECT_TRUE(Exists(fs, FileSpec(1, L"res7", L".xml", L"group3")));
        ++lookups;
    } while (!stop);
    loader.join();
    EXPECT_GT(lookups, 0);
}

TEST(FilesShim, WildcardsAndResolution)
{
    using namespace Win32Shim;
    for (auto [pattern, name, matches] : {std::tuple{"*.act", "123.ACT", true},
                                          {"*.act", "123.actx", false},
                                          {"a*b*c", "aXXbYbZc", true},
                                          {"?x*", "ax", true},
                                          {"?x*", "x", false},
                                          {"*", "", true},
                                          {"", "a", false}})
        EXPECT_EQ(MatchWildcard(pattern, name), matches) << pattern << " " << name;

    TempFolder root;
    root.Write("Alpha/beta.TXT", "");
    root.Write("alpha2", "");
    EXPECT_EQ(ResolvePath(root.Path(), "./alpha//./BETA.txt"), root.Path() + "/Alpha/beta.TXT");
    // Past the first component that matches nothing, the rest is kept as given.
    EXPECT_EQ(ResolvePath(root.Path(), "Gamma/ALPHA"), root.Path() + "/Gamma/ALPHA");
    EXPECT_EQ(ResolvePath(root.Path(), "alpha/New.txt"), root.Path() + "/Alpha/New.txt");
    for (auto [name, mode, expected] : {std::tuple{"/nothing", OpenExisting, FileNotFound},
                                        {"/alpha2", CreateNew, FileAlreadyExists},
                                        {"/Alpha", OpenExisting, FileIsFolder}})
    {
        FileError error = FileOk;
        EXPECT_LT(CreateFile(root.Path() + name, AccessRead, mode, &error), 0) << name;
        EXPECT_EQ(error, expected) << name;
    }
    EXPECT_FALSE(DeleteFile(root.Path() + "/Alpha")); // folders are not files
}

TEST_F(DiskFiles, RenameReplacesOnlyFilesAndSyncNeedsAFileStream)
{
    root.Write("a.tmp", "new");
    root.Write("42.act", "old");
    EXPECT_TRUE(fs.Rename(FileSpec(2, L"a", L".tmp", L"."), kAccount));
    EXPECT_EQ(root.Read("42.act"), "new");
    EXPECT_FALSE(root.Has("a.tmp"));

    std::filesystem::create_directories(root.Path() + "/dir.act/inner");
    EXPECT_FALSE(fs.Rename(FileSpec(2, L"missing", L".tmp", L"."), kAccount));
    EXPECT_FALSE(fs.Rename(kAccount, FileSpec(3, L"42", L".act", L"."))) << "never across locations";
    EXPECT_FALSE(fs.Rename(kAccount, FileSpec(2, L"dir", L".act", L".")));
    EXPECT_FALSE(fs.Rename(FileSpec(2, L"dir", L".act", L"."), FileSpec(2, L"moved", L".act", L".")));
    EXPECT_EQ(root.Read("42.act"), "new");

    FileStreamPtr stream = Open(fs, kAccount, IFileSystem::AccessWrite, IFileSystem::CreateAlways);
    ASSERT_TRUE(stream);
    EXPECT_TRUE(fs.Sync(stream.get()));
    MemoryStream memory;
    EXPECT_FALSE(fs.Sync(&memory)) << "a memory stream has no disk to reach";
    EXPECT_FALSE(Win32Shim::SyncFolder(root.Path() + "/missing"));
}

TEST_F(DiskFiles, ReplaceLeavesNoTemporaryFileAndNeverAHalfFile)
{
    root.Write("42.act", "old content");
    std::string error;
    ASSERT_TRUE(ReplaceFileContents(kAccount, "fresh", 5, &error)) << error;
    EXPECT_EQ(root.Read("42.act"), "fresh");
    EXPECT_FALSE(root.Has("42.act.tmp"));

    // The temporary name is taken by a folder: the write cannot start, the file stays as it was.
    std::filesystem::create_directories(root.Path() + "/42.act.tmp/x");
    EXPECT_FALSE(ReplaceFileContents(kAccount, "lost", 4, &error));
    EXPECT_EQ(error, "couldn't create the temporary file");
    EXPECT_EQ(root.Read("42.act"), "fresh");
    std::vector<FileSpec> found;
    fs.ListFiles(FileSpec(2, L"*", L".act", L"."), found);
    EXPECT_EQ(found.size(), 1u) << "the listing never shows a temporary file";
}

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
            ADD_FAILURE() << "ReadDirect must throw";
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
