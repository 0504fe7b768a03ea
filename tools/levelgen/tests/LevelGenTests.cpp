// The campaign table's reader, the recipe's rules over the real table and the text section splice.
#include "Campaign.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <stdexcept>

using namespace LevelGen;

namespace
{

std::string ReadTable()
{
    std::ifstream in(LEVELGEN_TABLE, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

const Campaign& Real()
{
    static const Campaign campaign = ParseCampaign(ReadTable());
    return campaign;
}

const std::map<std::string, std::string>& RealFiles()
{
    static const std::map<std::string, std::string> files = []
    {
        std::map<std::string, std::string> map;
        for (const OutputFile& f : GenerateFiles(Real()))
            map[f.path] = f.bytes;
        return map;
    }();
    return files;
}

// Every value of attribute `name` in the text, in order.
std::vector<std::string> Values(const std::string& xml, const std::string& name)
{
    std::vector<std::string> values;
    const std::regex pattern(" " + name + "=\"([^\"]*)\"");
    for (auto it = std::sregex_iterator(xml.begin(), xml.end(), pattern); it != std::sregex_iterator(); ++it)
        values.push_back((*it)[1]);
    return values;
}

std::string Within(const std::string& xml, const std::string& from, const std::string& to)
{
    const size_t a = xml.find(from);
    if (a == std::string::npos)
        return "";
    return xml.substr(a, xml.find(to, a) - a);
}

// The real table's creature defaults row.
std::string DefaultsRow()
{
    const std::string table = ReadTable();
    const size_t at = table.find("\ndefaults\t");
    return table.substr(at + 1, table.find('\n', at + 1) - at);
}

// A small campaign of two appointments that the fault cases below break one line at a time.
const std::string Small = "week\t1\t180\t110\t3\t5\t5\t7\t4\t2.5\t4\t2\t0\t3\t2\t25\tBlack\t0\t1\t1\n"
                          "king\t60\t35\t20\t35\t0\t1\n"
                          "kind\tneurotic\tSprite_BasicRed,Sprite_BasicBlue\n"
                          "kind\tchaotic\tSprite_BasicGreen\n"
                          "guest\tHarley\tSprite_BasicGreen\tobst_Harley_1\n"
                          "level\t1\t1-01 Harley\tHarley\t1\tneurotic\t-\t-\tFirst.\n"
                          "level\t1\t1-02 Harley\tHarley\t0\tchaotic\tSmallCircle\ttraps=3\tSecond.\n"
                          "endless\tEndless Harley\tHarley\t-\n"
                          "global\tTrapSpawnDelay\tcleared=4\n"
                          "defaults\tmaxMoveSpeed=70 angryTime=2\n"
                          "creature\tSprite_BasicRed\tRed\tBasic\t-\n";

std::string Replaced(std::string text, const std::string& from, const std::string& to)
{
    const size_t at = text.find(from);
    if (at == std::string::npos)
        throw std::logic_error("no " + from);
    return text.replace(at, from.size(), to);
}

} // namespace

TEST(CampaignTable, EachFaultIsNamedWithItsLine)
{
    ASSERT_NO_THROW(ParseCampaign(Small));
    struct Case
    {
        std::string from, to, message;
    };
    const std::vector<Case> cases{
        {"guest\t", "guests\t", "line 5: \"guests\" is no table of the campaign"},
        {"\tFirst.", "", "line 6: level rows have 9 fields, this one 8"},
        {"\t2.5\t", "\t2,5\t", "line 1: \"2,5\" is no number"},
        {"1-02 Harley\tHarley", "1-01 HARLEY\tHarley", "line 7: the level 1-01 HARLEY twice"},
        {"Endless Harley", "1-02 Harley", "line 8: the level 1-02 Harley twice"},
        {"Sprite_BasicGreen\n", "Sprite_Green\n", "line 4: \"Sprite_Green\" is no sprite"},
        {"Harley\t1\tneurotic", "Harly\t1\tneurotic", "line 6: \"Harly\" is no guest"},
        {"chaotic\tSmallCircle", "chaos\tSmallCircle", "line 7: \"chaos\" is no kind"},
        {"SmallCircle\ttraps", "BigCircle\ttraps", "line 7: \"BigCircle\" is no king"},
        {"level\t1\t1-02", "level\t0\t1-02", "line 7: day 0 after day 1"},
        {"traps=3", "chairs=3", "line 7: \"chairs\" is no level option"},
        {"traps=3", "traps=3 traps=4", "line 7: the key traps twice"},
        {"kind\tchaotic", "kind\tneurotic", "line 4: the kind neurotic twice"},
        {"First.", "First.\r", "line 6: a carriage return"},
        {"\tRed\tBasic", "\tred\tBasic", "line 11: \"red\" is no colour"},
        {"king\t60", "#king\t60", "campaign.tsv: no king row"},
        {"1-02 Harley", "1-02 Harl\xC3\xA9y", "holds a character outside printable ASCII"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.message);
        try
        {
            ParseCampaign(Replaced(Small, c.from, c.to));
            ADD_FAILURE() << "read without a fault";
        }
        catch (const std::runtime_error& e)
        {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
        }
    }
}

TEST(CampaignTable, TheRecipeRefusesWhatCannotBePlayed)
{
    const std::string whole = Replaced(Small, "defaults\tmaxMoveSpeed=70 angryTime=2\n", DefaultsRow()) +
                              "creature\tSprite_BasicBlue\tBlue\tBasic\t-\n"
                              "creature\tSprite_BasicGreen\tGreen\tBasic\t-\n"
                              "creature\tSprite_SmallCircle\tBlack\tSmallCircle\tmaxHealth=3\n";
    ASSERT_EQ(GenerateFiles(ParseCampaign(whole)).size(), 3u + 2 * 2 + 3);
    // A level may place its spools, its gunk and its spawning area itself.
    const std::string placed =
        Replaced(whole, "traps=3",
                 "traps=3 spools=40,40/60,480/700,480 gunk=300,60/300,200/300,340 spawn=60,50/740,300");
    std::map<std::string, std::string> files;
    for (const OutputFile& f : GenerateFiles(ParseCampaign(placed)))
        files[f.path] = f.bytes;
    const std::string& level = files.at("1-02 Harley.xml");
    EXPECT_EQ(Values(Within(level, "<GremlinTrapFactory", "</GremlinTrapFactory>"), "x"),
              (std::vector<std::string>{"40", "60", "700"}));
    EXPECT_EQ(Values(files.at("1-02 Harley-Board.xml"), "y"), (std::vector<std::string>{"60", "200", "340"}));
    EXPECT_EQ(Values(level, "rangeH"), (std::vector<std::string>{"250"}));
    struct Case
    {
        std::string from, to, message;
    };
    const std::vector<Case> cases{
        {"neurotic\tSprite_BasicRed,Sprite_BasicBlue", "neurotic\tSprite_BasicRed",
         "1-01 Harley has fewer than two spool colours unlocked"},
        {"creature\tSprite_BasicGreen\tGreen\tBasic\t-\n", "",
         "the kind chaotic names the sprite Sprite_BasicGreen"},
        {"creature\tSprite_SmallCircle", "creature\tSprite_LargeCircle",
         "the level 1-02 Harley names the sprite"},
        {"maxHealth=3", "maxHealth=3 health=3", "sets health, which is no attribute of a record"},
        {" angryTime=2 ", " ", "has no angryTime"},
        {"traps=3", "traps=3 spools=40,40/60,480", "spools gives 2 places for 3"},
        {"traps=3", "traps=3 spawn=60;50/740,300", "spawn wants X,Y points"},
        {"traps=3", "traps=3 gunk=300,60/300,60/300,340", "a patch of"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.message);
        try
        {
            GenerateFiles(ParseCampaign(Replaced(whole, c.from, c.to)));
            ADD_FAILURE() << "generated without a fault";
        }
        catch (const std::runtime_error& e)
        {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
        }
    }
}

TEST(CampaignTable, TheTextSectionReplacesOnlyItsOwnPartAndStopsOnADoubledKey)
{
    const std::string table = "<resources>\n  <string name=\"UI.ok\" value=\"OK\"/>\n" +
                              std::string(TextSectionBegin) + "\n  <string name=\"old\" value=\"x\"/>\n" +
                              TextSectionEnd + "\n</resources>\n";
    const std::string section = TextSection(Real());
    const std::string once = SpliceTextSection(table, section);
    EXPECT_EQ(once, SpliceTextSection(once, section));
    EXPECT_EQ(once.find("\"old\""), std::string::npos);
    EXPECT_TRUE(once.starts_with("<resources>\n  <string name=\"UI.ok\" value=\"OK\"/>\n"));
    EXPECT_TRUE(once.ends_with(std::string(TextSectionEnd) + "\n</resources>\n"));
    EXPECT_EQ(Values(once, "name").size(), 1 + 2 * Real().levels.size());

    // A key outside the section, in another case, and a key the section itself doubles.
    const std::string clash = Replaced(table, "UI.ok", "1-01 HARLEY.Description");
    EXPECT_THROW(SpliceTextSection(clash, section), std::runtime_error);
    const std::string doubled = section + "";
    const std::string twice =
        Replaced(doubled, "\"1-02 Jillian.dateandtime\"", "\"1-01 Harley.dateandtime\"");
    EXPECT_THROW(SpliceTextSection(table, twice), std::runtime_error);
    EXPECT_THROW(SpliceTextSection("<resources/>", section), std::runtime_error);
}

TEST(Campaign, AppointmentsAreDatedOnWeekdaysInMayWithTheirSlotTimes)
{
    const std::string section = TextSection(Real());
    const std::map<std::string, std::string> expected{
        {"1-01 Harley", "Monday 4 May, 9:00 AM"},  {"1-03 Harley", "Monday 4 May, 1:00 PM"},
        {"1-17 Jason", "Friday 8 May, 2:30 PM"},   {"2-01 Zoe", "Monday 11 May, 9:00 AM"},
        {"3-18 Harley", "Friday 22 May, 2:30 PM"}, {"4-17 Jillian", "Friday 29 May, 10:30 AM"},
    };
    for (const auto& [level, when] : expected)
        EXPECT_NE(section.find("name=\"" + level + ".dateandtime\" value=\"" + when + "\""),
                  std::string::npos)
            << level;
}

TEST(Campaign, EveryLevelCatchesWhatItSpawnsAndIntroducesKindsInOrder)
{
    const Campaign& c = Real();
    std::set<std::string> seen;
    for (const LevelRow& l : c.levels)
    {
        SCOPED_TRACE(l.name);
        const std::string& xml = RealFiles().at(l.name + ".xml");
        // Each basic colour that spawns has its spool, and every spool's colour spawns.
        std::set<std::string> basics, spools;
        for (const std::string& s : Values(Within(xml, "type=\"Normal\"", "</FactoryZone>"), "sprite"))
            if (s.starts_with("Sprite_Basic"))
                basics.insert(s.substr(12));
        for (const std::string& color :
             Values(Within(xml, "<GremlinTrapFactory", "</GremlinTrapFactory>"), "color"))
            spools.insert(color);
        EXPECT_EQ(basics, spools);
        EXPECT_EQ(Values(xml, "initialTime").size(), spools.size());

        // Nothing shows before the level that introduces it.
        if (!l.unlock.empty())
            for (const std::string& s : c.kinds.at(l.unlock))
                seen.insert(s);
        for (const std::string& s : Values(Within(xml, "<GremlinFactory", "</GremlinFactory>"), "sprite"))
            EXPECT_TRUE(seen.count(s)) << s << " before its introduction";

        const std::string powerUps = Within(xml, "type=\"PowerUp\"", "</FactoryZone>");
        EXPECT_EQ(!powerUps.empty(), l.day >= 6);
        EXPECT_EQ(powerUps.find("Sprite_Bomb") != std::string::npos,
                  l.kings.size() > 0 && seen.count("Sprite_Bomb"));
        EXPECT_EQ(Values(Within(xml, "<GremlinFactory", ">\n"), "numMaxMegaTics").size(),
                  l.kings.empty() ? 0u : 1u);
        // Each king adds its time to the week's clock or the appointment's own.
        const auto own = l.options.find("time");
        const double clock =
            own == l.options.end() ? c.weeks.at((l.day - 1) / 5 + 1).time : std::stod(own->second);
        EXPECT_EQ(std::stod(Values(xml, "timeLimit")[0]), clock + c.king.time * double(l.kings.size()));
    }
    // The first sessions run long enough for the one- and two-minute hints, and spools are there at once.
    for (const char* early :
         {"1-01 Harley", "1-02 Jillian", "1-03 Harley", "1-04 Miranda", "1-05 Jillian", "1-06 Harley"})
        EXPECT_GE(std::stod(Values(RealFiles().at(std::string(early) + ".xml"), "timeLimit")[0]), 180)
            << early;
    EXPECT_EQ(Values(RealFiles().at("1-01 Harley.xml"), "initialTime"),
              (std::vector<std::string>{"0", "0.5"}));
    EXPECT_EQ(Values(RealFiles().at("1-03 Harley.xml"), "color")[0], "Green");
}

TEST(Campaign, BoardsHoldTheirWeeksGunkAndStayPutWhenOtherRowsChange)
{
    const Campaign& c = Real();
    for (const LevelRow& l : c.levels)
    {
        SCOPED_TRACE(l.name);
        const WeekPreset& w = c.weeks.at((l.day - 1) / 5 + 1);
        const std::string& board = RealFiles().at(l.name + "-Board.xml");
        int cells = 0, deepest = 0;
        for (const std::string& data : Values(board, "data"))
            for (char ch : data)
                cells += ch != '0', deepest = std::max(deepest, ch - '0');
        EXPECT_EQ(cells, w.cells);
        EXPECT_EQ(deepest, w.depth);
        EXPECT_EQ(int(Values(board, "data").size()), w.patches);
    }
    // Dropping an appointment that unlocks nothing changes no other level.
    Campaign fewer = c;
    ASSERT_EQ(c.levels[21].name, "2-05 Jillian");
    fewer.levels.erase(fewer.levels.begin() + 21);
    std::map<std::string, std::string> after;
    for (const OutputFile& f : GenerateFiles(fewer))
        after[f.path] = f.bytes;
    for (const auto& [path, bytes] : after)
    {
        if (path != "GameLevels.xml")
        {
            EXPECT_EQ(bytes, RealFiles().at(path)) << path;
        }
    }
    EXPECT_EQ(after.size() + 2, RealFiles().size());
}
