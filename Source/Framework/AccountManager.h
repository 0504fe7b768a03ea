#pragma once
#include "Framework/Account.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace Kestrin
{

// Told before and after the current profile changes.
class IAccountChangeHandler
{
public:
    virtual ~IAccountChangeHandler() = default;
    virtual void OnAccountChanging() = 0;
    virtual void OnAccountChanged() = 0;
};

// The player profiles: every ".act" file of the per-user folder (location 2, folder ".").
// At most one profile is current; after start-up exactly one is, unless none could be made.
class AccountManager
{
public:
    // The global manager, built on first use.
    static AccountManager* Instance();
    // The global manager when one was built; null otherwise, building none.
    static AccountManager* Existing();

    // Loads every account file; a file that cannot be read or parsed is logged, left out and left
    // on disk untouched. Creates "[ Player ]" when none loads, and makes the first account current
    // when none is. Becomes the global manager when there is none.
    AccountManager();
    // Frees the accounts; their files stay.
    ~AccountManager();
    AccountManager(const AccountManager&) = delete;
    AccountManager& operator=(const AccountManager&) = delete;

    static constexpr const wchar_t* DefaultAccountName = L"[ Player ]";

    // Exact, case-sensitive match on the profile name.
    bool AccountExists(const std::wstring& name) const;
    Account* FindAccount(const std::wstring& name) const;
    // File order at start, then creation order. The manager keeps owning the accounts.
    std::vector<Account*> GetAccounts() const;
    // The first current account, or null.
    Account* GetCurrentAccount() const;

    // A new, not current profile in a new file; null when the name exists or the file could not
    // be written (logged).
    Account* CreateAccount(const std::wstring& name);
    // False, changing nothing, when newName is taken, oldName is unknown or the write fails.
    bool RenameAccount(const std::wstring& oldName, const std::wstring& newName);
    // Unknown names are ignored (false). A current profile leaves the list first, then the first
    // remaining one becomes current; then the file is deleted. False when the file stays.
    bool DeleteAccount(const std::wstring& name);
    // Handlers hear OnAccountChanging while the old profile is still current, OnAccountChanged
    // once the named one is. A name that matches no profile changes nothing and calls no handler.
    // False when a flag could not be written to its file (the change holds for this session).
    bool SetCurrentAccount(const std::wstring& name);

    // Changes whenever a profile is made, renamed or deleted. Numbers never repeat within a run,
    // also across stores, so one taken from an earlier store never matches.
    uint64_t GetListRevision() const { return m_revision; }

    // The account files left out at start because they could not be read, and why.
    struct UnreadableFile
    {
        std::wstring file;
        std::string reason;
    };
    const std::vector<UnreadableFile>& GetUnreadableFiles() const { return m_unreadable; }
    // One error box naming those files, saying that they were kept and where the log is; nothing
    // when every file was read. The program calls it once, when the box can be shown.
    void ReportUnreadableFiles() const;

    // The player's word about a profile that could not be made or saved: the first call shows the
    // error box, later ones only log (the reason is logged where it happens).
    void ReportSaveFailure(const std::string& reason);

    // Handlers are not owned; their owners remove them.
    void AddAccountChangeHandler(IAccountChangeHandler* handler);
    void RemoveAccountChangeHandler(IAccountChangeHandler* handler);

private:
    void NotifyHandlers(void (IAccountChangeHandler::*operation)());

    std::vector<std::unique_ptr<Account>> m_accounts;
    std::vector<IAccountChangeHandler*> m_handlers;
    std::vector<UnreadableFile> m_unreadable;
    uint64_t m_revision;
    bool m_saveFailureShown = false;
};

} // namespace Kestrin
