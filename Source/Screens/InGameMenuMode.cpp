#include "Screens/InGameMenuMode.h"

#include "Framework/Names.h"
#include "Game/GameText.h"
#include "Platform/Looper.h"
#include "Scene/TextSpriteNode.h"
#include "Screens/OptionsMode.h"
#include "Screens/QuitConfirmMode.h"
#include "Screens/TictionaryModes.h"

namespace
{
constexpr const char* DialogSound = "SFX_UI_dialog";

constinit Kestrin::ConstantName kResumeGame{"ResumeGame"};
constinit Kestrin::ConstantName kOptions{"Options"};
constinit Kestrin::ConstantName kMainMenu{"MainMenu"};
constinit Kestrin::ConstantName kHelp{"button_help"};
constinit Kestrin::ConstantName kQuit{"Quit"};
} // namespace

void InGameMenuMode::Enter()
{
    if (!m_group.Enter(*this, "InGameMenu", true))
    {
        // Without its buttons the game beneath could be neither resumed nor left.
        LetInputClose();
        return;
    }
    SetNodeText(m_group.FindNode(ScreenNode::PauseTitle), GetGameText("PauseMenu.title"));
    SlideIn(kAbove, kResting, DialogSound);
}

void InGameMenuMode::HandleMessage(const Kestrin::Message& message)
{
    const Kestrin::NameId clicked = GetClickedName(message);
    if (!clicked || m_resuming)
        return;
    if (clicked == kResumeGame.Get())
    {
        m_resuming = true;
        SlideOut(kResting, kAbove, DialogSound);
    }
    else if (clicked == kOptions.Get())
        Kestrin::PushMode(new OptionsMode({.slide = false}));
    else if (clicked == kMainMenu.Get())
        Kestrin::PushMode(new QuitConfirmMode({.slide = false, .quitGame = false}));
    else if (clicked == kHelp.Get())
        Kestrin::PushMode(new TictionaryHelpMode);
    else if (clicked == kQuit.Get())
        Kestrin::PushMode(new QuitConfirmMode({.slide = false, .quitGame = true}));
}
