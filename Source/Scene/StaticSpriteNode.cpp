#include "Scene/StaticSpriteNode.h"

#include "Graphics/GraphicsResources.h"
#include "Graphics/ImageList.h"
#include "Scene/NodeDrawing.h"

using namespace Kestrin;

namespace
{

IImage* FindImage(NameId id)
{
    return id ? GetImage(id).second : nullptr;
}

IImageList* FindImageList(NameId id)
{
    return id ? GetResource<IImageList>(id).second : nullptr;
}

} // namespace

StaticSpriteNode::StaticSpriteNode(NameId imageId) : StaticSpriteNode(FindImage(imageId)) {}

StaticSpriteNode::StaticSpriteNode(NameId imageListId, int index)
    : StaticSpriteNode(FindImageList(imageListId), index)
{
}

StaticSpriteNode::StaticSpriteNode(IImage* image)
{
    SetImage(image);
}

StaticSpriteNode::StaticSpriteNode(IImageList* list, int index)
{
    SetImage(list, index);
}

void StaticSpriteNode::SetImage(IImage* image)
{
    m_image = image;
    m_list = nullptr;
    m_frame = 0;
    if (image)
        SetSize(float(image->GetWidth()), float(image->GetHeight()));
    else
        SetSize(0.0f, 0.0f);
}

void StaticSpriteNode::SetImage(IImageList* list, int index)
{
    if (!list || index < 0 || index >= list->Count())
    {
        SetImage(nullptr);
        return;
    }
    if (auto* images = dynamic_cast<ImageList*>(list))
    {
        SetImage(images->GetImageAt(index));
        return;
    }
    m_image = nullptr;
    m_list = list;
    m_frame = index;
    SetSize(float(list->GetWidth(index)), float(list->GetHeight(index)));
}

bool StaticSpriteNode::HitTest(const Vector2f& point)
{
    if (m_image)
        return HitTestNodePixels(*this, point, m_alphaSensitivity,
                                 [this](int x, int y) { return m_image->GetPixel(x, y) >> 24; });
    if (m_list)
        return HitTestNodePixels(*this, point, m_alphaSensitivity,
                                 [this](int x, int y) { return m_list->GetAlpha(m_frame, x, y); });
    return false;
}

void StaticSpriteNode::Draw(const Vector2f& offset)
{
    if (!HasImage() || !IsWorldVisible())
        return;
    if (m_image)
        DrawImage(m_image, offset);
    else
        DrawNodeFrame(*this, m_list, m_frame, offset);
}

SceneNodeDescriptor* StaticSpriteNodeFactory::Read(const IAttributeContainer& attributes)
{
    auto* descriptor = new StaticSpriteNodeDescriptor;
    if (attributes.HasAttribute(L"src"))
        descriptor->src = MakeNameFromWString(attributes.GetString(L"src"));
    descriptor->alphaSensitivity = attributes.GetInt(L"alphaSensitivity", 0);
    return descriptor;
}

SceneNode* StaticSpriteNodeFactory::Create(const SceneNodeDescriptor& descriptor)
{
    const auto* d = dynamic_cast<const StaticSpriteNodeDescriptor*>(&descriptor);
    if (!d)
        return new StaticSpriteNode;
    auto* node = new StaticSpriteNode(d->src);
    node->SetAlphaSensitivity(d->alphaSensitivity);
    return node;
}
