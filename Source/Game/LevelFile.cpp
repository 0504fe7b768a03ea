#include "Game/LevelFile.h"

#include "Base/FileExceptions.h"
#include "Base/Log.h"
#include "Framework/LibXmlReader.h"
#include "Game/GameDataReaders.h"

#include <libxml++/libxml++.h>

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
        entries.push_back({ReadIntAttribute(entry, "amount", reader), ReadIntAttribute(entry, "bonus", reader)});
    return entries;
}

void ReadCreatureFactory(const xmlpp::Element* node, bool endless, LevelFileData& level,
                         const LibXmlReader& reader)
{
    auto real = [&](const xmlpp::Node* n, const char* name) { return ReadFloatAttribute(n, name, reader); };
    level.numInitial = ReadIntAttribute(node, "numInitialGremlins", reader);
    level.maxWandering = ReadIntAttribute(node, "MaxWanderingGremlinsInLevel", reader);
    level.delayMin = real(node, "GremlinSpawnDelayMin");
    level.delayMax = real(node, "GremlinSpawnDelayMax");
    bool present = false;
    level.optimal = ReadIntAttribute(node, "optimalNumGremlins", reader, true, &present);
    // Without an optimal count the sub-optimal range is never consulted, so it is not even read.
    level.subOptimalMin = present ? real(node, "subOptimalSpawnDelayMin") : level.delayMin;
    level.subOptimalMax = present ? real(node, "subOptimalSpawnDelayMax") : level.delayMax;

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
            zone.w = real(zoneNode, "rangeW");
            zone.h = real(zoneNode, "rangeH");
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
                zone.ratios.push_back(real(type, "ratio"));
            if (zone.type == GremlinMetaType::King)
                ++level.kingTypes;
        }
        zone.dealsInOrder = zone.ratios.empty();
        level.zones.push_back(std::move(zone));
    }
    if (level.kingTypes > 0)
    {
        level.megaTicDelayMin = real(node, "megaTicSpawnDelayMin");
        level.megaTicDelayMax = real(node, "megaTicSpawnDelayMax");
        level.numInitialMegaTics = ReadIntAttribute(node, "numInitialMegaTics", reader);
        level.numMaxMegaTics = ReadIntAttribute(node, "numMaxMegaTics", reader);
    }
}

WaveModifierData ReadModifiers(const xmlpp::Element* node, const LibXmlReader& reader)
{
    auto child = [&](const char* name) { return reader.GetRequiredChild(node, name); };
    auto real = [&](const xmlpp::Node* n, const char* name) { return ReadFloatAttribute(n, name, reader); };
    auto whole = [&](const xmlpp::Node* n, const char* name) { return int(real(n, name)); };
    WaveModifierData m;
    const xmlpp::Element* wave = child("wave");
    m.waveInitialSize = whole(wave, "initialSize");
    m.waveChange = whole(wave, "change");
    m.waveMax = whole(wave, "max");
    m.recoveryTime = real(wave, "recoveryTime");
    const xmlpp::Element* creatures = child("maxCreatures");
    m.maxCreaturesChange = whole(creatures, "change");
    m.maxCreaturesMax = whole(creatures, "max");
    const xmlpp::Element* optimal = child("optimalCreatures");
    m.optimalChange = whole(optimal, "change");
    m.optimalMax = whole(optimal, "max");
    const xmlpp::Element* growth = child("growthRate");
    m.growthRateChange = real(growth, "change");
    m.growthRateMin = real(growth, "min");
    const xmlpp::Element* delay = child("spawnDelay");
    m.spawnDelayChange = real(delay, "change");
    m.spawnDelayMin = real(delay, "min");
    const xmlpp::Element* kings = child("maxMegaTics");
    m.maxMegaTicsChange = real(kings, "change");
    m.maxMegaTicsMax = ReadIntAttribute(kings, "max", reader);
    const xmlpp::Element* kingDelay = child("megaTicSpawnDelay");
    m.megaTicSpawnDelayChange = real(kingDelay, "change");
    m.megaTicSpawnDelayMin = real(kingDelay, "min");
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
    SludgeZoneData z;
    z.spawnDelay = real("spawnDelay");
    z.updateTime = real("updateTime");
    z.spawnRadius = real("spawnRadius");
    z.spawnDepth = whole("spawnDepth");
    z.x = whole("x");
    z.y = whole("y");
    z.w = whole("w");
    z.h = whole("h");
    z.delayChange = real("delayChange");
    z.delayMin = real("delayMin");
    z.radiusChange = real("radiusChange");
    z.radiusMax = real("radiusMax");
    z.colorChance = real("colorChance");
    return z;
}

void ReadTrapFactory(const xmlpp::Element* node, LevelFileData& level, const LibXmlReader& reader)
{
    const int cycle = ReadIntAttribute(node, "cycleTraps", reader, true, &level.hasCycleTraps);
    level.cycleTraps = level.hasCycleTraps && cycle != 0;
    for (const xmlpp::Element* slot : ChildrenOf(reader.GetRequiredChild(node, "TrapSlots"), "Slot"))
        level.trapSlots.push_back(ReadFloatAttribute(slot, "initialTime", reader));
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
            zone.defs.push_back({colour, ReadFloatAttribute(type, "x", reader), ReadFloatAttribute(type, "y", reader)});
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
    level.expertTime = ReadFloatAttribute(quota, "expertTime", reader);
    level.timeLimit = ReadFloatAttribute(quota, "timeLimit", reader);
    level.explodeColors = ReadBoolAttribute(quota, "explodeColors", reader, true, level.hasExplodeColors);
    level.gunkLimit = ReadFloatAttribute(quota, "gunkLimit", reader, true, &level.hasGunkLimit);

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
        patch.width = ReadIntAttribute(node, "width", reader);
        patch.data = ReadRequiredAttribute(node, "data", reader);
        patch.colour = ReadEnumAttribute<GremlinColorType>(node, "color", reader);
        if (patch.width <= 0)
            throw FileReadException(0, reader.GetFileName(), node->get_line(),
                                    "attribute \"width\" must be above 0");
        if (patch.data.find_first_not_of("0123456789") != std::string::npos)
            throw FileReadException(0, reader.GetFileName(), node->get_line(),
                                    "attribute \"data\" may hold digits only");
        patches.push_back(std::move(patch));
    }
    return patches;
}
