#include "Game/Gremlin.h"

#include "Base/Random.h"
#include "Framework/Audio.h"
#include "Framework/ObjectDatabase.h"
#include "Framework/Tasks.h"
#include "Game/GlobalSettings.h"
#include "Game/GremlinHome.h"
#include "Game/GremlinHomeFactory.h"
#include "Game/GunkBoard.h"
#include "Game/LevelServices.h"
#include "Game/Line.h"
#include "Game/LineSegment.h"
#include "Game/MovementTasks.h"
#include "Game/TutorialBubble.h"
#include "Game/TutorialManager.h"
#include "Scene/AnimatedSpriteNode.h"
#include "Scene/CurrentScene.h"
#include "Scene/NodeTasks.h"
#include "Scene/SceneLayout.h"
#include "Scene/SpriteType.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <string>

float g_creatureTimeScale = 1.0f;
bool explodeColors = false;
bool g_holdCreatureAlpha = false;

namespace
{
constexpr float kBoxSize = 80.0f;
constexpr float kEffectRadiusSize = 100.0f;
constexpr int kStuckPasses = 20;
constexpr float kEdgePush = 10000.0f;
constexpr float kEdgeWalkLength = 10.0f;
constexpr float kNudge = 0.0001f;
constexpr float kRepulsion = 100000.0f;
constexpr float kScaleTime = 0.2f;
constexpr float kFlameScale = 1.5f;
constexpr float kTrapScale = 0.4f;
constexpr float kTrapTime = 0.2f;
constexpr float kTrapRise = 30.0f;
constexpr float kBlinkHalfPeriod = 0.1f;
constexpr float kBlinkLength = 1.0f;

float Length(Vector2f v)
{
    return std::sqrt(v.x * v.x + v.y * v.y);
}

// Zero stays zero.
Vector2f Normalised(Vector2f v)
{
    const float length = Length(v);
    return length > 0.0f ? v * (1.0f / length) : v;
}

void PlaySound(const Kestrin::ConstantName& name)
{
    Kestrin::PlaySoundById(name.Get());
}

// The layout's tree, unregistered; an empty node when the layout is not loaded.
SceneNode* BuildLayout(Kestrin::NameId name)
{
    const SceneLayout* layout = GetSceneLayout(name).second;
    if (layout && layout->GetRoot())
        return SceneLayout::BuildNode(nullptr, *layout->GetRoot());
    return new SceneNode;
}

} // namespace

void UpdateCreatureTimeScale()
{
    int holding = 0;
    HeldObject<Gremlin>::ForEach([&holding](Gremlin* creature) { holding += creature->slowingDown ? 1 : 0; });
    const GlobalSettings& tuning = GlobalSettings::Instance();
    const float scale = std::max(std::pow(tuning.slowdownMultipler, float(holding)), tuning.slowDownMinValue);
    g_creatureTimeScale = std::min(scale, 1.0f);
}

Gremlin::Gremlin(const TypeSettings& settings_, float x, float y)
    : GameObject(x, y, kBoxSize, kBoxSize, true, false), effectRadius(GetCentre(), kEffectRadiusSize),
      settings(settings_)
{
    color = settings.color;
    kind = settings.behavior;
    g_holdCreatureAlpha = false;
    stageTimer = GlobalSettings::Instance().fadeInTime;
    if (kind == GremlinKind::Protected || kind == GremlinKind::Indecisive)
        behaviourTimer = Kestrin::RandomFloat(settings.param1, settings.param2);
    if (kind == GremlinKind::Indecisive)
        if (auto* traps = Kestrin::FindObjectAs<GremlinHomeFactory>(Kestrin::GetCurrentObjectDatabase(),
                                                                    GameNames::GremlinHomeFactory.Get()))
            color = traps->PickColour();

    layoutNode = BuildLayout(GameNames::CreatureLayout.Get());
    if (auto* image = dynamic_cast<AnimatedSpriteNode*>(FindNodeAtPath(layoutNode, NodePath::CreatureImage)))
    {
        const std::string type = std::string(NameOf(kind)) + NameOf(color) + CreatureSpriteTypeSuffix;
        image->SetSpriteType(GetSpriteType(type.c_str()).second);
    }
    SetSpeed(GlobalSettings::Instance().BaseFollowLineSpeed);
    SyncNodePosition(GetCentre());
    // Each kind's constructor applies stage 0 (size, half alpha, animation), since only it can
    // answer its own animation; a bare creature applies it on its first update.
    needsRestage = true;
}

Gremlin::~Gremlin()
{
    segmentConnection.disconnect();
    DeleteOwnedNodes(layoutNode);
}

Kestrin::NameId Gremlin::GetRole() const
{
    return GameNames::GremlinRole;
}

int Gremlin::GetCollisionPriority() const
{
    return 4;
}

void Gremlin::OnCollision(CollisionTreeComponent* other)
{
    PushApart(other);
}

void Gremlin::SyncNodePosition(Vector2f centre)
{
    if (layoutNode)
        layoutNode->SetPosition(centre.x, centre.y);
    effectRadius.SetPosition(centre);
}

void Gremlin::SetSpeed(float value)
{
    if (lineState != LineState::Hauled)
        speed = std::min(value, settings.maxMoveSpeed);
}

bool Gremlin::PushApart(CollisionTreeComponent* other)
{
    if (GameObject::PushApart(other))
    {
        const Vector2f away = Normalised(GetCentre() - other->GetCentre());
        if (away != Vector2f())
            heading = away;
    }
    return true;
}

void Gremlin::OnLooped()
{
    SceneNode* image = FindNodeAtPath(layoutNode, NodePath::CreatureImage);
    if (!image)
        return;
    using namespace Kestrin;
    const ColorF black{0, 0, 0, 1}, white{1, 1, 1, 1};
    auto* blink =
        new RepeatingTask(new SerialTask(new NodeColorTask(black), new TimedTask(kBlinkHalfPeriod)),
                          new SerialTask(new NodeColorTask(white), new TimedTask(kBlinkHalfPeriod)));
    auto* limited = new ParallelTask(ParallelTask::Any, new TimedTask(kBlinkLength), blink);
    image->SetChannelTask(GameNames::GotLooped, new SerialTask(limited, new NodeColorTask(white)));
}

void Gremlin::OnBehaviourTimer() {}
void Gremlin::AdjustWalk(float&, float&) {}
void Gremlin::Enter() {}
void Gremlin::PlaySpearedSound() {}
void Gremlin::PlayActionSound() {}

float Gremlin::GetStageScale(Stage of) const
{
    const auto& scales = GlobalSettings::Instance().creatureSizeScales;
    const int index = int(of);
    return index >= 0 && size_t(index) < scales.size() ? scales[size_t(index)] : 1.0f;
}

void Gremlin::Update(float dt)
{
    force = Vector2f();
    if (needsRestage)
        ApplyStage();
    if (stage == Stage::Exploding)
    {
        HideCreatureImage();
        return;
    }
    if (inTrap)
        return;
    if (line)
    {
        UpdateSpeared(dt);
        return;
    }
    if (!colliding)
        hitCount = 0;
    else if (hitCount > kStuckPasses)
    {
        FindFreeSpot();
        // On a field with no room left the search fails; it is tried again only after as many
        // stuck passes, not on every pass (a search over a full field tries thousands of spots).
        hitCount = 0;
        ClearChannel(GameNames::MovementAITask);
        return;
    }
    if (affected != AffectedBy::None)
    {
        const LevelServices* level = FindLevel();
        if ((!level || level->freezeTimer <= 0) && affected != AffectedBy::DamageFlash)
        {
            affected = AffectedBy::None;
            needsRestage = true;
        }
        if (affected != AffectedBy::None)
            return;
    }
    if (special != SpecialMode::Special)
    {
        stageTimer -= g_creatureTimeScale * dt;
        if (stageTimer <= 0)
            AdvanceStage();
    }
    if (stage != Stage::FadeIn)
        behaviourTimer -= dt;
    if (behaviourTimer <= 0)
        OnBehaviourTimer();
    if (special != SpecialMode::Special)
    {
        const Vector2f centre = GetCentre();
        const float fx = centre.x + GetHalfWidth() > PlayfieldRight  ? -kEdgePush
                         : centre.x - GetHalfWidth() < PlayfieldLeft ? kEdgePush
                                                                     : 0.0f;
        const float fy = centre.y + GetHalfHeight() > PlayfieldBottom ? -kEdgePush
                         : centre.y - GetHalfHeight() < PlayfieldTop  ? kEdgePush
                                                                      : 0.0f;
        pushedFromEdge = false;
        AddForce({fx, fy});
        if (fx != 0 || fy != 0)
        {
            pushedFromEdge = true;
            ClearChannel(GameNames::MovementAITask);
        }
    }
    if (!IsChannelBusy(GameNames::MovementAITask) && stage != Stage::FadeIn)
        ChooseNextMove();
}

void Gremlin::UpdateSpeared(float dt)
{
    lineTimer -= dt;
    if (lineState == LineState::Waiting)
    {
        if (settings.angryTime < 0)
            lineState = LineState::WalkingDown;
        else if (lineTimer <= 0)
            lineState = LineState::WalkingUp;
    }
    // The walk down the line ends on the first segment's start, at the trap.
    if (line->firstSegment && GetCentre() == line->firstSegment->start)
    {
        EnterTrap();
        return;
    }
    if (IsChannelBusy(GameNames::MovementAITask) || !segment)
        return;
    if (lineState == LineState::WalkingUp)
        SetChannelTask(GameNames::MovementAITask, new ReversePathAITask(segment, speed));
    else if (lineState == LineState::WalkingDown || lineState == LineState::Hauled)
        SetChannelTask(GameNames::MovementAITask, new FollowPathAITask(segment, speed));
}

void Gremlin::ChooseNextMove()
{
    if (stage >= Stage::FreakOut)
    {
        ClearChannel(GameNames::MovementAITask);
        return;
    }
    Vector2f direction;
    if (heading.x == FLT_MIN || heading.y == FLT_MIN)
    {
        const float dx = Kestrin::RandomFloat(-1.0f, 1.0f);
        direction = Normalised({dx, Kestrin::RandomFloat(-1.0f, 1.0f)});
    }
    else
    {
        float angle = std::acos(std::clamp(heading.x, -1.0f, 1.0f));
        if (heading.y < 0)
            angle = -angle;
        angle += Kestrin::RandomFloat(settings.randomWalkAngleVarMin, settings.randomWalkAngleVarMax);
        direction = {std::cos(angle), std::sin(angle)};
    }
    float walkSpeed = Kestrin::RandomFloat(settings.randomWalkSpeedMin, settings.randomWalkSpeedMax) + kNudge;
    float walkLength =
        (pushedFromEdge ? kEdgeWalkLength
                        : Kestrin::RandomFloat(settings.randomWalkLengthMin, settings.randomWalkLengthMax)) +
        kNudge;
    AdjustWalk(walkSpeed, walkLength);

    const Vector2f centre = GetCentre();
    for (const CollisionTreeComponent* other : effectRadius.contacts)
    {
        if (other == static_cast<const CollisionTreeComponent*>(this))
            continue;
        const Vector2f d = centre - other->GetCentre();
        const float distance = Length(d);
        if (distance > 0)
            force += d * ((1.0f / distance) * (kRepulsion / (distance * distance) + kNudge));
    }
    const Vector2f sum = direction + force * (1.0f / walkSpeed);
    if (sum != Vector2f())
        heading = Normalised(sum);
    walkSpeed += Length(force) / walkSpeed;
    const Vector2f target = centre + heading * walkLength;
    SetChannelTask(GameNames::MovementAITask,
                   new RandomWalkAITask(centre.x, centre.y, walkSpeed, walkLength, target));

    const int oldFacing = facing;
    if (std::fabs(heading.x) <= std::fabs(heading.y))
        facing = heading.y > 0 ? 2 : 1;
    else
        facing = heading.x > 0 ? 4 : 3;
    if (Kestrin::RandomFloat(0.0f, 100.0f) <= settings.chanceForPause)
    {
        SetChannelTask(GameNames::MovementAITask, new PauseAITask(Kestrin::RandomFloat(
                                                      settings.pauseLengthMin, settings.pauseLengthMax)));
        facing = 0;
    }
    if (facing != oldFacing)
        needsRestage = true;
}

float Gremlin::DrawStageTime() const
{
    switch (stage)
    {
    case Stage::FadeIn:
        return Kestrin::RandomFloat(settings.explode0Min, settings.explode0Max);
    case Stage::Wander1:
        return Kestrin::RandomFloat(settings.explode1Min, settings.explode1Max);
    case Stage::Wander2:
        return Kestrin::RandomFloat(settings.explode2Min, settings.explode2Max);
    default:
        return Kestrin::RandomFloat(settings.explodeEndMin, settings.explodeEndMax);
    }
}

void Gremlin::AdvanceStage()
{
    if (line || special == SpecialMode::Special || stage >= Stage::Exploding)
        return;
    switch (stage)
    {
    case Stage::FadeIn:
        if (kind == GremlinKind::Protected)
            special = Kestrin::RandomInt(0, 1) == 0 ? SpecialMode::Special : SpecialMode::Normal;
        stageTimer = DrawStageTime();
        break;
    case Stage::Wander1:
        stageTimer = DrawStageTime();
        break;
    case Stage::Wander2:
    {
        const LevelServices* level = FindLevel();
        stageTimer = !level || level->explosionsAllowed ? DrawStageTime() : FLT_MAX;
        break;
    }
    case Stage::Wander3:
        PlaySound(GameNames::ExplodeWarningSound);
        stageTimer = DrawStageTime();
        ClearChannel(GameNames::MovementAITask);
        slowingDown = true;
        UpdateCreatureTimeScale();
        break;
    case Stage::FreakOut:
    {
        PlaySound(GameNames::ExplodeSound);
        stage = Stage::Exploding;
        needsRestage = true;
        // The creature may be gone before the explosion ends (a power-up took its colour, the
        // screen closed): the gunk is dropped only for one still there.
        Kestrin::ObjectDatabase* database = GetDatabase();
        const Kestrin::ObjectHandle handle = GetHandle();
        PlayEffect(GameNames::ExplosionEffect,
                   [database, handle]
                   {
                       if (auto* creature =
                               dynamic_cast<Gremlin*>(database ? database->GetObject(handle) : nullptr))
                           creature->DropGunk();
                   });
        return;
    }
    case Stage::Exploding:
        return;
    }
    NextStage();
    needsRestage = true;
}

void Gremlin::ApplyStage()
{
    if (stage >= Stage::FreakOut)
        facing = 0;
    if (line)
        facing = 5;
    const float scale = GetStageScale(stage);
    if (auto* image = dynamic_cast<AnimatedSpriteNode*>(FindNodeAtPath(layoutNode, NodePath::CreatureImage)))
    {
        image->PlayAnimation(GameNames::CollisionBox.Get());
        const SceneNode::NodeState& box = image->GetLocalState();
        // Without the sprite there is no size to take: the box keeps its own.
        if (box.width > 0 && box.height > 0)
        {
            // The creature grows about its centre: one on a line stays on its point.
            const Vector2f centre = GetCentre();
            SetSize(box.width * scale, box.height * scale);
            SetPosition(centre);
        }
        if (const Kestrin::NameId animation = GetStateAnimation())
            image->PlayAnimation(animation);
    }
    if (SceneNode* scaleNode = FindNodeAtPath(layoutNode, NodePath::CreatureScaleNode))
    {
        if (stage == Stage::FadeIn)
            scaleNode->SetAlpha(0.5f);
        else if (stage == Stage::Wander1 && !g_holdCreatureAlpha)
            scaleNode->SetAlpha(1.0f);
        if (stage == Stage::FadeIn || stage == Stage::Exploding)
        {
            scaleNode->ClearChannel(GameNames::ScaleGremlinTask);
            scaleNode->SetScale(scale, scale);
        }
        else
            scaleNode->SetChannelTask(GameNames::ScaleGremlinTask,
                                      new NodeScaleTask(scale, scale, kScaleTime));
    }
    TutorialManager& tutorials = TutorialManager::Instance();
    if (stage == Stage::FreakOut && tutorials.IsDue(TutorialId::TicAngry))
        tutorials.ShowPopupAndRecord(TutorialId::TicAngry, GetCentre(), true);
    if (auto* flame =
            dynamic_cast<AnimatedSpriteNode*>(FindNodeAtPath(layoutNode, NodePath::CreatureFlameImage)))
    {
        flame->PlayAnimation(stage == Stage::FreakOut ? GameNames::FlameOn.Get() : GameNames::FlameOff.Get());
        flame->SetScale(kFlameScale, kFlameScale);
    }
    SyncNodePosition(GetCentre());
    needsRestage = false;
}

Kestrin::NameId Gremlin::GetStateAnimation() const
{
    const std::string variant = CreatureSpriteVariants[special == SpecialMode::Special ? 1 : 0];
    if (affected != AffectedBy::None && !line)
    {
        if (affected < AffectedBy::Frozen || affected > AffectedBy::DamageFlash)
            return Kestrin::NameId();
        return Kestrin::MakeName(variant + EffectStateNames[size_t(affected)] + CreatureEffectSuffix);
    }
    return Kestrin::MakeName(variant + CreatureAnimationPrefixes[size_t(std::clamp(facing, 0, 5))] +
                             CreatureStateNames[size_t(std::clamp(int(stage), 0, 5))]);
}

void Gremlin::HideCreatureImage()
{
    if (SceneNode* image = FindNodeAtPath(layoutNode, NodePath::CreatureImage))
        image->SetVisible(false);
}

void Gremlin::OnLineContact(LineSegment* touched)
{
    if (line || !touched || !touched->line)
        return;
    Line* other = touched->line;
    const bool colourMatches =
        other->color == color || other->color == GremlinColorType::Any || color == GremlinColorType::Any;
    const bool kindMatches =
        other->kind == kind || other->kind == GremlinKind::Any || kind == GremlinKind::Any;
    const bool spearMatches = other->spearState == metaType || other->spearState == GremlinMetaType::Any ||
                              metaType == GremlinMetaType::Any;
    if (!colourMatches || !kindMatches || !spearMatches)
    {
        if (other->kind == GremlinKind::Loner && color == GremlinColorType::Blue)
            PlaySound(GameNames::BadSpearSound);
        OnCollision(touched);
        return;
    }
    const bool holdsCreatures = !other->attached.empty();
    if (stage == Stage::Exploding ||
        ((metaType == GremlinMetaType::King || metaType == GremlinMetaType::PowerUp) && holdsCreatures))
    {
        OnCollision(touched);
        return;
    }
    if ((kind == GremlinKind::Loner && holdsCreatures) ||
        (kind == GremlinKind::Protected && special == SpecialMode::Special))
    {
        PlaySound(GameNames::BadSpearSound);
        OnCollision(touched);
        return;
    }
    OnSpeared(other);
}

void Gremlin::SetSegment(LineSegment* next)
{
    segmentConnection.disconnect();
    if (segment)
        segment->occupied = false;
    segment = next;
    if (!segment)
        return;
    segment->occupied = true;
    segmentConnection = segment->destroyed.connect([this](LineSegment*) { Release(); });
}

void Gremlin::LeaveLine()
{
    if (line)
        line->attached.erase(std::remove(line->attached.begin(), line->attached.end(), this),
                             line->attached.end());
    line = nullptr;
    SetSegment(nullptr);
}

void Gremlin::OnSpeared(Line* spearing)
{
    ClearAllTasks();
    LeaveLine();
    lineState = LineState::Waiting;
    lineCount = 0;
    movable = spearing == nullptr;
    if (spearing)
    {
        const Vector2f point = spearing->headSegment ? spearing->headSegment->end : GetCentre();
        spearing->AddPathPoint(point);
        spearing->AttachGremlin(this);
        SetSegment(spearing->headSegment);
        SetPosition(point);
        lineTimer = settings.angryTime;
        if (stage == Stage::FadeIn)
            AdvanceStage();
    }
    line = spearing;
    if (line)
    {
        line->spearState = GremlinMetaType::Normal;
        if (kind == GremlinKind::Loner)
            line->kind = GremlinKind::Loner;
        if (LevelServices* level = FindLevel())
            level->ShowSpearValue(int(line->attached.size()), GetCentre());
        PlaySpearedSound();
        PlayEffect(GameNames::SpearedEffect);
    }
    facing = 0;
    needsRestage = true;
}

void Gremlin::Release()
{
    OnSpeared(nullptr);
}

void Gremlin::EnterTrap()
{
    PlaySound(GameNames::EnterTrapSound);
    ClearAllTasks();
    GremlinHome* trap = line ? line->trap : nullptr;
    if (trap)
        trap->OnCapture(this);
    if (layoutNode)
    {
        const Vector2f goal = trap ? trap->GetCentre() : GetCentre();
        using namespace Kestrin;
        auto* shrink =
            new ParallelTask(ParallelTask::All, new NodeScaleTask(kTrapScale, kTrapScale, kTrapTime),
                             new NodeLocationTask(goal.x, goal.y - kTrapRise, kTrapTime));
        layoutNode->AddTask(new SerialTask(shrink, new SelfDestructTask));
    }
    inTrap = true;
}

void Gremlin::DropGunk()
{
    if (LevelServices* level = FindLevel())
        ++level->gunkDrops;
    GremlinColorType colour =
        settings.color == GremlinColorType::Any ? GremlinColorType::Black : settings.color;
    if (!explodeColors)
        colour = GremlinColorType::Black;
    const Vector2f at = GetCentre();
    Board().AddGunk(settings.explodeRadius, int(at.x), int(at.y), int(colour));
    Remove();
    TutorialManager::Instance().Show(TutorialId::TicExplode, at);
}

void Gremlin::Freeze()
{
    if (!line)
        ClearChannel(GameNames::MovementAITask);
    affected = AffectedBy::Frozen;
    needsRestage = true;
    if (kind == GremlinKind::Protected && special == SpecialMode::Special)
        special = SpecialMode::Normal;
}

void Gremlin::Shrink()
{
    if (!line)
        ClearChannel(GameNames::MovementAITask);
    PlayEffect(GameNames::ShrinkingEffect);
    stage = Stage::Wander1;
    stageTimer = Kestrin::RandomFloat(settings.explode0Min, settings.explode0Max);
    affected = AffectedBy::Shrinking;
    needsRestage = true;
    // Calm again: it no longer slows the field.
    if (slowingDown)
    {
        slowingDown = false;
        UpdateCreatureTimeScale();
    }
}

bool Gremlin::HasHealth() const
{
    return stage < Stage::Exploding && !inTrap;
}

void Gremlin::OnFreezeEnded()
{
    if (affected == AffectedBy::Frozen || affected == AffectedBy::Shrinking)
    {
        affected = AffectedBy::None;
        needsRestage = true;
    }
}

void Gremlin::RemoveIfColor(GremlinColorType colour)
{
    if (color == colour)
        Remove();
}

void Gremlin::Remove()
{
    if (Kestrin::ObjectDatabase* database = GetDatabase())
        database->RemoveObject(GetHandle());
}

void Gremlin::PlayEffect(Kestrin::NameId spriteType, std::function<void()> followUp)
{
    SpriteType* type = GetSpriteTypeById(spriteType).second;
    Kestrin::ObjectDatabase* database = Kestrin::DatabaseOf(this);
    if (!type || !database)
    {
        if (followUp)
            followUp();
        return;
    }
    auto* effect = new AnimatedSpriteNode(type);
    effect->SetColor({1, 1, 1, 1});
    effect->SetSelfAlignment(1, 1);
    const Vector2f at = GetCentre();
    effect->SetPosition(at.x, at.y);
    database->AddObject(effect);
    SceneNode* root = GetCurrentSceneRoot();
    if (SceneNode* layer = FindNodeAtPath(root, NodePath::CreatureLayerNode))
        effect->SetParent(layer);
    else if (root)
        effect->SetParent(root);
    effect->AddTask(new NodeAnimationTask(GameNames::EffectPlay.Get(), NodeAnimationTask::Play, 1));
    if (followUp)
        effect->AddTask(new Kestrin::FunctionTask<SceneNode>(
            [followUp]
            {
                followUp();
                return Kestrin::TaskFinished;
            }));
    effect->AddTask(new Kestrin::SelfDestructTask);
}

void Gremlin::OnRemoving()
{
    GameObject::OnRemoving();
    LeaveLine();
    if (slowingDown)
    {
        slowingDown = false;
        UpdateCreatureTimeScale();
    }
}
