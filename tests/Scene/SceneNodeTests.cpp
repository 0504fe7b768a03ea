#include "Scene/SceneNode.h"

#include "Framework/ObjectDatabase.h"
#include "Scene/ControlNode.h"
#include "Scene/ScenePath.h"

#include "Scene/SceneTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace Kestrin;
using namespace SceneTest;

namespace
{

using SceneNodes = SceneFixture;
using Notes = std::vector<std::string>;

} // namespace

TEST_F(SceneNodes, WorldStateFollowsAlignmentAndInheritsAlphaVisibilityScaleAndTurnOnly)
{
    SceneNode* root = Node(nullptr, 0, 0, 800, 600);
    SceneNode* parent = Node(root, 0, 0, 300, 200);
    SceneNode* child = Node(parent, 7, 3, 100, 50);
    root->RegisterTree(database);

    // {parentH, parentV, selfH, selfV} -> world top-left of the 100 x 50 child at local (7, 3).
    struct Case
    {
        int parentH, parentV, selfH, selfV;
        float x, y;
    };
    const Case cases[] = {
        {0, 0, 0, 0, 7, 3},     {1, 1, 1, 1, 107, 78}, // centred on the parent
        {2, 2, 2, 2, 207, 153},                        // right and bottom edges meet
        {2, 0, 0, 0, 307, 3},                          // hangs off the right edge
        {1, 2, 0, 1, 157, 178},
    };
    for (const Case& c : cases)
    {
        child->SetParentAlignment(c.parentH, c.parentV);
        child->SetSelfAlignment(c.selfH, c.selfV);
        root->RefreshTree();
        EXPECT_EQ(child->GetWorldRect(), (Rect<float>{c.x, c.y, 100, 50}))
            << c.parentH << c.parentV << c.selfH << c.selfV;
    }

    // The parent's scale and turn neither move nor scale the child's position; they multiply and add.
    child->SetParentAlignment(0, 0);
    child->SetSelfAlignment(0, 0);
    parent->SetPosition(10, 20);
    parent->SetScale(2, 2);
    parent->SetOrientation(0.5f);
    child->SetScale(1.5f, 3);
    child->SetOrientation(0.25f);
    root->RefreshTree();
    EXPECT_EQ(child->GetWorldRect(), (Rect<float>{17, 23, 100, 50}));
    EXPECT_EQ(child->GetWorldScale(), (Vector2<float>{3, 6}));
    EXPECT_FLOAT_EQ(child->GetWorldOrientation(), 0.75f);

    // Colour is the node's own; alpha multiplies down the tree.
    parent->SetColor(ColorF(1, 0, 0, 0.5f));
    child->SetAlpha(0.5f);
    root->RefreshTree();
    EXPECT_EQ(child->GetWorldColor(), ColorF(1, 1, 1, 0.25f));
    EXPECT_EQ(parent->GetWorldColor(), ColorF(1, 0, 0, 0.5f));

    parent->SetVisible(false);
    EXPECT_FALSE(child->IsWorldVisible()); // read before any refresh
    EXPECT_FALSE(child->IsVisible());
    parent->SetVisible(true);
    EXPECT_TRUE(child->IsWorldVisible());
}

TEST_F(SceneNodes, AGetterCatchesUpWithChangesAboveItWithoutAFrameAndKeepsTheNumbering)
{
    SceneNode* root = Node(nullptr, 0, 0, 0, 0);
    SceneNode* a = Node(root, 0, 0, 0, 0);
    SceneNode* grandparent = Node(root, 5, 0, 0, 0);
    SceneNode* parent = Node(grandparent, 0, 10, 0, 0);
    SceneNode* leaf = Node(parent, 1, 1, 4, 4);
    SceneNode* last = Node(root, 0, 0, 0, 0);
    root->RegisterTree(database);
    root->RefreshTree();
    EXPECT_EQ(root->GetDepth(), 0.0f);
    EXPECT_EQ(a->GetDepth(), 1.0f);
    EXPECT_EQ(grandparent->GetDepth(), 2.0f);
    EXPECT_EQ(parent->GetDepth(), 3.0f);
    EXPECT_EQ(leaf->GetDepth(), 4.0f);
    EXPECT_EQ(last->GetDepth(), 5.0f);
    EXPECT_EQ(leaf->GetWorldRect(), (Rect<float>{6, 11, 4, 4}));

    grandparent->SetX(100);
    EXPECT_EQ(grandparent->GetDirtyMask(), uint32_t(SceneNode::Dirty_Position));
    EXPECT_EQ(leaf->GetWorldRect(), (Rect<float>{101, 11, 4, 4}));
    EXPECT_EQ(grandparent->GetDirtyMask(), 0u);
    EXPECT_EQ(leaf->GetDepth(), 4.0f);
    EXPECT_EQ(last->GetDepth(), 5.0f);

    // A root catches up only in the frame's refresh.
    root->SetX(1000);
    EXPECT_EQ(leaf->GetWorldRect().x, 101);
    root->RefreshTree();
    EXPECT_EQ(leaf->GetWorldRect().x, 1101);
}

TEST_F(SceneNodes, TheRefreshRenumbersWhenNodesComeAndGoBeforeACleanSubtree)
{
    SceneNode* root = Node(nullptr, 0, 0, 0, 0);
    SceneNode* a = Node(root, 0, 0, 0, 0);
    SceneNode* b = Node(root, 0, 0, 0, 0);
    SceneNode* b1 = Node(b, 0, 0, 0, 0);
    root->RegisterTree(database);
    root->RefreshTree();
    EXPECT_EQ(b1->GetDepth(), 3.0f);

    SceneNode* a1 = Node(a, 0, 0, 0, 0);
    database.AddObject(a1);
    root->RefreshTree();
    EXPECT_EQ(a1->GetDepth(), 2.0f);
    EXPECT_EQ(b->GetDepth(), 3.0f);
    EXPECT_EQ(b1->GetDepth(), 4.0f);

    database.RemoveObject(a->GetHandle());
    root->RefreshTree();
    EXPECT_EQ(b->GetDepth(), 1.0f);
    EXPECT_EQ(b1->GetDepth(), 2.0f);
    database.Update(0.0f);
}

TEST_F(SceneNodes, PathsStepByIndexOrNameWithoutRegardToCase)
{
    SceneNode* root = Node(nullptr, 0, 0, 0, 0);
    SceneNode* a = Node(root, 0, 0, 0, 0, "a");
    Node(a, 0, 0, 0, 0);
    Node(a, 0, 0, 0, 0, "second");
    SceneNode* third = Node(a, 0, 0, 0, 0, "Third");
    root->RegisterTree(database);

    const SceneNode::PathElement path[] = {"a", 2, SceneNode::EndOfPath};
    EXPECT_EQ(root->FindNode(path), third);
    EXPECT_EQ(root->FindNode({"A", 2}), third);
    EXPECT_EQ(root->FindNode({std::string("a"), L"THIRD"}), third);
    EXPECT_EQ(root->FindNode({std::wstring(L"a"), MakeName("third")}), third);
    EXPECT_EQ(root->FindNode({0, -1}), nullptr);
    EXPECT_EQ(root->FindNode({0, 3}), nullptr);
    EXPECT_EQ(root->FindNode({"a", "missing"}), nullptr);
    EXPECT_EQ(root->FindNode({"a", "third", 0}), nullptr);
    const SceneNode::PathElement empty[] = {SceneNode::EndOfPath};
    EXPECT_EQ(root->FindNode(empty), root);
    EXPECT_EQ(SceneNode::FindNode(nullptr, path), nullptr);
    // A wide name keeps only the low byte of each character: U+0161 is 'a' (0x61).
    EXPECT_EQ(root->FindNode({std::wstring(L"\u0161")}), a);

    // A path held as text: its first names can be left out, all of them giving the start.
    const ScenePath text("A/third");
    EXPECT_EQ(SceneNode::FindNode(root, text), third);
    EXPECT_EQ(SceneNode::FindNode(a, text, 1), third);
    EXPECT_EQ(SceneNode::FindNode(third, text, 5), third);
    EXPECT_EQ(SceneNode::FindNode(root, ScenePath("")), root);
    EXPECT_EQ(SceneNode::FindNode(root, ScenePath("a/missing/third")), nullptr);
    EXPECT_EQ(SceneNode::FindNode(nullptr, text), nullptr);
}

TEST_F(SceneNodes, TheFirstOfTwoSameNamedSiblingsKeepsTheName)
{
    Notes notes;
    SceneNode* root = Node(nullptr, 0, 0, 0, 0);
    SceneNode* first = Node(root, 0, 0, 0, 0, "twin");
    SceneNode* second = Node(root, 0, 0, 0, 0, "twin");
    root->RegisterTree(database);
    EXPECT_EQ(root->FindNode({"twin"}), first);

    // Removing the later twin leaves the first findable.
    database.RemoveObject(second->GetHandle());
    EXPECT_EQ(root->FindNode({"twin"}), first);
    EXPECT_EQ(root->GetChildCount(), 1u);
    database.RemoveObject(first->GetHandle());
    EXPECT_EQ(root->FindNode({"twin"}), nullptr);
    database.Update(0.0f);

    // Renaming on the way to another parent.
    SceneNode* other = Node(root, 0, 0, 0, 0);
    SceneNode* moved = Node(root, 0, 0, 0, 0, "old");
    database.AddObject(other);
    database.AddObject(moved);
    moved->AttachToParent(other, MakeName("new"));
    EXPECT_EQ(root->FindNode({"old"}), nullptr);
    EXPECT_EQ(other->FindNode({"NEW"}), moved);
    // Nor can a node go under its own subtree.
    other->SetParent(moved);
    EXPECT_EQ(other->GetParent(), root);
}

TEST_F(SceneNodes, HitSearchTakesTheTopmostVisibleHitTestableNode)
{
    SceneNode* root = Node(nullptr, 0, 0, 800, 600);
    SceneNode* group = Node(root, 10, 10, 100, 100); // not hit-testable itself
    SceneNode* under = Node(group, 0, 0, 50, 50);
    SceneNode* over = Node(group, 25, 25, 50, 50);
    SceneNode* hidden = Node(group, 60, 60, 30, 30);
    SceneNode* hiddenChild = Node(hidden, 0, 0, 30, 30);
    for (SceneNode* n : {under, over, hidden, hiddenChild})
        n->SetHitTest(true);
    hidden->SetVisible(false);
    root->RegisterTree(database);
    root->RefreshTree();

    struct Case
    {
        float x, y;
        SceneNode* hit;
    };
    const Case cases[] = {
        {10, 10, under},       // left and top edges are inside
        {34.9f, 59.9f, under}, //
        {60, 60, over},        // the later sibling is on top
        {35, 35, over},        //
        {84.9f, 84.9f, over},  //
        {85, 40, nullptr},     // right edge of over is outside; the group is not hit-testable
        {40, 85, nullptr},     // bottom edge
        {80, 80, over},        // hidden and its child do not count
        {95, 95, nullptr},     //
    };
    for (const Case& c : cases)
        EXPECT_EQ(root->FindNodeAt({c.x, c.y}), c.hit) << c.x << "," << c.y;

    group->SetHitTest(true);
    EXPECT_EQ(root->FindNodeAt({95, 95}), group);
    EXPECT_EQ(root->GetSubtreeBounds(), (Rect<float>{0, 0, 800, 600}));
    EXPECT_EQ(group->GetSubtreeBounds(), (Rect<float>{10, 10, 100, 100}));
    over->SetPosition(80, 90);
    hidden->SetSize(0, 0); // empty: counts for nothing, but its child does
    EXPECT_EQ(group->GetSubtreeBounds(), (Rect<float>{10, 10, 130, 140}));
}

TEST_F(SceneNodes, MouseSignalsCaptureAndHover)
{
    SceneNode* root = Node(nullptr, 0, 0, 800, 600);
    SceneNode* button = Node(root, 100, 100, 50, 20);
    SceneNode* face = Node(button, 0, 0, 50, 20);
    face->SetHitTest(true);
    root->RegisterTree(database);
    root->RefreshTree();

    // No slots: nothing handled, nothing remembered.
    EXPECT_EQ(button->OnMouseMove(110, 110), MessageResult::NotHandled);
    EXPECT_FALSE(button->IsMouseInside());
    EXPECT_EQ(button->OnMouseDown(MouseButton::Left, 110, 110), MessageResult::NotHandled);

    Notes notes;
    auto note = [&notes](const char* what, SceneNode* hit, Vector2<float> p)
    {
        notes.push_back(std::string(what) + (hit ? " hit " : " none ") + std::to_string(int(p.x)) + "," +
                        std::to_string(int(p.y)));
    };
    button->MouseEnter.Connect([&](SceneNode* hit, Vector2<float> p) { note("enter", hit, p); });
    button->MouseLeave.Connect([&](SceneNode* hit, Vector2<float> p) { note("leave", hit, p); });
    button->MouseDown.Connect([&](SceneNode* hit, Vector2<float> p, MouseButton) { note("down", hit, p); });
    button->MouseUp.Connect([&](SceneNode* hit, Vector2<float> p, MouseButton) { note("up", hit, p); });

    for (auto [x, y] : {std::pair{10, 10}, {110, 110}, {120, 115}, {10, 10}, {5, 5}})
        EXPECT_EQ(button->OnMouseMove(x, y), MessageResult::NotHandled); // moves reach others too
    EXPECT_EQ(notes, (Notes{"enter hit 110,110", "leave none 10,10"}));
    notes.clear();

    // A press outside is not the node's; one inside is, and takes the capture only when asked.
    EXPECT_EQ(button->OnMouseDown(MouseButton::Left, 10, 10), MessageResult::NotHandled);
    EXPECT_EQ(button->OnMouseDown(MouseButton::Left, 110, 110), MessageResult::Handled);
    EXPECT_FALSE(button->HasMouseCapture());
    button->SetCaptureOnMouseDown(true);
    EXPECT_EQ(button->OnMouseDown(MouseButton::Left, 110, 110), MessageResult::Handled);
    EXPECT_TRUE(button->HasMouseCapture());
    EXPECT_EQ(database.GetCaptureHandle(), button->GetHandle());
    // The right button is not in the mask: not handled, but the capture still ends.
    EXPECT_EQ(button->OnMouseUp(MouseButton::Right, 110, 110), MessageResult::NotHandled);
    EXPECT_FALSE(button->HasMouseCapture());
    // Released outside: emitted with no hit node, and handled.
    EXPECT_EQ(button->OnMouseUp(MouseButton::Left, 500, 500), MessageResult::Handled);
    EXPECT_EQ(notes, (Notes{"down hit 110,110", "down hit 110,110", "up none 500,500"}));

    button->SetButtons(SceneNode::Button_Left | SceneNode::Button_Right);
    EXPECT_EQ(button->OnMouseDown(MouseButton::Right, 110, 110), MessageResult::Handled);
    EXPECT_EQ(button->OnMouseDown(MouseButton::Middle, 110, 110), MessageResult::NotHandled);

    // Through the database: a hidden node gets no input at all.
    EXPECT_TRUE(database.OnMouseDown(MouseButton::Left, 110, 110));
    button->SetVisible(false);
    EXPECT_FALSE(database.OnMouseDown(MouseButton::Left, 110, 110));

    // A node without a handle never holds the capture, though "none" is the free capture's value.
    SceneNode stray;
    database.SetCaptureHandle(NoObjectHandle);
    EXPECT_FALSE(stray.HasMouseCapture());
}

TEST_F(SceneNodes, RemovalTakesTheSubtreeOutOfItsOwnDatabase)
{
    auto* root = new NotingNode("root", &notes);
    auto* parent = new NotingNode("parent", &notes);
    auto* child = new NotingNode("child", &notes);
    auto* grandchild = new NotingNode("grandchild", &notes);
    auto* sibling = new NotingNode("sibling", &notes);
    parent->SetParent(root);
    child->SetParent(parent);
    grandchild->SetParent(child);
    sibling->SetParent(root);
    root->RegisterTree(database);
    parent->Removed.Connect([&](SceneNode* node) { notes.push_back(node == parent ? "Removed" : "?"); });
    notes.clear();

    // Another screen is current: removal still goes to the database the nodes live in.
    ObjectDatabase other;
    {
        ScopedCurrentObjectDatabase scope(&other);
        database.RemoveObject(parent->GetHandle());
    }
    EXPECT_EQ(notes, (Notes{"parent:Remove", "root:OnChildRemoved(parent)", "parent:OnParentChanged(null)",
                            "child:OnParentChanged(null)", "child:Remove", "grandchild:OnParentChanged(null)",
                            "grandchild:Remove", "grandchild:OnRemoved", "child:OnRemoved",
                            "parent:OnRemoved", "Removed"}));
    EXPECT_EQ(root->GetChildCount(), 1u);
    EXPECT_EQ(root->GetFirstChild(), sibling);
    // The children stay listed under the removed node until it goes.
    EXPECT_EQ(parent->GetFirstChild(), child);
    EXPECT_EQ(child->GetParent(), nullptr);
    for (SceneNode* n : {static_cast<SceneNode*>(parent), static_cast<SceneNode*>(child),
                         static_cast<SceneNode*>(grandchild)})
        EXPECT_FALSE(database.IsValidHandle(n->GetHandle()));
    EXPECT_TRUE(database.IsValidHandle(sibling->GetHandle()));

    notes.clear();
    database.Update(0.0f);
    std::sort(notes.begin(), notes.end());
    EXPECT_EQ(notes, (Notes{"child:deleted", "grandchild:deleted", "parent:deleted"}));
}

TEST_F(SceneNodes, NodesMayRemoveEachOtherDuringUpdatesAndDrawing)
{
    auto* root = new NotingNode("root", &notes);
    auto* a = new NotingNode("a", &notes);
    auto* b = new NotingNode("b", &notes);
    auto* b1 = new NotingNode("b1", &notes);
    auto* c = new NotingNode("c", &notes);
    auto* d = new NotingNode("d", &notes);
    for (SceneNode* n : {static_cast<SceneNode*>(a), static_cast<SceneNode*>(b), static_cast<SceneNode*>(c),
                         static_cast<SceneNode*>(d)})
        n->SetParent(root);
    b1->SetParent(b);
    root->RegisterTree(database);

    // While drawn, a removes itself and its next sibling b: the walk goes on with c and d.
    a->onDraw = [&](const Vector2<float>&)
    {
        database.RemoveObject(a->GetHandle());
        database.RemoveObject(b->GetHandle());
    };
    notes.clear();
    root->DrawTree({0, 0});
    Notes drawn;
    for (const std::string& n : notes)
        if (n.find(":draw") != std::string::npos)
            drawn.push_back(n);
    EXPECT_EQ(drawn, (Notes{"root:draw", "a:draw", "c:draw", "d:draw"}));

    // In the database's update, c's update removes its parent: the whole tree goes, and the
    // database finishes its pass and deletes them all.
    c->onUpdate = [&] { database.RemoveObject(root->GetHandle()); };
    notes.clear();
    database.Update(0.02f);
    std::sort(notes.begin(), notes.end());
    EXPECT_EQ(std::count_if(notes.begin(), notes.end(),
                            [](const std::string& n) { return n.find(":deleted") != std::string::npos; }),
              6);
    for (uint32_t i = 0; i < database.GetTableSize(); ++i)
        EXPECT_NE(database.GetEntryState(i), ObjectDatabase::Live) << i;
}

TEST_F(SceneNodes, AControlIsEnabledFontlessAndHitOnlyWhereOpaque)
{
    class Holed : public ControlNode
    {
    public:
        bool IsOpaqueAt(int x, int y) override { return !(x == 12 && y == 13); }
    };
    SceneNode* root = Node(nullptr, 0, 0, 0, 0);
    database.AddObject(root);
    auto* control = new Holed;
    control->SetParent(root);
    EXPECT_TRUE(control->IsEnabled());
    EXPECT_EQ(control->GetFont(), nullptr);
    EXPECT_EQ(control->GetTextMode(), 0);
    EXPECT_TRUE(control->AcceptsFocus());
    control->SetPosition(10, 10);
    control->SetSize(20, 10);
    database.AddObject(control);

    EXPECT_TRUE(control->HitTestControl({10, 10}));
    EXPECT_TRUE(control->HitTestControl({29.5f, 19.5f}));
    EXPECT_FALSE(control->HitTestControl({30, 15}));       // right edge
    EXPECT_FALSE(control->HitTestControl({15, 20}));       // bottom edge
    EXPECT_FALSE(control->HitTestControl({12.7f, 13.2f})); // truncated onto the hole

    // The database gives a disabled control no input.
    control->MouseDown.Connect([](SceneNode*, Vector2<float>, MouseButton) {});
    control->SetHitTest(true);
    EXPECT_TRUE(database.OnMouseDown(MouseButton::Left, 15, 15));
    control->SetEnabled(false);
    EXPECT_FALSE(database.OnMouseDown(MouseButton::Left, 15, 15));
}
