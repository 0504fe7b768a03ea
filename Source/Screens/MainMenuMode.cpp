#include "Screens/MainMenuMode.h"

#include "Base/Log.h"
#include "Framework/AccountManager.h"
#include "Framework/Keys.h"
#include "Framework/Tasks.h"
#include "Game/MusicManager.h"
#include "Platform/Looper.h"
#include "Scene/NodeTasks.h"
#include "Scene/StaticSpriteNode.h"
#include "Scene/TextSpriteNode.h"
#include "Screens/AccountModes.h"
#include "Screens/CreditsMode.h"
#include "Screens/EndlessLevelSelectMode.h"
#include "Screens/LevelSelectModes.h"
#include "Screens/MovieScreens.h"
#include "Screens/OptionsMode.h"
#include "Screens/QuitConfirmMode.h"
#include "Screens/ScreenRequests.h"
#include "Screens/TictionaryModes.h"
#include "UI/UINames.h"

void ReturnToMainMenu()
{
    Kestrin::ClearStackAndPush(new MainMenuMode(false));
}

MainMenuMode::MainMenuMode(bool playEntrance) : m_playEntrance(playEntrance) {}

void MainMenuMode::Enter()
{
    m_group.Enter(*this, "main_menuLayout", true);
}

void MainMenuMode::Activate()
{
    Kestrin::AccountManager* accounts = Kestrin::AccountManager::Instance();
    if (const Kestrin::Account* current = accounts->GetCurrentAccount())
    {
        if (current->GetName() == Kestrin::AccountManager::DefaultAccountName &&
            accounts->GetAccounts().size() == 1 && accounts->GetListRevision() != s_askedAtRevision)
            m_askForProfile = true;
        SetNodeText(m_group.FindNode(ScreenNode::MainMenuTextName), current->GetName());
    }
    MusicManager::Instance().Play(MusicTrack::Lobby, false);
    if (m_playEntrance)
    {
        m_playEntrance = false;
        PlayEntrance();
    }
    if (!m_glowStarted)
    {
        if (SceneNode* glow = m_group.FindNode(ScreenNode::MainMenuGlow))
        {
            m_glowStarted = true;
            glow->GetTasks().Append(
                new Kestrin::RepeatingTask(new NodeAlphaTask(0.0f, 0.5f), new NodeAlphaTask(1.0f, 0.5f)));
        }
    }
}

void MainMenuMode::PlayEntrance()
{
    SceneNode* table = m_group.FindNode(ScreenNode::MainMenuTable);
    SceneNode* hidden = m_group.FindNode(ScreenNode::MainMenuNodeToHide);
    SceneNode* faded = m_group.FindNode(ScreenNode::MainMenuNodeToFade);
    if (hidden)
        hidden->SetVisible(false);
    if (faded)
        faded->SetAlpha(0.0f);
    if (table)
        table->SetPosition(kTableStart.x, kTableStart.y);

    if (SceneNode* background = m_group.FindNode(ScreenNode::MainMenuBackground))
    {
        auto* picture = new StaticSpriteNode(Kestrin::MakeName("titlescreen_image_odalee"));
        AddObject(picture);
        picture->SetParent(background);
        picture->SetPosition(kPictureStart.x, kPictureStart.y);
        picture->GetTasks().Append(new Kestrin::SerialTask(
            new Kestrin::ParallelTask(Kestrin::ParallelTask::All, new NodeLocationTask(kPictureEnd, 1.0f),
                                      new NodeScaleTask(kPictureScale, kPictureScale, 1.0f)),
            new Kestrin::SelfDestructTask));
    }
    if (table)
        table->GetTasks().Append(new NodeLocationTask(kTableRest, 1.0f));
    if (hidden)
        hidden->GetTasks().Append(
            new Kestrin::SerialTask(new Kestrin::TimedTask(1.0f), new NodeVisibleTask(true)));
    if (faded)
        faded->GetTasks().Append(new NodeAlphaTask(1.0f, 1.0f));
}

void MainMenuMode::HandleMessage(const Kestrin::Message& message)
{
    const Kestrin::NameId clicked = GetClickedName(message);
    if (!clicked)
        return;
    // Names compare without case: "quit" is the pause menu's "Quit", "options" its "Options".
    if (m_askForProfile && clicked != ControlNames::Quit.Get())
    {
        m_askForProfile = false;
        s_askedAtRevision = Kestrin::AccountManager::Instance()->GetListRevision();
        Kestrin::PushMode(new FirstAccountMode);
        return;
    }
    if (clicked == ControlNames::PlayTanglewisp.Get())
        Kestrin::ClearStackAndPush(new LevelSelectCalendarMode(0));
    else if (clicked == ControlNames::PlayNeverending.Get())
        Kestrin::ClearStackAndPush(new EndlessLevelSelectMode);
    else if (clicked == ControlNames::Options.Get())
        Kestrin::PushMode(new OptionsMode({.slide = true}));
    else if (clicked == ControlNames::Credits.Get())
        Kestrin::PushMode(new CreditsMode);
    else if (clicked == ControlNames::High.Get())
        Kestrin::PushMode(new IntroMovieMode({.startupIntro = false}));
    else if (clicked == ControlNames::NameplateButton.Get())
        Kestrin::PushMode(new AccountMode);
    else if (clicked == ControlNames::Tictionary.Get())
        Kestrin::PushMode(new TictionaryMainMode);
    else if (clicked == ControlNames::Quit.Get())
        AskToQuit();
}

bool MainMenuMode::OnKeyDown(int key)
{
    if (key == Kestrin::VK_ESCAPE)
    {
        AskToQuit();
        return true;
    }
    return SceneApplicationMode::OnKeyDown(key);
}

void MainMenuMode::AskToQuit()
{
    Kestrin::PushMode(new QuitConfirmMode({.slide = true, .quitGame = true}));
}
