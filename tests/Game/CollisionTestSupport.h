#pragma once
// A host screen with a collision tree, as the game screen keeps one, and a plain box that notes
// what the tree tells it.
#include "Framework/ObjectDatabase.h"
#include "Game/CollisionQuadTree.h"
#include "Game/CollisionTreeComponent.h"

#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace GameTest
{

// The screen's database is current while it lives; the tree goes before the database's objects,
// as on the game screen.
class HostScreen
{
public:
    HostScreen() : current(&database), tree(new CollisionQuadTree(1000))
    {
        SetCollisionTree(&database, tree);
    }
    ~HostScreen() { DropTree(); }

    void DropTree()
    {
        SetCollisionTree(&database, nullptr);
        delete tree;
        tree = nullptr;
    }

    Kestrin::ObjectDatabase database;
    Kestrin::ScopedCurrentObjectDatabase current;
    CollisionQuadTree* tree;
};

// Who was told about whom: (reacting, other).
using Told = std::vector<std::pair<CollisionTreeComponent*, CollisionTreeComponent*>>;

class TestBox : public CollisionTreeComponent
{
public:
    TestBox(Told& told_, Vector2f centre, float w, float h, int priority_ = 0, bool sensor_ = false)
        : CollisionTreeComponent(centre, w, h), told(told_), priority(priority_), sensor(sensor_)
    {
    }

    void OnCollision(CollisionTreeComponent* other) override
    {
        told.emplace_back(this, other);
        if (onCollision)
            onCollision(other);
    }
    int GetCollisionPriority() const override { return priority; }
    bool IsSensor() const override { return sensor; }
    void SyncNodePosition(Vector2f centre) override { synced.push_back(centre); }

    Told& told;
    int priority;
    bool sensor;
    std::vector<Vector2f> synced;
    std::function<void(CollisionTreeComponent*)> onCollision;
};

} // namespace GameTest
