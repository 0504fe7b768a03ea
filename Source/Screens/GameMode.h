#pragma once
// The screen that hosts a level. Until the level host is built this is a bare place holder for the
// screens that start levels: an empty scene over which the level intro lies, left with Escape for
// the main menu so the player is never stuck on it.
#include "Scene/SceneApplicationMode.h"

class GameMode : public SceneApplicationMode
{
public:
    bool OnKeyDown(int key) override;
};
