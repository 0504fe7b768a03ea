#include "Game/GremlinFactory.h"

#include "Base/Random.h"
#include "Framework/ObjectDatabase.h"
#include "Game/BasicGremlin.h"
#include "Game/GameLevels.h"
#include "Game/GlobalSettings.h"
#include "Game/Gremlin.h"
#include "Game/GunkBoard.h"
#include "Game/LevelFile.h"
#include "Game/Line.h"
#include "Game/PowerUpGremlin.h"
#include "Game/ShuffleWithRand.h"
#include "Game/TutorialBubble.h"
#include "Scene/CurrentScene.h"

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdint>
#include <stdexcept>
#include <string>

// Only counted here: normal creatures come only while a trap stands.
class GremlinHome;

namespace
{
constexpr size_t kMaxPowerUps = 10;
// A weighted zone may need several draws to give the balanced type; this bounds the search when no
// zone can give it at all (listed only with ratio 0, or only by zones dealing in order).
constexpr size_t kDrawsPerZone = 16;
constexpr float kMinWeight = 0.1f;

template <typename T> void Shuffle(std::deque<T>& items)
{
    ShuffleWithRand(items.begin(), items.end());
}

// Puts a new playfield object into the current screen under the creature layer.
template <typename T> T* Place(T* object, Kestrin::ObjectDatabase* database)
{
    object->FindFreeSpot();
    if (!database)
    {
        delete object;
        return nullptr;
    }
    object->AddToScene(*database, FindNodeAtPath(GetCurrentSceneRoot(), NodePath::CreatureLayerNode));
    return object;
}
} // namespace

CreatureSpriteId FactoryZone::PickType()
{
    if (dealsInOrder || !ratios)
    {
        if (types.empty())
            return CreatureSpriteId::None;
        const CreatureSpriteId front = types.front();
        types.pop_front();
        return front;
    }
    const int index = ratios->Pick();
    return index >= 0 && size_t(index) < types.size() ? types[size_t(index)] : CreatureSpriteId::None;
}

GremlinFactory::GremlinFactory() : GremlinFactory(GameLevels::Instance().endless) {}

GremlinFactory::GremlinFactory(bool endless_) : endless(endless_) {}

GremlinFactory::~GremlinFactory() = default;

Kestrin::NameId GremlinFactory::GetName() const
{
    return GameNames::GremlinFactory;
}

void GremlinFactory::SetSpawnParameters(const CreatureSpawnData& spawn)
{
    numInitialGremlins = spawn.numInitial;
    spawnDelayMin = spawn.delayMin;
    spawnDelayMax = spawn.delayMax;
    subOptimalDelayMin = spawn.subOptimalMin;
    subOptimalDelayMax = spawn.subOptimalMax;
    maxWanderingGremlins = spawn.maxWandering;
    optimalNumGremlins = spawn.optimal;
    spawnTimer = spawn.numInitial < spawn.optimal
                     ? Kestrin::RandomFloat(spawn.subOptimalMin, spawn.subOptimalMax)
                     : Kestrin::RandomFloat(spawn.delayMin, spawn.delayMax);
}

void GremlinFactory::ClearKings()
{
    megaTicSpawnDelayMin = megaTicSpawnDelayMax = FLT_MAX;
    numInitialMegaTics = numMaxMegaTics = 0;
    kingBudget = 0;
    kingTimer = Kestrin::RandomFloat(0.0f, 1.0f) * 0.0f + FLT_MAX;
}

void GremlinFactory::SetKings(const KingSpawnData& kings, bool endlessPlay)
{
    if (kings.kingTypes <= 0)
        return;
    megaTicSpawnDelayMin = kings.megaTicDelayMin;
    megaTicSpawnDelayMax = kings.megaTicDelayMax;
    numInitialMegaTics = kings.numInitialMegaTics;
    numMaxMegaTics = kings.numMaxMegaTics;
    kingBudget = endlessPlay ? INT_MAX : kings.kingTypes;
    kingTimer = Kestrin::RandomFloat(kings.megaTicDelayMin, kings.megaTicDelayMax);
}

void GremlinFactory::SetWaveModifiers(const WaveModifierData& m)
{
    waveSize = waveRemaining = m.waveInitialSize;
    waveSizeChange = m.waveChange;
    waveSizeMax = m.waveMax;
    recoveryTime = m.recoveryTime;
    maxCreaturesChange = m.maxCreaturesChange;
    optimalCreaturesChange = m.optimalChange;
    growthRateChange = m.growthRateChange;
    spawnDelayChange = m.spawnDelayChange;
    maxCreaturesMax = m.maxCreaturesMax;
    optimalCreaturesMax = m.optimalMax;
    growthRateFloor = m.growthRateMin;
    spawnDelayFloor = m.spawnDelayMin;
    maxMegaTicsChange = m.maxMegaTicsChange;
    maxMegaTicsMax = m.maxMegaTicsMax;
    megaTicSpawnDelayChange = m.megaTicSpawnDelayChange;
    megaTicSpawnDelayFloor = m.megaTicSpawnDelayMin;
    endless = GameLevels::Instance().endless;
}

void GremlinFactory::AddZone(std::unique_ptr<FactoryZone> zone, GremlinMetaType metaType)
{
    std::deque<std::unique_ptr<FactoryZone>>* zones = metaType == GremlinMetaType::Normal    ? &normalZones
                                                      : metaType == GremlinMetaType::King    ? &kingZones
                                                      : metaType == GremlinMetaType::PowerUp ? &powerUpZones
                                                                                             : nullptr;
    if (!zones)
        throw std::runtime_error(std::string("GremlinMetaType <") + NameOf(metaType) +
                                 "> not supported by GremlinFactory.");
    // A zone with no type to give is left out: drawn, it would give nothing, and as an endless
    // wave's zone it would stop the waves for good.
    if (zone->types.empty())
        return;
    zones->push_back(std::move(zone));
    Shuffle(*zones);
}

void GremlinFactory::AddTypeRatios(const std::vector<int>& types, const std::vector<float>& ratios)
{
    const size_t count = std::min(types.size(), ratios.size());
    for (size_t i = 0; i < count; ++i)
    {
        ratioMap[CreatureSpriteId(types[i])] += ratios[i];
        totalRatio += int(ratios[i]);
    }
}

void GremlinFactory::StartPlay()
{
    spawning = true;
    CreateInitial(numInitialGremlins);
    if (!kingZones.empty())
        for (int i = 0; i < numInitialMegaTics; ++i)
            CreateKing();
}

const TypeSettings* GremlinFactory::FindSettings(CreatureSpriteId sprite) const
{
    auto it = settings.find(sprite);
    return it == settings.end() ? nullptr : &it->second;
}

std::map<CreatureSpriteId, float> GremlinFactory::BalancedWeights() const
{
    std::map<CreatureSpriteId, int> counts;
    HeldObject<BasicGremlin>::ForEach([&counts](BasicGremlin* creature)
                                      { ++counts[creature->settings.sprite]; });
    const float n = float(HeldObject<BasicGremlin>::Count());
    // Ratios below 1 can truncate to a total of 0: the real sum keeps their proportions.
    float total = float(totalRatio);
    if (totalRatio == 0)
    {
        total = 0.0f;
        for (const auto& [type, ratio] : ratioMap)
            total += std::max(ratio, 0.0f);
    }
    const float factor = GlobalSettings::Instance().ratioEqualityFactor;
    std::map<CreatureSpriteId, float> weights;
    for (const auto& [type, ratio] : ratioMap)
    {
        if (ratio <= 0.0f || total <= 0.0f)
            continue;
        const float desired = ratio / total * n;
        const float weight = desired + (desired - float(counts[type])) * factor;
        weights[type] = std::max(std::min(weight, n), kMinWeight);
    }
    return weights;
}

BasicGremlin* GremlinFactory::CreateNormal()
{
    FactoryZone* zone = nullptr;
    const TypeSettings* chosen = nullptr;
    if (endless)
    {
        if (!currentZone && !normalZones.empty())
        {
            currentZone = normalZones.front().get();
            Shuffle(normalZones);
        }
        zone = currentZone;
        chosen = zone ? FindSettings(zone->PickType()) : nullptr;
    }
    else
    {
        const std::map<CreatureSpriteId, float> weights = BalancedWeights();
        if (weights.empty() || normalZones.empty())
            return nullptr;
        std::vector<CreatureSpriteId> types;
        std::vector<float> values;
        for (const auto& [type, weight] : weights)
        {
            types.push_back(type);
            values.push_back(weight);
        }
        const int picked = RatioRandom(values).Pick();
        const CreatureSpriteId wanted = types[size_t(std::clamp(picked, 0, int(types.size()) - 1))];
        // Until a zone gives the balanced type; after the bound, the last draw that has settings.
        // A zone dealing in order gives its type up with every draw, so it is drawn once at most:
        // a search it cannot help would otherwise throw its types away.
        const auto dealing = [](const FactoryZone& z) { return z.dealsInOrder || !z.ratios; };
        const size_t inOrder = size_t(std::count_if(normalZones.begin(), normalZones.end(),
                                                    [&dealing](const auto& z) { return dealing(*z); }));
        const size_t draws = kDrawsPerZone * normalZones.size();
        std::vector<const FactoryZone*> dealt;
        for (size_t i = 0; i < draws; ++i)
        {
            if (inOrder == normalZones.size() && dealt.size() == inOrder)
                break;
            FactoryZone* drawn = normalZones.front().get();
            Shuffle(normalZones);
            if (dealing(*drawn))
            {
                if (std::find(dealt.begin(), dealt.end(), drawn) != dealt.end())
                    continue;
                dealt.push_back(drawn);
            }
            const CreatureSpriteId type = drawn->PickType();
            if (const TypeSettings* found = FindSettings(type))
            {
                zone = drawn;
                chosen = found;
                if (found->sprite == wanted)
                    break;
            }
        }
    }
    if (!zone || !chosen)
        return nullptr;
    const float x = Kestrin::RandomFloat(zone->x, zone->x + zone->w);
    const float y = Kestrin::RandomFloat(zone->y, zone->y + zone->h);
    if (unifyTimer > 0)
        if (const TypeSettings* unified = FindSettings(unifySprite))
            chosen = unified;
    auto* creature = new BasicGremlin(x, y, *chosen);
    creature->colorConnection =
        colorSignal.connect([creature](GremlinColorType colour) { creature->RemoveIfColor(colour); });
    creature = Place(creature, Kestrin::DatabaseOf(this));
    if (creature && endless)
        --waveRemaining;
    return creature;
}

void GremlinFactory::CreateInitial(int count)
{
    const int missing = count - int(HeldObject<BasicGremlin>::Count());
    for (int i = 0; i < missing; ++i)
        CreateNormal();
}

GremlinKing* GremlinFactory::CreateKing()
{
    if (kingZones.empty())
        return nullptr;
    FactoryZone* zone = kingZones.front().get();
    const CreatureSpriteId type = zone->PickType();
    Shuffle(kingZones);
    const TypeSettings* found = FindSettings(type);
    if (!found)
        return nullptr;
    const float x = Kestrin::RandomFloat(zone->x, zone->x + zone->w);
    const float y = Kestrin::RandomFloat(zone->y, zone->y + zone->h);
    GremlinKing* king = Place(new GremlinKing(x, y, *found), Kestrin::DatabaseOf(this));
    if (king)
        --kingBudget;
    return king;
}

void GremlinFactory::CreatePowerUp(int count, const Vector2f& position)
{
    if (powerUpZones.empty() || HeldObject<PowerUpGremlin>::Count() >= kMaxPowerUps)
        return;
    for (int i = 0; i < count; ++i)
    {
        FactoryZone* zone = powerUpZones.front().get();
        Shuffle(powerUpZones);
        CreatureSpriteId type = zone->PickType();
        if (type == CreatureSpriteId::None)
            break;
        if (type == CreatureSpriteId::Bomb && HeldObject<GremlinKing>::Count() == 0)
            type = CreatureSpriteId::Freeze;
        if (type == CreatureSpriteId::DeepClean && !spawning)
            type = CreatureSpriteId::Freeze;
        const TypeSettings* found = FindSettings(type);
        if (!found)
            continue;
        auto* powerUp = new PowerUpGremlin(position.x, position.y, *found);
        powerUp->FindFreeSpot();
        powerUp->Enter();
        Kestrin::ObjectDatabase* database = Kestrin::DatabaseOf(this);
        if (!database)
        {
            delete powerUp;
            return;
        }
        powerUp->AddToScene(*database, FindNodeAtPath(GetCurrentSceneRoot(), NodePath::CreatureLayerNode));
    }
}

namespace
{
// A level file may write any change; the counts stop at int's range rather than wrap.
int AddSaturated(int count, int change)
{
    return int(std::clamp<int64_t>(int64_t(count) + change, INT_MIN, INT_MAX));
}
} // namespace

void GremlinFactory::NextWave()
{
    maxWanderingGremlins = std::min(AddSaturated(maxWanderingGremlins, maxCreaturesChange), maxCreaturesMax);
    optimalNumGremlins =
        std::min(AddSaturated(optimalNumGremlins, optimalCreaturesChange), optimalCreaturesMax);
    for (auto& [type, s] : settings)
        for (float* value : {&s.explode0Min, &s.explode0Max, &s.explode1Min, &s.explode1Max, &s.explode2Min,
                             &s.explode2Max, &s.explodeEndMin, &s.explodeEndMax})
            *value = std::max(*value + growthRateChange, growthRateFloor);
    for (float* delay : {&spawnDelayMin, &spawnDelayMax, &subOptimalDelayMin, &subOptimalDelayMax})
        *delay = std::max(*delay + spawnDelayChange, spawnDelayFloor);
    maxMegaTicsGrowth += maxMegaTicsChange;
    if (maxMegaTicsGrowth > 1.0f)
    {
        maxMegaTicsGrowth = 0.0f;
        ++numMaxMegaTics;
    }
    numMaxMegaTics = std::min(numMaxMegaTics, maxMegaTicsMax);
    megaTicSpawnDelayMin = std::max(megaTicSpawnDelayMin + megaTicSpawnDelayChange, megaTicSpawnDelayFloor);
    megaTicSpawnDelayMax = std::max(megaTicSpawnDelayMax + megaTicSpawnDelayChange, megaTicSpawnDelayFloor);
    waveSize = std::min(AddSaturated(waveSize, waveSizeChange), waveSizeMax);
    waveRemaining = waveSize;
    if (!normalZones.empty())
    {
        currentZone = normalZones[size_t(Kestrin::RandomInt(0, int(normalZones.size()) - 1))].get();
    }
}

GremlinColorType GremlinFactory::GetSludgeColor()
{
    if (!currentZone)
        return GremlinColorType::Black;
    const TypeSettings* found = FindSettings(currentZone->PickType());
    if (!found || found->color == GremlinColorType::Any)
        return GremlinColorType::Black;
    return found->color;
}

void GremlinFactory::Update(float dt)
{
    if (unifyTimer > 0)
        unifyTimer -= dt;
    if (kingCheckPending)
    {
        // A dying king stays registered until its death effect has gone: it no longer counts.
        bool kingAlive = false;
        HeldObject<GremlinKing>::ForEach([&kingAlive](GremlinKing* king) { kingAlive |= king->HasHealth(); });
        if (!kingAlive && kingBudget <= 0)
            Board().CheckCleared();
        kingCheckPending = false;
    }
    if (!spawning)
        return;
    if (spawnPause >= 0)
    {
        spawnPause -= dt;
        return;
    }
    if (endless)
    {
        if (wavePause > 0)
        {
            wavePause -= dt;
            if (HeldObject<BasicGremlin>::Count() == 0)
                wavePause = 0;
            return;
        }
        if (waveRemaining <= 0)
        {
            wavePause = recoveryTime;
            NextWave();
        }
    }
    if (int(HeldObject<GremlinKing>::Count()) < numMaxMegaTics && kingBudget > 0)
    {
        kingTimer -= dt;
        if (kingTimer <= 0)
            if (GremlinKing* king = CreateKing())
            {
                king->Enter();
                kingTimer = Kestrin::RandomFloat(megaTicSpawnDelayMin, megaTicSpawnDelayMax);
            }
    }
    // Creatures a finished loop is hauling no longer wander; those of a line still drawn do.
    int heldByLines = 0;
    HeldObject<Line>::ForEach(
        [&heldByLines](Line* line)
        {
            if (!line->drawing && !line->retracting)
                heldByLines += line->mostHeld;
        });
    const int wandering = std::max(int(HeldObject<BasicGremlin>::Count()) - heldByLines, 0);
    if (wandering < maxWanderingGremlins)
    {
        spawnTimer -= dt;
        if (spawnTimer <= 0 && HeldObject<GremlinHome>::Count() > 0)
        {
            if (BasicGremlin* creature = CreateNormal())
                creature->Enter();
            spawnTimer = wandering < optimalNumGremlins
                             ? Kestrin::RandomFloat(subOptimalDelayMin, subOptimalDelayMax)
                             : Kestrin::RandomFloat(spawnDelayMin, spawnDelayMax);
        }
    }
}
