#include "Framework/Account.h"

#include "Base/FileExceptions.h"
#include "Base/XMLReader.h"

#include "AccountFakes.h"
#include "Support/LogCapture.h"

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

TEST_F(AccountFile, NewRecordsAreAppendedAndReplacedInPlace)
{
    fs.AddAccount(L"4711", Account::EmptyFileBytes());
    EXPECT_EQ(Bytes(), kDeclaration + "<account />\r\n");
    Account account(kFile);

    ASSERT_TRUE(account.SetInt(L"a", 1));
    ASSERT_TRUE(account.SetString(L"b", L"two"));
    ASSERT_TRUE(account.SetInt(L"a", -3));
    EXPECT_EQ(Bytes(), kDeclaration + "<account>\r\n" + RecordLine("a", "-3") + RecordLine("b", "two") + "</account>\r\n");
    EXPECT_EQ(account.GetInt(L"a", 0), -3);
    EXPECT_EQ(account.GetString(L"b"), L"two");
}

TEST_F(AccountFile, ValuesAreWrittenInTheirTextFormsAndReadBack)
{
    fs.AddAccount(L"4711", Account::EmptyFileBytes());
    Account account(kFile);

    ASSERT_TRUE(account.SetFloat(L"f", 0.75f));
    ASSERT_TRUE(account.SetInt(L"i", 1234567)); // never grouped
    ASSERT_TRUE(account.SetBool(L"t", true));
    ASSERT_TRUE(account.SetBool(L"n", false));
    ASSERT_TRUE(account.SetString(std::wstring(L"KIVO::SaveData::") + L"Level1", L"Completed"));
    EXPECT_EQ(Bytes(), kDeclaration + "<account>\r\n" + RecordLine("f", "0.750000") + RecordLine("i", "1234567") +
                           RecordLine("t", "true") + RecordLine("n", "false") +
                           RecordLine("KIVO::SaveData::Level1", "Completed") + "</account>\r\n");

    EXPECT_FLOAT_EQ(account.GetFloat(L"f", 0.0f), 0.75f);
    EXPECT_EQ(account.GetInt(std::wstring(L"i"), 0), 1234567);
    EXPECT_TRUE(account.GetBool(L"t", false));
    EXPECT_FALSE(account.GetBool(L"n", true));
    EXPECT_EQ(account.GetString(L"KIVO::SaveData::Level1"), L"Completed");

    // Missing records give the defaults.
    EXPECT_FALSE(account.HasRecord(L"missing"));
    EXPECT_TRUE(account.HasRecord(L"n"));
    EXPECT_EQ(account.GetString(L"missing"), L"");
    EXPECT_EQ(account.GetInt(L"missing", 42), 42);
    EXPECT_FLOAT_EQ(account.GetFloat(L"missing", 2.5f), 2.5f);
    EXPECT_TRUE(account.GetBool(L"missing", true));
}

TEST_F(AccountFile, MarkupAndUnusualCharactersRoundTrip)
{
    fs.AddAccount(L"4711", Account::EmptyFileBytes());
    Account account(kFile);

    ASSERT_TRUE(account.SetString(L"k&\"<>", L"a&\"<>b"));
    EXPECT_NE(Bytes().find("name=\"k&amp;&quot;&lt;&gt;\" value=\"a&amp;&quot;&lt;&gt;b\""), std::string::npos);
    const std::wstring values[] = {L"50%", L"%1%", L"caf\u00e9 \u20ac \U0001F600", L"line\r\nbreak\ttab", L"  padded  ",
                                   L""};
    for (const std::wstring& value : values)
    {
        ASSERT_TRUE(account.SetString(L"v", value));
        EXPECT_EQ(account.GetString(L"v"), value);
    }
    // Other records survive every rewrite untouched.
    EXPECT_EQ(account.GetString(L"k&\"<>"), L"a&\"<>b");
    ASSERT_TRUE(account.SetString(L"u", L"\u00e9\u20ac\U0001F600"));
    EXPECT_NE(Bytes().find("value=\"\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\""), std::string::npos); // UTF-8 on disk
}

TEST_F(AccountFile, HandWrittenFilesAreReadAsTheyStand)
{
    // Indentation, comments and duplicates: the last duplicate wins; the rewrite drops the
    // white space, keeps the first duplicate's place and replaces every duplicate.
    fs.AddAccount(L"4711", "<?xml version=\"1.0\"?>\n<account>\n  <!-- note -->\n"
                           "  <record name=\"k\" value=\"1\"/>\n  <record value=\"x\" name=\"o\"/>\n"
                           "  <record name=\"k\" value=\"2\"/>\n</account>\n");
    Account account(kFile);
    EXPECT_EQ(account.GetInt(L"k", 0), 2);
    EXPECT_EQ(account.GetName(), L"");
    EXPECT_FALSE(account.IsCurrent());
    EXPECT_FALSE(account.IsCreated());

    ASSERT_TRUE(account.SetInt(L"k", 3));
    EXPECT_EQ(Bytes(), kDeclaration + "<account>\r\n" + RecordLine("k", "3") + RecordLine("o", "x") +
                           RecordLine("k", "3") + "</account>\r\n");
}

TEST_F(AccountFile, LoadingReadsNameAndCurrentFlag)
{
    fs.AddAccount(L"4711", kDeclaration + "<account>\r\n" + RecordLine("Kestrin::AccountManager::Name", "Ann") +
                               RecordLine("Kestrin::AccountManager::IsCurrent", "true") + "</account>\r\n");
    Account account(kFile);
    EXPECT_EQ(account.GetName(), L"Ann");
    EXPECT_TRUE(account.IsCurrent());
    EXPECT_EQ(account.GetFileSpec(), kFile);

    EXPECT_THROW(Account(FileSpec(2, L"404", L".act", L".")), FileOpenException);
    // Files that are no profile: empty (cut off by a crash), a declaration alone, another root.
    for (const std::string& bytes : {std::string(), kDeclaration, kDeclaration + "<settings />\r\n"})
    {
        fs.AddAccount(L"4711", bytes);
        EXPECT_THROW(Account{kFile}, engine_error) << bytes;
    }
}

TEST_F(AccountFile, MalformedFileThrowsAndIsNeverRewritten)
{
    fs.AddAccount(L"4711", Account::EmptyFileBytes());
    Account account(kFile);
    const std::string broken = kDeclaration + "<account>\r\n<record name=\"k\" value=\"1\" />\r\n<record";
    fs.AddAccount(L"4711", broken);

    try
    {
        account.GetInt(L"k", 0);
        FAIL() << "no xml_error";
    }
    catch (const xml_error& e)
    {
        EXPECT_EQ(std::string(e.what()).rfind("4711(", 0), 0u) << e.what(); // named after the file's number
    }
    EXPECT_THROW(account.SetInt(L"k", 2), xml_error);
    EXPECT_EQ(Bytes(), broken);
    EXPECT_EQ(fs.FileCount(), 1u);
}

TEST_F(AccountFile, UnreadableFileReadsEmptyAndIsNotWritten)
{
    fs.AddAccount(L"4711", Account::EmptyFileBytes());
    Account account(kFile);
    fs.makeStream = [](const FileSpec&, const std::string&) -> IStream* { return nullptr; };
    LogCapture log;

    EXPECT_EQ(account.GetInt(L"k", 7), 7);
    EXPECT_FALSE(account.HasRecord(L"k"));
    EXPECT_FALSE(account.SetInt(L"k", 1));
    EXPECT_EQ(Bytes(), Account::EmptyFileBytes());
    EXPECT_TRUE(fs.steps.empty()) << "nothing may be written";
    EXPECT_NE(log.Text().find("Couldn't write account file \"4711.act\""), std::string::npos) << log.Text();
}

TEST_F(AccountFile, FileWithoutAccountElementReportsTheValueAsNotStored)
{
    fs.AddAccount(L"4711", Account::EmptyFileBytes());
    Account account(kFile);
    const std::string other = kDeclaration + "<settings />\r\n";
    fs.AddAccount(L"4711", other);
    EXPECT_FALSE(account.SetInt(L"k", 1));
    EXPECT_EQ(Bytes(), other);
    EXPECT_FALSE(account.HasRecord(L"k"));
}

TEST_F(AccountFile, RewriteGoesThroughASyncedTemporaryFile)
{
    fs.AddAccount(L"4711", Account::EmptyFileBytes());
    Account account(kFile);
    ASSERT_TRUE(account.SetInt(L"k", 1));
    // Synced while still open, before the rename makes it the account; never written in place.
    const std::vector<std::string> expected = {"open 4711.act.tmp", "write 4711.act.tmp", "sync 4711.act.tmp",
                                               "close 4711.act.tmp", "rename 4711.act.tmp 4711.act"};
    EXPECT_EQ(fs.steps, expected);
    EXPECT_EQ(fs.FileCount(), 1u);
}

std::string FaultName(const ::testing::TestParamInfo<FaultyFileSystem::Fault>& info)
{
    static const char* const names[] = {"None", "Open", "Write", "Sync", "Rename"};
    return names[int(info.param)];
}

class AccountWriteFault : public AccountFile, public ::testing::WithParamInterface<FaultyFileSystem::Fault>
{
};

TEST_P(AccountWriteFault, LeavesTheOldAccountWholeAndReportsIt)
{
    const std::string before = kDeclaration + "<account>\r\n" + RecordLine("Kestrin::AccountManager::Name", "Ann") +
                               RecordLine("KIVO::SaveData::Day1", "Expert") + "</account>\r\n";
    fs.AddAccount(L"4711", before);
    Account account(kFile);
    fs.fault = GetParam();
    LogCapture log;

    EXPECT_FALSE(account.SetString(L"KIVO::SaveData::Day1", L"Locked"));
    EXPECT_FALSE(account.WriteRecord(L"new", L"1"));
    EXPECT_EQ(Bytes(), before);
    EXPECT_EQ(fs.FileCount(), 1u) << "the temporary file is removed";
    EXPECT_NE(log.Text().find("Couldn't write account file \"4711.act\": "), std::string::npos) << log.Text();
    EXPECT_EQ(account.GetString(L"KIVO::SaveData::Day1"), L"Expert");

    fs.fault = FaultyFileSystem::Fault::None; // the next write goes through
    EXPECT_TRUE(account.SetString(L"KIVO::SaveData::Day1", L"Locked"));
    EXPECT_EQ(account.GetString(L"KIVO::SaveData::Day1"), L"Locked");
    EXPECT_EQ(account.GetName(), L"Ann");
}

INSTANTIATE_TEST_SUITE_P(EveryStep, AccountWriteFault,
                         ::testing::Values(FaultyFileSystem::Fault::OpenForWriting, FaultyFileSystem::Fault::Write,
                                           FaultyFileSystem::Fault::Sync, FaultyFileSystem::Fault::Rename),
                         FaultName);
