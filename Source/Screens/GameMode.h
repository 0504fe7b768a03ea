#pragma once
// The screen that hosts a level. Until the level host is built this is a place holder for the
// screens that start levels: a plain backdrop under the level intro, left with Escape for the main
// menu so the player is never stuck on it.
#include "Scene/SceneApplicationMode.h"

class GameMode : public SceneApplicationMode
{
public:
    void Enter() override;
    bool OnKeyDown(int key) override;
};
