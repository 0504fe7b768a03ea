#pragma once
#include <functional>
#include <string>

// A game data file that failed to load: one log line with the caption and the reason, then the
// error box. The caller carries on with what it has.
void ReportGameDataError(const std::string& what, const std::wstring& caption);

// Where the error box goes; tests record it. An empty function restores the default.
using GameErrorBox = std::function<void(const std::wstring& text, const std::wstring& caption)>;
void SetGameErrorBox(GameErrorBox box);
