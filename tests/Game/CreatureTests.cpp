#include "Base/Random.h"
#include "Game/CollisionQuadTree.h"
#include "Game/GlobalSettings.h"
#include "Game/Gremlin.h"
#include "Game/GremlinHome.h"
#include "Game/Line.h"
#include "Game/LineSegment.h"
#include "Game/MovementTasks.h"
#include "Game/TutorialManager.h"
#include "Game/TutorialPopupMode.h"
#include "Scene/AnimatedSpriteNode.h"

#include "FieldTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>

using namespace GameTest;
using Stage = Gremlin::Stage;

namespace
{

const std::string CreatureResources =
    "<resources>"
    "<testsound name=\"SFX_ExplodeWarning\"/><testsound name=\"SFX_TicExplode\"/>"
    "<testsound name=\"SFX_BadSpear\"/><testsound name=\"SFX_EnterTrap\"/>"
    "<testimages name=\"TicFrames\" count=\"3\" width=\"60\" height=\"50\"/>"
    "<spritetype name=\"BasicRed_CreatureStateSpriteType\" images=\"TicFrames\">"
    "  <animation name=\"CollisionBox\" frameList=\"0\"/>"
    "  <animation name=\"Normal-Idle-FreakOut\" frameList=\"1\" numPlays=\"0\"/>"
    "</spritetype>"
    "<spritetype name=\"Flame\" images=\"TicFrames\">"
    "  <animation name=\"on\" frameList=\"1\"/><animation name=\"off\" frameList=\"2\"/>"
    "</spritetype>"
    "<spritetype name=\"Explosion\" images=\"TicFrames\"><animation name=\"play\" frameList=\"0,1,2\" "
    "fps=\"10\"/></spritetype>"
    "<scenelayout name=\"CreatureLayout\">"
    "  <scenenode><scenenode nodeName=\"scaleNode\">"
    "    <animatedspritenode nodeName=\"creatureImage\"/>"
    "    <animatedspritenode nodeName=\"flameImage\" spriteType=\"Flame\"/>"
    "  </scenenode></scenenode>"
    "</scenelayout>"
    "</resources>";

// The calm walks, but quick stages: 1 s each, panic 0.5 s.
TypeSettings QuickTuning(GremlinKind kind = GremlinKind::Basic,
                         GremlinColorType color = GremlinColorType::Red)
{
    TypeSettings s = Calm(CreatureSpriteId::None, color, kind);
    s.angryTime = 1.0f;
    s.explode0Min = s.explode0Max = s.explode1Min = s.explode1Max = 1.0f;
    s.explode2Min = s.explode2Max = 1.0f;
    s.explodeEndMin = s.explodeEndMax = 0.5f;
    s.randomWalkAngleVarMin = -0.5f;
    s.randomWalkAngleVarMax = 0.5f;
    s.explodeRadius = 70;
    return s;
}

class Creatures : public FieldTest
{
protected:
    Creatures()
    {
        Kestrin::MemoryStream stream(L"Creatures", CreatureResources.data(),
                                     uint32_t(CreatureResources.size()));
        Kestrin::ResourceManager::Instance()->Load(L"Creatures", &stream, nullptr);
        GlobalSettings::Instance().fadeInTime = 1.0f;
        GlobalSettings::Instance().BaseFollowLineSpeed = 40.0f;
        TutorialManager::Instance().ReadFlags();
    }

    Gremlin* Add(const TypeSettings& settings, Vector2f corner)
    {
        auto* creature = new Gremlin(settings, corner.x, corner.y);
        creature->AddToScene(*screen, screen->At(NodePath::CreatureLayerNode));
        return creature;
    }
    // Still registered on the playfield (the pointer is not followed: it may be gone).
    static bool Alive(const Gremlin* creature)
    {
        const std::vector<Gremlin*> all = HeldObject<Gremlin>::GetAll();
        return std::find(all.begin(), all.end(), creature) != all.end();
    }
    size_t Popups() const
    {
        size_t count = 0;
        for (const auto& request : looper->GetPendingRequests())
            count += dynamic_cast<TutorialPopupMode*>(request.mode) ? 1 : 0;
        return count;
    }
};

SceneNode* ScaleNode(Gremlin* creature)
{
    return FindNodeAtPath(creature->GetNode(), NodePath::CreatureScaleNode);
}

} // namespace

TEST_F(Creatures, LiveFadeInWanderGrowPanicAndExplodeIntoGunk)
{
    Gremlin* tic = Add(QuickTuning(), {300, 200});
    EXPECT_EQ(tic->GetCentre(), Vector2f(340, 240));
    EXPECT_EQ(tic->GetSpeed(), 40.0f);
    Steps(1);
    EXPECT_EQ(tic->stage, Stage::FadeIn);
    EXPECT_EQ(ScaleNode(tic)->GetLocalState().color.a, 0.5f);
    // The box takes the sprite's collision frame.
    EXPECT_EQ(tic->GetHalfWidth(), 30.0f);
    EXPECT_EQ(tic->GetHalfHeight(), 25.0f);
    EXPECT_FALSE(tic->IsChannelBusy(GameNames::MovementAITask)) << "no walking while fading in";

    Steps(51);
    EXPECT_EQ(tic->stage, Stage::Wander1);
    EXPECT_EQ(ScaleNode(tic)->GetLocalState().color.a, 1.0f);
    EXPECT_TRUE(tic->IsChannelBusy(GameNames::MovementAITask));
    const Vector2f before = tic->GetCentre();
    Steps(10);
    EXPECT_NE(tic->GetCentre(), before) << "it wanders";

    Steps(100);
    EXPECT_EQ(tic->stage, Stage::Wander3);
    Steps(50);
    ASSERT_EQ(tic->stage, Stage::FreakOut);
    EXPECT_EQ(played, (std::vector<std::string>{"SFX_ExplodeWarning"}));
    EXPECT_EQ(g_creatureTimeScale, 0.5f);
    EXPECT_FALSE(tic->IsChannelBusy(GameNames::MovementAITask)) << "a panicking creature stands";
    EXPECT_EQ(Popups(), 1u);
    EXPECT_EQ(Player().GetInt(L"KIVO::ShowTutorial::TicAngry", 1), 0);
    auto* image = dynamic_cast<AnimatedSpriteNode*>(FindNodeAtPath(tic->GetNode(), NodePath::CreatureImage));
    EXPECT_TRUE(image->IsPlayingAnimation(Kestrin::MakeName("Normal-Idle-FreakOut")));
    auto* flame =
        dynamic_cast<AnimatedSpriteNode*>(FindNodeAtPath(tic->GetNode(), NodePath::CreatureFlameImage));
    EXPECT_TRUE(flame->IsPlayingAnimation(GameNames::FlameOn.Get()));

    // The panic clock runs at the slowed rate: 0.5 s take a whole second.
    Steps(40);
    EXPECT_EQ(tic->stage, Stage::FreakOut);
    Steps(15);
    EXPECT_EQ(tic->stage, Stage::Exploding);
    EXPECT_TRUE(board.calls.empty()) << "the gunk waits for the explosion";
    const Vector2f at = tic->GetCentre();
    Steps(20);
    EXPECT_EQ(board.calls, (std::vector<std::string>{"AddGunk 70 " + std::to_string(int(at.x)) + "," +
                                                     std::to_string(int(at.y)) + " 5"}));
    EXPECT_EQ(level->gunkDrops, 1);
    EXPECT_FALSE(Alive(tic));
    EXPECT_EQ(g_creatureTimeScale, 1.0f);
    // Tutorial 16 as well, once.
    EXPECT_EQ(Popups(), 2u);
    EXPECT_FALSE(TutorialManager::Instance().IsDue(TutorialId::TicExplode));
    EXPECT_EQ(HeldObject<Gremlin>::Count(), 0u);
}

TEST_F(Creatures, GunkColourTable)
{
    struct Case
    {
        GremlinColorType colour;
        bool colours;
        int gunk;
    };
    for (const Case& c : {Case{GremlinColorType::Blue, false, 5}, Case{GremlinColorType::Blue, true, 2},
                          Case{GremlinColorType::Any, true, 5}, Case{GremlinColorType::Purple, true, 4}})
    {
        explodeColors = c.colours;
        board.calls.clear();
        Gremlin* tic = Add(QuickTuning(GremlinKind::Basic, c.colour), {100, 100});
        tic->DropGunk();
        EXPECT_EQ(board.calls, std::vector<std::string>{"AddGunk 70 140,140 " + std::to_string(c.gunk)});
        Steps(1);
        EXPECT_FALSE(Alive(tic));
    }
}

TEST_F(Creatures, RemovedWhileItsExplosionPlaysLeavesNoGunk)
{
    Gremlin* tic = Add(QuickTuning(), {300, 200});
    Steps(1);
    tic->stage = Stage::FreakOut;
    tic->AdvanceStage();
    Steps(2);
    tic->Remove();
    Steps(40);
    EXPECT_TRUE(board.calls.empty());
    EXPECT_EQ(level->gunkDrops, 0);

    // Without the effect's sprite type the gunk comes at once.
    Gremlin* other = Add(QuickTuning(), {300, 200});
    delete Kestrin::ResourceManager::Instance();
    other->stage = Stage::FreakOut;
    other->AdvanceStage();
    EXPECT_EQ(board.calls.size(), 1u);
}

TEST_F(Creatures, StayAtStageThreeWithoutExplosionsAndThawAfterAFreeze)
{
    level->explosionsAllowed = false;
    Gremlin* tic = Add(QuickTuning(), {300, 200});
    Steps(160);
    EXPECT_EQ(tic->stage, Stage::Wander3);
    EXPECT_EQ(tic->stageTimer, FLT_MAX);
    Steps(100);
    EXPECT_EQ(tic->stage, Stage::Wander3);

    level->freezeTimer = 5.0f;
    tic->Freeze();
    Steps(50);
    EXPECT_EQ(tic->affected, Gremlin::AffectedBy::Frozen);
    EXPECT_FALSE(tic->IsChannelBusy(GameNames::MovementAITask));
    EXPECT_EQ(tic->GetStateAnimation(), Kestrin::MakeName("Normal-Affected-Continuous"));
    tic->OnFreezeEnded();
    EXPECT_EQ(tic->affected, Gremlin::AffectedBy::None);
    Steps(1);
    EXPECT_TRUE(tic->IsChannelBusy(GameNames::MovementAITask)) << "walking again";
}

TEST_F(Creatures, EveryLookUpMayFailAndTheCreatureStillWorks)
{
    screen->RemoveObject(level->GetHandle());
    Steps(1);
    delete Kestrin::ResourceManager::Instance();
    Gremlin* tic = Add(QuickTuning(), {300, 200});
    Steps(300);
    EXPECT_EQ(board.calls.size(), 1u) << "explosions allowed without a level, the gunk at once";
    EXPECT_FALSE(Alive(tic));
    // The box keeps its size without a sprite.
    Gremlin* plain = Add(QuickTuning(), {0, 0});
    Steps(1);
    EXPECT_EQ(plain->GetHalfWidth(), 40.0f);
}

TEST_F(Creatures, AtTheRightEdgeTurnInward)
{
    Gremlin* tic = Add(QuickTuning(), {720, 200});
    tic->stage = Stage::Wander1;
    Steps(1);
    EXPECT_TRUE(tic->pushedFromEdge);
    EXPECT_LT(tic->heading.x, 0);
    EXPECT_EQ(tic->facing, 3);
    EXPECT_EQ(tic->GetStateAnimation(), Kestrin::MakeName("Normal-WalkLeft-Wander"));
}

TEST_F(Creatures, AStuckCreatureLooksForRoomOnceInSoManyPasses)
{
    Gremlin* tic = Add(QuickTuning(), {300, 200});
    tic->stage = Stage::Wander1;
    Steps(1);
    tic->colliding = true;
    tic->hitCount = 21;
    tic->Update(0.02f);
    EXPECT_EQ(tic->hitCount, 0) << "the next search waits for as many stuck passes again";
}

TEST_F(Creatures, NeighboursPushEachOthersWalksApart)
{
    // Seeded fields: the push on each of two neighbours is 100000 / d^2 along the line between them,
    // equal and opposite; a creature alone gets none.
    for (int seed = 1; seed <= 10; ++seed)
    {
        BoostRandomNumberStream field{uint32_t(seed)};
        Gremlin* a = Add(QuickTuning(), {100 + field.NextFloat() * 500, 100 + field.NextFloat() * 300});
        Gremlin* b = Add(QuickTuning(), {a->GetCentre().x - 40 + field.NextFloat() * 40, a->GetCentre().y});
        Gremlin* alone = Add(QuickTuning(), {a->GetCentre().x > 400 ? 100.0f : 600.0f, 450});
        a->stage = b->stage = alone->stage = Stage::Wander1;
        screen->tree->Update();
        for (Gremlin* tic : {a, b, alone})
        {
            tic->force = Vector2f();
            tic->ChooseNextMove();
        }
        const Vector2f d = a->GetCentre() - b->GetCentre();
        const float length = std::sqrt(d.x * d.x + d.y * d.y);
        const float push = 100000 / (length * length) + 0.0001f;
        SCOPED_TRACE(seed);
        EXPECT_NEAR(a->force.x, d.x / length * push, 1e-3);
        EXPECT_NEAR(a->force.y, d.y / length * push, 1e-3);
        EXPECT_NEAR(b->force.x, -a->force.x, 1e-3);
        EXPECT_NEAR(b->force.y, -a->force.y, 1e-3);
        EXPECT_EQ(alone->force, Vector2f());
        for (Gremlin* tic : {a, b, alone})
            tic->Remove();
        Steps(1);
    }
}

TEST_F(Creatures, EachPanickingCreatureHoldsOneSlowDown)
{
    GlobalSettings::Instance().slowdownMultipler = 0.5f;
    GlobalSettings::Instance().slowDownMinValue = 0.125f;
    for (int seed = 1; seed <= 20; ++seed)
    {
        BoostRandomNumberStream order{uint32_t(seed)};
        std::vector<Gremlin*> tics;
        for (int i = 0; i < 6; ++i)
            tics.push_back(Add(QuickTuning(), {100.0f * float(i), 300}));
        int holding = 0;
        while (!tics.empty())
        {
            const size_t pick = size_t(order.NextInt()) % tics.size();
            Gremlin* tic = tics[pick];
            // Half the time one more panics; else one goes, panicking or not.
            if (order.NextFloat() < 0.5f && tic->stage < Stage::FreakOut)
            {
                tic->stage = Stage::Wander3;
                tic->AdvanceStage();
                ++holding;
            }
            else
            {
                holding -= tic->stage >= Stage::FreakOut ? 1 : 0;
                tic->Remove();
                tics.erase(tics.begin() + std::ptrdiff_t(pick));
            }
            EXPECT_EQ(g_creatureTimeScale, std::max(std::pow(0.5f, float(holding)), 0.125f)) << seed;
            EXPECT_LE(g_creatureTimeScale, 1.0f);
        }
        Steps(1);
        EXPECT_EQ(g_creatureTimeScale, 1.0f);
    }
}

TEST_F(Creatures, BlinkWhenLoopedWithoutThrowing)
{
    Gremlin* tic = Add(QuickTuning(), {300, 200});
    SceneNode* image = FindNodeAtPath(tic->GetNode(), NodePath::CreatureImage);
    tic->OnLooped();
    std::vector<float> reds;
    for (int i = 0; i < 10; ++i)
    {
        Steps(5);
        reds.push_back(image->GetLocalState().color.r);
    }
    EXPECT_EQ(reds, (std::vector<float>{0, 1, 0, 1, 0, 1, 0, 1, 0, 1}));
    Steps(5);
    EXPECT_EQ(image->GetLocalState().color.r, 1.0f);
    EXPECT_FALSE(image->IsChannelBusy(GameNames::GotLooped));
}

namespace
{

// A line from a trap at (100, 300) rightwards in 20 px segments (and a zero-length head), owned
// by the screen.
class Lines : public Creatures
{
protected:
    Line* MakeLine(std::vector<float> xs, GremlinColorType colour = GremlinColorType::Red,
                   GremlinKind kind = GremlinKind::Basic)
    {
        auto* made = new Line(xs.front(), 300, trap, colour, kind);
        screen->AddObject(made);
        for (size_t i = 1; i < xs.size(); ++i)
            made->AddPathPoint({xs[i], 300});
        return made;
    }
    std::vector<LineSegment*> Segments(Line* of) const
    {
        std::vector<LineSegment*> out;
        for (LineSegment* s = of->firstSegment; s; s = s->next)
            out.push_back(s);
        return out;
    }
    // Runs the task on the creature until it finishes (or the limit); the number of steps.
    int RunTask(Kestrin::Task& task, Gremlin* tic, int limit, float dt = 0.02f)
    {
        for (int step = 1; step <= limit; ++step)
            if (!task.Update(tic, dt).running)
                return step;
        return -1;
    }

    // Outside any screen, with no layout: the test keeps it.
    std::unique_ptr<GremlinHome> trapOwner =
        std::make_unique<GremlinHome>(GremlinColorType::Red, Vector2f(80, 285), GremlinKind::Basic, false);
    GremlinHome* trap = trapOwner.get();
    TypeSettings tuning = QuickTuning();
};

} // namespace

TEST_F(Lines, WalksAndPausesEndExactlyWhereAndWhenTheyShould)
{
    Gremlin* tic = Add(tuning, {300, 200});
    PauseAITask still(0);
    EXPECT_EQ(RunTask(still, tic, 5), 1);
    PauseAITask pause(0.1f);
    EXPECT_EQ(RunTask(pause, tic, 10, 0.025f), 4);

    RandomWalkAITask nowhere(340, 240, 40, 0, tic->GetCentre());
    EXPECT_EQ(RunTask(nowhere, tic, 5), 1);
    EXPECT_EQ(tic->GetCentre(), Vector2f(340, 240));
    RandomWalkAITask walk(340, 240, 40, 20, {352, 256});
    EXPECT_TRUE(walk.Update(tic, 0.25f).running);
    EXPECT_EQ(tic->GetCentre(), Vector2f(346, 248));
    EXPECT_TRUE(walk.Update(tic, 0.25f).running);
    EXPECT_EQ(tic->GetCentre(), Vector2f(352, 256));
    EXPECT_FALSE(walk.Update(tic, 0.25f).running);
    RandomWalkAITask stuck(352, 256, 0, 20, {400, 256});
    EXPECT_EQ(RunTask(stuck, tic, 100), -1);
    EXPECT_EQ(tic->GetCentre(), Vector2f(352, 256));
}

TEST_F(Lines, FollowingCreaturesQueueOnePerSegmentAndStopAtTheTrap)
{
    Line* line = MakeLine({100, 120, 140, 160});
    std::vector<LineSegment*> s = Segments(line);
    ASSERT_EQ(s.size(), 4u);
    Gremlin* tic = Add(tuning, {500, 500});
    tic->SetSpeed(40);
    tic->SetSegment(s[2]);
    EXPECT_TRUE(s[2]->occupied);
    FollowPathAITask follow(s[2], 10);
    // Placed on the far end, plus the first step's progress.
    EXPECT_TRUE(follow.Update(tic, 0.02f).running);
    EXPECT_EQ(tic->GetCentre(), Vector2f(159.2f, 300));
    s[0]->occupied = true;
    for (int step = 1; step < 25; ++step)
        follow.Update(tic, 0.02f);
    EXPECT_EQ(tic->GetCentre(), Vector2f(140, 300));
    EXPECT_EQ(follow.segment, s[1]) << "on at 0.5 s";
    EXPECT_FALSE(s[2]->occupied);
    EXPECT_TRUE(s[1]->occupied);
    EXPECT_EQ(RunTask(follow, tic, 100), -1) << "waits behind the occupied segment";
    EXPECT_EQ(tic->GetCentre(), Vector2f(120, 300));
    s[0]->occupied = false;
    const int steps = RunTask(follow, tic, 100);
    EXPECT_GE(steps, 25);
    EXPECT_LE(steps, 27);
    EXPECT_EQ(tic->GetCentre(), Vector2f(100, 300));
    EXPECT_EQ(tic->segment, s[0]);

    // A 30 px closing segment is jumped at 20 / speed; at speed 0 the walker holds.
    Line* closing = MakeLine({100});
    closing->firstSegment->SetEnd({130, 300});
    tic->SetPosition({130, 300});
    tic->SetSegment(closing->firstSegment);
    FollowPathAITask jump(closing->firstSegment, 40);
    const int jumpSteps = RunTask(jump, tic, 100); // 0.5 s, where the interpolation is 20 px short
    EXPECT_GE(jumpSteps, 25);
    EXPECT_LE(jumpSteps, 26);
    EXPECT_EQ(tic->GetCentre(), Vector2f(100, 300));
    tic->SetSpeed(0);
    tic->SetPosition({300, 300});
    FollowPathAITask held(closing->firstSegment, 0);
    EXPECT_EQ(RunTask(held, tic, 100), -1);
    EXPECT_EQ(tic->GetCentre(), Vector2f(130, 300));
}

TEST_F(Lines, WalkingBackToTheTipOfALineStillDrawnLetsItGo)
{
    for (bool drawing : {false, true})
    {
        level->calls.clear();
        Line* line = MakeLine({100, 120, 140});
        line->drawing = drawing;
        level->currentLine = line;
        Gremlin* tic = Add(tuning, {0, 0});
        tic->SetSpeed(40);
        tic->SetPosition({100, 300});
        tic->SetSegment(line->firstSegment);
        ReversePathAITask back(line->firstSegment, 40);
        EXPECT_GT(RunTask(back, tic, 200), 50);
        EXPECT_EQ(tic->GetCentre(), Vector2f(140, 300));
        EXPECT_EQ(line->retracting, drawing);
        EXPECT_EQ(level->calls,
                  drawing ? std::vector<std::string>{"RetractLine"} : std::vector<std::string>{});
        tic->Remove();
    }
}

TEST_F(Lines, SpearedCreaturesWalkIntoTheTrapOrBackUpTheLine)
{
    tuning.angryTime = -1;
    Line* line = MakeLine({100, 120, 140, 160, 180});
    Gremlin* tic = Add(tuning, {120, 260}); // centre (160, 300)
    tic->OnLineContact(line->headSegment);
    ASSERT_EQ(tic->line, line);
    EXPECT_EQ(line->attached, std::vector<Gremlin*>{tic});
    EXPECT_EQ(line->spearState, GremlinMetaType::Normal);
    EXPECT_FALSE(tic->movable);
    EXPECT_EQ(tic->GetCentre(), Vector2f(180, 300));
    EXPECT_EQ(tic->segment, line->headSegment);
    EXPECT_EQ(tic->stage, Stage::Wander1) << "a creature still fading in grows at once";
    EXPECT_EQ(level->calls, (std::vector<std::string>{"HaulCreature 1 40", "ShowSpearValue 1 180,300"}));
    // 80 px down the line at 40 px/s.
    int steps = 0;
    while (!tic->inTrap && steps < 300)
    {
        Steps(1);
        ++steps;
    }
    EXPECT_GE(steps, 100);
    EXPECT_LE(steps, 105);
    EXPECT_EQ(tic->GetCentre(), line->firstSegment->start);
    EXPECT_EQ(trap->captures, 1);
    EXPECT_EQ(level->captureCount, 1);
    EXPECT_EQ(std::count(played.begin(), played.end(), "SFX_EnterTrap"), 1);
    EXPECT_FALSE(tic->HasHealth());
    Steps(15);
    EXPECT_FALSE(Alive(tic)) << "gone into the trap";
    EXPECT_TRUE(line->attached.empty());

    // A patient one waits angryTime, then walks back up towards the tip.
    tuning.angryTime = 0.5f;
    Line* other = MakeLine({100, 120, 140, 160});
    Gremlin* waiting = Add(tuning, {100, 260});
    waiting->OnLineContact(other->headSegment);
    Steps(20);
    EXPECT_EQ(waiting->lineState, Gremlin::LineState::Waiting);
    EXPECT_EQ(waiting->GetCentre(), Vector2f(160, 300));
    Steps(10);
    EXPECT_EQ(waiting->lineState, Gremlin::LineState::WalkingUp);
    // The loop scored: now down into the trap.
    waiting->StartFollowingLine(1);
    EXPECT_EQ(waiting->lineState, Gremlin::LineState::Hauled);
    EXPECT_EQ(waiting->lineCount, 1);
    Steps(150);
    EXPECT_EQ(trap->captures, 2);
}

TEST_F(Lines, ACreatureLeavesItsLineWhenReleasedSpearedAgainOrRemoved)
{
    Line* first = MakeLine({100, 120, 140});
    Line* second = MakeLine({100, 120, 140});
    Gremlin* tic = Add(tuning, {100, 260});
    tic->OnLineContact(first->headSegment);
    ASSERT_EQ(first->attached.size(), 1u);
    tic->OnSpeared(second);
    EXPECT_TRUE(first->attached.empty());
    EXPECT_EQ(second->attached, std::vector<Gremlin*>{tic});

    // Its segment goes: off the line, free to move, nothing left walking it.
    LineSegment* standing = tic->segment;
    ASSERT_EQ(standing, second->headSegment);
    second->retracting = true;
    second->Update(0.02f); // winds its head back
    EXPECT_EQ(tic->line, nullptr);
    EXPECT_EQ(tic->segment, nullptr);
    EXPECT_TRUE(tic->movable);
    EXPECT_TRUE(second->attached.empty());
    EXPECT_FALSE(tic->IsChannelBusy(GameNames::MovementAITask));

    tic->OnSpeared(first);
    LineSegment* held = tic->segment;
    tic->Remove();
    Steps(1);
    EXPECT_TRUE(first->attached.empty());
    EXPECT_FALSE(held->occupied);
}

TEST_F(Lines, ContactTakesOnlyWhatTheLineMaySpear)
{
    using C = GremlinColorType;
    using K = GremlinKind;
    struct Case
    {
        const char* what;
        C lineColour;
        K lineKind;
        GremlinMetaType spearState;
        C colour;
        K kind;
        GremlinMetaType meta;
        bool lineHolds;
        Stage stage;
        Gremlin::SpecialMode special;
        bool speared, badSpear;
    };
    const GremlinMetaType A = GremlinMetaType::Any, N = GremlinMetaType::Normal, P = GremlinMetaType::PowerUp;
    const Stage W = Stage::Wander1, X = Stage::Exploding;
    const Gremlin::SpecialMode Off = Gremlin::SpecialMode::Normal, On = Gremlin::SpecialMode::Special;
    const Case cases[] = {
        {"match", C::Red, K::Basic, A, C::Red, K::Basic, N, false, W, Off, true, false},
        {"any colour line", C::Any, K::Basic, A, C::Green, K::Basic, N, false, W, Off, true, false},
        {"any kind line", C::Red, K::Any, A, C::Red, K::Shy, N, false, W, Off, true, false},
        {"spear state taken", C::Red, K::Basic, N, C::Red, K::Basic, N, true, W, Off, true, false},
        {"power-up after a spear", C::Red, K::Basic, N, C::Red, K::Basic, P, false, W, Off, false, false},
        {"other colour", C::Red, K::Basic, A, C::Green, K::Basic, N, false, W, Off, false, false},
        {"blue on a loner line", C::Red, K::Loner, A, C::Blue, K::Basic, N, false, W, Off, false, true},
        {"exploding", C::Red, K::Basic, A, C::Red, K::Basic, N, false, X, Off, false, false},
        {"power-up on a held line", C::Red, K::Any, A, C::Red, K::Freeze, P, true, W, Off, false, false},
        {"loner on a held line", C::Red, K::Any, A, C::Red, K::Loner, N, true, W, Off, false, true},
        {"loner alone", C::Red, K::Any, A, C::Red, K::Loner, N, false, W, Off, true, false},
        {"protected", C::Red, K::Any, A, C::Red, K::Protected, N, false, W, On, false, true},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        played.clear();
        Line* line = MakeLine({100, 120, 140}, c.lineColour, c.lineKind);
        line->spearState = c.spearState;
        Gremlin* holder = nullptr;
        if (c.lineHolds)
            line->attached.push_back(holder = Add(tuning, {0, 0}));
        TypeSettings settings = QuickTuning(c.kind, c.colour);
        Gremlin* tic = Add(settings, {100, 260});
        tic->metaType = c.meta;
        tic->stage = c.stage;
        tic->special = c.special;
        tic->OnLineContact(line->headSegment);
        EXPECT_EQ(tic->line == line, c.speared);
        EXPECT_EQ(played == std::vector<std::string>{"SFX_BadSpear"}, c.badSpear);
        if (c.speared && c.kind == K::Loner)
        {
            EXPECT_EQ(line->kind, K::Loner);
        }
        line->attached.clear();
        tic->Remove();
        if (holder)
            holder->Remove();
        Steps(1);
    }
}
