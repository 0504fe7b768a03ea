#include "Platform/Shim/Win32/Folders.h"
#include "harness/TempFolder.h"

#include "Base/Text.h"
#include "Framework/Application.h"
#include "Framework/Paths.h"
#include "Platform/Win32/Win32Platform.h"
#include "harness/LogCapture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

using namespace Kestrin;
using KestrinTest::TempFolder;

namespace
{
// Sets an environment variable (or removes it) for the scope.
class ScopedEnv
{
public:
    ScopedEnv(const char* name, const char* value) : m_name(name)
    {
        if (const char* old = std::getenv(name))
            m_old = old;
        value ? setenv(name, value, 1) : unsetenv(name);
    }
    ~ScopedEnv() { m_old ? setenv(m_name, m_old->c_str(), 1) : unsetenv(m_name); }

private:
    const char* m_name;
    std::optional<std::string> m_old;
};
} // namespace

TEST(Folders, UserDataRootFollowsXdgThenHome)
{
    struct Case
    {
        const char* xdg;
        const char* home;
        const char* root;
    };
    for (const Case& c :
         {Case{"/data/ann", "/home/ann", "/data/ann"},
          Case{"relative/ignored", "/home/ann", "/home/ann/.local/share"},
          Case{"", "/home/ann", "/home/ann/.local/share"}, Case{nullptr, nullptr, "/tmp/.local/share"}})
    {
        ScopedEnv xdg("XDG_DATA_HOME", c.xdg), home("HOME", c.home);
        EXPECT_EQ(Win32Shim::UserDataRoot(), c.root) << (c.xdg ? c.xdg : "(unset)");
    }
    // Whatever the current folder is, the program's folder holds this test program.
    EXPECT_TRUE(std::filesystem::is_regular_file(Win32Shim::ProgramFolder() + "/PlatformTests"));
}

TEST(Folders, AFolderIsWritableOnlyWhenItCanBeMadeAndWrittenIn)
{
    TempFolder temp;
    std::string reason;
    EXPECT_TRUE(Win32Shim::MakeWritableFolder(temp.Path() + "/a/b/c", reason)) << reason;
    EXPECT_TRUE(std::filesystem::is_directory(temp.Path() + "/a/b/c"));

    // A regular file where a folder should be stops everybody, root too.
    temp.Write("blocker", "");
    EXPECT_FALSE(Win32Shim::MakeWritableFolder(temp.Path() + "/blocker/data", reason));
    EXPECT_FALSE(reason.empty());

    const std::string locked = temp.Path() + "/locked";
    std::filesystem::create_directory(locked);
    ::chmod(locked.c_str(), 0555);
    const bool writableAnyway = ::access(locked.c_str(), W_OK) == 0;
    ::chmod(locked.c_str(), 0755); // so the temporary folder can go
    if (writableAnyway)
        GTEST_SKIP() << "this user (root) may write in a read-only folder";
    ::chmod(locked.c_str(), 0555);
    reason.clear();
    EXPECT_FALSE(Win32Shim::MakeWritableFolder(locked, reason));
    EXPECT_EQ(reason, "Permission denied");
    ::chmod(locked.c_str(), 0755);
}

// The platform fills the engine's folder hooks: the per-user folder comes from XDG and a read-only
// one is reported once, naming it.
TEST(Folders, ThePlatformsHooksFindAndCheckThePerUserFolder)
{
    TempFolder temp;
    InstallFolderHooks();
    {
        ScopedEnv xdg("XDG_DATA_HOME", (temp.Path() + "/share").c_str());
        BaseApplication app;
        const std::string expected = temp.Path() + "/share/Company Name/Product Name";
        EXPECT_EQ(ToUtf8(GetAppDataFolder()), expected);
        EXPECT_TRUE(std::filesystem::is_directory(expected));
        EXPECT_EQ(GetExecutableFolder(), FromUtf8(Win32Shim::ProgramFolder()));
    }
    temp.Write("blocker", "");
    {
        ScopedEnv xdg("XDG_DATA_HOME", (temp.Path() + "/blocker").c_str());
        KestrinTest::LogCapture log;
        GetAppDataFolder();
        GetAppDataFolder();
        const std::string text = log.Text();
        EXPECT_EQ(text.rfind("Cannot write to the per-user folder \"" + temp.Path() + "/blocker\" (", 0), 0u)
            << text;
        EXPECT_EQ(text.find("Cannot write", 1), std::string::npos) << "said twice: " << text;
    }
    SetFolderHooks({});
}
