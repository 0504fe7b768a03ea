// The level's outros: the steps between a decided outcome and the outro screen.
#include "Game/NimbalLevel.h"

#include "Base/Random.h"
#include "Framework/Audio.h"
#include "Framework/ObjectDatabase.h"
#include "Framework/Tasks.h"
#include "Game/GremlinHome.h"
#include "Game/GunkBoard.h"
#include "Game/ImmovableObstacle.h"
#include "Game/LevelOutcome.h"
#include "Game/Line.h"
#include "Game/PowerUpGremlin.h"
#include "Scene/NodeTasks.h"
#include "Scene/StaticSpriteNode.h"

namespace
{
constexpr float SplashInterval = 0.05f;
} // namespace

void NimbalLevel::SuccessOutroStep(float dt)
{
    if (outroDelay == OutroDelay)
        Celebrate();
    if (outroDelay <= 0.0f && !outroRequested)
    {
        if (SceneNode* background = Node(NodePath::BannerBackground))
            background->SetAlpha(0.7f);
        ReportLevelSuccess(timeElapsed < expertTime, int(timeElapsed + 1.0f), int(expertTime));
        outroRequested = true;
    }
    outroDelay -= dt;
}

void NimbalLevel::Celebrate()
{
    outroRequested = false;
    currentLine = nullptr;
    drawing = false;
    HeldObject<Line>::ForEach([](Line* line) { line->AddTask(new Kestrin::SelfDestructTask()); });
    SceneNode* background = Node(NodePath::LevelBackground);
    Kestrin::ObjectDatabase* database = Kestrin::GetCurrentObjectDatabase();
    if (background && database)
    {
        const SceneNode::Rectf area = background->GetWorldRect();
        for (int i = 0; i < 40; ++i)
        {
            auto* sparkle = new StaticSpriteNode(Kestrin::InternNameF("blue_sml"), Kestrin::RandomInt(0, 9));
            database->AddObject(sparkle);
            sparkle->SetParent(background);
            const float x = Kestrin::RandomFloat(0.0f, 1.0f) * area.w;
            sparkle->SetPosition(x, Kestrin::RandomFloat(0.0f, 1.0f) * area.h);
            sparkle->SetAlpha(0.0f);
            const float a = 1.5f * Kestrin::RandomFloat(0.0f, 1.0f);
            sparkle->AddTask(Sequence({new NodeAlphaTask(1.0f, a), new NodeAlphaTask(0.0f, 1.5f - a),
                                       new Kestrin::SelfDestructTask()}));
        }
    }
    Kestrin::PlaySoundNamed("SFX_ObstacleDisappear");
    HeldObject<ImmovableObstacle>::ForEach([](ImmovableObstacle* o) { o->Disappear(); });
    HeldObject<GremlinHome>::ForEach(
        [](GremlinHome* trap)
        {
            trap->SetHitTest(false);
            trap->CelebrationBurst();
        });
    HeldObject<PowerUpGremlin>::ForEach([](PowerUpGremlin* p) { p->OnLevelWon(); });
}

void NimbalLevel::FailureOutroStep(float dt)
{
    gunkCleared = false;
    if (outroDelay == OutroDelay)
        ClearPlayfield();
    if (outroDelay <= 0.0f && !outroRequested)
    {
        if (SceneNode* background = Node(NodePath::BannerBackground))
            background->SetAlpha(0.7f);
        ReportLevelFailure(OutOfTimeReason, 0);
        outroRequested = true;
    }
    if (lastSplash - outroDelay > SplashInterval)
        Splash();
    outroDelay -= dt;
}

void NimbalLevel::ClearPlayfield()
{
    outroRequested = false;
    lastSplash = OutroDelay;
    currentLine = nullptr;
    drawing = false;
    HeldObject<Line>::ForEach([](Line* line) { line->AddTask(new Kestrin::SelfDestructTask()); });
    HeldObject<ImmovableObstacle>::ForEach([](ImmovableObstacle* o)
                                           { o->AddTask(new Kestrin::SelfDestructTask()); });
    HeldObject<GremlinHome>::ForEach([](GremlinHome* trap)
                                     { trap->AddTask(new Kestrin::SelfDestructTask()); });
}

void NimbalLevel::Splash()
{
    const int x = Kestrin::RandomInt(50, 750);
    const int y = Kestrin::RandomInt(50, 550);
    const int radius = Kestrin::RandomInt(75, 100);
    for (int i = 0; i < 3; ++i)
        Board().AddGunk(radius, x, y, int(GremlinColorType::Black));
    lastSplash = outroDelay;
}
