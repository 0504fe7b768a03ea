#include "Screens/MainMenuMode.h"

#include "Game/MusicManager.h"
#include "Screens/MovieScreens.h"
#include "Screens/QuitConfirmMode.h"

#include "ScreenTestSupport.h"

#include <algorithm>

using namespace Kestrin;
using namespace ScreenTest;

namespace
{

class MainMenu : public ScreenFixture
{
protected:
    MainMenu()
    {
        UseCommittedData();
        RecordSounds();
        // A second profile: with the default one alone the first click asks for a name instead.
        AccountManager::Instance()->CreateAccount(L"Ann");
        PushMode(menu);
        Pass();
        Steps(60); // past the entrance, which hides the buttons for its first second
    }
    size_t LobbyPlays() const { return size_t(std::count(played.begin(), played.end(), "MUSIC_Lobby")); }

    MainMenuMode* menu = new MainMenuMode(true);
};

TEST_F(MainMenu, TheTitleSceneComesWithTheLobbyMusicStartedOnce)
{
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_NE(FindSceneNode({"main_menu", "table", "nameplate", "text_name"}), nullptr);
    EXPECT_EQ(MusicManager::Instance().GetCurrentTrack(), MusicTrack::Lobby);
    EXPECT_EQ(LobbyPlays(), 1u);

    // Back on top after a pop-up: the music goes on as it was.
    PushMode(new QuitConfirmMode({.slide = false, .quitGame = true}));
    Pass();
    PopMode();
    Pass();
    EXPECT_EQ(Top(), menu);
    EXPECT_EQ(LobbyPlays(), 1u);

    // After the movie, which stops the music, it starts again.
    PushMode(new IntroMovieMode({.startupIntro = false}));
    Pass();
    EXPECT_EQ(MusicManager::Instance().GetCurrentTrack(), MusicTrack::None);
    PopMode();
    Pass();
    EXPECT_EQ(LobbyPlays(), 2u);
}

TEST_F(MainMenu, TheQuitButtonAndEscapeAskFirst)
{
    for (bool escape : {false, true})
    {
        SCOPED_TRACE(escape ? "Escape" : "quit button");
        if (escape)
            Send(InputEvent_KeyDown, 0, 0, 27);
        else
            ClickNode(FindSceneNode({"main_menu", "nodeToHide", "quit"}));
        ASSERT_EQ(Requests(), (std::vector<Queued>{{1, "QuitConfirmMode"}}));
        EXPECT_TRUE(QueuedAs<QuitConfirmMode>(0)->GetSlide());
        EXPECT_TRUE(QueuedAs<QuitConfirmMode>(0)->GetQuitGame());
        Pass();
        looper->PopModeNow();
        EXPECT_EQ(Top(), menu);
    }
    EXPECT_FALSE(looper->IsQuitSet());
}

TEST_F(MainMenu, TheMovieButtonPlaysTheSkippableIntro)
{
    ClickNode(FindSceneNode({"main_menu", "nodeToHide", "high"}));
    ASSERT_EQ(Requests(), (std::vector<Queued>{{1, "IntroMovieMode"}}));
    EXPECT_FALSE(QueuedAs<IntroMovieMode>(0)->IsStartupIntro());
}

} // namespace
