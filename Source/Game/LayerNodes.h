#pragma once
// The playfield's two layer kinds: the layer the player's lines are drawn in (lines are no nodes:
// they register here), and a layer that draws its children lowest last, so that what stands
// lower on the field covers what stands higher.
#include "Game/GameConstants.h"
#include "Scene/SceneNode.h"
#include "Scene/SceneNodeFactory.h"

#include <deque>

class Line;

class LineLayerNode : public SceneNode
{
public:
    // Tells the lines still registered that the layer is gone.
    ~LineLayerNode() override;
    // Each registered line's Draw on the current canvas, in registration order.
    void Draw(const Vector2f& offset) override;

    // Appends the line and remembers the layer in it.
    void Register(Line* line);
    // Removes every occurrence of the line, keeping the others' order.
    void Unregister(Line* line);

    std::deque<Line*> lines;
};

class YSortedLayerNode : public SceneNode
{
public:
    // Sorts the children by their lower edge (top plus subtree height); draws nothing itself.
    void Draw(const Vector2f& offset) override;

    static float SortKey(SceneNode* child);
};

class LineLayerNodeDescriptor : public SceneNodeDescriptor
{
};
class YSortedLayerNodeDescriptor : public SceneNodeDescriptor
{
};

// "linelayernode"
class LineLayerNodeFactory : public SceneNodeFactory
{
public:
    SceneNodeDescriptor* Read(const Kestrin::IAttributeContainer& attributes) override;
    SceneNode* Create(const SceneNodeDescriptor& descriptor) override;
};

// "ysortlayernode"
class YSortedLayerNodeFactory : public SceneNodeFactory
{
public:
    SceneNodeDescriptor* Read(const Kestrin::IAttributeContainer& attributes) override;
    SceneNode* Create(const SceneNodeDescriptor& descriptor) override;
};

// The line layer at the path below the current screen's root (the screen being entered while a
// push runs); null without a scene, when the path fails or when the node is of another kind.
LineLayerNode* FindLineLayerNode(NodePath path = NodePath::LineAttachLayerNode);

// Registers both kinds, keeping a kind registered before.
void RegisterLayerNodeFactories();
