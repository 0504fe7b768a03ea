#include "Platform/Shim/Bass/Sources.h"

#include <libopenmpt/libopenmpt.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

namespace Kestrin::Shim::Bass
{
namespace
{

// libsndfile reads the caller's bytes through these; nothing is copied.
struct MemoryFile
{
    const unsigned char* data = nullptr;
    sf_count_t size = 0;
    sf_count_t pos = 0;
};

sf_count_t MemLength(void* user)
{
    return static_cast<MemoryFile*>(user)->size;
}

sf_count_t MemSeek(sf_count_t offset, int whence, void* user)
{
    auto* f = static_cast<MemoryFile*>(user);
    sf_count_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? f->pos : f->size;
    sf_count_t target;
    if (__builtin_add_overflow(base, offset, &target) || target < 0)
        return -1;
    f->pos = target;
    return f->pos;
}

sf_count_t MemRead(void* ptr, sf_count_t count, void* user)
{
    auto* f = static_cast<MemoryFile*>(user);
    if (count <= 0 || f->pos >= f->size)
        return 0;
    sf_count_t n = std::min(count, f->size - f->pos);
    std::memcpy(ptr, f->data + f->pos, size_t(n));
    f->pos += n;
    return n;
}

sf_count_t MemWrite(const void*, sf_count_t, void*)
{
    return 0;
}

sf_count_t MemTell(void* user)
{
    return static_cast<MemoryFile*>(user)->pos;
}

SF_VIRTUAL_IO g_memoryIo = {MemLength, MemSeek, MemRead, MemWrite, MemTell};

class SoundFileSource : public Source
{
public:
    // Two-step so the memory record has its final address before libsndfile keeps it.
    OpenResult Open(const void* bytes, size_t length)
    {
        m_file.data = static_cast<const unsigned char*>(bytes);
        m_file.size = sf_count_t(length);
        SF_INFO info{};
        m_sf = sf_open_virtual(&g_memoryIo, SFM_READ, &info, &m_file);
        if (!m_sf)
            return sf_error(nullptr) == SF_ERR_UNRECOGNISED_FORMAT ? OpenResult::UnknownFormat
                                                                   : OpenResult::Malformed;
        if (info.channels <= 0 || info.samplerate <= 0)
            return OpenResult::Malformed;
        m_channels = info.channels;
        m_rate = uint32_t(info.samplerate);
        if (m_channels > 2)
        {
            m_scratch.resize(size_t(kChunk) * size_t(m_channels));
            // Each side averages its own channels: even ones left, odd ones right.
            m_leftScale = 1.0f / float((m_channels + 1) / 2);
            m_rightScale = 1.0f / float(m_channels / 2);
        }
        return OpenResult::Ok;
    }

    ~SoundFileSource() override
    {
        if (m_sf)
            sf_close(m_sf);
    }

    int Read(float* stereo, int frames) override
    {
        int done = 0;
        while (done < frames)
        {
            int want = std::min(frames - done, kChunk);
            float* out = stereo + 2 * done;
            sf_count_t got;
            if (m_channels == 2)
                got = sf_readf_float(m_sf, out, want);
            else if (m_channels == 1)
            {
                // Decode into the right half, then spread each sample to both sides in place.
                float* mono = out + want;
                got = sf_readf_float(m_sf, mono, want);
                for (sf_count_t i = 0; i < got; ++i)
                    out[2 * i] = out[2 * i + 1] = mono[i];
            }
            else
            {
                got = sf_readf_float(m_sf, m_scratch.data(), want);
                for (sf_count_t i = 0; i < got; ++i)
                {
                    const float* f = &m_scratch[size_t(i) * size_t(m_channels)];
                    float l = 0, r = 0;
                    for (int c = 0; c < m_channels; ++c)
                        (c % 2 == 0 ? l : r) += f[c];
                    out[2 * i] = l * m_leftScale;
                    out[2 * i + 1] = r * m_rightScale;
                }
            }
            if (got <= 0)
                break;
            // Float files can hold NaN or infinity; one such sample would poison the whole mix.
            for (float* v = out; v != out + 2 * got; ++v)
                if (!std::isfinite(*v))
                    *v = 0.0f;
            done += int(got);
            if (got < want)
                break;
        }
        return done;
    }

    bool Rewind() override { return sf_seek(m_sf, 0, SEEK_SET) == 0; }
    uint32_t Rate() const override { return m_rate; }

private:
    static constexpr int kChunk = 512;
    MemoryFile m_file;
    SNDFILE* m_sf = nullptr;
    int m_channels = 0;
    uint32_t m_rate = 0;
    float m_leftScale = 1, m_rightScale = 1;
    std::vector<float> m_scratch;
};

class ModuleSource : public Source
{
public:
    ModuleSource(openmpt_module* module, uint32_t rate) : m_module(module), m_rate(rate) {}
    ~ModuleSource() override { openmpt_module_destroy(m_module); }

    int Read(float* stereo, int frames) override
    {
        int done = 0;
        while (done < frames)
        {
            size_t got = openmpt_module_read_interleaved_float_stereo(
                m_module, int32_t(m_rate), size_t(frames - done), stereo + 2 * done);
            if (got == 0)
                break;
            done += int(got);
        }
        return done;
    }

    bool Rewind() override
    {
        openmpt_module_set_position_seconds(m_module, 0.0);
        return true;
    }

    uint32_t Rate() const override { return m_rate; }

private:
    openmpt_module* m_module;
    uint32_t m_rate;
};

class PcmSource : public Source
{
public:
    explicit PcmSource(std::shared_ptr<const Pcm> pcm) : m_pcm(std::move(pcm)) {}

    int Read(float* stereo, int frames) override
    {
        size_t total = m_pcm->stereo.size() / 2;
        size_t n = std::min(size_t(frames), total - m_pos);
        std::memcpy(stereo, m_pcm->stereo.data() + 2 * m_pos, n * 2 * sizeof(float));
        m_pos += n;
        return int(n);
    }

    bool Rewind() override
    {
        m_pos = 0;
        return true;
    }

    uint32_t Rate() const override { return m_pcm->rate; }

private:
    std::shared_ptr<const Pcm> m_pcm;
    size_t m_pos = 0;
};

} // namespace

std::unique_ptr<Source> OpenSoundFile(const void* bytes, size_t length, OpenResult& result)
{
    auto source = std::make_unique<SoundFileSource>();
    result = source->Open(bytes, length);
    if (result != OpenResult::Ok)
        return nullptr;
    return source;
}

std::unique_ptr<Source> OpenModule(const void* bytes, size_t length, uint32_t rate, OpenResult& result)
{
    int error = 0;
    openmpt_module* module =
        openmpt_module_create_from_memory2(bytes, length, openmpt_log_func_silent, nullptr,
                                           openmpt_error_func_ignore, nullptr, &error, nullptr, nullptr);
    if (!module)
    {
        result = error == OPENMPT_ERROR_OUT_OF_MEMORY ? OpenResult::OutOfMemory : OpenResult::UnknownFormat;
        return nullptr;
    }
    // Play the song once; the engine repeats it itself when it is asked to loop.
    openmpt_module_set_repeat_count(module, 0);
    // No fade-out tail after the last row: looped layers must stay in step to the sample.
    openmpt_module_ctl_set_text(module, "play.at_end", "stop");
    result = OpenResult::Ok;
    return std::make_unique<ModuleSource>(module, rate);
}

std::shared_ptr<const Pcm> DecodeSoundFile(const void* bytes, size_t length, OpenResult& result)
{
    auto source = OpenSoundFile(bytes, length, result);
    if (!source)
        return nullptr;
    auto pcm = std::make_shared<Pcm>();
    pcm->rate = source->Rate();
    constexpr int kBlock = 4096;
    try
    {
        for (;;)
        {
            size_t at = pcm->stereo.size();
            pcm->stereo.resize(at + 2 * kBlock);
            int got = source->Read(pcm->stereo.data() + at, kBlock);
            pcm->stereo.resize(at + 2 * size_t(got));
            if (got < kBlock)
                break;
        }
    }
    catch (const std::bad_alloc&)
    {
        result = OpenResult::OutOfMemory;
        return nullptr;
    }
    pcm->stereo.shrink_to_fit();
    return pcm;
}

std::unique_ptr<Source> PlayPcm(std::shared_ptr<const Pcm> pcm)
{
    return std::make_unique<PcmSource>(std::move(pcm));
}

} // namespace Kestrin::Shim::Bass
