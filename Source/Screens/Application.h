#pragma once
// The game's application object: who the program is, the window it asks for, the start sequence
// that queues the first screens, and the player's settings following the current profile.
#include "Framework/AccountManager.h"
#include "Framework/Application.h"

#include <string>

// "================== Session ======================= " and CR LF: the line every start appends to
// "PlayData.log".
const std::string& GetPlayDataBanner();
// Appends the banner; a log that cannot be opened is reported on the diagnostic log and skipped.
bool WritePlayDataBanner();

// A stored window mode as the game uses it: 0 windowed, anything else full screen.
int SanitizeWindowMode(int stored);

class Application : public Kestrin::BaseApplication, public Kestrin::IAccountChangeHandler
{
public:
    Application();
    ~Application() override;

    // {"Quorvane", "Tanglewisp", rights notice, "1.0", "1.0.0.0", 1, 0}
    const Kestrin::ApplicationInfo* GetApplicationInfo() override;
    // {mode, 2, 800, 600}, full screen at first; the mode follows the current profile's
    // "Kestrin::Window::Mode" on every call, sanitised. No current profile: the mode stays.
    const Kestrin::DisplaySettings* GetWindowMode() override;
    // Without the data folder: an error box naming it, and the program ends (status 1). Otherwise
    // the tuning, the texts, the play-data banner, the loading screen under the start-up intro,
    // then the current profile's settings and progress. The game's factories are registered by
    // then (AddGameResourceFactoryRegistrars before the engine starts).
    void Initialize() override;
    // The settings into the current profile; no more profile changes are heard.
    void Shutdown() override;
    // Whether Initialize found the data folder and queued the start-up road.
    bool IsStarted() const { return m_started; }

    // Before the profile changes (and at shutdown): window and audio settings into it.
    void OnAccountChanging() override;
    // After it changed (and once at start-up): its window and audio settings, then the level list
    // and its progress.
    void OnAccountChanged() override;

private:
    bool CheckDataFolder();

    Kestrin::ApplicationInfo m_gameInfo;
    Kestrin::DisplaySettings m_windowMode{Kestrin::WindowMode_FullScreen, 2, 800, 600};
    bool m_handlerAdded = false;
    bool m_started = false;
};
