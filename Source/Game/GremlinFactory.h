#pragma once
// The creature factory of a level: spawn zones by meta type, the weighted type table, the spawn
// timers and the power-ups a loop or a king earns. Found under the name "GremlinFactory".
#include "Framework/Object.h"
#include "Game/CreatureSettings.h"
#include "Game/PlayfieldTypes.h"

#include <vector>

struct FactoryZone;

class GremlinFactory : public Kestrin::Object
{
public:
    GremlinFactory();
    ~GremlinFactory() override;

    Kestrin::NameId GetName() const override;
    void Update(float dt) override;

    void SetSpawnParameters(int numInitial, float delayMin, float delayMax, float subMin, float subMax,
                            int maxWandering, int optimal);
    // Takes the zone; a meta type other than Normal, King or PowerUp throws
    // "GremlinMetaType <name> not supported by GremlinFactory.".
    void AddZone(FactoryZone* zone, GremlinMetaType metaType);
    void AddTypeRatios(const std::vector<int>& types, const std::vector<float>& ratios);
    // Sets spawning and makes the initial creatures and kings.
    void StartPlay();
    // Up to count power-up creatures of the PowerUp zones' types at the position.
    void CreatePowerUp(int count, const Vector2f& position);
    GremlinColorType GetSludgeColor();

    // Set by the level and the level file.
    bool spawning = false;
    float spawnPause = 0.0f;
    int kingBudget = 0;
    CreatureSettingsMap settings;
};
