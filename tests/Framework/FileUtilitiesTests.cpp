#include "Framework/FileUtilities.h"

#include "Base/Exceptions.h"

#include "Support/AccountFakes.h"

#include <gtest/gtest.h>

using namespace Kestrin;
using namespace KestrinTest;

namespace
{
// Like an indexed partition: Exists rewrites the folder and extension of what it is asked about.
struct RewritingFileSystem : FaultyFileSystem
{
    bool Exists(FileSpec& fileSpec) override
    {
        bool found = FaultyFileSystem::Exists(fileSpec);
        fileSpec.folder = L"elsewhere";
        fileSpec.extension = L".xyz";
        return found;
    }
};
} // namespace

TEST(MakeUniqueRandomFileSpec, DrawsFromStream2UntilTheNameIsFree)
{
    RewritingFileSystem fs;
    ScopedFileSystem scope(&fs);
    FakeRandomStream current({0.875f});
    ScopedRandomStream pushed(&current); // the current stream does not name files
    FakeRandomStream random({0.5f, 0.25f, 0.0f});
    ScopedStream2 stream2(&random);
    fs.AddAccount(L"50000000", "a");
    fs.AddAccount(L"25000000", "b");

    FileSpec fileSpec(2, L"old", L".act", L".");
    MakeUniqueRandomFileSpec(fileSpec);
    EXPECT_EQ(fileSpec, FileSpec(2, L"0", L".act", L"."));

    SetRandomStream(2, nullptr);
    EXPECT_THROW(MakeUniqueRandomFileSpec(fileSpec), engine_error);
}
