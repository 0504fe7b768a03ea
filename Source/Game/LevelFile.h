#pragma once
// A level's two data files as read: the level file (clock, creature factory, modifiers, obstacles,
// trap factory) and its board file (gunk patches). Reading checks every attribute; building the
// level's objects from what was read is the level's own business.
#include "Base/FileSpec.h"
#include "Game/GameConstants.h"

#include <string>
#include <vector>

struct SpawnBonusEntry
{
    int amount = 0;
    int bonus = 0;
};

struct LevelZoneData
{
    int line = 0; // of its "FactoryZone", for errors found when the level is built
    GremlinMetaType type = GremlinMetaType::Any;
    float x = 0, y = 0, w = 0, h = 0; // a point zone has w = h = 0
    std::vector<int> types;           // sprite indices, file order
    std::vector<float> ratios;        // empty when no ratio was read
    bool dealsInOrder = true;         // no ratio was read
};

// "GremlinFactory"'s spawn clock: the initial creatures, the wandering limit and the optimal count,
// the spawn delay range and the one used below the optimal count (without "optimalNumGremlins"
// the normal one).
struct CreatureSpawnData
{
    int numInitial = 0, maxWandering = 0, optimal = 0;
    float delayMin = 0, delayMax = 0, subOptimalMin = 0, subOptimalMax = 0;
};

// The kings of "GremlinFactory", read only when its King zones name a type.
struct KingSpawnData
{
    int kingTypes = 0; // "Type"s of King zones: the king budget
    float megaTicDelayMin = 0, megaTicDelayMax = 0;
    int numInitialMegaTics = 0, numMaxMegaTics = 0;
};

struct WaveModifierData
{
    int waveInitialSize = 0, waveChange = 0, waveMax = 0;
    float recoveryTime = 0;
    int maxCreaturesChange = 0, maxCreaturesMax = 0;
    int optimalChange = 0, optimalMax = 0;
    float growthRateChange = 0, growthRateMin = 0;
    float spawnDelayChange = 0, spawnDelayMin = 0;
    float maxMegaTicsChange = 0;
    int maxMegaTicsMax = 0;
    float megaTicSpawnDelayChange = 0, megaTicSpawnDelayMin = 0;
};

struct ObstacleData
{
    float x = 0, y = 0;
    std::string image;
};

struct ObstacleSetData
{
    std::string boardSuffix; // "-" + gunkBoard, or empty
    std::vector<ObstacleData> obstacles;
};

struct SludgeZoneData
{
    float spawnDelay = 0, updateTime = 0, spawnRadius = 0;
    int spawnDepth = 0, x = 0, y = 0, w = 0, h = 0;
    float delayChange = 0, delayMin = 0, radiusChange = 0, radiusMax = 0, colorChance = 0;
};

struct TrapDefinitionData
{
    GremlinColorType colour = GremlinColorType::Red;
    float x = 0, y = 0;
};

struct TrapZoneData
{
    bool shuffle = false;
    std::vector<TrapDefinitionData> defs;
};

struct LevelFileData
{
    std::string fileName; // for errors found when the level is built
    float expertTime = 0, timeLimit = 0;
    bool hasExplodeColors = false, explodeColors = false;
    bool hasGunkLimit = false;
    float gunkLimit = 0;
    std::vector<SpawnBonusEntry> loopPowerUpSpawns, spearKingGemSpawns;

    // "GremlinFactory".
    CreatureSpawnData spawn;
    std::vector<LevelZoneData> zones;
    KingSpawnData kings;

    bool hasModifiers = false; // endless only
    WaveModifierData modifiers;

    // Normal mode: one set of the direct obstacles. Endless mode: every "ObstacleSet"; the level
    // picks one.
    std::vector<ObstacleSetData> obstacleSets;
    std::vector<SludgeZoneData> sludgeZones;

    bool hasCycleTraps = false, cycleTraps = false;
    std::vector<float> trapSlots; // initial times, file order
    std::vector<TrapZoneData> trapZones;
};

struct GunkPatchData
{
    int x = 0, y = 0, width = 0;
    std::string data; // digits only
    GremlinColorType colour = GremlinColorType::Black;
};

inline Kestrin::FileSpec LevelFileSpec(const std::string& levelName)
{
    return Kestrin::FileSpec::FromNameAndExtension(std::wstring(levelName.begin(), levelName.end()), L".xml");
}
inline Kestrin::FileSpec BoardFileSpec(const std::string& levelName, const std::string& suffix)
{
    const std::string stem = levelName + "-Board" + suffix;
    return Kestrin::FileSpec::FromNameAndExtension(std::wstring(stem.begin(), stem.end()), L".xml");
}

// Both throw at the first fault: FileOpenException for a missing file, FileReadException naming the
// file, the line and the attribute or element for anything else, a value the level cannot run with
// included. An endless level without "ObstacleSet" or "GremlinFactoryModifiers" is a fault.
LevelFileData ReadLevelFile(const Kestrin::FileSpec& file, bool endless);
std::vector<GunkPatchData> ReadBoardFile(const Kestrin::FileSpec& file);
