#pragma once
#include "Base/Geometry.h"
#include "Base/Signal.h"
#include "Framework/Components.h"
#include "Framework/Object.h"

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <map>
#include <string>
#include <variant>
#include <vector>

namespace Kestrin
{
class IImage;
class ObjectDatabase;
} // namespace Kestrin

class SceneLayoutController;
class ScenePath;

// One node of a screen's scene tree: an object of the screen's database, a drawable (its depth is
// its place in the tree's pre-order) and an input handler that turns mouse events into its own
// signals. Its world state is derived from its parent's, lazily, per dirty field.
//
// Nodes are owned by the database they are registered in, never by their parent: removing a node
// ("Remove") takes its subtree and its controller out of the database and the tree, and the
// database deletes them all after its next update.
class SceneNode : public Kestrin::Object,
                  public Kestrin::IDrawable,
                  public Kestrin::InputHandlerComponent,
                  public Kestrin::IVisible
{
public:
    using Vector2f = Kestrin::Vector2<float>;
    using Rectf = Kestrin::Rect<float>;

    // Placement, held twice: the local state (relative to the parent) and the derived world state.
    struct NodeState
    {
        float x = 0.0f;
        float y = 0.0f;
        float width = 0.0f;
        float height = 0.0f;
        bool visible = true;
        Kestrin::ColorF color{1.0f, 1.0f, 1.0f, 1.0f};
        float scaleX = 1.0f;
        float scaleY = 1.0f;
        float orientation = 0.0f; // radians

        bool operator==(const NodeState&) const = default;
    };

    // The world fields that need recomputing.
    enum DirtyBits : uint32_t
    {
        Dirty_Position = 1, // and size
        Dirty_Visible = 2,
        Dirty_Color = 4,
        Dirty_Scale = 8,
        Dirty_Orientation = 16,
        Dirty_All = 31,
    };

    // Alignment values: 0 left / top, 1 centre / middle, 2 right / bottom.
    enum Align : int
    {
        Align_Near = 0,
        Align_Center = 1,
        Align_Far = 2,
    };

    // Bits of the mouse-button mask: 1 << MouseButton.
    enum ButtonBits : uint32_t
    {
        Button_Left = 1,
        Button_Right = 2,
        Button_Middle = 4,
        Button_All = 0xFFFFFFFFu,
    };

    // One step of a node path: a child index (0 = first child), an interned name, a narrow or wide
    // name (interned without regard to case) or the end of the path.
    struct PathEnd
    {
        bool operator==(const PathEnd&) const = default;
    };
    class PathElement
    {
    public:
        PathElement(PathEnd) : m_value(PathEnd{}) {}
        PathElement(int index) : m_value(index) {}
        PathElement(Kestrin::NameId id) : m_value(id) {}
        PathElement(const Kestrin::ConstantName& name) : m_value(name.Get()) {}
        PathElement(const char* name) : m_value(name) {}
        PathElement(std::string name) : m_value(std::move(name)) {}
        PathElement(std::wstring name) : m_value(std::move(name)) {}
        PathElement(const wchar_t* name) : m_value(std::wstring(name ? name : L"")) {}

        bool IsEnd() const { return std::holds_alternative<PathEnd>(m_value); }
        const auto& Value() const { return m_value; }

    private:
        std::variant<PathEnd, int, Kestrin::NameId, const char*, std::string, std::wstring> m_value;
    };
    static constexpr PathEnd EndOfPath{};

    explicit SceneNode(Kestrin::NameId name = Kestrin::NameId());
    // Leaves the parent, the children and the controller alone: the database deletes them.
    ~SceneNode() override;

    // ---- Object ----
    Kestrin::NameId GetName() const override { return m_name; }
    Kestrin::NameId GetRole() const override { return {}; }
    void Update(float dt) override;
    // "Remove" runs RemoveFromScene.
    void HandleMessage(const Kestrin::Message& message) override;

    // The object name; set it before the node is added to a database.
    void SetName(Kestrin::NameId name) { m_name = name; }

    // ---- the node's own virtual operations ----
    // Whether the point hits the node itself (its world rectangle by default).
    virtual bool HitTest(const Vector2f& point);
    virtual Kestrin::NameId GetNodeName() const { return m_nodeName; }
    // Draws the node at its world position plus the offset; kinds that show something override it.
    virtual void Draw(const Vector2f& offset);
    virtual void OnRemoved();
    virtual void OnChildAdded(SceneNode* child);
    virtual void OnChildRemoved(SceneNode* child);
    // Null when the node was detached.
    virtual void OnParentChanged(SceneNode* newParent);

    // ---- IDrawable: nodes are drawn by DrawTree, not by the database's draw list ----
    float GetDepth() override { return m_depth; }
    void Draw() override {}

    // ---- IInputHandler ----
    Kestrin::MessageResult OnMouseMove(int x, int y) override;
    Kestrin::MessageResult OnMouseDown(Kestrin::MouseButton button, int x, int y) override;
    Kestrin::MessageResult OnMouseUp(Kestrin::MouseButton button, int x, int y) override;
    // A plain node never takes the keyboard focus.
    bool AcceptsFocus() override { return false; }

    // ---- IVisible: the database gives no input to a node hidden itself or by an ancestor ----
    bool IsVisible() override { return IsWorldVisible(); }
    // Sets the local visibility.
    void SetVisible(bool visible) override;

    // ---- the tree ----
    // Attaches the node as the new parent's last child, leaving its old parent first. Null is
    // ignored: a node leaves its parent only by RemoveFromScene or AttachToParent.
    void SetParent(SceneNode* newParent);
    // Leaves the parent, takes the new node name, then joins the new parent (null: stays detached).
    void AttachToParent(SceneNode* parent, Kestrin::NameId nodeName);
    // The parent's side of SetParent; called by it only.
    void AddChild(SceneNode* child);
    void RemoveChild(SceneNode* child);
    void SetNodeName(Kestrin::NameId nodeName) { m_nodeName = nodeName; }

    SceneNode* GetParent() const { return m_parent; }
    SceneNode* GetFirstChild() const { return m_firstChild; }
    SceneNode* GetLastChild() const { return m_lastChild; }
    SceneNode* GetNextSibling() const { return m_nextSibling; }
    SceneNode* GetPreviousSibling() const { return m_prevSibling; }
    uint32_t GetChildCount() const { return m_childCount; }
    // Reorders the children by a strict weak order, stably: equal children keep their order. A
    // walk over the children under way goes on from the child it would have visited next. True
    // when the order changed.
    template <typename Less> bool SortChildren(Less less);

    // Follows a path of steps closed by the end element; null when a step finds nothing. An empty
    // path gives the start node, a null start node null. The one walk every lookup goes through:
    // the game's path tables hand it a ScenePath, its first `skip` names left out.
    SceneNode* FindNode(const PathElement* path);
    SceneNode* FindNode(std::initializer_list<PathElement> path);
    static SceneNode* FindNode(SceneNode* start, const PathElement* path);
    static SceneNode* FindNode(SceneNode* start, const ScenePath& path, size_t skip = 0);
    // The direct child for one step, or null.
    SceneNode* FindChild(const PathElement& step);

    // ---- placement ----
    const NodeState& GetLocalState() const { return m_local; }
    void SetPosition(float x, float y);
    void SetX(float x);
    void SetY(float y);
    void SetSize(float width, float height);
    void SetWidth(float width);
    void SetHeight(float height);
    // All four channels; alpha is the colour's a.
    void SetColor(const Kestrin::ColorF& color);
    void SetAlpha(float alpha);
    void SetScale(float scaleX, float scaleY);
    void SetOrientation(float radians);
    void SetParentAlignment(int horizontal, int vertical);
    void SetSelfAlignment(int horizontal, int vertical);
    int GetParentHAlign() const { return m_parentHAlign; }
    int GetParentVAlign() const { return m_parentVAlign; }
    int GetSelfHAlign() const { return m_selfHAlign; }
    int GetSelfVAlign() const { return m_selfVAlign; }
    // The anchors of rotation and of scaling inside the node's rectangle (centre for a new node).
    void SetRotateAlignment(int horizontal, int vertical);
    void SetScaleAlignment(int horizontal, int vertical);
    int GetRotateHAlign() const { return m_rotateHAlign; }
    int GetRotateVAlign() const { return m_rotateVAlign; }
    int GetScaleHAlign() const { return m_scaleHAlign; }
    int GetScaleVAlign() const { return m_scaleVAlign; }

    // World state, brought up to date first when the field is dirty here or above.
    Rectf GetWorldRect();
    bool IsWorldVisible();
    Kestrin::ColorF GetWorldColor();
    Vector2f GetWorldScale();
    float GetWorldOrientation();
    uint32_t GetDirtyMask() const { return m_dirty; }

    // The world state from the parent's world state and the local state; clears the dirty mask.
    void ComputeWorldState(const NodeState& parentWorld);
    // Computes each child's world state and numbers the subtree in pre-order from counter on.
    void UpdateChildTransforms(float& counter);
    // The per-frame refresh of a tree's root: world = local, depth 0, then the whole tree. Subtrees
    // in which nothing changed since the last refresh are skipped.
    void RefreshTree();

    // ---- input ----
    void SetHitTest(bool hitTest) { m_hitTest = hitTest; }
    bool GetHitTest() const { return m_hitTest; }
    void SetButtons(uint32_t mask) { m_buttons = mask; }
    uint32_t GetButtons() const { return m_buttons; }
    void SetCaptureOnMouseDown(bool capture) { m_captureOnMouseDown = capture; }
    bool GetCaptureOnMouseDown() const { return m_captureOnMouseDown; }
    bool IsMouseInside() const { return m_mouseInside; }

    // The topmost node of the subtree that is hit at the point: children last to first, then the
    // node itself when it is hit-testable and visible.
    SceneNode* FindNodeAt(const Vector2f& point);
    // Against the world rectangle; the left and top edges are inside, the right and bottom ones not.
    bool ContainsPoint(float x, float y);
    // The world rectangle united with every child's subtree bounds; empty rectangles do not count.
    Rectf GetSubtreeBounds();
    // True when the node holds the mouse capture of its database.
    bool HasMouseCapture();

    // ---- registration, drawing, removal ----
    // Adds every child subtree (children first, in child order), then the node itself.
    void RegisterTree(Kestrin::ObjectDatabase& database);
    // Draw(offset) of the node, then DrawTree of each child in child order.
    void DrawTree(const Vector2f& offset);
    // Draws an image over the node with its world colour: plain, rotated about the rotation
    // anchor, stretched about the scale anchor, or both.
    void DrawImage(Kestrin::IImage* image, const Vector2f& offset);
    // Clips what DrawImage draws to a rectangle in screen pixels.
    void SetSourceRect(const Rectf& rect);
    void ClearSourceRect() { m_useSourceRect = false; }
    bool HasSourceRect() const { return m_useSourceRect; }
    const Rectf& GetSourceRect() const { return m_sourceRect; }
    // Leaves the parent, removes the children from their databases, emits Removing (on which a
    // controller goes), then runs OnRemoved and emits Removed. Run when the node gets "Remove".
    void RemoveFromScene();

    SceneLayoutController* GetController() const { return m_controller; }
    void SetController(SceneLayoutController* controller) { m_controller = controller; }

    // ---- signals ----
    Kestrin::Signal<SceneNode*> Removing;
    Kestrin::Signal<SceneNode*> Removed;
    Kestrin::Signal<SceneNode*, Vector2f, Kestrin::MouseButton> MouseDown;
    Kestrin::Signal<SceneNode*, Vector2f, Kestrin::MouseButton> MouseUp;
    Kestrin::Signal<SceneNode*, Vector2f> MouseEnter;
    Kestrin::Signal<SceneNode*, Vector2f> MouseLeave;

private:
    // The steps from `step` on, up to the end element or `last`, whichever comes first.
    static SceneNode* Walk(SceneNode* node, const PathElement* step, const PathElement* last);
    // Brings the world fields of the bits up to date: the topmost dirty node of the chain is
    // recomputed with its subtree.
    void EnsureWorld(uint32_t bits);
    // The subtree refresh: children are recomputed when the parent's world changed or they are
    // dirty; clean subtrees whose numbering holds are skipped, others only renumbered.
    void RefreshChildren(float& counter, bool parentChanged);
    void Renumber(float& counter);
    // Something in the subtree changed since the last refresh: flags the node and its ancestors.
    void MarkForRefresh();
    void Touch(uint32_t bits)
    {
        m_dirty |= bits;
        MarkForRefresh();
    }
    void Unlink(SceneNode* child);
    // Rebuilds the child list in the given order (the same children); true when it changed.
    bool Relink(const std::vector<SceneNode*>& order);
    // The first half of attaching: out of the parent's list and name map, dirty, told.
    void LeaveParent();
    // LeaveParent, and out of a removed node's list the node may still be in.
    void Detach();
    // Calls f on each child in order. f may add and remove children: the walk goes on with the
    // next child still in the list.
    template <typename F> void ForEachChild(F f);
    struct ChildCursor
    {
        SceneNode* next;
        ChildCursor* outer;
    };
    SceneNode* FindNodeAtVisible(const Vector2f& point);

    Kestrin::NameId m_name;
    Kestrin::NameId m_nodeName;
    SceneNode* m_parent = nullptr;
    SceneNode* m_firstChild = nullptr;
    SceneNode* m_lastChild = nullptr;
    uint32_t m_childCount = 0;
    // The node's place in a child list: constant-time detaching. A removed node's children stay in
    // its list (listOwner) though their parent is gone.
    SceneNode* m_prevSibling = nullptr;
    SceneNode* m_nextSibling = nullptr;
    SceneNode* m_listOwner = nullptr;
    // The walks over the child list under way (innermost first).
    ChildCursor* m_cursors = nullptr;
    // Named children only; the first child attached under a name keeps it.
    std::map<Kestrin::NameId, SceneNode*> m_childrenByName;
    SceneLayoutController* m_controller = nullptr;
    NodeState m_local;
    NodeState m_world;
    int m_parentHAlign = 0;
    int m_parentVAlign = 0;
    int m_selfHAlign = 0;
    int m_selfVAlign = 0;
    uint32_t m_dirty = 0;
    bool m_hitTest = false;
    float m_depth = 0.0f;
    uint32_t m_buttons = Button_Left;
    bool m_captureOnMouseDown = false;
    bool m_mouseInside = false;
    int m_rotateHAlign = Align_Center;
    int m_rotateVAlign = Align_Center;
    int m_scaleHAlign = Align_Center;
    int m_scaleVAlign = Align_Center;
    Rectf m_sourceRect;
    bool m_useSourceRect = false;
    // The refresh's bookkeeping: whether the subtree changed since the last refresh, and how many
    // nodes it held then.
    bool m_refreshNeeded = true;
    uint32_t m_subtreeCount = 1;
};

template <typename Less> bool SceneNode::SortChildren(Less less)
{
    std::vector<SceneNode*> order;
    order.reserve(m_childCount);
    for (SceneNode* child = m_firstChild; child; child = child->m_nextSibling)
        order.push_back(child);
    std::stable_sort(order.begin(), order.end(), [&less](SceneNode* a, SceneNode* b) { return less(a, b); });
    return Relink(order);
}

// The name the game's tables use for a path step.
using SceneNodePathElement = SceneNode::PathElement;
