#pragma once
// A run that measures what a still screen costs: "-still <seconds> [button]" lets the start-up road
// play to the main menu (naming a first profile when asked), waits for the menu to settle, clicks
// the menu's button of that name if one is given and waits for the screen it opens to settle, then
// leaves the screen alone for that many seconds of the clock and logs the CPU time the whole
// program used meanwhile (every thread, the mixer's too) and how many frames were drawn, then quits.
#include "Platform/ApplicationMode.h"

#include <chrono>
#include <ctime>
#include <optional>
#include <string>

class StillRun
{
public:
    struct Settings
    {
        float seconds = 0.0f;
        std::string button; // empty: the menu itself
        bool operator==(const Settings&) const = default;
    };
    // The seconds after "-still" on the command line (positive, at most an hour) and the word after
    // them unless it is another switch; nothing without the switch or a number.
    static std::optional<Settings> FromCommandLine(const wchar_t* commandLine);

    explicit StillRun(Settings settings);

    // Every update step: answers the first-profile question, notices the menu, starts and ends the
    // measurement.
    void Update(float dt);

    bool IsMeasuring() const { return m_measuring; }
    bool IsDone() const { return m_done; }

    // Long enough for the menu's entrance and its first sounds.
    static constexpr float kSettleSeconds = 3.0f;
    static constexpr const wchar_t* kProfileName = L"Still";

private:
    void Begin();
    void End();

    Settings m_settings;
    bool m_clicked = false;
    Kestrin::ApplicationMode* m_top = nullptr;
    float m_onTop = 0.0f;
    bool m_measuring = false;
    bool m_done = false;
    std::clock_t m_cpuStart = 0;
    std::chrono::steady_clock::time_point m_wallStart;
    long m_framesAtStart = 0;
    long m_unchangedAtStart = 0;
};
