#pragma once
#include "Base/Signal.h"
#include "Framework/Object.h"

namespace Kestrin
{
class ObjectDatabase;
}

class SceneNode;

// An object that owns one live node tree and ties the tree's life to its own: the base of every
// playfield object. Removing the controller removes its node, and removing the node removes the
// controller; either way the removed signal fires once.
// Who deletes the nodes: until AddToScene the tree a controller built is its own, and the
// destructor of the class that built it hands it to DeleteOwnedNodes; from AddToScene on the
// screen's database owns every node of it and deletes them.
class SceneLayoutController : public Kestrin::Object
{
public:
    SceneLayoutController();
    // Leaves the node alone: the database deletes it.
    ~SceneLayoutController() override;

    Kestrin::NameId GetName() const override;
    Kestrin::NameId GetRole() const override;
    void Update(float dt) override;
    // "Remove" runs OnRemoved.
    void HandleMessage(const Kestrin::Message& message) override;

    // Adds the controller to the database, builds the node (CreateNode), registers the node's
    // subtree (children first, the node last) and attaches the node under the parent (null: nowhere).
    // A CreateNode that makes no node throws engine_error; the controller is then removed again.
    void AddToScene(Kestrin::ObjectDatabase& database, SceneNode* parent);
    // Runs OnRemoving, removes the node from its database, then fires Removed.
    void OnRemoved();

    // Null before AddToScene and after removal.
    SceneNode* GetNode() const { return m_node; }

    Kestrin::Signal<SceneLayoutController*> Removed;

protected:
    // Builds the controller's node; must not answer null.
    virtual SceneNode* CreateNode() = 0;
    // First thing on removal.
    virtual void OnRemoving();
    // Last thing in AddToScene.
    virtual void OnAddedToScene();
    bool OwnsNodes() const { return m_ownsNodes; }
    // Deletes the tree from root down, to its full depth, while the controller still owns it.
    void DeleteOwnedNodes(SceneNode* root);

private:
    // A node removed first takes the controller with it.
    void OnNodeRemoved();

    SceneNode* m_node = nullptr;
    Kestrin::Signal<SceneNode*>::Connection m_nodeRemoved = 0;
    bool m_ownsNodes = true;
};
