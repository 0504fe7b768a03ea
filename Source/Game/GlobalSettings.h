#pragma once
// Tuning that is the same for every level, read once at start-up from "GlobalSettings.xml".
#include "Base/FileSpec.h"

#include <array>
#include <vector>

struct MegaTicDamageShrinkEntry
{
    int damage = 0;
    int shrink = 0;
};
struct PosiTicSpearValueEntry
{
    int speared = 0;
    int positics = 0; // a number of power-up creatures
};
struct PosiTicSurchargeEntry
{
    int current = 0; // power-up creatures alive
    int surcharge = 0;
};

class GlobalSettings
{
public:
    static GlobalSettings& Instance();

    static Kestrin::FileSpec File()
    {
        return Kestrin::FileSpec::FromNameAndExtension(L"GlobalSettings", L".xml");
    }

    // Reads the file behind the guard: a failure is reported with the caption
    // "There was an error loading GlobalSettings.xml file."; what was read before it stays in
    // effect, everything after it keeps its earlier value. False on failure.
    bool Load(const Kestrin::FileSpec& file = File());
    // The same without the guard: throws at the first element or attribute that fails.
    void Read(const Kestrin::FileSpec& file = File());

    // Power-up creatures a loop of `value` speared creatures earns while `alive` power-ups exist:
    // the surcharge of the last "current" entry not above alive, then the "positics" of the last
    // "speared" entry not above value minus that surcharge. Each walk stops at the first entry
    // above; 0 when none applies.
    int LookupPosiTics(int value, int alive) const;

    float trapSpawnDelay = 0.0f;
    float ratioEqualityFactor = 0.0f;
    std::vector<MegaTicDamageShrinkEntry> megaTicDamageShrink;
    std::vector<PosiTicSpearValueEntry> posiTicSpearValue;
    std::vector<PosiTicSurchargeEntry> posiTicSurcharge;

    // Line following.
    float BaseFollowLineSpeed = 0.0f;
    float PerGremlinSpeedMultiplier = 0.0f;
    float PerGemSpeedMultiplier = 0.0f;
    float BaseFollowUpLineSpeed = 0.0f;
    float PerGremlinUpLineSpeedMultiplier = 0.0f;
    // Lines: milliseconds between trap clicks, compared unsigned; the chain length (in 20-px
    // segments, minus 4 px) within which a line ignores itself; the routing cost limit factor; the
    // longest line in segments (-1 when the file sets none).
    int clickTime = 0;
    float selfIgnore = 0.0f;
    float wrapMax = 0.0f;
    float maxLength = 100.0f;
    float minTrapDistanceSquared = 0.0f;
    // Creatures.
    float fadeInTime = 1.5f;
    float slowdownMultipler = 0.5f;
    float slowDownMinValue = 0.125f;
    std::array<float, 6> creatureSizeScales = {1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f};
    std::array<float, 6> megaTicSizeScales = {1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f};
};
