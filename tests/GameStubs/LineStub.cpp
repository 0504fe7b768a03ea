// Stand-in for the player's line until it is built: it keeps its type and trap, draws nothing,
// writes the crossings its segments report into GameTest::LineCrossings(), keeps the creatures
// speared on it and grows a segment per path point (deleting them when it goes).
#include "Game/Line.h"

#include "Game/LineSegment.h"
#include "GameStubs/GameFakes.h"

#include <algorithm>
#include <map>

std::vector<GameTest::LineCrossing>& GameTest::LineCrossings()
{
    static std::vector<LineCrossing> crossings;
    return crossings;
}

Line::Line(float, float, GremlinHome* trap_, GremlinColorType color_, GremlinKind kind_) : trap(trap_)
{
    color = color_;
    kind = kind_;
}
namespace
{
// The segments each line grew itself; those a test makes stay the test's.
std::map<const Line*, std::vector<LineSegment*>>& Grown()
{
    static std::map<const Line*, std::vector<LineSegment*>> grown;
    return grown;
}
} // namespace

Line::~Line()
{
    auto it = Grown().find(this);
    if (it == Grown().end())
        return;
    std::vector<LineSegment*> segments = std::move(it->second);
    Grown().erase(it);
    for (auto segment = segments.rbegin(); segment != segments.rend(); ++segment)
    {
        if (headSegment == *segment)
            headSegment = (*segment)->previous;
        delete *segment;
    }
}
void Line::Update(float) {}
void Line::HandleMessage(const Kestrin::Message&) {}
float Line::GetDepth() const
{
    return LineDepth;
}
void Line::Draw(Kestrin::Graphics::ICanvas&) {}

void Line::OnSelfCrossing(LineSegment* reporting, LineSegment* other)
{
    GameTest::LineCrossings().push_back({this, reporting, other, nullptr});
}

void Line::OnOtherLineCrossed(Line* other)
{
    GameTest::LineCrossings().push_back({this, nullptr, nullptr, other});
}

void Line::ExtendTo(Vector2f point)
{
    if (headSegment)
        headSegment->SetEnd(point);
}

void Line::AddPathPoint(Vector2f point)
{
    if (headSegment)
        headSegment->SetEnd(point);
    auto* segment = new LineSegment(point, point, this, headSegment);
    Grown()[this].push_back(segment);
    if (headSegment)
        headSegment->next = segment;
    else
        firstSegment = segment;
    headSegment = segment;
}

void Line::AttachGremlin(Gremlin* creature)
{
    attached.push_back(creature);
}

bool Line::IsInsideLoop(Vector2f) const
{
    return false;
}

void GameTest::DestroyHeadSegment(Line* line)
{
    LineSegment* head = line->headSegment;
    if (!head)
        return;
    auto& grown = Grown()[line];
    grown.erase(std::remove(grown.begin(), grown.end(), head), grown.end());
    line->headSegment = head->previous;
    delete head;
}
