#include "Scene/ClickableNode.h"

#include "Framework/ResourceManager.h"
#include "Graphics/Canvas.h"
#include "Graphics/ImageList.h"
#include "Platform/SoundResources.h"
#include "Scene/NodeDrawing.h"
#include "UI/ControlLogic.h"
#include "UI/UIServices.h"

using namespace Kestrin;

ClickableNode::ClickableNode(NameId name, const ControlImageForm& form, IImageList* images, std::wstring text)
    : ControlNode(name), m_form(form), m_images(images), m_text(std::move(text))
{
}

void ClickableNode::Place(const ColorF& color, Font* font, const Vector2f& position, float width,
                          bool captionSizes)
{
    SetColor(color);
    SetFont(font);
    SetVisible(true);
    const ControlSize size =
        MeasureControl(m_images, m_form, width, captionSizes ? font : nullptr, Latin1Only(m_text));
    // A caption alone is centred on the position given.
    if (size.centred)
        SetPosition(position.x - size.width * 0.5f, position.y - size.height * 0.5f);
    else
        SetPosition(position.x, position.y);
    SetSize(size.width, size.height);
}

int ClickableNode::GetStateIndex()
{
    return GetControlStateIndex(IsEnabled(), HasMouseCapture(), m_hot, HasFocus(this),
                                HasFocusFrame(m_images, m_form));
}

void ClickableNode::SetTextResource(NameId id)
{
    const Internal::ValueWrapper<std::wstring>* value = id ? GetWideStringValueById(id) : nullptr;
    SetText(value ? value->value : std::wstring());
}

bool ClickableNode::IsOpaqueAt(int x, int y)
{
    const Rectf world = GetWorldRect();
    return IsControlImageOpaqueAt(m_images, m_form, m_alphaSensitivity, x - Graphics::TruncToInt(world.x),
                                  y - Graphics::TruncToInt(world.y), world.w);
}

MessageResult ClickableNode::OnKeyDown(int key)
{
    if (!IsClickKey(key) || !HasFocus(this))
        return MessageResult::NotHandled;
    Act();
    return MessageResult::Handled;
}

MessageResult ClickableNode::OnMouseMove(int x, int y)
{
    const bool was = m_hot;
    if (TrackHot(m_hot, HitTestControl({float(x), float(y)})))
    {
        PlayControlSound(m_sounds, L"Hot");
        OnHoverChanged(true);
    }
    else if (was && !m_hot)
        OnHoverChanged(false);
    return MessageResult::NotHandled;
}

MessageResult ClickableNode::OnMouseDown(MouseButton, int x, int y)
{
    return PressControl(this, m_hot, HitTestControl({float(x), float(y)}), m_sounds)
               ? MessageResult::Handled
               : MessageResult::NotHandled;
}

MessageResult ClickableNode::OnMouseUp(MouseButton, int x, int y)
{
    m_hot = HitTestControl({float(x), float(y)});
    // The action comes while the press's capture is still held, then the capture goes.
    if (HasMouseCapture())
    {
        if (m_hot)
            Act();
        ReleaseMouseCapture(this);
    }
    return m_hot ? MessageResult::Handled : MessageResult::NotHandled;
}

Graphics::DrawState ClickableNode::DrawLook(const Vector2f& offset, int firstFrame)
{
    const Rectf world = GetWorldRect();
    const Graphics::DrawState state = NodeImageState(*this);
    DrawControlImage(m_images, m_form, GetStateIndex(), firstFrame, world.x + offset.x, world.y + offset.y,
                     world.w, state, Graphics::GetCurrentCanvas());
    return state;
}

void ClickableNode::DrawTextAt(const Graphics::DrawState& state, float x, float y, int hAlign, int vAlign)
{
    Font* font = GetFont();
    if (m_text.empty() || !font)
        return;
    Graphics::DrawState text = state;
    text.font = font;
    text.color = GetWorldColor();
    text.hAlign = hAlign;
    text.vAlign = vAlign;
    Graphics::DrawText(Latin1Only(m_text).c_str(), x, y, text, Graphics::GetCurrentCanvas());
}

void ClickableNode::DrawCaption(const Graphics::DrawState& state, const Vector2f& offset)
{
    const Rectf world = GetWorldRect();
    const Vector2f centre = GetCaptionCentre(world.x + offset.x, world.y + offset.y, world.w, world.h);
    DrawTextAt(state, centre.x, centre.y, 1, 1);
}

void ClickableNodeDescriptor::ReadClickable(const IAttributeContainer& attributes, NameId defaultSounds)
{
    if (attributes.HasAttribute(L"textResource"))
        textResource = MakeNameFromWString(attributes.GetString(L"textResource"));
    sounds = attributes.HasAttribute(L"sounds") ? MakeNameFromWString(attributes.GetString(L"sounds"))
                                                : defaultSounds;
    alphaSensitivity = attributes.GetInt(L"alphaSensitivity", 25);
    font = MakeNameFromWString(attributes.GetString(L"font"));
    text = attributes.GetString(L"text");
    width = attributes.GetFloat(L"width", 0.0f);
    images = MakeNameFromWString(attributes.GetString(L"images"));
}

void ClickableNodeDescriptor::ApplyTo(ClickableNode& node) const
{
    node.SetAlphaSensitivity(alphaSensitivity);
    node.SetSounds(sounds ? GetResource<SoundList>(sounds).second : nullptr);
    if (textResource)
        node.SetTextResource(textResource);
}
