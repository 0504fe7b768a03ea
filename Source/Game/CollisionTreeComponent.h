#pragma once
// The collision box of a playfield object, kept in the game screen's quadtree.
#include "Game/PlayfieldTypes.h"

#include <cstdint>

class CollisionQuadTree;
struct CollisionQuadTreeNode;

class CollisionTreeComponent
{
public:
    // Centred on centre; or the box spanned by two points (a line segment's).
    CollisionTreeComponent(Vector2f centre, float width, float height);
    CollisionTreeComponent(Vector2f p, Vector2f q);
    // Leaves the tree it was inserted into.
    virtual ~CollisionTreeComponent();
    CollisionTreeComponent(const CollisionTreeComponent&) = delete;
    CollisionTreeComponent& operator=(const CollisionTreeComponent&) = delete;

    // Moves the box off what blocks it, spiralling out from where it is until the spiral has
    // covered the playfield; with no free spot there the box stays where it was.
    virtual void FindFreeSpot();
    // Box tests, edges included.
    virtual bool Overlaps(const CollisionTreeComponent& other) const;
    virtual bool Contains(Vector2f point) const;
    virtual bool IsOutsidePlayfield() const;
    virtual void OnCollision(CollisionTreeComponent* other) = 0;
    // 0 plain, 1 effect radius, 2 line segment, 4 creature, 6 trap or obstacle: in each pair the
    // lower one's OnCollision runs.
    virtual int GetCollisionPriority() const;
    // True only for effect radii: they see contacts without blocking.
    virtual bool IsSensor() const;
    virtual bool IsBlocked() const;
    virtual void OnCollisionPassStart();
    // A sensor's: the box left the tree, so it must not be kept as a contact.
    virtual void ForgetContact(const CollisionTreeComponent*) {}
    virtual void SyncNodePosition(Vector2f centre) = 0;

    // The three movers: each re-enters the tree.
    void SetPosition(Vector2f centre);
    void SetSize(float width, float height); // keeps the top-left corner

    Vector2f GetCentre() const { return {m_x, m_y}; }
    float GetHalfWidth() const { return m_halfWidth; }
    float GetHalfHeight() const { return m_halfHeight; }

    bool colliding = false;
    int hitCount = 0;
    int age = 0; // frames since the box last moved, up to 20
    bool movable = true;
    // The tree holding the box; the tree clears it when it goes first.
    CollisionQuadTree* tree = nullptr;

    // Registration order: the tree walks its components by it.
    uint64_t GetSerial() const { return m_serial; }

private:
    friend class CollisionQuadTree;

    // Back into the tree at the new box (age 0).
    void Enter();

    uint64_t m_serial;
    // The place in the tree's registration order during a pass.
    uint32_t m_rank = 0;
    bool m_sensor = false;
    bool m_searching = false;
    // The tree's cell holding the box.
    CollisionQuadTreeNode* m_cell = nullptr;
    float m_x = 0.0f;
    float m_y = 0.0f;
    float m_halfWidth = 0.0f;
    float m_halfHeight = 0.0f;
    // The free-spot spiral: the step, the length of the current leg and the steps taken in it.
    float m_stepX = 0.0f;
    float m_stepY = 0.0f;
    int m_legLength = 0;
    int m_legSteps = 0;
};
