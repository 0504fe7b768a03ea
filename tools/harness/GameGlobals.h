#pragma once
// What the gameplay and the screens keep in globals, saved when a test (or a played level) begins and
// put back when it ends. A fixture makes it first, so that it goes after all the fixture took down.
#include "Framework/AccountManager.h"
#include "Game/GameClock.h"
#include "Game/GameLevels.h"
#include "Game/GlobalSettings.h"
#include "Game/Gremlin.h"
#include "Game/LevelOutcome.h"
#include "Game/Line.h"
#include "Game/TutorialManager.h"

#include <optional>
#include <string>
#include <tuple>

namespace KestrinTest
{

class SavedGameGlobals
{
public:
    SavedGameGlobals()
    {
        // The level by name: the test may read the list again, and the old records go with it.
        if (const LevelRecord* level = GameLevels::Instance().current)
            m_level = level->name;
        if (const Kestrin::Account* account = m_accounts ? m_accounts->GetCurrentAccount() : nullptr)
            m_account = account->GetName();
    }
    ~SavedGameGlobals()
    {
        std::tie(g_creatureTimeScale, explodeColors, g_holdCreatureAlpha, Line::debugDraw) = m_flags;
        SetLastTrapClickTime(m_lastTrapClick);
        GlobalSettings::Instance() = m_tuning;
        SetLevelOutcomeHooks(m_outcomeHooks);
        TutorialManager::Instance() = m_tutorials;
        GameLevels& levels = GameLevels::Instance();
        levels.current = m_level ? levels.Find(*m_level) : nullptr;
        levels.endless = m_endless;
        // Only in the store it was read from: a store the test made is the test's to delete.
        Kestrin::AccountManager* accounts = Kestrin::AccountManager::Existing();
        const Kestrin::Account* current = accounts ? accounts->GetCurrentAccount() : nullptr;
        if (accounts && accounts == m_accounts && m_account && (!current || current->GetName() != *m_account))
            accounts->SetCurrentAccount(*m_account);
    }

private:
    const std::tuple<float, bool, bool, bool> m_flags{g_creatureTimeScale, explodeColors, g_holdCreatureAlpha,
                                                      Line::debugDraw};
    const uint32_t m_lastTrapClick = GetLastTrapClickTime();
    const GlobalSettings m_tuning = GlobalSettings::Instance();
    const LevelOutcomeHooks m_outcomeHooks = GetLevelOutcomeHooks();
    const TutorialManager m_tutorials = TutorialManager::Instance();
    const bool m_endless = GameLevels::Instance().endless;
    Kestrin::AccountManager* const m_accounts = Kestrin::AccountManager::Existing();
    std::optional<std::string> m_level;
    std::optional<std::wstring> m_account;
};

} // namespace KestrinTest
