#pragma once
// The level and the gunk board as the playfield's objects see them, recording every call. Register
// a FakeLevel in a screen's database (it answers to "NimbalLevel") and install a FakeGunkBoard with
// InstallGunkBoard, and the objects under test find them as they would the real ones.
#include "Framework/Object.h"
#include "Game/GunkBoard.h"
#include "Game/LevelServices.h"
#include "Game/PlayfieldGraph.h"

#include <string>
#include <vector>

class Line;

namespace GameTest
{

class FakeLevel : public Kestrin::Object, public LevelServices
{
public:
    Kestrin::NameId GetName() const override { return GameNames::NimbalLevel; }

    Line* BeginLine(Vector2f point, GremlinHome* trap, GremlinColorType color, GremlinKind kind) override;
    // Drops the current line as the level does: it is no longer drawn.
    void RetractLine() override;
    void OnPlayfieldPress() override { Note("OnPlayfieldPress"); }
    LoopVerdict EvaluateLoop(Line*) override { return Note("EvaluateLoop"), loopResult; }
    void ShowLoopFeedback(LoopResult result, Vector2f point) override;
    void ShowSpearValue(int count, Vector2f point) override;
    void ShowPowerUpFeedback(int kind, Vector2f point, bool ready) override;
    void ShowTrapTutorial() override { Note("ShowTrapTutorial"); }
    void ReleaseTrap(GremlinHome*) override { Note("ReleaseTrap"); }
    bool IsBlocked(float x, float y) override;
    // Throws unless a test gave it a graph.
    micropather::Graph& PathGraph() override;
    void* GetPathState(Vector2f point) override;
    void SetPathGoal(Vector2f point) override;
    void ClearPathStates() override;
    // Gives the creature the count and the speed, as the level does.
    void HaulCreature(Gremlin* creature, int count, float speed) override;
    void OnGunkReturned() override { Note("OnGunkReturned"); }
    void OnGunkCleared() override { Note("OnGunkCleared"); }

    // What the calls answer. BeginLine answers lineToBegin, or with makeLines a new line in the
    // fake's database.
    Line* lineToBegin = nullptr;
    bool makeLines = false;
    LoopVerdict loopResult = LoopVerdict::Good;
    // With a graph, the four path calls are answered by it; without, by these values.
    bool blocked = false;
    PlayfieldGraph* graph = nullptr;
    void* pathState = nullptr;

    std::vector<std::string> calls;

private:
    void Note(std::string call) { calls.push_back(std::move(call)); }
};

class FakeGunkBoard : public GunkBoard
{
public:
    void AddGunk(int radius, int x, int y, int colour) override;
    void ClearAround(const GameObject&) override { calls.push_back("ClearAround"); }
    void CheckCleared() override { calls.push_back("CheckCleared"); }
    bool CleanLoop(Line*) override { return calls.push_back("CleanLoop"), cleaned; }
    float GetGunkFraction() override { return gunkFraction; }
    Vector2f RandomGunkCell() override { return gunkCell; }

    bool cleaned = false;
    float gunkFraction = 0.0f;
    Vector2f gunkCell;
    std::vector<std::string> calls;
};

// Installs a board for the scope.
struct ScopedGunkBoard
{
    explicit ScopedGunkBoard(GunkBoard& board) { InstallGunkBoard(&board); }
    ~ScopedGunkBoard() { InstallGunkBoard(nullptr); }
};

} // namespace GameTest
