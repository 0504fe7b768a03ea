#include "Scene/BackgroundNode.h"

#include "Framework/ResourceManager.h"
#include "Graphics/ImageList.h"
#include "Scene/NodeDrawing.h"

using namespace Kestrin;

BackgroundNode::BackgroundNode(NameId name, IImageList* images, float width, float height)
    : ControlNode(name), m_images(images)
{
    SetPosition(0.0f, 0.0f);
    SetSize(width, height);
}

void BackgroundNode::Draw(const Vector2f& offset)
{
    if (!IsWorldVisible())
        return;
    const Rectf world = GetWorldRect();
    // The brush would still draw its corners into an empty box.
    if (!(world.w > 0.0f) || !(world.h > 0.0f))
        return;
    DrawNodeNineSlice(*this, m_images, offset);
}

SceneNodeDescriptor* BackgroundNodeFactory::Read(const IAttributeContainer& attributes)
{
    auto* descriptor = new BackgroundNodeDescriptor;
    descriptor->height = attributes.GetFloat(L"height", 0.0f);
    descriptor->width = attributes.GetFloat(L"width", 0.0f);
    if (attributes.HasAttribute(L"images"))
        descriptor->images = MakeNameFromWString(attributes.GetString(L"images"));
    return descriptor;
}

SceneNode* BackgroundNodeFactory::Create(const SceneNodeDescriptor& descriptor)
{
    const auto* d = dynamic_cast<const BackgroundNodeDescriptor*>(&descriptor);
    if (!d)
        return new BackgroundNode(NameId(), nullptr, 0.0f, 0.0f);
    IImageList* images = d->images ? GetResource<IImageList>(d->images).second : nullptr;
    return new BackgroundNode(NameId(), images, d->width, d->height);
}
