#pragma once
// The screen of a guest's file, which the day's schedule and the level intro both open.
#include "Game/GameConstants.h"
#include "Scene/SceneApplicationMode.h"
#include "Screens/ScreenConventions.h"

#include <string>

// A guest's file. Opened by the level intro on a first appointment (with its music and "next"),
// or by an appointment's profile button (silently, with "back").
class LevelSelectIntroMode : public SceneApplicationMode
{
public:
    struct Options
    {
        // Opened by the level intro (its music and "next"), not by a profile button.
        bool fromLevelIntro = false;
    };
    LevelSelectIntroMode(GuestID guest, std::string levelName, Options options);

    void Enter() override;
    void Activate() override;
    void HandleMessage(const Kestrin::Message& message) override;
    bool OnKeyDown(int key) override;
    bool IsOpaque() override { return false; }
    void DrawBackdrop() override {}

    GuestID GetGuest() const { return m_guest; }
    const std::string& GetLevelName() const { return m_levelName; }
    bool IsFromLevelIntro() const { return m_fromLevelIntro; }

private:
    void Build();
    void ShowEntryStatus(SceneNode* entry, LevelCompletionStatus status);

    ScreenGroup m_group{L"Level_Select_Introduction"};
    GuestID m_guest;
    std::string m_levelName;
    bool m_fromLevelIntro;
    bool m_popped = false;
};
