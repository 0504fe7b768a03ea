// Feeds arbitrary bytes to the game's data readers. The first byte picks the file: 0 the global
// settings, 1 the creature settings, 2 the level list, 3 a level file walked through the attribute
// readers, then read as a level file of both modes and as a board file; what reads is built as the
// level builds it, headless (its factories, obstacles, sludge zones and traps in a database of
// their own, the board's patches on a board of 40 x 30 cells). Nothing may escape the guarded
// readers, and what they keep must be usable.
#include "Base/Log.h"
#include "Base/Random.h"
#include "Framework/LibXmlReader.h"
#include "Framework/ObjectDatabase.h"
#include "Game/CollisionQuadTree.h"
#include "Game/CreatureSettings.h"
#include "Game/GameDataReaders.h"
#include "Game/GameLevels.h"
#include "Game/GlobalSettings.h"
#include "Game/GremlinHomeFactory.h"
#include "Game/LevelFile.h"
#include "Game/NimbalGunk.h"
#include "Game/NimbalLevel.h"
#include "Game/PlayfieldTypes.h"
#include "Game/ShuffleWithRand.h"

#include "GameStubs/CreatureRecords.h"
#include "Support/FakeFileSystem.h"

#include <libxml++/libxml++.h>

#include <algorithm>
#include <exception>
#include <iterator>
#include <string>
#include <vector>

using namespace Kestrin;

namespace
{
void Check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

template <typename E> bool InTable(E value)
{
    return int(value) >= 0 && size_t(value) < EnumNames<E>::names.size();
}

void Global()
{
    GlobalSettings settings;
    // What reads keeps every hauling speed above 0.
    if (settings.Load())
        Check(settings.BaseFollowLineSpeed +
                      std::min(settings.PerGremlinSpeedMultiplier, settings.PerGemSpeedMultiplier) >
                  0 &&
              settings.BaseFollowUpLineSpeed + settings.PerGremlinUpLineSpeedMultiplier > 0 &&
              settings.wrapMax >= 0);
    // No spear brings more Posi-Tics than the playfield holds.
    for (int value : {-1, 0, 1, 3, 7, 100, 2147483647})
        for (int alive : {0, 1, 5, 2147483647})
            Check(settings.LookupPosiTics(value, alive) <= MaxCreaturesOnPlayfield);
}

void Creatures()
{
    CreatureSettingsMap settings;
    LoadCreatureSettings(settings);
    for (const auto& [sprite, record] : settings)
    {
        Check(sprite == record.sprite && InTable(record.sprite) && InTable(record.color) &&
              InTable(record.behavior));
        // What reads is playable: it moves, takes time to explode, and no range is upside down.
        Check(record.maxMoveSpeed > 0 && record.explode0Min > 0 && record.explodeEndMin > 0 &&
              record.explodeRadius > 0 && record.maxHealth >= 0);
        Check(record.explode1Min <= record.explode1Max && record.pauseLengthMin <= record.pauseLengthMax &&
              record.randomWalkSpeedMin >= 0 && record.randomWalkAngleVarMin <= record.randomWalkAngleVarMax);
    }
}

void Levels(KestrinTest::FakeFileSystem& fs, const std::string& input)
{
    GameLevels levels;
    const std::string known =
        "<L><Day dayNum=\"1\"><level name=\"a\" guestID=\"Jillian\"/></Day><EndlessLevels>"
        "<level name=\"e\" guestID=\"Zoe\"/></EndlessLevels></L>";
    fs.AddFile(GameLevels::File(), known);
    levels.LoadLevelList();
    levels.SetCurrentLevel("a");
    fs.AddFile(GameLevels::File(), input);
    try
    {
        levels.LoadLevelList();
    }
    catch (const std::exception&)
    {
    }
    Check(!levels.current || levels.Find(levels.current->name) == levels.current);
    for (const std::string& name : levels.order)
        Check(levels.Find(name) != nullptr);
    if (!levels.order.empty())
    {
        for (const std::string& name : {levels.order.front(), levels.order.back()})
        {
            levels.SetCurrentLevel(name);
            Check(levels.Find(levels.GetNextLevelName()) != nullptr);
        }
    }
    for (int guest = 0; guest < 7; ++guest)
    {
        bool second = false;
        for (const LevelRecord* record : levels.GetGuestLevels(GuestID(guest), "a", second))
            Check(record && int(record->guest) == guest);
    }
}

// Every element, and the attributes a level file reads, through each reader.
void Walk(const LibXmlReader& reader, const xmlpp::Node* node, int depth)
{
    if (!node || depth > 64)
        return;
    for (const char* name : {"type", "sprite", "color", "shuffle", "x", "y", "ratio", "numInitialGremlins"})
    {
        try
        {
            bool present = false;
            ReadBoolAttribute(node, name, reader, true, present);
        }
        catch (const std::exception&)
        {
        }
        try
        {
            ReadIntAttribute(node, name, reader, true);
            ReadFloatAttribute(node, name, reader, true);
        }
        catch (const std::exception&)
        {
        }
        try
        {
            Check(InTable(ReadEnumAttribute<GremlinMetaType>(node, name, reader)));
        }
        catch (const std::exception&)
        {
        }
        const int index =
            ReadEnumAttribute(node, name, EnumNames<CreatureSpriteId>::names.data(), 19, reader, true);
        Check(index >= -1 && index < 19);
    }
    for (const xmlpp::Node* child : node->get_children())
        Walk(reader, child, depth + 1);
}

// What the level reader keeps must hold together: table values, a zone that deals in order has
// no ratios, the king budget counts the king zones' types, the obstacle sets fit the mode; and it
// must be playable: clocks and delays above 0, no count below 0, no range upside down.
void CheckLevel(const LevelFileData& level, bool endless)
{
    Check(level.timeLimit > 0 && level.expertTime >= 0);
    Check(!level.hasGunkLimit || (level.gunkLimit > 0 && level.gunkLimit <= 1));
    // No more creatures than the playfield holds, nor more layers than a cell holds.
    auto count = [](int n) { return n >= 0 && n <= MaxCreaturesOnPlayfield; };
    Check(count(level.spawn.numInitial) && count(level.spawn.maxWandering) && count(level.spawn.optimal));
    Check(level.kings.kingTypes == 0 ||
          (count(level.kings.numInitialMegaTics) && count(level.kings.numMaxMegaTics)));
    const WaveModifierData& m = level.modifiers;
    // A wave's size counts creatures made one after another: no playfield bound.
    Check(m.waveInitialSize >= 0 && m.waveInitialSize <= m.waveMax && count(m.maxCreaturesMax) &&
          count(m.optimalMax) && count(m.maxMegaTicsMax) && m.recoveryTime >= 0);
    // The floors may be 0: what they hold down may then reach 0.
    Check(m.growthRateMin >= 0 && m.spawnDelayMin >= 0 && m.megaTicSpawnDelayMin >= 0);
    Check(level.spawn.delayMin > 0 && level.spawn.delayMin <= level.spawn.delayMax &&
          level.spawn.subOptimalMin > 0 && level.spawn.subOptimalMin <= level.spawn.subOptimalMax);
    for (const SludgeZoneData& z : level.sludgeZones)
        Check(z.spawnDelay > 0 && z.updateTime > 0 && z.delayMin > 0 && z.delayMin <= z.spawnDelay &&
              z.spawnRadius <= z.radiusMax && z.w > 0 && z.h > 0 && z.spawnDepth >= 0 &&
              z.spawnDepth <= NimbalGunk::kMaxDepth);
    for (float time : level.trapSlots)
        Check(time >= 0);
    int kings = 0;
    for (const LevelZoneData& zone : level.zones)
    {
        Check(InTable(zone.type) && zone.dealsInOrder == zone.ratios.empty());
        Check(zone.ratios.empty() || zone.ratios.size() == zone.types.size());
        Check(zone.ratios.empty() || *std::max_element(zone.ratios.begin(), zone.ratios.end()) > 0);
        for (int type : zone.types)
            Check(type >= 0 && type < 19);
        Check(zone.w >= 0 && zone.h >= 0);
        kings += zone.type == GremlinMetaType::King ? int(zone.types.size()) : 0;
    }
    Check(kings == level.kings.kingTypes);
    Check(endless ? !level.obstacleSets.empty() : level.obstacleSets.size() == 1);
    Check(endless == level.hasModifiers && (endless || level.sludgeZones.empty()));
    for (const TrapZoneData& zone : level.trapZones)
        for (const TrapDefinitionData& def : zone.defs)
            Check(InTable(def.colour));
}

// A record for every sprite, so any zone the file names can be built.
std::string EveryCreature()
{
    return GameTest::CreatureSettingsOfOnes(std::vector<std::string>(
        std::begin(EnumNames<CreatureSpriteId>::names), std::end(EnumNames<CreatureSpriteId>::names)));
}

// The level's building step over what was read, in a screen's database of its own with its
// collision tree. A zone the factory refuses may throw; whatever was built before must stand.
void BuildLevel(const LevelFileData& data, bool endless)
{
    // Seeded, so a crash replays.
    BoostRandomNumberStream random(1);
    ScopedRandomStream scopedRandom(&random);
    SetShuffleRandomSource(ShuffleLcg(1));
    ObjectDatabase database;
    ScopedCurrentObjectDatabase current(&database);
    auto* tree = new CollisionQuadTree(1000);
    SetCollisionTree(&database, tree);
    auto* level = new NimbalLevel(NimbalLevel::NoSetUp{});
    database.AddObject(level);
    bool built = true;
    try
    {
        level->ApplyLevelFile(data, endless);
    }
    catch (const std::exception&)
    {
        built = false;
    }
    Check(database.FindObject(GameNames::GremlinHomeFactory) &&
          database.FindObject(GameNames::GremlinFactory));
    if (built && !level->loadFailed)
    {
        auto* traps = dynamic_cast<GremlinHomeFactory*>(database.FindObject(GameNames::GremlinHomeFactory));
        Check(traps && traps->slots.size() == data.trapSlots.size() && traps->cycleTraps == data.cycleTraps);
    }
    // The tree goes before the objects, as on the game screen.
    SetCollisionTree(&database, nullptr);
    delete tree;
    SetShuffleRandomSource({});
}

void LayPatches(const std::vector<GunkPatchData>& patches)
{
    NimbalGunk& board = NimbalGunk::Instance();
    board.cellWidth = board.cellHeight = 20;
    board.columns = 40;
    board.rows = 30;
    board.cells.assign(40, std::vector<GunkCell>(30));
    for (const GunkPatchData& patch : patches)
        board.LoadPatch(patch.data.data(), int(patch.data.size()), patch.x, patch.y, patch.width,
                        int(patch.colour));
    for (const auto& column : board.cells)
        for (const GunkCell& cell : column)
        {
            Check(cell.size() <= size_t(NimbalGunk::kMaxDepth));
            for (int colour : cell)
                Check(InTable(GremlinColorType(colour)));
        }
}

void LevelFile(KestrinTest::FakeFileSystem& fs)
{
    const FileSpec file = FileSpec::FromNameAndExtension(L"Level", L".xml");
    try
    {
        LibXmlReader reader(file);
        Walk(reader, reader.GetRootElement(), 0);
    }
    catch (const std::exception&)
    {
    }
    static const std::string creatures = EveryCreature();
    fs.AddFile(CreatureSettingsFile(), creatures);
    for (bool endless : {false, true})
    {
        LevelFileData level;
        try
        {
            level = ReadLevelFile(file, endless);
        }
        catch (const std::exception&)
        {
            continue;
        }
        CheckLevel(level, endless);
        BuildLevel(level, endless);
    }
    try
    {
        const std::vector<GunkPatchData> patches = ReadBoardFile(file);
        for (const GunkPatchData& patch : patches)
            Check(patch.width > 0 && InTable(patch.colour) &&
                  patch.data.find_first_not_of("0123456789") == std::string::npos);
        LayPatches(patches);
    }
    catch (const std::exception&)
    {
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    SetLogToStderr(false); // every bad file is logged; the noise would slow the run down
    KestrinTest::FakeFileSystem fs;
    SetFileSystem(&fs);
    const std::string input(reinterpret_cast<const char*>(data) + 1, size - 1);
    switch (data[0] % 4)
    {
    case 0:
        fs.AddFile(GlobalSettings::File(), input);
        Global();
        break;
    case 1:
        fs.AddFile(CreatureSettingsFile(), input);
        Creatures();
        break;
    case 2:
        Levels(fs, input);
        break;
    default:
        fs.AddFile(FileSpec::FromNameAndExtension(L"Level", L".xml"), input);
        LevelFile(fs);
        break;
    }
    UnregisterFileSystem(&fs);
    return 0;
}
