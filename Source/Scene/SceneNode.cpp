#include "Scene/SceneNode.h"
#include "Scene/ScenePath.h"

#include "Framework/ObjectDatabase.h"
#include "Graphics/Canvas.h"
#include "Graphics/Image.h"
#include "UI/UIServices.h"

#include <algorithm>
#include <cmath>
#include <vector>

using namespace Kestrin;

namespace
{

// How far an anchor lies from the near edge for an alignment of 0, 1 or 2.
float AnchorOffset(int align, float size)
{
    return align == SceneNode::Align_Center ? 0.5f * size : align == SceneNode::Align_Far ? size : 0.0f;
}

// Where the scaled rectangle starts inside the node so that the scale anchor stays put.
float ScaleAnchorOffset(int align, float size, float scale)
{
    if (align == SceneNode::Align_Center)
        return 0.5f * size - 0.5f * size * scale;
    if (align == SceneNode::Align_Far)
        return size - size * scale;
    return 0.0f;
}

Rect<float> UniteRects(const Rect<float>& a, const Rect<float>& b)
{
    if (a.IsEmpty())
        return b;
    if (b.IsEmpty())
        return a;
    const float left = std::min(a.x, b.x);
    const float top = std::min(a.y, b.y);
    const float right = std::max(a.x + a.w, b.x + b.w);
    const float bottom = std::max(a.y + a.h, b.y + b.h);
    return {left, top, right - left, bottom - top};
}

uint32_t ButtonBit(MouseButton button)
{
    const int index = int(button);
    return index >= 0 && index < 32 ? 1u << index : 0u;
}

} // namespace

SceneNode::SceneNode(NameId name) : m_name(name) {}

SceneNode::~SceneNode() = default;

void SceneNode::Update(float) {}

void SceneNode::HandleMessage(const Message& message)
{
    if (message.name == Names::Remove)
        RemoveFromScene();
}

bool SceneNode::HitTest(const Vector2f& point)
{
    return ContainsPoint(point.x, point.y);
}

void SceneNode::Draw(const Vector2f&) {}
void SceneNode::OnRemoved() {}
void SceneNode::OnChildAdded(SceneNode*) {}
void SceneNode::OnChildRemoved(SceneNode*) {}
void SceneNode::OnParentChanged(SceneNode*) {}

void SceneNode::SetVisible(bool visible)
{
    m_local.visible = visible;
    Touch(Dirty_Visible);
}

// ---- the tree ----

void SceneNode::MarkForRefresh()
{
    // A flagged node's ancestors are flagged already.
    for (SceneNode* node = this; node && !node->m_refreshNeeded; node = node->m_parent)
        node->m_refreshNeeded = true;
}

void SceneNode::Unlink(SceneNode* child)
{
    for (ChildCursor* cursor = m_cursors; cursor; cursor = cursor->outer)
        if (cursor->next == child)
            cursor->next = child->m_nextSibling;
    if (child->m_prevSibling)
        child->m_prevSibling->m_nextSibling = child->m_nextSibling;
    else
        m_firstChild = child->m_nextSibling;
    if (child->m_nextSibling)
        child->m_nextSibling->m_prevSibling = child->m_prevSibling;
    else
        m_lastChild = child->m_prevSibling;
    child->m_prevSibling = nullptr;
    child->m_nextSibling = nullptr;
    child->m_listOwner = nullptr;
    --m_childCount;
}

bool SceneNode::Relink(const std::vector<SceneNode*>& order)
{
    bool changed = false;
    SceneNode* child = m_firstChild;
    for (SceneNode* wanted : order)
    {
        changed = changed || child != wanted;
        child = child ? child->m_nextSibling : nullptr;
    }
    if (!changed)
        return false;
    SceneNode* previous = nullptr;
    for (SceneNode* node : order)
    {
        node->m_prevSibling = previous;
        if (previous)
            previous->m_nextSibling = node;
        previous = node;
    }
    if (previous)
        previous->m_nextSibling = nullptr;
    m_firstChild = order.empty() ? nullptr : order.front();
    m_lastChild = previous;
    // The pre-order numbers follow the new order at the next refresh.
    MarkForRefresh();
    return true;
}

void SceneNode::LeaveParent()
{
    if (!m_parent)
        return;
    m_parent->RemoveChild(this);
    m_parent = nullptr;
    m_dirty = Dirty_All;
    m_refreshNeeded = true;
    OnParentChanged(nullptr);
}

void SceneNode::Detach()
{
    LeaveParent();
    // A child of a removed node is still in that node's list; it leaves it before joining another.
    if (!m_parent && m_listOwner)
        m_listOwner->Unlink(this);
}

void SceneNode::SetParent(SceneNode* newParent)
{
    if (!newParent || newParent == m_parent)
        return;
    // A node under itself would make the tree a loop.
    for (SceneNode* node = newParent; node; node = node->m_parent)
        if (node == this)
            return;
    Detach();
    m_parent = newParent;
    m_dirty = Dirty_All;
    m_refreshNeeded = true;
    OnParentChanged(newParent);
    // Unless the hook has moved the node on already.
    if (m_parent == newParent)
        newParent->AddChild(this);
}

void SceneNode::AttachToParent(SceneNode* parent, NameId nodeName)
{
    Detach();
    m_nodeName = nodeName;
    if (parent)
        SetParent(parent);
}

void SceneNode::AddChild(SceneNode* child)
{
    if (!child || child->m_listOwner == this)
        return;
    if (child->m_listOwner)
        child->m_listOwner->Unlink(child);
    if (child->m_nodeName)
        m_childrenByName.emplace(child->m_nodeName, child); // an earlier child keeps the name
    child->m_prevSibling = m_lastChild;
    child->m_nextSibling = nullptr;
    if (m_lastChild)
        m_lastChild->m_nextSibling = child;
    else
        m_firstChild = child;
    m_lastChild = child;
    child->m_listOwner = this;
    ++m_childCount;
    child->m_refreshNeeded = true;
    MarkForRefresh();
    OnChildAdded(child);
}

void SceneNode::RemoveChild(SceneNode* child)
{
    if (!child || child->m_listOwner != this)
        return;
    // Only the child's own entry: a sibling of the same name attached first holds it.
    if (child->m_nodeName)
    {
        auto it = m_childrenByName.find(child->m_nodeName);
        if (it != m_childrenByName.end() && it->second == child)
            m_childrenByName.erase(it);
    }
    Unlink(child);
    MarkForRefresh();
    OnChildRemoved(child);
}

SceneNode* SceneNode::Walk(SceneNode* node, const PathElement* step, const PathElement* last)
{
    for (; node && step && step != last && !step->IsEnd(); ++step)
        node = node->FindChild(*step);
    return node;
}

SceneNode* SceneNode::FindNode(SceneNode* start, const PathElement* path)
{
    return Walk(start, path, nullptr);
}

SceneNode* SceneNode::FindNode(SceneNode* start, const ScenePath& path, size_t skip)
{
    return Walk(start, path.GetSteps(skip), nullptr);
}

SceneNode* SceneNode::FindNode(const PathElement* path)
{
    return Walk(this, path, nullptr);
}

SceneNode* SceneNode::FindNode(std::initializer_list<PathElement> path)
{
    return Walk(this, path.begin(), path.end());
}

SceneNode* SceneNode::FindChild(const PathElement& step)
{
    auto byName = [this](NameId name) -> SceneNode*
    {
        auto it = m_childrenByName.find(name);
        return it == m_childrenByName.end() ? nullptr : it->second;
    };
    return std::visit(
        [&](const auto& value) -> SceneNode*
        {
            using T = std::decay_t<decltype(value)>;
            if constexpr (std::is_same_v<T, PathEnd>)
                return this;
            else if constexpr (std::is_same_v<T, int>)
            {
                if (value < 0 || uint32_t(value) >= m_childCount)
                    return nullptr;
                SceneNode* child = m_firstChild;
                for (int i = 0; i < value; ++i)
                    child = child->m_nextSibling;
                return child;
            }
            else if constexpr (std::is_same_v<T, NameId>)
                return value ? byName(value) : nullptr;
            else if constexpr (std::is_same_v<T, const char*>)
                return value ? byName(MakeName(value)) : nullptr;
            else if constexpr (std::is_same_v<T, std::string>)
                return byName(MakeName(value));
            else
                return byName(MakeNameFromWString(value));
        },
        step.Value());
}

// ---- placement ----

void SceneNode::SetPosition(float x, float y)
{
    m_local.x = x;
    m_local.y = y;
    Touch(Dirty_Position);
}

void SceneNode::SetX(float x)
{
    m_local.x = x;
    Touch(Dirty_Position);
}

void SceneNode::SetY(float y)
{
    m_local.y = y;
    Touch(Dirty_Position);
}

void SceneNode::SetSize(float width, float height)
{
    m_local.width = width;
    m_local.height = height;
    Touch(Dirty_Position);
}

void SceneNode::SetWidth(float width)
{
    m_local.width = width;
    Touch(Dirty_Position);
}

void SceneNode::SetHeight(float height)
{
    m_local.height = height;
    Touch(Dirty_Position);
}

void SceneNode::SetColor(const ColorF& color)
{
    m_local.color = color;
    Touch(Dirty_Color);
}

void SceneNode::SetAlpha(float alpha)
{
    m_local.color.a = alpha;
    Touch(Dirty_Color);
}

void SceneNode::SetScale(float scaleX, float scaleY)
{
    m_local.scaleX = scaleX;
    m_local.scaleY = scaleY;
    Touch(Dirty_Scale);
}

void SceneNode::SetOrientation(float radians)
{
    m_local.orientation = radians;
    Touch(Dirty_Orientation);
}

void SceneNode::SetParentAlignment(int horizontal, int vertical)
{
    m_parentHAlign = horizontal;
    m_parentVAlign = vertical;
    Touch(Dirty_Position);
}

void SceneNode::SetSelfAlignment(int horizontal, int vertical)
{
    m_selfHAlign = horizontal;
    m_selfVAlign = vertical;
    Touch(Dirty_Position);
}

void SceneNode::SetRotateAlignment(int horizontal, int vertical)
{
    m_rotateHAlign = horizontal;
    m_rotateVAlign = vertical;
}

void SceneNode::SetScaleAlignment(int horizontal, int vertical)
{
    m_scaleHAlign = horizontal;
    m_scaleVAlign = vertical;
}

void SceneNode::SetSourceRect(const Rectf& rect)
{
    m_sourceRect = rect;
    m_useSourceRect = true;
}

// ---- world state ----

void SceneNode::ComputeWorldState(const NodeState& parentWorld)
{
    const NodeState& local = m_local;
    // Alignment goes by the parent's own size, which its world state may not have caught up with.
    const float parentWidth = m_parent ? m_parent->m_local.width : parentWorld.width;
    const float parentHeight = m_parent ? m_parent->m_local.height : parentWorld.height;
    m_world.x = parentWorld.x + local.x + AnchorOffset(m_parentHAlign, parentWidth) -
                AnchorOffset(m_selfHAlign, local.width);
    m_world.y = parentWorld.y + local.y + AnchorOffset(m_parentVAlign, parentHeight) -
                AnchorOffset(m_selfVAlign, local.height);
    m_world.width = local.width;
    m_world.height = local.height;
    m_world.visible = parentWorld.visible && local.visible;
    // Colour does not inherit; alpha does.
    m_world.color = ColorF(local.color.r, local.color.g, local.color.b, parentWorld.color.a * local.color.a);
    m_world.scaleX = parentWorld.scaleX * local.scaleX;
    m_world.scaleY = parentWorld.scaleY * local.scaleY;
    m_world.orientation = parentWorld.orientation + local.orientation;
    m_dirty = 0;
}

void SceneNode::Renumber(float& counter)
{
    m_depth = counter;
    counter += 1.0f;
    for (SceneNode* child = m_firstChild; child; child = child->m_nextSibling)
        child->Renumber(counter);
}

void SceneNode::RefreshChildren(float& counter, bool parentChanged)
{
    for (SceneNode* child = m_firstChild; child; child = child->m_nextSibling)
    {
        if (!parentChanged && child->m_dirty == 0 && !child->m_refreshNeeded)
        {
            // Nothing in the subtree changed: its world states hold, and so do its numbers unless
            // something before it in the tree came or went.
            if (child->m_depth == counter)
                counter += float(child->m_subtreeCount);
            else
                child->Renumber(counter);
            continue;
        }
        const NodeState before = child->m_world;
        child->ComputeWorldState(m_world);
        child->m_depth = counter;
        counter += 1.0f;
        child->RefreshChildren(counter, !(before == child->m_world));
        child->m_subtreeCount = uint32_t(counter - child->m_depth);
        child->m_refreshNeeded = false;
    }
}

void SceneNode::UpdateChildTransforms(float& counter)
{
    RefreshChildren(counter, true);
}

void SceneNode::RefreshTree()
{
    const NodeState before = m_world;
    m_world = m_local;
    m_dirty = 0;
    m_depth = 0.0f;
    const bool changed = !(before == m_world);
    if (!changed && !m_refreshNeeded)
        return;
    float counter = 1.0f;
    RefreshChildren(counter, changed);
    m_subtreeCount = uint32_t(counter);
    m_refreshNeeded = false;
}

void SceneNode::EnsureWorld(uint32_t bits)
{
    // The topmost node of the chain with a dirty field; a root is refreshed only by RefreshTree.
    SceneNode* top = nullptr;
    for (SceneNode* node = this; node->m_parent; node = node->m_parent)
        if (node->m_dirty & bits)
            top = node;
    if (!top)
        return;
    const NodeState before = top->m_world;
    top->ComputeWorldState(top->m_parent->m_world);
    float counter = top->m_depth + 1.0f;
    top->RefreshChildren(counter, !(before == top->m_world));
}

SceneNode::Rectf SceneNode::GetWorldRect()
{
    EnsureWorld(Dirty_Position);
    return {m_world.x, m_world.y, m_world.width, m_world.height};
}

bool SceneNode::IsWorldVisible()
{
    EnsureWorld(Dirty_Visible);
    return m_world.visible;
}

ColorF SceneNode::GetWorldColor()
{
    EnsureWorld(Dirty_Color);
    return m_world.color;
}

SceneNode::Vector2f SceneNode::GetWorldScale()
{
    EnsureWorld(Dirty_Scale);
    return {m_world.scaleX, m_world.scaleY};
}

float SceneNode::GetWorldOrientation()
{
    EnsureWorld(Dirty_Orientation);
    return m_world.orientation;
}

// ---- input ----

SceneNode* SceneNode::FindNodeAt(const Vector2f& point)
{
    // Under a hidden node everything is hidden: nothing there can be hit.
    if (!IsWorldVisible())
        return nullptr;
    return FindNodeAtVisible(point);
}

SceneNode* SceneNode::FindNodeAtVisible(const Vector2f& point)
{
    for (SceneNode* child = m_lastChild; child; child = child->m_prevSibling)
    {
        // This node's chain is up to date, so a child's visibility is stale only by its own change.
        if (child->m_dirty & Dirty_Visible)
            child->EnsureWorld(Dirty_Visible);
        if (!child->m_world.visible)
            continue;
        if (SceneNode* hit = child->FindNodeAtVisible(point))
            return hit;
    }
    return m_hitTest && HitTest(point) ? this : nullptr;
}

bool SceneNode::ContainsPoint(float x, float y)
{
    const Rectf r = GetWorldRect();
    return x >= r.x && y >= r.y && x < r.x + r.w && y < r.y + r.h;
}

SceneNode::Rectf SceneNode::GetSubtreeBounds()
{
    Rectf bounds = GetWorldRect();
    for (SceneNode* child = m_firstChild; child; child = child->m_nextSibling)
        bounds = UniteRects(bounds, child->GetSubtreeBounds());
    return bounds;
}

bool SceneNode::HasMouseCapture()
{
    ObjectDatabase* database = GetDatabase();
    const ObjectHandle handle = GetHandle();
    return database && handle != NoObjectHandle && database->GetCaptureHandle() == handle &&
           database->IsValidHandle(handle);
}

MessageResult SceneNode::OnMouseMove(int x, int y)
{
    if (MouseEnter.IsEmpty() && MouseLeave.IsEmpty())
        return MessageResult::NotHandled;
    const Vector2f point{float(x), float(y)};
    SceneNode* hit = FindNodeAt(point);
    if (hit && !m_mouseInside)
    {
        MouseEnter(hit, point);
        m_mouseInside = true;
    }
    else if (!hit && m_mouseInside)
    {
        MouseLeave(nullptr, point);
        m_mouseInside = false;
    }
    // Moves go on to the other handlers too.
    return MessageResult::NotHandled;
}

MessageResult SceneNode::OnMouseDown(MouseButton button, int x, int y)
{
    if (MouseDown.IsEmpty() || !(m_buttons & ButtonBit(button)))
        return MessageResult::NotHandled;
    const Vector2f point{float(x), float(y)};
    SceneNode* hit = FindNodeAt(point);
    if (!hit)
        return MessageResult::NotHandled;
    if (m_captureOnMouseDown)
        SetMouseCapture(this);
    MouseDown(hit, point, button);
    return MessageResult::Handled;
}

MessageResult SceneNode::OnMouseUp(MouseButton button, int x, int y)
{
    // A press ends here whatever else happens.
    if (HasMouseCapture())
        ReleaseMouseCapture(this);
    if (MouseUp.IsEmpty() || !(m_buttons & ButtonBit(button)))
        return MessageResult::NotHandled;
    const Vector2f point{float(x), float(y)};
    // Null when the button was released outside the subtree.
    MouseUp(FindNodeAt(point), point, button);
    return MessageResult::Handled;
}

// ---- registration, drawing, removal ----

template <typename F> void SceneNode::ForEachChild(F f)
{
    // While f runs, Unlink moves the cursor on past a child that leaves the list.
    ChildCursor cursor{m_firstChild, m_cursors};
    m_cursors = &cursor;
    struct Restore
    {
        SceneNode* node;
        ChildCursor* cursor;
        ~Restore() { node->m_cursors = cursor->outer; }
    } restore{this, &cursor};
    while (SceneNode* child = cursor.next)
    {
        cursor.next = child->m_nextSibling;
        f(child);
    }
}

void SceneNode::RegisterTree(ObjectDatabase& database)
{
    ForEachChild([&database](SceneNode* child) { child->RegisterTree(database); });
    database.AddObject(this);
}

void SceneNode::DrawTree(const Vector2f& offset)
{
    Draw(offset);
    ForEachChild([&offset](SceneNode* child) { child->DrawTree(offset); });
}

void SceneNode::DrawImage(IImage* image, const Vector2f& offset)
{
    using namespace Kestrin::Graphics;
    if (!image)
        return;
    ICanvas* canvas = GetCurrentCanvas();
    DrawState state = CurrentDrawState();
    state.imageColor = GetWorldColor();
    if (m_useSourceRect)
    {
        const Rect<int> clip(TruncToInt(m_sourceRect.x), TruncToInt(m_sourceRect.y),
                             TruncToInt(m_sourceRect.w), TruncToInt(m_sourceRect.h));
        state.clipRect = IntersectRects(state.clipRect, clip);
    }

    const Rectf world = GetWorldRect();
    const Vector2f scale = GetWorldScale();
    const float angle = GetWorldOrientation();
    const bool scaled = scale.x != 1.0f || scale.y != 1.0f;
    const bool rotated = angle != 0.0f;

    if (!scaled && !rotated)
    {
        Graphics::DrawImage(world.x + offset.x, world.y + offset.y, canvas, image, state);
        return;
    }
    const float pivotX = AnchorOffset(m_rotateHAlign, world.w) + world.x + offset.x;
    const float pivotY = AnchorOffset(m_rotateVAlign, world.h) + world.y + offset.y;
    if (!scaled)
    {
        state.hAlign = m_rotateHAlign;
        state.vAlign = m_rotateVAlign;
        DrawImageRotated(canvas, image, pivotX, pivotY, angle, state);
        return;
    }
    const float left = world.x + ScaleAnchorOffset(m_scaleHAlign, world.w, scale.x) + offset.x;
    const float top = world.y + ScaleAnchorOffset(m_scaleVAlign, world.h, scale.y) + offset.y;
    const float width = world.w * scale.x;
    const float height = world.h * scale.y;
    if (!rotated)
    {
        DrawImageInRect(canvas,
                        Rect<int>(TruncToInt(left), TruncToInt(top), TruncToInt(width), TruncToInt(height)),
                        image, state);
        return;
    }

    // Scaled and turned: the scaled rectangle's corners turn about the rotation anchor.
    IQuadDrawingCanvas* quad = QueryCanvas<IQuadDrawingCanvas>(canvas);
    if (!quad || !std::isfinite(angle))
        return;
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    const float corners[4][4] = {{left, top, 0.0f, 0.0f},
                                 {left + width, top, 1.0f, 0.0f},
                                 {left + width, top + height, 1.0f, 1.0f},
                                 {left, top + height, 0.0f, 1.0f}};
    PolygonVertex vertices[4];
    for (int i = 0; i < 4; ++i)
    {
        const float dx = corners[i][0] - pivotX;
        const float dy = corners[i][1] - pivotY;
        vertices[i].x = pivotX + dx * c - dy * s;
        vertices[i].y = pivotY + dx * s + dy * c;
        vertices[i].color = state.imageColor;
        vertices[i].u = corners[i][2];
        vertices[i].v = corners[i][3];
    }
    if (quad->DrawTexturedPolygon(image, 1, 4, vertices, state) == Draw_Unsupported)
    {
        // A canvas without polygons still shows the image turned, at its own size.
        state.hAlign = m_rotateHAlign;
        state.vAlign = m_rotateVAlign;
        DrawImageRotated(canvas, image, pivotX, pivotY, angle, state);
    }
}

void SceneNode::RemoveFromScene()
{
    LeaveParent();

    // The children leave this node and their databases; they stay in its list until it is deleted.
    std::vector<SceneNode*> children;
    children.reserve(m_childCount);
    for (SceneNode* child = m_firstChild; child; child = child->m_nextSibling)
        children.push_back(child);
    for (SceneNode* child : children)
    {
        if (child->m_parent != this)
            continue;
        child->m_parent = nullptr;
        child->m_dirty = Dirty_All;
        child->m_refreshNeeded = true;
        child->OnParentChanged(nullptr);
        // Its own database: the current one may be another screen's.
        if (ObjectDatabase* database = child->GetDatabase())
            database->RemoveObject(child->GetHandle());
    }

    Removing(this);
    OnRemoved();
    Removed(this);
}
