#pragma once
// The line the player draws from a trap: segments that follow the pointer, close into loops, spear
// creatures and haul them into the trap.
#include "Base/Geometry.h"
#include "Framework/Object.h"
#include "Game/HeldObject.h"
#include "Game/PlayfieldTypes.h"

#include <array>
#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

class Gremlin;
class GremlinHome;
class LineLayerNode;
class LineSegment;

namespace Kestrin
{
class Image;
}
namespace Kestrin::Graphics
{
class ICanvas;
class IEllipseDrawingCanvas;
class IQuadDrawingCanvas;
struct DrawState;
} // namespace Kestrin::Graphics

class Line : public Kestrin::Object, public HeldObject<Line>, public GremlinTypedObject
{
public:
    // The longest a segment grows before the next one starts.
    static constexpr float segmentStep = 20.0f;
    // The tint of each colour's line, red to "Any".
    static const std::array<Kestrin::ColorF, 7> lineColorTable;
    // The game screen's debug view: plain lines with their end points instead of ribbons.
    static bool debugDraw;

    // Starts on the trap's box (the point is clamped into it) with one segment of length 0, and
    // registers in the playfield's line layer.
    Line(float x, float y, GremlinHome* trap, GremlinColorType color, GremlinKind kind);
    // Deletes the segments left; leaves the layer and the trap's list.
    ~Line() override;

    void Update(float dt) override;
    // "Remove": out of the line layer and the trap's list, and no longer the level's current line.
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
    // The point lies inside the closed loop (winding rule); false without a loop.
    bool IsInsideLoop(Vector2f point) const;
    // Bends the head around what blocks it on the way to the point, or gives the line up.
    void RouteTo(Vector2f point);

    GremlinHome* trap = nullptr;
    LineSegment* headSegment = nullptr;  // the newest, at the pen
    LineSegment* previousHead = nullptr; // the head before it
    LineSegment* firstSegment = nullptr; // at the trap
    // The older and the newer segment of the crossing that closed the loop.
    LineSegment* loopStart = nullptr;
    LineSegment* loopEnd = nullptr;
    // Every segment, newest first.
    std::deque<std::unique_ptr<LineSegment>> segments;
    // The layer that draws the line; it clears this when it goes first.
    LineLayerNode* layer = nullptr;
    // The head ran into something that blocks lines: routing runs on the next update.
    bool routePending = false;

    // Set by a speared power-up: damage comes with powerUpDamage. Loop scoring reads these, never
    // the line's kind.
    enum class PowerUpEffect : int32_t
    {
        None,
        DeepClean,
        Damage,
    };
    PowerUpEffect powerUpEffect = PowerUpEffect::None;
    int powerUpDamage = 0;
    // Still held by the player.
    bool drawing = true;
    // Winding back into the trap, a segment per update.
    bool retracting = false;
    // A loop closed and waits for the next update to be scored.
    bool closed = false;
    // Set by the level when a loop of the line scored.
    bool loopScored = false;
    // The creatures speared on it, in spear order; each leaves the list when it leaves the line.
    std::vector<Gremlin*> attached;
    // The most creatures it has held at once: the factory counts them as no longer wandering.
    int mostHeld = 0;
    // Only rises.
    float followSpeed = 0.0f;
    // Any until it spears; then only creatures of that meta type.
    GremlinMetaType spearState = GremlinMetaType::Any;
    // The sparkles' frame, 0 to 4, stepping down every 0.1 s.
    int spriteFrame = 0;
    float frameTimer = 0.0f;

private:
    // Deletes the head (the front of the queue) and clears every pointer to it.
    void DeleteHead();
    // Out of the database (or, outside one, out of the layer and the trap's list).
    void RemoveSelf();
    void Unlink();
    // Splits an over-long head into full steps; the animation only for the pen.
    void SplitHead(Vector2f point, bool byPen);
    void UpdateFollowSpeed();
    // Ends every attached creature's walk and hands the closed loop to the level.
    void ScoreLoop();
    // While drawn, the pen's yarn ball shrinks from 15 px to nothing as the line nears its limit.
    void DrawYarnBall(Kestrin::Graphics::IQuadDrawingCanvas* quad,
                      Kestrin::Graphics::IEllipseDrawingCanvas* ellipses,
                      const Kestrin::Graphics::DrawState& state);

    bool m_removing = false;
    // The yarn ball at the pen, cut to its radius; made again only when the radius or the image
    // changes, not every frame.
    std::unique_ptr<Kestrin::Image> m_ball;
    const Kestrin::Image* m_ballSource = nullptr;
    float m_ballRadius = -1.0f;
};
