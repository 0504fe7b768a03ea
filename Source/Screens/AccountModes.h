#pragma once
// The profile screens: the list of player profiles with its pop-ups for a new profile and for
// deleting one, and the pop-up that asks a first-time player for a name in place of the default
// profile. They change the account store only; the list reads it afresh each time it comes on top.
#include "Scene/SceneApplicationMode.h"
#include "Screens/AbstractSlidingMode.h"
#include "Screens/ScreenConventions.h"

#include <deque>
#include <string>

namespace Kestrin
{
class Account;
}

// The list: one row per profile, the picked one highlighted; "OK" makes it current.
class AccountMode : public SceneApplicationMode
{
public:
    AccountMode() = default;

    void Enter() override;
    // Unloads the group, once for the load that succeeded.
    void Exit() override;
    void Activate() override;
    void HandleMessage(const Kestrin::Message& message) override;
    // Escape: as "Cancel".
    bool OnKeyDown(int key) override;
    // A release over a row picks it, as a press does.
    bool OnMouseUp(Kestrin::MouseButton button, int x, int y) override;
    // The screen beneath stays in view.
    bool IsOpaque() override { return false; }

    // One row per profile in the store's order, then the current profile's row picked.
    void RebuildList();
    // Picks the row whose "mouseHandle" child was pressed.
    void SelectEntry(SceneNode* mouseHandle);
    // The profile at the picked row; null when the list is shorter.
    Kestrin::Account* GetSelectedAccount() const;
    int GetSelectedIndex() const { return m_selectedIndex; }

    static constexpr float RowHeight = 26.0f;
    static constexpr size_t MaxProfiles = 10;

private:
    // The "mouseHandle" of the row under the point; null when none is.
    SceneNode* RowHandleAt(int x, int y);

    ScreenGroup m_group{L"Account"};
    // The rows by handle: removed from the database when the list is rebuilt.
    std::deque<Kestrin::ObjectHandle> m_entries;
    int m_selectedIndex = 0;
    bool m_loaded = false;
    bool m_built = false;
};

// A pop-up of the profiles' group with "OK" and "Cancel"; once it is done, clicks go unheard.
class AccountPopup : public AbstractSlidingMode
{
public:
    void HandleMessage(const Kestrin::Message& message) override;

    virtual void OnOK() = 0;
    virtual void OnCancel() = 0;

protected:
    ScreenGroup m_group{L"Account"};
    bool m_done = false;
};

// What the new-profile and first-profile pop-ups share: the name field, the checks of a name and
// the creation of the profile.
class ProfileNamePopup : public AccountPopup
{
public:
    // Enter presses "OK"; Escape "Cancel".
    bool OnKeyDown(int key) override;

    // Checks the typed name; a good one becomes a new current profile and the pop-up slides out.
    void OnOK() override;
    void OnCancel() override {}

protected:
    // Instantiates the pop-up's layout, fills its texts and slides it in; false, and input closes
    // the pop-up, when the layout is not there.
    bool Build();
    void FocusField();
    // After the new profile was made current.
    virtual void OnCreated() {}
};

// The new profile, pushed by the list; the name field has the keyboard focus.
class EditAccountMode : public ProfileNamePopup
{
public:
    EditAccountMode() = default;

    void Enter() override;
    // Slides out silently; nothing is made.
    void OnCancel() override;
};

// The first profile, pushed by the main menu while only the default profile exists: it loads the
// group itself, cannot be cancelled (its "Cancel" is hidden, Escape does nothing), and the default
// profile goes once the new one is made. The name field has the keyboard focus.
class FirstAccountMode : public ProfileNamePopup
{
public:
    FirstAccountMode() = default;

    void Enter() override;

protected:
    void OnCreated() override;
};

// Are you sure? Deletes the profile of that name, which the question names. Escape cancels.
class DeleteAccountMode : public AccountPopup
{
public:
    explicit DeleteAccountMode(std::wstring name);

    void Enter() override;
    bool OnKeyDown(int key) override;

    void OnOK() override;
    void OnCancel() override;

    const std::wstring& GetAccountName() const { return m_name; }

private:
    std::wstring m_name;
};
