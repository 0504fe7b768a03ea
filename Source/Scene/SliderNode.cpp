#include "Scene/SliderNode.h"

#include "Framework/ObjectDatabase.h"
#include "Framework/ResourceManager.h"
#include "Graphics/Canvas.h"
#include "Graphics/ImageList.h"
#include "Platform/SoundResources.h"
#include "Scene/NodeDrawing.h"
#include "UI/ControlLogic.h"
#include "UI/SliderLogic.h"
#include "UI/UINames.h"
#include "UI/UIServices.h"

#include <algorithm>

using namespace Kestrin;

SliderNode::SliderNode(const Vector2f& position, NameId name, IImageList* channel, IImageList* thumb,
                       float width, float initialValue)
    : ControlNode(name), m_channel(channel), m_thumb(thumb)
{
    SetVisible(true);
    SetPosition(position.x, position.y);
    // The width first: the thumb's place depends on it.
    const int height = std::max(GetImageCount(channel) > 0 ? channel->GetHeight(0) : 0,
                                GetImageCount(thumb) > 0 ? thumb->GetHeight(0) : 0);
    SetSize(width, float(height));
    SetValue(initialValue, false);
}

float SliderNode::ThumbWidth() const
{
    return GetImageCount(m_thumb) > 0 ? float(m_thumb->GetWidth(0)) : 0.0f;
}

float SliderNode::Travel() const
{
    return GetSliderTravel(GetLocalState().width, ThumbWidth());
}

float SliderNode::GetValue()
{
    return GetSliderValue(m_thumbPosition, Travel());
}

void SliderNode::SetValue(float value, bool notify)
{
    const SliderSetting setting = SettleSliderValue(value, GetValue(), m_snapping, m_steps);
    if (notify && setting.snapped)
        PlayControlSound(m_sounds, L"Snap");
    m_thumbPosition = setting.value * Travel();
    if (notify)
        Broadcast(Names::SliderValueChange);
}

float SliderNode::GetStepSize() const
{
    return GetSliderStepSize(m_steps);
}

void SliderNode::AdjustValue(float delta)
{
    SetValue(std::clamp(GetValue() + delta, 0.0f, 1.0f), true);
}

void SliderNode::HandleMessage(const Message& message)
{
    if (message.name == Names::LostFocus)
        m_keyboardMode = false;
    SceneNode::HandleMessage(message);
}

bool SliderNode::AcceptsFocus()
{
    return SliderAcceptsFocus(m_snapping, m_steps);
}

bool SliderNode::IsOpaqueAt(int x, int y)
{
    const Rectf world = GetWorldRect();
    return IsSliderThumbOpaqueAt(m_thumb, m_alphaSensitivity, x, y, world.x + m_thumbPosition, world.y);
}

MessageResult SliderNode::OnKeyDown(int key)
{
    if (!HasFocus(this))
        return MessageResult::NotHandled;
    const SliderKeyOutcome outcome = ApplySliderKey(key, m_keyboardMode, m_snapping, m_steps);
    if (outcome.nudge != 0.0f)
        AdjustValue(outcome.nudge);
    return outcome.handled ? MessageResult::Handled : MessageResult::NotHandled;
}

MessageResult SliderNode::OnMouseDown(MouseButton, int x, int y)
{
    // The thumb does not jump to the pointer: it is grabbed where it is.
    if (PressControl(this, m_hot, HitTestControl({float(x), float(y)}), m_sounds))
        m_grabOffset = (float(x) - GetWorldRect().x) - m_thumbPosition;
    return m_hot ? MessageResult::Handled : MessageResult::NotHandled;
}

MessageResult SliderNode::OnMouseMove(int x, int y)
{
    const bool dragging = HasMouseCapture();
    if (dragging)
    {
        const float travel = Travel();
        const float thumb = DragSliderThumb(float(x) - GetWorldRect().x, m_grabOffset, travel);
        SetValue(GetSliderValue(thumb, travel), true);
    }
    if (TrackHot(m_hot, HitTestControl({float(x), float(y)})) && !dragging)
        PlayControlSound(m_sounds, L"Hot");
    return MessageResult::NotHandled;
}

MessageResult SliderNode::OnMouseUp(MouseButton, int x, int y)
{
    // A release over the slider tells, whether or not the press was its own.
    ReleaseControl(this, m_hot, HitTestControl({float(x), float(y)}));
    if (m_hot)
        Broadcast(Names::SliderReleased);
    return m_hot ? MessageResult::Handled : MessageResult::NotHandled;
}

void SliderNode::Draw(const Vector2f& offset)
{
    if (!IsWorldVisible())
        return;
    Graphics::ICanvas* canvas = Graphics::GetCurrentCanvas();
    const Rectf world = GetWorldRect();
    const float alpha = GetWorldColor().a;
    const Graphics::DrawState state = NodeImageState(*this);
    DrawThreeSliceHorizontal(m_channel, 0, world.x + offset.x, world.y + offset.y, world.w, state, canvas);

    const bool focused = HasFocus(this);
    if (focused && !m_keyboardMode)
    {
        Graphics::DrawState fill = state;
        fill.color = ColorF(1.0f, 1.0f, 1.0f, 0.5f * alpha);
        Graphics::FillRect({world.x + offset.x, world.y + offset.y, world.w, world.h}, fill, canvas);
    }
    SliderThumbFacts facts;
    facts.enabled = IsEnabled();
    facts.captured = HasMouseCapture();
    facts.hot = m_hot;
    facts.focused = focused;
    facts.keyboardMode = m_keyboardMode;
    facts.acceptsFocus = AcceptsFocus();
    facts.thumbCount = GetImageCount(m_thumb);
    DrawNodeFrame(*this, m_thumb, GetSliderThumbFrame(facts), {offset.x + m_thumbPosition, offset.y});
}

SceneNodeDescriptor* SliderNodeFactory::Read(const IAttributeContainer& attributes)
{
    auto* d = new SliderNodeDescriptor;
    if (attributes.HasAttribute(L"sounds"))
        d->sounds = MakeNameFromWString(attributes.GetString(L"sounds"));
    d->alphaSensitivity = attributes.GetInt(L"alphaSensitivity", 25);
    d->initialValue = attributes.GetFloat(L"initialValue", 0.0f);
    d->width = attributes.GetFloat(L"width", 0.0f);
    d->thumbImages = MakeNameFromWString(attributes.GetString(L"thumbImages"));
    d->channelImages = MakeNameFromWString(attributes.GetString(L"channelImages"));
    return d;
}

SceneNode* SliderNodeFactory::Create(const SceneNodeDescriptor& descriptor)
{
    const auto& d = DescriptorAs<SliderNodeDescriptor>(descriptor);
    auto* node = new SliderNode({0.0f, 0.0f}, NameId(), GetResource<IImageList>(d.channelImages).second,
                                GetResource<IImageList>(d.thumbImages).second, d.width, d.initialValue);
    node->SetAlphaSensitivity(d.alphaSensitivity);
    node->SetSounds(d.sounds ? GetResource<SoundList>(d.sounds).second : nullptr);
    return node;
}
