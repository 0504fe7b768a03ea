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
    : ControlNode(name), m_images(images), m_text(text ? text : L"")
{
    SetColor(textColor);
    SetFont(font);
    SetVisible(true);
    const ControlSize size = MeasureControl(images, ButtonImageForm, width, font, Latin1Only(m_text));
    // A caption alone is centred on the position given.
    if (size.centred)
        SetPosition(position.x - size.width * 0.5f, position.y - size.height * 0.5f);
    else
        SetPosition(position.x, position.y);
    SetSize(size.width, size.height);
}

void ButtonNode::SetTextResource(NameId id)
{
    const Internal::ValueWrapper<std::wstring>* value = id ? GetWideStringValueById(id) : nullptr;
    m_text = value ? value->value : std::wstring();
}

void ButtonNode::Click()
{
    // The database the button lives in, whichever screen is current.
    ObjectDatabase* database = GetDatabase() ? GetDatabase() : GetCurrentObjectDatabase();
    if (database)
        database->Broadcast(Message(GetHandle(), Names::ButtonClick));
    clickSignal(this);
}

int ButtonNode::GetStateIndex()
{
    return GetControlStateIndex(IsEnabled(), HasMouseCapture(), m_hot, HasFocus(this),
                                HasFocusFrame(m_images, ButtonImageForm));
}

void ButtonNode::Draw(const Vector2f& offset)
{
    if (!IsWorldVisible())
        return;
    const Rectf world = GetWorldRect();
    const float x = world.x + offset.x;
    const float y = world.y + offset.y;
    const ColorF color = GetWorldColor();
    Graphics::ICanvas* canvas = Graphics::GetCurrentCanvas();

    // Images are not tinted; they take the node's alpha only.
    Graphics::DrawState state = Graphics::CurrentDrawState();
    state.imageColor.a = color.a;
    ApplyNodeClip(*this, state);
    DrawControlImage(m_images, ButtonImageForm, GetStateIndex(), 0, x, y, world.w, state, canvas);

    Font* font = GetFont();
    if (m_text.empty() || !font)
        return;
    Graphics::DrawState text = state;
    text.font = font;
    text.color = color;
    text.hAlign = 1;
    text.vAlign = 1;
    const Vector2f centre = GetCaptionCentre(x, y, world.w, world.h);
    Graphics::DrawText(Latin1Only(m_text).c_str(), centre.x, centre.y, text, canvas);
}

bool ButtonNode::IsOpaqueAt(int x, int y)
{
    const Rectf world = GetWorldRect();
    return IsControlImageOpaqueAt(m_images, ButtonImageForm, m_alphaSensitivity,
                                  x - Graphics::TruncToInt(world.x), y - Graphics::TruncToInt(world.y),
                                  world.w);
}

MessageResult ButtonNode::OnKeyDown(int key)
{
    // 0 is no hot key: a key the platform could not name must not click every such button.
    if ((IsClickKey(key) && HasFocus(this)) || (m_keyCode != 0 && key == m_keyCode))
    {
        Click();
        return MessageResult::Handled;
    }
    return MessageResult::NotHandled;
}

MessageResult ButtonNode::OnMouseMove(int x, int y)
{
    const bool was = m_hot;
    if (TrackHot(m_hot, HitTestControl({float(x), float(y)})))
    {
        PlayControlSound(m_sounds, L"Hot");
        hoverSignal(this, true);
    }
    else if (was && !m_hot)
        hoverSignal(this, false);
    // Moves go on to the other handlers too.
    return MessageResult::NotHandled;
}

MessageResult ButtonNode::OnMouseDown(MouseButton, int x, int y)
{
    return PressControl(this, m_hot, HitTestControl({float(x), float(y)}), m_sounds)
               ? MessageResult::Handled
               : MessageResult::NotHandled;
}

MessageResult ButtonNode::OnMouseUp(MouseButton, int x, int y)
{
    m_hot = HitTestControl({float(x), float(y)});
    // The click comes while the press's capture is still held, then the capture goes.
    if (HasMouseCapture())
    {
        if (m_hot)
            Click();
        ReleaseMouseCapture(this);
    }
    return m_hot ? MessageResult::Handled : MessageResult::NotHandled;
}

SceneNodeDescriptor* ButtonNodeFactory::Read(const IAttributeContainer& attributes)
{
    auto* d = new ButtonNodeDescriptor;
    d->keyCode = uint16_t(KeyNameToVirtualKey(attributes.GetString(L"keyCode").c_str()));
    if (attributes.HasAttribute(L"textResource"))
        d->textResource = MakeNameFromWString(attributes.GetString(L"textResource"));
    d->sounds = attributes.HasAttribute(L"sounds") ? MakeNameFromWString(attributes.GetString(L"sounds"))
                                                   : NameId(Names::AllUIButtonSounds);
    d->alphaSensitivity = attributes.GetInt(L"alphaSensitivity", 25);
    d->font = MakeNameFromWString(attributes.GetString(L"font"));
    d->text = attributes.GetString(L"text");
    d->width = attributes.GetFloat(L"width", 0.0f);
    d->images = MakeNameFromWString(attributes.GetString(L"images"));
    return d;
}

SceneNode* ButtonNodeFactory::Create(const SceneNodeDescriptor& descriptor)
{
    const auto* d = dynamic_cast<const ButtonNodeDescriptor*>(&descriptor);
    const ButtonNodeDescriptor fallback;
    if (!d)
        d = &fallback;
    // The layout builder gives the node its colour (white unless "color" says otherwise).
    auto* node =
        new ButtonNode(ColorF::Black(), d->text.c_str(), NameId(), {0.0f, 0.0f},
                       GetResource<IImageList>(d->images).second, d->width, GetFontById(d->font).second);
    node->SetKeyCode(d->keyCode);
    node->SetAlphaSensitivity(d->alphaSensitivity);
    node->SetSounds(GetResource<SoundList>(d->sounds).second);
    if (d->textResource)
        node->SetTextResource(d->textResource);
    return node;
}
