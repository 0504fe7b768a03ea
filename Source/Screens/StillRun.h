#pragma once
// A run that measures what a still screen costs: "-still <seconds>" lets the start-up road play to
// the main menu (naming a first profile when asked), waits for the menu to settle, then leaves it
// alone for that many seconds of the clock and logs the CPU time the whole program used meanwhile
// (every thread, the mixer's too) and how many frames were drawn, then quits.
#include "Platform/ApplicationMode.h"

#include <chrono>
#include <ctime>
#include <optional>

class StillRun
{
public:
    // The seconds after "-still" on the command line, if the switch is there with a positive number.
    static std::optional<float> SecondsFromCommandLine(const wchar_t* commandLine);

    explicit StillRun(float seconds);

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

    float m_seconds;
    Kestrin::ApplicationMode* m_top = nullptr;
    float m_onTop = 0.0f;
    bool m_measuring = false;
    bool m_done = false;
    std::clock_t m_cpuStart = 0;
    std::chrono::steady_clock::time_point m_wallStart;
    long m_framesAtStart = 0;
    long m_unchangedAtStart = 0;
};
