#pragma once
#include <cstddef>
#include <cstdint>

namespace Kestrin::Shim
{

enum class SwfCompression
{
    None, // "FWS"
    Zlib, // "CWS": zlib from byte 8
    Lzma, // "ZWS": not unpacked here, so only the first 8 bytes are known
};

enum class SwfStatus
{
    Ok,         // frame info read; the tag walk found the background, an End tag or its bound
    HeaderOnly, // LZMA-compressed: signature, version and length only
    NotSwf,     // no SWF signature
    Truncated,  // the data (or the declared length) ends before the header or a tag is complete
    Corrupt,    // the zlib stream is damaged, the declared length is impossible or a tag is malformed
};

const char* SwfStatusText(SwfStatus status);

struct SwfRgb
{
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
    constexpr bool operator==(const SwfRgb&) const = default;
};

struct SwfHeader
{
    SwfCompression compression = SwfCompression::None;
    int version = 0;
    uint32_t fileLength = 0; // as declared: the uncompressed length, header included

    // Frame size (twips), rate and count; valid when hasFrameInfo. A truncated or damaged file may
    // still have them.
    bool hasFrameInfo = false;
    int32_t xMin = 0;
    int32_t xMax = 0;
    int32_t yMin = 0;
    int32_t yMax = 0;
    uint16_t frameRate = 0; // 8.8 fixed point
    uint16_t frameCount = 0;

    // The first SetBackgroundColor tag.
    bool hasBackground = false;
    SwfRgb background;

    double FramesPerSecond() const { return frameRate / 256.0; }
    int64_t WidthPixels() const { return (int64_t(xMax) - xMin) / 20; }
    int64_t HeightPixels() const { return (int64_t(yMax) - yMin) / 20; }
};

// How much of a compressed body is unpacked at most while looking for the background colour.
constexpr uint64_t kSwfMaxInflatedBytes = 16u << 20;

// Reads the header of a SWF file held whole in memory and walks its tags up to the first
// SetBackgroundColor. Never reads outside [data, data + size); fills what it could read even when
// the answer is not Ok.
SwfStatus ParseSwfHeader(const uint8_t* data, size_t size, SwfHeader& header);

} // namespace Kestrin::Shim
