#include "Scene/NodeGridNode.h"

#include <algorithm>

NodeGridNode::NodeGridNode(float hSpacing, float vSpacing, float maxWidth, float maxHeight, int growBehavior)
    : m_hSpacing(hSpacing), m_vSpacing(vSpacing), m_maxWidth(maxWidth), m_maxHeight(maxHeight),
      m_growBehavior(growBehavior)
{
    SetSize(0.0f, 0.0f);
}

void NodeGridNode::OnChildAdded(SceneNode*)
{
    Layout();
}

void NodeGridNode::OnChildRemoved(SceneNode*)
{
    Layout();
}

void NodeGridNode::Layout()
{
    if (m_growBehavior == HorizontalFirst)
        LayOutLines(true);
    else if (m_growBehavior == VerticalFirst)
        LayOutLines(false);
}

// Rows (or columns) wrapped at the width (or height) limit. A line's depth is the deepest child so
// far, never reset: every line advances by it. A child longer than the limit starts a new line even
// as the first of the grid.
void NodeGridNode::LayOutLines(bool rows)
{
    const float limit = rows ? m_maxWidth : m_maxHeight;
    const float spacing = rows ? m_hSpacing : m_vSpacing, lineSpacing = rows ? m_vSpacing : m_hSpacing;
    // Along the line, then across the lines.
    float along = 0.0f, across = 0.0f, depth = 0.0f, end = 0.0f, longest = 0.0f;
    for (SceneNode* child = GetFirstChild(); child; child = child->GetNextSibling())
    {
        const Rectf extent = child->GetSubtreeBounds();
        const float length = rows ? extent.w : extent.h, thickness = rows ? extent.h : extent.w;
        if (along + length > limit && limit >= 0.0f)
        {
            along = 0.0f;
            across += depth + lineSpacing;
            longest = std::max(longest, end);
        }
        if (rows)
            child->SetPosition(along, across);
        else
            child->SetPosition(across, along);
        end = along + length;
        depth = std::max(depth, thickness);
        along += length + spacing;
    }
    const float alongSize = std::max(longest, end), acrossSize = across + depth;
    if (rows)
        SetSize(alongSize, acrossSize);
    else
        SetSize(acrossSize, alongSize);
}

SceneNodeDescriptor* NodeGridNodeFactory::Read(const Kestrin::IAttributeContainer& attributes)
{
    auto* d = new NodeGridNodeDescriptor;
    d->growBehavior = attributes.GetString(L"gridGrowBehavior") == L"verticalFirst"
                          ? NodeGridNode::VerticalFirst
                          : NodeGridNode::HorizontalFirst;
    d->maxHeight = attributes.GetFloat(L"maxHeight", -1.0f);
    d->maxWidth = attributes.GetFloat(L"maxWidth", -1.0f);
    d->vSpacing = attributes.GetFloat(L"vSpacing", 0.0f);
    d->hSpacing = attributes.GetFloat(L"hSpacing", 0.0f);
    return d;
}

SceneNode* NodeGridNodeFactory::Create(const SceneNodeDescriptor& descriptor)
{
    const auto* d = dynamic_cast<const NodeGridNodeDescriptor*>(&descriptor);
    const NodeGridNodeDescriptor fallback;
    if (!d)
        d = &fallback;
    return new NodeGridNode(d->hSpacing, d->vSpacing, d->maxWidth, d->maxHeight, d->growBehavior);
}
