#include "Framework/LogFile.h"

#include "Base/Log.h"
#include "Base/Text.h"
#include "Framework/Application.h"
#include "Framework/Paths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

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
        std::random_device rd;
        m_root =
            fs::temp_directory_path() / ("kestrin-logfile-" + std::to_string(rd()) + std::to_string(rd()));
        fs::create_directories(m_root);
        InstallHooks();
        SetAppDataFolderOverride(L"");
        SetLogToStderr(false);
    }
    // The platform's part: the per-user root is m_root.
    void InstallHooks()
    {
        FolderHooks hooks;
        hooks.userDataRoot = [root = m_root] { return FromUtf8(root.string()); };
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
        std::error_code ec;
        fs::remove_all(m_root, ec);
    }

    fs::path m_root;
};
} // namespace

TEST_F(LogFileTest, OpensInThePerUserFolderOnTheFirstWriteWithAnApplication)
{
    ASSERT_EQ(GetApplication(), nullptr);
    // The company and product names pass the folder filter: the brackets go.
    const fs::path logPath = m_root / "Company Name" / "Product Name" / "LOG.TXT";
    InstallLogFile();
    LogWrite("during start-up\n");
    EXPECT_FALSE(fs::exists(logPath));
    {
        BaseApplication app;
        LogPrintf("Loading resource file: %s\n", "Common");
    }
    // Once open, the file keeps every text, also after the application is gone.
    LogWrite("at exit\n");
    CloseLogFile();
    std::ifstream in(logPath, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), "Loading resource file: Common\nat exit\n");
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
    std::ifstream in(m_root / "Company Name" / "Product Name" / "LOG.TXT", std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), "after\n");
}
