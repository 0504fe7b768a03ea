#pragma once
// A game screen's playfield for the creature and spawning tests: the creature layer, a quadtree, a
// fake level and gunk board, a seeded stream and shuffle, recorded sounds, and quick creature tunings.
#include "Base/Random.h"
#include "Framework/Audio.h"
#include "Game/BasicGremlin.h"
#include "Game/CollisionQuadTree.h"
#include "Game/GlobalSettings.h"
#include "Game/GremlinFactory.h"
#include "Game/GremlinHome.h"
#include "Game/GremlinHomeFactory.h"
#include "Game/PowerUpGremlin.h"
#include "Game/ShuffleWithRand.h"

#include "GameStubs/GameFakes.h"
#include "PlayfieldTestSupport.h"
#include "Support/RecordedSounds.h"

#include <algorithm>
#include <string>
#include <vector>

namespace GameTest
{

// Slow to age (nothing explodes), walking 20 to 40 px at 50 to 60 px/s.
inline TypeSettings Calm(CreatureSpriteId sprite, GremlinColorType color,
                         GremlinKind kind = GremlinKind::Basic)
{
    TypeSettings s;
    s.sprite = sprite;
    s.color = color;
    s.behavior = kind;
    s.explode0Min = s.explode0Max = s.explode1Min = s.explode1Max = 1000.0f;
    s.explode2Min = s.explode2Max = s.explodeEndMin = s.explodeEndMax = 1000.0f;
    s.maxMoveSpeed = 200.0f;
    s.randomWalkSpeedMin = 50.0f;
    s.randomWalkSpeedMax = 60.0f;
    s.randomWalkLengthMin = 20.0f;
    s.randomWalkLengthMax = 40.0f;
    return s;
}

// Without ratios the zone deals its types in order.
inline std::unique_ptr<FactoryZone> Zone(std::vector<CreatureSpriteId> types, std::vector<float> ratios = {},
                                         float x = 100, float y = 100, float w = 500, float h = 300)
{
    auto zone = std::make_unique<FactoryZone>();
    zone->x = x, zone->y = y, zone->w = w, zone->h = h;
    zone->types.assign(types.begin(), types.end());
    zone->dealsInOrder = ratios.empty();
    if (!ratios.empty())
        zone->ratios = std::make_unique<RatioRandom>(ratios);
    return zone;
}

class FieldTest : public PlayfieldTest
{
protected:
    FieldTest() : PlayfieldTest({.paths = {NodePath::CreatureLayerNode}, .collisionTree = true})
    {
        Kestrin::ResourceManager::Instance()->RegisterFactory(L"testsound", new SceneTest::TestSoundFactory);
        looper->PushModeNow(screen);
        screen->AddObject(level);
        GlobalSettings::Instance().fadeInTime = 0.5f;
        GlobalSettings::Instance().ratioEqualityFactor = 1.0f;
        SetShuffleRandomSource(ShuffleLcg(7));
    }
    ~FieldTest() override
    {
        SetShuffleRandomSource({});
        looper.reset();
    }

    // Loads sounds of these names, so that playing them is recorded.
    void LoadSounds(const std::vector<std::string>& names)
    {
        std::string xml = "<resources>";
        for (const std::string& name : names)
            xml += "<testsound name=\"" + name + "\"/>";
        xml += "</resources>";
        Kestrin::MemoryStream stream(L"Sounds", xml.data(), uint32_t(xml.size()));
        Kestrin::ResourceManager::Instance()->Load(L"Sounds", &stream, nullptr);
    }
    GremlinFactory* AddFactory(bool endless = false)
    {
        auto* factory = new GremlinFactory(endless);
        screen->AddObject(factory);
        return factory;
    }
    GremlinHome* AddTrap(GremlinColorType colour, Vector2f corner = {700, 500})
    {
        auto* trap = new GremlinHome(colour, corner, GremlinKind::Any, false);
        trap->AddToScene(*screen, nullptr);
        return trap;
    }
    template <typename T> static size_t Live() { return HeldObject<T>::Count(); }
    size_t Played(const std::string& name) const
    {
        return size_t(std::count(played.begin(), played.end(), name));
    }

    std::vector<std::string> played;
    KestrinTest::RecordedSounds recorded{played};
    BoostRandomNumberStream random{20261210};
    Kestrin::ScopedRandomStream scopedRandom{&random};
    FakeGunkBoard board;
    ScopedGunkBoard scopedBoard{board};
    FakeLevel* level = new FakeLevel;
};

} // namespace GameTest
