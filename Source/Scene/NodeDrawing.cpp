#include "Scene/NodeDrawing.h"

using namespace Kestrin;

void ClipToSourceRect(SceneNode& node, Graphics::DrawState& state)
{
    if (!node.HasSourceRect())
        return;
    const SceneNode::Rectf& r = node.GetSourceRect();
    const Rect<int> clip(Graphics::TruncToInt(r.x), Graphics::TruncToInt(r.y), Graphics::TruncToInt(r.w),
                         Graphics::TruncToInt(r.h));
    state.clipRect = Graphics::IntersectRects(state.clipRect, clip);
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
