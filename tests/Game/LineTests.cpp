#include "Base/Random.h"
#include "Game/CollisionQuadTree.h"
#include "Game/GameClock.h"
#include "Game/GameObstacle.h"
#include "Game/GlobalSettings.h"
#include "Game/Gremlin.h"
#include "Game/GremlinHome.h"
#include "Game/LayerNodes.h"
#include "Game/Line.h"
#include "Game/LineSegment.h"
#include "Game/PlayfieldGraph.h"
#include "Game/TutorialManager.h"
#include "Game/TutorialPopupMode.h"
#include "Graphics/GraphicsResources.h"
#include "Graphics/ImageCanvas.h"
#include "Scene/AnimatedSpriteNode.h"

#include "GameStubs/GameFakes.h"
#include "PlayfieldTestSupport.h"
#include "Support/RecordedSounds.h"
#include "harness/FakeClock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <tuple>

using namespace GameTest;

namespace
{

const std::string LineResources =
    "<resources>"
    "<testsound name=\"SFX_ClickTrap\"/><testsound name=\"SFX_LineSpear\"/><testsound "
    "name=\"SFX_EnterTrap\"/>"
    "<testimages name=\"LineImages\" count=\"7\"/><testimages name=\"LineSparkleImages\" count=\"5\"/>"
    "<testimage name=\"YarnBallImage\" width=\"30\" height=\"30\"/>"
    "<testimages name=\"TrapFrames\" count=\"2\" width=\"40\" height=\"30\"/>"
    "<testimages name=\"blue_sml\" count=\"10\" width=\"6\" height=\"6\"/>"
    "<spritetype name=\"BasicRed_TrapStateSpriteType\" images=\"TrapFrames\">"
    "  <animation name=\"open-100\" frameList=\"0\" numPlays=\"0\"/>"
    "  <animation name=\"closed-100\" frameList=\"1\" numPlays=\"0\"/>"
    "</spritetype>"
    "<spritetype name=\"Wind\" images=\"TrapFrames\">"
    "  <animation name=\"off\" frameList=\"0\" numPlays=\"0\"/><animation name=\"extract\" frameList=\"1\"/>"
    "</spritetype>"
    "<spritetype name=\"TrapCaptureSpriteType\" images=\"TrapFrames\">"
    "  <animation name=\"capture\" frameList=\"0,1\" fps=\"10\"/>"
    "</spritetype>"
    "<scenelayout name=\"TrapLayout\">"
    "  <scenenode nodeName=\"MouseHandler\">"
    "    <animatedspritenode nodeName=\"trapImage\" hitTest=\"true\">"
    "      <animatedspritenode nodeName=\"windFX\" spriteType=\"Wind\"/><scenenode nodeName=\"captureFX\"/>"
    "    </animatedspritenode>"
    "  </scenenode>"
    "</scenelayout>"
    "</resources>";

// Every textured strip and circle a line draws, beside what the plain recording canvas notes.
class LineCanvas : public KestrinTest::RecordingCanvas
{
public:
    int DrawTexturedPolygon(Kestrin::IImage* image, int mode, int count,
                            const Kestrin::Graphics::PolygonVertex* points,
                            const Kestrin::Graphics::DrawState& state) override
    {
        strips.push_back(
            {image, std::vector<Kestrin::Graphics::PolygonVertex>(points, points + count), state});
        EXPECT_EQ(mode, 0);
        return polygons ? 0 : Kestrin::Graphics::Draw_Unsupported;
    }
    // The yarn ball is a copy deleted after the call: its alphas are read here.
    int DrawImage(Kestrin::IImage* image, float x, float y,
                  const Kestrin::Graphics::DrawState& state) override
    {
        if (image && image->GetWidth() == 30)
            ballAlphas = {image->GetPixel(15, 15) >> 24, image->GetPixel(1, 1) >> 24};
        return RecordingCanvas::DrawImage(image, x, y, state);
    }
    int DrawLineCircle(float x, float y, float radius, const Kestrin::Graphics::DrawState&) override
    {
        circles.push_back({x, y, radius});
        return 0;
    }
    struct Strip
    {
        Kestrin::IImage* image;
        std::vector<Kestrin::Graphics::PolygonVertex> points;
        Kestrin::Graphics::DrawState state;
    };
    bool polygons = true;
    std::vector<Strip> strips;
    std::vector<uint32_t> ballAlphas;
    std::vector<std::array<float, 3>> circles;
};

TypeSettings StillTuning()
{
    TypeSettings s;
    s.angryTime = 100.0f; // waits on its line until the loop scores
    s.explode0Min = s.explode0Max = s.explode1Min = s.explode1Max = 1000.0f;
    s.maxMoveSpeed = 200.0f;
    return s;
}

// The game screen's playfield with its line layer.
class LinePlay : public PlayfieldTest
{
protected:
    LinePlay()
        : PlayfieldTest(
              {.paths = {NodePath::LineAttachLayerNode, NodePath::CreatureLayerNode}, .collisionTree = true})
    {
        Kestrin::ResourceManager* resources = Kestrin::ResourceManager::Instance();
        resources->RegisterFactory(L"testsound", new SceneTest::TestSoundFactory);
        resources->RegisterFactory(L"testimage", new SceneTest::TestImageFactory);
        Kestrin::MemoryStream stream(L"Lines", LineResources.data(), uint32_t(LineResources.size()));
        resources->Load(L"Lines", &stream, nullptr);
        looper->PushModeNow(screen);
        screen->AddObject(level);
        level->makeLines = true;
        level->notStarted = false;
        GlobalSettings& tuning = GlobalSettings::Instance();
        tuning.fadeInTime = 1000.0f;
        tuning.maxLength = -1;
        tuning.clickTime = 300;
        tuning.selfIgnore = 0;
        tuning.BaseFollowLineSpeed = 40;
        tuning.PerGemSpeedMultiplier = 160;
        tuning.trapSpawnDelay = 2.5f;
        TutorialManager::Instance().ReadFlags();
    }
    ~LinePlay() override { looper.reset(); }

    // A trap whose box is centred on the point, on the playfield.
    GremlinHome* AddTrap(Vector2f centre, bool leaves = false)
    {
        auto* trap =
            new GremlinHome(GremlinColorType::Red, centre - Vector2f(20, 15), GremlinKind::Basic, leaves);
        trap->AddToScene(*screen, screen->At(NodePath::CreatureLayerNode));
        return trap;
    }
    Gremlin* AddCreature(Vector2f centre, const TypeSettings& settings = StillTuning())
    {
        auto* creature = new Gremlin(settings, centre.x - 40, centre.y - 40);
        creature->AddToScene(*screen, screen->At(NodePath::CreatureLayerNode));
        return creature;
    }
    SceneNode* Handler(GremlinHome* trap) { return trap->GetNode()->GetFirstChild(); }
    LineLayerNode* Lines() { return static_cast<LineLayerNode*>(screen->At(NodePath::LineAttachLayerNode)); }
    // The pen moves in 10 px steps, a screen step each, as the level feeds it.
    void Pen(Line* line, Vector2f to)
    {
        Vector2f at = line->headSegment->end;
        const Vector2f d = to - at;
        const int n = std::max(1, int(std::ceil(std::sqrt(d.x * d.x + d.y * d.y) / 10)));
        for (int i = 1; i <= n && !line->closed; ++i)
        {
            line->ExtendTo(at + d * (float(i) / float(n)));
            Steps(1);
        }
    }
    static bool Alive(const void* object)
    {
        for (Line* line : HeldObject<Line>::GetAll())
            if (line == object)
                return true;
        for (Gremlin* creature : HeldObject<Gremlin>::GetAll())
            if (creature == object)
                return true;
        for (GremlinHome* trap : HeldObject<GremlinHome>::GetAll())
            if (trap == object)
                return true;
        return false;
    }
    // Segment lengths, oldest first.
    static std::vector<float> Lengths(const Line& line)
    {
        std::vector<float> out;
        for (auto it = line.segments.rbegin(); it != line.segments.rend(); ++it)
            out.push_back(std::round((*it)->length * 100) / 100);
        return out;
    }

    std::vector<std::string> played;
    KestrinTest::RecordedSounds recorded{played};
    BoostRandomNumberStream randomStream{20261210};
    Kestrin::ScopedRandomStream scopedRandom{&randomStream};
    KestrinTest::FakeClock clock;
    FakeLevel* level = new FakeLevel;
};

} // namespace

// Drawn out of a trap, round a creature and back into the trap: the creature is speared at the
// line's tip, the loop scores, the creature walks home into the trap, and the line winds back
// and goes, leaving nothing behind.
TEST_F(LinePlay, DragOutSpearCloseAtTheTrapAndHaulHome)
{
    GlobalSettings::Instance().PerGemSpeedMultiplier = 120; // hauled at 160, below its top speed
    GremlinHome* trap = AddTrap({400, 300});
    Gremlin* tic = AddCreature({560, 380});
    Steps(1);
    EXPECT_EQ(trap->GetHalfWidth(), 20.0f);
    EXPECT_EQ(Handler(trap)->GetFirstChild()->GetWorldRect().x, 380.0f) << "the image is centred on the box";
    SceneNode* handler = Handler(trap);
    handler->OnMouseDown(Kestrin::MouseButton::Left, 400, 300);
    EXPECT_TRUE(trap->pressed && trap->open);
    handler->OnMouseMove(410, 305);
    EXPECT_TRUE(trap->lines.empty()) << "no line while the pointer stays on the trap";
    handler->OnMouseMove(425, 300);
    ASSERT_EQ(trap->lines.size(), 1u);
    Line* line = trap->lines[0];
    EXPECT_EQ(level->currentLine, line);
    EXPECT_EQ(line->firstSegment->start, Vector2f(420, 300)) << "clamped onto the trap's edge";
    EXPECT_EQ(Lines()->lines, std::deque<Line*>{line});

    Pen(line, {560, 300});
    Pen(line, {560, 440});
    ASSERT_EQ(tic->line, line) << "speared at the tip";
    EXPECT_EQ(line->attached, std::vector<Gremlin*>{tic});
    EXPECT_EQ(line->spearState, GremlinMetaType::Normal);
    Pen(line, {300, 440});
    Pen(line, {300, 300});
    Pen(line, {400, 300});
    ASSERT_TRUE(line->closed) << "the tip came back into its trap";
    EXPECT_EQ(line->loopStart, line->firstSegment);
    ASSERT_EQ(looper->GetPendingRequests().size(), 1u);
    EXPECT_TRUE(dynamic_cast<TutorialPopupMode*>(looper->GetPendingRequests()[0].mode))
        << "the loop-to-trap tutorial";
    EXPECT_TRUE(line->IsInsideLoop({450, 350}));
    EXPECT_FALSE(line->IsInsideLoop({650, 350}));

    Steps(1);
    EXPECT_FALSE(line->closed);
    EXPECT_FALSE(line->drawing);
    EXPECT_EQ(level->currentLine, nullptr);
    EXPECT_EQ(tic->lineState, Gremlin::LineState::Hauled);
    EXPECT_EQ(tic->GetSpeed(), 160.0f);
    EXPECT_EQ(line->headSegment, line->loopEnd) << "what was drawn past the crossing is gone";
    for (int i = 0; i < 1000 && Alive(line); ++i)
        Steps(1);
    EXPECT_EQ(trap->captures, 1);
    EXPECT_EQ(level->captureCount, 1);
    EXPECT_FALSE(Alive(tic));
    EXPECT_FALSE(Alive(line));
    EXPECT_TRUE(trap->lines.empty());
    EXPECT_TRUE(Lines()->lines.empty());
    Steps(1);
    EXPECT_FALSE(trap->open);
    EXPECT_EQ(std::count(level->calls.begin(), level->calls.end(), "EvaluateLoop"), 1);
    EXPECT_EQ(std::count(played.begin(), played.end(), "SFX_LineSpear"), 1);
    EXPECT_EQ(std::count(played.begin(), played.end(), "SFX_EnterTrap"), 1);

    // The hauling speed, capped by the creature's own top speed.
    for (auto [top, expected] : {std::pair{250.0f, 160.0f}, {150.0f, 150.0f}})
    {
        TypeSettings settings = StillTuning();
        settings.maxMoveSpeed = top;
        Gremlin* hauled = AddCreature({600, 500}, settings);
        hauled->StartFollowingLine(1);
        EXPECT_EQ(hauled->GetSpeed(), expected) << top;
        hauled->Remove();
    }
}

// Only the tip of a line being drawn spears: an older segment, or the tip of a finished line, pushes
// the creature off instead.
TEST_F(LinePlay, OnlyTheTipOfALineBeingDrawnSpears)
{
    SetCollisionTree(screen, nullptr); // contacts are made by hand
    const struct
    {
        bool tip, drawing, speared;
    } cases[] = {{false, true, false}, {true, false, false}, {true, true, true}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(testing::Message() << "tip " << c.tip << ", drawing " << c.drawing);
        Line* line = level->BeginLine({120, 300}, nullptr, GremlinColorType::Red, GremlinKind::Basic);
        line->ExtendTo({200, 300}); // head 180..200, then 160..180, 140..160
        LineSegment* touched = c.tip ? line->headSegment : line->segments[2].get();
        line->drawing = c.drawing;
        Gremlin* tic = AddCreature(touched->start + Vector2f(5, 5));
        touched->OnCollision(tic);
        EXPECT_EQ(tic->line, c.speared ? line : nullptr);
        EXPECT_EQ(line->attached.size(), c.speared ? 1u : 0u);
        if (!c.speared)
        {
            EXPECT_FALSE(touched->Overlaps(*tic)) << "pushed clear of the segment";
        }
        line->attached.clear();
        tic->Remove();
        line->retracting = true;
        Steps(12);
        ASSERT_FALSE(Alive(line));
    }
}

// A loop the level rejects winds back one segment an update and goes, leaving no entry behind.
TEST_F(LinePlay, ARejectedLoopWindsBackAndGoes)
{
    SetCollisionTree(screen, nullptr);
    level->loopResult = LoopVerdict::Failed;
    GremlinHome* trap = AddTrap({100, 100});
    Line* line = level->BeginLine({120, 100}, trap, trap->color, trap->kind);
    for (Vector2f p : {Vector2f(200, 100), Vector2f(200, 200), Vector2f(130, 200)})
        line->AddPathPoint(p);
    line->headSegment->SetEnd({130, 90});
    line->OnSelfCrossing(line->headSegment, line->firstSegment);
    ASSERT_TRUE(line->closed);
    Steps(1);
    EXPECT_TRUE(line->retracting);
    EXPECT_EQ(std::count(level->calls.begin(), level->calls.end(), "EvaluateLoop"), 1);
    ASSERT_GT(line->segments.size(), 10u);
    for (size_t left = line->segments.size(); left > 1; --left)
    {
        Steps(1);
        ASSERT_EQ(line->segments.size(), left - 1);
    }
    Steps(2);
    EXPECT_FALSE(Alive(line));
    EXPECT_TRUE(trap->lines.empty());
    EXPECT_TRUE(Lines()->lines.empty());
}

// A quick click leaves the trap pressed and the line starts when the pointer leaves it; a second
// trap click drops the line only once clickTime has passed, also across the clock's wrap.
TEST_F(LinePlay, QuickClickAndClickTimeAcrossTheClockWrap)
{
    for (uint32_t start : {1000u, 0xFFFFFF00u})
    {
        SCOPED_TRACE(start);
        clock.now = start;
        GremlinHome* trap = AddTrap({400, 300});
        Steps(1);
        SceneNode* handler = Handler(trap);
        level->calls.clear();
        handler->OnMouseDown(Kestrin::MouseButton::Left, 400, 300);
        handler->OnMouseUp(Kestrin::MouseButton::Left, 402, 300);
        EXPECT_TRUE(trap->pressed);
        handler->OnMouseMove(405, 300);
        handler->OnMouseMove(500, 300);
        ASSERT_EQ(trap->lines.size(), 1u);
        Line* line = trap->lines[0];
        EXPECT_EQ(level->calls,
                  (std::vector<std::string>{"OnPlayfieldPress", "ShowTrapTutorial",
                                            "BeginLine 500,300 Red Basic", "ShowTrapTutorial"}));
        handler->OnMouseMove(505, 300); // already out: nothing more
        EXPECT_EQ(trap->lines.size(), 1u);

        clock.Advance(300);
        handler->OnMouseDown(Kestrin::MouseButton::Left, 400, 300);
        EXPECT_FALSE(line->retracting) << "within clickTime of the last trap click";
        EXPECT_TRUE(line->drawing);
        handler->OnMouseMove(400, 300);
        handler->OnMouseMove(600, 300); // a second line from the press
        ASSERT_EQ(trap->lines.size(), 2u);
        clock.Advance(301);
        handler->OnMouseDown(Kestrin::MouseButton::Left, 400, 300);
        EXPECT_TRUE(trap->lines[1]->retracting) << "past clickTime";
        EXPECT_FALSE(trap->lines[1]->drawing);
        EXPECT_EQ(GetLastTrapClickTime(), clock.now);
        for (Line* each : trap->lines)
            each->retracting = true;
        Steps(20);
        EXPECT_TRUE(trap->lines.empty());
        screen->RemoveObject(trap->GetHandle());
        Steps(1);
    }
}

// A cycling trap goes at the first update after its last line, telling the level and its slot;
// one that does not cycle stays whatever it captures.
TEST_F(LinePlay, ACyclingTrapLeavesAfterItsLastLine)
{
    for (bool cycles : {true, false})
    {
        SCOPED_TRACE(cycles);
        level->calls.clear();
        GremlinHome* trap = AddTrap({200, 200}, cycles);
        std::vector<float> left;
        trap->leaveSignal.connect([&left](float delay) { left.push_back(delay); });
        Line* line = level->BeginLine({230, 200}, trap, trap->color, trap->kind);
        EXPECT_EQ(trap->lines, std::vector<Line*>{line}) << "a line lists itself in its trap";
        Gremlin* tic = AddCreature({600, 400});
        tic->metaType = GremlinMetaType::King;
        trap->OnCapture(tic);
        EXPECT_EQ(trap->captures, 1);
        EXPECT_EQ(level->captureCount, 0) << "only Normal creatures count for the level";
        EXPECT_EQ(trap->leaving, cycles);
        Steps(5);
        EXPECT_TRUE(Alive(trap)) << "its line is alive";
        level->RetractLine();
        for (int i = 0; i < 10 && Alive(line); ++i)
            Steps(1);
        ASSERT_FALSE(Alive(line));
        EXPECT_TRUE(trap->lines.empty());
        Steps(2);
        EXPECT_EQ(Alive(trap), !cycles);
        EXPECT_EQ(std::count(level->calls.begin(), level->calls.end(), "ReleaseTrap"), cycles ? 1 : 0);
        EXPECT_EQ(left, cycles ? std::vector<float>{2.5f} : std::vector<float>{});
        if (!cycles)
            screen->RemoveObject(trap->GetHandle());
        tic->Remove();
        Steps(1);
    }
}

// The pen cuts the head into 20 px segments; a pending route moves only the head's end; a loop
// waiting for its score takes no pen moves; the current line longer than maxLength gives up once.
TEST_F(LinePlay, ThePenGrowsTheLineInStepsUpToItsLimit)
{
    SetCollisionTree(screen, nullptr); // no stop at what the new head touches
    GremlinHome* trap = AddTrap({100, 300});
    Line* line = level->BeginLine({120, 300}, trap, trap->color, trap->kind);
    line->ExtendTo({215, 300});
    EXPECT_EQ(Lengths(*line), (std::vector<float>{20, 20, 20, 20, 15}));
    EXPECT_EQ(line->previousHead, line->segments[1].get());
    EXPECT_EQ(line->segments[1]->next, line->headSegment);
    line->routePending = true;
    line->ExtendTo({275, 300});
    EXPECT_EQ(Lengths(*line), (std::vector<float>{20, 20, 20, 20, 75}));
    line->routePending = false;
    line->closed = true;
    line->ExtendTo({400, 300});
    EXPECT_EQ(line->headSegment->end, Vector2f(275, 300));
    line->closed = false;

    GlobalSettings::Instance().maxLength = 9;
    line->ExtendTo({300, 300});
    EXPECT_EQ(line->segments.size(), 9u);
    Steps(1);
    EXPECT_FALSE(line->retracting) << "not above the limit";
    Line* other = level->BeginLine({100, 300}, trap, trap->color, trap->kind);
    line->ExtendTo({320, 300});
    ASSERT_EQ(line->segments.size(), 10u);
    Steps(1);
    EXPECT_FALSE(line->retracting) << "only the current line gives up";
    level->currentLine = line;
    level->calls.clear();
    Steps(1);
    EXPECT_TRUE(line->retracting);
    EXPECT_EQ(level->calls, (std::vector<std::string>{"RetractLine", "ShowLoopFeedback TooLong 320,300"}));
    Steps(12);
    EXPECT_FALSE(Alive(line));
    EXPECT_EQ(trap->lines, std::vector<Line*>{other});
    EXPECT_TRUE(Alive(other));
}

// Routing bends the head round an obstacle through the level's graph; a goal walled in gives up
// with "Collision". Either way the path states are emptied.
TEST_F(LinePlay, RoutesRoundAnObstacleOrGivesUp)
{
    PlayfieldGraph graph;
    level->graph = &graph;
    GlobalSettings::Instance().wrapMax = 100;
    GameObstacle wall({300, 150}, 30, 300, nullptr); // 300..330 x 150..450
    Line* line = level->BeginLine({205, 300}, nullptr, GremlinColorType::Red, GremlinKind::Basic);
    Pen(line, {300, 300});
    ASSERT_TRUE(line->routePending) << "the tip ran into the wall";
    Pen(line, {430, 300});
    Steps(1);
    EXPECT_FALSE(line->routePending);
    const Vector2f last = line->headSegment->start;
    EXPECT_LT(std::hypot(last.x - 430, last.y - 300), 22.0f) << "the head runs from the last bend to the pen";
    EXPECT_EQ(std::count(level->calls.begin(), level->calls.end(), "ClearPathStates"), 1);
    EXPECT_EQ(graph.StateCount(), 0u);
    EXPECT_GT(line->segments.size(), 14u) << "round the end of the wall";
    for (const auto& s : line->segments)
        EXPECT_FALSE(graph.IsBlocked(s->start.x, s->start.y)) << s->start.x << "," << s->start.y;
    EXPECT_FALSE(line->retracting);

    // A route whose start and goal are one state adds no point, whatever the last route found.
    Line* still = level->BeginLine({600, 400}, nullptr, GremlinColorType::Red, GremlinKind::Basic);
    still->ExtendTo({603, 400});
    const size_t before = still->segments.size();
    still->RouteTo(still->headSegment->start);
    EXPECT_EQ(still->segments.size(), before);
    EXPECT_FALSE(still->retracting);

    // Boxed in: no way through within the limit.
    GameObstacle box({590, 90}, 80, 80, nullptr);
    Line* boxed = level->BeginLine({500, 130}, nullptr, GremlinColorType::Red, GremlinKind::Basic);
    boxed->ExtendTo({515, 130});
    boxed->headSegment->SetEnd({630, 130});
    boxed->routePending = true;
    level->calls.clear();
    boxed->RouteTo({630, 130});
    EXPECT_TRUE(boxed->retracting);
    EXPECT_FALSE(boxed->routePending);
    EXPECT_EQ(level->calls.back(), "ClearPathStates");
    EXPECT_NE(std::find(level->calls.begin(), level->calls.end(), "ShowLoopFeedback Collision 630,130"),
              level->calls.end());
}

// Three creatures hauled home: the line shortens only behind the farthest, so none is let go, and
// every one reaches the trap; then the line winds back and leaves no entry anywhere.
TEST_F(LinePlay, HaulingLetsGoOfNoCreatureAndLeavesNothingDangling)
{
    SetCollisionTree(screen, nullptr);
    GremlinHome* trap = AddTrap({100, 300});
    Line* line = level->BeginLine({120, 300}, trap, trap->color, trap->kind);
    std::vector<Gremlin*> tics;
    for (float x : {200.0f, 300.0f, 400.0f})
    {
        line->ExtendTo({x, 300});
        tics.push_back(AddCreature({x, 320}));
        tics.back()->OnSpeared(line);
    }
    line->ExtendTo({480, 300});
    EXPECT_EQ(line->attached, tics);
    EXPECT_EQ(line->mostHeld, 3);
    level->RetractLine();
    for (Gremlin* tic : tics)
        tic->StartFollowingLine(3);
    for (int i = 0; i < 800 && Alive(line); ++i)
    {
        Steps(1);
        for (Gremlin* tic : tics)
        {
            if (Alive(tic) && !tic->inTrap)
            {
                ASSERT_EQ(tic->line, line) << "let go while hauled";
            }
        }
    }
    EXPECT_EQ(trap->captures, 3);
    EXPECT_FALSE(Alive(line));
    EXPECT_TRUE(trap->lines.empty());

    // A creature let go by the winding line and then removed leaves no entry behind.
    Line* second = level->BeginLine({120, 300}, trap, trap->color, trap->kind);
    second->ExtendTo({300, 300});
    Gremlin* tic = AddCreature({300, 320});
    tic->OnSpeared(second);
    second->ExtendTo({360, 300});
    second->retracting = true;
    Steps(4);
    EXPECT_EQ(tic->line, nullptr) << "its segment went";
    EXPECT_TRUE(second->attached.empty());
    tic->Remove();
    Steps(20);
    EXPECT_FALSE(Alive(second));
}

// A raw pointer between two playfield objects is cleared by the one that goes: a trap gone first
// leaves its line without a trap, and the current line gone leaves the level without one.
TEST_F(LinePlay, WhatGoesFirstIsForgottenByWhatStays)
{
    GremlinHome* trap = AddTrap({400, 300});
    Line* line = level->BeginLine({430, 300}, trap, trap->color, trap->kind);
    ASSERT_EQ(level->currentLine, line);
    screen->RemoveObject(trap->GetHandle());
    Steps(1);
    ASSERT_FALSE(Alive(trap));
    EXPECT_EQ(line->trap, nullptr);
    line->ExtendTo({500, 300}); // no trap to play the pen's wind on
    EXPECT_EQ(line->segments.size(), 4u);

    screen->RemoveObject(line->GetHandle());
    EXPECT_EQ(level->currentLine, nullptr);
    EXPECT_FALSE(level->drawing);
    Steps(1);
    EXPECT_FALSE(Alive(line));
}

// The follow speed rises with each creature and never drops; the last creature's patience picks
// the formula.
TEST_F(LinePlay, AttachingRaisesTheFollowSpeed)
{
    GlobalSettings& tuning = GlobalSettings::Instance();
    tuning.BaseFollowUpLineSpeed = 10;
    tuning.PerGremlinUpLineSpeedMultiplier = 5;
    tuning.BaseFollowLineSpeed = 50;
    tuning.PerGremlinSpeedMultiplier = 20;
    Line* line = level->BeginLine({120, 300}, nullptr, GremlinColorType::Red, GremlinKind::Basic);
    TypeSettings patient = StillTuning(), eager = StillTuning();
    eager.angryTime = -1;
    struct Step
    {
        const TypeSettings* settings;
        float speed;
    };
    // The third would give 25: no change.
    const Step steps[] = {{&patient, 15}, {&eager, 90}, {&patient, 90}, {&eager, 130}};
    for (const Step& step : steps)
    {
        line->AttachGremlin(AddCreature({300, 300}, *step.settings));
        EXPECT_EQ(line->followSpeed, step.speed);
        EXPECT_EQ(line->attached.front()->GetSpeed(), step.speed);
    }
    EXPECT_EQ(line->mostHeld, 4);
    for (Gremlin* tic : line->attached)
        EXPECT_EQ(tic->lineCount, 4);
    EXPECT_EQ(std::count(level->calls.begin(), level->calls.end(), "HaulCreature 4 130"), 4);
    line->attached.clear();
}

// The line draws its shadow strips, then its strips with the colour's frame and the sparkles,
// then the yarn ball; retracting without a score it shows frame 6; the debug view draws lines.
TEST_F(LinePlay, DrawsStripsSparklesAndTheYarnBall)
{
    SetCollisionTree(screen, nullptr);
    GlobalSettings::Instance().maxLength = 10;
    Line* line = level->BeginLine({100, 300}, nullptr, GremlinColorType::Blue, GremlinKind::Basic);
    line->ExtendTo({150, 300}); // 20, 20, 10
    line->spriteFrame = 1;
    Kestrin::Image* yarn = Kestrin::GetImageObject(Kestrin::MakeName("YarnBallImage")).second;
    ASSERT_TRUE(yarn);
    std::fill(yarn->Pixels(), yarn->Pixels() + 30 * 30, 0xFFFFFFFFu);
    line->attached.push_back(nullptr); // sparkles show while creatures hang on it
    LineCanvas canvas;
    canvas.offersLine = true;
    Kestrin::Graphics::SetCurrentCanvas(&canvas);
    Lines()->DrawTree({0, 0});
    Kestrin::Graphics::SetCurrentCanvas(nullptr);
    line->attached.clear();
    auto* images =
        dynamic_cast<Kestrin::ImageList*>(Kestrin::GetResource<Kestrin::IImageList>("LineImages").second);
    ASSERT_TRUE(images);
    ASSERT_EQ(canvas.strips.size(), 6u);
    for (size_t i = 0; i < 6; ++i)
    {
        const auto& strip = canvas.strips[i];
        const LineSegment* s = line->segments[2 - i % 3].get();
        EXPECT_EQ(strip.image, images->GetImageAt(i < 3 ? 5 : 2)) << i;
        EXPECT_EQ(strip.points[2].y, s->vertices[i < 3 ? 8 : 2].y) << i;
        EXPECT_EQ(strip.state.imageColor, (Kestrin::ColorF{0, 0.47f, 0.82f, 1}));
        EXPECT_EQ(strip.points[3].color, (Kestrin::ColorF{0, 0.47f, 0.82f, 1}));
    }
    // Sparkle frames (i mod 5 - 1 + 5) mod 5 at each start less (10, 10).
    auto* sparkles = dynamic_cast<Kestrin::ImageList*>(
        Kestrin::GetResource<Kestrin::IImageList>("LineSparkleImages").second);
    std::vector<std::pair<Kestrin::IImage*, float>> sparkled;
    // The last image is the ball's copy, gone after the call.
    for (size_t i = 0; i + 1 < canvas.calls.size(); ++i)
        if (canvas.calls[i].what == "Image")
            sparkled.emplace_back(canvas.calls[i].image, canvas.calls[i].x);
    EXPECT_EQ(sparkled, (std::vector<std::pair<Kestrin::IImage*, float>>{{sparkles->GetImageAt(4), 90},
                                                                         {sparkles->GetImageAt(0), 110},
                                                                         {sparkles->GetImageAt(1), 130}}));
    // The ball: 3 of 10 segments leave 0.7 of its 15 px.
    ASSERT_EQ(canvas.circles.size(), 1u);
    EXPECT_EQ(canvas.circles[0][0], 150.0f);
    EXPECT_NEAR(canvas.circles[0][2], 10.5f, 1e-4f);
    const auto& last = canvas.calls.back();
    ASSERT_EQ(last.what, "Image");
    EXPECT_EQ(last.x, 135.0f);
    EXPECT_EQ(canvas.ballAlphas, (std::vector<uint32_t>{0xFF, 0})) << "cleared outside the ball's radius";
    EXPECT_EQ(yarn->GetPixel(1, 1), 0xFFFFFFFFu) << "on a copy";

    // Winding back without a score: frame 6, no sparkles, no ball.
    line->retracting = true;
    level->RetractLine();
    canvas = LineCanvas();
    line->Draw(canvas);
    ASSERT_EQ(canvas.strips.size(), 6u);
    EXPECT_EQ(canvas.strips[3].image, images->GetImageAt(6));
    EXPECT_TRUE(canvas.circles.empty() && canvas.calls.empty());

    // The image canvas draws no polygons: the ribbon is stamped in the tint, 4 px across.
    Kestrin::Image picture(200, 40);
    Kestrin::Graphics::cImageCanvas onImage(picture);
    Line* red = level->BeginLine({20, 20}, nullptr, GremlinColorType::Red, GremlinKind::Basic);
    red->ExtendTo({150, 20});
    red->drawing = false;
    red->Draw(onImage);
    for (auto [x, y, painted] : {std::tuple{20, 20, true},
                                 {85, 21, true},
                                 {150, 18, true},
                                 {85, 23, false},
                                 {85, 16, false},
                                 {160, 20, false}})
        EXPECT_EQ(picture.GetPixel(x, y), painted ? 0xFFFF0000u : 0u) << x << "," << y;

    Line::debugDraw = true;
    canvas = LineCanvas();
    canvas.offersLine = true;
    line->Draw(canvas);
    EXPECT_TRUE(canvas.strips.empty());
    EXPECT_EQ(canvas.calls.size(), 3u);
    EXPECT_EQ(canvas.circles.size(), 6u);
    EXPECT_EQ(canvas.circles[1], (std::array<float, 3>{120, 300, 2}));
}

// Winding numbers against the square they trace, over seeded random points; a point on the bottom
// edge is counted by that edge's neighbours only.
TEST_F(LinePlay, InsideTheLoopByItsWindingNumber)
{
    SetCollisionTree(screen, nullptr);
    Line* line = level->BeginLine({100, 100}, nullptr, GremlinColorType::Red, GremlinKind::Basic);
    EXPECT_FALSE(line->IsInsideLoop({150, 150})) << "no loop yet";
    for (Vector2f p : {Vector2f(200, 100), Vector2f(200, 200), Vector2f(100, 200)})
        line->AddPathPoint(p);
    line->headSegment->SetEnd({100, 110});
    line->OnSelfCrossing(line->headSegment, line->firstSegment);
    ASSERT_TRUE(line->closed);
    ASSERT_EQ(line->loopStart, line->firstSegment);
    std::mt19937 random(20261210);
    std::uniform_real_distribution<float> coordinate(0, 300);
    for (int i = 0; i < 500; ++i)
    {
        const Vector2f p(coordinate(random), coordinate(random));
        const bool inside = p.x > 100 && p.x < 200 && p.y > 100 && p.y < 200;
        EXPECT_EQ(line->IsInsideLoop(p), inside) << p.x << "," << p.y;
    }
    EXPECT_TRUE(line->IsInsideLoop({150, 100})) << "on the top edge: counted by the sides";
    EXPECT_FALSE(line->IsInsideLoop({150, 200})) << "on the bottom edge";
}

// The Y-sorted layer orders its children by lower edge, stably; the line layer draws its lines in
// the order they came and forgets every entry of a line that goes.
TEST_F(LinePlay, LayersSortTheirChildrenAndDrawTheirLines)
{
    auto* layer = static_cast<YSortedLayerNode*>(screen->At(NodePath::CreatureLayerNode));
    auto child = [&](float y, float h)
    {
        auto* node = new SceneNode;
        node->SetPosition(0, y);
        node->SetSize(10, h);
        screen->AddObject(node);
        node->SetParent(layer);
        return node;
    };
    SceneNode* a = child(100, 20);
    SceneNode* b = child(110, 10);
    SceneNode* c = child(50, 10);
    auto order = [&]
    {
        layer->Draw({0, 0});
        std::vector<SceneNode*> out;
        for (SceneNode* n = layer->GetFirstChild(); n; n = n->GetNextSibling())
            out.push_back(n);
        return out;
    };
    EXPECT_EQ(order(), (std::vector<SceneNode*>{c, a, b})) << "equal keys keep their order";
    a->SetPosition(0, 105);
    EXPECT_EQ(order(), (std::vector<SceneNode*>{c, b, a}));
    auto* tall = new SceneNode;
    tall->SetPosition(0, 10);
    tall->SetSize(5, 200);
    screen->AddObject(tall);
    tall->SetParent(c);
    EXPECT_EQ(order(), (std::vector<SceneNode*>{b, a, c})) << "by top plus the whole subtree's height";

    LineLayerNode* lines = Lines();
    EXPECT_EQ(FindLineLayerNode(), lines);
    EXPECT_EQ(FindLineLayerNode(NodePath::CreatureLayerNode), nullptr) << "another kind";
    LineCanvas canvas;
    Kestrin::Graphics::SetCurrentCanvas(&canvas);
    lines->DrawTree({0, 0});
    EXPECT_TRUE(canvas.strips.empty() && canvas.calls.empty());
    Line* first = level->BeginLine({100, 100}, nullptr, GremlinColorType::Red, GremlinKind::Basic);
    Line* second = level->BeginLine({300, 300}, nullptr, GremlinColorType::Green, GremlinKind::Basic);
    lines->Register(first);
    EXPECT_EQ(lines->lines, (std::deque<Line*>{first, second, first}));
    lines->DrawTree({0, 0});
    Kestrin::Graphics::SetCurrentCanvas(nullptr);
    ASSERT_EQ(canvas.strips.size(), 6u);
    EXPECT_EQ(canvas.strips[0].points[0].x, 100.0f);
    EXPECT_EQ(canvas.strips[2].points[0].x, 300.0f);
    first->retracting = true;
    Steps(2);
    EXPECT_EQ(lines->lines, std::deque<Line*>{second}) << "both entries go";
    EXPECT_EQ(second->GetDepth(), LineDepth);
}

// The trap's look follows its state, the wind blows as the line is pulled, a capture plays once,
// and a new trap may not stand closer to another's centre than the stored squared distance.
TEST_F(LinePlay, TrapLooksCapturesAndKeepsItsDistance)
{
    GremlinHome* trap = AddTrap({400, 300});
    auto* image = static_cast<AnimatedSpriteNode*>(Handler(trap)->GetFirstChild());
    auto* wind = static_cast<AnimatedSpriteNode*>(image->GetFirstChild());
    auto playing = [](AnimatedSpriteNode* node, const char* name)
    { return node->IsPlayingAnimation(Kestrin::MakeName(name)); };
    Steps(1);
    EXPECT_TRUE(playing(image, "closed-100") && playing(wind, "off"));
    EXPECT_EQ(trap->GetHalfHeight(), 15.0f) << "sized by its image";
    Handler(trap)->OnMouseDown(Kestrin::MouseButton::Left, 400, 300);
    Steps(1);
    EXPECT_TRUE(playing(image, "open-100"));
    Handler(trap)->OnMouseMove(400, 300);
    Handler(trap)->OnMouseMove(430, 300);
    ASSERT_EQ(trap->lines.size(), 1u);
    trap->lines[0]->ExtendTo({470, 300});
    EXPECT_TRUE(playing(wind, "extract"));
    Steps(3);
    EXPECT_TRUE(playing(image, "open-100")) << "open while its line lives";
    trap->lines[0]->retracting = true;
    Steps(6);
    EXPECT_TRUE(trap->lines.empty());
    EXPECT_TRUE(playing(image, "closed-100") && playing(wind, "off"));

    Gremlin* tic = AddCreature({600, 400});
    trap->OnCapture(tic);
    SceneNode* captureFX = wind->GetNextSibling();
    ASSERT_EQ(captureFX->GetChildCount(), 1u);
    Steps(3);
    EXPECT_EQ(captureFX->GetChildCount(), 1u);
    Steps(20);
    EXPECT_EQ(captureFX->GetChildCount(), 0u) << "played once, then gone";
    EXPECT_EQ(level->captureCount, 1);
    tic->Remove();

    // Looped: a blink on the image; the celebration: 20 sparks that fly for half a second.
    trap->OnLooped();
    EXPECT_TRUE(image->IsChannelBusy(GameNames::GotLooped));
    trap->CelebrationBurst();
    EXPECT_EQ(image->GetChildCount(), 22u);
    Steps(30);
    EXPECT_EQ(image->GetChildCount(), 2u);
    Steps(30);
    EXPECT_FALSE(image->IsChannelBusy(GameNames::GotLooped));

    GlobalSettings::Instance().minTrapDistanceSquared = 2500; // 50 px
    const struct
    {
        float x;
        bool blocked;
    } rows[] = {{469.9f, true}, {470.1f, false}, {755.0f, false}, {755.5f, true}};
    for (auto row : rows)
    {
        // Its box's left edge lies row.x - 420 from the first trap's centre.
        GremlinHome other(GremlinColorType::Red, {row.x - 20, 285}, GremlinKind::Basic, false);
        EXPECT_EQ(other.IsBlocked(), row.blocked) << row.x;
    }
    GremlinHome over(GremlinColorType::Red, {390, 285}, GremlinKind::Basic, false);
    EXPECT_TRUE(over.IsBlocked()) << "overlaps the first trap";
}
