#pragma once
#include "Platform/ApplicationMode.h"

class SceneNode;

// A screen that owns one scene tree: its layouts are instantiated under the root, which the screen
// refreshes after each update of its database and draws before the database's other drawables.
// Over covered screens it dims what lies beneath where the graphics platform blends fills.
class SceneApplicationMode : public Kestrin::ApplicationMode
{
public:
    SceneApplicationMode() = default;

    // Creates the root; screens that replace it call it before instantiating their layouts.
    void Enter() override;
    // The database's update, then the tree's refresh (world states and depths).
    void Update(float dt) override;
    // The tree, then the database's drawables.
    void Draw() override;

    // Makes the root (a plain unnamed node in this screen's database) unless there is one.
    SceneNode* CreateRootNode();
    // Null before Enter, and once the root has been removed.
    SceneNode* GetRootNode() const { return m_root; }
    // Draws the root at (0, 0), then each of its children's trees.
    void VisitTree();

private:
    SceneNode* m_root = nullptr;
};
