#pragma once
// The creature factory of a level: spawn zones by meta type, the weighted type table, the spawn
// timers and the power-ups a loop or a king earns. Found under the name "GremlinFactory".
#include "Framework/Object.h"
#include "Framework/Tasks.h"
#include "Game/CreatureSettings.h"
#include "Game/PlayfieldTypes.h"

#include <boost/signals2/signal.hpp>

#include <cfloat>
#include <climits>
#include <deque>
#include <map>
#include <memory>
#include <vector>

class BasicGremlin;
class GremlinKing;
struct CreatureSpawnData;
struct KingSpawnData;
struct WaveModifierData;

// One "FactoryZone" of the level file: a spawn rectangle and the sprite types it gives.
struct FactoryZone
{
    float x = 0.0f, y = 0.0f, w = 0.0f, h = 0.0f;
    std::deque<CreatureSpriteId> types;
    // Over the types' ratios; null when the zone deals its types in order.
    std::unique_ptr<RatioRandom> ratios;
    bool dealsInOrder = false;

    // In order: the front type, taken (None once used up). Else a weighted pick that stays; None
    // when the pick finds nothing.
    CreatureSpriteId PickType();
};

class GremlinFactory : public Kestrin::Object
{
public:
    // Takes the endless flag from the level catalogue.
    GremlinFactory();
    explicit GremlinFactory(bool endless);
    ~GremlinFactory() override;

    Kestrin::NameId GetName() const override;
    void Update(float dt) override;

    // Draws the first spawn timer from the sub-optimal range while numInitial < optimal.
    void SetSpawnParameters(const CreatureSpawnData& spawn);
    // No kings. The timer still takes a draw, so the draws after it stay where they were.
    void ClearKings();
    // The kings of a level whose King zones name types (nothing otherwise): endless play has no
    // budget; the first king's timer is drawn from the delay range.
    void SetKings(const KingSpawnData& kings, bool endlessPlay);
    // The endless waves: their size and pause, and the growth per wave; re-reads the catalogue's
    // endless flag.
    void SetWaveModifiers(const WaveModifierData& modifiers);
    // Takes the zone; a meta type other than Normal, King or PowerUp throws
    // "GremlinMetaType <name> not supported by GremlinFactory." (the zone goes). A zone that
    // names no type goes too: no creature or wave is drawn from it.
    void AddZone(std::unique_ptr<FactoryZone> zone, GremlinMetaType metaType);
    void AddTypeRatios(const std::vector<int>& types, const std::vector<float>& ratios);
    // Sets spawning and makes the initial creatures and kings.
    void StartPlay();
    // A normal creature of a balanced type from the zones; null when no zone gives one with settings.
    BasicGremlin* CreateNormal();
    void CreateInitial(int count);
    // Null when the King zones are used up or missing.
    GremlinKing* CreateKing();
    // Up to count power-up creatures of the PowerUp zones' types at the position.
    void CreatePowerUp(int count, const Vector2f& position);
    // Endless: the next, larger wave.
    void NextWave();
    GremlinColorType GetSludgeColor();
    // The settings of a sprite type; null when the creature settings have none.
    const TypeSettings* FindSettings(CreatureSpriteId sprite) const;
    // The weights the balanced pick uses, by sprite type (types whose ratio sums to 0 or less are
    // left out).
    std::map<CreatureSpriteId, float> BalancedWeights() const;

    bool endless = false;
    // Endless growth per wave.
    int maxCreaturesChange = 0;
    int optimalCreaturesChange = 0;
    float growthRateChange = 0.0f;
    float spawnDelayChange = 0.0f;
    int waveSizeChange = 0;
    int maxCreaturesMax = INT_MAX;
    int optimalCreaturesMax = INT_MAX;
    float growthRateFloor = 0.0f;
    float spawnDelayFloor = 0.0f;
    int waveSizeMax = INT_MAX;
    float maxMegaTicsChange = 0.0f;
    float megaTicSpawnDelayChange = 0.0f;
    int maxMegaTicsMax = 0;
    float megaTicSpawnDelayFloor = 0.0f;
    float maxMegaTicsGrowth = 0.0f;
    int waveRemaining = 0;
    int waveSize = 0;
    float wavePause = 0.0f;
    float recoveryTime = 0.0f;

    // While above 0, new normal creatures take unifySprite's settings.
    float unifyTimer = 0.0f;
    CreatureSpriteId unifySprite = CreatureSpriteId::None;
    bool kingCheckPending = false;
    int totalRatio = 0;
    std::map<CreatureSpriteId, float> ratioMap;
    // Every normal creature removes itself when this names its colour. Nothing emits it yet.
    boost::signals2::signal<void(GremlinColorType)> colorSignal;

    // Set by the level and the level file.
    bool spawning = false;
    float spawnPause = 0.0f;
    float spawnTimer = 0.0f;
    float spawnDelayMin = 0.0f;
    float spawnDelayMax = 0.0f;
    float subOptimalDelayMin = 0.0f;
    float subOptimalDelayMax = 0.0f;
    int numInitialGremlins = 0;
    int optimalNumGremlins = 0;
    int maxWanderingGremlins = 0;
    // Endless: the Normal zone of the current wave.
    FactoryZone* currentZone = nullptr;
    // The colours of the traps queued so far, after Black and Any.
    std::deque<GremlinColorType> trapColours{GremlinColorType::Black, GremlinColorType::Any};
    float kingTimer = FLT_MAX;
    float megaTicSpawnDelayMin = FLT_MAX;
    float megaTicSpawnDelayMax = FLT_MAX;
    int numInitialMegaTics = 0;
    int numMaxMegaTics = 0;
    // Kings still allowed.
    int kingBudget = 0;
    CreatureSettingsMap settings;

    std::deque<std::unique_ptr<FactoryZone>> normalZones;
    std::deque<std::unique_ptr<FactoryZone>> kingZones;
    std::deque<std::unique_ptr<FactoryZone>> powerUpZones;
};
