#pragma once
// The gunk board as the playfield's objects use it. A running level installs the game's board (the
// gunk singleton); a test installs its own.
#include "Game/PlayfieldTypes.h"

class GameObject;
class Line;

struct GunkBoard
{
    virtual ~GunkBoard() = default;
    virtual void AddGunk(int radius, int x, int y, int colour) = 0;
    // Clears the cells within 30 px of the object's box.
    virtual void ClearAround(const GameObject& object) = 0;
    virtual void CheckCleared() = 0;
    virtual bool CleanLoop(Line* line) = 0;
    virtual float GetGunkFraction() = 0;
    virtual Vector2f RandomGunkCell() = 0;
};

// The installed board; without one (no level runs) a board that holds nothing and takes nothing.
GunkBoard& Board();
// Null uninstalls. The caller keeps ownership.
void InstallGunkBoard(GunkBoard* board);
// Null when none is installed.
GunkBoard* InstalledGunkBoard();
