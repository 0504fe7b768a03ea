#include "GameStubs/GameFakes.h"

#include "Framework/ObjectDatabase.h"
#include "Game/Gremlin.h"
#include "Game/Line.h"

#include <stdexcept>

namespace GameTest
{

namespace
{
// Without trailing zeros: "12.5", "40".
std::string Number(float value)
{
    std::string text = std::to_string(value);
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == '.')
        text.pop_back();
    return text;
}

std::string Point(Vector2f p)
{
    return Number(p.x) + "," + Number(p.y);
}
} // namespace

Line* FakeLevel::BeginLine(Vector2f point, GremlinHome* trap, GremlinColorType color, GremlinKind kind)
{
    Note("BeginLine " + Point(point) + " " + NameOf(color) + " " + NameOf(kind));
    Line* line = lineToBegin;
    if (!line && makeLines)
    {
        line = new Line(point.x, point.y, trap, color, kind);
        if (Kestrin::ObjectDatabase* database = GetDatabase())
            database->AddObject(line);
    }
    currentLine = line;
    drawing = line != nullptr;
    return line;
}

void FakeLevel::RetractLine()
{
    Note("RetractLine");
    if (currentLine)
        currentLine->drawing = false;
    currentLine = nullptr;
    drawing = false;
}

void FakeLevel::ShowLoopFeedback(LoopResult result, Vector2f point)
{
    Note("ShowLoopFeedback " + std::string(NameOf(result)) + " " + Point(point));
}

void FakeLevel::ShowSpearValue(int count, Vector2f point)
{
    Note("ShowSpearValue " + std::to_string(count) + " " + Point(point));
}

void FakeLevel::ShowPowerUpFeedback(int kind, Vector2f point, bool ready)
{
    Note("ShowPowerUpFeedback " + std::to_string(kind) + " " + Point(point) + (ready ? " ready" : ""));
}

bool FakeLevel::IsBlocked(float x, float y)
{
    Note("IsBlocked " + Point({x, y}));
    return graph ? graph->IsBlocked(x, y) : blocked;
}

micropather::Graph& FakeLevel::PathGraph()
{
    if (!graph)
        throw std::logic_error("FakeLevel has no path graph");
    return *graph;
}

void* FakeLevel::GetPathState(Vector2f point)
{
    Note("GetPathState " + Point(point));
    return graph ? graph->GetPathState(point) : pathState;
}

void FakeLevel::SetPathGoal(Vector2f point)
{
    Note("SetPathGoal " + Point(point));
    if (graph)
        graph->SetPathGoal(point);
}

void FakeLevel::ClearPathStates()
{
    Note("ClearPathStates");
    if (graph)
        graph->ClearPathStates();
}

void FakeLevel::HaulCreature(Gremlin* creature, int count, float speed)
{
    Note("HaulCreature " + std::to_string(count) + " " + Number(speed));
    if (!creature)
        return;
    creature->lineCount = count;
    creature->SetSpeed(speed);
}

void FakeGunkBoard::AddGunk(int radius, int x, int y, int colour)
{
    calls.push_back("AddGunk " + std::to_string(radius) + " " + std::to_string(x) + "," + std::to_string(y) +
                    " " + std::to_string(colour));
}

} // namespace GameTest
