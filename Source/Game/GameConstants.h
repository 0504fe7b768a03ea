#pragma once
// The game's vocabulary: the enumerations that index the name tables the data files use, the
// interned names, the shared float constants and the scene-node paths the game looks up.
#include "Framework/Names.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Scoped, so the three "Any" values of colours, kinds and meta types cannot be mixed up.
enum class GuestID : int32_t
{
    Jillian,
    Harley,
    Miranda,
    Zoe,
    Jason,
    Heather,
    None,
};

enum class GremlinColorType : int32_t
{
    Red,
    Green,
    Blue,
    Yellow,
    Purple,
    Black,
    Any,
};

enum class GremlinKind : int32_t
{
    Basic,
    Shy,
    Loner,
    Protected,
    Indecisive,
    Agreeable,
    Pairing,
    SmallCircle,
    LargeCircle,
    Trail,
    Freeze,
    Shrink,
    UnifyColors,
    DeepClean,
    Damage,
    Any,
};

enum class GremlinMetaType : int32_t
{
    Any,
    Normal,
    King,
    PowerUp,
};

enum class CreatureSpriteId : int32_t
{
    BasicRed,
    BasicGreen,
    BasicBlue,
    BasicYellow,
    BasicPurple,
    Agreeable,
    Indecisive,
    Protected,
    Shy,
    Loner,
    Pairing,
    SmallCircle,
    LargeCircle,
    Trail,
    Freeze,
    Shrink,
    UnifyColors,
    DeepClean,
    Bomb,
    None, // no sprite: has no name
};

// Silent shows nothing and has no name.
enum class LoopResult : int32_t
{
    BadLoop,
    GoodLoop,
    NoGremlin,
    TooLong,
    Collision,
    Silent,
};

// The level's judgement of a closed loop: a failed one makes the line retract, a good one hauls
// what it holds.
enum class LoopVerdict : int32_t
{
    Failed = -1,
    Good = 1,
};

enum class LevelCompletionStatus : int32_t
{
    Locked,
    InProgress,
    Completed,
    Expert,
};

// The names, indexed by the enumeration; the data files spell them exactly so.
template <typename E> struct EnumNames;

template <> struct EnumNames<GuestID>
{
    static constexpr std::array<const char*, 7> names = {"Jillian", "Harley",  "Miranda", "Zoe",
                                                         "Jason",   "Heather", ""};
};
template <> struct EnumNames<GremlinColorType>
{
    static constexpr std::array<const char*, 7> names = {"Red",    "Green", "Blue", "Yellow",
                                                         "Purple", "Black", "Any"};
};
template <> struct EnumNames<GremlinKind>
{
    static constexpr std::array<const char*, 16> names = {
        "Basic",       "Shy",   "Loner",  "Protected", "Indecisive",  "Agreeable", "Pairing", "SmallCircle",
        "LargeCircle", "Trail", "Freeze", "Shrink",    "UnifyColors", "DeepClean", "Damage",  "Any"};
};
template <> struct EnumNames<GremlinMetaType>
{
    static constexpr std::array<const char*, 4> names = {"Any", "Normal", "King", "PowerUp"};
};
template <> struct EnumNames<CreatureSpriteId>
{
    static constexpr std::array<const char*, 19> names = {
        "Sprite_BasicRed",    "Sprite_BasicGreen", "Sprite_BasicBlue",  "Sprite_BasicYellow",
        "Sprite_BasicPurple", "Sprite_Agreeable",  "Sprite_Indecisive", "Sprite_Protected",
        "Sprite_Shy",         "Sprite_Loner",      "Sprite_Pairing",    "Sprite_SmallCircle",
        "Sprite_LargeCircle", "Sprite_Trail",      "Sprite_Freeze",     "Sprite_Shrink",
        "Sprite_UnifyColors", "Sprite_DeepClean",  "Sprite_Bomb"};
};
template <> struct EnumNames<LoopResult>
{
    static constexpr std::array<const char*, 5> names = {"BadLoop", "GoodLoop", "NoGremlin", "TooLong",
                                                         "Collision"};
};
template <> struct EnumNames<LevelCompletionStatus>
{
    static constexpr std::array<const char*, 4> names = {"Locked", "InProgress", "Completed", "Expert"};
};

// The value's name; "" for a value without one (CreatureSpriteId::None, LoopResult::Silent).
template <typename E> constexpr const char* NameOf(E value)
{
    const auto index = static_cast<int32_t>(value);
    const auto& names = EnumNames<E>::names;
    return index >= 0 && size_t(index) < names.size() ? names[size_t(index)] : "";
}

// The value a name stands for: exact, case-sensitive, first match.
template <typename E> constexpr std::optional<E> EnumFromName(std::string_view name)
{
    const auto& names = EnumNames<E>::names;
    for (size_t i = 0; i < names.size(); ++i)
        if (name == names[i])
            return static_cast<E>(i);
    return std::nullopt;
}

// The tutorials by the numbers the picture list "TutorialImages" and the pop-ups know them by. The
// first six are the steps of "Basics": at the start, at the first trap, at a creature when a line
// leaves the trap, at gunk once a line holds a creature, after a loop cleaned gunk, and on a clean
// board.
enum class TutorialId : int32_t
{
    BasicsStart,
    BasicsTrap,
    BasicsCreature,
    BasicsGunk,
    BasicsLoop,
    BasicsClean,
    Calendar,
    Day,
    Endless,
    BadLoop,
    OneMinute,
    TwoMinute,
    Level3,
    NoTics,
    LoopToTrap,
    TicAngry,
    TicExplode,
    None, // no tutorial; also the end of the basics
};

// The tutorials by index; 0 to 5 share the name (and the account flag) "Basics".
inline constexpr std::array<const wchar_t*, size_t(TutorialId::None)> TutorialNames = {
    L"Basics",   L"Basics", L"Basics",     L"Basics",   L"Basics",    L"Basics",
    L"Calendar", L"Day",    L"Endless",    L"BadLoop",  L"1Minute",   L"2Minute",
    L"Level3",   L"NoTics", L"LoopToTrap", L"TicAngry", L"TicExplode"};
inline constexpr std::array<const char*, 4> TutorialArrowNames = {"left_up", "left_down", "right_up",
                                                                  "right_down"};

// Parts of a creature's animation names: variant + state or facing.
inline constexpr std::array<const char*, 6> CreatureAnimationPrefixes = {
    "Idle-", "WalkUp-", "WalkDown-", "WalkLeft-", "WalkRight-", "Speared-"};
inline constexpr std::array<const char*, 6> CreatureStateNames = {"FadeIn", "Wander",   "Wander",
                                                                  "Wander", "FreakOut", "Exploding"};
inline constexpr std::array<const char*, 2> CreatureSpriteVariants = {"Normal-", "Special-"};
// A creature's sprite type: kind name, colour name, then this.
inline constexpr const char* CreatureSpriteTypeSuffix = "_CreatureStateSpriteType";
inline constexpr const char* CreatureEffectSuffix = "-Continuous";
// Sound name prefixes, followed by a kind name ("Basic" and a colour name for a basic creature).
inline constexpr const char* SpearedSoundPrefix = "SFX_TicSpeared-";
inline constexpr const char* ActionSoundPrefix = "SFX_Action-";
// A power-up's animations: this, then "Enter", "Speared", "Pause" or "Idle".
inline constexpr const char* PowerUpAnimationPrefix = "PowerUp-";
inline constexpr std::array<const char*, 4> EffectStateNames = {"NotUsed", "Affected", "Affected",
                                                                "Affected"};

// The encyclopedia's kinds; a level's "unlock" names one of them.
inline constexpr std::array<const char*, 18> TicKindNames = {
    "neurotic",     "chaotic",     "caustic",    "dietetic",    "antic",       "static",
    "spastic",      "therapeutic", "nihilistic", "masochistic", "eclectic",    "sympathetic",
    "antagonistic", "frantic",     "erratic",    "ballistic",   "apocalyptic", "pessimistic"};

// Progress keys in the player's account.
inline constexpr const wchar_t* SaveDataKeyPrefix = L"KIVO::SaveData::";
inline constexpr const wchar_t* CompletionStatusKeySuffix = L"::CompletionStatus";
inline constexpr const wchar_t* TictionaryKeyPrefix = L"KIVO::TictionaryData::";
inline constexpr const wchar_t* EndlessUnlockKeyPrefix = L"KIVO::EndlessUnlock::";
inline constexpr const wchar_t* EndlessHighScoreKeyPrefix = L"KIVO::EndlessHighScore::";
inline constexpr const wchar_t* ShowTutorialKeyPrefix = L"KIVO::ShowTutorial::";
inline constexpr const wchar_t* MovieUnlockingKeyPrefix = L"KIVO::MovieUnlocking::";
inline constexpr std::array<const wchar_t*, 4> CompletionStatusNames = {L"Locked", L"InProgress",
                                                                        L"Completed", L"Expert"};

// Object, role, channel, node and message names of the game.
namespace GameNames
{
inline constinit Kestrin::ConstantName NimbalLevel{"NimbalLevel"};
inline constinit Kestrin::ConstantName NimbalPlayfield{"NimbalPlayfield"};
inline constinit Kestrin::ConstantName GremlinFactory{"GremlinFactory"};
inline constinit Kestrin::ConstantName GremlinHomeFactory{"GremlinHomeFactory"};
inline constinit Kestrin::ConstantName GremlinRole{"GremlinRole"};
inline constinit Kestrin::ConstantName GremlinObstacleRole{"GremlinObstacleRole"};
inline constinit Kestrin::ConstantName MovementAITask{"MovementAITask"};
inline constinit Kestrin::ConstantName GremlinHomeRole{"GremlinHomeRole"};
// Task channels of the playfield's objects.
inline constinit Kestrin::ConstantName GotLooped{"GotLooped"};
inline constinit Kestrin::ConstantName ScaleGremlinTask{"ScaleGremlinTask"};
inline constinit Kestrin::ConstantName FlashingTask{"FlashingTask"};
inline constinit Kestrin::ConstantName ColorChangeTask{"ColorChangeTask"};
inline constinit Kestrin::ConstantName TrailSoundTask{"TrailSoundTask"};
inline constinit Kestrin::ConstantName FadingOutTask{"FadingOutTask"};
inline constinit Kestrin::ConstantName FlasherTask{"FlasherTask"};
inline constinit Kestrin::ConstantName TutorialAttachNode{"TutorialAttachNode"};
inline constinit Kestrin::ConstantName GameObjectMouseUp{"GAME_OBJECT_MOUSE_UP"};
inline constinit Kestrin::ConstantName GameObjectMouseDown{"GAME_OBJECT_MOUSE_DOWN"};
// The tutorial bubble: its layout, pictures, root object and OK button.
inline constinit Kestrin::ConstantName TutorialRootLayout{"tutorialRootLayout"};
inline constinit Kestrin::ConstantName TutorialImages{"TutorialImages"};
inline constinit Kestrin::ConstantName TutorialRootNode{"TutorialRootNode"};
inline constinit Kestrin::ConstantName TutorialButtonOK{"buttonOK"};
// The creature: its layout, the sprite animations it plays and its effect sprites and sounds.
inline constinit Kestrin::ConstantName CreatureLayout{"CreatureLayout"};
inline constinit Kestrin::ConstantName CollisionBox{"CollisionBox"};
inline constinit Kestrin::ConstantName EffectPlay{"play"};
inline constinit Kestrin::ConstantName FlameOn{"on"};
inline constinit Kestrin::ConstantName FlameOff{"off"};
inline constinit Kestrin::ConstantName ExplosionEffect{"Explosion"};
inline constinit Kestrin::ConstantName SpearedEffect{"SpearedFX"};
inline constinit Kestrin::ConstantName ShrinkingEffect{"ShrinkingFX"};
inline constinit Kestrin::ConstantName ExplodeWarningSound{"SFX_ExplodeWarning"};
inline constinit Kestrin::ConstantName ExplodeSound{"SFX_TicExplode"};
inline constinit Kestrin::ConstantName BadSpearSound{"SFX_BadSpear"};
inline constinit Kestrin::ConstantName EnterTrapSound{"SFX_EnterTrap"};
// The gunk board: its cell image, the sparkles of cleaned cells and the cleaning sounds.
inline constinit Kestrin::ConstantName GunkCellImage{"sludgeBGImage-Black"};
inline constinit Kestrin::ConstantName LineSparkle{"LineSparkle"};
inline constinit Kestrin::ConstantName DeepCleanSparkle{"DeepCleanSparkle"};
inline constinit Kestrin::ConstantName DeepCleanSound{"SFX_Action-DeepClean"};
inline constinit Kestrin::ConstantName ClearGunkSound{"SFX_ClearGunk"};
// The creature kinds: their sounds, effects and layouts.
inline constinit Kestrin::ConstantName BasicEnterSound{"SFX_BasicTicEnter"};
inline constinit Kestrin::ConstantName KingEnterSound{"SFX_MegaTicEnter"};
inline constinit Kestrin::ConstantName KingTrailSound{"SFX_MegaTicTrail"};
inline constinit Kestrin::ConstantName KingDamagedSound{"SFX_MegaTicDamaged"};
inline constinit Kestrin::ConstantName KingDieSound{"SFX_MegaTicDie"};
inline constinit Kestrin::ConstantName KingExplodeWarningSound{"SFX_MegaTicExplodeWarning"};
inline constinit Kestrin::ConstantName KingExplodeSound{"SFX_MegaTicExplode"};
inline constinit Kestrin::ConstantName PowerUpEnterSound{"SFX_PosiTicEnter"};
inline constinit Kestrin::ConstantName EndlessGunkSpawnSound{"SFX_EndlessGunkSpawn"};
inline constinit Kestrin::ConstantName KingExplosionEffect{"ExplosionBlack"};
inline constinit Kestrin::ConstantName BombHitEffect{"BombHitFX"};
inline constinit Kestrin::ConstantName KingDamageEffect{"MegaTicDamageFX"};
inline constinit Kestrin::ConstantName KingDeathEffect{"MegaTicDeath"};
inline constinit Kestrin::ConstantName CrownLayout{"crownLayout"};
inline constinit Kestrin::ConstantName KingHealthImages{"MegaNegaTicHealthImages"};
inline constinit Kestrin::ConstantName EndlessSludgeGenerator{"EndlessSludgeGenerator"};
// The level's line: the sound as it leaves a trap, the wind's animation as it is let go.
inline constinit Kestrin::ConstantName BeginLineSound{"SFX_BeginLine"};
inline constinit Kestrin::ConstantName WindRetract{"retract"};
} // namespace GameNames

// A gunk cell's images and ambient sparkle: the prefix, then the colour name.
inline constexpr const char* GunkImageListPrefix = "sludgeBGImageList-";
inline constexpr const char* GunkSparklePrefix = "SludgeSparkle-";

// Squared distance under which a line segment touches another segment, and a box edge.
inline constexpr float SegmentTouchDistanceSquared = 16.0f;
inline constexpr float BoxEdgeTouchDistanceSquared = 16.0f;
// The depth a line answers in its layer.
inline constexpr float LineDepth = 2.0f;

// The scene-node paths the gameplay looks up (the level's scene, its creatures, traps, pop-ups and
// tutorials), from a screen's root or from a given node. The screens keep theirs in their own table.
enum class NodePath : int32_t
{
    LevelBackground,
    LevelMouseHandler,
    TerrainLayerNode,
    CreatureLayerNode,
    LineAttachLayerNode,
    PopupLayerNode,
    BannerBackground,
    BannerTextImage,
    GuiTimer,
    GuiExpertTime,
    GuiHeadIconAttach,
    GuiRedFlash,
    GuiMeterBarAttach,
    GuiMeterFlash,
    GuiSimulationName,
    GuiEndlessMeter, // made by the level, not by a layout
    FeedbackPopupTextImage,
    TrapImage,
    TrapWindFX,
    TrapCaptureFX,
    CreatureFlameImage,
    CreatureScaleNode,
    CreatureImage,
    CreatureHealthBar,
    AgendaDayButtonAttach,
    DailyGuestComboAttach,
    TutorialMessageBubble,
    TutorialTextAttach,
    TutorialArrow,
    Count,
};

// Each path's node names joined by "/", in the order of NodePath.
inline constexpr std::array<std::string_view, size_t(NodePath::Count)> NodePathTexts = {
    "gamemoderoot/playfield/LevelMouseHandler/LevelBackground",
    "gamemoderoot/playfield/LevelMouseHandler",
    "gamemoderoot/playfield/TerrainLayerNode",
    "gamemoderoot/playfield/CreatureLayerNode",
    "gamemoderoot/playfield/LineAttachLayerNode",
    "gamemoderoot/playfield/PopupLayerNode",
    "gamemoderoot/messageBanner/bannerBackground",
    "gamemoderoot/messageBanner/bannerTextImage",
    "gamemoderoot/gui_attach/game_interface/timer",
    "gamemoderoot/gui_attach/game_interface/expert_time",
    "gamemoderoot/gui_attach/game_interface/head_icon_attach",
    "gamemoderoot/gui_attach/game_interface/RedFlash",
    "gamemoderoot/gui_attach/game_interface/meterBarAttach",
    "gamemoderoot/gui_attach/game_interface/meter_flash",
    "gamemoderoot/gui_attach/game_interface/simulation_name",
    "gamemoderoot/gui_attach/game_interface/meterBarAttach/endlessMeter",
    "feedbackPopupTextImage",
    "MouseHandler/trapImage",
    "MouseHandler/trapImage/windFX",
    "MouseHandler/trapImage/captureFX",
    "scaleNode/flameImage",
    "scaleNode",
    "scaleNode/creatureImage",
    "scaleNode/healthBar",
    "agenda_mode/day_button_attach",
    "daily_schedule/guest_combo_attach",
    "tutorialRoot/messageBubble",
    "tutorialRoot/messageBubble/text_attach",
    "tutorialRoot/messageBubble/arrow",
};

// The node names of a path, in order from the root.
inline constexpr std::string_view GetNodePathText(NodePath path)
{
    return NodePathTexts[size_t(path)];
}

// The node names of a path, split at "/".
std::vector<std::string> GetNodePathNames(NodePath path);

class SceneNode;
// The node at the path below `from`, leaving out its first `skip` steps; null when a step finds
// nothing or `from` is null. Each path's names are interned once: traps, power-ups and the HUD look
// theirs up every step.
SceneNode* FindNodeAtPath(SceneNode* from, NodePath path, size_t skip = 0);
