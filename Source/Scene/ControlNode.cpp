#include "Scene/ControlNode.h"

#include "Framework/ObjectDatabase.h"
#include "Graphics/Canvas.h"

ControlNode::ControlNode(Kestrin::NameId name)
    : SceneNode(name), EnableComponent(true), FontComponent(nullptr, 0)
{
}

bool ControlNode::HitTestControl(const Vector2f& point)
{
    return ContainsPoint(point.x, point.y) &&
           IsOpaqueAt(Kestrin::Graphics::TruncToInt(point.x), Kestrin::Graphics::TruncToInt(point.y));
}

bool ControlNode::IsOpaqueAt(int, int)
{
    return true;
}

void ControlNode::Broadcast(Kestrin::NameId event)
{
    Kestrin::ObjectDatabase* database = Kestrin::DatabaseOf(this);
    if (database)
        database->Broadcast(Kestrin::Message(GetHandle(), event));
}
