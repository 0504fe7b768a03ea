#include "harness/DataCheck.h"

#include "Base/Strings.h"
#include "Base/Text.h"
#include "Framework/FileSystem.h"
#include "Framework/LibXmlReader.h"
#include "Game/CreatureSettings.h"
#include "Game/GameDataReaders.h"
#include "Game/GameLevels.h"
#include "Game/GameText.h"
#include "Game/GlobalSettings.h"
#include "Game/LevelFile.h"

#include <libxml++/libxml++.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <map>
#include <set>

namespace fs = std::filesystem;

namespace DataCheck
{
namespace
{

Kestrin::FileSpec RootFile(const std::string& stem)
{
    std::wstring name;
    for (unsigned char c : stem)
        name += wchar_t(c);
    return Kestrin::FileSpec(1, name, L".xml");
}

// The file index is on while the campaign is read, as it is once the game has loaded. The game
// data reader opens a file by name alone, so every file the campaign reads lies at the data root.
struct IndexBracket
{
    IndexBracket()
    {
        if (Kestrin::IFileSystem* files = Kestrin::GetFileSystem())
            files->BeginIndexing();
    }
    ~IndexBracket()
    {
        if (Kestrin::IFileSystem* files = Kestrin::GetFileSystem())
            files->EndIndexing();
    }
    IndexBracket(const IndexBracket&) = delete;
    IndexBracket& operator=(const IndexBracket&) = delete;
};

const std::set<GremlinColorType> SpoolColors = {GremlinColorType::Red, GremlinColorType::Green,
                                                GremlinColorType::Blue, GremlinColorType::Yellow,
                                                GremlinColorType::Purple};

// What makes a level harder, per level; a week's average must not fall from one week to the next.
struct Pressure
{
    double initial = 0, wandering = 0, quickness = 0, gunk = 0, spools = 0;
};
const std::array<const char*, 5> PressureNames = {"initial creatures", "wandering creatures",
                                                  "spawn speed (1 / minimum delay)", "gunk cells", "spools"};

double Measure(const Pressure& p, size_t i)
{
    const double values[] = {p.initial, p.wandering, p.quickness, p.gunk, p.spools};
    return values[i];
}

class CampaignReader
{
public:
    CampaignReader(const LoadedTree& tree, Report& report) : m_tree(tree), m_report(report)
    {
        if (fs::is_directory(tree.Root()))
            for (auto it = fs::recursive_directory_iterator(tree.Root());
                 it != fs::recursive_directory_iterator(); ++it)
                if (it->is_regular_file())
                    m_paths.emplace(Lower(it->path().filename().string()),
                                    it->path().lexically_relative(tree.Root()).generic_string());
    }

    // Resource names ignore case.
    bool IsImage(const std::string& name) const
    {
        if (m_images.empty())
            for (const LoadedEntry& entry : m_tree.Entries())
                if (entry.kind == "image")
                    m_images.insert(Lower(entry.name));
        return m_images.count(Lower(name)) != 0;
    }

    void Run()
    {
        IndexBracket index;
        ReadSettings();
        if (!ReadCatalogue())
            return;
        for (const std::string& name : m_levels.order)
            ReadLevel(name, false);
        for (const auto& [name, record] : m_levels.records)
            if (std::find(m_levels.order.begin(), m_levels.order.end(), name) == m_levels.order.end())
                ReadLevel(name, true);
        CheckDifficulty();
    }

private:
    // The file of that bare name, relative to the root; the root's own when there is none.
    std::string PathOf(const std::string& fileName) const
    {
        auto it = m_paths.find(Lower(fileName));
        return it == m_paths.end() ? fileName : it->second;
    }

    bool Exists(const std::string& fileName) const { return m_paths.count(Lower(fileName)) != 0; }

    void Add(const std::string& fileName, const std::string& what) { m_report.Add(PathOf(fileName), what); }

    void ReadSettings()
    {
        ++m_report.checked;
        GlobalSettings global;
        try
        {
            global.Read(RootFile("GlobalSettings"));
            auto ascending = [](const auto& list, auto key)
            {
                for (size_t i = 1; i < list.size(); ++i)
                    if (key(list[i]) <= key(list[i - 1]))
                        return false;
                return !list.empty();
            };
            if (!ascending(global.posiTicSpearValue, [](const auto& e) { return e.speared; }))
                Add("GlobalSettings.xml", "PosiTicSpearValue is empty or not ascending in \"speared\"");
            if (!ascending(global.posiTicSurcharge, [](const auto& e) { return e.current; }))
                Add("GlobalSettings.xml", "PosiTicSurcharge is empty or not ascending in \"current\"");
            if (!ascending(global.megaTicDamageShrink, [](const auto& e) { return e.damage; }))
                Add("GlobalSettings.xml", "MegaTicDamageShrink is empty or not ascending in \"damage\"");
            else if (global.megaTicDamageShrink.back().damage < 1)
                Add("GlobalSettings.xml", "MegaTicDamageShrink has no entry of damage 1 or more");
        }
        catch (const std::exception& e)
        {
            Add("GlobalSettings.xml", std::string("does not read: ") + e.what());
        }

        ++m_report.checked;
        try
        {
            ReadCreatureSettings(m_settings, CreatureSettingsFile());
            // The basics and the freeze are looked up by every level.
            for (CreatureSpriteId needed :
                 {CreatureSpriteId::BasicRed, CreatureSpriteId::BasicGreen, CreatureSpriteId::BasicBlue,
                  CreatureSpriteId::BasicYellow, CreatureSpriteId::BasicPurple, CreatureSpriteId::Freeze})
                if (!m_settings.count(needed))
                    Add("CreatureSettings.xml", std::string("has no record of ") + NameOf(needed));
        }
        catch (const std::exception& e)
        {
            Add("CreatureSettings.xml", std::string("does not read: ") + e.what());
        }
    }

    bool ReadCatalogue()
    {
        ++m_report.checked;
        const std::string file = "GameLevels.xml";
        if (!Exists(file))
        {
            Add(file, "is missing: the game has no levels without it");
            return false;
        }
        try
        {
            m_levels.LoadLevelList(RootFile("GameLevels"));
            // The days as the calendar screens read them.
            LibXmlReader reader(RootFile("GameLevels"));
            int position = 0;
            m_dayOf.clear();
            for (const xmlpp::Element* day : LibXmlReader::GetChildElements(reader.GetRootElement(), "Day"))
            {
                ++position;
                const int dayNum = ReadIntAttribute(day, "dayNum", reader);
                const size_t levels = LibXmlReader::GetChildElements(day, "level").size();
                if (dayNum != position)
                    Add(file, "Day " + std::to_string(position) + " has dayNum " + std::to_string(dayNum));
                if (levels < 2 || levels > 5)
                    Add(file, "Day " + std::to_string(position) + " holds " + std::to_string(levels) +
                                  " levels, not 2 to 5");
                for (const xmlpp::Element* level : LibXmlReader::GetChildElements(day, "level"))
                {
                    const std::string name = ReadRequiredAttribute(level, "name", reader);
                    m_weekOf[name] = (position - 1) / 5;
                    m_dayOf[name] = position;
                }
            }
            if (position != 20)
                Add(file, "holds " + std::to_string(position) + " Days, not 20");
        }
        catch (const std::exception& e)
        {
            Add(file, std::string("does not read: ") + e.what());
            return false;
        }

        std::map<GuestID, int> perGuest, endlessPerGuest, firsts;
        std::map<std::string, int> unlocks;
        for (const std::string& name : m_levels.order)
        {
            const LevelRecord& r = *m_levels.records.at(name);
            ++perGuest[r.guest];
            firsts[r.guest] += r.firstAppt;
            if (!r.unlock.empty())
            {
                ++unlocks[Kestrin::ToUtf8(r.unlock)];
                if (m_dayOf[name] > 17)
                    Add(file, name + " unlocks \"" + Kestrin::ToUtf8(r.unlock) + "\" on day " +
                                  std::to_string(m_dayOf[name]) + ": every kind is unlocked by day 17");
            }
        }
        // A guest's first appointment opens the guest's endless session; Jillian's second visit
        // starts with another, on 3-01.
        for (int g = 0; g < int(GuestID::None); ++g)
        {
            const int wanted = GuestID(g) == GuestID::Jillian ? 2 : 1;
            if (firsts[GuestID(g)] != wanted)
                Add(file, std::string(NameOf(GuestID(g))) + " has " + std::to_string(firsts[GuestID(g)]) +
                              " first appointments, not " + std::to_string(wanted));
        }
        if (const LevelRecord* second = m_levels.Find("3-01 Jillian"); !second || !second->firstAppt)
            Add(file, "\"3-01 Jillian\" is no first appointment: Jillian's second visit starts there");
        // The tutorials' fixed moments: the first Tics on 1-01, the third colour's hint on 1-03.
        for (const auto& [prefix, kind] : {std::pair{"1-01 ", L"neurotic"}, std::pair{"1-03 ", L"chaotic"}})
        {
            const auto level = std::find_if(m_levels.order.begin(), m_levels.order.end(),
                                            [prefix = std::string(prefix)](const std::string& name)
                                            { return name.rfind(prefix, 0) == 0; });
            if (level == m_levels.order.end() || m_levels.records.at(*level)->unlock != kind)
                Add(file,
                    "the level " + std::string(prefix) + "does not unlock \"" + Kestrin::ToUtf8(kind) + "\"");
        }
        for (const auto& [name, record] : m_levels.records)
            if (std::find(m_levels.order.begin(), m_levels.order.end(), name) == m_levels.order.end())
                ++endlessPerGuest[record->guest];
        // The guest introduction drops ten of Jillian's levels for each of her two visits.
        if (perGuest[GuestID::Jillian] != 20)
            Add(file, "Jillian has " + std::to_string(perGuest[GuestID::Jillian]) + " levels, not 20");
        for (const auto& [guest, count] : perGuest)
            if (guest != GuestID::Jillian && count > 12)
                Add(file, std::string(NameOf(guest)) + " has " + std::to_string(count) +
                              " levels: the guest's sheet holds 12");
        if (endlessPerGuest.size() != 6)
            Add(file, "EndlessLevels holds levels of " + std::to_string(endlessPerGuest.size()) +
                          " guests, not of all six");
        if (!m_levels.Find("1-06 Harley") ||
            std::find(m_levels.order.begin(), m_levels.order.end(), "1-06 Harley") == m_levels.order.end())
            Add(file, "has no level \"1-06 Harley\", which ends the first tutorials");
        for (const char* kind : TicKindNames)
        {
            const int count = unlocks.count(kind) ? unlocks[kind] : 0;
            if (count != 1)
                Add(file, "the kind \"" + std::string(kind) + "\" is unlocked by " + std::to_string(count) +
                              " levels, not by one");
            unlocks.erase(kind);
        }
        for (const auto& [kind, count] : unlocks)
            Add(file, "unlocks \"" + kind + "\", which is no kind of the guide");
        return true;
    }

    void ReadLevel(const std::string& name, bool endless)
    {
        ++m_report.checked;
        const std::string file = name + ".xml";
        if (!endless)
        {
            for (const char* key : {".dateandtime", ".description"})
                if (GetGameText(name + key) == L"Text not Found")
                    m_report.Add(m_tree.FileOf("AllGameText_Export"), "has no string \"" + name + key + "\"");
        }
        if (!fs::is_regular_file(m_tree.Root() / file))
        {
            Add(file, Exists(file) ? "is not at the data root, where the game reads levels" : "is missing");
            return;
        }
        if (auto record = m_levels.records.find(name); record != m_levels.records.end())
        {
            const std::string room = std::string(NameOf(record->second->guest)) + "_BGImage";
            if (!IsImage(room))
                Add(file, "its guest's room \"" + room + "\" is not an image of the groups");
        }
        Pressure pressure;
        std::vector<std::string> boards;
        try
        {
            // The game's own level reader must take the file as it is.
            ReadLevelFile(RootFile(name), endless);
            LibXmlReader reader(RootFile(name));
            const xmlpp::Element* data = reader.GetRequiredChild(reader.GetRootElement(), "LevelData");
            auto child = [&](const char* tag) { return reader.GetRequiredChild(data, tag); };

            const xmlpp::Element* quota = child("Quota");
            const float expert = ReadFloatAttribute(quota, "expertTime", reader);
            const float limit = ReadFloatAttribute(quota, "timeLimit", reader);
            bool present = false;
            // The flag outlives the level that sets it: every level says what it wants.
            ReadBoolAttribute(quota, "explodeColors", reader, true, present);
            if (!present)
                Add(file, "Quota has no \"explodeColors\"");
            const float gunkLimit = ReadFloatAttribute(quota, "gunkLimit", reader, true, &present);
            if (!(expert < limit))
                Add(file, "expertTime is not below timeLimit");
            if (endless && (limit < 100000 || !present || gunkLimit <= 0))
                Add(file, "an endless level needs timeLimit 100000 or more and a gunkLimit above 0");
            child("LoopPowerUpSpawn");
            child("SpearKingGemSpawn");

            const xmlpp::Element* factory = child("GremlinFactory");
            pressure.initial = ReadIntAttribute(factory, "numInitialGremlins", reader);
            pressure.wandering = ReadIntAttribute(factory, "MaxWanderingGremlinsInLevel", reader);
            const float delayMin = ReadFloatAttribute(factory, "GremlinSpawnDelayMin", reader);
            pressure.quickness = delayMin > 0 ? 1.0 / delayMin : 0;
            ReadFloatAttribute(factory, "GremlinSpawnDelayMax", reader);
            ReadIntAttribute(factory, "optimalNumGremlins", reader, true, &present);
            if (present)
            {
                ReadFloatAttribute(factory, "subOptimalSpawnDelayMin", reader);
                ReadFloatAttribute(factory, "subOptimalSpawnDelayMax", reader);
            }
            int kings = 0;
            // What a spool must take: every colour but Any ("any spool") of the Tics and Posi-Tics.
            std::set<GremlinColorType> spawned;
            for (const xmlpp::Element* zone : LibXmlReader::GetChildElements(factory, "FactoryZone"))
            {
                const auto type = ReadEnumAttribute<GremlinMetaType>(zone, "type", reader);
                if (type == GremlinMetaType::Any)
                    Add(file, "a FactoryZone of type \"Any\": the creature factory refuses it");
                ReadFloatAttribute(zone, "rangeX", reader, true, &present);
                for (const char* a : present ? std::vector<const char*>{"rangeY", "rangeW", "rangeH"}
                                             : std::vector<const char*>{"x", "y"})
                    ReadFloatAttribute(zone, a, reader);
                const auto types = LibXmlReader::GetChildElements(zone, "Type");
                if (types.empty())
                    Add(file, "the " + std::string(NameOf(type)) + " FactoryZone of line " +
                                  std::to_string(zone->get_line()) +
                                  " names no \"Type\": it spawns no creature");
                for (const xmlpp::Element* t : types)
                {
                    const auto sprite = ReadEnumAttribute<CreatureSpriteId>(t, "sprite", reader);
                    if (type != GremlinMetaType::King || endless)
                        ReadFloatAttribute(t, "ratio", reader);
                    if (type == GremlinMetaType::King)
                        ++kings;
                    auto settings = m_settings.find(sprite);
                    if (settings == m_settings.end())
                        Add(file, std::string(NameOf(sprite)) + " has no creature settings");
                    else if (type != GremlinMetaType::King && settings->second.color != GremlinColorType::Any)
                        spawned.insert(settings->second.color);
                }
            }
            if (kings > 0)
                for (const char* a : {"megaTicSpawnDelayMin", "megaTicSpawnDelayMax"})
                    ReadFloatAttribute(factory, a, reader);
            if (kings > 0)
                for (const char* a : {"numInitialMegaTics", "numMaxMegaTics"})
                    ReadIntAttribute(factory, a, reader);

            if (endless)
            {
                const xmlpp::Element* modifiers = child("GremlinFactoryModifiers");
                const std::map<std::string, std::vector<const char*>> wanted = {
                    {"wave", {"initialSize", "change", "max", "recoveryTime"}},
                    {"maxCreatures", {"change", "max"}},
                    {"optimalCreatures", {"change", "max"}},
                    {"growthRate", {"change", "min"}},
                    {"spawnDelay", {"change", "min"}},
                    {"maxMegaTics", {"change", "max"}},
                    {"megaTicSpawnDelay", {"change", "min"}}};
                for (const auto& [tag, attributes] : wanted)
                    for (const char* a : attributes)
                        ReadFloatAttribute(reader.GetRequiredChild(modifiers, tag), a, reader);
            }

            const xmlpp::Element* obstacles = child("Obstacles");
            auto readObstacles = [&](const xmlpp::Element* parent)
            {
                for (const xmlpp::Element* o : LibXmlReader::GetChildElements(parent, "ImmovableObstacle"))
                {
                    ReadFloatAttribute(o, "x", reader);
                    ReadFloatAttribute(o, "y", reader);
                    const std::string image = ReadRequiredAttribute(o, "image", reader);
                    if (!IsImage(image))
                        Add(file, "the obstacle image \"" + image + "\" is not an image of the groups");
                }
            };
            if (endless)
            {
                const auto sets = LibXmlReader::GetChildElements(obstacles, "ObstacleSet");
                if (sets.empty())
                    Add(file, "an endless level without an ObstacleSet has no board to pick");
                for (const xmlpp::Element* set : sets)
                {
                    bool found = false;
                    const std::string suffix = ReadAttribute(set, "gunkBoard", reader, true, found);
                    boards.push_back(name + "-Board" + (found ? "-" + suffix : std::string()) + ".xml");
                    readObstacles(set);
                }
                static const char* const sludge[] = {
                    "spawnDelay",  "updateTime", "spawnRadius",  "spawnDepth", "x",          "y", "w", "h",
                    "delayChange", "delayMin",   "radiusChange", "radiusMax",  "colorChance"};
                for (const xmlpp::Element* zone :
                     LibXmlReader::GetChildElements(obstacles, "EndlessSludgeZone"))
                    for (const char* a : sludge)
                        ReadFloatAttribute(zone, a, reader);
            }
            else
            {
                readObstacles(obstacles);
                boards.push_back(name + "-Board.xml");
            }

            const xmlpp::Element* traps = child("GremlinTrapFactory");
            ReadIntAttribute(traps, "cycleTraps", reader, true, &present);
            const auto slots =
                LibXmlReader::GetChildElements(reader.GetRequiredChild(traps, "TrapSlots"), "Slot");
            for (const xmlpp::Element* slot : slots)
                ReadFloatAttribute(slot, "initialTime", reader);
            std::set<GremlinColorType> spools;
            for (const xmlpp::Element* zone : LibXmlReader::GetChildElements(traps, "FactoryZone"))
            {
                ReadBoolAttribute(zone, "shuffle", reader, false, present);
                for (const xmlpp::Element* t : LibXmlReader::GetChildElements(zone, "TrapType"))
                {
                    const auto color = ReadEnumAttribute<GremlinColorType>(t, "color", reader);
                    const float x = ReadFloatAttribute(t, "x", reader);
                    const float y = ReadFloatAttribute(t, "y", reader);
                    if (!SpoolColors.count(color))
                        Add(file,
                            std::string("a spool of colour ") + NameOf(color) + ": spools are Red to Purple");
                    if (x < 40 || x > 720 || y < 40 || y > 480)
                        Add(file,
                            std::string("the ") + NameOf(color) + " spool lies outside 40..720 x 40..480");
                    spools.insert(color);
                }
            }
            if (slots.empty() || spools.empty())
                Add(file, "has no spool to catch creatures with");
            for (GremlinColorType color : spawned)
                if (!spools.count(color))
                    Add(file, std::string(NameOf(color)) +
                                  " creatures spawn, but there is no spool of their colour");
            pressure.spools = double(spools.size());
        }
        catch (const std::exception& e)
        {
            Add(file, std::string("does not read: ") + e.what());
            return;
        }
        for (const std::string& board : boards)
            pressure.gunk += ReadBoard(board, !endless);
        if (!endless && m_weekOf.count(name))
            m_pressure[m_weekOf[name]].push_back({name, pressure});
    }

    // The gunk cells of a board.
    int ReadBoard(const std::string& file, bool mustHoldGunk)
    {
        ++m_report.checked;
        if (!fs::is_regular_file(m_tree.Root() / file))
        {
            Add(file, Exists(file) ? "is not at the data root, where the game reads boards" : "is missing");
            return 0;
        }
        int cells = 0;
        try
        {
            ReadBoardFile(RootFile(file.substr(0, file.size() - 4)));
            LibXmlReader reader(RootFile(file.substr(0, file.size() - 4)));
            for (const xmlpp::Element* patch :
                 LibXmlReader::GetChildElements(reader.GetRootElement(), "NimbalGunk"))
            {
                ReadIntAttribute(patch, "x", reader);
                ReadIntAttribute(patch, "y", reader);
                const int width = ReadIntAttribute(patch, "width", reader);
                const std::string data = ReadRequiredAttribute(patch, "data", reader);
                ReadEnumAttribute<GremlinColorType>(patch, "color", reader);
                if (width < 1 || data.empty() || data.size() % size_t(width) != 0)
                    Add(file, "a patch's data is not whole rows of its width " + std::to_string(width));
                for (char c : data)
                {
                    if (c < '0' || c > '9')
                    {
                        Add(file, "a patch's data holds \"" + std::string(1, c) + "\": digits only");
                        break;
                    }
                    cells += c != '0';
                }
            }
        }
        catch (const std::exception& e)
        {
            Add(file, std::string("does not read: ") + e.what());
            return 0;
        }
        // A clean board ends spawning with the first loop.
        if (mustHoldGunk && cells == 0)
            Add(file, "holds no gunk");
        return cells;
    }

    void CheckDifficulty()
    {
        std::map<int, Pressure> average;
        for (const auto& [week, levels] : m_pressure)
        {
            Pressure sum;
            for (const auto& [name, p] : levels)
            {
                sum.initial += p.initial, sum.wandering += p.wandering, sum.quickness += p.quickness;
                sum.gunk += p.gunk, sum.spools += p.spools;
            }
            const double n = double(levels.size());
            average[week] = {sum.initial / n, sum.wandering / n, sum.quickness / n, sum.gunk / n,
                             sum.spools / n};
        }
        for (auto it = average.begin(); it != average.end() && std::next(it) != average.end(); ++it)
        {
            const auto& [week, easier] = *it;
            const Pressure& harder = std::next(it)->second;
            for (size_t i = 0; i < PressureNames.size(); ++i)
            {
                if (Measure(harder, i) >= Measure(easier, i))
                    continue;
                // Named by the level of the earlier week that asks most.
                const auto& levels = m_pressure[week];
                const auto worst = std::max_element(levels.begin(), levels.end(),
                                                    [&](const auto& a, const auto& b)
                                                    { return Measure(a.second, i) < Measure(b.second, i); });
                char text[160];
                std::snprintf(text, sizeof text, "week %d averages %.2f %s, week %d only %.2f", week + 1,
                              Measure(easier, i), PressureNames[i], week + 2, Measure(harder, i));
                Add(worst->first + ".xml", std::string(text) + ": the calendar must not get easier");
            }
        }
    }

    const LoadedTree& m_tree;
    Report& m_report;
    std::map<std::string, std::string> m_paths; // lower-case bare name -> path under the root
    mutable std::set<std::string> m_images;     // lower-case image names, filled on first use
    GameLevels m_levels;
    CreatureSettingsMap m_settings;
    std::map<std::string, int> m_weekOf, m_dayOf;
    std::map<int, std::vector<std::pair<std::string, Pressure>>> m_pressure;
};

} // namespace

Report CheckCampaign(const LoadedTree& tree)
{
    Report report;
    CampaignReader(tree, report).Run();
    return report;
}

} // namespace DataCheck
