#include "Framework/FileUtilities.h"

#include "Base/Exceptions.h"

#include "AccountFakes.h"

#include <gtest/gtest.h>

#include <set>

using namespace Kestrin;
using namespace KestrinTest;

namespace
{
// Like an indexed partition: Exists rewrites the folder and extension of what it is asked about.
class RewritingFileSystem : public FaultyFileSystem
{
public:
    bool Exists(FileSpec& spec) override
    {
        bool found = FaultyFileSystem::Exists(spec);
        spec.folder = L"elsewhere";
        spec.extension = L".xyz";
        return found;
    }
};
} // namespace

TEST(MakeUniqueRandomFileSpec, DrawsFromStream2UntilTheNameIsFree)
{
    RewritingFileSystem fs;
    ScopedFileSystem scope(&fs);
    FakeRandomStream current({0.875f});
    ScopedRandomStream pushed(&current); // the current stream is not the one that names files
    FakeRandomStream random({0.5f, 0.25f, 0.0f});
    ScopedStream2 stream2(&random);
    fs.AddAccount(L"50000000", "a");
    fs.AddAccount(L"25000000", "b");

    FileSpec spec(2, L"old", L".act", L".");
    MakeUniqueRandomFileSpec(spec);
    EXPECT_EQ(spec, FileSpec(2, L"0", L".act", L".")); // no leading zeros; "0" itself is a name
}

TEST(MakeUniqueRandomFileSpec, SeededStreamGivesTheSameNameEveryTime)
{
    FaultyFileSystem fs;
    ScopedFileSystem scope(&fs);
    std::set<std::wstring> names;
    for (int run = 0; run < 2; ++run)
    {
        BoostRandomNumberStream seeded(20240611);
        ScopedStream2 stream2(&seeded);
        FileSpec spec(2, L"", L".act", L".");
        MakeUniqueRandomFileSpec(spec);
        names.insert(spec.name);
        ASSERT_FALSE(spec.name.empty());
        EXPECT_LE(spec.name.size(), 8u);
        EXPECT_TRUE(spec.name == L"0" || spec.name[0] != L'0');
        EXPECT_EQ(spec.name.find_first_not_of(L"0123456789"), std::wstring::npos);
    }
    EXPECT_EQ(names.size(), 1u);
}

TEST(MakeUniqueRandomFileSpec, WithoutStream2Throws)
{
    SetRandomStream(2, nullptr);
    FileSpec spec(2, L"", L".act", L".");
    EXPECT_THROW(MakeUniqueRandomFileSpec(spec), engine_error);
}

TEST(ReplaceFileContents, ReplacesTheWholeFileAndSaysWhichStepFailed)
{
    FaultyFileSystem fs;
    ScopedFileSystem scope(&fs);
    const FileSpec file(2, L"7", L".act", L".");
    EXPECT_EQ(TemporaryFileSpec(file), FileSpec(2, L"7", L".act.tmp", L"."));
    fs.AddAccount(L"7", "old and longer");
    fs.AddFile(TemporaryFileSpec(file), "left over from a crash");

    std::string error;
    ASSERT_TRUE(ReplaceFileContents(file, "new", 3, &error)) << error;
    EXPECT_EQ(fs.Account(L"7.act"), "new");
    EXPECT_EQ(fs.FileCount(), 1u);

    std::set<std::string> errors;
    for (auto fault : {FaultyFileSystem::Fault::OpenForWriting, FaultyFileSystem::Fault::Write,
                       FaultyFileSystem::Fault::Sync, FaultyFileSystem::Fault::Rename})
    {
        fs.fault = fault;
        error.clear();
        EXPECT_FALSE(ReplaceFileContents(file, "newer", 5, &error));
        EXPECT_EQ(fs.Account(L"7.act"), "new");
        EXPECT_EQ(fs.FileCount(), 1u);
        errors.insert(error);
    }
    EXPECT_EQ(errors.size(), 4u) << "each step names itself";

    UnregisterFileSystem(&fs);
    EXPECT_FALSE(ReplaceFileContents(file, "x", 1, &error));
    EXPECT_EQ(error, "there is no file system");
}
