#pragma once
// Everything that stands on the playfield and takes up room (creatures, traps, obstacles): a node
// tree in the scene, a collision box in the quadtree and an entry in the screen's registry.
#include "Game/CollisionTreeComponent.h"
#include "Game/HeldObject.h"
#include "Scene/SceneLayoutController.h"

#include <cfloat>
#include <vector>

class LineSegment;

class GameObject : public SceneLayoutController, public CollisionTreeComponent, public HeldObject<GameObject>
{
public:
    // x, y is the top-left corner: the box is centred on (x + width / 2, y + height / 2).
    // extraFlag: the object blocks lines (traps, obstacles).
    GameObject(float x, float y, float width, float height, bool movable, bool extraFlag);
    ~GameObject() override;

    bool BlocksLines() const { return extraFlag; }

    virtual float GetDepthOffset() const;
    // A drawn line's tip touched the object.
    virtual void OnLineContact(LineSegment* segment);
    // Pixels per second.
    virtual float GetSpeed() const;
    virtual void SetSpeed(float speed);
    // Moves the object out of the other's box; false when it cannot move or gave up.
    virtual bool PushApart(CollisionTreeComponent* other);
    // A closed line encloses the object.
    virtual void OnLooped();

    // Nothing by default: kinds that give way push themselves apart.
    void OnCollision(CollisionTreeComponent* other) override;
    // Places the node so its subtree's bounds are centred on the box; nothing before the node exists.
    void SyncNodePosition(Vector2f centre) override;

    // The direction of travel; starts as the smallest normal float on both axes, not zero.
    Vector2f heading{FLT_MIN, FLT_MIN};
    // This frame's push, summed by the owner's update.
    Vector2f force;
    // The size stage changed: the owner applies it on its next update.
    bool needsRestage = false;
    // Scratch buffers owned by the object.
    std::vector<std::vector<float>> floatBuffers;

protected:
    // The node the subclass built from its layout.
    SceneNode* CreateNode() override;

    SceneNode* layoutNode = nullptr;
    float speed = 0.0f;

private:
    bool extraFlag;
};
