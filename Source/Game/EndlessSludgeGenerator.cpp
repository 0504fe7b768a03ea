#include "Game/EndlessSludgeGenerator.h"

#include "Base/Random.h"
#include "Framework/Audio.h"
#include "Framework/ObjectDatabase.h"
#include "Game/BasicGremlin.h"
#include "Game/GremlinFactory.h"
#include "Game/GunkBoard.h"

#include <algorithm>

Kestrin::NameId EndlessSludgeGenerator::GetName() const
{
    return GameNames::EndlessSludgeGenerator;
}

void EndlessSludgeGenerator::Update(float dt)
{
    if (HeldObject<BasicGremlin>::Count() == 0)
        return;
    Kestrin::ObjectDatabase* database = Kestrin::DatabaseOf(this);
    for (SludgeZone& zone : zones)
    {
        zone.spawnTimer -= dt;
        if (zone.spawnTimer <= 0)
        {
            const float u1 = Kestrin::RandomFloat(0.0f, 1.0f);
            const float u2 = Kestrin::RandomFloat(0.0f, 1.0f);
            const float u3 = Kestrin::RandomFloat(0.0f, 1.0f);
            const float px = float(zone.x) + u1 * float(zone.w);
            const float py = float(zone.y) + u2 * float(zone.h);
            GremlinColorType colour = GremlinColorType::Black;
            if (u3 < zone.colorChance)
                if (auto* creatures =
                        Kestrin::FindObjectAs<GremlinFactory>(database, GameNames::GremlinFactory))
                    colour = creatures->GetSludgeColor();
            for (int i = 0; i < zone.spawnDepth; ++i)
                Board().AddGunk(int(zone.spawnRadius), int(px), int(py), int(colour));
            Kestrin::PlaySoundById(GameNames::EndlessGunkSpawnSound);
            zone.spawnTimer = zone.spawnDelay;
        }
        zone.updateTimer -= dt;
        if (zone.updateTimer <= 0)
        {
            zone.spawnDelay = std::max(zone.spawnDelay - zone.delayChange, zone.delayMin);
            zone.spawnRadius = std::min(zone.spawnRadius + zone.radiusChange, zone.radiusMax);
            zone.updateTimer = zone.updateTime;
        }
    }
}
