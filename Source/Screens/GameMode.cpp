#include "Screens/GameMode.h"

#include "Framework/Keys.h"
#include "Screens/ScreenRequests.h"

bool GameMode::OnKeyDown(int key)
{
    if (key == Kestrin::VK_ESCAPE)
    {
        ReturnToMainMenu();
        return true;
    }
    return SceneApplicationMode::OnKeyDown(key);
}
