#pragma once
// The game screen's loose quadtree of collision boxes. Once per step it pairs the boxes that
// overlap and tells the lower-ranked box of each pair; between steps it answers whether a box is
// blocked.
#include "Framework/Object.h"
#include "Game/PlayfieldTypes.h"

#include <array>
#include <cstdint>
#include <memory>
#include <set>
#include <utility>
#include <vector>

class CollisionTreeComponent;

namespace Kestrin
{
class ObjectDatabase;
namespace Graphics
{
class ICanvas;
}
} // namespace Kestrin

struct CollisionQuadTreeNode
{
    // A stored box with its edges, read without touching the component.
    struct Item
    {
        CollisionTreeComponent* component;
        float left, top, right, bottom;
    };

    float centerX = 0.0f;
    float centerY = 0.0f;
    float halfExtent = 0.0f;
    std::vector<Item> items; // in insertion order
    // 0 upper left, 1 upper right, 2 lower left, 3 lower right; null until needed.
    std::array<std::unique_ptr<CollisionQuadTreeNode>, 4> children;
    CollisionQuadTreeNode* parent = nullptr;
    // What the boxes of the subtree cover, as of the start of the last pass's search: tighter
    // than the loose squares, so the search skips subtrees nothing of it can touch.
    Item reach{nullptr, 0, 0, 0, 0};
};

class CollisionQuadTree : public Kestrin::DrawableObject
{
public:
    // A square of side `size` centred on the screen's centre.
    explicit CollisionQuadTree(float size);
    // Tells every component still in it that the tree is gone.
    ~CollisionQuadTree() override;

    // Components register themselves: Add and Insert on arrival, Move after each change of
    // their box, Erase and Remove on leaving.
    void Add(CollisionTreeComponent* component);
    // Also tells the sensors to forget the component.
    void Erase(CollisionTreeComponent* component);
    // Sensors (effect radii) join and leave the list told of every box that goes.
    void AddSensor(CollisionTreeComponent* sensor);
    void RemoveSensor(CollisionTreeComponent* sensor);
    // Into the deepest cell from the root whose loose square holds the box.
    void Insert(CollisionTreeComponent* component);
    // Out of the cell the box was put in (it may have moved since), pruning emptied cells.
    void Remove(CollisionTreeComponent* component);
    // Remove and Insert, or an update in place when the box stays in its cell.
    void Move(CollisionTreeComponent* component);

    // The collision pass.
    void Update(float dt = 0.0f) override;
    // Whether a non-sensor box of the subtree other than the component overlaps it.
    bool IsBlockedAt(const CollisionTreeComponent* component, const CollisionQuadTreeNode* node) const;

    // Above the playfield; outlines the cells in use magenta, the empty ones black.
    float GetDepth() override { return 10000.0f; }
    void Draw() override;
    void DrawNode(Kestrin::Graphics::ICanvas& canvas, const CollisionQuadTreeNode& node) const;

    CollisionQuadTreeNode* GetRoot() const { return m_root.get(); }
    // Registered components, first registered first.
    const std::set<CollisionTreeComponent*,
                   bool (*)(const CollisionTreeComponent*, const CollisionTreeComponent*)>&
    GetComponents() const
    {
        return m_components;
    }
    // The pairs of the last pass, as told: (first, second), second's OnCollision ran with first.
    const std::vector<std::pair<CollisionTreeComponent*, CollisionTreeComponent*>>& GetLastPairs() const
    {
        return m_lastPairs;
    }
    // Keeps the pairs of each pass for GetLastPairs (tests and the benchmark).
    void KeepPairs(bool keep) { m_keepPairs = keep; }

    static bool FitsInSquare(const CollisionTreeComponent& c, float cx, float cy, float s);
    static bool TouchesNode(const CollisionQuadTreeNode& node, const CollisionTreeComponent& c);

private:
    using Pair = std::pair<CollisionTreeComponent*, CollisionTreeComponent*>;
    // A pair found in the pass.
    struct Found
    {
        CollisionTreeComponent* first;
        CollisionTreeComponent* second;
        bool sensor;
    };

    // The pair as c's search orders it: higher priority, then the younger box, then a coin.
    static Found Order(CollisionTreeComponent* c, CollisionTreeComponent* o);
    void CollectPairs(CollisionTreeComponent* c, const CollisionQuadTreeNode::Item& box,
                      const CollisionQuadTreeNode* node);
    bool IsBlockedAt(const CollisionTreeComponent* c, const CollisionQuadTreeNode::Item& box,
                     const CollisionQuadTreeNode* node) const;
    // The cell Insert would choose; null when it does not exist yet.
    CollisionQuadTreeNode* FindHome(const CollisionTreeComponent& c) const;
    void Prune(CollisionQuadTreeNode* node);
    // The box's item out of its cell; a cell that does not hold it is left as it is.
    static void TakeOut(CollisionQuadTreeNode& node, const CollisionTreeComponent* component);
    static const CollisionQuadTreeNode::Item& MeasureReach(CollisionQuadTreeNode& node);
    static int Quadrant(const CollisionQuadTreeNode& node, Vector2f centre);
    static Vector2f ChildCentre(const CollisionQuadTreeNode& node, int quadrant);
    bool IsDead(const CollisionTreeComponent* c) const;

    std::unique_ptr<CollisionQuadTreeNode> m_root;
    // Ordered by registration, so a seeded pass repeats exactly.
    std::set<CollisionTreeComponent*, bool (*)(const CollisionTreeComponent*, const CollisionTreeComponent*)>
        m_components;
    std::vector<CollisionTreeComponent*> m_sensors;
    std::vector<Found> m_pairs;
    std::vector<Pair> m_lastPairs;
    bool m_keepPairs = false;
    // While the pairs are told: components that left meanwhile, whose pairs are skipped.
    bool m_telling = false;
    std::vector<const CollisionTreeComponent*> m_gone;
};

// The collision tree of a screen's database: the game screen sets its tree when it is entered and
// clears it before deleting it. Components find the tree of the current screen here.
void SetCollisionTree(Kestrin::ObjectDatabase* database, CollisionQuadTree* tree);
CollisionQuadTree* FindCollisionTree(Kestrin::ObjectDatabase* database);
// The tree of the current screen, or null.
CollisionQuadTree* FindCollisionTree();
