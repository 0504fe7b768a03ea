#include "Screens/MovieScreens.h"

#include "Framework/AudioControls.h"
#include "Game/MusicManager.h"

#include "ScreenTestSupport.h"

#include <algorithm>
#include <filesystem>

using namespace Kestrin;
using namespace ScreenTest;

namespace
{

// Every movie lasts one second; they lie at the data root, where they are found without the index.
class Movies : public ScreenFixture
{
protected:
    Movies()
    {
        for (const char* name : {"Logos", "Intro-Commerical", "AllAnimations", "basics_part01"})
            AddMovieAtRoot(name);
    }
    void AddMovieAtRoot(const std::string& name)
    {
        AddMovie(name, 1.0);
        std::filesystem::rename(data.Path() + "/data/movies/" + name + ".swf",
                                data.Path() + "/data/" + name + ".swf");
    }
    template <typename T> T* Show(T* screen)
    {
        PushMode(screen);
        Pass();
        return screen;
    }
    // Steps until the movie has ended; the step that saw it end is done.
    void PlayOut(FlashPlayer* player)
    {
        for (int i = 0; i < 200 && player && player->IsPlaying(); ++i)
            Steps(1);
        ASSERT_FALSE(player && player->IsPlaying());
    }
    static bool IsHandler(IWindowModeChangeHandler* handler)
    {
        auto& handlers = GetWindowModeChangeHandlers();
        return std::find(handlers.begin(), handlers.end(), handler) != handlers.end();
    }
};

TEST_F(Movies, TheStartupIntroCannotBeSkippedAndLeadsToTheSplashASecondAfterItEnds)
{
    IntroMovieMode* intro = Show(new IntroMovieMode({.startupIntro = true}));
    ASSERT_NE(intro->GetPlayer(), nullptr);
    EXPECT_EQ(intro->GetPlayer()->GetSettings().fileName, L"Logos");
    EXPECT_GT(GetDrawSuspendCount(), 0);
    EXPECT_TRUE(intro->OnKeyDown(27));
    EXPECT_FALSE(intro->OnMouseDown(MouseButton::Left, 10, 10));
    EXPECT_TRUE(Requests().empty());

    PlayOut(intro->GetPlayer());
    Steps(49);
    EXPECT_TRUE(Requests().empty());
    Steps(1);
    EXPECT_EQ(Requests(), (std::vector<Queued>{{0, "StaticSplashScreenMode"}}));
    Steps(100);
    EXPECT_EQ(Requests().size(), 1u);
}

TEST_F(Movies, TheSecondIntroEndsAtTheFirstKeyOrClick)
{
    for (bool key : {true, false})
    {
        SCOPED_TRACE(key ? "key" : "click");
        IntroMovieMode* intro = Show(new IntroMovieMode({.startupIntro = false}));
        EXPECT_EQ(intro->GetPlayer()->GetSettings().fileName, L"Intro-Commerical");
        if (key)
            intro->OnKeyDown(32);
        else
            EXPECT_TRUE(intro->OnMouseDown(MouseButton::Left, 10, 10));
        EXPECT_EQ(Requests(), (std::vector<Queued>{{3, ""}}));
        intro->OnKeyDown(32);
        intro->OnMouseDown(MouseButton::Left, 10, 10);
        Steps(60); // the movie's own end changes nothing now
        EXPECT_EQ(Requests().size(), 1u);
        Pass();
        EXPECT_EQ(Top(), nullptr);
        EXPECT_EQ(GetDrawSuspendCount(), 0);
    }
}

TEST_F(Movies, TheSplashStaysForItsDisplayTime)
{
    struct Case
    {
        const char* group; // null: no file
        int steps;
        const wchar_t* box; // null: none
        size_t objects;     // the focus controller and the layout's widgets
    };
    for (const Case& c :
         {Case{"<resources><float name=\"PublisherDisplayTime\" value=\"2.5\"/>"
               "<layout name=\"LoadingMode\"><imagesprite x=\"0\" y=\"0\"/></layout></resources>",
               125, nullptr, 2},
          Case{"<resources/>", 100, L"layout LoadingMode not found", 1},
          Case{nullptr, 100, L"Error opening file \"Loading.xml\": file doesn't exist", 1}})
    {
        SCOPED_TRACE(c.group ? c.group : "no group file");
        std::filesystem::remove(data.Path() + "/data/groups/Loading.xml");
        if (c.group)
            AddGroup("Loading", c.group);
        looper.reset();
        looper = std::make_unique<Looper>();
        ResetResources();
        boxes.boxes.clear();

        EXPECT_EQ(Show(new StaticSplashScreenMode)->GetTableSize(), c.objects);
        Steps(c.steps - 1);
        EXPECT_TRUE(Requests().empty());
        Steps(1);
        ASSERT_EQ(Requests(), (std::vector<Queued>{{0, "IntroMovieMode"}}));
        EXPECT_FALSE(QueuedAs<IntroMovieMode>(0)->IsStartupIntro());
        ASSERT_EQ(boxes.boxes.size(), c.box ? 1u : 0u);
        if (c.box)
        {
            EXPECT_EQ(boxes.boxes[0].caption,
                      L"There was an error loading Loading.xml. Fix the problem and press F5 to reload");
            EXPECT_EQ(boxes.boxes[0].text, c.box);
        }
    }
    EXPECT_NE(log.Text().find("no float \"PublisherDisplayTime\""), std::string::npos);
}

TEST_F(Movies, AnInterstitialPathNamesTheMovieAndItsRootLabel)
{
    struct Case
    {
        const char* path;
        const wchar_t* file;
        const wchar_t* root;
        bool setRoot;
    };
    for (const Case& c : {Case{"AllAnimations/interstitial3", L"AllAnimations", L"interstitial3", true},
                          Case{"AllAnimations/", L"AllAnimations", L"", false},
                          Case{"basics_part01", L"basics_part01", L"", false}})
    {
        SCOPED_TRACE(c.path);
        FlashInterstitialMode* movie = Show(new FlashInterstitialMode(c.path));
        const MovieSettings& s = movie->GetPlayer()->GetSettings();
        EXPECT_EQ(s.fileName, c.file);
        EXPECT_EQ(s.extension, L".swf");
        EXPECT_EQ(s.rootVariable, c.root);
        EXPECT_EQ(s.setRootVariable, c.setRoot);
        EXPECT_TRUE(s.interactive);
        EXPECT_EQ(MusicManager::Instance().GetCurrentTrack(), MusicTrack::Cutscene);

        // Clicks do not skip it; its end pops it once.
        EXPECT_FALSE(movie->OnMouseDown(MouseButton::Left, 10, 10));
        EXPECT_TRUE(Requests().empty());
        PlayOut(movie->GetPlayer());
        Steps(10);
        EXPECT_EQ(Requests(), (std::vector<Queued>{{3, ""}}));
        Pass();
    }
}

TEST_F(Movies, ANewWindowEndsTheMovieAtOnceAndOnlyOnce)
{
    struct Case
    {
        std::function<ApplicationMode*()> make;
        Queued request;
    };
    for (const Case& c :
         {Case{[] { return new IntroMovieMode({.startupIntro = true}); }, {0, "StaticSplashScreenMode"}},
          Case{[] { return new IntroMovieMode({.startupIntro = false}); }, {3, ""}},
          Case{[] { return new FlashInterstitialMode("AllAnimations/interstitial1"); }, {3, ""}}})
    {
        SCOPED_TRACE(c.request.type);
        ApplicationMode* movie = Show(c.make());
        auto* handler = dynamic_cast<IWindowModeChangeHandler*>(movie);
        EXPECT_TRUE(IsHandler(handler));
        ToggleWindowMode();
        EXPECT_EQ(Requests(), std::vector<Queued>{c.request});
        Steps(120);
        EXPECT_EQ(Requests().size(), 1u);
        Pass();
        // Gone from the list with the screen: the next change calls nothing deleted.
        EXPECT_FALSE(IsHandler(handler));
        ToggleWindowMode();
        looper.reset();
        looper = std::make_unique<Looper>();
    }
}

TEST_F(Movies, MoviesFollowTheSoundEffectsNotTheMusic)
{
    IAudioControls& effects = *platform->GetCategoryControls(0);
    platform->GetCategoryControls(2)->SetVolume(0.9f);
    for (bool muted : {false, true})
    {
        effects.SetMuted(muted);
        effects.SetVolume(0.4f);
        for (FlashPlayer* player : {Show(new IntroMovieMode({.startupIntro = false}))->GetPlayer(),
                                    Show(new FlashInterstitialMode("AllAnimations"))->GetPlayer()})
        {
            const MovieSettings& s = player->GetSettings();
            EXPECT_EQ(s.audioEnabled, !muted);
            EXPECT_FLOAT_EQ(s.volume, 0.4f);
            EXPECT_TRUE(s.setVolume);
        }
    }
}

TEST_F(Movies, AMissingMovieCountsAsEndedAtOnce)
{
    std::filesystem::remove(data.Path() + "/data/Logos.swf");
    IntroMovieMode* intro = Show(new IntroMovieMode({.startupIntro = true}));
    EXPECT_EQ(GetDrawSuspendCount(), 0);
    EXPECT_NE(log.Text().find("Movie Logos.swf missing: "), std::string::npos);
    Steps(50);
    EXPECT_TRUE(Requests().empty()); // the start-up intro still keeps its second
    Steps(1);
    EXPECT_EQ(Requests(), (std::vector<Queued>{{0, "StaticSplashScreenMode"}}));
    (void)intro;

    looper.reset();
    looper = std::make_unique<Looper>();
    Show(new FlashInterstitialMode("basics_part02"));
    Steps(1);
    EXPECT_EQ(Requests(), (std::vector<Queued>{{3, ""}}));
}

} // namespace
