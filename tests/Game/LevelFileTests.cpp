#include "Game/LevelFile.h"

#include "Base/FileExceptions.h"
#include "Game/PlayfieldTypes.h"
#include "GameTestSupport.h"
#include "harness/LogCapture.h"

#include <algorithm>
#include <climits>
#include <string>
#include <utility>
#include <vector>

using namespace GameTest;

namespace
{
const char* const FactoryAttributes = R"(numInitialGremlins="3" MaxWanderingGremlinsInLevel="7"
    GremlinSpawnDelayMin="2.5" GremlinSpawnDelayMax="4.5" optimalNumGremlins="5"
    subOptimalSpawnDelayMin="1.25" subOptimalSpawnDelayMax="1.75")";

const char* const NormalZones = R"(
      <FactoryZone type="Normal" rangeX="100" rangeY="80" rangeW="600" rangeH="380">
        <Type sprite="Sprite_BasicRed" ratio="2"/>
        <Type sprite="Sprite_Shy" ratio="0.5"/>
      </FactoryZone>
      <FactoryZone type="PowerUp" x="400" y="300">
        <Type sprite="Sprite_Freeze" ratio="1"/>
      </FactoryZone>)";

const char* const Modifiers = R"(
    <GremlinFactoryModifiers>
      <wave initialSize="6.9" change="2" max="30" recoveryTime="5.5"/>
      <maxCreatures change="1" max="12"/>
      <optimalCreatures change="3" max="8"/>
      <growthRate change="-0.25" min="2"/>
      <spawnDelay change="-0.1" min="0.75"/>
      <maxMegaTics change="0.5" max="4"/>
      <megaTicSpawnDelay change="-1" min="10"/>
    </GremlinFactoryModifiers>)";

const char* const NormalObstacles = R"(
    <Obstacles>
      <ImmovableObstacle x="370" y="260" image="obstacle_a"/>
      <ImmovableObstacle x="120" y="60" image="obstacle_b"/>
    </Obstacles>)";

const char* const EndlessObstacles = R"(
    <Obstacles>
      <ImmovableObstacle x="1" y="1" image="not_in_a_set"/>
      <ObstacleSet gunkBoard="A"><ImmovableObstacle x="370" y="260" image="obstacle_a"/></ObstacleSet>
      <ObstacleSet/>
      <EndlessSludgeZone spawnDelay="8" updateTime="20" spawnRadius="40" spawnDepth="2" x="100" y="80"
          w="600" h="380" delayChange="0.5" delayMin="3" radiusChange="5" radiusMax="80" colorChance="0.25"/>
    </Obstacles>)";

const char* const Traps = R"(
    <GremlinTrapFactory cycleTraps="2">
      <TrapSlots><Slot initialTime="0"/><Slot initialTime="0.5"/><Slot initialTime="3"/></TrapSlots>
      <FactoryZone shuffle="0">
        <TrapType color="Red" x="150" y="470"/>
        <TrapType color="Blue" x="650" y="471"/>
      </FactoryZone>
      <FactoryZone shuffle="1"><TrapType color="Purple" x="10" y="20"/></FactoryZone>
    </GremlinTrapFactory>)";

struct LevelParts
{
    std::string quota = R"(<Quota expertTime="90" timeLimit="180" explodeColors="1" gunkLimit="0.6"/>)";
    std::string factoryAttributes = FactoryAttributes;
    std::string zones = NormalZones;
    std::string modifiers = Modifiers;
    std::string obstacles = NormalObstacles;
    std::string traps = Traps;

    std::string Xml() const
    {
        return "<Level><LevelData>" + quota +
               R"(<LoopPowerUpSpawn><Entry amount="3" bonus="1"/><Entry amount="6" bonus="2"/></LoopPowerUpSpawn>
                  <SpearKingGemSpawn/>
                  <GremlinFactory )" +
               factoryAttributes + ">" + zones + "</GremlinFactory>" + modifiers + obstacles + traps +
               "</LevelData></Level>";
    }
};

class LevelFileTest : public GameDataTest
{
protected:
    LevelFileData Read(const LevelParts& parts, bool endless)
    {
        AddData(L"1-01 Test", parts.Xml());
        return ReadLevelFile(LevelFileSpec("1-01 Test"), endless);
    }
    std::string Error(const LevelParts& parts, bool endless)
    {
        return ErrorOf([&] { Read(parts, endless); });
    }
};

TEST_F(LevelFileTest, NormalLevelLandsInEveryField)
{
    const LevelFileData level = Read(LevelParts(), false);
    EXPECT_EQ(level.expertTime, 90.0f);
    EXPECT_EQ(level.timeLimit, 180.0f);
    EXPECT_TRUE(level.hasExplodeColors && level.explodeColors);
    EXPECT_TRUE(level.hasGunkLimit);
    EXPECT_FLOAT_EQ(level.gunkLimit, 0.6f);
    ASSERT_EQ(level.loopPowerUpSpawns.size(), 2u);
    EXPECT_EQ(level.loopPowerUpSpawns[1].amount, 6);
    EXPECT_EQ(level.loopPowerUpSpawns[1].bonus, 2);
    EXPECT_TRUE(level.spearKingGemSpawns.empty());

    // Seven distinct values, so a swap of any two shows.
    EXPECT_EQ(level.spawn.numInitial, 3);
    EXPECT_EQ(level.spawn.maxWandering, 7);
    EXPECT_EQ(level.spawn.optimal, 5);
    EXPECT_EQ(level.spawn.delayMin, 2.5f);
    EXPECT_EQ(level.spawn.delayMax, 4.5f);
    EXPECT_EQ(level.spawn.subOptimalMin, 1.25f);
    EXPECT_EQ(level.spawn.subOptimalMax, 1.75f);

    ASSERT_EQ(level.zones.size(), 2u);
    const LevelZoneData& area = level.zones[0];
    EXPECT_EQ(area.type, GremlinMetaType::Normal);
    EXPECT_EQ(std::vector<float>({area.x, area.y, area.w, area.h}), std::vector<float>({100, 80, 600, 380}));
    EXPECT_EQ(area.types, std::vector<int>({int(CreatureSpriteId::BasicRed), int(CreatureSpriteId::Shy)}));
    EXPECT_EQ(area.ratios, std::vector<float>({2.0f, 0.5f}));
    EXPECT_FALSE(area.dealsInOrder);
    const LevelZoneData& point = level.zones[1];
    EXPECT_EQ(point.type, GremlinMetaType::PowerUp);
    EXPECT_EQ(std::vector<float>({point.x, point.y, point.w, point.h}), std::vector<float>({400, 300, 0, 0}));
    EXPECT_EQ(level.kings.kingTypes, 0);

    // Normal mode ignores the modifiers and reads the direct obstacles as the one set.
    EXPECT_FALSE(level.hasModifiers);
    ASSERT_EQ(level.obstacleSets.size(), 1u);
    EXPECT_EQ(level.obstacleSets[0].boardSuffix, "");
    ASSERT_EQ(level.obstacleSets[0].obstacles.size(), 2u);
    EXPECT_EQ(level.obstacleSets[0].obstacles[1].image, "obstacle_b");
    EXPECT_EQ(level.obstacleSets[0].obstacles[1].x, 120.0f);
    EXPECT_EQ(level.obstacleSets[0].obstacles[1].y, 60.0f);
    EXPECT_TRUE(level.sludgeZones.empty());

    EXPECT_TRUE(level.hasCycleTraps && level.cycleTraps);
    EXPECT_EQ(level.trapSlots, std::vector<float>({0.0f, 0.5f, 3.0f}));
    ASSERT_EQ(level.trapZones.size(), 2u);
    EXPECT_FALSE(level.trapZones[0].shuffle);
    EXPECT_TRUE(level.trapZones[1].shuffle);
    ASSERT_EQ(level.trapZones[0].defs.size(), 2u);
    EXPECT_EQ(level.trapZones[0].defs[1].colour, GremlinColorType::Blue);
    EXPECT_EQ(level.trapZones[0].defs[1].x, 650.0f);
    EXPECT_EQ(level.trapZones[0].defs[1].y, 471.0f);
    EXPECT_EQ(level.trapZones[1].defs[0].colour, GremlinColorType::Purple);
}

TEST_F(LevelFileTest, OptionalAttributesKeepTheirDefaults)
{
    LevelParts parts;
    parts.quota = R"(<Quota expertTime="1" timeLimit="2"/>)";
    // Without an optimal count the sub-optimal range is not read at all, even when malformed.
    parts.factoryAttributes = R"(numInitialGremlins="3" MaxWanderingGremlinsInLevel="7"
        GremlinSpawnDelayMin="2.5" GremlinSpawnDelayMax="4.5" subOptimalSpawnDelayMin="soon")";
    parts.traps = R"(<GremlinTrapFactory><TrapSlots/></GremlinTrapFactory>)";
    const LevelFileData level = Read(parts, false);
    EXPECT_FALSE(level.hasExplodeColors);
    EXPECT_FALSE(level.hasGunkLimit);
    EXPECT_EQ(level.spawn.optimal, 0);
    EXPECT_EQ(level.spawn.subOptimalMin, 2.5f);
    EXPECT_EQ(level.spawn.subOptimalMax, 4.5f);
    EXPECT_FALSE(level.hasCycleTraps || level.cycleTraps);
    EXPECT_TRUE(level.trapSlots.empty() && level.trapZones.empty());
}

TEST_F(LevelFileTest, KingZonesSetTheBudgetAndNeedTheKingTimings)
{
    LevelParts parts;
    parts.zones = std::string(NormalZones) + R"(
      <FactoryZone type="King" x="400" y="200">
        <Type sprite="Sprite_SmallCircle"/><Type sprite="Sprite_Trail"/>
      </FactoryZone>)";
    parts.factoryAttributes = std::string(FactoryAttributes) +
                              R"( megaTicSpawnDelayMin="20" megaTicSpawnDelayMax="30" numInitialMegaTics="1"
                                  numMaxMegaTics="2")";
    const LevelFileData level = Read(parts, false);
    EXPECT_EQ(level.kings.kingTypes, 2);
    EXPECT_TRUE(level.zones[2].dealsInOrder);
    EXPECT_TRUE(level.zones[2].ratios.empty());
    EXPECT_EQ(level.kings.megaTicDelayMin, 20.0f);
    EXPECT_EQ(level.kings.megaTicDelayMax, 30.0f);
    EXPECT_EQ(level.kings.numInitialMegaTics, 1);
    EXPECT_EQ(level.kings.numMaxMegaTics, 2);

    // Endless kings carry ratios like the other zones.
    parts.obstacles = EndlessObstacles;
    EXPECT_NE(Error(parts, true).find("\"ratio\""), std::string::npos);

    LevelParts missing = parts;
    missing.factoryAttributes = FactoryAttributes + std::string(R"( megaTicSpawnDelayMin="20"
        megaTicSpawnDelayMax="30" numMaxMegaTics="2")");
    EXPECT_NE(Error(missing, false).find("numInitialMegaTics"), std::string::npos);
}

TEST_F(LevelFileTest, EndlessLevelReadsModifiersSetsAndSludgeZones)
{
    LevelParts parts;
    parts.obstacles = EndlessObstacles;
    const LevelFileData level = Read(parts, true);
    ASSERT_TRUE(level.hasModifiers);
    const WaveModifierData& m = level.modifiers;
    EXPECT_EQ(m.waveInitialSize, 6); // truncated
    EXPECT_EQ(m.waveChange, 2);
    EXPECT_EQ(m.waveMax, 30);
    EXPECT_EQ(m.recoveryTime, 5.5f);
    EXPECT_EQ(m.maxCreaturesChange, 1);
    EXPECT_EQ(m.maxCreaturesMax, 12);
    EXPECT_EQ(m.optimalChange, 3);
    EXPECT_EQ(m.optimalMax, 8);
    EXPECT_EQ(m.growthRateChange, -0.25f);
    EXPECT_EQ(m.growthRateMin, 2.0f);
    EXPECT_FLOAT_EQ(m.spawnDelayChange, -0.1f);
    EXPECT_EQ(m.spawnDelayMin, 0.75f);
    EXPECT_EQ(m.maxMegaTicsChange, 0.5f);
    EXPECT_EQ(m.maxMegaTicsMax, 4);
    EXPECT_EQ(m.megaTicSpawnDelayChange, -1.0f);
    EXPECT_EQ(m.megaTicSpawnDelayMin, 10.0f);

    // The sets only; the direct obstacle is not read.
    ASSERT_EQ(level.obstacleSets.size(), 2u);
    EXPECT_EQ(level.obstacleSets[0].boardSuffix, "-A");
    EXPECT_EQ(level.obstacleSets[0].obstacles.size(), 1u);
    EXPECT_EQ(level.obstacleSets[1].boardSuffix, "");
    EXPECT_TRUE(level.obstacleSets[1].obstacles.empty());
    ASSERT_EQ(level.sludgeZones.size(), 1u);
    const SludgeZoneData& z = level.sludgeZones[0];
    EXPECT_EQ(std::vector<float>({z.spawnDelay, z.updateTime, z.spawnRadius, z.delayChange, z.delayMin,
                                  z.radiusChange, z.radiusMax, z.colorChance}),
              std::vector<float>({8, 20, 40, 0.5f, 3, 5, 80, 0.25f}));
    EXPECT_EQ(std::vector<int>({z.spawnDepth, z.x, z.y, z.w, z.h}), std::vector<int>({2, 100, 80, 600, 380}));

    // A cap of creatures on the field above what the playfield holds caps nothing more: it is read
    // as what the playfield holds. The wave's size counts creatures over the wave: its cap stays.
    LevelParts uncapped = parts;
    for (const std::string cap : {R"(max="30")", R"(max="12")", R"(max="8")", R"(max="4")"})
        uncapped.modifiers.replace(uncapped.modifiers.find(cap), cap.size(), R"(max="2147483647")");
    const WaveModifierData wide = Read(uncapped, true).modifiers;
    EXPECT_EQ(std::vector<int>({wide.waveMax, wide.maxCreaturesMax, wide.optimalMax, wide.maxMegaTicsMax}),
              std::vector<int>(
                  {INT_MAX, MaxCreaturesOnPlayfield, MaxCreaturesOnPlayfield, MaxCreaturesOnPlayfield}));
}

TEST_F(LevelFileTest, FaultsNameWhatIsWrong)
{
    struct Case
    {
        const char* what;
        bool endless;
        std::string LevelParts::*part;
        std::string text;
        const char* expected;
    };
    const std::vector<Case> cases = {
        {"point zone without x", false, &LevelParts::zones,
         R"(<FactoryZone type="Normal" rangeY="3" y="4"><Type sprite="Sprite_BasicRed" ratio="1"/></FactoryZone>)",
         "\"x\""},
        {"unknown sprite", false, &LevelParts::zones,
         R"(<FactoryZone type="Normal" x="1" y="2"><Type sprite="Sprite_Nobody" ratio="1"/></FactoryZone>)",
         "\"Sprite_Nobody\" is an invalid value"},
        {"modifiers missing in endless", true, &LevelParts::modifiers, "", "GremlinFactoryModifiers"},
        {"fractional king maximum", true, &LevelParts::modifiers,
         std::string(Modifiers).replace(std::string(Modifiers).find("max=\"4\""), 7, "max=\"2.5\""), "(int)"},
        {"endless without obstacle sets", true, &LevelParts::obstacles,
         R"(<Obstacles><ImmovableObstacle x="1" y="1" image="a"/></Obstacles>)", "\"ObstacleSet\""},
        {"shuffle spelt as a word", false, &LevelParts::traps,
         R"(<GremlinTrapFactory><TrapSlots/><FactoryZone shuffle="true"/></GremlinTrapFactory>)", "(bool)"},
        {"trap colour of no colour", false, &LevelParts::traps,
         R"(<GremlinTrapFactory><TrapSlots/><FactoryZone shuffle="0"><TrapType color="red" x="1" y="1"/>
            </FactoryZone></GremlinTrapFactory>)",
         "\"red\" is an invalid value"},
        {"trap slots missing", false, &LevelParts::traps, "<GremlinTrapFactory/>", "TrapSlots"},
        {"obstacle without image", false, &LevelParts::obstacles,
         R"(<Obstacles><ImmovableObstacle x="1" y="1"/></Obstacles>)", "\"image\""},
    };
    for (const Case& c : cases)
    {
        LevelParts parts;
        if (c.endless)
            parts.obstacles = EndlessObstacles;
        parts.*c.part = c.text;
        const std::string error = Error(parts, c.endless);
        EXPECT_NE(error.find(c.expected), std::string::npos) << c.what << ": " << error;
        EXPECT_NE(error.find("1-01 Test.xml"), std::string::npos) << c.what << ": " << error;
    }
    // The same modifiers are no fault in a normal level.
    LevelParts normal;
    normal.modifiers = "";
    EXPECT_EQ(Error(normal, false), "");
    // A trap of a colour no basic creature has reads, with a warning naming the file and line.
    KestrinTest::LogCapture log;
    normal.traps =
        R"(<GremlinTrapFactory><TrapSlots/><FactoryZone shuffle="0"><TrapType color="Red" x="1" y="1"/>
        <TrapType color="Any" x="1" y="1"/></FactoryZone></GremlinTrapFactory>)";
    EXPECT_EQ(Error(normal, false), "");
    EXPECT_NE(log.Text().find("1-01 Test.xml (line "), std::string::npos) << log.Text();
    EXPECT_NE(log.Text().find("trap colour \"Any\" matches no basic creature"), std::string::npos)
        << log.Text();
    EXPECT_EQ(log.Text().find("\"Red\""), std::string::npos) << log.Text();
    // So does a creature zone without a "Type", which the factory leaves out.
    normal.zones = std::string(NormalZones) + R"(
      <FactoryZone type="King" x="400" y="200"/>)";
    const std::string xml = normal.Xml();
    const auto line = 1 + std::count(xml.begin(), xml.begin() + long(xml.find("type=\"King\"")), '\n');
    EXPECT_EQ(Error(normal, false), "");
    EXPECT_NE(log.Text().find(
                  "1-01 Test.xml (line " + std::to_string(line) +
                  "): King zone names no \"Type\": it is left out; only the other zones spawn creatures"),
              std::string::npos)
        << log.Text();
}

TEST_F(LevelFileTest, BoardPatchesAreDigitsInRows)
{
    AddData(L"1-01 Test-Board-A", R"(<Board>
        <NimbalGunk x="300" y="200" width="5" data="0121012321" color="Black"/>
        <NimbalGunk x="560" y="120" width="3" data="111" color="Red"/></Board>)");
    const std::vector<GunkPatchData> patches = ReadBoardFile(BoardFileSpec("1-01 Test", "-A"));
    ASSERT_EQ(patches.size(), 2u);
    EXPECT_EQ(patches[0].x, 300);
    EXPECT_EQ(patches[0].y, 200);
    EXPECT_EQ(patches[0].width, 5);
    EXPECT_EQ(patches[0].data, "0121012321");
    EXPECT_EQ(patches[1].colour, GremlinColorType::Red);

    const std::vector<std::pair<std::string, const char*>> faults = {
        {R"(<B><NimbalGunk x="0" y="0" width="2" data="12x" color="Red"/></B>)", "\"data\""},
        {R"(<B><NimbalGunk x="0" y="0" width="2" data="1 2" color="Red"/></B>)", "\"data\""},
        {R"(<B><NimbalGunk x="0" y="0" width="0" data="12" color="Red"/></B>)", "\"width\""},
        {R"(<B><NimbalGunk x="0" y="0" width="2" data="12" color="Pink"/></B>)", "\"Pink\""},
        {R"(<B><NimbalGunk x="0" width="2" data="12" color="Red"/></B>)", "\"y\""},
    };
    for (const auto& [xml, expected] : faults)
    {
        AddData(L"Faulty-Board", xml);
        const std::string error = ErrorOf([] { ReadBoardFile(BoardFileSpec("Faulty", "")); });
        EXPECT_NE(error.find(expected), std::string::npos) << xml << ": " << error;
    }
    EXPECT_THROW(ReadBoardFile(BoardFileSpec("Nowhere", "")), FileOpenException);
}

} // namespace
