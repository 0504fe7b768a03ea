// The game played from a fresh profile the way a player reaches every screen, by mouse clicks on
// the menu, the calendar, the day and the endless selection and by the scripted player on the
// playfield: the first day won with a pause on the way, the next appointment lost on time, an
// endless session played to its end, and the profile read back from its file afterwards.
#include "Framework/AccountManager.h"
#include "Game/GameLevels.h"
#include "Game/GlobalSettings.h"
#include "Game/LevelOutcome.h"
#include "Game/NimbalLevel.h"
#include "Game/ShuffleWithRand.h"
#include "Screens/EndlessLevelSelectMode.h"
#include "Screens/GameMode.h"
#include "Screens/InGameMenuMode.h"
#include "Screens/LevelOutroModes.h"
#include "Screens/LevelSelectModes.h"
#include "Screens/MainMenuMode.h"
#include "Screens/ScreenNodes.h"

#include "RealDataFixture.h"
#include "harness/LevelPlay.h"

#include <optional>

using namespace Kestrin;
using namespace ScreenTest;

namespace
{

constexpr uint32_t Seed = 10;

class PlayedFromTheMenu : public RealDataFixture
{
protected:
    PlayedFromTheMenu()
    {
        AccountManager::Instance()->CreateAccount(L"Ann");
        AccountManager::Instance()->SetCurrentAccount(L"Ann");
        // The start-up groups that stay loaded all run: the creatures' and traps' art, the tutorials.
        for (const wchar_t* group : {L"Game-AnimationImages", L"Tutorial_Window"})
            ResourceManager::Instance()->LoadFile(group, nullptr, true);
        Levels().LoadLevelList();
        Levels().LoadProgress();
        // The tuning start-up reads; the other screen tests keep the built-in one.
        GlobalSettings::Instance().Read(GlobalSettings::File());
        InstallLevelOutcomeHooks();
        SetShuffleRandomSource(ShuffleLcg(Seed));
    }
    ~PlayedFromTheMenu() override
    {
        looper.reset();
        SetShuffleRandomSource({});
        // The statuses this game wrote into the shared catalogue go with it.
        Levels().LoadLevelList();
    }

    static GameLevels& Levels() { return GameLevels::Instance(); }
    template <typename T> T* TopAs() const { return dynamic_cast<T*>(Top()); }

    // Applies the queued requests and clicks through what stands between the player and the
    // playfield (a guest's file, the card, a kind's introduction and its movie).
    GameMode* ReachGame()
    {
        for (int tries = 0; tries < 400; ++tries)
        {
            if (!Requests().empty())
                Pass();
            else if (auto* game = TopAs<GameMode>())
                return game;
            else if (!Click("button_next"))
                Steps(5);
        }
        ADD_FAILURE() << "no game screen; on top: "
                      << (Top() ? DemangledTypeName(typeid(*Top())) : "nothing");
        return nullptr;
    }

    // Clicks the guest of the day screen's first appointment; false when a node on the way is missing.
    bool ClickFirstAppointment()
    {
        auto* screen = TopAs<SceneApplicationMode>();
        SceneNode* format =
            screen ? FindScreenNode(screen->GetRootNode(), ScreenNode::DayComboAttach) : nullptr;
        SceneNode* slot =
            format && format->GetFirstChild() ? format->GetFirstChild()->FindChild("slot_1") : nullptr;
        SceneNode* combo = slot ? slot->GetFirstChild() : nullptr;
        SceneNode* attach = combo ? FindScreenNode(combo, ScreenNode::ComboLevelButtonAttach) : nullptr;
        SceneNode* button = attach && attach->GetFirstChild()
                                ? FindScreenNode(attach->GetFirstChild(), ScreenNode::DayButton)
                                : nullptr;
        if (!button)
            return false;
        ClickNode(button);
        return true;
    }

    // Steps until a screen other than a tutorial's is asked for, the scripted player at the mouse
    // unless idle; the tutorials are read and closed with their button. The simulated seconds
    // taken, or nothing after `limit` seconds.
    std::optional<float> PlayUntilRequest(GameMode& game, bool idle, float limit)
    {
        Playtest::ScriptedPlayer player(game, Seed);
        const float dt = 0.02f;
        for (float t = 0.0f; t < limit; t += dt)
        {
            if (!idle)
                player.Step(dt);
            Steps(1, dt);
            if (Requests() == std::vector<Queued>{{1, "TutorialPopupMode"}})
            {
                ++tutorials;
                Pass();
                for (int i = 0; i < 1000 && Top() != &game; ++i)
                {
                    if (!Requests().empty())
                        Pass();
                    else if (!Click("buttonOK"))
                        Steps(1, dt);
                }
                if (Top() != &game)
                    return std::nullopt;
            }
            else if (!Requests().empty())
            {
                loops += player.Counts().loops;
                return t + dt;
            }
        }
        return std::nullopt;
    }
    // Steps until a screen is asked for; false after `limit` steps.
    bool StepToRequest(int limit)
    {
        for (int i = 0; i < limit && Requests().empty(); ++i)
            Steps(1);
        return !Requests().empty();
    }

    int tutorials = 0; // pop-ups read and closed
    int loops = 0;     // scored by the player in the levels played to a request
    BoostRandomNumberStream random{Seed};
    ScopedRandomStream scripted{&random};
};

TEST_F(PlayedFromTheMenu, AFreshProfileWinsItsFirstDayLosesOnTimeAndPlaysAnEndlessSession)
{
    Show(new MainMenuMode(false));
    ASSERT_TRUE(Click("play_tanglewisp"));
    Pass();
    auto* calendar = TopAs<LevelSelectCalendarMode>();
    ASSERT_NE(calendar, nullptr);
    ASSERT_EQ(calendar->GetDayButton(2), nullptr) << "only the first day is open";
    ClickNode(FindScreenNode(calendar->GetDayButton(1), ScreenNode::DayButton));
    ASSERT_EQ(Requests(), (std::vector<Queued>{{1, "LevelSelectDayMode"}}));
    Pass();
    ASSERT_TRUE(ClickFirstAppointment());
    ASSERT_EQ(Requests(), (std::vector<Queued>{{2, "GameMode"}, {1, "LevelIntroMode"}}));

    // The first day, appointment by appointment, each won and leading to the next.
    const std::vector<std::string> day = {"1-01 Harley", "1-02 Jillian", "1-03 Harley"};
    for (size_t i = 0; i < day.size(); ++i)
    {
        SCOPED_TRACE(day[i]);
        GameMode* game = ReachGame();
        ASSERT_NE(game, nullptr);
        ASSERT_EQ(LevelCatalogue::GetCurrentLevelName(), day[i]);
        if (i == 1)
        {
            // A pause on the way stops the level's clock.
            Steps(20);
            Send(InputEvent_KeyDown, 0, 0, 27);
            Pass();
            ASSERT_NE(TopAs<InGameMenuMode>(), nullptr);
            const float clock = game->GetLevel()->timeElapsed;
            Steps(100);
            EXPECT_EQ(game->GetLevel()->timeElapsed, clock);
            ASSERT_TRUE(Click("ResumeGame"));
            ASSERT_TRUE(StepToRequest(100));
            Pass();
            ASSERT_EQ(Top(), game);
        }
        const float limit = game->GetLevel()->timeLimit;
        const std::optional<float> taken = PlayUntilRequest(*game, false, limit + 5.0f);
        ASSERT_TRUE(taken) << "undecided";
        ASSERT_EQ(Requests(), (std::vector<Queued>{{1, "LevelOutroSuccessMode"}}));
        EXPECT_TRUE(game->GetLevel()->won);
        EXPECT_LT(*taken, limit + 3.0f);
        Pass();
        ASSERT_TRUE(StepToRequest(1000));
        if (i + 1 < day.size())
        {
            ASSERT_EQ(Requests(), (std::vector<Queued>{{2, "GameMode"}, {1, "LevelIntroMode"}}));
        }
        else
        {
            ASSERT_EQ(Requests(), (std::vector<Queued>{{2, "LevelSelectCalendarMode"}}));
            EXPECT_EQ(QueuedAs<LevelSelectCalendarMode>(0)->GetFinishedDay(), 1);
        }
    }

    // The first level teaches as it goes; the wins were the player's own loops.
    EXPECT_GT(tutorials, 0);
    EXPECT_GE(loops, 3);

    // The second day is open: its first appointment, left alone, is lost on time.
    Pass();
    calendar = TopAs<LevelSelectCalendarMode>();
    ASSERT_NE(calendar, nullptr);
    ASSERT_NE(calendar->GetDayButton(2), nullptr);
    Steps(200); // the new day fades in
    ClickNode(FindScreenNode(calendar->GetDayButton(2), ScreenNode::DayButton));
    ASSERT_EQ(Requests(), (std::vector<Queued>{{1, "LevelSelectDayMode"}}));
    Pass();
    ASSERT_TRUE(ClickFirstAppointment());
    GameMode* game = ReachGame();
    ASSERT_NE(game, nullptr);
    ASSERT_EQ(LevelCatalogue::GetCurrentLevelName(), "1-04 Miranda");
    const float limit = game->GetLevel()->timeLimit;
    const std::optional<float> lostAfter = PlayUntilRequest(*game, true, limit + 5.0f);
    ASSERT_TRUE(lostAfter);
    ASSERT_EQ(Requests(), (std::vector<Queued>{{1, "LevelOutroFailureMode"}}));
    EXPECT_TRUE(game->GetLevel()->lost);
    EXPECT_GE(*lostAfter, limit);
    Pass();
    EXPECT_EQ(TopAs<LevelOutroFailureMode>()->GetReason(), L"Out of Time");
    Steps(60);
    EXPECT_TRUE(IsEnabled("button_tryAgain"));
    ASSERT_TRUE(Click("button_mainMenu"));
    ASSERT_EQ(Requests(), (std::vector<Queued>{{2, "MainMenuMode"}}));
    Pass();

    // Endless play with the guest met first, until the gunk wins; the time is the guest's record.
    ASSERT_TRUE(Click("play_neverending"));
    Pass();
    ASSERT_NE(TopAs<EndlessLevelSelectMode>(), nullptr);
    EXPECT_FALSE(IsEnabled("button_Miranda")) << "lost on her first visit";
    ASSERT_TRUE(Click("button_Jillian"));
    ASSERT_TRUE(Click("buttonBeginTraining"));
    ASSERT_EQ(Requests(), (std::vector<Queued>{{2, "GameMode"}}));
    game = ReachGame();
    ASSERT_NE(game, nullptr);
    ASSERT_TRUE(Levels().endless);
    const std::optional<float> endlessTime = PlayUntilRequest(*game, false, 1200.0f);
    ASSERT_TRUE(endlessTime) << "the endless session never ended";
    ASSERT_EQ(Requests(), (std::vector<Queued>{{1, "LevelOutroFailureMode"}}));
    const int seconds = int(game->GetLevel()->timeElapsed);
    EXPECT_GT(seconds, 10);
    Pass();
    EXPECT_EQ(TopAs<LevelOutroFailureMode>()->GetReason(), L"Too Much Gunk!");
    EXPECT_TRUE(TopAs<LevelOutroFailureMode>()->IsRecord());
    ASSERT_TRUE(StepToRequest(600));
    ASSERT_EQ(Requests(), (std::vector<Queued>{{2, "EndlessLevelSelectMode"}}));
    Pass();
    EXPECT_TRUE(boxes.boxes.empty());
    looper.reset();

    // The profile as the next start reads it from its file.
    delete AccountManager::Instance();
    auto* accounts = new AccountManager;
    ASSERT_EQ(accounts, AccountManager::Instance());
    ASSERT_TRUE(accounts->SetCurrentAccount(L"Ann"));
    const Account& ann = *accounts->GetCurrentAccount();
    auto status = [&](const char* level)
    { return ann.GetString(SaveDataKeyPrefix + FromUtf8(level) + CompletionStatusKeySuffix); };
    for (const std::string& level : day)
        EXPECT_TRUE(status(level.c_str()) == L"Completed" || status(level.c_str()) == L"Expert") << level;
    EXPECT_EQ(status("1-04 Miranda"), L"InProgress");
    EXPECT_EQ(status("1-05 Jillian"), L"");
    EXPECT_EQ(ann.GetInt(std::wstring(EndlessHighScoreKeyPrefix) + L"Jillian", -1), seconds);
    EXPECT_EQ(ann.GetInt(std::wstring(EndlessHighScoreKeyPrefix) + L"Harley", -1), -1);
    for (const wchar_t* guest : {L"Harley", L"Jillian"})
        EXPECT_EQ(ann.GetInt(EndlessUnlockKeyPrefix + std::wstring(guest), 0), 1) << ToUtf8(guest);
    EXPECT_EQ(ann.GetInt(EndlessUnlockKeyPrefix + std::wstring(L"Miranda"), 0), 0);
    for (const wchar_t* kind : {L"neurotic", L"chaotic"})
        EXPECT_EQ(ann.GetInt(TictionaryKeyPrefix + std::wstring(kind), 0), 1) << ToUtf8(kind);
    Levels().LoadProgress();
    EXPECT_EQ(Levels().Find("1-04 Miranda")->status, LevelCompletionStatus::InProgress);
    EXPECT_EQ(Levels().Find("1-05 Jillian")->status, LevelCompletionStatus::Locked);
}

} // namespace
