#include "Game/LevelFile.h"

#include "Base/FileExceptions.h"
#include "Base/Log.h"
#include "Framework/LibXmlReader.h"
#include "Game/GameDataReaders.h"
#include "Game/NimbalGunk.h"
#include "Game/PlayfieldTypes.h"

#include <libxml++/libxml++.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <utility>

namespace
{
using Children = std::vector<xmlpp::Element*>;

Children ChildrenOf(const xmlpp::Node* node, const char* name)
{
    return LibXmlReader::GetChildElements(node, name);
}

std::vector<SpawnBonusEntry> ReadBonusList(const xmlpp::Element* list, const LibXmlReader& reader)
{
    std::vector<SpawnBonusEntry> entries;
    for (const xmlpp::Element* entry : ChildrenOf(list, "Entry"))
        entries.push_back(
            {ReadIntAttribute(entry, "amount", reader), ReadIntAttribute(entry, "bonus", reader)});
    return entries;
}

// A count of creatures the level places, or keeps on the field: no more than the playfield holds.
int CreatureCount(const xmlpp::Element* node, const char* name, int count, const LibXmlReader& reader)
{
    if (count > MaxCreaturesOnPlayfield)
        RefuseAttribute(node, name, "must not be above " + std::to_string(MaxCreaturesOnPlayfield), reader);
    return count;
}

// A delay range: a delay of 0 would act every step.
std::pair<float, float> ReadDelayRange(const xmlpp::Element* node, const std::string& min,
                                       const std::string& max, const LibXmlReader& reader)
{
    const float low = ReadFloatAttribute(node, min, reader, Bound::AboveZero);
    const float high = ReadFloatAttribute(node, max, reader, Bound::AboveZero);
    CheckMinNotAboveMax(node, min, low, max, high, reader);
    return {low, high};
}

void ReadCreatureFactory(const xmlpp::Element* node, bool endless, LevelFileData& level,
                         const LibXmlReader& reader)
{
    auto real = [&](const xmlpp::Node* n, const char* name) { return ReadFloatAttribute(n, name, reader); };
    auto count = [&](const char* name)
    { return CreatureCount(node, name, ReadIntAttribute(node, name, reader, Bound::ZeroOrMore), reader); };
    level.spawn.numInitial = count("numInitialGremlins");
    level.spawn.maxWandering = count("MaxWanderingGremlinsInLevel");
    std::tie(level.spawn.delayMin, level.spawn.delayMax) =
        ReadDelayRange(node, "GremlinSpawnDelayMin", "GremlinSpawnDelayMax", reader);
    bool present = false;
    level.spawn.optimal = CreatureCount(
        node, "optimalNumGremlins",
        ReadIntAttribute(node, "optimalNumGremlins", reader, Bound::ZeroOrMore, true, &present), reader);
    // Without an optimal count the sub-optimal range is never consulted, so it is not even read.
    std::tie(level.spawn.subOptimalMin, level.spawn.subOptimalMax) =
        present ? ReadDelayRange(node, "subOptimalSpawnDelayMin", "subOptimalSpawnDelayMax", reader)
                : std::pair(level.spawn.delayMin, level.spawn.delayMax);

    for (const xmlpp::Element* zoneNode : ChildrenOf(node, "FactoryZone"))
    {
        LevelZoneData zone;
        zone.line = zoneNode->get_line();
        zone.type = ReadEnumAttribute<GremlinMetaType>(zoneNode, "type", reader);
        ReadFloatAttribute(zoneNode, "rangeX", reader, true, &present);
        if (present)
        {
            zone.x = real(zoneNode, "rangeX");
            zone.y = real(zoneNode, "rangeY");
            // 0 spawns on a line, or at a point, as a zone given by x and y does.
            zone.w = ReadFloatAttribute(zoneNode, "rangeW", reader, Bound::ZeroOrMore);
            zone.h = ReadFloatAttribute(zoneNode, "rangeH", reader, Bound::ZeroOrMore);
        }
        else
        {
            zone.x = real(zoneNode, "x");
            zone.y = real(zoneNode, "y");
        }
        // Outside endless mode a king zone deals its types in order, one king each.
        const bool readsRatio = zone.type != GremlinMetaType::King || endless;
        for (const xmlpp::Element* type : ChildrenOf(zoneNode, "Type"))
        {
            zone.types.push_back(int(ReadEnumAttribute<CreatureSpriteId>(type, "sprite", reader)));
            if (readsRatio)
                zone.ratios.push_back(ReadFloatAttribute(type, "ratio", reader, Bound::ZeroOrMore));
            if (zone.type == GremlinMetaType::King)
                ++level.kings.kingTypes;
        }
        // The level loads without such a zone: the factory leaves it out.
        if (zone.types.empty())
            Kestrin::LogPrintf("%s (line %d): %s zone names no \"Type\": it is left out; only the other "
                               "zones spawn creatures\n",
                               reader.GetFileName().c_str(), zone.line, NameOf(zone.type));
        // A type may sit out with 0, but a zone with nothing to draw fails its first draw.
        if (!zone.ratios.empty() &&
            std::none_of(zone.ratios.begin(), zone.ratios.end(), [](float r) { return r > 0; }))
            RefuseAttribute(zoneNode, "ratio", "must be above 0 in at least one \"Type\"", reader);
        zone.dealsInOrder = zone.ratios.empty();
        level.zones.push_back(std::move(zone));
    }
    if (level.kings.kingTypes > 0)
    {
        std::tie(level.kings.megaTicDelayMin, level.kings.megaTicDelayMax) =
            ReadDelayRange(node, "megaTicSpawnDelayMin", "megaTicSpawnDelayMax", reader);
        level.kings.numInitialMegaTics = count("numInitialMegaTics");
        level.kings.numMaxMegaTics = count("numMaxMegaTics");
    }
}

WaveModifierData ReadModifiers(const xmlpp::Element* node, const LibXmlReader& reader)
{
    auto child = [&](const char* name) { return reader.GetRequiredChild(node, name); };
    auto real = [&](const xmlpp::Node* n, const char* name) { return ReadFloatAttribute(n, name, reader); };
    auto whole = [&](const xmlpp::Node* n, const char* name) { return TruncateToInt(real(n, name)); };
    auto count = [&](const xmlpp::Node* n, const char* name)
    { return TruncateToInt(ReadFloatAttribute(n, name, reader, Bound::ZeroOrMore)); };
    // A cap on what the waves grow to: above what the playfield holds it caps nothing more, and
    // files write no cap as INT_MAX, where the factory's own caps start.
    auto cap = [&](const xmlpp::Node* n, const char* name)
    { return std::min(count(n, name), MaxCreaturesOnPlayfield); };
    // The floors the waves hold the timings to; the factory's start at 0, no floor. At 0 a timing
    // the waves shrink reaches 0: a creature then goes through a stage a step, and one spawns a
    // step up to the wave's size and the wandering and king limits.
    auto floorOf = [&](const xmlpp::Node* n)
    { return ReadFloatAttribute(n, "min", reader, Bound::ZeroOrMore); };
    WaveModifierData m;
    const xmlpp::Element* wave = child("wave");
    // A wave's size counts the creatures it makes one after another, each still held to the
    // wandering limit: no playfield bound.
    m.waveInitialSize = count(wave, "initialSize");
    m.waveChange = whole(wave, "change");
    m.waveMax = count(wave, "max");
    CheckMinNotAboveMax(wave, "initialSize", float(m.waveInitialSize), "max", float(m.waveMax), reader);
    m.recoveryTime = ReadFloatAttribute(wave, "recoveryTime", reader, Bound::ZeroOrMore);
    const xmlpp::Element* creatures = child("maxCreatures");
    m.maxCreaturesChange = whole(creatures, "change");
    m.maxCreaturesMax = cap(creatures, "max");
    const xmlpp::Element* optimal = child("optimalCreatures");
    m.optimalChange = whole(optimal, "change");
    m.optimalMax = cap(optimal, "max");
    const xmlpp::Element* growth = child("growthRate");
    m.growthRateChange = real(growth, "change");
    m.growthRateMin = floorOf(growth);
    const xmlpp::Element* delay = child("spawnDelay");
    m.spawnDelayChange = real(delay, "change");
    m.spawnDelayMin = floorOf(delay);
    const xmlpp::Element* kings = child("maxMegaTics");
    m.maxMegaTicsChange = real(kings, "change");
    m.maxMegaTicsMax =
        std::min(ReadIntAttribute(kings, "max", reader, Bound::ZeroOrMore), MaxCreaturesOnPlayfield);
    const xmlpp::Element* kingDelay = child("megaTicSpawnDelay");
    m.megaTicSpawnDelayChange = real(kingDelay, "change");
    m.megaTicSpawnDelayMin = floorOf(kingDelay);
    return m;
}

std::vector<ObstacleData> ReadObstacles(const xmlpp::Element* parent, const LibXmlReader& reader)
{
    std::vector<ObstacleData> obstacles;
    for (const xmlpp::Element* node : ChildrenOf(parent, "ImmovableObstacle"))
        obstacles.push_back({ReadFloatAttribute(node, "x", reader), ReadFloatAttribute(node, "y", reader),
                             ReadRequiredAttribute(node, "image", reader)});
    return obstacles;
}

SludgeZoneData ReadSludgeZone(const xmlpp::Element* node, const LibXmlReader& reader)
{
    auto real = [&](const char* name) { return ReadFloatAttribute(node, name, reader); };
    auto whole = [&](const char* name) { return ReadIntAttribute(node, name, reader); };
    // A timer of 0 would lay gunk, or shorten the delay, every step.
    auto positive = [&](const char* name)
    { return ReadFloatAttribute(node, name, reader, Bound::AboveZero); };
    auto size = [&](const char* name) { return ReadIntAttribute(node, name, reader, Bound::AboveZero); };
    SludgeZoneData z;
    z.spawnDelay = positive("spawnDelay");
    z.updateTime = positive("updateTime");
    z.spawnRadius = positive("spawnRadius");
    // Layers a spawn lays, each a pass over the circle: a cell holds no more.
    z.spawnDepth = ReadIntAttribute(node, "spawnDepth", reader, Bound::ZeroOrMore);
    if (z.spawnDepth > NimbalGunk::kMaxDepth)
        RefuseAttribute(node, "spawnDepth", "must not be above " + std::to_string(NimbalGunk::kMaxDepth),
                        reader);
    z.x = whole("x");
    z.y = whole("y");
    z.w = size("w");
    z.h = size("h");
    z.delayChange = real("delayChange");
    z.delayMin = positive("delayMin");
    CheckMinNotAboveMax(node, "delayMin", z.delayMin, "spawnDelay", z.spawnDelay, reader);
    z.radiusChange = real("radiusChange");
    z.radiusMax = real("radiusMax");
    CheckMinNotAboveMax(node, "spawnRadius", z.spawnRadius, "radiusMax", z.radiusMax, reader);
    z.colorChance = real("colorChance");
    return z;
}

void ReadTrapFactory(const xmlpp::Element* node, LevelFileData& level, const LibXmlReader& reader)
{
    const int cycle = ReadIntAttribute(node, "cycleTraps", reader, true, &level.hasCycleTraps);
    level.cycleTraps = level.hasCycleTraps && cycle != 0;
    for (const xmlpp::Element* slot : ChildrenOf(reader.GetRequiredChild(node, "TrapSlots"), "Slot"))
        level.trapSlots.push_back(ReadFloatAttribute(slot, "initialTime", reader, Bound::ZeroOrMore));
    for (const xmlpp::Element* zoneNode : ChildrenOf(node, "FactoryZone"))
    {
        TrapZoneData zone;
        bool present = false;
        zone.shuffle = ReadBoolAttribute(zoneNode, "shuffle", reader, false, present);
        for (const xmlpp::Element* type : ChildrenOf(zoneNode, "TrapType"))
        {
            const auto colour = ReadEnumAttribute<GremlinColorType>(type, "color", reader);
            // Such a trap is played as it is, but no creature ever leads to it.
            if (colour == GremlinColorType::Black || colour == GremlinColorType::Any)
                Kestrin::LogPrintf("%s (line %d): trap colour \"%s\" matches no basic creature\n",
                                   reader.GetFileName().c_str(), type->get_line(), NameOf(colour));
            zone.defs.push_back(
                {colour, ReadFloatAttribute(type, "x", reader), ReadFloatAttribute(type, "y", reader)});
        }
        level.trapZones.push_back(std::move(zone));
    }
}
} // namespace

LevelFileData ReadLevelFile(const Kestrin::FileSpec& file, bool endless)
{
    LibXmlReader reader(file);
    const xmlpp::Element* data = reader.GetRequiredChild(reader.GetRootElement(), "LevelData");
    auto child = [&](const char* name) { return reader.GetRequiredChild(data, name); };
    LevelFileData level;
    level.fileName = reader.GetFileName();

    const xmlpp::Element* quota = child("Quota");
    level.expertTime = ReadFloatAttribute(quota, "expertTime", reader, Bound::ZeroOrMore);
    level.timeLimit = ReadFloatAttribute(quota, "timeLimit", reader, Bound::AboveZero);
    level.explodeColors = ReadBoolAttribute(quota, "explodeColors", reader, true, level.hasExplodeColors);
    // A share of the board: at 0 the first gunk overflows it, above 1 it can never fill.
    level.gunkLimit =
        ReadFloatAttribute(quota, "gunkLimit", reader, Bound::AboveZero, true, &level.hasGunkLimit);
    if (level.hasGunkLimit && level.gunkLimit > 1.0f)
        RefuseAttribute(quota, "gunkLimit", "must not be above 1", reader);

    level.loopPowerUpSpawns = ReadBonusList(child("LoopPowerUpSpawn"), reader);
    level.spearKingGemSpawns = ReadBonusList(child("SpearKingGemSpawn"), reader);
    ReadCreatureFactory(child("GremlinFactory"), endless, level, reader);
    if (endless)
    {
        level.hasModifiers = true;
        level.modifiers = ReadModifiers(child("GremlinFactoryModifiers"), reader);
    }

    const xmlpp::Element* obstacles = child("Obstacles");
    if (!endless)
        level.obstacleSets.push_back({"", ReadObstacles(obstacles, reader)});
    else
    {
        const Children sets = ChildrenOf(obstacles, "ObstacleSet");
        if (sets.empty())
            throw FileReadException(0, reader.GetFileName(), obstacles->get_line(),
                                    "couldn't find required child node \"ObstacleSet\"");
        for (const xmlpp::Element* set : sets)
        {
            bool found = false;
            const std::string board = ReadAttribute(set, "gunkBoard", reader, true, found);
            level.obstacleSets.push_back({found ? "-" + board : "", ReadObstacles(set, reader)});
        }
        for (const xmlpp::Element* zone : ChildrenOf(obstacles, "EndlessSludgeZone"))
            level.sludgeZones.push_back(ReadSludgeZone(zone, reader));
    }

    ReadTrapFactory(child("GremlinTrapFactory"), level, reader);
    return level;
}

std::vector<GunkPatchData> ReadBoardFile(const Kestrin::FileSpec& file)
{
    LibXmlReader reader(file);
    std::vector<GunkPatchData> patches;
    for (const xmlpp::Element* node : ChildrenOf(reader.GetRootElement(), "NimbalGunk"))
    {
        GunkPatchData patch;
        patch.x = ReadIntAttribute(node, "x", reader);
        patch.y = ReadIntAttribute(node, "y", reader);
        patch.width = ReadIntAttribute(node, "width", reader, Bound::AboveZero);
        patch.data = ReadRequiredAttribute(node, "data", reader);
        patch.colour = ReadEnumAttribute<GremlinColorType>(node, "color", reader);
        if (patch.data.find_first_not_of("0123456789") != std::string::npos)
            throw FileReadException(0, reader.GetFileName(), node->get_line(),
                                    "attribute \"data\" may hold digits only");
        patches.push_back(std::move(patch));
    }
    return patches;
}
