#include "Game/PowerUpGremlin.h"

#include "Base/Random.h"
#include "Framework/Audio.h"
#include "Framework/ObjectDatabase.h"
#include "Framework/Tasks.h"
#include "Game/BasicGremlin.h"
#include "Game/GremlinFactory.h"
#include "Game/GremlinHomeFactory.h"
#include "Game/LevelServices.h"
#include "Game/Line.h"
#include "Game/LineSegment.h"
#include "Game/TutorialBubble.h"
#include "Scene/AnimatedSpriteNode.h"
#include "Scene/NodeTasks.h"

#include <string>

namespace
{
constexpr float kEffectTime = 1.5f;
constexpr float kFadeTime = 0.5f;
constexpr float kSparkleDelay = 0.5f;
constexpr int kSparkles = 5;

GremlinFactory* FindCreatureFactory()
{
    return Kestrin::FindObjectAs<GremlinFactory>(Kestrin::GetCurrentObjectDatabase(),
                                                 GameNames::GremlinFactory);
}

Kestrin::NameId PowerUpAnimation(const char* state)
{
    return Kestrin::MakeName(std::string(PowerUpAnimationPrefix) + state);
}

// Every creature a field-wide power-up acts on.
template <typename F> void ForEachOnField(F f)
{
    HeldObject<BasicGremlin>::ForEach([&f](BasicGremlin* creature) { f(creature); });
    HeldObject<GremlinKing>::ForEach([&f](GremlinKing* king) { f(king); });
}
} // namespace

PowerUpGremlin::PowerUpGremlin(float x, float y, const TypeSettings& settings_) : Gremlin(settings_, x, y)
{
    metaType = GremlinMetaType::PowerUp;
    ApplyStage();
}

PowerUpGremlin::~PowerUpGremlin() = default;

void PowerUpGremlin::Update(float dt)
{
    if (stage == Stage::FadeIn)
    {
        if (needsRestage)
            ApplyStage();
        auto* image = dynamic_cast<AnimatedSpriteNode*>(FindNodeAtPath(layoutNode, NodePath::CreatureImage));
        if (image && image->IsPlayingAnimation(PowerUpAnimation("Enter")))
            return;
        stage = Stage::Wander1;
        ApplyStage();
    }
    Gremlin::Update(dt);
}

Kestrin::NameId PowerUpGremlin::GetStateAnimation() const
{
    if (stage == Stage::FadeIn)
        return PowerUpAnimation("Enter");
    if (facing == 5)
        return PowerUpAnimation("Speared");
    if (kind == GremlinKind::UnifyColors)
        return PowerUpAnimation("Pause");
    return PowerUpAnimation("Idle");
}

void PowerUpGremlin::OnSpeared(Line* spearing)
{
    Gremlin::OnSpeared(spearing);
    if (!spearing)
        return;
    spearing->spearState = GremlinMetaType::PowerUp;
    LevelServices* level = FindLevel();
    const Vector2f head = spearing->headSegment ? spearing->headSegment->end : GetCentre();
    if (kind == GremlinKind::DeepClean)
    {
        spearing->powerUpEffect = Line::PowerUpEffect::DeepClean;
        if (level)
            level->ShowPowerUpFeedback(int(kind), head, true);
        return;
    }
    if (kind == GremlinKind::Damage)
    {
        spearing->powerUpEffect = Line::PowerUpEffect::Damage;
        spearing->powerUpDamage = Kestrin::RandomInt(int(settings.param1), int(settings.param2));
        if (level)
            level->ShowPowerUpFeedback(int(kind), head, false);
        return;
    }
    // The others end the line at once and haul what it holds.
    spearing->ClearTasks();
    ClearChannel(GameNames::MovementAITask);
    spearing->loopScored = true;
    if (level)
        level->RetractLine();
    const std::vector<Gremlin*> held = spearing->attached;
    for (Gremlin* creature : held)
        creature->StartFollowingLine(spearing->mostHeld);
    ApplyEffect();
}

void PowerUpGremlin::ApplyEffect()
{
    LevelServices* level = FindLevel();
    if (level)
        level->ShowPowerUpFeedback(int(kind), GetCentre(), false);
    PlayActionSound();
    GremlinFactory* creatures = FindCreatureFactory();
    switch (kind)
    {
    case GremlinKind::Freeze:
    {
        ForEachOnField([](Gremlin* creature) { creature->Freeze(); });
        const float duration = Kestrin::RandomFloat(settings.param1, settings.param2);
        if (level)
        {
            level->creatureEffect = CreatureEffect::Freeze;
            level->freezeTimer = duration;
        }
        if (creatures)
            creatures->spawnPause = duration;
        break;
    }
    case GremlinKind::Shrink:
        ForEachOnField([](Gremlin* creature) { creature->Shrink(); });
        if (level)
        {
            if (level->freezeTimer <= 0)
                level->freezeTimer = kEffectTime;
            level->creatureEffect = CreatureEffect::Shrink;
        }
        break;
    case GremlinKind::UnifyColors:
    {
        auto* traps = Kestrin::FindObjectAs<GremlinHomeFactory>(Kestrin::GetCurrentObjectDatabase(),
                                                                GameNames::GremlinHomeFactory);
        const GremlinColorType colour = traps ? traps->PickColour() : GremlinColorType::Purple;
        // Black and Any have no basic creature to spawn as.
        if (creatures && int(colour) <= int(GremlinColorType::Purple))
        {
            creatures->unifyTimer = settings.param1;
            creatures->unifySprite = CreatureSpriteId(colour);
        }
        HeldObject<BasicGremlin>::ForEach(
            [colour](BasicGremlin* creature)
            {
                if (!creature->line && creature->kind != GremlinKind::Agreeable)
                    creature->SetColor(colour);
            });
        if (level)
        {
            if (level->freezeTimer <= 0)
                level->freezeTimer = kEffectTime;
            level->creatureEffect = CreatureEffect::Shrink;
        }
        break;
    }
    default:
        break;
    }
}

void PowerUpGremlin::OnLevelWon()
{
    g_holdCreatureAlpha = true;
    if (SceneNode* scaleNode = FindNodeAtPath(layoutNode, NodePath::CreatureScaleNode))
        scaleNode->SetChannelTask(GameNames::FadingOutTask, new NodeAlphaTask(0.0f, kFadeTime));
    Kestrin::ObjectDatabase* database = Kestrin::DatabaseOf(this);
    if (!database || !layoutNode)
        return;
    for (int i = 0; i < kSparkles; ++i)
    {
        auto* sparkle = new AnimatedSpriteNode(GameNames::LineSparkle.Get());
        const float x = Kestrin::RandomFloat(-GetHalfWidth(), GetHalfWidth());
        const float y = Kestrin::RandomFloat(-GetHalfHeight(), GetHalfHeight());
        sparkle->SetPosition(x, y);
        database->AddObject(sparkle);
        sparkle->SetParent(layoutNode);
        sparkle->SetVisible(false);
        sparkle->AddTask(new Kestrin::TimedTask(Kestrin::RandomFloat(0.0f, kSparkleDelay)));
        sparkle->AddTask(new NodeVisibleTask(true));
        sparkle->AddTask(new NodeAnimationTask(GameNames::EffectPlay.Get(), NodeAnimationTask::Play, 1));
        sparkle->AddTask(new Kestrin::SelfDestructTask);
    }
}

void PowerUpGremlin::Enter()
{
    Kestrin::PlaySoundById(GameNames::PowerUpEnterSound);
}

void PowerUpGremlin::PlaySpearedSound()
{
    Kestrin::PlaySoundById(Kestrin::MakeName(std::string(SpearedSoundPrefix) + NameOf(kind)));
}

void PowerUpGremlin::PlayActionSound()
{
    Kestrin::PlaySoundById(Kestrin::MakeName(std::string(ActionSoundPrefix) + NameOf(kind)));
}
