#pragma once
// The screen a level is played on: the playfield and the heads-up display built from layouts, the
// collision tree the playfield's objects register in, and the level, which reads the catalogue's
// current level. Escape or the pause button opens the pause pop-up; the level music starts when the
// screen first comes to the top and keeps playing under every pop-up.
// Two views for finding faults: F9 outlines the collision tree's cells over the playfield (magenta
// where a cell holds boxes), F10 draws the lines as plain segments with their end points.
#include "Framework/Keys.h"
#include "Scene/SceneApplicationMode.h"
#include "Screens/ScreenConventions.h"

#include <memory>

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
    // The scene, then the collision tree's cells while the collision view is on.
    void Draw() override;
    bool OnKeyDown(int key) override;
    bool OnMouseMove(int x, int y) override;
    void HandleMessage(const Kestrin::Message& message) override;

    NimbalLevel* GetLevel() const { return level; }
    CollisionQuadTree* GetQuadTree() const { return quadTree.get(); }
    bool IsTicIntroPending() const { return pendingTicIntro; }
    bool IsCollisionViewOn() const { return collisionView; }
    // The lines' look is one switch for every line; the screen sets it while it is shown and clears
    // it when it goes.
    bool IsLineDebugDrawOn() const { return debugDraw; }

    static constexpr int kCollisionViewKey = Kestrin::VK_F9;
    static constexpr int kLineDebugKey = Kestrin::VK_F10;

    // The side of the collision tree's square, centred on the playfield.
    static constexpr float kTreeSize = 1000.0f;

private:
    void OpenPauseMenu();

    bool pendingTicIntro = false;
    bool collisionView = false;
    bool debugDraw = false;
    NimbalLevel* level = nullptr; // owned by the database
    std::unique_ptr<CollisionQuadTree> quadTree;
    ScreenGroup m_game{L"Game"};
    ScreenGroup m_normal{L"Game_Interface_NormalMode"};
    ScreenGroup m_endless{L"Game_Interface_EndlessMode"};
};
