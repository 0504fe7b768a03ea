#pragma once
// The line the player draws from a trap: segments that follow the pointer, close into loops, spear
// creatures and haul them into the trap.
#include "Framework/Object.h"
#include "Game/HeldObject.h"
#include "Game/PlayfieldTypes.h"

class GremlinHome;

namespace Kestrin::Graphics
{
class ICanvas;
}

class Line : public Kestrin::Object, public HeldObject<Line>, public GremlinTypedObject
{
public:
    Line(float x, float y, GremlinHome* trap, GremlinColorType color, GremlinKind kind);
    ~Line() override;

    void Update(float dt) override;
    void HandleMessage(const Kestrin::Message& message) override;
    float GetDepth() const;
    void Draw(Kestrin::Graphics::ICanvas& canvas);

    // Set by a speared power-up: 1 deep clean, 2 damage (with powerUpDamage); loop scoring reads
    // these, never the line's kind.
    int powerUpEffect = 0;
    int powerUpDamage = 0;
    bool drawing = true;
    bool retracting = false;
};
