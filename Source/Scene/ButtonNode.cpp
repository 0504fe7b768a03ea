#include "Scene/ButtonNode.h"

#include "Framework/ObjectDatabase.h"
#include "Framework/ResourceManager.h"
#include "Graphics/Canvas.h"
#include "Graphics/Font.h"
#include "Graphics/GraphicsResources.h"
#include "Graphics/ImageList.h"
#include "Platform/SoundResources.h"
#include "Scene/NodeDrawing.h"
#include "UI/ControlLogic.h"
#include "UI/ControlVisuals.h"
#include "UI/UINames.h"
#include "UI/UIServices.h"

using namespace Kestrin;

ButtonNode::ButtonNode(const ColorF& textColor, const wchar_t* text, NameId name, const Vector2f& position,
                       IImageList* images, float width, Font* font)
    : ClickableNode(name, ButtonImageForm, images, text ? text : L"")
{
    Place(textColor, font, position, width, true);
}

void ButtonNode::Click()
{
    Broadcast(Names::ButtonClick);
    clickSignal(this);
}

void ButtonNode::Draw(const Vector2f& offset)
{
    if (!IsWorldVisible())
        return;
    DrawCaption(DrawLook(offset, 0), offset);
}

MessageResult ButtonNode::OnKeyDown(int key)
{
    // 0 is no hot key: a key the platform could not name must not click every such button.
    if (m_keyCode != 0 && key == m_keyCode)
    {
        Click();
        return MessageResult::Handled;
    }
    return ClickableNode::OnKeyDown(key);
}

SceneNodeDescriptor* ButtonNodeFactory::Read(const IAttributeContainer& attributes)
{
    auto* d = new ButtonNodeDescriptor;
    d->keyCode = uint16_t(KeyNameToVirtualKey(attributes.GetString(L"keyCode").c_str()));
    d->ReadClickable(attributes, Names::AllUIButtonSounds);
    return d;
}

SceneNode* ButtonNodeFactory::Create(const SceneNodeDescriptor& descriptor)
{
    const auto& d = DescriptorAs<ButtonNodeDescriptor>(descriptor);
    // The layout builder gives the node its colour (white unless "color" says otherwise).
    auto* node =
        new ButtonNode(ColorF::Black(), d.text.c_str(), NameId(), {0.0f, 0.0f},
                       GetResource<IImageList>(d.images).second, d.width, GetFontById(d.font).second);
    node->SetKeyCode(d.keyCode);
    d.ApplyTo(*node);
    return node;
}
