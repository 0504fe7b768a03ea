// Source-over blending of an 800 x 600 ARGB picture: our blitter beside pixman and SDL.
#include "Graphics/Blitter.h"
#include "Graphics/Image.h"

#include <SDL.h>
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <numeric>
#include <optional>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace
{

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr double kMegaPixels = double(kWidth) * kHeight / 1e6;
// The tint of the tinted runs: 0.8, 0.6, 0.4 (bytes 204, 153, 102).
constexpr float kTint[3] = {0.8f, 0.6f, 0.4f};

// Sprite-like alpha: transparent and opaque areas with soft edges between them.
struct Pictures
{
    std::vector<uint32_t> source;
    std::vector<uint32_t> target;

    Pictures() : source(size_t(kWidth) * kHeight), target(size_t(kWidth) * kHeight)
    {
        std::mt19937 random(42);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
            {
                const int band = (x / 16 + y / 16) % 4;
                const uint32_t alpha = band == 0 ? 0 : band == 1 ? 255 : uint32_t(random() % 256);
                source[size_t(y) * kWidth + x] = (alpha << 24) | (random() & 0xFFFFFF);
                target[size_t(y) * kWidth + x] = 0xFF000000u | (random() & 0xFFFFFF);
            }
    }
};

Pictures& Shared()
{
    static Pictures pictures;
    return pictures;
}

void Rate(benchmark::State& state)
{
    state.counters["MPix/s"] = benchmark::Counter(kMegaPixels, benchmark::Counter::kIsIterationInvariantRate);
}

void Kestrin(benchmark::State& state, bool tinted, float fade = 1.0f)
{
    Pictures& p = Shared();
    Kestrin::Image image(kWidth, kHeight);
    std::copy(p.source.begin(), p.source.end(), image.Pixels());
    std::vector<uint32_t> target = p.target;
    Kestrin::Graphics::DrawState drawState;
    if (tinted)
        drawState.imageColor = {kTint[0], kTint[1], kTint[2], 1.0f};
    drawState.imageColor.a = fade;
    const Kestrin::Graphics::BlitTarget blitTarget{target.data(), kWidth, kHeight};
    for (auto _ : state)
    {
        Kestrin::Graphics::BlitImage(&image, 0, 0, blitTarget, drawState);
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
    Rate(state);
}

void Pixman(benchmark::State& state, bool tinted)
{
    Pictures& p = Shared();
    std::vector<uint32_t> source = p.source;
    std::vector<uint32_t> target = p.target;
    pixman_image_t* src =
        pixman_image_create_bits(PIXMAN_a8r8g8b8, kWidth, kHeight, source.data(), kWidth * 4);
    pixman_image_t* dst =
        pixman_image_create_bits(PIXMAN_a8r8g8b8, kWidth, kHeight, target.data(), kWidth * 4);
    pixman_image_t* mask = nullptr;
    if (tinted)
    {
        const pixman_color_t tint{uint16_t(kTint[0] * 65535), uint16_t(kTint[1] * 65535),
                                  uint16_t(kTint[2] * 65535), 0xFFFF};
        mask = pixman_image_create_solid_fill(&tint);
        pixman_image_set_component_alpha(mask, 1);
    }
    for (auto _ : state)
    {
        pixman_image_composite32(PIXMAN_OP_OVER, src, mask, dst, 0, 0, 0, 0, 0, 0, kWidth, kHeight);
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
    if (mask)
        pixman_image_unref(mask);
    pixman_image_unref(src);
    pixman_image_unref(dst);
    Rate(state);
}

void Sdl(benchmark::State& state, bool tinted)
{
    Pictures& p = Shared();
    std::vector<uint32_t> source = p.source;
    std::vector<uint32_t> target = p.target;
    SDL_Surface* src = SDL_CreateRGBSurfaceWithFormatFrom(source.data(), kWidth, kHeight, 32, kWidth * 4,
                                                          SDL_PIXELFORMAT_ARGB8888);
    SDL_Surface* dst = SDL_CreateRGBSurfaceWithFormatFrom(target.data(), kWidth, kHeight, 32, kWidth * 4,
                                                          SDL_PIXELFORMAT_ARGB8888);
    SDL_SetSurfaceBlendMode(src, SDL_BLENDMODE_BLEND);
    if (tinted)
        SDL_SetSurfaceColorMod(src, Uint8(kTint[0] * 255), Uint8(kTint[1] * 255), Uint8(kTint[2] * 255));
    for (auto _ : state)
    {
        SDL_BlitSurface(src, nullptr, dst, nullptr);
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
    SDL_FreeSurface(src);
    SDL_FreeSurface(dst);
    Rate(state);
}

// Each of our row paths this CPU runs, so the table shows what the start-up choice gains.
void Path(benchmark::State& state, bool tinted, Kestrin::Graphics::Internal::BlitPath path, float fade = 1.0f)
{
    using namespace Kestrin::Graphics::Internal;
    const BlitPath chosen = CurrentBlitPath();
    if (!SetBlitPath(path))
    {
        state.SkipWithError("not on this CPU");
        return;
    }
    Kestrin(state, tinted, fade);
    SetBlitPath(chosen);
}

BENCHMARK_CAPTURE(Kestrin, over, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Pixman, over, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Sdl, over, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Kestrin, tinted, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Pixman, tinted, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Sdl, tinted, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Path, over_plain, false, Kestrin::Graphics::Internal::BlitPath::Plain)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Path, over_sse2, false, Kestrin::Graphics::Internal::BlitPath::Sse2)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Path, over_avx2, false, Kestrin::Graphics::Internal::BlitPath::Avx2)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Path, tinted_plain, true, Kestrin::Graphics::Internal::BlitPath::Plain)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Path, tinted_sse2, true, Kestrin::Graphics::Internal::BlitPath::Sse2)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Path, tinted_avx2, true, Kestrin::Graphics::Internal::BlitPath::Avx2)
    ->Unit(benchmark::kMillisecond);

// Faded source-over (a constant alpha of 0.6 on top of the pixels' own), as fades draw.
BENCHMARK_CAPTURE(Path, faded_plain, false, Kestrin::Graphics::Internal::BlitPath::Plain, 0.6f)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Path, faded_avx2, false, Kestrin::Graphics::Internal::BlitPath::Avx2, 0.6f)
    ->Unit(benchmark::kMillisecond);

// Keeps every run's rate for the ratio table printed after the runs. With repetitions the table
// shows the mean, the figure the console prints (and the only one when only the aggregates are
// reported); a single run shows its own rate.
class RateReporter : public benchmark::ConsoleReporter
{
public:
    using ConsoleReporter::ConsoleReporter;

    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs)
        {
            auto it = run.counters.find("MPix/s");
            if (it == run.counters.end() || run.error_occurred)
                continue;
            Rates& rates = m_rates[run.run_name.str()];
            if (run.run_type == Run::RT_Iteration)
                rates.runs.push_back(it->second.value);
            else if (run.aggregate_name == "mean")
                rates.mean = it->second.value;
            repetitions = std::max(repetitions, run.repetitions);
        }
        ConsoleReporter::ReportRuns(runs);
    }

    double Rate(const std::string& name) const
    {
        auto it = m_rates.find(name);
        if (it == m_rates.end())
            return 0.0;
        const Rates& rates = it->second;
        if (rates.mean)
            return *rates.mean;
        if (rates.runs.empty())
            return 0.0;
        return std::accumulate(rates.runs.begin(), rates.runs.end(), 0.0) / double(rates.runs.size());
    }

    int64_t repetitions = 1;

private:
    struct Rates
    {
        std::vector<double> runs;
        std::optional<double> mean;
    };
    std::map<std::string, Rates> m_rates;
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    // Colour only on a terminal, so the output reads cleanly in a file or a pipe.
    RateReporter reporter(isatty(STDOUT_FILENO) ? RateReporter::OO_ColorTabular : RateReporter::OO_Tabular);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::printf("\n%-8s %14s %14s %14s %16s %14s\n", "blend", "Kestrin MPix/s", "pixman MPix/s", "SDL MPix/s",
                "Kestrin/pixman", "Kestrin/SDL");
    for (const std::string kind : {"over", "tinted"})
    {
        const double ours = reporter.Rate("Kestrin/" + kind), pixman = reporter.Rate("Pixman/" + kind),
                     sdl = reporter.Rate("Sdl/" + kind);
        std::printf("%-8s %14.1f %14.1f %14.1f %16.2f %14.2f\n", kind.c_str(), ours, pixman, sdl,
                    pixman > 0 ? ours / pixman : 0.0, sdl > 0 ? ours / sdl : 0.0);
    }
    // Every path against the same pixman run; the plain rows are the reference the others match.
    std::printf("\nchosen path: %s\n%-8s %-6s %14s %16s\n",
                Kestrin::Graphics::Internal::BlitPathName(Kestrin::Graphics::Internal::CurrentBlitPath()),
                "blend", "path", "Kestrin MPix/s", "Kestrin/pixman");
    for (const std::string kind : {"over", "tinted"})
        for (const std::string path : {"plain", "sse2", "avx2"})
        {
            const double ours = reporter.Rate("Path/" + kind + "_" + path),
                         pixman = reporter.Rate("Pixman/" + kind);
            if (ours > 0)
                std::printf("%-8s %-6s %14.1f %16.2f\n", kind.c_str(), path.c_str(), ours,
                            pixman > 0 ? ours / pixman : 0.0);
        }
    const double fadedPlain = reporter.Rate("Path/faded_plain"), fadedAvx2 = reporter.Rate("Path/faded_avx2");
    if (fadedPlain > 0 && fadedAvx2 > 0)
        std::printf("faded    avx2   %14.1f %16s (%.2f of the plain rows' %.1f)\n", fadedAvx2, "-",
                    fadedAvx2 / fadedPlain, fadedPlain);
    if (reporter.repetitions > 1)
        std::printf("(rates: means of %lld repetitions)\n", static_cast<long long>(reporter.repetitions));
    return 0;
}
