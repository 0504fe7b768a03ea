#pragma once
// The credits: one animation per page on one animated sprite, stepped through by "Next" and
// "Prev"; "MainMenu" goes back to the screen that pushed it.
#include "Scene/SceneApplicationMode.h"
#include "Screens/ScreenConventions.h"

class CreditsMode : public SceneApplicationMode
{
public:
    CreditsMode() = default;

    void Enter() override;
    void HandleMessage(const Kestrin::Message& message) override;
    // Escape leaves as "MainMenu" does.
    bool OnKeyDown(int key) override;

    int GetPageIndex() const { return m_pageIndex; }

private:
    void ShowPage();
    void UpdateButtons();

    ScreenGroup m_group{L"Credits"};
    int m_pageIndex = 0;
    bool m_built = false;
};
