#include "Scene/ShapeNodes.h"

#include "Graphics/Canvas.h"
#include "Scene/NodeDrawing.h"

using namespace Kestrin;
using namespace Kestrin::Graphics;

ShapeNode::ShapeNode(float width, float height, bool filled) : m_filled(filled)
{
    SetSize(width, height);
}

void ShapeNode::Draw(const Vector2f& offset)
{
    if (!IsWorldVisible())
        return;
    const Rectf world = GetWorldRect();
    // An empty box shows nothing.
    if (!(world.w > 0.0f) || !(world.h > 0.0f))
        return;
    DrawState state = GetDefaultDrawState();
    state.color = GetWorldColor();
    ApplyNodeClip(*this, state);
    DrawShape({world.x + offset.x, world.y + offset.y, world.w, world.h}, state);
}

void RectNode::DrawShape(const Rectf& rect, const DrawState& state)
{
    if (IsFilled())
    {
        FillRect(rect, state, GetCurrentCanvas());
        return;
    }
    // The outline draws with the current state: it takes the clip for the while.
    DrawState& current = CurrentDrawState();
    const Rect<int> savedClip = current.clipRect;
    current.clipRect = state.clipRect;
    DrawRectOutline(GetCurrentCanvas(),
                    {TruncToInt(rect.x), TruncToInt(rect.y), TruncToInt(rect.w), TruncToInt(rect.h)},
                    state.color);
    current.clipRect = savedClip;
}

void EllipseNode::DrawShape(const Rectf& rect, const DrawState& state)
{
    if (IsFilled())
        FillEllipse(rect, state, GetCurrentCanvas());
    else
        DrawEllipse(rect, state, GetCurrentCanvas());
}
