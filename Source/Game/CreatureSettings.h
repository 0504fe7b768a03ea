#pragma once
// Per-sprite creature tuning, read from "CreatureSettings.xml" into the creature factory.
#include "Base/FileSpec.h"
#include "Game/GameConstants.h"

#include <cstdint>
#include <map>

struct TypeSettings
{
    CreatureSpriteId sprite = CreatureSpriteId::None;
    GremlinColorType color = GremlinColorType::Red;
    GremlinKind behavior = GremlinKind::Basic;
    float angryTime = 0.0f;
    int32_t maxHealth = 10;
    float param1 = 0.0f;
    float param2 = 0.0f;
    float param3 = 0.0f;
    float param4 = 0.0f;
    float chanceForPause = 0.0f; // percent
    float pauseLengthMin = 0.0f;
    float pauseLengthMax = 0.0f;
    float explode0Min = 0.0f;
    float explode0Max = 0.0f;
    float explode1Min = 0.0f;
    float explode1Max = 0.0f;
    float explode2Min = 0.0f;
    float explode2Max = 0.0f;
    float explodeEndMin = 0.0f;
    float explodeEndMax = 0.0f;
    float maxMoveSpeed = 0.0f;
    float energyMin = 0.0f;
    float energyMax = 0.0f;
    float randomWalkSpeedMin = 0.0f;
    float randomWalkSpeedMax = 0.0f;
    float randomWalkLengthMin = 0.0f;
    float randomWalkLengthMax = 0.0f;
    float randomWalkAngleVarMin = 0.0f; // radians; the file gives units of 15 degrees
    float randomWalkAngleVarMax = 0.0f;
    int32_t explodeRadius = 100;
};

using CreatureSettingsMap = std::map<CreatureSpriteId, TypeSettings>;

// The file's units of angle variation, in radians (pi / 12 as a float).
inline constexpr float AngleVariationUnit = 0.2617994f;

inline Kestrin::FileSpec CreatureSettingsFile()
{
    return Kestrin::FileSpec::FromNameAndExtension(L"CreatureSettings", L".xml");
}

// Stores every "TypeSettings" child of the root under its sprite, a later record replacing an
// earlier one. Throws at the first record that fails; the records before it stay stored.
void ReadCreatureSettings(CreatureSettingsMap& settings,
                          const Kestrin::FileSpec& file = CreatureSettingsFile());

// The same behind the guard: a failure is reported with the caption
// "There was an error loading the CreatureSettings.xml file." and answers false (the level then
// counts as failed to load).
bool LoadCreatureSettings(CreatureSettingsMap& settings,
                          const Kestrin::FileSpec& file = CreatureSettingsFile());
