#include "Game/GunkBoard.h"

#include "Game/NimbalGunk.h"

namespace
{
GunkBoard* g_installed = nullptr;
}

GunkBoard& Board()
{
    return g_installed ? *g_installed : NimbalGunk::Instance();
}

void InstallGunkBoard(GunkBoard* board)
{
    g_installed = board;
}
