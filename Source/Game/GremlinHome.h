#pragma once
// A trap: the player starts lines from it, and creatures of its colour and kind walk into it.
#include "Base/Signal.h"
#include "Game/GameObject.h"

#include <boost/signals2/signal.hpp>

#include <vector>

class Gremlin;
class Line;

class GremlinHome : public GameObject, public HeldObject<GremlinHome>, public GremlinTypedObject
{
public:
    // position: the top-left corner of its 40 x 30 box.
    GremlinHome(GremlinColorType color, Vector2f position, GremlinKind kind, bool leavesAfterCapture);
    // Lines still listed forget the trap.
    ~GremlinHome() override;

    Kestrin::NameId GetRole() const override;
    void Update(float dt) override;
    void OnLooped() override;
    void OnLineContact(LineSegment* segment) override;
    void OnCollision(CollisionTreeComponent* other) override;
    int GetCollisionPriority() const override;
    // Also too near another trap.
    bool IsBlocked() const override;
    // Centres the trap's image on the box.
    void SyncNodePosition(Vector2f centre) override;

    // Whether the trap's image takes clicks.
    void SetHitTest(bool enabled);
    // The level's start of play.
    void Start();
    void CelebrationBurst();
    // A creature walked into the trap.
    void OnCapture(Gremlin* creature);

    // The mouse on "MouseHandler": a press, the pointer leaving it, a release.
    void OnClick();
    void OnDragOut(Vector2f point);
    void OnMouseUp();
    // After a release or a drag-out: the level's tutorial hook, then the release signal.
    void OnRelease();

    bool open = false;
    Vector2f position;
    bool leavesAfterCapture = false;
    // The lines pulled from it that are still alive; each lists itself when it is made.
    std::vector<Line*> lines;
    // Goes as soon as none of its lines is left.
    bool leaving = false;
    // The button went down on it and the pointer has not left it yet.
    bool pressed = false;
    int captures = 0;
    // With the delay after which its slot places the next trap.
    boost::signals2::signal<void(float)> leaveSignal;
    boost::signals2::signal<void()> releaseSignal;

protected:
    void OnRemoving() override;

private:
    void Disconnect();

    SceneNode* m_handler = nullptr;
    Kestrin::Signal<SceneNode*, Vector2f, Kestrin::MouseButton>::Connection m_down = 0, m_up = 0;
    Kestrin::Signal<SceneNode*, Vector2f>::Connection m_leave = 0;
    bool m_gone = false;
};
