#include "Game/CollisionQuadTree.h"

#include "Base/Random.h"
#include "Framework/ObjectDatabase.h"
#include "Game/CollisionTreeComponent.h"
#include "Graphics/Canvas.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <limits>
#include <map>

namespace
{
bool BySerial(const CollisionTreeComponent* a, const CollisionTreeComponent* b)
{
    return a->GetSerial() < b->GetSerial();
}

// A box's edges as the tree files them; pairs are only asked for when these meet, edges included.
CollisionQuadTreeNode::Item ItemOf(CollisionTreeComponent* c)
{
    Vector2f p = c->GetCentre();
    return {c, p.x - c->GetHalfWidth(), p.y - c->GetHalfHeight(), p.x + c->GetHalfWidth(),
            p.y + c->GetHalfHeight()};
}

bool ReachesPastPlayfield(const CollisionTreeComponent& c)
{
    Vector2f p = c.GetCentre();
    return p.x + c.GetHalfWidth() > PlayfieldRight || p.x - c.GetHalfWidth() < PlayfieldLeft ||
           p.y + c.GetHalfHeight() > PlayfieldBottom || p.y - c.GetHalfHeight() < PlayfieldTop;
}

void MarkColliding(CollisionTreeComponent* c)
{
    c->colliding = true;
    ++c->hitCount;
}

constexpr int AgeCap = 20;

std::map<Kestrin::ObjectDatabase*, CollisionQuadTree*>& Trees()
{
    static std::map<Kestrin::ObjectDatabase*, CollisionQuadTree*> trees;
    return trees;
}
} // namespace

CollisionQuadTree::CollisionQuadTree(float size)
    : m_root(std::make_unique<CollisionQuadTreeNode>()), m_components(&BySerial)
{
    m_root->centerX = ScreenCentre.x;
    m_root->centerY = ScreenCentre.y;
    m_root->halfExtent = size / 2;
}

CollisionQuadTree::~CollisionQuadTree()
{
    for (CollisionTreeComponent* c : m_components)
        c->tree = nullptr;
    m_root.reset();
    auto& trees = Trees();
    for (auto it = trees.begin(); it != trees.end();)
        it = it->second == this ? trees.erase(it) : std::next(it);
}

void CollisionQuadTree::Add(CollisionTreeComponent* component)
{
    m_components.insert(component);
}

void CollisionQuadTree::Erase(CollisionTreeComponent* component)
{
    if (m_components.erase(component) && m_telling)
        m_gone.push_back(component);
    for (CollisionTreeComponent* sensor : m_sensors)
        sensor->ForgetContact(component);
}

void CollisionQuadTree::AddSensor(CollisionTreeComponent* sensor)
{
    m_sensors.push_back(sensor);
}

void CollisionQuadTree::RemoveSensor(CollisionTreeComponent* sensor)
{
    m_sensors.erase(std::remove(m_sensors.begin(), m_sensors.end(), sensor), m_sensors.end());
}

bool CollisionQuadTree::IsDead(const CollisionTreeComponent* c) const
{
    return std::find(m_gone.begin(), m_gone.end(), c) != m_gone.end();
}

int CollisionQuadTree::Quadrant(const CollisionQuadTreeNode& node, Vector2f centre)
{
    bool right = centre.x - node.centerX > 0;
    bool lower = centre.y - node.centerY > 0;
    return (lower ? 2 : 0) + (right ? 1 : 0);
}

Vector2f CollisionQuadTree::ChildCentre(const CollisionQuadTreeNode& node, int quadrant)
{
    float offset = node.halfExtent / 2;
    return {node.centerX + (quadrant & 1 ? offset : -offset),
            node.centerY + (quadrant & 2 ? offset : -offset)};
}

bool CollisionQuadTree::FitsInSquare(const CollisionTreeComponent& c, float cx, float cy, float s)
{
    if (s < 1)
        return false;
    Vector2f p = c.GetCentre();
    return cx - s <= p.x - c.GetHalfWidth() && p.x + c.GetHalfWidth() <= cx + s &&
           cy - s <= p.y - c.GetHalfHeight() && p.y + c.GetHalfHeight() <= cy + s;
}

bool CollisionQuadTree::TouchesNode(const CollisionQuadTreeNode& node, const CollisionTreeComponent& c)
{
    float loose = 2 * node.halfExtent;
    Vector2f p = c.GetCentre();
    return std::abs(p.x - node.centerX) <= loose + c.GetHalfWidth() &&
           std::abs(p.y - node.centerY) <= loose + c.GetHalfHeight();
}

void CollisionQuadTree::Insert(CollisionTreeComponent* component)
{
    CollisionQuadTreeNode* node = m_root.get();
    for (;;)
    {
        int q = Quadrant(*node, component->GetCentre());
        Vector2f cc = ChildCentre(*node, q);
        float s = node->halfExtent;
        if (!FitsInSquare(*component, cc.x, cc.y, s))
            break;
        if (!node->children[q])
        {
            auto child = std::make_unique<CollisionQuadTreeNode>();
            child->centerX = cc.x;
            child->centerY = cc.y;
            child->halfExtent = s / 2;
            child->parent = node;
            node->children[q] = std::move(child);
        }
        node = node->children[q].get();
    }
    node->items.push_back(ItemOf(component));
    component->m_cell = node;
}

CollisionQuadTreeNode* CollisionQuadTree::FindHome(const CollisionTreeComponent& c) const
{
    CollisionQuadTreeNode* node = m_root.get();
    for (;;)
    {
        int q = Quadrant(*node, c.GetCentre());
        Vector2f cc = ChildCentre(*node, q);
        if (!FitsInSquare(c, cc.x, cc.y, node->halfExtent))
            return node;
        if (!node->children[q])
            return nullptr;
        node = node->children[q].get();
    }
}

void CollisionQuadTree::TakeOut(CollisionQuadTreeNode& node, const CollisionTreeComponent* component)
{
    auto& items = node.items;
    auto it = std::find_if(items.begin(), items.end(),
                           [component](const auto& item) { return item.component == component; });
    assert(it != items.end() && "a box left a cell it was not in");
    if (it != items.end())
        items.erase(it);
}

void CollisionQuadTree::Remove(CollisionTreeComponent* component)
{
    CollisionQuadTreeNode* node = component->m_cell;
    if (!node)
        return;
    TakeOut(*node, component);
    component->m_cell = nullptr;
    Prune(node);
}

void CollisionQuadTree::Prune(CollisionQuadTreeNode* node)
{
    while (node != m_root.get() && node->items.empty() &&
           std::all_of(node->children.begin(), node->children.end(), [](const auto& c) { return !c; }))
    {
        CollisionQuadTreeNode* parent = node->parent;
        for (auto& slot : parent->children)
            if (slot.get() == node)
                slot.reset();
        node = parent;
    }
}

void CollisionQuadTree::Move(CollisionTreeComponent* component)
{
    CollisionQuadTreeNode* old = component->m_cell;
    if (old && FindHome(*component) == old)
    {
        for (auto& item : old->items)
            if (item.component == component)
                item = ItemOf(component);
        return;
    }
    if (old)
    {
        // Pruned only after the insert, so the cells both chains share are not deleted and made
        // again.
        TakeOut(*old, component);
        component->m_cell = nullptr;
        Insert(component);
        Prune(old);
    }
    else
        Insert(component);
}

CollisionQuadTree::Found CollisionQuadTree::Order(CollisionTreeComponent* c, CollisionTreeComponent* o)
{
    int pc = c->GetCollisionPriority(), po = o->GetCollisionPriority();
    bool cFirst;
    if (pc != po)
        cFirst = pc > po;
    else if (c->age != o->age)
        cFirst = c->age < o->age;
    else
        cFirst = int(Kestrin::RandomFloatOrZero() * 2) == 0;
    return {cFirst ? c : o, cFirst ? o : c, c->m_sensor || o->m_sensor};
}

void CollisionQuadTree::CollectPairs(CollisionTreeComponent* c, const CollisionQuadTreeNode::Item& box,
                                     const CollisionQuadTreeNode* node)
{
    // Within the node's loose square: the reach of what it holds.
    const CollisionQuadTreeNode::Item& reach = node->reach;
    if (box.right < reach.left || box.left > reach.right || box.bottom < reach.top || box.top > reach.bottom)
        return;
    for (const CollisionQuadTreeNode::Item& item : node->items)
    {
        CollisionTreeComponent* o = item.component;
        // Two searching boxes meet once, in the earlier one's search, which orders the pair as
        // each of their searches would.
        if (o == c || (o->m_searching && o->m_rank < c->m_rank) || box.right < item.left ||
            box.left > item.right || box.bottom < item.top || box.top > item.bottom || !c->Overlaps(*o) ||
            !o->Overlaps(*c))
            continue;
        Found found = Order(c, o);
        m_pairs.push_back(found);
        if (o->m_searching && Order(o, c).first != found.first)
            m_pairs.push_back({found.second, found.first, found.sensor});
    }
    for (const auto& child : node->children)
        if (child)
            CollectPairs(c, box, child.get());
}

void CollisionQuadTree::Update(float)
{
    uint32_t rank = 0;
    for (CollisionTreeComponent* c : m_components)
    {
        c->m_rank = rank++;
        c->m_sensor = c->IsSensor();
        c->m_searching = c->age == 0 || c->m_sensor;
        c->colliding = false;
        c->OnCollisionPassStart();
    }
    MeasureReach(*m_root);
    for (CollisionTreeComponent* c : m_components)
        if (c->m_searching)
            CollectPairs(c, ItemOf(c), m_root.get());
    for (CollisionTreeComponent* c : m_components)
    {
        if (c->age < AgeCap)
            ++c->age;
        if (ReachesPastPlayfield(*c))
            MarkColliding(c);
    }

    // Pairs are told as found (searchers in registration order, each down its walk of the tree),
    // so a seeded pass repeats exactly. A handler may delete a component: its pairs still to
    // tell are skipped.
    m_telling = true;
    m_gone.clear();
    auto alive = [this](const Found& p) { return m_gone.empty() || (!IsDead(p.first) && !IsDead(p.second)); };
    for (const Found& p : m_pairs)
        if (p.sensor && alive(p))
            p.second->OnCollision(p.first);
    for (const Found& p : m_pairs)
    {
        if (p.sensor || !alive(p))
            continue;
        if (!p.second->movable)
            MarkColliding(p.first);
        if (!p.first->movable)
            MarkColliding(p.second);
        p.second->OnCollision(p.first);
    }
    m_telling = false;
    m_gone.clear();
    if (m_keepPairs)
    {
        m_lastPairs.clear();
        for (const Found& p : m_pairs)
            m_lastPairs.emplace_back(p.first, p.second);
    }
    m_pairs.clear();
}

const CollisionQuadTreeNode::Item& CollisionQuadTree::MeasureReach(CollisionQuadTreeNode& node)
{
    constexpr float none = std::numeric_limits<float>::infinity();
    CollisionQuadTreeNode::Item reach{nullptr, none, none, -none, -none};
    auto grow = [&reach](const CollisionQuadTreeNode::Item& r)
    {
        reach.left = std::min(reach.left, r.left);
        reach.top = std::min(reach.top, r.top);
        reach.right = std::max(reach.right, r.right);
        reach.bottom = std::max(reach.bottom, r.bottom);
    };
    for (const auto& item : node.items)
        grow(item);
    for (const auto& child : node.children)
        if (child)
            grow(MeasureReach(*child));
    node.reach = reach;
    return node.reach;
}

bool CollisionQuadTree::IsBlockedAt(const CollisionTreeComponent* c, const CollisionQuadTreeNode* node) const
{
    return IsBlockedAt(c, ItemOf(const_cast<CollisionTreeComponent*>(c)), node);
}

bool CollisionQuadTree::IsBlockedAt(const CollisionTreeComponent* c, const CollisionQuadTreeNode::Item& box,
                                    const CollisionQuadTreeNode* node) const
{
    if (!TouchesNode(*node, *c))
        return false;
    for (const CollisionQuadTreeNode::Item& item : node->items)
    {
        const CollisionTreeComponent* o = item.component;
        if (o == c || box.right < item.left || box.left > item.right || box.bottom < item.top ||
            box.top > item.bottom || o->IsSensor())
            continue;
        if (c->Overlaps(*o) || o->Overlaps(*c))
            return true;
    }
    for (const auto& child : node->children)
        if (child && IsBlockedAt(c, box, child.get()))
            return true;
    return false;
}

void CollisionQuadTree::Draw()
{
    if (Kestrin::Graphics::ICanvas* canvas = Kestrin::Graphics::GetCurrentCanvas())
        DrawNode(*canvas, *m_root);
}

void CollisionQuadTree::DrawNode(Kestrin::Graphics::ICanvas& canvas, const CollisionQuadTreeNode& node) const
{
    static const Kestrin::ColorF used(1, 0, 1, 1), empty(0, 0, 0, 1);
    for (const auto& child : node.children)
    {
        if (!child)
            continue;
        float h = child->halfExtent;
        Kestrin::Rect<int> cell(int(child->centerX - h), int(child->centerY - h), int(2 * h), int(2 * h));
        Kestrin::Graphics::DrawRectOutline(&canvas, cell, child->items.empty() ? empty : used);
        DrawNode(canvas, *child);
    }
}

void SetCollisionTree(Kestrin::ObjectDatabase* database, CollisionQuadTree* tree)
{
    if (tree)
        Trees()[database] = tree;
    else
        Trees().erase(database);
}

CollisionQuadTree* FindCollisionTree(Kestrin::ObjectDatabase* database)
{
    auto& trees = Trees();
    auto it = trees.find(database);
    return it == trees.end() ? nullptr : it->second;
}

CollisionQuadTree* FindCollisionTree()
{
    Kestrin::ObjectDatabase* database = Kestrin::GetCurrentObjectDatabase();
    return database ? FindCollisionTree(database) : nullptr;
}
