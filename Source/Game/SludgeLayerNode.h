#pragma once
// Draws the gunk board: one image per cell that holds gunk, chosen by the colour of its top layer
// and its depth, jittered, mirrored and turned by the cell's decoration. Now and then it sets off
// a sparkle on a random gunk cell.
#include "Base/Log.h"
#include "Scene/SceneNode.h"
#include "Scene/SceneNodeFactory.h"

#include <utility>
#include <vector>

class NimbalGunk;

class SludgeLayerNode : public SceneNode
{
public:
    // Draws the game's board unless given another.
    explicit SludgeLayerNode(NimbalGunk* board = nullptr);
    // The board forgets the node.
    ~SludgeLayerNode() override;

    // Counts down to the next sparkle.
    void Update(float dt) override;
    void Draw(const Vector2f& offset) override;

    // A sparkle goes off at the next draw that finds gunk.
    bool sparkleDue = false;
    float sparkleTimer = 0.0f;
    float sparkleIntervalMin = 0.5f;
    float sparkleIntervalMax = 1.5f;
    // Null once the board is gone.
    NimbalGunk* board;

private:
    // The gunk cells of the last draw, column by column; kept to spare a new list each frame.
    std::vector<std::pair<int, int>> m_gunkCells;
    // Colours whose missing image list was logged.
    Kestrin::LogOnce m_missingLists;
};

class SludgeLayerNodeDescriptor : public SceneNodeDescriptor
{
};

// "sludgelayernode": only the common node attributes.
class SludgeLayerNodeFactory : public SceneNodeFactory
{
public:
    SceneNodeDescriptor* Read(const Kestrin::IAttributeContainer& attributes) override;
    SceneNode* Create(const SceneNodeDescriptor& descriptor) override;
};
