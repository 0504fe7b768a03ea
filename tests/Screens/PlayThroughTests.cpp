// The game played through its screens by the scripted player: the first day won appointment by
// appointment, a level lost on time, an endless session to its overflow, and the profile after.
#include "Framework/AccountManager.h"
#include "Framework/ResourceManager.h"
#include "Game/GameLevels.h"
#include "Game/LevelOutcome.h"
#include "Game/NimbalLevel.h"
#include "Game/ShuffleWithRand.h"
#include "Screens/EndlessLevelSelectMode.h"
#include "Screens/GameMode.h"
#include "Screens/LevelIntroModes.h"
#include "Screens/LevelOutroModes.h"
#include "Screens/LevelSelectModes.h"
#include "Screens/MainMenuMode.h"

#include "RealDataFixture.h"
#include "Support/Play/LevelPlay.h"

#include <memory>

using namespace Kestrin;
using namespace ScreenTest;

namespace
{

class PlayThrough : public RealDataFixture
{
protected:
    PlayThrough()
    {
        for (const wchar_t* group : {L"Game-AnimationImages", L"Tutorial_Window"})
            ResourceManager::Instance()->LoadFile(group, nullptr, true);
        AccountManager::Instance()->CreateAccount(L"Ann");
        AccountManager::Instance()->SetCurrentAccount(L"Ann");
        Playtest::ReadCampaign();
        Levels().current = nullptr;
        Levels().endless = false;
        Levels().LoadProgress();
        InstallLevelOutcomeHooks();
        SetShuffleRandomSource(ShuffleLcg(5));
    }
    ~PlayThrough() override
    {
        looper.reset();
        SetLevelOutcomeHooks({});
        SetShuffleRandomSource({});
        Levels().endless = false;
        Levels().current = nullptr;
        // The statuses this game wrote into the shared catalogue go with it.
        Levels().LoadLevelList();
    }

    static GameLevels& Levels() { return GameLevels::Instance(); }
    Account& Player() { return *AccountManager::Instance()->GetCurrentAccount(); }

    // Steps until `done` holds or `seconds` of game time have passed: the scripted player plays every
    // game screen, and the cards, files and tutorials are closed by their buttons once shown a
    // while. False when time ran out.
    bool PlayUntil(const std::function<bool()>& done, float seconds, bool play = true)
    {
        ApplicationMode* shown = nullptr;
        int onTop = 0;
        for (int i = 0; i < int(seconds * 50.0f); ++i)
        {
            if (!Requests().empty())
                Pass();
            if (done())
                return true;
            ApplicationMode* top = Top();
            onTop = top == shown ? onTop + 1 : 0;
            shown = top;
            if (auto* game = dynamic_cast<GameMode*>(top))
            {
                if (game != m_game)
                {
                    if (m_player)
                        m_loops += m_player->Counts().loops;
                    m_game = game;
                    m_player = std::make_unique<Playtest::ScriptedPlayer>(*game, m_seed++);
                }
                if (play)
                    m_player->Step(0.02f);
            }
            else if (onTop > 60)
            {
                for (const char* button : {"button_next", "buttonOK", "button_tryAgain"})
                    if (Click(button))
                        break;
            }
            Steps(1);
        }
        return false;
    }
    template <typename T> bool OnTop() const { return dynamic_cast<T*>(Top()) != nullptr; }
    std::wstring Status(const char* level)
    {
        return Player().GetString(SaveDataKeyPrefix + FromUtf8(level) + CompletionStatusKeySuffix);
    }

    GameMode* m_game = nullptr;
    std::unique_ptr<Playtest::ScriptedPlayer> m_player;
    uint32_t m_seed = 11;
    int m_loops = 0; // scored by the players of the game screens left so far
    BoostRandomNumberStream random{2024};
    ScopedRandomStream scripted{&random};
};

TEST_F(PlayThrough, TheFirstDayIsWonALevelLostOnTimeAndAnEndlessSessionRunsOut)
{
    // As the day screen starts the day's first appointment.
    Levels().SetCurrentLevel("1-01 Harley");
    PopToMode(new GameMode);
    PushMode(new LevelIntroMode);
    ASSERT_TRUE(PlayUntil([&] { return OnTop<LevelSelectCalendarMode>(); }, 1500.0f));
    EXPECT_EQ(dynamic_cast<LevelSelectCalendarMode*>(Top())->GetFinishedDay(), 1);
    for (const char* level : {"1-01 Harley", "1-02 Jillian", "1-03 Harley"})
        EXPECT_TRUE(Status(level) == L"Completed" || Status(level) == L"Expert") << level;
    EXPECT_EQ(Status("1-04 Miranda"), L"InProgress");
    EXPECT_EQ(Player().GetInt(std::wstring(TictionaryKeyPrefix) + L"neurotic", 0), 1);
    // Won by loops the player drew, three levels' worth.
    EXPECT_GE(m_loops + m_player->Counts().loops, 3);

    // The next appointment, left alone until its clock runs out, then the main menu.
    Levels().SetCurrentLevel("1-04 Miranda");
    PopToMode(new GameMode);
    Pass();
    ASSERT_TRUE(PlayUntil([&] { return OnTop<LevelOutroFailureMode>(); }, 400.0f, false));
    EXPECT_EQ(dynamic_cast<LevelOutroFailureMode*>(Top())->GetReason(), L"Out of Time");
    Steps(60);
    ASSERT_TRUE(Click("button_mainMenu"));
    Pass();
    EXPECT_TRUE(OnTop<MainMenuMode>());
    EXPECT_EQ(Status("1-04 Miranda"), L"InProgress");

    // An endless session, left alone until the gunk overflows; back at the endless selection.
    Levels().endless = true;
    Levels().SetCurrentLevel("Endless Harley");
    PopToMode(new GameMode);
    Pass();
    ASSERT_TRUE(PlayUntil([&] { return OnTop<EndlessLevelSelectMode>(); }, 900.0f, false));
    const int best = Player().GetInt(std::wstring(EndlessHighScoreKeyPrefix) + L"Harley", -1);
    EXPECT_GT(best, 0);
    EXPECT_TRUE(boxes.boxes.empty()) << ToUtf8(boxes.boxes.empty() ? L"" : boxes.boxes[0].text);
}

} // namespace
