#include "Screens/MainMenuMode.h"

#include "Base/Log.h"
#include "Game/MusicManager.h"
#include "Platform/Looper.h"
#include "Screens/MovieScreens.h"
#include "UI/UINames.h"

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
    if (clicked == ControlNames::High.Get())
        Kestrin::PushMode(new IntroMovieMode(false));
}
