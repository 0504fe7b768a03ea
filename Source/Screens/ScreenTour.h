#pragma once
// A run without a player, for the developer and the headless check: "-tour <folder>" lets the
// start-up road play to the main menu, saves a picture of every screen that stays on top for a
// moment (movies are drawn by their host, not the game, so they have none), then asks to quit with
// Escape and answers "yes", so the program ends through its normal shutdown. The log says when each
// screen came on top and how much memory the program held at the main menu.
#include "Platform/ApplicationMode.h"

#include <chrono>
#include <optional>
#include <string>
#include <vector>

class ScreenTour
{
public:
    // The folder after "-tour" on the command line, if the switch is there.
    static std::optional<std::string> FolderFromCommandLine(const wchar_t* commandLine);

    explicit ScreenTour(std::string folder);

    // Every update step: notices a new top screen, and drives the main menu and the quit question.
    void Update(float dt);
    // After the screens are drawn: the picture, when one is due.
    void OnAfterDraw();

    // The pictures written so far, as paths.
    const std::vector<std::string>& GetShots() const { return m_shots; }

    // Long enough for a pop-up to settle, short enough for the loading screen's last second.
    static constexpr float kTimeBeforeShot = 0.8f;

private:
    void TakeShot();
    void Act(Kestrin::ApplicationMode* top);
    long MillisecondsSinceStart() const;

    std::string m_folder;
    std::chrono::steady_clock::time_point m_start;
    Kestrin::ApplicationMode* m_top = nullptr;
    float m_onTop = 0.0f;
    bool m_shotDue = false;
    bool m_shotTaken = false;
    bool m_asked = false;
    bool m_answered = false;
    std::vector<std::string> m_shots;
};

// The resident memory of this process in kilobytes (Linux); 0 when it cannot be read.
long GetResidentKilobytes();
