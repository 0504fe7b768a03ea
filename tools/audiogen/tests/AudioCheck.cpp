#include "AudioCheck.h"

#include "DetMath.h"
#include "Generate.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace AudioGen::Check
{
namespace
{
class LibraryDecoder : public Decoder
{
public:
    DecodedAudio Decode(const std::filesystem::path& file) override
    {
        const Bytes bytes = ReadFileBytes(file);
        if (file.extension() == ".xm")
            return RenderModule(bytes, ModuleRate, 2);
        return DecodeWithSndfile(bytes);
    }
};
} // namespace

std::unique_ptr<Decoder> MakeLibraryDecoder()
{
    return std::make_unique<LibraryDecoder>();
}

Levels Measure(const DecodedAudio& a)
{
    Levels l;
    double sum = 0.0, squares = 0.0;
    for (float v : a.samples)
    {
        l.peak = std::max(l.peak, static_cast<double>(std::fabs(v)));
        sum += v;
        squares += static_cast<double>(v) * v;
    }
    if (!a.samples.empty())
    {
        l.mean = sum / static_cast<double>(a.samples.size());
        l.rms = std::sqrt(squares / static_cast<double>(a.samples.size()));
    }
    l.peakDb = l.peak > 0.0 ? 20.0 * std::log10(l.peak) : -999.0;
    return l;
}

Seam MeasureSeam(const DecodedAudio& a)
{
    Seam s;
    const int ch = std::max(1, a.channels);
    if (a.frames < 2)
        return s;
    for (int c = 0; c < ch; ++c)
    {
        auto at = [&](int64_t frame)
        { return static_cast<double>(a.samples[static_cast<size_t>(frame * ch + c)]); };
        s.jump = std::max(s.jump, std::fabs(at(0) - at(a.frames - 1)));
        for (int64_t i = 1; i < a.frames; ++i)
            s.largestStep = std::max(s.largestStep, std::fabs(at(i) - at(i - 1)));
    }
    return s;
}

double EdgePeak(const DecodedAudio& a, double seconds)
{
    const int ch = std::max(1, a.channels);
    const int64_t n = std::min<int64_t>(a.frames, static_cast<int64_t>(seconds * a.rate));
    double peak = 0.0;
    for (int64_t i = 0; i < n * ch; ++i)
    {
        peak = std::max(peak, static_cast<double>(std::fabs(a.samples[static_cast<size_t>(i)])));
        peak = std::max(
            peak, static_cast<double>(std::fabs(a.samples[a.samples.size() - 1 - static_cast<size_t>(i)])));
    }
    return peak;
}
} // namespace AudioGen::Check
