#pragma once
// A level played the way a player plays it, with nothing but the mouse: the game screen as far as a
// level needs it, a scripted player that presses a trap, drags a line through creatures of the
// trap's colour and closes a small loop, and a run of one level of the catalogue under a seeded
// stream and a simulated clock. The game's resource groups and its data root must be loaded.
#include "Game/PlayfieldTypes.h"
#include "Scene/SceneApplicationMode.h"

#include <cstdint>
#include <functional>
#include <random>
#include <string>

class CollisionQuadTree;
class Gremlin;
class GremlinHome;
class Line;
class NimbalLevel;

namespace Playtest
{

// The playfield screen: the game's root layout when it is loaded, the collision tree the game's
// objects find through the screen, and the pen the level reads from every mouse move.
class LevelHostScreen : public SceneApplicationMode
{
public:
    LevelHostScreen();
    ~LevelHostScreen() override;

    void Enter() override;
    void Update(float dt) override;
    bool OnMouseMove(int x, int y) override;

    CollisionQuadTree* Tree() const { return m_tree; }

private:
    CollisionQuadTree* m_tree;
};

struct PlayerCounts
{
    int presses = 0;  // presses on a trap
    int lines = 0;    // lines that left a trap
    int spears = 0;   // creatures caught on one of the player's lines
    int loops = 0;    // loops that scored
    int giveUps = 0;  // lines let go of without a scored loop
};

// Plays through the screen's mouse events only. Step before each frame's update.
class ScriptedPlayer
{
public:
    ScriptedPlayer(Kestrin::ApplicationMode& screen, uint32_t seed);

    void Step(float dt);
    const PlayerCounts& Counts() const { return m_counts; }
    Vector2f Pen() const { return m_pen; }

    // Pen speed in pixels a second; the radius of the closing loop.
    float speed = 420.0f;
    float loopRadius = 40.0f;
    // How far the player carries a catch to close its loop over gunk the line's colour cleans.
    float gunkReach = 260.0f;
    // Creatures caught on one line before it closes its loop.
    int greed = 2;

private:
    enum class Phase
    {
        Idle,
        Leaving,
        Chasing,
        Approaching,
        Circling,
    };

    void MoveTo(Vector2f point);
    void Press(Vector2f point);
    void Release();
    bool ChooseTarget();
    Gremlin* NearestCatch(Vector2f from, float within) const;
    Line* OwnLine() const;
    // Closes the loop over the nearest gunk the line cleans, with nothing else inside; else a small
    // loop where the pen is.
    void StartCircle();
    bool FindGunk(Vector2f& centre, float radius) const;
    void GiveUp();

    Kestrin::ApplicationMode& m_screen;
    std::mt19937 m_random;
    PlayerCounts m_counts;
    Phase m_phase = Phase::Idle;
    Vector2f m_pen{400.0f, 300.0f};
    bool m_down = false;
    float m_timer = 0.0f;
    float m_wait = 0.0f;
    GremlinHome* m_trap = nullptr;
    Gremlin* m_target = nullptr;
    Line* m_line = nullptr;
    int m_caught = 0;
    Vector2f m_centre;
    float m_radius = 0.0f;
    float m_angle = 0.0f, m_turned = 0.0f, m_turn = 1.0f;
};

struct LevelRun
{
    bool loaded = false;
    bool won = false;
    bool lost = false;
    float seconds = 0.0f; // simulated, until the end of the run or the outcome
    PlayerCounts counts;
    // The most wandering creatures and kings at once, and what the factory allowed then.
    int mostWandering = 0, wanderingLimit = 0;
    int mostKings = 0, kingLimit = 0;
    // Cells holding gunk when the level was decided (else at the end), and at most until then.
    int gunkLeft = 0, mostGunk = 0;
    std::string error; // an exception's text
};

struct RunOptions
{
    float seconds = 60.0f;
    float step = 0.02f;
    uint32_t seed = 1;
    bool play = true;      // false: nobody touches the mouse
    bool untilEnd = false; // play on until the level is won or lost, at most the clock and its outro
    // Makes the screen the level is played on: the level's screen above when empty. A screen that
    // makes its level as it enters (the game's) keeps that one.
    std::function<SceneApplicationMode*()> makeScreen;
    // Called once the level has set itself up from its files.
    std::function<void(NimbalLevel&)> afterLoad;
};

// Reads "GameLevels.xml" and "GlobalSettings.xml" from the data root into the game's catalogue and
// settings, as start-up does.
void ReadCampaign();

// Plays the catalogue's level of that name ("Endless ..." levels in endless mode) from its files
// at the data root. The catalogue, settings and resource groups must be loaded.
LevelRun PlayLevel(const std::string& name, bool endless, const RunOptions& options);

} // namespace Playtest
