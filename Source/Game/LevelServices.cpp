#include "Game/LevelServices.h"

#include "Framework/Object.h"
#include "Framework/ObjectDatabase.h"

LevelServices* FindLevel()
{
    Kestrin::ObjectDatabase* database = Kestrin::GetCurrentObjectDatabase();
    if (!database)
        return nullptr;
    return dynamic_cast<LevelServices*>(database->FindObject(GameNames::NimbalLevel));
}
