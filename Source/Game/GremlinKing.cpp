#include "Base/Random.h"
#include "Framework/Audio.h"
#include "Framework/ObjectDatabase.h"
#include "Framework/ResourceManager.h"
#include "Framework/Tasks.h"
#include "Game/GlobalSettings.h"
#include "Game/Gremlin.h"
#include "Game/GremlinFactory.h"
#include "Game/GunkBoard.h"
#include "Game/LevelServices.h"
#include "Game/TutorialBubble.h"
#include "Graphics/ImageList.h"
#include "Scene/AnimatedSpriteNode.h"
#include "Scene/SceneLayout.h"
#include "Scene/StaticSpriteNode.h"

#include <algorithm>
#include <string>

namespace
{
constexpr float kDamageFlash = 2.0f;
constexpr float kTrailSoundPause = 1.0f;
constexpr int kHealthImages = 5; // the display's last image, at full health

void PlaySound(const Kestrin::ConstantName& name)
{
    Kestrin::PlaySoundById(name.Get());
}
} // namespace

int KingDamageShrink(int amount)
{
    const auto& pairs = GlobalSettings::Instance().megaTicDamageShrink;
    for (const MegaTicDamageShrinkEntry& pair : pairs)
        if (pair.damage >= amount)
            return pair.shrink;
    return pairs.empty() ? 0 : pairs.back().shrink;
}

GremlinKing::GremlinKing(float x, float y, const TypeSettings& settings_)
    // A record without health still gives a king that one loop can kill.
    : Gremlin(settings_, x, y), health(std::max(settings_.maxHealth, 1))
{
    metaType = GremlinMetaType::King;
    // Built into the creature's tree, so it is registered and goes with it.
    const SceneLayout* crown = GetSceneLayout(GameNames::CrownLayout.Get()).second;
    SceneNode* scaleNode = FindNodeAtPath(layoutNode, NodePath::CreatureScaleNode);
    if (crown && crown->GetRoot() && scaleNode)
        SceneLayout::BuildNode(scaleNode, *crown->GetRoot());
    ShowHealth();
    ApplyStage();
}

GremlinKing::~GremlinKing() = default;

int GremlinKing::HealthImageIndex() const
{
    return health * kHealthImages / std::max(settings.maxHealth, 1);
}

void GremlinKing::ShowHealth()
{
    auto* bar = dynamic_cast<StaticSpriteNode*>(FindNodeAtPath(layoutNode, NodePath::CreatureHealthBar));
    if (!bar)
        return;
    auto* images = Kestrin::GetResource<Kestrin::IImageList>(GameNames::KingHealthImages.Get()).second;
    const int index = HealthImageIndex();
    if (images && index >= 0 && index <= kHealthImages)
        bar->SetImage(images, index);
    else
        bar->SetImage(static_cast<Kestrin::IImage*>(nullptr));
}

float GremlinKing::GetStageScale(Stage of) const
{
    const auto& scales = GlobalSettings::Instance().megaTicSizeScales;
    const int index = int(of);
    return index >= 0 && size_t(index) < scales.size() ? scales[size_t(index)] : 1.0f;
}

void GremlinKing::Update(float dt)
{
    Gremlin::Update(dt);
    damageTimer -= dt;
    if (damageTimer <= 0 && affected == AffectedBy::DamageFlash)
    {
        affected = AffectedBy::None;
        needsRestage = true;
    }
    if (kind != GremlinKind::Trail || health <= 0)
        return;
    const Vector2f centre = GetCentre();
    const float dx = centre.x - trailX, dy = centre.y - trailY;
    if (dx * dx + dy * dy < settings.param1)
        return;
    Board().AddGunk(int(settings.param2), int(centre.x), int(centre.y), int(GremlinColorType::Black));
    trailX = centre.x;
    trailY = centre.y;
    if (!IsChannelBusy(GameNames::TrailSoundTask))
        SetChannelTask(GameNames::TrailSoundTask,
                       new Kestrin::SerialTask(new Kestrin::AudioPlayTask(GameNames::KingTrailSound.Get()),
                                               new Kestrin::TimedTask(kTrailSoundPause)));
}

void GremlinKing::AdvanceStage()
{
    switch (stage)
    {
    case Stage::FadeIn:
    case Stage::Wander1:
    case Stage::Wander2:
        stageTimer = DrawStageTime();
        break;
    case Stage::Wander3:
        PlaySound(GameNames::KingExplodeWarningSound);
        stageTimer = DrawStageTime();
        break;
    case Stage::FreakOut:
        PlayEffect(GameNames::KingExplosionEffect);
        break;
    default:
        needsRestage = true;
        return;
    }
    NextStage();
    needsRestage = true;
}

void GremlinKing::HideCreatureImage()
{
    // A dying king only waits for its death effect to take it away.
    if (health <= 0)
        return;
    auto* image = dynamic_cast<AnimatedSpriteNode*>(FindNodeAtPath(layoutNode, NodePath::CreatureImage));
    const Kestrin::NameId exploding = GetStateAnimation();
    if (image && exploding && image->IsPlayingAnimation(exploding))
        return;
    stage = Stage::Wander1;
    PlaySound(GameNames::KingExplodeSound);
    stageTimer = Kestrin::RandomFloat(settings.explode0Min, settings.explode0Max);
    needsRestage = true;
    DropExplosionGunk();
}

void GremlinKing::DropExplosionGunk()
{
    PlayActionSound();
    const Vector2f centre = GetCentre();
    const int black = int(GremlinColorType::Black);
    if (kind == GremlinKind::SmallCircle || kind == GremlinKind::LargeCircle)
    {
        for (int i = 0; settings.param3 >= 0 && float(i) <= settings.param3; ++i)
            Board().AddGunk(Kestrin::RandomInt(int(settings.param1), int(settings.param2)), int(centre.x),
                            int(centre.y), black);
    }
    else if (kind == GremlinKind::Trail)
        Board().AddGunk(Kestrin::RandomInt(int(settings.param3), int(settings.param4)), int(centre.x),
                        int(centre.y), black);
}

bool GremlinKing::HasHealth() const
{
    return health > 0;
}

void GremlinKing::TakeDamage(int amount, bool byBomb)
{
    // A dying king stays registered until its death effect ends: it must not die twice.
    if (health <= 0)
        return;
    ClearChannel(GameNames::MovementAITask);
    damageTimer = kDamageFlash;
    affected = AffectedBy::DamageFlash;
    needsRestage = true;
    stage = Stage(std::max(int(stage) - (KingDamageShrink(amount) + 1), 0));
    AdvanceStage();
    health -= amount;
    ShowHealth();
    if (health > 0)
    {
        PlaySound(GameNames::KingDamagedSound);
        PlayEffect(byBomb ? GameNames::BombHitEffect : GameNames::KingDamageEffect);
        return;
    }
    if (SceneNode* image = FindNodeAtPath(layoutNode, NodePath::CreatureImage))
        image->SetVisible(false);
    Kestrin::ObjectDatabase* database = Kestrin::DatabaseOf(this);
    auto* creatures = Kestrin::FindObjectAs<GremlinFactory>(database, GameNames::GremlinFactory);
    if (creatures)
        creatures->CreatePowerUp(1, GetCentre());
    // When the death effect ends the king goes, and the factory checks whether the board is clear.
    const Kestrin::ObjectHandle self = GetHandle();
    const Kestrin::ObjectHandle factory = creatures ? creatures->GetHandle() : Kestrin::NoObjectHandle;
    PlayEffect(GameNames::KingDeathEffect,
               [database, self, factory]
               {
                   if (!database)
                       return;
                   if (auto* king = dynamic_cast<GremlinKing*>(database->GetObject(self)))
                       king->Remove();
                   if (auto* found = dynamic_cast<GremlinFactory*>(database->GetObject(factory)))
                       found->kingCheckPending = true;
               });
    PlaySound(GameNames::KingDieSound);
}

void GremlinKing::Enter()
{
    PlaySound(GameNames::KingEnterSound);
}

void GremlinKing::PlaySpearedSound()
{
    Kestrin::PlaySoundById(Kestrin::MakeName(std::string(SpearedSoundPrefix) + NameOf(kind)));
}

void GremlinKing::PlayActionSound()
{
    Kestrin::PlaySoundById(Kestrin::MakeName(std::string(ActionSoundPrefix) + NameOf(kind)));
}
