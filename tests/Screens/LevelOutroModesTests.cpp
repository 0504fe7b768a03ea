#include "Screens/LevelOutroModes.h"

#include "Framework/AccountManager.h"
#include "Framework/Tasks.h"
#include "Game/GameLevels.h"
#include "Scene/ButtonNode.h"
#include "Scene/StyledTextSpriteNode.h"
#include "Screens/EndlessLevelSelectMode.h"
#include "Screens/GameMode.h"
#include "Screens/LevelIntroModes.h"
#include "Screens/LevelSelectModes.h"
#include "Screens/MainMenuMode.h"
#include "Screens/MovieScreens.h"
#include "UI/UINames.h"

#include "RealDataFixture.h"

using namespace Kestrin;
using namespace ScreenTest;

namespace
{

// Stands for the frozen playing screen beneath the outro.
class FrozenGame : public SceneApplicationMode
{
public:
    void Enter() override { CreateRootNode(); }
};

class Outros : public RealDataFixture
{
protected:
    Outros()
    {
        AccountManager::Instance()->CreateAccount(L"Ann");
        AccountManager::Instance()->SetCurrentAccount(L"Ann");
        GameLevels& levels = GameLevels::Instance();
        levels.LoadLevelList();
        levels.LoadProgress();
        cues = CuePoint::LiveCount();
        Show(new FrozenGame);
    }
    ~Outros() override
    {
        looper.reset();
        // Every cue point was bound and left again.
        EXPECT_EQ(CuePoint::LiveCount(), cues);
    }

    Account& Player() { return *AccountManager::Instance()->GetCurrentAccount(); }
    GameLevels& Levels() { return GameLevels::Instance(); }
    std::wstring Status(const std::string& level)
    {
        return Player().GetString(SaveDataKeyPrefix + FromUtf8(level) + CompletionStatusKeySuffix);
    }
    // A level finished earlier: completed, the one after it open.
    void Complete(const std::string& level)
    {
        Levels().SetCurrentLevel(level);
        Levels().CompleteCurrentLevel(false);
    }
    std::wstring TextAt(SceneNodePath path)
    {
        auto* text = dynamic_cast<StyledTextSpriteNode*>(FindSceneNode(path));
        return text ? text->GetText() : L"(no text node)";
    }
    // Steps until a request is queued; the count of steps taken, or -1 after `limit`.
    int StepsToRequest(int limit)
    {
        for (int i = 1; i <= limit; ++i)
        {
            Steps(1);
            if (!Requests().empty())
                return i;
        }
        return -1;
    }

    size_t cues = 0;
    BoostRandomNumberStream random{1234};
    ScopedRandomStream scripted{&random};
};

TEST_F(Outros, AWonAppointmentIsSavedSummedUpAndLeadsOn)
{
    struct Case
    {
        const char* level;
        const char* before; // completed earlier
        bool expert;
        int playerTime, expertTime;
        std::vector<Queued> requests;
        int finishedDay; // of the queued calendar
        int movie;       // the interstitial unlocked, 0 for none
        const char* next;
    };
    const std::string last = Levels().order.back();
    const Queued calendar{2, "LevelSelectCalendarMode"}, movie{1, "FlashInterstitialMode"};
    const Case cases[] = {
        {"1-01 Harley",
         nullptr,
         false,
         60,
         90,
         {{2, "GameMode"}, {1, "LevelIntroMode"}},
         -1,
         0,
         "1-02 Jillian"},
        {"1-03 Harley", nullptr, true, 45, 90, {calendar}, 1, 0, "1-04 Miranda"},
        {"1-17 Jason", nullptr, true, 75, 120, {calendar, movie}, 5, 1, "2-01 Zoe"},
        // A replay of the day's end: no new day to show, the movie all the same.
        {"1-17 Jason", "1-17 Jason", false, 130, 120, {calendar, movie}, 0, 1, "2-01 Zoe"},
        // The campaign's end: nothing after it to open or to move to.
        {last.c_str(), nullptr, false, 200, 150, {calendar, movie}, 0, 4, last.c_str()},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.level);
        for (const wchar_t* k : {L"1", L"4"})
            Player().WriteRecord(MovieUnlockingKeyPrefix + std::wstring(k), L"false");
        if (c.before)
            Complete(c.before);
        Levels().SetCurrentLevel(c.level);
        const bool wasExpert = Levels().GetCurrent()->status == LevelCompletionStatus::Expert;
        auto* outro = new LevelOutroSuccessMode(c.expert, c.playerTime, c.expertTime);
        // Saved before the screen is ever shown.
        EXPECT_EQ(Status(c.level), c.expert || wasExpert ? L"Expert" : L"Completed");
        Show(outro);
        EXPECT_TRUE(boxes.boxes.empty());
        EXPECT_EQ(MusicManager::Instance().GetCurrentTrack(),
                  c.expert ? MusicTrack::LevelExpert : MusicTrack::LevelSuccess);
        const char* root = c.expert ? "levelOutro_WinExpert" : "levelOutro_Win";
        EXPECT_EQ(TextAt({root, "movementNode", "textYourTime"}),
                  GetGameText("LevelOutro.yourTime") + FormatMinutesSeconds(c.playerTime));
        EXPECT_EQ(TextAt({root, "movementNode", "textExpertTime"}),
                  GetGameText("LevelOutro.expertTime") + FormatMinutesSeconds(c.expertTime));
        // The expert's fireworks beside the layout under the screen's root.
        EXPECT_EQ(outro->GetRootNode()->GetChildCount(), c.expert ? 226u : 1u);
        // Another activation (a pass that leaves it on top) does not start a second summary.
        outro->Activate();

        // Each hand-over at a cue point takes a step.
        const int steps = int(LevelOutroSuccessMode::SummaryLength(c.expert) * 50.0f + 0.5f);
        const int taken = StepsToRequest(steps + 10);
        EXPECT_GE(taken, steps);
        EXPECT_LE(taken, steps + 3);
        Steps(400);
        ASSERT_EQ(Requests(), c.requests);
        if (c.finishedDay >= 0)
        {
            EXPECT_EQ(QueuedAs<LevelSelectCalendarMode>(0)->GetFinishedDay(), c.finishedDay);
        }
        for (int k : {1, 4})
            EXPECT_EQ(Player().GetString(MovieUnlockingKeyPrefix + std::to_wstring(k)),
                      k == c.movie ? L"true" : L"false");
        if (c.movie)
        {
            ASSERT_NE(QueuedAs<FlashInterstitialMode>(1), nullptr);
            EXPECT_EQ(QueuedAs<FlashInterstitialMode>(1)->GetPath(),
                      "AllAnimations/interstitial" + std::to_string(c.movie));
        }
        EXPECT_EQ(LevelCatalogue::GetCurrentLevelName(), c.next);
        EXPECT_NE(Levels().Find(c.next)->status, LevelCompletionStatus::Locked);
        EXPECT_EQ(Levels().Find(c.next)->status == LevelCompletionStatus::InProgress, c.next != last);
        Pass();
        Show(new FrozenGame);
    }
}

TEST_F(Outros, AWinWhoseLayoutFailedIsSavedAndStillLeadsOn)
{
    AddGroup("Level_Outro_NormalWin", "<resources><scenelayout name=\"levelOutro_WinLayout\"></resources>");
    Levels().SetCurrentLevel("1-01 Harley");
    Show(new LevelOutroSuccessMode(false, 30, 90));
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(
        boxes.boxes[0].caption,
        L"There was an error loading Level_Outro_NormalWin.xml. Fix the problem and press F5 to reload");
    EXPECT_EQ(Status("1-01 Harley"), L"Completed");
    const int taken = StepsToRequest(400);
    EXPECT_GE(taken, 300);
    EXPECT_LE(taken, 303);
    EXPECT_EQ(Requests(), (std::vector<Queued>{{2, "GameMode"}, {1, "LevelIntroMode"}}));
}

TEST_F(Outros, AnEndlessSessionShowsItsTimeAgainstTheGuestsRecordAndReturnsByItself)
{
    struct Case
    {
        int stored; // -1: no record yet
        int score;
        bool record;
        int storedAfter;
    };
    const std::wstring key = std::wstring(EndlessHighScoreKeyPrefix) + L"Harley";
    for (const Case& c :
         {Case{-1, 0, true, 0}, Case{100, 100, true, 100}, Case{100, 40, false, 100}, Case{30, 45, true, 45}})
    {
        SCOPED_TRACE(testing::Message() << "stored " << c.stored << " score " << c.score);
        if (c.stored >= 0)
            SetRecord(key, c.stored);
        else
            Player().WriteRecord(key, L"");
        Levels().endless = true;
        Levels().SetCurrentLevel("Endless Harley");
        auto* outro = Show(new LevelOutroFailureMode(L"Too Much Gunk!", c.score));
        EXPECT_TRUE(boxes.boxes.empty());
        EXPECT_EQ(outro->IsRecord(), c.record);
        EXPECT_EQ(Player().GetInt(key, -1), c.storedAfter);
        EXPECT_EQ(MusicManager::Instance().GetCurrentTrack(), MusicTrack::LevelFailure);
        if (c.record)
        {
            EXPECT_EQ(TextAt({"endlessOutro_HighScore", "movementNode", "textNewRecord"}),
                      GetGameText("EndlessOutro.newRecord"));
            EXPECT_EQ(TextAt({"endlessOutro_HighScore", "movementNode", "textTimeHighscore"}),
                      GetGameText("EndlessOutro.yourTimeRecord") + FormatMinutesSeconds(c.score));
        }
        else
        {
            EXPECT_EQ(TextAt({"endlessOutro_normal", "movementNode", "textRecordTime"}),
                      GetGameText("EndlessOutro.oldRecord") + FormatMinutesSeconds(c.stored));
            EXPECT_EQ(TextAt({"endlessOutro_normal", "movementNode", "textTimeNormal"}),
                      GetGameText("EndlessOutro.yourTimeNormal") + FormatMinutesSeconds(c.score));
        }
        EXPECT_EQ(outro->GetRootNode()->GetChildCount(), c.record ? 226u : 1u);
        // The panel waits below its place, unseen, until the last word is in.
        SceneNode* panel =
            FindSceneNode({c.record ? "endlessOutro_HighScore" : "endlessOutro_normal", "movementNode"});
        ASSERT_NE(panel, nullptr);
        EXPECT_EQ(panel->GetLocalState().y, 330.0f);
        Steps(200);
        EXPECT_EQ(panel->GetLocalState().y, 330.0f);
        Steps(80);
        EXPECT_EQ(panel->GetLocalState().y, 300.0f);

        // Not before 9 s; each hand-over at a cue point takes a step.
        const int taken = 280 + StepsToRequest(200);
        EXPECT_GE(taken, 450);
        EXPECT_LE(taken, 453);
        EXPECT_EQ(Requests(), (std::vector<Queued>{{2, "EndlessLevelSelectMode"}}));
        Steps(60);
        EXPECT_EQ(Requests().size(), 1u);
        Pass();
        Show(new FrozenGame);
    }
}

TEST_F(Outros, TheLoseButtonsWaitForTheMessageThenRetryOrLeave)
{
    Levels().SetCurrentLevel("1-04 Miranda");
    struct Case
    {
        const char* button;
        Queued request;
    };
    for (const Case& c :
         {Case{"button_tryAgain", {2, "GameMode"}}, Case{"button_mainMenu", {2, "MainMenuMode"}}})
    {
        SCOPED_TRACE(c.button);
        auto* outro = Show(new LevelOutroFailureMode(L"Out of Time", 0));
        EXPECT_TRUE(boxes.boxes.empty());
        EXPECT_EQ(MusicManager::Instance().GetCurrentTrack(), MusicTrack::LevelFailure);
        SceneNode* row = FindSceneNode({"levelOutro_Lose", "buttonParent"});
        ASSERT_NE(row, nullptr);
        // 1.1 s, give or take the steps' rounding and a step for the cue.
        Steps(53);
        EXPECT_FALSE(row->IsVisible());
        EXPECT_FALSE(IsEnabled("button_tryAgain"));
        EXPECT_FALSE(Click(c.button));
        Steps(5);
        EXPECT_TRUE(row->IsVisible());
        EXPECT_TRUE(IsEnabled("button_tryAgain"));
        EXPECT_TRUE(IsEnabled("button_mainMenu"));
        ASSERT_TRUE(Click(c.button));
        EXPECT_EQ(Requests(), std::vector<Queued>{c.request});
        // A second answer before the pass changes nothing.
        outro->HandleMessage(Message(Button(c.button)->GetHandle(), Names::ButtonClick));
        EXPECT_EQ(Requests().size(), 1u);
        EXPECT_EQ(LevelCatalogue::GetCurrentLevelName(), "1-04 Miranda");
        Pass();
        Show(new FrozenGame);
    }

    // Buttons the shipped layout leaves out: quitting the program (asked of the quit handlers, no
    // screen), and skipping ahead under the next intro.
    auto* outro = Show(new LevelOutroFailureMode(L"Out of Time", 0));
    struct Extra
    {
        const char* button;
        std::vector<Queued> requests;
        bool quitAsked; // by now (it stays asked)
        const char* level;
    };
    for (const Extra& e :
         {Extra{"Quit", {}, true, "1-04 Miranda"},
          Extra{"NextLevel", {{2, "GameMode"}, {1, "LevelIntroMode"}}, true, "1-05 Jillian"}})
    {
        SCOPED_TRACE(e.button);
        auto* button = new SceneNode;
        button->SetName(MakeName(e.button));
        outro->AddObject(button);
        outro->HandleMessage(Message(button->GetHandle(), Names::ButtonClick));
        EXPECT_EQ(Requests(), e.requests);
        EXPECT_EQ(looper->IsQuitSet(), e.quitAsked);
        EXPECT_EQ(LevelCatalogue::GetCurrentLevelName(), e.level);
    }
}

TEST_F(Outros, ALoseScreenWithoutItsLayoutOrItsButtonsReturnsToTheMainMenu)
{
    for (const char* group : {"<resources/>",
                              // The layout is there, but not its row of buttons.
                              "<resources><scenelayout name=\"levelOutro_LoseLayout\">"
                              "<scenenode nodeName=\"levelOutro_Lose\"/></scenelayout></resources>"})
    {
        SCOPED_TRACE(group);
        boxes.boxes.clear();
        AddGroup("Level_Outro_NormalLose", group);
        Show(new LevelOutroFailureMode(L"Out of Time", 0));
        ASSERT_EQ(boxes.boxes.size(), 1u);
        EXPECT_EQ(
            boxes.boxes[0].caption,
            L"There was an error loading Level_Outro_NormalLose.xml. Fix the problem and press F5 to reload");
        // Queued while the outro was entered, so applied in the same pass.
        EXPECT_NE(dynamic_cast<MainMenuMode*>(Top()), nullptr);
        ResourceManager::Instance()->UnloadFile(L"Level_Outro_NormalLose");
        Show(new FrozenGame);
    }
}

TEST_F(Outros, AnEndlessSessionWhoseLayoutFailedIsKeptAndStillReturns)
{
    AddGroup("Level_Outro_Endless", "<resources><broken></resources>");
    Levels().endless = true;
    Levels().SetCurrentLevel("Endless Zoe");
    Show(new LevelOutroFailureMode(L"Too Much Gunk!", 77));
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(Player().GetInt(std::wstring(EndlessHighScoreKeyPrefix) + L"Zoe", -1), 77);
    const int taken = StepsToRequest(500);
    EXPECT_GE(taken, 450);
    EXPECT_LE(taken, 453);
    EXPECT_EQ(Requests(), (std::vector<Queued>{{2, "EndlessLevelSelectMode"}}));
}

} // namespace
