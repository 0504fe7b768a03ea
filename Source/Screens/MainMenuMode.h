#pragma once
// The title screen and hub of the game: the title scene, the lobby music, and the buttons that lead
// to the rest of the game. Escape asks whether to quit, as the "quit" button does.
#include "Scene/SceneApplicationMode.h"
#include "Screens/ScreenConventions.h"

class MainMenuMode : public SceneApplicationMode
{
public:
    // The loading screen builds it with the entrance; every other way back to the menu without.
    explicit MainMenuMode(bool playEntrance);

    void Enter() override;
    // Each time it comes on top: the lobby music (not restarted when it plays already).
    void Activate() override;
    // The buttons, by their object names.
    void HandleMessage(const Kestrin::Message& message) override;
    bool OnKeyDown(int key) override;

    bool GetPlayEntrance() const { return m_playEntrance; }

private:
    void AskToQuit();

    ScreenGroup m_group{L"Title_MainMenu"};
    bool m_playEntrance;
};
