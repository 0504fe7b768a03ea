#include "Game/EndlessSludgeGenerator.h"
#include "Game/LevelFile.h"
#include "Game/Line.h"

#include "FieldTestSupport.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <map>
#include <string>
#include <vector>

using namespace GameTest;
using Sprite = CreatureSpriteId;

namespace
{
class Spawning : public FieldTest
{
protected:
    // Red 3 : Blue 1 over two zones; a Shy type listed only with ratio 0.
    GremlinFactory* RedBlueFactory(bool endless = false)
    {
        GremlinFactory* factory = AddFactory(endless);
        factory->settings = {{Sprite::BasicRed, Calm(Sprite::BasicRed, GremlinColorType::Red)},
                             {Sprite::BasicBlue, Calm(Sprite::BasicBlue, GremlinColorType::Blue)},
                             {Sprite::Shy, Calm(Sprite::Shy, GremlinColorType::Green, GremlinKind::Shy)}};
        factory->AddZone(Zone({Sprite::BasicRed, Sprite::BasicBlue, Sprite::Shy}, {3, 1, 0}),
                         GremlinMetaType::Normal);
        factory->AddTypeRatios({0, 2, 8}, {3, 1, 0});
        factory->AddZone(Zone({Sprite::BasicRed, Sprite::BasicBlue}, {3, 1}, 150, 150, 300, 200),
                         GremlinMetaType::Normal);
        factory->AddTypeRatios({0, 2}, {3, 1});
        return factory;
    }
    std::map<Sprite, int> TypeCounts() const
    {
        std::map<Sprite, int> counts;
        HeldObject<BasicGremlin>::ForEach([&counts](BasicGremlin* creature)
                                          { ++counts[creature->settings.sprite]; });
        return counts;
    }
};
} // namespace

TEST_F(Spawning, SpawnsOnlyWithATrapKeepsTheMixAndNeverStalls)
{
    LoadSounds({"SFX_BasicTicEnter"});
    GremlinFactory* factory = RedBlueFactory();
    factory->SetSpawnParameters({0, 40, 10, 0.1f, 0.2f, 0.05f, 0.1f});
    factory->StartPlay();
    Steps(100);
    EXPECT_EQ(Live<BasicGremlin>(), 0u) << "no trap, no creature";
    EXPECT_LE(factory->spawnTimer, 0.0f) << "the timer stays spent";
    AddTrap(GremlinColorType::Red);
    Steps(1);
    EXPECT_EQ(Live<BasicGremlin>(), 1u) << "the first step with a trap spawns";
    EXPECT_EQ(Played("SFX_BasicTicEnter"), 1u);

    Steps(1500);
    EXPECT_EQ(Live<BasicGremlin>(), 40u) << "capped by the wandering limit";
    std::map<Sprite, int> counts = TypeCounts();
    EXPECT_NEAR(counts[Sprite::BasicRed], 30, 2);
    EXPECT_NEAR(counts[Sprite::BasicBlue], 10, 2);
    EXPECT_EQ(counts[Sprite::Shy], 0) << "a ratio of 0 is never picked";

    // A line still being drawn holds wandering creatures; a finished one that once held more than
    // live now must not block spawning.
    Line line(0, 0, nullptr, GremlinColorType::Red, GremlinKind::Basic);
    line.mostHeld = 100;
    Steps(100);
    EXPECT_EQ(Live<BasicGremlin>(), 40u);
    line.drawing = false;
    Steps(100);
    EXPECT_GT(Live<BasicGremlin>(), 45u);

    // Each creature holds one connection to the colour signal, ended as it leaves the screen.
    const size_t live = Live<BasicGremlin>();
    EXPECT_EQ(factory->colorSignal.num_slots(), live);
    screen->RemoveObject(HeldObject<BasicGremlin>::GetAll().front()->GetHandle());
    EXPECT_EQ(factory->colorSignal.num_slots(), live - 1);
}

TEST_F(Spawning, SpawnParametersLandInTheirFieldsAndPickTheFirstTimer)
{
    GremlinFactory* factory = AddFactory();
    factory->SetSpawnParameters({1, 6, 7, 2.0f, 3.0f, 4.0f, 5.0f});
    EXPECT_EQ(factory->numInitialGremlins, 1);
    EXPECT_EQ(factory->spawnDelayMin, 2.0f);
    EXPECT_EQ(factory->spawnDelayMax, 3.0f);
    EXPECT_EQ(factory->subOptimalDelayMin, 4.0f);
    EXPECT_EQ(factory->subOptimalDelayMax, 5.0f);
    EXPECT_EQ(factory->maxWanderingGremlins, 6);
    EXPECT_EQ(factory->optimalNumGremlins, 7);
    EXPECT_TRUE(factory->spawnTimer >= 4.0f && factory->spawnTimer < 5.0f) << "fewer than optimal";
    factory->SetSpawnParameters({8, 6, 7, 2.0f, 3.0f, 4.0f, 5.0f});
    EXPECT_TRUE(factory->spawnTimer >= 2.0f && factory->spawnTimer < 3.0f);

    EXPECT_EQ(ErrorOf([&] { factory->AddZone(std::make_unique<FactoryZone>(), GremlinMetaType::Any); }),
              "GremlinMetaType <Any> not supported by GremlinFactory.");
}

TEST_F(Spawning, BalancedWeightsFollowTheRatiosAndNeverDivideByZero)
{
    GremlinFactory* factory = AddFactory();
    factory->settings[Sprite::BasicRed] = Calm(Sprite::BasicRed, GremlinColorType::Red);
    factory->AddTypeRatios({0, 1}, {0.5f, 0.5f});
    EXPECT_EQ(factory->totalRatio, 0);
    EXPECT_EQ(factory->BalancedWeights(),
              (std::map<Sprite, float>{{Sprite::BasicRed, 0.1f}, {Sprite::BasicGreen, 0.1f}}))
        << "no creature: every weight 0.1";
    for (int i = 0; i < 4; ++i)
        (new BasicGremlin(100.0f * float(i), 100, factory->settings[Sprite::BasicRed]))
            ->AddToScene(*screen, nullptr);
    // Four reds of a 1:1 mix: red is over-represented (weight 0.1), green is wanted (4, capped at N).
    const std::map<Sprite, float> weights = factory->BalancedWeights();
    EXPECT_FLOAT_EQ(weights.at(Sprite::BasicRed), 0.1f);
    EXPECT_FLOAT_EQ(weights.at(Sprite::BasicGreen), 4.0f);
}

TEST_F(Spawning, UsedUpOrUnmatchedZonesEndTheSearch)
{
    struct Case
    {
        const char* name;
        std::vector<Sprite> types;
        std::vector<float> ratios;
        Sprite wanted;            // the ratio map's only type
        std::vector<Sprite> made; // None: no creature
    };
    const std::vector<Case> cases = {
        {"in order, used up",
         {Sprite::BasicRed},
         {},
         Sprite::BasicRed,
         {Sprite::BasicRed, Sprite::None, Sprite::None}},
        {"no settings for the type", {Sprite::Pairing}, {1}, Sprite::Pairing, {Sprite::None}},
        {"the zone never gives the wanted type",
         {Sprite::BasicRed},
         {1},
         Sprite::BasicBlue,
         {Sprite::BasicRed, Sprite::BasicRed}},
        {"in order, never the wanted type: one type a search",
         {Sprite::BasicRed, Sprite::BasicRed, Sprite::BasicRed},
         {},
         Sprite::BasicBlue,
         {Sprite::BasicRed, Sprite::BasicRed, Sprite::BasicRed, Sprite::None}},
    };
    for (const Case& c : cases)
    {
        GremlinFactory* factory = AddFactory();
        factory->settings[Sprite::BasicRed] = Calm(Sprite::BasicRed, GremlinColorType::Red);
        factory->AddZone(Zone(c.types, c.ratios), GremlinMetaType::Normal);
        factory->AddTypeRatios({int(c.wanted)}, {1});
        // By name, call by call: a failure shows which search gave what ("-": no creature).
        std::vector<std::string> made, expected;
        for (Sprite sprite : c.made)
        {
            const BasicGremlin* creature = factory->CreateNormal();
            made.push_back(creature ? NameOf(creature->settings.sprite) : "-");
            expected.push_back(sprite == Sprite::None ? "-" : NameOf(sprite));
        }
        EXPECT_EQ(made, expected) << c.name;
        screen->RemoveObject(factory->GetHandle());
        Steps(1);
    }
}

TEST_F(Spawning, KingsComeOnTheirTimerWithinBudgetAndEachDeathGivesOnePowerUp)
{
    LoadSounds({"SFX_MegaTicEnter", "SFX_MegaTicDie"});
    GremlinFactory* factory = AddFactory();
    TypeSettings small = Calm(Sprite::SmallCircle, GremlinColorType::Any, GremlinKind::SmallCircle);
    small.maxHealth = 3;
    TypeSettings trail = Calm(Sprite::Trail, GremlinColorType::Any, GremlinKind::Trail);
    trail.maxHealth = 3;
    factory->settings = {{Sprite::SmallCircle, small},
                         {Sprite::Trail, trail},
                         {Sprite::Freeze, Calm(Sprite::Freeze, GremlinColorType::Any, GremlinKind::Freeze)}};
    factory->AddZone(Zone({Sprite::SmallCircle, Sprite::Trail}), GremlinMetaType::King);
    factory->AddZone(Zone({Sprite::Freeze}, {1}), GremlinMetaType::PowerUp);
    factory->kingBudget = 2;
    factory->numMaxMegaTics = 1;
    factory->megaTicSpawnDelayMin = factory->megaTicSpawnDelayMax = factory->kingTimer = 1.0f;
    factory->SetSpawnParameters({0, 0, 0, 1, 1, 1, 1});
    AddTrap(GremlinColorType::Red);
    factory->StartPlay();

    Steps(50);
    EXPECT_EQ(Live<GremlinKing>(), 0u);
    Steps(2);
    ASSERT_EQ(Live<GremlinKing>(), 1u) << "after a second";
    EXPECT_EQ(Played("SFX_MegaTicEnter"), 1u);
    Steps(100);
    ASSERT_EQ(Live<GremlinKing>(), 1u) << "one at a time";
    GremlinKing* first = HeldObject<GremlinKing>::GetAll()[0];
    EXPECT_EQ(first->kind, GremlinKind::SmallCircle);
    first->TakeDamage(2, false);
    EXPECT_EQ(first->health, 1);
    EXPECT_EQ(Live<PowerUpGremlin>(), 0u);
    first->TakeDamage(5, false);
    first->TakeDamage(5, false);
    EXPECT_EQ(Live<PowerUpGremlin>(), 1u) << "dies once";
    EXPECT_EQ(Played("SFX_MegaTicDie"), 1u);
    EXPECT_TRUE(factory->kingCheckPending);
    Steps(1);
    EXPECT_FALSE(factory->kingCheckPending);
    EXPECT_TRUE(board.calls.empty()) << "a king is still due";

    Steps(51);
    ASSERT_EQ(Live<GremlinKing>(), 1u);
    GremlinKing* second = HeldObject<GremlinKing>::GetAll()[0];
    EXPECT_EQ(second->kind, GremlinKind::Trail);
    EXPECT_EQ(factory->kingBudget, 0);
    second->TakeDamage(3, true);
    Steps(100);
    EXPECT_EQ(Live<GremlinKing>(), 0u);
    EXPECT_EQ(Live<PowerUpGremlin>(), 2u);
    EXPECT_EQ(std::count(board.calls.begin(), board.calls.end(), "CheckCleared"), 1);
    EXPECT_EQ(factory->CreateKing(), nullptr) << "the zone is used up";
}

TEST_F(Spawning, PowerUpsAreSubstitutedAndCappedAtTen)
{
    GremlinFactory* factory = AddFactory();
    for (Sprite sprite : {Sprite::Freeze, Sprite::Shrink, Sprite::DeepClean, Sprite::Bomb})
        factory->settings[sprite] = Calm(sprite, GremlinColorType::Any, GremlinKind(int(sprite) - 4));
    factory->AddZone(Zone({Sprite::Bomb, Sprite::DeepClean, Sprite::Shrink, Sprite::DeepClean, Sprite::Bomb}),
                     GremlinMetaType::PowerUp);
    factory->CreatePowerUp(3, {300, 200});
    std::vector<GremlinKind> kinds;
    HeldObject<PowerUpGremlin>::ForEach([&kinds](PowerUpGremlin* p) { kinds.push_back(p->kind); });
    EXPECT_EQ(kinds,
              (std::vector<GremlinKind>{GremlinKind::Freeze, GremlinKind::Freeze, GremlinKind::Shrink}))
        << "no king: a bomb is a freeze; not spawning: a deep clean is a freeze";
    factory->spawning = true;
    (new GremlinKing(500, 400, Calm(Sprite::SmallCircle, GremlinColorType::Any, GremlinKind::SmallCircle)))
        ->AddToScene(*screen, nullptr);
    factory->CreatePowerUp(5, {300, 200});
    EXPECT_EQ(Live<PowerUpGremlin>(), 5u) << "a deep clean while spawning, then the zone is used up";
    const std::vector<PowerUpGremlin*> all = HeldObject<PowerUpGremlin>::GetAll();
    EXPECT_EQ(all[3]->kind, GremlinKind::DeepClean);
    EXPECT_EQ(all[4]->kind, GremlinKind::Damage) << "with a king alive a bomb stays a bomb";

    factory->AddZone(Zone({Sprite::Shrink}, {1}), GremlinMetaType::PowerUp);
    auto usedUp = std::find_if(factory->powerUpZones.begin(), factory->powerUpZones.end(),
                               [](const auto& z) { return z->dealsInOrder; });
    factory->powerUpZones.erase(usedUp);
    factory->CreatePowerUp(20, {300, 200});
    EXPECT_EQ(Live<PowerUpGremlin>(), 25u) << "the cap is tested once, before the loop";
    factory->CreatePowerUp(1, {300, 200});
    EXPECT_EQ(Live<PowerUpGremlin>(), 25u);
}

TEST_F(Spawning, EndlessWavesGrowAndPauseUntilTheFieldIsEmpty)
{
    GremlinFactory* factory = RedBlueFactory(true);
    factory->waveSize = factory->waveRemaining = 2;
    factory->waveSizeChange = 1;
    factory->recoveryTime = 3.0f;
    factory->SetSpawnParameters({0, 50, 0, 0.1f, 0.1f, 0.1f, 0.1f});
    AddTrap(GremlinColorType::Red);
    factory->StartPlay();
    Steps(30);
    // Two of the first wave; the next (of three) is set up and pauses at once.
    EXPECT_EQ(Live<BasicGremlin>(), 2u);
    EXPECT_EQ(factory->waveSize, 3);
    EXPECT_EQ(factory->waveRemaining, 3);
    EXPECT_NE(factory->currentZone, nullptr);
    Steps(100);
    EXPECT_EQ(Live<BasicGremlin>(), 2u) << "no creature during the pause";
    for (BasicGremlin* creature : HeldObject<BasicGremlin>::GetAll())
        creature->Remove();
    Steps(2);
    EXPECT_EQ(factory->wavePause, 0.0f) << "an empty field ends the pause";
    Steps(40);
    EXPECT_EQ(Live<BasicGremlin>(), 3u);
    EXPECT_EQ(factory->waveSize, 4);
}

TEST_F(Spawning, NextWaveCapsGrowsAndFloors)
{
    GremlinFactory* factory = AddFactory(true);
    TypeSettings& red = factory->settings[Sprite::BasicRed] = Calm(Sprite::BasicRed, GremlinColorType::Red);
    red.explode0Min = 3.0f;
    factory->SetSpawnParameters({0, 10, 5, 2.0f, 3.0f, 1.0f, 1.5f});
    factory->SetWaveModifiers({.maxCreaturesChange = 4,
                               .maxCreaturesMax = 12,
                               .optimalChange = 3,
                               .optimalMax = 6,
                               .growthRateChange = -2.5f,
                               .growthRateMin = 1.0f,
                               .spawnDelayChange = -0.75f,
                               .spawnDelayMin = 0.5f,
                               .maxMegaTicsChange = 0.5f,
                               .maxMegaTicsMax = 2,
                               .megaTicSpawnDelayChange = -1.0f,
                               .megaTicSpawnDelayMin = 4.0f});
    factory->megaTicSpawnDelayMin = 4.5f;
    factory->waveSize = 5, factory->waveSizeChange = 3, factory->waveSizeMax = 7;
    factory->NextWave();
    EXPECT_EQ(std::vector<int>({factory->maxWanderingGremlins, factory->optimalNumGremlins,
                                factory->waveRemaining, factory->numMaxMegaTics}),
              std::vector<int>({12, 6, 7, 0}));
    EXPECT_EQ(std::vector<float>({red.explode0Min, red.explode1Max, factory->spawnDelayMin,
                                  factory->subOptimalDelayMin, factory->megaTicSpawnDelayMin}),
              std::vector<float>({1.0f, 997.5f, 1.25f, 0.5f, 4.0f}))
        << "growth and delays raised to their floors";
    factory->NextWave();
    EXPECT_EQ(factory->numMaxMegaTics, 0) << "exactly 1.0 does not count";
    factory->NextWave();
    EXPECT_EQ(factory->numMaxMegaTics, 1);
    EXPECT_EQ(factory->currentZone, nullptr) << "no Normal zone to pick";

    // Floors of 0 let timings that shrink with the waves reach 0, never below. A delay of 0 then
    // brings one creature a step, no more, until the wave is out.
    factory->growthRateFloor = factory->spawnDelayFloor = factory->megaTicSpawnDelayFloor = 0.0f;
    factory->growthRateChange = -2000.0f;
    factory->spawnDelayChange = factory->megaTicSpawnDelayChange = -10.0f;
    factory->NextWave();
    EXPECT_EQ(std::vector<float>({red.explode0Min, red.explodeEndMax, factory->spawnDelayMax,
                                  factory->subOptimalDelayMin, factory->megaTicSpawnDelayMin}),
              std::vector<float>(5, 0.0f));
    factory->AddZone(Zone({Sprite::BasicRed}, {1}), GremlinMetaType::Normal);
    AddTrap(GremlinColorType::Red);
    factory->endless = factory->spawning = true;
    factory->spawnPause = -1.0f;
    factory->spawnTimer = 0.0f;
    factory->recoveryTime = 1000.0f;
    const int wave = factory->waveRemaining;
    ASSERT_EQ(wave, 7);
    for (int step = 1; step <= wave; ++step)
    {
        Steps(1);
        EXPECT_EQ(Live<BasicGremlin>(), size_t(step));
    }
    Steps(20);
    EXPECT_EQ(Live<BasicGremlin>(), 8u) << "the next wave's first comes with it, then its pause";

    // Changes at the ends of int's range stop there, wave after wave, instead of wrapping.
    factory->maxCreaturesChange = factory->waveSizeChange = INT_MAX;
    factory->optimalCreaturesChange = INT_MIN;
    for (int wave = 0; wave < 2; ++wave)
        factory->NextWave();
    EXPECT_EQ(
        std::vector<int>({factory->maxWanderingGremlins, factory->optimalNumGremlins, factory->waveSize}),
        std::vector<int>({12, INT_MIN, 7}));
}

TEST_F(Spawning, SludgeColoursFollowTheCurrentZone)
{
    GremlinFactory* factory = AddFactory(true);
    factory->settings = {
        {Sprite::BasicGreen, Calm(Sprite::BasicGreen, GremlinColorType::Green)},
        {Sprite::Indecisive, Calm(Sprite::Indecisive, GremlinColorType::Any, GremlinKind::Indecisive)},
        {Sprite::BasicYellow, Calm(Sprite::BasicYellow, GremlinColorType::Yellow)}};
    EXPECT_EQ(factory->GetSludgeColor(), GremlinColorType::Black) << "no wave yet";
    auto zone = Zone({Sprite::BasicGreen}, {1});
    FactoryZone* green = zone.get();
    factory->AddZone(std::move(zone), GremlinMetaType::Normal);
    zone = Zone({Sprite::BasicYellow, Sprite::Indecisive, Sprite::Pairing}, {1, 1, 1});
    FactoryZone* yellowOrAny = zone.get();
    factory->AddZone(std::move(zone), GremlinMetaType::Normal);
    factory->currentZone = green;
    EXPECT_EQ(factory->GetSludgeColor(), GremlinColorType::Green);
    factory->currentZone = yellowOrAny;
    std::map<GremlinColorType, int> colours;
    for (int i = 0; i < 300; ++i)
        ++colours[factory->GetSludgeColor()];
    EXPECT_EQ(colours.size(), 2u) << "Any and a type without settings give Black";
    EXPECT_NEAR(colours[GremlinColorType::Yellow], 100, 30);
}

TEST_F(Spawning, TrapSlotsPlaceQueuedTrapsAndCyclingReturnsThem)
{
    GremlinFactory* creatures = AddFactory();
    auto* traps = new GremlinHomeFactory;
    screen->AddObject(traps);
    traps->cycleTraps = true;
    traps->AddZone(std::make_unique<TrapZone>(
        TrapZone{{{GremlinColorType::Green, 100, 100}, {GremlinColorType::Blue, 300, 300}}, false}));
    const TrapZone* zone = traps->zones.front().get();
    traps->QueueNext();
    traps->QueueNext();
    EXPECT_EQ(traps->pending, (std::deque<TrapDefinition>{{GremlinColorType::Green, 100, 100}}));
    EXPECT_EQ(creatures->trapColours.back(), GremlinColorType::Green);
    TrapSlot* first = traps->AddTrapSlot(0.0f);
    TrapSlot* second = traps->AddTrapSlot(0.5f);
    AddTrap(GremlinColorType::Red, {100, 100}); // where the first one is defined

    Steps(1);
    ASSERT_EQ(Live<GremlinHome>(), 2u) << "a slot with time 0 fires at once";
    GremlinHome* green = HeldObject<GremlinHome>::GetAll()[1];
    EXPECT_EQ(green->color, GremlinColorType::Green);
    EXPECT_FALSE(green->Overlaps(*HeldObject<GremlinHome>::GetAll()[0])) << "moved to a free spot";
    EXPECT_EQ(board.calls, std::vector<std::string>{"ClearAround"});
    EXPECT_EQ(traps->pending.front().colour, GremlinColorType::Blue);
    Steps(30);
    EXPECT_EQ(Live<GremlinHome>(), 3u);
    EXPECT_TRUE(traps->pending.empty());
    Steps(100);
    EXPECT_EQ(Live<GremlinHome>(), 3u) << "each slot fired once";
    EXPECT_LT(first->time, 0.0f);

    // The cycling green trap leaves after a capture; the level hands it back to the factory, and
    // its slot places it again after the "cleared" delay.
    GlobalSettings::Instance().trapSpawnDelay = 1.0f;
    green->OnCapture(nullptr);
    traps->OnTrapRemoved(green);
    EXPECT_EQ(traps->pending, (std::deque<TrapDefinition>{{GremlinColorType::Green, 100, 100}}))
        << "back in its zone and queued again";
    Steps(48);
    EXPECT_EQ(Live<GremlinHome>(), 2u);
    Steps(5);
    EXPECT_EQ(Live<GremlinHome>(), 3u);
    EXPECT_EQ(HeldObject<GremlinHome>::GetAll().back()->color, GremlinColorType::Green);
    // Nothing pending: the slot fires, places nothing and stays idle.
    second->SetTime(0.0f);
    Steps(2);
    EXPECT_EQ(Live<GremlinHome>(), 3u);
    EXPECT_LT(second->time, 0.0f);

    traps->cycleTraps = false;
    traps->OnTrapRemoved(HeldObject<GremlinHome>::GetAll().back());
    EXPECT_TRUE(zone->defs.empty()) << "without cycling nothing comes back";
}

TEST_F(Spawning, PickColourWeighsTrapsAndPendingTraps)
{
    auto* traps = new GremlinHomeFactory;
    screen->AddObject(traps);
    EXPECT_EQ(traps->PickColour(), GremlinColorType::Purple) << "nothing on the field or pending";
    AddTrap(GremlinColorType::Red, {100, 100});
    AddTrap(GremlinColorType::Red, {300, 100});
    traps->pending.push_back({GremlinColorType::Blue, 0, 0});
    std::map<GremlinColorType, int> picks;
    for (int i = 0; i < 3000; ++i)
        ++picks[traps->PickColour()];
    EXPECT_EQ(picks.size(), 2u);
    EXPECT_NEAR(picks[GremlinColorType::Red], 2000, 90);
}

TEST_F(Spawning, SludgeZonesSpawnAndEscalateWhileCreaturesLive)
{
    LoadSounds({"SFX_EndlessGunkSpawn"});
    GremlinFactory* creatures = AddFactory(true);
    creatures->settings[Sprite::BasicGreen] = Calm(Sprite::BasicGreen, GremlinColorType::Green);
    creatures->normalZones.push_back(Zone({Sprite::BasicGreen}, {1}));
    creatures->currentZone = creatures->normalZones.back().get();
    auto* generator = new EndlessSludgeGenerator;
    screen->AddObject(generator);
    SludgeZone zone;
    zone.spawnTimer = zone.spawnDelay = 3.0f;
    zone.updateTimer = zone.updateTime = 10.1f;
    zone.delayChange = 1.0f;
    zone.delayMin = 1.0f;
    zone.spawnRadius = 20.0f;
    zone.radiusChange = 15.0f;
    zone.radiusMax = 40.0f;
    zone.spawnDepth = 2;
    zone.x = 200, zone.y = 150; // w = h = 0: exactly there
    generator->zones.push_back(zone);
    generator->zones.push_back(zone);
    generator->zones[1].colorChance = 1.0f;
    generator->zones[1].spawnDepth = 1;

    Steps(500);
    EXPECT_TRUE(board.calls.empty()) << "no creature: the timers stand still";
    (new BasicGremlin(400, 400, creatures->settings[Sprite::BasicGreen]))->AddToScene(*screen, nullptr);
    // A spawn resets its timer to the delay before that step's escalation: spawns at 3, 6, 9 s
    // (radius 20), escalation at 10.1; 12 to 20 every 2 s (35), escalation at 20.2; 22 to 30 (40).
    Steps(1520);
    auto calls = [this](const char* call)
    { return std::count(board.calls.begin(), board.calls.end(), call); };
    EXPECT_EQ(calls("AddGunk 20 200,150 5"), 3 * 2);
    EXPECT_EQ(calls("AddGunk 35 200,150 5"), 5 * 2);
    EXPECT_EQ(calls("AddGunk 40 200,150 5"), 9 * 2);
    EXPECT_EQ(calls("AddGunk 40 200,150 1"), 9) << "the factory's colour";
    EXPECT_EQ(board.calls.size(), 34u + 17u);
    EXPECT_EQ(Played("SFX_EndlessGunkSpawn"), 34u);
    EXPECT_EQ(generator->zones[0].spawnDelay, 1.0f);
}
