// A busy level with the game's own data (bench/BusyLevel.h): 100 (and 40) Tics wandering, the gunk
// board three-quarters covered, three lines drawn round a scripted pointer from three traps, all from
// one seed. Each run plays 10 s of fixed 20 ms steps (update, then the collision pass), drawing each
// step on the software renderer (over the display shim's fake back end, so no window is involved) or
// not drawing at all, and reports the milliseconds of one step. Lines are stamped in their tint on
// the software renderer, which has no textured strips, so the drawn figures hold them.
#include "BusyLevel.h"

#include "SoftwareRenderer.h"

#include "Graphics/Canvas.h"

#include <benchmark/benchmark.h>

#include <chrono>

namespace
{

using namespace BenchLevel;

constexpr int StepsPerRun = 500;
constexpr float Step = 0.02f;

void PlayBusyLevel(benchmark::State& state, Kestrin::Graphics::ICanvas* canvas)
{
    for (auto _ : state)
    {
        BusyLevel busy(int(state.range(0)));
        Kestrin::ScopedRandomStream seeded(&busy.random);
        Kestrin::ScopedCurrentObjectDatabase current(&busy.screen);
        Kestrin::Graphics::SetCurrentCanvas(canvas);
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < StepsPerRun; ++i)
        {
            busy.Feed(float(i) * Step);
            busy.screen.Update(Step);
            busy.screen.tree->Update(Step);
            if (canvas)
                busy.screen.Draw();
        }
        const double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        Kestrin::Graphics::SetCurrentCanvas(nullptr);
        state.SetIterationTime(ms / 1000.0);
        state.counters["ms_per_step"] = ms / StepsPerRun;
        state.counters["tics_left"] = double(HeldObject<BasicGremlin>::Count());
    }
}

void BM_UpdateAndDrawOnSoftwareRenderer(benchmark::State& state)
{
    BenchSoftware::OnSoftwareRenderer([&](Kestrin::Graphics::ICanvas* canvas)
                                      { PlayBusyLevel(state, canvas); });
}
// 100 Tics do not fit the playfield's free room, so each keeps searching for a free spot; 40 do.
BENCHMARK(BM_UpdateAndDrawOnSoftwareRenderer)
    ->UseManualTime()
    ->Iterations(3)
    ->Arg(100)
    ->Arg(40)
    ->Unit(benchmark::kMillisecond);

void BM_UpdateOnly(benchmark::State& state)
{
    PlayBusyLevel(state, nullptr);
}
BENCHMARK(BM_UpdateOnly)->UseManualTime()->Iterations(3)->Arg(100)->Arg(40)->Unit(benchmark::kMillisecond);

} // namespace
