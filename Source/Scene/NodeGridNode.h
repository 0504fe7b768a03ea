#pragma once
#include "Scene/SceneNode.h"
#include "Scene/SceneNodeFactory.h"

// A layout container: places its children one after another in rows ("horizontalFirst") or columns
// ("verticalFirst"), starting a new row (column) where the next child would pass the maximum width
// (height), and takes the size of the result. The layout runs when a child is added or removed,
// not when a child changes size. A child's extent is its subtree bounds at that moment: a child
// built from a layout is measured before its own children exist.
class NodeGridNode : public SceneNode
{
public:
    enum GrowBehavior : int
    {
        HorizontalFirst = 0,
        VerticalFirst = 1,
    };

    // A negative maximum is no limit.
    NodeGridNode(float hSpacing, float vSpacing, float maxWidth, float maxHeight, int growBehavior);

    void OnChildAdded(SceneNode* child) override;
    void OnChildRemoved(SceneNode* child) override;

    // Places the children again.
    void Layout();

    float GetHSpacing() const { return m_hSpacing; }
    float GetVSpacing() const { return m_vSpacing; }
    float GetMaxWidth() const { return m_maxWidth; }
    float GetMaxHeight() const { return m_maxHeight; }
    int GetGrowBehavior() const { return m_growBehavior; }

private:
    void LayOutLines(bool rows);

    float m_hSpacing;
    float m_vSpacing;
    float m_maxWidth;
    float m_maxHeight;
    int m_growBehavior;
};

class NodeGridNodeDescriptor : public SceneNodeDescriptor
{
public:
    float hSpacing = 0.0f;
    float vSpacing = 0.0f;
    float maxWidth = -1.0f;
    float maxHeight = -1.0f;
    int growBehavior = NodeGridNode::HorizontalFirst;
};

// "nodegridnode": "gridGrowBehavior" ("horizontalFirst", "verticalFirst"), "maxHeight", "maxWidth",
// "vSpacing", "hSpacing".
class NodeGridNodeFactory : public SceneNodeFactory
{
public:
    SceneNodeDescriptor* Read(const Kestrin::IAttributeContainer& attributes) override;
    SceneNode* Create(const SceneNodeDescriptor& descriptor) override;
};
