#include "Scene/CheckBoxNode.h"

#include "Framework/ObjectDatabase.h"
#include "Framework/ResourceManager.h"
#include "Graphics/Canvas.h"
#include "Graphics/GraphicsResources.h"
#include "Graphics/ImageList.h"
#include "Platform/SoundResources.h"
#include "Scene/NodeDrawing.h"
#include "UI/ControlLogic.h"
#include "UI/UINames.h"

using namespace Kestrin;

CheckBoxNode::CheckBoxNode(const ColorF& textColor, NameId name, const Vector2f& position, IImageList* images,
                           float width, const wchar_t* text, Font* font)
    : ClickableNode(name, CheckBoxImageForm, images, L"")
{
    Place(textColor, font, position, width, false);
    LayoutLabel(text ? text : L"");
}

void CheckBoxNode::LayoutLabel(const std::wstring& text)
{
    ClickableNode::SetText(text);
    const NodeState& local = GetLocalState();
    LayoutCheckBoxLabel(0.0f, 0.0f, local.width, local.height, GetFont(), Latin1Only(text), m_label);
}

void CheckBoxNode::Toggle()
{
    checked = !checked;
    PlayControlSound(GetSounds(), checked ? L"Checked" : L"Unchecked");
    Broadcast(Names::CheckBoxClick);
}

bool CheckBoxNode::HitTestControl(const Vector2f& point)
{
    if (ControlNode::HitTestControl(point))
        return true;
    if (!GetFont())
        return false;
    const Rectf world = GetWorldRect();
    return Rectf(world.x + m_label.x, world.y + m_label.y, m_label.w, m_label.h).Contains(point.x, point.y);
}

void CheckBoxNode::Draw(const Vector2f& offset)
{
    if (!IsWorldVisible())
        return;
    const Graphics::DrawState state = DrawLook(offset, checked ? GetImageCount(GetImages()) / 2 : 0);
    const Rectf world = GetWorldRect();
    const Vector2f at = GetSideLabelAnchor(world.x + offset.x, world.y + offset.y, world.w, world.h);
    DrawTextAt(state, at.x, at.y, 0, 1);
}

SceneNodeDescriptor* CheckBoxNodeFactory::Read(const IAttributeContainer& attributes)
{
    auto* d = new CheckBoxNodeDescriptor;
    d->ReadClickable(attributes, NameId());
    return d;
}

SceneNode* CheckBoxNodeFactory::Create(const SceneNodeDescriptor& descriptor)
{
    const auto& d = DescriptorAs<CheckBoxNodeDescriptor>(descriptor);
    // A missing image list leaves a box of no size: the label alone shows and takes clicks.
    auto* node =
        new CheckBoxNode(ColorF::Black(), NameId(), {0.0f, 0.0f}, GetResource<IImageList>(d.images).second,
                         d.width, d.text.c_str(), GetFontById(d.font).second);
    d.ApplyTo(*node);
    return node;
}
