// Stand-in for the gunk board until it is built. Without an installed board there is none to hand
// out.
#include "Game/GunkBoard.h"

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
