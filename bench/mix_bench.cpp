// The mixer's cost per second of 44.1 kHz stereo output, as a percentage of one core
// ("core_pct"): ogg streams decoded on demand, optionally with one 32-channel module; the same
// streams from wav, and as samples decoded up front (what is left is the mixing itself); and each
// decoder alone, so the two shares can be told apart.
#include "../tests/Support/AudioData.h"
#include "Platform/Shim/Bass/AudioOut.h"
#include "Platform/Shim/Bass/Sources.h"

#include <benchmark/benchmark.h>

#include <chrono>

using namespace Kestrin::Shim::Bass;

namespace
{

// 3 s of a chord, so the encoder has real content to code.
std::vector<float> Chord()
{
    const int rate = 44100, frames = 3 * rate;
    std::vector<float> a = KestrinTest::Sine(frames, 2, rate, 220, 0.2f);
    std::vector<float> b = KestrinTest::Sine(frames, 2, rate, 277, 0.2f);
    std::vector<float> c = KestrinTest::Sine(frames, 2, rate, 330, 0.2f);
    for (size_t i = 0; i < a.size(); ++i)
        a[i] += b[i] + c[i];
    return a;
}

const std::vector<unsigned char>& OggBytes()
{
    static const std::vector<unsigned char> bytes = KestrinTest::MakeOgg(Chord(), 2, 44100);
    return bytes;
}

const std::vector<unsigned char>& WavBytes()
{
    static const std::vector<unsigned char> bytes = KestrinTest::MakeWav(Chord(), 2, 44100);
    return bytes;
}

enum Kind
{
    OggStream,
    WavStream,
    DecodedSample,
};

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

// args: streams, modules, kind
void BM_MixOneSecond(benchmark::State& state)
{
    const Kind kind = state.range(2) == WavStream       ? WavStream
                      : state.range(2) == DecodedSample ? DecodedSample
                                                        : OggStream;
    auto* device = new NullOutputDriver;
    AudioOut out{std::unique_ptr<IOutputDriver>(device)};
    if (!out.Init(-1, 44100) || !out.Start())
    {
        state.SkipWithError("no output");
        return;
    }
    const auto& bytes = kind == WavStream ? WavBytes() : OggBytes();
    Handle sample = 0;
    if (kind == DecodedSample && !(sample = out.SampleLoadMemory(bytes.data(), bytes.size(), 64, false)))
    {
        state.SkipWithError("the sample did not load");
        return;
    }
    for (int i = 0; i < state.range(0); ++i)
    {
        Handle h = kind == DecodedSample ? out.SampleGetChannel(sample)
                                         : out.StreamCreateMemory(bytes.data(), bytes.size());
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

// One second of one source read alone, as a voice pulls it. args: 0 ogg, 1 wav, 2 module.
void BM_DecodeOneSecond(benchmark::State& state)
{
    OpenResult result = OpenResult::Ok;
    std::unique_ptr<Source> source;
    std::vector<unsigned char> mod;
    if (state.range(0) == 2)
    {
        mod = KestrinTest::MakeModule(32, 64, 6);
        source = OpenModule(mod.data(), mod.size(), 44100, result);
    }
    else
    {
        const auto& bytes = state.range(0) == 1 ? WavBytes() : OggBytes();
        source = OpenSoundFile(bytes.data(), bytes.size(), result);
    }
    if (!source)
    {
        state.SkipWithError("the source did not open");
        return;
    }
    std::vector<float> block(2 * 512);
    auto start = std::chrono::steady_clock::now();
    for (auto _ : state)
    {
        for (int done = 0; done < 44100;)
        {
            const int got = source->Read(block.data(), 512);
            done += got;
            if (got < 512 && !source->Rewind())
            {
                state.SkipWithError("the source did not rewind");
                return;
            }
        }
        benchmark::DoNotOptimize(block.data());
    }
    std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
    state.counters["core_pct"] = 100.0 * spent.count() / double(state.iterations());
}

} // namespace

BENCHMARK(BM_MixOneSecond)
    ->ArgNames({"streams", "modules", "kind"})
    ->Args({1, 0, OggStream})
    ->Args({8, 0, OggStream})
    ->Args({16, 0, OggStream})
    ->Args({0, 1, OggStream})
    ->Args({7, 1, OggStream})
    ->Args({15, 1, OggStream})
    ->Args({16, 0, WavStream})
    ->Args({16, 0, DecodedSample})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_DecodeOneSecond)
    ->ArgName("format")
    ->DenseRange(0, 2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
