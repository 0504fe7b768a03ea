#include "Game/LevelOutcome.h"

#include "Base/Log.h"

namespace
{
LevelOutcomeHooks& Hooks()
{
    static LevelOutcomeHooks hooks;
    return hooks;
}
} // namespace

void SetLevelOutcomeHooks(LevelOutcomeHooks hooks)
{
    Hooks() = std::move(hooks);
}

const LevelOutcomeHooks& GetLevelOutcomeHooks()
{
    return Hooks();
}

void ReportLevelSuccess(bool expert, int playerTime, int expertTime)
{
    if (Hooks().success)
        Hooks().success(expert, playerTime, expertTime);
    else
        Kestrin::LogPrintf("Level won in %d s (expert time %d s) with no outro to show it.\n", playerTime,
                           expertTime);
}

void ReportLevelFailure(const std::wstring& reason, int value)
{
    if (Hooks().failure)
        Hooks().failure(reason, value);
    else
        Kestrin::LogPrintf("Level lost (%ls, %d) with no outro to show it.\n", reason.c_str(), value);
}
