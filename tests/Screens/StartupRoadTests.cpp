// The start-up road as the queue of screen requests shows it: the loading screen under the "Logos"
// movie, the splash, the second intro, the loading screen again, then the main menu; a window
// closed on the way is refused until loading is over, and then ends the program instead of the menu.
#include "Screens/Application.h"

#include "Platform/Engine.h"
#include "Screens/LoadingMode.h"
#include "Screens/MainMenuMode.h"
#include "Screens/MovieScreens.h"

#include "ScreenTestSupport.h"
#include "Support/WaitFor.h"

using namespace Kestrin;
using namespace ScreenTest;

namespace
{

class StartupRoad : public ScreenFixture
{
protected:
    StartupRoad()
    {
        WriteStartupFiles();
        AddGroup("Loading",
                 "<resources><float name=\"PublisherDisplayTime\" value=\"0.5\"/>"
                 "<layout name=\"LoadingMode\"><imagesprite x=\"0\" y=\"0\"/></layout></resources>");
        AddGroup("Title_MainMenu",
                 "<resources><scenelayout name=\"titlescreenLayout\"><scenenode/></scenelayout>"
                 "<scenelayout name=\"main_menuLayout\"><scenenode nodeName=\"main_menu\"/>"
                 "</scenelayout></resources>");
        AddMovie("Logos", 0.5);
        AddMovie("Intro-Commerical", 0.5);
    }
    ~StartupRoad() override { SetExitStatus(0); }

    // Steps the top screen until it queues a request (or the program is to end); the queue then.
    std::vector<Queued> StepUntilRequested()
    {
        for (int i = 0; i < 1000 && Requests().empty() && !looper->IsQuitSet(); ++i)
            Steps(1);
        return Requests();
    }
};

TEST_F(StartupRoad, MoviesAndSplashThenTheMenuOrTheRefusedQuit)
{
    for (bool closeEarly : {false, true})
    {
        SCOPED_TRACE(closeEarly ? "window closed during the first movie" : "no quit");
        Application app;
        app.Initialize();
        ASSERT_EQ(Requests(), (std::vector<Queued>{{0, "LoadingMode"}, {1, "IntroMovieMode"}}));
        LoadingMode* loading = QueuedAs<LoadingMode>(0);
        Pass();
        ASSERT_EQ(looper->GetStack().size(), 2u);
        EXPECT_TRUE(dynamic_cast<IntroMovieMode&>(*Top()).IsStartupIntro());
        ASSERT_TRUE(KestrinTest::WaitFor([&] { return loading->IsThreadFinished(); }));
        if (closeEarly)
        {
            looper->RequestQuit();
            EXPECT_FALSE(looper->IsQuitSet());
        }

        EXPECT_EQ(StepUntilRequested(), (std::vector<Queued>{{0, "StaticSplashScreenMode"}}));
        Pass();
        EXPECT_EQ(StepUntilRequested(), (std::vector<Queued>{{0, "IntroMovieMode"}}));
        EXPECT_FALSE(QueuedAs<IntroMovieMode>(0)->IsStartupIntro());
        Pass();
        EXPECT_EQ(StepUntilRequested(), (std::vector<Queued>{{3, ""}}));
        Pass();
        ASSERT_EQ(Top(), loading);
        EXPECT_FALSE(looper->IsQuitSet());

        if (closeEarly)
        {
            // The refused quit is carried out once loading is over, and no menu comes.
            EXPECT_TRUE(StepUntilRequested().empty());
            EXPECT_TRUE(looper->IsQuitSet());
        }
        else
        {
            ASSERT_EQ(StepUntilRequested(), (std::vector<Queued>{{0, "MainMenuMode"}}));
            EXPECT_TRUE(QueuedAs<MainMenuMode>(0)->GetPlayEntrance());
            Pass();
            // From the menu a closed window is not refused any more.
            looper->RequestQuit();
            EXPECT_TRUE(looper->IsQuitSet());
        }
        EXPECT_TRUE(boxes.boxes.empty());
        app.Shutdown();
        looper.reset();
        looper = std::make_unique<Looper>();
    }
}

} // namespace
