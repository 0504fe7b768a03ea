#pragma once
// The line the player draws from a trap: segments that follow the pointer, close into loops, spear
// creatures and haul them into the trap.
#include "Framework/Object.h"
#include "Game/HeldObject.h"
#include "Game/PlayfieldTypes.h"

#include <vector>

class Gremlin;
class GremlinHome;
class LineSegment;

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

    // The pen moved: the head follows it, cut into 20 px segments. Only the head's end moves
    // while a route is pending; nothing happens while a loop waits to be scored.
    void ExtendTo(Vector2f point);
    // The segments' collision answers: the line crossed itself (reporting, other: a segment of
    // this line that is not a neighbour, or the first segment when the head reached the trap),
    // or crossed another line.
    void OnSelfCrossing(LineSegment* reporting, LineSegment* other);
    void OnOtherLineCrossed(Line* other);
    // Ends the head segment at the point and starts the next one there.
    void AddPathPoint(Vector2f point);
    // A speared creature joins the line's list.
    void AttachGremlin(Gremlin* creature);
    bool IsInsideLoop(Vector2f point) const;

    GremlinHome* trap = nullptr;
    LineSegment* headSegment = nullptr;  // the newest, at the pen
    LineSegment* firstSegment = nullptr; // at the trap
    // The head ran into something that blocks lines: routing runs on the next update.
    bool routePending = false;

    // Set by a speared power-up: 1 deep clean, 2 damage (with powerUpDamage); loop scoring reads
    // these, never the line's kind.
    int powerUpEffect = 0;
    int powerUpDamage = 0;
    bool drawing = true;
    bool retracting = false;
    // Let go of by the player; it winds back.
    bool released = false;
    // The creatures speared on it; each leaves the list when it leaves the line.
    std::vector<Gremlin*> attached;
    // The most creatures it has held at once: the factory counts them as no longer wandering.
    int mostHeld = 0;
    // A power-up ended the line's loop at once.
    bool loopScored = false;
    // 0 until it spears; then only creatures of that meta type.
    int spearState = 0;
};
