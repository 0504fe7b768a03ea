#include "Game/GameLevels.h"

#include "Base/Log.h"
#include "Base/Strings.h"
#include "Base/Text.h"
#include "Framework/AccountManager.h"
#include "Framework/LibXmlReader.h"
#include "Game/GameDataReaders.h"

#include <libxml++/libxml++.h>

#include <algorithm>
#include <exception>

using Kestrin::Account;

namespace
{
std::wstring StatusKey(const std::string& levelName)
{
    return SaveDataKeyPrefix + Kestrin::WidenString(levelName) + CompletionStatusKeySuffix;
}

std::wstring GuestKey(const wchar_t* prefix, GuestID guest)
{
    return prefix + Kestrin::WidenString(NameOf(guest));
}

LevelCompletionStatus StatusFromName(const std::wstring& text)
{
    for (size_t i = 0; i < CompletionStatusNames.size(); ++i)
        if (text == CompletionStatusNames[i])
            return LevelCompletionStatus(i);
    return LevelCompletionStatus::Locked;
}

const wchar_t* StatusName(LevelCompletionStatus status)
{
    return CompletionStatusNames[size_t(status)];
}

Account* CurrentAccount(const char* purpose)
{
    Account* account = Kestrin::AccountManager::Instance()->GetCurrentAccount();
    if (!account)
        Kestrin::LogPrintf("No current profile to %s.\n", purpose);
    return account;
}

// The name of the level the same Day ended with goes to that Day.
struct LevelListReader
{
    GameLevels& levels;
    LibXmlReader reader;

    void ReadCampaign(const xmlpp::Element* root)
    {
        for (const xmlpp::Element* day : LibXmlReader::GetChildElements(root, "Day"))
        {
            bool added = false;
            for (const xmlpp::Element* node : LibXmlReader::GetChildElements(day, "level"))
            {
                auto record = std::make_unique<LevelRecord>();
                record->name = ReadRequiredAttribute(node, "name", reader);
                record->guest = ReadEnumAttribute<GuestID>(node, "guestID", reader);
                // Its presence marks the first appointment, whatever number it holds.
                ReadIntAttribute(node, "firstAppt", reader, true, &record->firstAppt);
                bool found = false;
                record->unlock = Kestrin::FromUtf8(ReadAttribute(node, "unlock", reader, true, found));
                levels.order.push_back(record->name);
                levels.records[record->name] = std::move(record);
                added = true;
            }
            const int dayNum = ReadIntAttribute(day, "dayNum", reader);
            // A Day without levels has no last level to mark.
            if (added)
                levels.records[levels.order.back()]->dayNum = dayNum;
        }
        if (!levels.order.empty())
            levels.records[levels.order.front()]->status = LevelCompletionStatus::InProgress;
    }

    void ReadEndless(const xmlpp::Element* root)
    {
        const xmlpp::Element* endless = reader.GetRequiredChild(root, "EndlessLevels");
        for (const xmlpp::Element* node : LibXmlReader::GetChildElements(endless, "level"))
        {
            auto record = std::make_unique<LevelRecord>();
            record->guest = ReadEnumAttribute<GuestID>(node, "guestID", reader);
            record->name = ReadRequiredAttribute(node, "name", reader);
            levels.records[record->name] = std::move(record);
        }
    }
};
} // namespace

GameLevels& GameLevels::Instance()
{
    static GameLevels levels;
    static bool loaded = false;
    if (!loaded)
    {
        loaded = true;
        // Level code may ask before the list was ever read: a list it cannot read leaves an empty
        // catalogue rather than an exception in whoever asked first.
        try
        {
            levels.LoadLevelList();
            levels.LoadProgress();
        }
        catch (const std::exception& e)
        {
            Kestrin::LogPrintf("GameLevels.xml could not be read; there are no levels: %s\n", e.what());
            // Nor half a list.
            levels.records.clear();
            levels.order.clear();
            levels.current = nullptr;
        }
    }
    return levels;
}

LevelRecord* GameLevels::Find(const std::string& name) const
{
    auto it = records.find(name);
    return it == records.end() ? nullptr : it->second.get();
}

void GameLevels::LoadLevelList(const Kestrin::FileSpec& file)
{
    // The records go; the level being played is found again by its name.
    const bool hadCurrent = current != nullptr;
    const std::string currentName = hadCurrent ? current->name : std::string();
    current = nullptr;
    records.clear();
    order.clear();
    auto reselect = [&] { current = hadCurrent ? Find(currentName) : nullptr; };
    try
    {
        LevelListReader list{*this, LibXmlReader(file)};
        const xmlpp::Element* root = list.reader.GetRootElement();
        list.ReadCampaign(root);
        list.ReadEndless(root);
    }
    catch (...)
    {
        reselect();
        throw;
    }
    reselect();
}

void GameLevels::LoadProgress()
{
    Account* account = CurrentAccount("read level progress from");
    if (!account)
        return;
    try
    {
        for (const std::string& name : order)
        {
            const std::wstring key = StatusKey(name);
            // A gap ends the stored progress: every later level keeps its status.
            if (!account->HasRecord(key))
                break;
            records[name]->status = StatusFromName(account->GetString(key));
        }
    }
    catch (const std::exception& e)
    {
        Kestrin::LogPrintf("Couldn't read level progress: %s\n", e.what());
    }
}

void GameLevels::SetCurrentLevel(const std::string& name)
{
    LevelRecord* record = Find(name);
    if (!record)
    {
        Kestrin::LogPrintf("There is no level \"%s\" in the level list; the current level stays.\n",
                           name.c_str());
        return;
    }
    current = record;
}

std::string GameLevels::GetNextLevelName() const
{
    if (!current)
        return std::string();
    auto it = std::find(order.begin(), order.end(), current->name);
    if (it == order.end() || it + 1 == order.end())
        return current->name;
    return *(it + 1);
}

void GameLevels::AdvanceToNextLevel()
{
    SetCurrentLevel(GetNextLevelName());
}

void GameLevels::CompleteCurrentLevel(bool expert)
{
    if (!current)
    {
        Kestrin::LogPrintf("No current level to complete.\n");
        return;
    }
    if (expert)
        current->status = LevelCompletionStatus::Expert;
    else if (current->status != LevelCompletionStatus::Expert)
        current->status = LevelCompletionStatus::Completed;
    LevelRecord* next = Find(GetNextLevelName());
    if (next && next->status == LevelCompletionStatus::Locked)
        next->status = LevelCompletionStatus::InProgress;
    else
        current->unlockedNext = false;
    SaveProgress();
}

void GameLevels::SwitchOffTutorial(Account& account, TutorialId tutorial)
{
    account.SetInt(std::wstring(ShowTutorialKeyPrefix) + TutorialNames[size_t(tutorial)], 0);
    if (m_tutorialHook)
        m_tutorialHook(tutorial);
}

void GameLevels::SaveProgress()
{
    if (!current)
        return;
    Account* account = CurrentAccount("save level progress to");
    if (!account)
        return;
    account->SetString(StatusKey(current->name), StatusName(current->status));
    if (!current->unlock.empty())
        account->SetInt(TictionaryKeyPrefix + current->unlock, 1);
    if (current->firstAppt)
        account->SetInt(GuestKey(EndlessUnlockKeyPrefix, current->guest), 1);
    SwitchOffTutorial(*account, TutorialId::BasicsStart);
    if (current->name == "1-06 Harley")
        for (TutorialId tutorial : {TutorialId::OneMinute, TutorialId::TwoMinute, TutorialId::LoopToTrap})
            SwitchOffTutorial(*account, tutorial);
    // For the last level "next" is the level itself, written again.
    if (const LevelRecord* next = Find(GetNextLevelName()))
        account->SetString(StatusKey(next->name), StatusName(next->status));
}

int GameLevels::SubmitEndlessScore(int score)
{
    if (!current)
        return score;
    Account* account = CurrentAccount("keep an endless score in");
    if (!account)
        return score;
    const std::wstring key = GuestKey(EndlessHighScoreKeyPrefix, current->guest);
    const int best = account->GetInt(key, 0);
    if (score <= best)
        return best;
    account->SetInt(key, score);
    return score;
}

std::vector<LevelRecord*> GameLevels::GetGuestLevels(GuestID guest, const std::string& levelName,
                                                     bool& secondVisit) const
{
    std::vector<LevelRecord*> levels;
    for (const std::string& name : order)
        if (LevelRecord* record = Find(name); record && record->guest == guest)
            levels.push_back(record);
    if (guest != GuestID::Jillian)
        return levels;
    // Jillian's two visits hold ten levels each; a shorter list loses what it has, no more.
    const size_t visit = std::min<size_t>(10, levels.size());
    secondVisit = std::none_of(levels.begin(), levels.begin() + visit,
                               [&](const LevelRecord* record) { return record->name == levelName; });
    if (secondVisit)
        levels.erase(levels.begin(), levels.begin() + visit);
    else
        levels.erase(levels.end() - visit, levels.end());
    return levels;
}

namespace LevelCatalogue
{
std::string GetCurrentLevelName(const GameLevels& catalogue)
{
    return catalogue.current ? catalogue.current->name : std::string();
}

std::wstring GetCurrentLevelUnlock(const GameLevels& catalogue)
{
    return catalogue.current ? catalogue.current->unlock : std::wstring();
}
} // namespace LevelCatalogue

std::wstring GetCurrentLevelNameWide(const GameLevels& catalogue)
{
    return Kestrin::WidenString(LevelCatalogue::GetCurrentLevelName(catalogue));
}
