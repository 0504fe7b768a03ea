#pragma once
#include "Scene/SceneNode.h"

#include <string>
#include <string_view>

namespace Kestrin
{
class IImageList;
namespace Graphics
{
struct DrawState;
}
} // namespace Kestrin

// The node's source rectangle, when it has one, narrows the state's clip rectangle (whole pixels).
void ApplyNodeClip(const SceneNode& node, Kestrin::Graphics::DrawState& state);
// The current draw state for the node's images and brushes: not tinted, but with the node's world
// alpha, and clipped to its source rectangle.
Kestrin::Graphics::DrawState NodeImageState(SceneNode& node);
// A nine-slice brush of the pieces over the node's world rectangle moved by the offset, in
// NodeImageState; answers that state.
Kestrin::Graphics::DrawState DrawNodeNineSlice(SceneNode& node, Kestrin::IImageList* pieces,
                                               const SceneNode::Vector2f& offset);

// Frame i of an image list drawn over a node like SceneNode::DrawImage draws an image (world
// rectangle, colour, scale, turn, clip), whether the list holds separate images or is a film strip.
// An index outside the list draws nothing.
void DrawNodeFrame(SceneNode& node, Kestrin::IImageList* list, int index, const SceneNode::Vector2f& offset);

// Whether a point inside the node's world rectangle hits a shown pixel: always with a sensitivity
// of 0, else when the alpha there (read by alphaAt from node-relative whole pixels, each coordinate
// truncated on its own) is above the sensitivity. Scale and turn are not taken into account.
template <typename AlphaAt>
bool HitTestNodePixels(SceneNode& node, const SceneNode::Vector2f& point, int alphaSensitivity,
                       AlphaAt alphaAt);

// The text as the image fonts can show it: characters beyond U+00FF are left out.
std::wstring Latin1Only(std::wstring_view text);

// ---- inline ----

int NodePixelOffset(float point, float origin);

template <typename AlphaAt>
bool HitTestNodePixels(SceneNode& node, const SceneNode::Vector2f& point, int alphaSensitivity,
                       AlphaAt alphaAt)
{
    if (!node.ContainsPoint(point.x, point.y))
        return false;
    if (alphaSensitivity == 0)
        return true;
    const SceneNode::Rectf rect = node.GetWorldRect();
    return int(alphaAt(NodePixelOffset(point.x, rect.x), NodePixelOffset(point.y, rect.y))) >
           alphaSensitivity;
}
