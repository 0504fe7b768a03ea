#include "Screens/MainMenuMode.h"

#include "Game/MusicManager.h"
#include "Platform/Looper.h"
#include "Screens/MovieScreens.h"
#include "Screens/QuitConfirmMode.h"
#include "UI/UINames.h"

namespace
{
constexpr int kEscape = 27;
}

MainMenuMode::MainMenuMode(bool playEntrance) : m_playEntrance(playEntrance) {}

void MainMenuMode::Enter()
{
    m_group.Enter(*this, "main_menuLayout", true);
}

void MainMenuMode::Activate()
{
    MusicManager::Instance().Play(MusicTrack::Lobby, false);
}

void MainMenuMode::HandleMessage(const Kestrin::Message& message)
{
    const Kestrin::NameId clicked = GetClickedName(message);
    if (!clicked)
        return;
    // Names compare without case: "quit" is the pause menu's "Quit".
    if (clicked == ControlNames::High.Get())
        Kestrin::PushMode(new IntroMovieMode(false));
    else if (clicked == ControlNames::Quit.Get())
        AskToQuit();
}

bool MainMenuMode::OnKeyDown(int key)
{
    if (key == kEscape)
    {
        AskToQuit();
        return true;
    }
    return SceneApplicationMode::OnKeyDown(key);
}

void MainMenuMode::AskToQuit()
{
    Kestrin::PushMode(new QuitConfirmMode(true, true));
}
