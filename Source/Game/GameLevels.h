#pragma once
// The level catalogue: the campaign's levels in calendar order, the endless levels, the level
// being played and the current player's progress (kept in the player's account).
#include "Base/FileSpec.h"
#include "Game/GameConstants.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace Kestrin
{
class Account;
}

struct LevelRecord
{
    std::string name;       // also the stem of the level's file names
    std::wstring unlock;    // the encyclopedia kind completing it unlocks; empty for none
    bool firstAppt = false; // the guest's first appointment
    GuestID guest = GuestID::None;
    int dayNum = 0; // the Day's number on a Day's last level, else 0
    bool unlockedNext = true;
    LevelCompletionStatus status = LevelCompletionStatus::Locked;
};

class GameLevels
{
public:
    // The catalogue; the first call reads the level list and the current player's progress. A list
    // that is missing or fails to read is logged and leaves the catalogue empty.
    static GameLevels& Instance();

    static Kestrin::FileSpec File()
    {
        return Kestrin::FileSpec::FromNameAndExtension(L"GameLevels", L".xml");
    }

    GameLevels() = default;
    GameLevels(const GameLevels&) = delete;
    GameLevels& operator=(const GameLevels&) = delete;

    // Reads the list afresh; errors of the file pass out. The current level is found again by its
    // name afterwards (none when the new list lacks it); `endless` stays as it is.
    void LoadLevelList(const Kestrin::FileSpec& file = File());
    // The statuses stored in the current account, campaign order, up to the first level without one.
    void LoadProgress();

    // An unknown name is logged and changes nothing.
    void SetCurrentLevel(const std::string& name);
    // The level after the current one in the campaign; the current level's own name when it is the
    // last, not in the campaign (endless) or there is none ("").
    std::string GetNextLevelName() const;
    void AdvanceToNextLevel();
    // After a won level: its status, the next level unlocked (or unlockedNext cleared), then saved.
    void CompleteCurrentLevel(bool expert);
    // Writes the current level's progress to the current account.
    void SaveProgress();
    // Keeps the best endless time per guest; answers the best. A tie writes nothing.
    int SubmitEndlessScore(int score);
    // The guest's campaign levels; for Jillian, who visits twice, those of the visit that holds
    // levelName (her first ten, else the rest), with secondVisit telling which.
    std::vector<LevelRecord*> GetGuestLevels(GuestID guest, const std::string& levelName,
                                             bool& secondVisit) const;

    LevelRecord* GetCurrent() const { return current; }
    LevelRecord* Find(const std::string& name) const;

    // Told each tutorial that progress switches off (its account flag is already 0).
    void SetTutorialSwitchOffHook(std::function<void(TutorialId tutorial)> hook)
    {
        m_tutorialHook = std::move(hook);
    }

    std::map<std::string, std::unique_ptr<LevelRecord>> records;
    std::vector<std::string> order; // the campaign levels, in file order
    LevelRecord* current = nullptr;
    bool endless = false;

private:
    void SwitchOffTutorial(Kestrin::Account& account, TutorialId tutorial);

    std::function<void(TutorialId)> m_tutorialHook;
};

// The current level's fields; "" when no level is selected.
namespace LevelCatalogue
{
std::string GetCurrentLevelName(const GameLevels& catalogue = GameLevels::Instance());
std::wstring GetCurrentLevelUnlock(const GameLevels& catalogue = GameLevels::Instance());
} // namespace LevelCatalogue

// The name widened byte by byte, as level file names and save keys use it.
std::wstring GetCurrentLevelNameWide(const GameLevels& catalogue = GameLevels::Instance());
