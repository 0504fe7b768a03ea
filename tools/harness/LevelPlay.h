#pragma once
// A level played the way a player plays it, with nothing but the mouse: the game screen as far as a
// level needs it, a scripted player that presses a trap, drags a line through the creatures it can
// spear (those about to explode first) and closes its loop round as much gunk and as many kings as
// it can, and a run of one level of the catalogue under a seeded stream and a simulated clock. The
// game's resource groups and its data root must be loaded.
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
    int presses = 0; // presses on a trap
    int lines = 0;   // lines that left a trap
    int spears = 0;  // creatures caught on one of the player's lines
    int loops = 0;   // loops that scored
    int giveUps = 0; // lines let go of without a scored loop
};

// Plays through the screen's mouse events only, deciding from what a player sees: where the
// creatures, kings, lines and gunk are and how far each creature is from exploding. The same seed
// plays the same game. Step before each frame's update.
class ScriptedPlayer
{
public:
    ScriptedPlayer(Kestrin::ApplicationMode& screen, uint32_t seed);

    void Step(float dt);
    const PlayerCounts& Counts() const { return m_counts; }
    Vector2f Pen() const { return m_pen; }

    // Pen speed in pixels a second while drawing; how much faster the pointer moves to a trap
    // with the button up.
    float speed = 420.0f;
    float reach = 1.6f;
    // Creatures caught on one line before it closes its loop.
    int greed = 5;

private:
    enum class Phase
    {
        Idle,
        Reaching,
        Leaving,
        Chasing,
        Approaching,
        Circling,
    };

    void MoveTo(Vector2f point);
    // A stride towards the point; true once there.
    bool MoveToward(Vector2f goal, float stride);
    void Press(Vector2f point);
    void Release();
    // The trap to press and the first catch.
    bool ChooseTarget();
    // One more catch for the line held, or null.
    Gremlin* NextCatch() const;
    Line* OwnLine() const;
    // Segments the line may still grow.
    int SegmentsLeft() const;
    // The circle worth most for its time: the gunk it cleans and the kings it holds, with nothing
    // inside that spoils the loop. False when no circle cleans or hurts anything.
    struct LoopPlan
    {
        Vector2f centre;
        float radius = 0.0f;
        float angle = 0.0f; // where on the circle the pen joins it
        float value = 0.0f;
    };
    bool FindLoop(LoopPlan& plan) const;
    // Whether a creature of no line of ours is inside the circle being drawn.
    bool LoopHoldsOthers() const;
    void StartCircle();
    void EndLine(bool scored);
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
    int m_replans = 0;
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
    // The most wandering creatures and kings at once, and what the factory allowed at that step.
    int mostWandering = 0, wanderingLimit = 0;
    int mostKings = 0, kingLimit = 0;
    // Steps at which more creatures wandered, or more kings lived, than the factory allowed then.
    int stepsOverLimit = 0;
    // Cells holding gunk when the level was decided (else at the end), and at most until then;
    // the creatures that had exploded by then.
    int gunkLeft = 0, mostGunk = 0;
    int explosions = 0;
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
    // Called after every step with the run so far.
    std::function<void(NimbalLevel&, const LevelRun&)> afterStep;
};

// Reads "GameLevels.xml" and "GlobalSettings.xml" from the data root into the game's catalogue and
// settings, as start-up does.
void ReadCampaign();

// Plays the catalogue's level of that name ("Endless ..." levels in endless mode) from its files
// at the data root. The catalogue, settings and resource groups must be loaded.
LevelRun PlayLevel(const std::string& name, bool endless, const RunOptions& options);

} // namespace Playtest
