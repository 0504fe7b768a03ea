#include "Base/Stream.h"
#include "Graphics/ImageDecoders.h"

#include <atomic>
#include <cstring>

namespace Kestrin
{

namespace Internal
{
namespace
{
// 16384 x 16384: beyond that a u16-sized GIF would need gigabytes.
std::atomic<size_t> g_pixelLimit{size_t(16384) * 16384};
} // namespace

void SetDecodedPixelLimit(size_t pixels)
{
    g_pixelLimit.store(pixels);
}

size_t DecodedPixelLimit()
{
    return g_pixelLimit.load();
}
} // namespace Internal

void FreeGifFrames(GifFrameList& list)
{
    list.frames.clear();
}

namespace
{

constexpr int kMaxSide = 16384;
// Codes are at most 12 bits: the table never holds more than 4096 entries.
constexpr int kMaxCodes = 4096;

bool SizeAllowed(int64_t width, int64_t height)
{
    return width >= 0 && height >= 0 && width <= kMaxSide && height <= kMaxSide &&
           uint64_t(width) * uint64_t(height) <= Internal::DecodedPixelLimit();
}

class ByteReader
{
public:
    explicit ByteReader(IStream& stream) : m_stream(stream) {}

    bool Read(void* buffer, uint32_t count) { return count == 0 || m_stream.Read(buffer, count) == count; }
    bool Byte(uint8_t& b) { return Read(&b, 1); }
    bool U16(int& v)
    {
        uint8_t b[2];
        if (!Read(b, 2))
            return false;
        v = b[0] | (b[1] << 8);
        return true;
    }
    // Walks data sub-blocks to the zero length; false when the stream ends first.
    bool SkipSubBlocks()
    {
        uint8_t length;
        uint8_t scratch[255];
        for (;;)
        {
            if (!Byte(length))
                return false;
            if (length == 0)
                return true;
            if (!Read(scratch, length))
                return false;
        }
    }

private:
    IStream& m_stream;
};

// Colour table of 2^bits entries: blue, green, red, unused.
std::unique_ptr<uint8_t[]> ReadColorTable(ByteReader& in, int bits, bool& ok)
{
    const int n = 1 << bits;
    auto table = std::make_unique<uint8_t[]>(size_t(n) * 4);
    for (int i = 0; i < n; ++i)
    {
        uint8_t rgb[3];
        if (!in.Read(rgb, 3))
        {
            ok = false;
            return table;
        }
        table[size_t(i) * 4 + 0] = rgb[2];
        table[size_t(i) * 4 + 1] = rgb[1];
        table[size_t(i) * 4 + 2] = rgb[0];
    }
    return table;
}

std::unique_ptr<uint8_t[]> GreyTable(int bits)
{
    const int n = 1 << bits;
    auto table = std::make_unique<uint8_t[]>(size_t(n) * 4);
    for (int i = 0; i < n; ++i)
        table[size_t(i) * 4 + 0] = table[size_t(i) * 4 + 1] = table[size_t(i) * 4 + 2] = uint8_t(i);
    return table;
}

struct GifResult
{
    std::unique_ptr<GifFrame> frame;
    bool decoded = false;
};

// Reads up to the first image; false without one. Width and height get the logical screen.
bool ReadFirstImage(IStream& stream, int& width, int& height, GifFrameList& list, GifResult& result)
{
    ByteReader in(stream);
    uint8_t header[6];
    if (!in.Read(header, 6) || header[0] != 'G' || header[1] != 'I')
        return false;

    uint8_t screen[7];
    if (!in.Read(screen, 7))
        return false;
    const int screenW = screen[0] | (screen[1] << 8);
    const int screenH = screen[2] | (screen[3] << 8);
    width = screenW;
    height = screenH;
    list.screenWidth = screenW;
    list.screenHeight = screenH;
    list.reserved = 0;

    const int globalBits = (screen[4] & 7) + 1;
    bool ok = true;
    std::unique_ptr<uint8_t[]> global =
        (screen[4] & 0x80) ? ReadColorTable(in, globalBits, ok) : GreyTable(globalBits);
    if (!ok)
        return false;

    bool haveControl = false;
    int controlPacked = 0, controlDelay = 0, controlTransparent = 0;
    for (;;)
    {
        uint8_t introducer;
        // Any failed read ends the search, end of file or not.
        if (!in.Byte(introducer))
            return false;
        if (introducer == 0x3B)
            return false;
        if (introducer == 0x21)
        {
            uint8_t label;
            if (!in.Byte(label))
                return false;
            if (label == 0xF9)
            {
                uint8_t size;
                if (!in.Byte(size))
                    return false;
                uint8_t block[255] = {};
                if (!in.Read(block, size))
                    return false;
                haveControl = true;
                controlPacked = block[0];
                controlDelay = block[1] | (block[2] << 8);
                controlTransparent = block[3];
            }
            if (!in.SkipSubBlocks())
                return false;
            continue;
        }
        if (introducer != 0x2C)
            continue;

        uint8_t d[9];
        if (!in.Read(d, 9))
            return false;
        auto frame = std::make_unique<GifFrame>();
        frame->left = d[0] | (d[1] << 8);
        frame->top = d[2] | (d[3] << 8);
        frame->width = d[4] | (d[5] << 8);
        frame->height = d[6] | (d[7] << 8);
        const uint8_t packed = d[8];
        if (!SizeAllowed(screenW, screenH) || !SizeAllowed(frame->width, frame->height))
            return false;
        frame->bits = (packed & 0x80) ? (packed & 7) + 1 : globalBits;
        frame->stride = (frame->width + 3) & ~3;
        frame->indices = std::make_unique<uint8_t[]>(size_t(frame->stride) * size_t(frame->height));
        if (haveControl)
        {
            frame->transparentIndex = (controlPacked & 1) ? controlTransparent : -1;
            frame->disposeFlag = (controlPacked & 0x1C) ? 1 : 0;
            frame->delayMs = controlDelay * 10;
        }
        if (packed & 0x80)
        {
            frame->palette = ReadColorTable(in, frame->bits, ok);
        }
        else
        {
            frame->palette = std::make_unique<uint8_t[]>(size_t(4) << frame->bits);
            std::memcpy(frame->palette.get(), global.get(), size_t(4) << frame->bits);
        }

        // The image data: sub-blocks gathered back to back. A stream that ends inside them gives
        // what was read; the code reader then stops at its end.
        uint8_t minimumCodeSize = 0;
        bool haveCodeSize = ok && in.Byte(minimumCodeSize);
        std::vector<uint8_t> data;
        if (haveCodeSize)
        {
            for (;;)
            {
                uint8_t length;
                if (!in.Byte(length) || length == 0)
                    break;
                const size_t at = data.size();
                data.resize(at + length);
                const uint32_t got = stream.Read(data.data() + at, length);
                if (got < length)
                {
                    data.resize(at + got);
                    break;
                }
            }
        }
        data.resize(data.size() + 4, 0);
        result.decoded =
            haveCodeSize &&
            DecodeGifCodeStream(minimumCodeSize, data.data(), data.size() - 4, frame->indices.get(),
                                frame->stride, frame->width, frame->height, (packed & 0x40) != 0) != 0;
        result.frame = std::move(frame);
        return true;
    }
}

// Places the frame on a screen-sized buffer through `put(screenIndex, r, g, b, transparent)`.
template <typename Put> bool Compose(const GifFrame& frame, int screenW, int screenH, Put put)
{
    const int mask = (1 << frame.bits) - 1;
    bool covered = frame.left == 0 && frame.top == 0 && frame.width >= screenW && frame.height >= screenH;
    for (int y = 0; y < frame.height; ++y)
    {
        const int sy = frame.top + y;
        if (sy >= screenH)
            break;
        for (int x = 0; x < frame.width; ++x)
        {
            const int sx = frame.left + x;
            if (sx >= screenW)
                break;
            const int i = frame.indices[size_t(y) * size_t(frame.stride) + size_t(x)] & mask;
            const uint8_t* c = &frame.palette[size_t(i) * 4];
            put(size_t(sy) * size_t(screenW) + size_t(sx), c[2], c[1], c[0], i == frame.transparentIndex);
        }
    }
    return covered;
}

// The frames so far counted, then the first image read; false when there is none to compose.
// Width and height get the logical screen either way.
bool StartFirstImage(IStream& stream, int& width, int& height, int& frameCount, GifFrameList& list,
                     GifResult& result)
{
    frameCount = int(list.frames.size());
    int w = width, h = height;
    const bool found = ReadFirstImage(stream, w, h, list, result);
    width = w;
    height = h;
    return found && w > 0 && h > 0;
}

void Finish(GifResult& result, GifFrameList& list, int& frameCount)
{
    if (result.decoded)
        list.frames.push_back(std::move(result.frame));
    frameCount = int(list.frames.size());
}

} // namespace

std::unique_ptr<uint32_t[]> DecodeGif(IStream& stream, int& width, int& height, bool& hasTransparency,
                                      int& frameCount, GifFrameList& list)
{
    GifResult result;
    if (!StartFirstImage(stream, width, height, frameCount, list, result))
        return nullptr;
    const int w = width, h = height;
    auto pixels = std::make_unique<uint32_t[]>(size_t(w) * size_t(h));
    const GifFrame& frame = *result.frame;
    const bool covered = Compose(frame, w, h,
                                 [&](size_t at, uint8_t r, uint8_t g, uint8_t b, bool transparent) {
                                     pixels[at] = (transparent ? 0u : 0xFF000000u) | (uint32_t(r) << 16) |
                                                  (uint32_t(g) << 8) | b;
                                 });
    hasTransparency = frame.transparentIndex != -1 || !covered;
    Finish(result, list, frameCount);
    return pixels;
}

std::unique_ptr<uint8_t[]> DecodeGifMask(IStream& stream, int& width, int& height, int& frameCount,
                                         GifFrameList& list)
{
    GifResult result;
    if (!StartFirstImage(stream, width, height, frameCount, list, result))
        return nullptr;
    const int w = width, h = height;
    auto grey = std::make_unique<uint8_t[]>(size_t(w) * size_t(h));
    Compose(*result.frame, w, h,
            [&](size_t at, uint8_t r, uint8_t g, uint8_t b, bool)
            { grey[at] = uint8_t((int(r) + int(g) + int(b)) / 3); });
    Finish(result, list, frameCount);
    return grey;
}

int64_t DecodeGifCodeStream(int minimumCodeSize, const uint8_t* data, size_t size, uint8_t* indices,
                            int stride, int width, int height, bool interlaced)
{
    if (minimumCodeSize < 1 || minimumCodeSize > 11 || !data || !indices || width <= 0 || height <= 0 ||
        stride < width)
        return 0;
    const int clear = 1 << minimumCodeSize;
    const int end = clear + 1;
    int codeWidth = minimumCodeSize + 1;
    int next = clear + 2;
    int previous = clear;

    uint16_t prefix[kMaxCodes] = {};
    uint8_t suffix[kMaxCodes] = {};
    uint8_t stack[kMaxCodes + 1];

    const int64_t total = int64_t(width) * height;
    const uint64_t totalBits = uint64_t(size) * 8;
    uint64_t bit = 0;
    int64_t written = 0;
    int x = 0, y = 0, pass = 0;
    static const int kPassStart[4] = {0, 4, 2, 1};
    static const int kPassStep[4] = {8, 8, 4, 2};

    while (written < total)
    {
        if (bit + uint64_t(codeWidth) > totalBits)
            return 0;
        const size_t at = size_t(bit >> 3);
        uint32_t window = 0;
        for (size_t i = 0; i < 4 && at + i < size; ++i)
            window |= uint32_t(data[at + i]) << (8 * i);
        const int code = int((window >> (bit & 7)) & ((1u << codeWidth) - 1));
        bit += uint64_t(codeWidth);

        if (code == end)
            return int64_t(bit);
        if (code == clear)
        {
            codeWidth = minimumCodeSize + 1;
            next = clear + 2;
            previous = clear;
            continue;
        }

        // The string is built backwards on the stack; a code not yet defined is the previous
        // string followed by its own first byte.
        int depth = 0;
        const bool undefined = code >= next;
        int c = undefined ? previous : code;
        while (c >= clear + 2)
        {
            if (depth >= kMaxCodes)
                return 0;
            stack[depth++] = suffix[c];
            c = prefix[c];
        }
        stack[depth++] = uint8_t(c & 0xFF);
        const uint8_t first = stack[depth - 1];

        // Once the table is full, entries stop; 12-bit codes go on until a clear code.
        if (previous != clear && next < kMaxCodes)
        {
            prefix[next] = uint16_t(previous);
            suffix[next] = first;
            ++next;
            if (next >= (1 << codeWidth) && codeWidth < 12)
                ++codeWidth;
        }
        previous = code;

        auto put = [&](uint8_t value) -> bool
        {
            if (x == width)
            {
                x = 0;
                if (!interlaced)
                    ++y;
                else
                {
                    y += kPassStep[pass];
                    while (y >= height)
                    {
                        if (++pass >= 4)
                            return false;
                        y = kPassStart[pass];
                    }
                }
                if (y >= height)
                    return false;
            }
            indices[size_t(y) * size_t(stride) + size_t(x)] = value;
            ++x;
            ++written;
            return true;
        };
        for (int i = depth - 1; i >= 0 && written < total; --i)
            if (!put(stack[i]))
                return int64_t(bit);
        if (undefined && written < total && !put(first))
            return int64_t(bit);
    }
    return int64_t(bit);
}

} // namespace Kestrin
