#include "Runs/ScreenTour.h"

#include "Game/GameLevels.h"
#include "Game/LevelOutcome.h"
#include "Screens/LevelOutroModes.h"
#include "Screens/MainMenuMode.h"
#include "Screens/QuitConfirmMode.h"

#include "../Screens/ScreenTestSupport.h"

using namespace Kestrin;
using namespace ScreenTest;

namespace
{

TEST(ScreenTourSwitch, TheFolderIsTheArgumentAfterTheSwitch)
{
    struct Case
    {
        std::vector<std::wstring> arguments;
        std::optional<std::string> folder;
    };
    for (const Case& c :
         {Case{{L"Tanglewisp", L"-software", L"-tour", L"/tmp/shots"}, "/tmp/shots"},
          Case{{L"Tanglewisp", L"-tour", L"shots", L"-software"}, "shots"},
          Case{{L"Tanglewisp", L"-tour", L"/tmp/tour shots"}, "/tmp/tour shots"},
          Case{{L"Tanglewisp", L"-tour"}, std::nullopt}, Case{{L"Tanglewisp", L"-tour", L""}, std::nullopt},
          Case{{L"Tanglewisp", L"-tourist", L"x"}, std::nullopt}, Case{{L"Tanglewisp"}, std::nullopt},
          Case{{}, std::nullopt}})
        EXPECT_EQ(ScreenTour::FolderFromCommandLine(CommandLine(c.arguments)), c.folder)
            << ToUtf8(CommandLine(c.arguments).Text());
}

class Tour : public ScreenFixture
{
protected:
    // The committed calendar, read as the program reads it; the level ends into its outros.
    Tour()
    {
        UseCommittedData();
        GameLevels::Instance().LoadLevelList();
        GameLevels::Instance().LoadProgress();
        InstallLevelOutcomeHooks();
    }

    // Update steps with a draw after each, as the main loop runs them.
    void Run(ScreenTour& tour, int steps)
    {
        for (int i = 0; i < steps; ++i)
        {
            Pass();
            tour.Update(0.02f);
            Steps(1);
            tour.OnAfterDraw();
        }
    }
};

TEST_F(Tour, FromTheMainMenuItWalksTheMenusScreensThenAsksToQuitAndAnswersYes)
{
    ScreenTour tour(user.Path() + "/shots");
    PushMode(new MainMenuMode(false));
    Run(tour, 30);
    // Not before the menu has stood for its picture's time.
    EXPECT_TRUE(Requests().empty());
    EXPECT_EQ(looper->GetStack().size(), 1u);

    std::vector<std::string> tops;
    // Until the question that ends the program.
    auto quitQuestion = [&]
    {
        auto* question = dynamic_cast<QuitConfirmMode*>(Top());
        return question && question->GetQuitGame();
    };
    for (int i = 0; i < 5000 && !quitQuestion(); ++i)
    {
        Run(tour, 1);
        const std::string type = DemangledTypeName(typeid(*Top()));
        if (tops.empty() || tops.back() != type)
            tops.push_back(type);
    }
    // The story road as a new player's: the first appointment, its Tic's film and introduction (again
    // on the second try), and the next appointment, left from its pause menu; the guide after it.
    const std::vector<std::string> expected = {"MainMenuMode",
                                               "FirstAccountMode",
                                               "MainMenuMode",
                                               "CreditsMode",
                                               "MainMenuMode",
                                               "OptionsMode",
                                               "MainMenuMode",
                                               "LevelSelectCalendarMode",
                                               "LevelSelectDayMode",
                                               "LevelSelectIntroMode",
                                               "LevelSelectDayMode",
                                               "LevelSelectIntroMode",
                                               "LevelIntroMode",
                                               "GameMode",
                                               "FlashInterstitialMode",
                                               "TicIntroMode",
                                               "GameMode",
                                               "InGameMenuMode",
                                               "GameMode",
                                               "LevelOutroFailureMode",
                                               "GameMode",
                                               "FlashInterstitialMode",
                                               "TicIntroMode",
                                               "GameMode",
                                               "LevelOutroSuccessMode",
                                               "LevelSelectIntroMode",
                                               "LevelIntroMode",
                                               "GameMode",
                                               "InGameMenuMode",
                                               "QuitConfirmMode",
                                               "MainMenuMode",
                                               "TictionaryMainMode",
                                               "TictionaryProfileMode",
                                               "TictionaryMainMode",
                                               "TictionaryHelpMode",
                                               "TictionaryAboutMode",
                                               "MainMenuMode",
                                               "EndlessLevelSelectMode",
                                               "MainMenuMode",
                                               "AccountMode",
                                               "EditAccountMode",
                                               "AccountMode",
                                               "DeleteAccountMode",
                                               "AccountMode",
                                               "MainMenuMode",
                                               "QuitConfirmMode"};
    EXPECT_EQ(tops, expected);
    // The level it lost and won is the first: saved as won (in expert time: at once), the next open.
    GameLevels& levels = GameLevels::Instance();
    ASSERT_GE(levels.order.size(), 2u);
    EXPECT_EQ(levels.Find(levels.order[0])->status, LevelCompletionStatus::Expert) << levels.order[0];
    EXPECT_EQ(levels.Find(levels.order[1])->status, LevelCompletionStatus::InProgress) << levels.order[1];
    ASSERT_EQ(looper->GetStack().size(), 2u);
    auto* question = dynamic_cast<QuitConfirmMode*>(Top());
    ASSERT_NE(question, nullptr);
    EXPECT_TRUE(question->GetQuitGame());
    EXPECT_FALSE(looper->IsQuitSet());
    Run(tour, 60);
    EXPECT_TRUE(looper->IsQuitSet());
    EXPECT_NE(log.Text().find("Tour: resident memory at the main menu: "), std::string::npos);
    // The walk leaves the profiles as it found them, but for the first one it was asked to make.
    ASSERT_NE(AccountManager::Instance()->GetCurrentAccount(), nullptr);
    EXPECT_EQ(AccountManager::Instance()->GetCurrentAccount()->GetName(), ScreenTour::kProfileName);
    EXPECT_EQ(AccountManager::Instance()->GetAccounts().size(), 1u);
}

TEST_F(Tour, APlayersOwnProfilesAreLeftAlone)
{
    // A full list (no "New") once deleted the picked, current profile: the walk now ends instead.
    AccountManager* accounts = AccountManager::Instance();
    for (int i = 0; i < 10; ++i)
        ASSERT_NE(accounts->CreateAccount(L"P" + std::to_wstring(i)), nullptr);
    ASSERT_TRUE(accounts->SetCurrentAccount(L"P3"));
    ScreenTour tour(user.Path() + "/shots");
    PushMode(new MainMenuMode(false));
    bool sawProfiles = false;
    for (int i = 0; i < 5000 && !dynamic_cast<QuitConfirmMode*>(Top()); ++i)
    {
        Run(tour, 1);
        sawProfiles = sawProfiles || DemangledTypeName(typeid(*Top())).find("Account") != std::string::npos;
    }
    ASSERT_NE(dynamic_cast<QuitConfirmMode*>(Top()), nullptr);
    EXPECT_FALSE(sawProfiles);
    EXPECT_NE(log.Text().find("Tour: play_tanglewisp on MainMenuMode is only taken among the tour's own "
                              "profiles; the walk ends"),
              std::string::npos);
    ASSERT_NE(accounts->GetCurrentAccount(), nullptr);
    EXPECT_EQ(accounts->GetCurrentAccount()->GetName(), L"P3");
    // Neither progress nor a tutorial flag of the story road was written.
    EXPECT_FALSE(accounts->GetCurrentAccount()->HasRecord(L"KIVO::ShowTutorial::Calendar"));
    EXPECT_FALSE(accounts->GetCurrentAccount()->HasRecord(L"KIVO::SaveData::1-01 Harley::CompletionStatus"));
    EXPECT_EQ(accounts->GetAccounts().size(), 11u);
}

} // namespace
