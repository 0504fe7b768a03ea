#include "Framework/AccountManager.h"

#include "Base/Log.h"
#include "Base/Text.h"
#include "Framework/ErrorBox.h"
#include "Framework/FileSystem.h"
#include "Framework/FileUtilities.h"
#include "Framework/Paths.h"
#include "Framework/Singletons.h"

#include <algorithm>
#include <atomic>

namespace Kestrin
{

namespace
{
AccountManager* g_instance = nullptr;
Internal::PointerSingletonDestructor<AccountManager, SingletonOrder::AccountManager> g_guard(g_instance);

std::atomic<uint64_t> g_revisions{0};

uint64_t NextRevision()
{
    return ++g_revisions;
}

std::string FileNameOf(const FileSpec& file)
{
    return ToUtf8(file.name + file.extension);
}

// Writes an account's current flag. The manager's own operations never throw over one bad file:
// the change holds for this session, and the failure is logged.
bool WriteCurrentFlag(Account& account, bool isCurrent)
{
    try
    {
        return account.SetBool(Account::IsCurrentKey, isCurrent);
    }
    catch (const std::exception& e)
    {
        LogPrintf("Couldn't write account file \"%s\": %s\n", FileNameOf(account.GetFileSpec()).c_str(),
                  e.what());
        return false;
    }
}
} // namespace

AccountManager* AccountManager::Instance()
{
    if (!g_instance)
        new AccountManager; // stores itself
    return g_instance;
}

AccountManager* AccountManager::Existing()
{
    return g_instance;
}

void ReportAccountSaveFailure(const std::string& reason)
{
    if (g_instance)
        g_instance->ReportSaveFailure(reason);
}

AccountManager::AccountManager() : m_revision(NextRevision())
{
    std::vector<FileSpec> files;
    if (IFileSystem* fileSystem = GetFileSystem())
        fileSystem->ListFiles(FileSpec(2, L"*", L".act", L"."), files);
    for (const FileSpec& file : files)
    {
        // One bad file must not keep the game from starting, nor be overwritten: it stays on
        // disk for the player (or support) to look at, and new files never take its name.
        try
        {
            m_accounts.push_back(std::make_unique<Account>(file));
        }
        catch (const std::exception& e)
        {
            LogPrintf("Skipping account file \"%s\": %s\n", FileNameOf(file).c_str(), e.what());
            m_unreadable.push_back({file.name + file.extension, e.what()});
        }
    }
    // Before the default profile is made, so that a failure to make it reaches this store's report.
    if (!g_instance)
        g_instance = this;
    if (m_accounts.empty())
        CreateAccount(DefaultAccountName);
    if (!GetCurrentAccount() && !m_accounts.empty())
        SetCurrentAccount(m_accounts.front()->GetName());
}

AccountManager::~AccountManager()
{
    if (g_instance == this)
        g_instance = nullptr;
}

bool AccountManager::AccountExists(const std::wstring& name) const
{
    return FindAccount(name) != nullptr;
}

Account* AccountManager::FindAccount(const std::wstring& name) const
{
    for (const auto& account : m_accounts)
        if (account->GetName() == name)
            return account.get();
    return nullptr;
}

std::vector<Account*> AccountManager::GetAccounts() const
{
    std::vector<Account*> accounts;
    accounts.reserve(m_accounts.size());
    for (const auto& account : m_accounts)
        accounts.push_back(account.get());
    return accounts;
}

Account* AccountManager::GetCurrentAccount() const
{
    for (const auto& account : m_accounts)
        if (account->IsCurrent())
            return account.get();
    return nullptr;
}

Account* AccountManager::CreateAccount(const std::wstring& name)
{
    if (AccountExists(name))
        return nullptr;
    FileSpec file(2, L"", L".act", L".");
    try
    {
        MakeUniqueRandomFileSpec(file);
        const std::string bytes = Account::EmptyFileBytes();
        std::string error;
        if (!ReplaceFileContents(file, bytes.data(), uint32_t(bytes.size()), &error))
        {
            LogPrintf("Couldn't create account file \"%s\": %s\n", FileNameOf(file).c_str(), error.c_str());
            ReportSaveFailure(FileNameOf(file) + ": " + error);
            return nullptr;
        }
    }
    catch (const std::exception& e)
    {
        LogPrintf("Couldn't create an account file: %s\n", e.what());
        ReportSaveFailure(e.what());
        return nullptr;
    }
    std::unique_ptr<Account> account;
    try
    {
        account = std::make_unique<Account>(file, name);
    }
    catch (const std::exception& e)
    {
        // A file without its name would come back next time as a nameless profile.
        LogPrintf("Couldn't create account file \"%s\": %s\n", FileNameOf(file).c_str(), e.what());
        if (IFileSystem* fileSystem = GetFileSystem())
            fileSystem->Delete(file);
        return nullptr;
    }
    m_accounts.push_back(std::move(account));
    m_revision = NextRevision();
    return m_accounts.back().get();
}

bool AccountManager::RenameAccount(const std::wstring& oldName, const std::wstring& newName)
{
    if (AccountExists(newName))
        return false;
    Account* account = FindAccount(oldName);
    if (!account)
        return false;
    try
    {
        // The name changes only once the file has it, so memory and disk never disagree.
        if (!account->WriteRecord(Account::NameKey, newName))
            return false;
    }
    catch (const std::exception& e)
    {
        LogPrintf("Couldn't write account file \"%s\": %s\n", FileNameOf(account->GetFileSpec()).c_str(),
                  e.what());
        return false;
    }
    account->m_name = newName;
    m_revision = NextRevision();
    return true;
}

bool AccountManager::DeleteAccount(const std::wstring& name)
{
    auto it =
        std::find_if(m_accounts.begin(), m_accounts.end(),
                     [&](const std::unique_ptr<Account>& account) { return account->GetName() == name; });
    if (it == m_accounts.end())
        return false;
    // Out of the list first: the handlers must not save into a profile that is going away.
    std::unique_ptr<Account> account = std::move(*it);
    m_accounts.erase(it);
    m_revision = NextRevision();
    if (account->IsCurrent() && !m_accounts.empty())
        SetCurrentAccount(m_accounts.front()->GetName());
    IFileSystem* fileSystem = GetFileSystem();
    if (!fileSystem || !fileSystem->Delete(account->GetFileSpec()))
    {
        LogPrintf("Couldn't delete account file \"%s\"\n", FileNameOf(account->GetFileSpec()).c_str());
        return false;
    }
    return true;
}

bool AccountManager::SetCurrentAccount(const std::wstring& name)
{
    // An unknown name would leave no profile current, which no caller is ready for.
    if (!AccountExists(name))
        return false;
    if (GetCurrentAccount())
        NotifyHandlers(&IAccountChangeHandler::OnAccountChanging);
    bool written = true;
    for (const auto& account : m_accounts)
    {
        if (account->IsCurrent() && account->GetName() != name)
        {
            account->m_isCurrent = false;
            written = WriteCurrentFlag(*account, false) && written;
        }
        else if (!account->IsCurrent() && account->GetName() == name)
        {
            account->m_isCurrent = true;
            written = WriteCurrentFlag(*account, true) && written;
        }
    }
    if (GetCurrentAccount())
        NotifyHandlers(&IAccountChangeHandler::OnAccountChanged);
    return written;
}

namespace
{
std::wstring UserFolderForMessages()
{
    const std::wstring folder = GetAppDataFolder();
    return folder.empty() ? L"(unknown)" : folder;
}
} // namespace

void AccountManager::ReportUnreadableFiles() const
{
    if (m_unreadable.empty())
        return;
    const std::wstring folder = UserFolderForMessages();
    std::wstring text = m_unreadable.size() == 1 ? L"This player profile could not be read:\n"
                                                 : L"These player profiles could not be read:\n";
    for (const UnreadableFile& file : m_unreadable)
        text += L"\n\"" + file.file + L"\" (" + FromUtf8(file.reason) + L")";
    text += L"\n\nThe game goes on without them. Each file was kept as it was in the folder \"" + folder +
            L"\"; nothing was overwritten. The details are in LOG.TXT in that folder.";
    ShowErrorBox(L"A player profile could not be read", text);
}

void AccountManager::ReportSaveFailure(const std::string& reason)
{
    if (m_saveFailureShown)
        return;
    m_saveFailureShown = true;
    const std::wstring folder = UserFolderForMessages();
    ShowErrorBox(L"Your profile could not be saved",
                 L"The game could not save a player profile in the folder \"" + folder + L"\": " +
                     FromUtf8(reason) +
                     L".\n\nThe game goes on, but new players, progress and settings may be lost when it "
                     L"ends. Make sure the folder can be written to and the disk is not full. The "
                     L"details are in LOG.TXT in that folder.");
}

void AccountManager::NotifyHandlers(void (IAccountChangeHandler::*operation)())
{
    // Over a copy, since a handler may remove itself or others while it is called; one removed
    // meanwhile is skipped, as its owner may be gone.
    const std::vector<IAccountChangeHandler*> handlers = m_handlers;
    for (IAccountChangeHandler* handler : handlers)
        if (std::find(m_handlers.begin(), m_handlers.end(), handler) != m_handlers.end())
            (handler->*operation)();
}

void AccountManager::AddAccountChangeHandler(IAccountChangeHandler* handler)
{
    m_handlers.push_back(handler);
}

void AccountManager::RemoveAccountChangeHandler(IAccountChangeHandler* handler)
{
    std::erase(m_handlers, handler);
}

} // namespace Kestrin
