#pragma once
// The trap factory of a level: trap slots, the zones of trap definitions and the pending trap.
// Found under the name "GremlinHomeFactory".
#include "Framework/Object.h"
#include "Game/PlayfieldTypes.h"

class GremlinHome;
class TrapSlot;
struct TrapZone;

class GremlinHomeFactory : public Kestrin::Object
{
public:
    GremlinHomeFactory();
    ~GremlinHomeFactory() override;

    Kestrin::NameId GetName() const override;

    // A slot that opens after initialTime, registered in the current screen.
    TrapSlot* AddTrapSlot(float initialTime);
    // Takes the zone.
    void AddZone(TrapZone* zone);
    // Moves the next trap definition into the pending queue when it is empty.
    void QueueNext();
    // A trap went: with cycling on, its definition goes back to its zone.
    void OnTrapRemoved(GremlinHome* trap);
    // The colour for a new creature, from the traps on the playfield.
    GremlinColorType PickColour();

    bool cycleTraps = false;
};
