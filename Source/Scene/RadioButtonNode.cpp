#include "Scene/RadioButtonNode.h"

#include "Framework/ObjectDatabase.h"
#include "Framework/ResourceManager.h"
#include "Graphics/Canvas.h"
#include "Graphics/GraphicsResources.h"
#include "Graphics/ImageList.h"
#include "Platform/SoundResources.h"
#include "UI/ControlLogic.h"
#include "UI/UINames.h"

using namespace Kestrin;

RadioButtonNode::RadioButtonNode(const ColorF& textColor, NameId group, NameId name, const Vector2f& position,
                                 IImageList* images, float width, const wchar_t* text, Font* font)
    : ClickableNode(name, RadioButtonImageForm, images, text ? text : L""), m_group(group)
{
    Place(textColor, font, position, width, false);
}

NameId RadioButtonNode::GetRole() const
{
    return Names::RadioButton;
}

void RadioButtonNode::Click()
{
    SetSelected(true);
    Broadcast(Names::RadioButtonClick);
}

void RadioButtonNode::SetSelected(bool value)
{
    selected = value;
    if (value)
        ClearRadioGroup(this, m_group);
}

int RadioButtonNode::GetStateIndex()
{
    return GetRadioButtonStateIndex(ClickableNode::GetStateIndex(), selected);
}

void RadioButtonNode::Draw(const Vector2f& offset)
{
    if (!IsWorldVisible())
        return;
    DrawCaption(DrawLook(offset, 0), offset);
}

RadioButtonNode* GetRadioButtonNode(ObjectHandle handle)
{
    ObjectDatabase* database = GetCurrentObjectDatabase();
    return database ? dynamic_cast<RadioButtonNode*>(database->GetObject(handle)) : nullptr;
}

SceneNodeDescriptor* RadioButtonNodeFactory::Read(const IAttributeContainer& attributes)
{
    auto* d = new RadioButtonNodeDescriptor;
    d->ReadClickable(attributes, NameId());
    if (attributes.HasAttribute(L"group"))
        d->group = MakeNameFromWString(attributes.GetString(L"group"));
    return d;
}

SceneNode* RadioButtonNodeFactory::Create(const SceneNodeDescriptor& descriptor)
{
    const auto& d = DescriptorAs<RadioButtonNodeDescriptor>(descriptor);
    auto* node = new RadioButtonNode(ColorF::Black(), d.group, NameId(), {0.0f, 0.0f},
                                     GetResource<IImageList>(d.images).second, d.width, d.text.c_str(),
                                     GetFontById(d.font).second);
    d.ApplyTo(*node);
    return node;
}
