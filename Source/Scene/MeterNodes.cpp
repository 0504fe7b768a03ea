#include "Scene/MeterNodes.h"

#include "Base/Strings.h"
#include "Framework/ResourceManager.h"
#include "Graphics/Canvas.h"
#include "Graphics/GraphicsResources.h"
#include "Graphics/ImageList.h"
#include "Scene/NodeDrawing.h"
#include "Scene/TextSpriteNode.h"
#include "UI/UINames.h"

#include <algorithm>
#include <cstdint>
#include <string>

using namespace Kestrin;

namespace
{

bool IsVertical(int direction)
{
    return direction == Meter_TopToBottom || direction == Meter_BottomToTop;
}

bool IsReversed(int direction)
{
    return direction == Meter_RightToLeft || direction == Meter_BottomToTop;
}

int ReadDirection(const IAttributeContainer& attributes)
{
    return WordIndex(attributes.GetString(L"direction"), MeterDirectionWords);
}

// The draw state of the bars: the default one in the node's world colour, clipped to its source
// rectangle.
Graphics::DrawState MeterState(SceneNode& node)
{
    Graphics::DrawState state = Graphics::GetDefaultDrawState();
    state.color = node.GetWorldColor();
    state.imageColor = state.color;
    ApplyNodeClip(node, state);
    return state;
}

} // namespace

void MeterComponent::SetValue(float value)
{
    m_value = value >= 0.0f ? value : 0.0f;
    if (m_value > m_max)
        m_value = m_max;
}

void MeterComponent::SetMax(float max)
{
    m_max = max >= 0.0f ? max : 0.0f;
    SetValue(m_value);
}

int MeterFill(float value, float max, int length)
{
    // A maximum of 0 would make the share undefined: nothing is filled.
    if (!(max > 0.0f) || length <= 0)
        return 0;
    const float share = value / max;
    if (!(share > 0.0f))
        return 0;
    return std::clamp(Graphics::TruncToInt(share * float(length)), 0, length);
}

// ---- the bar ----

MeterBarNode::MeterBarNode(int direction, int size, IImageList* images)
    : m_images(images), m_direction(direction), m_size(std::max(size, 0))
{
    UpdateSize();
}

void MeterBarNode::SetImages(IImageList* images)
{
    m_images = images;
    UpdateSize();
}

void MeterBarNode::UpdateSize()
{
    if (!m_images || m_images->Count() < 1)
    {
        m_length = 0;
        SetSize(0.0f, 0.0f);
        return;
    }
    const int w = m_images->GetWidth(0);
    const int h = m_images->GetHeight(0);
    if (IsVertical(m_direction))
    {
        m_length = m_size > 0 ? m_size : h;
        SetSize(float(w), float(m_length));
    }
    else
    {
        m_length = m_size > 0 ? m_size : w;
        SetSize(float(m_length), float(h));
    }
}

void MeterBarNode::Draw(const Vector2f& offset)
{
    if (!m_images || m_images->Count() < 1 || !IsWorldVisible())
        return;
    const Rectf world = GetWorldRect();
    const float x = world.x + offset.x;
    const float y = world.y + offset.y;
    const int filled = MeterFill(GetValue(), GetMax(), m_length);
    const Graphics::DrawState state = MeterState(*this);
    Graphics::ICanvas* canvas = Graphics::GetCurrentCanvas();
    const bool vertical = IsVertical(m_direction);
    auto tile = [&](int frame, int start, float at, int length)
    {
        if (vertical)
            TileFrameVertically(m_images, frame, start, x, at, float(length), state, canvas);
        else
            TileFrameHorizontally(m_images, frame, start, at, y, float(length), state, canvas);
    };

    const float near = vertical ? y : x;
    if (m_images->Count() > 1)
        tile(1, 0, near, m_length);
    if (filled <= 0)
        return;
    // Filled from the far end, the tiles still line up from the near end.
    const int skipped = IsReversed(m_direction) ? m_length - filled : 0;
    tile(0, skipped, near + float(skipped), filled);
}

// ---- the row of cells ----

DiscreteMeterBarNode::DiscreteMeterBarNode(int direction, int size, int offset, IImageList* images)
    : m_images(images), m_direction(direction), m_size(std::max(size, 0)), m_offset(std::max(offset, 0))
{
    UpdateSize();
}

void DiscreteMeterBarNode::UpdateSize()
{
    if (!m_images || m_images->Count() < 1)
    {
        SetSize(0.0f, 0.0f);
        return;
    }
    const float w = float(m_images->GetWidth(0));
    const float h = float(m_images->GetHeight(0));
    // No cells take no room, gaps included.
    const float gaps = float(std::max(m_size - 1, 0)) * float(m_offset);
    if (IsVertical(m_direction))
        SetSize(w, m_size > 0 ? h * float(m_size) + gaps : 0.0f);
    else
        SetSize(m_size > 0 ? w * float(m_size) + gaps : 0.0f, h);
}

void DiscreteMeterBarNode::Draw(const Vector2f& offset)
{
    if (!m_images || m_images->Count() < 1 || !IsWorldVisible())
        return;
    const Rectf world = GetWorldRect();
    const int full = MeterFill(GetValue(), GetMax(), m_size);
    const int empty = m_size - full;
    const bool vertical = IsVertical(m_direction);
    const float step = float(vertical ? m_images->GetHeight(0) : m_images->GetWidth(0)) + float(m_offset);
    // Cells without extent show nothing.
    if (!(step > 0.0f))
        return;
    const Graphics::DrawState state = MeterState(*this);
    Graphics::ICanvas* canvas = Graphics::GetCurrentCanvas();

    float x = world.x + offset.x;
    float y = world.y + offset.y;
    // Cells past the canvas's far edge are not drawn: a layout may ask for any number of them.
    const Rect<int> bounds = canvas ? canvas->GetBounds() : Rect<int>();
    const float end = float(vertical ? int64_t(bounds.y) + bounds.h : int64_t(bounds.x) + bounds.w);
    auto cells = [&](int frame, int count)
    {
        for (int i = 0; i < count && (vertical ? y : x) < end; ++i)
        {
            // Without an empty-cell image an empty cell still takes its place.
            if (frame < m_images->Count())
                m_images->DrawFrame(frame, x, y, canvas, state);
            (vertical ? y : x) += step;
        }
    };
    if (IsReversed(m_direction))
    {
        cells(1, empty);
        cells(0, full);
    }
    else
    {
        cells(0, full);
        cells(1, empty);
    }
}

// ---- the fraction text ----

FractionTextMeterNode::FractionTextMeterNode(Font* font, const ColorF& color, int justify)
    : m_text(new TextSpriteNode({0.0f, 0.0f}, std::wstring(), font, 0.0f, color))
{
    m_text->SetJustify(justify);
    m_text->SetParent(this);
    UpdateText();
}

void FractionTextMeterNode::SetValue(float value)
{
    MeterComponent::SetValue(value);
    UpdateText();
}

void FractionTextMeterNode::SetMax(float max)
{
    MeterComponent::SetMax(max);
    UpdateText();
}

void FractionTextMeterNode::HandleMessage(const Message& message)
{
    // A meter made by code and added alone: its text would be drawn but never deleted.
    if (message.name == Names::Add && GetDatabase() && m_text && !m_text->GetDatabase() &&
        m_text->GetParent() == this)
        GetDatabase()->AddObject(m_text);
    SceneNode::HandleMessage(message);
}

void FractionTextMeterNode::OnChildRemoved(SceneNode* child)
{
    // The child may be deleted from here on: the meter goes on without its text.
    if (child == m_text)
        m_text = nullptr;
}

void FractionTextMeterNode::UpdateText()
{
    if (!m_text)
        return;
    m_text->SetText(std::to_wstring(Graphics::TruncToInt(GetValue())) + L"/" +
                    std::to_wstring(Graphics::TruncToInt(GetMax())));
    const NodeState& text = m_text->GetLocalState();
    SetSize(text.width, text.height);
}

// ---- factories ----

SceneNodeDescriptor* MeterBarNodeFactory::Read(const IAttributeContainer& attributes)
{
    auto* d = new MeterBarNodeDescriptor;
    d->direction = ReadDirection(attributes);
    d->size = std::max(attributes.GetInt(L"size", 0), 0);
    d->images = MakeNameFromWString(attributes.GetString(L"images"));
    d->start = attributes.GetFloat(L"start", 0.0f);
    d->max = attributes.GetFloat(L"max", 0.0f);
    return d;
}

SceneNode* MeterBarNodeFactory::Create(const SceneNodeDescriptor& descriptor)
{
    const auto* d = dynamic_cast<const MeterBarNodeDescriptor*>(&descriptor);
    const MeterBarNodeDescriptor fallback;
    if (!d)
        d = &fallback;
    auto* node = new MeterBarNode(d->direction, d->size, GetResource<IImageList>(d->images).second);
    node->SetMax(d->max);
    node->SetValue(d->start);
    return node;
}

SceneNodeDescriptor* DiscreteMeterBarNodeFactory::Read(const IAttributeContainer& attributes)
{
    auto* d = new DiscreteMeterBarNodeDescriptor;
    d->direction = ReadDirection(attributes);
    d->size = std::max(attributes.GetInt(L"size", 0), 0);
    d->offset = std::max(attributes.GetInt(L"offset", 0), 0);
    d->images = MakeNameFromWString(attributes.GetString(L"images"));
    d->start = attributes.GetFloat(L"start", 0.0f);
    d->max = attributes.GetFloat(L"max", 0.0f);
    return d;
}

SceneNode* DiscreteMeterBarNodeFactory::Create(const SceneNodeDescriptor& descriptor)
{
    const auto* d = dynamic_cast<const DiscreteMeterBarNodeDescriptor*>(&descriptor);
    const DiscreteMeterBarNodeDescriptor fallback;
    if (!d)
        d = &fallback;
    auto* node =
        new DiscreteMeterBarNode(d->direction, d->size, d->offset, GetResource<IImageList>(d->images).second);
    node->SetMax(d->max);
    node->SetValue(d->start);
    return node;
}

SceneNodeDescriptor* FractionTextMeterNodeFactory::Read(const IAttributeContainer& attributes)
{
    auto* d = new FractionTextMeterNodeDescriptor;
    d->font = MakeNameFromWString(attributes.GetString(L"font"));
    d->color = ParseColorF(attributes.GetString(L"color"), ColorF::Black());
    d->justify = ReadJustify(attributes);
    d->start = attributes.GetFloat(L"start", 0.0f);
    d->max = attributes.GetFloat(L"max", 0.0f);
    return d;
}

SceneNode* FractionTextMeterNodeFactory::Create(const SceneNodeDescriptor& descriptor)
{
    const auto* d = dynamic_cast<const FractionTextMeterNodeDescriptor*>(&descriptor);
    const FractionTextMeterNodeDescriptor fallback;
    if (!d)
        d = &fallback;
    auto* node = new FractionTextMeterNode(GetFontById(d->font).second, d->color, d->justify);
    node->SetMax(d->max);
    node->SetValue(d->start);
    return node;
}
