#include "Support/EngineFakes.h"
#include "harness/TempFolder.h"

#include "Base/Random.h"
#include "Base/Text.h"
#include "Framework/AccountManager.h"
#include "Platform/Win32/Win32FileSystem.h"
#include "Platform/WindowSettings.h"
#include "harness/LogCapture.h"

#include <gtest/gtest.h>

using namespace Kestrin;
using namespace KestrinTest;

namespace
{

constexpr const wchar_t* kMode = L"Kestrin::Window::Mode";
constexpr const wchar_t* kCursor = L"Kestrin::Window::IsCustomCursorEnabled";

class WindowSettings : public ::testing::Test
{
protected:
    WindowSettings() : platform(new FakePlatform(journal)), factory(journal)
    {
        InitRandomStreams();                    // profile files get random names
        auto* fileSystem = new Win32FileSystem; // becomes the global one
        fileSystem->AddPartition(2, new Win32FileSystemPartition(folder.WidePath()));
        // Running full screen, with the game's own cursor switched off by the player earlier.
        DisplaySettings full{1, 1, 800, 600};
        ApplyDisplaySettings(full, false);
        CurrentFakeGraphics()->customCursor = false;
        journal.Clear();
    }
    ~WindowSettings() override
    {
        delete AccountManager::Instance();
        delete GetFileSystem();
        ResetEngineGlobals();
        ShutdownRandomStreams();
    }

    Account& Current() { return *AccountManager::Instance()->GetCurrentAccount(); }
    // Full screen with the cursor off, as set up, and no display rebuilt.
    void ExpectUnchanged()
    {
        EXPECT_TRUE(journal.With("factory.").empty());
        EXPECT_EQ(GetCurrentDisplaySettings().windowMode, 1);
        EXPECT_FALSE(CurrentFakeGraphics()->customCursor);
    }
    std::string ProfileText() { return folder.Read(ToUtf8(Current().GetFileSpec().name) + ".act"); }

    TempFolder folder;
    Journal journal;
    FakePlatform* platform;
    FakeGraphicsFactory factory;
};

TEST_F(WindowSettings, ANewProfileKeepsWhatRuns)
{
    ASSERT_FALSE(Current().HasRecord(kMode));
    LoadWindowSettings();
    ExpectUnchanged();
}

TEST_F(WindowSettings, StoredRecordsAreApplied)
{
    Current().SetInt(kMode, 0);
    Current().SetBool(kCursor, true);
    LoadWindowSettings();
    EXPECT_EQ(journal.With("platform.CreateMainWindow"),
              std::vector<std::string>{"platform.CreateMainWindow 0"});
    EXPECT_EQ(GetCurrentDisplaySettings().windowMode, 0);
    EXPECT_TRUE(CurrentFakeGraphics()->customCursor);
}

TEST_F(WindowSettings, AStrayModeMeansFullScreenAndADamagedFileKeepsWhatRuns)
{
    LogCapture log;
    for (const wchar_t* stray : {L"7", L"-1", L"2"})
    {
        journal.Clear();
        ASSERT_TRUE(Current().WriteRecord(kMode, stray));
        LoadWindowSettings();
        SCOPED_TRACE(ToUtf8(stray));
        ASSERT_NE(CurrentFakeGraphics(), nullptr);
        ExpectUnchanged();
    }
    // From a window too: a stray value never leaves the game without one.
    DisplaySettings windowed{0, 1, 800, 600};
    ApplyDisplaySettings(windowed, false);
    ASSERT_TRUE(Current().WriteRecord(kMode, L"7"));
    LoadWindowSettings();
    EXPECT_EQ(GetCurrentDisplaySettings().windowMode, 1);

    // The file broken on disk after start-up: the settings are lost, the game is not.
    folder.Write(ToUtf8(Current().GetFileSpec().name) + ".act", "<account><record name=");
    EXPECT_NO_THROW(LoadWindowSettings());
    EXPECT_NO_THROW(SaveWindowSettings());
    EXPECT_EQ(GetCurrentDisplaySettings().windowMode, 1);
    EXPECT_NE(log.Text().find("Couldn't read the window settings"), std::string::npos);
}

TEST_F(WindowSettings, SavingWritesTheModeThenTheCursorChoice)
{
    SaveWindowSettings();
    EXPECT_EQ(Current().GetInt(kMode, -7), 1);
    EXPECT_FALSE(Current().GetBool(kCursor, true));
    const std::string text = ProfileText();
    const size_t mode = text.find("<record name=\"Kestrin::Window::Mode\" value=\"1\" />");
    const size_t cursor =
        text.find("<record name=\"Kestrin::Window::IsCustomCursorEnabled\" value=\"false\" />");
    ASSERT_NE(mode, std::string::npos) << text;
    ASSERT_NE(cursor, std::string::npos) << text;
    EXPECT_LT(mode, cursor);

    // Saved, switched away and loaded again: back where it was.
    DisplaySettings windowed{0, 1, 800, 600};
    ApplyDisplaySettings(windowed, false);
    CurrentFakeGraphics()->customCursor = true;
    LoadWindowSettings();
    EXPECT_EQ(GetCurrentDisplaySettings().windowMode, 1);
    EXPECT_FALSE(CurrentFakeGraphics()->customCursor);
}

TEST_F(WindowSettings, WithoutACurrentAccountNothingIsWrittenAndDefaultsStand)
{
    // A per-user folder that cannot hold files: no profile can be made.
    delete GetFileSystem();
    auto* fileSystem = new Win32FileSystem;
    folder.Write("blocker", "");
    fileSystem->AddPartition(2, new Win32FileSystemPartition(folder.WidePath() + L"/blocker/user"));
    ASSERT_EQ(AccountManager::Instance()->GetCurrentAccount(), nullptr);

    SaveWindowSettings();
    LoadWindowSettings();
    ExpectUnchanged();
    EXPECT_FALSE(folder.Has("blocker/user"));
}

} // namespace
