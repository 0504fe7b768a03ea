// Stand-in for the tutorial pop-up until it is built: a screen that shows nothing over the game.
#include "Game/TutorialPopupMode.h"

TutorialPopupMode::TutorialPopupMode(Vector2f, int, bool, bool) {}
TutorialPopupMode::~TutorialPopupMode() = default;
void TutorialPopupMode::Enter()
{
    SceneApplicationMode::Enter();
}
void TutorialPopupMode::Update(float dt)
{
    SceneApplicationMode::Update(dt);
}
void TutorialPopupMode::HandleMessage(const Kestrin::Message& message)
{
    SceneApplicationMode::HandleMessage(message);
}
bool TutorialPopupMode::IsOpaque()
{
    return false;
}
void TutorialPopupMode::DrawBackdrop() {}
