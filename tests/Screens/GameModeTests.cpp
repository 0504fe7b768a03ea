#include "Screens/GameMode.h"

#include "Framework/AccountManager.h"
#include "Framework/Audio.h"
#include "Framework/ResourceManager.h"
#include "Game/CollisionQuadTree.h"
#include "Game/GameLevels.h"
#include "Game/LevelOutcome.h"
#include "Game/Line.h"
#include "Game/NimbalLevel.h"
#include "Scene/StyledTextSpriteNode.h"
#include "Screens/InGameMenuMode.h"
#include "Screens/LevelIntroModes.h"
#include "Screens/LevelOutroModes.h"
#include "UI/UINames.h"

#include "RealDataFixture.h"
#include "Support/GraphicsFakes.h"

using namespace Kestrin;
using namespace ScreenTest;

namespace
{

class Playing : public RealDataFixture
{
protected:
    Playing()
    {
        AccountManager::Instance()->CreateAccount(L"Ann");
        AccountManager::Instance()->SetCurrentAccount(L"Ann");
        Levels().LoadLevelList();
        Levels().LoadProgress();
    }

    static GameLevels& Levels() { return GameLevels::Instance(); }
    GameMode* Play(const char* level, bool endless = false)
    {
        Levels().endless = endless;
        Levels().SetCurrentLevel(level);
        return Show(new GameMode);
    }
    std::wstring HudText(const char* node)
    {
        auto* text = dynamic_cast<StyledTextSpriteNode*>(
            FindSceneNode({"gamemoderoot", "gui_attach", "game_interface", node}));
        return text ? text->GetText() : L"(no text node)";
    }
    void Escape()
    {
        Send(InputEvent_KeyDown, 0, 0, 27);
        Send(InputEvent_KeyUp, 0, 0, 27);
    }
};

TEST_F(Playing, AnAppointmentIntroducesItsNewKindOnceThenPlaysUnderItsMusicAndPauses)
{
    // The rhythm's starts, counted as they are asked for (a restart may hand out the same channel).
    int rhythmStarts = 0;
    SetSoundPlayer(
        [&rhythmStarts](ISound* sound, const SoundPlayParams& params, ISoundChannel** out)
        {
            auto* descriptor = dynamic_cast<IResourceDescriptor*>(sound);
            if (descriptor && std::string(descriptor->GetName().c_str()).starts_with("MUSIC_rhythm_"))
                ++rhythmStarts;
            PlaySoundOnPlatform(sound, params, out);
        });
    auto rhythmPlaying = []
    {
        ISoundChannel* rhythm = MusicManager::Instance().GetRhythmChannel();
        return rhythm && rhythm->IsPlaying();
    };
    GameMode* game = Play("1-01 Harley");
    EXPECT_TRUE(boxes.boxes.empty());
    for (const wchar_t* group : {L"Game", L"Game_Interface_NormalMode", L"Game_Interface_EndlessMode"})
        EXPECT_GT(ResourceManager::Instance()->GetLoadCount(group), 0) << ToUtf8(group);
    ASSERT_NE(game->GetLevel(), nullptr);
    EXPECT_EQ(game->FindObject(MakeName("NimbalLevel")), game->GetLevel());
    ASSERT_NE(game->GetQuadTree(), nullptr);
    EXPECT_EQ(FindCollisionTree(game), game->GetQuadTree());
    EXPECT_EQ(HudText("level"), GetDateAndTimeText("1-01 Harley"));
    EXPECT_EQ(HudText("guest_name"), GetGuestFullName(GuestID::Harley));
    EXPECT_NE(HudText("guest_name"), L"Text not Found");

    // The first activation asks for the kind's introduction, and only that.
    ASSERT_EQ(Requests(), (std::vector<Queued>{{1, "TicIntroMode"}}));
    EXPECT_FALSE(game->IsTicIntroPending());
    EXPECT_NE(MusicManager::Instance().GetCurrentTrack(), MusicTrack::Level);
    EXPECT_EQ(rhythmStarts, 0);
    Pass();
    PopToMode(game);
    Pass();
    ASSERT_EQ(Top(), game);
    EXPECT_TRUE(Requests().empty());
    EXPECT_EQ(MusicManager::Instance().GetCurrentTrack(), MusicTrack::Level);
    EXPECT_EQ(rhythmStarts, 1);
    EXPECT_TRUE(rhythmPlaying());

    // The mouse reaches the level before the playfield sees it.
    Send(InputEvent_MouseMove, 123, 456);
    EXPECT_EQ(game->GetLevel()->mousePosition.x, 123.0f);
    EXPECT_EQ(game->GetLevel()->mousePosition.y, 456.0f);

    Steps(10);
    // Escape opens one pause pop-up however often it is pressed before the pass.
    Escape();
    Escape();
    ASSERT_EQ(Requests(), (std::vector<Queued>{{1, "InGameMenuMode"}}));
    Pass();
    const float clock = game->GetLevel()->timeElapsed;
    Steps(100);
    EXPECT_EQ(game->GetLevel()->timeElapsed, clock);
    EXPECT_TRUE(rhythmPlaying());
    ASSERT_TRUE(Click("ResumeGame"));
    Steps(25);
    Pass();
    ASSERT_EQ(Top(), game);
    // The music plays on: it was not started again.
    EXPECT_EQ(rhythmStarts, 1);
    EXPECT_TRUE(rhythmPlaying());

    // The pause button does what Escape does; once the level is decided neither opens the menu.
    game->HandleMessage(Message(game->FindObject(MakeName("button_pause"))->GetHandle(), Names::ButtonClick));
    EXPECT_EQ(Requests(), (std::vector<Queued>{{1, "InGameMenuMode"}}));
    Pass();
    PopMode();
    Pass();
    game->GetLevel()->won = true;
    Escape();
    EXPECT_TRUE(Requests().empty());
}

TEST_F(Playing, NoIntroductionForALevelWithoutANewKindOrAKindAlreadyMet)
{
    struct Case
    {
        const char* level;
        int record; // stored for the level's new kind, if it has one (any value but 1 is unmet)
        bool intro;
    };
    for (const Case& c : {Case{"1-02 Jillian", -1, false}, Case{"1-01 Harley", 1, false},
                          Case{"1-01 Harley", 2, true}, Case{"1-03 Harley", -1, true}})
    {
        SCOPED_TRACE(testing::Message() << c.level << " " << c.record);
        Levels().SetCurrentLevel(c.level);
        const std::wstring unlock = LevelCatalogue::GetCurrentLevelUnlock();
        if (!unlock.empty())
            SetRecord(std::wstring(TictionaryKeyPrefix) + unlock, c.record);
        Play(c.level);
        const std::vector<Queued> intro{{1, "TicIntroMode"}};
        EXPECT_EQ(Requests(), c.intro ? intro : std::vector<Queued>());
        EXPECT_EQ(MusicManager::Instance().GetCurrentTrack() == MusicTrack::Level, !c.intro);
        MusicManager::Instance().Play(MusicTrack::None, false);
        ClearStackAndPush(new SceneApplicationMode);
        Pass();
    }
}

TEST_F(Playing, TheDebugKeysOutlineTheCollisionTreeAndTurnTheLinesPlainWhileTheScreenIsShown)
{
    GameMode* game = Play("1-02 Jillian");
    ASSERT_NE(game->GetQuadTree(), nullptr);
    // Creatures in, boxes in the tree's cells; the tutorials they bring are closed.
    for (int i = 0; i < 200; ++i)
    {
        Steps(1);
        Pass();
        if (Top() != game)
        {
            PopMode();
            Pass();
        }
    }
    ASSERT_EQ(Top(), game);
    KestrinTest::RecordingCanvas canvas;
    canvas.offersLine = true;
    canvas.bounds = {0, 0, 800, 600};
    auto draw = [&canvas](auto& what)
    {
        canvas.calls.clear();
        Graphics::SetCurrentCanvas(&canvas);
        what.Draw();
        Graphics::SetCurrentCanvas(nullptr);
        return canvas.calls;
    };
    const std::vector<KestrinTest::CanvasCall> scene = draw(*game);
    const std::vector<KestrinTest::CanvasCall> tree = draw(*game->GetQuadTree());
    ASSERT_GT(tree.size(), 4u);
    auto f9 = [&] { Send(InputEvent_KeyDown, 0, 0, GameMode::kCollisionViewKey); };

    // On: the tree's outlines over the scene, after everything else; off again: the scene alone.
    f9();
    EXPECT_TRUE(game->IsCollisionViewOn());
    const std::vector<KestrinTest::CanvasCall> viewed = draw(*game);
    ASSERT_EQ(viewed.size(), scene.size() + tree.size());
    for (size_t i = 0; i < tree.size(); ++i)
    {
        const KestrinTest::CanvasCall& call = viewed[scene.size() + i];
        EXPECT_EQ(call.what, "Line");
        EXPECT_EQ(call.rectF, tree[i].rectF);
        EXPECT_EQ(call.state.color, tree[i].state.color);
    }
    f9();
    EXPECT_EQ(draw(*game).size(), scene.size());

    // The lines' debug look: on for every line while the screen is shown (the pause menu shows
    // the playfield beneath it), gone with the screen.
    EXPECT_FALSE(Line::debugDraw);
    Send(InputEvent_KeyDown, 0, 0, GameMode::kLineDebugKey);
    EXPECT_TRUE(Line::debugDraw);
    Escape();
    Pass();
    ASSERT_NE(dynamic_cast<InGameMenuMode*>(Top()), nullptr);
    EXPECT_TRUE(Line::debugDraw);
    PopMode();
    Pass();
    ASSERT_EQ(Top(), game);
    EXPECT_TRUE(Line::debugDraw);
    ClearStackAndPush(new SceneApplicationMode);
    Pass();
    EXPECT_FALSE(Line::debugDraw);
}

TEST_F(Playing, AnEndlessSessionBuildsItsOwnDisplayAndOffersItsTimeOnLeaving)
{
    const std::wstring key = std::wstring(EndlessHighScoreKeyPrefix) + L"Harley";
    struct Case
    {
        int stored;
        float elapsed;
        int after;
    };
    for (const Case& c : {Case{5, 12.9f, 12}, Case{20, 12.9f, 20}})
    {
        SCOPED_TRACE(c.stored);
        SetRecord(key, c.stored);
        GameMode* game = Play("Endless Harley", true);
        EXPECT_TRUE(boxes.boxes.empty());
        EXPECT_TRUE(Requests().empty());
        EXPECT_EQ(MusicManager::Instance().GetCurrentTrack(), MusicTrack::Level);
        EXPECT_NE(FindSceneNode({"gamemoderoot", "gui_attach", "game_interface", "meterBarAttach"}), nullptr);
        EXPECT_EQ(FindSceneNode({"gamemoderoot", "gui_attach", "game_interface", "guest_name"}), nullptr);
        for (const wchar_t* group : {L"Game", L"Game_Interface_NormalMode", L"Game_Interface_EndlessMode"})
            EXPECT_GT(ResourceManager::Instance()->GetLoadCount(group), 0) << ToUtf8(group);
        ASSERT_NE(game->GetLevel(), nullptr);
        game->GetLevel()->timeElapsed = c.elapsed;
        EXPECT_EQ(AccountManager::Instance()->GetCurrentAccount()->GetInt(key, -1), c.stored);
        ClearStackAndPush(new SceneApplicationMode);
        Pass();
        EXPECT_EQ(AccountManager::Instance()->GetCurrentAccount()->GetInt(key, -1), c.after);
    }
}

TEST_F(Playing, WithoutItsGroupsTheScreenStandsEmptyAndEscapeStillPauses)
{
    AddGroup("Game_Interface_NormalMode", "<resources><broken></resources>");
    GameMode* game = Play("1-02 Jillian");
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(
        boxes.boxes[0].caption,
        L"There was an error loading Game_Interface_NormalMode.xml. Fix the problem and press F5 to reload");
    EXPECT_EQ(game->GetLevel(), nullptr);
    EXPECT_EQ(game->GetQuadTree(), nullptr);
    Steps(5);
    Send(InputEvent_MouseMove, 10, 10);
    Escape();
    EXPECT_EQ(Requests(), (std::vector<Queued>{{1, "InGameMenuMode"}}));
    // Leaving it offers no endless time: there is no level.
    Levels().endless = true;
    ClearStackAndPush(new SceneApplicationMode);
    Pass();
    EXPECT_FALSE(AccountManager::Instance()->GetCurrentAccount()->HasRecord(
        std::wstring(EndlessHighScoreKeyPrefix) + L"Jillian"));
}

} // namespace

namespace
{

// A decided level, as the level's end test leaves it.
void Decide(GameMode* game, bool won)
{
    NimbalLevel* level = game->GetLevel();
    ASSERT_NE(level, nullptr);
    (won ? level->won : level->lost) = true;
    level->outroDelay = 2.5f;
}

TEST_F(Playing, ALostAppointmentIsRetriedWithoutItsCardThenWonAndTheNextOneIntroduced)
{
    InstallLevelOutcomeHooks();
    SetRecord(std::wstring(TictionaryKeyPrefix) + L"neurotic", 1);
    GameMode* game = Play("1-01 Harley");
    ASSERT_TRUE(Requests().empty());

    Decide(game, false);
    Steps(130);
    ASSERT_EQ(Requests(), (std::vector<Queued>{{1, "LevelOutroFailureMode"}}));
    Pass();
    EXPECT_EQ(looper->GetStack().size(), 2u);
    Steps(60);
    ASSERT_TRUE(Click("button_tryAgain"));
    ASSERT_EQ(Requests(), (std::vector<Queued>{{2, "GameMode"}}));
    Pass();
    auto* again = dynamic_cast<GameMode*>(Top());
    ASSERT_NE(again, nullptr);
    ASSERT_EQ(looper->GetStack().size(), 1u);
    EXPECT_EQ(LevelCatalogue::GetCurrentLevelName(), "1-01 Harley");

    Steps(10);
    Decide(again, true);
    Steps(130);
    ASSERT_EQ(Requests(), (std::vector<Queued>{{1, "LevelOutroSuccessMode"}}));
    // Saved before the outro is shown; the pause menu stays shut meanwhile.
    EXPECT_EQ(Levels().Find("1-01 Harley")->status, LevelCompletionStatus::Expert);
    Pass();
    Escape();
    Steps(360);
    ASSERT_EQ(Requests(), (std::vector<Queued>{{2, "GameMode"}, {1, "LevelIntroMode"}}));
    Pass();
    EXPECT_EQ(LevelCatalogue::GetCurrentLevelName(), "1-02 Jillian");
    // The card over the next game screen (and Jillian's file over the card: her first visit).
    ASSERT_GE(looper->GetStack().size(), 2u);
    EXPECT_NE(dynamic_cast<GameMode*>(looper->GetStack()[0]), nullptr);
    EXPECT_NE(dynamic_cast<LevelIntroMode*>(looper->GetStack()[1]), nullptr);
    EXPECT_TRUE(boxes.boxes.empty());
}

} // namespace
