#include "Synth.h"

#include "DetMath.h"
#include "Rng.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace AudioGen
{
namespace
{
// Band-limited step correction for the square and saw edges.
double Blep(double t, double dt)
{
    if (t < dt)
    {
        t /= dt;
        return t + t - t * t - 1.0;
    }
    if (t > 1.0 - dt)
    {
        t = (t - 1.0) / dt;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

double Wrap01(double p)
{
    return p - std::floor(p);
}

double OnePoleCoefficient(double hz, double rate)
{
    if (hz <= 0.0)
        return 1.0;
    return 1.0 - Det::Exp(-2.0 * Det::Pi * std::min(hz, rate * 0.45) / rate);
}

// 1 - (1-u)^curve, the shape of a pitch slide.
double SlideShape(double u, double curve)
{
    if (u <= 0.0)
        return 0.0;
    if (u >= 1.0)
        return 1.0;
    if (curve == 1.0)
        return u;
    return 1.0 - Det::Exp(curve * Det::Log(1.0 - u));
}

void RenderInstance(const Layer& layer, double startSeconds, double semis, uint64_t noiseSeed,
                    std::vector<double>& out, double rate)
{
    const long first = std::lround(startSeconds * rate);
    const long total = std::lround((layer.length + layer.env.release) * rate);
    if (total <= 0)
        return;
    const double f0 = layer.freq * Det::Exp2(semis / 12.0);
    const double slideOctaves =
        layer.freqEnd > 0.0 ? Det::Log2(layer.freqEnd * Det::Exp2(semis / 12.0) / f0) : 0.0;
    std::vector<double> arpRatio;
    for (int step : layer.arp)
        arpRatio.push_back(Det::Exp2(step / 12.0));

    Pcg32 rng(noiseSeed);
    double phase = 0.0;
    double held = rng.Signed();
    double lpState = 0.0;
    double hpLow = 0.0;
    const bool sweep = layer.lowpass > 0.0 && layer.lowpassEnd > 0.0;
    double lpA = OnePoleCoefficient(layer.lowpass, rate);
    const double hpA = OnePoleCoefficient(layer.highpass, rate);

    // Karplus-Strong string: a noise burst circulating through an averaging loop.
    std::vector<double> string;
    size_t stringIndex = 0;
    if (layer.wave == Wave::Pluck)
    {
        // The in-place average of each sample with the next makes the loop N - 1/2 long.
        const long period = std::max(2L, std::lround(rate / f0 + 0.5));
        string.resize(static_cast<size_t>(period));
        double smooth = 0.0;
        for (double& v : string)
        {
            smooth += 0.6 * (rng.Signed() - smooth);
            v = smooth;
        }
        double mean = 0.0;
        for (double v : string)
            mean += v;
        mean /= static_cast<double>(string.size());
        for (double& v : string)
            v -= mean;
    }

    for (long n = 0; n < total; ++n)
    {
        const long index = first + n;
        const double t = static_cast<double>(n) / rate;
        double f = f0;
        if (slideOctaves != 0.0)
            f *= Det::Exp2(slideOctaves * SlideShape(t / layer.length, layer.slideCurve));
        if (!arpRatio.empty())
        {
            const size_t step = static_cast<size_t>(std::floor(t / layer.arpStep)) % arpRatio.size();
            f *= arpRatio[step];
        }
        if (layer.vibDepth != 0.0 && layer.vibRate > 0.0)
            f *= Det::Exp2(layer.vibDepth / 12.0 * Det::SinTurns(layer.vibRate * t));
        const double dt = std::min(f / rate, 0.5);
        const double p = phase;

        double v = 0.0;
        switch (layer.wave)
        {
        case Wave::Sine:
            v = Det::SinTurns(p);
            break;
        case Wave::Square:
            v = (p < layer.duty ? 1.0 : -1.0) + Blep(p, dt) - Blep(Wrap01(p + 1.0 - layer.duty), dt);
            break;
        case Wave::Saw:
            v = 2.0 * p - 1.0 - Blep(p, dt);
            break;
        case Wave::Triangle:
            v = 4.0 * std::fabs(Wrap01(p + 0.75) - 0.5) - 1.0;
            break;
        case Wave::Noise:
            if (layer.freq <= 0.0 || f >= rate)
            {
                v = rng.Signed();
            }
            else
            {
                if (p + dt >= 1.0)
                    held = rng.Signed();
                v = held;
            }
            break;
        case Wave::Pluck:
        {
            const size_t next = (stringIndex + 1) % string.size();
            v = string[stringIndex];
            string[stringIndex] = layer.pluckDamping * 0.5 * (string[stringIndex] + string[next]);
            stringIndex = next;
            break;
        }
        }
        phase = Wrap01(phase + f / rate);

        if (layer.ringFreq > 0.0)
            v *= (1.0 - layer.ringMix) + layer.ringMix * Det::SinTurns(layer.ringFreq * t);
        if (layer.lowpass > 0.0)
        {
            if (sweep)
            {
                const double u = std::min(t / layer.length, 1.0);
                lpA = OnePoleCoefficient(
                    layer.lowpass * Det::Exp2(u * Det::Log2(layer.lowpassEnd / layer.lowpass)), rate);
            }
            lpState += lpA * (v - lpState);
            v = lpState;
        }
        if (layer.highpass > 0.0)
        {
            hpLow += hpA * (v - hpLow);
            v -= hpLow;
        }
        if (index >= 0 && index < static_cast<long>(out.size()))
            out[static_cast<size_t>(index)] += v * layer.gain * EnvelopeAt(layer.env, layer.length, t);
    }
}
} // namespace

Layer Osc(Wave wave, double freq)
{
    Layer layer;
    layer.wave = wave;
    layer.freq = freq;
    return layer;
}

int FrameCount(double duration, double rate)
{
    return static_cast<int>(std::lround(duration * rate));
}

double EnvelopeAt(const Adsr& env, double gate, double t)
{
    auto held = [&env](double time)
    {
        if (time < env.attack)
            return time / env.attack;
        const double u = time - env.attack;
        if (u < env.decay)
        {
            const double r = 1.0 - u / env.decay;
            return env.sustain + (1.0 - env.sustain) * r * r;
        }
        return env.sustain;
    };
    if (t < 0.0)
        return 0.0;
    if (t < gate)
        return held(t);
    if (env.release <= 0.0)
        return 0.0;
    const double u = (t - gate) / env.release;
    return u >= 1.0 ? 0.0 : held(gate) * (1.0 - u);
}

std::vector<double> Render(const Patch& patch, double rate)
{
    if (!(rate > 0.0) || !(patch.duration > 0.0))
        throw std::invalid_argument("Render: rate and duration must be positive");
    std::vector<double> out(static_cast<size_t>(FrameCount(patch.duration, rate)), 0.0);
    for (size_t li = 0; li < patch.layers.size(); ++li)
    {
        const Layer& layer = patch.layers[li];
        Pcg32 scatter(static_cast<uint64_t>(patch.seed) * 0x9E3779B9ull + layer.scatterSeed);
        for (int i = 0; i < std::max(layer.count, 1); ++i)
        {
            double start = layer.start + i * layer.spacing;
            if (layer.timeJitter > 0.0)
                start = std::max(0.0, start + layer.timeJitter * scatter.Signed());
            const int semis =
                layer.scale.empty()
                    ? 0
                    : layer.scale[static_cast<size_t>(scatter.Below(static_cast<int>(layer.scale.size())))];
            const uint64_t noiseSeed =
                (static_cast<uint64_t>(patch.seed) << 20) ^ (li << 8) ^ static_cast<uint64_t>(i);
            RenderInstance(layer, start, semis, noiseSeed, out, rate);
        }
    }
    if (patch.echo.delay > 0.0)
        RoomEcho(out, patch.echo, rate);
    return out;
}

void LowPass(std::vector<double>& x, double hz, double rate)
{
    const double a = OnePoleCoefficient(hz, rate);
    double s = 0.0;
    for (double& v : x)
    {
        s += a * (v - s);
        v = s;
    }
}

void HighPass(std::vector<double>& x, double hz, double rate)
{
    const double a = OnePoleCoefficient(hz, rate);
    double s = 0.0;
    for (double& v : x)
    {
        s += a * (v - s);
        v -= s;
    }
}

void RoomEcho(std::vector<double>& x, const Echo& echo, double rate)
{
    const size_t d1 = static_cast<size_t>(std::max(1L, std::lround(echo.delay * rate)));
    const size_t d2 = static_cast<size_t>(std::max(1L, std::lround(echo.delay * 1.37 * rate)));
    std::vector<double> c1(x.size(), 0.0), c2(x.size(), 0.0);
    double lp1 = 0.0, lp2 = 0.0;
    for (size_t n = 0; n < x.size(); ++n)
    {
        if (n >= d1)
        {
            lp1 += 0.5 * (c1[n - d1] - lp1);
            c1[n] = x[n - d1] + echo.feedback * lp1;
        }
        if (n >= d2)
        {
            lp2 += 0.5 * (c2[n - d2] - lp2);
            c2[n] = x[n - d2] + echo.feedback * lp2;
        }
    }
    for (size_t n = 0; n < x.size(); ++n)
        x[n] += echo.mix * 0.5 * (c1[n] + c2[n]);
}

double FadeCurve(double u)
{
    u = std::clamp(u, 0.0, 1.0);
    return u * u * (3.0 - 2.0 * u);
}

std::vector<int16_t> Finish(std::vector<double> x, double rate, double fadeSeconds, double peakGain)
{
    const size_t n = x.size();
    std::vector<int16_t> pcm(n, 0);
    if (n == 0)
        return pcm;
    const double fade = std::max(1.0, fadeSeconds * rate);
    std::vector<double> w(n);
    double wSum = 0.0, ySum = 0.0;
    for (size_t i = 0; i < n; ++i)
    {
        const double head = static_cast<double>(i) / fade;
        const double tail = static_cast<double>(n - 1 - i) / fade;
        w[i] = FadeCurve(head) * FadeCurve(tail);
        x[i] *= w[i];
        wSum += w[i];
        ySum += x[i];
    }
    // Take the mean out in the shape of the fade window, so the ends stay at zero.
    const double dc = wSum > 0.0 ? ySum / wSum : 0.0;
    double peak = 0.0;
    for (size_t i = 0; i < n; ++i)
    {
        x[i] -= dc * w[i];
        peak = std::max(peak, std::fabs(x[i]));
    }
    if (peak <= 0.0)
        return pcm;
    const double scale = peakGain * 32767.0 / peak;
    for (size_t i = 0; i < n; ++i)
        pcm[i] = static_cast<int16_t>(std::lround(x[i] * scale));
    return pcm;
}
} // namespace AudioGen
