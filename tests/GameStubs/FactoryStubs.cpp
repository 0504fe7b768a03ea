// Stand-ins for the creature and trap factories until they are built: they remember settings and
// make nothing.
#include "Game/GremlinFactory.h"
#include "Game/GremlinHomeFactory.h"

GremlinFactory::GremlinFactory() = default;
GremlinFactory::~GremlinFactory() = default;
Kestrin::NameId GremlinFactory::GetName() const
{
    return GameNames::GremlinFactory;
}
void GremlinFactory::Update(float) {}
void GremlinFactory::SetSpawnParameters(int, float, float, float, float, int, int) {}
void GremlinFactory::AddZone(FactoryZone*, GremlinMetaType) {}
void GremlinFactory::AddTypeRatios(const std::vector<int>&, const std::vector<float>&) {}
void GremlinFactory::StartPlay()
{
    spawning = true;
}
void GremlinFactory::CreatePowerUp(int, const Vector2f&) {}
GremlinColorType GremlinFactory::GetSludgeColor()
{
    return GremlinColorType::Black;
}

GremlinHomeFactory::GremlinHomeFactory() = default;
GremlinHomeFactory::~GremlinHomeFactory() = default;
Kestrin::NameId GremlinHomeFactory::GetName() const
{
    return GameNames::GremlinHomeFactory;
}
TrapSlot* GremlinHomeFactory::AddTrapSlot(float)
{
    return nullptr;
}
void GremlinHomeFactory::AddZone(TrapZone*) {}
void GremlinHomeFactory::QueueNext() {}
void GremlinHomeFactory::OnTrapRemoved(GremlinHome*) {}
GremlinColorType GremlinHomeFactory::PickColour()
{
    return GremlinColorType::Red;
}
