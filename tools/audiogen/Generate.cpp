#include "Generate.h"

#include "Composer.h"
#include "ResourceXml.h"
#include "Sounds.h"
#include "Xm.h"

#include <libopenmpt/libopenmpt.hpp>

#include <stdexcept>

namespace AudioGen
{
namespace
{
Output SoundOutput(const SoundSpec& s)
{
    Output o;
    const auto pcm = RenderSound(s);
    const bool ogg = s.format == SoundFormat::Ogg;
    o.path = "sounds/" + s.file + (ogg ? ".ogg" : ".wav");
    o.kind = ogg ? OutputKind::Ogg : OutputKind::Wav;
    o.bytes = ogg ? EncodeOggVorbis(pcm, EffectRate, OggQuality) : EncodeWav16(pcm, EffectRate);
    o.rate = EffectRate;
    o.frames = static_cast<int64_t>(pcm.size());
    o.loops = s.loops;
    o.description = s.description;
    return o;
}
} // namespace

std::vector<Output> GenerateAll()
{
    std::vector<Output> out;
    for (const SoundSpec& s : Effects())
        out.push_back(SoundOutput(s));
    for (const SoundSpec& s : AmbientFiles())
        out.push_back(SoundOutput(s));
    for (const TrackSpec& t : Tracks())
    {
        const Xm::Module m = Compose(t);
        Output o;
        o.path = "music/" + t.resource + ".xm";
        o.kind = OutputKind::Xm;
        o.bytes = Xm::Write(m);
        o.seconds = Xm::SongSeconds(m);
        o.loops = t.loops;
        o.description = t.description;
        out.push_back(std::move(o));
    }
    Output xml;
    xml.path = ResourceFile;
    xml.kind = OutputKind::ResourceSection;
    const std::string section = AudioResourceSection();
    xml.bytes.assign(section.begin(), section.end());
    out.push_back(std::move(xml));
    return out;
}

void WriteAll(const std::filesystem::path& root, const std::vector<Output>& outputs)
{
    for (const Output& o : outputs)
    {
        const std::filesystem::path target = root / o.path;
        if (o.kind != OutputKind::ResourceSection)
        {
            WriteFileBytes(target, o.bytes);
            continue;
        }
        std::string existing;
        if (std::filesystem::exists(target))
        {
            const Bytes old = ReadFileBytes(target);
            existing.assign(old.begin(), old.end());
        }
        const std::string merged =
            SpliceSection(existing, AudioSection, std::string(o.bytes.begin(), o.bytes.end()));
        WriteFileBytes(target, Bytes(merged.begin(), merged.end()));
    }
}

DecodedAudio RenderModule(const Bytes& xm, int rate, int channels)
{
    if (channels != 1 && channels != 2)
        throw std::invalid_argument("RenderModule: mono or stereo only");
    openmpt::module mod(xm.data(), xm.size());
    mod.set_repeat_count(0);
    // The default ("fadeout") renders a short fade past the song's end; the engine
    // loops modules itself, so a module is exactly its rows long.
    mod.ctl_set_text("play.at_end", "stop");
    DecodedAudio out;
    out.rate = rate;
    out.channels = channels;
    std::vector<float> block(4096 * static_cast<size_t>(channels));
    for (;;)
    {
        const size_t got = channels == 1 ? mod.read(rate, 4096, block.data())
                                         : mod.read_interleaved_stereo(rate, 4096, block.data());
        if (got == 0)
            break;
        out.samples.insert(out.samples.end(), block.begin(),
                           block.begin() + static_cast<long>(got) * channels);
        out.frames += static_cast<int64_t>(got);
    }
    return out;
}
} // namespace AudioGen
