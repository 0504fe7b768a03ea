#pragma once
// The screen a level is played on: the playfield and the heads-up display built from layouts, the
// collision tree the playfield's objects register in, and the level, which reads the catalogue's
// current level. Escape or the pause button opens the pause pop-up; the level music starts when the
// screen first comes to the top and keeps playing under every pop-up.
#include "Scene/SceneApplicationMode.h"
#include "Screens/ScreenConventions.h"

class CollisionQuadTree;
class NimbalLevel;

class GameMode : public SceneApplicationMode
{
public:
    GameMode();
    ~GameMode() override;
    GameMode(const GameMode&) = delete;
    GameMode& operator=(const GameMode&) = delete;

    void Enter() override;
    // In endless play the time survived is offered as the guest's record.
    void Exit() override;
    // The introduction of a kind the player has not met, once; otherwise the level music.
    void Activate() override;
    void Update(float dt) override;
    bool OnKeyDown(int key) override;
    bool OnMouseMove(int x, int y) override;
    void HandleMessage(const Kestrin::Message& message) override;

    NimbalLevel* GetLevel() const { return level; }
    CollisionQuadTree* GetQuadTree() const { return quadTree; }
    bool IsTicIntroPending() const { return pendingTicIntro; }

    // The side of the collision tree's square, centred on the playfield.
    static constexpr float kTreeSize = 1000.0f;

private:
    void OpenPauseMenu();

    bool pendingTicIntro = false;
    NimbalLevel* level = nullptr; // owned by the database
    CollisionQuadTree* quadTree = nullptr;
    ScreenGroup m_game{L"Game"};
    ScreenGroup m_normal{L"Game_Interface_NormalMode"};
    ScreenGroup m_endless{L"Game_Interface_EndlessMode"};
};
