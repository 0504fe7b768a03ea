#include "Framework/Account.h"

#include "Base/FileExceptions.h"
#include "Base/XMLReader.h"

#include "Support/AccountFakes.h"
#include "harness/LogCapture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace Kestrin;
using namespace KestrinTest;

namespace
{
const FileSpec kFile(2, L"4711", L".act", L".");

class AccountFile : public ::testing::Test
{
protected:
    FaultyFileSystem fs;
    ScopedFileSystem scope{&fs};
    std::string Bytes() const { return fs.Account(L"4711.act"); }
};
} // namespace

TEST_F(AccountFile, RecordsAreWrittenByteExactAndReadBack)
{
    fs.AddAccount(L"4711", Account::EmptyFileBytes());
    EXPECT_EQ(Bytes(), kDeclaration + "<account />\r\n");
    Account account(kFile);

    ASSERT_TRUE(account.SetInt(L"i", 1234567)); // never grouped
    ASSERT_TRUE(account.SetFloat(L"f", 0.75f));
    ASSERT_TRUE(account.SetBool(L"b", true));
    ASSERT_TRUE(account.SetString(std::wstring(L"s"), L"a&\"<>b"));
    ASSERT_TRUE(account.SetInt(L"i", -3)); // replaced in its place
    EXPECT_EQ(Bytes(), kDeclaration + "<account>\r\n" + RecordLine("i", "-3") + RecordLine("f", "0.750000") +
                           RecordLine("b", "true") + RecordLine("s", "a&amp;&quot;&lt;&gt;b") +
                           "</account>\r\n");
    EXPECT_EQ(account.GetInt(L"i", 0), -3);
    EXPECT_FLOAT_EQ(account.GetFloat(L"f", 0.0f), 0.75f);
    EXPECT_TRUE(account.GetBool(L"b", false));
    EXPECT_EQ(account.GetString(L"s"), L"a&\"<>b");
    EXPECT_EQ(account.GetInt(L"missing", 42), 42);

    for (const std::wstring value : {L"50%", L"caf\u00e9 \U0001F600", L"cr\r\nlf\ttab", L""})
    {
        ASSERT_TRUE(account.SetString(L"v", value));
        EXPECT_EQ(account.GetString(L"v"), value);
    }
}

TEST_F(AccountFile, HandWrittenFileIsReadAndRewrittenInTheEngineForm)
{
    // With duplicates the last wins on reading, and a write replaces each in its place.
    fs.AddAccount(L"4711", "<?xml version=\"1.0\"?>\n<account>\n  <!-- note -->\n"
                           "  <record name=\"k\" value=\"1\"/>\n  <record value=\"x\" name=\"o\"/>\n"
                           "  <record name=\"k\" value=\"2\"/>\n</account>\n");
    Account account(kFile);
    EXPECT_EQ(account.GetInt(L"k", 0), 2);
    ASSERT_TRUE(account.SetInt(L"k", 3));
    EXPECT_EQ(Bytes(), kDeclaration + "<account>\r\n" + RecordLine("k", "3") + RecordLine("o", "x") +
                           RecordLine("k", "3") + "</account>\r\n");
}

TEST_F(AccountFile, OnlyFilesWithAnAccountRootLoad)
{
    fs.AddAccount(L"4711", kDeclaration + "<account>\r\n" +
                               RecordLine("Kestrin::AccountManager::Name", "Ann") +
                               RecordLine("Kestrin::AccountManager::IsCurrent", "true") + "</account>\r\n");
    Account account(kFile);
    EXPECT_EQ(account.GetName(), L"Ann");
    EXPECT_TRUE(account.IsCurrent());
    EXPECT_FALSE(account.IsCreated());

    EXPECT_THROW(Account(FileSpec(2, L"404", L".act", L".")), FileOpenException);
    // Empty (cut off by a crash), a declaration alone, another root.
    for (const std::string& bytes : {std::string(), kDeclaration, kDeclaration + "<settings />\r\n"})
    {
        fs.AddAccount(L"4711", bytes);
        EXPECT_THROW(Account{kFile}, engine_error) << bytes;
        bool stored = true; // nowhere to put it: refused, never thrown
        EXPECT_NO_THROW(stored = account.SetInt(L"k", 1)) << bytes;
        EXPECT_FALSE(stored);
        EXPECT_EQ(Bytes(), bytes);
    }
}

TEST_F(AccountFile, MalformedOrUnreadableFileIsNeverRewritten)
{
    fs.AddAccount(L"4711", Account::EmptyFileBytes());
    Account account(kFile);
    const std::string broken = kDeclaration + "<account>\r\n<record name=\"k\" value=\"1\" />\r\n<record";
    fs.AddAccount(L"4711", broken);
    EXPECT_THAT([&] { account.GetInt(L"k", 0); }, // named by the file's number
                testing::ThrowsMessage<xml_error>(testing::StartsWith("4711(")));
    EXPECT_FALSE(account.SetInt(L"k", 2)); // refused and logged, never thrown
    EXPECT_EQ(Bytes(), broken);

    fs.makeStream = [](const FileSpec&, const std::string&) -> IStream* { return nullptr; };
    LogCapture log;
    EXPECT_EQ(account.GetInt(L"k", 7), 7);
    EXPECT_FALSE(account.SetInt(L"k", 1));
    EXPECT_EQ(Bytes(), broken);
    EXPECT_TRUE(fs.steps.empty());
    EXPECT_NE(log.Text().find("Couldn't write account file \"4711.act\""), std::string::npos) << log.Text();
}

class AccountWriteFault : public AccountFile, public ::testing::WithParamInterface<FaultyFileSystem::Fault>
{
};

TEST_P(AccountWriteFault, LeavesTheOldAccountWholeAndReportsIt)
{
    const std::string before = kDeclaration + "<account>\r\n" +
                               RecordLine("Kestrin::AccountManager::Name", "Ann") +
                               RecordLine("KIVO::SaveData::Day1", "Expert") + "</account>\r\n";
    fs.AddAccount(L"4711", before);
    Account account(kFile);
    fs.fault = GetParam();
    LogCapture log;

    EXPECT_FALSE(account.SetString(L"KIVO::SaveData::Day1", L"Locked"));
    EXPECT_FALSE(account.WriteRecord(L"new", L"1"));
    EXPECT_EQ(Bytes(), before);
    EXPECT_EQ(fs.files.size(), 1u) << "the temporary file is removed";
    EXPECT_NE(log.Text().find("Couldn't write account file \"4711.act\": "), std::string::npos) << log.Text();

    // The next write goes through: synced while still open, renamed only then.
    fs.fault = FaultyFileSystem::Fault::None;
    fs.steps.clear();
    EXPECT_TRUE(account.SetString(L"KIVO::SaveData::Day1", L"Locked"));
    EXPECT_EQ(account.GetString(L"KIVO::SaveData::Day1"), L"Locked");
    const std::vector<std::string> expected = {"open 4711.act.tmp", "write 4711.act.tmp", "sync 4711.act.tmp",
                                               "close 4711.act.tmp", "rename 4711.act.tmp 4711.act"};
    EXPECT_EQ(fs.steps, expected);
}

INSTANTIATE_TEST_SUITE_P(EveryStep, AccountWriteFault,
                         ::testing::Values(FaultyFileSystem::Fault::Open, FaultyFileSystem::Fault::Write,
                                           FaultyFileSystem::Fault::Sync, FaultyFileSystem::Fault::Rename));
