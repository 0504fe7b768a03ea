#pragma once
// A trap: the player starts lines from it, and creatures of its colour and kind walk into it.
#include "Game/GameObject.h"

#include <boost/signals2/signal.hpp>

class Gremlin;

class GremlinHome : public GameObject, public HeldObject<GremlinHome>, public GremlinTypedObject
{
public:
    // position: the top-left corner of its 40 x 30 box.
    GremlinHome(GremlinColorType color, Vector2f position, GremlinKind kind, bool leavesAfterCapture);
    ~GremlinHome() override;

    Kestrin::NameId GetRole() const override;
    void Update(float dt) override;
    void OnLooped() override;
    void OnLineContact(LineSegment* segment) override;
    void OnCollision(CollisionTreeComponent* other) override;
    int GetCollisionPriority() const override;
    bool IsBlocked() const override;
    void SyncNodePosition(Vector2f centre) override;

    // Whether the trap's image takes clicks.
    void SetHitTest(bool enabled);
    // The level's start of play.
    void Start();
    void CelebrationBurst();
    // A creature walked into the trap.
    void OnCapture(Gremlin* creature);

    // Emitted as the trap leaves the playfield, with the delay before its slot places the next.
    boost::signals2::signal<void(float)> leaveSignal;
};
