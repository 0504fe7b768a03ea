#include "Game/BasicGremlin.h"

#include "Base/Random.h"
#include "Framework/Audio.h"
#include "Framework/ObjectDatabase.h"
#include "Framework/Tasks.h"
#include "Game/GremlinFactory.h"
#include "Game/GremlinHomeFactory.h"
#include "Game/LevelServices.h"
#include "Game/TutorialBubble.h"
#include "Scene/AnimatedSpriteNode.h"
#include "Scene/SpriteType.h"

#include <cmath>

namespace
{
constexpr float kForceScale = 10000.0f;
constexpr float kNudge = 0.0001f;
constexpr float kShowCurrent = 0.4f;
constexpr float kShowNew = 0.2f;
constexpr float kFlashLength = 2.0f;

// v scaled to the length; zero stays zero.
Vector2f ScaledTo(Vector2f v, float length)
{
    const float norm = std::sqrt(v.x * v.x + v.y * v.y);
    return norm > 0 ? v * (length / norm) : v;
}

float SquaredDistance(Vector2f a, Vector2f b)
{
    const Vector2f d = a - b;
    return d.x * d.x + d.y * d.y;
}
} // namespace

BasicGremlin::BasicGremlin(float x, float y, const TypeSettings& settings_) : Gremlin(settings_, x, y)
{
    metaType = GremlinMetaType::Normal;
    ApplyStage();
}

BasicGremlin::~BasicGremlin() = default;

void BasicGremlin::OnRemoving()
{
    colorConnection.disconnect();
    Gremlin::OnRemoving();
}

void BasicGremlin::Update(float dt)
{
    if (kind == GremlinKind::Shy && !line)
    {
        const LevelServices* level = FindLevel();
        const Vector2f cursor = level ? level->mousePosition : Vector2f(FLT_MIN, FLT_MIN);
        if (SquaredDistance(GetCentre(), cursor) < settings.param3 * settings.param3)
            shyTimer += dt;
        else
            shyTimer = 0;
        if (shyTimer >= settings.param4)
            ClearChannel(GameNames::MovementAITask);
    }
    Gremlin::Update(dt);
}

void BasicGremlin::AdjustWalk(float& walkSpeed, float& walkLength)
{
    const Vector2f centre = GetCentre();
    if (kind == GremlinKind::Shy)
    {
        const LevelServices* level = FindLevel();
        const Vector2f cursor = level ? level->mousePosition : Vector2f(FLT_MIN, FLT_MIN);
        if (shyTimer >= settings.param4)
        {
            walkSpeed *= 2;
            walkLength *= 2;
        }
        const float d2 = SquaredDistance(centre, cursor);
        if (d2 < settings.param2 * settings.param2)
            force += ScaledTo(centre - cursor, settings.param1 * kForceScale / d2 + kNudge);
    }
    else if (kind == GremlinKind::Pairing)
    {
        HeldObject<BasicGremlin>::ForEach(
            [this, centre](BasicGremlin* other)
            {
                if (other->kind != GremlinKind::Pairing)
                    return;
                const Vector2f v = other->GetCentre() - centre;
                const float d2 = v.x * v.x + v.y * v.y;
                if (d2 > 0)
                    force += ScaledTo(v, settings.param1 * kForceScale / d2 + kNudge);
            });
    }
}

void BasicGremlin::OnBehaviourTimer()
{
    if (kind == GremlinKind::Protected)
    {
        if (special == SpecialMode::Normal)
        {
            if (stage == Stage::FreakOut)
                return;
            ClearChannel(GameNames::MovementAITask);
            special = SpecialMode::Special;
            facing = 0;
            ApplyStage();
            behaviourTimer = Kestrin::RandomFloat(settings.param3, settings.param4);
        }
        else
        {
            needsRestage = true;
            behaviourTimer = Kestrin::RandomFloat(settings.param1, settings.param2);
            special = SpecialMode::Normal;
        }
        return;
    }
    if (kind != GremlinKind::Indecisive || IsChannelBusy(GameNames::FlashingTask) ||
        IsChannelBusy(GameNames::ColorChangeTask))
        return;
    auto* traps = Kestrin::FindObjectAs<GremlinHomeFactory>(Kestrin::GetCurrentObjectDatabase(),
                                                            GameNames::GremlinHomeFactory);
    const GremlinColorType next = traps ? traps->PickColour() : GremlinColorType::Purple;
    if (stage >= Stage::FreakOut)
        return;
    using namespace Kestrin;
    using Step = FunctionTask<BasicGremlin>;
    const GremlinColorType current = color;
    auto show = [](GremlinColorType colour)
    {
        return new Step(
            [colour](BasicGremlin* self)
            {
                if (self)
                    self->ShowColorSprite(colour);
                return TaskFinished;
            });
    };
    auto* flashing = new RepeatingTask(new SerialTask(show(current), new TimedTask(kShowCurrent)),
                                       new SerialTask(show(next), new TimedTask(kShowNew)));
    CuePoint* cue = CuePoint::Create();
    SetChannelTask(
        GameNames::FlashingTask,
        MakeTaskThenCue(new ParallelTask(ParallelTask::Any, flashing, new TimedTask(kFlashLength)), cue));
    SetChannelTask(GameNames::ColorChangeTask, MakeCueThenTask(cue, new Step(
                                                                        [next](BasicGremlin* self)
                                                                        {
                                                                            if (self)
                                                                                self->ApplyColorTask(next);
                                                                            return TaskFinished;
                                                                        })));
}

void BasicGremlin::ShowColorSprite(GremlinColorType colour)
{
    if (auto* image = dynamic_cast<AnimatedSpriteNode*>(FindNodeAtPath(layoutNode, NodePath::CreatureImage)))
    {
        const std::string type = std::string(NameOf(kind)) + NameOf(colour) + CreatureSpriteTypeSuffix;
        image->SetSpriteType(GetSpriteType(type.c_str()).second);
    }
    ApplyStage();
}

void BasicGremlin::SetColor(GremlinColorType colour)
{
    const bool indecisive = kind == GremlinKind::Indecisive;
    // Black and Any have no basic creature: only the colour and the sprite change.
    const bool becomesBasic = !indecisive && int(colour) <= int(GremlinColorType::Purple);
    if (becomesBasic)
    {
        if (!line)
            ClearChannel(GameNames::MovementAITask);
        PlayEffect(GameNames::ShrinkingEffect);
        PlayEffect(GameNames::ShrinkingEffect);
        affected = AffectedBy::Shrinking;
        needsRestage = true;
        special = SpecialMode::Normal;
        kind = GremlinKind::Basic;
        auto* creatures = Kestrin::FindObjectAs<GremlinFactory>(Kestrin::GetCurrentObjectDatabase(),
                                                                GameNames::GremlinFactory);
        if (const TypeSettings* basic =
                creatures ? creatures->FindSettings(CreatureSpriteId(colour)) : nullptr)
            settings = *basic;
    }
    color = colour;
    ShowColorSprite(colour);
    // Its own cycle goes on, whatever the colour.
    if (indecisive)
    {
        special = SpecialMode::Normal;
        behaviourTimer = Kestrin::RandomFloat(settings.param1, settings.param2);
    }
}

void BasicGremlin::OnSpeared(Line* spearing)
{
    const bool flashing = IsChannelBusy(GameNames::FlashingTask);
    Gremlin::OnSpeared(spearing);
    if (flashing)
        ShowColorSprite(color);
}

void BasicGremlin::Enter()
{
    Kestrin::PlaySoundById(GameNames::BasicEnterSound);
}

std::string BasicGremlin::SpearedSoundSuffix() const
{
    return kind == GremlinKind::Basic ? std::string("Basic") + NameOf(color) : std::string(NameOf(kind));
}

void BasicGremlin::PlaySpearedSound()
{
    Kestrin::PlaySoundById(Kestrin::MakeName(SpearedSoundPrefix + SpearedSoundSuffix()));
}
