// The long run: the scripted player plays the campaign's levels and the endless levels in turn, each
// to its end, in the game's own screen, at full speed for a stretch of game time (an hour unless
// told: `level_soak [minutes]`). It prints the resident memory after the first round of warming up
// and at the end, and every error a level gave. Not part of CI: an hour of game time takes a while.
#include "DataCheck.h"

#include "Game/GameLevels.h"
#include "Screens/GameMode.h"
#include "Screens/ScreenTour.h"

#include "Support/Play/LevelPlay.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

int main(int argc, char** argv)
{
    const double minutes = argc > 1 ? std::atof(argv[1]) : 60.0;
    DataCheck::LoadedTree tree(KESTRIN_SOURCE_DIR "/data");
    Playtest::ReadCampaign();

    std::vector<std::pair<std::string, bool>> levels;
    for (const std::string& name : GameLevels::Instance().order)
        levels.emplace_back(name, false);
    for (const auto& [name, record] : GameLevels::Instance().records)
        if (name.rfind("Endless ", 0) == 0)
            levels.emplace_back(name, true);

    double played = 0.0;
    long warm = 0;
    int runs = 0, won = 0, lost = 0, errors = 0;
    for (size_t i = 0; played < minutes * 60.0; ++i)
    {
        const auto& [name, endless] = levels[i % levels.size()];
        Playtest::RunOptions options;
        options.seed = uint32_t(i + 1);
        options.untilEnd = true;
        // An endless session ends when its gunk overflows; ten minutes is more than any lasts.
        options.seconds = 600.0f;
        options.makeScreen = [] { return new GameMode; };
        const Playtest::LevelRun run = Playtest::PlayLevel(name, endless, options);
        played += run.seconds;
        ++runs;
        won += run.won;
        lost += run.lost;
        if (!run.loaded || !run.error.empty())
        {
            ++errors;
            std::printf("error in %s (run %d): %s\n", name.c_str(), runs, run.error.c_str());
        }
        if (i + 1 == 3)
        {
            warm = GetResidentKilobytes();
            std::printf("resident after warming up: %ld kB\n", warm);
        }
        std::fflush(stdout);
    }
    const long end = GetResidentKilobytes();
    std::printf("%d levels in %.0f s of game time: %d won, %d lost, %d with errors\n", runs, played, won, lost,
                errors);
    std::printf("resident at the end: %ld kB (growth %ld kB since warming up)\n", end, end - warm);
    return errors == 0 && end - warm < 1024 ? 0 : 1;
}
