// Stand-ins for the gunk board and the tutorial manager until they are built. Without an installed
// board there is none to hand out.
#include "Game/GunkBoard.h"
#include "Game/TutorialManager.h"

#include <stdexcept>

namespace
{
GunkBoard* g_board = nullptr;
}

GunkBoard& Board()
{
    if (!g_board)
        throw std::logic_error("no gunk board installed");
    return *g_board;
}

void InstallGunkBoard(GunkBoard* board)
{
    g_board = board;
}

TutorialManager& TutorialManager::Instance()
{
    static TutorialManager manager;
    return manager;
}
void TutorialManager::Show(int, Vector2f) {}
bool TutorialManager::IsDue(int) const
{
    return false;
}
void TutorialManager::HideBubble() {}
