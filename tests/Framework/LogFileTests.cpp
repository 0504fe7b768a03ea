#include "Framework/LogFile.h"

#include "Base/Log.h"
#include "Framework/Application.h"
#include "Framework/Paths.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

using namespace Kestrin;
namespace fs = std::filesystem;

namespace
{
// Points the per-user folder at a fresh temporary XDG data folder.
class LogFileTest : public testing::Test
{
protected:
    void SetUp() override
    {
        std::random_device rd;
        m_root =
            fs::temp_directory_path() / ("kestrin-logfile-" + std::to_string(rd()) + std::to_string(rd()));
        fs::create_directories(m_root);
        const char* old = std::getenv("XDG_DATA_HOME");
        m_hadXdg = old != nullptr;
        m_oldXdg = old ? old : "";
        setenv("XDG_DATA_HOME", m_root.c_str(), 1);
        SetAppDataFolderOverride(L"");
        SetLogToStderr(false);
    }
    void TearDown() override
    {
        SetLogFileLocator(nullptr);
        CloseLogFile();
        SetLogToStderr(true);
        if (m_hadXdg)
            setenv("XDG_DATA_HOME", m_oldXdg.c_str(), 1);
        else
            unsetenv("XDG_DATA_HOME");
        std::error_code ec;
        fs::remove_all(m_root, ec);
    }

    fs::path m_root;
    bool m_hadXdg = false;
    std::string m_oldXdg;
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
