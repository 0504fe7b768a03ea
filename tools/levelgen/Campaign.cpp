#include "Campaign.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <set>
#include <sstream>
#include <stdexcept>

namespace LevelGen
{
namespace
{

const std::vector<std::string> SpriteNames = {
    "Sprite_BasicRed",    "Sprite_BasicGreen", "Sprite_BasicBlue",  "Sprite_BasicYellow",
    "Sprite_BasicPurple", "Sprite_Agreeable",  "Sprite_Indecisive", "Sprite_Protected",
    "Sprite_Shy",         "Sprite_Loner",      "Sprite_Pairing",    "Sprite_SmallCircle",
    "Sprite_LargeCircle", "Sprite_Trail",      "Sprite_Freeze",     "Sprite_Shrink",
    "Sprite_UnifyColors", "Sprite_DeepClean",  "Sprite_Bomb"};
const std::vector<std::string> GuestNames = {"Jillian", "Harley", "Miranda", "Zoe", "Jason", "Heather"};
const std::vector<std::string> ColorNames = {"Red", "Green", "Blue", "Yellow", "Purple", "Black", "Any"};
const std::vector<std::string> KindNames = {
    "Basic",       "Shy",   "Loner",  "Protected", "Indecisive",  "Agreeable", "Pairing", "SmallCircle",
    "LargeCircle", "Trail", "Freeze", "Shrink",    "UnifyColors", "DeepClean", "Damage",  "Any"};

bool Contains(const std::vector<std::string>& list, const std::string& value)
{
    return std::find(list.begin(), list.end(), value) != list.end();
}

std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, separator))
        parts.push_back(part);
    if (!text.empty() && text.back() == separator)
        parts.push_back("");
    return parts;
}

struct Reader
{
    std::string origin;
    int line = 0;

    [[noreturn]] void Fail(const std::string& what) const
    {
        throw std::runtime_error(origin + (line > 0 ? " line " + std::to_string(line) : std::string()) +
                                 ": " + what);
    }

    double Number(const std::string& text) const
    {
        double value = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (text.empty() || error != std::errc() || end != text.data() + text.size())
            Fail("\"" + text + "\" is no number");
        return value;
    }

    int Whole(const std::string& text) const
    {
        int value = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (text.empty() || error != std::errc() || end != text.data() + text.size())
            Fail("\"" + text + "\" is no whole number");
        return value;
    }

    // "a,b,c"; "-" for an empty list.
    std::vector<std::string> List(const std::string& text) const
    {
        if (text == "-")
            return {};
        std::vector<std::string> items = Split(text, ',');
        for (const std::string& item : items)
            if (item.empty())
                Fail("an empty name in the list \"" + text + "\"");
        return items;
    }

    // "key=value key=value"; "-" for none.
    Attributes Pairs(const std::string& text) const
    {
        Attributes pairs;
        if (text == "-")
            return pairs;
        for (const std::string& word : Split(text, ' '))
        {
            const size_t eq = word.find('=');
            if (eq == std::string::npos || eq == 0 || eq + 1 == word.size())
                Fail("\"" + word + "\" is no key=value pair");
            const std::string key = word.substr(0, eq);
            for (const auto& [k, v] : pairs)
                if (k == key)
                    Fail("the key " + key + " twice");
            pairs.emplace_back(key, word.substr(eq + 1));
        }
        return pairs;
    }

    std::map<std::string, std::string> Map(const std::string& text) const
    {
        std::map<std::string, std::string> map;
        for (auto& [k, v] : Pairs(text))
            map[k] = v;
        return map;
    }

    void Sprite(const std::string& name) const
    {
        if (!Contains(SpriteNames, name))
            Fail("\"" + name + "\" is no sprite");
    }

    void Guest(const std::string& name) const
    {
        if (!Contains(GuestNames, name))
            Fail("\"" + name + "\" is no guest");
    }

    void King(const std::string& name) const
    {
        if (name != "SmallCircle" && name != "LargeCircle" && name != "Trail")
            Fail("\"" + name + "\" is no king");
    }

    // Names must be plain ASCII: the game narrows them to bytes.
    void Ascii(const std::string& text) const
    {
        for (unsigned char c : text)
            if (c < 0x20 || c > 0x7E)
                Fail("\"" + text + "\" holds a character outside printable ASCII");
    }
};

// Fields each table's rows carry, the table's name included.
const std::map<std::string, size_t> FieldCounts = {
    {"week", 20},   {"king", 7},   {"kind", 3},  {"guest", 4},    {"level", 9},
    {"endless", 4}, {"global", 3}, {"entry", 3}, {"defaults", 2}, {"creature", 5},
};

} // namespace

Campaign ParseCampaign(const std::string& text, const std::string& origin)
{
    Campaign c;
    Reader r{origin};
    std::set<std::string> levelNames; // the game looks names up ignoring case
    auto folded = [](std::string s)
    {
        for (char& ch : s)
            ch = char(std::tolower(static_cast<unsigned char>(ch)));
        return s;
    };
    bool haveKing = false;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
    {
        ++r.line;
        if (!line.empty() && line.back() == '\r')
            r.Fail("a carriage return: the table uses plain line feeds");
        if (line.empty() || line[0] == '#')
            continue;
        const std::vector<std::string> f = Split(line, '\t');
        const auto count = FieldCounts.find(f[0]);
        if (count == FieldCounts.end())
            r.Fail("\"" + f[0] + "\" is no table of the campaign");
        if (f.size() != count->second)
            r.Fail(f[0] + " rows have " + std::to_string(count->second) + " fields, this one " +
                   std::to_string(f.size()));
        const std::string& table = f[0];
        if (table == "week")
        {
            WeekPreset w;
            w.week = r.Whole(f[1]);
            w.time = r.Number(f[2]);
            w.expert = r.Number(f[3]);
            w.initial = r.Whole(f[4]);
            w.wandering = r.Whole(f[5]);
            w.delayMin = r.Number(f[6]);
            w.delayMax = r.Number(f[7]);
            w.optimal = r.Whole(f[8]);
            w.subMin = r.Number(f[9]);
            w.subMax = r.Number(f[10]);
            w.traps = r.Whole(f[11]);
            w.cycle = r.Whole(f[12]);
            w.patches = r.Whole(f[13]);
            w.depth = r.Whole(f[14]);
            w.cells = r.Whole(f[15]);
            w.gunk = f[16];
            w.explode = r.Whole(f[17]);
            w.obstaclesMin = r.Whole(f[18]);
            w.obstaclesMax = r.Whole(f[19]);
            if (w.gunk != "traps" && !Contains(ColorNames, w.gunk))
                r.Fail("\"" + w.gunk + "\" is neither a colour nor \"traps\"");
            if (w.depth < 1 || w.depth > 9 || w.traps < 2 || w.traps > 4 || w.obstaclesMin > w.obstaclesMax)
                r.Fail("week " + f[1] + ": depth 1..9, 2..4 spools and obstacles min <= max");
            if (!c.weeks.emplace(w.week, w).second)
                r.Fail("week " + f[1] + " twice");
        }
        else if (table == "king")
        {
            if (haveKing)
                r.Fail("a second king row");
            haveKing = true;
            c.king = {r.Number(f[1]), r.Number(f[2]), r.Number(f[3]),
                      r.Number(f[4]), r.Whole(f[5]),  r.Whole(f[6])};
        }
        else if (table == "kind")
        {
            const std::vector<std::string> sprites = r.List(f[2]);
            for (const std::string& s : sprites)
                r.Sprite(s);
            if (!c.kinds.emplace(f[1], sprites).second)
                r.Fail("the kind " + f[1] + " twice");
            c.kindOrder.push_back(f[1]);
        }
        else if (table == "guest")
        {
            r.Guest(f[1]);
            GuestRow g{f[1], r.List(f[2]), r.List(f[3])};
            for (const std::string& s : g.signatures)
                r.Sprite(s);
            if (g.obstacles.empty())
                r.Fail("the guest " + f[1] + " has no obstacles");
            for (const std::string& o : g.obstacles)
                r.Ascii(o);
            if (!c.guests.emplace(g.name, g).second)
                r.Fail("the guest " + f[1] + " twice");
        }
        else if (table == "level")
        {
            LevelRow l;
            l.line = r.line;
            l.day = r.Whole(f[1]);
            l.name = f[2];
            l.guest = f[3];
            l.first = r.Whole(f[4]) != 0;
            l.unlock = f[5] == "-" ? "" : f[5];
            l.kings = r.List(f[6]);
            l.options = r.Map(f[7]);
            l.description = f[8];
            r.Ascii(l.name);
            r.Guest(l.guest);
            for (const std::string& k : l.kings)
                r.King(k);
            if (!l.unlock.empty() && !c.kinds.count(l.unlock))
                r.Fail("\"" + l.unlock + "\" is no kind of the kind rows above");
            if (!c.guests.count(l.guest))
                r.Fail("the guest " + l.guest + " has no guest row above");
            if (!c.levels.empty() && l.day < c.levels.back().day)
                r.Fail("day " + f[1] + " after day " + std::to_string(c.levels.back().day));
            if (!c.weeks.count((l.day - 1) / 5 + 1) || l.day < 1)
                r.Fail("day " + f[1] + " falls in no week of the week rows");
            for (const auto& [key, value] : l.options)
                if (key != "time" && key != "traps" && key != "obstacles" && key != "cycle" &&
                    key != "spools" && key != "gunk" && key != "spawn")
                    r.Fail("\"" + key + "\" is no level option");
            if (l.description.empty())
                r.Fail("the level " + l.name + " has no description");
            l.slot = !c.levels.empty() && c.levels.back().day == l.day ? c.levels.back().slot + 1 : 1;
            if (!levelNames.insert(folded(l.name)).second)
                r.Fail("the level " + l.name + " twice");
            c.levels.push_back(l);
        }
        else if (table == "endless")
        {
            EndlessRow e{f[1], f[2], r.List(f[3])};
            r.Ascii(e.name);
            r.Guest(e.guest);
            if (!c.guests.count(e.guest))
                r.Fail("the guest " + e.guest + " has no guest row above");
            for (const std::string& k : e.kings)
                r.King(k);
            if (!levelNames.insert(folded(e.name)).second)
                r.Fail("the level " + e.name + " twice");
            c.endless.push_back(e);
        }
        else if (table == "global")
        {
            for (const GlobalRow& g : c.globals)
                if (g.element == f[1])
                    r.Fail("the element " + f[1] + " twice");
            c.globals.push_back({f[1], r.Pairs(f[2]), {}});
        }
        else if (table == "entry")
        {
            auto it = std::find_if(c.globals.begin(), c.globals.end(),
                                   [&](const GlobalRow& g) { return g.element == f[1]; });
            if (it == c.globals.end())
                r.Fail("an entry of " + f[1] + ", which has no global row above");
            it->entries.push_back(r.Pairs(f[2]));
        }
        else if (table == "defaults")
        {
            c.creatureDefaults = r.Map(f[1]);
        }
        else // creature
        {
            r.Sprite(f[1]);
            if (!Contains(ColorNames, f[2]))
                r.Fail("\"" + f[2] + "\" is no colour");
            if (!Contains(KindNames, f[3]))
                r.Fail("\"" + f[3] + "\" is no behaviour");
            for (const CreatureRow& other : c.creatures)
                if (other.sprite == f[1])
                    r.Fail("the creature " + f[1] + " twice");
            c.creatures.push_back({f[1], f[2], f[3], r.Map(f[4])});
        }
    }
    r.line = 0;
    if (c.levels.empty())
        r.Fail("no level rows");
    if (!haveKing)
        r.Fail("no king row");
    return c;
}

} // namespace LevelGen
