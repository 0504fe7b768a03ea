#pragma once
// A run that measures what a still screen costs: "-still <seconds> [buttons]" lets the start-up road
// play to the main menu (naming a first profile when asked), waits for the menu to settle, then
// clicks its way along the buttons given (names separated by commas, each on the screen the one
// before it opened) and waits for the last screen to settle, then leaves that screen alone for
// that many seconds of the clock and logs the CPU time the whole program used meanwhile (every
// thread, the mixer's too) and how many frames were drawn, then quits.
// On the way, tutorial pop-ups are closed and movies skipped; a button that is not on the screen
// is passed over when a later one of the list is, so that screens shown only on a first visit
// may be listed.
#include "Framework/CommandLine.h"
#include "Platform/ApplicationMode.h"
#include "Runs/ProgramRun.h"

#include <chrono>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

class StillRun : public ProgramRun
{
public:
    struct Settings
    {
        float seconds = 0.0f;
        std::string button; // the buttons to click, separated by commas; empty: the menu itself
        bool operator==(const Settings&) const = default;
    };
    // The seconds after "-still" on the command line (positive, at most an hour) and the argument
    // after them unless it is another switch; nothing without the switch or a number.
    static std::optional<Settings> FromCommandLine(const Kestrin::CommandLine& line);

    explicit StillRun(Settings settings);

    // Every update step: answers the first-profile question, notices the menu, starts and ends the
    // measurement.
    void Update(float dt) override;

    bool IsMeasuring() const { return m_measuring; }
    bool IsDone() const { return m_done; }

    // Long enough for the menu's entrance and its first sounds.
    static constexpr float kSettleSeconds = 3.0f;
    // Before a click on the way: a screen's slide or card is in place by then.
    static constexpr float kStepSeconds = 1.0f;
    static constexpr const wchar_t* kProfileName = L"Still";

private:
    void Begin();
    void End();
    // One step along the buttons on the screen on top.
    void Advance(Kestrin::ApplicationMode* top);

    Settings m_settings;
    std::vector<std::string> m_path;
    size_t m_next = 0; // the first button of m_path not clicked yet
    Kestrin::ApplicationMode* m_top = nullptr;
    float m_onTop = 0.0f;
    bool m_measuring = false;
    bool m_done = false;
    std::clock_t m_cpuStart = 0;
    std::chrono::steady_clock::time_point m_wallStart;
    long m_framesAtStart = 0;
    long m_unchangedAtStart = 0;
};
