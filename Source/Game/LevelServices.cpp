#include "Game/LevelServices.h"

#include "Framework/Object.h"
#include "Framework/ObjectDatabase.h"
#include "Game/PathSolver.h"

namespace
{
// Nodes per block: a route within the line's limit seldom needs a second.
constexpr unsigned RouteSolverBlock = 250;
} // namespace

LevelServices::LevelServices() = default;

LevelServices::~LevelServices() = default;

micropather::PathSolver& LevelServices::RouteSolver()
{
    micropather::Graph* graph = &PathGraph();
    if (m_routeSolver && m_routeSolver->GetGraph() == graph)
        m_routeSolver->Reset();
    else
        m_routeSolver = std::make_unique<micropather::PathSolver>(graph, RouteSolverBlock);
    return *m_routeSolver;
}

LevelServices* FindLevel()
{
    return FindLevel(Kestrin::GetCurrentObjectDatabase());
}

LevelServices* FindLevel(Kestrin::ObjectDatabase* database)
{
    if (!database)
        return nullptr;
    return dynamic_cast<LevelServices*>(database->FindObject(GameNames::NimbalLevel));
}
