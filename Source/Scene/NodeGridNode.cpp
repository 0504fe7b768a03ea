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
        LayoutRows();
    else if (m_growBehavior == VerticalFirst)
        LayoutColumns();
}

// rowHeight is the tallest child so far, never reset: every row advances by it. A child wider than
// the limit starts a new row even as the first of the grid.
void NodeGridNode::LayoutRows()
{
    float x = 0.0f, y = 0.0f, rowHeight = 0.0f, right = 0.0f, widest = 0.0f;
    for (SceneNode* child = GetFirstChild(); child; child = child->GetNextSibling())
    {
        const Rectf extent = child->GetSubtreeBounds();
        if (x + extent.w > m_maxWidth && m_maxWidth >= 0.0f)
        {
            x = 0.0f;
            y += rowHeight + m_vSpacing;
            widest = std::max(widest, right);
        }
        child->SetPosition(x, y);
        right = x + extent.w;
        rowHeight = std::max(rowHeight, extent.h);
        x += extent.w + m_hSpacing;
    }
    SetSize(std::max(widest, right), y + rowHeight);
}

void NodeGridNode::LayoutColumns()
{
    float x = 0.0f, y = 0.0f, columnWidth = 0.0f, bottom = 0.0f, tallest = 0.0f;
    for (SceneNode* child = GetFirstChild(); child; child = child->GetNextSibling())
    {
        const Rectf extent = child->GetSubtreeBounds();
        if (y + extent.h > m_maxHeight && m_maxHeight >= 0.0f)
        {
            y = 0.0f;
            x += columnWidth + m_hSpacing;
            tallest = std::max(tallest, bottom);
        }
        child->SetPosition(x, y);
        bottom = y + extent.h;
        columnWidth = std::max(columnWidth, extent.w);
        y += extent.h + m_vSpacing;
    }
    SetSize(x + columnWidth, std::max(tallest, bottom));
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
