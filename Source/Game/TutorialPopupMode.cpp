#include "Game/TutorialPopupMode.h"

#include "Framework/Message.h"
#include "Game/TutorialBubble.h"
#include "Platform/Looper.h"
#include "Scene/SceneNode.h"
#include "UI/UINames.h"

TutorialPopupMode::TutorialPopupMode(Vector2f anchor_, int tutorialId_, Options options)
    : tutorialId(tutorialId_), anchor(anchor_), closesByItself(options.closesByItself),
      pointsAtAnchor(options.pointsAtAnchor)
{
}

TutorialPopupMode::~TutorialPopupMode() = default;

void TutorialPopupMode::Enter()
{
    SceneApplicationMode::Enter();
    SceneNode* root = BuildTutorialBubble(*this, GetRootNode(), tutorialId);
    if (!root)
    {
        // Without a bubble there is no OK to press: the game must not wait behind nothing.
        Close();
        return;
    }
    if (pointsAtAnchor)
        PointTutorialBubble(root, anchor);
    else if (SceneNode* bubble = FindTutorialPart(root, NodePath::TutorialMessageBubble))
    {
        bubble->SetParentAlignment(1, 1);
        bubble->SetSelfAlignment(1, 1);
        bubble->SetPosition(ScreenCentre.x, ScreenCentre.y);
    }
    if (closesByItself)
        RemoveTutorialButton(*this, root);
}

void TutorialPopupMode::Update(float dt)
{
    SceneApplicationMode::Update(dt);
    displayTime -= dt;
    if (displayTime <= 0 && closesByItself)
        Close();
}

void TutorialPopupMode::HandleMessage(const Kestrin::Message& message)
{
    SceneApplicationMode::HandleMessage(message);
    if (message.name != Kestrin::Names::ButtonClick.Get())
        return;
    Kestrin::Object* clicked = GetObject(message.handle);
    if (clicked && clicked->GetName() == GameNames::TutorialButtonOK.Get())
        Close();
}

bool TutorialPopupMode::IsOpaque()
{
    return false;
}

// The game stays in view, undimmed.
void TutorialPopupMode::DrawBackdrop() {}

void TutorialPopupMode::Close()
{
    if (m_closing)
        return;
    m_closing = true;
    Kestrin::PopMode();
}
