#include "Game/GlobalSettings.h"

#include "GameTestSupport.h"

#include <climits>
#include <map>
#include <string>
#include <vector>

using namespace GameTest;

namespace
{
// A whole file; an element named in `drop` is left out, `replace` swaps an element's line.
std::string File(const std::string& drop = "", std::map<std::string, std::string> replace = {})
{
    std::map<std::string, std::string> lines = {
        {"GlobalMovementData",
         "<GlobalMovementData BaseFollowLineSpeed=\"1\" PerGremlinSpeedMultiplier=\"2\" "
         "PerGemSpeedMultiplier=\"3\" BaseFollowUpLineSpeed=\"4\" "
         "PerGremlinUpLineSpeedMultiplier=\"5\"/>"},
        {"LineVariablesData", "<LineVariablesData clickTime=\"250\" selfIgnore=\"6\" wrapMax=\"7\"/>"},
        {"MinTrapDistance", "<MinTrapDistance trap=\"30\"/>"},
        {"TrapSpawnDelay", "<TrapSpawnDelay cleared=\"8\"/>"},
        {"GremlinFactoryOptions", "<GremlinFactoryOptions RatioEqualityFactor=\"9\"/>"},
        {"PosiTicSpearValue", "<PosiTicSpearValue><Entry speared=\"2.9\" positics=\"1.7\"/>"
                              "<Entry speared=\"6\" positics=\"2\"/></PosiTicSpearValue>"},
        {"PosiTicSurcharge", "<PosiTicSurcharge><Entry current=\"0\" surcharge=\"0\"/>"
                             "<Entry current=\"2\" surcharge=\"1\"/></PosiTicSurcharge>"},
        {"MegaTicDamageShrink",
         "<MegaTicDamageShrink><Entry damage=\"1\" shrink=\"1.5\"/></MegaTicDamageShrink>"},
        {"GlobalCreatureSettings",
         "<GlobalCreatureSettings fadeInTime=\"10\" slowdownMultipler=\"11\" "
         "slowDownMinValue=\"12\" size0=\"13\" size1=\"14\" size2=\"15\" size3=\"16\" "
         "size4=\"17\" size5=\"18\"/>"},
        {"MegaTicSizeSettings", "<MegaTicSizeSettings size0=\"20\" size1=\"21\" size2=\"22\" size3=\"23\" "
                                "size4=\"24\" size5=\"25\"/>"},
    };
    for (auto& [name, line] : replace)
        lines[name] = line;
    std::string xml = "<GlobalSettings>\n";
    for (const auto& [name, line] : lines)
        if (name != drop)
            xml += line + "\n";
    return xml + "</GlobalSettings>\n";
}

class GlobalSettingsFile : public GameDataTest
{
protected:
    GlobalSettings settings;
};
} // namespace

TEST_F(GlobalSettingsFile, EveryValueLandsWhereItBelongs)
{
    AddData(L"GlobalSettings", File());
    ASSERT_TRUE(settings.Load());
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ((std::vector<float>{settings.BaseFollowLineSpeed, settings.PerGremlinSpeedMultiplier,
                                  settings.PerGemSpeedMultiplier, settings.BaseFollowUpLineSpeed,
                                  settings.PerGremlinUpLineSpeedMultiplier}),
              (std::vector<float>{1, 2, 3, 4, 5}));
    EXPECT_EQ(settings.clickTime, 250);
    EXPECT_EQ(settings.selfIgnore, 6.0f);
    EXPECT_EQ(settings.wrapMax, 7.0f);
    EXPECT_EQ(settings.maxLength, -1.0f); // absent: no limit
    EXPECT_EQ(settings.minTrapDistanceSquared, 900.0f);
    EXPECT_EQ(settings.trapSpawnDelay, 8.0f);
    EXPECT_EQ(settings.ratioEqualityFactor, 9.0f);
    ASSERT_EQ(settings.posiTicSpearValue.size(), 2u);
    EXPECT_EQ(settings.posiTicSpearValue[0].speared, 2); // truncated
    EXPECT_EQ(settings.posiTicSpearValue[0].positics, 1);
    EXPECT_EQ(settings.posiTicSpearValue[1].speared, 6);
    ASSERT_EQ(settings.posiTicSurcharge.size(), 2u);
    EXPECT_EQ(settings.posiTicSurcharge[1].current, 2);
    EXPECT_EQ(settings.posiTicSurcharge[1].surcharge, 1);
    ASSERT_EQ(settings.megaTicDamageShrink.size(), 1u);
    EXPECT_EQ(settings.megaTicDamageShrink[0].shrink, 1); // truncated
    EXPECT_EQ(
        (std::vector<float>{settings.fadeInTime, settings.slowdownMultipler, settings.slowDownMinValue}),
        (std::vector<float>{10, 11, 12}));
    EXPECT_EQ(settings.creatureSizeScales, (std::array<float, 6>{13, 14, 15, 16, 17, 18}));
    EXPECT_EQ(settings.megaTicSizeScales, (std::array<float, 6>{20, 21, 22, 23, 24, 25}));

    // Reading again leaves each table as the file has it.
    AddData(L"GlobalSettings", File("", {{"LineVariablesData",
                                          "<LineVariablesData clickTime=\"1\" selfIgnore=\"0\" wrapMax=\"1\" "
                                          "maxLength=\"40\"/>"}}));
    ASSERT_TRUE(settings.Load());
    EXPECT_EQ(settings.maxLength, 40.0f);
    EXPECT_EQ(settings.posiTicSpearValue.size(), 2u);
    EXPECT_EQ(settings.posiTicSurcharge.size(), 2u);
    EXPECT_EQ(settings.megaTicDamageShrink.size(), 1u);
}

TEST_F(GlobalSettingsFile, AFailureKeepsWhatWasReadBeforeIt)
{
    AddData(L"GlobalSettings", File("MegaTicSizeSettings"));
    EXPECT_FALSE(settings.Load());
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].second, L"There was an error loading GlobalSettings.xml file.");
    EXPECT_EQ(boxes[0].first,
              L"(0) Error reading file \"GlobalSettings.xml\" (line 1): couldn't find required "
              L"child node \"MegaTicSizeSettings\"");
    EXPECT_EQ(settings.fadeInTime, 10.0f);
    EXPECT_EQ(settings.creatureSizeScales[5], 18.0f);
    EXPECT_EQ(settings.megaTicSizeScales, (std::array<float, 6>{1, 1, 1, 1, 1, 1}));

    // A fractional click time stops the read at the line values; what follows keeps its defaults.
    GlobalSettings fresh;
    AddData(L"GlobalSettings",
            File("", {{"LineVariablesData",
                       "<LineVariablesData clickTime=\"250.5\" selfIgnore=\"6\" wrapMax=\"7\"/>"}}));
    EXPECT_FALSE(fresh.Load());
    EXPECT_NE(boxes.back().first.find(L"couldn't convert attribute \"clickTime\" to the correct type (int)"),
              std::wstring::npos);
    EXPECT_EQ(fresh.BaseFollowLineSpeed, 1.0f);
    EXPECT_EQ(fresh.maxLength, 100.0f);
    EXPECT_EQ(fresh.fadeInTime, 1.5f);
    EXPECT_EQ(fresh.slowdownMultipler, 0.5f);
    EXPECT_EQ(fresh.slowDownMinValue, 0.125f);

    // Each element once: a second one is an error too.
    const std::string doubled =
        File("", {{"TrapSpawnDelay", "<TrapSpawnDelay cleared=\"8\"/><TrapSpawnDelay cleared=\"9\"/>"}});
    AddData(L"GlobalSettings", doubled);
    EXPECT_FALSE(fresh.Load());
    EXPECT_NE(boxes.back().first.find(L"expected one \"TrapSpawnDelay\" child node"), std::wstring::npos);
}

TEST_F(GlobalSettingsFile, TableValuesBeyondTheIntRangeSaturate)
{
    // Counts beyond int's range: the speared count and both of a king's damage table saturate (a
    // Posi-Tic count saturates too, and is then refused above what the playfield holds: a row of
    // the refused values).
    AddData(L"GlobalSettings",
            File("", {{"PosiTicSpearValue", "<PosiTicSpearValue><Entry speared=\"1e30\" positics=\"2\"/>"
                                            "</PosiTicSpearValue>"},
                      {"MegaTicDamageShrink", "<MegaTicDamageShrink><Entry damage=\"3e9\" shrink=\"1e20\"/>"
                                              "</MegaTicDamageShrink>"}}));
    ASSERT_TRUE(settings.Load());
    EXPECT_EQ(std::vector<int>({settings.posiTicSpearValue[0].speared, settings.megaTicDamageShrink[0].damage,
                                settings.megaTicDamageShrink[0].shrink}),
              std::vector<int>(3, INT_MAX));
}

TEST(GlobalSettingsLookup, CountsPowerUpsAfterTheSurcharge)
{
    GlobalSettings settings;
    settings.posiTicSurcharge = {{0, 0}, {2, 1}, {5, 3}};
    settings.posiTicSpearValue = {{3, 1}, {6, 2}, {9, 4}};
    struct Case
    {
        int value, alive, count;
    };
    for (const Case& c : {Case{3, 3, 0},   // 3 - 1 is below the first entry
                          Case{4, 3, 1},   // 4 - 1 = 3
                          Case{3, 1, 1},   // no surcharge below 2 alive
                          Case{8, 2, 2},   // 8 - 1 = 7
                          Case{9, 0, 4},   // exactly on the last entry
                          Case{100, 0, 4}, // beyond it
                          Case{9, 7, 2},   // 9 - 3 = 6
                          Case{0, 0, 0}, Case{-5, 0, 0}})
        EXPECT_EQ(settings.LookupPosiTics(c.value, c.alive), c.count)
            << c.value << " speared, " << c.alive << " alive";

    // The walks stop at the first entry above, even when a later one would fit.
    settings.posiTicSurcharge = {{1, 5}, {0, 7}};
    settings.posiTicSpearValue = {{3, 1}, {10, 2}, {4, 9}};
    EXPECT_EQ(settings.LookupPosiTics(5, 0), 1);
    EXPECT_EQ(settings.LookupPosiTics(12, 1), 1); // 12 - 5 = 7
    settings.posiTicSurcharge = {{0, INT_MAX}};
    EXPECT_EQ(settings.LookupPosiTics(INT_MIN, 0), 0);
}
