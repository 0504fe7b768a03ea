#include "AudioFile.h"

#include <sndfile.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace AudioGen
{
namespace
{
// A growable in-memory file for libsndfile's virtual I/O.
struct MemoryFile
{
    Bytes data;
    sf_count_t position = 0;
};

sf_count_t MemLength(void* user)
{
    return static_cast<sf_count_t>(static_cast<MemoryFile*>(user)->data.size());
}

sf_count_t MemSeek(sf_count_t offset, int whence, void* user)
{
    auto* f = static_cast<MemoryFile*>(user);
    sf_count_t base = 0;
    if (whence == SEEK_CUR)
        base = f->position;
    else if (whence == SEEK_END)
        base = static_cast<sf_count_t>(f->data.size());
    const sf_count_t target = base + offset;
    if (target < 0)
        return -1;
    f->position = target;
    return f->position;
}

sf_count_t MemRead(void* ptr, sf_count_t count, void* user)
{
    auto* f = static_cast<MemoryFile*>(user);
    const sf_count_t size = static_cast<sf_count_t>(f->data.size());
    if (f->position >= size || count <= 0)
        return 0;
    const sf_count_t n = std::min(count, size - f->position);
    std::memcpy(ptr, f->data.data() + f->position, static_cast<size_t>(n));
    f->position += n;
    return n;
}

sf_count_t MemWrite(const void* ptr, sf_count_t count, void* user)
{
    auto* f = static_cast<MemoryFile*>(user);
    if (count <= 0)
        return 0;
    const size_t end = static_cast<size_t>(f->position + count);
    if (end > f->data.size())
        f->data.resize(end, 0);
    std::memcpy(f->data.data() + f->position, ptr, static_cast<size_t>(count));
    f->position += count;
    return count;
}

sf_count_t MemTell(void* user)
{
    return static_cast<MemoryFile*>(user)->position;
}

SF_VIRTUAL_IO MemoryIo()
{
    return SF_VIRTUAL_IO{MemLength, MemSeek, MemRead, MemWrite, MemTell};
}

Bytes Encode(const std::vector<int16_t>& pcm, int rate, int format, const double* quality)
{
    MemoryFile file;
    SF_VIRTUAL_IO io = MemoryIo();
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = 1;
    info.format = format;
    SNDFILE* sf = sf_open_virtual(&io, SFM_WRITE, &info, &file);
    if (!sf)
        throw std::runtime_error(std::string("libsndfile cannot open an encoder: ") + sf_strerror(nullptr));
    if (quality)
    {
        double q = *quality;
        if (sf_command(sf, SFC_SET_VBR_ENCODING_QUALITY, &q, sizeof q) != SF_TRUE)
        {
            sf_close(sf);
            throw std::runtime_error("libsndfile refused the encoding quality");
        }
    }
    const sf_count_t written = sf_write_short(sf, pcm.data(), static_cast<sf_count_t>(pcm.size()));
    const int error = sf_error(sf);
    const int closed = sf_close(sf);
    if (written != static_cast<sf_count_t>(pcm.size()) || error != 0 || closed != 0)
        throw std::runtime_error("libsndfile failed to encode the samples");
    return std::move(file.data);
}
} // namespace

Bytes EncodeWav16(const std::vector<int16_t>& pcm, int rate)
{
    return Encode(pcm, rate, SF_FORMAT_WAV | SF_FORMAT_PCM_16, nullptr);
}

Bytes EncodeOggVorbis(const std::vector<int16_t>& pcm, int rate, double quality)
{
    Bytes ogg = Encode(pcm, rate, SF_FORMAT_OGG | SF_FORMAT_VORBIS, &quality);
    SetOggSerial(ogg, 0x54574953u);
    return ogg;
}

uint32_t OggPageCrc(const uint8_t* page, size_t size)
{
    static const auto table = []
    {
        std::array<uint32_t, 256> t{};
        for (uint32_t i = 0; i < 256; ++i)
        {
            uint32_t r = i << 24;
            for (int k = 0; k < 8; ++k)
                r = (r & 0x80000000u) ? (r << 1) ^ 0x04C11DB7u : (r << 1);
            t[i] = r;
        }
        return t;
    }();
    uint32_t crc = 0;
    for (size_t i = 0; i < size; ++i)
        crc = (crc << 8) ^ table[((crc >> 24) ^ page[i]) & 0xFFu];
    return crc;
}

void SetOggSerial(Bytes& ogg, uint32_t serial)
{
    size_t pos = 0;
    while (pos < ogg.size())
    {
        if (ogg.size() - pos < 27 || std::memcmp(&ogg[pos], "OggS", 4) != 0)
            throw std::runtime_error("malformed Ogg page header");
        const size_t segments = ogg[pos + 26];
        if (ogg.size() - pos < 27 + segments)
            throw std::runtime_error("truncated Ogg segment table");
        size_t body = 0;
        for (size_t i = 0; i < segments; ++i)
            body += ogg[pos + 27 + i];
        const size_t pageSize = 27 + segments + body;
        if (ogg.size() - pos < pageSize)
            throw std::runtime_error("truncated Ogg page");
        for (int i = 0; i < 4; ++i)
        {
            ogg[pos + 14 + i] = static_cast<uint8_t>(serial >> (8 * i));
            ogg[pos + 22 + i] = 0;
        }
        const uint32_t crc = OggPageCrc(&ogg[pos], pageSize);
        for (int i = 0; i < 4; ++i)
            ogg[pos + 22 + i] = static_cast<uint8_t>(crc >> (8 * i));
        pos += pageSize;
    }
}

DecodedAudio DecodeWithSndfile(const Bytes& bytes)
{
    MemoryFile file;
    file.data = bytes;
    SF_VIRTUAL_IO io = MemoryIo();
    SF_INFO info{};
    SNDFILE* sf = sf_open_virtual(&io, SFM_READ, &info, &file);
    if (!sf)
        throw std::runtime_error(std::string("libsndfile cannot decode: ") + sf_strerror(nullptr));
    DecodedAudio out;
    out.rate = info.samplerate;
    out.channels = info.channels;
    std::vector<float> block(4096 * static_cast<size_t>(std::max(1, info.channels)));
    for (;;)
    {
        const sf_count_t got = sf_readf_float(sf, block.data(), 4096);
        if (got <= 0)
            break;
        out.samples.insert(out.samples.end(), block.begin(), block.begin() + got * info.channels);
        out.frames += got;
    }
    sf_close(sf);
    return out;
}

Bytes ReadFileBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot open " + path.string());
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::filesystem::path& path, const Bytes& bytes)
{
    if (path.has_parent_path())
        std::filesystem::create_directories(path.parent_path());
    std::filesystem::path temp = path;
    temp += ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        if (!out)
            throw std::runtime_error("cannot write " + temp.string());
    }
    std::filesystem::rename(temp, path);
}
} // namespace AudioGen
