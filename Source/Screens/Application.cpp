#include "Screens/Application.h"

#include "Base/FileSpec.h"
#include "Base/Log.h"
#include "Base/Text.h"
#include "Framework/ErrorBox.h"
#include "Framework/FileSystem.h"
#include "Framework/Paths.h"
#include "Framework/ResourceManager.h"
#include "Game/GameLevels.h"
#include "Game/GameText.h"
#include "Game/GlobalSettings.h"
#include "Game/LevelOutcome.h"
#include "Game/MusicManager.h"
#include "Game/PlayDataLog.h"
#include "Game/TutorialManager.h"
#include "Platform/AudioSettings.h"
#include "Platform/Engine.h"
#include "Platform/Looper.h"
#include "Platform/WindowSettings.h"
#include "Screens/LevelOutroModes.h"
#include "Screens/LoadingMode.h"
#include "Screens/MovieScreens.h"

#include <exception>

namespace
{
constexpr const wchar_t* kWindowModeKey = L"Kestrin::Window::Mode";

Kestrin::Account* CurrentAccount()
{
    Kestrin::AccountManager* accounts = Kestrin::AccountManager::Instance();
    return accounts ? accounts->GetCurrentAccount() : nullptr;
}

bool DataFileExists(const Kestrin::FileSpec& file)
{
    Kestrin::IFileSystem* files = Kestrin::GetFileSystem();
    Kestrin::FileSpec spec = file;
    return files && files->Exists(spec);
}
} // namespace

const std::string& GetPlayDataBanner()
{
    static const std::string banner = std::string(18, '=') + " Session " + std::string(23, '=') + " \r\n";
    return banner;
}

bool WritePlayDataBanner()
{
    return AppendPlayData(GetPlayDataBanner());
}

int SanitizeWindowMode(int stored)
{
    return stored == Kestrin::WindowMode_Windowed ? Kestrin::WindowMode_Windowed
                                                  : Kestrin::WindowMode_FullScreen;
}

Application::Application()
    : m_gameInfo{L"Quorvane",
                 L"Tanglewisp",
                 L"Copyright (c) Quorvane. All rights reserved.",
                 L"1.0",
                 L"1.0.0.0",
                 1,
                 0}
{
}

Application::~Application()
{
    if (m_handlerAdded)
        if (Kestrin::AccountManager* accounts = Kestrin::AccountManager::Instance())
            accounts->RemoveAccountChangeHandler(this);
}

const Kestrin::ApplicationInfo* Application::GetApplicationInfo()
{
    return &m_gameInfo;
}

const Kestrin::DisplaySettings* Application::GetWindowMode()
{
    if (Kestrin::Account* account = CurrentAccount())
    {
        try
        {
            m_windowMode.windowMode =
                SanitizeWindowMode(account->GetInt(kWindowModeKey, m_windowMode.windowMode));
        }
        catch (const std::exception& e)
        {
            Kestrin::LogPrintf("Couldn't read the window mode of the current profile: %s\n", e.what());
        }
    }
    return &m_windowMode;
}

bool Application::CheckDataFolder()
{
    // The text table sits at the data root and is read before anything else: without it there is no
    // data folder worth starting on.
    if (DataFileExists(Kestrin::FileSpec(1, L"AllGameText_Export", L".xml")))
        return true;
    const std::wstring text =
        L"The game's data folder \"" + Kestrin::GetDataFolder() +
        L"\" is missing or cannot be read: \"AllGameText_Export.xml\" was not found in it.";
    Kestrin::ShowErrorBox(m_gameInfo.productName, text);
    Kestrin::SetExitStatus(1);
    if (Kestrin::Looper* looper = Kestrin::Looper::Current())
        looper->RequestQuit();
    return false;
}

void Application::Initialize()
{
    if (!CheckDataFolder())
        return;

    GlobalSettings::Instance().Load();
    LoadGameText();
    WritePlayDataBanner();

    auto* loading = new LoadingMode;
    for (const wchar_t* group : {L"resources", L"Game-AnimationImages", L"Tutorial_Window"})
        loading->AddTask(new ResourceLoadTask(group), 1);
    Kestrin::ChangeMode(loading);
    Kestrin::PushMode(new IntroMovieMode({.startupIntro = true}));

    if (Kestrin::AccountManager* accounts = Kestrin::AccountManager::Instance())
    {
        accounts->ReportUnreadableFiles();
        accounts->AddAccountChangeHandler(this);
        m_handlerAdded = true;
    }
    OnAccountChanged();

    InstallLevelOutcomeHooks();
    m_started = true;
}

void Application::Shutdown()
{
    SetLevelOutcomeHooks({});
    OnAccountChanging();
    if (m_handlerAdded)
        if (Kestrin::AccountManager* accounts = Kestrin::AccountManager::Instance())
            accounts->RemoveAccountChangeHandler(this);
    m_handlerAdded = false;
    // The channels belong to the audio platform, which shuts down next.
    MusicManager::Instance().ReleaseChannels();
}

void Application::OnAccountChanging()
{
    if (!CurrentAccount())
        return;
    Kestrin::SaveWindowSettings();
    Kestrin::SaveAudioSettings();
}

void Application::OnAccountChanged()
{
    if (CurrentAccount())
    {
        Kestrin::LoadWindowSettings();
        Kestrin::LoadAudioSettings();
    }

    try
    {
        // The first call reads the list already; a profile change needs it read again.
        GameLevels& levels = GameLevels::Instance();
        TutorialManager::Instance().FollowCatalogue(levels);
        levels.LoadLevelList();
        levels.LoadProgress();
    }
    catch (const std::exception& e)
    {
        Kestrin::ShowErrorBox(L"There was an error loading GameLevels.xml file.",
                              Kestrin::FromUtf8(e.what()));
    }
}
