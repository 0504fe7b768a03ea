#include "Framework/AccountManager.h"

#include "Framework/Singletons.h"

#include "AccountFakes.h"
#include "Support/LogCapture.h"

#include <gtest/gtest.h>

using namespace Kestrin;
using namespace KestrinTest;

namespace
{
const std::string kNameKey = "Kestrin::AccountManager::Name";
const std::string kCurrentKey = "Kestrin::AccountManager::IsCurrent";

std::string AccountBytes(const std::string& name, const char* isCurrent)
{
    return kDeclaration + "<account>\r\n" + RecordLine(kNameKey, name) + RecordLine(kCurrentKey, isCurrent) +
           "</account>\r\n";
}

std::vector<std::wstring> Names(const AccountManager& manager)
{
    std::vector<std::wstring> names;
    for (Account* account : manager.GetAccounts())
        names.push_back(account->GetName());
    return names;
}

// Writes down every call with the name of the profile current at that moment.
class RecordingHandler : public IAccountChangeHandler
{
public:
    RecordingHandler(const AccountManager& manager, std::string tag, std::vector<std::string>& calls)
        : m_manager(manager), m_tag(std::move(tag)), m_calls(calls)
    {
    }
    void OnAccountChanging() override { Record("changing"); }
    void OnAccountChanged() override { Record("changed"); }

private:
    void Record(const char* what)
    {
        Account* current = m_manager.GetCurrentAccount();
        m_calls.push_back(m_tag + " " + what + " " + (current ? ToUtf8(current->GetName()) : "<none>"));
    }
    const AccountManager& m_manager;
    std::string m_tag;
    std::vector<std::string>& m_calls;
};

class Accounts : public ::testing::Test
{
protected:
    FaultyFileSystem fs;
    ScopedFileSystem scope{&fs};
    // 0.5, 0.25, 0.125, ... are exact in a float: names 50000000, 25000000, 12500000, ...
    FakeRandomStream random{{0.5f, 0.25f, 0.125f, 0.0625f}};
    ScopedStream2 stream2{&random};
    std::vector<std::string> calls;

    // Three profiles, Bea current.
    void AddThree()
    {
        fs.AddAccount(L"1", AccountBytes("Ann", "false"));
        fs.AddAccount(L"2", AccountBytes("Bea", "true"));
        fs.AddAccount(L"3", AccountBytes("Cid", "false"));
    }
};
} // namespace

TEST_F(Accounts, FirstStartMakesOneCurrentPlayer)
{
    AccountManager manager;
    ASSERT_EQ(fs.FileCount(), 1u); // no temporary file left behind
    EXPECT_EQ(fs.Account(L"50000000.act"), AccountBytes("[ Player ]", "true"));
    Account* current = manager.GetCurrentAccount();
    ASSERT_NE(current, nullptr);
    EXPECT_EQ(current->GetName(), L"[ Player ]");
    EXPECT_TRUE(current->IsCreated());
    EXPECT_TRUE(current->GetBool(Account::IsCurrentKey, false));
    EXPECT_EQ(current->GetFileSpec(), FileSpec(2, L"50000000", L".act", L"."));

    // A restart finds the same profile, still current, loaded rather than created.
    AccountManager again;
    ASSERT_EQ(Names(again), std::vector<std::wstring>{L"[ Player ]"});
    EXPECT_TRUE(again.GetCurrentAccount() && !again.GetCurrentAccount()->IsCreated());
    EXPECT_EQ(fs.FileCount(), 1u);
}

TEST_F(Accounts, StartKeepsTheStoredCurrentProfileOrPicksTheFirst)
{
    AddThree();
    {
        AccountManager manager;
        EXPECT_EQ(Names(manager), (std::vector<std::wstring>{L"Ann", L"Bea", L"Cid"})); // file order
        EXPECT_EQ(manager.GetCurrentAccount()->GetName(), L"Bea");
        EXPECT_EQ(fs.steps.size(), 0u) << "nothing to write";
    }
    fs.AddAccount(L"2", AccountBytes("Bea", "false"));
    AccountManager manager;
    EXPECT_EQ(manager.GetCurrentAccount()->GetName(), L"Ann");
    EXPECT_EQ(fs.Account(L"1.act"), AccountBytes("Ann", "true"));
}

TEST_F(Accounts, CorruptOrUnreadableFilesAreSkippedAndLeftAlone)
{
    const std::string broken = kDeclaration + "<account>\r\n<record name=\"";
    fs.AddAccount(L"1", broken);
    fs.AddAccount(L"2", AccountBytes("Bea", "false"));
    fs.AddAccount(L"3", "");
    fs.AddAccount(L"4", AccountBytes("Dee", "true"));
    fs.makeStream = [](const FileSpec& spec, const std::string& bytes) -> IStream*
    { return spec.name == L"4" ? nullptr : new MemoryStream(spec.name, bytes.data(), uint32_t(bytes.size())); };
    LogCapture log;

    AccountManager manager;
    EXPECT_EQ(Names(manager), std::vector<std::wstring>{L"Bea"});
    EXPECT_EQ(manager.GetCurrentAccount()->GetName(), L"Bea");
    EXPECT_EQ(fs.Account(L"1.act"), broken);
    EXPECT_EQ(fs.Account(L"3.act"), "");
    EXPECT_EQ(fs.Account(L"4.act"), AccountBytes("Dee", "true"));
    for (const char* file : {"1.act", "3.act", "4.act"})
        EXPECT_NE(log.Text().find(std::string("Skipping account file \"") + file + "\": "), std::string::npos)
            << file << "\n" << log.Text();
}

TEST_F(Accounts, OnlyCorruptFilesGiveAFreshPlayerUnderANewName)
{
    // The first two names drawn belong to broken files, which must never be overwritten.
    fs.AddAccount(L"50000000", "garbage");
    fs.AddAccount(L"25000000", "<account>");
    AccountManager manager;
    EXPECT_EQ(fs.Account(L"50000000.act"), "garbage");
    EXPECT_EQ(fs.Account(L"25000000.act"), "<account>");
    EXPECT_EQ(fs.Account(L"12500000.act"), AccountBytes("[ Player ]", "true"));
    EXPECT_EQ(Names(manager), std::vector<std::wstring>{L"[ Player ]"});
}

TEST_F(Accounts, CreateAddsANewProfileThatIsNotCurrent)
{
    AddThree();
    AccountManager manager;
    Account* created = manager.CreateAccount(L"Dora");
    ASSERT_NE(created, nullptr);
    EXPECT_EQ(created->GetName(), L"Dora");
    EXPECT_FALSE(created->IsCurrent());
    EXPECT_EQ(fs.Account(L"50000000.act"), AccountBytes("Dora", "false"));
    EXPECT_EQ(Names(manager), (std::vector<std::wstring>{L"Ann", L"Bea", L"Cid", L"Dora"}));
    EXPECT_EQ(manager.FindAccount(L"Dora"), created);
    EXPECT_EQ(manager.GetCurrentAccount()->GetName(), L"Bea");

    // Names are matched exactly: another case is another profile.
    EXPECT_EQ(manager.CreateAccount(L"Dora"), nullptr);
    EXPECT_EQ(manager.FindAccount(L"dora"), nullptr);
    EXPECT_NE(manager.CreateAccount(L"dora"), nullptr);
    EXPECT_EQ(fs.FileCount(), 5u);
}

TEST_F(Accounts, CreateThatCannotWriteAddsNothing)
{
    AddThree();
    AccountManager manager;
    LogCapture log;
    for (auto fault : {FaultyFileSystem::Fault::OpenForWriting, FaultyFileSystem::Fault::Sync})
    {
        fs.fault = fault;
        EXPECT_EQ(manager.CreateAccount(L"Dora"), nullptr);
        EXPECT_EQ(fs.FileCount(), 3u);
    }
    EXPECT_EQ(Names(manager).size(), 3u);
    EXPECT_NE(log.Text().find("Couldn't create account file"), std::string::npos) << log.Text();

    // The empty file goes through, the name record does not: no nameless file is left behind.
    fs.fault = FaultyFileSystem::Fault::None;
    int writes = 0;
    fs.makeStream = [&](const FileSpec& spec, const std::string& bytes) -> IStream*
    {
        if (spec.extension == L".act" && spec.name.size() > 1 && ++writes == 1)
            fs.fault = FaultyFileSystem::Fault::Rename;
        return new MemoryStream(spec.name, bytes.data(), uint32_t(bytes.size()));
    };
    EXPECT_EQ(manager.CreateAccount(L"Dora"), nullptr);
    EXPECT_EQ(fs.FileCount(), 3u);
    EXPECT_EQ(manager.FindAccount(L"Dora"), nullptr);
}

TEST_F(Accounts, RenameRules)
{
    AddThree();
    AccountManager manager;
    Account* ann = manager.FindAccount(L"Ann");

    EXPECT_FALSE(manager.RenameAccount(L"Ann", L"Bea")); // taken
    EXPECT_FALSE(manager.RenameAccount(L"Zed", L"Yan")); // unknown
    EXPECT_TRUE(fs.steps.empty());

    fs.fault = FaultyFileSystem::Fault::Rename;
    EXPECT_FALSE(manager.RenameAccount(L"Ann", L"Ada"));
    EXPECT_EQ(ann->GetName(), L"Ann") << "memory keeps what the file holds";

    fs.fault = FaultyFileSystem::Fault::None;
    EXPECT_TRUE(manager.RenameAccount(L"Ann", L"Ada"));
    EXPECT_EQ(ann->GetName(), L"Ada");
    EXPECT_EQ(fs.Account(L"1.act"), AccountBytes("Ada", "false"));
    EXPECT_FALSE(manager.AccountExists(L"Ann"));
    EXPECT_TRUE(manager.AccountExists(L"Ada"));
}

TEST_F(Accounts, SwitchingTellsHandlersBeforeAndAfter)
{
    AddThree();
    AccountManager manager;
    RecordingHandler first(manager, "1", calls);
    RecordingHandler second(manager, "2", calls);
    manager.AddAccountChangeHandler(&first);
    manager.AddAccountChangeHandler(&second);

    EXPECT_TRUE(manager.SetCurrentAccount(L"Cid"));
    EXPECT_EQ(calls, (std::vector<std::string>{"1 changing Bea", "2 changing Bea", "1 changed Cid", "2 changed Cid"}));
    EXPECT_EQ(fs.Account(L"2.act"), AccountBytes("Bea", "false"));
    EXPECT_EQ(fs.Account(L"3.act"), AccountBytes("Cid", "true"));
    EXPECT_FALSE(manager.FindAccount(L"Bea")->IsCurrent());

    // Choosing the current one again still runs the handlers (the game reapplies settings).
    calls.clear();
    EXPECT_TRUE(manager.SetCurrentAccount(L"Cid"));
    EXPECT_EQ(calls, (std::vector<std::string>{"1 changing Cid", "2 changing Cid", "1 changed Cid", "2 changed Cid"}));

    // A name that matches no profile changes nothing.
    calls.clear();
    fs.steps.clear();
    EXPECT_FALSE(manager.SetCurrentAccount(L"Nobody"));
    EXPECT_TRUE(calls.empty());
    EXPECT_TRUE(fs.steps.empty());
    EXPECT_EQ(manager.GetCurrentAccount()->GetName(), L"Cid");

    // A removed handler hears nothing more.
    manager.RemoveAccountChangeHandler(&first);
    calls.clear();
    manager.SetCurrentAccount(L"Ann");
    EXPECT_EQ(calls, (std::vector<std::string>{"2 changing Cid", "2 changed Ann"}));

    // The choice survives a restart.
    AccountManager again;
    EXPECT_EQ(again.GetCurrentAccount()->GetName(), L"Ann");
}

TEST_F(Accounts, HandlerMayRemoveItselfOrAnotherWhileCalled)
{
    AddThree();
    AccountManager manager;
    struct Remover : IAccountChangeHandler
    {
        AccountManager* manager = nullptr;
        IAccountChangeHandler* victim = nullptr;
        int changing = 0;
        int changed = 0;
        void OnAccountChanging() override
        {
            ++changing;
            manager->RemoveAccountChangeHandler(victim);
        }
        void OnAccountChanged() override { ++changed; }
    };
    Remover a;
    Remover b;
    a.manager = b.manager = &manager;
    a.victim = &b; // b is gone before its turn
    b.victim = &b;
    manager.AddAccountChangeHandler(&a);
    manager.AddAccountChangeHandler(&b);
    manager.SetCurrentAccount(L"Ann");
    EXPECT_EQ(a.changing, 1);
    EXPECT_EQ(a.changed, 1);
    EXPECT_EQ(b.changing + b.changed, 0);
}

TEST_F(Accounts, DeletingTheCurrentProfileMakesTheFirstRemainingCurrent)
{
    AddThree();
    AccountManager manager;
    RecordingHandler first(manager, "1", calls);
    RecordingHandler second(manager, "2", calls);
    manager.AddAccountChangeHandler(&first);
    manager.AddAccountChangeHandler(&second);

    EXPECT_FALSE(manager.DeleteAccount(L"Nobody"));
    EXPECT_EQ(fs.FileCount(), 3u);

    EXPECT_TRUE(manager.DeleteAccount(L"Bea"));
    // No "changing": the outgoing profile has already left the list.
    EXPECT_EQ(calls, (std::vector<std::string>{"1 changed Ann", "2 changed Ann"}));
    EXPECT_EQ(fs.Account(L"2.act"), "<none>");
    EXPECT_EQ(fs.Account(L"1.act"), AccountBytes("Ann", "true"));
    EXPECT_EQ(Names(manager), (std::vector<std::wstring>{L"Ann", L"Cid"}));
    // The flag was written before the file went away.
    EXPECT_EQ(fs.steps.back(), "delete 2.act");

    // Deleting one that is not current touches nobody else.
    calls.clear();
    EXPECT_TRUE(manager.DeleteAccount(L"Cid"));
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(manager.GetCurrentAccount()->GetName(), L"Ann");

    // The last profile may go; then none is current and no handler is told.
    EXPECT_TRUE(manager.DeleteAccount(L"Ann"));
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(manager.GetCurrentAccount(), nullptr);
    EXPECT_TRUE(manager.GetAccounts().empty());
    EXPECT_EQ(fs.FileCount(), 0u);
}

TEST_F(Accounts, InstanceIsBuiltOnceAndFreedAtShutdown)
{
    AccountManager* instance = AccountManager::Instance();
    ASSERT_NE(instance, nullptr);
    EXPECT_EQ(AccountManager::Instance(), instance);
    EXPECT_EQ(Names(*instance), std::vector<std::wstring>{L"[ Player ]"});
    UnregisterFileSystem(&fs); // the fake is no heap object for shutdown to delete
    Internal::SingletonDestructor::DestroyAll();
    SetFileSystem(&fs);
    EXPECT_EQ(fs.FileCount(), 1u) << "files outlive the manager";
    // Built again on the next use, from the file the first one made.
    AccountManager* next = AccountManager::Instance();
    ASSERT_NE(next, nullptr);
    EXPECT_FALSE(next->GetCurrentAccount()->IsCreated());
    delete next;
}
