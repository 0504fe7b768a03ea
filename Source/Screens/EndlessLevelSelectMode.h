#pragma once
// Endless play's door: one button per guest whose endless level the profile has unlocked; the
// chosen guest's overlay pulses, their record shows, and Begin starts the level without an intro.
#include "Game/GameConstants.h"
#include "Scene/SceneApplicationMode.h"
#include "Screens/ScreenConventions.h"

#include <string>

class EndlessLevelSelectMode : public SceneApplicationMode
{
public:
    void Enter() override;
    void HandleMessage(const Kestrin::Message& message) override;
    bool OnKeyDown(int key) override;
    bool IsOpaque() override { return false; }

    // The guest's level from the list's endless levels (the last of theirs); a guest without one
    // changes nothing but hiding the guests' record pictures.
    void SelectGuest(GuestID guest);
    void ShowGuestOverlay(GuestID guest);
    // With a selection: that level becomes current and replaces every screen with the game.
    void BeginTraining();

    const std::string& GetSelectedLevel() const { return selectedLevel; }

private:
    void SetShown(SceneNode* node, bool shown);
    SceneNode* GuestChild(ScreenNode parent, const std::string& prefix, GuestID guest);

    ScreenGroup m_group{L"Level_Select_EndlessMode"};
    std::string selectedLevel;
};
