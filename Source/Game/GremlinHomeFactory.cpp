#include "Game/GremlinHomeFactory.h"

#include "Base/Random.h"
#include "Framework/ObjectDatabase.h"
#include "Game/GremlinFactory.h"
#include "Game/GremlinHome.h"
#include "Game/GunkBoard.h"
#include "Game/ShuffleWithRand.h"
#include "Game/TutorialBubble.h"
#include "Scene/CurrentScene.h"

#include <algorithm>

TrapSlot::TrapSlot(float initialTime) : time(initialTime) {}

void TrapSlot::Update(float dt)
{
    if (time < 0)
        return;
    time -= dt;
    if (time >= 0)
        return;
    if (auto* factory = Kestrin::FindObjectAs<GremlinHomeFactory>(Kestrin::DatabaseOf(this),
                                                                  GameNames::GremlinHomeFactory))
        factory->CreateHome(this);
}

GremlinHomeFactory::GremlinHomeFactory() = default;

GremlinHomeFactory::~GremlinHomeFactory() = default;

Kestrin::NameId GremlinHomeFactory::GetName() const
{
    return GameNames::GremlinHomeFactory;
}

TrapSlot* GremlinHomeFactory::AddTrapSlot(float initialTime)
{
    auto* slot = new TrapSlot(initialTime);
    if (Kestrin::ObjectDatabase* database = Kestrin::DatabaseOf(this))
        database->AddObject(slot);
    slots.push_back(slot);
    return slot;
}

void GremlinHomeFactory::AddZone(std::unique_ptr<TrapZone> zone)
{
    zones.push_back(std::move(zone));
    ShuffleWithRand(zones.begin(), zones.end());
}

void GremlinHomeFactory::QueueNext()
{
    if (!pending.empty())
        return;
    auto from =
        std::find_if(zones.begin(), zones.end(), [](const auto& zone) { return !zone->defs.empty(); });
    if (from == zones.end())
        return;
    TrapZone* zone = from->get();
    const TrapDefinition next = zone->defs.front();
    zone->defs.pop_front();
    pending.push_back(next);
    if (cycleTraps)
        cycle.push_back({next, zone, nullptr});
    if (auto* creatures =
            Kestrin::FindObjectAs<GremlinFactory>(Kestrin::DatabaseOf(this), GameNames::GremlinFactory))
        creatures->trapColours.push_back(next.colour);
    ShuffleWithRand(zones.begin(), zones.end());
}

GremlinHome* GremlinHomeFactory::CreateHome(TrapSlot* slot)
{
    GremlinHome* trap = nullptr;
    Kestrin::ObjectDatabase* database = Kestrin::DatabaseOf(this);
    if (!pending.empty() && database)
    {
        const TrapDefinition next = pending.front();
        pending.pop_front();
        trap = new GremlinHome(next.colour, {next.x, next.y}, GremlinKind::Any, cycleTraps);
        trap->FindFreeSpot();
        if (slot)
            slot->trapLeaving = trap->leaveSignal.connect([slot](float delay) { slot->SetTime(delay); });
        for (CycleEntry& entry : cycle)
            if (!entry.trap && entry.definition == next)
            {
                entry.trap = trap;
                break;
            }
        // The box is final: no gunk is left where the trap stands.
        Board().ClearAround(*trap);
        trap->AddToScene(*database, FindNodeAtPath(GetCurrentSceneRoot(), NodePath::CreatureLayerNode));
    }
    QueueNext();
    return trap;
}

void GremlinHomeFactory::OnTrapRemoved(GremlinHome* trap)
{
    if (!cycleTraps)
        return;
    auto entry =
        std::find_if(cycle.begin(), cycle.end(), [trap](const CycleEntry& e) { return e.trap == trap; });
    if (entry == cycle.end())
        return;
    TrapZone* zone = entry->zone;
    zone->defs.push_back(entry->definition);
    if (zone->shuffle)
        ShuffleWithRand(zone->defs.begin(), zone->defs.end());
    cycle.erase(entry);
    // With as many slots as definitions nothing else is pending: without this the slot that the
    // trap re-arms would fire on an empty queue and never place a trap again.
    QueueNext();
}

GremlinColorType GremlinHomeFactory::PickColour()
{
    std::vector<GremlinColorType> colours;
    for (const TrapDefinition& definition : pending)
        colours.push_back(definition.colour);
    HeldObject<GremlinHome>::ForEach([&colours](GremlinHome* trap) { colours.push_back(trap->color); });
    if (colours.empty())
        return GremlinColorType::Purple;
    return colours[size_t(Kestrin::RandomInt(0, int(colours.size()) - 1))];
}
