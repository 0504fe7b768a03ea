// Stand-in for the traps until they are built: each holds its box and its type, builds an empty
// node and reacts to nothing; a trap notes the creatures it captured.
#include "Game/GameObject.h"
#include "Game/Gremlin.h"
#include "Game/GremlinHome.h"
#include "Scene/SceneNode.h"

#include "GameStubs/GameFakes.h"

GremlinHome::GremlinHome(GremlinColorType color_, Vector2f position, GremlinKind kind_, bool)
    : GameObject(position.x, position.y, 40, 30, false, true)
{
    color = color_;
    kind = kind_;
    layoutNode = new SceneNode;
}
GremlinHome::~GremlinHome()
{
    // Never added to a screen: no database deletes the node.
    if (GetHandle() == Kestrin::NoObjectHandle)
        delete layoutNode;
}
Kestrin::NameId GremlinHome::GetRole() const
{
    return Kestrin::NameId();
}
void GremlinHome::Update(float) {}
void GremlinHome::OnLooped() {}
void GremlinHome::OnLineContact(LineSegment*) {}
void GremlinHome::OnCollision(CollisionTreeComponent*) {}
int GremlinHome::GetCollisionPriority() const
{
    return 6;
}
bool GremlinHome::IsBlocked() const
{
    return false;
}
void GremlinHome::SyncNodePosition(Vector2f) {}
void GremlinHome::SetHitTest(bool) {}
void GremlinHome::Start() {}
void GremlinHome::CelebrationBurst() {}
void GremlinHome::OnCapture(Gremlin* creature)
{
    GameTest::Captured().push_back(creature);
}
