// The mixer's cost per second of 44.1 kHz stereo output, as a percentage of one core
// ("core_pct"): ogg streams decoded on demand, optionally with one 32-channel module.
#include "../tests/Support/AudioData.h"
#include "Platform/Shim/Bass/AudioOut.h"

#include <benchmark/benchmark.h>

#include <chrono>

using namespace Kestrin::Shim::Bass;

namespace
{

const std::vector<unsigned char>& OggBytes()
{
    // 3 s of a chord, so the encoder has real content to code.
    static const std::vector<unsigned char> bytes = []
    {
        const int rate = 44100, frames = 3 * rate;
        std::vector<float> a = KestrinTest::Sine(frames, 2, rate, 220, 0.2f);
        std::vector<float> b = KestrinTest::Sine(frames, 2, rate, 277, 0.2f);
        std::vector<float> c = KestrinTest::Sine(frames, 2, rate, 330, 0.2f);
        for (size_t i = 0; i < a.size(); ++i)
            a[i] += b[i] + c[i];
        return KestrinTest::MakeOgg(a, 2, rate);
    }();
    return bytes;
}

void Again(SyncHandle, Handle channel, uint32_t, void* user)
{
    auto* out = static_cast<AudioOut*>(user);
    out->ChannelSetEndSync(channel, &Again, out);
    out->ChannelPlay(channel, true);
}

void Loop(AudioOut& out, Handle h)
{
    out.ChannelSetEndSync(h, &Again, &out);
    out.ChannelPlay(h, true);
}

// args: streams, modules
void BM_MixOneSecond(benchmark::State& state)
{
    auto* device = new NullOutputDriver;
    AudioOut out{std::unique_ptr<IOutputDriver>(device)};
    if (!out.Init(-1, 44100) || !out.Start())
    {
        state.SkipWithError("no output");
        return;
    }
    const auto& ogg = OggBytes();
    for (int i = 0; i < state.range(0); ++i)
    {
        Handle h = out.StreamCreateMemory(ogg.data(), ogg.size());
        if (!h)
        {
            state.SkipWithError("the stream did not open");
            return;
        }
        out.ChannelSetAttributes(h, 0, 30, (i % 5 - 2) * 40);
        Loop(out, h);
    }
    std::vector<unsigned char> mod = KestrinTest::MakeModule(32, 64, 6);
    for (int i = 0; i < state.range(1); ++i)
    {
        Handle music = out.MusicLoadMemory(mod.data(), mod.size());
        if (!music)
        {
            state.SkipWithError("the module did not load");
            return;
        }
        Loop(out, music);
    }

    std::vector<float> block(2 * 1024);
    auto start = std::chrono::steady_clock::now();
    for (auto _ : state)
    {
        // One second, in the blocks an SDL callback asks for.
        for (int done = 0; done < 44100; done += 1024)
            device->Mix(block.data(), std::min(1024, 44100 - done));
        benchmark::DoNotOptimize(block.data());
    }
    // Time spent per second of audio, in percent of one core.
    std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
    state.counters["core_pct"] = 100.0 * spent.count() / double(state.iterations());
}

} // namespace

BENCHMARK(BM_MixOneSecond)
    ->ArgNames({"streams", "modules"})
    ->Args({1, 0})
    ->Args({8, 0})
    ->Args({16, 0})
    ->Args({0, 1})
    ->Args({7, 1})
    ->Args({15, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
