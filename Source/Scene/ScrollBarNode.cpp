#include "Scene/ScrollBarNode.h"

#include "Framework/ObjectDatabase.h"
#include "Framework/ResourceManager.h"
#include "Graphics/Canvas.h"
#include "Graphics/ImageList.h"
#include "Scene/ButtonNode.h"
#include "Scene/NodeDrawing.h"
#include "UI/ControlLogic.h"
#include "UI/UINames.h"

using namespace Kestrin;

ScrollBarNode::ScrollBarNode(const Vector2f& position, IImageList* downArrow, NameId name,
                             IImageList* channel, IImageList* thumb, IImageList* upArrow, float height)
    : ControlNode(name), m_channel(channel), m_thumb(thumb)
{
    SetVisible(true);
    SetPosition(position.x, position.y);
    SetSize(GetImageCount(channel) > 0 ? float(channel->GetWidth(0)) : 0.0f, height);

    const float downHeight = GetImageCount(downArrow) > 0 ? float(downArrow->GetHeight(0)) : 0.0f;
    // No sound list: the arrows are silent.
    auto* up = new ButtonNode(ColorF::Black(), L"", Names::ScrollUp, {0.0f, 0.0f}, upArrow, 0.0f, nullptr);
    auto* down = new ButtonNode(ColorF::Black(), L"", Names::ScrollDown, {0.0f, height - downHeight},
                                downArrow, 0.0f, nullptr);
    // Not added to a database here: the bar may yet be built for another screen's database, or
    // thrown away by a failed build, and an arrow must never be owned twice or outlive its bar
    // unowned.
    up->AttachToParent(this, Names::ScrollUp);
    down->AttachToParent(this, Names::ScrollDown);
}

ButtonNode* ScrollBarNode::GetUpArrow()
{
    return dynamic_cast<ButtonNode*>(FindChild(NameId(Names::ScrollUp)));
}

ButtonNode* ScrollBarNode::GetDownArrow()
{
    return dynamic_cast<ButtonNode*>(FindChild(NameId(Names::ScrollDown)));
}

void ScrollBarNode::HandleMessage(const Message& message)
{
    if (message.name == GetAddMessageName() && GetDatabase())
        for (ButtonNode* arrow : {GetUpArrow(), GetDownArrow()})
            if (arrow)
                GetDatabase()->AddObject(arrow);
    SceneNode::HandleMessage(message);
}

void ScrollBarNode::Draw(const Vector2f& offset)
{
    if (!IsWorldVisible())
        return;
    const Rectf world = GetWorldRect();
    DrawThreeSliceVertical(m_channel, 0, world.x + offset.x, world.y + offset.y, world.h,
                           NodeImageState(*this), Graphics::GetCurrentCanvas());
}

SceneNodeDescriptor* ScrollBarNodeFactory::Read(const IAttributeContainer& attributes)
{
    auto* d = new ScrollBarNodeDescriptor;
    d->channelImages = MakeNameFromWString(attributes.GetString(L"channelImages"));
    d->thumbImages = MakeNameFromWString(attributes.GetString(L"thumbImages"));
    d->upArrowImages = MakeNameFromWString(attributes.GetString(L"upArrowImages"));
    d->downArrowImages = MakeNameFromWString(attributes.GetString(L"downArrowImages"));
    d->height = attributes.GetFloat(L"height", 0.0f);
    return d;
}

SceneNode* ScrollBarNodeFactory::Create(const SceneNodeDescriptor& descriptor)
{
    const auto& d = DescriptorAs<ScrollBarNodeDescriptor>(descriptor);
    return new ScrollBarNode({0.0f, 0.0f}, GetResource<IImageList>(d.downArrowImages).second, NameId(),
                             GetResource<IImageList>(d.channelImages).second,
                             GetResource<IImageList>(d.thumbImages).second,
                             GetResource<IImageList>(d.upArrowImages).second, d.height);
}
