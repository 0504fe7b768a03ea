#pragma once
// What the playfield's objects ask of the level that runs them. The level implements it and is
// registered under "NimbalLevel"; tests register a fake there instead.
#include "Game/GameConstants.h"
#include "Game/PlayfieldTypes.h"

#include <cfloat>
#include <cstdint>
#include <memory>
#include <vector>

class Gremlin;
class GremlinHome;
class Line;

namespace Kestrin
{
class ObjectDatabase;
}
namespace micropather
{
class Graph;
class PathSolver;
} // namespace micropather

// The power-up effect in force on the field's creatures; unified colours count as a shrink.
enum class CreatureEffect : int32_t
{
    None,
    Freeze,
    Shrink,
};

class LevelServices
{
public:
    LevelServices();
    virtual ~LevelServices();

    // Starts the line of a trap's colour and kind at the point, as the current line.
    virtual Line* BeginLine(Vector2f point, GremlinHome* trap, GremlinColorType color, GremlinKind kind) = 0;
    // Drops the current line (retract animation on its trap, no current line, not drawing).
    virtual void RetractLine() = 0;
    // A press or release on the playfield, or a release on a trap: ends the line being drawn when
    // more than clickTime has passed since the last trap click.
    virtual void OnPlayfieldPress() = 0;
    // Scores a closed loop.
    virtual LoopVerdict EvaluateLoop(Line* line) = 0;
    virtual void ShowLoopFeedback(LoopResult result, Vector2f point) = 0;
    // count: creatures on the line.
    virtual void ShowSpearValue(int count, Vector2f point) = 0;
    virtual void ShowPowerUpFeedback(int kind, Vector2f point, bool ready) = 0;
    virtual void ShowTrapTutorial() = 0;
    // A trap leaves: the trap factory's bookkeeping.
    virtual void ReleaseTrap(GremlinHome* trap) = 0;
    // Inside a solid obstacle's box or on one of its segments.
    virtual bool IsBlocked(float x, float y) = 0;
    // The playfield as a path-finding graph, its states the points of the playfield.
    virtual micropather::Graph& PathGraph() = 0;
    virtual void* GetPathState(Vector2f point) = 0;
    virtual void SetPathGoal(Vector2f point) = 0;
    // Drops every path state; the line calls it after each routing.
    virtual void ClearPathStates() = 0;
    // The solver of the level's routes on PathGraph(), emptied for a new search. It keeps its
    // storage from route to route, so routing allocates nothing once warm; it forgets its nodes
    // each time because the graph hands its states out anew after every route.
    micropather::PathSolver& RouteSolver();
    // Gives a hauled creature the line's count and the follow speed.
    virtual void HaulCreature(Gremlin* creature, int count, float speed) = 0;
    // The gunk board's news: gunk was added (whether or not a cell took it), or no cell holds any.
    virtual void OnGunkReturned() = 0;
    virtual void OnGunkCleared() = 0;

    // Plain state the playfield's objects read and write.
    Vector2f mousePosition{FLT_MIN, FLT_MIN};
    float freezeTimer = 0.0f; // a frozen creature thaws when it is not above 0
    bool explosionsAllowed = true;
    int captureCount = 0;
    CreatureEffect creatureEffect = CreatureEffect::None;
    int gunkDrops = 0;
    // The next step of the "Basics" tutorials; None once they are over (or never began).
    TutorialId tutorialStep = TutorialId::None;
    Line* currentLine = nullptr;
    bool drawing = false;
    bool notStarted = true;
    // The states of the last route, kept for the same reason as the solver.
    std::vector<void*> routePath;

private:
    std::unique_ptr<micropather::PathSolver> m_routeSolver;
};

// The level of the current screen, or null when the screen has none (a screen that failed to
// load, a unit test).
LevelServices* FindLevel();
// The level of that screen's database, or null.
LevelServices* FindLevel(Kestrin::ObjectDatabase* database);
