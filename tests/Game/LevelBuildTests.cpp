// A level file read and built: what lands on the creature factory, the trap factory and the
// endless sludge generator.
#include "Base/Random.h"
#include "Framework/ObjectDatabase.h"
#include "Game/EndlessSludgeGenerator.h"
#include "Game/GameLevels.h"
#include "Game/GremlinFactory.h"
#include "Game/GremlinHomeFactory.h"
#include "Game/LevelFile.h"
#include "Game/NimbalLevel.h"
#include "Game/ShuffleWithRand.h"

#include "CollisionTestSupport.h"
#include "GameStubs/CreatureRecords.h"
#include "GameStubs/GameFakes.h"
#include "GameTestSupport.h"

#include <climits>
#include <string>
#include <vector>

using namespace GameTest;

namespace
{

const char* const KingLevel = R"(<Level><LevelData>
    <Quota expertTime="90" timeLimit="180"/>
    <LoopPowerUpSpawn/><SpearKingGemSpawn/>
    <GremlinFactory numInitialGremlins="3" MaxWanderingGremlinsInLevel="7" GremlinSpawnDelayMin="2.5"
        GremlinSpawnDelayMax="4.5" optimalNumGremlins="5" subOptimalSpawnDelayMin="1.25"
        subOptimalSpawnDelayMax="1.75" megaTicSpawnDelayMin="20" megaTicSpawnDelayMax="30"
        numInitialMegaTics="1" numMaxMegaTics="2">
      ZONES
    </GremlinFactory>
    <Obstacles/>
    <GremlinTrapFactory cycleTraps="1">
      <TrapSlots><Slot initialTime="0"/><Slot initialTime="2"/></TrapSlots>
      <FactoryZone shuffle="1">
        <TrapType color="Red" x="1" y="1"/><TrapType color="Blue" x="2" y="2"/><TrapType color="Green" x="3" y="3"/>
      </FactoryZone>
      <FactoryZone shuffle="0"><TrapType color="Purple" x="4" y="4"/></FactoryZone>
    </GremlinTrapFactory>
  </LevelData></Level>)";

const char* const KingZones = R"(
      <FactoryZone type="Normal" rangeX="100" rangeY="80" rangeW="600" rangeH="380">
        <Type sprite="Sprite_BasicRed" ratio="2"/><Type sprite="Sprite_Shy" ratio="0.5"/>
      </FactoryZone>
      <FactoryZone type="PowerUp" x="400" y="300"><Type sprite="Sprite_Freeze" ratio="1"/></FactoryZone>
      <FactoryZone type="King" x="400" y="200">
        <Type sprite="Sprite_SmallCircle"/><Type sprite="Sprite_Trail"/>
      </FactoryZone>)";

class LevelBuild : public GameDataTest
{
protected:
    LevelBuild()
    {
        AddData(L"CreatureSettings",
                GameTest::CreatureSettingsOfOnes({"Sprite_BasicRed", "Sprite_Shy", "Sprite_Freeze",
                                                  "Sprite_SmallCircle", "Sprite_Trail"}));
        // Hand-picked draws, so the trap order can be worked out from the shuffle formula.
        SetShuffleRandomSource([this] { return draws[std::min(drawn++, draws.size() - 1)]; });
        InstallGunkBoard(&board);
    }
    ~LevelBuild() override
    {
        SetShuffleRandomSource({});
        InstallGunkBoard(nullptr);
    }

    std::string Build(const std::string& zones, bool endless, const std::string& extra = "")
    {
        std::string xml = KingLevel;
        xml.replace(xml.find("ZONES"), 5, zones);
        xml.replace(xml.find("<Obstacles/>"), 12, extra.empty() ? "<Obstacles/>" : extra);
        AddData(L"Built", xml);
        return ErrorOf([&]
                       { level.ApplyLevelFile(ReadLevelFile(LevelFileSpec("Built"), endless), endless); });
    }
    template <typename T> T* Find(Kestrin::NameId name)
    {
        return dynamic_cast<T*>(host.database.FindObject(name));
    }

    std::vector<int> draws = {1, 0, 2, 1, 0};
    size_t drawn = 0;
    BoostRandomNumberStream random{77};
    Kestrin::ScopedRandomStream scopedRandom{&random};
    HostScreen host;
    FakeGunkBoard board;
    NimbalLevel level{NimbalLevel::NoSetUp{}};
};

TEST_F(LevelBuild, NormalLevelFillsBothFactories)
{
    ASSERT_EQ(Build(KingZones, false), "");
    EXPECT_FALSE(level.loadFailed);
    auto* factory = Find<GremlinFactory>(GameNames::GremlinFactory);
    ASSERT_TRUE(factory);
    // Seven distinct values: a swapped pair shows.
    EXPECT_EQ(factory->numInitialGremlins, 3);
    EXPECT_EQ(factory->maxWanderingGremlins, 7);
    EXPECT_EQ(factory->optimalNumGremlins, 5);
    EXPECT_EQ(factory->spawnDelayMin, 2.5f);
    EXPECT_EQ(factory->spawnDelayMax, 4.5f);
    EXPECT_EQ(factory->subOptimalDelayMin, 1.25f);
    EXPECT_EQ(factory->subOptimalDelayMax, 1.75f);

    ASSERT_EQ(factory->normalZones.size(), 1u);
    ASSERT_EQ(factory->powerUpZones.size(), 1u);
    ASSERT_EQ(factory->kingZones.size(), 1u);
    const FactoryZone& normal = *factory->normalZones.front();
    EXPECT_EQ(std::vector<float>({normal.x, normal.y, normal.w, normal.h}),
              std::vector<float>({100, 80, 600, 380}));
    EXPECT_FALSE(normal.dealsInOrder);
    ASSERT_TRUE(normal.ratios);
    EXPECT_FLOAT_EQ(normal.ratios->GetTotal(), 2.5f);
    EXPECT_EQ(factory->ratioMap[CreatureSpriteId::BasicRed], 2.0f);
    EXPECT_EQ(factory->ratioMap[CreatureSpriteId::Shy], 0.5f);
    EXPECT_EQ(factory->ratioMap.count(CreatureSpriteId::Freeze), 0u) << "only normal zones weigh the pick";
    const FactoryZone& kings = *factory->kingZones.front();
    EXPECT_TRUE(kings.dealsInOrder);
    EXPECT_FALSE(kings.ratios);
    EXPECT_EQ(factory->kingBudget, 2);
    EXPECT_EQ(factory->megaTicSpawnDelayMin, 20.0f);
    EXPECT_EQ(factory->megaTicSpawnDelayMax, 30.0f);
    EXPECT_EQ(factory->numInitialMegaTics, 1);
    EXPECT_EQ(factory->numMaxMegaTics, 2);
    EXPECT_GE(factory->kingTimer, 20.0f);
    EXPECT_LT(factory->kingTimer, 30.0f);

    // Red, Blue, Green with draws 1, then 0 and 2: [Red Blue], then [Blue Red Green]. The zones
    // [first, Purple] stay (draw 1), and the next trap is the first zone's front.
    auto* traps = Find<GremlinHomeFactory>(GameNames::GremlinHomeFactory);
    ASSERT_TRUE(traps);
    EXPECT_TRUE(traps->cycleTraps);
    EXPECT_EQ(traps->slots.size(), 2u);
    ASSERT_EQ(traps->pending.size(), 1u);
    EXPECT_EQ(traps->pending.front(), (TrapDefinition{GremlinColorType::Blue, 2, 2}));
    ASSERT_EQ(traps->zones.size(), 2u);
    std::vector<GremlinColorType> left;
    for (const auto& zone : traps->zones)
        for (const TrapDefinition& def : zone->defs)
            left.push_back(def.colour);
    EXPECT_EQ(left.size(), 3u);
    EXPECT_EQ(Find<EndlessSludgeGenerator>(Kestrin::MakeName("EndlessSludgeGenerator")), nullptr);
}

TEST_F(LevelBuild, EndlessKingsAreUnlimitedAndTheWavesAndSludgeAreSet)
{
    const std::string zones =
        R"(<FactoryZone type="Normal" x="1" y="2"><Type sprite="Sprite_BasicRed" ratio="1"/></FactoryZone>
        <FactoryZone type="King" x="3" y="4"><Type sprite="Sprite_Trail" ratio="1"/></FactoryZone>)";
    const std::string obstacles = R"(<GremlinFactoryModifiers>
          <wave initialSize="6" change="2" max="30" recoveryTime="5"/><maxCreatures change="1" max="12"/>
          <optimalCreatures change="3" max="8"/><growthRate change="-0.25" min="2"/>
          <spawnDelay change="-0.1" min="0.75"/><maxMegaTics change="0.5" max="4"/>
          <megaTicSpawnDelay change="-1" min="10"/>
        </GremlinFactoryModifiers>
        <Obstacles><ObstacleSet gunkBoard="B"/>
          <EndlessSludgeZone spawnDelay="8" updateTime="20" spawnRadius="40" spawnDepth="2" x="100" y="80"
            w="600" h="380" delayChange="0.5" delayMin="3" radiusChange="5" radiusMax="80" colorChance="0.25"/>
        </Obstacles>)";
    ASSERT_EQ(Build(zones, true, obstacles), "");
    auto* factory = Find<GremlinFactory>(GameNames::GremlinFactory);
    ASSERT_TRUE(factory);
    EXPECT_EQ(factory->kingBudget, INT_MAX);
    EXPECT_EQ(factory->waveSize, 6);
    EXPECT_EQ(factory->waveRemaining, 6);
    EXPECT_EQ(factory->waveSizeChange, 2);
    EXPECT_EQ(factory->waveSizeMax, 30);
    EXPECT_EQ(factory->recoveryTime, 5.0f);
    EXPECT_EQ(factory->maxCreaturesChange, 1);
    EXPECT_EQ(factory->maxCreaturesMax, 12);
    EXPECT_EQ(factory->optimalCreaturesChange, 3);
    EXPECT_EQ(factory->optimalCreaturesMax, 8);
    EXPECT_EQ(factory->growthRateChange, -0.25f);
    EXPECT_EQ(factory->growthRateFloor, 2.0f);
    EXPECT_EQ(factory->maxMegaTicsChange, 0.5f);
    EXPECT_EQ(factory->maxMegaTicsMax, 4);
    EXPECT_EQ(factory->megaTicSpawnDelayChange, -1.0f);
    EXPECT_EQ(factory->megaTicSpawnDelayFloor, 10.0f);
    EXPECT_EQ(level.boardSuffix, "-B");

    auto* sludge = Find<EndlessSludgeGenerator>(Kestrin::MakeName("EndlessSludgeGenerator"));
    ASSERT_TRUE(sludge);
    ASSERT_EQ(sludge->zones.size(), 1u);
    const SludgeZone& z = sludge->zones.front();
    EXPECT_EQ(std::vector<float>({z.spawnTimer, z.spawnDelay, z.updateTimer, z.updateTime, z.spawnRadius,
                                  z.delayChange, z.delayMin, z.radiusChange, z.radiusMax, z.colorChance}),
              std::vector<float>({8, 8, 20, 20, 40, 0.5f, 3, 5, 80, 0.25f}));
    EXPECT_EQ(std::vector<int>({z.spawnDepth, z.x, z.y, z.w, z.h}), std::vector<int>({2, 100, 80, 600, 380}));
}

TEST_F(LevelBuild, ZonesTheFactoryCannotUseStopTheLevel)
{
    // Both name the level file and the zone's line.
    const std::string any =
        R"(<FactoryZone type="Any" x="1" y="2"><Type sprite="Sprite_BasicRed" ratio="1"/></FactoryZone>)";
    EXPECT_EQ(Build(any, false), "(0) Error reading file \"Built.xml\" (line 8): GremlinMetaType <Any> not "
                                 "supported by GremlinFactory.");
    EXPECT_TRUE(Find<GremlinFactory>(GameNames::GremlinFactory)) << "what was built before stays";
    EXPECT_TRUE(Find<GremlinHomeFactory>(GameNames::GremlinHomeFactory));

    // One line further down.
    const std::string unknown = R"(
      <FactoryZone type="Normal" x="1" y="2"><Type sprite="Sprite_Pairing" ratio="1"/></FactoryZone>)";
    EXPECT_EQ(
        Build(unknown, false),
        "(0) Error reading file \"Built.xml\" (line 9): the level's zones name Sprite_Pairing, which has no "
        "record in CreatureSettings.xml");
}

} // namespace
