#include "Game/Line.h"

#include "Base/Log.h"
#include "Framework/Audio.h"
#include "Framework/ObjectDatabase.h"
#include "Framework/ResourceManager.h"
#include "Game/CollisionQuadTree.h"
#include "Game/GlobalSettings.h"
#include "Game/Gremlin.h"
#include "Game/GremlinHome.h"
#include "Game/LayerNodes.h"
#include "Game/LevelServices.h"
#include "Game/LineSegment.h"
#include "Game/PlayfieldGraph.h"
#include "Game/TutorialBubble.h"
#include "Game/TutorialManager.h"
#include "Graphics/GraphicsResources.h"
#include "Graphics/ImageList.h"
#include "Scene/AnimatedSpriteNode.h"

#include <algorithm>
#include <cmath>

namespace
{
constexpr float FrameTime = 0.1f;
constexpr int SparkleFrames = 5;
constexpr int ShadowFrame = 5;
constexpr int RetractingFrame = 6;
constexpr float SparkleOffset = 10.0f;
constexpr float YarnBallRadius = 15.0f;
constexpr float DebugPointRadius = 2.0f;
constexpr float RibbonHalfWidth = 2.0f;
constexpr float StampStep = 2.0f;
constexpr float RouteLimitFactor = 1.5f;

const Kestrin::ConstantName LineImages{"LineImages"};
const Kestrin::ConstantName LineSparkleImages{"LineSparkleImages"};
const Kestrin::ConstantName YarnBallImage{"YarnBallImage"};
const Kestrin::ConstantName LineSpearSound{"SFX_LineSpear"};
const Kestrin::ConstantName Extract{"extract"};

// A frame's own image; null when the list is missing, too short or not made of separate images.
Kestrin::IImage* FrameImage(Kestrin::IImageList* list, int frame)
{
    auto* images = dynamic_cast<Kestrin::ImageList*>(list);
    return images ? images->GetImageAt(frame) : nullptr;
}

// What a line is drawn with: the draw state in its tint, its strips and sparkles, and the canvas's
// quad drawing (null on a canvas without it).
struct LinePen
{
    Kestrin::Graphics::ICanvas& canvas;
    Kestrin::Graphics::DrawState state;
    Kestrin::ColorF tint;
    Kestrin::IImageList* strips;
    Kestrin::IImageList* sparkles;
    Kestrin::Graphics::IQuadDrawingCanvas* quad;
};

// The segment's ribbon (first 0) or its shadow (first 6) with that frame of the strips.
void DrawStrip(const LinePen& pen, const LineSegment& segment, int first, int frame)
{
    using namespace Kestrin;
    using namespace Kestrin::Graphics;
    std::array<PolygonVertex, 6> vertices;
    for (int i = 0; i < 6; ++i)
    {
        vertices[size_t(i)] = segment.vertices[size_t(first + i)];
        vertices[size_t(i)].color = pen.tint;
    }
    IImage* image = FrameImage(pen.strips, frame);
    if (!pen.quad ||
        pen.quad->DrawTexturedPolygon(image, 0, 6, vertices.data(), pen.state) != Draw_Unsupported)
        return;
    // The software canvases draw no polygons: the ribbon is stamped in the tint instead.
    if (first != 0)
        return;
    const Vector2f d = segment.end - segment.start;
    const int stamps = int(segment.length / StampStep) + 1;
    for (int i = 0; i < stamps; ++i)
    {
        const Vector2f at = segment.start + d * (stamps > 1 ? float(i) / float(stamps - 1) : 0.0f);
        pen.quad->DrawFilledRect(Rect<float>{at.x - RibbonHalfWidth, at.y - RibbonHalfWidth,
                                             2 * RibbonHalfWidth, 2 * RibbonHalfWidth},
                                 pen.state);
    }
}

using Segments = std::deque<std::unique_ptr<LineSegment>>;

// Oldest first (the queue holds the newest at the front): the shadows, then the ribbon in that
// frame, with sparkles running down it from sparkleFrame.
void DrawRibbon(const LinePen& pen, const Segments& segments, int frame, bool sparkling, int sparkleFrame)
{
    for (auto it = segments.rbegin(); it != segments.rend(); ++it)
        DrawStrip(pen, **it, 6, ShadowFrame);
    int i = 0;
    for (auto it = segments.rbegin(); it != segments.rend(); ++it, ++i)
    {
        const LineSegment& s = **it;
        DrawStrip(pen, s, 0, frame);
        if (sparkling)
            DrawImageListFrame(pen.sparkles,
                               ((i % SparkleFrames) - sparkleFrame + SparkleFrames) % SparkleFrames,
                               s.start.x - SparkleOffset, s.start.y - SparkleOffset, &pen.canvas, pen.state);
    }
}

// The debug view: every segment a plain line with a small circle at both ends.
void DrawOutlines(const LinePen& pen, const Segments& segments, Kestrin::Graphics::ILineDrawingCanvas* lines,
                  Kestrin::Graphics::IEllipseDrawingCanvas* ellipses)
{
    for (auto it = segments.rbegin(); it != segments.rend(); ++it)
    {
        const LineSegment& s = **it;
        if (lines)
            lines->DrawLine(s.start.x, s.start.y, s.end.x, s.end.y, pen.state);
        if (ellipses)
        {
            ellipses->DrawLineCircle(s.start.x, s.start.y, DebugPointRadius, pen.state);
            ellipses->DrawLineCircle(s.end.x, s.end.y, DebugPointRadius, pen.state);
        }
    }
}
} // namespace

const std::array<Kestrin::ColorF, 7> Line::lineColorTable = {{
    {1.0f, 0.0f, 0.0f, 1.0f},
    {0.03f, 0.72f, 0.26f, 1.0f},
    {0.0f, 0.47f, 0.82f, 1.0f},
    {1.0f, 0.72f, 0.0f, 1.0f},
    {0.5f, 0.1f, 0.6f, 1.0f},
    {1.0f, 1.0f, 1.0f, 1.0f},
    {1.0f, 1.0f, 1.0f, 1.0f},
}};

bool Line::debugDraw = false;

Line::Line(float x, float y, GremlinHome* trap_, GremlinColorType color_, GremlinKind kind_) : trap(trap_)
{
    color = color_;
    kind = kind_;
    Vector2f start(x, y);
    if (trap)
    {
        const Vector2f c = trap->GetCentre();
        const float hw = trap->GetHalfWidth(), hh = trap->GetHalfHeight();
        start = {Clamp(x, c.x - hw, c.x + hw), Clamp(y, c.y - hh, c.y + hh)};
    }
    // Listed in its trap from the start, so that a trap that goes first can always let it know.
    if (trap)
        trap->lines.push_back(this);
    segments.push_front(std::make_unique<LineSegment>(start, start, this, nullptr));
    headSegment = previousHead = firstSegment = segments.front().get();
    if (LineLayerNode* found = FindLineLayerNode())
        found->Register(this);
    else
    {
        static Kestrin::LogOnce noLayer;
        noLayer.Printf("",
                       "No line layer at gamemoderoot/playfield/LineAttachLayerNode: lines are not drawn.\n");
    }
}

Line::~Line()
{
    Unlink();
    while (!segments.empty())
        DeleteHead();
}

void Line::HandleMessage(const Kestrin::Message& message)
{
    if (message.name != Kestrin::Names::Remove)
        return;
    Unlink();
    // The level's current line goes with it. Only here: when the whole screen goes, no message
    // comes and the level may be gone first.
    if (LevelServices* level = FindLevel(GetDatabase()); level && level->currentLine == this)
    {
        level->currentLine = nullptr;
        level->drawing = false;
    }
}

void Line::Unlink()
{
    if (layer)
        layer->Unregister(this);
    // Off its list the trap no longer clears the pointer when it goes first.
    if (trap)
        trap->lines.erase(std::remove(trap->lines.begin(), trap->lines.end(), this), trap->lines.end());
    trap = nullptr;
}

void Line::RemoveSelf()
{
    if (m_removing)
        return;
    m_removing = true;
    if (Kestrin::ObjectDatabase* database = GetDatabase())
        database->RemoveObject(GetHandle());
    else
        Unlink();
}

float Line::GetDepth() const
{
    return LineDepth;
}

void Line::DeleteHead()
{
    if (segments.empty())
        return;
    std::unique_ptr<LineSegment> gone = std::move(segments.front());
    segments.pop_front();
    headSegment = segments.empty() ? nullptr : segments.front().get();
    for (LineSegment** kept : {&previousHead, &firstSegment, &loopStart, &loopEnd})
        if (*kept == gone.get())
            *kept = nullptr;
    // A creature standing on it lets go of the line here.
    gone.reset();
}

void Line::SplitHead(Vector2f point, bool byPen)
{
    while (headSegment && headSegment->length > segmentStep)
    {
        if (byPen && trap)
            if (auto* wind =
                    dynamic_cast<AnimatedSpriteNode*>(FindNodeAtPath(trap->GetNode(), NodePath::TrapWindFX)))
                wind->PlayAnimation(Extract.Get(), true);
        LineSegment* old = headSegment;
        old->CutToStep();
        previousHead = old;
        segments.push_front(std::make_unique<LineSegment>(old->end, point, this, old));
        LineSegment* next = segments.front().get();
        old->next = next;
        headSegment = next;
        // Near what blocks it the line grows a segment per update and catches up later.
        if (byPen && next->tree && next->tree->IsBlockedAt(next, next->tree->GetRoot()))
            break;
    }
}

void Line::ExtendTo(Vector2f point)
{
    if (closed || !headSegment)
        return;
    headSegment->SetEnd(point);
    if (routePending)
        return;
    SplitHead(point, true);
}

void Line::AddPathPoint(Vector2f point)
{
    if (!headSegment)
        return;
    headSegment->SetEnd(point);
    if (closed)
        return;
    SplitHead(point, false);
    LineSegment* old = headSegment;
    previousHead = old;
    segments.push_front(std::make_unique<LineSegment>(old->end, old->end, this, old));
    old->next = segments.front().get();
    headSegment = old->next;
}

void Line::Update(float dt)
{
    frameTimer += dt;
    if (frameTimer > FrameTime)
    {
        spriteFrame = spriteFrame > 0 ? spriteFrame - 1 : SparkleFrames - 1;
        frameTimer = 0.0f;
    }
    LevelServices* level = FindLevel();
    if (retracting)
    {
        DeleteHead();
        if (segments.empty())
            RemoveSelf();
        return;
    }
    if (!drawing)
    {
        if (attached.empty())
            retracting = true;
        // Shortens behind the creatures walking it back: it stops at the one farthest out.
        else if (headSegment && !headSegment->occupied)
            DeleteHead();
        if (segments.empty())
        {
            RemoveSelf();
            return;
        }
    }
    if (!headSegment)
        return;
    if (routePending && drawing)
    {
        const Vector2f to = headSegment->end;
        if (!level || !level->IsBlocked(to.x, to.y))
        {
            RouteTo(to);
            return;
        }
    }
    const float maxLength = GlobalSettings::Instance().maxLength;
    if (!closed && maxLength > 0 && float(segments.size()) > maxLength && level && level->currentLine == this)
    {
        retracting = true;
        const Vector2f at = headSegment->end;
        level->RetractLine();
        level->ShowLoopFeedback(LoopResult::TooLong, at);
    }
    if (closed)
        ScoreLoop();
}

void Line::ScoreLoop()
{
    LevelServices* level = FindLevel();
    for (Gremlin* creature : attached)
    {
        creature->ClearTasks();
        creature->ClearChannel(GameNames::MovementAITask);
    }
    drawing = false;
    if (level)
        level->RetractLine();
    if ((level ? level->EvaluateLoop(this) : LoopVerdict::Failed) == LoopVerdict::Failed)
        retracting = true;
    else
    {
        const int count = int(attached.size());
        const std::vector<Gremlin*> hauled = attached;
        for (Gremlin* creature : hauled)
            creature->StartFollowingLine(count);
    }
    closed = false;
    // What was drawn past the crossing goes.
    while (!segments.empty() && headSegment != loopEnd)
        DeleteHead();
    if (segments.empty())
        RemoveSelf();
}

void Line::RouteTo(Vector2f point)
{
    LevelServices* level = FindLevel();
    if (!level || !headSegment)
    {
        routePending = false;
        return;
    }
    const Vector2f from = headSegment->start;
    level->SetPathGoal(point);
    micropather::PathSolver& solver = level->RouteSolver();
    void* start = level->GetPathState(from);
    void* goal = level->GetPathState(point);
    std::vector<void*>& path = level->routePath;
    // The solver leaves the path as it was when start and goal are one state; the last route's
    // states have been handed to other points since.
    path.clear();
    float cost = 0.0f;
    const int result =
        solver.Solve(start, goal, &path, &cost, GlobalSettings::Instance().wrapMax * RouteLimitFactor);
    if (result == micropather::PathSolver::NoSolution)
    {
        const Vector2f at = headSegment->end;
        if (Line* current = level->currentLine)
        {
            current->retracting = true;
            level->RetractLine();
        }
        level->ShowLoopFeedback(LoopResult::Collision, at);
    }
    else if (result == micropather::PathSolver::Solved)
    {
        // The states stay valid until they are cleared below.
        for (void* state : path)
        {
            const Vector2f p = PlayfieldGraph::PointOf(state);
            if (p != from && p != point)
                AddPathPoint(p);
        }
    }
    level->ClearPathStates();
    routePending = false;
}

void Line::OnSelfCrossing(LineSegment* reporting, LineSegment* other)
{
    if (firstSegment && (reporting == firstSegment || other == firstSegment) && trap)
        TutorialManager::Instance().Show(TutorialId::LoopToTrap, trap->GetCentre());
    // One crossing closes the loop; others before it is scored change nothing.
    if (!drawing || loopEnd || !headSegment)
        return;
    AddPathPoint(headSegment->end);
    for (const std::unique_ptr<LineSegment>& segment : segments)
    {
        if (segment.get() != reporting && segment.get() != other)
            continue;
        loopEnd = segment.get();
        loopStart = loopEnd == reporting ? other : reporting;
        break;
    }
    if (!loopEnd || !loopStart)
    {
        loopEnd = loopStart = nullptr;
        return;
    }
    loopEnd->next = nullptr;
    loopEnd->SetEnd(loopStart->start);
    closed = true;
}

void Line::OnOtherLineCrossed(Line* other)
{
    LevelServices* level = FindLevel();
    if (!other || !other->drawing || !level || !level->currentLine)
        return;
    level->currentLine->retracting = true;
    level->RetractLine();
}

bool Line::IsInsideLoop(Vector2f p) const
{
    if (!loopStart)
        return false;
    int winding = 0;
    for (const LineSegment* s = loopStart; s; s = s->next)
    {
        const Vector2f a = s->start, b = s->end;
        const float side = (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x);
        if (a.y <= p.y && b.y > p.y && side > 0)
            ++winding;
        else if (a.y > p.y && b.y <= p.y && side < 0)
            --winding;
        if (s == loopEnd)
            break;
    }
    return winding != 0;
}

void Line::AttachGremlin(Gremlin* creature)
{
    Kestrin::PlaySoundById(LineSpearSound.Get());
    attached.push_back(creature);
    mostHeld = std::max(mostHeld, int(attached.size()));
    UpdateFollowSpeed();
}

void Line::UpdateFollowSpeed()
{
    if (attached.empty())
        return;
    const GlobalSettings& tuning = GlobalSettings::Instance();
    const float n = float(attached.size());
    const float speed = attached.back()->settings.angryTime >= 0
                            ? n * tuning.PerGremlinUpLineSpeedMultiplier + tuning.BaseFollowUpLineSpeed
                            : n * tuning.PerGremlinSpeedMultiplier + tuning.BaseFollowLineSpeed;
    if (speed <= followSpeed)
        return;
    followSpeed = speed;
    LevelServices* level = FindLevel();
    for (Gremlin* creature : attached)
    {
        if (level)
            level->HaulCreature(creature, int(n), speed);
        else
        {
            creature->lineCount = int(n);
            creature->SetSpeed(speed);
        }
    }
}

void Line::Draw(Kestrin::Graphics::ICanvas& canvas)
{
    using namespace Kestrin;
    using namespace Kestrin::Graphics;
    const ColorF tint = lineColorTable[std::min(size_t(color), lineColorTable.size() - 1)];
    LinePen pen{canvas,
                CurrentDrawState(),
                tint,
                GetResource<IImageList>(LineImages.Get()).second,
                GetResource<IImageList>(LineSparkleImages.Get()).second,
                QueryCanvas<IQuadDrawingCanvas>(&canvas)};
    pen.state.color = tint;
    pen.state.imageColor = tint;
    pen.state.color2 = {1.0f, 1.0f, 1.0f, 1.0f};
    auto* lines = QueryCanvas<ILineDrawingCanvas>(&canvas);
    auto* ellipses = QueryCanvas<IEllipseDrawingCanvas>(&canvas);
    if (debugDraw)
        DrawOutlines(pen, segments, lines, ellipses);
    else
    {
        const int frame = retracting && !loopScored ? RetractingFrame : int(color);
        const bool sparkling = frame != RetractingFrame && (loopScored || !attached.empty());
        DrawRibbon(pen, segments, frame, sparkling, spriteFrame);
    }
    DrawYarnBall(pen.quad, ellipses, pen.state);
}

void Line::DrawYarnBall(Kestrin::Graphics::IQuadDrawingCanvas* quad,
                        Kestrin::Graphics::IEllipseDrawingCanvas* ellipses,
                        const Kestrin::Graphics::DrawState& state)
{
    using namespace Kestrin;
    const float maxLength = GlobalSettings::Instance().maxLength;
    if (!drawing || maxLength <= 0 || !headSegment)
        return;
    const float f = std::max(0.0f, 1.0f - float(segments.size()) / maxLength);
    const float radius = f * YarnBallRadius;
    const Vector2f at = headSegment->end;
    if (ellipses)
        ellipses->DrawLineCircle(at.x, at.y, radius, state);
    Image* ball = GetImageObject(YarnBallImage.Get()).second;
    if (!ball || !quad)
        return;
    if (!m_ball || m_ballSource != ball || m_ballRadius != radius)
    {
        m_ball = ball->Clone();
        m_ballSource = ball;
        m_ballRadius = radius;
        const int w = m_ball->GetWidth(), h = m_ball->GetHeight();
        if (uint32_t* pixels = m_ball->Pixels())
        {
            const float cx = w / 2.0f, cy = h / 2.0f;
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                {
                    const float dx = x + 0.5f - cx, dy = y + 0.5f - cy;
                    if (dx * dx + dy * dy > radius * radius)
                        pixels[y * w + x] &= 0x00FFFFFFu;
                }
            m_ball->MarkPixelsChanged();
        }
    }
    const int w = m_ball->GetWidth(), h = m_ball->GetHeight();
    quad->DrawImage(m_ball.get(), at.x - w / 2.0f, at.y - h / 2.0f, state);
}
