// The long run: the scripted player plays the campaign's levels and the endless levels in turn, each
// to its end, in the game's own screen, at full speed for a stretch of game time (an hour unless
// told: `level_soak [minutes]`). It prints the resident memory after warming up on every level, half
// way and at the end, every error a level gave while loading, and every error line or error box the
// log carried while it was played. Not part of CI: an hour of game time takes a while.
#include "harness/DataCheck.h"

#include "Base/Log.h"
#include "Framework/AccountManager.h"
#include "Game/GameLevels.h"
#include "Runs/ScreenTour.h"
#include "Screens/GameMode.h"

#include "harness/LevelPlay.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace
{

// Log lines that report something wrong: error boxes (which log their text first), and the
// loaders' and lookups' complaints.
bool IsErrorLine(std::string line)
{
    std::transform(line.begin(), line.end(), line.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    for (const char* word :
         {"error", "missing", "not found", "failed", "unknown", "exception", "can't", "cannot"})
        if (line.find(word) != std::string::npos)
            return true;
    return false;
}

// Collects the error lines logged while a level is being played, split at line ends.
class ErrorLines
{
public:
    ErrorLines()
    {
        m_id = Kestrin::AddLogListener(
            [this](const std::string& text)
            {
                std::lock_guard lock(m_mutex);
                if (!m_playing)
                    return;
                m_pending += text;
                for (size_t end; (end = m_pending.find('\n')) != std::string::npos;)
                {
                    std::string line = m_pending.substr(0, end);
                    m_pending.erase(0, end + 1);
                    if (IsErrorLine(line))
                        m_lines.push_back(std::move(line));
                }
            });
    }
    ~ErrorLines() { Kestrin::RemoveLogListener(m_id); }

    void SetPlaying(bool playing)
    {
        std::lock_guard lock(m_mutex);
        m_playing = playing;
        m_pending.clear();
    }
    std::vector<std::string> Take()
    {
        std::lock_guard lock(m_mutex);
        return std::exchange(m_lines, {});
    }

private:
    int m_id;
    std::mutex m_mutex;
    bool m_playing = false;
    std::string m_pending;
    std::vector<std::string> m_lines;
};

} // namespace

int main(int argc, char** argv)
{
    const double minutes = argc > 1 ? std::atof(argv[1]) : 60.0;
    const auto started = std::chrono::steady_clock::now();
    // The summary below is what matters: the log's lines are read for errors, not copied out. The
    // tree's load is judged by its report.
    Kestrin::SetLogToStderr(false);
    DataCheck::LoadedTree tree(KESTRIN_SOURCE_DIR "/data");
    for (const DataCheck::Problem& p : tree.LoadReport().problems)
        std::printf("data/%s: %s\n", p.file.c_str(), p.what.c_str());
    Playtest::ReadCampaign();
    // A player of its own, as a game has, in the tree's player folder: the tutorials and the
    // records the levels write go to a real profile file.
    Kestrin::AccountManager::Instance()->CreateAccount(L"Soak");
    Kestrin::AccountManager::Instance()->SetCurrentAccount(L"Soak");
    GameLevels::Instance().LoadProgress();
    std::printf("resident before the first level: %ld kB\n", GetResidentKilobytes());

    std::vector<std::pair<std::string, bool>> levels;
    for (const std::string& name : GameLevels::Instance().order)
        levels.emplace_back(name, false);
    for (const auto& [name, record] : GameLevels::Instance().records)
        if (name.rfind("Endless ", 0) == 0)
            levels.emplace_back(name, true);

    // Warming up: every level played for a few seconds, so the art, sounds and caches each one
    // brings are in before the first reading.
    for (const auto& [name, endless] : levels)
    {
        Playtest::RunOptions options;
        options.seconds = 5.0f;
        options.makeScreen = [] { return new GameMode; };
        Playtest::PlayLevel(name, endless, options);
    }
    const long warm = GetResidentKilobytes();
    std::printf("resident after warming up on every level: %ld kB\n", warm);

    ErrorLines errorLines;
    // The same line from many runs is printed once, with its count at the end.
    std::map<std::string, int> seen;
    double played = 0.0;
    long half = 0;
    int runs = 0, won = 0, lost = 0, errors = 0, playErrors = 0;
    for (size_t i = 0; played < minutes * 60.0; ++i)
    {
        const auto& [name, endless] = levels[i % levels.size()];
        Playtest::RunOptions options;
        options.seed = uint32_t(i + 1);
        options.untilEnd = true;
        // An endless session ends when its gunk overflows; ten minutes is more than any lasts.
        options.seconds = 600.0f;
        options.makeScreen = [] { return new GameMode; };
        // From here on it is play, not loading: what the log says now is the level's doing.
        options.afterLoad = [&errorLines](NimbalLevel&) { errorLines.SetPlaying(true); };
        const Playtest::LevelRun run = Playtest::PlayLevel(name, endless, options);
        errorLines.SetPlaying(false);
        played += run.seconds;
        ++runs;
        won += run.won;
        lost += run.lost;
        if (!run.loaded || !run.error.empty())
        {
            ++errors;
            std::printf("error in %s (run %d): %s\n", name.c_str(), runs, run.error.c_str());
        }
        const std::vector<std::string> lines = errorLines.Take();
        playErrors += int(lines.size());
        for (const std::string& line : lines)
            if (seen[line]++ == 0)
                std::printf("error line while playing %s (run %d): %s\n", name.c_str(), runs, line.c_str());
        if (half == 0 && played >= minutes * 30.0)
        {
            half = GetResidentKilobytes();
            std::printf("resident half way: %ld kB\n", half);
        }
        std::fflush(stdout);
    }
    const long end = GetResidentKilobytes();
    if (half == 0)
        half = end;
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("%d levels in %.0f s of game time (%.0f s of wall time): %d won, %d lost, %d with load "
                "errors, %d error lines while playing\n",
                runs, played, wall, won, lost, errors, playErrors);
    for (const auto& [line, count] : seen)
        if (count > 1)
            std::printf("  %dx %s\n", count, line.c_str());
    std::printf("resident at the end: %ld kB (growth %ld kB since warming up, %ld kB in the second half)\n",
                end, end - warm, end - half);
    return tree.LoadReport().problems.empty() && errors == 0 && playErrors == 0 && end - warm < 1024 ? 0 : 1;
}
