#include "Screens/CreditsMode.h"

#include "Game/GameText.h"
#include "Platform/Looper.h"
#include "Scene/AnimatedSpriteNode.h"
#include "Scene/ButtonNode.h"
#include "Scene/TextSpriteNode.h"
#include "Screens/ScreenEscape.h"
#include "UI/UINames.h"

#include <algorithm>

void CreditsMode::Enter()
{
    m_built = m_group.Enter(*this, "CreditsLayout", true);
    if (!m_built)
        return;
    SetNodeText(m_group.FindNodeAs<TextSpriteNode>(ScreenNode::CreditsText), GetGameText("Credits.title"));
    ShowPage();
    UpdateButtons();
}

void CreditsMode::HandleMessage(const Kestrin::Message& message)
{
    const Kestrin::NameId clicked = GetClickedName(message);
    if (!clicked)
        return;
    if (clicked == ControlNames::MainMenu.Get())
    {
        Kestrin::PopMode();
        return;
    }
    int step = 0;
    if (clicked == ControlNames::Next.Get())
        step = 1;
    else if (clicked == ControlNames::Prev.Get())
        step = -1;
    else
        return;
    // A disabled button takes no click, but a click queued before it was disabled still arrives.
    m_pageIndex = std::clamp(m_pageIndex + step, 0, Kestrin::CreditsPageCount - 1);
    ShowPage();
    UpdateButtons();
}

bool CreditsMode::OnKeyDown(int key)
{
    // As "MainMenu".
    return PopScreenOnEscape(key) || SceneApplicationMode::OnKeyDown(key);
}

void CreditsMode::ShowPage()
{
    if (auto* page = m_group.FindNodeAs<AnimatedSpriteNode>(ScreenNode::CreditsPage))
        page->PlayAnimation(Kestrin::GetCreditsPageName(m_pageIndex), false);
}

void CreditsMode::UpdateButtons()
{
    auto* next = m_group.FindObjectAs<ButtonNode>(ControlNames::Next.Get());
    auto* prev = m_group.FindObjectAs<ButtonNode>(ControlNames::Prev.Get());
    if (next)
        next->SetEnabled(m_pageIndex < Kestrin::CreditsPageCount - 1);
    if (prev)
        prev->SetEnabled(m_pageIndex > 0);
}
