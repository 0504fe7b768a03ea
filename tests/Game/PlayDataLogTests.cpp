#include "Game/PlayDataLog.h"

#include "Framework/AccountManager.h"
#include "Game/GameLevels.h"
#include "Platform/Win32/Win32FileSystem.h"

#include "Support/AccountFakes.h"
#include "Support/FakeFileSystem.h"
#include "harness/LogCapture.h"
#include "harness/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

using Kestrin::FileSpec;

namespace
{
// Refuses to write in the locations listed, as a folder without write permission would.
class ReadOnlyFolders : public KestrinTest::FakeFileSystem
{
public:
    Kestrin::IStream* Open(const FileSpec& fileSpec, int access, int mode) override
    {
        if ((access & AccessWrite) && std::count(readOnly.begin(), readOnly.end(), fileSpec.location))
            return nullptr;
        return FakeFileSystem::Open(fileSpec, access, mode);
    }
    std::string Log(int location) const
    {
        auto it = files.find(Key{location, L".", L"PlayData.log"});
        return it == files.end() ? "<none>" : it->second;
    }
    std::vector<int> readOnly;
};

class PlayData : public testing::Test
{
protected:
    ReadOnlyFolders fs;
    KestrinTest::ScopedFileSystem scope{&fs};
};

PlayDataLine Line(bool won, float elapsed, float expert)
{
    PlayDataLine line;
    line.when = 0;
    line.profile = L"Ann";
    line.level = "1-06 Harley";
    line.won = won;
    line.timeElapsed = elapsed;
    line.expertTime = expert;
    line.gunkDrops = 7;
    return line;
}
} // namespace

TEST(PlayDataLineText, FieldsAreTabSeparatedAndEndWithALineFeedAlone)
{
    EXPECT_EQ(FormatPlayDataLine(Line(true, 59.9f, 30.0f)),
              "Thu Jan  1 00:00:00 1970\tAnn\t1-06 Harley\tTRUE\t59\tFALSE\t7\n");
    // The sixth field compares the times, whatever the outcome.
    EXPECT_EQ(FormatPlayDataLine(Line(false, 12.5f, 30.0f)),
              "Thu Jan  1 00:00:00 1970\tAnn\t1-06 Harley\tFALSE\t12\tTRUE\t7\n");
    EXPECT_EQ(FormatPlayDataLine(Line(true, 30.0f, 30.0f)).substr(24),
              "\tAnn\t1-06 Harley\tTRUE\t30\tFALSE\t7\n");

    PlayDataLine line = Line(true, 1e30f, 0.0f);
    line.when = 1700000000; // Tue Nov 14 22:13:20 2023 UTC
    line.profile = L"Zo\u00e9 \U0001F600";
    line.level = "";
    EXPECT_EQ(FormatPlayDataLine(line), "Tue Nov 14 22:13:20 2023\tZo\xC3\xA9 \xF0\x9F\x98\x80\t\tTRUE\t"
                                        "9223372036854775807\tFALSE\t7\n");
}

TEST_F(PlayData, LinesAreAppendedBelowWhatTheFileHolds)
{
    // Absent: created.
    ASSERT_TRUE(AppendPlayData("================== Session ======================= \r\n"));
    const std::string first = FormatPlayDataLine(Line(true, 59.9f, 30.0f));
    const std::string second = FormatPlayDataLine(Line(false, 100.0f, 30.0f));
    ASSERT_TRUE(AppendPlayData(first));
    ASSERT_TRUE(AppendPlayData(second));
    EXPECT_EQ(fs.Log(1), "================== Session ======================= \r\n" + first + second);
    for (const std::string& line : {first, second})
    {
        EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 6);
        EXPECT_EQ(line.back(), '\n');
        EXPECT_EQ(line.find('\r'), std::string::npos);
    }
    EXPECT_EQ(fs.Log(2), "<none>");
    EXPECT_EQ(fs.opens, fs.closes);
}

TEST_F(PlayData, AnUnwritableDataFolderFallsBackToThePlayersFolder)
{
    fs.readOnly = {1};
    ASSERT_TRUE(AppendPlayData("a\n"));
    ASSERT_TRUE(AppendPlayData("b\n"));
    EXPECT_EQ(fs.Log(2), "a\nb\n");
    EXPECT_EQ(fs.Log(1), "<none>");

    // Neither folder: logged, and nothing else happens.
    fs.readOnly = {1, 2};
    KestrinTest::LogCapture log;
    EXPECT_FALSE(AppendPlayData("c\n"));
    EXPECT_NE(log.Text().find("\"PlayData.log\""), std::string::npos);
    EXPECT_EQ(fs.Log(2), "a\nb\n");
}

TEST(PlayDataOnDisk, AnExistingLogGrowsAndKeepsItsBytes)
{
    KestrinTest::TempFolder data;
    data.Write("playdata.LOG", "old line\n"); // looked up without regard to case
    {
        Kestrin::Win32FileSystem fs;
        fs.AddPartition(1, new Kestrin::Win32FileSystemPartition(data.WidePath()));
        ASSERT_TRUE(AppendPlayData("new line\n"));
        ASSERT_TRUE(AppendPlayData("next\n"));
    }
    EXPECT_EQ(data.Read("playdata.LOG"), "old line\nnew line\nnext\n");
}

TEST(PlayDataLevelLine, NamesTheCurrentProfileAndLevel)
{
    KestrinTest::FaultyFileSystem accountsFs; // only whole-file writes: the log cannot open here
    ReadOnlyFolders fs;
    {
        KestrinTest::ScopedFileSystem scope{&accountsFs};
        KestrinTest::FakeRandomStream random{{0.5f}};
        KestrinTest::ScopedStream2 stream2{&random};
        auto accounts = std::make_unique<Kestrin::AccountManager>();
        accounts->RenameAccount(L"[ Player ]", L"Ann");
        GameLevels levels;
        auto record = std::make_unique<LevelRecord>();
        record->name = "2-01 Zoe";
        levels.current = record.get();
        levels.records[record->name] = std::move(record);

        Kestrin::UnregisterFileSystem(&accountsFs);
        KestrinTest::ScopedFileSystem logScope{&fs};
        AppendPlayDataLine(false, 42.75f, 40.0f, 3, levels);
        levels.current = nullptr;
        AppendPlayDataLine(true, 1.0f, 40.0f, 0, levels);
    }
    const std::string log = fs.Log(1);
    ASSERT_EQ(std::count(log.begin(), log.end(), '\n'), 2);
    const std::string first = log.substr(0, log.find('\n') + 1);
    EXPECT_EQ(first.substr(24), "\tAnn\t2-01 Zoe\tFALSE\t42\tFALSE\t3\n");
    EXPECT_EQ(log.substr(first.size() + 24), "\tAnn\t\tTRUE\t1\tTRUE\t0\n");
}
