#pragma once
// The screens that close a level, pushed by the level over the frozen playing screen. A won
// appointment saves its progress as the screen is made, sums up the times and moves on without
// input; a lost one offers a retry or the main menu; an endless session shows its time against the
// guest's record and returns to the endless selection by itself.
#include "Framework/Task.h"
#include "Scene/SceneApplicationMode.h"
#include "Screens/ScreenConventions.h"

#include <string>

class LevelOutroFailureMode : public SceneApplicationMode
{
public:
    // reason: why the level ended (for the log); score: whole seconds survived in endless play.
    LevelOutroFailureMode(const std::wstring& reason, int score);

    void Enter() override;
    void Activate() override;
    void HandleMessage(const Kestrin::Message& message) override;
    bool IsOpaque() override { return false; }
    void DrawBackdrop() override {}

    // Back to the endless selection; ends the task that calls it.
    Kestrin::TaskStatus ContinueEndless();

    const std::wstring& GetReason() const { return reason; }
    int GetScore() const { return score; }
    // The endless form: whether the session beat or tied the guest's record.
    bool IsRecord() const { return m_record; }

    // Seconds from the first update to the return to the endless selection.
    static constexpr float kEndlessLength = 9.0f;

private:
    void EnterEndless();
    void EnterLose();

    std::wstring reason;
    int score;
    ScreenGroup m_group;
    bool m_record = false;
    bool m_left = false;
};

class LevelOutroSuccessMode : public SceneApplicationMode
{
public:
    // Saves the win: the level completed (expert or not), the next one opened.
    LevelOutroSuccessMode(bool expert, int playerTime, int expertTime);

    void Enter() override;
    // Starts the summary, once.
    void Activate() override;
    bool IsOpaque() override { return false; }
    void DrawBackdrop() override {}

    // On to the calendar after a day's last appointment, else to the next appointment.
    Kestrin::TaskStatus Continue();

    bool IsExpert() const { return expert; }
    int GetPlayerTime() const { return playerTime; }
    int GetExpertTime() const { return expertTime; }

    // Seconds from the activation to Continue.
    static float SummaryLength(bool expert) { return expert ? 7.0f : 6.0f; }

private:
    bool expert;
    int playerTime;
    int expertTime;
    ScreenGroup m_group{L"Level_Outro_NormalWin"};
    bool m_started = false;
};

// Lets the level, which lives below the screens, push these outros when it is decided.
void InstallLevelOutcomeHooks();
