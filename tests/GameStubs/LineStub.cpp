// Stand-in for the player's line until it is built: it keeps its type and draws nothing.
#include "Game/Line.h"

Line::Line(float, float, GremlinHome*, GremlinColorType color_, GremlinKind kind_)
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
