#pragma once
// Endless mode's gunk wells: rectangles of the playfield that spawn gunk at intervals, more often
// and in wider circles as time goes on. Runs only while a basic creature is on the field.
#include "Framework/Object.h"

#include <deque>

// One "EndlessSludgeZone" of the level file.
struct SludgeZone
{
    float spawnTimer = 0.0f; // starts at spawnDelay
    float spawnDelay = 0.0f;
    float updateTimer = 0.0f; // starts at updateTime
    float updateTime = 0.0f;
    float spawnRadius = 0.0f;
    int spawnDepth = 0;
    int x = 0, y = 0, w = 0, h = 0;
    float delayChange = 0.0f;
    float delayMin = 0.0f;
    float radiusChange = 0.0f;
    float radiusMax = 0.0f;
    // The chance that a spawn takes a creature colour instead of black.
    float colorChance = 0.0f;
};

class EndlessSludgeGenerator : public Kestrin::Object
{
public:
    Kestrin::NameId GetName() const override;
    void Update(float dt) override;

    std::deque<SludgeZone> zones;
};
