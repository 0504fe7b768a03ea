#include "Platform/Shim/Win32/SingleInstance.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

using Kestrin::Shim::SingleInstance;

// The lock's release and the failed-lock case are checked through the window platform.
TEST(SingleInstance, SecondCopyInAnotherProcessFindsTheFirstAndWakesIt)
{
    auto dir = std::filesystem::temp_directory_path() / ("kestrin-single-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    std::string folder = dir.string(), name = "KestrinTest" + std::to_string(getpid());
    SingleInstance first(folder, name);
    ASSERT_TRUE(first.IsFirstInstance());
    EXPECT_FALSE(first.TakeActivationRequest());
    EXPECT_FALSE(SingleInstance(folder, name).IsFirstInstance()); // in this process too

    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0)
    {
        SingleInstance second(folder, name);
        _exit(!second.IsFirstInstance() && second.SignalFirstInstance() ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_TRUE(first.TakeActivationRequest());
    EXPECT_FALSE(first.TakeActivationRequest()); // once per wake-up
    std::filesystem::remove_all(folder);
}
