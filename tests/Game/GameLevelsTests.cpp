#include "Game/GameLevels.h"

#include "Framework/AccountManager.h"

#include "GameTestSupport.h"
#include "Support/AccountFakes.h"
#include "harness/LogCapture.h"

#include <algorithm>
#include <memory>

using namespace GameTest;
using Kestrin::Account;
using Kestrin::AccountManager;

namespace
{
const std::string Calendar =
    "<GameLevels>\n"
    "  <Day dayNum=\"1\">\n"
    "    <level name=\"1-01 Jillian\" guestID=\"Jillian\" firstAppt=\"0\" unlock=\"neurotic\"/>\n"
    "    <level name=\"1-06 Harley\" guestID=\"Harley\" firstAppt=\"1\"/>\n"
    "  </Day>\n"
    "  <Day dayNum=\"2\">\n"
    "    <level name=\"2-01 Zoe\" guestID=\"Zoe\" unlock=\"chaotic\"/>\n"
    "    <level name=\"2-02 Zoe\" guestID=\"Zoe\"/>\n"
    "  </Day>\n"
    "  <Day dayNum=\"3\"/>\n"
    "  <EndlessLevels>\n"
    "    <level guestID=\"Harley\" name=\"Endless Harley\"/>\n"
    "  </EndlessLevels>\n"
    "</GameLevels>\n";

class Catalogue : public GameDataTest
{
protected:
    Catalogue()
    {
        accounts = std::make_unique<AccountManager>();
        levels.SetTutorialSwitchOffHook([this](TutorialId tutorial) { switchedOff.push_back(tutorial); });
    }

    void Load(const std::string& xml = Calendar)
    {
        AddData(L"GameLevels", xml);
        levels.LoadLevelList();
        levels.LoadProgress();
    }
    Account& Player() { return *accounts->GetCurrentAccount(); }
    std::wstring Stored(const std::wstring& level)
    {
        return Player().GetString(L"KIVO::SaveData::" + level + L"::CompletionStatus");
    }
    std::vector<LevelCompletionStatus> Statuses()
    {
        std::vector<LevelCompletionStatus> out;
        for (const std::string& name : levels.order)
            out.push_back(levels.Find(name)->status);
        return out;
    }
    std::vector<std::string> Names(const std::vector<LevelRecord*>& records)
    {
        std::vector<std::string> out;
        for (const LevelRecord* record : records)
            out.push_back(record->name);
        return out;
    }

    KestrinTest::FakeRandomStream random{{0.5f, 0.25f, 0.125f}};
    KestrinTest::ScopedStream2 stream2{&random};
    std::unique_ptr<AccountManager> accounts;
    GameLevels levels;
    std::vector<TutorialId> switchedOff;
};

using S = LevelCompletionStatus;
} // namespace

TEST_F(Catalogue, ReadsTheCalendarAndTheEndlessLevels)
{
    Load();
    EXPECT_EQ(levels.order,
              (std::vector<std::string>{"1-01 Jillian", "1-06 Harley", "2-01 Zoe", "2-02 Zoe"}));
    ASSERT_EQ(levels.records.size(), 5u);
    const LevelRecord& first = *levels.Find("1-01 Jillian");
    EXPECT_EQ(first.guest, GuestID::Jillian);
    EXPECT_TRUE(first.firstAppt); // present, though "0"
    EXPECT_EQ(first.unlock, L"neurotic");
    EXPECT_EQ(first.dayNum, 0);
    EXPECT_TRUE(first.unlockedNext);
    EXPECT_EQ(levels.Find("1-06 Harley")->dayNum, 1);
    EXPECT_EQ(levels.Find("1-06 Harley")->unlock, L"");
    EXPECT_FALSE(levels.Find("2-01 Zoe")->firstAppt);
    // The Day without levels leaves the Day before it alone.
    EXPECT_EQ(levels.Find("2-02 Zoe")->dayNum, 2);
    const LevelRecord& endless = *levels.Find("Endless Harley");
    EXPECT_EQ(endless.guest, GuestID::Harley);
    EXPECT_EQ(endless.status, S::Locked);
    EXPECT_FALSE(endless.firstAppt);
    // A fresh profile: only the first level is open.
    EXPECT_EQ(Statuses(), (std::vector<S>{S::InProgress, S::Locked, S::Locked, S::Locked}));
    EXPECT_EQ(levels.current, nullptr);
}

TEST_F(Catalogue, FileErrorsPassToTheCaller)
{
    const std::string endless = "<EndlessLevels/>";
    struct Case
    {
        std::string xml;
        std::string error;
    };
    const Case cases[] = {
        {"", "Error opening file \"GameLevels.xml\""},
        {"<GameLevels><Day dayNum=\"1\"/></GameLevels>",
         "couldn't find required child node \"EndlessLevels\""},
        {"<GameLevels>" + endless + endless + "</GameLevels>", "expected one \"EndlessLevels\" child node"},
        {"<GameLevels><Day dayNum=\"1\"><level name=\"a\" guestID=\"jillian\"/></Day>" + endless +
             "</GameLevels>",
         "\"jillian\" is an invalid value for attribute \"guestID\""},
        {"<GameLevels><Day><level name=\"a\" guestID=\"Zoe\"/></Day>" + endless + "</GameLevels>",
         "couldn't read required attribute \"dayNum\""},
        {"<GameLevels><Day dayNum=\"1\"><level guestID=\"Zoe\"/></Day>" + endless + "</GameLevels>",
         "couldn't read required attribute \"name\""},
        {"<GameLevels><Day dayNum=\"1\"><level name=\"a\" guestID=\"Zoe\" firstAppt=\"yes\"/></Day>" +
             endless + "</GameLevels>",
         "couldn't convert attribute \"firstAppt\" to the correct type (int)"},
        {"<GameLevels><EndlessLevels><level name=\"a\"/></EndlessLevels></GameLevels>",
         "couldn't read required attribute \"guestID\""},
    };
    for (const Case& c : cases)
    {
        fs.files.clear();
        if (!c.xml.empty())
            AddData(L"GameLevels", c.xml);
        const std::string error = ErrorOf([&] { levels.LoadLevelList(); });
        EXPECT_NE(error.find(c.error), std::string::npos) << c.xml << "\n" << error;
    }
    // A catalogue without campaign levels is no error.
    Load("<GameLevels><Day dayNum=\"1\"/>" + endless + "</GameLevels>");
    EXPECT_TRUE(levels.order.empty() && levels.records.empty());
}

TEST_F(Catalogue, CompletingALevelOpensTheNextAndSaves)
{
    Load();
    levels.SetCurrentLevel("1-01 Jillian");
    levels.CompleteCurrentLevel(false);
    EXPECT_EQ(Statuses(), (std::vector<S>{S::Completed, S::InProgress, S::Locked, S::Locked}));
    EXPECT_EQ(Stored(L"1-01 Jillian"), L"Completed");
    EXPECT_EQ(Stored(L"1-06 Harley"), L"InProgress");
    EXPECT_EQ(Player().GetInt(L"KIVO::TictionaryData::neurotic", 0), 1);
    EXPECT_EQ(Player().GetInt(L"KIVO::EndlessUnlock::Jillian", 0), 1);
    EXPECT_EQ(Player().GetInt(L"KIVO::ShowTutorial::Basics", 1), 0);
    EXPECT_FALSE(Player().HasRecord(L"KIVO::ShowTutorial::1Minute"));
    EXPECT_EQ(switchedOff, std::vector<TutorialId>{TutorialId::BasicsStart});
    EXPECT_TRUE(levels.current->unlockedNext);

    // Again, with the next level already open.
    levels.CompleteCurrentLevel(false);
    EXPECT_FALSE(levels.current->unlockedNext);
    EXPECT_EQ(levels.Find("1-06 Harley")->status, S::InProgress);

    // Expert stays expert.
    levels.CompleteCurrentLevel(true);
    levels.CompleteCurrentLevel(false);
    EXPECT_EQ(levels.current->status, S::Expert);
    EXPECT_EQ(Stored(L"1-01 Jillian"), L"Expert");
}

TEST_F(Catalogue, TheSixthLevelSwitchesThreeMoreTutorialsOff)
{
    Load();
    levels.SetCurrentLevel("1-06 Harley");
    levels.CompleteCurrentLevel(false);
    for (const wchar_t* name : {L"Basics", L"1Minute", L"2Minute", L"LoopToTrap"})
        EXPECT_EQ(Player().GetInt(std::wstring(L"KIVO::ShowTutorial::") + name, 1), 0) << name;
    EXPECT_EQ(switchedOff, (std::vector<TutorialId>{TutorialId::BasicsStart, TutorialId::OneMinute,
                                                    TutorialId::TwoMinute, TutorialId::LoopToTrap}));
    EXPECT_EQ(Player().GetInt(L"KIVO::EndlessUnlock::Harley", 0), 1);
    EXPECT_FALSE(Player().HasRecord(L"KIVO::TictionaryData::"));
    EXPECT_EQ(Stored(L"2-01 Zoe"), L"InProgress");
}

TEST_F(Catalogue, TheLastLevelIsItsOwnNext)
{
    Load();
    levels.SetCurrentLevel("2-02 Zoe");
    EXPECT_EQ(levels.GetNextLevelName(), "2-02 Zoe");
    fs.steps.clear();
    levels.CompleteCurrentLevel(false);
    EXPECT_EQ(Stored(L"2-02 Zoe"), L"Completed");
    EXPECT_FALSE(levels.current->unlockedNext);
    EXPECT_EQ(Statuses(), (std::vector<S>{S::InProgress, S::Locked, S::Locked, S::Completed}));
    // The status, the tutorial flag, then the same status again as the "next" level's.
    EXPECT_EQ(std::count_if(fs.steps.begin(), fs.steps.end(),
                            [](const std::string& step) { return step.starts_with("rename "); }),
              3);

    // Endless levels and no level at all have themselves, or nothing, as the next.
    levels.SetCurrentLevel("Endless Harley");
    EXPECT_EQ(levels.GetNextLevelName(), "Endless Harley");
    levels.current = nullptr;
    EXPECT_EQ(levels.GetNextLevelName(), "");
    levels.AdvanceToNextLevel();
    EXPECT_EQ(levels.current, nullptr);
    levels.SetCurrentLevel("1-01 Jillian");
    levels.AdvanceToNextLevel();
    EXPECT_EQ(levels.current->name, "1-06 Harley");
}

TEST_F(Catalogue, StoredProgressReadsUpToTheFirstGap)
{
    AddData(L"GameLevels", Calendar);
    levels.LoadLevelList();
    Player().SetString(L"KIVO::SaveData::1-01 Jillian::CompletionStatus", L"Expert");
    Player().SetString(L"KIVO::SaveData::1-06 Harley::CompletionStatus", L"Foo");
    Player().SetString(L"KIVO::SaveData::2-02 Zoe::CompletionStatus", L"Completed");
    levels.LoadProgress();
    EXPECT_EQ(Statuses(), (std::vector<S>{S::Expert, S::Locked, S::Locked, S::Locked}));

    // A stored "Locked" locks even the first level.
    Player().SetString(L"KIVO::SaveData::1-01 Jillian::CompletionStatus", L"Locked");
    Load();
    EXPECT_EQ(Statuses(), (std::vector<S>{S::Locked, S::Locked, S::Locked, S::Locked}));
}

TEST_F(Catalogue, AnEndlessScoreIsKeptOnlyWhenBetter)
{
    Load();
    EXPECT_EQ(levels.SubmitEndlessScore(60), 60); // no level: nothing is kept
    EXPECT_FALSE(Player().HasRecord(L"KIVO::EndlessHighScore::"));
    levels.SetCurrentLevel("Endless Harley");
    EXPECT_EQ(levels.SubmitEndlessScore(60), 60);
    EXPECT_EQ(Player().GetInt(L"KIVO::EndlessHighScore::Harley", 0), 60);
    fs.steps.clear();
    EXPECT_EQ(levels.SubmitEndlessScore(60), 60);
    EXPECT_EQ(levels.SubmitEndlessScore(12), 60);
    EXPECT_EQ(fs.steps, std::vector<std::string>{}) << "a score that is no better rewrote the account";
    EXPECT_EQ(levels.SubmitEndlessScore(61), 61);
    EXPECT_EQ(Player().GetInt(L"KIVO::EndlessHighScore::Harley", 0), 61);
}

TEST_F(Catalogue, JillianVisitsTwiceWithTenLevelsEach)
{
    auto calendar = [](int jillian)
    {
        std::string xml = "<GameLevels><Day dayNum=\"1\">";
        for (int i = 0; i < jillian; ++i)
        {
            xml += "<level name=\"J" + std::to_string(i) + "\" guestID=\"Jillian\"/>";
            if (i == 3)
                xml += "<level name=\"H\" guestID=\"Harley\"/>";
        }
        return xml + "</Day><EndlessLevels/></GameLevels>";
    };
    auto names = [](int from, int to)
    {
        std::vector<std::string> out;
        for (int i = from; i < to; ++i)
            out.push_back("J" + std::to_string(i));
        return out;
    };
    Load(calendar(20));
    bool secondVisit = true;
    EXPECT_EQ(Names(levels.GetGuestLevels(GuestID::Jillian, "J9", secondVisit)), names(0, 10));
    EXPECT_FALSE(secondVisit);
    EXPECT_EQ(Names(levels.GetGuestLevels(GuestID::Jillian, "J10", secondVisit)), names(10, 20));
    EXPECT_TRUE(secondVisit);
    // Other guests: every level, and the flag untouched.
    secondVisit = false;
    EXPECT_EQ(Names(levels.GetGuestLevels(GuestID::Harley, "J10", secondVisit)),
              std::vector<std::string>{"H"});
    EXPECT_FALSE(secondVisit);

    // With fewer levels the data is short, and nothing reaches past the list.
    Load(calendar(12));
    EXPECT_EQ(Names(levels.GetGuestLevels(GuestID::Jillian, "J0", secondVisit)), names(0, 2));
    EXPECT_EQ(Names(levels.GetGuestLevels(GuestID::Jillian, "J11", secondVisit)), names(10, 12));
    Load(calendar(8));
    EXPECT_TRUE(levels.GetGuestLevels(GuestID::Jillian, "J0", secondVisit).empty());
    EXPECT_TRUE(levels.GetGuestLevels(GuestID::Jillian, "X", secondVisit).empty());
    EXPECT_TRUE(secondVisit);
}

TEST_F(Catalogue, AProfileChangeKeepsTheCurrentLevelByName)
{
    Load();
    levels.SetCurrentLevel("1-01 Jillian");
    levels.CompleteCurrentLevel(false);
    levels.SetCurrentLevel("1-06 Harley");
    levels.endless = true;
    levels.CompleteCurrentLevel(false);
    ASSERT_NE(accounts->CreateAccount(L"Bob"), nullptr);
    ASSERT_TRUE(accounts->SetCurrentAccount(L"Bob"));
    Load();
    ASSERT_NE(levels.current, nullptr);
    EXPECT_EQ(levels.current, levels.Find("1-06 Harley")); // the new record
    EXPECT_TRUE(levels.endless);
    EXPECT_EQ(Statuses(), (std::vector<S>{S::InProgress, S::Locked, S::Locked, S::Locked}));

    ASSERT_TRUE(accounts->SetCurrentAccount(L"[ Player ]"));
    Load();
    EXPECT_EQ(Statuses(), (std::vector<S>{S::Completed, S::Completed, S::InProgress, S::Locked}));

    // A list without the level leaves no current level; so does one that fails to read.
    Load("<GameLevels><Day dayNum=\"1\"><level name=\"other\" "
         "guestID=\"Zoe\"/></Day><EndlessLevels/></GameLevels>");
    EXPECT_EQ(levels.current, nullptr);
    Load();
    levels.SetCurrentLevel("2-01 Zoe");
    AddData(L"GameLevels",
            "<GameLevels><Day dayNum=\"1\"><level name=\"2-01 Zoe\" guestID=\"Zoe\"/></Day></GameLevels>");
    EXPECT_NE(ErrorOf([&] { levels.LoadLevelList(); }), "");
    EXPECT_EQ(levels.current, levels.Find("2-01 Zoe"));
}

TEST_F(Catalogue, AnUnknownLevelNameChangesNothing)
{
    Load();
    levels.SetCurrentLevel("2-01 Zoe");
    KestrinTest::LogCapture log;
    levels.SetCurrentLevel("9-99 Nobody");
    EXPECT_EQ(levels.current, levels.Find("2-01 Zoe"));
    EXPECT_NE(log.Text().find("\"9-99 Nobody\""), std::string::npos);
}

TEST_F(Catalogue, CurrentLevelAccessorsAnswerEmptyWithoutALevel)
{
    Load();
    EXPECT_EQ(LevelCatalogue::GetCurrentLevelName(levels), "");
    EXPECT_EQ(LevelCatalogue::GetCurrentLevelUnlock(levels), L"");
    EXPECT_EQ(GetCurrentLevelNameWide(levels), L"");
    levels.SetCurrentLevel("1-06 Harley");
    EXPECT_EQ(LevelCatalogue::GetCurrentLevelName(levels), "1-06 Harley");
    EXPECT_EQ(GetCurrentLevelNameWide(levels), L"1-06 Harley");
    EXPECT_EQ(LevelCatalogue::GetCurrentLevelUnlock(levels), L"");
    levels.SetCurrentLevel("2-01 Zoe");
    EXPECT_EQ(LevelCatalogue::GetCurrentLevelUnlock(levels), L"chaotic");
}

// The first use reads the list; a list that is missing or broken leaves the catalogue empty with a
// line on the log, and the accessors that default to it answer "". Each case runs in a fresh
// process, where the catalogue has not been made yet (so no fixture, whose saved globals use it).
TEST(CatalogueFirstUse, ABrokenOrMissingListGivesAnEmptyCatalogue)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    for (const char* broken :
         {"", "<GameLevels><Day>", "<GameLevels><Day dayNum=\"1\"><level/></Day></GameLevels>",
          "<GameLevels><Day dayNum=\"1\"><level name=\"a\" guestID=\"Zoe\"/></Day>"
          "<Day><level name=\"b\" guestID=\"Mars\"/></Day></GameLevels>"})
    {
        SCOPED_TRACE(broken);
        auto child = [&]
        {
            KestrinTest::FaultyFileSystem fs;
            KestrinTest::ScopedFileSystem scope{&fs};
            if (*broken)
                fs.AddFile(GameLevels::File(), broken);
            KestrinTest::LogCapture log;
            bool ok = LevelCatalogue::GetCurrentLevelName().empty() && GetCurrentLevelNameWide().empty() &&
                      LevelCatalogue::GetCurrentLevelUnlock().empty() &&
                      GameLevels::Instance().records.empty() &&
                      log.Text().find("GameLevels") != std::string::npos;
            // A later read of a sound list fills it.
            fs.AddFile(GameLevels::File(), Calendar);
            GameLevels::Instance().LoadLevelList();
            ok = ok && GameLevels::Instance().order.size() == 4;
            std::exit(ok ? 0 : 1);
        };
        EXPECT_EXIT(child(), ::testing::ExitedWithCode(0), "");
    }
}
