#include "AudioFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <unistd.h>

using namespace AudioGen;

namespace
{
std::vector<int16_t> Ramp(size_t n)
{
    std::vector<int16_t> pcm(n);
    for (size_t i = 0; i < n; ++i)
        pcm[i] = static_cast<int16_t>((static_cast<int>(i) * 97) % 20000 - 10000);
    return pcm;
}
} // namespace

TEST(AudioFiles, WavRoundTripsEverySample)
{
    const auto pcm = Ramp(1234);
    const Bytes wav = EncodeWav16(pcm, 22050);
    ASSERT_GT(wav.size(), 44u);
    EXPECT_EQ(std::memcmp(wav.data(), "RIFF", 4), 0);
    EXPECT_EQ(wav.size(), 44u + 2 * pcm.size());
    const DecodedAudio a = DecodeWithSndfile(wav);
    EXPECT_EQ(a.rate, 22050);
    EXPECT_EQ(a.channels, 1);
    ASSERT_EQ(a.frames, 1234);
    for (size_t i = 0; i < pcm.size(); ++i)
        ASSERT_EQ(static_cast<int>(std::lround(a.samples[i] * 32768.0f)), pcm[i]) << i;
}

TEST(AudioFiles, OggPagesCarryTheFixedSerialAndValidChecksums)
{
    const auto pcm = Ramp(30000);
    const Bytes ogg = EncodeOggVorbis(pcm, 22050, 0.4);
    size_t pos = 0, pages = 0;
    while (pos < ogg.size())
    {
        ASSERT_EQ(std::memcmp(&ogg[pos], "OggS", 4), 0);
        const uint32_t serial = ogg[pos + 14] | (ogg[pos + 15] << 8) | (ogg[pos + 16] << 16) |
                                (static_cast<uint32_t>(ogg[pos + 17]) << 24);
        EXPECT_EQ(serial, 0x54574953u);
        size_t body = 0;
        for (size_t i = 0; i < ogg[pos + 26]; ++i)
            body += ogg[pos + 27 + i];
        const size_t size = 27 + ogg[pos + 26] + body;
        std::vector<uint8_t> page(ogg.begin() + static_cast<long>(pos),
                                  ogg.begin() + static_cast<long>(pos + size));
        const uint32_t stored =
            page[22] | (page[23] << 8) | (page[24] << 16) | (static_cast<uint32_t>(page[25]) << 24);
        std::memset(&page[22], 0, 4);
        EXPECT_EQ(OggPageCrc(page.data(), page.size()), stored);
        pos += size;
        ++pages;
    }
    EXPECT_GE(pages, 3u);
    // The decoder checks every page's checksum: a rewritten file still decodes whole.
    const DecodedAudio a = DecodeWithSndfile(ogg);
    EXPECT_EQ(a.frames, 30000);
}

TEST(AudioFiles, OggCrcMatchesTheKnownCheckValue)
{
    // CRC-32 with polynomial 0x04C11DB7, no reflection, zero start: "123456789" gives 0x89A1897F.
    const char* text = "123456789";
    EXPECT_EQ(OggPageCrc(reinterpret_cast<const uint8_t*>(text), 9), 0x89A1897Fu);
}

TEST(AudioFiles, SerialRewriteRejectsMalformedStreams)
{
    Bytes junk{'O', 'g', 'g', 'X', 0, 0, 0};
    EXPECT_THROW(SetOggSerial(junk, 1), std::runtime_error);
    Bytes ogg = EncodeOggVorbis(Ramp(5000), 22050, 0.4);
    ogg.resize(ogg.size() - 10);
    EXPECT_THROW(SetOggSerial(ogg, 1), std::runtime_error);
    EXPECT_THROW(DecodeWithSndfile(Bytes{'n', 'o', 'p', 'e'}), std::runtime_error);
}

TEST(AudioFiles, WritingReplacesWholeFiles)
{
    const auto dir = std::filesystem::temp_directory_path() / ("audiogen-io-" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    const auto file = dir / "a" / "b.bin";
    WriteFileBytes(file, Bytes{1, 2, 3});
    WriteFileBytes(file, Bytes{4, 5});
    EXPECT_EQ(ReadFileBytes(file), (Bytes{4, 5}));
    EXPECT_FALSE(std::filesystem::exists(dir / "a" / "b.bin.tmp"));
    EXPECT_THROW(ReadFileBytes(dir / "missing"), std::runtime_error);
    std::filesystem::remove_all(dir);
}

TEST(AudioFiles, OggBytesRepeatRunToRun)
{
    // libsndfile draws the Ogg serial number at random; the encoder fixes it, so two
    // runs in one process give the same bytes.
    std::vector<int16_t> pcm(4000);
    for (size_t i = 0; i < pcm.size(); ++i)
        pcm[i] = static_cast<int16_t>((i * 37) % 2000 - 1000);
    EXPECT_EQ(EncodeOggVorbis(pcm, 22050, 0.4), EncodeOggVorbis(pcm, 22050, 0.4));
}
