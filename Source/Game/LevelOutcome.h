#pragma once
// How a finished level reaches the outro screens, which live above gameplay: the application
// installs the hooks, tests record them. Without a hook the outcome is only logged.
#include <functional>
#include <string>

struct LevelOutcomeHooks
{
    // The level was won: expert when played faster than the expert time; whole seconds.
    std::function<void(bool expert, int playerTime, int expertTime)> success;
    // The level was lost: the reason shown (one of the two below) and the score.
    std::function<void(const std::wstring& reason, int value)> failure;
};

// Why a level is lost, as the failure outro shows it: the clock of a normal level ran out, or an
// endless session's board overflowed.
inline constexpr const wchar_t* OutOfTimeReason = L"Out of Time";
inline constexpr const wchar_t* TooMuchGunkReason = L"Too Much Gunk!";

// Replaces the installed hooks; empty hooks uninstall them.
void SetLevelOutcomeHooks(LevelOutcomeHooks hooks);
const LevelOutcomeHooks& GetLevelOutcomeHooks();

// Calls the installed hook.
void ReportLevelSuccess(bool expert, int playerTime, int expertTime);
void ReportLevelFailure(const std::wstring& reason, int value);
