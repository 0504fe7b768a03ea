#pragma once
// The encyclopedia of Tic kinds: four pages that replace one another through their tabs, so the
// screen that opened the encyclopedia (the main menu or the pause menu) stays beneath, and "Back"
// on any page returns there.
#include "Scene/SceneApplicationMode.h"
#include "Screens/ScreenConventions.h"

#include <string>
#include <vector>

class ButtonNode;

// What the pages share: their groups loaded in order, the layout, the tabs other than their own,
// "Back", and the encyclopedia music on every activation.
class TictionaryPage : public SceneApplicationMode
{
public:
    void Enter() override;
    void Activate() override;
    void HandleMessage(const Kestrin::Message& message) override;
    bool OnKeyDown(int key) override;

    bool IsBuilt() const { return m_built; }

    // Whether the current profile has unlocked the kind: its record holds exactly 1.
    static bool IsKindUnlocked(int kindIndex);

protected:
    TictionaryPage(std::vector<std::wstring> groups, const char* layout, Kestrin::NameId ownTab);

    // After the layout is built.
    virtual void OnBuilt() {}
    // A click on a button the shared part does not answer; true when the page acted.
    virtual bool OnButton(Kestrin::NameId) { return false; }

    ButtonNode* FindButton(Kestrin::NameId name);
    void SetButtonEnabled(Kestrin::NameId name, bool enabled);
    // The page's own group: its lookups are logged under it.
    ScreenGroup& Group() { return m_groups.back(); }

private:
    std::vector<ScreenGroup> m_groups;
    const char* m_layout;
    Kestrin::NameId m_ownTab;
    bool m_built = false;
};

// The collection: one button per kind, enabled once the kind is unlocked.
class TictionaryMainMode : public TictionaryPage
{
public:
    TictionaryMainMode();

    // Disables the collection tab and enables each kind's button as its record says.
    void RefreshEntries();

protected:
    void OnBuilt() override;
    bool OnButton(Kestrin::NameId name) override;
};

// One kind's profile, with steps to the previous and next unlocked kinds.
class TictionaryProfileMode : public TictionaryPage
{
public:
    explicit TictionaryProfileMode(int kindIndex);

    int GetKindIndex() const { return m_kindIndex; }
    // Steps to the next unlocked kind in that direction, wrapping 17 -> 0 and 0 -> 17; stays put
    // when a whole round finds none.
    void Flip(bool forward);
    void RefreshButtons();

protected:
    void OnBuilt() override;
    bool OnButton(Kestrin::NameId name) override;

private:
    void ShowKind();

    int m_kindIndex;
};

class TictionaryAboutMode : public TictionaryPage
{
public:
    TictionaryAboutMode();
};

// The game help, one of three sub-pages shown at a time.
class TictionaryHelpMode : public TictionaryPage
{
public:
    TictionaryHelpMode();

    // Hides "basics", "gameplay" and "tips", then shows the named one.
    void ShowPage(ScreenNode page);

protected:
    void OnBuilt() override;
    bool OnButton(Kestrin::NameId name) override;
};
