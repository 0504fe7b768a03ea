#pragma once
// The creatures ("Tics"): the base every kind shares, and the king with its health.
#include "Game/CreatureSettings.h"
#include "Game/GameObject.h"

class Line;
class LineSegment;

class Gremlin : public GameObject, public HeldObject<Gremlin>, public GremlinTypedObject
{
public:
    // x, y: the top-left corner of the creature's 80 x 80 box.
    Gremlin(const TypeSettings& settings, float x, float y);
    ~Gremlin() override;

    Kestrin::NameId GetRole() const override;
    int GetCollisionPriority() const override;

    // Stands on the segment: clears the old one's occupied flag, sets the new one's and follows
    // the new one's end.
    void SetSegment(LineSegment* segment);
    // True for every creature but a king without health.
    virtual bool HasHealth() const;
    virtual void OnFreezeEnded();

    GremlinMetaType metaType = GremlinMetaType::Normal;
    TypeSettings settings;
    Line* line = nullptr; // the line it is speared on
};

class GremlinKing : public Gremlin, public HeldObject<GremlinKing>
{
public:
    GremlinKing(float x, float y, const TypeSettings& settings);
    ~GremlinKing() override;

    bool HasHealth() const override;
    // A bomb's damage counts differently from a loop's.
    void TakeDamage(int amount, bool byBomb);

    int health = 0;
};
