#include "Platform/Shim/Win32/SingleInstance.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

using Kestrin::Shim::SingleInstance;

namespace
{
std::string TempFolder()
{
    auto dir = std::filesystem::temp_directory_path() / ("kestrin-single-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    return dir.string();
}
} // namespace

TEST(SingleInstance, SecondCopyInAnotherProcessFindsTheFirstAndWakesIt)
{
    std::string folder = TempFolder();
    std::string name = "KestrinTest" + std::to_string(getpid());
    SingleInstance first(folder, name);
    ASSERT_TRUE(first.IsFirstInstance());
    EXPECT_FALSE(first.TakeActivationRequest());

    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0)
    {
        SingleInstance second(folder, name);
        bool ok = !second.IsFirstInstance() && second.SignalFirstInstance();
        _exit(ok ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_TRUE(first.TakeActivationRequest());
    EXPECT_FALSE(first.TakeActivationRequest()); // once per wake-up
    std::filesystem::remove_all(folder);
}

TEST(SingleInstance, TheLockGoesWithTheFirstCopyAndAFailedLockCountsAsFirst)
{
    std::string folder = TempFolder();
    std::string name = "KestrinRelease" + std::to_string(getpid());
    {
        SingleInstance first(folder, name);
        ASSERT_TRUE(first.IsFirstInstance());
        SingleInstance second(folder, name);
        EXPECT_FALSE(second.IsFirstInstance());
    }
    SingleInstance again(folder, name);
    EXPECT_TRUE(again.IsFirstInstance());

    SingleInstance nowhere("/nonexistent-folder/for/kestrin", name + "x");
    EXPECT_TRUE(nowhere.IsFirstInstance());
    std::filesystem::remove_all(folder);
}
