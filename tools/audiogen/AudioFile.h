#pragma once
// Encoding through libsndfile, into memory, so files are written whole or not at all.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace AudioGen
{
using Bytes = std::vector<uint8_t>;

// 16-bit mono PCM WAV.
Bytes EncodeWav16(const std::vector<int16_t>& pcm, int rate);
// Mono OGG Vorbis at the given VBR quality (0..1). The stream serial number that
// libsndfile draws at random is replaced by a fixed one, so equal input gives equal bytes.
Bytes EncodeOggVorbis(const std::vector<int16_t>& pcm, int rate, double quality);

// Sets every Ogg page's stream serial number and recomputes the page checksums.
// Throws std::runtime_error on a malformed page.
void SetOggSerial(Bytes& ogg, uint32_t serial);
uint32_t OggPageCrc(const uint8_t* page, size_t size);

struct DecodedAudio
{
    int rate = 0;
    int channels = 0;
    int64_t frames = 0;
    std::vector<float> samples; // interleaved
};
// Decodes any format libsndfile reads. Throws std::runtime_error when it cannot.
DecodedAudio DecodeWithSndfile(const Bytes& file);

Bytes ReadFileBytes(const std::filesystem::path& path);
// Writes through a temporary file and a rename, so a failed write leaves no half file.
void WriteFileBytes(const std::filesystem::path& path, const Bytes& bytes);
} // namespace AudioGen
