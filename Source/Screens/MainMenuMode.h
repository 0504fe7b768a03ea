#pragma once
// The title screen and hub of the game: the title scene, the lobby music, and the buttons that lead
// to the rest of the game. Escape asks whether to quit, as the "quit" button does.
#include "Scene/SceneApplicationMode.h"
#include "Screens/ScreenConventions.h"

#include <cstdint>

class MainMenuMode : public SceneApplicationMode
{
public:
    // The loading screen builds it with the entrance; every other way back to the menu without.
    explicit MainMenuMode(bool playEntrance);

    void Enter() override;
    // Each time it comes on top: the first-profile question, the name plate, the lobby music (not
    // restarted when it plays already), the entrance once, and the glow's pulse (started once).
    void Activate() override;
    // The buttons, by their object names.
    void HandleMessage(const Kestrin::Message& message) override;
    bool OnKeyDown(int key) override;

    bool GetPlayEntrance() const { return m_playEntrance; }
    // Set while only the default profile exists: the next button but "quit" asks for a name. Asked
    // once per state of the profile list: when the pop-up could not come up (its group is broken),
    // the menu works on until the list changes.
    bool GetAskForProfile() const { return m_askForProfile; }

    // The entrance's moves, in window pixels.
    static constexpr Kestrin::Vector2<float> kTableStart{0.0f, 543.0f};
    static constexpr Kestrin::Vector2<float> kTableRest{0.0f, 463.0f};
    static constexpr Kestrin::Vector2<float> kPictureStart{129.0f, 157.0f};
    static constexpr Kestrin::Vector2<float> kPictureEnd{102.0f, 103.0f};
    static constexpr float kPictureScale = 0.88f;

private:
    void AskToQuit();
    void PlayEntrance();

    ScreenGroup m_group{L"Title_MainMenu"};
    bool m_playEntrance;
    bool m_askForProfile = false;
    // The profile list's revision when the question was last asked, for every menu of the run.
    inline static uint64_t s_askedAtRevision = 0;
    // The glow's pulse never ends, so one is enough for every return to the menu.
    bool m_glowStarted = false;
};
