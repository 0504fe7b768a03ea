#include "Screens/MovieScreens.h"

#include "Base/Log.h"
#include "Base/Text.h"
#include "Framework/Audio.h"
#include "Framework/AudioControls.h"
#include "Framework/ResourceManager.h"
#include "Game/MusicManager.h"
#include "Platform/AudioPlatform.h"
#include "Platform/Looper.h"
#include "UI/Layout.h"
#include "UI/UIServices.h"

#include <algorithm>
#include <exception>

namespace
{

void AddHandler(Kestrin::IWindowModeChangeHandler* handler, bool& added)
{
    if (!added)
        Kestrin::GetWindowModeChangeHandlers().push_back(handler);
    added = true;
}

void RemoveHandler(Kestrin::IWindowModeChangeHandler* handler, bool& added)
{
    if (added)
        Kestrin::GetWindowModeChangeHandlers().remove(handler);
    added = false;
}

// False when the movie cannot play (no player, no file): the screen then goes on as if it had ended.
bool PlayMovie(Kestrin::FlashPlayer* player, const Kestrin::MovieSettings& settings)
{
    if (!player)
        return false;
    try
    {
        player->Play(settings);
        return true;
    }
    catch (const std::exception& e)
    {
        Kestrin::LogPrintf("Movie %s missing: %s\n",
                           Kestrin::ToUtf8(settings.fileName + settings.extension).c_str(), e.what());
        return false;
    }
}

bool MoviePlays(Kestrin::FlashPlayer* player)
{
    return player && player->IsPlaying();
}

} // namespace

Kestrin::MovieSettings MakeMovieSettings(const std::wstring& fileName)
{
    Kestrin::MovieSettings settings;
    settings.fileName = fileName;
    Kestrin::IAudioPlatform* audio = Kestrin::GetAudioPlatform();
    if (Kestrin::IAudioControls* effects =
            audio ? audio->GetCategoryControls(Kestrin::AudioCategory_Effects) : nullptr)
    {
        settings.audioEnabled = !effects->IsMuted();
        settings.volume = effects->GetVolume();
    }
    settings.setVolume = true;
    return settings;
}

Kestrin::MovieSettings MakeMovieSettingsForPath(const std::string& path)
{
    // "AllAnimations/interstitial3": the movie, then the label its "_root" is given.
    const size_t slash = path.rfind('/');
    Kestrin::MovieSettings settings =
        MakeMovieSettings(Kestrin::FromUtf8(slash == std::string::npos ? path : path.substr(0, slash)));
    if (slash != std::string::npos && slash + 1 < path.size())
    {
        settings.rootVariable = Kestrin::FromUtf8(path.substr(slash + 1));
        settings.setRootVariable = true;
    }
    return settings;
}

// ---- IntroMovieMode ----

IntroMovieMode::IntroMovieMode(Options options) : m_startupIntro(options.startupIntro) {}

IntroMovieMode::~IntroMovieMode()
{
    RemoveHandler(this, m_handlerAdded);
}

void IntroMovieMode::Enter()
{
    // No scene: the screen draws only its database, and nothing while the movie covers the game.
    m_player = std::make_unique<Kestrin::FlashPlayer>();
    AddHandler(this, m_handlerAdded);
}

void IntroMovieMode::Exit()
{
    m_player.reset();
    RemoveHandler(this, m_handlerAdded);
}

void IntroMovieMode::Activate()
{
    // A second Play would suspend drawing twice.
    if (m_started)
        return;
    m_started = true;
    MusicManager::Instance().Play(MusicTrack::None, true);
    if (!PlayMovie(m_player.get(), MakeMovieSettings(m_startupIntro ? L"Logos" : L"Intro-Commerical")))
        m_player.reset();
}

void IntroMovieMode::Update(float dt)
{
    SceneApplicationMode::Update(dt);
    if (m_finished || MoviePlays(m_player.get()))
        return;
    if (!m_startupIntro)
    {
        Kestrin::PopMode();
        m_finished = true;
        return;
    }
    if (!CountdownOver(m_endDelay))
    {
        m_endDelay -= dt;
        return;
    }
    Kestrin::ChangeMode(new StaticSplashScreenMode);
    m_finished = true;
}

bool IntroMovieMode::OnKeyDown(int key)
{
    if (m_startupIntro)
        return true;
    if (!m_finished)
    {
        Kestrin::PopMode();
        m_finished = true;
    }
    return SceneApplicationMode::OnKeyDown(key);
}

bool IntroMovieMode::OnMouseDown(Kestrin::MouseButton, int, int)
{
    if (m_startupIntro)
        return false;
    if (!m_finished)
    {
        Kestrin::PopMode();
        m_finished = true;
    }
    return true;
}

void IntroMovieMode::OnWindowModeChanged()
{
    if (m_finished)
        return;
    if (m_startupIntro)
        Kestrin::ChangeMode(new StaticSplashScreenMode);
    else
        Kestrin::PopMode();
    // The movie's own end must not queue a second request.
    m_finished = true;
}

// ---- StaticSplashScreenMode ----

void StaticSplashScreenMode::Enter()
{
    AddObject(new Kestrin::KeyboardFocusController);
    if (m_group.Load())
    {
        if (const Kestrin::Layout* layout = Kestrin::GetLayoutByName("LoadingMode").second)
            layout->CreateObjects();
        else
            m_group.ShowError(L"layout LoadingMode not found");
    }
    const auto* time = Kestrin::GetFloatValueByName("PublisherDisplayTime");
    if (!time)
        Kestrin::LogPrintf("StaticSplashScreenMode: no float \"PublisherDisplayTime\" in Loading; the splash "
                           "stays %.1f s.\n",
                           double(kDefaultDisplayTime));
    m_displayTime = time ? time->value : kDefaultDisplayTime;
}

void StaticSplashScreenMode::Update(float dt)
{
    m_displayTime -= dt;
    if (CountdownOver(m_displayTime) && !m_finished)
    {
        Kestrin::ChangeMode(new IntroMovieMode({.startupIntro = false}));
        m_finished = true;
    }
}

// ---- FlashInterstitialMode ----

FlashInterstitialMode::FlashInterstitialMode(std::string path) : m_path(std::move(path)) {}

FlashInterstitialMode::~FlashInterstitialMode()
{
    RemoveHandler(this, m_handlerAdded);
}

void FlashInterstitialMode::Enter()
{
    m_player = std::make_unique<Kestrin::FlashPlayer>();
    AddHandler(this, m_handlerAdded);
}

void FlashInterstitialMode::Exit()
{
    m_player.reset();
    RemoveHandler(this, m_handlerAdded);
}

void FlashInterstitialMode::Activate()
{
    if (m_started)
        return;
    m_started = true;
    MusicManager::Instance().Play(MusicTrack::Cutscene, true);

    Kestrin::MovieSettings settings = MakeMovieSettingsForPath(m_path);
    settings.interactive = true;
    if (!PlayMovie(m_player.get(), settings))
        m_player.reset();
}

void FlashInterstitialMode::Update(float dt)
{
    SceneApplicationMode::Update(dt);
    if (m_finished || MoviePlays(m_player.get()))
        return;
    Kestrin::PopMode();
    m_finished = true;
}

bool FlashInterstitialMode::OnMouseDown(Kestrin::MouseButton, int, int)
{
    return false;
}

void FlashInterstitialMode::OnWindowModeChanged()
{
    if (m_finished)
        return;
    Kestrin::PopMode();
    m_finished = true;
}
