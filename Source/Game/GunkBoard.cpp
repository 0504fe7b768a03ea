#include "Game/GunkBoard.h"

namespace
{
// What the playfield's objects find while no level runs: nothing to add to, clean or count.
struct NoGunkBoard final : GunkBoard
{
    void AddGunk(int, int, int, int) override {}
    void ClearAround(const GameObject&) override {}
    void CheckCleared() override {}
    bool CleanLoop(Line*) override { return false; }
    float GetGunkFraction() override { return 0.0f; }
    Vector2f RandomGunkCell() override { return ScreenCentre; }
};

NoGunkBoard g_none;
GunkBoard* g_installed = nullptr;
} // namespace

GunkBoard& Board()
{
    return g_installed ? *g_installed : g_none;
}

void InstallGunkBoard(GunkBoard* board)
{
    g_installed = board;
}

GunkBoard* InstalledGunkBoard()
{
    return g_installed;
}
