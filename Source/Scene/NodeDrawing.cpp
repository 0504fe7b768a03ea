#include "Scene/NodeDrawing.h"

#include "Graphics/Canvas.h"
#include "Graphics/Image.h"
#include "Graphics/ImageList.h"

#include <cstdint>

using namespace Kestrin;

int NodePixelOffset(float point, float origin)
{
    // Each side truncated on its own, as the pixel grid of the node's image lies.
    const int64_t offset = int64_t(Graphics::TruncToInt(point)) - int64_t(Graphics::TruncToInt(origin));
    return offset < INT32_MIN ? INT32_MIN : offset > INT32_MAX ? INT32_MAX : int(offset);
}

void ApplyNodeClip(const SceneNode& node, Graphics::DrawState& state)
{
    using Graphics::TruncToInt;
    if (!node.HasSourceRect())
        return;
    const SceneNode::Rectf& clip = node.GetSourceRect();
    state.clipRect = Graphics::IntersectRects(
        state.clipRect, {TruncToInt(clip.x), TruncToInt(clip.y), TruncToInt(clip.w), TruncToInt(clip.h)});
}

Graphics::DrawState NodeImageState(SceneNode& node)
{
    Graphics::DrawState state = Graphics::CurrentDrawState();
    state.imageColor.a = node.GetWorldColor().a;
    ApplyNodeClip(node, state);
    return state;
}

Graphics::DrawState DrawNodeNineSlice(SceneNode& node, IImageList* pieces, const SceneNode::Vector2f& offset)
{
    const Graphics::DrawState state = NodeImageState(node);
    const SceneNode::Rectf world = node.GetWorldRect();
    DrawNineSlice(pieces, 0, world.x + offset.x, world.y + offset.y, world.w, world.h, state,
                  Graphics::GetCurrentCanvas());
    return state;
}

void DrawNodeFrame(SceneNode& node, IImageList* list, int index, const SceneNode::Vector2f& offset)
{
    using namespace Kestrin::Graphics;
    if (!list || index < 0 || index >= list->Count())
        return;
    if (auto* images = dynamic_cast<ImageList*>(list))
    {
        node.DrawImage(images->GetImageAt(index), offset);
        return;
    }
    if (auto* strip = dynamic_cast<FilmStrip*>(list))
    {
        // The strip's image with the frame as its source rectangle: stretching and turning work on
        // the frame alone.
        Rect<int> frame;
        if (!strip->GetFrameRect(index, frame))
            return;
        DrawState& current = CurrentDrawState();
        struct Restore
        {
            DrawState& state;
            DrawState saved;
            ~Restore() { state = saved; }
        } restore{current, current};
        current.flags |= DrawFlag_SourceRect;
        current.sourceRect = frame;
        node.DrawImage(strip->GetImage(), offset);
        return;
    }
    // Any other list draws its own frames, at their own size.
    DrawState state = CurrentDrawState();
    state.imageColor = node.GetWorldColor();
    ApplyNodeClip(node, state);
    const SceneNode::Rectf world = node.GetWorldRect();
    list->DrawFrame(index, world.x + offset.x, world.y + offset.y, GetCurrentCanvas(), state);
}

std::wstring Latin1Only(std::wstring_view text)
{
    std::wstring out;
    out.reserve(text.size());
    for (wchar_t c : text)
        if (c >= 0 && c <= 0xFF)
            out += c;
    return out;
}
