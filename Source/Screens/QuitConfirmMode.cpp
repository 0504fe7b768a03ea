#include "Screens/QuitConfirmMode.h"

#include "Framework/Keys.h"
#include "Framework/Names.h"
#include "Game/GameText.h"
#include "Platform/Looper.h"
#include "Scene/TextSpriteNode.h"
#include "Screens/ScreenRequests.h"

namespace
{
constinit Kestrin::ConstantName kNoQuit{"NoQuit"};
constinit Kestrin::ConstantName kYesQuit{"YesQuit"};
} // namespace

QuitConfirmMode::QuitConfirmMode(Options options) : m_slide(options.slide), m_quitGame(options.quitGame) {}

void QuitConfirmMode::Enter()
{
    if (!m_group.Enter(*this, "QuitConfirm", true))
    {
        LetInputClose();
        return;
    }
    if (SceneNode* title = m_group.FindNode(ScreenNode::QuitTitle))
        SetNodeText(title, GetGameText("QuitConfirm.title"));
    if (SceneNode* text = m_group.FindNode(ScreenNode::QuitMessage))
        SetNodeText(text, GetGameText(m_quitGame ? "QuitConfirm.quit" : "QuitConfirm.mainmenu"));
    if (m_slide)
        SlideIn(kAbove, kResting, "");
}

void QuitConfirmMode::HandleMessage(const Kestrin::Message& message)
{
    const Kestrin::NameId clicked = GetClickedName(message);
    if (!clicked)
        return;
    if (clicked == kNoQuit.Get())
        No();
    else if (clicked == kYesQuit.Get())
        Yes();
}

bool QuitConfirmMode::OnKeyDown(int key)
{
    if (key == Kestrin::VK_ESCAPE && !IsSliding() && !m_group.HasShownError())
    {
        No();
        return true;
    }
    return AbstractSlidingMode::OnKeyDown(key);
}

void QuitConfirmMode::No()
{
    if (m_answered)
        return;
    m_answered = true;
    if (m_slide)
        SlideOut(kResting, kAbove, "");
    else
        Kestrin::PopMode();
}

void QuitConfirmMode::Yes()
{
    if (m_quitGame)
    {
        // The quit handlers may refuse; the question stays answerable then.
        if (Kestrin::Looper* looper = Kestrin::Looper::Current())
            looper->RequestQuit();
        return;
    }
    if (m_answered)
        return;
    m_answered = true;
    ReturnToMainMenu();
}
