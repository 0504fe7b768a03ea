#pragma once
// The trap factory of a level: trap slots, the zones of trap definitions and the pending trap.
// Found under the name "GremlinHomeFactory".
#include "Framework/Object.h"
#include "Game/PlayfieldTypes.h"

#include <boost/signals2/connection.hpp>

#include <deque>
#include <memory>
#include <vector>

class GremlinHome;

// One "TrapType": x, y is the top-left corner of the trap's box.
struct TrapDefinition
{
    GremlinColorType colour = GremlinColorType::Red;
    float x = 0.0f;
    float y = 0.0f;
    bool operator==(const TrapDefinition&) const = default;
};

// One "FactoryZone" of trap definitions, handed out front first.
struct TrapZone
{
    std::deque<TrapDefinition> defs;
    bool shuffle = false;
};

// Places the next trap when its time runs out, then idles until its trap leaves and sets the time
// again.
class TrapSlot : public Kestrin::Object
{
public:
    explicit TrapSlot(float initialTime);

    void Update(float dt) override;
    void SetTime(float seconds) { time = seconds; }

    // Below 0 while idle.
    float time;
    boost::signals2::scoped_connection trapLeaving;
};

class GremlinHomeFactory : public Kestrin::Object
{
public:
    GremlinHomeFactory();
    ~GremlinHomeFactory() override;

    Kestrin::NameId GetName() const override;

    // A slot that opens after initialTime, registered in the current screen.
    TrapSlot* AddTrapSlot(float initialTime);
    // Takes the zone and reshuffles the zones.
    void AddZone(std::unique_ptr<TrapZone> zone);
    // Moves the next trap definition into the pending queue when it is empty.
    void QueueNext();
    // Places the pending trap for the slot (nothing when none is pending), then queues the next.
    GremlinHome* CreateHome(TrapSlot* slot);
    // A trap went: with cycling on, its definition goes back to its zone.
    void OnTrapRemoved(GremlinHome* trap);
    // The colour for a new creature, from the traps on the playfield and those pending.
    GremlinColorType PickColour();

    bool cycleTraps = false;
    std::deque<TrapDefinition> pending;
    std::deque<std::unique_ptr<TrapZone>> zones;
    // The slots made here; the screen's database owns them.
    std::vector<TrapSlot*> slots;

    // A definition handed out while cycling, to go back to its zone when its trap leaves.
    struct CycleEntry
    {
        TrapDefinition definition;
        TrapZone* zone = nullptr;
        GremlinHome* trap = nullptr; // once placed
    };
    std::deque<CycleEntry> cycle;
};
