#pragma once
// "PlayData.log": one tab-separated line per decided level, appended to the file in the data
// folder, or in the per-user folder when the data folder cannot be written.
#include <ctime>
#include <string>

class GameLevels;

struct PlayDataLine
{
    std::time_t when = 0;
    std::wstring profile;
    std::string level; // UTF-8, as the level list gives it
    bool won = false;
    float timeElapsed = 0.0f;
    float expertTime = 0.0f;
    int gunkDrops = 0;
};

// ctime without its line feed, profile, level, TRUE|FALSE won, whole seconds (truncated),
// TRUE|FALSE for timeElapsed < expertTime (a comparison, not an achievement), gunk drops; one tab
// between fields, ended by a line feed alone, UTF-8.
std::string FormatPlayDataLine(const PlayDataLine& line);

// Appends bytes to the log. A log that opens in neither folder, or takes only part of the bytes,
// is reported on the diagnostic log and answers false; nothing else happens.
bool AppendPlayData(const std::string& bytes);

// The line for the current profile and the catalogue's current level, at the present time.
void AppendPlayDataLine(bool won, float timeElapsed, float expertTime, int gunkDrops);
void AppendPlayDataLine(bool won, float timeElapsed, float expertTime, int gunkDrops,
                        const GameLevels& catalogue);
