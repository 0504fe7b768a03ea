#include "Screens/Application.h"

#include "Base/Text.h"
#include "Framework/AudioControls.h"
#include "Framework/Paths.h"
#include "Game/GameLevels.h"
#include "Game/LevelOutcome.h"
#include "Platform/Engine.h"
#include "Screens/LevelOutroModes.h"
#include "Screens/LoadingMode.h"
#include "Screens/MovieScreens.h"

#include "ScreenTestSupport.h"

#include <filesystem>

using namespace Kestrin;
using namespace ScreenTest;

namespace
{
constexpr const wchar_t* kMode = L"Kestrin::Window::Mode";
constexpr const wchar_t* kMusicVolume = L"Kestrin::Audio::MusicControls::Volume";

class GameApplication : public ScreenFixture
{
protected:
    GameApplication() { WriteStartupFiles(); }
    ~GameApplication() override { SetExitStatus(0); }

    Account& Current() { return *AccountManager::Instance()->GetCurrentAccount(); }
    IAudioControls& Music() { return *platform->GetCategoryControls(2); }

    Application app;
};

TEST_F(GameApplication, StartingQueuesTheLoadingScreenUnderTheStartupIntro)
{
    app.Initialize();
    ASSERT_EQ(Requests(), (std::vector<Queued>{{0, "LoadingMode"}, {1, "IntroMovieMode"}}));
    EXPECT_TRUE(QueuedAs<IntroMovieMode>(1)->IsStartupIntro());
    std::vector<std::pair<std::wstring, uint64_t>> tasks;
    for (const LoadingMode::TaskEntry& entry : QueuedAs<LoadingMode>(0)->GetTasks())
        tasks.emplace_back(entry.task->GetGroupName(), entry.weight);
    EXPECT_EQ(tasks, (std::vector<std::pair<std::wstring, uint64_t>>{
                         {L"resources", 1}, {L"Game-AnimationImages", 1}, {L"Tutorial_Window", 1}}));
    EXPECT_TRUE(boxes.boxes.empty()) << ToUtf8(boxes.boxes[0].text);
    EXPECT_FALSE(looper->IsQuitSet());
    EXPECT_TRUE(app.IsStarted());
}

TEST_F(GameApplication, AFinishedLevelReachesItsOutroWhileTheGameRuns)
{
    app.Initialize();
    ReportLevelFailure(L"Out of Time", 0);
    ASSERT_EQ(Requests(),
              (std::vector<Queued>{{0, "LoadingMode"}, {1, "IntroMovieMode"}, {1, "LevelOutroFailureMode"}}));
    EXPECT_EQ(QueuedAs<LevelOutroFailureMode>(2)->GetReason(), L"Out of Time");
    app.Shutdown();
    ReportLevelFailure(L"Too Much Gunk!", 12);
    EXPECT_EQ(Requests().size(), 3u);
}

TEST_F(GameApplication, MissingTuningOrCatalogueShowsItsErrorBoxAndTheStartGoesOn)
{
    std::filesystem::remove(data.Path() + "/data/GlobalSettings.xml");
    std::filesystem::remove(data.Path() + "/data/GameLevels.xml");
    app.Initialize();
    ASSERT_EQ(boxes.boxes.size(), 2u);
    EXPECT_EQ(boxes.boxes[0].caption, L"There was an error loading GlobalSettings.xml file.");
    EXPECT_EQ(boxes.boxes[1].caption, L"There was an error loading GameLevels.xml file.");
    EXPECT_EQ(Requests().size(), 2u);
    EXPECT_FALSE(looper->IsQuitSet());
}

TEST_F(GameApplication, WithoutItsDataItSaysWhereItLookedAndEnds)
{
    std::filesystem::remove(data.Path() + "/data/AllGameText_Export.xml");
    app.Initialize();
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].caption, L"Tanglewisp");
    EXPECT_NE(boxes.boxes[0].text.find(L"\"" + data.WidePath() + L"/data\""), std::wstring::npos);
    EXPECT_TRUE(Requests().empty());
    EXPECT_TRUE(looper->IsQuitSet());
    EXPECT_EQ(GetExitStatus(), 1);
    EXPECT_FALSE(data.Has("data/PlayData.log"));
    // So the program starts no run beside it.
    EXPECT_FALSE(app.IsStarted());
}

TEST_F(GameApplication, AnUnreadableProfileIsNamedInOneBoxAndKeptAsItWas)
{
    SetAppDataFolderOverride(user.WidePath());
    user.Write("Damaged.act", "<account><record name=");
    user.Write("Empty.act", "");
    app.Initialize();
    ASSERT_EQ(boxes.boxes.size(), 1u);
    const std::wstring& text = boxes.boxes[0].text;
    for (const std::wstring& part :
         std::vector<std::wstring>{L"\"Damaged.act\"", L"\"Empty.act\"", L"kept as it was",
                                   L"\"" + user.WidePath() + L"\"", L"LOG.TXT"})
        EXPECT_NE(text.find(part), std::wstring::npos) << ToUtf8(part) << " in " << ToUtf8(text);
    EXPECT_EQ(user.Read("Damaged.act"), "<account><record name=");
    // The game goes on, with the default profile in place of the ones it could not read.
    EXPECT_EQ(Requests().size(), 2u);
    EXPECT_EQ(Current().GetName(), AccountManager::DefaultAccountName);
    SetAppDataFolderOverride(L"");
}

TEST_F(GameApplication, EveryStartAppendsTheBannerWhereItCanBeWritten)
{
    const std::string banner = "================== Session ======================= \r\n";
    ASSERT_EQ(GetPlayDataBanner(), banner);
    data.Write("data/PlayData.log", "earlier\n");
    app.Initialize();
    EXPECT_TRUE(WritePlayDataBanner());
    EXPECT_EQ(data.Read("data/PlayData.log"), "earlier\n" + banner + banner);

    // A data folder that takes no file: the player's folder gets the log. Neither: the start goes on.
    std::filesystem::remove(data.Path() + "/data/PlayData.log");
    std::filesystem::create_directory(data.Path() + "/data/PlayData.log");
    EXPECT_TRUE(WritePlayDataBanner());
    EXPECT_EQ(user.Read("PlayData.log"), banner);
    std::filesystem::remove(user.Path() + "/PlayData.log");
    std::filesystem::create_directory(user.Path() + "/PlayData.log");
    Application again;
    again.Initialize();
    EXPECT_EQ(Requests().size(), 4u);
    EXPECT_NE(log.Text().find("Couldn't open \"PlayData.log\""), std::string::npos);
}

TEST_F(GameApplication, TheWindowModeFollowsTheProfileAndAnythingButZeroIsFullScreen)
{
    EXPECT_EQ(*app.GetWindowMode(), (DisplaySettings{1, 2, 800, 600})); // no record yet
    struct Case
    {
        const wchar_t* stored;
        int mode;
    };
    for (const Case& c : {Case{L"0", 0}, Case{L"1", 1}, Case{L"7", 1}, Case{L"-1", 1}, Case{L"0", 0}})
    {
        ASSERT_TRUE(Current().WriteRecord(kMode, c.stored));
        EXPECT_EQ(*app.GetWindowMode(), (DisplaySettings{c.mode, 2, 800, 600})) << ToUtf8(c.stored);
    }

    // Without a current profile the mode stays, and profile changes read and write nothing.
    ASSERT_TRUE(AccountManager::Instance()->DeleteAccount(Current().GetName()));
    ASSERT_EQ(AccountManager::Instance()->GetCurrentAccount(), nullptr);
    EXPECT_EQ(app.GetWindowMode()->windowMode, 0);
    journal.Clear();
    app.OnAccountChanging();
    app.OnAccountChanged();
    EXPECT_TRUE(journal.With("factory.").empty());
}

TEST_F(GameApplication, SwitchingProfileStoresTheOutgoingSettingsThenAppliesTheIncoming)
{
    data.Write("data/GameLevels.xml", "<GameLevels><Day dayNum=\"1\">"
                                      "<level name=\"1-01 Jillian\" guestID=\"Jillian\"/>"
                                      "<level name=\"1-02 Jillian\" guestID=\"Jillian\"/></Day>"
                                      "<EndlessLevels/></GameLevels>");
    app.Initialize();
    AccountManager& accounts = *AccountManager::Instance();
    Account* ann = accounts.CreateAccount(L"Ann");
    ASSERT_NE(ann, nullptr);
    ann->SetInt(kMode, 1);
    ann->SetFloat(kMusicVolume, 0.25f);
    ann->SetString(L"KIVO::SaveData::1-01 Jillian::CompletionStatus", L"Completed");
    Account& player = Current();
    Music().SetVolume(0.5f);

    ASSERT_TRUE(accounts.SetCurrentAccount(L"Ann"));
    // The player's file got all eight settings as they ran...
    EXPECT_EQ(player.GetInt(kMode, -1), 0);
    EXPECT_FLOAT_EQ(player.GetFloat(kMusicVolume, -1.0f), 0.5f);
    for (const wchar_t* key :
         {L"Kestrin::Window::IsCustomCursorEnabled", L"Kestrin::Audio::MasterControls::Volume",
          L"Kestrin::Audio::MasterControls::IsMuted", L"Kestrin::Audio::SfxControls::Volume",
          L"Kestrin::Audio::SfxControls::IsMuted", L"Kestrin::Audio::MusicControls::IsMuted"})
        EXPECT_TRUE(player.HasRecord(key)) << ToUtf8(key);
    // ...before Ann's took effect, with her progress.
    EXPECT_EQ(GetCurrentDisplaySettings().windowMode, 1);
    EXPECT_FLOAT_EQ(Music().GetVolume(), 0.25f);
    EXPECT_EQ(GameLevels::Instance().Find("1-01 Jillian")->status, LevelCompletionStatus::Completed);
}

TEST_F(GameApplication, ShutdownStoresTheSettingsAndStopsListening)
{
    app.Initialize();
    Account& player = Current();
    AccountManager::Instance()->CreateAccount(L"Ann");
    Music().SetVolume(0.3f);
    app.Shutdown();
    EXPECT_FLOAT_EQ(player.GetFloat(kMusicVolume, -1.0f), 0.3f);

    Music().SetVolume(0.9f);
    ASSERT_TRUE(AccountManager::Instance()->SetCurrentAccount(L"Ann"));
    EXPECT_FLOAT_EQ(player.GetFloat(kMusicVolume, -1.0f), 0.3f); // no longer told
    EXPECT_FLOAT_EQ(Music().GetVolume(), 0.9f);
}

} // namespace
