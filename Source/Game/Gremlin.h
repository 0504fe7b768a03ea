#pragma once
// The creatures ("Tics"): the base every kind shares, and the king with its health.
#include "Game/CreatureSettings.h"
#include "Game/EffectRadius.h"
#include "Game/GameObject.h"
#include "Game/GlobalSettings.h"

#include <boost/signals2/connection.hpp>

#include <cstdint>
#include <functional>

class Line;
class LineSegment;

// Multiplies every creature's stage clock: each panicking creature slows the field down until it
// goes. The level reader sets it back to 1.
extern float g_creatureTimeScale;
// Gunk takes the creatures' colours; while off, all of it is black. Kept from level to level.
extern bool explodeColors;
// Keeps a creature that reaches stage 1 at half alpha; every new creature clears it.
extern bool g_holdCreatureAlpha;

class Gremlin : public GameObject, public HeldObject<Gremlin>, public GremlinTypedObject
{
public:
    // The size stage: the creature fades in, wanders through three sizes, freaks out and explodes.
    // The animations' stage names and the stage scales ("size0" to "size5") go by its number.
    enum class Stage : int32_t
    {
        FadeIn,
        Wander1,
        Wander2,
        Wander3,
        FreakOut,
        Exploding,
    };
    // Where a speared creature is on its line. A hauled one keeps the hauling speed.
    enum class LineState : int32_t
    {
        Waiting,
        WalkingUp,
        WalkingDown,
        Hauled,
    };
    // A power-up effect in force on the creature, or a king's damage flash.
    enum class AffectedBy : int32_t
    {
        None,
        Frozen,
        Shrinking,
        DamageFlash,
    };
    // Picks the animation variant, "Normal-" or "Special-". A special Protected creature is
    // protected: it cannot be speared and its stage clock stands still.
    enum class SpecialMode : int32_t
    {
        Normal,
        Special,
    };

    // x, y: the top-left corner of the creature's 80 x 80 box.
    Gremlin(const TypeSettings& settings, float x, float y);
    ~Gremlin() override;

    Kestrin::NameId GetRole() const override;
    void Update(float dt) override;
    int GetCollisionPriority() const override;
    void OnCollision(CollisionTreeComponent* other) override;
    // The layout is centred on its origin; the effect radius follows.
    void SyncNodePosition(Vector2f centre) override;
    // Spears the creature when the line's colour, kind and spear state take it; else it gives way.
    void OnLineContact(LineSegment* segment) override;
    // Capped at the tuning's top speed, except while hauled into a trap.
    void SetSpeed(float speed) override;
    bool PushApart(CollisionTreeComponent* other) override;
    // Blinks black and white for a second.
    void OnLooped() override;

    // What the kinds change.
    virtual void OnBehaviourTimer();
    virtual void AdjustWalk(float& walkSpeed, float& walkLength);
    virtual float GetStageScale(Stage stage) const;
    virtual void EnterTrap();
    // Null when the creature shows no animation of its own.
    virtual Kestrin::NameId GetStateAnimation() const;
    virtual void HideCreatureImage();
    virtual void DropGunk();
    virtual void AdvanceStage();
    // Null lets go of the line.
    virtual void OnSpeared(Line* line);
    virtual void Enter();
    virtual void PlaySpearedSound();
    // "SFX_Action-" and the kind: kings and power-ups have one.
    virtual void PlayActionSound();

    // Stands on the segment: clears the old one's occupied flag, sets the new one's and follows
    // the new one's end. Null only leaves the old one.
    void SetSegment(LineSegment* segment);
    // False once the creature has exploded or entered its trap: it no longer counts for a loop.
    virtual bool HasHealth() const;
    // The level's power-up effect ran out: a frozen or shrinking creature goes on.
    virtual void OnFreezeEnded();

    void AddForce(Vector2f push) { force += push; }
    // Its segment went: off the line.
    void Release();
    void Freeze();
    void Shrink();
    void RemoveIfColor(GremlinColorType colour);
    // Plays the effect sprite's "play" once at the creature; then the follow-up, then the effect
    // goes. Without the sprite type the follow-up runs at once.
    void PlayEffect(Kestrin::NameId spriteType, std::function<void()> followUp = {});
    // The line's loop scored with `count` creatures on it: walk it into the trap at once, at the
    // hauling speed.
    void StartFollowingLine(int count)
    {
        const GlobalSettings& tuning = GlobalSettings::Instance();
        SetSpeed(tuning.BaseFollowLineSpeed + tuning.PerGemSpeedMultiplier);
        lineCount = count;
        lineState = LineState::Hauled;
        ClearChannel(GameNames::MovementAITask);
    }
    // Size, animation, alpha, flame and the tutorial of the current stage.
    void ApplyStage();
    // The next random walk or pause, away from neighbours and edges.
    void ChooseNextMove();
    // Out of its screen at the end of this update.
    void Remove();

    GremlinMetaType metaType = GremlinMetaType::Normal;
    LineState lineState = LineState::Waiting;
    int lineCount = 0;
    float lineTimer = 0.0f;
    bool inTrap = false;
    bool pushedFromEdge = false;
    boost::signals2::connection segmentConnection;
    AffectedBy affected = AffectedBy::None;
    // Where the neighbours that repel it are found.
    EffectRadius effectRadius;
    SpecialMode special = SpecialMode::Normal;
    float behaviourTimer = 0.0f;
    Stage stage = Stage::FadeIn;
    float stageTimer = 0.0f;
    int facing = 0;
    TypeSettings settings;
    Line* line = nullptr; // the line it is speared on
    LineSegment* segment = nullptr;
    // It holds one step of the field's slow-down.
    bool slowingDown = false;

protected:
    void OnRemoving() override;
    // The stage after the current one.
    void NextStage() { stage = Stage(int32_t(stage) + 1); }
    // A time in the current stage before the next, drawn from the settings' range for it (the last
    // range from the third wander on).
    float DrawStageTime() const;

private:
    void UpdateSpeared(float dt);
    // Off the line's list and off its segment.
    void LeaveLine();
};

// A large creature with health: loops damage it, it explodes into gunk at the end of every stage
// cycle, and it dies into a power-up.
class GremlinKing : public Gremlin, public HeldObject<GremlinKing>
{
public:
    GremlinKing(float x, float y, const TypeSettings& settings);
    ~GremlinKing() override;

    void Update(float dt) override;
    float GetStageScale(Stage stage) const override;
    // The end of its explosion: it drops its gunk and starts its cycle again.
    void HideCreatureImage() override;
    void AdvanceStage() override;
    void Enter() override;
    void PlaySpearedSound() override;
    void PlayActionSound() override;

    // Dying kings have none: they take no more damage.
    bool HasHealth() const override;
    // Shrinks the king by stages and takes its health; at none it dies into a power-up. A bomb
    // shows another hit.
    void TakeDamage(int amount, bool byBomb);
    // The image of the health display for the current health (0 to 5).
    int HealthImageIndex() const;

    int health = 0;
    // Where the last trail gunk went.
    float trailX = 1.17549435e-38f;
    float trailY = 1.17549435e-38f;
    float damageTimer = 0.0f;

private:
    void ShowHealth();
    void DropExplosionGunk();
};

// The stage shrink of a king's damage: the first pair whose damage is at least the amount, else the
// last pair; 0 without pairs.
int KingDamageShrink(int amount);

// The field's slow-down from the creatures of the current screen that hold one.
void UpdateCreatureTimeScale();
