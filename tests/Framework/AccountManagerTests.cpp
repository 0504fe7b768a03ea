#include "Framework/AccountManager.h"

#include "Framework/Singletons.h"

#include "Support/AccountFakes.h"
#include "harness/LogCapture.h"

#include <gtest/gtest.h>

using namespace Kestrin;
using namespace KestrinTest;

namespace
{
std::string AccountBytes(const std::string& name, const char* isCurrent)
{
    return kDeclaration + "<account>\r\n" + RecordLine("Kestrin::AccountManager::Name", name) +
           RecordLine("Kestrin::AccountManager::IsCurrent", isCurrent) + "</account>\r\n";
}

std::vector<std::wstring> Names(const AccountManager& manager)
{
    std::vector<std::wstring> names;
    for (Account* account : manager.GetAccounts())
        names.push_back(account->GetName());
    return names;
}

// Writes down each call with the profile current at that moment.
struct RecordingHandler : IAccountChangeHandler
{
    RecordingHandler(const AccountManager& m, std::string t, std::vector<std::string>& c)
        : manager(m), tag(t), calls(c)
    {
    }
    void OnAccountChanging() override { Record(" changing "); }
    void OnAccountChanged() override { Record(" changed "); }
    void Record(const char* what)
    {
        Account* current = manager.GetCurrentAccount();
        calls.push_back(tag + what + (current ? ToUtf8(current->GetName()) : "-"));
    }
    const AccountManager& manager;
    std::string tag;
    std::vector<std::string>& calls;
};

class Accounts : public ::testing::Test
{
protected:
    FaultyFileSystem fs;
    ScopedFileSystem scope{&fs};
    // Exact in a float: names 50000000, 25000000, 12500000.
    FakeRandomStream random{{0.5f, 0.25f, 0.125f}};
    ScopedStream2 stream2{&random};
    std::vector<std::string> calls;

    // Ann, Bea (current), Cid.
    void AddThree()
    {
        fs.AddAccount(L"1", AccountBytes("Ann", "false"));
        fs.AddAccount(L"2", AccountBytes("Bea", "true"));
        fs.AddAccount(L"3", AccountBytes("Cid", "false"));
    }
};
} // namespace

TEST_F(Accounts, FirstStartMakesOneCurrentPlayerThatARestartFinds)
{
    {
        AccountManager manager;
        ASSERT_EQ(fs.files.size(), 1u);
        EXPECT_EQ(fs.Account(L"50000000.act"), AccountBytes("[ Player ]", "true"));
        ASSERT_NE(manager.GetCurrentAccount(), nullptr);
        EXPECT_TRUE(manager.GetCurrentAccount()->IsCreated());
    }
    AccountManager again;
    EXPECT_EQ(Names(again), std::vector<std::wstring>{L"[ Player ]"});
    EXPECT_FALSE(again.GetCurrentAccount()->IsCreated());
    EXPECT_EQ(fs.files.size(), 1u);

    // With none current, the first in file order becomes current.
    fs.AddAccount(L"50000000", AccountBytes("[ Player ]", "false"));
    fs.AddAccount(L"4", AccountBytes("Dee", "false"));
    AccountManager third;
    EXPECT_EQ(third.GetCurrentAccount()->GetName(), L"Dee");
    EXPECT_EQ(fs.Account(L"4.act"), AccountBytes("Dee", "true"));
}

TEST_F(Accounts, CorruptOrUnreadableFilesAreSkippedAndLeftAlone)
{
    // The first two names drawn for the fresh player belong to broken files.
    fs.AddAccount(L"50000000", kDeclaration + "<account>\r\n<record name=\"");
    fs.AddAccount(L"25000000", "");
    fs.AddAccount(L"4", AccountBytes("Dee", "true"));
    fs.makeStream = [](const FileSpec& fileSpec, const std::string& bytes) -> IStream*
    {
        return fileSpec.name == L"4" ? nullptr
                                     : new MemoryStream(fileSpec.name, bytes.data(), uint32_t(bytes.size()));
    };
    const auto before = fs.files;
    LogCapture log;

    AccountManager manager;
    EXPECT_EQ(Names(manager), std::vector<std::wstring>{L"[ Player ]"});
    EXPECT_EQ(fs.Account(L"12500000.act"), AccountBytes("[ Player ]", "true"));
    for (const auto& [key, bytes] : before)
        EXPECT_EQ(fs.files[key], bytes);
    for (const char* file : {"50000000.act", "25000000.act", "4.act"})
        EXPECT_NE(log.Text().find(std::string("Skipping account file \"") + file + "\": "), std::string::npos)
            << file;
}

TEST_F(Accounts, CreateAndRenameRefuseTakenNames)
{
    AddThree();
    AccountManager manager;
    Account* dora = manager.CreateAccount(L"Dora");
    ASSERT_NE(dora, nullptr);
    EXPECT_FALSE(dora->IsCurrent());
    EXPECT_EQ(fs.Account(L"50000000.act"), AccountBytes("Dora", "false"));
    EXPECT_EQ(Names(manager), (std::vector<std::wstring>{L"Ann", L"Bea", L"Cid", L"Dora"}));
    EXPECT_EQ(manager.CreateAccount(L"Dora"), nullptr);
    EXPECT_NE(manager.CreateAccount(L"dora"), nullptr) << "names match case-sensitively";

    EXPECT_FALSE(manager.RenameAccount(L"Ann", L"Bea"));
    EXPECT_FALSE(manager.RenameAccount(L"Zed", L"Yan"));
    fs.fault = FaultyFileSystem::Fault::Rename;
    EXPECT_FALSE(manager.RenameAccount(L"Ann", L"Ada"));
    EXPECT_TRUE(manager.AccountExists(L"Ann")) << "memory keeps what the file holds";
    EXPECT_EQ(manager.CreateAccount(L"Eve"), nullptr);
    EXPECT_EQ(fs.files.size(), 5u) << "a failed creation leaves no file";

    fs.fault = FaultyFileSystem::Fault::None;
    EXPECT_TRUE(manager.RenameAccount(L"Ann", L"Ada"));
    EXPECT_EQ(fs.Account(L"1.act"), AccountBytes("Ada", "false"));
    EXPECT_FALSE(manager.AccountExists(L"Ann"));
}

TEST_F(Accounts, SwitchingTellsHandlersBeforeAndAfterAndDeletingTheCurrentOnlyAfter)
{
    AddThree();
    AccountManager manager;
    RecordingHandler first(manager, "1", calls);
    RecordingHandler second(manager, "2", calls);
    manager.AddAccountChangeHandler(&first);
    manager.AddAccountChangeHandler(&second);

    EXPECT_TRUE(manager.SetCurrentAccount(L"Cid"));
    EXPECT_EQ(calls, (std::vector<std::string>{"1 changing Bea", "2 changing Bea", "1 changed Cid",
                                               "2 changed Cid"}));
    EXPECT_EQ(fs.Account(L"2.act"), AccountBytes("Bea", "false"));
    EXPECT_EQ(fs.Account(L"3.act"), AccountBytes("Cid", "true"));

    // An unknown name changes nothing and tells nobody.
    calls.clear();
    fs.steps.clear();
    EXPECT_FALSE(manager.SetCurrentAccount(L"Nobody"));
    EXPECT_TRUE(calls.empty() && fs.steps.empty());
    EXPECT_EQ(manager.GetCurrentAccount()->GetName(), L"Cid");

    // The current one again still runs the handlers; a removed handler hears nothing.
    manager.RemoveAccountChangeHandler(&first);
    manager.SetCurrentAccount(L"Cid");
    EXPECT_EQ(calls, (std::vector<std::string>{"2 changing Cid", "2 changed Cid"}));

    // Deleting the current one makes the first remaining current, without "changing": the outgoing
    // profile has left the list. Its file goes last.
    calls.clear();
    EXPECT_FALSE(manager.DeleteAccount(L"Nobody"));
    EXPECT_TRUE(manager.DeleteAccount(L"Cid"));
    EXPECT_EQ(calls, std::vector<std::string>{"2 changed Ann"});
    EXPECT_EQ(fs.Account(L"1.act"), AccountBytes("Ann", "true"));
    EXPECT_EQ(fs.steps.back(), "delete 3.act");
    EXPECT_EQ(fs.Account(L"3.act"), "<none>");
    calls.clear();
    EXPECT_TRUE(manager.DeleteAccount(L"Bea"));
    EXPECT_TRUE(manager.DeleteAccount(L"Ann"));
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(manager.GetCurrentAccount(), nullptr);
    EXPECT_TRUE(fs.files.empty());
}

TEST_F(Accounts, InstanceIsBuiltOnceAndFreedAtShutdown)
{
    AccountManager* instance = AccountManager::Instance();
    EXPECT_EQ(AccountManager::Instance(), instance);
    UnregisterFileSystem(&fs); // the fake is no heap object for shutdown to delete
    Internal::SingletonDestructor::DestroyAll();
    SetFileSystem(&fs);
    AccountManager* next = AccountManager::Instance();
    ASSERT_NE(next, nullptr);
    EXPECT_FALSE(next->GetCurrentAccount()->IsCreated()) << "a new manager, built from the file left behind";
    delete next;
}
