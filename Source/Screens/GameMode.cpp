#include "Screens/GameMode.h"

#include "Framework/Keys.h"
#include "Scene/ShapeNodes.h"
#include "Screens/ScreenRequests.h"

void GameMode::Enter()
{
    // The bottom screen paints the whole frame; the screens over it are not opaque.
    auto* backdrop = new RectNode(800.0f, 600.0f, true);
    backdrop->SetColor({0.16f, 0.22f, 0.2f, 1.0f});
    AddObject(backdrop);
    backdrop->SetParent(CreateRootNode());
}

bool GameMode::OnKeyDown(int key)
{
    if (key == Kestrin::VK_ESCAPE)
    {
        ReturnToMainMenu();
        return true;
    }
    return SceneApplicationMode::OnKeyDown(key);
}
