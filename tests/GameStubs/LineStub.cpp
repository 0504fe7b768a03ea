// Stand-in for the player's line until it is built: it keeps its type and trap, draws nothing
// and writes the crossings its segments report into GameTest::LineCrossings().
#include "Game/Line.h"

#include "GameStubs/GameFakes.h"

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
Line::~Line() = default;
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
