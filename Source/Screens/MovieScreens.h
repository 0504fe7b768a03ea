#pragma once
// The screens that show no scene: the two intro movies, the publisher's splash and the movies other
// screens push in the middle of the game. The start-up road is "Logos" over the loading screen,
// then the splash, then "Intro-Commerical", which a key or a click skips.
#include "Platform/Display.h"
#include "Platform/MovieSettings.h"
#include "Platform/Win32/FlashPlayer.h"
#include "Scene/SceneApplicationMode.h"
#include "Screens/ScreenConventions.h"

#include <memory>
#include <string>

// A movie play with the sound-effect category's mute and volume (movies count as effects).
Kestrin::MovieSettings MakeMovieSettings(const std::wstring& fileName);
// The same for a movie as the screens name it: "name", or "name/label" to hand the label to the
// movie's "_root" (a path that ends in the slash hands over nothing).
Kestrin::MovieSettings MakeMovieSettingsForPath(const std::string& path);

class IntroMovieMode : public SceneApplicationMode, public Kestrin::IWindowModeChangeHandler
{
public:
    struct Options
    {
        // The start-up intro plays "Logos" and cannot be skipped; the other plays "Intro-Commerical".
        bool startupIntro = false;
    };
    explicit IntroMovieMode(Options options);
    ~IntroMovieMode() override;

    void Enter() override;
    void Exit() override;
    // Stops the music and starts the movie, once per screen. A movie that is missing counts as
    // ended at once.
    void Activate() override;
    // A movie that has ended leads on: the start-up intro after a further second to the splash,
    // the other back to the screen below.
    void Update(float dt) override;
    bool OnKeyDown(int key) override;
    bool OnMouseDown(Kestrin::MouseButton button, int x, int y) override;
    // A new window ends the movie at once.
    void OnWindowModeChanged() override;

    bool IsStartupIntro() const { return m_startupIntro; }
    // A screen request was queued.
    bool IsFinished() const { return m_finished; }
    Kestrin::FlashPlayer* GetPlayer() const { return m_player.get(); }

private:
    std::unique_ptr<Kestrin::FlashPlayer> m_player;
    bool m_finished = false;
    bool m_startupIntro;
    bool m_started = false;
    bool m_handlerAdded = false;
    float m_endDelay = 1.0f;
};

// The publisher's splash, the widget layout "LoadingMode" of the group "Loading", shown for
// "PublisherDisplayTime" seconds of update time.
class StaticSplashScreenMode : public SceneApplicationMode
{
public:
    // Used when "PublisherDisplayTime" is missing.
    static constexpr float kDefaultDisplayTime = 2.0f;

    void Enter() override;
    // Counts down (its widgets stand still), then the second intro replaces it.
    void Update(float dt) override;

    float GetDisplayTime() const { return m_displayTime; }

private:
    ScreenGroup m_group{L"Loading"};
    float m_displayTime = 0.0f;
    bool m_finished = false;
};

// A movie another screen pushes: "name" plays name.swf, "name/label" plays it with label as its
// "_root" value. It pops itself when the movie ends or the window mode changes; input does not skip
// it.
class FlashInterstitialMode : public SceneApplicationMode, public Kestrin::IWindowModeChangeHandler
{
public:
    explicit FlashInterstitialMode(std::string path);
    ~FlashInterstitialMode() override;

    void Enter() override;
    void Exit() override;
    // The cutscene music, then the movie, once per screen.
    void Activate() override;
    void Update(float dt) override;
    bool OnMouseDown(Kestrin::MouseButton button, int x, int y) override;
    void OnWindowModeChanged() override;

    const std::string& GetPath() const { return m_path; }
    bool IsFinished() const { return m_finished; }
    Kestrin::FlashPlayer* GetPlayer() const { return m_player.get(); }

private:
    std::string m_path;
    std::unique_ptr<Kestrin::FlashPlayer> m_player;
    bool m_finished = false;
    bool m_started = false;
    bool m_handlerAdded = false;
};
