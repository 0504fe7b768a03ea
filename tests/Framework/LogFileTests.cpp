#include "Framework/LogFile.h"

#include "Base/Log.h"
#include "Base/Text.h"
#include "Framework/Application.h"
#include "Framework/Paths.h"

#include "harness/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace Kestrin;
namespace fs = std::filesystem;

namespace
{
// Points the per-user folder at a fresh temporary folder.
class LogFileTest : public testing::Test
{
protected:
    void SetUp() override
    {
        InstallHooks();
        SetAppDataFolderOverride(L"");
        SetLogToStderr(false);
    }
    // The platform's part: the per-user root is m_root.
    void InstallHooks()
    {
        FolderHooks hooks;
        hooks.userDataRoot = [root = m_root.Path()] { return FromUtf8(root); };
        hooks.makeWritableFolder = [](const std::wstring& folder, std::string&)
        {
            std::error_code ec;
            fs::create_directories(ToUtf8(folder), ec);
            return !ec;
        };
        SetFolderHooks(std::move(hooks));
    }
    void TearDown() override
    {
        SetLogFileLocator(nullptr);
        CloseLogFile();
        SetLogToStderr(true);
        SetFolderHooks({});
    }

    KestrinTest::TempFolder m_root;
};
} // namespace

TEST_F(LogFileTest, OpensInThePerUserFolderOnTheFirstWriteWithAnApplication)
{
    ASSERT_EQ(GetApplication(), nullptr);
    // The company and product names pass the folder filter: the brackets go.
    const std::string logPath = "Company Name/Product Name/LOG.TXT";
    InstallLogFile();
    LogWrite("during start-up\n");
    EXPECT_FALSE(m_root.Has(logPath));
    {
        BaseApplication app;
        LogPrintf("Loading resource file: %s\n", "Common");
    }
    // Once open, the file keeps every text, also after the application is gone.
    LogWrite("at exit\n");
    CloseLogFile();
    EXPECT_EQ(m_root.Read(logPath), "Loading resource file: Common\nat exit\n");
}

TEST_F(LogFileTest, WaitsUntilThePlatformTellsWhereThePerUserFolderIs)
{
    SetFolderHooks({});
    InstallLogFile();
    BaseApplication app;
    LogWrite("before\n");
    EXPECT_FALSE(fs::exists("LOG.TXT")); // not beside whatever the current folder is

    InstallHooks();
    LogWrite("after\n");
    CloseLogFile();
    EXPECT_EQ(m_root.Read("Company Name/Product Name/LOG.TXT"), "after\n");
}
