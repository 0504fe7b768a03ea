// What a still screen costs: the game runs headless (SDL's dummy drivers) to the main menu (or a
// screen it clicks its way to from there: the options, the calendar, a paused level), leaves it
// alone for 20 s and logs the CPU time the whole process used meanwhile; this reads it back.
// "core_pct" is that time as a percentage of one core; "frames_per_s" how often it drew and showed a
// frame. Each renderer runs twice: as the game runs, and with "-drawall" (every frame drawn and
// shown, unchanged or not) as the reference in the same run.
// KESTRIN_STILL_SECONDS shortens the still time for a quick look.
#include "harness/RunProgram.h"
#include "harness/TempFolder.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace
{

struct StillFigures
{
    double wall = 0, cpu = 0, percent = 0;
    long frames = 0, unchanged = 0;
    std::string screen;
};

// The "Still: <screen> for W s: C s of CPU, P % of a core, N frames drawn, U left as they were"
// line of the log.
bool ReadFigures(const std::string& log, StillFigures& figures)
{
    const size_t last = log.rfind("Still: ");
    const size_t at = last == std::string::npos ? last : log.find(" for ", last);
    if (at == std::string::npos)
        return false;
    figures.screen = log.substr(last + 7, at - last - 7);
    return std::sscanf(
               log.c_str() + at, " for %lf s: %lf s of CPU, %lf %% of a core, %ld frames drawn, %ld left",
               &figures.wall, &figures.cpu, &figures.percent, &figures.frames, &figures.unchanged) == 5;
}

// The buttons to the screen measured, from the menu (see StillRun).
const char* const kScreens[] = {
    "",
    "options",
    "play_tanglewisp",
    // The first appointment: the day, the guest's file, the card, the Tic's introduction, then the
    // game's pause button.
    "play_tanglewisp,button,button_appointment,button_next,button_next,button_next,button_pause",
};

std::string StillSeconds()
{
    const char* seconds = std::getenv("KESTRIN_STILL_SECONDS");
    return seconds && *seconds ? seconds : "20";
}

// args: 1 the software renderer, 0 the hardware one; 1 every frame drawn, 0 as the game runs;
// the screen, an index into kScreens.
void BM_StillScreen(benchmark::State& state)
{
    const bool software = state.range(0) != 0;
    const bool drawAll = state.range(1) != 0;
    StillFigures figures;
    double load = 0;
    for (auto _ : state)
    {
        KestrinTest::TempFolder home;
        std::vector<std::string> arguments = {"-still", StillSeconds()};
        if (const std::string buttons = kScreens[state.range(2)]; !buttons.empty())
            arguments.push_back(buttons);
        if (software)
            arguments.push_back("-software");
        if (drawAll)
            arguments.push_back("-drawall");
        ::getloadavg(&load, 1);
        const KestrinTest::ProgramOutcome run = KestrinTest::RunProgram(
            KESTRIN_PROGRAM,
            {{"SDL_VIDEODRIVER", "dummy"}, {"SDL_AUDIODRIVER", "dummy"}, {"XDG_DATA_HOME", home.Path()}},
            std::chrono::seconds(240), arguments);
        const std::string log = home.Read("Quorvane/Tanglewisp/LOG.TXT");
        if (!run.ended || run.status != 0 || !ReadFigures(log, figures))
        {
            state.SkipWithError("the still run did not report");
            std::fprintf(stderr, "%s\n", run.output.c_str());
            return;
        }
        state.SetIterationTime(figures.wall);
    }
    state.counters["core_pct"] = figures.percent;
    state.counters["frames_per_s"] = figures.wall > 0 ? double(figures.frames) / figures.wall : 0.0;
    state.counters["unchanged_per_s"] = figures.wall > 0 ? double(figures.unchanged) / figures.wall : 0.0;
    state.counters["load"] = load;
    state.SetLabel(figures.screen);
}

} // namespace

BENCHMARK(BM_StillScreen)
    ->ArgNames({"software", "drawall", "screen"})
    ->ArgsProduct({{1, 0}, {0, 1}, {0, 1, 2, 3}})
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);
