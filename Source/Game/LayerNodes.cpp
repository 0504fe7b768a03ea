#include "Game/LayerNodes.h"

#include "Game/Line.h"
#include "Game/TutorialBubble.h"
#include "Graphics/Canvas.h"
#include "Scene/CurrentScene.h"

#include <algorithm>

LineLayerNode::~LineLayerNode()
{
    for (Line* line : lines)
        if (line->layer == this)
            line->layer = nullptr;
}

void LineLayerNode::Draw(const Vector2f&)
{
    Kestrin::Graphics::ICanvas* canvas = Kestrin::Graphics::GetCurrentCanvas();
    if (!canvas)
        return;
    // Drawing a line never registers or removes one.
    for (Line* line : lines)
        line->Draw(*canvas);
}

void LineLayerNode::Register(Line* line)
{
    lines.push_back(line);
    line->layer = this;
}

void LineLayerNode::Unregister(Line* line)
{
    lines.erase(std::remove(lines.begin(), lines.end(), line), lines.end());
    if (line->layer == this)
        line->layer = nullptr;
}

float YSortedLayerNode::SortKey(SceneNode* child)
{
    return child->GetWorldRect().y + child->GetSubtreeBounds().h;
}

void YSortedLayerNode::Draw(const Vector2f&)
{
    SortChildren([](SceneNode* a, SceneNode* b) { return SortKey(a) < SortKey(b); });
}

SceneNodeDescriptor* LineLayerNodeFactory::Read(const Kestrin::IAttributeContainer&)
{
    return new LineLayerNodeDescriptor;
}

SceneNode* LineLayerNodeFactory::Create(const SceneNodeDescriptor&)
{
    return new LineLayerNode;
}

SceneNodeDescriptor* YSortedLayerNodeFactory::Read(const Kestrin::IAttributeContainer&)
{
    return new YSortedLayerNodeDescriptor;
}

SceneNode* YSortedLayerNodeFactory::Create(const SceneNodeDescriptor&)
{
    return new YSortedLayerNode;
}

LineLayerNode* FindLineLayerNode(NodePath path)
{
    return dynamic_cast<LineLayerNode*>(FindNodeAtPath(GetCurrentSceneRoot(), path));
}

void RegisterLayerNodeFactories()
{
    SceneNodeFactoryRegistry& factories = GetSceneNodeFactories();
    if (!factories.Find(L"linelayernode"))
        RegisterSceneNodeFactory(L"linelayernode", new LineLayerNodeFactory);
    if (!factories.Find(L"ysortlayernode"))
        RegisterSceneNodeFactory(L"ysortlayernode", new YSortedLayerNodeFactory);
}
