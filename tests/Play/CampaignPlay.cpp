// The campaign played by the scripted player, on a copy of the data tree (the level's outcome
// writes its log at the data root).
//   campaign_play smoke [seconds]   every level for a simulated minute (or the seconds given); fails
//                                   on an exception, a level that does not load, or a step with more
//                                   creatures than the factory allows then
//   campaign_play playtest [seeds] [untimed]
//                                   every campaign level to its end under each seed (5 unless
//                                   given); prints each week's win rate beside its tuning. Untimed,
//                                   the clock never runs out: the time of a win is then how long the
//                                   player needs, whatever the time limit
//   campaign_play trace LEVEL [seed] [untimed]
//                                   one level to its end, a line every five simulated seconds
#include "harness/DataCheck.h"

#include "Framework/ObjectDatabase.h"
#include "Game/BasicGremlin.h"
#include "Game/GameLevels.h"
#include "Game/GremlinFactory.h"
#include "Game/LevelFile.h"
#include "Game/NimbalGunk.h"
#include "Game/NimbalLevel.h"
#include "Game/PowerUpGremlin.h"

#include "harness/LevelPlay.h"
#include "harness/TempFolder.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace
{

std::vector<std::pair<std::string, bool>> Levels(bool withEndless)
{
    std::vector<std::pair<std::string, bool>> levels;
    const GameLevels& catalogue = GameLevels::Instance();
    for (const std::string& name : catalogue.order)
        levels.push_back({name, false});
    if (withEndless)
        for (const auto& [name, record] : catalogue.records)
            if (std::find(catalogue.order.begin(), catalogue.order.end(), name) == catalogue.order.end())
                levels.push_back({name, true});
    return levels;
}

uint32_t SeedOf(const std::string& name, uint32_t run)
{
    uint32_t h = 2166136261u;
    for (unsigned char c : name)
        h = (h ^ c) * 16777619u;
    return h + run * 7919u;
}

int Smoke(float seconds)
{
    int faults = 0;
    const auto start = std::chrono::steady_clock::now();
    for (const auto& [name, endless] : Levels(true))
    {
        Playtest::RunOptions options;
        options.seconds = seconds;
        options.seed = SeedOf(name, 0);
        const Playtest::LevelRun run = Playtest::PlayLevel(name, endless, options);
        const bool fault = !run.loaded || !run.error.empty() || run.stepsOverLimit > 0;
        faults += fault;
        std::printf("%-18s %5.1f s  lines %3d  caught %3d  loops %3d  wandering %2d/%2d  kings %d/%d%s%s%s\n",
                    name.c_str(), run.seconds, run.counts.lines, run.counts.spears, run.counts.loops,
                    run.mostWandering, run.wanderingLimit, run.mostKings, run.kingLimit,
                    run.won    ? "  won"
                    : run.lost ? "  lost"
                               : "",
                    fault ? "  FAULT " : "", run.error.c_str());
    }
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%d faults; %.1f s of wall time\n", faults, wall);
    return faults ? 1 : 0;
}

struct Week
{
    int levels = 0, runs = 0, wins = 0, losses = 0;
    double timeLimit = 0, initial = 0, wandering = 0, delayMin = 0, delayMax = 0, traps = 0, cells = 0;
    double winSeconds = 0, loops = 0, explosions = 0, gunkAtLoss = 0;
};

int PlayTable(int seeds, bool untimed)
{
    std::map<int, Week> weeks;
    for (const auto& [name, endless] : Levels(false))
    {
        Week& week = weeks[name[0] - '0'];
        const LevelFileData file = ReadLevelFile(LevelFileSpec(name), false);
        int cells = 0;
        for (const GunkPatchData& patch : ReadBoardFile(BoardFileSpec(name, "")))
            for (char c : patch.data)
                cells += c != '0';
        ++week.levels;
        week.timeLimit += file.timeLimit, week.initial += file.spawn.numInitial,
            week.wandering += file.spawn.maxWandering;
        week.delayMin += file.spawn.delayMin, week.delayMax += file.spawn.delayMax,
            week.traps += double(file.trapSlots.size());
        week.cells += cells;
        for (int seed = 0; seed < seeds; ++seed)
        {
            Playtest::RunOptions options;
            options.untilEnd = true;
            options.seed = SeedOf(name, uint32_t(seed));
            if (untimed)
                options.afterLoad = [](NimbalLevel& level)
                { level.timeLimit = level.timeRemaining = 1000.0f; };
            const Playtest::LevelRun run = Playtest::PlayLevel(name, false, options);
            ++week.runs;
            week.wins += run.won;
            week.losses += run.lost;
            week.loops += run.counts.loops;
            week.explosions += run.explosions;
            if (run.won)
                week.winSeconds += run.seconds;
            if (run.lost)
                week.gunkAtLoss += run.gunkLeft;
            std::fprintf(stderr,
                         "%s seed %d: %s after %.0f s, %d loops, %d explosions, gunk %d cells at most, %d at "
                         "the end\n",
                         name.c_str(), seed,
                         run.won    ? "won"
                         : run.lost ? "lost"
                                    : "undecided",
                         run.seconds, run.counts.loops, run.explosions, run.mostGunk, run.gunkLeft);
        }
    }
    std::printf(
        "| week | levels | time limit (s) | initial / wandering | spawn delay (s) | traps | gunk cells "
        "| runs | won | win rate | loops per run | explosions per run | time of a win (s) "
        "| gunk left at a loss |\n");
    std::printf("|---|---|---|---|---|---|---|---|---|---|---|---|---|---|\n");
    for (const auto& [number, w] : weeks)
    {
        const double n = w.levels;
        std::printf(
            "| %d | %d | %.0f | %.1f / %.1f | %.1f-%.1f | %.1f | %.0f | %d | %d | %.0f %% | %.1f | %.1f | %s "
            "| %s |\n",
            number, w.levels, w.timeLimit / n, w.initial / n, w.wandering / n, w.delayMin / n, w.delayMax / n,
            w.traps / n, w.cells / n, w.runs, w.wins, 100.0 * w.wins / w.runs, w.loops / w.runs,
            w.explosions / w.runs, w.wins ? std::to_string(int(w.winSeconds / w.wins + 0.5)).c_str() : "-",
            w.losses ? std::to_string(int(w.gunkAtLoss / w.losses + 0.5)).c_str() : "-");
    }
    return 0;
}

// One level under one seed, a line every few simulated seconds: the creatures by stage, the kings'
// health and stage, the explosions so far, the gunk's layers and top colours, and the player's counts.
int Trace(const std::string& name, uint32_t seed, bool untimed, float every)
{
    Playtest::RunOptions options;
    options.untilEnd = true;
    options.seed = SeedOf(name, seed);
    if (untimed)
        options.afterLoad = [](NimbalLevel& level) { level.timeLimit = level.timeRemaining = 1000.0f; };
    float next = 0.0f;
    options.afterStep = [&](NimbalLevel& level, const Playtest::LevelRun& run)
    {
        if (run.seconds < next)
            return;
        next += every;
        int stages[6] = {};
        HeldObject<BasicGremlin>::ForEach([&](BasicGremlin* g)
                                          { ++stages[std::clamp(int(g->stage), 0, 5)]; });
        std::string kings;
        HeldObject<GremlinKing>::ForEach(
            [&](GremlinKing* k)
            { kings += " " + std::to_string(k->health) + "@" + std::to_string(int(k->stage)); });
        std::map<int, int> tops;
        int layers = 0;
        for (const auto& column : NimbalGunk::Instance().cells)
            for (const GunkCell& cell : column)
                if (!cell.empty())
                    ++tops[cell.back()], layers += int(cell.size());
        std::string gunk;
        for (const auto& [colour, n] : tops)
            gunk += " " + std::string(NameOf(GremlinColorType(colour))) + "=" + std::to_string(n);
        Kestrin::ObjectDatabase* database = level.GetDatabase();
        auto* factory = database
                            ? dynamic_cast<GremlinFactory*>(database->FindObject(GameNames::GremlinFactory))
                            : nullptr;
        std::printf(
            "%5.0f s  stages %d/%d/%d/%d/%d/%d  power-ups %zu  kings%s  explosions %d  layers %d  tops%s  "
            "%s  lines %d caught %d loops %d given up %d\n",
            run.seconds, stages[0], stages[1], stages[2], stages[3], stages[4], stages[5],
            HeldObject<PowerUpGremlin>::Count(), kings.empty() ? " -" : kings.c_str(), level.gunkDrops,
            layers, gunk.c_str(), factory && factory->spawning ? "spawning" : "stopped", run.counts.lines,
            run.counts.spears, run.counts.loops, run.counts.giveUps);
    };
    const Playtest::LevelRun run = Playtest::PlayLevel(name, false, options);
    std::printf("%s after %.0f s%s\n",
                run.won    ? "won"
                : run.lost ? "lost"
                           : "undecided",
                run.seconds, run.error.c_str());
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    const std::string mode = argc > 1 ? argv[1] : "smoke";
    // The word after the seeds (or the seed).
    const int untimedAt = mode == "trace" ? 4 : 3;
    const bool untimed = argc > untimedAt && std::string(argv[untimedAt]) == "untimed";
    if ((mode != "smoke" && mode != "playtest" && !(mode == "trace" && argc > 2)) ||
        (mode != "smoke" && argc > untimedAt && !untimed))
    {
        std::fprintf(
            stderr, "usage: %s smoke [seconds] | playtest [seeds] [untimed] | trace LEVEL [seed] [untimed]\n",
            argv[0]);
        return 2;
    }
    KestrinTest::TempFolder copy;
    fs::copy(KESTRIN_DATA_DIR, copy.Path(), fs::copy_options::recursive);
    DataCheck::LoadedTree tree(copy.Path());
    for (const DataCheck::Problem& p : tree.LoadReport().problems)
        std::fprintf(stderr, "data/%s: %s\n", p.file.c_str(), p.what.c_str());
    if (!tree.LoadReport().problems.empty())
        return 1;
    Playtest::ReadCampaign();
    if (mode == "smoke")
        return Smoke(argc > 2 ? std::strtof(argv[2], nullptr) : 60.0f);
    if (mode == "trace")
        return Trace(argv[2], argc > 3 ? uint32_t(std::atoi(argv[3])) : 0u, untimed, 5.0f);
    return PlayTable(argc > 2 ? std::atoi(argv[2]) : 5, untimed);
}
