#include "Platform/Shim/Win32/SingleInstance.h"
#include "Support/WaitFor.h"
#include "harness/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

using Kestrin::Shim::SingleInstance;
using KestrinTest::TempFolder;
using KestrinTest::WaitFor;

// The lock's release is checked through the window platform.
TEST(SingleInstance, SecondCopyInAnotherProcessFindsTheFirstAndWakesIt)
{
    TempFolder dir;
    const std::string& folder = dir.Path();
    std::string name = "KestrinTest" + std::to_string(getpid());
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
    EXPECT_TRUE(WaitFor([&] { return first.TakeActivationRequest(); }));
    EXPECT_FALSE(first.TakeActivationRequest()); // once per wake-up
}

// Copies of one product that keep their data in different folders are different copies: neither
// is stopped nor woken by the other (test runs beside a running game, test processes side by side).
TEST(SingleInstance, CopiesWithDifferentFoldersKeepApart)
{
    TempFolder a, b;
    SingleInstance inA(a.Path(), "Tanglewisp");
    SingleInstance inB(b.Path(), "Tanglewisp");
    EXPECT_TRUE(inA.IsFirstInstance());
    EXPECT_TRUE(inB.IsFirstInstance());

    SingleInstance laterInB(b.Path(), "Tanglewisp");
    EXPECT_FALSE(laterInB.IsFirstInstance());
    ASSERT_TRUE(laterInB.SignalFirstInstance());
    EXPECT_TRUE(WaitFor([&] { return inB.TakeActivationRequest(); }));
    EXPECT_FALSE(inA.TakeActivationRequest());
}

// A folder where no lock file can be made (for root too: a regular file stands in its way).
TEST(SingleInstance, WithoutALockFileTheWakeUpNameStillAdmitsOneCopy)
{
    TempFolder dir;
    dir.Write("blocker", "a file where the folder should be");
    const std::string folder = dir.Path() + "/blocker/user";
    SingleInstance first(folder, "Tanglewisp");
    ASSERT_TRUE(first.IsFirstInstance());
    SingleInstance second(folder, "Tanglewisp");
    EXPECT_FALSE(second.IsFirstInstance());
    ASSERT_TRUE(second.SignalFirstInstance());
    EXPECT_TRUE(WaitFor([&] { return first.TakeActivationRequest(); }));
}
