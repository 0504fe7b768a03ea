#pragma once
// Tiny sound files made in memory for audio tests: WAV/OGG through libsndfile, and
// ProTracker-style modules assembled byte by byte.
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace KestrinTest
{

namespace Detail
{
struct GrowingFile
{
    std::vector<unsigned char> bytes;
    sf_count_t pos = 0;
};

inline sf_count_t GfLength(void* u)
{
    return sf_count_t(static_cast<GrowingFile*>(u)->bytes.size());
}
inline sf_count_t GfSeek(sf_count_t offset, int whence, void* u)
{
    auto* f = static_cast<GrowingFile*>(u);
    sf_count_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? f->pos : sf_count_t(f->bytes.size());
    if (base + offset < 0)
        return -1;
    f->pos = base + offset;
    return f->pos;
}
inline sf_count_t GfRead(void* ptr, sf_count_t count, void* u)
{
    auto* f = static_cast<GrowingFile*>(u);
    sf_count_t size = sf_count_t(f->bytes.size());
    sf_count_t n = std::max<sf_count_t>(0, std::min(count, size - f->pos));
    if (n > 0)
        std::memcpy(ptr, f->bytes.data() + f->pos, size_t(n));
    f->pos += n;
    return n;
}
inline sf_count_t GfWrite(const void* ptr, sf_count_t count, void* u)
{
    auto* f = static_cast<GrowingFile*>(u);
    if (size_t(f->pos + count) > f->bytes.size())
        f->bytes.resize(size_t(f->pos + count));
    std::memcpy(f->bytes.data() + f->pos, ptr, size_t(count));
    f->pos += count;
    return count;
}
inline sf_count_t GfTell(void* u)
{
    return static_cast<GrowingFile*>(u)->pos;
}
} // namespace Detail

// Encodes interleaved frames with libsndfile into memory; empty on failure.
inline std::vector<unsigned char> EncodeSound(const std::vector<float>& interleaved, int channels, int rate,
                                              int format)
{
    Detail::GrowingFile file;
    SF_VIRTUAL_IO io = {Detail::GfLength, Detail::GfSeek, Detail::GfRead, Detail::GfWrite, Detail::GfTell};
    SF_INFO info{};
    info.channels = channels;
    info.samplerate = rate;
    info.format = format;
    SNDFILE* sf = sf_open_virtual(&io, SFM_WRITE, &info, &file);
    if (!sf)
        return {};
    sf_count_t frames = sf_count_t(interleaved.size()) / channels;
    bool ok = sf_writef_float(sf, interleaved.data(), frames) == frames;
    sf_close(sf);
    return ok ? file.bytes : std::vector<unsigned char>{};
}

// 32-bit float WAV: decodes back to exactly the values written.
inline std::vector<unsigned char> MakeWav(const std::vector<float>& interleaved, int channels, int rate)
{
    return EncodeSound(interleaved, channels, rate, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
}

inline std::vector<unsigned char> MakeOgg(const std::vector<float>& interleaved, int channels, int rate)
{
    return EncodeSound(interleaved, channels, rate, SF_FORMAT_OGG | SF_FORMAT_VORBIS);
}

// `frames` frames of a sine at `hz`, the same on every channel.
inline std::vector<float> Sine(int frames, int channels, int rate, double hz, float amplitude)
{
    std::vector<float> out(size_t(frames) * size_t(channels));
    for (int i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c)
            out[size_t(i) * size_t(channels) + size_t(c)] =
                amplitude * float(std::sin(2 * M_PI * hz * i / rate));
    return out;
}

// A module in the ProTracker layout: one looped square-wave sample, one pattern in which
// every channel strikes a note on row 0, `rows` rows long at `speed` ticks per row (125 BPM,
// so a row lasts speed * 20 ms). Four channels use the "M.K." tag, others "<n>CH".
inline std::vector<unsigned char> MakeModule(int channels = 4, int rows = 4, int speed = 3)
{
    std::vector<unsigned char> m;
    auto put = [&](const void* p, size_t n)
    { m.insert(m.end(), (const unsigned char*)p, (const unsigned char*)p + n); };
    auto put8 = [&](int v) { m.push_back((unsigned char)v); };
    auto put16 = [&](int v)
    {
        put8(v >> 8);
        put8(v & 0xFF);
    };

    char title[20] = "kestrin test tune";
    put(title, 20);
    const int sampleBytes = 64;
    for (int s = 0; s < 31; ++s)
    {
        char name[22] = {};
        put(name, 22);
        bool used = s == 0;
        put16(used ? sampleBytes / 2 : 0); // length in words
        put8(0);                           // finetune
        put8(used ? 64 : 0);               // volume
        put16(0);                          // loop start
        put16(used ? sampleBytes / 2 : 1); // loop length
    }
    put8(1);   // song length
    put8(127); // restart byte
    unsigned char orders[128] = {};
    put(orders, 128);
    std::string tag = channels == 4 ? "M.K." : std::to_string(channels) + "CH";
    if (tag.size() < 4)
        tag = std::to_string(channels) + "CHN";
    put(tag.data(), 4);

    for (int row = 0; row < 64; ++row)
        for (int c = 0; c < channels; ++c)
        {
            int sample = 0, period = 0, effect = 0, param = 0;
            if (row == 0)
            {
                sample = 1;
                period = 214 + 2 * (c % 8); // around C-3, slightly detuned per channel
                if (c == 0)
                {
                    effect = 0xF; // set speed
                    param = speed;
                }
            }
            if (row == rows - 1 && c == 1 % channels && rows < 64)
            {
                effect = 0xD; // pattern break: the song ends after this row
                param = 0;
            }
            put8((sample & 0xF0) | ((period >> 8) & 0x0F));
            put8(period & 0xFF);
            put8(((sample & 0x0F) << 4) | effect);
            put8(param);
        }
    for (int i = 0; i < sampleBytes; ++i)
        put8(i < sampleBytes / 2 ? 100 : (256 - 100)); // signed square wave
    return m;
}

} // namespace KestrinTest
