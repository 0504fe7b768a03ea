#include "Framework/Paths.h"

#include "Base/Text.h"
#include "Framework/Application.h"
#include "harness/LogCapture.h"

#include <gtest/gtest.h>

#include <vector>

using namespace Kestrin;

namespace
{
// The system's side scripted: folders are only recorded, and those named in `readOnly` fail.
class Paths : public ::testing::Test
{
protected:
    Paths()
    {
        FolderHooks hooks;
        hooks.userDataRoot = [this] { return root; };
        hooks.programFolder = [] { return std::wstring(L"/opt/game"); };
        hooks.makeWritableFolder = [this](const std::wstring& folder, std::string& reason)
        {
            made.push_back(folder);
            for (const std::wstring& r : readOnly)
                if (folder == r)
                    return reason = "Read-only file system", false;
            return true;
        };
        SetFolderHooks(std::move(hooks));
    }
    ~Paths() override
    {
        SetFolderHooks({});
        SetAppDataFolderOverride(L"");
        SetExecutableFolderOverride(L"");
    }

    std::wstring root = L"/home/ann/.local/share";
    std::vector<std::wstring> made;
    std::vector<std::wstring> readOnly;
};
} // namespace

TEST_F(Paths, PerUserFolderIsNamedFromTheFilteredApplicationNamesAndMade)
{
    EXPECT_EQ(GetAppDataFolder(), root); // no application: the root itself
    {
        BaseApplication app; // keeps the placeholders, whose brackets the filter drops
        EXPECT_EQ(GetAppDataFolder(), L"/home/ann/.local/share/Company Name/Product Name");
    }
    EXPECT_EQ(made.back(), L"/home/ann/.local/share/Company Name/Product Name");
    SetAppDataFolderOverride(L"/tmp/elsewhere");
    EXPECT_EQ(GetAppDataFolder(), L"/tmp/elsewhere");
    EXPECT_EQ(made.back(), L"/tmp/elsewhere"); // made on demand too

    EXPECT_EQ(GetExecutableFolder(), L"/opt/game");
    SetExecutableFolderOverride(L"/tmp/build");
    EXPECT_EQ(GetExecutableFolder(), L"/tmp/build");

    EXPECT_EQ(FilterFolderName(L"Q/u:o*r, v'a ne?"), L"Quor, v'a ne");

    // Until the platform tells, nothing is known (and nothing lands in the current folder).
    SetFolderHooks({});
    SetAppDataFolderOverride(L"");
    SetExecutableFolderOverride(L"");
    EXPECT_EQ(GetAppDataFolder(), L"");
    EXPECT_EQ(GetExecutableFolder(), L"");
}

TEST_F(Paths, AFolderThatCannotBeWrittenIsReportedOnceWithWhereAndWhy)
{
    root = L"/media/cdrom/data";
    readOnly = {root, L"/tmp/other"};
    KestrinTest::LogCapture log;
    EXPECT_EQ(GetAppDataFolder(), root); // still the answer: callers report their own failures
    EXPECT_EQ(GetAppDataFolder(), root);
    const std::string once = "Cannot write to the per-user folder \"/media/cdrom/data\" (Read-only file "
                             "system): the log and the player profiles cannot be saved there.\n";
    EXPECT_EQ(log.Text(), once);

    SetAppDataFolderOverride(L"/tmp/other");
    GetAppDataFolder();
    EXPECT_NE(log.Text().find("\"/tmp/other\""), std::string::npos);
}
